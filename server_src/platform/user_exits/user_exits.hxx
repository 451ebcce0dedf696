#pragma once
// User exits: the site's identifier schemes and notices. The default scheme:
// item ids are six-digit numbers ("000001", ...) that skip ids in use, or,
// for an item type whose "item_id" has a naming rule, the rule's first pattern
// with digits filled in ("DOC-nnnn" gives "DOC-0001");
// revision ids run "A".."Z", "AA".."ZZ", ... (the first revision "A", a later
// one the successor of the item's latest revision id); dataset names are the
// parent's name, "/" and a counter, or the type's name and a counter. Tests
// may replace any exit (USER_set_exits); SITE_reset restores the defaults.
#include "pom/pom_types.hxx"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// `id` is an SM string; `modifiable` tells whether a client may change it.
int USER_new_item_id(tag_t item, tag_t itemType, bool* modifiable, char** id);
int USER_new_revision_id(tag_t item, tag_t itemType, bool* modifiable, char** id);
int USER_new_dataset_name(tag_t owner, tag_t datasetType, tag_t relationType, const char* basisName, char** name,
                          bool* modifiable);
// Notice that an item was created (recorded; see USER_created_items).
int USER_item_created(const char* itemId, const char* revId);

enum IDValid_t : int {
    ID_valid = 0,
    ID_invalid = 1,    // breaks the naming rule (or is empty)
    ID_modified = 2,   // a usable id was proposed in its place
    ID_override = 3,
    ID_duplicate = 4,  // the item (or that revision of it) exists
};
// Validation of proposed identifiers for an item type, by the replaceable
// exit. The modified ids are SM strings or null. The default exit: an id with
// surrounding blanks is "modified" to the trimmed id; an empty id, or one
// that breaks the naming rule, is invalid; an existing item (or revision of
// it) is a duplicate; an unknown item type fails.
int USER_validate_item_rev_id_2(const char* itemId, const char* revId, const char* itemType, char** modifiedItemId,
                                char** modifiedRevId, IDValid_t* itemStatus, IDValid_t* revStatus);

namespace vl::platform {
struct UserExits {
    // Each returns 0 or a failure code (which the exit then stores).
    std::function<int(tag_t item, tag_t type, bool* modifiable, std::string* id)> newItemId;
    std::function<int(tag_t item, tag_t type, bool* modifiable, std::string* id)> newRevisionId;
    std::function<int(tag_t owner, tag_t type, std::string* name, bool* modifiable)> newDatasetName;
    std::function<void(const std::string& itemId, const std::string& revId)> itemCreated;
    // Identifier validation, with USER_validate_item_rev_id_2's arguments
    // (the outputs already null and ID_valid). What it leaves in the two
    // id outputs is the caller's to free, also when it fails.
    std::function<int(const char* itemId, const char* revId, const char* itemType, char** modifiedItemId,
                      char** modifiedRevId, IDValid_t* itemStatus, IDValid_t* revStatus)>
        validateIds;
};
// Replaces the exits that are set in `exits`; unset ones keep the default.
void USER_set_exits(const UserExits& exits);
void USER_reset_exits();
// The default exits (for a replacement that wraps them).
UserExits USER_default_exits();
// (item id, revision id) of every USER_item_created since the last reset.
std::vector<std::pair<std::string, std::string>> USER_created_items();
}  // namespace vl::platform
