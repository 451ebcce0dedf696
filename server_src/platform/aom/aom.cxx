#include "aom/aom.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/vl_string.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

// The object and the descriptor of one of its properties.
int property(tag_t object, const char* name, Object** o, PropertyDescriptor** d) {
    if (int rc = need(object, o)) return rc;
    *d = name ? descriptorOf(**o, name) : nullptr;
    if (!*d) return fail(ERR_NO_SUCH_ATTRIBUTE, std::string(name ? name : "") + " of " + (*o)->uid);
    return 0;
}

// The object and descriptor of a property read as values of one of `kinds`,
// checking arity.
int readable(tag_t object, const char* name, bool single, std::initializer_list<PROP_value_type_e> kinds, Object** o,
             PropertyDescriptor** d) {
    if (int rc = property(object, name, o, d)) return rc;
    if (std::find(kinds.begin(), kinds.end(), (*d)->m_valueType) == kinds.end())
        return fail(ERR_BAD_VALUE, std::string(name) + ": not of the asked value type");
    if (single != ((*d)->m_arraySize == 1)) return fail(ERR_WRONG_ARITY, name);
    return 0;
}

// The values of a stored attribute, read in place; empty for other kinds
// of property (and for strings, which are no span).
template <class E>
std::optional<std::span<const E>> heldElements(const Object& o, const PropertyDescriptor& d) {
    if constexpr (std::is_same_v<E, std::string>) {
        return std::nullopt;
    } else {
        if (d.m_propertyType != PROP_attribute || d.m_attr < 0 || d.m_attr >= static_cast<int>(o.values.size()))
            return std::nullopt;
        return o.values[d.m_attr].elements<E>();
    }
}

template <class E>
void valuesOf(const Object& o, const PropertyDescriptor& d, std::vector<E>* out) {
    if (auto held = heldElements<E>(o, d)) {
        out->assign(held->begin(), held->end());
        return;
    }
    Value v = propertyValue(o, d);
    if (auto* vec = std::get_if<std::vector<E>>(&v)) *out = std::move(*vec);
}

// Reads a property as values of element type E (the storage kind of the
// value types in `kinds`), checking arity.
template <class E>
int readAs(tag_t object, const char* name, bool single, std::initializer_list<PROP_value_type_e> kinds,
           std::vector<E>* out) {
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = readable(object, name, single, kinds, &o, &d)) return rc;
    valuesOf(*o, *d, out);
    return 0;
}

// The object and descriptor of a property written as values of one of `kinds`.
int writtenAs(tag_t object, const char* name, std::initializer_list<PROP_value_type_e> kinds, Object** o,
              PropertyDescriptor** d) {
    if (int rc = property(object, name, o, d)) return rc;
    if (std::find(kinds.begin(), kinds.end(), (*d)->m_valueType) == kinds.end())
        return fail(ERR_BAD_VALUE, std::string(name) + ": not of the given value type");
    return 0;
}

template <class E>
int writeAs(tag_t object, const char* name, bool single, std::initializer_list<PROP_value_type_e> kinds,
            std::vector<E> values) {
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = writtenAs(object, name, kinds, &o, &d)) return rc;
    return writeProperty(*o, *d, std::move(values), single);
}

const std::initializer_list<PROP_value_type_e> kChar = {PROP_char};
const std::initializer_list<PROP_value_type_e> kLogical = {PROP_logical};
const std::initializer_list<PROP_value_type_e> kInt = {PROP_int, PROP_short};
const std::initializer_list<PROP_value_type_e> kReal = {PROP_double, PROP_float};
const std::initializer_list<PROP_value_type_e> kString = {PROP_string, PROP_note};
const std::initializer_list<PROP_value_type_e> kDate = {PROP_date};
const std::initializer_list<PROP_value_type_e> kTag = {PROP_typed_reference, PROP_untyped_reference,
                                                       PROP_external_reference, PROP_typed_relation,
                                                       PROP_untyped_relation};

}  // namespace

int AOM_refresh(tag_t object, int lockIt) {
    VL_ENTER("AOM_refresh", object);
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (lockIt == 1) return lock(*o);
    if (lockIt != 0) return fail(ERR_BAD_ARGUMENT, "AOM_refresh takes 0 or 1");
    revert(*o);
    unlock(*o);
    return 0;
}

