#include "soa_services/core/skeletons/core/_2007_01/session/session_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2007_01 {

namespace {

namespace Wire = Velmora::Schemas::Core::_2007_01::Session;
using vl::skeleton::Handlers;
using vl::skeleton::toWireRef;
using Local = SessionIiopSkeleton::Local;

// Every call goes through the service interface.
Local& service() { return *SessionIiopSkeleton::_service; }

struct NoArguments {};

}  // namespace

SessionIiopSkeleton::SessionIiopSkeleton() : ServiceSkeleton("Session") {
    bind("getPreferences", &getPreferences);
    bind("getVLSessionInfo", &getVLSessionInfo);
    bind("setObjectPropertyPolicy", &setObjectPropertyPolicy);
}

// --- converters ---

// Types whose local and wire forms match field by field: the local member
// and the wire accessor's stem, in conversion order, serving both directions.
#define VL_FIELDS_TextInfo(M) M(realName, RealName) M(displayName, DisplayName)
#define VL_FIELDS_ReturnedPreferences(M) M(name, Name) M(scope, Scope) M(values, ValueArray)
#define VL_FIELDS_ScopedPreferenceNames(M) M(scope, Scope) M(names, NameArray)
#define VL_SET_WIRE(member, Stem) wire.set##Stem(local.member);
#define VL_SET_LOCAL(member, Stem) local.member = wire.get##Stem();
#define VL_MATCHED_CONVERTERS(T)                                    \
    Wire::T SessionIiopSkeleton::toWire(Local::T local) {           \
        Wire::T wire;                                               \
        VL_FIELDS_##T(VL_SET_WIRE) return wire;                     \
    }                                                               \
    Local::T SessionIiopSkeleton::toLocal(Wire::T wire) {           \
        Local::T local;                                             \
        VL_FIELDS_##T(VL_SET_LOCAL) return local;                   \
    }

VL_MATCHED_CONVERTERS(TextInfo)
VL_MATCHED_CONVERTERS(ReturnedPreferences)
VL_MATCHED_CONVERTERS(ScopedPreferenceNames)

#undef VL_MATCHED_CONVERTERS
#undef VL_SET_LOCAL
#undef VL_SET_WIRE
#undef VL_FIELDS_ScopedPreferenceNames
#undef VL_FIELDS_ReturnedPreferences
#undef VL_FIELDS_TextInfo

// Each object field is converted on its own: one that cannot be made into a
// reference is the null reference, and leaves no error behind.
Wire::GetVLSessionInfoResponse SessionIiopSkeleton::toWire(Local::GetVLSessionInfoResponse local) {
    Wire::GetVLSessionInfoResponse wire;
    wire.setServerVersion(local.serverVersion);
    wire.setTransientVolRootDir(local.transientVolRootDir);
    wire.setIsInV7Mode(local.isInV7Mode);
    wire.setModuleNumber(local.moduleNumber);
    wire.setUser(toWireRef(local.user.tag()));
    wire.setGroup(toWireRef(local.group.tag()));
    wire.setRole(toWireRef(local.role.tag()));
    wire.setVlVolume(toWireRef(local.vlVolume.tag()));
    wire.setProject(toWireRef(local.project.tag()));
    wire.setWorkContext(toWireRef(local.workContext.tag()));
    wire.setSite(toWireRef(local.site.tag()));
    wire.setBypass(local.bypass);
    wire.setJournaling(local.journaling);
    wire.setAppJournaling(local.appJournaling);
    wire.setSecJournaling(local.secJournaling);
    wire.setAdmJournaling(local.admJournaling);
    wire.setPrivileged(local.privileged);
    wire.setIsPartBOMUsageEnabled(local.isPartBOMUsageEnabled);
    wire.setIsSubscriptionMgrEnabled(local.isSubscriptionMgrEnabled);
    std::vector<Wire::TextInfo> textInfos;
    textInfos.reserve(local.textInfos.size());
    for (auto& info : local.textInfos) textInfos.push_back(toWire(info));
    wire.setTextInfoArray(textInfos);
    wire.setExtraInfoArray(toWireExtraInfo(local.extraInfo));
    wire.setServiceData(vl::skeleton::toWireServiceData(std::move(local.serviceData)));
    return wire;
}

Wire::MultiPreferencesResponse SessionIiopSkeleton::toWire(Local::MultiPreferencesResponse local) {
    Wire::MultiPreferencesResponse wire;
    std::vector<Wire::ReturnedPreferences> preferences;
    preferences.reserve(local.preferences.size());
    for (auto& pref : local.preferences) preferences.push_back(toWire(std::move(pref)));
    wire.setPreferenceArray(preferences);
    wire.setServiceData(vl::skeleton::toWireServiceData(std::move(local.serviceData)));
    return wire;
}

std::vector<Wire::ExtraInfo> SessionIiopSkeleton::toWireExtraInfo(std::map<std::string, std::string> local) {
    return vl::skeleton::toWireEntries<Wire::ExtraInfo>(local);
}

std::map<std::string, std::string> SessionIiopSkeleton::toLocalExtraInfo(std::vector<Wire::ExtraInfo> wire) {
    return vl::skeleton::toLocalMap<std::map<std::string, std::string>>(
        wire, [](const Wire::ExtraInfo& entry) { return std::make_pair(entry.getKey(), entry.getValue()); });
}

// --- operations ---

std::string SessionIiopSkeleton::getPreferences(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_01", "Session", "getPreferences");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetPreferencesInput>(
        spans, "MultiPreferencesResponse", requestXml,
        [](const Wire::GetPreferencesInput& in) {
            const auto& requested = in.getRequestedPrefArray();
            std::vector<Local::ScopedPreferenceNames> prefs;
            prefs.reserve(requested.size());
            for (const auto& entry : requested) prefs.push_back(toLocal(entry));
            return prefs;
        },
        [](std::vector<Local::ScopedPreferenceNames>& prefs) { return service().getPreferences(prefs); },
        [](Local::MultiPreferencesResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::getVLSessionInfo(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_01", "Session", "getVLSessionInfo");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetVLSessionInfoInput>(
        spans, "GetVLSessionInfoResponse", requestXml, [](const Wire::GetVLSessionInfoInput&) { return NoArguments{}; },
        [](NoArguments&) { return service().getVLSessionInfo(); },
        [](Local::GetVLSessionInfoResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::setObjectPropertyPolicy(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_01", "Session", "setObjectPropertyPolicy");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SetObjectPropertyPolicyInput>(
        spans, "SetObjectPropertyPolicyOutput", requestXml,
        [](const Wire::SetObjectPropertyPolicyInput& in) { return in.getPolicyName(); },
        [](std::string& policyName) { return service().setObjectPropertyPolicy(policyName); },
        [](bool out) {
            Wire::SetObjectPropertyPolicyOutput wire;
            wire.setOut(out);
            return wire;
        });
}

}  // namespace Velmora::Services::Core::_2007_01
