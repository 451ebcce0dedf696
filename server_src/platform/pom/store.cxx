// The store core: objects and their indexes, values, keys and references,
// saves and locks, the journal and markpoints, store extensions and the
// registries the domains fill.
#include "pom/store.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/pom_object.hxx"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <set>

namespace vl::platform::store {

namespace {

std::unique_ptr<Store>& owned() {
    static std::unique_ptr<Store> s;
    return s;
}

void setCurrent(std::unique_ptr<Store> store) {
    owned() = std::move(store);
    detail::current = owned().get();
}

std::unordered_map<tag_t, std::unique_ptr<POMObject>>& loadedObjects() {
    static std::unordered_map<tag_t, std::unique_ptr<POMObject>> m;
    return m;
}

// The text of a key value, inlined on the write path (keyText is its export).
std::string_view keyTextOf(const Slot& v, char (&buffer)[16]) {
    if (v.index() == kValueIndex<std::string>) return v.firstString();
    if (const int* i = v.first<int>()) return {buffer, static_cast<std::size_t>(std::to_chars(buffer, buffer + 16, *i).ptr - buffer)};
    return {};
}

// The object other than `self` holding the key (declaring class, text) in a
// current value or, with `kept`, in the saved value of an unsaved change; 0
// when none.
tag_t keyHolder(const Store& s, std::string_view declaringClass, std::string_view text, bool kept = false,
                tag_t self = 0) {
    auto holds = [&](const Object& o, int i, const Slot& v) {
        const AttrDef& a = o.cls->attrs[i];
        char buffer[16];
        return a.key && a.declaringClass == declaringClass && keyTextOf(v, buffer) == text;
    };
    return s.keys.find(TagHash::hashOf(declaringClass, text), [&](tag_t t) {
        const Object* o = s.objects.find(t);
        if (!o || t == self) return false;
        for (std::size_t i = 0; i < o->values.size(); ++i)
            if (holds(*o, static_cast<int>(i), o->values[i])) return true;
        if (kept && o->pending)
            if (auto it = s.saved.find(t); it != s.saved.end())
                for (const auto& [i, v] : it->second)
                    if (holds(*o, i, v)) return true;
        return false;
    });
}

// The referencers of a target, made empty on first use.
TagCounts& referencerList(Store& s, tag_t target) {
    if (target >= s.referencers.size()) s.referencers.resize(target + 1);
    return s.referencers[target];
}

const TagCounts* heldReferencers(const Store& s, tag_t target) {
    return target < s.referencers.size() && !s.referencers[target].empty() ? &s.referencers[target] : nullptr;
}

void addRef(Store& s, tag_t from, tag_t target, int n = 1) {
    if (!target) return;
    referencerList(s, target).add(from, n);
    if (!s.objects.find(target)) s.dangling.insert(target);
}

void dropRef(Store& s, tag_t from, tag_t target, int n = 1) {
    if (!target || target >= s.referencers.size()) return;
    TagCounts& r = s.referencers[target];
    if (r.empty()) return;
    r.drop(from, n);
    if (r.empty() && !s.dangling.empty()) s.dangling.erase(target);
}

void addRefs(Store& s, tag_t from, std::span<const tag_t> targets) {
    for (tag_t t : targets) addRef(s, from, t);
}

void dropRefs(Store& s, tag_t from, std::span<const tag_t> targets) {
    for (tag_t t : targets) dropRef(s, from, t);
}

// One entry per key value held, even two of one object for one text (its
// string and int keys): each leaves with its own value. Two holders of one
// key can meet only for a moment of a roll-back, which ends with one.
void indexKeyValue(Store& s, const Object& o, const AttrDef& a, const Slot& v, bool add) {
    char buffer[16];
    const std::string_view text = keyTextOf(v, buffer);
    if (text.empty()) return;
    const std::uint32_t hash = TagHash::hashOf(a.declaringClass, text);
    if (add)
        s.keys.insert(hash, o.tag);
    else
        s.keys.erase(hash, o.tag);
}

void indexKey(Store& s, const Object& o, const AttrDef& a) {
    indexKeyValue(s, o, a, o.values[&a - o.cls->attrs.data()], true);
}

void unindexKey(Store& s, const Object& o, const AttrDef& a) {
    indexKeyValue(s, o, a, o.values[&a - o.cls->attrs.data()], false);
}

// n more references of the holder's current values to the target, against
// its saved values.
void countUnsaved(Store& s, tag_t holder, tag_t target, int n) {
    if (!target || !n) return;
    if (target >= s.unsavedReferences.size()) s.unsavedReferences.resize(target + 1);
    auto& held = s.unsavedReferences[target];
    auto it = std::find_if(held.begin(), held.end(), [&](const auto& e) { return e.first == holder; });
    if (it == held.end())
        held.emplace_back(holder, n);
    else if ((it->second += n) == 0)
        held.erase(it);
}

void countUnsaved(Store& s, tag_t holder, std::span<const tag_t> targets, int n) {
    for (tag_t t : targets) countUnsaved(s, holder, t, n);
}

// The object keeps a saved value of attribute i apart from the current one.
bool keepsSaved(const Store& s, const Object& o, int i) {
    if (!o.pending) return false;
    const auto it = s.saved.find(o.tag);
    if (it == s.saved.end()) return false;
    for (const auto& [index, value] : it->second)
        if (index == i) return true;
    return false;
}

// The saved value v of attribute i goes into the indexes (add) or out: its
// key stays reserved, and what it names beyond the current value is counted.
// The references compared are those between the common head and tail.
void indexSavedValue(Store& s, const Object& o, int i, const Slot& v, bool add) {
    const AttrDef& a = o.cls->attrs[i];
    if (a.key) indexKeyValue(s, o, a, v, add);
    if (!isReference(a.type)) return;
    const std::span<const tag_t> now = o.values[i].tags(), saved = v.tags();
    const SharedEnds e = sharedEnds(saved, now);
    const int sign = add ? 1 : -1;
    countUnsaved(s, o.tag, now.subspan(e.head, now.size() - e.head - e.tail), sign);
    countUnsaved(s, o.tag, saved.subspan(e.head, saved.size() - e.head - e.tail), -sign);
}

void indexSaved(Store& s, const Object& o, bool add) {
    const auto it = s.saved.find(o.tag);
    if (it == s.saved.end()) return;
    for (const auto& [i, v] : it->second) indexSavedValue(s, o, i, v, add);
}

// The object's saved values, out of the store and its indexes.
SavedValues takeSaved(Store& s, Object& o) {
    SavedValues out;
    o.pending = false;
    const auto it = s.saved.find(o.tag);
    if (it == s.saved.end()) return out;
    indexSaved(s, o, false);
    out = std::move(it->second);
    s.saved.erase(it);
    return out;
}

void indexAll(Store& s, const Object& o) {
    for (std::size_t i = 0; i < o.values.size(); ++i) {
        const AttrDef& a = o.cls->attrs[i];
        if (isReference(a.type)) addRefs(s, o.tag, o.values[i].tags());
        if (a.key) indexKey(s, o, a);
    }
}

void unindexAll(Store& s, const Object& o) {
    for (std::size_t i = 0; i < o.values.size(); ++i) {
        const AttrDef& a = o.cls->attrs[i];
        if (isReference(a.type)) dropRefs(s, o.tag, o.values[i].tags());
        if (a.key) unindexKey(s, o, a);
    }
}

// Replaces one value keeping the indexes right; no journal, no saved state.
// The reverse references change by the difference only: what lies between
// the common head and tail of the old and new lists.
void applyValue(Store& s, Object& o, int i, Slot v, const SharedEnds* known = nullptr) {
    s.sinceFixture.note(o.tag);
    const AttrDef& a = o.cls->attrs[i];
    if (a.key) unindexKey(s, o, a);
    if (isReference(a.type)) {
        const std::span<const tag_t> before = o.values[i].tags(), after = v.tags();
        const SharedEnds e = known ? *known : sharedEnds(before, after);
        const auto dropped = before.subspan(e.head, before.size() - e.head - e.tail);
        const auto added = after.subspan(e.head, after.size() - e.head - e.tail);
        dropRefs(s, o.tag, dropped);
        addRefs(s, o.tag, added);
        if (keepsSaved(s, o, i)) {
            countUnsaved(s, o.tag, dropped, -1);
            countUnsaved(s, o.tag, added, 1);
        }
    }
    o.values[i] = std::move(v);
    if (a.key) indexKey(s, o, a);
}

// Takes an object and the saved values of its unsaved changes out of the
// objects, the per-class lists and the indexes.
void unplaceObject(Store& s, const Object& o) {
    const tag_t t = o.tag;
    unindexAll(s, o);
    s.instances[o.cls].drop(t, 1);
    if (o.pending) {
        indexSaved(s, o, false);
        s.saved.erase(t);
    }
    s.objects.erase(t);
}

// Puts an object, with the saved values of its unsaved changes when given,
// into the objects, the per-class lists and the indexes.
Object& placeObject(Store& s, Object o, std::optional<SavedValues> saved) {
    Object& placed = s.objects.insert(std::move(o));
    s.instances[placed.cls].add(placed.tag, 1);
    indexAll(s, placed);
    if (saved) {
        s.saved[placed.tag] = std::move(*saved);
        indexSaved(s, placed, true);
    }
    return placed;
}

// Takes an object out of the store and its indexes (no journal).
void removeObject(Store& s, const Object& o) {
    const tag_t t = o.tag;
    s.sinceFixture.note(t);
    s.goneUids[t] = o.uid;
    s.phantoms[o.uid] = t;
    unplaceObject(s, o);
    if (heldReferencers(s, t)) s.dangling.insert(t);
}

// The object's saved values go back to what a journal entry kept.
void restoreSaved(Store& s, Object& o, bool pending, SavedValues& saved) {
    takeSaved(s, o);
    o.pending = pending;
    if (pending) {
        s.saved[o.tag] = std::move(saved);
        indexSaved(s, o, true);
    }
}

void restoreEntry(Store& s, JournalEntry& e) {
    switch (e.kind) {
    case JournalEntry::Other:
        e.undo();
        return;
    case JournalEntry::Created:
        if (const Object* o = s.objects.find(e.tag)) removeObject(s, *o);
        return;
    case JournalEntry::Destroyed: {
        const bool pending = e.before->pending;
        const Object& o = placeObject(s, std::move(*e.before),
                                      pending ? std::optional<SavedValues>(std::move(e.saved)) : std::nullopt);
        s.goneUids.erase(o.tag);
        s.phantoms.erase(o.uid);
        if (!s.dangling.empty()) s.dangling.erase(o.tag);
        return;
    }
    case JournalEntry::State:
        if (Object* o = s.objects.find(e.tag)) {
            o->locked = e.before->locked;
            o->readOnly = e.before->readOnly;
            o->dm = e.before->dm;
            restoreSaved(s, *o, e.before->pending, e.saved);
            o->epoch = e.before->epoch;
        }
        return;
    case JournalEntry::Attribute:
        if (Object* o = s.objects.find(e.tag)) applyValue(s, *o, e.attr, std::move(e.value));
        return;
    }
}

// Journals the value of attribute i before its first change since the last
// markpoint, unless the object was made since (rolling back removes it
// whole). A value journalled since is what a roll-back must give back.
void journalValue(Store& s, const Object& o, int i) {
    if (s.markpoints.empty() || o.born == s.epoch) return;
    const std::uint64_t key = std::uint64_t{o.tag} << 32 | static_cast<std::uint32_t>(i);
    const auto [at, first] = s.journalled.try_emplace(key, s.epoch);
    if (!first) {
        if (at->second == s.epoch) return;
        at->second = s.epoch;
    }
    JournalEntry e;
    e.kind = JournalEntry::Attribute;
    e.tag = o.tag;
    e.attr = i;
    e.value = o.values[i].keep();
    s.journal.push_back(std::move(e));
}

// A journaled change of one value.
void changeValue(Store& s, Object& o, int i, Slot v, const SharedEnds* known = nullptr) {
    journalValue(s, o, i);
    applyValue(s, o, i, std::move(v), known);
}

const char kUidAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

bool isReference(PROP_value_type_e t) {
    return t == PROP_typed_reference || t == PROP_untyped_reference || t == PROP_external_reference ||
           t == PROP_typed_relation || t == PROP_untyped_relation;
}

std::size_t valueIndexOf(PROP_value_type_e t) {
    switch (t) {
    case PROP_char:
    case PROP_logical:
        return kValueIndex<char>;
    case PROP_int:
    case PROP_short:
        return kValueIndex<int>;
    case PROP_double:
    case PROP_float:
        return kValueIndex<double>;
    case PROP_string:
    case PROP_note:
        return kValueIndex<std::string>;
    case PROP_date:
        return kValueIndex<date_s>;
    default:
        return isReference(t) ? kValueIndex<tag_t> : 0;
    }
}

Value emptyValue(PROP_value_type_e t) {
    switch (t) {
    case PROP_char:
    case PROP_logical:
        return std::vector<char>{};
    case PROP_int:
    case PROP_short:
        return std::vector<int>{};
    case PROP_double:
    case PROP_float:
        return std::vector<double>{};
    case PROP_string:
    case PROP_note:
        return std::vector<std::string>{};
    case PROP_date:
        return std::vector<date_s>{};
    default:
        if (isReference(t)) return std::vector<tag_t>{};
        return std::monostate{};
    }
}

ObjectTable::ObjectTable(const ObjectTable& other) : m_uids(other.m_uids), m_count(other.m_count) {
    m_slots.reserve(other.m_slots.size());
    for (const auto& slot : other.m_slots) m_slots.push_back(slot ? std::make_unique<Object>(*slot) : nullptr);
}

ObjectTable& ObjectTable::operator=(const ObjectTable& other) {
    if (this != &other) *this = ObjectTable(other);
    return *this;
}

Object& ObjectTable::insert(Object o) {
    const tag_t t = o.tag;
    if (t >= m_slots.size()) m_slots.resize(t + 1);  // grows geometrically; touches only what it holds
    m_slots[t] = std::make_unique<Object>(std::move(o));
    ++m_count;
    indexUid(*m_slots[t]);
    return *m_slots[t];
}

void ObjectTable::erase(tag_t t) {
    if (t < m_slots.size() && m_slots[t]) {
        unindexUid(*m_slots[t]);
        m_slots[t].reset();
        --m_count;
    }
}

void ObjectTable::renameUid(Object& o, Uid uid) {
    unindexUid(o);
    o.uid = uid;
    indexUid(o);
}

Uid::Uid(std::string_view text) {
    if (text.size() > sizeof m_text) throw std::length_error("a uid has at most 15 characters");
    std::memcpy(m_text, text.data(), text.size());
    m_size = static_cast<std::uint8_t>(text.size());
}

Object* ObjectTable::findUid(std::string_view uid) const {
    const tag_t t = m_uids.find(TagHash::hashOf(uid), [&](tag_t t) { return m_slots[t]->uid == uid; });
    return t ? m_slots[t].get() : nullptr;
}

void ObjectTable::indexUid(const Object& o) { m_uids.insert(TagHash::hashOf(o.uid), o.tag); }

void ObjectTable::unindexUid(const Object& o) { m_uids.erase(TagHash::hashOf(o.uid), o.tag); }

SlotArray::Block* SlotArray::allocate(std::size_t n) {
    auto* b = static_cast<Block*>(::operator new(offsetof(Block, slots) + n * sizeof(Slot)));
    b->size = n;
    return b;
}

SlotArray::SlotArray(std::size_t n) {
    if (n == 0) return;
    m_block = allocate(n);
    std::uninitialized_default_construct_n(m_block->slots, n);
}

SlotArray::SlotArray(std::span<const Slot> values) {
    if (values.empty()) return;
    m_block = allocate(values.size());
    std::uninitialized_copy_n(values.data(), values.size(), m_block->slots);
}

SlotArray::SlotArray(const SlotArray& other) {
    if (!other.m_block) return;
    m_block = allocate(other.size());
    std::uninitialized_copy_n(other.m_block->slots, other.size(), m_block->slots);
}

SlotArray& SlotArray::operator=(const SlotArray& other) {
    if (this != &other) *this = SlotArray(other);
    return *this;
}

SlotArray& SlotArray::operator=(SlotArray&& other) noexcept {
    if (this != &other) {
        this->~SlotArray();
        m_block = std::exchange(other.m_block, nullptr);
    }
    return *this;
}

SlotArray::~SlotArray() {
    if (!m_block) return;
    std::destroy_n(m_block->slots, m_block->size);
    ::operator delete(m_block);
    m_block = nullptr;
}

Slot& SlotArray::at(std::size_t i) const {
    if (i >= size()) throw std::out_of_range("no such attribute");
    return m_block->slots[i];
}

bool ClassDef::isA(const ClassDef* other) const {
    for (const ClassDef* c = this; c; c = c->parent)
        if (c == other) return true;
    return false;
}

bool ClassDef::isA(std::string_view className) const {
    for (const ClassDef* c = this; c; c = c->parent)
        if (c->name == className) return true;
    return false;
}

int ClassDef::attr(std::string_view attrName) const {
    auto it = index.find(attrName);
    return it == index.end() ? -1 : it->second;
}

void ClassDef::refreshKnown() {
    known.applicationObject = isA("POM_application_object");
    known.workspaceObject = isA("WorkspaceObject");
    known.owningUser = attr("owning_user");
    known.owningGroup = attr("owning_group");
    known.objectType = attr("object_type");
    known.creationDate = attr("creation_date");
    known.lastModDate = attr("last_mod_date");
    known.lastModUser = attr("last_mod_user");
    nullValues.clear();
    for (const AttrDef& a : attrs) nullValues.push_back(Slot::null(valueIndexOf(a.type)));
}

const ClassDef* Schema::find(std::string_view name) const {
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second.get();
}

const ClassDef* Schema::find(tag_t id) const {
    auto it = byId.find(id);
    return it == byId.end() ? nullptr : it->second;
}

Store* detail::current = nullptr;

Store& detail::makeFirst() {
    auto s = std::make_unique<Store>();
    s->schema = std::make_shared<Schema>();
    setCurrent(std::move(s));
    return *owned();
}

void installStore(std::unique_ptr<Store> store) {
    dropLoaded();
    setCurrent(std::move(store));
}

std::unique_ptr<Store> swapStore(std::unique_ptr<Store> store) {
    std::unique_ptr<Store> previous = std::move(owned());
    setCurrent(std::move(store));
    return previous;
}

std::unique_ptr<Store> copyStore(const Store& from) { return std::make_unique<Store>(from); }

std::string joinSorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& l : lines) out.append(l).push_back('\n');
    return out;
}

