#include "soa_common/xml.hxx"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Velmora::Soa::Common::Exceptions::DomException;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XMLNode;
using Velmora::Soa::Common::Xml::XmlStream;

std::string escaped(std::string_view in) {
    std::ostringstream out;
    XmlStream::escape(out, in);
    return out.str();
}

const std::string kFFFD = "\xef\xbf\xbd";

TEST(XmlStreamEscape, Table) {
    struct Case {
        const char* label;
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"plain", "abc 123 /'=", "abc 123 /'="},
        {"empty", "", ""},
        {"markup", "a&b<c>d\"e", "a&amp;b&lt;c&gt;d&quot;e"},
        {"already an entity", "&amp;", "&amp;amp;"},
        {"white space", "\t\n\r", "&#9;&#10;&#13;"},
        {"control characters", std::string("a\x01\x1f", 3) + std::string(1, '\0') + "b",
         "a" + kFFFD + kFFFD + kFFFD + "b"},
        {"DEL and C1 are allowed", "\x7f\xc2\x85", "\x7f\xc2\x85"},
        {"two, three and four bytes", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80",
         "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
        {"stray continuation byte", "a\x80" "b", "a" + kFFFD + "b"},
        {"invalid lead bytes", "\xff\xfe\xc0\xc1\xf5", kFFFD + kFFFD + kFFFD + kFFFD + kFFFD},
        {"overlong slash", "\xc0\xaf", kFFFD + kFFFD},
        {"overlong three bytes", "\xe0\x80\xaf", kFFFD + kFFFD + kFFFD},
        {"encoded surrogate", "\xed\xa0\x80", kFFFD + kFFFD + kFFFD},
        {"above U+10FFFF", "\xf4\x90\x80\x80", kFFFD + kFFFD + kFFFD + kFFFD},
        {"truncated in the middle", "\xe2\x82<", kFFFD + "&lt;"},
        {"truncated at the end", "x\xf0\x9f\x98", "x" + kFFFD},
        {"U+FFFE and U+FFFF", "\xef\xbf\xbe\xef\xbf\xbf", kFFFD + kFFFD},
        {"U+FFFD itself", kFFFD, kFFFD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(escaped(c.in), c.out);
    }
}

TEST(XmlStreamWriter, StartTagsStayOpenUntilTheFirstChild) {
    XmlStream out;
    out.startElement("Response");
    out.attribute("a", "1");
    out.startElement("empty");
    out.attribute("x", "<&>");
    out.endElement();
    out.startElement("withText");
    out.text("a<b");
    out.endElement();
    out.startElement("parent");
    out.startElement("child");
    out.endElement();
    out.endElement();
    out.endElement();
    out.endElement();  // nothing open: no effect
    EXPECT_EQ(out.str(),
              "<Response a=\"1\"><empty x=\"&lt;&amp;&gt;\"/><withText>a&lt;b</withText>"
              "<parent><child/></parent></Response>");
}

TEST(XmlStreamWriter, AttributeOrTextOutsideAStartTagIsDropped) {
    XmlStream out;
    out.attribute("x", "1");
    out.text("before");
    out.startElement("a");
    out.startElement("b");
    out.endElement();
    out.attribute("late", "1");  // the start tag of <a> is already closed
    out.endElement();
    out.text("after");
    EXPECT_EQ(out.str(), "<a><b/></a>");
}

// Values that the parser hands back unchanged once written.
const std::vector<std::string> kRoundTripValues = {
    "",
    "plain",
    " leading and trailing ",
    "a&b<c>d\"e'f",
    "&amp; &lt; &#65; ]]> <![CDATA[",
    "tab\there\nnew line\r\ncarriage\rreturn",
    "  \t\t\n\n  ",
    "\x7f \xc2\x85 caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xef\xbf\xbd",
};

TEST(XmlStreamRoundTrip, WrittenValuesParseBackUnchanged) {
    XmlStream out;
    out.startElement("r");
    for (std::size_t i = 0; i < kRoundTripValues.size(); ++i)
        out.attribute("v" + std::to_string(i), kRoundTripValues[i]);
    for (const std::string& v : kRoundTripValues) {
        out.startElement("t");
        out.text(v);
        out.endElement();
    }
    out.endElement();

    SAXToNodeParser parser;
    const XMLNode& root = parser.parseString(out.str());
    ASSERT_EQ(root.children().size(), kRoundTripValues.size());
    for (std::size_t i = 0; i < kRoundTripValues.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string* attr = root.attr("v" + std::to_string(i));
        ASSERT_NE(attr, nullptr);
        EXPECT_EQ(*attr, kRoundTripValues[i]);
        EXPECT_EQ(root.children()[i]->text(), kRoundTripValues[i]);
    }
}

// Whatever the bytes, the output parses, and what comes back is the value
// with each character XML cannot carry turned into U+FFFD.
TEST(XmlStreamRoundTrip, ArbitraryBytesAlwaysGiveWellFormedOutput) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 40);
    SAXToNodeParser parser;
    for (int round = 0; round < 2000; ++round) {
        std::string value;
        for (int n = length(random); n > 0; --n) value += static_cast<char>(byte(random));
        XmlStream out;
        out.startElement("a");
        out.attribute("v", value);
        out.text(value);
        out.endElement();
        const std::string expected = escaped(value);
        try {
            const XMLNode& root = parser.parseString(out.str());
            // The escaped form carries only entities and clean UTF-8; parsing
            // it must give the same characters as writing it again does.
            EXPECT_EQ(escaped(*root.attr("v")), expected);
            EXPECT_EQ(escaped(root.text()), expected);
        } catch (const DomException& e) {
            ADD_FAILURE() << e.getMessage() << " for output " << out.str();
        }
    }
}

}  // namespace
