// createRelations: the relation type chosen from preferences when none is
// given, the reference-property path for names that are no relation type,
// and the relation path with its failures.
#include "dm0603_ops_support.hxx"

#include "aom/aom.hxx"
#include "aom/form.hxx"
#include "aom/grm.hxx"
#include "pom/pom.hxx"
#include "foundation/error_codes.hxx"
#include "propdesc/property_descriptor.hxx"

#include <gtest/gtest.h>

namespace {

using namespace dm0603;

std::string relationship(const std::string& clientId, const std::string& relationType, unsigned int primary,
                         unsigned int secondary, const std::string& userDataUid = "") {
    return "<input clientId=\"" + esc(clientId) + "\" relationType=\"" + esc(relationType) + "\">" +
           ref("primaryObject", primary) + ref("secondaryObject", secondary) + refUid("userData", userDataUid) +
           "</input>";
}

std::string createRelations(const std::vector<std::string>& inputs) {
    std::string xml = "<CreateRelationsInput>";
    for (const auto& i : inputs) xml += i;
    return xml + "</CreateRelationsInput>";
}

// Primary types PrefA (parent PrefB, a folder class type not named "Folder")
// and secondary types PrefX (parent PrefY, under WolfObject); one relation
// type per preference so the reply tells which preference won.
const char* const kPreferenceSite = R"(
type PrefB Folder
type PrefA PrefB
type PrefY WolfObject
type PrefX PrefY
relation RelAX
relation RelAY
relation RelAW
relation RelBX
relation RelBY
relation RelA
relation RelB
relation VL_external_object_link
)";

class Dm0603OpsRelationChoice : public ExtendedSiteTest {
protected:
    Dm0603OpsRelationChoice() : ExtendedSiteTest(kPreferenceSite) {}
};

struct ChoiceCase {
    const char* name;
    std::vector<std::pair<std::string, std::vector<std::string>>> prefs;
    const char* expected;  // relation type of the new relation; "" for no input served
};

// The search runs the pairs of the primary's own type over the secondary's
// whole chain, then those of the primary's parent, then the single-type
// preferences of the primary's chain; the first value of the first hit wins.
TEST_F(Dm0603OpsRelationChoice, PreferenceSearchOrderForPrimaryAOfBAndSecondaryXOfY) {
    const std::vector<ChoiceCase> cases = {
        {"own pair", {{"PrefA_PrefX_default_relation", {"RelAX"}}}, "RelAX"},
        {"secondary's parent before primary's parent",
         {{"PrefB_PrefX_default_relation", {"RelBX"}}, {"PrefA_PrefY_default_relation", {"RelAY"}}},
         "RelAY"},
        {"whole secondary chain before primary's parent",
         {{"PrefB_PrefX_default_relation", {"RelBX"}}, {"PrefA_WolfObject_default_relation", {"RelAW"}}},
         "RelAW"},
        {"primary's parent pairs in secondary order",
         {{"PrefB_PrefY_default_relation", {"RelBY"}}, {"PrefB_PrefX_default_relation", {"RelBX"}}},
         "RelBX"},
        {"pair of primary's parent before single-type",
         {{"PrefA_default_relation", {"RelA"}}, {"PrefB_PrefY_default_relation", {"RelBY"}}},
         "RelBY"},
        {"single-type of own type before parent's",
         {{"PrefB_default_relation", {"RelB"}}, {"PrefA_default_relation", {"RelA"}}},
         "RelA"},
        {"single-type of the parent", {{"PrefB_default_relation", {"RelB"}}}, "RelB"},
        {"first of three values", {{"PrefA_PrefX_default_relation", {"RelAX", "RelAY", "RelBX"}}}, "RelAX"},
        {"secondary's single-type is not asked", {{"PrefX_default_relation", {"RelBX"}}}, ""},
        {"no preference", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vl::platform::SITE_reset();
        const unsigned int a = newObject("PrefA", "a"), x = newObject("PrefX", "x");
        for (const auto& [name, values] : c.prefs) setPref(name, values);

        Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "", a, x)})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_TRUE(r.errors().empty()) << r.text;
        EXPECT_TRUE(r.list("createdObj").empty()) << r.text;
        if (*c.expected) {
            ASSERT_EQ(r.outputs().size(), 1u) << r.text;
            EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "c");
            const XMLNode* relation = r.outputs()[0]->child("relation");
            ASSERT_NE(relation, nullptr);
            EXPECT_EQ(attrOr(*relation, "type"), c.expected) << r.text;
        } else {
            EXPECT_TRUE(r.outputs().empty()) << r.text;
        }
        // A folder type under another name gets no "contents" fallback.
        EXPECT_TRUE(contentsOf(a).empty());
    }
}