namespace {
std::vector<const char*>& extensionNames() {
    static std::vector<const char*> names;
    return names;
}
}  // namespace

std::size_t detail::newExtensionIndex(const char* name) {
    extensionNames().push_back(name);
    return extensionNames().size() - 1;
}

const char* extensionName(std::size_t index) { return extensionNames().at(index); }

std::string dumpStrings(const std::vector<std::string>& strings) {
    std::string out = "[";
    for (const std::string& e : strings) out += std::to_string(e.size()) + ":" + e + ",";
    return out + "]";
}

void watchFixture() {
    Store& s = S();
    s.sinceFixture.watch(s.nextTag);
}

namespace {

// to = from, unless they are equal already: most of what a reset restores is
// small and left as it was, and comparing allocates nothing.
template <class T>
void restoreMember(T& to, const T& from) {
    if (!(to == from)) to = from;
}

}  // namespace

void restoreFrom(const Store& f) {
    Store& s = S();
    // The objects that changed and those made since: all out first, so that
    // none is indexed against another's state of the input.
    std::vector<tag_t> tags = s.sinceFixture.tags();
    for (tag_t t = f.nextTag; t < s.nextTag; ++t) tags.push_back(t);
    for (tag_t t : tags) {
        if (const Object* o = s.objects.find(t)) unplaceObject(s, *o);
        s.saved.erase(t);
    }
    for (tag_t t : tags) {
        const Object* o = f.objects.find(t);
        if (!o) continue;
        const auto it = f.saved.find(t);
        placeObject(s, *o, it != f.saved.end() ? std::optional<SavedValues>(it->second) : std::nullopt);
    }
    s.sinceFixture.clear();
    restoreMember(s.dangling, f.dangling);
    restoreMember(s.goneUids, f.goneUids);
    restoreMember(s.phantoms, f.phantoms);
    restoreMember(s.unknownUids, f.unknownUids);
    restoreMember(s.unknownTags, f.unknownTags);
    restoreMember(s.givenUids, f.givenUids);
    s.nextTag = f.nextTag;
    s.uidCounter = f.uidCounter;
    s.uidSalt = f.uidSalt;
    s.schema = f.schema;
    s.identity = f.identity;
    s.loading = f.loading;
    // Only the domains an input used can differ.
    if (s.extensions.size() < f.extensions.size()) s.extensions.resize(f.extensions.size());
    for (std::size_t i = 0; i < s.extensions.size(); ++i) {
        ExtensionSlot& slot = s.extensions[i];
        const ExtensionSlot* from = i < f.extensions.size() && f.extensions[i].get() ? &f.extensions[i] : nullptr;
        if (!from)
            slot = ExtensionSlot();
        else if (!slot.get())
            slot = *from;
        else if (slot.used())
            slot.restoreFrom(*from);
    }
    s.journal = f.journal;
    s.markpoints = f.markpoints;
    s.epoch = f.epoch;
    s.epochCounter = f.epochCounter;
    s.nextMarkpoint = f.nextMarkpoint;
}

