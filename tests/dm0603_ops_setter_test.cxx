// The typed property setter: every value type, single and array, with zero,
// one and three values (through createItems' master form attributes), and its
// locking rules.
#include "dm0603_ops_support.hxx"

#include "aom/aom.hxx"
#include "aom/form.hxx"
#include "aom/item.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "propdesc/property_descriptor.hxx"
#include "pom/test_seams.hxx"
#include "soa_services/core/code/datamanagement_util.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace dm0603;
namespace P = vl::platform;
using Velmora::Soa::Core::DataManagementUtil;

// A master form type with one single and one array property per value type.
const char* const kSetterSite = R"(
class SetterForm Form
attr SetterForm s1 char
attr SetterForm a1 char array
attr SetterForm s2 date
attr SetterForm a2 date array
attr SetterForm s3 double
attr SetterForm a3 double array
attr SetterForm s4 float
attr SetterForm a4 float array
attr SetterForm s5 int
attr SetterForm a5 int array
attr SetterForm s6 logical
attr SetterForm a6 logical array
attr SetterForm s7 short
attr SetterForm a7 short array
attr SetterForm s8 string
attr SetterForm a8 string array
attr SetterForm s9 typedref ref=Folder
attr SetterForm a9 typedref ref=Folder array
attr SetterForm s10 untypedref
attr SetterForm a10 untypedref array
attr SetterForm s11 externalref
attr SetterForm a11 externalref array
attr SetterForm s12 note
attr SetterForm a12 note array
attr SetterForm s13 typedrel ref=Folder
attr SetterForm a13 typedrel ref=Folder array
attr SetterForm s14 untypedrel
attr SetterForm a14 untypedrel array
type SetterItem Item
itemtype SetterItem revision=ItemRevision form=SetterForm
pseudofolder SetterForm a9
)";

class Dm0603OpsTypedSetter : public ExtendedSiteTest {
protected:
    Dm0603OpsTypedSetter() : ExtendedSiteTest(kSetterSite) {}
};

struct ValueTypeCase {
    int code;
    std::vector<std::string> texts;     // three texts as sent ("@n": the n-th folder's uid)
    std::vector<std::string> readBack;  // what getProperties gives for each
    std::vector<std::string> zeroSingle;  // a single property set from no value (no values: null)
    bool zeroSingleFails = false;         // no value does not convert: the input fails
};

std::string replaceRefs(std::string text, const std::vector<unsigned int>& folders) {
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string key = "@" + std::to_string(i + 1);
        for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), uidOf(folders[i]));
    }
    return text;
}

std::string joined(const std::vector<std::string>& texts, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += (i ? "::" : "") + texts[i];
    return out;
}

