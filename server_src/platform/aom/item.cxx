#include "aom/item.hxx"

#include "aom/aom_state.hxx"
#include "aom/form.hxx"
#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

const TypeDef* itemType(const TypeDef* t) { return t && t->cls->isA("Item") ? t : nullptr; }
const TypeDef* itemType(const std::string& name) { return itemType(typeNamed(name)); }

// The first non-empty field of the type or its ancestors.
const std::string& inherited(const TypeDef* t, std::string TypeDef::*field) {
    static const std::string none;
    for (; t; t = typeDef(t->parent))
        if (!(t->*field).empty()) return t->*field;
    return none;
}

int checkLength(tag_t type, const char* property, const std::string& value) {
    PropertyDescriptor* d = descriptorOfType(type, property);
    if (d && d->m_maxLength > 0 && static_cast<int>(value.size()) > d->m_maxLength)
        return fail(ERR_STRING_TOO_LONG, property);
    return 0;
}

tag_t masterFormOf(tag_t owner) {
    const TypeDef* mf = typeNamed("OSTRA_master_form");
    if (!mf) return 0;
    std::vector<tag_t> forms = relatedSecondaries(owner, mf->tag);
    return forms.empty() ? 0 : forms.front();
}

// Relates a master form to its owner and saves and releases the form.
int attachForm(tag_t owner, tag_t form) {
    const TypeDef* mf = typeNamed("OSTRA_master_form");
    if (!mf) return fail(ERR_TYPE_NOT_FOUND, "OSTRA_master_form");
    Object& r = create(mf->cls, mf->tag);
    initValue(r, "primary_object", Slot::one<tag_t>(owner));
    initValue(r, "secondary_object", Slot::one<tag_t>(form));
    if (int rc = save(r)) return rc;
    unlock(r);
    Object* f = find(form);
    if (int rc = save(*f)) return rc;
    unlock(*f);
    return 0;
}

// A copy of a form's own field values into another form of the same type.
void copyFields(const Object& from, Object& to) {
    for (std::size_t i = 0; i < from.cls->attrs.size(); ++i) {
        const AttrDef& a = from.cls->attrs[i];
        if (a.system || a.name == "object_name" || a.name == "object_desc") continue;
        if (to.cls->attr(a.name) != static_cast<int>(i)) continue;
        initValue(to, a.name, from.values[i]);  // shared, not rebuilt through a Value
    }
}

int setProp(tag_t tag, const char* name, Slot v) {
    Object* o = nullptr;
    if (int rc = need(tag, &o)) return rc;
    PropertyDescriptor* d = descriptorOf(*o, name);
    if (!d) return fail(ERR_NO_SUCH_ATTRIBUTE, name);
    return writeProperty(*o, *d, std::move(v), true);
}

int askString(tag_t tag, const char* cls, const char* attribute, char** out) {
    if (out) *out = nullptr;
    Object* o = nullptr;
    if (int rc = need(tag, cls, &o)) return rc;
    if (out) *out = SM_string_copy_persistent(getString(*o, attribute).c_str());
    return 0;
}

