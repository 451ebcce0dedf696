#include "soa_services/core/code/session_prefs.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "sm/sm.hxx"

#include <cstddef>

namespace Velmora::Soa::Core::SessionPrefs {

OSTRA_preference_search_scope_e scopeFromName(const std::string& name) {
    if (name == "all") return OSTRA_preference_all_preferences;
    if (name == "site") return OSTRA_preference_site_preference;
    if (name == "user") return OSTRA_preference_user_preference;
    if (name == "role") return OSTRA_preference_role_preference;
    if (name == "group") return OSTRA_preference_group_preference;
    throw IFail(vl::platform::ERR_UNKNOWN_PREF_SCOPE);
}

SearchScopeRestore::~SearchScopeRestore() {
    try {
        PREF_set_search_scope(m_saved);
    } catch (...) {
        // Out of memory while another exception is on its way: nothing
        // better to do than let that one go on.
    }
}

SmStringArray::SmStringArray(const std::vector<std::string>& texts)
    : m_count(static_cast<int>(texts.size())),
      m_values(static_cast<char**>(SM_alloc_persistent(texts.size() * sizeof(char*)))) {
    for (std::size_t i = 0; i < texts.size(); ++i) m_values[i] = nullptr;
    try {
        for (std::size_t i = 0; i < texts.size(); ++i) m_values[i] = SM_string_copy_persistent(texts[i].c_str());
    } catch (...) {
        release();
        throw;
    }
}

void SmStringArray::release() {
    for (int i = 0; i < m_count; ++i) SM_free(m_values[i]);
    SM_free(m_values);
    m_values = nullptr;
}

PrefCharValues::~PrefCharValues() {
    if (!m_values) return;
    for (int i = 0; i < m_count; ++i) SM_free(m_values[i]);
    SM_free(m_values);
}

std::vector<std::string> PrefCharValues::texts() const {
    std::vector<std::string> out;
    if (!m_values) return out;
    out.reserve(m_count > 0 ? static_cast<std::size_t>(m_count) : 0);
    for (int i = 0; i < m_count; ++i) out.emplace_back(m_values[i] ? m_values[i] : "");
    return out;
}

}  // namespace Velmora::Soa::Core::SessionPrefs