int fail(int code, const std::string& text) {
    return ERROR_store(3, code, text.empty() ? nullptr : text.c_str());
}

int failAbout(int code, const std::string& detail) {
    return detail.empty() ? fail(code) : fail(code, ERROR_code_text(code) + ": " + detail);
}

Object* find(tag_t tag) { return S().objects.find(tag); }

int need(tag_t tag, Object** out) {
    Object* o = find(tag);
    if (out) *out = o;
    if (!o) return fail(ERR_INVALID_TAG);
    return 0;
}

int need(tag_t tag, const char* className, Object** out) {
    Object* o = nullptr;
    if (int rc = need(tag, &o)) {
        if (out) *out = nullptr;
        return rc;
    }
    if (!o->cls->isA(className)) {
        if (out) *out = nullptr;
        return fail(ERR_WRONG_CLASS, std::string("not a ") + className + ": " + o->uid);
    }
    if (out) *out = o;
    return 0;
}

bool isA(const Object& o, const char* className) { return o.cls && o.cls->isA(className); }

const ClassDef* classNamed(std::string_view name) { return S().schema->find(name); }

tag_t newTag() { return S().nextTag++; }

std::string newUid() {
    Store& s = S();
    // A bijective scramble of a counter modulo 62^14: unique, fixed width,
    // and not guessable from neighbours.
    constexpr unsigned __int128 kMod = [] {
        unsigned __int128 m = 1;
        for (int i = 0; i < 14; ++i) m *= 62;
        return m;
    }();
    constexpr unsigned __int128 kMul = 0x9E3779B97F4A7C15ull;  // odd, not a multiple of 31
    constexpr std::uint64_t kHalf = 3521614606208ull;  // 62^7
    for (;;) {
        unsigned __int128 n = (static_cast<unsigned __int128>(++s.uidCounter) + s.uidSalt) * kMul % kMod;
        // Two 64-bit halves of seven digits each: one 128-bit division only.
        std::uint64_t halves[2] = {static_cast<std::uint64_t>(n / kHalf), static_cast<std::uint64_t>(n % kHalf)};
        std::string uid(14, '0');
        for (int h = 1; h >= 0; --h)
            for (int i = 7 * h + 6; i >= 7 * h; --i) {
                uid[i] = kUidAlphabet[halves[h] % 62];
                halves[h] /= 62;
            }
        // Made uids never repeat; only given ones and client texts can clash.
        if ((s.givenUids.empty() || !s.givenUids.count(uid)) && (s.phantoms.empty() || !s.phantoms.count(uid)) &&
            (s.unknownUids.empty() || !s.unknownUids.count(uid)))
            return uid;
    }
}

