// Feeds arbitrary text through the request parser; what parses is written
// back out twice, as a plain tree and as service data, and must come back the
// same. Any escape other than a DomException, any sanitizer report or any
// difference is a crash.
#include "soa_common/xml.hxx"
#include "soa_framework/wire/base_types.hxx"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Velmora::Schemas::Soa::_2006_03::Base::ServiceData;
using Velmora::Soa::Common::Exceptions::DomException;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XMLNode;
using Velmora::Soa::Common::Xml::XmlStream;

[[noreturn]] void crash(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "fuzz_wire: %s\n--- first\n%s\n--- second\n%s\n", what, a.c_str(), b.c_str());
    std::abort();
}

// Text first, then children: parsing it back gives the same concatenated text.
void writeTree(XmlStream& out, const XMLNode& node) {
    out.startElement(node.name());
    for (const auto& [name, value] : node.attrs()) out.attribute(name, value);
    if (!node.text().empty()) out.text(node.text());
    for (const XMLNode* child : node.children()) writeTree(out, *child);
    out.endElement();
}

bool sameTree(const XMLNode& a, const XMLNode& b) {
    if (a.name() != b.name() || a.attrs() != b.attrs() || a.text() != b.text() ||
        a.children().size() != b.children().size())
        return false;
    for (std::size_t i = 0; i < a.children().size(); ++i)
        if (!sameTree(*a.children()[i], *b.children()[i])) return false;
    return true;
}

// Our own output must always parse.
const XMLNode& reparse(SAXToNodeParser& parser, const std::string& text) {
    try {
        return parser.parseString(text);
    } catch (const DomException& e) {
        crash(("own output refused: " + e.getMessage()).c_str(), text, "");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    SAXToNodeParser parser;
    const XMLNode* root = nullptr;
    try {
        root = &parser.parseString(input);
    } catch (const DomException&) {
        return 0;
    }

    // Tree -> stream -> tree.
    XmlStream tree;
    writeTree(tree, *root);
    SAXToNodeParser treeParser;
    if (!sameTree(*root, reparse(treeParser, tree.str()))) crash("tree changed on the round trip", input, tree.str());

    // Service data: parse -> write -> parse -> write, both writes equal.
    ServiceData first;
    try {
        first.parse(*root);
    } catch (const DomException&) {
        return 0;
    }
    XmlStream out1;
    first.outputXML(out1, "ServiceData");
    SAXToNodeParser wireParser;
    const XMLNode& written = reparse(wireParser, out1.str());
    ServiceData second;
    try {
        second.parse(written);
    } catch (const DomException& e) {
        crash(("own service data refused: " + e.getMessage()).c_str(), out1.str(), "");
    }
    XmlStream out2;
    second.outputXML(out2, "ServiceData");
    if (out1.str() != out2.str()) crash("service data changed on the round trip", out1.str(), out2.str());
    return 0;
}
