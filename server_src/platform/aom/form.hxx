#pragma once
// Forms: workspace objects whose form type's class carries the form's fields
// as attributes.
#include "pom/pom_types.hxx"

#include <string>

namespace vl::platform::aom {
// A new form of a form type (no checks but the type), open for change.
int createForm(const std::string& formType, const std::string& name, const std::string& description,
               tag_t* form);
}  // namespace vl::platform::aom

// A new form of the form type, open for change. Refused for an empty name or a
// type that is not a form type.
int FORM_create(const char* name, const char* description, const char* formType, tag_t* form);
// *isPomStore: the form's (or form type's) fields are described by property
// descriptors; false for a file-held form type (`fileform`) and its forms.
int FORM___is_pomstore_form(tag_t formOrType, bool* isPomStore);
// The descriptor tags of the form type's own fields (one SM block).
int FORM_ask_property_descriptors(tag_t formOrType, int* count, tag_t** descriptors);

// One field of a form whose values live in a file (36 bytes): the list that
// FORM__ask_ostrafile_values gives ends at the first record whose `valid`
// word (byte offset 28) is 0. A file-held form type lists its class's own
// fields (which stay attributes of its forms); any other only the terminator.
struct FORM_field_s {
    char name[28];
    int valid;
    int value_type;
};
static_assert(sizeof(FORM_field_s) == 36, "a form field record is 36 bytes");
int FORM__ask_ostrafile_values(tag_t formOrType, FORM_field_s** fields);  // free with FORM_free_values
void FORM_free_values(FORM_field_s* fields);
