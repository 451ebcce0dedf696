#pragma once
// Folders: "contents" is the folder's ordered array of references.
#include "pom/pom_types.hxx"

// A new folder of type "Folder", owned by the session's user and group and
// open for change. Refused for an empty name.
int FL_create(const char* name, const char* description, tag_t* folder);
// Inserts at `position` (0 first; a negative position or one past the end
// appends, as does 999). No prior lock needed.
int FL_insert(tag_t folder, tag_t object, int position);
// Removes every entry of the object; ERR_NOT_FOUND when it is not there.
int FL_remove(tag_t folder, tag_t object);
// FL_remove that also says where the entries stood (positions in the list
// before the removal, in order; the array is the caller's to free): a
// caller that may put them back need not read the whole list first.
int FL_remove_reporting(tag_t folder, tag_t object, int* count, int** positions);
int FL_ask_size(tag_t folder, int* count);
int FL_ask_references(tag_t folder, int sortOrder, int* count, tag_t** references);  // sortOrder ignored
int FL_init_module();
int FL_exit_module();
