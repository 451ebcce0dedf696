// Property descriptors, lists of values, property and naming rules, pseudo
// folders, and the loaded classes of rules and lists it registers.
#include "propdesc/property_descriptor.hxx"

#include "aom/aom.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/vl_string.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cctype>
#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

void PropertyDescriptor::setReadWrite() {
    noteTypeEdit();
    m_readOnly = false;
}

void PropertyDescriptor::setReadOnly() {
    noteTypeEdit();
    m_readOnly = true;
}

status_t PropertyDescriptor::isDisplayable(bool* displayable) const {
    if (displayable) *displayable = m_displayable;
    return status_t::OK;
}

status_t PropertyDescriptor::presentationName(String& out) const {
    out = String(displayName());
    return status_t::OK;
}

int PropertyDescriptor::askLOVAttachSpecifier() const {
    const Object* lov = find(m_lov);
    if (!lov) return 0;
    return getLogical(*lov, "exhaustive") ? 1 : 2;
}

int PropertyDescriptor::askListOfValues(ListOfValues** out) const {
    if (out) *out = nullptr;
    if (int rc = enter("PropertyDescriptor::askListOfValues", m_tag)) return rc;
    if (out && find(m_lov)) *out = new ListOfValues(m_lov);
    return 0;
}

int PropertyDescriptor::askPropertyDescriptor(tag_t descriptor, PropertyDescriptor** out) {
    VL_ENTER("PropertyDescriptor::askPropertyDescriptor", descriptor);
    if (out) *out = nullptr;
    auto& d = businessTypes().descriptors;
    auto it = d.find(descriptor);
    if (it == d.end()) return fail(ERR_INVALID_TAG, "not a property descriptor");
    if (out) *out = &it->second;
    return 0;
}

int PROPDESC_ask_lov(tag_t descriptor, tag_t* lov) {
    VL_ENTER("PROPDESC_ask_lov", descriptor);
    if (lov) *lov = 0;
    auto& d = businessTypes().descriptors;
    auto it = d.find(descriptor);
    if (it == d.end()) return fail(ERR_INVALID_TAG, "not a property descriptor");
    if (lov) *lov = find(it->second.m_lov) ? it->second.m_lov : 0;
    return 0;
}

// --- lists of values ---

std::string ListOfValues::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "lov_name") : std::string();
}

bool ListOfValues::isExhaustive() const {
    const Object* o = find(tag());
    return o && getLogical(*o, "exhaustive");
}

std::vector<std::string> ListOfValues::values() const {
    const Object* o = find(tag());
    if (!o) return {};
    if (isReference(static_cast<PROP_value_type_e>(getInt(*o, "lov_type", PROP_string)))) {
        std::vector<std::string> out;
        for (tag_t t : getTags(*o, "lov_tags")) out.push_back(find(t) ? find(t)->uid.str() : std::string());
        return out;
    }
    return getStrings(*o, "lov_values");
}

std::vector<std::string> ListOfValues::displayValues() const {
    const Object* o = find(tag());
    if (!o) return {};
    std::vector<std::string> v = values();
    std::vector<std::string> d = getStrings(*o, "lov_displays");
    for (std::size_t i = 0; i < v.size(); ++i)
        if (i >= d.size() || d[i].empty()) {
            if (i >= d.size()) d.resize(i + 1);
            d[i] = v[i];
        }
    d.resize(v.size());
    return d;
}

// Properties of the type whose list of values is this one, other than the
// asking one: they change together.
int ListOfValues::askInterdependents(tag_t type, const char* property, int* count, char*** names) const {
    if (count) *count = 0;
    if (names) *names = nullptr;
    if (int rc = enter("ListOfValues::askInterdependents", tag())) return rc;
    const TypeDef* td = typeDef(type);
    if (!td) return fail(ERR_TYPE_NOT_FOUND);
    std::vector<std::string> out;
    for (tag_t dt : td->properties) {
        const PropertyDescriptor& d = businessTypes().descriptors.at(dt);
        if (d.m_lov == tag() && (!property || d.m_name != property)) out.push_back(d.m_name);
    }
    if (count) *count = static_cast<int>(out.size());
    if (names) *names = SM_pack_string_range(out);
    return 0;
}

