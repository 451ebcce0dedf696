#include "soa_services/core/skeletons/core/_2007_01/session/session_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2007_01 {

namespace {

namespace Wire = SessionWire;
using Skeleton = SessionIiopSkeleton;
using Local = Skeleton::Local;
using vl::skeleton::Handlers;

// Every call goes through the service interface.
Local& service() { return *SessionIiopSkeleton::_service; }

struct NoArguments {};

}  // namespace

SessionIiopSkeleton::SessionIiopSkeleton() : ServiceSkeleton("Session") {
    bind("getPreferences", &getPreferences);
    bind("getVLSessionInfo", &getVLSessionInfo);
    bind("setObjectPropertyPolicy", &setObjectPropertyPolicy);
}

// --- converters: one field list per struct and map entry, in the local
// declaration order (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_TextInfo(X) X(Value, realName, RealName) X(Value, displayName, DisplayName)
#define VL_FIELDS_ReturnedPreferences(X) X(Value, name, Name) X(Value, scope, Scope) X(Strings, values, Value)
#define VL_FIELDS_ScopedPreferenceNames(X) X(Value, scope, Scope) X(Strings, names, Name)
#define VL_FIELDS_GetVLSessionInfoResponse(X)                                                                  \
    X(Value, serverVersion, ServerVersion) X(Value, transientVolRootDir, TransientVolRootDir)                  \
    X(Value, isInV7Mode, IsInV7Mode) X(Value, moduleNumber, ModuleNumber) X(Ref, user, User)                  \
    X(Ref, group, Group) X(Ref, role, Role) X(Ref, vlVolume, VlVolume) X(Ref, project, Project)               \
    X(Ref, workContext, WorkContext) X(Ref, site, Site) X(Value, bypass, Bypass)                              \
    X(Value, journaling, Journaling) X(Value, appJournaling, AppJournaling)                                   \
    X(Value, secJournaling, SecJournaling) X(Value, admJournaling, AdmJournaling)                             \
    X(Value, privileged, Privileged) X(Value, isPartBOMUsageEnabled, IsPartBOMUsageEnabled)                   \
    X(Value, isSubscriptionMgrEnabled, IsSubscriptionMgrEnabled) X(Records, textInfos, TextInfo)              \
    X(Map, extraInfo, ExtraInfo, ExtraInfo) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_MultiPreferencesResponse(X) \
    X(Records, preferences, Preference) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ExtraInfo(X) X(Value, key, Key) X(Value, value, Value)

VL_SESSION0701_CONVERTERS(VL_SKELETON_DEFINE)

// --- operations ---

std::string SessionIiopSkeleton::getPreferences(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_01", "Session", "getPreferences");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetPreferencesInput>(
        spans, "MultiPreferencesResponse", requestXml,
        [](const Wire::GetPreferencesInput& in) {
            return vl::skeleton::toLocalRecords<Skeleton>(in.getRequestedPrefArray());
        },
        [](std::vector<Local::ScopedPreferenceNames>& prefs) { return service().getPreferences(prefs); },
        &vl::skeleton::toWireResponse<Skeleton, Local::MultiPreferencesResponse>);
}

std::string SessionIiopSkeleton::getVLSessionInfo(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_01", "Session", "getVLSessionInfo");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetVLSessionInfoInput>(
        spans, "GetVLSessionInfoResponse", requestXml, [](const Wire::GetVLSessionInfoInput&) { return NoArguments{}; },
        [](NoArguments&) { return service().getVLSessionInfo(); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetVLSessionInfoResponse>);
}

std::string SessionIiopSkeleton::setObjectPropertyPolicy(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_01", "Session", "setObjectPropertyPolicy");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SetObjectPropertyPolicyInput>(
        spans, "SetObjectPropertyPolicyOutput", requestXml,
        [](const Wire::SetObjectPropertyPolicyInput& in) { return in.getPolicyName(); },
        [](std::string& policyName) { return service().setObjectPropertyPolicy(policyName); },
        &vl::skeleton::toWireFlag<Wire::SetObjectPropertyPolicyOutput>);
}

}  // namespace Velmora::Services::Core::_2007_01