TEST_F(Dm0603OpsTypedSetter, EveryValueTypeSingleAndArrayWithZeroOneAndThreeValues) {
    const std::vector<std::string> refs = {"@1", "@2", "@3"};
    const std::vector<ValueTypeCase> cases = {
        {1, {"x", "y", "z"}, {"x", "y", "z"}, {""}},
        {2, {"2024-01-02T03:04:05", "2023-05-06", "1999-12-31T23:59:59"},
         {"2024-01-02T03:04:05", "2023-05-06T00:00:00", "1999-12-31T23:59:59"}, {}},
        {3, {"2.5", "-1", "1e3"}, {"2.5", "-1", "1000"}, {"0"}},
        {4, {"0.5", "3", "-2.25"}, {"0.5", "3", "-2.25"}, {"0"}},
        {5, {"7", "-3", "42"}, {"7", "-3", "42"}, {"0"}},
        {6, {"true", "0", "False"}, {"1", "0", "0"}, {}, true},
        {7, {"1", "2", "3"}, {"1", "2", "3"}, {"0"}},
        {8, {"alpha", "beta", "gamma"}, {"alpha", "beta", "gamma"}, {}},
        {9, refs, refs, {}},
        {10, refs, refs, {}},
        {11, refs, refs, {}},
        {12, {"n1", "n2", "n3"}, {"n1", "n2", "n3"}, {}},
        {13, refs, refs, {}},
        {14, refs, refs, {}},
    };
    for (const auto& c : cases) {
        for (bool single : {true, false}) {
            for (std::size_t n : {0u, 1u, 3u}) {
                const std::string property = (single ? "s" : "a") + std::to_string(c.code);
                SCOPED_TRACE(property + " with " + std::to_string(n) + " values");
                P::SITE_reset();
                const std::vector<unsigned int> folders = {newFolder("one"), newFolder("two"), newFolder("three")};
                const std::string value = replaceRefs(joined(c.texts, n), folders);
                const std::string request =
                    "<CreateItemsInput relationType=\"\"><propertie clientId=\"c\" name=\"\" type=\"SetterItem\" "
                    "description=\"\" uom=\"\" revId=\"A\" itemId=\"S-1\"><extendedAttribute objectType=\"SetterForm\">"
                    "<attribute key=\"" + property + "\" value=\"" + esc(value) + "\"/></extendedAttribute></propertie>"
                    "<container uid=\"\"/></CreateItemsInput>";
                Parsed made(invoke(kService, "createItems", request));
                ASSERT_TRUE(made.ok()) << made.text;

                const bool fails = single && n == 0 && c.zeroSingleFails;
                if (fails) {
                    EXPECT_TRUE(made.outputs().empty()) << made.text;
                    ASSERT_EQ(made.errors().size(), 1u) << made.text;
                    EXPECT_EQ(made.errors()[0].codes.back(), P::ERR_BAD_VALUE);
                    continue;
                }
                ASSERT_TRUE(made.errors().empty()) << made.text;
                const auto created = made.list("createdObj");
                ASSERT_EQ(created.size(), 3u) << made.text;  // item, revision, item master form
                Parsed read(invoke(kService, "getProperties",
                                   "<GetPropertiesInput>" + refUid("object", created[2]) + "<attribute value=\"" +
                                       property + "\"/></GetPropertiesInput>"));
                std::vector<std::string> expected;
                if (single) {
                    expected = n == 0 ? c.zeroSingle : std::vector<std::string>{c.readBack[0]};
                } else {
                    expected.assign(c.readBack.begin(), c.readBack.begin() + n);
                }
                for (auto& e : expected) e = replaceRefs(e, folders);
                EXPECT_EQ(read.properties(created[2])[property], expected) << read.text;
            }
        }
    }
}

// A number text that is not the whole number is refused, never stored as
// something else: the input fails with the bad-value code and is taken back.
TEST_F(Dm0603OpsTypedSetter, NumberTextsThatAreNotNumbersAreRefused) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"s5", "abc"}, {"s5", "12abc"}, {"s5", "99999999999"}, {"s5", "1.5"}, {"a5", "1::x"},
        {"s3", "heavy"}, {"s3", "1e999"}, {"s3", "nan"}, {"s4", "2.5kg"}, {"a3", "1::inf"},
    };
    for (const auto& [property, value] : cases) {
        SCOPED_TRACE(property + "=" + value);
        P::SITE_reset();
        const long before = P::STORE_object_count();
        const std::string request =
            "<CreateItemsInput relationType=\"\"><propertie clientId=\"c\" type=\"SetterItem\" revId=\"A\" "
            "itemId=\"S-1\"><extendedAttribute objectType=\"SetterForm\"><attribute key=\"" + property +
            "\" value=\"" + esc(value) + "\"/></extendedAttribute></propertie><container uid=\"\"/></CreateItemsInput>";
        Parsed made(invoke(kService, "createItems", request));
        ASSERT_TRUE(made.ok()) << made.text;
        EXPECT_TRUE(made.outputs().empty()) << made.text;
        ASSERT_EQ(made.errors().size(), 1u) << made.text;
        EXPECT_EQ(made.errors()[0].clientId, "c");
        EXPECT_EQ(made.errors()[0].codes, std::vector<int>{P::ERR_BAD_VALUE}) << made.text;
        EXPECT_EQ(P::STORE_object_count(), before);
    }
}

