// Data management 2007_01 wire types: every type, with every field filled,
// is written, read back and written again unchanged; shared bodies.
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