// Makes an item and its first revision; forms given or made per the type.
int makeItem(const std::string& itemIdIn, const std::string& nameIn, const std::string& typeIn,
             const std::string& revId, tag_t itemForm, tag_t revForm, tag_t* itemOut, tag_t* revOut,
             const Object* copyOf) {
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    std::string typeName = typeIn.empty() ? "Item" : typeIn;
    const TypeDef* named = typeNamed(typeName);
    if (!named) return fail(ERR_TYPE_NOT_FOUND, typeName);
    const TypeDef* it = itemType(named);
    if (!it) return fail(ERR_NOT_AN_ITEM_TYPE, typeName);
    const TypeDef* rt = typeNamed(inherited(it, &TypeDef::revisionType));
    if (!rt || !rt->cls->isA("ItemRevision")) return fail(ERR_NOT_AN_ITEM_TYPE, typeName + " has no revision type");
    if (itemIdIn.empty()) return fail(ERR_BAD_ARGUMENT, "an item needs an item id");
    if (revId.empty()) return fail(ERR_BAD_ARGUMENT, "a revision needs a revision id");
    if (keyInUse("Item", itemIdIn)) return fail(ERR_DUPLICATE, "item id \"" + itemIdIn + "\" is taken");
    std::string name = nameIn.empty() ? itemIdIn : nameIn;
    if (int rc = checkLength(it->tag, "item_id", itemIdIn)) return rc;
    if (int rc = checkLength(it->tag, "object_name", name)) return rc;
    if (int rc = checkLength(rt->tag, "item_revision_id", revId)) return rc;
    if (!NAMING_check(it->name, "item_id", itemIdIn))
        return fail(ERR_NAMING_RULE, "item_id \"" + itemIdIn + "\"");
    if (!NAMING_check(rt->name, "item_revision_id", revId))
        return fail(ERR_NAMING_RULE, "item_revision_id \"" + revId + "\"");
    for (tag_t f : {itemForm, revForm})
        if (f)
            if (int rc = need(f, "Form", nullptr)) return rc;

    Object& item = create(it->cls, it->tag);
    initValue(item, "item_id", Slot::text(itemIdIn));
    initValue(item, "object_name", Slot::text(name));
    Object& rev = create(rt->cls, rt->tag);
    initValue(rev, "item_revision_id", Slot::text(revId));
    initValue(rev, "object_name", Slot::text(name));
    if (copyOf) {
        for (std::size_t i = 0; i < copyOf->cls->attrs.size(); ++i) {
            const AttrDef& a = copyOf->cls->attrs[i];
            if (a.system || a.backRef || a.key || a.name == "object_name" || a.name == "item_revision_id") continue;
            if (rev.cls->attr(a.name) == static_cast<int>(i)) initValue(rev, a.name, copyOf->values[i].value());
        }
    }
    tag_t itemTag = item.tag, revTag = rev.tag;
    initValue(rev, "items_tag", Slot::one<tag_t>(itemTag));
    initValue(*find(itemTag), "revision_list", Slot::one<tag_t>(revTag));
    if (itemForm)
        if (int rc = attachForm(itemTag, itemForm)) return rc;
    if (revForm)
        if (int rc = attachForm(revTag, revForm)) return rc;
    if (itemOut) *itemOut = itemTag;
    if (revOut) *revOut = revTag;
    return 0;
}

}  // namespace

int ITEM_ask_master_form_type(const char* type, char** formType) {
    VL_ENTER("ITEM_ask_master_form_type", 0);
    if (formType) *formType = nullptr;
    const TypeDef* it = itemType(type ? type : "");
    if (!it) return fail(ERR_TYPE_NOT_FOUND, type ? type : "");
    std::string f = inherited(it, &TypeDef::masterFormType);
    if (f.empty()) return fail(ERR_NOT_FOUND, it->name + " has no master form type");
    if (formType) *formType = SM_string_copy_persistent(f.c_str());
    return 0;
}

int ITEM_ask_rev_master_form_type(const char* type, char** formType) {
    VL_ENTER("ITEM_ask_rev_master_form_type", 0);
    if (formType) *formType = nullptr;
    const TypeDef* it = itemType(type ? type : "");
    if (!it) return fail(ERR_TYPE_NOT_FOUND, type ? type : "");
    std::string f = inherited(it, &TypeDef::revMasterFormType);
    if (f.empty()) return fail(ERR_NOT_FOUND, it->name + " has no revision master form type");
    if (formType) *formType = SM_string_copy_persistent(f.c_str());
    return 0;
}

