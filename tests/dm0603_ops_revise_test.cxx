// revise: new revisions in ascending order of the revised revision, their
// names, master forms and deep copies; per-entry failures and the failures
// that end the request.
#include "dm0603_ops_support.hxx"

#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

namespace {

using namespace dm0603;
namespace P = vl::platform;

struct Entry {
    std::string revisionUid;
    std::string revId, name, description;
    std::vector<std::pair<std::string, std::string>> attributes;  // in request order
};

std::string revise(const std::vector<Entry>& entries) {
    std::string xml = "<ReviseInput>";
    for (const Entry& e : entries) {
        xml += "<input>" + refUid("key", e.revisionUid) + "<value revId=\"" + esc(e.revId) + "\" name=\"" +
               esc(e.name) + "\" description=\"" + esc(e.description) + "\">";
        for (const auto& [k, v] : e.attributes)
            xml += "<extendedAttribute key=\"" + esc(k) + "\" value=\"" + esc(v) + "\"/>";
        xml += "</value></input>";
    }
    return xml + "</ReviseInput>";
}

unsigned int latestRevisionOf(const std::string& itemId) {
    tag_t item = 0, revision = 0;
    EXPECT_EQ(ITEM_find_item(itemId.c_str(), &item), 0);
    EXPECT_EQ(ITEM_ask_latest_rev(item, &revision), 0);
    return revision;
}

std::string stringOf(unsigned int object, const char* name) {
    scoped_smptr<char> value;
    EXPECT_EQ(AOM_ask_value_string(object, name, &value), 0) << name;
    return value.get() ? value.get() : "";
}

unsigned int masterFormOf(unsigned int revision) {
    tag_t type = 0;
    EXPECT_EQ(GRM_find_relation_type("OSTRA_master_form", &type), 0);
    int count = 0;
    scoped_smptr<tag_t> forms;
    EXPECT_EQ(GRM_list_secondary_objects_only(revision, type, &count, &forms), 0);
    return count > 0 ? forms[0] : 0;
}

// Old revision uid -> new revision uid, from the reply's map.
std::map<std::string, std::string> revisedMap(const Parsed& r) {
    std::map<std::string, std::string> out;
    for (const XMLNode* e : childrenNamed(*r.root, "oldItemRevToNewItemRev"))
        out[attrOr(*e->child("key"), "uid")] = attrOr(*e->child("value"), "uid");
    return out;
}

class Dm0603OpsRevise : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        widgetA = latestRevisionOf("000100");  // made first: the lower tag
        guideA = latestRevisionOf("DOC-0001");
        ASSERT_LT(widgetA, guideA);
    }
    unsigned int widgetA = 0, guideA = 0;
};