int AOM_save(tag_t object) {
    VL_ENTER("AOM_save", object);
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    return save(*o);
}

int AOM_load(tag_t object) {
    VL_ENTER("AOM_load", object);
    return need(object, nullptr);
}

int AOM_lock(tag_t object) {
    VL_ENTER("AOM_lock", object);
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    return lock(*o);
}

int AOM_unlock(tag_t object) {
    VL_ENTER("AOM_unlock", object);
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    unlock(*o);
    return 0;
}

int AOM_delete(tag_t object) {
    VL_ENTER("AOM_delete", object);
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (!o->cls->isA("POM_application_object"))
        return fail(ERR_NO_ACCESS, "objects of class " + o->cls->name + " are not deleted here");
    if (o->readOnly) return fail(ERR_READ_ONLY_OBJECT, o->uid);
    if (!canWrite(*o)) return fail(ERR_NO_ACCESS, o->uid);

    // The object and what goes with it.
    std::vector<tag_t> set{object};
    std::set<tag_t> in{object};
    auto add = [&](tag_t t) {
        if (t && find(t) && in.insert(t).second) set.push_back(t);
    };
    if (o->cls->isA("Item"))
        for (tag_t r : getTags(*o, "revision_list")) add(r);
    const TypeDef* masterForm = typeNamed("OSTRA_master_form");
    for (std::size_t i = 0; i < set.size(); ++i) {
        Object* x = find(set[i]);
        if (!x->cls->isA("Relation"))
            for (tag_t rel : relationsOf(x->tag, true, 0)) {
                add(rel);
                if (masterForm && find(rel)->type == masterForm->tag) add(getTag(*find(rel), "secondary_object"));
            }
        if (x->cls->isA("Dataset")) {
            tag_t anchor = getTag(*x, "rev_chain_anchor");
            if (const Object* a = find(anchor)) {
                bool onlyOurs = true;
                for (tag_t d : getTags(*a, "revisions")) onlyOurs = onlyOurs && (in.count(d) || d == x->tag);
                if (onlyOurs) add(anchor);
            }
        }
    }

    // Every outside reference blocks, except the item's list of a revision that
    // is not its last and an anchor's list of a dataset: those entries go.
    std::vector<std::pair<tag_t, tag_t>> unlist;  // (holder, entry)
    for (tag_t t : set) {
        Object* x = find(t);
        if (x->readOnly) return fail(ERR_READ_ONLY_OBJECT, x->uid);
        for (tag_t r : referencersOf(t)) {
            if (in.count(r)) continue;
            Object* holder = find(r);
            if (holder->cls->isA("Item") && x->cls->isA("ItemRevision") && getTag(*x, "items_tag") == r) {
                if (getTags(*holder, "revision_list").size() <= 1)
                    return fail(ERR_REFERENCED, x->uid + " is the only revision of " + holder->uid);
                unlist.emplace_back(r, t);
                continue;
            }
            if (holder->cls->isA("RevisionAnchor") && x->cls->isA("Dataset")) {
                unlist.emplace_back(r, t);
                continue;
            }
            return fail(ERR_REFERENCED, x->uid + " is referenced by " + holder->uid);
        }
        if (int rc = refuseSavedReferences(*x, in)) return rc;
    }
    for (auto& [h, e] : unlist) {
        Object* holder = find(h);
        const char* list = holder->cls->isA("Item") ? "revision_list" : "revisions";
        std::vector<tag_t> v = getTags(*holder, list);
        v.erase(std::remove(v.begin(), v.end(), e), v.end());
        // A structural change: committed at once, like the deletion itself.
        setCommitted(*holder, attr(*holder, list), v);
    }
    for (auto it = set.rbegin(); it != set.rend(); ++it)
        if (Object* x = find(*it)) destroy(*x);
    return 0;
}

int AOM_set_ownership(tag_t object, tag_t user, tag_t group) {
    VL_ENTER("AOM_set_ownership", object);
    Object* o = nullptr;
    if (int rc = need(object, "POM_application_object", &o)) return rc;
    if (int rc = need(user, "User", nullptr)) return rc;
    if (int rc = need(group, "Group", nullptr)) return rc;
    if (o->readOnly) return fail(ERR_READ_ONLY_OBJECT, o->uid);
    if (!canWrite(*o)) return fail(ERR_NO_ACCESS, o->uid);
    bool member = false;
    for (tag_t m : instancesOf("GroupMember")) {
        const Object* gm = find(m);
        if (gm && getTag(*gm, "user") == user && getTag(*gm, "group") == group &&
            getInt(*gm, "status") == 0)
            member = true;
    }
    if (!member) return fail(ERR_NO_OWNER_MEMBERSHIP);
    // Ownership is committed at once, apart from any unsaved change.
    setCommitted(*o, attr(*o, "owning_user"), std::vector<tag_t>{user});
    setCommitted(*o, attr(*o, "owning_group"), std::vector<tag_t>{group});
    return 0;
}