int ITEM__get_revision_type_name(const char* type, char** revisionType) {
    VL_ENTER("ITEM__get_revision_type_name", 0);
    if (revisionType) *revisionType = nullptr;
    const TypeDef* it = itemType(type ? type : "");
    if (!it) return fail(ERR_TYPE_NOT_FOUND, type ? type : "");
    std::string r = inherited(it, &TypeDef::revisionType);
    if (r.empty()) return fail(ERR_NOT_FOUND, it->name + " has no revision type");
    if (revisionType) *revisionType = SM_string_copy_persistent(r.c_str());
    return 0;
}

int ITEM_find_item(const char* itemId, tag_t* item) {
    VL_ENTER("ITEM_find_item", 0);
    if (item) *item = itemId && *itemId ? findByKey("Item", itemId) : 0;
    return 0;
}

int ITEM_find_revision(tag_t item, const char* revId, tag_t* revision) {
    VL_ENTER("ITEM_find_revision", item);
    if (revision) *revision = 0;
    Object* o = nullptr;
    if (int rc = need(item, "Item", &o)) return rc;
    for (tag_t r : getTags(*o, "revision_list"))
        if (const Object* rev = find(r); rev && revId && getString(*rev, "item_revision_id") == revId) {
            if (revision) *revision = r;
            break;
        }
    return 0;
}

int ITEM_list_all_revs(tag_t item, int* count, tag_t** revisions) {
    VL_ENTER("ITEM_list_all_revs", item);
    if (count) *count = 0;
    if (revisions) *revisions = nullptr;
    Object* o = nullptr;
    if (int rc = need(item, "Item", &o)) return rc;
    std::vector<tag_t> v = getTags(*o, "revision_list");
    if (count) *count = static_cast<int>(v.size());
    if (revisions) {
        auto* p = static_cast<tag_t*>(SM_alloc_persistent(sizeof(tag_t) * v.size()));
        if (!v.empty()) std::memcpy(p, v.data(), sizeof(tag_t) * v.size());
        *revisions = p;
    }
    return 0;
}

int ITEM_ask_latest_rev(tag_t item, tag_t* revision) {
    VL_ENTER("ITEM_ask_latest_rev", item);
    if (revision) *revision = 0;
    Object* o = nullptr;
    if (int rc = need(item, "Item", &o)) return rc;
    std::vector<tag_t> v = getTags(*o, "revision_list");
    if (revision && !v.empty()) *revision = v.back();
    return 0;
}

int ITEM_ask_item_of_rev(tag_t revision, tag_t* item) {
    VL_ENTER("ITEM_ask_item_of_rev", revision);
    if (item) *item = 0;
    Object* o = nullptr;
    if (int rc = need(revision, "ItemRevision", &o)) return rc;
    if (item) *item = getTag(*o, "items_tag");
    return 0;
}

int ITEM_ask_id(tag_t item, char** itemId) {
    VL_ENTER("ITEM_ask_id", item);
    return askString(item, "Item", "item_id", itemId);
}

int ITEM_ask_rev_id(tag_t revision, char** revId) {
    VL_ENTER("ITEM_ask_rev_id", revision);
    return askString(revision, "ItemRevision", "item_revision_id", revId);
}

int ITEM_ask_type(tag_t item, char** type) {
    VL_ENTER("ITEM_ask_type", item);
    if (type) *type = nullptr;
    Object* o = nullptr;
    if (int rc = need(item, "Item", &o)) return rc;
    const TypeDef* t = typeDef(o->type);
    if (type) *type = SM_string_copy_persistent(t ? t->name.c_str() : "");
    return 0;
}

int ITEM_set_name(tag_t item, const char* name) {
    VL_ENTER("ITEM_set_name", item);
    if (int rc = need(item, "Item", nullptr)) return rc;
    return setProp(item, "object_name", Slot::text(name ? name : ""));
}

int ITEM_set_description(tag_t item, const char* description) {
    VL_ENTER("ITEM_set_description", item);
    if (int rc = need(item, "Item", nullptr)) return rc;
    return setProp(item, "object_desc", Slot::text(description ? description : ""));
}

