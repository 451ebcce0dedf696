#include "aom/folder.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "pom/test_seams.hxx"
#include "sm/sm.hxx"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

int writableFolder(tag_t folder, Object** out) {
    if (int rc = need(folder, "Folder", out)) return rc;
    if ((*out)->readOnly) return fail(ERR_READ_ONLY_OBJECT, (*out)->uid);
    if (!canWrite(**out)) return fail(ERR_NO_ACCESS, (*out)->uid);
    return 0;
}

std::string named(const Object& folder) {
    return "\"" + getString(folder, "object_name") + "\" (" + folder.uid + ")";
}

// Refuses to put a folder into `into` itself or into a folder below it: it
// and all below it would be reachable from no folder. Only the folders above
// `into` can be such a folder, so the walk goes up through the folders that
// hold it (contents is the only reference of a folder that names a folder),
// each once: it costs the part of the tree above `into`, never the store,
// and reads no contents list.
int refuseCycle(const Object& into, std::span<const tag_t> added) {
    const auto refuse = [&](tag_t folder) {
        return failAbout(ERR_FOLDER_CYCLE, named(*find(folder)) + " into " + named(into));
    };
    // Only a folder that holds something can be above `into` (a new folder
    // never walks).
    std::vector<tag_t> moving;
    for (tag_t t : added) {
        const Object* o = t ? find(t) : nullptr;
        if (!o || !isA(*o, "Folder")) continue;
        if (t == into.tag) return refuse(t);
        const int contents = attr(*o, "contents");
        if (contents >= 0 && !o->values[contents].tags().empty()) moving.push_back(t);
    }
    if (moving.empty()) return 0;
    std::sort(moving.begin(), moving.end());

    std::unordered_set<tag_t> seen{into.tag};
    std::vector<tag_t> pending{into.tag};
    while (!pending.empty()) {
        const tag_t below = pending.back();
        pending.pop_back();
        for (tag_t holder : referencersOf(below)) {
            const Object* h = find(holder);
            if (!h || !isA(*h, "Folder") || !seen.insert(holder).second) continue;
            if (std::binary_search(moving.begin(), moving.end(), holder)) return refuse(holder);
            pending.push_back(holder);
        }
    }
    return 0;
}

// Every write of a folder's contents, whatever call makes it.
[[maybe_unused]] const bool kContentsChecked = registerReferenceCheck("Folder", "contents", &refuseCycle);

}  // namespace

int FL_create(const char* name, const char* description, tag_t* folder) {
    VL_ENTER("FL_create", 0);
    if (folder) *folder = 0;
    if (!name || !*name) return fail(ERR_BAD_ARGUMENT, "a folder needs a name");
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    const TypeDef* t = typeNamed("Folder");
    if (!t) return fail(ERR_TYPE_NOT_FOUND, "Folder");
    PropertyDescriptor* dn = descriptorOfType(t->tag, "object_name");
    PropertyDescriptor* dd = descriptorOfType(t->tag, "object_desc");
    std::string desc = description ? description : "";
    if (dn && dn->m_maxLength > 0 && static_cast<int>(std::strlen(name)) > dn->m_maxLength)
        return fail(ERR_STRING_TOO_LONG, "object_name");
    if (dd && dd->m_maxLength > 0 && static_cast<int>(desc.size()) > dd->m_maxLength)
        return fail(ERR_STRING_TOO_LONG, "object_desc");
    Object& f = create(t->cls, t->tag);
    initValue(f, "object_name", std::vector<std::string>{name});
    if (!desc.empty()) initValue(f, "object_desc", std::vector<std::string>{desc});
    if (folder) *folder = f.tag;
    return 0;
}

namespace vl::platform {
std::vector<int>& insertPositions() {
    static std::vector<int> positions;
    return positions;
}
std::vector<int> FL_insert_positions() { return insertPositions(); }
void FL_insert_positions_clear() { insertPositions().clear(); }
}  // namespace vl::platform

int FL_insert(tag_t folder, tag_t object, int position) {
    VL_ENTER("FL_insert", folder);
    if (vl::platform::insertPositions().size() < 1000000) vl::platform::insertPositions().push_back(position);
    Object* f = nullptr;
    if (int rc = writableFolder(folder, &f)) return rc;
    if (int rc = need(object, nullptr)) return rc;
    if (int rc = refuseCycle(*f, std::span<const tag_t>(&object, 1))) return rc;
    return insertTag(*f, attr(*f, "contents"), position == 999 ? -1 : position, object);
}

namespace {
int removeFromFolder(tag_t folder, tag_t object, std::vector<int>* positions) {
    Object* f = nullptr;
    if (int rc = writableFolder(folder, &f)) return rc;
    if (removeTag(*f, attr(*f, "contents"), object, positions) == 0) return fail(ERR_NOT_FOUND, "not in the folder");
    return 0;
}
}  // namespace

int FL_remove(tag_t folder, tag_t object) {
    VL_ENTER("FL_remove", folder);
    return removeFromFolder(folder, object, nullptr);
}

int FL_remove_reporting(tag_t folder, tag_t object, int* count, int** positions) {
    VL_ENTER("FL_remove", folder);  // the same removal to call logs and injected faults
    if (count) *count = 0;
    if (positions) *positions = nullptr;
    std::vector<int> at;
    if (int rc = removeFromFolder(folder, object, &at)) return rc;
    if (count) *count = static_cast<int>(at.size());
    if (positions) {
        auto* p = static_cast<int*>(SM_alloc_persistent(sizeof(int) * at.size()));
        std::memcpy(p, at.data(), sizeof(int) * at.size());
        *positions = p;
    }
    return 0;
}

int FL_ask_size(tag_t folder, int* count) {
    VL_ENTER("FL_ask_size", folder);
    if (count) *count = 0;
    Object* f = nullptr;
    if (int rc = need(folder, "Folder", &f)) return rc;
    // Counted in place: a copy of a long folder's list for its size made
    // each insert at the end cost the folder's length.
    if (const int i = attr(*f, "contents"); count && i >= 0) *count = static_cast<int>(f->values[i].tags().size());
    return 0;
}

int FL_ask_references(tag_t folder, int, int* count, tag_t** references) {
    VL_ENTER("FL_ask_references", folder);
    if (count) *count = 0;
    if (references) *references = nullptr;
    Object* f = nullptr;
    if (int rc = need(folder, "Folder", &f)) return rc;
    std::vector<tag_t> v = getTags(*f, "contents");
    if (count) *count = static_cast<int>(v.size());
    if (references) {
        auto* p = static_cast<tag_t*>(SM_alloc_persistent(sizeof(tag_t) * v.size()));
        if (!v.empty()) std::memcpy(p, v.data(), sizeof(tag_t) * v.size());
        *references = p;
    }
    return 0;
}

int FL_init_module() {
    VL_ENTER("FL_init_module", 0);
    return 0;
}

int FL_exit_module() {
    VL_ENTER("FL_exit_module", 0);
    return 0;
}
