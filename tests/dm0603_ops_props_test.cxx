// getProperties and setDisplayProperties.
#include "dm0603_ops_support.hxx"

#include "aom/aom.hxx"
#include "aom/form.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace dm0603;
namespace P = vl::platform;

std::string getProperties(const std::vector<std::string>& uids, const std::vector<std::string>& names) {
    std::string xml = "<GetPropertiesInput>";
    for (const auto& u : uids) xml += refUid("object", u);
    for (const auto& n : names) xml += "<attribute value=\"" + esc(n) + "\"/>";
    return xml + "</GetPropertiesInput>";
}

std::string setDisplayProperties(const std::vector<std::string>& uids,
                                 const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string xml = "<SetDisplayPropertiesInput>";
    for (const auto& u : uids) xml += refUid("object", u);
    for (const auto& [k, v] : entries) xml += "<attribute key=\"" + esc(k) + "\" value=\"" + esc(v) + "\"/>";
    return xml + "</SetDisplayPropertiesInput>";
}

unsigned int newForm(const std::string& name) {
    tag_t form = 0;
    EXPECT_EQ(FORM_create(name.c_str(), "", "ItemMaster", &form), 0);
    EXPECT_EQ(AOM_save(form), 0);
    EXPECT_EQ(AOM_refresh(form, 0), 0);
    return form;
}

std::string display(unsigned int object, const char* name) {
    scoped_smptr<char> value;
    EXPECT_EQ(AOM_UIF_ask_value(object, name, &value), 0) << name;
    return value.get() ? value.get() : "";
}

class Dm0603OpsGetProperties : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsGetProperties, InvalidObjectAmongValidOnesAndTheValuesRead) {
    const unsigned int a = newFolder("Alpha"), b = newFolder("Beta");
    Parsed r(invoke(kService, "getProperties",
                    getProperties({uidOf(a), "NoSuchUid00004", uidOf(b)}, {"object_name", "object_type", "object_name"})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_EQ(r.list("plainObj"), (std::vector<std::string>{uidOf(a), uidOf(b)}));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "");
    EXPECT_EQ(r.errors()[0].uid, "");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INVALID_TAG});
    using Props = std::map<std::string, std::vector<std::string>>;
    EXPECT_EQ(r.properties(uidOf(a)), (Props{{"object_name", {"Alpha"}}, {"object_type", {"Folder"}}}));
    EXPECT_EQ(r.properties(uidOf(b)), (Props{{"object_name", {"Beta"}}, {"object_type", {"Folder"}}}));
}

// A valid tag whose object will not load is refused as an invalid tag, after
// the load's own error; the other objects are read.
TEST_F(Dm0603OpsGetProperties, ObjectThatDoesNotLoadIsAnInvalidTag) {
    const unsigned int a = newFolder("Alpha"), b = newFolder("Beta");
    P::FAULT_inject("Tag::object", P::ERR_INJECTED, a);
    Parsed r(invoke(kService, "getProperties", getProperties({uidOf(a), uidOf(b)}, {"object_name"})));
    EXPECT_EQ(P::FAULT_pending(), 0);
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_EQ(r.list("plainObj"), std::vector<std::string>{uidOf(b)});
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, "");
    EXPECT_EQ(r.errors()[0].codes, (std::vector<int>{P::ERR_INJECTED, P::ERR_INVALID_TAG}));
    using Props = std::map<std::string, std::vector<std::string>>;
    EXPECT_EQ(r.properties(uidOf(b)), (Props{{"object_name", {"Beta"}}}));
}

TEST_F(Dm0603OpsGetProperties, EmptyNameListReturnsTheObjectsAlone) {
    const unsigned int a = newFolder("Alpha");
    Parsed r(invoke(kService, "getProperties", getProperties({uidOf(a)}, {})));
    EXPECT_EQ(r.list("plainObj"), std::vector<std::string>{uidOf(a)});
    EXPECT_TRUE(r.errors().empty()) << r.text;
    EXPECT_TRUE(r.properties(uidOf(a)).empty()) << r.text;
}

class Dm0603OpsSetDisplayProperties : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsSetDisplayProperties, EmptyTextAmongThreeIsAnErrorAndTheOthersAreSet) {
    const unsigned int form = newForm("f");
    Parsed r(invoke(kService, "setDisplayProperties",
                    setDisplayProperties({uidOf(form)}, {{"weight", "2.5"}, {"quantity", ""}, {"project_code", "P1"}})));
    ASSERT_TRUE(r.ok()) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, uidOf(form));
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_EMPTY_DISPLAY_VALUE});
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(form)});
    // Saved: a refresh that discards unsaved changes keeps them.
    ASSERT_EQ(AOM_refresh(form, 0), 0);
    EXPECT_EQ(display(form, "project_code"), "P1");
    double weight = 0;
    ASSERT_EQ(AOM_ask_value_double(form, "weight", &weight), 0);
    EXPECT_EQ(weight, 2.5);
}

// Entries go in ascending name order whatever the request's order: the
// partial errors of two failing entries come out in that order.
TEST_F(Dm0603OpsSetDisplayProperties, EntriesAreSetInNameOrder) {
    const unsigned int form = newForm("f");
    Parsed r(invoke(kService, "setDisplayProperties",
                    setDisplayProperties({uidOf(form)}, {{"quantity", "many"}, {"aaa_missing", "x"}})));
    ASSERT_EQ(r.errors().size(), 2u) << r.text;
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_NO_SUCH_ATTRIBUTE}) << "aaa_missing first";
    EXPECT_EQ(r.errors()[1].codes, std::vector<int>{P::ERR_BAD_VALUE});
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(form)}) << "updated even with failed entries";
}

TEST_F(Dm0603OpsSetDisplayProperties, ObjectsThatCannotBeChanged) {
    struct Case {
        const char* name;
        std::function<std::string()> object;
        bool keyedByObject;
        std::vector<int> codes;
    };
    const std::vector<Case> cases = {
        {"unknown uid", [] { return std::string("NoSuchUid00005"); }, true, {P::ERR_INVALID_TAG}},
        {"null", [] { return std::string(); }, true, {P::ERR_INVALID_TAG}},
        {"read-only",
         [] {
             unsigned int f = newForm("ro");
             EXPECT_EQ(P::OBJ_set_read_only(f, true), 0);
             return uidOf(f);
         },
         false, {P::ERR_NOT_MODIFIABLE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string uid = c.object();
        const unsigned int good = newForm("good");
        Parsed r(invoke(kService, "setDisplayProperties",
                        setDisplayProperties({uid, uidOf(good)}, {{"project_code", "P2"}})));
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].uid, c.keyedByObject ? uid : "");
        EXPECT_EQ(r.errors()[0].codes, c.codes);
        EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(good)});
        EXPECT_EQ(display(good, "project_code"), "P2");
    }
}

// A failing save or release leaves the object unlocked, unchanged and not
// listed; the next object is served.
TEST_F(Dm0603OpsSetDisplayProperties, FailingSaveReleasesTheObject) {
    const unsigned int form = newForm("f"), next = newForm("n");
    P::FAULT_inject("AOM_save", P::ERR_INJECTED, form);
    Parsed r(invoke(kService, "setDisplayProperties",
                    setDisplayProperties({uidOf(form), uidOf(next)}, {{"project_code", "P3"}})));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, uidOf(form));
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INJECTED});
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(next)});
    EXPECT_TRUE(P::LOCKS_held().empty());
    EXPECT_EQ(display(form, "project_code"), "");
    EXPECT_EQ(display(next, "project_code"), "P3");
}

}  // namespace
