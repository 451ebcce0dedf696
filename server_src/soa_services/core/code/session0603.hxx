#pragma once
// Service interface of "Core-2006-03-Session": the operations the skeleton
// calls, with the local values they exchange.
#include "sa/sa.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2006_03 {

class Session {
public:
    struct LoginResponse {
        POMRef<User> user;
        POMRef<GroupMember> groupMember;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct PreferencesResponse {
        Velmora::Soa::Server::Preferences preferences;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct GetGroupMembershipResponse {
        std::vector<POMRef<GroupMember>> groupMembers;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct GetSessionGroupMemberResponse {
        POMRef<GroupMember> groupMember;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct GetAvailableServicesResponse {
        std::vector<std::string> serviceNames;
    };

    struct PrefSetting {
        std::string prefScope;  // "all", "user", "role", "group" or "site"
        std::string prefName;
        std::vector<std::string> prefValues;
    };

    Session() = default;
    Session(const Session&) = default;
    Session& operator=(const Session&) = default;

    virtual LoginResponse login(const std::string& username, const std::string& password, const std::string& group,
                                const std::string& role, const std::string& sessionDiscriminator) = 0;
    virtual LoginResponse loginSSO(const std::string& username, const std::string& ssoCredentials,
                                   const std::string& group, const std::string& role,
                                   const std::string& sessionDiscriminator) = 0;
    virtual Velmora::Soa::Server::ServiceData logout() = 0;
    virtual PreferencesResponse getPreferences(const std::string& prefScope,
                                               const std::vector<std::string>& prefNames) = 0;
    virtual PreferencesResponse setPreferences(const std::vector<PrefSetting>& settings) = 0;
    virtual GetGroupMembershipResponse getGroupMembership() = 0;
    virtual GetSessionGroupMemberResponse getSessionGroupMember() = 0;
    virtual Velmora::Soa::Server::ServiceData setSessionGroupMember(const POMRef<GroupMember>& groupMember) = 0;
    virtual GetAvailableServicesResponse getAvailableServices() = 0;

protected:
    // Never deleted through the interface.
    ~Session() = default;
};

}  // namespace Velmora::Soa::Core::_2006_03