// The entries are revised in tag order whatever their order in the request;
// each new revision is reported, then its master form, then what the deep
// copy made (the widget's datasheet, copied by the site's Revise rule).
TEST_F(Dm0603OpsRevise, EntriesInTagOrderWithFormsAndDeepCopies) {
    Parsed r(invoke(kService, "revise",
                    revise({{uidOf(guideA), "B", "Guide B", "second guide", {{"change_reason", "update"}}},
                            {uidOf(widgetA), "B", "Widget B", "", {{"change_reason", "rework"}}}})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_TRUE(r.errors().empty()) << r.text;
    const auto revised = revisedMap(r);
    ASSERT_EQ(revised.size(), 2u) << r.text;
    const unsigned int widgetB = tagOf(revised.at(uidOf(widgetA)));
    const unsigned int guideB = tagOf(revised.at(uidOf(guideA)));
    const unsigned int widgetForm = masterFormOf(widgetB), guideForm = masterFormOf(guideB);
    ASSERT_NE(widgetForm, 0u);
    ASSERT_NE(guideForm, 0u);

    const auto created = r.list("createdObj");
    ASSERT_EQ(created.size(), 5u) << r.text;
    EXPECT_EQ(created[0], uidOf(widgetB));
    EXPECT_EQ(created[1], uidOf(widgetForm));
    const unsigned int copy = tagOf(created[2]);
    EXPECT_EQ(created[3], uidOf(guideB));
    EXPECT_EQ(created[4], uidOf(guideForm));

    EXPECT_EQ(stringOf(widgetB, "object_name"), "Widget B");
    EXPECT_EQ(stringOf(guideB, "object_desc"), "second guide");
    EXPECT_EQ(stringOf(widgetForm, "change_reason"), "rework");
    EXPECT_EQ(stringOf(guideForm, "change_reason"), "update");
    EXPECT_EQ(stringOf(copy, "object_name"), "Widget datasheet");
    tag_t requirement = 0, relation = 0;
    ASSERT_EQ(GRM_find_relation_type("Requirement", &requirement), 0);
    ASSERT_EQ(GRM_find_relation(widgetB, copy, requirement, &relation), 0);
    EXPECT_NE(relation, 0u) << "the copy is the new revision's requirement";
}

// A bad entry makes no revision and is reported under the revised
// revision; the good entry next to it is revised.
TEST_F(Dm0603OpsRevise, EntryFailuresAreKeyedByTheRevisedRevision) {
    struct Case {
        const char* name;
        std::string uid;
        std::string revId;
        int code;
    };
    const std::vector<Case> cases = {
        {"empty revision id", uidOf(widgetA), "", P::ERR_EMPTY_REVISION_ID},
        {"revision id the item has", uidOf(widgetA), "A", P::ERR_DUPLICATE},
        {"no such revision", "NoSuchRevision1", "B", P::ERR_INVALID_TAG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        const long objects = P::STORE_object_count();
        Parsed r(invoke(kService, "revise", revise({{c.uid, c.revId, "", "", {}}, {uidOf(guideA), "B", "", "", {}}})));
        ASSERT_TRUE(r.ok()) << r.text;
        const auto errors = r.errors();
        ASSERT_EQ(errors.size(), 1u) << r.text;
        EXPECT_EQ(errors[0].uid, c.uid);
        EXPECT_EQ(errors[0].codes, std::vector<int>{c.code});
        const auto revised = revisedMap(r);
        ASSERT_EQ(revised.size(), 1u) << r.text;
        EXPECT_EQ(revised.begin()->first, uidOf(guideA));
        // The guide's revision, its form, the relation between them; nothing of the bad entry.
        EXPECT_EQ(P::STORE_object_count() - objects, 3) << r.text;
    }
}

// Every form property is tried on its own: an empty value and one the
// property refuses are reported under the form, the good one is set, and
// the form is saved, released and reported; with no properties the same.
TEST_F(Dm0603OpsRevise, FormPropertiesAreSetOneByOne) {
    Parsed r(invoke(kService, "revise",
                    revise({{uidOf(widgetA), "B", "", "",
                             {{"reviewer", ""}, {"effectivity", "not a date"}, {"change_reason", "kept"}}},
                            {uidOf(guideA), "B", "", "", {}}})));
    ASSERT_TRUE(r.ok()) << r.text;
    const auto revised = revisedMap(r);
    ASSERT_EQ(revised.size(), 2u) << r.text;
    const unsigned int form = masterFormOf(tagOf(revised.at(uidOf(widgetA))));
    const unsigned int guideForm = masterFormOf(tagOf(revised.at(uidOf(guideA))));
    EXPECT_EQ(stringOf(form, "change_reason"), "kept");

    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 2u) << r.text;
    // In property-name order: effectivity before reviewer.
    EXPECT_EQ(errors[0].uid, uidOf(form));
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_BAD_VALUE}) << "the date the property refuses";
    EXPECT_EQ(errors[1].uid, uidOf(form));
    EXPECT_EQ(errors[1].codes, std::vector<int>{P::ERR_EMPTY_FORM_PROPERTY});

    const auto created = r.list("createdObj");
    EXPECT_NE(std::find(created.begin(), created.end(), uidOf(form)), created.end());
    EXPECT_NE(std::find(created.begin(), created.end(), uidOf(guideForm)), created.end())
        << "a form without properties is still reported";
}

// A failing name is reported without key; the revision is still made,
// saved and reported.
TEST_F(Dm0603OpsRevise, FailedNameLeavesTheRevisionReported) {
    P::FAULT_inject("ITEM_set_rev_name", P::ERR_INJECTED);
    Parsed r(invoke(kService, "revise", revise({{uidOf(widgetA), "B", "New name", "kept?", {}}})));
    ASSERT_TRUE(r.ok()) << r.text;
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 1u) << r.text;
    EXPECT_EQ(errors[0].uid, "");
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_INJECTED});
    const auto revised = revisedMap(r);
    ASSERT_EQ(revised.size(), 1u);
    const unsigned int widgetB = tagOf(revised.begin()->second);
    EXPECT_EQ(stringOf(widgetB, "object_desc"), "A widget") << "a failed name leaves the description unset";
}