struct FolderCase {
    const char* name;
    const char* primaryType;    // "Folder" makes a plain folder
    const char* secondaryType;
    std::vector<std::pair<std::string, std::vector<std::string>>> prefs;
    const char* expectedRelation;  // type of the new relation, "" when none
    bool intoContents;             // the secondary ends up in the primary's contents
};

TEST_F(Dm0603OpsRelationChoice, FolderAndWolfObjectRuleAndContentsFallback) {
    const std::vector<FolderCase> cases = {
        {"Folder and WolfObject: fixed link, preference not read", "Folder", "WolfObject",
         {{"Folder_WolfObject_default_relation", {"RelAX"}}}, "VL_external_object_link", false},
        {"Folder, no preference: contents", "Folder", "PrefX", {}, "", true},
        {"Folder with a preference: the preference", "Folder", "PrefX",
         {{"Folder_PrefY_default_relation", {"RelBY"}}}, "RelBY", false},
        {"Folder with a single-type preference", "Folder", "PrefX", {{"Folder_default_relation", {"RelA"}}},
         "RelA", false},
        {"derived folder type and WolfObject: no rule", "PrefB", "WolfObject", {}, "", false},
        {"Folder and a type derived from WolfObject: no link", "Folder", "PrefY", {}, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vl::platform::SITE_reset();
        const unsigned int primary =
            std::string(c.primaryType) == "Folder" ? newFolder("f") : newObject(c.primaryType, "p");
        const unsigned int secondary = newObject(c.secondaryType, "s");
        for (const auto& [name, values] : c.prefs) setPref(name, values);

        Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "", primary, secondary)})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_TRUE(r.errors().empty()) << r.text;
        const bool served = *c.expectedRelation || c.intoContents;
        ASSERT_EQ(r.outputs().size(), served ? 1u : 0u) << r.text;
        if (*c.expectedRelation) {
            EXPECT_EQ(attrOr(*r.outputs()[0]->child("relation"), "type"), c.expectedRelation) << r.text;
        } else if (c.intoContents) {
            EXPECT_EQ(Parsed::outRef(*r.outputs()[0], "relation"), "") << "reference path: null relation";
        }
        EXPECT_EQ(contentsOf(primary), c.intoContents ? std::vector<unsigned int>{secondary}
                                                      : std::vector<unsigned int>{});
    }
}

struct RetryCase {
    const char* name;
    bool folderPrimary;                // a plain folder, else a PrefA
    std::vector<const char*> failing;  // platform calls made to fail, once each, in order
    const char* expectedRelation;      // type of the new relation, "" when none
    bool intoContents;
    std::vector<int> codes;  // codes of the partial error under "c"; empty for none
};

