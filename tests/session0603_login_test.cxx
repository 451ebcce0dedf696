// Login, single sign-on login and logout through the gateway, against the
// default site's users, groups and roles.
#include "session0603_support.hxx"

#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "gateway/login.hxx"
#include "kernel/session.hxx"
#include "pom/pom.hxx"
#include "server_info/server_info.hxx"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace session0603;
using vl::platform::ERR_LOGIN_WRONG_GROUP;
using vl::platform::ERR_LOGIN_WRONG_ROLE;
using vl::platform::ERR_LOGIN_WRONG_USER;

class Session0603Login : public Session0603Fixture {
protected:
    // Everything a password could leak into: the reply, the error store, the
    // monitor's spans, the platform's call log and the system log.
    static void expectNowhere(const std::string& secret, const std::string& reply) {
        EXPECT_EQ(reply.find(secret), std::string::npos) << reply;
        int count = 0;
        const char* const* texts = nullptr;
        ERROR_store_ask(&count, nullptr, nullptr, &texts);
        for (int i = 0; i < count; ++i) EXPECT_EQ(std::string(texts[i]).find(secret), std::string::npos);
        for (const auto& event : vl::platform::MONITOR_log())
            EXPECT_EQ(event.label.find(secret), std::string::npos) << event.label;
        for (const auto& name : vl::platform::CALLS_log()) EXPECT_EQ(name.find(secret), std::string::npos) << name;
        EXPECT_EQ(vl::platform::SYSLOG_text().find(secret), std::string::npos);
    }

    static std::string sessionUserId() {
        tag_t u = 0;
        SSS_current_user(&u);
        ERROR_store_clear();
        char id[SA_name_size_c + 1] = "";
        if (u) SA_ask_user_identifier(u, id);
        return id;
    }
};

