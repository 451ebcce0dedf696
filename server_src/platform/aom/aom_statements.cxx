// Types and rules are checked against what earlier lines declared and kept
// in the store; initial objects are made through the platform calls as
// their owner, and `set` writes stored values through the descriptors.
#include "aom/aom_statements.hxx"

#include "aom/aom_state.hxx"
#include "aom/folder.hxx"
#include "aom/form.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "sm/sm.hxx"

namespace vl::platform::aom {

namespace {

using namespace site;
using namespace store;

void doType(Args& a, Fixture& f) {
    std::string name = a.word(0, "type name");
    const TypeDef* parent = f.typeOf(a.word(1, "parent type"));
    a.consumed(2);
    const ClassDef* cls = parent->cls;
    if (a.has("class")) {
        cls = f.classOf(a.opt("class"));
        if (!cls->isA(parent->cls)) bad("class " + cls->name + " does not derive from " + parent->cls->name);
    }
    f.newType(name, cls, parent->tag, a.opt("display"));
}

void doItemType(Args& a, Fixture& f) {
    std::string name = a.word(0, "item type");
    a.consumed(1);
    TypeDef& t = businessTypes().types.at(f.typeOf(name)->tag);
    if (!t.cls->isA("Item")) bad(name + " is not an item type");
    std::string rev = a.need("revision");
    const TypeDef* rt = f.typeOf(rev);
    if (!rt->cls->isA("ItemRevision")) bad(rev + " is not a revision type");
    t.revisionType = rev;
    for (const char* key : {"form", "revform"}) {
        if (!a.has(key)) continue;
        std::string form = a.opt(key);
        const TypeDef* ft = f.typeOf(form);
        if (!ft->cls->isA("Form")) bad(form + " is not a form type");
        (std::string(key) == "form" ? t.masterFormType : t.revMasterFormType) = form;
    }
}

void doRelation(Args& a, Fixture& f) {
    std::string name = a.word(0, "relation type");
    a.consumed(1);
    const ClassDef* cls = f.classOf("Relation");
    if (a.has("class")) {
        cls = f.classOf(a.opt("class"));
        if (!cls->isA("Relation")) bad(cls->name + " is not a relation class");
    }
    f.newType(name, cls, typeOfClass(f.classOf("Relation")), a.opt("display"));
}

void doDeepCopy(Args& a, Fixture& f) {
    DeepCopyRule r;
    r.revisionType = a.word(0, "revision type");
    r.action = a.word(1, "action");
    r.relationType = a.word(2, "relation type");
    std::string how = a.word(3, "copy or reference");
    a.consumed(4);
    if (!f.typeOf(r.revisionType)->cls->isA("ItemRevision")) bad(r.revisionType + " is not a revision type");
    if (!f.typeOf(r.relationType)->cls->isA("Relation")) bad(r.relationType + " is not a relation type");
    if (how != "copy" && how != "reference") bad("expected copy or reference");
    r.copy = how == "copy";
    extension<ApplicationRules>().deepCopyRules.push_back(r);
}

// A form type whose fields are read from a file: each field name must fit
// the 27 characters (and terminator) of a field record.
void doFileForm(Args& a, Fixture& f) {
    std::string type = a.word(0, "form type");
    a.consumed(1);
    const TypeDef* t = f.typeOf(type);
    if (!t->cls->isA("Form")) bad(type + " is not a form type");
    for (const AttrDef& attr : t->cls->attrs)
        if (attr.declaringClass == t->cls->name && attr.name.size() > 27)
            bad("field " + attr.name + " is longer than 27 characters");
    extension<ApplicationRules>().fileFormTypes.insert(t->tag);
}

void doUom(Args& a, Fixture& f) {
    std::string sym = a.word(0, "unit symbol");
    a.consumed(1);
    unclaimed("UnitOfMeasure", sym, "unit");
    Object& u = f.newObject("UnitOfMeasure");
    initValue(u, "symbol", std::vector<std::string>{sym});
    initValue(u, "name", std::vector<std::string>{a.opt("name", sym)});
}

void doFolder(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t made = 0;
    f.asOwner(a, [&] { f.check(FL_create(a.need("name").c_str(), a.opt("desc").c_str(), &made), "folder"); });
    f.placeObject(a, label, made);
}

void doForm(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t made = 0;
    f.asOwner(a, [&] {
        f.check(FORM_create(a.need("name").c_str(), a.opt("desc").c_str(), a.need("type").c_str(), &made), "form");
    });
    f.placeObject(a, label, made);
}

void doRevision(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t item = f.objectRef(a.need("item"));
    if (!find(item)->cls->isA("Item")) bad(a.opt("item") + " is not an item");
    std::string id = a.need("id");
    tag_t made = 0;
    f.asOwner(a, [&] {
        tag_t latest = 0;
        f.check(ITEM_ask_latest_rev(item, &latest), "revision");
        f.check(ITEM_copy_rev(latest, id.c_str(), &made), "revision");
    });
    f.placeObject(a, label, made);
}

void doItem(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t made = 0;
    f.asOwner(a, [&] {
        OstraItem item;
        OstraItemRev rev;
        // Items of the site come with the master forms of their type.
        std::string id = a.need("id"), type = a.opt("type", "Item"), revId = a.opt("rev", "A");
        tag_t forms[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            char* formType = nullptr;
            int rc = k == 0 ? ITEM_ask_master_form_type(type.c_str(), &formType)
                            : ITEM_ask_rev_master_form_type(type.c_str(), &formType);
            if (rc == 0) rc = FORM_create((k == 0 ? id : id + revId).c_str(), "", formType, &forms[k]);
            SM_free(formType);
            if (rc && rc != ERR_NOT_FOUND) f.check(rc, "master form");
        }
        ERROR_store_clear();
        f.check(OstraItem::create(id, a.opt("name"), type, revId, forms[0], forms[1], item, rev), "item");
        made = item.tag();
        Object* ro = find(rev.tag());
        if (a.has("desc")) {
            initValue(*find(made), "object_desc", std::vector<std::string>{a.opt("desc")});
            initValue(*ro, "object_desc", std::vector<std::string>{a.opt("desc")});
        }
        if (a.has("uom")) initValue(*find(made), "uom_tag", std::vector<tag_t>{f.objectRef("uom:" + a.opt("uom"))});
        f.check(save(*ro), "cannot save");
        unlock(*ro);
        if (a.has("revlabel")) f.label(a.opt("revlabel"), rev.tag());
        if (a.has("revuid")) f.giveUid(*ro, a.opt("revuid"));
    });
    f.placeObject(a, label, made);
}

void doRelate(Args& a, Fixture& f) {
    tag_t p = f.objectRef(a.word(0, "@primary"));
    tag_t sec = f.objectRef(a.word(1, "@secondary"));
    std::string type = a.word(2, "relation type");
    a.consumed(3);
    const TypeDef* rt = f.typeOf(type);
    if (!rt->cls->isA("Relation")) bad(type + " is not a relation type");
    tag_t rel = 0;
    f.check(f.asOwnerOf(p,
                        [&] {
                            int rc = GRM_create_relation(p, sec, rt->tag, 0, &rel);
                            return rc ? rc : GRM_save_relation(rel);
                        }),
            "relation");
}

void doSet(Args& a, Fixture& f) {
    tag_t t = f.objectRef(a.word(0, "@label"));
    a.consumed(1);
    Object* o = find(t);
    for (const std::string& w : a.rest(1)) bad("expected property=value, not " + w);
    const TypeDef* td = typeDef(o->type);
    if (!td) return;
    // Every option is a property of the object.
    for (tag_t desc : td->properties) {
        PropertyDescriptor& d = businessTypes().descriptors.at(desc);
        const std::string& k = d.m_name;
        if (!a.has(k)) continue;
        std::vector<std::string> texts = d.m_arraySize == 1 ? std::vector<std::string>{a.opt(k)} : a.list(k);
        if (isReference(d.m_valueType))
            for (auto& text : texts)
                if (!text.empty()) text = find(f.objectRef(text))->uid;
        Value v;
        if (d.m_propertyType != PROP_attribute) bad(k + " is not a stored property");
        f.check(parseTexts(d, texts, &v), k);
        f.check(initValue(*o, k, std::move(v)), k);
    }
}

const Statement kStatements[] = {
    {"type", doType},
    {"itemtype", doItemType},
    {"relation", doRelation},
    {"deepcopy", doDeepCopy},
    {"fileform", doFileForm},
    {"uom", doUom},
    {"folder", doFolder, Needs::descriptors},
    {"item", doItem, Needs::descriptors},
    {"form", doForm, Needs::descriptors},
    {"revision", doRevision, Needs::descriptors},
    {"relate", doRelate},
    {"set", doSet, Needs::descriptors},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::aom
