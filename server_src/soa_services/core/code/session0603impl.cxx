#include "soa_services/core/code/session0603impl.hxx"

#include "soa_services/core/code/session_prefs.hxx"

#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "gateway/login.hxx"
#include "gateway/vl_service_manager.hxx"
#include "kernel/session.hxx"
#include "pom/pom.hxx"
#include "sa/sa.hxx"
#include "sm/scoped_smptr.hxx"
#include "sm/sm.hxx"
#include "soa_framework/wire/exceptions.hxx"
#include "soa_server/service_manager.hxx"

#include <cstddef>

namespace Velmora::Soa::Core::_2006_03 {

namespace {

using Velmora::Schemas::Soa::_2006_03::Exceptions::InvalidCredentialsException;
using Velmora::Soa::Server::ServiceException;

// What a refused login reports: the first stored error's text. The store is
// emptied so that nothing of the attempt reaches a later reply.
InvalidCredentialsException refusedLogin() {
    int count = 0;
    const char* const* texts = nullptr;
    ERROR_store_ask(&count, nullptr, nullptr, &texts);
    std::string message = count > 0 && texts[0] ? texts[0] : "";
    ERROR_store_clear();
    return InvalidCredentialsException(message);
}

// The session user, or the null tag: the call's result is not tested, so the
// tag must not be left unset when it fails.
tag_t currentUser() {
    tag_t user = NULLTAG;
    SSS_current_user(&user);
    return user;
}

}  // namespace

void SessionImpl::checkLoginInput(const std::string& username, const std::string& group, const std::string& role) {
    ResultStatus rs;
    // Names are at most SA_name_size_c characters and the ask calls write
    // no more than that and the terminator.
    char userId[SA_name_size_c + 1] = "";
    rs = SA_ask_user_identifier(currentUser(), userId);
    if (username != userId) throw IFail(vl::platform::ERR_LOGIN_WRONG_USER);

    tag_t member = loginUser::currentGroupMemberTag();
    if (!group.empty()) {
        tag_t groupTag = NULLTAG;
        rs = SA_ask_groupmember_group(member, &groupTag);
        char groupName[SA_name_size_c + 1] = "";
        rs = SA_ask_group_name(groupTag, groupName);
        if (group != groupName) throw IFail(vl::platform::ERR_LOGIN_WRONG_GROUP);
    }
    if (!role.empty()) {
        tag_t roleTag = NULLTAG;
        rs = SA_ask_groupmember_role(member, &roleTag);
        char roleName[SA_name_size_c + 1] = "";
        rs = SA_ask_role_name(roleTag, roleName);
        if (role != roleName) throw IFail(vl::platform::ERR_LOGIN_WRONG_ROLE);
    }
}

Session::LoginResponse SessionImpl::prepareLoginResponse() {
    LoginResponse response;
    response.user = POMRef<User>(currentUser());
    response.serviceData.addPlainObject(response.user.tag());
    response.groupMember = POMRef<GroupMember>(loginUser::currentGroupMemberTag());
    response.serviceData.addPlainObject(response.groupMember.tag());
    return response;
}

// A refused check keeps the session the gateway opened: the client has to
// log in again.
Session::LoginResponse SessionImpl::login(const std::string& username, const std::string& password,
                                          const std::string& group, const std::string& role,
                                          const std::string& /*sessionDiscriminator*/) {
    try {
        VlLoginServiceManager::doLogin(username, password, group, role);
        checkLoginInput(username, group, role);
        return prepareLoginResponse();
    } catch (IFail&) {
        throw refusedLogin();
    }
}

// The gateway has already logged the client in: only confirm who it is.
Session::LoginResponse SessionImpl::loginSSO(const std::string& username, const std::string& /*ssoCredentials*/,
                                             const std::string& group, const std::string& role,
                                             const std::string& /*sessionDiscriminator*/) {
    try {
        checkLoginInput(username, group, role);
        return prepareLoginResponse();
    } catch (IFail&) {
        throw refusedLogin();
    }
}

Velmora::Soa::Server::ServiceData SessionImpl::logout() {
    VlServiceManager::instance().cleanupServices();
    OstraServerEventService::shutdown();
    OstraType::enableClientServerUpdateList(0, "src\\include\\ostracore/ostratype", 297);
    ITK_exit_module(1);
    return Velmora::Soa::Server::ServiceData();
}

OSTRA_preference_search_scope_e SessionImpl::scopeFromName(std::string name) {
    return SessionPrefs::scopeFromName(name);
}

Session::PreferencesResponse SessionImpl::getPreferences(const std::string& prefScope,
                                                         const std::vector<std::string>& prefNames) {
    // Refuses an unknown scope before anything is read; the answer names the
    // scope as the client did, which is then one of the exact names.
    scopeFromName(prefScope);
    PreferencesResponse response;
    response.preferences = Velmora::Soa::Server::Preferences(prefNames, prefScope);
    return response;
}

Session::PreferencesResponse SessionImpl::setPreferences(const std::vector<PrefSetting>& settings) {
    PreferencesResponse response;
    for (const PrefSetting& setting : settings) {
        OSTRA_preference_search_scope_e saved = OSTRA_preference_all_preferences;
        PREF_ask_search_scope(&saved);
        // An unknown scope ends the whole call before the scope is switched.
        OSTRA_preference_search_scope_e scope = scopeFromName(setting.prefScope);
        PREF_set_search_scope(scope);
        SessionPrefs::SearchScopeRestore restore(saved);
        SessionPrefs::SmStringArray values(setting.prefValues);
        try {
            ResultStatus rs = PREF_set_char_values(setting.prefName.c_str(), values.count(), values.values());
            response.preferences.addPreference(setting.prefName, setting.prefScope);
        } catch (IFail&) {
            response.serviceData.addErrorStack(setting.prefName);
        }
    }
    return response;
}

Session::GetGroupMembershipResponse SessionImpl::getGroupMembership() {
    GetGroupMembershipResponse response;
    try {
        ResultStatus rs;
        int count = 0;
        // Freed on every way out, the failing ones included.
        scoped_smptr<tag_t> members;
        rs = SA_find_groupmember_by_user(currentUser(), &count, &members);
        response.groupMembers.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
        for (int i = 0; i < count; ++i) {
            tag_t member = members[i];
            response.groupMembers.emplace_back(member);
            response.serviceData.addPlainObject(member);
            tag_t group = NULLTAG;
            rs = SA_ask_groupmember_group(member, &group);
            response.serviceData.addPlainObject(group);
            tag_t role = NULLTAG;
            rs = SA_ask_groupmember_role(member, &role);
            response.serviceData.addPlainObject(role);
        }
    } catch (IFail&) {
        throw ServiceException();
    }
    return response;
}

Session::GetSessionGroupMemberResponse SessionImpl::getSessionGroupMember() {
    GetSessionGroupMemberResponse response;
    try {
        response.groupMember = POMRef<GroupMember>(loginUser::currentGroupMemberTag());
        response.serviceData.addPlainObject(response.groupMember.tag());
    } catch (IFail&) {
        throw ServiceException();
    }
    return response;
}

// Whether the member may be taken is the platform's to decide.
Velmora::Soa::Server::ServiceData SessionImpl::setSessionGroupMember(const POMRef<GroupMember>& groupMember) {
    try {
        ResultStatus rs;
        tag_t group = NULLTAG;
        rs = SA_ask_groupmember_group(groupMember.value(), &group);
        tag_t role = NULLTAG;
        rs = SA_ask_groupmember_role(groupMember.value(), &role);
        rs = SA_change_group(group, role);
    } catch (IFail&) {
        throw ServiceException();
    }
    return Velmora::Soa::Server::ServiceData();
}

Session::GetAvailableServicesResponse SessionImpl::getAvailableServices() {
    GetAvailableServicesResponse response;
    response.serviceNames = Velmora::Soa::Internal::Server::ServiceManager::instance().getServiceList();
    return response;
}

}  // namespace Velmora::Soa::Core::_2006_03