int ITEM_set_rev_name(tag_t revision, const char* name) {
    VL_ENTER("ITEM_set_rev_name", revision);
    if (int rc = need(revision, "ItemRevision", nullptr)) return rc;
    return setProp(revision, "object_name", Slot::text(name ? name : ""));
}

int ITEM_set_rev_description(tag_t revision, const char* description) {
    VL_ENTER("ITEM_set_rev_description", revision);
    if (int rc = need(revision, "ItemRevision", nullptr)) return rc;
    return setProp(revision, "object_desc", Slot::text(description ? description : ""));
}

int ITEM_copy_rev(tag_t revision, const char* newRevId, tag_t* newRevision) {
    VL_ENTER("ITEM_copy_rev", revision);
    if (newRevision) *newRevision = 0;
    Object* src = nullptr;
    if (int rc = need(revision, "ItemRevision", &src)) return rc;
    Object* item = find(getTag(*src, "items_tag"));
    if (!item) return fail(ERR_INVALID_TAG, "the revision has no item");
    if (item->readOnly) return fail(ERR_READ_ONLY_OBJECT, item->uid);
    if (!canWrite(*item)) return fail(ERR_NO_ACCESS, item->uid);
    std::string revId = newRevId ? newRevId : "";
    if (revId.empty()) return fail(ERR_BAD_ARGUMENT, "a revision needs a revision id");
    for (tag_t r : getTags(*item, "revision_list"))
        if (const Object* o = find(r); o && getString(*o, "item_revision_id") == revId)
            return fail(ERR_DUPLICATE, "revision \"" + revId + "\" exists");
    const TypeDef* rt = typeDef(src->type);
    if (int rc = checkLength(src->type, "item_revision_id", revId)) return rc;
    if (rt && !NAMING_check(rt->name, "item_revision_id", revId))
        return fail(ERR_NAMING_RULE, "item_revision_id \"" + revId + "\"");
    std::string itemId = getString(*item, "item_id");

    tag_t srcForm = masterFormOf(revision);
    tag_t form = 0;
    if (const Object* f = find(srcForm)) {
        const TypeDef* ft = typeDef(f->type);
        if (int rc = aom::createForm(ft ? ft->name : "", itemId + revId, getString(*f, "object_desc"), &form)) return rc;
        copyFields(*find(srcForm), *find(form));
    } else if (const TypeDef* it = typeDef(item->type)) {
        std::string ftn = inherited(it, &TypeDef::revMasterFormType);
        if (!ftn.empty())
            if (int rc = aom::createForm(ftn, itemId + revId, "", &form)) return rc;
    }
    src = find(revision);
    Object& rev = create(src->cls, src->type);
    for (std::size_t i = 0; i < src->cls->attrs.size(); ++i) {
        const AttrDef& a = src->cls->attrs[i];
        if (a.system || a.backRef || a.key || a.name == "item_revision_id") continue;
        initValue(rev, a.name, find(revision)->values[i]);  // shared, not rebuilt through a Value
    }
    initValue(rev, "item_revision_id", Slot::text(revId));
    tag_t revTag = rev.tag;
    tag_t itemTag = getTag(*find(revision), "items_tag");
    initValue(*find(revTag), "items_tag", Slot::one<tag_t>(itemTag));
    Object* it = find(itemTag);
    std::vector<tag_t> list = getTags(*it, "revision_list");
    list.push_back(revTag);
    if (int rc = setCommitted(*it, attr(*it, "revision_list"), list)) return rc;
    if (form)
        if (int rc = attachForm(revTag, form)) return rc;
    if (newRevision) *newRevision = revTag;
    return 0;
}

