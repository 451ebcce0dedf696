#include "aom/ostratype.hxx"

#include "aom/aom_state.hxx"
#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

int needType(tag_t type, const TypeDef** out) {
    if (int rc = need(type, nullptr)) return rc;
    const TypeDef* td = typeDef(type);
    if (!td) return fail(ERR_TYPE_NOT_FOUND, "not a type");
    *out = td;
    return 0;
}

void copyName(const std::string& name, char* buffer) {
    std::size_t n = std::min<std::size_t>(name.size(), OSTRATYPE_name_size_c);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
}

}  // namespace

int OSTRATYPE_find_type(const char* typeName, const char* className, tag_t* type) {
    VL_ENTER("OSTRATYPE_find_type", 0);
    if (type) *type = 0;
    const TypeDef* td = typeName ? typeNamed(typeName) : nullptr;
    if (!td || (className && *className && !td->cls->isA(className)))
        return fail(ERR_TYPE_NOT_FOUND, std::string(typeName ? typeName : "") + " of class " +
                                            (className ? className : ""));
    if (type) *type = td->tag;
    return 0;
}

int OSTRATYPE_ask_type(const char* typeName, tag_t* type) {
    VL_ENTER("OSTRATYPE_ask_type", 0);
    if (type) *type = 0;
    const TypeDef* td = typeName ? typeNamed(typeName) : nullptr;
    if (!td) return fail(ERR_TYPE_NOT_FOUND, typeName ? typeName : "");
    if (type) *type = td->tag;
    return 0;
}

int OSTRATYPE_ask_type_in_cache(const char* typeName, tag_t* type) {
    VL_ENTER("OSTRATYPE_ask_type_in_cache", 0);
    const TypeDef* td = typeName ? typeNamed(typeName) : nullptr;
    if (type) *type = td ? td->tag : 0;
    return 0;
}

int OSTRATYPE_ask_object_type(tag_t object, tag_t* type) {
    VL_ENTER("OSTRATYPE_ask_object_type", object);
    if (type) *type = 0;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (!o->type) return fail(ERR_TYPE_NOT_FOUND, "object has no type");
    if (type) *type = o->type;
    return 0;
}

int OSTRATYPE_ask_name(tag_t type, char name[OSTRATYPE_name_size_c + 1]) {
    VL_ENTER("OSTRATYPE_ask_name", type);
    if (name) name[0] = '\0';
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (name) copyName(td->name, name);
    return 0;
}

int OSTRATYPE_ask_name2(tag_t type, char** name) {
    VL_ENTER("OSTRATYPE_ask_name2", type);
    if (name) *name = nullptr;
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (name) *name = SM_string_copy_persistent(td->name.c_str());
    return 0;
}

int OSTRATYPE_ask_parent_type(tag_t type, tag_t* parent) {
    VL_ENTER("OSTRATYPE_ask_parent_type", type);
    if (parent) *parent = 0;
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (parent) *parent = td->parent;
    return 0;
}

int OSTRATYPE_ask_class_name(tag_t type, char className[OSTRATYPE_name_size_c + 1]) {
    VL_ENTER("OSTRATYPE_ask_class_name", type);
    if (className) className[0] = '\0';
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (className) copyName(td->cls->name, className);
    return 0;
}

int OSTRATYPE_ask_display_name(tag_t type, char** displayName) {
    VL_ENTER("OSTRATYPE_ask_display_name", type);
    if (displayName) *displayName = nullptr;
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (displayName) *displayName = SM_string_copy_persistent(td->displayName.c_str());
    return 0;
}

int OSTRATYPE_create(const char* typeName, const char* className, tag_t* type) {
    VL_ENTER("OSTRATYPE_create", 0);
    if (type) *type = 0;
    const ClassDef* cls = className ? classNamed(className) : nullptr;
    if (!cls) return fail(ERR_NOT_FOUND, std::string("no class ") + (className ? className : ""));
    tag_t parent = cls->parent ? typeOfClass(cls->parent) : 0;
    tag_t t = 0;
    if (int rc = makeType(typeName ? typeName : "", cls, parent, "", &t)) return rc;
    buildDescriptorsOf(t);
    if (type) *type = t;
    return 0;
}

int OSTRATYPE_ask_property_by_name(tag_t type, const char* propertyName, tag_t* descriptor) {
    VL_ENTER("OSTRATYPE_ask_property_by_name", type);
    if (descriptor) *descriptor = 0;
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    auto it = propertyName ? td->propertyByName.find(propertyName) : td->propertyByName.end();
    if (it == td->propertyByName.end())
        return fail(ERR_NO_SUCH_ATTRIBUTE, std::string(propertyName ? propertyName : "") + " of " + td->name);
    if (descriptor) *descriptor = it->second;
    return 0;
}