// A reference set on a property with a pseudo folder puts that folder on the
// changed-tag list; a failing property look-up afterwards is the result, and
// the release without a save takes the new value back.
TEST_F(Dm0603OpsTypedSetter, PseudoFolderOfAReferencePropertyIsReportedChanged) {
    tag_t form = 0;
    ASSERT_EQ(FORM_create("f", "", "SetterForm", &form), 0);
    ASSERT_EQ(AOM_save(form), 0);
    ASSERT_EQ(AOM_refresh(form, 0), 0);
    const unsigned int one = newFolder("one"), two = newFolder("two");

    OstraType::clearChangedTagList();
    EXPECT_EQ(DataManagementUtil::setProperties(form, "a9", {uidOf(one)}), 0);
    const auto changed = OstraType::changedTagList();
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(POMObject(changed[0]).className(), "PseudoFolder");

    OstraType::clearChangedTagList();
    EXPECT_EQ(DataManagementUtil::setProperties(form, "s9", {uidOf(one)}), 0);
    EXPECT_TRUE(OstraType::changedTagList().empty()) << "no pseudo folder on that property";

    P::FAULT_inject("AOM_ask_property", P::ERR_INJECTED);
    EXPECT_EQ(DataManagementUtil::setProperties(form, "a9", {uidOf(two)}), P::ERR_INJECTED);
    tag_t value = 0;
    int count = 0;
    scoped_smptr<tag_t> values;
    ASSERT_EQ(AOM_ask_value_tags(form, "a9", &count, &values), 0);
    ASSERT_EQ(count, 1);
    value = values[0];
    EXPECT_EQ(value, one);
    EXPECT_TRUE(P::LOCKS_held().empty());
    ERROR_store_clear();
}

// --- locking ---

class Dm0603OpsSetterLocks : public vl::test::ServiceTest {
protected:
    unsigned int savedForm() {
        tag_t form = 0;
        EXPECT_EQ(FORM_create("f", "", "ItemMaster", &form), 0);
        EXPECT_EQ(AOM_save(form), 0);
        EXPECT_EQ(AOM_refresh(form, 0), 0);
        return form;
    }
    static std::string text(unsigned int object, const char* name) {
        scoped_smptr<char> value;
        EXPECT_EQ(AOM_ask_value_string(object, name, &value), 0);
        return value.get() ? value.get() : "";
    }
};

TEST_F(Dm0603OpsSetterLocks, LocksOnlyWhatItMustAndReleasesIt) {
    struct Case {
        const char* name;
        std::function<void(unsigned int)> prepare;
        const char* property;
        std::vector<std::string> values;
        int result;           // -1: throws IFail
        bool lockedAfter;     // the caller's lock is kept
        bool savedValue;      // the value survives a refresh that discards changes
    };
    const std::vector<Case> cases = {
        {"unlocked object: locked, saved, released", [](unsigned int) {}, "project_code", {"P1", "ignored"}, 0,
         false, true},
        {"caller's lock: neither saved nor released", [](unsigned int f) { EXPECT_EQ(AOM_refresh(f, 1), 0); },
         "project_code", {"P1"}, 0, true, false},
        {"no such property: 1, no lock left", [](unsigned int) {}, "no_such_property", {"x"}, 1, false, false},
        {"a date that does not parse: lock released", [](unsigned int) {}, "review_date", {"someday"}, -1, false,
         false},
        {"a logical that does not convert: lock released", [](unsigned int) {}, "approved", {"maybe"}, -1, false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned int form = savedForm();
        c.prepare(form);
        int result = -1;
        try {
            result = DataManagementUtil::setProperties(form, c.property, c.values);
        } catch (const IFail&) {
            result = -1;
        }
        EXPECT_EQ(result, c.result);
        bool modifiable = false;
        ASSERT_EQ(POM_modifiable(form, &modifiable), 0);
        EXPECT_EQ(modifiable, c.lockedAfter);
        ASSERT_EQ(AOM_refresh(form, 0), 0);
        EXPECT_EQ(text(form, "project_code"), c.savedValue ? "P1" : "");
        EXPECT_TRUE(P::LOCKS_held().empty());
        ERROR_store_clear();
    }
}

TEST_F(Dm0603OpsSetterLocks, ObjectOfAnotherDataManagerIsNeitherLockedNorSaved) {
    const unsigned int form = savedForm();
    ASSERT_EQ(P::OBJ_set_data_manager(form, EIM_ask_data_manager() + 1), 0);
    P::CALLS_clear();
    DataManagementUtil::setProperties(form, "project_code", {"P1"});
    const auto calls = P::CALLS_log();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "AOM_refresh"), 0);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "AOM_save"), 0);
    EXPECT_TRUE(P::LOCKS_held().empty());
    ERROR_store_clear();
}

}  // namespace