namespace {

TypeKnowledge& typeKnowledge() {
    static TypeKnowledge k;
    return k;
}

}  // namespace

bool registerTypeKnowledge(const TypeKnowledge& k) {
    typeKnowledge() = k;
    return true;
}

Object& create(const ClassDef* cls, tag_t type, const std::string& uid) {
    Store& s = S();
    tag_t t = s.nextTag++;
    Object o;
    o.tag = t;
    o.cls = cls;
    const TypeKnowledge& types = typeKnowledge();
    o.type = type ? type : types.typeOfClass ? types.typeOfClass(cls) : 0;
    o.uid = uid.empty() ? newUid() : uid;
    o.locked = true;
    o.values = SlotArray(cls->nullValues);
    if (!s.markpoints.empty()) {
        JournalEntry e;
        e.kind = JournalEntry::Created;
        e.tag = t;
        s.journal.push_back(std::move(e));
        o.epoch = o.born = s.epoch;
    }
    Object& placed = s.objects.insert(std::move(o));
    s.instances[cls].add(t, 1);
    const KnownAttrs& k = cls->known;
    if (k.applicationObject) {
        if (k.owningUser >= 0 && s.identity.user) applyValue(s, placed, k.owningUser, Slot::one<tag_t>(s.identity.user));
        if (k.owningGroup >= 0 && s.identity.group)
            applyValue(s, placed, k.owningGroup, Slot::one<tag_t>(s.identity.group));
    }
    if (k.workspaceObject && k.objectType >= 0 && types.typeNameValue)
        if (const Slot* name = types.typeNameValue(placed.type)) applyValue(s, placed, k.objectType, *name);
    return placed;
}

