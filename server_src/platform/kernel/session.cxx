#include "kernel/session.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/store.hxx"

using namespace vl::platform;
using namespace vl::platform::store;

namespace {
const Session& session() { return S().session; }
tag_t ifIn(tag_t t) { return session().loggedIn ? t : 0; }
}  // namespace

tag_t loginUser::currentUserTag() { return ifIn(session().user); }
tag_t loginUser::currentGroupMemberTag() { return ifIn(session().member); }
tag_t loginUser::currentGroupTag() { return ifIn(session().group); }
tag_t loginUser::currentRoleTag() { return ifIn(session().role); }
tag_t loginUser::currentProjectTag() { return ifIn(session().project); }
tag_t loginUser::currentWorkContextTag() { return ifIn(session().workContext); }
int loginUser::isPrivilegeUser() { return privileged() ? 1 : 0; }
bool loginUser::isLoggedIn() { return session().loggedIn; }

int ITK_ask_bypass(bool* bypass) {
    VL_ENTER("ITK_ask_bypass", 0);
    if (bypass) *bypass = S().session.bypass;
    return 0;
}

int ITK_set_bypass(bool bypass) {
    VL_ENTER("ITK_set_bypass", 0);
    if (bypass && !privileged()) return fail(ERR_NOT_PRIVILEGED, "bypass");
    S().session.bypass = bypass;
    return 0;
}

int ITK_exit_module(int) {
    VL_ENTER("ITK_exit_module", 0);
    Session& s = S().session;
    s.loggedIn = false;
    s.bypass = false;
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
    const Switches& w = S().switches;
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
    if (moduleNumber) *moduleNumber = S().switches.module;
    return 0;
}

int EMH_clear_errors() {
    ERROR_store_clear();
    return 0;
}