int ListOfValues::askInterdependents(tag_t descriptor, int* count, char*** names) const {
    auto& d = businessTypes().descriptors;
    auto it = d.find(descriptor);
    if (it == d.end()) {
        if (count) *count = 0;
        if (names) *names = nullptr;
        return fail(ERR_INVALID_TAG, "not a property descriptor");
    }
    return askInterdependents(it->second.m_type, it->second.m_name.c_str(), count, names);
}

namespace {

int needLov(tag_t lov, Object** out) { return need(lov, "ListOfValues", out); }

}  // namespace

int LOV_find(const char* name, tag_t* lov) {
    VL_ENTER("LOV_find", 0);
    if (lov) *lov = name && *name ? findByKey("ListOfValues", name) : 0;
    return 0;
}

int LOV_ask_name(tag_t lov, char** name) {
    VL_ENTER("LOV_ask_name", lov);
    if (name) *name = nullptr;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    if (name) *name = SM_string_copy_persistent(getString(*o, "lov_name").c_str());
    return 0;
}

int LOV_ask_type(tag_t lov, PROP_value_type_e* type) {
    VL_ENTER("LOV_ask_type", lov);
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    if (type) *type = static_cast<PROP_value_type_e>(getInt(*o, "lov_type", PROP_string));
    return 0;
}

int LOV_ask_num_of_values(tag_t lov, int* count) {
    VL_ENTER("LOV_ask_num_of_values", lov);
    if (count) *count = 0;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    if (count) *count = static_cast<int>(ListOfValues(lov).values().size());
    return 0;
}

int LOV_ask_values_string(tag_t lov, int* count, char*** values) {
    VL_ENTER("LOV_ask_values_string", lov);
    if (count) *count = 0;
    if (values) *values = nullptr;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    std::vector<std::string> v = ListOfValues(lov).values();
    if (count) *count = static_cast<int>(v.size());
    if (values) *values = SM_pack_string_range(v);
    return 0;
}

int LOV_ask_values_int(tag_t lov, int* count, int** values) {
    VL_ENTER("LOV_ask_values_int", lov);
    if (count) *count = 0;
    if (values) *values = nullptr;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    std::vector<std::string> v = getStrings(*o, "lov_values");
    auto* p = static_cast<int*>(SM_alloc_persistent(sizeof(int) * v.size()));
    for (std::size_t i = 0; i < v.size(); ++i) p[i] = std::atoi(v[i].c_str());
    if (count) *count = static_cast<int>(v.size());
    if (values)
        *values = p;
    else
        SM_free(p);
    return 0;
}

int LOV_ask_values_double(tag_t lov, int* count, double** values) {
    VL_ENTER("LOV_ask_values_double", lov);
    if (count) *count = 0;
    if (values) *values = nullptr;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    std::vector<std::string> v = getStrings(*o, "lov_values");
    auto* p = static_cast<double*>(SM_alloc_persistent(sizeof(double) * v.size()));
    for (std::size_t i = 0; i < v.size(); ++i) p[i] = std::atof(v[i].c_str());
    if (count) *count = static_cast<int>(v.size());
    if (values)
        *values = p;
    else
        SM_free(p);
    return 0;
}

int LOV_ask_values_tag(tag_t lov, int* count, tag_t** values) {
    VL_ENTER("LOV_ask_values_tag", lov);
    if (count) *count = 0;
    if (values) *values = nullptr;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    std::vector<tag_t> v = getTags(*o, "lov_tags");
    auto* p = static_cast<tag_t*>(SM_alloc_persistent(sizeof(tag_t) * v.size()));
    if (!v.empty()) std::memcpy(p, v.data(), sizeof(tag_t) * v.size());
    if (count) *count = static_cast<int>(v.size());
    if (values)
        *values = p;
    else
        SM_free(p);
    return 0;
}

