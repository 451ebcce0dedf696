#pragma once
// Skeleton of "Core-2007-01-Session": three operations, each from its request
// document to one call of the session implementation and back.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/session0701impl.hxx"
#include "soa_services/core/schemas/core/_2007_01/session/session_types.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Services::Core::_2007_01 {

class SessionIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<SessionIiopSkeleton, Velmora::Soa::Core::_2007_01::SessionImpl> {
public:
    using Local = Velmora::Soa::Core::_2007_01::Session;

    SessionIiopSkeleton();
    SessionIiopSkeleton(const SessionIiopSkeleton&) = default;
    SessionIiopSkeleton& operator=(const SessionIiopSkeleton&) = default;

    static Velmora::Schemas::Core::_2007_01::Session::GetVLSessionInfoResponse toWire(
        Local::GetVLSessionInfoResponse local);
    static Velmora::Schemas::Core::_2007_01::Session::MultiPreferencesResponse toWire(
        Local::MultiPreferencesResponse local);
    static Velmora::Schemas::Core::_2007_01::Session::ReturnedPreferences toWire(Local::ReturnedPreferences local);
    static Velmora::Schemas::Core::_2007_01::Session::TextInfo toWire(Local::TextInfo local);
    static Velmora::Schemas::Core::_2007_01::Session::ScopedPreferenceNames toWire(
        Local::ScopedPreferenceNames local);
    static Local::ScopedPreferenceNames toLocal(Velmora::Schemas::Core::_2007_01::Session::ScopedPreferenceNames wire);
    static Local::TextInfo toLocal(Velmora::Schemas::Core::_2007_01::Session::TextInfo wire);
    static Local::ReturnedPreferences toLocal(Velmora::Schemas::Core::_2007_01::Session::ReturnedPreferences wire);
    // Entries in the map's key order.
    static std::vector<Velmora::Schemas::Core::_2007_01::Session::ExtraInfo> toWireExtraInfo(
        std::map<std::string, std::string> local);
    // A later entry with an equal key replaces an earlier one.
    static std::map<std::string, std::string> toLocalExtraInfo(
        std::vector<Velmora::Schemas::Core::_2007_01::Session::ExtraInfo> wire);

private:
    static std::string getPreferences(const std::string& requestXml);
    static std::string getVLSessionInfo(const std::string& requestXml);
    static std::string setObjectPropertyPolicy(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2007_01
