#pragma once
// "Core-2006-03-Session" on the platform: login and logout, preferences by
// scope, group membership and the list of registered services.
#include "kernel/pref.hxx"
#include "soa_services/core/code/session0603.hxx"

#include <string>

namespace Velmora::Soa::Core::_2006_03 {

class SessionImpl final : public Session {
public:
    SessionImpl() = default;
    SessionImpl(const SessionImpl&) = default;
    SessionImpl& operator=(const SessionImpl&) = default;
    ~SessionImpl() = default;

    LoginResponse login(const std::string& username, const std::string& password, const std::string& group,
                        const std::string& role, const std::string& sessionDiscriminator) override;
    LoginResponse loginSSO(const std::string& username, const std::string& ssoCredentials, const std::string& group,
                           const std::string& role, const std::string& sessionDiscriminator) override;
    Velmora::Soa::Server::ServiceData logout() override;
    PreferencesResponse getPreferences(const std::string& prefScope,
                                       const std::vector<std::string>& prefNames) override;
    PreferencesResponse setPreferences(const std::vector<PrefSetting>& settings) override;
    GetGroupMembershipResponse getGroupMembership() override;
    GetSessionGroupMemberResponse getSessionGroupMember() override;
    Velmora::Soa::Server::ServiceData setSessionGroupMember(const POMRef<GroupMember>& groupMember) override;
    GetAvailableServicesResponse getAvailableServices() override;

private:
    // Throws IFail 214100, 214101 or 214102 when the session's user, group or
    // role is not the one asked for (an empty group or role is not compared).
    void checkLoginInput(const std::string& username, const std::string& group, const std::string& role);
    LoginResponse prepareLoginResponse();
    // Exact names only; anything else throws IFail 214103.
    OSTRA_preference_search_scope_e scopeFromName(std::string name);
};

}  // namespace Velmora::Soa::Core::_2006_03