// What a login leaves and answers, by the session it starts from, the names
// it asks for and what the gateway makes of the password.
TEST_F(Session0603Login, OutcomeTable) {
    enum Before { Fixture, LoggedOut, AliceReviewer };
    enum Expect { Success, WrongUser, WrongGroup, WrongRole, GatewayText };
    struct Case {
        const char* what;
        Before before;
        bool sso;
        const char* username;
        const char* secret;
        const char* group;
        const char* role;
        Expect expect;
        const char* gatewayText;  // GatewayText: the message expected
        // The session afterwards: user, group, role (a refused check keeps
        // the session the gateway opened).
        const char* sessionUser;
        const char* sessionGroup;
        const char* sessionRole;
    } cases[] = {
        {"defaults of the user", Fixture, false, "alice", kAlicePassword, "", "", Success, nullptr, "alice",
         "engineering", "Designer"},
        {"group and role as asked", Fixture, false, "alice", kAlicePassword, "engineering", "Reviewer", Success,
         nullptr, "alice", "engineering", "Reviewer"},
        {"default group's default role", Fixture, false, "bob", kBobPassword, "", "", Success, nullptr, "bob",
         "manufacturing", "Operator"},
        {"login after logout", LoggedOut, false, "admin", kAdminPassword, "dba", "DBA", Success, nullptr, "admin",
         "dba", "DBA"},
        {"user name in other letter case", Fixture, false, "ALICE", kAlicePassword, "", "", WrongUser, nullptr,
         "alice", "engineering", "Designer"},
        {"wrong password", Fixture, false, "alice", "Not-Alice-Secret-7", "", "", GatewayText,
         "invalid user id or password", "admin", "dba", "DBA"},
        {"unknown user", Fixture, false, "nobody", "Not-Alice-Secret-7", "", "", GatewayText,
         "invalid user id or password", "admin", "dba", "DBA"},
        {"empty user", LoggedOut, false, "", "", "", "", GatewayText, "invalid user id or password", "", "", ""},
        {"group the user is not in", Fixture, false, "alice", kAlicePassword, "manufacturing", "", GatewayText,
         nullptr, "admin", "dba", "DBA"},
        {"role the user lacks in the group", Fixture, false, "alice", kAlicePassword, "engineering", "Operator",
         GatewayText, nullptr, "admin", "dba", "DBA"},
        {"inactive user", Fixture, false, "carol", kCarolPassword, "", "", GatewayText, nullptr, "admin", "dba",
         "DBA"},
        {"inactive member", Fixture, false, "dave", kDavePassword, "manufacturing", "Operator", GatewayText, nullptr,
         "admin", "dba", "DBA"},
        {"sso confirms the session", Fixture, true, "admin", "any token at all", "dba", "DBA", Success, nullptr,
         "admin", "dba", "DBA"},
        {"sso with empty group and role", AliceReviewer, true, "alice", "", "", "", Success, nullptr, "alice",
         "engineering", "Reviewer"},
        {"sso for another user", Fixture, true, "alice", "Sso-Token-9f", "", "", WrongUser, nullptr, "admin", "dba", "DBA"},
        {"sso user in other letter case", Fixture, true, "Admin", "Sso-Token-9f", "", "", WrongUser, nullptr, "admin", "dba",
         "DBA"},
        {"sso for another group", Fixture, true, "admin", "Sso-Token-9f", "engineering", "", WrongGroup, nullptr, "admin", "dba",
         "DBA"},
        {"sso group in other letter case", Fixture, true, "admin", "Sso-Token-9f", "DBA", "", WrongGroup, nullptr, "admin",
         "dba", "DBA"},
        {"sso for another role", AliceReviewer, true, "alice", "Sso-Token-9f", "engineering", "Designer", WrongRole, nullptr,
         "alice", "engineering", "Reviewer"},
        {"sso with no session", LoggedOut, true, "admin", "Sso-Token-9f", "", "", GatewayText, "no session", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vl::platform::SITE_reset();
        if (c.before == LoggedOut) call("logout", "<LogoutInput/>");
        if (c.before == AliceReviewer) {
            ASSERT_EQ(Parsed(call("login", loginXml("alice", kAlicePassword, "engineering", "Reviewer"))).name(),
                      "LoginResponse");
        }
        // The text the gateway itself stores when it refuses this login (it
        // leaves the session as it was, so the request below meets the same).
        std::string gatewayStored;
        if (c.expect == GatewayText && !c.sso) {
            try {
                VlLoginServiceManager::doLogin(c.username, c.secret, c.group, c.role);
                ADD_FAILURE() << "the gateway accepted the login";
            } catch (IFail&) {
                int count = 0;
                const char* const* texts = nullptr;
                ERROR_store_ask(&count, nullptr, nullptr, &texts);
                if (count > 0) gatewayStored = texts[0];
            }
            ERROR_store_clear();
            ASSERT_FALSE(gatewayStored.empty());
        }
        vl::platform::MONITOR_clear();
        vl::platform::CALLS_clear();

        std::string reply = c.sso ? call("loginSSO", loginSSOXml(c.username, c.secret, c.group, c.role))
                                  : call("login", loginXml(c.username, c.secret, c.group, c.role));
        Parsed r(reply);
        if (c.expect == Success) {
            ASSERT_EQ(r.name(), "LoginResponse") << reply;
            std::string userUid = uidOf(user(c.username));
            std::string memberUid = uidOf(member(c.sessionUser, c.sessionGroup, c.sessionRole));
            EXPECT_EQ(r.refUid("user"), userUid);
            EXPECT_EQ(r.refUid("groupMember"), memberUid);
            EXPECT_EQ(r.uids("plainObj"), (std::vector<std::string>{userUid, memberUid}));
            EXPECT_TRUE(r.uids("createdObj").empty());
            EXPECT_TRUE(childrenNamed(r.sd, "partialError").empty());
        } else {
            ASSERT_EQ(r.name(), "InvalidCredentialsException") << reply;
            std::string expected = c.gatewayText ? c.gatewayText : gatewayStored;
            if (c.expect == WrongUser) expected = ERROR_code_text(ERR_LOGIN_WRONG_USER);
            if (c.expect == WrongGroup) expected = ERROR_code_text(ERR_LOGIN_WRONG_GROUP);
            if (c.expect == WrongRole) expected = ERROR_code_text(ERR_LOGIN_WRONG_ROLE);
            ASSERT_FALSE(expected.empty()) << "each refusal names its text";
            EXPECT_EQ(r.message(), expected);
        }
        // Nothing of the attempt is left for a later reply.
        int stored = -1;
        ERROR_store_ask(&stored, nullptr, nullptr, nullptr);
        EXPECT_EQ(stored, 0);
        if (*c.secret) expectNowhere(c.secret, reply);

        EXPECT_EQ(sessionUserId(), c.sessionUser);
        EXPECT_EQ(loginUser::currentGroupMemberTag(),
                  *c.sessionUser ? member(c.sessionUser, c.sessionGroup, c.sessionRole) : 0u);
    }
}

// Every refusal of a password costs one check against a hash, whether the
// user exists or not; an unknown user's hash is as strong as the strongest
// stored one.
TEST_F(Session0603Login, EveryRefusalChecksOneHash) {
    struct Case {
        const char* what;
        const char* user;
        const char* password;
    } cases[] = {
        {"wrong password", "alice", "Not-Alice-Secret-7"},
        {"unknown user", "nobody", "Not-Alice-Secret-7"},
        {"inactive user, wrong password", "carol", "Not-Alice-Secret-7"},
        {"inactive user", "carol", kCarolPassword},
        {"empty user", "", ""},
    };
    std::vector<std::string> wrongPassword;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vl::platform::CALLS_clear();
        EXPECT_THROW(VlLoginServiceManager::doLogin(c.user, c.password, "", ""), IFail);
        ERROR_store_clear();
        const auto calls = vl::platform::CALLS_log();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "LOGIN_verify_password"), 1);
        if (wrongPassword.empty()) wrongPassword = calls;
        EXPECT_EQ(calls, wrongPassword) << "the same way as a wrong password";
    }
    const std::string dummy = VlLoginServiceManager::dummyPasswordHash();
    EXPECT_EQ(dummy.substr(0, dummy.find("$", dummy.find("$m=") + 1)), "$argon2id$v=19$m=8,t=1,p=1");
}

