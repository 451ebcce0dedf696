#include "aom/grm.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

int needRelationType(tag_t type, const TypeDef** out) {
    if (int rc = need(type, "OstraType", nullptr)) return rc;
    const TypeDef* td = typeDef(type);
    if (!td || !td->cls->isA("Relation")) return fail(ERR_NOT_A_RELATION_TYPE);
    if (out) *out = td;
    return 0;
}

// Searched from the end with fewer referencers: one primary may head
// thousands of relations, each secondary only a few.
tag_t findRelation(tag_t primary, tag_t secondary, tag_t type) {
    const bool fromSecondary = referencerCount(secondary) < referencerCount(primary);
    for (tag_t r : relationsOf(fromSecondary ? secondary : primary, !fromSecondary, type))
        if (getTag(*find(r), fromSecondary ? "primary_object" : "secondary_object") ==
            (fromSecondary ? primary : secondary))
            return r;
    return 0;
}

GRM_relation_t* records(const std::vector<tag_t>& relations) {
    auto* p = static_cast<GRM_relation_t*>(SM_alloc_persistent(sizeof(GRM_relation_t) * relations.size()));
    for (std::size_t i = 0; i < relations.size(); ++i) {
        const Object* r = find(relations[i]);
        p[i].the_relation = relations[i];
        p[i].primary = getTag(*r, "primary_object");
        p[i].secondary = getTag(*r, "secondary_object");
        p[i].relation_type = r->type;
        p[i].user_data = getTag(*r, "user_data");
    }
    return p;
}

}  // namespace

int GRM_find_relation_type(const char* name, tag_t* relationType) {
    VL_ENTER("GRM_find_relation_type", 0);
    if (relationType) *relationType = 0;
    const TypeDef* td = name ? typeNamed(name) : nullptr;
    if (td && td->cls->isA("Relation") && relationType) *relationType = td->tag;
    return 0;
}

int GRM_find_relation(tag_t primary, tag_t secondary, tag_t relationType, tag_t* relation) {
    VL_ENTER("GRM_find_relation", primary);
    if (relation) *relation = 0;
    if (int rc = need(primary, nullptr)) return rc;
    if (int rc = need(secondary, nullptr)) return rc;
    if (relationType)
        if (int rc = needRelationType(relationType, nullptr)) return rc;
    if (relation) *relation = findRelation(primary, secondary, relationType);
    return 0;
}

int GRM_create_relation(tag_t primary, tag_t secondary, tag_t relationType, tag_t userData, tag_t* relation) {
    VL_ENTER("GRM_create_relation", primary);
    if (relation) *relation = 0;
    Object* p = nullptr;
    if (int rc = need(primary, &p)) return rc;
    if (int rc = need(secondary, nullptr)) return rc;
    const TypeDef* td = nullptr;
    if (int rc = needRelationType(relationType, &td)) return rc;
    if (userData)
        if (int rc = need(userData, nullptr)) return rc;
    // A relation is an object of its own, owned by its creator: relating needs
    // a session, not the right to change either end.
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    (void)p;
    if (findRelation(primary, secondary, relationType))
        return fail(ERR_DUPLICATE, relationExistsText(td->name));
    Object& r = create(td->cls, td->tag);
    initValue(r, "primary_object", std::vector<tag_t>{primary});
    initValue(r, "secondary_object", std::vector<tag_t>{secondary});
    if (userData) initValue(r, "user_data", std::vector<tag_t>{userData});
    if (relation) *relation = r.tag;
    return 0;
}

int GRM_save_relation(tag_t relation) {
    VL_ENTER("GRM_save_relation", relation);
    Object* r = nullptr;
    if (int rc = need(relation, "Relation", &r)) return rc;
    if (int rc = save(*r)) return rc;
    unlock(*r);
    return 0;
}

int GRM_delete_relation(tag_t relation) {
    VL_ENTER("GRM_delete_relation", relation);
    Object* r = nullptr;
    if (int rc = need(relation, "Relation", &r)) return rc;
    if (r->readOnly) return fail(ERR_READ_ONLY_OBJECT, r->uid);
    const Object* p = find(getTag(*r, "primary_object"));
    if (!canWrite(*r) && !(p && canWrite(*p))) return fail(ERR_NO_ACCESS, r->uid);
    // A relation listed somewhere (a folder's entry) is no dangling entry.
    if (const std::vector<tag_t> holders = referencersOf(relation); !holders.empty())
        return fail(ERR_REFERENCED, r->uid + " is referenced by " + find(holders[0])->uid);
    if (int rc = refuseSavedReferences(*r, {relation})) return rc;
    destroy(*r);
    return 0;
}

