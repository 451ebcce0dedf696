#include "sa/sa.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/session_state.hxx"
#include "pom/pom.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "pom/test_seams.hxx"
#include "sa/local_site.hxx"
#include "sm/sm.hxx"

#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

void copyName(const std::string& name, char* buffer) {
    std::size_t n = std::min<std::size_t>(name.size(), SA_name_size_c);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
}

int askName(tag_t t, const char* cls, const char* attribute, char* buffer) {
    if (buffer) buffer[0] = '\0';
    Object* o = nullptr;
    if (int rc = need(t, cls, &o)) return rc;
    if (buffer) copyName(getString(*o, attribute), buffer);
    return 0;
}

int askName2(tag_t t, const char* cls, const char* attribute, char** out) {
    if (out) *out = nullptr;
    Object* o = nullptr;
    if (int rc = need(t, cls, &o)) return rc;
    if (out) *out = SM_string_copy_persistent(getString(*o, attribute).c_str());
    return 0;
}

int askRef(tag_t t, const char* cls, const char* attribute, tag_t* out) {
    if (out) *out = 0;
    Object* o = nullptr;
    if (int rc = need(t, cls, &o)) return rc;
    if (out) *out = getTag(*o, attribute);
    return 0;
}

std::vector<tag_t> membersWith(const char* attribute, tag_t who) {
    std::vector<tag_t> out;
    for (tag_t r : instancesOf("GroupMember")) {
        const Object* m = find(r);
        if (m && m->cls->isA("GroupMember") && getTag(*m, attribute) == who) out.push_back(r);
    }
    return out;
}

int checkNewName(const char* name, const char* what) {
    if (!name || !*name) return fail(ERR_BAD_ARGUMENT, std::string("a ") + what + " needs a name");
    if (std::strlen(name) > SA_name_size_c) return fail(ERR_NAME_TOO_LONG, name);
    if (!privileged()) return fail(ERR_NOT_PRIVILEGED, what);
    return 0;
}

}  // namespace

int SA_find_user(const char* userId, tag_t* user) {
    VL_ENTER("SA_find_user", 0);
    if (user) *user = userId && *userId ? findByKey("User", userId) : 0;
    return 0;
}

int SA_find_group(const char* groupName, tag_t* group) {
    VL_ENTER("SA_find_group", 0);
    if (group) *group = groupName && *groupName ? findByKey("Group", groupName) : 0;
    return 0;
}

int SA_find_role(const char* roleName, tag_t* role) {
    VL_ENTER("SA_find_role", 0);
    if (role) *role = roleName && *roleName ? findByKey("Role", roleName) : 0;
    return 0;
}

int SA_find_groupmember(tag_t group, tag_t user, tag_t role, tag_t* member) {
    VL_ENTER("SA_find_groupmember", group);
    if (member) *member = 0;
    for (tag_t m : membersWith("user", user)) {
        const Object* o = find(m);
        if (getTag(*o, "group") == group && (!role || getTag(*o, "role") == role)) {
            if (member) *member = m;
            break;
        }
    }
    return 0;
}

int SA_find_site_by_id(int siteId, tag_t* site) {
    VL_ENTER("SA_find_site_by_id", 0);
    if (site) *site = 0;
    tag_t s = findByKey("Site", std::to_string(siteId));
    if (!s) return fail(ERR_NOT_FOUND, "no site " + std::to_string(siteId));
    if (site) *site = s;
    return 0;
}

