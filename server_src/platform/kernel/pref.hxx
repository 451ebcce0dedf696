#pragma once
// Preferences: named lists of strings kept at site, group, role and user
// level. The session's search scope decides where reads look and writes go:
// "all" reads user, then role, then group, then site (the first level that
// has the preference wins) and writes at user level; any other scope reads
// and writes that level only (group and role are the session's). A site
// level write needs a privileged session.
#include "pom/pom_types.hxx"

#include <string>
#include <vector>

enum OSTRA_preference_search_scope_e : int {
    OSTRA_preference_all_preferences = 0,
    OSTRA_preference_user_preference = 1,
    OSTRA_preference_role_preference = 2,
    OSTRA_preference_group_preference = 3,
    OSTRA_preference_site_preference = 4,
};

int PREF_initialize();
int PREF_ask_search_scope(OSTRA_preference_search_scope_e* scope);
int PREF_set_search_scope(OSTRA_preference_search_scope_e scope);
int PREF_set_search_scope(int scope);  // ERR_BAD_ARGUMENT outside 0-4

// Values as seen from the current scope. ERR_PREF_NOT_FOUND (count 0, values
// null) when no level in scope has it. Each string and the array are
// separate SM blocks: free every string, then the array.
int PREF_ask_char_values(const char* name, int* count, char*** values);
int PREF_ask_char_value(const char* name, int index, char** value);  // one SM string
int PREF_ask_int_values(const char* name, int* count, int** values);  // one SM block
int PREF_ask_int_value(const char* name, int index, int* value);
int PREF_ask_logical_value(const char* name, int index, bool* value);
// Writes at the current scope's level (see above); a count of 0 stores an
// empty list. The values are copied.
int PREF_set_char_values(const char* name, int count, const char* const* values);
int PREF_set_int_values(const char* name, int count, const int* values);
int PREF_delete(const char* name);  // at the current scope's level

namespace vl::platform {
// Reads a preference at an explicit scope without touching the session's
// search scope: false when not found.
bool PREF_read(const std::string& name, OSTRA_preference_search_scope_e scope, std::vector<std::string>* values);
}  // namespace vl::platform
