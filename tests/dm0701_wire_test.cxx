// Data management 2007_01 wire types: every type, with every field filled,
// is written, read back and written again unchanged; documents written by
// hand keep their names and order; shared bodies.
#include "soa_common/xml.hxx"
#include "soa_services/core/schemas/core/_2007_01/datamanagement/datamanagement_types.hxx"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace dm0701wire {

using namespace ::Velmora::Schemas::Core::_2007_01::Datamanagement;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XmlStream;
namespace Base = ::Velmora::Schemas::Soa::_2006_03::Base;

// Every field of every type gets a value of its kind that differs from the
// default: texts that need escaping, negative ints, true, references with
// uids, and two entries per array.
#define DM0701_FILL_DECLARE(X) void fillInto(X& object);
VL_DM0701_WIRE_TYPES(DM0701_FILL_DECLARE)

template <class T>
T sample() {
    if constexpr (std::is_same_v<T, std::string>) {
        return "a&b<c>\"d\"\te";
    } else if constexpr (std::is_same_v<T, int>) {
        return -7;
    } else if constexpr (std::is_same_v<T, bool>) {
        return true;
    } else if constexpr (std::is_same_v<T, Base::ModelObject>) {
        Base::ModelObject object;
        object.setUid("uid-1");
        return object;
    } else if constexpr (std::is_same_v<T, Base::ServiceData>) {
        Base::ServiceData data;
        Base::RefId plain;
        plain.setUid("uid-2");
        data.addPlainObj(plain);
        return data;
    } else {
        T object;
        fillInto(object);
        return object;
    }
}

