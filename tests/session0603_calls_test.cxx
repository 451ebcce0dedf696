// The platform calls each session operation makes, in order: what is asked,
// what is skipped for an empty group or role, where a refusal stops, and how
// each setting switches the search scope and back.
#include "session0603_support.hxx"

#include <gtest/gtest.h>

namespace {

using namespace session0603;

class Session0603Calls : public Session0603Fixture {};

TEST_F(Session0603Calls, EachOperationCallsThePlatformInOrder) {
    const std::vector<std::string> whoAmI = {"SSS_current_user", "SA_ask_user_identifier"};
    const std::vector<std::string> askGroup = {"SA_ask_groupmember_group", "SA_ask_group_name"};
    const std::vector<std::string> askRole = {"SA_ask_groupmember_role", "SA_ask_role_name"};
    auto join = [](std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> out;
        for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    const std::vector<std::string> doLogin = {"VlLoginServiceManager::doLogin", "LOGIN_verify_password"};
    const std::vector<std::string> answer = {"SSS_current_user"};
    const std::vector<std::string> oneSetting = {"PREF_ask_search_scope", "PREF_set_search_scope",
                                                 "PREF_set_char_values", "PREF_set_search_scope"};
    struct Case {
        const char* what;
        const char* op;
        std::string xml;
        std::vector<std::string> calls;
    } cases[] = {
        {"login with group and role", "login", loginXml("alice", kAlicePassword, "engineering", "Reviewer"),
         join({doLogin, whoAmI, askGroup, askRole, answer})},
        {"login with group only", "login", loginXml("alice", kAlicePassword, "engineering"),
         join({doLogin, whoAmI, askGroup, answer})},
        {"login with role only", "login", loginXml("alice", kAlicePassword, "", "Reviewer"),
         join({doLogin, whoAmI, askRole, answer})},
        {"refused by the gateway", "login", loginXml("alice", "Not-Alice-Secret-7"), doLogin},
        {"sso with neither", "loginSSO", loginSSOXml("admin", "Sso-Token-9f"), join({whoAmI, answer})},
        {"sso for another user stops at the user", "loginSSO", loginSSOXml("alice", "Sso-Token-9f", "dba", "DBA"),
         whoAmI},
        {"sso for another group stops at the group", "loginSSO",
         loginSSOXml("admin", "Sso-Token-9f", "engineering", "DBA"), join({whoAmI, askGroup})},
        {"membership: per member its group, then its role", "getGroupMembership", "<GetGroupMembershipInput/>",
         {"SSS_current_user", "SA_find_groupmember_by_user", "SA_ask_groupmember_group", "SA_ask_groupmember_role",
          "SA_ask_groupmember_group", "SA_ask_groupmember_role"}},
        {"group change", "setSessionGroupMember", memberXml(uidOf(member("admin", "engineering", "Designer"))),
         {"SA_ask_groupmember_group", "SA_ask_groupmember_role", "SA_change_group"}},
        {"read by scope leaves the search scope alone", "getPreferences", getPrefsXml("site", {"Display_Mode"}), {}},
        {"each setting switches the scope and back; a bad scope ends before switching", "setPreferences",
         setPrefsXml({{"user", "A", {"1"}}, {"site", "B", {}}, {"bad", "C", {"3"}}, {"user", "D", {"4"}}}),
         join({oneSetting, oneSetting, {"PREF_ask_search_scope"}})},
        {"logout", "logout", "<LogoutInput/>",
         {"VlServiceManager::cleanupServices", "OstraServerEventService::shutdown",
          "OstraType::enableClientServerUpdateList", "ITK_exit_module"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vl::platform::SITE_reset();
        vl::platform::CALLS_clear();
        call(c.op, c.xml);
        EXPECT_EQ(vl::platform::CALLS_log(), c.calls);
    }
}

}  // namespace
