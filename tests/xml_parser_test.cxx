#include "soa_common/xml.hxx"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Velmora::Soa::Common::Exceptions::DomException;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::VlStrX;
using Velmora::Soa::Common::Xml::XMLNode;

std::string nested(int depth) {
    std::string s;
    s.reserve(static_cast<std::size_t>(depth) * 7);
    for (int i = 0; i < depth; ++i) s += "<a>";
    for (int i = 0; i < depth; ++i) s += "</a>";
    return s;
}

const char kBillionLaughs[] =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE lolz [\n"
    " <!ENTITY lol \"lol\">\n"
    " <!ENTITY lol1 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
    " <!ENTITY lol2 \"&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;&lol1;\">\n"
    " <!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">\n"
    " <!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">\n"
    " <!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\">\n"
    " <!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">\n"
    " <!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\">\n"
    " <!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">\n"
    " <!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">\n"
    "]>\n"
    "<lolz>&lol9;</lolz>";

// A node's attributes as an ordered list, in the order the tree gives them.
using Attrs = std::vector<std::pair<std::string, std::string>>;
Attrs listed(const XMLNode& node) { return Attrs(node.attrs().begin(), node.attrs().end()); }

struct BadCase {
    const char* label;
    std::string text;
    const char* fragment;  // expected in the message
    int line;              // expected line, or 0 when any
};

std::vector<BadCase> badCases() {
    return {
        {"billion laughs", kBillionLaughs, "DOCTYPE is not allowed", 2},
        {"external SYSTEM entity",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n<a>&x;</a>",
         "DOCTYPE is not allowed", 2},
        {"external DTD", "<!DOCTYPE a SYSTEM \"http://127.0.0.1:1/a.dtd\"><a/>", "DOCTYPE is not allowed",
         1},
        {"DOCTYPE without entities", "<!DOCTYPE a>\n<a/>", "DOCTYPE is not allowed", 1},
        {"100000 nested elements", nested(100000), "nested deeper than 256", 1},
        {"truncated document", "<a>\n<b x=\"1\">text</b>\n<c>", "", 0},
        {"undeclared entity", "<a>&nbsp;</a>", "", 1},
        {"unterminated attribute", "<a x=\"1/>", "", 1},
        {"two roots", "<a/><b/>", "", 1},
        {"no root", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n", "", 0},
        {"empty request", "", "empty", 1},
        {"whitespace only", " \n ", "", 0},
        {"control character", "<a>\x01</a>", "", 1},
        {"NUL after the root", std::string("<a/>\0<b/>", 9), "NUL", 1},
        {"invalid byte", "<a>\n  x\xff</a>", "not valid UTF-8", 2},
        {"invalid byte after the root", "<a/>\n\xff", "not valid UTF-8", 2},
        {"invalid byte in an attribute", "<a x=\"\xc3\x28\"/>", "not valid UTF-8", 1},
        {"overlong form", "<a>\xc0\xaf</a>", "not valid UTF-8", 1},
        {"encoded surrogate", "<a>\xed\xa0\x80</a>", "not valid UTF-8", 1},
        {"above U+10FFFF", "<a>\xf4\x90\x80\x80</a>", "not valid UTF-8", 1},
        {"truncated sequence at the end", "<a/>\xe2\x82", "not valid UTF-8", 1},
        {"Latin-1 bytes under a Latin-1 declaration",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xe9</a>", "not valid UTF-8", 1},
        {"U+FFFE", "<a>\xef\xbf\xbe</a>", "", 1},
        {"reference to a character XML cannot carry", "<a>&#1;</a>", "", 1},
        {"XML 1.1, whose characters a 1.0 reply cannot carry", "<?xml version=\"1.1\"?><a>&#1;</a>",
         "only XML 1.0", 1},
        {"XML 1.1 in single quotes", "<?xml version='1.1' encoding='UTF-8'?><a/>", "only XML 1.0", 1},
        {"over the size limit", std::string(SAXToNodeParser::kMaxDocumentBytes + 1, ' '), "larger than", 1},
    };
}

TEST(XmlParserRefusals, EveryBadInputIsADomExceptionWithItsPosition) {
    SAXToNodeParser parser;
    for (const BadCase& c : badCases()) {
        SCOPED_TRACE(c.label);
        const auto start = std::chrono::steady_clock::now();
        std::string message;
        try {
            parser.parseString(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const DomException& e) {
            message = e.getMessage();
        } catch (...) {
            ADD_FAILURE() << "an exception other than DomException escaped";
        }
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(2)) << "refused too slowly";
        int line = 0, column = 0, consumed = 0;
        ASSERT_EQ(std::sscanf(message.c_str(), "line %d, column %d: %n", &line, &column, &consumed), 2)
            << message;
        EXPECT_GT(line, 0) << message;
        EXPECT_GT(column, 0) << message;
        EXPECT_LT(static_cast<std::size_t>(consumed), message.size()) << "no reason given";
        EXPECT_NE(message.find(c.fragment), std::string::npos) << message;
        if (c.line) {
            EXPECT_EQ(line, c.line) << message;
        }

        // A refusal leaves the parser fit for the next request.
        const XMLNode& root = parser.parseString("<ok v=\"1\"/>");
        EXPECT_EQ(root.name(), "ok");
        EXPECT_EQ(*root.attr("v"), "1");
    }
}

TEST(XmlParserRefusals, BadByteIsPlacedAtItsCharacter) {
    SAXToNodeParser parser;
    try {
        parser.parseString("<a>\n\xc3\xa9t\xc3\xa9\xff</a>");
        FAIL() << "accepted";
    } catch (const DomException& e) {
        EXPECT_EQ(e.getMessage().substr(0, 18), "line 2, column 4: ");
    }
}

TEST(XmlParserDepth, LimitIsInclusive) {
    SAXToNodeParser parser;
    const XMLNode* node = &parser.parseString(nested(SAXToNodeParser::kMaxDepth));
    int depth = 1;
    while (!node->children().empty()) {
        node = node->children().front();
        ++depth;
    }
    EXPECT_EQ(depth, SAXToNodeParser::kMaxDepth);
    EXPECT_THROW(parser.parseString(nested(SAXToNodeParser::kMaxDepth + 1)), DomException);
}

TEST(XmlParserTree, ReadsNamesAttributesTextChildrenAndLines) {
    SAXToNodeParser parser;
    const XMLNode& root = parser.parseString(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Request op=\"createItems\" count='2' empty=\"\">\n"
        "  <item id=\"1\" name=\"a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;\"/>\n"
        "  <!-- a comment --><?pi ignored?>\n"
        "  <item id=\"2\">one<![CDATA[<two> & ]]>&#65;&#x20AC;&#x1F600;</item>\n"
        "  <last/>\n"
        "</Request>\n");
    EXPECT_EQ(root.name(), "Request");
    EXPECT_EQ(root.line(), 2);
    EXPECT_EQ(root.attrs().size(), 3u);
    EXPECT_EQ(*root.attr("op"), "createItems");
    EXPECT_EQ(*root.attr("count"), "2");
    EXPECT_EQ(*root.attr("empty"), "");
    EXPECT_EQ(root.attr("missing"), nullptr);

    ASSERT_EQ(root.children().size(), 3u);
    const XMLNode& first = *root.children()[0];
    const XMLNode& second = *root.children()[1];
    EXPECT_EQ(*first.attr("id"), "1");
    EXPECT_EQ(*first.attr("name"), "a & b <c> \"d\" 'e'");
    EXPECT_EQ(first.line(), 3);
    EXPECT_EQ(*second.attr("id"), "2");
    EXPECT_EQ(second.text(), "one<two> & A\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(second.line(), 5);
    EXPECT_EQ(root.children()[2]->name(), "last");
    EXPECT_EQ(root.children()[2]->line(), 6);
    EXPECT_EQ(root.child("item"), &first);
    EXPECT_EQ(root.child("none"), nullptr);
    // Text between the children is concatenated on the parent.
    EXPECT_EQ(root.text(), "\n  \n  \n  \n  \n");
}

TEST(XmlParserTree, AttributeValuesAreNormalisedUnlessEscaped) {
    SAXToNodeParser parser;
    const XMLNode& root = parser.parseString("<a raw=\"x\ty\nz\" kept=\"x&#9;y&#10;z&#13;\"/>");
    EXPECT_EQ(*root.attr("raw"), "x y z");
    EXPECT_EQ(*root.attr("kept"), "x\ty\nz\r");
}

TEST(XmlParserTree, InputIsUtf8WhateverTheDeclarationSays) {
    SAXToNodeParser parser;
    EXPECT_EQ(parser.parseString("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf\xc3\xa9</a>").text(),
              "caf\xc3\xa9");
    EXPECT_EQ(parser.parseString("\xef\xbb\xbf<a>bom</a>").text(), "bom");
    EXPECT_EQ(parser.parseString("\xef\xbb\xbf<?xml version = '1.0' ?><a>decl</a>").text(), "decl");
}

TEST(XmlParserTree, NextParseReplacesTheTree) {
    SAXToNodeParser parser;
    parser.parseString("<first><x/><y/></first>");
    const XMLNode& root = parser.parseString("<second/>");
    EXPECT_EQ(root.name(), "second");
    EXPECT_TRUE(root.children().empty());
}

// A tree is built in the nodes and attribute entries earlier parses on the
// thread left: nothing of an earlier document may show through.
TEST(XmlParserTree, NothingOfAnEarlierDocumentShowsThrough) {
    const std::string rich =
        "<r a=\"1\" b=\"2\" c=\"3\">text<x k=\"v\" l=\"w\">inner<deep/></x>"
        "<y m=\"a value longer than any small string\"/><z/></r>";
    const std::string plain = "<s d=\"4\">\n<x/><y k=\"other\" n=\"\"/></s>";
    auto expectPlain = [](const XMLNode& root) {
        EXPECT_EQ(root.name(), "s");
        EXPECT_EQ(listed(root), (Attrs{{"d", "4"}}));
        EXPECT_EQ(root.text(), "\n");
        ASSERT_EQ(root.children().size(), 2u);
        const XMLNode& x = *root.children()[0];
        EXPECT_EQ(x.name(), "x");
        EXPECT_TRUE(x.attrs().empty());
        EXPECT_EQ(x.text(), "");
        EXPECT_TRUE(x.children().empty());
        EXPECT_EQ(x.line(), 2);
        EXPECT_EQ(listed(*root.children()[1]), (Attrs{{"k", "other"}, {"n", ""}}));
        EXPECT_TRUE(root.children()[1]->children().empty());
    };
    {
        SAXToNodeParser parser;
        parser.parseString(rich);
        expectPlain(parser.parseString(plain));
    }
    SAXToNodeParser parser;  // takes the state the last one left on this thread
    expectPlain(parser.parseString(plain));
    const XMLNode& again = parser.parseString(rich);  // a bigger tree: old nodes and new ones
    EXPECT_EQ(listed(again), (Attrs{{"a", "1"}, {"b", "2"}, {"c", "3"}}));
    EXPECT_EQ(again.text(), "text");
    ASSERT_EQ(again.children().size(), 3u);
    EXPECT_EQ(listed(*again.children()[0]), (Attrs{{"k", "v"}, {"l", "w"}}));
    EXPECT_EQ(again.children()[0]->text(), "inner");
    ASSERT_EQ(again.children()[0]->children().size(), 1u);
    EXPECT_EQ(listed(*again.children()[1]), (Attrs{{"m", "a value longer than any small string"}}));
    EXPECT_TRUE(again.children()[2]->attrs().empty());
}

// Random documents one after another on one parser (and on the next, which
// takes the state the last left), now and then one refused midway: every
// element's attributes are those of a plain ordered map, in its order,
// whatever the order written, whatever the node the entries are written over
// held before, and whatever the reader and its kept blocks went through.
TEST(XmlParserTree, AttributesMatchAnOrderedMapOverReusedNodes) {
    std::vector<std::string> pool = {"a", "b", "ab", "b2", "Z", "_x", "id", "uid", "name"};
    for (int i = 0; i < 100; ++i) pool.push_back("n" + std::to_string(i));
    const std::vector<std::string> pieces = {"a", "Z", "0", " ", "&", "<", "\"", "\xc3\xa9", "\xe2\x82\xac"};
    auto escaped = [](const std::string& v) {
        std::string out;
        for (char c : v) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '"' ? "&quot;" : std::string(1, c);
        return out;
    };
    using Model = std::map<std::string, std::string>;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        auto below = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
        auto parser = std::make_unique<SAXToNodeParser>();
        for (int doc = 0; doc < 25; ++doc) {
            if (below(5) == 0) parser = std::make_unique<SAXToNodeParser>();
            const std::size_t elements = 1 + below(40);
            std::vector<Model> models(elements);
            std::string text;
            for (std::size_t e = 0; e < elements; ++e) {  // element 0 is the root
                std::vector<std::string> names = pool;
                std::shuffle(names.begin(), names.end(), rng);
                // Mostly a few, now and then more than a node keeps.
                names.resize(below(4) == 0 ? below(pool.size() + 1) : below(8));
                text += e == 0 ? "<r" : "<e";
                for (const std::string& name : names) {
                    std::string value;
                    for (std::size_t k = below(4) == 0 ? 20 + below(20) : below(6); k > 0; --k)
                        value += pieces[below(pieces.size())];
                    models[e][name] = value;
                    text += " " + name + "=\"" + escaped(value) + "\"";
                }
                text += e == 0 ? ">" : "/>";
            }
            text += "</r>";
            if (below(3) == 0) {
                // Cut short, or broken by a second root or an entity: refused.
                const char* tails[] = {"", "<r/>", "&nbsp;"};
                const std::string bad = text.substr(0, 1 + below(text.size() - 1)) + tails[below(3)];
                ASSERT_THROW(parser->parseString(bad), DomException) << "seed " << seed << " document " << doc;
            }
            const XMLNode& root = parser->parseString(text);
            ASSERT_EQ(root.children().size(), elements - 1) << "seed " << seed << " document " << doc;
            for (std::size_t e = 0; e < elements; ++e) {
                const XMLNode& node = e == 0 ? root : *root.children()[e - 1];
                const Model& model = models[e];
                ASSERT_EQ(listed(node), Attrs(model.begin(), model.end()))
                    << "seed " << seed << " document " << doc << " element " << e;
                ASSERT_EQ(node.attrs().size(), model.size());
                for (const std::string& name : pool) {
                    const auto it = model.find(name);
                    const std::string* got = node.attr(name);
                    if (it == model.end())
                        ASSERT_EQ(got, nullptr) << name << ", seed " << seed << " document " << doc;
                    else
                        ASSERT_TRUE(got && *got == it->second) << name << ", seed " << seed << " document " << doc;
                }
            }
        }
    }
}

TEST(XmlParserTree, WideTreeIsBuiltInOrder) {
    std::string doc = "<r>";
    for (int i = 0; i < 20000; ++i) doc += "<e i=\"" + std::to_string(i) + "\"/>";
    doc += "</r>";
    SAXToNodeParser parser;
    const XMLNode& root = parser.parseString(doc);
    ASSERT_EQ(root.children().size(), 20000u);
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(*root.children()[i]->attr("i"), std::to_string(i));
}

// Parsers live per request, on any thread, and may be statics destroyed at
// exit after the thread's own storage (the sanitizer build checks for leaks
// and use after free).
TEST(XmlParserLifetime, ParsersOnOtherThreadsAndStaticsAreSafe) {
    static SAXToNodeParser lastUntilExit;
    EXPECT_EQ(lastUntilExit.parseString("<static/>").name(), "static");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) {
                SAXToNodeParser parser;
                const std::string id = std::to_string(t * 100 + i);
                EXPECT_EQ(*parser.parseString("<a id=\"" + id + "\"><b/></a>").attr("id"), id);
            }
            SAXToNodeParser outer;
            const XMLNode& root = outer.parseString("<outer/>");
            {
                SAXToNodeParser inner;  // while another is alive on the same thread
                EXPECT_EQ(inner.parseString("<inner/>").name(), "inner");
            }
            EXPECT_EQ(root.name(), "outer");
        });
    }
    for (std::thread& th : threads) th.join();
}

TEST(XmlVlStrX, TranscodesToUtf8) {
    EXPECT_EQ(static_cast<const std::string&>(VlStrX(u"plain")), "plain");
    EXPECT_STREQ(VlStrX(u"caf\u00e9 \u20ac \U0001F600").localForm(),
                 "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_STREQ(VlStrX(lone).localForm(), "a\xef\xbf\xbd" "b");
    EXPECT_STREQ(VlStrX(nullptr).localForm(), "");
}

}  // namespace
