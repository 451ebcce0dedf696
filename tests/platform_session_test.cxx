// Session, login, group change and preference scopes on the default site.
#include "foundation/error_codes.hxx"
#include "gateway/login.hxx"
#include "kernel/pref.hxx"
#include "kernel/session.hxx"
#include "pom/pom.hxx"
#include "platform_test_support.hxx"
#include "sa/sa.hxx"

#include <string>

using namespace vl::platform;

namespace {

struct PlatformSession : vl::test::SiteTest {
    static tag_t user(const char* id) {
        tag_t t = 0;
        SA_find_user(id, &t);
        return t;
    }
    static tag_t group(const char* n) {
        tag_t t = 0;
        SA_find_group(n, &t);
        return t;
    }
    static tag_t role(const char* n) {
        tag_t t = 0;
        SA_find_role(n, &t);
        return t;
    }
    static int login(const char* u, const char* p, const char* g = "", const char* r = "") {
        try {
            VlLoginServiceManager::doLogin(u, p, g, r);
            return 0;
        } catch (const IFail& f) {
            return f.ifail();
        }
    }
    static std::string pref(const char* name, OSTRA_preference_search_scope_e scope) {
        PREF_set_search_scope(scope);
        int n = 0;
        char** v = nullptr;
        int rc = PREF_ask_char_values(name, &n, &v);
        std::string out = rc ? vl::test::codeText(rc) : std::string();
        for (int i = 0; i < n; ++i) {
            if (i) out += ',';
            out += v[i];
            SM_free(v[i]);
        }
        SM_free(v);
        return out;
    }
};

TEST_F(PlatformSession, AfterResetTheFixtureSessionIsLoggedIn) {
    EXPECT_TRUE(loginUser::isLoggedIn());
    EXPECT_EQ(loginUser::currentUserTag(), user("admin"));
    EXPECT_EQ(loginUser::currentGroupTag(), group("dba"));
    EXPECT_EQ(loginUser::currentRoleTag(), role("DBA"));
    EXPECT_EQ(loginUser::isPrivilegeUser(), 1);
    tag_t member = 0;
    SA_find_groupmember(group("dba"), user("admin"), role("DBA"), &member);
    EXPECT_EQ(loginUser::currentGroupMemberTag(), member);
    tag_t u = 0;
    SSS_current_user(&u);
    EXPECT_EQ(u, user("admin"));
}

TEST_F(PlatformSession, LoginChecksTheHashAndPicksTheMember) {
    EXPECT_EQ(login("alice", "alice-pw"), 0);
    EXPECT_EQ(loginUser::currentUserTag(), user("alice"));
    EXPECT_EQ(loginUser::currentGroupTag(), group("engineering"));
    EXPECT_EQ(loginUser::currentRoleTag(), role("Designer")) << "the member marked default";
    EXPECT_EQ(loginUser::isPrivilegeUser(), 0);

    EXPECT_EQ(login("alice", "alice-pw", "engineering", "Reviewer"), 0);
    EXPECT_EQ(loginUser::currentRoleTag(), role("Reviewer"));
    EXPECT_EQ(login("bob", "bob-pw"), 0);
    EXPECT_EQ(loginUser::currentGroupTag(), group("manufacturing")) << "bob's default group";
    EXPECT_EQ(login("bob", "bob-pw", "engineering", ""), 0);
    EXPECT_EQ(loginUser::currentRoleTag(), role("Designer"));
    EXPECT_EQ(login("ALICE", "alice-pw"), 0) << "user ids match regardless of letter case";
    EXPECT_EQ(loginUser::currentUserTag(), user("alice"));
    char id[SA_name_size_c + 1];
    SA_ask_user_identifier(loginUser::currentUserTag(), id);
    EXPECT_STREQ(id, "alice") << "the session's id is the stored one";
    EXPECT_EQ(login("alice", "alice-pw", "Engineering", ""), ERR_NO_SUCH_GROUP) << "group names match exactly";
}

TEST_F(PlatformSession, FailedLoginsLeaveTheSessionAsItWas) {
    struct Case {
        const char *user, *password, *group, *role;
        int code;
    };
    const Case cases[] = {
        {"alice", "wrong", "", "", ERR_LOGIN_FAILED},
        {"nobody", "alice-pw", "", "", ERR_LOGIN_FAILED},
        {"carol", "carol-pw", "", "", ERR_USER_INACTIVE},
        {"alice", "alice-pw", "manufacturing", "", ERR_NOT_A_MEMBER},
        {"alice", "alice-pw", "engineering", "Operator", ERR_NOT_A_MEMBER},
        {"dave", "dave-pw", "manufacturing", "Operator", ERR_NOT_A_MEMBER},
        {"alice", "alice-pw", "nogroup", "", ERR_NO_SUCH_GROUP},
    };
    std::string unknownText, wrongText;
    for (const Case& c : cases) {
        ERROR_store_clear();
        EXPECT_EQ(login(c.user, c.password, c.group, c.role), c.code) << c.user << "/" << c.group;
        EXPECT_EQ(vl::test::storedCodes(), std::vector<int>{c.code});
        EXPECT_EQ(loginUser::currentUserTag(), user("admin"));
        EXPECT_EQ(loginUser::currentGroupTag(), group("dba"));
    }
}

TEST_F(PlatformSession, GroupChangeNeedsAnActiveMembershipOfThatGroupAndRole) {
    ASSERT_EQ(login("alice", "alice-pw"), 0);
    tag_t before = loginUser::currentGroupMemberTag();
    EXPECT_EQ(SA_change_group(group("manufacturing"), role("Operator")), ERR_NOT_A_MEMBER);
    EXPECT_EQ(SA_change_group(group("engineering"), role("Operator")), ERR_NOT_A_MEMBER);
    EXPECT_EQ(loginUser::currentGroupMemberTag(), before);
    EXPECT_EQ(SA_change_group(group("engineering"), role("Reviewer")), 0);
    EXPECT_EQ(loginUser::currentRoleTag(), role("Reviewer"));
    EXPECT_NE(loginUser::currentGroupMemberTag(), before);
    tag_t g = 0, r = 0;
    SA_ask_groupmember_group(loginUser::currentGroupMemberTag(), &g);
    SA_ask_groupmember_role(loginUser::currentGroupMemberTag(), &r);
    EXPECT_EQ(g, group("engineering"));
    EXPECT_EQ(r, role("Reviewer"));

    ASSERT_EQ(login("dave", "dave-pw"), 0);
    EXPECT_EQ(SA_change_group(group("manufacturing"), role("Operator")), ERR_NOT_A_MEMBER)
        << "dave's manufacturing membership is inactive";
    EXPECT_EQ(SA_change_group(0, role("Operator")), ERR_INVALID_TAG);
}

TEST_F(PlatformSession, MembershipsListEveryMemberOfTheUser) {
    int n = 0;
    tag_t* members = nullptr;
    ASSERT_EQ(SA_find_groupmember_by_user(user("dave"), &n, &members), 0);
    ASSERT_EQ(n, 2);
    bool active[2];
    for (int i = 0; i < 2; ++i) SA_ask_groupmember_active(members[i], &active[i]);
    EXPECT_TRUE(active[0]);
    EXPECT_FALSE(active[1]);
    SM_free(members);
    char name[SA_name_size_c + 1];
    ASSERT_EQ(SA_ask_group_name(group("engineering"), name), 0);
    EXPECT_STREQ(name, "engineering");
    ASSERT_EQ(SA_ask_user_identifier(user("alice"), name), 0);
    EXPECT_STREQ(name, "alice");
}

TEST_F(PlatformSession, AllScopeReadsUserThenRoleThenGroupThenSite) {
    using S = OSTRA_preference_search_scope_e;
    const S all = OSTRA_preference_all_preferences;
    EXPECT_EQ(pref("Display_Mode", all), "compact") << "admin: only the site level has it";
    ASSERT_EQ(login("alice", "alice-pw"), 0);
    EXPECT_EQ(pref("Display_Mode", all), "detailed") << "engineering's group value";
    ASSERT_EQ(SA_change_group(group("engineering"), role("Reviewer")), 0);
    EXPECT_EQ(pref("Display_Mode", all), "review") << "the role wins over the group";
    ASSERT_EQ(login("bob", "bob-pw", "engineering", "Designer"), 0);
    EXPECT_EQ(pref("Display_Mode", all), "wide") << "the user wins over everything";

    // A named scope reads that level only.
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_site_preference), "compact");
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_group_preference), "detailed");
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_role_preference),
              vl::test::codeText(ERR_PREF_NOT_FOUND));
    EXPECT_EQ(pref("ItemRevision_Text_default_relation", all), "Requirement,Reference");
    EXPECT_EQ(pref("Empty_List", all), "");
    EXPECT_EQ(pref("No_Such_Preference", all), vl::test::codeText(ERR_PREF_NOT_FOUND));
}