// Failures after the new revision was saved are keyed by it and end only
// what depends on them: without its master form listed, neither form
// properties nor deep copy; a failed deep copy leaves the rest complete.
// The form that the copy made hangs from the new revision either way, and
// the next entry is revised whole.
TEST_F(Dm0603OpsRevise, FailuresAfterTheNewRevisionAreKeyedByIt) {
    const std::string request =
        revise({{uidOf(widgetA), "B", "", "", {{"change_reason", "rework"}}}, {uidOf(guideA), "B", "", "", {}}});
    const long before = P::STORE_object_count();
    Parsed dry(invoke(kService, "revise", request));
    ASSERT_TRUE(dry.errors().empty()) << dry.text;
    ASSERT_EQ(dry.list("createdObj").size(), 5u) << "revision, form, copy; revision, form: " << dry.text;
    const long made = P::STORE_object_count() - before;
    const long copied = 3;  // the datasheet's copy, its anchor, its relation to the new revision
    const unsigned int widgetB = tagOf(revisedMap(dry).at(uidOf(widgetA)));
    const unsigned int widgetForm = masterFormOf(widgetB);

    struct Case {
        const char* name;
        const char* function;
        bool formSet;
    };
    const Case cases[] = {
        {"the master form cannot be listed", "GRM_list_secondary_objects_only", false},
        {"the deep copy fails", "ITEM_perform_deepcopy", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        const long objects = P::STORE_object_count();
        P::FAULT_inject(c.function, P::ERR_INJECTED, widgetB);
        Parsed r(invoke(kService, "revise", request));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_EQ(P::FAULT_pending(), 0) << "the injected failure was met";
        const auto errors = r.errors();
        ASSERT_EQ(errors.size(), 1u) << r.text;
        EXPECT_EQ(errors[0].uid, uidOf(widgetB));
        EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_INJECTED});

        const auto revised = revisedMap(r);
        ASSERT_EQ(revised.size(), 2u) << r.text;
        EXPECT_EQ(revised.at(uidOf(widgetA)), uidOf(widgetB));
        EXPECT_EQ(masterFormOf(widgetB), widgetForm) << "the form hangs from the new revision";
        EXPECT_EQ(stringOf(widgetForm, "change_reason") == "rework", c.formSet);

        const unsigned int guideB = tagOf(revised.at(uidOf(guideA)));
        std::vector<std::string> created = {uidOf(widgetB), uidOf(widgetForm), uidOf(guideB),
                                            uidOf(masterFormOf(guideB))};
        if (!c.formSet) created.erase(created.begin() + 1);
        EXPECT_EQ(r.list("createdObj"), created) << "nothing copied is reported";
        EXPECT_EQ(P::STORE_object_count() - objects, made - copied) << "nothing copied is made";
        tag_t requirement = 0;
        ASSERT_EQ(GRM_find_relation_type("Requirement", &requirement), 0);
        int count = 0;
        scoped_smptr<tag_t> secondaries;
        ASSERT_EQ(GRM_list_secondary_objects_only(widgetB, requirement, &count, &secondaries), 0);
        EXPECT_EQ(count, 0);
    }
}

// Failures that end the request: an exception document naming the cause,
// no lock left behind, and what an earlier entry made stays.
TEST_F(Dm0603OpsRevise, RequestLevelFailures) {
    const std::string request = revise({{uidOf(widgetA), "B", "", "", {}}, {uidOf(guideA), "B", "", "", {}}});
    // A first run names what the second entry makes: after a reset the same
    // request makes the same tags.
    Parsed dry(invoke(kService, "revise", request));
    const unsigned int guideB = tagOf(revisedMap(dry).at(uidOf(guideA)));
    const unsigned int guideForm = masterFormOf(guideB);
    ASSERT_NE(guideForm, 0u) << dry.text;

    struct Case {
        const char* name;
        const char* function;
        unsigned int tag;
        int code;  // the exception document's last code
        bool widgetRevised;
    };
    const std::vector<Case> cases = {
        {"master-form look-up fails", "GRM_find_relation_type", 0, P::ERR_NO_MASTER_FORM_TYPE, false},
        {"locking the second new revision fails", "AOM_refresh", guideB, P::ERR_INJECTED, true},
        {"saving the second new revision fails", "AOM_save", guideB, P::ERR_INJECTED, true},
        {"locking the second form fails", "AOM_refresh", guideForm, P::ERR_INJECTED, true},
        {"saving the second form fails", "AOM_save", guideForm, P::ERR_INJECTED, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        P::FAULT_inject(c.function, P::ERR_INJECTED, c.tag);
        Parsed r(invoke(kService, "revise", request));
        ASSERT_EQ(r.root->name(), "ServiceException") << r.text;
        const auto values = childrenNamed(*r.root, "errorValue");
        ASSERT_FALSE(values.empty()) << r.text;
        EXPECT_EQ(attrOr(*values.back(), "code"), std::to_string(c.code)) << r.text;
        EXPECT_TRUE(P::LOCKS_held().empty()) << "the failed entry's objects are released";
        tag_t widget = 0, widgetB = 0;
        ASSERT_EQ(ITEM_find_item("000100", &widget), 0);
        ITEM_find_revision(widget, "B", &widgetB);
        EXPECT_EQ(widgetB != 0, c.widgetRevised);
    }
}

}  // namespace
