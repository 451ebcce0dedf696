#pragma once
// The session: who is logged in and as which group member, plus the kernel's
// switches. After a fixture load or reset the fixture's session user is
// logged in (its "session" line), so no test needs a login to work.
#include "pom/pom_types.hxx"

class loginUser {
public:
    static tag_t currentUserTag();
    static tag_t currentGroupMemberTag();
    static tag_t currentGroupTag();
    static tag_t currentRoleTag();
    static tag_t currentProjectTag();      // null unless the fixture sets one
    static tag_t currentWorkContextTag();  // null unless the fixture sets one
    // 1 when the session's group is privileged (an administration group), else 0.
    static int isPrivilegeUser();
    static bool isLoggedIn();
};

int ITK_ask_bypass(bool* bypass);
int ITK_set_bypass(bool bypass);
// Leaves the toolkit module: the session is logged out.
int ITK_exit_module(int force);
int ITK_init_module();

// Logging switches; LM_enabled(x) is 1 when that log is on.
int LM_journal();
int LM_application_log();
int LM_security_log();
int LM_administration_log();
int LM_enabled(int log);

int ILM__get_module(int* moduleNumber);

// Empties the error store.
int EMH_clear_errors();
