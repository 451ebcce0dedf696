// Preferences read in several scopes at once: request order kept, names that
// cannot be read left out, the session's search scope set back on every way
// out, every block the preference calls return freed.
#include "session0701_support.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/pref.hxx"
#include "sm/sm.hxx"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace session0701;
using session0603::Pref;
using session0603::prefsIn;
using session0603::searchScope;
using vl::platform::ERR_UNKNOWN_PREF_SCOPE;

class Session0701Prefs : public Session0701Fixture {
protected:
    static std::vector<Pref> prefsOf(const Parsed& r) { return prefsIn(r.root, "preference"); }
    static long count(const std::vector<std::string>& log, const std::string& name) {
        return std::count(log.begin(), log.end(), name);
    }
};

// Each entry reads at its own scope, as the client named it; a name that
// cannot be read is left out without a partial error and leaves no error
// for later replies.
TEST_F(Session0701Prefs, SeveralScopesWithAnUnreadableName) {
    ASSERT_EQ(PREF_set_search_scope(OSTRA_preference_group_preference), 0);
    const long blocks = vl::platform::SM_outstanding_blocks();
    Parsed r(call("getPreferences", getPrefsXml({{"site", {"Display_Mode", "No_Such_Pref", "Empty_List"}},
                                                 {"all", {"Display_Mode"}},
                                                 {"user", {}},
                                                 {"site", {"ItemRevision_Text_default_relation"}}})));
    ASSERT_EQ(r.name(), "MultiPreferencesResponse") << r.text;
    EXPECT_EQ(prefsOf(r), (std::vector<Pref>{{"Display_Mode", "site", {"compact"}},
                                             {"Empty_List", "site", {}},
                                             {"Display_Mode", "all", {"compact"}},
                                             {"ItemRevision_Text_default_relation", "site", {"Requirement", "Reference"}}}));
    EXPECT_TRUE(partialErrors(r).empty());
    EXPECT_EQ(storedErrorCount(), 0);
    EXPECT_EQ(searchScope(), OSTRA_preference_group_preference);
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), blocks);

}

// An unknown scope after a switched one ends the call with 214103, and the
// saved scope is back; so is it for the unknown scope first.
TEST_F(Session0701Prefs, RefusedScopeRestoresTheSavedOne) {
    struct Case {
        std::vector<Scoped> entries;
    } cases[] = {
        {{{"site", {"Display_Mode"}}, {"Site", {"Display_Mode"}}}},
        // The unreadable name's error is not in the exception.
        {{{"site", {"No_Such_Pref"}}, {"Bad", {}}}},
        {{{"ALL", {}}}},
        {{{"user", {}}, {"role", {"x"}}, {"", {"Display_Mode"}}}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(PREF_set_search_scope(OSTRA_preference_role_preference), 0);
        Parsed r(call("getPreferences", getPrefsXml(c.entries)));
        EXPECT_EQ(r.name(), "ServiceException") << r.text;
        EXPECT_EQ(r.codes(), std::vector<int>{ERR_UNKNOWN_PREF_SCOPE});
        EXPECT_EQ(searchScope(), OSTRA_preference_role_preference);
        EXPECT_EQ(storedErrorCount(), 0);
    }
}

TEST_F(Session0701Prefs, EmptyRequestAsksAndSetsTheScopeOnce) {
    vl::platform::CALLS_clear();
    Parsed r(call("getPreferences", "<GetPreferencesInput/>"));
    EXPECT_EQ(r.text, "<MultiPreferencesResponse><serviceData/></MultiPreferencesResponse>");
    const auto log = vl::platform::CALLS_log();
    EXPECT_EQ(count(log, "PREF_ask_search_scope"), 1);
    EXPECT_EQ(count(log, "PREF_set_search_scope"), 1);
    EXPECT_EQ(count(log, "PREF_ask_char_values"), 0);

    // Each entry switches once; the scope is set back once at the end.
    vl::platform::CALLS_clear();
    call("getPreferences", getPrefsXml({{"site", {"a", "b"}}, {"user", {"c"}}}));
    const auto log2 = vl::platform::CALLS_log();
    EXPECT_EQ(count(log2, "PREF_ask_search_scope"), 1);
    EXPECT_EQ(count(log2, "PREF_set_search_scope"), 3);
    EXPECT_EQ(count(log2, "PREF_ask_char_values"), 3);
}

}  // namespace