int LOV_ask_value_displays(tag_t lov, int* count, char*** displays) {
    VL_ENTER("LOV_ask_value_displays", lov);
    if (count) *count = 0;
    if (displays) *displays = nullptr;
    Object* o = nullptr;
    if (int rc = needLov(lov, &o)) return rc;
    std::vector<std::string> v = ListOfValues(lov).displayValues();
    if (count) *count = static_cast<int>(v.size());
    if (displays) *displays = SM_pack_string_range(v);
    return 0;
}

int LOV_find_attached_prop(const char* typeName, const char* propertyName, tag_t* lov) {
    if (lov) *lov = 0;
    VL_ENTER("LOV_find_attached_prop", 0);
    const TypeDef* td = typeName ? typeNamed(typeName) : nullptr;
    if (!td) return fail(ERR_TYPE_NOT_FOUND, typeName ? typeName : "");
    PropertyDescriptor* d = propertyName ? descriptorOfType(td->tag, propertyName) : nullptr;
    if (!d) return fail(ERR_NO_SUCH_ATTRIBUTE, propertyName ? propertyName : "");
    if (lov) *lov = find(d->m_lov) ? d->m_lov : 0;
    return 0;
}

// --- property and naming rules ---

status_t PropRule::find(const char* typeName, const char* propertyName, tag_t* rule) {
    if (int rc = enter("PropRule::find")) return status_t(rc);
    if (rule) *rule = 0;
    if (!typeName || !propertyName) return status_t::OK;
    auto& rules = businessTypes().propRules;
    auto it = rules.find({typeName, propertyName});
    if (it != rules.end() && rule) *rule = it->second.tag;
    return status_t::OK;
}

namespace {

// A count and one SM block of strings (null for none).
void handStrings(const std::vector<std::string>& v, int* count, char*** out) {
    if (count) *count = static_cast<int>(v.size());
    if (out) *out = v.empty() ? nullptr : SM_pack_string_range(v);
}

int ruleString(tag_t rule, const char* className, const char* attribute, char** out) {
    if (out) *out = nullptr;
    Object* o = nullptr;
    if (int rc = need(rule, className, &o)) return rc;
    if (out) *out = SM_string_copy_persistent(getString(*o, attribute).c_str());
    return 0;
}

int ruleStrings(tag_t rule, const char* className, const char* attribute, int* count, char*** out) {
    if (count) *count = 0;
    if (out) *out = nullptr;
    Object* o = nullptr;
    if (int rc = need(rule, className, &o)) return rc;
    handStrings(getStrings(*o, attribute), count, out);
    return 0;
}

}  // namespace

status_t PropRule::askProperty(char** propertyName) const {
    if (int rc = enter("PropRule::askProperty", tag())) return status_t(rc);
    return status_t(ruleString(tag(), "PropRule", "property_name", propertyName));
}

status_t PropRule::askInitialValue(int* count, char*** values) const {
    if (int rc = enter("PropRule::askInitialValue", tag())) return status_t(rc);
    return status_t(ruleStrings(tag(), "PropRule", "initial", count, values));
}

status_t PropRule::askComplexProperty(char** value) const {
    if (int rc = enter("PropRule::askComplexProperty", tag())) return status_t(rc);
    return status_t(ruleString(tag(), "PropRule", "complex", value));
}

status_t NameRule::askPatterns(int* count, char*** patterns) const {
    if (int rc = enter("NameRule::askPatterns", tag())) return status_t(rc);
    return status_t(ruleStrings(tag(), "NameRule", "patterns", count, patterns));
}