Object& create(const char* className, tag_t type) {
    const ClassDef* c = classNamed(className);
    if (!c) {
        // Only reachable with a fixture that lacks a built-in class.
        std::fprintf(stderr, "platform: class %s is not defined\n", className);
        std::abort();
    }
    return create(c, type);
}

void destroy(Object& o) {
    Store& s = S();
    const tag_t gone = o.tag;
    for (ExtensionSlot& slot : s.extensions)
        if (slot.get()) slot.use()->objectGone(gone);
    if (!s.markpoints.empty() && o.born != s.epoch) {
        JournalEntry e;
        e.kind = JournalEntry::Destroyed;
        e.tag = gone;
        e.before = o;
        if (o.pending) e.saved = s.saved[o.tag];
        s.journal.push_back(std::move(e));
    }
    removeObject(s, o);
}

int attr(const Object& o, std::string_view name) { return o.cls->attr(name); }

Value value(const Object& o, int index) { return o.values.at(index).value(); }

void touch(Object& o) {
    Store& s = S();
    s.sinceFixture.note(o.tag);
    if (s.markpoints.empty() || o.epoch == s.epoch) return;
    JournalEntry e;
    e.kind = JournalEntry::State;
    e.tag = o.tag;
    e.before.emplace();
    e.before->locked = o.locked;
    e.before->readOnly = o.readOnly;
    e.before->dm = o.dm;
    e.before->pending = o.pending;
    if (o.pending) e.saved = s.saved[o.tag];
    e.before->epoch = o.epoch;
    s.journal.push_back(std::move(e));
    o.epoch = s.epoch;
}

void journalUndo(std::function<void()> undo) {
    Store& s = S();
    if (s.markpoints.empty()) return;
    JournalEntry e;
    e.kind = JournalEntry::Other;
    e.undo = std::move(undo);
    s.journal.push_back(std::move(e));
}

// Keeps the saved value of attribute i before its first change since the
// last save; marks the object as having unsaved changes.
static void rememberSaved(Store& s, Object& o, int i) {
    SavedValues& saved = s.saved[o.tag];
    o.pending = true;
    for (const auto& [index, value] : saved)
        if (index == i) return;
    saved.emplace_back(i, o.values[i].keep());
    indexSavedValue(s, o, i, saved.back().second, true);
}

static int setValueImpl(Object& o, int i, Slot next, bool baseline, const SharedEnds* known = nullptr) {
    Store& s = S();
    if (i < 0 || i >= static_cast<int>(o.values.size())) return fail(ERR_NO_SUCH_ATTRIBUTE);
    const AttrDef& a = o.cls->attrs[i];
    if (known) {
        const std::size_t held = o.values[i].tags().size();
        if (next.index() != kValueIndex<tag_t> || o.values[i].index() != kValueIndex<tag_t>)
            known = nullptr;  // not two tag lists: measure anew
        else if (known->head == held && held == next.tags().size())
            return 0;
    }
    if (!known && o.values[i] == next) return 0;
    if (a.key) {
        char buffer[16];
        const std::string_view text = keyTextOf(next, buffer);
        // A value another object keeps as its saved one is still its: a
        // refresh of that object takes it back.
        if (const tag_t holder = text.empty() ? 0 : keyHolder(s, a.declaringClass, text, true, o.tag)) {
            const std::string taken = a.name + " \"" + std::string(text) + "\" ";
            if (keyHolder(s, a.declaringClass, text, false, o.tag)) return fail(ERR_DUPLICATE, taken + "is taken");
            return fail(ERR_DUPLICATE, taken + "stays " + s.objects.find(holder)->uid +
                                           "'s until its unsaved change is saved or discarded");
        }
    }
    touch(o);
    if (!baseline || o.pending) rememberSaved(s, o, i);
    changeValue(s, o, i, std::move(next), known);
    return 0;
}

int setValue(Object& o, int index, Value v) { return setValueImpl(o, index, Slot(std::move(v)), false); }
int setValue(Object& o, int index, Slot v) { return setValueImpl(o, index, std::move(v), false); }

int setValue(Object& o, int index, Value v, SharedEnds known) {
    return setValue(o, index, Slot(std::move(v)), known);
}
int setValue(Object& o, int index, Slot v, SharedEnds known) {
    return setValueImpl(o, index, std::move(v), false, &known);
}

