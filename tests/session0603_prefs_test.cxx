// Preferences by scope: reading at each scope and through the levels of
// "all", writing setting by setting, and the session's search scope kept.
#include "session0603_support.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/pref.hxx"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

// Allocation failure on demand: while armed, the n-th allocation of exactly
// `size` bytes throws std::bad_alloc. Unarmed it is plain malloc and free.
namespace {
std::size_t g_failSize = 0;
int g_failCountdown = 0;
bool g_failed = false;
// The session's search scope when the allocation failed.
OSTRA_preference_search_scope_e g_scopeAtFailure = OSTRA_preference_all_preferences;
}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    if (g_failCountdown > 0 && size == g_failSize && --g_failCountdown == 0) {
        g_failed = true;
        PREF_ask_search_scope(&g_scopeAtFailure);
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// The form that does not throw (temporary buffers of the standard algorithms)
// too, so that every block these deletes free came from malloc.
[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
// Out of line, so that no caller sees free() meet a pointer from new.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using namespace session0603;
using vl::platform::ERR_UNKNOWN_PREF_SCOPE;

class Session0603Prefs : public Session0603Fixture {
protected:
    static std::vector<Pref> prefsOf(const Parsed& r) { return prefsIn(r.root->child("preferences"), "pref"); }
    static std::vector<std::string> stored(const std::string& name, OSTRA_preference_search_scope_e scope) {
        std::vector<std::string> values;
        if (!vl::platform::PREF_read(name, scope, &values)) values = {"<none>"};
        return values;
    }
};

// Every exact scope name reads at its level; any other spelling is refused
// with 214103 and reads nothing. The session here is admin in dba as DBA.
TEST_F(Session0603Prefs, GetPreferencesByScopeName) {
    struct Case {
        const char* scope;
        std::vector<Pref> expected;  // empty with refused: 214103
        bool refused;
    } cases[] = {
        {"all", {{"Display_Mode", "all", {"compact"}}, {"Empty_List", "all", {}}}, false},
        {"site", {{"Display_Mode", "site", {"compact"}}, {"Empty_List", "site", {}}}, false},
        {"user", {}, false},
        {"role", {}, false},
        {"group", {}, false},
        {"All", {}, true},
        {"SITE", {}, true},
        {"", {}, true},
        {" all", {}, true},
        {"users", {}, true},
        {"3", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scope);
        Parsed r(call("getPreferences", getPrefsXml(c.scope, {"Display_Mode", "No_Such_Pref", "Empty_List"})));
        if (c.refused) {
            EXPECT_EQ(r.name(), "ServiceException") << r.text;
            EXPECT_EQ(r.codes(), std::vector<int>{ERR_UNKNOWN_PREF_SCOPE});
        } else {
            ASSERT_EQ(r.name(), "PreferencesResponse") << r.text;
            EXPECT_EQ(prefsOf(r), c.expected);
            EXPECT_TRUE(childrenNamed(r.sd, "partialError").empty());
        }
        EXPECT_EQ(searchScope(), OSTRA_preference_all_preferences);
    }
}

// "all" takes the first level that holds the preference: user, then role,
// then group, then site; each named scope reads its own level only.
TEST_F(Session0603Prefs, AllReadsThroughUserRoleGroupAndSite) {
    struct Case {
        const char* user;
        const char* password;
        const char* group;
        const char* role;
        const char* all;  // Display_Mode as "all" sees it
        const char* user_, *role_, *group_, *site_;  // at each level, "" for none
    } cases[] = {
        {"bob", kBobPassword, "manufacturing", "Operator", "wide", "wide", "", "", "compact"},
        {"alice", kAlicePassword, "engineering", "Reviewer", "review", "", "review", "detailed", "compact"},
        {"alice", kAlicePassword, "engineering", "Designer", "detailed", "", "", "detailed", "compact"},
        {"admin", kAdminPassword, "dba", "DBA", "compact", "", "", "", "compact"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + c.role);
        ASSERT_EQ(Parsed(call("login", loginXml(c.user, c.password, c.group, c.role))).name(), "LoginResponse");
        const std::pair<const char*, const char*> levels[] = {
            {"all", c.all}, {"user", c.user_}, {"role", c.role_}, {"group", c.group_}, {"site", c.site_}};
        for (const auto& [scope, value] : levels) {
            SCOPED_TRACE(scope);
            Parsed r(call("getPreferences", getPrefsXml(scope, {"Display_Mode"})));
            std::vector<Pref> expected;
            if (*value) expected.push_back({"Display_Mode", scope, {value}});
            EXPECT_EQ(prefsOf(r), expected) << r.text;
        }
    }
}

// Settings apply one by one, each at its scope; the search scope is back
// after every one. An unknown scope ends the call where it stands.
TEST_F(Session0603Prefs, SetPreferencesSettingBySetting) {
    struct Case {
        const char* what;
        std::vector<Setting> settings;
        std::vector<Pref> answered;  // with refused: the call fails with 214103
        bool refused;
        std::vector<std::pair<std::string, std::vector<std::string>>> userLevel;  // afterwards
        std::vector<std::pair<std::string, std::vector<std::string>>> siteLevel;
    } cases[] = {
        {"three settings, the second with a bad scope",
         {{"user", "First_Pref", {"a", "b"}}, {"Group", "Second_Pref", {"c"}}, {"user", "Third_Pref", {"d"}}},
         {},
         true,
         {{"First_Pref", {"a", "b"}}, {"Second_Pref", {"<none>"}}, {"Third_Pref", {"<none>"}}},
         {}},
        {"each setting at its own scope",
         {{"site", "Display_Mode", {"dense"}}, {"all", "Recent_Items", {"x", "y", "z"}}, {"user", "No_Values", {}}},
         {{"Display_Mode", "site", {"dense"}}, {"Recent_Items", "all", {"x", "y", "z"}}, {"No_Values", "user", {}}},
         false,
         {{"Display_Mode", {"<none>"}}, {"Recent_Items", {"x", "y", "z"}}, {"No_Values", {}}},
         {{"Display_Mode", {"dense"}}}},
        {"no settings", {}, {}, false, {}, {}},
        {"a later setting of the same name wins",
         {{"user", "Twice", {"1"}}, {"user", "Twice", {"2"}}},
         {{"Twice", "user", {"1"}}, {"Twice", "user", {"2"}}},
         false,
         {{"Twice", {"2"}}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vl::platform::SITE_reset();
        Parsed r(call("setPreferences", setPrefsXml(c.settings)));
        if (c.refused) {
            EXPECT_EQ(r.name(), "ServiceException") << r.text;
            EXPECT_EQ(r.codes(), std::vector<int>{ERR_UNKNOWN_PREF_SCOPE});
        } else {
            ASSERT_EQ(r.name(), "PreferencesResponse") << r.text;
            EXPECT_EQ(prefsOf(r), c.answered);
            EXPECT_TRUE(childrenNamed(r.sd, "partialError").empty()) << r.text;
        }
        EXPECT_EQ(searchScope(), OSTRA_preference_all_preferences);
        for (const auto& [name, values] : c.userLevel)
            EXPECT_EQ(stored(name, OSTRA_preference_user_preference), values) << name;
        for (const auto& [name, values] : c.siteLevel)
            EXPECT_EQ(stored(name, OSTRA_preference_site_preference), values) << name;
    }
}

// A setting the platform refuses is a partial error under its name; the
// others are written.
TEST_F(Session0603Prefs, RefusedSettingIsAPartialErrorByName) {
    // alice's group administers nothing: site and group levels are closed.
    ASSERT_EQ(Parsed(call("login", loginXml("alice", kAlicePassword))).name(), "LoginResponse");
    Parsed r(call("setPreferences", setPrefsXml({{"site", "Display_Mode", {"x"}},
                                                 {"user", "Mine", {"m"}},
                                                 {"group", "Default_Unit", {"cm"}},
                                                 {"user", "", {"no name"}}})));
    ASSERT_EQ(r.name(), "PreferencesResponse") << r.text;
    EXPECT_EQ(prefsOf(r), (std::vector<Pref>{{"Mine", "user", {"m"}}}));
    std::vector<std::string> keys;
    for (const XMLNode* e : childrenNamed(r.sd, "partialError")) {
        keys.push_back(attrOf(e, "clientId"));
        EXPECT_EQ(childrenNamed(e, "errorValue").size(), 1u);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Display_Mode", "Default_Unit", ""}));
    EXPECT_EQ(stored("Display_Mode", OSTRA_preference_site_preference), std::vector<std::string>{"compact"});
    EXPECT_EQ(stored("Default_Unit", OSTRA_preference_group_preference), std::vector<std::string>{"mm"});
    EXPECT_EQ(searchScope(), OSTRA_preference_all_preferences);
}

// Whatever leaves a setting, out of memory included, the search scope is the
// session's again and every value copy is freed. Fails each allocation of
// the long value's size in turn, from parsing the request to writing the
// reply, until the request goes through.
TEST_F(Session0603Prefs, SearchScopeAndValuesSurviveAnyFailure) {
    const std::string longValue(5000, 'v');
    const std::string request = setPrefsXml({{"site", "Long_Pref", {longValue}}});
    long blocks = vl::platform::SM_outstanding_blocks();
    int failures = 0, switched = 0;
    for (int n = 1; n < 200; ++n) {
        SCOPED_TRACE(n);
        vl::platform::SITE_reset();
        g_failed = false;
        g_failSize = longValue.size() + 1;
        g_failCountdown = n;
        std::string reply = call("setPreferences", request);
        g_failCountdown = 0;
        EXPECT_EQ(searchScope(), OSTRA_preference_all_preferences);
        EXPECT_EQ(vl::platform::SM_outstanding_blocks(), blocks);
        if (!g_failed) {
            EXPECT_EQ(Parsed(reply).name(), "PreferencesResponse") << reply;
            break;
        }
        ++failures;
        switched += g_scopeAtFailure == OSTRA_preference_site_preference;
        // Out of memory is no platform failure: the gateway answers it.
        EXPECT_EQ(Parsed(reply).name(), "ServiceException") << reply;
    }
    // The value is copied while the setting is written, so some failures
    // struck with the scope switched.
    EXPECT_GE(failures, 3);
    EXPECT_GE(switched, 1);
}

}  // namespace
