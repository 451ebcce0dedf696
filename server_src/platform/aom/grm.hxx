#pragma once
// Relations between workspace objects. A relation is an object of class
// "Relation" whose business type is its relation type.
#include "pom/pom_types.hxx"

#include <string>

// 0 and the null tag when no relation type has that name.
int GRM_find_relation_type(const char* name, tag_t* relationType);
// 0 and the null tag when there is no such relation.
int GRM_find_relation(tag_t primary, tag_t secondary, tag_t relationType, tag_t* relation);
// The new relation is open for change and owned by the session's user;
// GRM_save_relation saves and releases it. It needs a session, not write
// access to either end. Refused when that relation exists already
// (ERR_DUPLICATE). Deleting one needs write access to it or to its primary,
// and is refused (ERR_REFERENCED) while another object refers to it, in a
// value or in the saved value of an unsaved change.
int GRM_create_relation(tag_t primary, tag_t secondary, tag_t relationType, tag_t userData, tag_t* relation);
int GRM_save_relation(tag_t relation);
int GRM_delete_relation(tag_t relation);
int GRM_ask_primary(tag_t relation, tag_t* primary);
int GRM_ask_secondary(tag_t relation, tag_t* secondary);
int GRM_ask_relation_type(tag_t relation, tag_t* relationType);
int GRM_ask_user_data(tag_t relation, tag_t* userData);

// Related objects in creation order of the relations; a null relation type
// means every type. One SM block each.
int GRM_list_secondary_objects_only(tag_t primary, tag_t relationType, int* count, tag_t** secondaries);
int GRM_list_primary_objects_only(tag_t secondary, tag_t relationType, int* count, tag_t** primaries);

// One record per relation.
struct GRM_relation_t {
    tag_t the_relation;
    tag_t primary;
    tag_t secondary;
    tag_t relation_type;
    tag_t user_data;
};
// Relations whose primary is `object` (the related object is `secondary`).
int GRM_list_all_related_objects(tag_t object, int* count, GRM_relation_t** records);
int GRM_list_secondary_objects(tag_t primary, tag_t relationType, int* count, GRM_relation_t** records);
int GRM_list_primary_objects(tag_t secondary, tag_t relationType, int* count, GRM_relation_t** records);

namespace vl::platform {
// The text of the ERR_DUPLICATE refusal of an existing relation.
inline std::string relationExistsText(const std::string& relationType) {
    return "the relation " + relationType + " exists already";
}
}  // namespace vl::platform