int SA_ask_user_identifier(tag_t user, char id[SA_name_size_c + 1]) {
    VL_ENTER("SA_ask_user_identifier", user);
    return askName(user, "User", "user_id", id);
}
int SA_ask_user_identifier2(tag_t user, char** id) {
    VL_ENTER("SA_ask_user_identifier2", user);
    return askName2(user, "User", "user_id", id);
}
int SA_ask_user_person_name(tag_t user, char** name) {
    VL_ENTER("SA_ask_user_person_name", user);
    return askName2(user, "User", "user_name", name);
}
int SA_ask_user_home_folder(tag_t user, tag_t* folder) {
    VL_ENTER("SA_ask_user_home_folder", user);
    return askRef(user, "User", "home_folder", folder);
}
int SA_ask_user_newstuff_folder(tag_t user, tag_t* folder) {
    VL_ENTER("SA_ask_user_newstuff_folder", user);
    return askRef(user, "User", "newstuff_folder", folder);
}
int SA_ask_user_default_group(tag_t user, tag_t* group) {
    VL_ENTER("SA_ask_user_default_group", user);
    return askRef(user, "User", "default_group", group);
}
int SA_ask_group_name(tag_t group, char name[SA_name_size_c + 1]) {
    VL_ENTER("SA_ask_group_name", group);
    return askName(group, "Group", "name", name);
}
int SA_ask_group_name2(tag_t group, char** name) {
    VL_ENTER("SA_ask_group_name2", group);
    return askName2(group, "Group", "name", name);
}
int SA_ask_role_name(tag_t role, char name[SA_name_size_c + 1]) {
    VL_ENTER("SA_ask_role_name", role);
    return askName(role, "Role", "role_name", name);
}
int SA_ask_role_name2(tag_t role, char** name) {
    VL_ENTER("SA_ask_role_name2", role);
    return askName2(role, "Role", "role_name", name);
}
int SA_ask_groupmember_group(tag_t member, tag_t* group) {
    VL_ENTER("SA_ask_groupmember_group", member);
    return askRef(member, "GroupMember", "group", group);
}
int SA_ask_groupmember_role(tag_t member, tag_t* role) {
    VL_ENTER("SA_ask_groupmember_role", member);
    return askRef(member, "GroupMember", "role", role);
}
int SA_ask_groupmember_user(tag_t member, tag_t* user) {
    VL_ENTER("SA_ask_groupmember_user", member);
    return askRef(member, "GroupMember", "user", user);
}
int SA_ask_groupmember_active(tag_t member, bool* active) {
    VL_ENTER("SA_ask_groupmember_active", member);
    if (active) *active = false;
    Object* o = nullptr;
    if (int rc = need(member, "GroupMember", &o)) return rc;
    if (active) *active = getInt(*o, "status") == 0;
    return 0;
}

int SA_ask_site_info(tag_t site, char** name, int* siteId) {
    VL_ENTER("SA_ask_site_info", site);
    if (name) *name = nullptr;
    Object* o = nullptr;
    if (int rc = need(site, "Site", &o)) return rc;
    if (name) *name = SM_string_copy_persistent(getString(*o, "name").c_str());
    if (siteId) *siteId = getInt(*o, "site_id");
    return 0;
}

int SA_find_groupmember_by_user(tag_t user, int* count, tag_t** members) {
    VL_ENTER("SA_find_groupmember_by_user", user);
    if (count) *count = 0;
    if (members) *members = nullptr;
    if (int rc = need(user, "User", nullptr)) return rc;
    std::vector<tag_t> v = membersWith("user", user);
    if (count) *count = static_cast<int>(v.size());
    if (members) *members = SM_copy_array(v);
    return 0;
}

int SA_find_groupmember_by_group(tag_t group, int* count, tag_t** members) {
    VL_ENTER("SA_find_groupmember_by_group", group);
    if (count) *count = 0;
    if (members) *members = nullptr;
    if (int rc = need(group, "Group", nullptr)) return rc;
    std::vector<tag_t> v = membersWith("group", group);
    if (count) *count = static_cast<int>(v.size());
    if (members) *members = SM_copy_array(v);
    return 0;
}

