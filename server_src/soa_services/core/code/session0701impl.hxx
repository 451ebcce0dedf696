#pragma once
// "Core-2007-01-Session" on the platform: session information with the
// server version, the object property policy, preferences in several scopes.
#include "kernel/pref.hxx"
#include "soa_services/core/code/session0701.hxx"

#include <string>
#include <vector>

namespace vl::test {
struct Session0701Access;
}

namespace Velmora::Soa::Core::_2007_01 {

class SessionImpl final : public Session {
public:
    SessionImpl() = default;
    SessionImpl(const SessionImpl&) = default;
    SessionImpl& operator=(const SessionImpl&) = default;
    ~SessionImpl() = default;

    GetVLSessionInfoResponse getVLSessionInfo() override;
    bool setObjectPropertyPolicy(const std::string& policyName) override;
    MultiPreferencesResponse getPreferences(const std::vector<ScopedPreferenceNames>& requestedPrefs) override;

private:
    friend struct ::vl::test::Session0701Access;

    // Exact names only; anything else throws IFail 214103.
    OSTRA_preference_search_scope_e scopeFromName(std::string name);
    // Display texts of internal names from the text server; no operation
    // calls it.
    std::vector<TextInfo> getLocalizedValues(const std::vector<std::string>& realNames);
};

}  // namespace Velmora::Soa::Core::_2007_01