// The gateway's own failure reaches the client as its text.
TEST_F(Session0603Login, GatewayFailureIsReportedWithItsText) {
    vl::platform::FAULT_inject("VlLoginServiceManager::doLogin", vl::platform::ERR_INJECTED);
    Parsed r(call("login", loginXml("alice", kAlicePassword)));
    EXPECT_EQ(r.name(), "InvalidCredentialsException");
    EXPECT_EQ(r.message(), "injected failure of VlLoginServiceManager::doLogin");
}

// A user id, group or role name longer than the ask calls' buffers is
// refused when made, so every name the login compares fits them whole.
TEST_F(Session0603Login, NamesAreBoundedWhenMadeAndComparedWhole) {
    const std::string longest(SA_name_size_c, 'u');
    const std::string tooLong(SA_name_size_c + 1, 'u');
    tag_t made = 0;
    EXPECT_EQ(SA_create_user(tooLong.c_str(), "", "pw-long", &made), vl::platform::ERR_NAME_TOO_LONG);
    EXPECT_EQ(SA_create_group(std::string(SA_name_size_c + 1, 'g').c_str(), &made), vl::platform::ERR_NAME_TOO_LONG);
    EXPECT_EQ(SA_create_role(std::string(SA_name_size_c + 1, 'r').c_str(), &made), vl::platform::ERR_NAME_TOO_LONG);
    ERROR_store_clear();

    std::string error;
    std::string fixture = "format 1\ngroup g\nrole r\nuser " + tooLong + " password=\"" +
                          vl::platform::SITE_hash_password("x") + "\" group=g\n";
    EXPECT_NE(vl::platform::SITE_load_text(fixture, "long.site", &error), 0);
    EXPECT_NE(error.find("long.site:4:"), std::string::npos) << error;

    const std::string group(SA_name_size_c, 'g'), role(SA_name_size_c, 'r');
    tag_t u = 0, g = 0, r = 0, m = 0;
    ASSERT_EQ(SA_create_user(longest.c_str(), "", "pw-longest", &u), 0);
    ASSERT_EQ(SA_create_group(group.c_str(), &g), 0);
    ASSERT_EQ(SA_create_role(role.c_str(), &r), 0);
    ASSERT_EQ(SA_create_groupmember(g, u, r, &m), 0);

    struct Case {
        std::string username, group, role;
        const char* root;
    } cases[] = {
        {longest, group, role, "LoginResponse"},
        {longest + "u", group, role, "InvalidCredentialsException"},
        {longest, group + "g", role, "InvalidCredentialsException"},
        {longest, group, role + "r", "InvalidCredentialsException"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.username.size());
        Parsed reply(call("login", loginXml(c.username, "pw-longest", c.group, c.role)));
        EXPECT_EQ(reply.name(), c.root) << reply.text;
        Parsed sso(call("loginSSO", loginSSOXml(c.username, "", c.group, c.role)));
        EXPECT_EQ(sso.name(), c.root) << sso.text;
    }
}

