#pragma once
// Skeleton of "Core-2006-03-Session": nine operations, each from its request
// document to one call of the session implementation and back.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/session0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/session/session_types.hxx"

#include <string>

namespace Velmora::Services::Core::_2006_03 {

class SessionIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<SessionIiopSkeleton, Velmora::Soa::Core::_2006_03::SessionImpl> {
public:
    using Local = Velmora::Soa::Core::_2006_03::Session;

    SessionIiopSkeleton();
    SessionIiopSkeleton(const SessionIiopSkeleton&) = default;
    SessionIiopSkeleton& operator=(const SessionIiopSkeleton&) = default;

    static Velmora::Schemas::Core::_2006_03::Session::LoginResponse toWire(Local::LoginResponse local);
    static Velmora::Schemas::Core::_2006_03::Session::GetGroupMembershipResponse toWire(
        Local::GetGroupMembershipResponse local);
    static Velmora::Schemas::Core::_2006_03::Session::PrefSetting toWire(Local::PrefSetting local);
    static Local::PrefSetting toLocal(Velmora::Schemas::Core::_2006_03::Session::PrefSetting wire);
    static Velmora::Schemas::Core::_2006_03::Session::PreferencesResponse toWire(Local::PreferencesResponse local);
    static Velmora::Schemas::Core::_2006_03::Session::GetAvailableServicesResponse toWire(
        Local::GetAvailableServicesResponse local);
    static Local::GetAvailableServicesResponse toLocal(
        Velmora::Schemas::Core::_2006_03::Session::GetAvailableServicesResponse wire);
    static Velmora::Schemas::Core::_2006_03::Session::GetSessionGroupMemberResponse toWire(
        Local::GetSessionGroupMemberResponse local);

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
