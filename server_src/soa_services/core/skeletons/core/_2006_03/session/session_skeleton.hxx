#pragma once
// Skeleton of "Core-2006-03-Session": nine operations, each from its request
// document to one call of the session implementation and back.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/session0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/session/session_types.hxx"

#include <string>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_SESSION0603_CONVERTERS(X)                                                          \
    X(Record, PrefSetting) X(Record, GetAvailableServicesResponse) X(Response, LoginResponse) \
    X(Response, GetGroupMembershipResponse) X(Response, PreferencesResponse)                  \
    X(Response, GetSessionGroupMemberResponse)

#define VL_SESSION0603_DECLARE(...) VL_SKELETON_DECLARE(Local, SessionWire, __VA_ARGS__)

namespace Velmora::Services::Core::_2006_03 {

namespace SessionWire = ::Velmora::Schemas::Core::_2006_03::Session;

class SessionIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<SessionIiopSkeleton, Velmora::Soa::Core::_2006_03::SessionImpl> {
public:
    using Local = Velmora::Soa::Core::_2006_03::Session;

    SessionIiopSkeleton();
    SessionIiopSkeleton(const SessionIiopSkeleton&) = default;
    SessionIiopSkeleton& operator=(const SessionIiopSkeleton&) = default;

    VL_SESSION0603_CONVERTERS(VL_SESSION0603_DECLARE)

private:
    static std::string getPreferences(const std::string& requestXml);
    static std::string getAvailableServices(const std::string& requestXml);
    static std::string login(const std::string& requestXml);
    static std::string setSessionGroupMember(const std::string& requestXml);
    static std::string getGroupMembership(const std::string& requestXml);
    static std::string setPreferences(const std::string& requestXml);
    static std::string logout(const std::string& requestXml);
    static std::string loginSSO(const std::string& requestXml);
    static std::string getSessionGroupMember(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2006_03