#define GRM_ASK(fn, attribute)                                  \
    int fn(tag_t relation, tag_t* out) {                        \
        VL_ENTER(#fn, relation);                                \
        if (out) *out = 0;                                      \
        Object* r = nullptr;                                    \
        if (int rc = need(relation, "Relation", &r)) return rc; \
        if (out) *out = getTag(*r, attribute);                  \
        return 0;                                               \
    }
GRM_ASK(GRM_ask_primary, "primary_object")
GRM_ASK(GRM_ask_secondary, "secondary_object")
GRM_ASK(GRM_ask_user_data, "user_data")
#undef GRM_ASK

int GRM_ask_relation_type(tag_t relation, tag_t* relationType) {
    VL_ENTER("GRM_ask_relation_type", relation);
    if (relationType) *relationType = 0;
    Object* r = nullptr;
    if (int rc = need(relation, "Relation", &r)) return rc;
    if (relationType) *relationType = r->type;
    return 0;
}

int GRM_list_secondary_objects_only(tag_t primary, tag_t relationType, int* count, tag_t** secondaries) {
    VL_ENTER("GRM_list_secondary_objects_only", primary);
    if (count) *count = 0;
    if (secondaries) *secondaries = nullptr;
    if (int rc = need(primary, nullptr)) return rc;
    if (relationType)
        if (int rc = needRelationType(relationType, nullptr)) return rc;
    std::vector<tag_t> v = relatedSecondaries(primary, relationType);
    if (count) *count = static_cast<int>(v.size());
    if (secondaries) *secondaries = SM_copy_array(v);
    return 0;
}

int GRM_list_primary_objects_only(tag_t secondary, tag_t relationType, int* count, tag_t** primaries) {
    VL_ENTER("GRM_list_primary_objects_only", secondary);
    if (count) *count = 0;
    if (primaries) *primaries = nullptr;
    if (int rc = need(secondary, nullptr)) return rc;
    if (relationType)
        if (int rc = needRelationType(relationType, nullptr)) return rc;
    std::vector<tag_t> v = relatedPrimaries(secondary, relationType);
    if (count) *count = static_cast<int>(v.size());
    if (primaries) *primaries = SM_copy_array(v);
    return 0;
}

int GRM_list_all_related_objects(tag_t object, int* count, GRM_relation_t** out) {
    VL_ENTER("GRM_list_all_related_objects", object);
    if (count) *count = 0;
    if (out) *out = nullptr;
    if (int rc = need(object, nullptr)) return rc;
    std::vector<tag_t> v = relationsOf(object, true, 0);
    if (count) *count = static_cast<int>(v.size());
    if (out) *out = records(v);
    return 0;
}

int GRM_list_secondary_objects(tag_t primary, tag_t relationType, int* count, GRM_relation_t** out) {
    VL_ENTER("GRM_list_secondary_objects", primary);
    if (count) *count = 0;
    if (out) *out = nullptr;
    if (int rc = need(primary, nullptr)) return rc;
    if (relationType)
        if (int rc = needRelationType(relationType, nullptr)) return rc;
    std::vector<tag_t> v = relationsOf(primary, true, relationType);
    if (count) *count = static_cast<int>(v.size());
    if (out) *out = records(v);
    return 0;
}

int GRM_list_primary_objects(tag_t secondary, tag_t relationType, int* count, GRM_relation_t** out) {
    VL_ENTER("GRM_list_primary_objects", secondary);
    if (count) *count = 0;
    if (out) *out = nullptr;
    if (int rc = need(secondary, nullptr)) return rc;
    if (relationType)
        if (int rc = needRelationType(relationType, nullptr)) return rc;
    std::vector<tag_t> v = relationsOf(secondary, false, relationType);
    if (count) *count = static_cast<int>(v.size());
    if (out) *out = records(v);
    return 0;
}
