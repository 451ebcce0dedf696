#include "soa_services/core/skeletons/core/_2006_03/session/session_skeleton.hxx"

#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "soa_server/utils.hxx"

#include <utility>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = Velmora::Schemas::Core::_2006_03::Session;
using Velmora::Soa::Internal::Server::Utils;
using vl::skeleton::Handlers;
using Local = SessionIiopSkeleton::Local;
using ServerServiceData = Velmora::Soa::Server::ServiceData;

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

Velmora::Schemas::Soa::_2006_03::Base::ServiceData bareServiceData(ServerServiceData data) {
    return vl::skeleton::toWireServiceData(std::move(data));
}

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

// --- converters ---

Wire::LoginResponse SessionIiopSkeleton::toWire(Local::LoginResponse local) {
    Wire::LoginResponse wire;
    wire.setUser(vl::skeleton::toWireRef(local.user.tag()));
    wire.setGroupMember(vl::skeleton::toWireRef(local.groupMember.tag()));
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

// A member that cannot be made into a reference is left out, not replaced.
Wire::GetGroupMembershipResponse SessionIiopSkeleton::toWire(Local::GetGroupMembershipResponse local) {
    Wire::GetGroupMembershipResponse wire;
    std::vector<Velmora::Schemas::Soa::_2006_03::Base::ModelObject> members;
    members.reserve(local.groupMembers.size());
    for (const auto& member : local.groupMembers) {
        try {
            members.push_back(Utils::createWireModelObect(member.tag()));
        } catch (IFail&) {
            ERROR_store_clear();
        }
    }
    wire.setGroupMemberArray(members);
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

Wire::PrefSetting SessionIiopSkeleton::toWire(Local::PrefSetting local) {
    Wire::PrefSetting wire;
    wire.setPrefScope(local.prefScope);
    wire.setPrefName(local.prefName);
    wire.setPrefValueArray(local.prefValues);
    return wire;
}

Local::PrefSetting SessionIiopSkeleton::toLocal(Wire::PrefSetting wire) {
    Local::PrefSetting local;
    local.prefScope = wire.getPrefScope();
    local.prefName = wire.getPrefName();
    local.prefValues = wire.getPrefValueArray();
    return local;
}

Wire::PreferencesResponse SessionIiopSkeleton::toWire(Local::PreferencesResponse local) {
    Wire::PreferencesResponse wire;
    wire.setPreferences(local.preferences.getWireData());
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

Wire::GetAvailableServicesResponse SessionIiopSkeleton::toWire(Local::GetAvailableServicesResponse local) {
    Wire::GetAvailableServicesResponse wire;
    wire.setServiceNameArray(local.serviceNames);
    return wire;
}

Local::GetAvailableServicesResponse SessionIiopSkeleton::toLocal(Wire::GetAvailableServicesResponse wire) {
    Local::GetAvailableServicesResponse local;
    local.serviceNames = wire.getServiceNameArray();
    return local;
}

Wire::GetSessionGroupMemberResponse SessionIiopSkeleton::toWire(Local::GetSessionGroupMemberResponse local) {
    Wire::GetSessionGroupMemberResponse wire;
    wire.setGroupMember(vl::skeleton::toWireRef(local.groupMember.tag()));
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

// --- operations ---

std::string SessionIiopSkeleton::getPreferences(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getPreferences");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetPreferencesInput>(
        spans, "PreferencesResponse", requestXml,
        [](const Wire::GetPreferencesInput& in) { return std::make_pair(in.getPrefScope(), in.getPrefNameArray()); },
        [](auto& args) { return service().getPreferences(args.first, args.second); },
        [](Local::PreferencesResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::getAvailableServices(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getAvailableServices");
    return vl::skeleton::run<Handlers::None, Wire::GetAvailableServicesInput>(
        spans, "GetAvailableServicesResponse", requestXml, &readNothing<Wire::GetAvailableServicesInput>,
        [](NoArguments&) { return service().getAvailableServices(); },
        [](Local::GetAvailableServicesResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::login(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "login");
    return vl::skeleton::run<Handlers::InvalidCredentials, Wire::LoginInput>(
        spans, "LoginResponse", requestXml,
        [](const Wire::LoginInput& in) { return readLogin(in, in.getPassword()); },
        [](LoginArguments& a) { return service().login(a.username, a.secret, a.group, a.role, a.sessionDiscriminator); },
        [](Local::LoginResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::setSessionGroupMember(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "setSessionGroupMember");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SetSessionGroupMemberInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::SetSessionGroupMemberInput& in) {
            return POMRef<GroupMember>(vl::skeleton::toLocalRef(in.getGroupMember()));
        },
        [](POMRef<GroupMember>& member) { return service().setSessionGroupMember(member); }, &bareServiceData);
}

std::string SessionIiopSkeleton::getGroupMembership(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getGroupMembership");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetGroupMembershipInput>(
        spans, "GetGroupMembershipResponse", requestXml, &readNothing<Wire::GetGroupMembershipInput>,
        [](NoArguments&) { return service().getGroupMembership(); },
        [](Local::GetGroupMembershipResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::setPreferences(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "setPreferences");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SetPreferencesInput>(
        spans, "PreferencesResponse", requestXml,
        [](const Wire::SetPreferencesInput& in) {
            const auto& wireSettings = in.getSettingArray();
            std::vector<Local::PrefSetting> settings;
            settings.reserve(wireSettings.size());
            for (const auto& setting : wireSettings) settings.push_back(toLocal(setting));
            return settings;
        },
        [](std::vector<Local::PrefSetting>& settings) { return service().setPreferences(settings); },
        [](Local::PreferencesResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::logout(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "logout");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::LogoutInput>(
        spans, "ServiceData", requestXml, &readNothing<Wire::LogoutInput>,
        [](NoArguments&) { return service().logout(); }, &bareServiceData);
}

std::string SessionIiopSkeleton::loginSSO(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "loginSSO");
    return vl::skeleton::run<Handlers::InvalidCredentials, Wire::LoginSSOInput>(
        spans, "LoginResponse", requestXml,
        [](const Wire::LoginSSOInput& in) { return readLogin(in, in.getSsoCredentials()); },
        [](LoginArguments& a) {
            return service().loginSSO(a.username, a.secret, a.group, a.role, a.sessionDiscriminator);
        },
        [](Local::LoginResponse local) { return toWire(std::move(local)); });
}

std::string SessionIiopSkeleton::getSessionGroupMember(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Session", "getSessionGroupMember");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetSessionGroupMemberInput>(
        spans, "GetSessionGroupMemberResponse", requestXml, &readNothing<Wire::GetSessionGroupMemberInput>,
        [](NoArguments&) { return service().getSessionGroupMember(); },
        [](Local::GetSessionGroupMemberResponse local) { return toWire(std::move(local)); });
}

}  // namespace Velmora::Services::Core::_2006_03
