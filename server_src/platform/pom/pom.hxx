#pragma once
// Object store library: classes, markpoints, tags and uids, referencers,
// modifiability and privileges, the data manager. Every call returns 0 or a
// failure code that it has stored (severity 3) in the error store; arrays and
// strings it returns come from SM_alloc_persistent and are freed by the caller
// with SM_free.
#include "pom/pom_types.hxx"

// --- markpoints: everything changed after a markpoint can be rolled back ---
int POM_place_markpoint(int* markpoint);  // numbers are > 0
// Undoes every create, change and delete made since the markpoint; the
// markpoint stays placed (forget it afterwards). *stateChanged tells whether
// anything was undone.
int POM_roll_to_markpoint(int markpoint, bool* stateChanged);
// Releases the markpoint (and any placed after it); changes stay.
int POM_forget_markpoint(int markpoint);

// --- classes (single inheritance rooted at "POMObject") ---
int POM_class_id_of_class(const char* className, tag_t* classId);
int POM_class_of_instance(tag_t object, tag_t* classId);
int POM_name_of_class(tag_t classId, char** className);
// The direct superclass first, then its superclass, up to the root; the root
// class has none (count 0).
int POM_superclasses_of_class(tag_t classId, int* count, tag_t** superclasses);
// *answer: classId is ancestorClass or derives from it.
int POM_is_descendant(tag_t ancestorClass, tag_t classId, bool* answer);

// --- tags and uids ---
int POM_tag_to_uid(tag_t object, char** uid);
// The empty uid gives the null tag; a uid that names no live object gives a
// non-zero tag that is never valid (and still returns 0).
int POM_uid_to_tag(const char* uid, tag_t* object);
int POM_is_tag_valid(tag_t object, bool* valid);

// --- state ---
// *modifiable: the object is open for change (locked) in this session.
int POM_modifiable(tag_t object, bool* modifiable);

// --- referencers ---
// Objects whose attributes refer to `object`, followed up `levels` levels
// (levels < 1 counts as 1). whereToSearch is accepted and ignored (any value,
// e.g. 9001). The three last arrays and *classCount are the referencers'
// classes (one entry per distinct class); every array is one SM block.
int POM_referencers_of_instance(tag_t object, int levels, int whereToSearch, int* count, tag_t** referencers,
                                int** referencerLevels, int** whereFound, int* classCount, tag_t** classes,
                                int** classLevels, int** classWhereFound);

// --- session and site ---
int POM_get_user(char** userName, tag_t* user);  // the logged-in user's name and tag
int SSS_current_user(tag_t* user);
int POM_site_id(int* siteId);

// --- privileges: "READ", "WRITE", "DELETE", "CHANGE_OWNER" ---
// WRITE/DELETE/CHANGE_OWNER are granted when the object is not read-only and
// the session's user owns it, or the session runs in a privileged group.
int AM_check_privilege(tag_t object, const char* privilege, bool* granted);

// --- data managers and uids ---
int TAG_ask_dm_of_tag(tag_t object);  // the data manager of an object (0 for none)
int EIM_ask_data_manager();           // the local data manager
// Writes one new uid (at most 15 characters and the terminator) into `buffer`,
// which must hold 16 bytes.
int EIM_uid(char* buffer);
