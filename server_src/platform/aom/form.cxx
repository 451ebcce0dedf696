#include "aom/form.hxx"

#include "aom/aom_state.hxx"
#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

namespace vl::platform::aom {

int createForm(const std::string& formType, const std::string& name, const std::string& description,
               tag_t* form) {
    if (form) *form = 0;
    const TypeDef* t = typeNamed(formType);
    if (!t || !t->cls->isA("Form")) return fail(ERR_NOT_A_FORM_TYPE, formType);
    PropertyDescriptor* dn = descriptorOfType(t->tag, "object_name");
    if (dn && dn->m_maxLength > 0 && static_cast<int>(name.size()) > dn->m_maxLength)
        return fail(ERR_STRING_TOO_LONG, "object_name");
    Object& f = create(t->cls, t->tag);
    initValue(f, "object_name", std::vector<std::string>{name});
    if (!description.empty()) initValue(f, "object_desc", std::vector<std::string>{description});
    // Initial values of the form type's fields.
    for (tag_t dt : t->properties) {
        const PropertyDescriptor& d = businessTypes().descriptors.at(dt);
        if (d.m_propertyType != PROP_attribute || d.m_initial.empty() || d.m_name == "object_name") continue;
        Value v;
        std::vector<std::string> init = d.m_arraySize == 1 ? std::vector<std::string>{d.m_initial[0]} : d.m_initial;
        if (parseTexts(d, init, &v) == 0) initValue(f, d.m_name, std::move(v));
    }
    if (form) *form = f.tag;
    return 0;
}

}  // namespace vl::platform::aom

int FORM_create(const char* name, const char* description, const char* formType, tag_t* form) {
    VL_ENTER("FORM_create", 0);
    if (form) *form = 0;
    if (!name || !*name) return fail(ERR_BAD_ARGUMENT, "a form needs a name");
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    return aom::createForm(formType ? formType : "", name, description ? description : "", form);
}

static int formTypeOf(tag_t formOrType, const TypeDef** out) {
    Object* o = nullptr;
    if (int rc = need(formOrType, &o)) return rc;
    const TypeDef* t = o->cls->isA("OstraType") ? typeDef(o->tag) : typeDef(o->type);
    if (!t || !t->cls->isA("Form")) return fail(ERR_NOT_A_FORM_TYPE, o->uid);
    *out = t;
    return 0;
}

int FORM___is_pomstore_form(tag_t formOrType, bool* isPomStore) {
    VL_ENTER("FORM___is_pomstore_form", formOrType);
    if (isPomStore) *isPomStore = false;
    const TypeDef* t = nullptr;
    if (int rc = formTypeOf(formOrType, &t)) return rc;
    if (isPomStore) *isPomStore = extension<aom::ApplicationRules>().fileFormTypes.count(t->tag) == 0;
    return 0;
}

int FORM_ask_property_descriptors(tag_t formOrType, int* count, tag_t** descriptors) {
    VL_ENTER("FORM_ask_property_descriptors", formOrType);
    if (count) *count = 0;
    if (descriptors) *descriptors = nullptr;
    const TypeDef* t = nullptr;
    if (int rc = formTypeOf(formOrType, &t)) return rc;
    std::vector<tag_t> own;
    for (tag_t dt : t->properties) {
        const PropertyDescriptor& d = businessTypes().descriptors.at(dt);
        if (d.m_propertyType != PROP_attribute) continue;
        const std::string& decl = t->cls->attrs[d.m_attr].declaringClass;
        const ClassDef* dc = classNamed(decl);
        if (dc && dc->isA("Form") && dc->name != "Form") own.push_back(dt);
    }
    if (count) *count = static_cast<int>(own.size());
    if (descriptors) {
        auto* p = static_cast<tag_t*>(SM_alloc_persistent(sizeof(tag_t) * own.size()));
        if (!own.empty()) std::memcpy(p, own.data(), sizeof(tag_t) * own.size());
        *descriptors = p;
    }
    return 0;
}

int FORM__ask_ostrafile_values(tag_t formOrType, FORM_field_s** fields) {
    VL_ENTER("FORM__ask_ostrafile_values", formOrType);
    if (fields) *fields = nullptr;
    const TypeDef* t = nullptr;
    if (int rc = formTypeOf(formOrType, &t)) return rc;
    // A file-held form type lists its class's own fields; any other type only
    // the terminator.
    std::vector<const AttrDef*> own;
    if (extension<aom::ApplicationRules>().fileFormTypes.count(t->tag))
        for (const AttrDef& attr : t->cls->attrs)
            if (attr.declaringClass == t->cls->name) own.push_back(&attr);
    if (fields) {
        auto* f = static_cast<FORM_field_s*>(SM_alloc_persistent(sizeof(FORM_field_s) * (own.size() + 1)));
        std::memset(f, 0, sizeof(FORM_field_s) * (own.size() + 1));
        for (std::size_t i = 0; i < own.size(); ++i) {
            std::strncpy(f[i].name, own[i]->name.c_str(), sizeof f[i].name - 1);
            f[i].valid = 1;
            f[i].value_type = own[i]->type;
        }
        *fields = f;
    }
    return 0;
}

void FORM_free_values(FORM_field_s* fields) { SM_free(fields); }
