#include "gateway/login.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "pom/store.hxx"
#include "kernel/session_state.hxx"

#include <sodium.h>

#include <cctype>
#include <cstdio>
#include <map>

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

// The cost parameters of a crypto_pwhash_str hash ("...$m=65536,t=2,p=1$...").
struct HashCost {
    unsigned long long memoryKiB = 0, passes = 0;
    bool operator<(const HashCost& o) const {
        return memoryKiB != o.memoryKiB ? memoryKiB < o.memoryKiB : passes < o.passes;
    }
};

bool costOf(const std::string& hash, HashCost* out) {
    const std::size_t at = hash.find("$m=");
    if (at == std::string::npos) return false;
    return std::sscanf(hash.c_str() + at, "$m=%llu,t=%llu", &out->memoryKiB, &out->passes) == 2;
}

bool passwordMatches(const std::string& hash, const std::string& password) {
    // Logged, so that tests can compare the ways a login is refused.
    if (enter("LOGIN_verify_password")) return false;
    if (sodium_init() < 0 || hash.empty()) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.c_str(), password.size()) == 0;
}

}  // namespace

std::string VlLoginServiceManager::dummyPasswordHash() {
    HashCost strongest;
    bool found = false;
    for (tag_t t : instancesOf("User")) {
        HashCost cost;
        if (!costOf(getString(*find(t), "password"), &cost)) continue;
        if (!found || strongest < cost) strongest = cost;
        found = true;
    }
    if (!found || strongest.passes < crypto_pwhash_OPSLIMIT_MIN || strongest.memoryKiB * 1024 < crypto_pwhash_MEMLIMIT_MIN)
        strongest = {crypto_pwhash_MEMLIMIT_MIN / 1024, crypto_pwhash_OPSLIMIT_MIN};
    // Made once per cost: a login must not pay for making it each time.
    static std::map<HashCost, std::string> made;
    std::string& hash = made[strongest];
    if (hash.empty() && sodium_init() >= 0) {
        char out[crypto_pwhash_STRBYTES];
        unsigned char random[16];
        randombytes_buf(random, sizeof random);
        if (crypto_pwhash_str(out, reinterpret_cast<const char*>(random), sizeof random, strongest.passes,
                              static_cast<std::size_t>(strongest.memoryKiB * 1024)) == 0)
            hash = out;
    }
    return hash;
}

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
    // One answer, and one cost, for an unknown user and a wrong password: an
    // unknown user's password is checked against a hash as strong as the
    // strongest stored one, and its result ignored.
    const std::string stored = uo ? getString(*uo, "password") : std::string();
    const bool matches = passwordMatches(stored.empty() ? dummyPasswordHash() : stored, password);
    if (!uo || stored.empty() || !matches) refuse(ERR_LOGIN_FAILED);
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

    kernel::Session se = kernel::currentSession();
    const kernel::Session before = se;
    journalUndo([before] { kernel::setSession(before); });
    se.user = u;
    se.member = member;
    se.group = g;
    se.role = getTag(*find(member), "role");
    se.loggedIn = true;
    se.bypass = false;
    se.scope = OSTRA_preference_all_preferences;
    kernel::setSession(se);
}
