// The POM calls: markpoints, classes, uids, referencers, privilege checks.
#include "pom/pom.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "sm/sm.hxx"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

int* intBlock(const std::vector<int>& v) {
    auto* p = static_cast<int*>(SM_alloc_persistent(sizeof(int) * v.size()));
    if (!v.empty()) std::memcpy(p, v.data(), sizeof(int) * v.size());
    return p;
}

}  // namespace

int POM_place_markpoint(int* markpoint) {
    VL_ENTER("POM_place_markpoint", 0);
    if (!markpoint) return fail(ERR_BAD_ARGUMENT);
    *markpoint = placeMarkpoint();
    return 0;
}

int POM_roll_to_markpoint(int markpoint, bool* stateChanged) {
    VL_ENTER("POM_roll_to_markpoint", 0);
    return rollToMarkpoint(markpoint, stateChanged);
}

int POM_forget_markpoint(int markpoint) {
    VL_ENTER("POM_forget_markpoint", 0);
    return forgetMarkpoint(markpoint);
}

int POM_class_id_of_class(const char* className, tag_t* classId) {
    VL_ENTER("POM_class_id_of_class", 0);
    if (classId) *classId = 0;
    const ClassDef* c = className ? classNamed(className) : nullptr;
    if (!c) return fail(ERR_NOT_FOUND, std::string("no class ") + (className ? className : ""));
    if (classId) *classId = c->id;
    return 0;
}

int POM_class_of_instance(tag_t object, tag_t* classId) {
    VL_ENTER("POM_class_of_instance", object);
    if (classId) *classId = 0;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (classId) *classId = o->cls->id;
    return 0;
}

int POM_name_of_class(tag_t classId, char** className) {
    VL_ENTER("POM_name_of_class", classId);
    if (className) *className = nullptr;
    const ClassDef* c = S().schema->find(classId);
    if (!c) return fail(ERR_NOT_FOUND, "no such class id");
    if (className) *className = SM_string_copy_persistent(c->name.c_str());
    return 0;
}

int POM_superclasses_of_class(tag_t classId, int* count, tag_t** superclasses) {
    VL_ENTER("POM_superclasses_of_class", classId);
    if (count) *count = 0;
    if (superclasses) *superclasses = nullptr;
    const ClassDef* c = S().schema->find(classId);
    if (!c) return fail(ERR_NOT_FOUND, "no such class id");
    std::vector<tag_t> chain;
    for (const ClassDef* p = c->parent; p; p = p->parent) chain.push_back(p->id);
    if (count) *count = static_cast<int>(chain.size());
    if (superclasses) *superclasses = SM_copy_array(chain);
    return 0;
}

int POM_is_descendant(tag_t ancestorClass, tag_t classId, bool* answer) {
    VL_ENTER("POM_is_descendant", classId);
    if (answer) *answer = false;
    const ClassDef* a = S().schema->find(ancestorClass);
    const ClassDef* c = S().schema->find(classId);
    if (!a || !c) return fail(ERR_NOT_FOUND, "no such class id");
    if (answer) *answer = c->isA(a);
    return 0;
}

int POM_tag_to_uid(tag_t object, char** uid) {
    VL_ENTER("POM_tag_to_uid", object);
    if (uid) *uid = nullptr;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (uid) *uid = SM_string_copy_persistent(o->uid.str().c_str());
    return 0;
}

namespace vl::platform {
unsigned int uidToTag(const std::string& uid);
}

int POM_uid_to_tag(const char* uid, tag_t* object) {
    VL_ENTER("POM_uid_to_tag", 0);
    if (object) *object = vl::platform::uidToTag(uid ? uid : "");
    return 0;
}

int POM_is_tag_valid(tag_t object, bool* valid) {
    VL_ENTER("POM_is_tag_valid", object);
    if (valid) *valid = find(object) != nullptr;
    return 0;
}

int POM_modifiable(tag_t object, bool* modifiable) {
    VL_ENTER("POM_modifiable", object);
    if (modifiable) *modifiable = false;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (modifiable) *modifiable = o->locked;
    return 0;
}