// With the session user unknown to the platform the tag stays null, so the
// check refuses instead of reading whatever the tag held.
TEST_F(Session0603Login, FailedSessionUserLookupRefusesTheLogin) {
    vl::platform::FAULT_inject("SSS_current_user", vl::platform::ERR_INJECTED);
    Parsed r(call("loginSSO", loginSSOXml("admin", "", "dba", "DBA")));
    EXPECT_EQ(r.name(), "InvalidCredentialsException") << r.text;
    EXPECT_EQ(r.message(), "injected failure of SSS_current_user");
}

TEST_F(Session0603Login, LogoutEndsTheSessionAndResetRestoresIt) {
    int cleanups = VlServiceManager::instance().cleanupCount();
    Parsed out(call("logout", "<LogoutInput/>"));
    EXPECT_EQ(out.text, "<ServiceData/>");
    EXPECT_EQ(VlServiceManager::instance().cleanupCount(), cleanups + 1);
    EXPECT_FALSE(OstraServerEventService::isRunning());
    EXPECT_FALSE(OstraType::isClientServerUpdateListEnabled());
    EXPECT_FALSE(loginUser::isLoggedIn());

    // Nothing the session alone may do works now; single sign-on does not
    // bring the session back.
    EXPECT_EQ(Parsed(call("getGroupMembership", "<GetGroupMembershipInput/>")).name(), "ServiceException");
    EXPECT_EQ(Parsed(call("loginSSO", loginSSOXml("admin", "Sso-Token-9f"))).name(), "InvalidCredentialsException");
    EXPECT_FALSE(loginUser::isLoggedIn());

    // A reset brings back the fixture's session and the switches logout
    // turned off, so later work goes on as after a load.
    vl::platform::SITE_reset();
    EXPECT_TRUE(loginUser::isLoggedIn());
    EXPECT_TRUE(OstraServerEventService::isRunning());
    EXPECT_TRUE(OstraType::isClientServerUpdateListEnabled());
    Parsed members(call("getGroupMembership", "<GetGroupMembershipInput/>"));
    EXPECT_EQ(childrenNamed(members.root, "groupMember").size(), 2u) << members.text;
    EXPECT_EQ(Parsed(call("loginSSO", loginSSOXml("admin", "Sso-Token-9f", "dba", "DBA"))).name(), "LoginResponse");
}

}  // namespace