#define DM0701_FILL_F(T, N) object.set##N(sample<T>());
#define DM0701_FILL_A(T, N) object.set##N##Array(std::vector<T>{sample<T>(), sample<T>()});
#define DM0701_FILL_DEFINE(X) \
    void fillInto(X& object) { VL_WIRE_FIELDS_##X(DM0701_FILL_F, DM0701_FILL_F, DM0701_FILL_A) }
VL_DM0701_WIRE_TYPES(DM0701_FILL_DEFINE)

template <class T>
std::string write(const T& object) {
    XmlStream stream;
    object.outputXML(stream, T::typeName());
    return stream.str();
}

template <class T>
std::string rewritten(const std::string& xml) {
    SAXToNodeParser parser;
    T object;
    object.parse(parser.parseString(xml));
    return write(object);
}

struct TypeCase {
    const char* name;
    std::function<std::string()> filled;
    std::function<std::string()> empty;
    std::function<std::string(const std::string&)> rewrite;
};

#define DM0701_CASE(X) TypeCase{#X, [] { return write(sample<X>()); }, [] { return write(X()); }, rewritten<X>},

TEST(Dm0701WireTypes, EveryTypeComesBackUnchanged) {
    const TypeCase cases[] = {VL_DM0701_WIRE_TYPES(DM0701_CASE)};
    EXPECT_EQ(sizeof(cases) / sizeof(cases[0]), 40u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string filled = c.filled();
        EXPECT_EQ(c.rewrite(filled), filled);
        EXPECT_EQ(c.rewrite(c.empty()), c.empty());
        // Every field was written: the filled document differs from the empty one
        // and is rooted at the type's name.
        EXPECT_NE(filled, c.empty());
        EXPECT_EQ(filled.rfind(std::string("<") + c.name, 0), 0u) << filled;
    }
}

// Documents written by hand in the service's form (attributes in field
// order, then child elements in field order): a field under a wrong name is
// refused by the strict reader, one in a wrong place comes back elsewhere.
TEST(Dm0701WireTypes, HandWrittenDocumentsComeBackUnchanged) {
    const std::pair<std::function<std::string(const std::string&)>, std::string> cases[] = {
        {rewritten<GetDatasetCreationRelatedInfoResponse>,
         "<GetDatasetCreationRelatedInfoResponse nameCanBeModified=\"true\" newDatasetName=\"Text-0001\">"
         "<toolName value=\"TextEditor\"/><toolName value=\"Viewer\"/>"
         "<initValuePropertyRule value=\"object_name\"/><serviceData/>"
         "</GetDatasetCreationRelatedInfoResponse>"},
        {rewritten<GetItemCreationRelatedInfoResponse>,
         "<GetItemCreationRelatedInfoResponse revTypeName=\"ItemRevision\">"
         "<complexValuePropertyRule value=\"item_id\"/><initValuePropertyRule value=\"object_name\"/>"
         "<patternMap key=\"item_id\"><value value=\"NNNNNN\"/><value value=\"&quot;X&quot;NNN\"/></patternMap>"
         "<patternMap key=\"rev_id\"/><uom value=\"kg\"/>"
         "<formAttr formType=\"ItemRevision Master\">"
         "<formPD propType=\"1\" maxLength=\"32\" isDisplayable=\"true\" isRequired=\"false\" "
         "propName=\"change_reason\" isArray=\"false\" attachedSpecifier=\"-1\" isModifiable=\"true\" "
         "displayName=\"Change reason\" isEnabled=\"false\" propValueType=\"8\">"
         "<lov uid=\"L1\"/><interdependentProp value=\"a\"/><interdependentProp value=\"b\"/></formPD>"
         "</formAttr><serviceData/></GetItemCreationRelatedInfoResponse>"},
        {rewritten<CreateOrUpdateFormsInput>,
         "<CreateOrUpdateFormsInput><info saveDB=\"true\" clientId=\"f1\" name=\"Form\" "
         "relationName=\"OSTRA_master_form\" formType=\"ItemRevision Master\" description=\"d\">"
         "<formObject uid=\"\"/><parentObject uid=\"P1\"/>"
         "<attributesMap key=\"reviewer\"><value value=\"ann\"/><value value=\"bo\"/></attributesMap>"
         "</info></CreateOrUpdateFormsInput>"},
        {rewritten<WhereReferencedResponse>,
         "<WhereReferencedResponse><output><inputObject uid=\"o\"/>"
         "<info relation=\"contents\" level=\"2\"><referencer uid=\"f\"/></info></output>"
         "<serviceData/></WhereReferencedResponse>"},
        {rewritten<WhereUsedInput>,
         "<WhereUsedInput numLevels=\"-2\" whereUsedPrecise=\"true\"><object uid=\"a\"/><object uid=\"b\"/>"
         "<rule uid=\"R\"/></WhereUsedInput>"},
        {rewritten<SetPropertiesInput>,
         "<SetPropertiesInput><object uid=\"o\"/><attribute key=\"object_desc\"><value>"
         "<stringVec value=\"one\"/><stringVec value=\"two\"/></value></attribute></SetPropertiesInput>"},
        {rewritten<MoveToNewFolderInput>,
         "<MoveToNewFolderInput><moveToNewFolderInfo><oldFolder uid=\"F1\"/><newFolder uid=\"F2\"/>"
         "<objectsToMove uid=\"o1\"/><objectsToMove uid=\"o2\"/></moveToNewFolderInfo></MoveToNewFolderInput>"},
        {rewritten<GenerateUIDInput>, "<GenerateUIDInput nUID=\"3\"/>"},
        {rewritten<GenerateUIDResponse>,
         "<GenerateUIDResponse><uid value=\"u1\"/><uid value=\"u2\"/><serviceData/></GenerateUIDResponse>"},
        {rewritten<GetItemFromIdInput>,
         "<GetItemFromIdInput nRev=\"-1\"><info itemId=\"000100\"><revId value=\"A\"/></info>"
         "<pref><pref relationTypeName=\"Reference\"><objectTypeName value=\"Text\"/></pref></pref>"
         "</GetItemFromIdInput>"},
        {rewritten<GetItemFromIdResponse>,
         "<GetItemFromIdResponse><output><item uid=\"i\"/><itemRevOutput><itemRevision uid=\"r\"/>"
         "<dataset uid=\"d1\"/><dataset uid=\"d2\"/></itemRevOutput></output><serviceData/>"
         "</GetItemFromIdResponse>"},
        {rewritten<SaveAsNewItemInput>,
         "<SaveAsNewItemInput><info clientId=\"c\" name=\"n\" description=\"d\" revId=\"A\" itemId=\"X1\">"
         "<itemRevision uid=\"r\"/><folder uid=\"f\"/></info></SaveAsNewItemInput>"},
        {rewritten<SaveAsNewItemResponse>,
         "<SaveAsNewItemResponse><inputToNewItem key=\"c\"><value><item uid=\"i\"/><itemRev uid=\"ir\"/>"
         "</value></inputToNewItem><serviceData/></SaveAsNewItemResponse>"},
    };
    for (const auto& [rewrite, xml] : cases) {
        SCOPED_TRACE(xml);
        std::string back;
        EXPECT_NO_THROW(back = rewrite(xml));
        EXPECT_EQ(back, xml);
    }
}

TEST(Dm0701WireTypes, FieldsTravelUnderTheirNames) {
    const std::string xml = write(sample<FormPropDescriptor>());
    for (const char* name : {"propType=\"-7\"", "maxLength=", "isDisplayable=\"true\"", "isRequired=", "propName=",
                             "isArray=\"true\"", "attachedSpecifier=", "isModifiable=", "displayName=", "isEnabled=",
                             "propValueType=", "<lov uid=\"uid-1\"", "<interdependentProp value="})
        EXPECT_NE(xml.find(name), std::string::npos) << name << " in " << xml;
    const std::string move = write(sample<MoveToNewFolderInput>());
    EXPECT_NE(move.find("<moveToNewFolderInfo><oldFolder uid=\"uid-1\"/><newFolder uid=\"uid-1\"/>"
                        "<objectsToMove uid=\"uid-1\"/>"),
              std::string::npos)
        << move;
    EXPECT_NE(write(sample<GenerateUIDInput>()).find("nUID=\"-7\""), std::string::npos);
    EXPECT_NE(write(sample<GetItemFromIdInput>()).find("nRev=\"-7\""), std::string::npos);
}

TEST(Dm0701WireTypes, CopiesShareOneBody) {
    WhereUsedParentInfo a;
    WhereUsedParentInfo copy = a;
    copy.setLevel(3);
    EXPECT_EQ(a.getLevel(), 3);
    WhereUsedOutput output;
    output.setInfoArray({a});
    a.setLevel(4);
    EXPECT_EQ(output.getInfoArray()[0].getLevel(), 4);  // array entries are shared too
    WhereUsedParentInfo other;
    other = a;
    other.setLevel(5);
    EXPECT_EQ(a.getLevel(), 5);
}

}  // namespace dm0701wire