int AOM_ask_owner(tag_t object, tag_t* user) {
    VL_ENTER("AOM_ask_owner", object);
    if (user) *user = 0;
    Object* o = nullptr;
    if (int rc = need(object, "POM_application_object", &o)) return rc;
    if (user) *user = getTag(*o, "owning_user");
    return 0;
}

int AOM_ask_group(tag_t object, tag_t* group) {
    VL_ENTER("AOM_ask_group", object);
    if (group) *group = 0;
    Object* o = nullptr;
    if (int rc = need(object, "POM_application_object", &o)) return rc;
    if (group) *group = getTag(*o, "owning_group");
    return 0;
}

int AOM_ask_property_desc(tag_t object, const char* name, PropertyDescriptor** descriptor) {
    VL_ENTER("AOM_ask_property_desc", object);
    if (descriptor) *descriptor = nullptr;
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = property(object, name, &o, &d)) return rc;
    if (descriptor) *descriptor = d;
    return 0;
}

namespace {

// The property objects AOM_ask_property handed out, kept like loaded objects.
std::map<std::pair<tag_t, std::string>, std::unique_ptr<OstraProperty>>& propertyObjects() {
    static std::map<std::pair<tag_t, std::string>, std::unique_ptr<OstraProperty>> m;
    return m;
}

[[maybe_unused]] const bool kCacheRegistered = registerLoadedCache([] { propertyObjects().clear(); });

OstraProperty* propertyObject(tag_t tag, const std::string& name) {
    auto& p = propertyObjects()[{tag, name}];
    if (!p) p = std::make_unique<OstraProperty>(tag, name);
    return p.get();
}

}  // namespace

int AOM_ask_property(tag_t object, const char* name, OstraProperty** out) {
    VL_ENTER("AOM_ask_property", object);
    if (out) *out = nullptr;
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = property(object, name, &o, &d)) return rc;
    if (out) *out = propertyObject(object, name);
    return 0;
}

int AOM_ask_property_names(tag_t object, int* count, char*** names) {
    VL_ENTER("AOM_ask_property_names", object);
    if (count) *count = 0;
    if (names) *names = nullptr;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    std::vector<std::string> n;
    if (const TypeDef* t = typeDef(o->type))
        for (tag_t d : t->properties) n.push_back(businessTypes().descriptors.at(d).m_name);
    if (count) *count = static_cast<int>(n.size());
    if (names) *names = SM_pack_string_range(n);
    return 0;
}

int AOM_UIF_ask_value(tag_t object, const char* name, char** displayValue) {
    VL_ENTER("AOM_UIF_ask_value", object);
    if (displayValue) *displayValue = nullptr;
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = property(object, name, &o, &d)) return rc;
    Value v = propertyValue(*o, *d);
    std::string text = displayText(v, d->m_valueType);
    // A type shows by its display name.
    if (const TypeDef* td = typeDef(object); td && d->m_name == "type_name") text = td->displayName;
    // A value from a list of values shows as its display text.
    if (const Object* lov = find(d->m_lov); lov && d->m_arraySize == 1) {
        std::vector<std::string> vals = getStrings(*lov, "lov_values");
        std::vector<std::string> disp = getStrings(*lov, "lov_displays");
        for (std::size_t i = 0; i < vals.size() && i < disp.size(); ++i)
            if (vals[i] == text && !disp[i].empty()) text = disp[i];
    }
    if (displayValue) *displayValue = SM_string_copy_persistent(text.c_str());
    return 0;
}