int setValue(Object& o, std::string_view name, Value v) { return setValue(o, name, Slot(std::move(v))); }
int setValue(Object& o, std::string_view name, Slot v) {
    int i = o.cls->attr(name);
    if (i < 0) return fail(ERR_NO_SUCH_ATTRIBUTE, std::string(name));
    return setValueImpl(o, i, std::move(v), false);
}

int setCommitted(Object& o, int i, Value v) {
    const bool pending = o.pending;
    if (int rc = setValue(o, i, std::move(v))) return rc;
    Store& s = S();
    if (!pending) {
        takeSaved(s, o);
    } else {
        // The new value is now the saved one of that attribute.
        for (auto& [index, value] : s.saved[o.tag])
            if (index == i) {
                indexSavedValue(s, o, i, value, false);
                value = o.values[i];
                indexSavedValue(s, o, i, value, true);
            }
    }
    return 0;
}

int initValue(Object& o, std::string_view name, Value v) { return initValue(o, name, Slot(std::move(v))); }
int initValue(Object& o, std::string_view name, Slot v) {
    int i = o.cls->attr(name);
    if (i < 0) return fail(ERR_NO_SUCH_ATTRIBUTE, std::string(name));
    return setValueImpl(o, i, std::move(v), true);
}

std::string getString(const Object& o, std::string_view name) {
    int i = o.cls->attr(name);
    return i < 0 ? std::string() : std::string(o.values[i].firstString());
}

std::vector<std::string> getStrings(const Object& o, std::string_view name) {
    int i = o.cls->attr(name);
    if (i < 0 || o.values[i].index() != kValueIndex<std::string>) return {};
    return std::get<std::vector<std::string>>(o.values[i].value());
}

tag_t getTag(const Object& o, std::string_view name) {
    int i = o.cls->attr(name);
    if (i < 0) return 0;
    std::span<const tag_t> t = o.values[i].tags();
    return t.empty() ? 0 : t[0];
}

std::vector<tag_t> getTags(const Object& o, std::string_view name) {
    int i = o.cls->attr(name);
    if (i < 0) return {};
    std::span<const tag_t> t = o.values[i].tags();
    return {t.begin(), t.end()};
}

int getInt(const Object& o, std::string_view name, int fallback) {
    int i = o.cls->attr(name);
    const int* v = i < 0 ? nullptr : o.values[i].first<int>();
    return v ? *v : fallback;
}

bool getLogical(const Object& o, std::string_view name) {
    int i = o.cls->attr(name);
    const char* v = i < 0 ? nullptr : o.values[i].first<char>();
    return v && *v;
}

date_s getDate(const Object& o, std::string_view name) {
    int i = o.cls->attr(name);
    const date_s* v = i < 0 ? nullptr : o.values[i].first<date_s>();
    return v ? *v : date_s{};
}

int setString(Object& o, std::string_view name, const std::string& v) {
    return setValue(o, name, v.empty() ? Slot::null(kValueIndex<std::string>) : Slot::text(v));
}
int setStrings(Object& o, std::string_view name, std::vector<std::string> v) {
    return setValue(o, name, std::move(v));
}
int setTag(Object& o, std::string_view name, tag_t v) {
    return setValue(o, name, v ? Slot::one<tag_t>(v) : Slot::null(kValueIndex<tag_t>));
}
int setTags(Object& o, std::string_view name, std::vector<tag_t> v) { return setValue(o, name, std::move(v)); }
int setInt(Object& o, std::string_view name, int v) { return setValue(o, name, Slot::one<int>(v)); }
int setLogical(Object& o, std::string_view name, bool v) { return setValue(o, name, Slot::one<char>(v ? 1 : 0)); }
int setDate(Object& o, std::string_view name, date_s v) {
    return setValue(o, name, v.year ? Slot::one<date_s>(v) : Slot::null(kValueIndex<date_s>));
}

std::string_view keyText(const Slot& v, char (&buffer)[16]) { return keyTextOf(v, buffer); }

tag_t findByKey(const std::string& declaringClass, const std::string& value) {
    return value.empty() ? 0 : keyHolder(S(), declaringClass, value);
}

tag_t keyInUse(const std::string& declaringClass, const std::string& value) {
    return value.empty() ? 0 : keyHolder(S(), declaringClass, value, true);
}

int insertTag(Object& o, int i, int position, tag_t t) {
    Store& s = S();
    if (i < 0 || i >= static_cast<int>(o.values.size())) return fail(ERR_NO_SUCH_ATTRIBUTE);
    if (o.values[i].index() != kValueIndex<tag_t>) return fail(ERR_BAD_VALUE);
    touch(o);
    rememberSaved(s, o, i);
    journalValue(s, o, i);
    const std::size_t size = o.values[i].count();
    o.values[i].insertTag(position < 0 || static_cast<std::size_t>(position) >= size ? size
                                                                                     : static_cast<std::size_t>(position),
                          t);
    addRef(s, o.tag, t);
    countUnsaved(s, o.tag, t, 1);
    return 0;
}

int removeTag(Object& o, int i, tag_t t, std::vector<int>* positions) {
    if (i < 0 || i >= static_cast<int>(o.values.size())) return 0;
    Store& s = S();
    // The one reference the object holds to it is in this list at most: it
    // may be looked for from the last removal on, and nothing after it need
    // be looked at.
    const bool once = heldReferencers(s, t) && s.referencers[t].count(o.tag) == 1;
    const std::size_t at = o.values[i].find(t, once);
    if (at == SIZE_MAX) return 0;
    if (!o.cls->attrs[i].key) {
        // In place, as insertTag does: re-indexing a long list for one entry
        // would make emptying a folder quadratic.
        touch(o);
        rememberSaved(s, o, i);
        journalValue(s, o, i);
        const int n = static_cast<int>(o.values[i].eraseTags(at, t, once, positions));
        dropRef(s, o.tag, t, n);
        countUnsaved(s, o.tag, t, -n);
        return n;
    }
    const std::span<const tag_t> held = o.values[i].tags();
    std::vector<tag_t> kept;
    kept.reserve(held.size());
    int n = 0;
    for (std::size_t k = 0; k < held.size(); ++k) {
        if (held[k] == t) {
            ++n;
            if (positions) positions->push_back(static_cast<int>(k));
        } else {
            kept.push_back(held[k]);
        }
    }
    setValue(o, i, std::move(kept));
    return n;
}