// A failing call of the search is made once more: a retry that succeeds
// lets the search go on as if nothing had failed, one that fails ends it with
// both errors. The error a retry recovered from, or a failure the Folder rule
// drops, shows in no later partial error.
TEST_F(Dm0603OpsRelationChoice, FailingSearchCallIsRetriedOnce) {
    const int injected = vl::platform::ERR_INJECTED;
    const std::vector<RetryCase> cases = {
        {"nothing fails", false, {}, "RelAY", false, {}},
        {"initialisation fails once", false, {"PREF_initialize"}, "RelAY", false, {}},
        {"type name fails once", false, {"OSTRATYPE_ask_name"}, "RelAY", false, {}},
        {"search scope fails once", false, {"PREF_set_search_scope"}, "RelAY", false, {}},
        {"parent type fails once", false, {"OSTRATYPE_ask_parent_type"}, "RelAY", false, {}},
        {"parent type fails twice", false, {"OSTRATYPE_ask_parent_type", "OSTRATYPE_ask_parent_type"}, "", false,
         {injected, injected}},
        {"Folder: parent type fails twice, contents all the same", true,
         {"OSTRATYPE_ask_parent_type", "OSTRATYPE_ask_parent_type"}, "", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vl::platform::SITE_reset();
        const unsigned int primary = c.folderPrimary ? newFolder("f") : newObject("PrefA", "a");
        const unsigned int x = newObject("PrefX", "x"), other = newObject("PrefX", "o");
        setPref("PrefA_PrefY_default_relation", {"RelAY"});
        setPref("Folder_PrefY_default_relation", {"RelAY"});
        for (const char* call : c.failing) vl::platform::FAULT_inject(call, injected);

        // The second input fails on its own: its error holds its code alone.
        Parsed r(invoke(kService, "createRelations",
                        createRelations({relationship("c", "", primary, x),
                                         relationship("u", "Reference", primary, other, "NoSuchUid00002")})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
        const bool served = *c.expectedRelation || c.intoContents;
        ASSERT_EQ(r.outputs().size(), served ? 1u : 0u) << r.text;
        if (*c.expectedRelation) {
            EXPECT_EQ(attrOr(*r.outputs()[0]->child("relation"), "type"), c.expectedRelation) << r.text;
        }
        EXPECT_EQ(contentsOf(primary).size(), c.intoContents ? 1u : 0u);
        const auto errors = r.errors();
        ASSERT_EQ(errors.size(), c.codes.empty() ? 1u : 2u) << r.text;
        if (!c.codes.empty()) {
            EXPECT_EQ(errors[0].clientId, "c");
            EXPECT_EQ(errors[0].codes, c.codes);
        }
        EXPECT_EQ(errors.back().uid, "NoSuchUid00002");
        EXPECT_EQ(errors.back().codes, std::vector<int>{vl::platform::ERR_INVALID_TAG}) << r.text;
    }
}

// With a null secondary a failed search is made once more; when the second
// succeeds, the first one's errors reach no later partial error: the next
// input's failed search reports its own two failures only.
TEST_F(Dm0603OpsRelationChoice, NullSecondarySearchRecoveredFromLeavesNoError) {
    const unsigned int a = newObject("PrefA", "a"), b = newObject("PrefA", "b"), other = newObject("PrefX", "o");
    for (unsigned int object : {a, a, b, b})
        vl::platform::FAULT_inject("OSTRATYPE_ask_object_type", vl::platform::ERR_INJECTED, object);
    Parsed r(invoke(kService, "createRelations",
                    createRelations({relationship("c", "", a, 0), relationship("u", "", b, other)})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_EQ(vl::platform::FAULT_pending(), 0);
    EXPECT_TRUE(r.outputs().empty()) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "u");
    EXPECT_EQ(r.errors()[0].codes, (std::vector<int>{vl::platform::ERR_INJECTED, vl::platform::ERR_INJECTED}))
        << r.text;
}

TEST_F(Dm0603OpsRelationChoice, NullSecondaryAsksOnlySingleTypePreferencesOfThePrimary) {
    const unsigned int a = newObject("PrefA", "a");
    setPref("PrefA_PrefX_default_relation", {"RelAX"});
    Parsed none(invoke(kService, "createRelations", createRelations({relationship("c", "", a, 0)})));
    ASSERT_TRUE(none.ok()) << none.text;
    EXPECT_TRUE(none.outputs().empty()) << none.text;
    EXPECT_TRUE(none.errors().empty()) << none.text;

    // A single-type preference naming a reference property: the null
    // secondary is not put into it.
    setPref("PrefB_default_relation", {"contents"});
    Parsed named(invoke(kService, "createRelations", createRelations({relationship("c", "", a, 0)})));
    ASSERT_EQ(named.outputs().size(), 1u) << named.text;
    ASSERT_EQ(named.errors().size(), 1u) << named.text;
    EXPECT_EQ(named.errors()[0].clientId, "c");
    EXPECT_EQ(named.errors()[0].codes, std::vector<int>{vl::platform::ERR_INVALID_TAG});
    EXPECT_TRUE(contentsOf(a).empty());
}

// --- the reference-property path ---

class Dm0603OpsReferenceProperty : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsReferenceProperty, ArrayPropertyGetsTheSecondaryAppendedInOrder) {
    const unsigned int folder = newFolder("f");
    const unsigned int one = newFolder("one"), two = newFolder("two"), three = newFolder("three");
    ASSERT_EQ(FL_insert(folder, one, -1), 0);
    ASSERT_EQ(FL_insert(folder, two, -1), 0);
    ASSERT_EQ(AOM_save(folder), 0);
    ASSERT_EQ(AOM_refresh(folder, 0), 0);

    Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "contents", folder, three)})));
    ASSERT_EQ(r.outputs().size(), 1u) << r.text;
    EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "c");
    EXPECT_EQ(Parsed::outRef(*r.outputs()[0], "relation"), "");
    EXPECT_TRUE(r.errors().empty()) << r.text;
    EXPECT_TRUE(r.list("createdObj").empty() && r.list("updatedObj").empty()) << r.text;
    EXPECT_EQ(contentsOf(folder), (std::vector<unsigned int>{one, two, three}));
    // Saved, not just changed: a refresh keeps it.
    ASSERT_EQ(AOM_refresh(folder, 0), 0);
    EXPECT_EQ(contentsOf(folder).size(), 3u);
}