int AOM_UIF_set_value(tag_t object, const char* name, const char* displayValue) {
    VL_ENTER("AOM_UIF_set_value", object);
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = property(object, name, &o, &d)) return rc;
    std::string text = displayValue ? displayValue : "";
    std::vector<std::string> texts;
    if (d->m_arraySize == 1) {
        texts.push_back(text);
    } else if (!text.empty()) {
        texts = splitAtCommas(text);
    }
    if (const Object* lov = find(d->m_lov)) {
        std::vector<std::string> vals = getStrings(*lov, "lov_values");
        std::vector<std::string> disp = getStrings(*lov, "lov_displays");
        for (auto& t : texts)
            for (std::size_t i = 0; i < vals.size() && i < disp.size(); ++i)
                if (disp[i] == t && !disp[i].empty()) {
                    t = vals[i];
                    break;
                }
    }
    Value v;
    bool single = d->m_arraySize == 1;
    if (single && texts[0].empty() && d->m_valueType != PROP_string && d->m_valueType != PROP_note &&
        d->m_valueType != PROP_char) {
        v = emptyValue(d->m_valueType);  // the empty display text clears the value
    } else if (int rc = parseTexts(*d, texts, &v)) {
        return rc;
    }
    return writeProperty(*o, *d, std::move(v), single);
}

// --- typed reads ---

namespace {

// One value of a single property; `fallback` when it holds none.
template <class E>
int askSingle(tag_t object, const char* name, std::initializer_list<PROP_value_type_e> kinds, E* value,
              E fallback) {
    std::vector<E> v;
    if (int rc = readAs(object, name, true, kinds, &v)) return rc;
    if (value) *value = v.empty() ? fallback : v[0];
    return 0;
}

// All values of an array property, as one platform block; nothing on failure.
template <class E>
int askArray(tag_t object, const char* name, std::initializer_list<PROP_value_type_e> kinds, int* count,
             E** values) {
    if (values) *values = nullptr;
    if (count) *count = 0;
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = readable(object, name, false, kinds, &o, &d)) return rc;
    if (auto held = heldElements<E>(*o, *d)) {
        // From the store to the block in one copy.
        if (count) *count = static_cast<int>(held->size());
        if (values) *values = SM_copy_array(*held);
        return 0;
    }
    std::vector<E> v;
    valuesOf(*o, *d, &v);
    if (count) *count = static_cast<int>(v.size());
    if (values) *values = SM_copy_array(v);
    return 0;
}

}  // namespace

int AOM_ask_value_char(tag_t object, const char* name, char* value) {
    VL_ENTER("AOM_ask_value_char", object);
    return askSingle(object, name, kChar, value, '\0');
}
int AOM_ask_value_chars(tag_t object, const char* name, int* count, char** values) {
    VL_ENTER("AOM_ask_value_chars", object);
    return askArray(object, name, kChar, count, values);
}
int AOM_ask_value_date(tag_t object, const char* name, date_s* value) {
    VL_ENTER("AOM_ask_value_date", object);
    return askSingle(object, name, kDate, value, date_s{});
}
int AOM_ask_value_dates(tag_t object, const char* name, int* count, date_s** values) {
    VL_ENTER("AOM_ask_value_dates", object);
    return askArray(object, name, kDate, count, values);
}
int AOM_ask_value_double(tag_t object, const char* name, double* value) {
    VL_ENTER("AOM_ask_value_double", object);
    return askSingle(object, name, kReal, value, 0.0);
}
int AOM_ask_value_doubles(tag_t object, const char* name, int* count, double** values) {
    VL_ENTER("AOM_ask_value_doubles", object);
    return askArray(object, name, kReal, count, values);
}
int AOM_ask_value_int(tag_t object, const char* name, int* value) {
    VL_ENTER("AOM_ask_value_int", object);
    return askSingle(object, name, kInt, value, 0);
}
int AOM_ask_value_ints(tag_t object, const char* name, int* count, int** values) {
    VL_ENTER("AOM_ask_value_ints", object);
    return askArray(object, name, kInt, count, values);
}
int AOM_ask_value_logical(tag_t object, const char* name, bool* value) {
    VL_ENTER("AOM_ask_value_logical", object);
    std::vector<char> v;
    if (int rc = readAs(object, name, true, kLogical, &v)) return rc;
    if (value) *value = !v.empty() && v[0];
    return 0;
}
int AOM_ask_value_logicals(tag_t object, const char* name, int* count, bool** values) {
    VL_ENTER("AOM_ask_value_logicals", object);
    std::vector<char> v;
    if (int rc = readAs(object, name, false, kLogical, &v)) return rc;
    if (count) *count = static_cast<int>(v.size());
    if (values) {
        auto* p = static_cast<bool*>(SM_alloc_persistent(sizeof(bool) * v.size()));
        for (std::size_t i = 0; i < v.size(); ++i) p[i] = v[i] != 0;
        *values = p;
    }
    return 0;
}
int AOM_ask_value_string(tag_t object, const char* name, char** value) {
    VL_ENTER("AOM_ask_value_string", object);
    if (value) *value = nullptr;
    std::vector<std::string> v;
    if (int rc = readAs(object, name, true, kString, &v)) return rc;
    if (value) *value = SM_string_copy_persistent(v.empty() ? "" : v[0].c_str());
    return 0;
}
int AOM_ask_value_strings(tag_t object, const char* name, int* count, char*** values) {
    VL_ENTER("AOM_ask_value_strings", object);
    if (values) *values = nullptr;
    std::vector<std::string> v;
    if (int rc = readAs(object, name, false, kString, &v)) return rc;
    if (count) *count = static_cast<int>(v.size());
    if (values) *values = SM_pack_string_range(v);
    return 0;
}
int AOM_ask_value_tag(tag_t object, const char* name, tag_t* value) {
    VL_ENTER("AOM_ask_value_tag", object);
    if (value) *value = 0;
    return askSingle<tag_t>(object, name, kTag, value, 0);
}
int AOM_ask_value_tags(tag_t object, const char* name, int* count, tag_t** values) {
    VL_ENTER("AOM_ask_value_tags", object);
    return askArray(object, name, kTag, count, values);
}
int AOM_get_value_tags(tag_t object, const char* name, int* count, tag_t** values) {
    VL_ENTER("AOM_get_value_tags", object);
    return askArray(object, name, kTag, count, values);
}

