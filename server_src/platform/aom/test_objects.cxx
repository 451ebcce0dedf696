// Test and host seam: workspace objects of any workspace business type.
#include "aom/test_objects.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"

namespace vl::platform {

using namespace store;

int OBJ_create_workspace_object(const std::string& typeName, const std::string& name, tag_t* object) {
    VL_ENTER("OBJ_create_workspace_object", 0);
    if (object) *object = 0;
    const TypeDef* type = typeNamed(typeName);
    if (!type) return fail(ERR_TYPE_NOT_FOUND, typeName);
    if (!type->cls->isA("WorkspaceObject")) return fail(ERR_WRONG_CLASS, typeName);
    Object& made = create(type->cls, type->tag);
    initValue(made, "object_name", std::vector<std::string>{name});
    if (int rc = save(made)) return rc;
    unlock(made);
    if (object) *object = made.tag;
    return 0;
}

}  // namespace vl::platform
