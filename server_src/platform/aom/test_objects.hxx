#pragma once
// Test and host seam: workspace objects of business types that have no
// creation call of their own (for example "WolfObject", or a folder type
// other than "Folder").
#include "pom/pom_types.hxx"

#include <string>

namespace vl::platform {

// A new workspace object of the type, named `name`, owned by the session's
// user and group, saved and unlocked. ERR_TYPE_NOT_FOUND for an unknown type,
// ERR_WRONG_CLASS for a type whose class is not a workspace object class.
int OBJ_create_workspace_object(const std::string& typeName, const std::string& name, tag_t* object);

}  // namespace vl::platform