int OSTRATYPE_list_properties(tag_t type, int* count, tag_t** descriptors) {
    VL_ENTER("OSTRATYPE_list_properties", type);
    if (count) *count = 0;
    if (descriptors) *descriptors = nullptr;
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (count) *count = static_cast<int>(td->properties.size());
    if (descriptors) {
        auto* p = static_cast<tag_t*>(SM_alloc_persistent(sizeof(tag_t) * td->properties.size()));
        for (std::size_t i = 0; i < td->properties.size(); ++i) p[i] = td->properties[i];
        *descriptors = p;
    }
    return 0;
}

int OSTRATYPE_is_type_of(tag_t type, const char* typeName, bool* isType) {
    VL_ENTER("OSTRATYPE_is_type_of", type);
    if (isType) *isType = false;
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return rc;
    if (isType) *isType = typeName && typeIsA(type, typeName);
    return 0;
}

namespace vl::platform {
std::string OSTRATYPE_name_of(tag_t type) {
    const TypeDef* td = typeDef(type);
    return td ? td->name : std::string();
}
}  // namespace vl::platform

status_t OstraType::describe(OrderedCollection<PropertyDescriptor>** collection) const {
    if (collection) *collection = nullptr;
    if (int rc = enter("OstraType::describe", m_type)) return status_t(rc);
    const TypeDef* td = nullptr;
    if (int rc = needType(m_type, &td)) return status_t(rc);
    std::vector<PropertyDescriptor*> descriptors;
    descriptors.reserve(td->properties.size());
    for (tag_t d : td->properties) descriptors.push_back(&businessTypes().descriptors.at(d));
    m_described = std::make_unique<VectorCollection<PropertyDescriptor>>(std::move(descriptors));
    if (collection) *collection = m_described.get();
    return status_t::OK;
}

bool OstraType::suspendClientServerUpdateList(const char*, int) {
    enter("OstraType::suspendClientServerUpdateList");
    aom::UpdateList& s = extension<aom::UpdateList>();
    if (s.suspended) return false;
    s.suspended = true;
    return true;
}

bool OstraType::resumeClientServerUpdateList(const char*, int) {
    enter("OstraType::resumeClientServerUpdateList");
    aom::UpdateList& s = extension<aom::UpdateList>();
    bool was = s.suspended;
    s.suspended = false;
    return was;
}

void OstraType::enableClientServerUpdateList(int enable, const char*, int) {
    enter("OstraType::enableClientServerUpdateList");
    extension<aom::UpdateList>().enabled = enable != 0;
}

bool OstraType::isClientServerUpdateListSuspended() { return extension<aom::UpdateList>().suspended; }
bool OstraType::isClientServerUpdateListEnabled() { return extension<aom::UpdateList>().enabled; }

void OstraType::addToChangedTagList(tag_t tag, const char*) {
    enter("OstraType::addToChangedTagList", tag);
    aom::UpdateList& s = extension<aom::UpdateList>();
    if (!s.enabled) return;
    s.changedTags.push_back(tag);
}

std::vector<tag_t> OstraType::changedTagList() { return extension<aom::UpdateList>().changedTags; }
void OstraType::clearChangedTagList() { extension<aom::UpdateList>().changedTags.clear(); }

status_t OstraTypeP::isTypeOf(tag_t type, const char* typeName, bool& result) {
    result = false;
    if (int rc = enter("OstraTypeP::isTypeOf", type)) return status_t(rc);
    const TypeDef* td = nullptr;
    if (int rc = needType(type, &td)) return status_t(rc);
    result = typeName && typeIsA(type, typeName);
    return status_t::OK;
}

void OstraServerEventService::shutdown() {
    enter("OstraServerEventService::shutdown");
    extension<aom::UpdateList>().eventServiceRunning = false;
}

bool OstraServerEventService::isRunning() { return extension<aom::UpdateList>().eventServiceRunning; }

namespace vl::platform::aom {

std::string UpdateList::dump() const {
    std::string out = "changed";
    for (tag_t t : changedTags) out += " " + std::to_string(t);
    return out + "\nflags " + std::to_string(suspended) + std::to_string(enabled) + std::to_string(eventServiceRunning) +
           "\n";
}

std::string ApplicationRules::dump() const {
    std::string out;
    for (const DeepCopyRule& r : deepCopyRules)
        out += "deep copy " + r.revisionType + " " + r.action + " " + r.relationType + " " + std::to_string(r.copy) + "\n";
    for (tag_t t : fileFormTypes) out += "file form " + std::to_string(t) + "\n";
    return out;
}

}  // namespace vl::platform::aom
