// The BusinessTypes domain: look-ups, the descriptor build, its reset and
// dump, and what it tells the store about types.
#include "propdesc/business_types.hxx"

#include "foundation/error_codes.hxx"

#include <algorithm>

namespace vl::platform::store {

namespace {

const TypeDef* typeIn(const BusinessTypes& s, tag_t type) {
    auto it = s.types.find(type);
    return it == s.types.end() ? nullptr : &it->second;
}

// to = from, unless they are equal already: comparing allocates nothing.
template <class T>
void restoreMember(T& to, const T& from) {
    if (!(to == from)) to = from;
}

tag_t classType(const ClassDef* cls) { return typeOfClass(cls); }

const Slot* typeNameValue(tag_t type) {
    const TypeDef* td = typeDef(type);
    if (!td) return nullptr;
    if (td->nameValue.empty()) td->nameValue = Slot::text(td->name);
    return &td->nameValue;
}

int checkRequired(const Object& o) {
    const BusinessTypes& s = businessTypes();
    const TypeDef* td = typeIn(s, o.type);
    if (!td) return 0;
    const auto& descriptors = s.descriptors;
    for (tag_t dt : td->requiredAttributes) {
        const PropertyDescriptor& d = descriptors.at(dt);
        const Slot& v = o.values[d.m_attr];
        const bool empty = v.empty() || (v.index() == kValueIndex<std::string> && v.firstString().empty());
        if (empty) return fail(ERR_REQUIRED_VALUE, d.m_name);
    }
    return 0;
}

[[maybe_unused]] const bool kRegistered = registerTypeKnowledge({&classType, &typeNameValue, &checkRequired});

}  // namespace

bool BusinessTypes::restore(const Extension& fixture) {
    const auto& f = static_cast<const BusinessTypes&>(fixture);
    if (typeEdits != f.typeEdits) {
        // Fresh copies, not assignment: that would keep the nodes an input
        // added, so the input would end with more blocks than it began.
        types = decltype(types)(f.types);
        typeByName = decltype(typeByName)(f.typeByName);
        typeOfClass = decltype(typeOfClass)(f.typeOfClass);
        descriptors = decltype(descriptors)(f.descriptors);
        typeEdits = f.typeEdits;
    }
    restoreMember(propRules, f.propRules);
    restoreMember(namingRules, f.namingRules);
    restoreMember(nameFields, f.nameFields);
    restoreMember(pseudoFolderProps, f.pseudoFolderProps);
    restoreMember(pseudoFolders, f.pseudoFolders);
    return true;
}

std::string BusinessTypes::dump() const {
    const BusinessTypes& s = *this;
    std::vector<std::string> lines;
    for (const auto& [t, td] : s.types) {
        std::string l = "type " + std::to_string(t) + " " + std::to_string(td.tag) + " " + td.name + " " +
                        std::to_string(td.parent) + " " + (td.cls ? td.cls->name : "-") + " " + td.displayName +
                        " " + td.revisionType + "|" + td.masterFormType + "|" + td.revMasterFormType + " " +
                        std::to_string(td.datasetType) + " properties";
        for (tag_t d : td.properties) l += " " + std::to_string(d);
        l += " required";
        for (tag_t d : td.requiredAttributes) l += " " + std::to_string(d);
        std::map<std::string, tag_t> byName(td.propertyByName.begin(), td.propertyByName.end());
        for (const auto& [name, d] : byName) l += " " + name + ":" + std::to_string(d);
        lines.push_back(std::move(l));
    }
    for (const auto& [name, t] : s.typeByName) lines.push_back("type named " + name + " " + std::to_string(t));
    for (const auto& [cls, t] : s.typeOfClass) lines.push_back("type of " + cls->name + " " + std::to_string(t));
    for (const auto& [t, d] : s.descriptors)
        lines.push_back("descriptor " + std::to_string(t) + " " + std::to_string(d.m_tag) + " " +
                        std::to_string(d.m_type) + " " + d.m_name + "|" + d.m_displayName + "|" + d.m_refClass +
                        "|" + d.m_owningTypeName + " " + std::to_string(d.m_propertyType) + " " +
                        std::to_string(d.m_valueType) + " " + std::to_string(d.m_arraySize) + " " +
                        std::to_string(d.m_maxLength) + " " + std::to_string(d.m_readOnly) +
                        std::to_string(d.m_required) + std::to_string(d.m_enabled) +
                        std::to_string(d.m_modifiable) + std::to_string(d.m_displayable) + " " +
                        std::to_string(d.m_lov) + " " + dumpStrings(d.m_initial) + " " + std::to_string(d.m_attr) +
                        " " + std::to_string(d.m_relationType));    std::string out = joinSorted(std::move(lines));
    auto line = [&](const std::string& l) { out.append(l).push_back('\n'); };
    for (const auto& [key, r] : s.propRules) {
        auto flag = [](const std::optional<bool>& b) { return b ? std::to_string(*b) : std::string("-"); };
        line("rule " + key.first + " " + key.second + " " + flag(r.required) + flag(r.enabled) + flag(r.modifiable) +
             flag(r.displayable) + flag(r.readOnly) + " " + (r.lov ? *r.lov : "-") + "|" +
             (r.displayName ? *r.displayName : "-") + " " + dumpStrings(r.initial) + std::to_string(r.hasInitial) + " " +
             r.complex + " " + std::to_string(r.tag));
    }
    for (const auto& [name, t] : s.namingRules) line("naming " + name + " " + std::to_string(t));
    for (const auto& [key, t] : s.nameFields) line("name field " + key.first + " " + key.second + " " + std::to_string(t));
    for (const auto& [type, property] : s.pseudoFolderProps) line("pseudo folder property " + type + " " + property);
    for (const auto& [key, t] : s.pseudoFolders)
        line("pseudo folder " + std::to_string(key.first) + " " + key.second + " " + std::to_string(t));
    return out;
}

void noteTypeEdit() { ++businessTypes().typeEdits; }

int makeType(const std::string& name, const ClassDef* cls, tag_t parent, const std::string& displayName,
             tag_t* type) {
    BusinessTypes& s = businessTypes();
    if (type) *type = 0;
    if (name.empty()) return fail(ERR_BAD_ARGUMENT, "a type needs a name");
    if (name.size() > OSTRATYPE_name_size_c) return fail(ERR_NAME_TOO_LONG, name);
    if (s.typeByName.count(name)) return fail(ERR_DUPLICATE, "type " + name);
    if (!cls) return fail(ERR_NOT_FOUND, "no class for type " + name);
    const ClassDef* typeClass = classNamed("OstraType");
    if (!typeClass) return fail(ERR_NOT_FOUND, "no class OstraType");
    noteTypeEdit();
    Object& o = create(typeClass, 0);
    o.locked = false;
    initValue(o, "type_name", std::vector<std::string>{name});
    initValue(o, "type_class", std::vector<std::string>{cls->name});
    if (parent) initValue(o, "parent_type", std::vector<tag_t>{parent});
    if (!displayName.empty()) initValue(o, "display_name", std::vector<std::string>{displayName});
    TypeDef td;
    td.tag = o.tag;
    td.name = name;
    td.parent = parent;
    td.cls = cls;
    td.displayName = displayName.empty() ? name : displayName;
    s.types.emplace(o.tag, std::move(td));
    s.typeByName[name] = o.tag;
    if (!s.typeOfClass.count(cls) && cls->name == name) s.typeOfClass[cls] = o.tag;
    if (!o.type) o.type = o.tag;  // the type of types describes itself
    // Types made before the type of types are of that type too.
    if (cls->name == "OstraType" && name == "OstraType")
        for (auto& [t, other] : s.types)
            if (Object* typeObject = find(t)) typeObject->type = o.tag;
    tag_t t = o.tag;
    journalUndo([t, name, cls] {
        noteTypeEdit();
        BusinessTypes& st = businessTypes();
        if (auto it = st.types.find(t); it != st.types.end()) {
            for (tag_t d : it->second.properties) st.descriptors.erase(d);
            st.types.erase(it);
        }
        st.typeByName.erase(name);
        if (auto it = st.typeOfClass.find(cls); it != st.typeOfClass.end() && it->second == t) st.typeOfClass.erase(it);
    });
    if (type) *type = t;
    return 0;
}

const TypeDef* typeDef(tag_t type) { return typeIn(businessTypes(), type); }

const TypeDef* typeNamed(std::string_view name) {
    BusinessTypes& s = businessTypes();
    auto it = s.typeByName.find(name);
    return it == s.typeByName.end() ? nullptr : typeIn(s, it->second);
}

tag_t typeOfClass(const ClassDef* cls) {
    BusinessTypes& s = businessTypes();
    for (const ClassDef* c = cls; c; c = c->parent) {
        auto it = s.typeOfClass.find(c);
        if (it != s.typeOfClass.end()) return it->second;
    }
    return 0;
}

bool typeIsA(tag_t type, std::string_view ancestorName) {
    const BusinessTypes& s = businessTypes();
    for (const TypeDef* t = typeIn(s, type); t; t = typeIn(s, t->parent))
        if (t->name == ancestorName) return true;
    return false;
}

PropertyDescriptor* descriptorOfType(tag_t type, std::string_view name) {
    BusinessTypes& s = businessTypes();
    const TypeDef* td = typeIn(s, type);
    if (!td) return nullptr;
    auto it = td->propertyByName.find(name);
    if (it == td->propertyByName.end()) return nullptr;
    auto dt = s.descriptors.find(it->second);
    return dt == s.descriptors.end() ? nullptr : &dt->second;
}

PropertyDescriptor* descriptorOf(const Object& o, std::string_view name) {
    return descriptorOfType(o.type, name);
}

namespace {

PropertyDescriptor makeAttrDescriptor(const TypeDef& td, const AttrDef& a, int index) {
    PropertyDescriptor d;
    d.m_tag = newTag();
    d.m_type = td.tag;
    d.m_owningTypeName = td.name;
    d.m_name = a.name;
    d.m_propertyType = PROP_attribute;
    d.m_valueType = a.type;
    d.m_arraySize = a.arraySize;
    d.m_maxLength = a.maxLength;
    d.m_refClass = a.refClass;
    d.m_required = a.required;
    d.m_modifiable = !a.system;
    d.m_displayable = a.name != "password";
    d.m_attr = index;
    return d;
}

void applyRule(PropertyDescriptor& d, const PropRuleDef& r) {
    if (r.required) d.m_required = *r.required;
    if (r.enabled) d.m_enabled = *r.enabled;
    if (r.modifiable) d.m_modifiable = *r.modifiable;
    if (r.displayable) d.m_displayable = *r.displayable;
    if (r.readOnly) d.m_readOnly = *r.readOnly;
    if (r.displayName) d.m_displayName = *r.displayName;
    if (r.hasInitial) d.m_initial = r.initial;
    if (r.lov) {
        tag_t lov = findByKey("ListOfValues", *r.lov);
        d.m_lov = lov;
    }
}

void buildTypeDescriptors(BusinessTypes& s, TypeDef& td, const std::vector<tag_t>& relationTypes) {
    ++s.typeEdits;
    for (tag_t old : td.properties) s.descriptors.erase(old);
    td.properties.clear();
    td.requiredAttributes.clear();
    td.propertyByName.clear();
    auto add = [&](PropertyDescriptor d) {
        tag_t t = d.m_tag;
        td.propertyByName[d.m_name] = t;
        td.properties.push_back(t);
        s.descriptors.emplace(t, std::move(d));
    };
    for (int i = 0; i < static_cast<int>(td.cls->attrs.size()); ++i)
        add(makeAttrDescriptor(td, td.cls->attrs[i], i));
    if (td.cls->isA("WorkspaceObject")) {
        PropertyDescriptor d;
        d.m_tag = newTag();
        d.m_type = td.tag;
        d.m_owningTypeName = td.name;
        d.m_name = "object_string";
        d.m_propertyType = PROP_runtime;
        d.m_valueType = PROP_string;
        d.m_modifiable = false;
        add(d);
        for (tag_t rt : relationTypes) {
            const TypeDef* r = typeDef(rt);
            if (!r || td.propertyByName.count(r->name)) continue;
            PropertyDescriptor rd;
            rd.m_tag = newTag();
            rd.m_type = td.tag;
            rd.m_owningTypeName = td.name;
            rd.m_name = r->name;
            rd.m_displayName = r->displayName;
            rd.m_propertyType = PROP_relation;
            rd.m_valueType = PROP_typed_relation;
            rd.m_arraySize = -1;
            rd.m_modifiable = false;
            rd.m_relationType = rt;
            add(rd);
        }
    }
    // Rules of the ancestors first, so a subtype's own rule wins.
    std::vector<const TypeDef*> chain;
    for (const TypeDef* t = &td; t; t = typeDef(t->parent)) chain.push_back(t);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (tag_t dt : td.properties) {
            PropertyDescriptor& d = s.descriptors.at(dt);
            auto rule = s.propRules.find({(*it)->name, d.m_name});
            if (rule != s.propRules.end()) applyRule(d, rule->second);
        }
    for (tag_t dt : td.properties) {
        const PropertyDescriptor& d = s.descriptors.at(dt);
        if (d.m_required && d.m_propertyType == PROP_attribute && d.m_attr >= 0) td.requiredAttributes.push_back(dt);
    }
}

}  // namespace

void buildDescriptors() {
    BusinessTypes& s = businessTypes();
    std::vector<tag_t> relationTypes;
    std::vector<tag_t> all;
    for (auto& [t, td] : s.types) {
        all.push_back(t);
        if (td.cls->isA("Relation")) relationTypes.push_back(t);
    }
    auto bySerial = [&](tag_t a, tag_t b) { return a < b; };
    std::sort(relationTypes.begin(), relationTypes.end(), bySerial);
    std::sort(all.begin(), all.end(), bySerial);
    for (tag_t t : all) buildTypeDescriptors(s, s.types.at(t), relationTypes);
}

void buildDescriptorsOf(tag_t type) {
    BusinessTypes& s = businessTypes();
    std::vector<tag_t> relationTypes;
    for (auto& [t, td] : s.types)
        if (td.cls->isA("Relation")) relationTypes.push_back(t);
    std::sort(relationTypes.begin(), relationTypes.end());
    buildTypeDescriptors(s, s.types.at(type), relationTypes);
}


tag_t nameFieldOf(std::string_view type, std::string_view property) {
    const auto& f = businessTypes().nameFields;
    auto it = f.find(std::pair<std::string_view, std::string_view>(type, property));
    return it == f.end() ? 0 : it->second;
}


}  // namespace vl::platform::store
