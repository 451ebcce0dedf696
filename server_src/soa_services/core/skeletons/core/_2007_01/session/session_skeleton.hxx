#pragma once
// Skeleton of "Core-2007-01-Session": three operations, each from its request
// document to one call of the session implementation and back.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/session0701impl.hxx"
#include "soa_services/core/schemas/core/_2007_01/session/session_types.hxx"

#include <map>
#include <string>
#include <vector>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_SESSION0701_CONVERTERS(X)                                                                            \
    X(Record, TextInfo) X(Record, ReturnedPreferences) X(Record, ScopedPreferenceNames)                         \
    X(Response, GetVLSessionInfoResponse) X(Response, MultiPreferencesResponse) X(Map, ExtraInfo, ExtraInfoMap)

#define VL_SESSION0701_DECLARE(...) VL_SKELETON_DECLARE(Local, SessionWire, __VA_ARGS__)

namespace Velmora::Services::Core::_2007_01 {

namespace SessionWire = ::Velmora::Schemas::Core::_2007_01::Session;

class SessionIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<SessionIiopSkeleton, Velmora::Soa::Core::_2007_01::SessionImpl> {
public:
    using Local = Velmora::Soa::Core::_2007_01::Session;
    using ExtraInfoMap = std::map<std::string, std::string>;

    SessionIiopSkeleton();
    SessionIiopSkeleton(const SessionIiopSkeleton&) = default;
    SessionIiopSkeleton& operator=(const SessionIiopSkeleton&) = default;

    // Entries in the map's key order; towards the local side a later entry with
    // an equal key replaces an earlier one.
    VL_SESSION0701_CONVERTERS(VL_SESSION0701_DECLARE)

private:
    static std::string getPreferences(const std::string& requestXml);
    static std::string getVLSessionInfo(const std::string& requestXml);
    static std::string setObjectPropertyPolicy(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2007_01