int ITEM_copy_item(tag_t revision, const char* newItemId, const char* newRevId, tag_t* newItem,
                   tag_t* newRevision) {
    VL_ENTER("ITEM_copy_item", revision);
    if (newItem) *newItem = 0;
    if (newRevision) *newRevision = 0;
    Object* src = nullptr;
    if (int rc = need(revision, "ItemRevision", &src)) return rc;
    const Object* srcItem = find(getTag(*src, "items_tag"));
    if (!srcItem) return fail(ERR_INVALID_TAG, "the revision has no item");
    const TypeDef* it = typeDef(srcItem->type);
    std::string itemId = newItemId ? newItemId : "";
    std::string revId = newRevId ? newRevId : "";
    tag_t itemForm = 0, revForm = 0;
    // A refused copy leaves nothing: forms made for it go again.
    auto undo = [&](int rc) {
        for (tag_t f : {itemForm, revForm})
            if (Object* o = find(f)) destroy(*o);
        return rc;
    };
    if (const Object* f = find(masterFormOf(srcItem->tag))) {
        const TypeDef* ft = typeDef(f->type);
        if (itemId.empty()) return fail(ERR_BAD_ARGUMENT, "an item needs an item id");
        if (int rc = aom::createForm(ft ? ft->name : "", itemId, getString(*f, "object_desc"), &itemForm)) return rc;
        copyFields(*f, *find(itemForm));
    }
    if (const Object* f = find(masterFormOf(revision))) {
        const TypeDef* ft = typeDef(f->type);
        if (itemId.empty() || revId.empty()) return undo(fail(ERR_BAD_ARGUMENT, "item and revision ids are required"));
        if (int rc = aom::createForm(ft ? ft->name : "", itemId + revId, getString(*f, "object_desc"), &revForm))
            return undo(rc);
        copyFields(*f, *find(revForm));
    }
    src = find(revision);
    if (int rc = makeItem(itemId, getString(*src, "object_name"), it ? it->name : "Item", revId, itemForm, revForm,
                          newItem, newRevision, src)) {
        if (newItem) *newItem = 0;
        if (newRevision) *newRevision = 0;
        return undo(rc);
    }
    return 0;
}

int ITEM_perform_deepcopy(tag_t newRevision, const char* action, tag_t sourceRevision, int* count,
                          tag_t** copies) {
    VL_ENTER("ITEM_perform_deepcopy", newRevision);
    if (count) *count = 0;
    if (copies) *copies = nullptr;
    Object* dst = nullptr;
    Object* src = nullptr;
    if (int rc = need(newRevision, "ItemRevision", &dst)) return rc;
    if (int rc = need(sourceRevision, "ItemRevision", &src)) return rc;
    if (!canWrite(*dst)) return fail(ERR_NO_ACCESS, dst->uid);
    std::string act = action ? action : "";
    std::vector<tag_t> made;
    std::vector<aom::DeepCopyRule> rules = extension<aom::ApplicationRules>().deepCopyRules;
    tag_t srcType = src->type;
    for (const aom::DeepCopyRule& rule : rules) {
        if (rule.action != act || !typeIsA(srcType, rule.revisionType)) continue;
        const TypeDef* rt = typeNamed(rule.relationType);
        if (!rt || rt->name == "OSTRA_master_form") continue;
        for (tag_t secondary : relatedSecondaries(sourceRevision, rt->tag)) {
            tag_t target = secondary;
            if (rule.copy) {
                const Object* s = find(secondary);
                Object& c = create(s->cls, s->type);
                for (std::size_t i = 0; i < s->cls->attrs.size(); ++i) {
                    const AttrDef& a = s->cls->attrs[i];
                    if (a.system || a.key || a.backRef) continue;
                    initValue(c, a.name, find(secondary)->values[i].value());
                }
                if (c.cls->isA("Dataset")) {
                    Object& anchor = create("RevisionAnchor");
                    initValue(anchor, "revisions", Slot::one<tag_t>(c.tag));
                    unlock(anchor);
                    initValue(*find(c.tag), "rev_chain_anchor", Slot::one<tag_t>(anchor.tag));
                    initValue(*find(c.tag), "dataset_type",
                              Slot::one<tag_t>(getTag(*find(secondary), "dataset_type")));
                }
                target = c.tag;
                Object* co = find(target);
                if (int rc = save(*co)) {
                    destroy(*co);  // no unsaved, locked copy outlives the failure
                    return rc;
                }
                unlock(*co);
                made.push_back(target);
            }
            if (!find(target)) continue;
            Object& r = create(rt->cls, rt->tag);
            initValue(r, "primary_object", Slot::one<tag_t>(newRevision));
            initValue(r, "secondary_object", Slot::one<tag_t>(target));
            if (int rc = save(r)) {
                destroy(*find(r.tag));
                return rc;
            }
            unlock(r);
        }
    }
    if (count) *count = static_cast<int>(made.size());
    if (copies) {
        auto* p = static_cast<tag_t*>(SM_alloc_persistent(sizeof(tag_t) * made.size()));
        for (std::size_t i = 0; i < made.size(); ++i) p[i] = made[i];
        *copies = p;
    }
    return 0;
}

