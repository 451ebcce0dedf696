// Classes and attributes go into the schema the loader holds while it loads
// (the store gets it read-only); a class's own type waits in the fixture
// until the class of types is complete.
#include "site/schema_statements.hxx"

namespace vl::platform::site {

namespace {

using namespace store;

void doFormat(Args& a, Fixture&) {
    if (a.word(0, "format version") != "1") bad("unsupported format " + a.word(0, ""));
    a.consumed(1);
}

void doClass(Args& a, Fixture& f) {
    std::string name = a.word(0, "class name");
    std::string parent = a.word(1, "parent class (- for none)");
    a.consumed(2);
    Schema& schema = f.schema();
    if (!validName(name)) bad("bad class name \"" + name + "\"");
    if (name.size() > OSTRATYPE_name_size_c) bad("class name " + name + " is longer than 32 characters");
    if (schema.find(name)) bad("class " + name + " exists already");
    const ClassDef* p = nullptr;
    if (parent == "-") {
        if (!schema.byName.empty()) bad("only the root class has no parent");
    } else {
        p = f.classOf(parent);
    }
    auto c = std::make_unique<ClassDef>();
    c->id = newTag();
    c->name = name;
    c->parent = p;
    if (p) {
        c->attrs = p->attrs;
        c->index = p->index;
    }
    c->refreshKnown();
    const ClassDef* raw = c.get();
    schema.byId[c->id] = raw;
    schema.order.push_back(raw);
    schema.byName[name] = std::move(c);
    // Every class but an untyped one has a business type of its own name;
    // until the class of types itself is complete, they wait.
    if (a.flag("untyped")) return;
    f.awaitType(raw, a.opt("display"));
}

void doAttr(Args& a, Fixture& f) {
    ClassDef* c = const_cast<ClassDef*>(f.classOf(a.word(0, "class")));
    std::string name = a.word(1, "attribute name");
    PROP_value_type_e type = valueTypeNamed(a.word(2, "value type"));
    a.consumed(3);
    if (!validName(name)) bad("bad attribute name \"" + name + "\"");
    for (const ClassDef* k : f.schema().order)
        if (k->parent == c) bad("attributes of " + c->name + " must come before its subclasses");
    if (c->index.count(name)) bad("attribute " + name + " exists already in " + c->name);
    if (!instancesOf(c->name).empty()) bad("attributes of " + c->name + " must come before its first object");
    AttrDef d;
    d.name = name;
    d.type = type;
    d.declaringClass = c->name;
    if (a.flag("array")) d.arraySize = -1;
    if (a.has("array")) d.arraySize = number(a.opt("array"), "array");
    if (d.arraySize == 0 || d.arraySize < -1) bad("array size must be positive");
    if (a.has("max")) d.maxLength = number(a.opt("max"), "max");
    d.refClass = a.opt("ref");
    if (!d.refClass.empty() && type != PROP_typed_reference && type != PROP_typed_relation)
        bad("ref= is only for typed references");
    d.required = a.flag("required");
    d.system = a.flag("system");
    d.backRef = a.flag("backref");
    d.key = a.flag("key");
    if (d.key && type != PROP_string && type != PROP_int) bad("only string and int attributes can be keys");
    if (d.key && d.arraySize != 1) bad("a key attribute holds one value");
    c->index[name] = static_cast<int>(c->attrs.size());
    c->attrs.push_back(d);
    c->refreshKnown();
    f.schemaChanged();
}

const Statement kStatements[] = {
    {"format", doFormat, Needs::nothing},
    {"class", doClass, Needs::nothing},
    {"attr", doAttr, Needs::nothing},
};

}  // namespace

Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::site
