#pragma once
// The session beyond the identity saves stamp (the store's Identity): the
// group member, role, project, work context, volume, preference scope and
// bypass, as the kernel's store state; and the whole session as one value
// for the code that puts one in place or takes one back.
#include "kernel/pref.hxx"
#include "pom/store.hxx"

#include <string>

namespace vl::platform::kernel {

struct SessionContext {
    tag_t member = 0;
    tag_t role = 0;
    tag_t project = 0;
    tag_t workContext = 0;
    tag_t volume = 0;
    OSTRA_preference_search_scope_e scope = OSTRA_preference_all_preferences;
    bool bypass = false;
    bool operator==(const SessionContext&) const = default;
};

struct SessionState final : store::ValueExtension<SessionState>, SessionContext {
    static constexpr const char* kName = "session";
    bool operator==(const SessionState&) const = default;
    std::string dump() const override;
};

inline SessionState& sessionState() { return store::extension<SessionState>(); }

struct Session : SessionContext {
    tag_t user = 0;
    tag_t group = 0;
    bool loggedIn = false;
};

Session currentSession();
void setSession(const Session& session);

}  // namespace vl::platform::kernel