// --- holders ---

int OstraObject::save() {
    VL_ENTER("OstraObject::save", m_tag);
    Object* o = nullptr;
    if (int rc = need(m_tag, &o)) return rc;
    return store::save(*o);
}

int OstraObject::lock() {
    VL_ENTER("OstraObject::lock", m_tag);
    Object* o = nullptr;
    if (int rc = need(m_tag, &o)) return rc;
    return store::lock(*o);
}

int OstraObject::unlock() {
    VL_ENTER("OstraObject::unlock", m_tag);
    Object* o = nullptr;
    if (int rc = need(m_tag, &o)) return rc;
    revert(*o);
    store::unlock(*o);
    return 0;
}

int OstraObject::reload(int lockIt) {
    VL_ENTER("OstraObject::reload", m_tag);
    Object* o = nullptr;
    if (int rc = need(m_tag, &o)) return rc;
    revert(*o);
    if (lockIt == 1) return store::lock(*o);
    return 0;
}

int OstraItemRev::setDescription(const std::string& description) {
    VL_ENTER("OstraItemRev::setDescription", m_tag);
    if (int rc = need(m_tag, "ItemRevision", nullptr)) return rc;
    return setProp(m_tag, "object_desc", Slot::text(description));
}

int OstraItemRev::setName(const std::string& name) {
    VL_ENTER("OstraItemRev::setName", m_tag);
    if (int rc = need(m_tag, "ItemRevision", nullptr)) return rc;
    return setProp(m_tag, "object_name", Slot::text(name));
}

int OstraItem::create(const std::string& itemId, const std::string& name, const std::string& type,
                      const std::string& revId, tag_t itemMasterForm, tag_t revMasterForm, OstraItem& item,
                      OstraItemRev& revision) {
    VL_ENTER("OstraItem::create", 0);
    tag_t i = 0, r = 0;
    if (int rc = makeItem(itemId, name, type, revId, itemMasterForm, revMasterForm, &i, &r, nullptr)) return rc;
    item.setTag(i);
    revision.setTag(r);
    return 0;
}

int OstraItem::setUnitOfMeasure(tag_t unit) {
    VL_ENTER("OstraItem::setUnitOfMeasure", m_tag);
    if (int rc = need(m_tag, "Item", nullptr)) return rc;
    return setProp(m_tag, "uom_tag", unit ? Slot::one<tag_t>(unit) : Slot::null(kValueIndex<tag_t>));
}

int OstraItem::setDescription(const std::string& description) {
    VL_ENTER("OstraItem::setDescription", m_tag);
    if (int rc = need(m_tag, "Item", nullptr)) return rc;
    return setProp(m_tag, "object_desc", Slot::text(description));
}

int OstraItem::setName(const std::string& name) {
    VL_ENTER("OstraItem::setName", m_tag);
    if (int rc = need(m_tag, "Item", nullptr)) return rc;
    return setProp(m_tag, "object_name", Slot::text(name));
}
