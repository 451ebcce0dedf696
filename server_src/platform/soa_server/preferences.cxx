// Preference answers: each named preference as read at one scope, with the
// scope's name and the values in stored order.
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "kernel/pref.hxx"
#include "soa_server/service_data.hxx"

namespace Velmora::Soa::Server {

namespace {

// The scope of an exact scope name; any other name is refused.
OSTRA_preference_search_scope_e scopeOfName(const std::string& scope) {
    if (scope == "all") return OSTRA_preference_all_preferences;
    if (scope == "user") return OSTRA_preference_user_preference;
    if (scope == "role") return OSTRA_preference_role_preference;
    if (scope == "group") return OSTRA_preference_group_preference;
    if (scope == "site") return OSTRA_preference_site_preference;
    throw IFail(ERROR_store(3, vl::platform::ERR_BAD_ARGUMENT, "unknown preference scope"), IFail::AlreadyStored{});
}

// Reads at the scope without switching the session's search scope. A
// preference that no level in scope holds is left out of the answer.
void addRead(Base::Preferences& wire, const std::string& name, const std::string& scopeName,
             OSTRA_preference_search_scope_e scope) {
    std::vector<std::string> values;
    if (!vl::platform::PREF_read(name, scope, &values)) return;
    Base::Preference preference;
    preference.setName(name);
    preference.setScope(scopeName);
    for (const auto& text : values) {
        Base::PreferenceValue value;
        value.setValue(text);
        preference.addValue(value);
    }
    wire.addPref(preference);
}

}  // namespace

Preferences::Preferences(const std::vector<std::string>& names, const std::string& scope) {
    OSTRA_preference_search_scope_e value = scopeOfName(scope);
    for (const auto& name : names) addRead(m_wire, name, scope, value);
}

void Preferences::addPreference(const std::string& name, const std::string& scope) {
    addRead(m_wire, name, scope, scopeOfName(scope));
}

}  // namespace Velmora::Soa::Server