TEST_F(Dm0603OpsReferenceProperty, SingleValuedPropertyIsSetToTheSecondary) {
    tag_t form = 0, user = 0;
    ASSERT_EQ(FORM_create("f", "", "ItemRevisionMaster", &form), 0);
    ASSERT_EQ(AOM_save(form), 0);
    ASSERT_EQ(SSS_current_user(&user), 0);

    Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "reviewer", form, user)})));
    ASSERT_EQ(r.outputs().size(), 1u) << r.text;
    EXPECT_TRUE(r.errors().empty()) << r.text;
    tag_t reviewer = 0;
    ASSERT_EQ(AOM_ask_value_tag(form, "reviewer", &reviewer), 0);
    EXPECT_EQ(reviewer, user);
    // The caller saves a single-valued change itself.
    ASSERT_EQ(AOM_save(form), 0);
    ASSERT_EQ(AOM_refresh(form, 0), 0);
}

TEST_F(Dm0603OpsReferenceProperty, ReadOnlyPropertyIsChangedAndReadOnlyAgain) {
    const unsigned int folder = newFolder("f"), inner = newFolder("inner");
    PropertyDescriptor* descriptor = nullptr;
    ASSERT_EQ(AOM_ask_property_desc(folder, "contents", &descriptor), 0);
    descriptor->setReadOnly();

    Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "contents", folder, inner)})));
    EXPECT_TRUE(r.errors().empty()) << r.text;
    EXPECT_EQ(contentsOf(folder), std::vector<unsigned int>{inner});
    ASSERT_EQ(AOM_ask_property_desc(folder, "contents", &descriptor), 0);
    EXPECT_EQ(descriptor->protection(), 1);
}

struct UnusableCase {
    const char* name;
    const char* secondaryUid;  // "" is the null reference
};

// Nothing unusable goes into a reference property: 7007 under the client
// id, the output entry still there, the property unchanged.
TEST_F(Dm0603OpsReferenceProperty, NullOrInvalidSecondaryIsRefused) {
    const std::vector<UnusableCase> cases = {{"null", ""}, {"unknown uid", "NoSuchUid00001"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned int folder = newFolder("f");
        std::string input = "<input clientId=\"c\" relationType=\"contents\">" + ref("primaryObject", folder) +
                            refUid("secondaryObject", c.secondaryUid) + "<userData uid=\"\"/></input>";
        Parsed r(invoke(kService, "createRelations", createRelations({input})));
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        EXPECT_EQ(Parsed::outRef(*r.outputs()[0], "relation"), "");
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "c");
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{vl::platform::ERR_INVALID_TAG});
        EXPECT_TRUE(contentsOf(folder).empty());
    }
}

TEST_F(Dm0603OpsReferenceProperty, FailureOnTheArrayPathReleasesThePrimary) {
    const std::vector<const char*> failing = {"AOM_set_value_tags", "AOM_save"};
    for (const char* call : failing) {
        SCOPED_TRACE(call);
        const unsigned int folder = newFolder("f"), inner = newFolder("inner");
        vl::platform::FAULT_inject(call, vl::platform::ERR_INJECTED);
        Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "contents", folder, inner)})));
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "c");
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{vl::platform::ERR_INJECTED});
        EXPECT_TRUE(vl::platform::LOCKS_held().empty());
        EXPECT_TRUE(contentsOf(folder).empty());
    }
}

