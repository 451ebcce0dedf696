// createFolders: the container check, the container relation rule, and the
// per-input failures.
#include "dm0603_ops_support.hxx"

#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace dm0603;
namespace P = vl::platform;

struct FolderIn {
    std::string clientId, name;
};

std::string createFolders(const std::vector<FolderIn>& folders, const std::string& containerUid,
                          const std::string& relationType = "") {
    std::string xml = "<CreateFoldersInput relationType=\"" + esc(relationType) + "\">";
    for (const auto& f : folders)
        xml += "<folder clientId=\"" + esc(f.clientId) + "\" name=\"" + esc(f.name) + "\" desc=\"d\"/>";
    return xml + refUid("container", containerUid) + "</CreateFoldersInput>";
}

class Dm0603OpsCreateFolders : public vl::test::ServiceTest {};

struct ContainerCase {
    const char* name;
    // Makes the container and returns its uid.
    std::function<std::string()> container;
    bool related;                // both folders end up in the container's contents
    std::vector<int> errorCodes;  // codes of the one partial error, empty for none
    bool errorUnderContainer;    // that error is keyed by the container's uid
};

TEST_F(Dm0603OpsCreateFolders, ContainerCases) {
    const std::vector<ContainerCase> cases = {
        {"null container", [] { return std::string(); }, false, {}, false},
        {"unknown uid", [] { return std::string("NoSuchUid00003"); }, false, {}, false},
        {"read-only folder",
         [] {
             unsigned int f = newFolder("ro");
             EXPECT_EQ(P::OBJ_set_read_only(f, true), 0);
             return uidOf(f);
         },
         false, {P::ERR_NOT_MODIFIABLE}, true},
        {"writable folder", [] { return uidOf(newFolder("box")); }, true, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string container = c.container();
        Parsed r(invoke(kService, "createFolders", createFolders({{"a", "A"}, {"b", "B"}}, container)));
        ASSERT_TRUE(r.ok()) << r.text;
        ASSERT_EQ(r.outputs().size(), 2u) << r.text;
        std::vector<unsigned int> made;
        for (const XMLNode* o : r.outputs()) made.push_back(tagOf(Parsed::outRef(*o, "folder")));
        EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "a");
        EXPECT_EQ(attrOr(*r.outputs()[1], "clientId"), "b");
        EXPECT_EQ(r.list("createdObj"), (std::vector<std::string>{uidOf(made[0]), uidOf(made[1])}));
        EXPECT_EQ(r.list("updatedObj"), c.related ? std::vector<std::string>{container} : std::vector<std::string>{})
            << "the container is listed once when updated";
        if (c.errorCodes.empty()) {
            EXPECT_TRUE(r.errors().empty()) << r.text;
        } else {
            ASSERT_EQ(r.errors().size(), 1u) << r.text;
            EXPECT_EQ(r.errors()[0].codes, c.errorCodes);
            EXPECT_EQ(r.errors()[0].uid, c.errorUnderContainer ? container : "");
        }
        if (Tag::isValid(tagOf(container)) == 0) {
            EXPECT_EQ(contentsOf(tagOf(container)), c.related ? made : std::vector<unsigned int>{});
        }
    }
}

TEST_F(Dm0603OpsCreateFolders, EmptyNameBetweenTwoGoodOnesIsAnUnkeyedErrorAlone) {
    const unsigned int box = newFolder("box");
    Parsed r(invoke(kService, "createFolders", createFolders({{"a", "A"}, {"e", ""}, {"c", "C"}}, uidOf(box))));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "a");
    EXPECT_EQ(attrOr(*r.outputs()[1], "clientId"), "c");
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "");
    EXPECT_EQ(r.errors()[0].uid, "");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_EMPTY_NAME});
    EXPECT_EQ(r.list("createdObj").size(), 2u);
    EXPECT_EQ(contentsOf(box).size(), 2u);
}

TEST_F(Dm0603OpsCreateFolders, EmptyListStillChecksTheContainer) {
    const unsigned int ro = newFolder("ro");
    ASSERT_EQ(P::OBJ_set_read_only(ro, true), 0);
    Parsed r(invoke(kService, "createFolders", createFolders({}, uidOf(ro))));
    EXPECT_TRUE(r.outputs().empty());
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_NOT_MODIFIABLE});
    EXPECT_TRUE(r.list("updatedObj").empty());
}

// A container that is no folder: the rule fails when createRelations made
// nothing, and also when it threw; either way the folder made is reported.
TEST_F(Dm0603OpsCreateFolders, FailedRelationRuleStillReportsTheFolder) {
    struct Case {
        const char* name;
        const char* relationType;
        bool injectSaveFailure;
        std::vector<int> codes;
    };
    const std::vector<Case> cases = {
        {"no relation type found", "", false, {P::ERR_RELATE_TO_CONTAINER}},
        {"relation save throws", "Reference", true, {P::ERR_INJECTED, P::ERR_RELATE_TO_CONTAINER}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const unsigned int wolf = newObject("WolfObject", "w");
        if (c.injectSaveFailure) P::FAULT_inject("GRM_save_relation", P::ERR_INJECTED);
        Parsed r(invoke(kService, "createFolders", createFolders({{"a", "A"}}, uidOf(wolf), c.relationType)));
        ASSERT_TRUE(r.ok()) << r.text;
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        const std::string folder = Parsed::outRef(*r.outputs()[0], "folder");
        EXPECT_EQ(r.list("createdObj"), std::vector<std::string>{folder});
        EXPECT_TRUE(r.list("updatedObj").empty());
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "");
        EXPECT_EQ(r.errors()[0].codes, c.codes);
        EXPECT_TRUE(P::LOCKS_held().empty());
    }
}

TEST_F(Dm0603OpsCreateFolders, PlatformFailureIsKeyedByClientIdAndLeavesNoLock) {
    const std::vector<const char*> failing = {"FL_create", "AOM_save"};
    for (const char* call : failing) {
        SCOPED_TRACE(call);
        P::FAULT_inject(call, P::ERR_INJECTED);
        Parsed r(invoke(kService, "createFolders", createFolders({{"a", "A"}, {"b", "B"}}, "")));
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "b");
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "a");
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INJECTED});
        EXPECT_TRUE(P::LOCKS_held().empty());
    }
}

TEST_F(Dm0603OpsCreateFolders, SameNameTwiceMakesTwoFolders) {
    Parsed r(invoke(kService, "createFolders", createFolders({{"a", "Same"}, {"b", "Same"}}, "")));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    EXPECT_NE(Parsed::outRef(*r.outputs()[0], "folder"), Parsed::outRef(*r.outputs()[1], "folder"));
}

}  // namespace
