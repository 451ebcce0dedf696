// The organisation is made of platform-kept objects, each name checked and
// unique; a user comes with its home folders, made through makeUser in its
// default group, and a password only as a libsodium hash.
#include "sa/sa_statements.hxx"

#include "sa/sa.hxx"

#include <sodium.h>

namespace vl::platform::sa {

namespace {

using namespace store;
using site::ActingSession;
using site::Args;
using site::bad;
using site::Fixture;
using site::number;
using site::validName;

void doSite(Args& a, Fixture& f) {
    int id = number(a.word(0, "site id"), "site id");
    std::string name = a.word(1, "site name");
    a.consumed(2);
    if (findByKey("Site", std::to_string(id))) bad("site " + std::to_string(id) + " exists already");
    Object& s = f.newObject("Site");
    initValue(s, "site_id", std::vector<int>{id});
    initValue(s, "name", std::vector<std::string>{name});
    if (a.flag("local") || !S().switches.site) {
        S().switches.site = s.tag;
        S().switches.siteId = id;
    }
}

void checkAdminName(const std::string& n, const char* what) {
    if (!validName(n)) bad(std::string("bad ") + what + " name \"" + n + "\"");
    if (n.size() > SA_name_size_c) bad(std::string(what) + " name " + n + " is longer than 32 characters");
}

void doGroup(Args& a, Fixture& f) {
    std::string name = a.word(0, "group name");
    a.consumed(1);
    checkAdminName(name, "group");
    if (findByKey("Group", name)) bad("group " + name + " exists already");
    tag_t parent = 0;
    if (a.has("parent")) {
        parent = findByKey("Group", a.opt("parent"));
        if (!parent) bad("unknown group " + a.opt("parent"));
    }
    Object& g = f.newObject("Group");
    initValue(g, "name", std::vector<std::string>{name});
    initValue(g, "privilege", std::vector<int>{a.flag("privileged") ? 1 : 0});
    if (parent) initValue(g, "parent", std::vector<tag_t>{parent});
    if (a.has("description")) initValue(g, "description", std::vector<std::string>{a.opt("description")});
}

void doRole(Args& a, Fixture& f) {
    std::string name = a.word(0, "role name");
    a.consumed(1);
    checkAdminName(name, "role");
    if (findByKey("Role", name)) bad("role " + name + " exists already");
    Object& r = f.newObject("Role");
    initValue(r, "role_name", std::vector<std::string>{name});
}

void doUser(Args& a, Fixture&) {
    std::string id = a.word(0, "user id");
    a.consumed(1);
    checkAdminName(id, "user");
    if (findByKey("User", id)) bad("user " + id + " exists already");
    std::string hash = a.need("password");
    if (hash.rfind("$argon2", 0) != 0 || hash.size() >= crypto_pwhash_STRBYTES)
        bad("password= must be a crypto_pwhash_str hash, not a password");
    tag_t group = 0;
    if (a.has("group")) {
        group = findByKey("Group", a.opt("group"));
        if (!group) bad("unknown group " + a.opt("group"));
    }
    tag_t u = 0;
    int rc = 0;
    {
        Session acting = S().session;
        acting.group = group;
        ActingSession swap(acting);
        rc = makeUser(id, a.opt("name"), hash, &u);
    }
    if (rc) bad("user " + id + " cannot be made");
    Object& uo = *find(u);
    if (group) initValue(uo, "default_group", std::vector<tag_t>{group});
    if (a.flag("inactive")) initValue(uo, "status", std::vector<int>{1});
    for (tag_t folder : {getTag(uo, "home_folder"), getTag(uo, "newstuff_folder")})
        if (group) initValue(*find(folder), "owning_group", std::vector<tag_t>{group});
}

void doMember(Args& a, Fixture& f) {
    std::string user = a.word(0, "user"), group = a.word(1, "group"), role = a.word(2, "role");
    a.consumed(3);
    tag_t u = findByKey("User", user), g = findByKey("Group", group), r = findByKey("Role", role);
    if (!u) bad("unknown user " + user);
    if (!g) bad("unknown group " + group);
    if (!r) bad("unknown role " + role);
    for (tag_t m : instancesOf("GroupMember")) {
        const Object* o = find(m);
        if (getTag(*o, "user") == u && getTag(*o, "group") == g && getTag(*o, "role") == r)
            bad("member " + user + " " + group + " " + role + " exists already");
    }
    Object& m = f.newObject("GroupMember");
    initValue(m, "user", std::vector<tag_t>{u});
    initValue(m, "group", std::vector<tag_t>{g});
    initValue(m, "role", std::vector<tag_t>{r});
    initValue(m, "status", std::vector<int>{a.flag("inactive") ? 1 : 0});
    initValue(m, "default_role", std::vector<char>{static_cast<char>(a.flag("default") ? 1 : 0)});
}

void doVolume(Args& a, Fixture& f) {
    std::string name = a.word(0, "volume name");
    a.consumed(1);
    checkAdminName(name, "volume");
    if (findByKey("Volume", name)) bad("volume " + name + " exists already");
    Object& v = f.newObject("Volume");
    initValue(v, "volume_name", std::vector<std::string>{name});
    initValue(v, "path", std::vector<std::string>{a.need("path")});
    if (a.flag("current") || !f.volume) f.volume = v.tag;
}

const site::Statement kStatements[] = {
    {"site", doSite},
    {"group", doGroup},
    {"role", doRole},
    {"user", doUser},
    {"member", doMember},
    {"volume", doVolume},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::sa