int AOM_is_null_empty(tag_t object, const char* name, bool* isNullOrEmpty) {
    VL_ENTER("AOM_is_null_empty", object);
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = property(object, name, &o, &d)) return rc;
    Value v = propertyValue(*o, *d);
    bool empty = valueTexts(v, d->m_valueType).empty();
    if (auto* s = std::get_if<std::vector<std::string>>(&v); s && s->size() == 1) empty = (*s)[0].empty();
    if (isNullOrEmpty) *isNullOrEmpty = empty;
    return 0;
}

// --- typed writes ---

int AOM_set_value_char(tag_t object, const char* name, char value) {
    VL_ENTER("AOM_set_value_char", object);
    return writeAs(object, name, true, kChar, std::vector<char>{value});
}
int AOM_set_value_chars(tag_t object, const char* name, int count, const char* values) {
    VL_ENTER("AOM_set_value_chars", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    return writeAs(object, name, false, kChar, std::vector<char>(values, values + count));
}
int AOM_set_value_date(tag_t object, const char* name, date_s value) {
    VL_ENTER("AOM_set_value_date", object);
    return writeAs(object, name, true, kDate, value.year ? std::vector<date_s>{value} : std::vector<date_s>{});
}
int AOM_set_value_dates(tag_t object, const char* name, int count, const date_s* values) {
    VL_ENTER("AOM_set_value_dates", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    return writeAs(object, name, false, kDate, std::vector<date_s>(values, values + count));
}
int AOM_set_value_double(tag_t object, const char* name, double value) {
    VL_ENTER("AOM_set_value_double", object);
    return writeAs(object, name, true, kReal, std::vector<double>{value});
}
int AOM_set_value_doubles(tag_t object, const char* name, int count, const double* values) {
    VL_ENTER("AOM_set_value_doubles", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    return writeAs(object, name, false, kReal, std::vector<double>(values, values + count));
}
int AOM_set_value_int(tag_t object, const char* name, int value) {
    VL_ENTER("AOM_set_value_int", object);
    return writeAs(object, name, true, kInt, std::vector<int>{value});
}
int AOM_set_value_ints(tag_t object, const char* name, int count, const int* values) {
    VL_ENTER("AOM_set_value_ints", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    return writeAs(object, name, false, kInt, std::vector<int>(values, values + count));
}
int AOM_set_value_logical(tag_t object, const char* name, bool value) {
    VL_ENTER("AOM_set_value_logical", object);
    return writeAs(object, name, true, kLogical, std::vector<char>{static_cast<char>(value ? 1 : 0)});
}
int AOM_set_value_logicals(tag_t object, const char* name, int count, const bool* values) {
    VL_ENTER("AOM_set_value_logicals", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    std::vector<char> v;
    for (int i = 0; i < count; ++i) v.push_back(values[i] ? 1 : 0);
    return writeAs(object, name, false, kLogical, std::move(v));
}
int AOM_set_value_string(tag_t object, const char* name, const char* value) {
    VL_ENTER("AOM_set_value_string", object);
    return writeAs(object, name, true, kString, std::vector<std::string>{value ? value : ""});
}
int AOM_set_value_strings(tag_t object, const char* name, int count, const char* const* values) {
    VL_ENTER("AOM_set_value_strings", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    std::vector<std::string> v;
    for (int i = 0; i < count; ++i) v.emplace_back(values[i] ? values[i] : "");
    return writeAs(object, name, false, kString, std::move(v));
}
int AOM_set_value_tag(tag_t object, const char* name, tag_t value) {
    VL_ENTER("AOM_set_value_tag", object);
    return writeAs(object, name, true, kTag, std::vector<tag_t>{value});
}
int AOM_set_value_tags(tag_t object, const char* name, int count, const tag_t* values) {
    VL_ENTER("AOM_set_value_tags", object);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    return writeAs(object, name, false, kTag, std::vector<tag_t>(values, values + count));
}
int AOM_append_value_tag(tag_t object, const char* name, tag_t value) {
    VL_ENTER("AOM_set_value_tags", object);  // the same write, without its copies
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = writtenAs(object, name, kTag, &o, &d)) return rc;
    return appendToProperty(*o, *d, value);
}
int AOM_set_value_null(tag_t object, const char* name) {
    VL_ENTER("AOM_set_value_null", object);
    Object* o = nullptr;
    PropertyDescriptor* d = nullptr;
    if (int rc = property(object, name, &o, &d)) return rc;
    return writeProperty(*o, *d, emptyValue(d->m_valueType), d->m_arraySize == 1);
}

// --- where referenced ---

int WSOM_where_referenced(tag_t object, int levels, int* count, int** referencerLevels, tag_t** referencers,
                          char*** relations) {
    VL_ENTER("WSOM_where_referenced", object);
    if (count) *count = 0;
    if (referencerLevels) *referencerLevels = nullptr;
    if (referencers) *referencers = nullptr;
    if (relations) *relations = nullptr;
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    if (levels < 1) levels = 1;
    std::vector<int> outLevels;
    std::vector<tag_t> outTags;
    std::vector<std::string> outNames;
    std::set<tag_t> seen{object};
    std::vector<tag_t> frontier{object};
    for (int level = 1; level <= levels && !frontier.empty(); ++level) {
        std::vector<tag_t> next;
        for (tag_t target : frontier) {
            for (tag_t r : referencersOf(target)) {
                const Object* holder = find(r);
                tag_t who = 0;
                std::string how;
                if (holder->cls->isA("Relation")) {
                    if (getTag(*holder, "secondary_object") != target) continue;
                    who = getTag(*holder, "primary_object");
                    const TypeDef* t = typeDef(holder->type);
                    how = t ? t->name : std::string();
                } else {
                    for (std::size_t i = 0; i < holder->cls->attrs.size() && how.empty(); ++i) {
                        const AttrDef& a = holder->cls->attrs[i];
                        if (a.backRef || !isReference(a.type)) continue;
                        const std::span<const tag_t> v = holder->values[i].tags();
                        if (std::find(v.begin(), v.end(), target) != v.end()) how = a.name;
                    }
                    if (how.empty()) continue;
                    who = r;
                }
                if (!who || !find(who) || !seen.insert(who).second) continue;
                outLevels.push_back(level);
                outTags.push_back(who);
                outNames.push_back(how);
                next.push_back(who);
            }
        }
        frontier = std::move(next);
    }
    if (count) *count = static_cast<int>(outTags.size());
    if (referencerLevels) *referencerLevels = SM_copy_array(outLevels);
    if (referencers) *referencers = SM_copy_array(outTags);
    if (relations) *relations = SM_pack_string_range(outNames);
    return 0;
}

int UOM_find_by_name(const char* name, tag_t* unit) {
    VL_ENTER("UOM_find_by_name", 0);
    if (unit) *unit = name ? findByKey("UnitOfMeasure", name) : 0;
    return 0;
}