TEST_F(PlatformSession, WritesGoToTheScopesLevelAndAllMeansUser) {
    ASSERT_EQ(login("alice", "alice-pw"), 0);
    PREF_set_search_scope(OSTRA_preference_all_preferences);
    const char* mine[] = {"mine", "too"};
    ASSERT_EQ(PREF_set_char_values("Display_Mode", 2, mine), 0);
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_user_preference), "mine,too");
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_group_preference), "detailed");
    PREF_set_search_scope(OSTRA_preference_all_preferences);
    ASSERT_EQ(PREF_set_char_values("Display_Mode", 0, nullptr), 0);
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_all_preferences), "") << "an empty list at user level";

    PREF_set_search_scope(OSTRA_preference_site_preference);
    EXPECT_EQ(PREF_set_char_values("Display_Mode", 1, mine), ERR_PREF_ACCESS);
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_site_preference), "compact");

    ASSERT_EQ(login("admin", "admin-pw"), 0);
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_all_preferences), "compact") << "alice's value is hers";
    PREF_set_search_scope(OSTRA_preference_site_preference);
    ASSERT_EQ(PREF_set_char_values("Display_Mode", 1, mine), 0);
    EXPECT_EQ(pref("Display_Mode", OSTRA_preference_site_preference), "mine");
    OSTRA_preference_search_scope_e scope;
    PREF_ask_search_scope(&scope);
    EXPECT_EQ(scope, OSTRA_preference_site_preference);
    EXPECT_EQ(PREF_set_search_scope(5), ERR_BAD_ARGUMENT);
}

TEST_F(PlatformSession, PreferenceValuesAreSeparateBlocks) {
    int n = 0;
    char** v = nullptr;
    ASSERT_EQ(PREF_ask_char_values("ItemRevision_Text_default_relation", &n, &v), 0);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), blocksAtStart + 3);
    for (int i = 0; i < n; ++i) SM_free(v[i]);
    SM_free(v);
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), blocksAtStart);
    int value = 0;
    ASSERT_EQ(PREF_ask_int_value("WsoInsertNoSelectionsPref", 0, &value), 0);
    EXPECT_EQ(value, 1);
}

TEST_F(PlatformSession, ExitingTheModuleLogsOut) {
    ASSERT_EQ(ITK_exit_module(1), 0);
    EXPECT_FALSE(loginUser::isLoggedIn());
    EXPECT_EQ(loginUser::currentUserTag(), 0u);
    tag_t u = 1;
    EXPECT_EQ(SSS_current_user(&u), ERR_NOT_LOGGED_IN);
    EXPECT_EQ(u, 0u);
    SITE_reset();
    EXPECT_EQ(loginUser::currentUserTag(), user("admin"));
}

}  // namespace