int POM_referencers_of_instance(tag_t object, int levels, int /*whereToSearch*/, int* count, tag_t** referencers,
                                int** referencerLevels, int** whereFound, int* classCount, tag_t** classes,
                                int** classLevels, int** classWhereFound) {
    VL_ENTER("POM_referencers_of_instance", object);
    if (count) *count = 0;
    if (classCount) *classCount = 0;
    for (auto** p : {referencers, classes})
        if (p) *p = nullptr;
    for (auto** p : {referencerLevels, whereFound, classLevels, classWhereFound})
        if (p) *p = nullptr;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (levels < 1) levels = 1;
    std::vector<tag_t> found;
    std::vector<int> foundLevels;
    std::set<tag_t> seen{object};
    std::vector<tag_t> frontier{object};
    for (int level = 1; level <= levels && !frontier.empty(); ++level) {
        std::vector<tag_t> next;
        for (tag_t t : frontier)
            for (tag_t r : referencersOf(t))
                if (seen.insert(r).second) {
                    found.push_back(r);
                    foundLevels.push_back(level);
                    next.push_back(r);
                }
        frontier = std::move(next);
    }
    std::vector<tag_t> cls;
    std::vector<int> clsLevels;
    for (std::size_t i = 0; i < found.size(); ++i) {
        tag_t c = find(found[i])->cls->id;
        if (std::find(cls.begin(), cls.end(), c) == cls.end()) {
            cls.push_back(c);
            clsLevels.push_back(foundLevels[i]);
        }
    }
    if (count) *count = static_cast<int>(found.size());
    if (referencers) *referencers = SM_copy_array(found);
    if (referencerLevels) *referencerLevels = intBlock(foundLevels);
    if (whereFound) *whereFound = intBlock(std::vector<int>(found.size(), 1));
    if (classCount) *classCount = static_cast<int>(cls.size());
    if (classes) *classes = SM_copy_array(cls);
    if (classLevels) *classLevels = intBlock(clsLevels);
    if (classWhereFound) *classWhereFound = intBlock(std::vector<int>(cls.size(), 1));
    return 0;
}

int POM_get_user(char** userName, tag_t* user) {
    VL_ENTER("POM_get_user", 0);
    if (userName) *userName = nullptr;
    if (user) *user = 0;
    tag_t u = currentUser();
    Object* o = find(u);
    if (!o) return fail(ERR_NOT_LOGGED_IN);
    if (userName) *userName = SM_string_copy_persistent(getString(*o, "user_name").c_str());
    if (user) *user = u;
    return 0;
}

int SSS_current_user(tag_t* user) {
    VL_ENTER("SSS_current_user", 0);
    if (user) *user = currentUser();
    if (!currentUser()) return fail(ERR_NOT_LOGGED_IN);
    return 0;
}

int AM_check_privilege(tag_t object, const char* privilege, bool* granted) {
    VL_ENTER("AM_check_privilege", object);
    if (granted) *granted = false;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    std::string p = privilege ? privilege : "";
    bool g = false;
    if (p == "READ")
        g = S().identity.loggedIn;
    else if (p == "WRITE" || p == "DELETE" || p == "CHANGE_OWNER")
        g = canWrite(*o);
    else
        return fail(ERR_BAD_ARGUMENT, "unknown privilege " + p);
    if (granted) *granted = g;
    return 0;
}

int TAG_ask_dm_of_tag(tag_t object) {
    const Object* o = find(object);
    return o ? o->dm : 0;
}

int EIM_ask_data_manager() { return 1; }

int EIM_uid(char* buffer) {
    VL_ENTER("EIM_uid", 0);
    if (!buffer) return fail(ERR_BAD_ARGUMENT);
    // Made uids never repeat, so no object made later can be given this one:
    // nothing of it needs keeping.
    const std::string uid = newUid();
    std::memcpy(buffer, uid.c_str(), uid.size() + 1);
    return 0;
}
