#include "gateway/login.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "pom/store.hxx"

#include <sodium.h>

#include <cctype>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

[[noreturn]] void refuse(int code, const std::string& text = std::string()) {
    throw IFail(fail(code, text), IFail::AlreadyStored{});
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool passwordMatches(const std::string& hash, const std::string& password) {
    if (sodium_init() < 0) return false;
    if (hash.empty()) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.c_str(), password.size()) == 0;
}

}  // namespace

void VlLoginServiceManager::doLogin(const std::string& user, const std::string& password, const std::string& group,
                                    const std::string& role) {
    if (int rc = enter("VlLoginServiceManager::doLogin")) throw IFail(rc, IFail::AlreadyStored{});
    tag_t u = user.empty() ? 0 : findByKey("User", user);
    // User ids are matched regardless of letter case when no id matches
    // exactly (and only one matches so): the session then has the id as stored.
    if (!u && !user.empty()) {
        for (tag_t t : instancesOf("User")) {
            if (!equalsIgnoringCase(getString(*find(t), "user_id"), user)) continue;
            if (u) {
                u = 0;
                break;
            }
            u = t;
        }
    }
    const Object* uo = find(u);
    // One answer for an unknown user and a wrong password.
    if (!uo || !passwordMatches(getString(*uo, "password"), password)) refuse(ERR_LOGIN_FAILED);
    if (getInt(*uo, "status") != 0) refuse(ERR_USER_INACTIVE, user);

    std::vector<tag_t> active;
    for (tag_t m : instancesOf("GroupMember")) {
        const Object* mo = find(m);
        if (getTag(*mo, "user") == u && getInt(*mo, "status") == 0)
            active.push_back(m);
    }
    tag_t g = 0;
    if (!group.empty()) {
        g = findByKey("Group", group);
        if (!g) refuse(ERR_NO_SUCH_GROUP, group);
    } else {
        g = getTag(*uo, "default_group");
        bool usable = false;
        for (tag_t m : active) usable = usable || getTag(*find(m), "group") == g;
        if (!usable) g = active.empty() ? 0 : getTag(*find(active.front()), "group");
    }
    tag_t r = 0;
    if (!role.empty()) {
        r = findByKey("Role", role);
        if (!r) refuse(ERR_NO_SUCH_ROLE, role);
    }
    tag_t member = 0;
    for (tag_t m : active) {
        const Object* mo = find(m);
        if (getTag(*mo, "group") != g) continue;
        if (r && getTag(*mo, "role") != r) continue;
        if (!member || (!r && getLogical(*mo, "default_role") && !getLogical(*find(member), "default_role")))
            member = m;
    }
    if (!member) refuse(ERR_NOT_A_MEMBER, user + " in " + (group.empty() ? "a group" : group));

    Session& se = S().session;
    Session before = se;
    journalUndo([before] { S().session = before; });
    se.user = u;
    se.member = member;
    se.group = g;
    se.role = getTag(*find(member), "role");
    se.loggedIn = true;
    se.bypass = false;
    se.scope = OSTRA_preference_all_preferences;
}
