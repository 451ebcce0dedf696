// createFolders: the container check, the container relation rule, and the
// per-input failures.
#include "dm0603_ops_support.hxx"

#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>


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

// A folder that could not be made, saved or released leaves nothing behind.
TEST_F(Dm0603OpsCreateFolders, PlatformFailureIsKeyedByClientIdAndLeavesNothingBehind) {
    const std::vector<const char*> failing = {"FL_create", "AOM_save", "AOM_refresh"};
    for (const char* call : failing) {
        SCOPED_TRACE(call);
        const long before = P::STORE_object_count();
        P::FAULT_inject(call, P::ERR_INJECTED);
        Parsed r(invoke(kService, "createFolders", createFolders({{"a", "A"}, {"b", "B"}}, "")));
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "b");
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "a");
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INJECTED});
        EXPECT_TRUE(P::LOCKS_held().empty());
        EXPECT_EQ(P::STORE_object_count(), before + 1) << "only the folder reported";
    }
}

TEST_F(Dm0603OpsCreateFolders, SameNameTwiceMakesTwoFolders) {
    Parsed r(invoke(kService, "createFolders", createFolders({{"a", "Same"}, {"b", "Same"}}, "")));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    EXPECT_NE(Parsed::outRef(*r.outputs()[0], "folder"), Parsed::outRef(*r.outputs()[1], "folder"));
}

}  // namespace