int SA_change_group(tag_t group, tag_t role) {
    VL_ENTER("SA_change_group", group);
    if (int rc = need(group, "Group", nullptr)) return rc;
    if (int rc = need(role, "Role", nullptr)) return rc;
    kernel::Session se = kernel::currentSession();
    if (!se.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    for (tag_t m : membersWith("user", se.user)) {
        const Object* o = find(m);
        if (getTag(*o, "group") == group && getTag(*o, "role") == role && getInt(*o, "status") == 0) {
            const kernel::Session before = se;
            journalUndo([before] { kernel::setSession(before); });
            se.member = m;
            se.group = group;
            se.role = role;
            kernel::setSession(se);
            return 0;
        }
    }
    return fail(ERR_NOT_A_MEMBER);
}

namespace vl::platform::sa {

// A user with home and newstuff folders (owned by the user).
int makeUser(const std::string& id, const std::string& personName, const std::string& passwordHash, tag_t* user) {
    if (user) *user = 0;
    if (id.empty()) return fail(ERR_BAD_ARGUMENT, "a user needs an id");
    if (id.size() > SA_name_size_c) return fail(ERR_NAME_TOO_LONG, id);
    if (keyInUse("User", id)) return fail(ERR_DUPLICATE, "user " + id);
    Object& u = create("User");
    u.locked = false;
    tag_t ut = u.tag;
    initValue(u, "user_id", std::vector<std::string>{id});
    initValue(u, "user_name", std::vector<std::string>{personName.empty() ? id : personName});
    initValue(u, "password", std::vector<std::string>{passwordHash});
    initValue(u, "status", std::vector<int>{0});
    const TypeDef* ft = typeNamed("Folder");
    if (!ft) return fail(ERR_TYPE_NOT_FOUND, "Folder");
    tag_t folders[2] = {0, 0};
    const char* names[2] = {"Home", "Newstuff"};
    for (int i = 0; i < 2; ++i) {
        Object& f = create(ft->cls, ft->tag);
        f.locked = false;
        initValue(f, "object_name", std::vector<std::string>{names[i]});
        initValue(f, "owning_user", std::vector<tag_t>{ut});
        folders[i] = f.tag;
    }
    initValue(*find(ut), "home_folder", std::vector<tag_t>{folders[0]});
    initValue(*find(ut), "newstuff_folder", std::vector<tag_t>{folders[1]});
    // The newstuff folder sits in the home folder.
    initValue(*find(folders[0]), "contents", std::vector<tag_t>{folders[1]});
    if (user) *user = ut;
    return 0;
}

}  // namespace vl::platform::sa

int SA_create_user(const char* userId, const char* personName, const char* password, tag_t* user) {
    VL_ENTER("SA_create_user", 0);
    if (user) *user = 0;
    if (int rc = checkNewName(userId, "user")) return rc;
    if (!password || !*password) return fail(ERR_BAD_ARGUMENT, "a user needs a password");
    return sa::makeUser(userId, personName ? personName : "", SITE_hash_password(password), user);
}

int SA_create_group(const char* groupName, tag_t* group) {
    VL_ENTER("SA_create_group", 0);
    if (group) *group = 0;
    if (int rc = checkNewName(groupName, "group")) return rc;
    if (keyInUse("Group", groupName)) return fail(ERR_DUPLICATE, std::string("group ") + groupName);
    Object& g = create("Group");
    g.locked = false;
    initValue(g, "name", std::vector<std::string>{groupName});
    initValue(g, "privilege", std::vector<int>{0});
    if (group) *group = g.tag;
    return 0;
}

int SA_create_role(const char* roleName, tag_t* role) {
    VL_ENTER("SA_create_role", 0);
    if (role) *role = 0;
    if (int rc = checkNewName(roleName, "role")) return rc;
    if (keyInUse("Role", roleName)) return fail(ERR_DUPLICATE, std::string("role ") + roleName);
    Object& r = create("Role");
    r.locked = false;
    initValue(r, "role_name", std::vector<std::string>{roleName});
    if (role) *role = r.tag;
    return 0;
}

int SA_create_groupmember(tag_t group, tag_t user, tag_t role, tag_t* member) {
    VL_ENTER("SA_create_groupmember", group);
    if (member) *member = 0;
    if (int rc = need(group, "Group", nullptr)) return rc;
    if (int rc = need(user, "User", nullptr)) return rc;
    if (int rc = need(role, "Role", nullptr)) return rc;
    if (!privileged()) return fail(ERR_NOT_PRIVILEGED, "group member");
    for (tag_t m : membersWith("user", user)) {
        const Object* o = find(m);
        if (getTag(*o, "group") == group && getTag(*o, "role") == role)
            return fail(ERR_DUPLICATE, "that member exists");
    }
    Object& m = create("GroupMember");
    m.locked = false;
    initValue(m, "user", std::vector<tag_t>{user});
    initValue(m, "group", std::vector<tag_t>{group});
    initValue(m, "role", std::vector<tag_t>{role});
    initValue(m, "status", std::vector<int>{0});
    if (member) *member = m.tag;
    return 0;
}

int SA_set_groupmember_active(tag_t member, bool active) {
    VL_ENTER("SA_set_groupmember_active", member);
    Object* o = nullptr;
    if (int rc = need(member, "GroupMember", &o)) return rc;
    if (!privileged()) return fail(ERR_NOT_PRIVILEGED, "group member");
    return setCommitted(*o, attr(*o, "status"), std::vector<int>{active ? 0 : 1});
}

int POM_site_id(int* siteId) {
    VL_ENTER("POM_site_id", 0);
    if (siteId) *siteId = extension<sa::LocalSite>().siteId;
    return 0;
}

int VM_ask_current_volume(tag_t* volume) {
    VL_ENTER("VM_ask_current_volume", 0);
    if (volume) *volume = 0;
    tag_t v = kernel::sessionState().volume;
    if (!find(v)) return fail(ERR_NOT_FOUND, "no current volume");
    if (volume) *volume = v;
    return 0;
}

std::string User::userId() const {
    const Object* o = find(tag());
    return o ? getString(*o, "user_id") : std::string();
}
std::string User::personName() const {
    const Object* o = find(tag());
    return o ? getString(*o, "user_name") : std::string();
}
tag_t User::homeFolder() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "home_folder") : 0;
}
tag_t User::newstuffFolder() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "newstuff_folder") : 0;
}
std::string Group::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "name") : std::string();
}
std::string Role::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "role_name") : std::string();
}
tag_t GroupMember::user() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "user") : 0;
}
tag_t GroupMember::group() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "group") : 0;
}
tag_t GroupMember::role() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "role") : 0;
}
bool GroupMember::isActive() const {
    const Object* o = find(tag());
    return o && getInt(*o, "status") == 0;
}
int Site::siteId() const {
    const Object* o = find(tag());
    return o ? getInt(*o, "site_id") : 0;
}
std::string Site::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "name") : std::string();
}
std::string Volume::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "volume_name") : std::string();
}
std::string Volume::path() const {
    const Object* o = find(tag());
    return o ? getString(*o, "path") : std::string();
}


