// Form creation and update, through real requests.
#include "dm0701_support.hxx"

#include "aom/form.hxx"
#include "aom/grm.hxx"
#include "foundation/error_codes.hxx"

namespace dm0701 {
namespace {

constexpr int kInjected = 990778;

struct Form {
    std::string clientId = "c1";
    std::string formUid;    // empty: a new form
    std::string parentUid;  // empty: no relation
    std::string relation;
    bool saveDB = true;
    std::string type = "ItemMaster";
    std::map<std::string, std::string> attributes;
};

std::string request(const std::vector<Form>& forms) {
    std::string xml = "<CreateOrUpdateFormsInput>";
    for (const Form& f : forms) {
        xml += "<info clientId=\"" + esc(f.clientId) + "\" saveDB=\"" + (f.saveDB ? "true" : "false") +
               "\" name=\"Form " + esc(f.clientId) + "\" description=\"\" formType=\"" + esc(f.type) +
               "\" relationName=\"" + esc(f.relation) + "\"><formObject uid=\"" + esc(f.formUid) +
               "\"/><parentObject uid=\"" + esc(f.parentUid) + "\"/>";
        for (const auto& [k, v] : f.attributes)
            xml += "<attributesMap key=\"" + esc(k) + "\"><value value=\"" + esc(v) + "\"/></attributesMap>";
        xml += "</info>";
    }
    return xml + "</CreateOrUpdateFormsInput>";
}

std::string stored(tag_t form, const char* property) {
    scoped_smptr<char> value;
    EXPECT_EQ(AOM_UIF_ask_value(form, property, &value), 0);
    return value.get() ? value.get() : "";
}

bool related(tag_t primary, tag_t secondary, const char* type) {
    tag_t relType = 0, relation = 0;
    if (GRM_find_relation_type(type, &relType) != 0) return false;
    return GRM_find_relation(primary, secondary, relType, &relation) == 0 && relation != 0;
}

class FormsTest : public vl::test::ServiceTest {
protected:
    static Parsed call(const std::vector<Form>& forms) {
        return Parsed(invoke(kService, "createOrUpdateForms", request(forms)));
    }
    static tag_t existingForm() {
        tag_t form = 0;
        EXPECT_EQ(FORM_create("Existing", "", "ItemMaster", &form), 0);
        EXPECT_EQ(AOM_save(form), 0);
        EXPECT_EQ(AOM_refresh(form, 0), 0);
        return form;
    }
};

TEST_F(FormsTest, NewAndExistingFormsWithAndWithoutSaving) {
    for (bool existing : {false, true}) {
        for (bool save : {false, true}) {
            SCOPED_TRACE(std::string(existing ? "existing" : "new") + (save ? " saved" : " unsaved"));
            tag_t folder = newFolder("Parent");
            Form f;
            f.saveDB = save;
            f.parentUid = uidOf(folder);
            f.attributes = {{"project_code", "PX"}, {"quantity", "3"}};
            tag_t before = existing ? existingForm() : 0;
            if (existing) f.formUid = uidOf(before);
            Parsed reply = call({f});
            ASSERT_TRUE(reply.ok()) << reply.text;
            EXPECT_TRUE(reply.errors().empty()) << reply.text;
            tag_t form = before;
            if (existing) {
                EXPECT_TRUE(reply.outputs().empty());
                EXPECT_TRUE(reply.list("createdObj").empty());
            } else {
                ASSERT_EQ(reply.outputs().size(), 1u);
                EXPECT_EQ(attrOr(*reply.outputs()[0], "clientId"), "c1");
                form = tagOf(Parsed::outRef(*reply.outputs()[0], "form"));
                EXPECT_EQ(reply.list("createdObj"), (std::vector<std::string>{uidOf(form)}));
                EXPECT_EQ(reply.properties(uidOf(form)).count("object_type"), 1u);
                EXPECT_EQ(reply.properties(uidOf(form)).count("weight"), 1u);
            }
            // Attributes only when saving; an existing form is then updated
            // (once, though two were set), a new one never.
            EXPECT_EQ(stored(form, "project_code"), save ? "PX" : "");
            EXPECT_EQ(stored(form, "quantity"), save ? "3" : "");
            std::vector<std::string> updated = reply.list("updatedObj");
            EXPECT_EQ(std::count(updated.begin(), updated.end(), uidOf(form)), existing && save ? 1 : 0);
            // The folder parent holds the form and is updated.
            EXPECT_EQ(std::count(updated.begin(), updated.end(), uidOf(folder)), 1);
            EXPECT_EQ(dm0603::contentsOf(folder), (std::vector<unsigned int>{form}));
        }
    }
}

TEST_F(FormsTest, ParentCases) {
    tag_t item = existingForm();
    tag_t readOnly = newFolder("Locked away");
    ASSERT_EQ(P::OBJ_set_read_only(readOnly, true), 0);
    tag_t gone = existingForm();
    const std::string goneUid = uidOf(gone);
    ASSERT_EQ(AOM_delete(gone), 0);
    struct Case {
        const char* name;
        std::string parent;
        std::string relation;
        int code;        // 0: no error
        bool updated;    // parent reported as updated
        bool relatedTo;  // the relation exists afterwards
    };
    const Case cases[] = {
        {"none", "", "Reference", 0, false, false},
        {"non-folder, related", uidOf(item), "Reference", 0, true, true},
        {"non-folder, nothing made", uidOf(item), "", P::ERR_RELATE_TO_CONTAINER, false, false},
        {"not writable", uidOf(readOnly), "", P::ERR_NOT_MODIFIABLE, false, false},
        {"deleted", goneUid, "Reference", P::ERR_NO_SUCH_OBJECT, false, false},
        {"unknown uid", "no-such-uid", "Reference", P::ERR_NO_SUCH_OBJECT, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        f.parentUid = c.parent;
        f.relation = c.relation;
        Parsed reply = call({f});
        // The form is made and reported whatever becomes of the relation.
        ASSERT_EQ(reply.outputs().size(), 1u) << reply.text;
        tag_t form = tagOf(Parsed::outRef(*reply.outputs()[0], "form"));
        auto errors = reply.errors();
        if (c.code == 0) {
            EXPECT_TRUE(errors.empty()) << reply.text;
        } else {
            ASSERT_EQ(errors.size(), 1u) << reply.text;
            EXPECT_EQ(errors[0].uid, c.parent);
            EXPECT_EQ(errors[0].codes.back(), c.code);
        }
        std::vector<std::string> updated = reply.list("updatedObj");
        EXPECT_EQ(!c.parent.empty() && std::count(updated.begin(), updated.end(), c.parent) == 1, c.updated);
        if (c.parent == uidOf(item)) {
            EXPECT_EQ(related(item, form, "Reference"), c.relatedTo);
        }
    }
}

TEST_F(FormsTest, FailuresInEachStageAreKeyedAndTheElementGoesOn) {
    tag_t folder = newFolder("Parent");
    const long objects = P::STORE_object_count();

    // Creation fails before a form exists: the client id, nothing left.
    P::FAULT_inject("FORM_create", kInjected);
    Form failing;
    failing.clientId = "lost";
    failing.parentUid = uidOf(folder);
    Form next;
    next.clientId = "next";
    Parsed reply = call({failing, next});
    ASSERT_EQ(reply.errors().size(), 1u) << reply.text;
    EXPECT_EQ(reply.errors()[0].clientId, "lost");
    ASSERT_EQ(reply.outputs().size(), 1u);
    EXPECT_EQ(attrOr(*reply.outputs()[0], "clientId"), "next");
    EXPECT_EQ(P::STORE_object_count(), objects + 1);
    EXPECT_TRUE(dm0603::contentsOf(folder).empty());

    {
        // The save fails: keyed by the form, no output, the form released and
        // still given its attributes and its parent.
        P::FAULT_inject("AOM_save", kInjected);
        Form unsaved;
        unsaved.parentUid = uidOf(folder);
        unsaved.attributes = {{"project_code", "PX"}};
        Parsed reply = call({unsaved});
        ASSERT_EQ(reply.errors().size(), 1u) << reply.text;
        std::string formUid = reply.errors()[0].uid;
        EXPECT_NE(formUid, "");
        EXPECT_TRUE(reply.outputs().empty());
        EXPECT_EQ(stored(tagOf(formUid), "project_code"), "PX");
        EXPECT_EQ(dm0603::contentsOf(folder), (std::vector<unsigned int>{tagOf(formUid)}));
    }

    {
        // An attribute that cannot be set: keyed by the form, the next one set.
        Form badAttribute;
        badAttribute.attributes = {{"no_such_field", "x"}, {"quantity", "7"}, {"weight", "heavy"}};
        Parsed reply = call({badAttribute});
        ASSERT_EQ(reply.outputs().size(), 1u);
        tag_t form = tagOf(Parsed::outRef(*reply.outputs()[0], "form"));
        EXPECT_EQ(stored(form, "quantity"), "7");
        auto errors = reply.errors();
        ASSERT_FALSE(errors.empty()) << reply.text;
        for (const auto& e : errors) EXPECT_EQ(e.uid, uidOf(form));
    }

    {
        // The relation cannot be saved: keyed by the parent, not updated, and
        // the element after it still runs.
        tag_t item = existingForm();
        P::FAULT_inject("GRM_save_relation", kInjected);
        Form relating;
        relating.parentUid = uidOf(item);
        relating.relation = "Reference";
        Form after;
        after.clientId = "after";
        Parsed reply = call({relating, after});
        ASSERT_EQ(reply.outputs().size(), 2u) << reply.text;
        ASSERT_EQ(reply.errors().size(), 1u) << reply.text;
        EXPECT_EQ(reply.errors()[0].uid, uidOf(item));
        EXPECT_EQ(reply.errors()[0].codes.back(), kInjected);
        std::vector<std::string> updated = reply.list("updatedObj");
        EXPECT_EQ(std::count(updated.begin(), updated.end(), uidOf(item)), 0);
    }
}

// Relations of "Strict" can never be saved: no request sets their approval.
const char* const kStrictRelationSite = R"(
class StrictRelation Relation
attr StrictRelation approval string required
relation Strict class=StrictRelation
)";

class FolderParentTest : public dm0603::ExtendedSiteTest {
protected:
    FolderParentTest() : ExtendedSiteTest(kStrictRelationSite) {}
    static Parsed call(const std::vector<Form>& forms) {
        return Parsed(invoke(kService, "createOrUpdateForms", request(forms)));
    }
};

// A folder parent is updated only when the form really went into it; else
// one partial error under the folder says why, and the form is still made.
TEST_F(FolderParentTest, AFolderIsUpdatedOnlyWhenTheFormWasRelated) {
    struct Case {
        const char* name;
        const char* relation;
        const char* inject;  // platform call made to fail for the folder, or null
        std::vector<int> codes;  // of the one partial error; empty: related
        bool inContents;
    };
    const Case cases[] = {
        {"contents chosen for a folder", "", nullptr, {}, true},
        {"a relation that is saved", "Reference", nullptr, {}, false},
        {"a relation that can never be saved", "Strict", nullptr, {P::ERR_REQUIRED_VALUE}, false},
        {"contents not described", "", "AOM_ask_property_desc", {kInjected}, false},
        {"contents not read", "", "AOM_get_value_tags", {kInjected}, false},
        {"folder not locked", "", "AOM_refresh", {kInjected}, false},
        {"contents not written", "", "AOM_set_value_tags", {kInjected}, false},
        {"folder not saved", "", "AOM_save", {kInjected}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const tag_t folder = newFolder("Parent");
        if (c.inject) P::FAULT_inject(c.inject, kInjected, folder);
        Form f;
        f.parentUid = uidOf(folder);
        f.relation = c.relation;
        Parsed reply = call({f});
        EXPECT_EQ(P::FAULT_pending(), 0);
        ASSERT_EQ(reply.outputs().size(), 1u) << reply.text;
        const tag_t form = tagOf(Parsed::outRef(*reply.outputs()[0], "form"));
        EXPECT_EQ(reply.list("createdObj"), (std::vector<std::string>{uidOf(form)}));
        const bool relatedAtAll = c.codes.empty();
        EXPECT_EQ(reply.list("updatedObj"),
                  relatedAtAll ? std::vector<std::string>{uidOf(folder)} : std::vector<std::string>{})
            << reply.text;
        const auto errors = reply.errors();
        if (relatedAtAll) {
            EXPECT_TRUE(errors.empty()) << reply.text;
        } else {
            ASSERT_EQ(errors.size(), 1u) << reply.text;
            EXPECT_EQ(errors[0].uid, uidOf(folder));
            EXPECT_EQ(errors[0].codes, c.codes) << reply.text;
        }
        EXPECT_EQ(dm0603::contentsOf(folder),
                  c.inContents ? std::vector<unsigned int>{form} : std::vector<unsigned int>{});
        // Nothing left behind refers to a form that was not related.
        int count = 0;
        scoped_smptr<int> levels;
        scoped_smptr<tag_t> referencers;
        scoped_smptr<char*> relations;
        ASSERT_EQ(WSOM_where_referenced(form, 1, &count, &levels, &referencers, &relations), 0);
        EXPECT_EQ(count, relatedAtAll ? 1 : 0);
    }
}

}  // namespace
}  // namespace dm0701
