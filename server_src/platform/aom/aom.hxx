#pragma once
// Core object library: locks, saves, deletion, ownership and typed property
// access on any object. Property names are those of the object's business
// type (its class's attributes, runtime and relation properties).
//
// Locks: AOM_refresh(o, 1) locks o for change; AOM_refresh(o, 0) releases it
// and returns it to its saved state (unsaved changes are discarded);
// AOM_save commits the current values and keeps the lock. Setters need no
// prior lock, but need WRITE privilege and a modifiable property.
#include "pom/pom_types.hxx"

#include <string>

class PropertyDescriptor;
class OstraProperty;

int AOM_refresh(tag_t object, int lock);
int AOM_save(tag_t object);
int AOM_load(tag_t object);    // 0 for a live object
int AOM_lock(tag_t object);    // AOM_refresh(object, 1)
int AOM_unlock(tag_t object);  // releases without discarding changes
// Deletes the object with its dependants (an item's revisions, master forms,
// the relations it is primary of). Refused (ERR_REFERENCED) while anything
// outside that set refers to it, in a value or in the saved value of an
// unsaved change (which a refresh would bring back).
int AOM_delete(tag_t object);
// New owning user and group; the user must be an active member of the group.
int AOM_set_ownership(tag_t object, tag_t user, tag_t group);
int AOM_ask_owner(tag_t object, tag_t* user);
int AOM_ask_group(tag_t object, tag_t* group);

// The descriptor is owned by the object's type; it stays valid until the next
// fixture load or reset.
int AOM_ask_property_desc(tag_t object, const char* name, PropertyDescriptor** descriptor);
// The property object, owned by the platform (valid until the next fixture
// load or reset): do not delete it.
int AOM_ask_property(tag_t object, const char* name, OstraProperty** property);
int AOM_ask_property_names(tag_t object, int* count, char*** names);  // one SM block

// Display values: text as a client shows it (references as the referenced
// object's display string, arrays joined by ",", logicals "True"/"False",
// dates "YYYY-MM-DDTHH:MM:SS"); a type's "type_name" shows as its display name.
int AOM_UIF_ask_value(tag_t object, const char* name, char** displayValue);
// Parses a display text into the property's value type (references by uid,
// arrays split at ","); a text that does not parse, or is not in an
// exhaustive list of values, is refused with ERR_BAD_VALUE.
int AOM_UIF_set_value(tag_t object, const char* name, const char* displayValue);

// Typed reads. Single forms fail with ERR_WRONG_ARITY on array properties
// and the reverse. Returned arrays are one SM block each (string arrays too).
int AOM_ask_value_char(tag_t object, const char* name, char* value);
int AOM_ask_value_chars(tag_t object, const char* name, int* count, char** values);
int AOM_ask_value_date(tag_t object, const char* name, date_s* value);
int AOM_ask_value_dates(tag_t object, const char* name, int* count, date_s** values);
int AOM_ask_value_double(tag_t object, const char* name, double* value);
int AOM_ask_value_doubles(tag_t object, const char* name, int* count, double** values);
int AOM_ask_value_int(tag_t object, const char* name, int* value);
int AOM_ask_value_ints(tag_t object, const char* name, int* count, int** values);
int AOM_ask_value_logical(tag_t object, const char* name, bool* value);
int AOM_ask_value_logicals(tag_t object, const char* name, int* count, bool** values);
int AOM_ask_value_string(tag_t object, const char* name, char** value);
int AOM_ask_value_strings(tag_t object, const char* name, int* count, char*** values);
int AOM_ask_value_tag(tag_t object, const char* name, tag_t* value);
int AOM_ask_value_tags(tag_t object, const char* name, int* count, tag_t** values);
int AOM_get_value_tags(tag_t object, const char* name, int* count, tag_t** values);  // same as ask
// True when the property holds no value (single) or no elements (array).
int AOM_is_null_empty(tag_t object, const char* name, bool* isNullOrEmpty);

// Typed writes (arrays replace the whole value; a count of 0 empties it).
int AOM_set_value_char(tag_t object, const char* name, char value);
int AOM_set_value_chars(tag_t object, const char* name, int count, const char* values);
int AOM_set_value_date(tag_t object, const char* name, date_s value);
int AOM_set_value_dates(tag_t object, const char* name, int count, const date_s* values);
int AOM_set_value_double(tag_t object, const char* name, double value);
int AOM_set_value_doubles(tag_t object, const char* name, int count, const double* values);
int AOM_set_value_int(tag_t object, const char* name, int value);
int AOM_set_value_ints(tag_t object, const char* name, int count, const int* values);
int AOM_set_value_logical(tag_t object, const char* name, bool value);
int AOM_set_value_logicals(tag_t object, const char* name, int count, const bool* values);
int AOM_set_value_string(tag_t object, const char* name, const char* value);
int AOM_set_value_strings(tag_t object, const char* name, int count, const char* const* values);
int AOM_set_value_tag(tag_t object, const char* name, tag_t value);
int AOM_set_value_tags(tag_t object, const char* name, int count, const tag_t* values);
// AOM_set_value_tags of the held list and one more at its end, in place;
// the same write to call logs and injected faults.
int AOM_append_value_tag(tag_t object, const char* name, tag_t value);
int AOM_set_value_null(tag_t object, const char* name);

// Where-referenced view of workspace objects: folders that contain the object
// (relation name "contents"), primaries of relations whose secondary it is
// (the relation type's name), and objects whose reference properties hold it
// (the property's name), followed up `levels` levels (< 1 means 1). Three
// parallel arrays of *count entries, each one SM block.
int WSOM_where_referenced(tag_t object, int levels, int* count, int** referencerLevels, tag_t** referencers,
                          char*** relations);

// Unit of measure by symbol; 0 with the null tag when there is none.
int UOM_find_by_name(const char* name, tag_t* unit);

// A property of one object as an object (AOM_ask_property).
class OstraProperty {
public:
    OstraProperty(tag_t object, std::string name) : m_object(object), m_name(std::move(name)) {}
    virtual ~OstraProperty() = default;
    tag_t object() const { return m_object; }
    const std::string& name() const { return m_name; }

private:
    tag_t m_object;
    std::string m_name;
};