std::vector<tag_t> instancesOf(const std::string& className) {
    Store& s = S();
    std::vector<tag_t> out;
    for (const auto& [cls, tags] : s.instances) {
        if (!cls->isA(className)) continue;
        const std::size_t from = out.size();
        tags.forEach([&](tag_t t) { out.push_back(t); });
        std::inplace_merge(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(from), out.end());
    }
    return out;
}

std::vector<tag_t> referencersOf(tag_t target) {
    Store& s = S();
    std::vector<tag_t> out;
    const TagCounts* held = heldReferencers(s, target);
    if (!held) return out;
    out.reserve(held->size());
    // Tags are handed out in creation order: the list is in that order already.
    held->forEach([&](tag_t from) {
        if (s.objects.find(from)) out.push_back(from);
    });
    return out;
}

int refuseSavedReferences(const Object& target, const std::set<tag_t>& going) {
    Store& s = S();
    if (target.tag >= s.unsavedReferences.size()) return 0;
    for (const auto& [holder, n] : s.unsavedReferences[target.tag])
        if (n < 0 && !going.count(holder))
            if (const Object* h = s.objects.find(holder))
                return fail(ERR_REFERENCED, target.uid + " is still named by the saved values of " + h->uid +
                                                ", whose unsaved change took it out");
    return 0;
}

std::size_t referencerCount(tag_t target) {
    const TagCounts* held = heldReferencers(S(), target);
    return held ? held->size() : 0;
}

bool noDanglingReferences() { return S().dangling.empty(); }

bool privileged() {
    Store& s = S();
    if (s.loading) return true;
    if (!s.identity.loggedIn || !s.identity.group) return false;
    const Object* g = find(s.identity.group);
    return g && getInt(*g, "privilege") == 1;
}

tag_t currentUser() { return S().identity.loggedIn ? S().identity.user : 0; }
tag_t currentGroup() { return S().identity.loggedIn ? S().identity.group : 0; }

namespace {

template <class Privileged>
bool canWriteAs(const Object& o, Privileged&& isPrivileged) {
    if (S().loading) return true;
    if (o.readOnly) return false;
    if (!S().identity.loggedIn) return false;
    if (isPrivileged()) return true;
    int ou = o.cls->attr("owning_user");
    if (ou < 0) return false;
    return getTag(o, "owning_user") == currentUser();
}

}  // namespace

bool canWrite(const Object& o) {
    return canWriteAs(o, [] { return privileged(); });
}

bool canWrite(const Object& o, bool privileged) {
    return canWriteAs(o, [privileged] { return privileged; });
}

int lock(Object& o) {
    if (o.readOnly) return fail(ERR_READ_ONLY_OBJECT, o.uid);
    if (!canWrite(o)) return fail(ERR_NO_ACCESS, o.uid);
    if (!o.locked) {
        touch(o);
        o.locked = true;
    }
    return 0;
}

void unlock(Object& o) {
    if (!o.locked) return;
    touch(o);
    o.locked = false;
}

static std::optional<date_s>& pinnedClock() {
    static std::optional<date_s> pinned;
    return pinned;
}

void pinClock(const date_s& utc) { pinnedClock() = utc; }
void unpinClock() { pinnedClock().reset(); }

date_s now() {
    if (pinnedClock()) return *pinnedClock();
    // Saves come many to a second: convert each second once.
    static std::time_t last = -1;
    static date_s lastDate;
    std::time_t t = std::time(nullptr);
    if (t == last) return lastDate;
    std::tm tm{};
    gmtime_r(&t, &tm);
    date_s d;
    d.year = static_cast<short>(tm.tm_year + 1900);
    d.month = static_cast<unsigned char>(tm.tm_mon);
    d.day = static_cast<unsigned char>(tm.tm_mday);
    d.hour = static_cast<unsigned char>(tm.tm_hour);
    d.minute = static_cast<unsigned char>(tm.tm_min);
    d.second = static_cast<unsigned char>(tm.tm_sec);
    last = t;
    lastDate = d;
    return d;
}

int save(Object& o) {
    if (o.readOnly) return fail(ERR_READ_ONLY_OBJECT, o.uid);
    if (const auto check = typeKnowledge().checkRequired)
        if (int rc = check(o)) return rc;
    Store& s = S();
    const KnownAttrs& k = o.cls->known;
    auto undated = [&] {
        if (k.creationDate < 0) return false;
        const date_s* d = o.values[k.creationDate].first<date_s>();
        return !d || d->year == 0;
    };
    bool stamp = o.pending || undated();
    if (stamp && k.applicationObject) {
        touch(o);
        date_s t = now();
        if (undated()) changeValue(s, o, k.creationDate, Slot::one<date_s>(t));
        if (k.lastModDate >= 0) changeValue(s, o, k.lastModDate, Slot::one<date_s>(t));
        if (k.lastModUser >= 0 && currentUser()) changeValue(s, o, k.lastModUser, Slot::one<tag_t>(currentUser()));
    }
    if (o.pending) {
        touch(o);
        takeSaved(s, o);
    }
    return 0;
}

void revert(Object& o) {
    if (!o.pending) return;
    Store& s = S();
    touch(o);
    SavedValues saved = takeSaved(s, o);
    for (auto& [i, value] : saved)
        if (!(o.values[i] == value)) changeValue(s, o, i, std::move(value));
}

std::string formatDate(const date_s& d) {
    if (d.year == 0) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month + 1, d.day, d.hour, d.minute,
                  d.second);
    return buf;
}