TEST_F(Dm0603OpsReferenceProperty, NameThatIsNeitherRelationTypeNorPropertyIsAnErrorWithOutput) {
    const unsigned int folder = newFolder("f"), inner = newFolder("inner");
    Parsed r(invoke(kService, "createRelations", createRelations({relationship("c", "no_such_name", folder, inner)})));
    ASSERT_EQ(r.outputs().size(), 1u) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "c");
    EXPECT_FALSE(r.errors()[0].codes.empty());
}

// --- the relation path ---

class Dm0603OpsRelationPath : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsRelationPath, NewRelationIsInTheOutputOnlyAndADuplicateIsAnUnkeyedError) {
    const unsigned int a = newFolder("a"), b = newFolder("b");
    Parsed first(invoke(kService, "createRelations", createRelations({relationship("c1", "Reference", a, b)})));
    ASSERT_EQ(first.outputs().size(), 1u) << first.text;
    const XMLNode* relation = first.outputs()[0]->child("relation");
    ASSERT_NE(relation, nullptr);
    EXPECT_EQ(attrOr(*relation, "type"), "Reference");
    EXPECT_NE(attrOr(*relation, "uid"), "");
    EXPECT_TRUE(first.errors().empty()) << first.text;
    EXPECT_TRUE(first.list("createdObj").empty()) << first.text;

    Parsed again(invoke(kService, "createRelations", createRelations({relationship("c2", "Reference", a, b)})));
    EXPECT_TRUE(again.outputs().empty()) << again.text;
    ASSERT_EQ(again.errors().size(), 1u) << again.text;
    EXPECT_EQ(again.errors()[0].clientId, "");
    EXPECT_EQ(again.errors()[0].uid, "");
    // The client learns why.
    EXPECT_EQ(again.errors()[0].codes, std::vector<int>{vl::platform::ERR_DUPLICATE}) << again.text;
    EXPECT_NE(again.text.find("the relation Reference exists already"), std::string::npos) << again.text;
}

TEST_F(Dm0603OpsRelationPath, InvalidUserDataIsRefusedUnderItsUid) {
    const unsigned int a = newFolder("a"), b = newFolder("b");
    Parsed r(invoke(kService, "createRelations",
                    createRelations({relationship("c", "Reference", a, b, "NoSuchUid00002")})));
    EXPECT_TRUE(r.outputs().empty()) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, "NoSuchUid00002");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{vl::platform::ERR_INVALID_TAG});
}

TEST_F(Dm0603OpsRelationPath, FailedCreationIsUnkeyedAndTheNextInputIsServed) {
    const unsigned int a = newFolder("a"), b = newFolder("b"), c = newFolder("c");
    vl::platform::FAULT_inject("GRM_create_relation", vl::platform::ERR_INJECTED);
    Parsed r(invoke(kService, "createRelations",
                    createRelations({relationship("c1", "Reference", a, b), relationship("c2", "Reference", a, c)})));
    ASSERT_EQ(r.outputs().size(), 1u) << r.text;
    EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "c2");
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{vl::platform::ERR_INJECTED});
}

TEST_F(Dm0603OpsRelationPath, FailingSaveEndsTheRequestAndKeepsEarlierInputs) {
    const unsigned int folder = newFolder("f"), inner = newFolder("inner"), other = newFolder("o");
    vl::platform::FAULT_inject("GRM_save_relation", vl::platform::ERR_INJECTED);
    Parsed r(invoke(kService, "createRelations",
                    createRelations({relationship("c1", "contents", folder, inner),
                                     relationship("c2", "Reference", folder, other)})));
    EXPECT_TRUE(r.isException()) << r.text;
    EXPECT_NE(r.text.find("code=\"" + std::to_string(vl::platform::ERR_INJECTED) + "\""), std::string::npos);
    EXPECT_EQ(contentsOf(folder), std::vector<unsigned int>{inner});
    EXPECT_TRUE(vl::platform::LOCKS_held().empty());

    // The relation whose save failed is not left behind: a retry makes it.
    int count = 0;
    scoped_smptr<tag_t> related;
    ASSERT_EQ(GRM_list_secondary_objects_only(folder, 0, &count, &related), 0);
    EXPECT_EQ(count, 0);
    Parsed retry(invoke(kService, "createRelations", createRelations({relationship("c2", "Reference", folder, other)})));
    ASSERT_EQ(retry.outputs().size(), 1u) << retry.text;
    EXPECT_TRUE(retry.errors().empty()) << retry.text;
}

}  // namespace
