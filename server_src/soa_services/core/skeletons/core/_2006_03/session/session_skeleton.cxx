#include "soa_services/core/skeletons/core/_2006_03/session/session_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = SessionWire;
using Skeleton = SessionIiopSkeleton;
using Local = Skeleton::Local;
using vl::skeleton::Handlers;

// The local arguments of a request that carries nothing.
struct NoArguments {};
template <class Request>
NoArguments readNothing(const Request&) {
    return {};
}

// The five strings of login and loginSSO; `secret` is the password or the
// single sign-on credentials.
struct LoginArguments {
    std::string username, secret, group, role, sessionDiscriminator;
};

template <class Request>
LoginArguments readLogin(const Request& in, const std::string& secret) {
    return {in.getUsername(), secret, in.getGroup(), in.getRole(), in.getSessionDiscriminator()};
}

// Every call goes through the service interface.
Local& service() { return *SessionIiopSkeleton::_service; }

}  // namespace

SessionIiopSkeleton::SessionIiopSkeleton() : ServiceSkeleton("Session") {
    bind("getPreferences", &getPreferences);
    bind("getAvailableServices", &getAvailableServices);
    bind("login", &login);
    bind("setSessionGroupMember", &setSessionGroupMember);
    bind("getGroupMembership", &getGroupMembership);
    bind("setPreferences", &setPreferences);
    bind("logout", &logout);
    bind("loginSSO", &loginSSO);
    bind("getSessionGroupMember", &getSessionGroupMember);
}

// --- converters: one field list per struct, in the local declaration order
// (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_LoginResponse(X) \
    X(Ref, user, User) X(Ref, groupMember, GroupMember) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GetGroupMembershipResponse(X) \
    X(Refs, groupMembers, GroupMember) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_PrefSetting(X) \
    X(Value, prefScope, PrefScope) X(Value, prefName, PrefName) X(Strings, prefValues, PrefValue)
#define VL_FIELDS_GetAvailableServicesResponse(X) X(Strings, serviceNames, ServiceName)
#define VL_FIELDS_PreferencesResponse(X) \
    X(WireForm, preferences, Preferences) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GetSessionGroupMemberResponse(X) \
    X(Ref, groupMember, GroupMember) X(ServiceData, serviceData, ServiceData)

VL_SESSION0603_CONVERTERS(VL_SKELETON_DEFINE)

// --- operations ---

std::string SessionIiopSkeleton::getPreferences(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getPreferences");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetPreferencesInput>(
        spans, "PreferencesResponse", requestXml,
        [](const Wire::GetPreferencesInput& in) { return std::make_pair(in.getPrefScope(), in.getPrefNameArray()); },
        [](auto& args) { return service().getPreferences(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::PreferencesResponse>);
}

std::string SessionIiopSkeleton::getAvailableServices(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getAvailableServices");
    return vl::skeleton::run<Handlers::None, Wire::GetAvailableServicesInput>(
        spans, "GetAvailableServicesResponse", requestXml, &readNothing<Wire::GetAvailableServicesInput>,
        [](NoArguments&) { return service().getAvailableServices(); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetAvailableServicesResponse>);
}

std::string SessionIiopSkeleton::login(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "login");
    return vl::skeleton::run<Handlers::InvalidCredentials, Wire::LoginInput>(
        spans, "LoginResponse", requestXml,
        [](const Wire::LoginInput& in) { return readLogin(in, in.getPassword()); },
        [](LoginArguments& a) { return service().login(a.username, a.secret, a.group, a.role, a.sessionDiscriminator); },
        &vl::skeleton::toWireResponse<Skeleton, Local::LoginResponse>);
}

std::string SessionIiopSkeleton::setSessionGroupMember(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "setSessionGroupMember");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SetSessionGroupMemberInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::SetSessionGroupMemberInput& in) {
            return POMRef<GroupMember>(vl::skeleton::toLocalRef(in.getGroupMember()));
        },
        [](POMRef<GroupMember>& member) { return service().setSessionGroupMember(member); },
        &vl::skeleton::toStreamedServiceData);
}

std::string SessionIiopSkeleton::getGroupMembership(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getGroupMembership");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetGroupMembershipInput>(
        spans, "GetGroupMembershipResponse", requestXml, &readNothing<Wire::GetGroupMembershipInput>,
        [](NoArguments&) { return service().getGroupMembership(); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetGroupMembershipResponse>);
}

std::string SessionIiopSkeleton::setPreferences(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "setPreferences");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SetPreferencesInput>(
        spans, "PreferencesResponse", requestXml,
        [](const Wire::SetPreferencesInput& in) {
            return vl::skeleton::toLocalRecords<Skeleton>(in.getSettingArray());
        },
        [](std::vector<Local::PrefSetting>& settings) { return service().setPreferences(settings); },
        &vl::skeleton::toWireResponse<Skeleton, Local::PreferencesResponse>);
}

std::string SessionIiopSkeleton::logout(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "logout");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::LogoutInput>(
        spans, "ServiceData", requestXml, &readNothing<Wire::LogoutInput>,
        [](NoArguments&) { return service().logout(); }, &vl::skeleton::toStreamedServiceData);
}

std::string SessionIiopSkeleton::loginSSO(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "loginSSO");
    return vl::skeleton::run<Handlers::InvalidCredentials, Wire::LoginSSOInput>(
        spans, "LoginResponse", requestXml,
        [](const Wire::LoginSSOInput& in) { return readLogin(in, in.getSsoCredentials()); },
        [](LoginArguments& a) {
            return service().loginSSO(a.username, a.secret, a.group, a.role, a.sessionDiscriminator);
        },
        &vl::skeleton::toWireResponse<Skeleton, Local::LoginResponse>);
}

std::string SessionIiopSkeleton::getSessionGroupMember(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getSessionGroupMember");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetSessionGroupMemberInput>(
        spans, "GetSessionGroupMemberResponse", requestXml, &readNothing<Wire::GetSessionGroupMemberInput>,
        [](NoArguments&) { return service().getSessionGroupMember(); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetSessionGroupMemberResponse>);
}

}  // namespace Velmora::Services::Core::_2006_03