namespace {

bool matchPattern(const std::string& pattern, const std::string& value) {
    std::size_t v = 0;
    for (std::size_t p = 0; p < pattern.size(); ++p, ++v) {
        if (v >= value.size()) return false;
        unsigned char c = static_cast<unsigned char>(value[v]);
        char pc = pattern[p];
        if (pc == '\\' && p + 1 < pattern.size()) {
            if (value[v] != pattern[++p]) return false;
        } else if (pc == 'n') {
            if (!std::isdigit(c)) return false;
        } else if (pc == 'a') {
            if (!std::isalpha(c)) return false;
        } else if (pc == '@') {
            if (!std::isalnum(c)) return false;
        } else if (pc == '?') {
        } else if (value[v] != pc) {
            return false;
        }
    }
    return v == value.size();
}

}  // namespace

bool NameRule::matches(const std::string& value) const {
    const Object* o = store::find(tag());
    if (!o) return true;
    std::vector<std::string> patterns = getStrings(*o, "patterns");
    if (patterns.empty()) return true;
    for (const auto& p : patterns)
        if (matchPattern(p, value)) return true;
    return false;
}

status_t NameField::find(const char* typeName, const char* propertyName, tag_t* field) {
    if (int rc = enter("NameField::find")) return status_t(rc);
    if (field) *field = 0;
    if (!typeName || !propertyName) return status_t::OK;
    auto& f = businessTypes().nameFields;
    auto it = f.find({typeName, propertyName});
    if (it != f.end() && field) *field = it->second;
    return status_t::OK;
}

status_t NameField::askRuleTag(tag_t* rule) const {
    if (rule) *rule = 0;
    if (int rc = enter("NameField::askRuleTag", tag())) return status_t(rc);
    Object* o = nullptr;
    if (int rc = need(tag(), "NameField", &o)) return status_t(rc);
    if (rule) *rule = getTag(*o, "rule");
    return status_t::OK;
}

namespace vl::platform {

bool NAMING_check(const std::string& typeName, const std::string& propertyName, std::string_view value) {
    BusinessTypes& s = businessTypes();
    // Few properties have naming rules: most writes need no walk of the types.
    bool ruled = false;
    for (auto f = s.nameFields.begin(); !ruled && f != s.nameFields.end(); ++f) ruled = f->first.second == propertyName;
    if (!ruled) return true;
    for (const TypeDef* t = typeNamed(typeName); t; t = typeDef(t->parent)) {
        tag_t fieldTag = nameFieldOf(t->name, propertyName);
        if (!fieldTag) continue;
        const Object* field = find(fieldTag);
        if (!field) return true;
        return NameRule(getTag(*field, "rule")).matches(std::string(value));
    }
    return true;
}

}  // namespace vl::platform

tag_t PseudoFolder::askPseudoFolder(OstraProperty* property) {
    enter("PseudoFolder::askPseudoFolder");
    if (!property) return 0;
    const Object* o = find(property->object());
    if (!o) return 0;
    BusinessTypes& s = businessTypes();
    bool declared = false;
    for (const TypeDef* t = typeDef(o->type); t && !declared; t = typeDef(t->parent))
        declared = s.pseudoFolderProps.count({t->name, property->name()}) > 0;
    if (!declared) return 0;
    auto key = std::make_pair(property->object(), property->name());
    auto it = s.pseudoFolders.find(key);
    if (it != s.pseudoFolders.end() && find(it->second)) return it->second;
    Object& pf = create("PseudoFolder");
    pf.locked = false;
    initValue(pf, "owner_object", std::vector<tag_t>{property->object()});
    initValue(pf, "property_name", std::vector<std::string>{property->name()});
    s.pseudoFolders[key] = pf.tag;
    return pf.tag;
}

namespace {

std::string lovName(const Object& o) { return getString(o, "lov_name"); }

[[maybe_unused]] const bool kRegistered =
    registerLoadedClass("ListOfValues", &makeLoaded<ListOfValues>) &&
    registerLoadedClass("PropRule", &makeLoaded<PropRule>) && registerLoadedClass("NameRule", &makeLoaded<NameRule>) &&
    registerLoadedClass("NameField", &makeLoaded<NameField>) && registerDisplayName("ListOfValues", &lovName);

}  // namespace
