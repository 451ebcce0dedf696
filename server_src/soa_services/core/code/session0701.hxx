#pragma once
// Service interface of "Core-2007-01-Session": session information, the
// object property policy and preferences read in several scopes at once.
#include "sa/sa.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2007_01 {

class Session {
public:
    struct TextInfo {
        std::string realName;
        std::string displayName;
    };

    struct GetVLSessionInfoResponse {
        std::string serverVersion;
        std::string transientVolRootDir;
        bool isInV7Mode;
        int moduleNumber;
        POMRef<User> user;
        POMRef<Group> group;
        POMRef<Role> role;
        POMRef<Volume> vlVolume;
        POMRef<Project> project;
        POMRef<WorkContext> workContext;
        POMRef<Site> site;
        bool bypass;
        bool journaling;
        bool appJournaling;
        bool secJournaling;
        bool admJournaling;
        bool privileged;
        bool isPartBOMUsageEnabled;
        bool isSubscriptionMgrEnabled;
        std::vector<TextInfo> textInfos;
        std::map<std::string, std::string> extraInfo;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct ReturnedPreferences {
        std::string name;
        std::string scope;  // as the client wrote it
        std::vector<std::string> values;
    };

    struct MultiPreferencesResponse {
        std::vector<ReturnedPreferences> preferences;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct ScopedPreferenceNames {
        std::string scope;
        std::vector<std::string> names;
    };

    Session() = default;
    Session(const Session&) = default;
    Session& operator=(const Session&) = default;

    virtual GetVLSessionInfoResponse getVLSessionInfo() = 0;
    virtual bool setObjectPropertyPolicy(const std::string& policyName) = 0;
    virtual MultiPreferencesResponse getPreferences(const std::vector<ScopedPreferenceNames>& requestedPrefs) = 0;

protected:
    // Never deleted through the interface.
    ~Session() = default;
};

}  // namespace Velmora::Soa::Core::_2007_01
