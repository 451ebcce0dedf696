// The organisation is made of platform-kept objects, each name checked and
// unique; a user comes with its home folders, made through sa::makeUser in its
// default group, and a password only as a libsodium hash.
#include "sa/sa_statements.hxx"

#include "sa/sa.hxx"
#include "sa/local_site.hxx"

#include <sodium.h>

namespace vl::platform::sa {

namespace {

using namespace site;
using namespace store;

void doSite(Args& a, Fixture& f) {
    int id = number(a.word(0, "site id"), "site id");
    std::string name = a.word(1, "site name");
    a.consumed(2);
    unclaimed("Site", std::to_string(id), "site");
    Object& s = f.newObject("Site");
    initValue(s, "site_id", std::vector<int>{id});
    initValue(s, "name", std::vector<std::string>{name});
    LocalSite& local = extension<LocalSite>();
    if (a.flag("local") || !local.site) {
        local.site = s.tag;
        local.siteId = id;
    }
}

// The name of a new user, group, role or volume: a valid name of at most
// 32 characters that no other of its class has.
void checkNewName(const char* cls, const std::string& n, const std::string& what) {
    if (!validName(n)) bad("bad " + what + " name \"" + n + "\"");
    if (n.size() > SA_name_size_c) bad(what + " name " + n + " is longer than 32 characters");
    unclaimed(cls, n, what);
}

void doGroup(Args& a, Fixture& f) {
    std::string name = a.word(0, "group name");
    a.consumed(1);
    checkNewName("Group", name, "group");
    tag_t parent = a.has("parent") ? existing("Group", a.opt("parent"), "group") : 0;
    Object& g = f.newObject("Group");
    initValue(g, "name", std::vector<std::string>{name});
    initValue(g, "privilege", std::vector<int>{a.flag("privileged") ? 1 : 0});
    if (parent) initValue(g, "parent", std::vector<tag_t>{parent});
    if (a.has("description")) initValue(g, "description", std::vector<std::string>{a.opt("description")});
}

void doRole(Args& a, Fixture& f) {
    std::string name = a.word(0, "role name");
    a.consumed(1);
    checkNewName("Role", name, "role");
    Object& r = f.newObject("Role");
    initValue(r, "role_name", std::vector<std::string>{name});
}

void doUser(Args& a, Fixture&) {
    std::string id = a.word(0, "user id");
    a.consumed(1);
    checkNewName("User", id, "user");
    std::string hash = a.need("password");
    if (hash.rfind("$argon2", 0) != 0 || hash.size() >= crypto_pwhash_STRBYTES)
        bad("password= must be a crypto_pwhash_str hash, not a password");
    tag_t group = a.has("group") ? existing("Group", a.opt("group"), "group") : 0;
    tag_t u = 0;
    int rc = 0;
    {
        kernel::Session acting = kernel::currentSession();
        acting.group = group;
        ActingSession swap(acting);
        rc = sa::makeUser(id, a.opt("name"), hash, &u);
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
    tag_t u = existing("User", user, "user"), g = existing("Group", group, "group"), r = existing("Role", role, "role");
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
    checkNewName("Volume", name, "volume");
    Object& v = f.newObject("Volume");
    initValue(v, "volume_name", std::vector<std::string>{name});
    initValue(v, "path", std::vector<std::string>{a.need("path")});
    if (a.flag("current") || !f.volume) f.volume = v.tag;
}

const Statement kStatements[] = {
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
