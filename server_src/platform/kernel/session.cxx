#include "kernel/session.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/store.hxx"
#include "kernel/session_state.hxx"
#include "kernel/switches.hxx"

using namespace vl::platform;
using namespace vl::platform::store;

using vl::platform::kernel::sessionState;

namespace vl::platform::kernel {

Session currentSession() {
    Session s;
    static_cast<SessionContext&>(s) = sessionState();
    const Identity& who = S().identity;
    s.user = who.user;
    s.group = who.group;
    s.loggedIn = who.loggedIn;
    return s;
}

void setSession(const Session& s) {
    S().identity = {s.user, s.group, s.loggedIn};
    static_cast<SessionContext&>(sessionState()) = s;
}

std::string SessionState::dump() const {
    return "session " + std::to_string(member) + " " + std::to_string(role) + " " + std::to_string(project) + " " +
           std::to_string(workContext) + " " + std::to_string(volume) + " " + std::to_string(scope) + " " +
           std::to_string(bypass) + "\n";
}

}  // namespace vl::platform::kernel

namespace {
tag_t ifIn(tag_t t) { return S().identity.loggedIn ? t : 0; }
}  // namespace

tag_t loginUser::currentUserTag() { return ifIn(S().identity.user); }
tag_t loginUser::currentGroupMemberTag() { return ifIn(sessionState().member); }
tag_t loginUser::currentGroupTag() { return ifIn(S().identity.group); }
tag_t loginUser::currentRoleTag() { return ifIn(sessionState().role); }
tag_t loginUser::currentProjectTag() { return ifIn(sessionState().project); }
tag_t loginUser::currentWorkContextTag() { return ifIn(sessionState().workContext); }
int loginUser::isPrivilegeUser() { return privileged() ? 1 : 0; }
bool loginUser::isLoggedIn() { return S().identity.loggedIn; }

int ITK_ask_bypass(bool* bypass) {
    VL_ENTER("ITK_ask_bypass", 0);
    if (bypass) *bypass = sessionState().bypass;
    return 0;
}

int ITK_set_bypass(bool bypass) {
    VL_ENTER("ITK_set_bypass", 0);
    if (bypass && !privileged()) return fail(ERR_NOT_PRIVILEGED, "bypass");
    sessionState().bypass = bypass;
    return 0;
}

int ITK_exit_module(int) {
    VL_ENTER("ITK_exit_module", 0);
    S().identity.loggedIn = false;
    sessionState().bypass = false;
    return 0;
}

int ITK_init_module() {
    VL_ENTER("ITK_init_module", 0);
    return 0;
}

int LM_journal() { return 1; }
int LM_application_log() { return 2; }
int LM_security_log() { return 3; }
int LM_administration_log() { return 4; }

int LM_enabled(int log) {
    const vl::platform::kernel::Switches& w = vl::platform::kernel::switches();
    switch (log) {
    case 1:
        return w.journal ? 1 : 0;
    case 2:
        return w.applicationLog ? 1 : 0;
    case 3:
        return w.securityLog ? 1 : 0;
    case 4:
        return w.administrationLog ? 1 : 0;
    default:
        return 0;
    }
}

int ILM__get_module(int* moduleNumber) {
    VL_ENTER("ILM__get_module", 0);
    if (moduleNumber) *moduleNumber = vl::platform::kernel::switches().module;
    return 0;
}

int EMH_clear_errors() {
    ERROR_store_clear();
    return 0;
}