namespace {

std::string userName(const Object& o) { return getString(o, "user_name") + " (" + getString(o, "user_id") + ")"; }
std::string nameAttribute(const Object& o) { return getString(o, "name"); }
std::string roleName(const Object& o) { return getString(o, "role_name"); }
std::string memberName(const Object& o) {
    const Object* g = find(getTag(o, "group"));
    const Object* r = find(getTag(o, "role"));
    const Object* u = find(getTag(o, "user"));
    return (g ? getString(*g, "name") : "") + "/" + (r ? getString(*r, "role_name") : "") + "/" +
           (u ? getString(*u, "user_id") : "");
}
std::string volumeName(const Object& o) { return getString(o, "volume_name"); }

[[maybe_unused]] const bool kRegistered =
    registerLoadedClass("User", &makeLoaded<User>) && registerLoadedClass("Group", &makeLoaded<Group>) &&
    registerLoadedClass("Role", &makeLoaded<Role>) && registerLoadedClass("GroupMember", &makeLoaded<GroupMember>) &&
    registerLoadedClass("Site", &makeLoaded<Site>) && registerLoadedClass("Volume", &makeLoaded<Volume>) &&
    registerLoadedClass("Project", &makeLoaded<Project>) &&
    registerLoadedClass("WorkContext", &makeLoaded<WorkContext>) && registerDisplayName("User", &userName) &&
    registerDisplayName("Group", &nameAttribute) && registerDisplayName("Role", &roleName) &&
    registerDisplayName("GroupMember", &memberName) && registerDisplayName("Site", &nameAttribute) &&
    registerDisplayName("Volume", &volumeName);

}  // namespace