bool parseDate(const std::string& text, date_s* out) {
    int y = 0, mo = 0, dd = 0, h = 0, mi = 0, se = 0;
    char tail[8] = {0};
    int n = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%7s", &y, &mo, &dd, &h, &mi, &se, tail);
    if (n < 3) return false;
    if (n == 3) {
        // Date alone: nothing may follow it.
        if (text.size() != 10) return false;
    } else if (n < 6) {
        return false;
    }
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || mo < 1 || mo > 12 || dd < 1 || dd > days[mo - 1] || h > 23 || mi > 59 || se > 59 ||
        h < 0 || mi < 0 || se < 0)
        return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (mo == 2 && dd == 29 && !leap) return false;
    date_s d;
    d.year = static_cast<short>(y);
    d.month = static_cast<unsigned char>(mo - 1);
    d.day = static_cast<unsigned char>(dd);
    d.hour = static_cast<unsigned char>(h);
    d.minute = static_cast<unsigned char>(mi);
    d.second = static_cast<unsigned char>(se);
    if (out) *out = d;
    return true;
}

namespace {

StringMap<DisplayName>& displayNames() {
    static StringMap<DisplayName> m;
    return m;
}

}  // namespace

bool registerDisplayName(const char* className, DisplayName name) {
    return displayNames().emplace(className, name).second;
}

std::string displayString(tag_t tag) {
    const Object* o = find(tag);
    if (!o) return {};
    const auto& names = displayNames();
    for (const ClassDef* c = o->cls; c; c = c->parent)
        if (auto it = names.find(c->name); it != names.end()) return it->second(*o);
    return o->uid;
}

// --- seams: call log and faults ---

namespace {

struct Fault {
    std::string function;
    int code;
    tag_t tag;
};

std::vector<Fault>& faults() {
    static std::vector<Fault> f;
    return f;
}

std::vector<const char*>& callLog() {
    static std::vector<const char*> log;
    return log;
}

constexpr std::size_t kCallLogCap = 1000000;

}  // namespace

int enter(const char* function, tag_t tag) {
    auto& log = callLog();
    if (log.size() < kCallLogCap) log.push_back(function);
    auto& f = faults();
    if (f.empty()) return 0;
    for (auto it = f.begin(); it != f.end(); ++it)
        if (it->function == function && (it->tag == 0 || it->tag == tag)) {
            int code = it->code;
            f.erase(it);
            return ERROR_store(3, code, (std::string("injected failure of ") + function).c_str());
        }
    return 0;
}

// --- loaded objects ---

namespace {

StringMap<LoadedFactory>& factories() {
    static StringMap<LoadedFactory> f;
    return f;
}

}  // namespace

bool registerLoadedClass(const char* className, LoadedFactory make) {
    return factories().emplace(className, make).second;
}

POMObject* loaded(tag_t tag) {
    const Object* o = find(tag);
    if (!o) return nullptr;
    auto& m = loadedObjects();
    auto it = m.find(tag);
    if (it != m.end()) return it->second.get();
    LoadedFactory f = &makeLoaded<POMObject>;
    const auto& registered = factories();
    for (const ClassDef* c = o->cls; c; c = c->parent)
        if (auto found = registered.find(c->name); found != registered.end()) {
            f = found->second;
            break;
        }
    return m.emplace(tag, std::unique_ptr<POMObject>(f(tag))).first->second.get();
}

namespace {
std::vector<void (*)()>& loadedCaches() {
    static std::vector<void (*)()> drops;
    return drops;
}
}  // namespace

bool registerLoadedCache(void (*drop)()) {
    loadedCaches().push_back(drop);
    return true;
}

void dropLoaded() {
    loadedObjects().clear();
    for (void (*drop)() : loadedCaches()) drop();
}

// --- markpoints (used by pom.cxx) ---

// The next journal epoch. Once in four billion, every epoch held (by the
// objects and in the journal) becomes 0, older than any to come, so none
// can be taken for a later one.
static std::uint32_t nextEpoch(Store& s) {
    if (s.epochCounter == std::numeric_limits<std::uint32_t>::max()) {
        s.objects.forEach([](Object& o) { o.epoch = o.born = 0; });
        for (JournalEntry& e : s.journal)
            if (e.before) e.before->epoch = e.before->born = 0;
        for (auto& [key, epoch] : s.journalled) epoch = 0;
        s.epochCounter = 0;
    }
    return ++s.epochCounter;
}

int placeMarkpoint() {
    Store& s = S();
    Markpoint m;
    m.id = s.nextMarkpoint++;
    m.journalPos = s.journal.size();
    s.markpoints.push_back(m);
    s.epoch = nextEpoch(s);
    return m.id;
}

int rollToMarkpoint(int id, bool* changed) {
    Store& s = S();
    auto it = std::find_if(s.markpoints.begin(), s.markpoints.end(), [&](const Markpoint& m) { return m.id == id; });
    if (it == s.markpoints.end()) return fail(ERR_NO_MARKPOINT, std::to_string(id));
    std::size_t pos = it->journalPos;
    bool any = s.journal.size() > pos;
    while (s.journal.size() > pos) {
        JournalEntry e = std::move(s.journal.back());
        s.journal.pop_back();
        restoreEntry(s, e);
    }
    s.markpoints.erase(it + 1, s.markpoints.end());
    s.epoch = nextEpoch(s);
    if (changed) *changed = any;
    return 0;
}

int forgetMarkpoint(int id) {
    Store& s = S();
    auto it = std::find_if(s.markpoints.begin(), s.markpoints.end(), [&](const Markpoint& m) { return m.id == id; });
    if (it == s.markpoints.end()) return fail(ERR_NO_MARKPOINT, std::to_string(id));
    s.markpoints.erase(it, s.markpoints.end());
    if (s.markpoints.empty()) {
        s.journal.clear();
        s.journalled = {};  // frees its buckets too: clearing them costs their number
    }
    return 0;
}

std::vector<std::string> callLogNames() {
    std::vector<std::string> out;
    out.reserve(callLog().size());
    for (const char* c : callLog()) out.emplace_back(c);
    return out;
}
void callLogClear() { callLog().clear(); }
void faultInject(const std::string& f, int code, tag_t tag) { faults().push_back({f, code, tag}); }
void faultClear() { faults().clear(); }
int faultPending() { return static_cast<int>(faults().size()); }

}  // namespace vl::platform::store
