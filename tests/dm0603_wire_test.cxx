// Data management 2006_03 wire types: documents read and written back
// unchanged, map entries kept as sent, and strict reading.
#include "soa_common/xml.hxx"
#include "soa_services/core/schemas/core/_2006_03/datamanagement/datamanagement_types.hxx"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

namespace Wire = Velmora::Schemas::Core::_2006_03::Datamanagement;
using Velmora::Soa::Common::Exceptions::DomException;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XmlStream;

template <class T>
T parse(const std::string& xml) {
    SAXToNodeParser parser;
    T object;
    object.parse(parser.parseString(xml));
    return object;
}

template <class T>
std::string write(const T& object, const std::string& root) {
    XmlStream stream;
    object.outputXML(stream, root);
    return stream.str();
}

template <class T>
std::string roundTrip(const std::string& xml) {
    return write(parse<T>(xml), T::typeName());
}

// Documents in the written form (attributes in field order, then children),
// covering nested arrays, map entries, object keys, ints, flags and the one
// array of plain strings.
TEST(Dm0603WireTypes, DocumentsComeBackUnchanged) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> trip;
        std::string xml;
    } cases[] = {
        {"CreateItemsInput", roundTrip<Wire::CreateItemsInput>,
         "<CreateItemsInput relationType=\"contents\">"
         "<propertie clientId=\"c1\" name=\"Bolt\" type=\"Item\" description=\"d &amp; &quot;q&quot;\" uom=\"kg\" "
         "revId=\"A\" itemId=\"000001\">"
         "<extendedAttribute objectType=\"ItemRevision Master\">"
         "<attribute key=\"k1\" value=\"v1\"/><attribute key=\"k0\" value=\"v0\"/>"
         "</extendedAttribute>"
         "<extendedAttribute objectType=\"Item Master\"/>"
         "</propertie>"
         "<propertie clientId=\"c2\" name=\"\" type=\"\" description=\"\" uom=\"\" revId=\"\" itemId=\"\"/>"
         "<container uid=\"AAAAAAAAAAAAAA\"/>"
         "</CreateItemsInput>"},
        {"CreateFoldersInput", roundTrip<Wire::CreateFoldersInput>,
         "<CreateFoldersInput relationType=\"\"><folder clientId=\"f\" name=\"N\" desc=\"D\"/>"
         "<container uid=\"\"/></CreateFoldersInput>"},
        {"GetPropertiesInput", roundTrip<Wire::GetPropertiesInput>,
         "<GetPropertiesInput><object uid=\"u1\"/><object uid=\"u2\"/>"
         "<attribute value=\"object_name\"/><attribute value=\"owning_user\"/></GetPropertiesInput>"},
        {"ReviseInput", roundTrip<Wire::ReviseInput>,
         "<ReviseInput><input><key uid=\"r1\"/>"
         "<value name=\"n\" description=\"d\" revId=\"B\"><extendedAttribute key=\"a\" value=\"1\"/></value>"
         "</input></ReviseInput>"},
        {"GenerateItemIdsAndInitialRevisionIdsInput", roundTrip<Wire::GenerateItemIdsAndInitialRevisionIdsInput>,
         "<GenerateItemIdsAndInitialRevisionIdsInput><input count=\"-3\" itemType=\"Item\"><item uid=\"\"/></input>"
         "</GenerateItemIdsAndInitialRevisionIdsInput>"},
        {"GenerateItemIdsAndInitialRevisionIdsResponse",
         roundTrip<Wire::GenerateItemIdsAndInitialRevisionIdsResponse>,
         "<GenerateItemIdsAndInitialRevisionIdsResponse>"
         "<outputItemIdsAndInitialRevisionId key=\"0\">"
         "<value isItemModify=\"true\" isRevModify=\"false\" newRevId=\"A\" newItemId=\"000001\"/>"
         "<value isItemModify=\"false\" isRevModify=\"true\" newRevId=\"A\" newItemId=\"000002\"/>"
         "</outputItemIdsAndInitialRevisionId>"
         "<outputItemIdsAndInitialRevisionId key=\"2\"/>"
         "<serviceData/></GenerateItemIdsAndInitialRevisionIdsResponse>"},
        {"GenerateRevisionIdsResponse", roundTrip<Wire::GenerateRevisionIdsResponse>,
         "<GenerateRevisionIdsResponse><outputRevisionId key=\"1\"><value isModify=\"true\" newRevId=\"B\"/>"
         "</outputRevisionId><serviceData/></GenerateRevisionIdsResponse>"},
        {"ChangeOwnershipInput", roundTrip<Wire::ChangeOwnershipInput>,
         "<ChangeOwnershipInput><input><object uid=\"o\"/><owner uid=\"u\"/><group uid=\"g\"/></input>"
         "</ChangeOwnershipInput>"},
        // Two entries with one key: the wire keeps both, in their order.
        {"SetDisplayPropertiesInput", roundTrip<Wire::SetDisplayPropertiesInput>,
         "<SetDisplayPropertiesInput><object uid=\"o\"/>"
         "<attribute key=\"object_desc\" value=\"first\"/><attribute key=\"object_desc\" value=\"second\"/>"
         "</SetDisplayPropertiesInput>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.trip(c.xml), c.xml);
    }
}

// Fields left out of a request read as empty, and an object field always has
// a body, so its uid can be read without a test.
TEST(Dm0603WireTypes, LeftOutFieldsReadAsEmpty) {
    auto in = parse<Wire::CreateItemsInput>("<CreateItemsInput/>");
    EXPECT_EQ(in.getRelationType(), "");
    EXPECT_TRUE(in.getPropertieArray().empty());
    EXPECT_EQ(in.getContainer().getUid(), "");
    auto ids = parse<Wire::GenerateItemIdsAndInitialRevisionIdsProperties>("<x/>");
    EXPECT_EQ(ids.getCount(), 0);
    EXPECT_EQ(ids.getItem().getUid(), "");
}

TEST(Dm0603WireTypes, MalformedContentIsRefused) {
    struct Case {
        const char* xml;
        const char* why;
    } cases[] = {
        {"<CreateFoldersInput relation=\"x\"/>", "unknown attribute"},
        {"<CreateFoldersInput><container uid=\"a\"/><container uid=\"b\"/></CreateFoldersInput>",
         "repeated element"},
        {"<CreateFoldersInput><folders clientId=\"a\"/></CreateFoldersInput>", "unexpected element"},
        {"<CreateFoldersInput><folder clientId=\"a\"><x/></folder></CreateFoldersInput>", "unexpected element"},
        {"<CreateFoldersInput relationType=\"a\"><relationType/></CreateFoldersInput>", "unexpected element"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        try {
            parse<Wire::CreateFoldersInput>(c.xml);
            ADD_FAILURE() << "accepted";
        } catch (const DomException& e) {
            EXPECT_NE(e.getMessage().find(c.why), std::string::npos) << e.getMessage();
        }
    }
    EXPECT_THROW(parse<Wire::GenerateItemIdsAndInitialRevisionIdsProperties>("<x count=\"99999999999\"/>"),
                 DomException);
    EXPECT_THROW(parse<Wire::RevisionIds>("<x isModify=\"yes\"/>"), DomException);
}

}  // namespace
