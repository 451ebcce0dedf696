// Lists, rules and naming rules are platform-kept objects and store rules,
// checked against the types and lists declared before them.
#include "propdesc/property_statements.hxx"

#include "propdesc/property_descriptor.hxx"

namespace vl::platform::propdesc {

namespace {

using namespace site;
using namespace store;

void doLov(Args& a, Fixture& f) {
    std::string name = a.word(0, "list name");
    PROP_value_type_e type = valueTypeNamed(a.word(1, "value type"));
    a.consumed(2);
    if (!validName(name) || name.size() > 32) bad("bad list name \"" + name + "\"");
    unclaimed("ListOfValues", name, "list");
    std::vector<std::string> values = a.list("values");
    std::vector<std::string> displays = a.list("displays");
    if (!displays.empty() && displays.size() != values.size()) bad("displays= must match values= one to one");
    Object& l = f.newObject("ListOfValues");
    initValue(l, "lov_name", std::vector<std::string>{name});
    initValue(l, "lov_type", std::vector<int>{type});
    initValue(l, "exhaustive", std::vector<char>{static_cast<char>(a.flag("exhaustive") ? 1 : 0)});
    initValue(l, "lov_displays", displays);
    if (isReference(type)) {
        std::vector<tag_t> tags;
        for (const auto& v : values) tags.push_back(f.objectRef(v));
        tag_t lt = l.tag;
        initValue(*find(lt), "lov_tags", tags);
    } else {
        PropertyDescriptor probe;
        probe.m_name = name;
        probe.m_valueType = type;
        Value parsed;
        if (parseTexts(probe, values, &parsed)) bad("a value of list " + name + " is not a " + a.word(1, ""));
        initValue(l, "lov_values", values);
    }
}

void doProp(Args& a, Fixture& f) {
    std::string type = a.word(0, "type");
    std::string prop = a.word(1, "property");
    a.consumed(2);
    const TypeDef* t = f.typeOf(type);
    if (!descriptorOfType(t->tag, prop)) bad("type " + type + " has no property " + prop);
    PropRuleDef& r = businessTypes().propRules[{type, prop}];
    auto tri = [&](const char* key, std::optional<bool>& field) {
        if (a.flag(key)) field = true;
        if (a.has(key)) field = onOff(a.opt(key));
    };
    tri("required", r.required);
    tri("enabled", r.enabled);
    tri("modifiable", r.modifiable);
    tri("displayable", r.displayable);
    tri("readonly", r.readOnly);
    if (a.has("lov")) {
        std::string l = a.opt("lov");
        existing("ListOfValues", l, "list of values");
        r.lov = l;
    }
    if (a.has("display")) r.displayName = a.opt("display");
    if (a.has("initial")) {
        r.initial = a.list("initial");
        r.hasInitial = true;
    }
    r.complex = a.opt("complex");
    if (!r.tag) {
        Object& o = f.newObject("PropRule");
        initValue(o, "type_name", std::vector<std::string>{type});
        initValue(o, "property_name", std::vector<std::string>{prop});
        r.tag = o.tag;
    }
    Object& o = *find(r.tag);
    initValue(o, "initial", r.initial);
    initValue(o, "complex", r.complex.empty() ? std::vector<std::string>{} : std::vector<std::string>{r.complex});
    f.rulesChanged();
}

void doNamingRule(Args& a, Fixture& f) {
    std::string name = a.word(0, "rule name");
    std::vector<std::string> patterns = a.rest(1);
    a.consumed(1);
    if (businessTypes().namingRules.count(name)) bad("naming rule " + name + " exists already");
    Object& o = f.newObject("NameRule");
    initValue(o, "rule_name", std::vector<std::string>{name});
    initValue(o, "patterns", patterns);
    businessTypes().namingRules[name] = o.tag;
}

void doNameField(Args& a, Fixture& f) {
    std::string type = a.word(0, "type");
    std::string prop = a.word(1, "property");
    std::string rule = a.word(2, "naming rule");
    a.consumed(3);
    f.typeOf(type);
    auto it = businessTypes().namingRules.find(rule);
    if (it == businessTypes().namingRules.end()) bad("unknown naming rule " + rule);
    Object& o = f.newObject("NameField");
    initValue(o, "type_name", std::vector<std::string>{type});
    initValue(o, "property_name", std::vector<std::string>{prop});
    initValue(o, "rule", std::vector<tag_t>{it->second});
    businessTypes().nameFields[{type, prop}] = o.tag;
}

void doPseudoFolder(Args& a, Fixture& f) {
    std::string type = a.word(0, "type");
    std::string prop = a.word(1, "property");
    a.consumed(2);
    f.typeOf(type);
    businessTypes().pseudoFolderProps.insert({type, prop});
}

const Statement kStatements[] = {
    {"lov", doLov},
    {"prop", doProp, Needs::propertyNames},
    {"namingrule", doNamingRule},
    {"namefield", doNameField},
    {"pseudofolder", doPseudoFolder},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::propdesc
