#pragma once
// The in-memory object store behind every platform call: its core, which
// knows no domain. Platform code (and only platform code) works on it through
// these helpers; services use the platform calls. Each domain keeps its own
// state as a store extension and registers what the core must ask of it.
//
// Objects: a tag, a class (single inheritance rooted at "POMObject"), a
// business type, a uid and one value per attribute of the class. Changes go
// through setValue so that the reverse references, the key indexes, the
// saved state and the markpoint journal stay right.
#include "pom/pom_types.hxx"
#include "pom/slot.hxx"
#include "pom/tag_counts.hxx"
#include "pom/tag_hash.hxx"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <variant>
#include <vector>

class POMObject;

namespace vl::platform::store {

// String-keyed maps that look up by std::string_view (and literals) without
// building a std::string.
struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
template <class V>
using StringMap = std::unordered_map<std::string, V, StringHash, std::equal_to<>>;

// Orders (type, property) pairs and finds them by a pair of string_views.
struct NamePairLess {
    using is_transparent = void;
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
        const std::string_view af = a.first, bf = b.first;
        if (af != bf) return af < bf;
        return std::string_view(a.second) < std::string_view(b.second);
    }
};

bool isReference(PROP_value_type_e type);
Value emptyValue(PROP_value_type_e type);
std::size_t valueIndexOf(PROP_value_type_e type);  // the Value alternative of the type

struct AttrDef {
    std::string name;
    PROP_value_type_e type = PROP_string;
    int arraySize = 1;  // 1 single, -1 any length, n at most n
    int maxLength = 0;  // strings; 0 no limit
    std::string refClass;
    bool required = false;
    bool system = false;   // set by the platform only (owner, type, dates)
    bool backRef = false;  // a structural back pointer: not a "where referenced" use
    bool key = false;      // unique per declaring class (item ids, user ids, ...)
    std::string declaringClass;
};

// Indexes of the attributes the platform itself sets on every object, and
// the base classes that decide which; -1 and false when the class has none.
struct KnownAttrs {
    bool applicationObject = false, workspaceObject = false;
    int owningUser = -1, owningGroup = -1, objectType = -1;
    int creationDate = -1, lastModDate = -1, lastModUser = -1;
};

struct ClassDef {
    tag_t id = 0;
    std::string name;
    const ClassDef* parent = nullptr;
    std::vector<AttrDef> attrs;  // inherited ones first
    StringMap<int> index;
    KnownAttrs known;  // kept right by refreshKnown after each change of attrs
    std::vector<Slot> nullValues;  // per attribute the null value of its type, the same
    bool isA(const ClassDef* other) const;
    bool isA(std::string_view className) const;
    int attr(std::string_view attrName) const;  // -1 when none
    void refreshKnown();
};

struct Schema {
    StringMap<std::unique_ptr<ClassDef>> byName;
    std::unordered_map<tag_t, const ClassDef*> byId;
    std::vector<const ClassDef*> order;  // declaration order
    const ClassDef* find(std::string_view name) const;
    const ClassDef* find(tag_t id) const;
};

// The values of one object, one slot per attribute of its class, in one
// block sized once: the count lives in the block, so the handle is a pointer.
class SlotArray {
public:
    SlotArray() = default;
    explicit SlotArray(std::size_t n);
    explicit SlotArray(std::span<const Slot> values);  // copies of them
    SlotArray(const SlotArray& other);
    SlotArray& operator=(const SlotArray& other);
    SlotArray(SlotArray&& other) noexcept : m_block(std::exchange(other.m_block, nullptr)) {}
    SlotArray& operator=(SlotArray&& other) noexcept;
    ~SlotArray();

    std::size_t size() const { return m_block ? m_block->size : 0; }
    Slot* begin() const { return m_block ? m_block->slots : nullptr; }
    Slot* end() const { return begin() + size(); }
    Slot& operator[](std::size_t i) const { return m_block->slots[i]; }
    Slot& at(std::size_t i) const;

private:
    struct Block {
        std::size_t size;
        Slot slots[1];
    };
    static Block* allocate(std::size_t n);  // its slots not yet made
    Block* m_block = nullptr;
};

// The saved value of each attribute changed since an object's last save
// (attribute index, value), not a copy of all.
using SavedValues = std::vector<std::pair<int, Slot>>;

// An object's uid: at most POM_uid_size_c characters, held in place.
class Uid {
public:
    Uid() = default;
    Uid(std::string_view text);  // throws std::length_error past the limit
    Uid(const std::string& text) : Uid(std::string_view(text)) {}
    Uid(const char* text) : Uid(std::string_view(text)) {}
    std::string_view view() const { return {m_text, m_size}; }
    operator std::string_view() const { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    friend bool operator==(const Uid& a, std::string_view b) { return a.view() == b; }
    // For messages and names built around it.
    friend std::string operator+(std::string a, const Uid& b) { return a.append(b.view()); }
    friend std::string operator+(const char* a, const Uid& b) { return std::string(a).append(b.view()); }
    friend std::string operator+(const Uid& a, std::string_view b) { return a.str().append(b); }
    friend std::string operator+(const Uid& a, const char* b) { return a.str().append(b); }

private:
    char m_text[POM_uid_size_c] = {};
    std::uint8_t m_size = 0;
};
static_assert(sizeof(Uid) == 16, "a uid is two words");

struct Object {
    tag_t tag = 0;
    tag_t type = 0;  // business type (an OstraType object)
    const ClassDef* cls = nullptr;
    Uid uid;
    SlotArray values;  // parallel to cls->attrs
    std::uint32_t epoch = 0;  // journal epoch of its last state snapshot
    std::uint32_t born = 0;   // journal epoch it was made in (0: outside any)
    int dm = 1;
    bool locked = false;
    bool readOnly = false;
    bool pending = false;  // has unsaved changes (their saved values: Store::saved)
};

static_assert(sizeof(Object) <= 56, "an object's fixed part takes one 64-byte heap chunk");

// Objects by tag. Tags are handed out in increasing order, so a vector
// indexed by tag finds an object without hashing, and tag order is creation
// order; objects live on the heap, so a reference to one stays valid while
// others come and go. Objects are found by uid too.
class ObjectTable {
public:
    ObjectTable() = default;
    ObjectTable(const ObjectTable& other);
    ObjectTable& operator=(const ObjectTable& other);
    ObjectTable(ObjectTable&&) = default;
    ObjectTable& operator=(ObjectTable&&) = default;

    Object* find(tag_t tag) const { return tag < m_slots.size() ? m_slots[tag].get() : nullptr; }
    Object* findUid(std::string_view uid) const;
    Object& insert(Object o);  // at o.tag, which must be free, under a uid no other has
    void erase(tag_t tag);
    void renameUid(Object& o, Uid uid);  // to a uid no other has
    std::size_t size() const { return m_count; }
    // Every live object, in tag (creation) order.
    template <class F>
    void forEach(F&& f) const {
        for (const auto& slot : m_slots)
            if (slot) f(*slot);
    }

private:
    void indexUid(const Object& o);
    void unindexUid(const Object& o);

    std::vector<std::unique_ptr<Object>> m_slots;
    TagHash m_uids;
    std::size_t m_count = 0;
};

// Who acts: what saves stamp and privilege checks ask (the rest of the
// session is the kernel's).
struct Identity {
    tag_t user = 0;
    tag_t group = 0;
    bool loggedIn = false;
};

// One change, undone by a roll-back: an object made or destroyed, the state
// of an object before its first change under a markpoint (lock, saved state:
// not its values), one attribute's value before a change, or other state.
struct JournalEntry {
    enum Kind { Created, Destroyed, State, Attribute, Other };
    Kind kind = Other;
    tag_t tag = 0;
    int attr = -1;
    Slot value;                     // Attribute: the value before
    std::optional<Object> before;   // Destroyed: the object; State: its state
    SavedValues saved;              // Destroyed, State: its saved values, if pending
    std::function<void()> undo;     // Other
};

struct Markpoint {
    int id = 0;
    std::size_t journalPos = 0;
};

// State a platform domain keeps beside the objects. It is copied with the
// store, so a reset brings back what the fixture made (restore, where a
// domain can do that cheaper than a clone); the domain journals its own
// changes (journalUndo), so a roll-back undoes them; objectGone is called
// when an object is destroyed.
struct Extension {
    virtual ~Extension() = default;
    virtual std::unique_ptr<Extension> clone() const = 0;
    virtual void objectGone(tag_t) {}
    // A new request begins: the domain forgets what only the last one's
    // observers read, and says whether that changed anything.
    virtual bool requestBegins() { return false; }
    // Brings this state back to `fixture` (the same domain's); false leaves
    // it to a clone.
    virtual bool restore(const Extension& fixture) {
        (void)fixture;
        return false;
    }
    // Its whole state as text, the same for equal states (for STORE_dump).
    virtual std::string dump() const = 0;
};

// A domain state that is a plain value (Derived has ==): a reset compares
// and copies only what differs, which for a small state left as it was
// allocates nothing.
template <class Derived>
struct ValueExtension : Extension {
    std::unique_ptr<Extension> clone() const override {
        return std::make_unique<Derived>(static_cast<const Derived&>(*this));
    }
    bool restore(const Extension& fixture) override {
        const auto& from = static_cast<const Derived&>(fixture);
        auto& self = static_cast<Derived&>(*this);
        if (!(self == from)) self = from;
        return true;
    }
    bool operator==(const ValueExtension&) const { return true; }  // the state is Derived's members
};

// The lines sorted, each ended by a newline: a dump of an unordered container.
std::string joinSorted(std::vector<std::string> lines);
// A list of strings in a dump, each by its length, so none can pass for two.
std::string dumpStrings(const std::vector<std::string>& strings);

// A copy is a clone that no one has used yet: resetting to a fixture brings
// back only the domains an input used.
class ExtensionSlot {
public:
    ExtensionSlot() = default;
    explicit ExtensionSlot(std::unique_ptr<Extension> e) : m_e(std::move(e)) {}
    ExtensionSlot(const ExtensionSlot& o) : m_e(o.m_e ? o.m_e->clone() : nullptr) {}
    ExtensionSlot& operator=(const ExtensionSlot& o) {
        if (this != &o) {
            m_e = o.m_e ? o.m_e->clone() : nullptr;
            m_used = false;
        }
        return *this;
    }
    ExtensionSlot(ExtensionSlot&&) = default;
    ExtensionSlot& operator=(ExtensionSlot&&) = default;
    Extension* get() const { return m_e.get(); }
    Extension* use() {
        m_used = true;
        return m_e.get();
    }
    bool used() const { return m_used; }
    // Back to the fixture's state of the same domain.
    void restoreFrom(const ExtensionSlot& fixture) {
        if (!m_e->restore(*fixture.m_e)) m_e = fixture.m_e->clone();
        m_used = false;
    }

private:
    std::unique_ptr<Extension> m_e;
    bool m_used = false;
};

namespace detail {
std::size_t newExtensionIndex(const char* name);
// A fixed place per domain in every store's extensions, handed out on first use.
template <class T>
[[gnu::always_inline]] inline std::size_t extensionIndex() {
    static const std::size_t index = newExtensionIndex(T::kName);
    return index;
}
}  // namespace detail
// The name of the domain at that place (T::kName).
const char* extensionName(std::size_t index);

// The objects of a loaded fixture that changed since a store was made from
// it, each tag once; objects made since have the tags past the fixture's, so
// they need no entry. Empty and unused in a store not watched.
class FixtureChanges {
public:
    void watch(tag_t fixtureTags) {
        m_seen.assign(fixtureTags, false);
        m_tags.clear();
    }
    void note(tag_t t) {
        if (t < m_seen.size() && !m_seen[t]) {
            m_seen[t] = true;
            m_tags.push_back(t);
        }
    }
    const std::vector<tag_t>& tags() const { return m_tags; }
    void clear() {
        for (tag_t t : m_tags) m_seen[t] = false;
        m_tags.clear();
    }
    bool watching() const { return !m_seen.empty(); }

private:
    std::vector<bool> m_seen;  // by tag
    std::vector<tag_t> m_tags;
};

// A new member needs its line in restoreFrom (store.cxx) and STORE_dump.
struct Store {
    std::shared_ptr<const Schema> schema;
    ObjectTable objects;
    std::unordered_map<tag_t, std::string> goneUids;  // deleted and phantom tags
    std::unordered_map<std::string, tag_t> phantoms;  // deleted objects' uids
    // Uids a client named that name no object, with their never-valid tags:
    // kept for the request that named them only (see beginRequest).
    std::unordered_map<std::string, tag_t> unknownUids;
    std::unordered_map<tag_t, std::string> unknownTags;
    std::unordered_set<std::string> givenUids;  // uids not made by newUid (fixture uid=)
    tag_t nextTag = 1;
    std::uint64_t uidCounter = 0;
    std::uint64_t uidSalt = 0;
    // target -> who refers to it
    std::vector<TagCounts> referencers;  // by target tag
    // Targets that are gone while something still refers to them (for a
    // moment while a set of objects is deleted or rolled back).
    std::unordered_set<tag_t> dangling;
    // The saved values of the objects with unsaved changes, by tag.
    std::unordered_map<tag_t, SavedValues> saved;
    // By target tag, the objects with unsaved changes whose current values
    // name it a number of times more (or, below 0, fewer) than their saved
    // values do: what a refresh would bring back that no referencer list
    // shows. Indexed like `referencers`, and an emptied entry keeps its room:
    // a hash node and a list per target edited made long requests allocate
    // (and fragment the heap) once per entry.
    std::vector<std::vector<std::pair<tag_t, int>>> unsavedReferences;
    // Objects by (declaring class, value) of their key attributes: an entry
    // per key value held, and one per saved key value of an object with
    // unsaved changes (a refresh gives it back, so it stays its holder's).
    TagHash keys;
    // Live objects per (exact) class.
    std::unordered_map<const ClassDef*, TagCounts> instances;

    Identity identity;

    bool loading = false;  // a fixture is being loaded: no privilege checks

    // Domain state, each domain at its detail::extensionIndex (see Extension).
    std::vector<ExtensionSlot> extensions;

    std::vector<JournalEntry> journal;
    // By (tag << 32 | attribute), the epoch in which the journal last took
    // the attribute's value: it takes it once per markpoint, so later edits
    // of a list work in place instead of copying the journal's share of it.
    std::unordered_map<std::uint64_t, std::uint32_t> journalled;
    std::vector<Markpoint> markpoints;
    std::uint32_t epoch = 1;
    std::uint32_t epochCounter = 1;
    int nextMarkpoint = 1;

    FixtureChanges sinceFixture;
};

// The current store (inline: nearly every platform call asks for it).
namespace detail {
extern Store* current;  // null until the first use
Store& makeFirst();
}  // namespace detail
inline Store& S() { return detail::current ? *detail::current : detail::makeFirst(); }
namespace detail {
// The first use of domain T in the store: its slot made, the state empty.
template <class T>
[[gnu::noinline]] T& makeExtension(Store& s, std::size_t i) {
    if (i >= s.extensions.size()) s.extensions.resize(i + 1);
    ExtensionSlot& slot = s.extensions[i];
    if (!slot.get()) slot = ExtensionSlot(std::make_unique<T>());
    return static_cast<T&>(*slot.use());
}
}  // namespace detail
// The current store's state of domain T (T::kName names it), made empty on
// first use. On every hot path once a domain's state lives there: the held
// case is a few loads.
template <class T>
[[gnu::always_inline]] inline T& extension() {
    Store& s = S();
    const std::size_t i = detail::extensionIndex<T>();
    if (i < s.extensions.size()) [[likely]]
        if (Extension* e = s.extensions[i].use()) [[likely]]
            return static_cast<T&>(*e);
    return detail::makeExtension<T>(s, i);
}
void installStore(std::unique_ptr<Store> store);  // replaces the current one (drops loaded objects)
std::unique_ptr<Store> swapStore(std::unique_ptr<Store> store);  // returns the previous one
std::unique_ptr<Store> copyStore(const Store& from);
// Fixture resets at the cost of what changed. watchFixture makes the current
// store note which of its objects change; restoreFrom then brings it back to
// `fixture`, the copy made of it when watchFixture was called: the objects
// that changed or were made since, the rest of the state where it differs,
// and each domain an input used, by its own restore.
void watchFixture();
void restoreFrom(const Store& fixture);
// --- errors ---
// Stores (severity 3) and returns the code.
int fail(int code, const std::string& text = std::string());
// The same with the code's own text followed by ": detail" (the code's text
// alone when the detail is empty).
int failAbout(int code, const std::string& detail);

// --- objects ---
Object* find(tag_t tag);
// The live object, or ERR_INVALID_TAG (null tag, unknown, deleted) stored.
int need(tag_t tag, Object** out);
// ... also of class `className` (ERR_WRONG_CLASS).
int need(tag_t tag, const char* className, Object** out);
bool isA(const Object& o, const char* className);
const ClassDef* classNamed(std::string_view name);
tag_t newTag();
std::string newUid();
// A new object of the class with the business type (0: the class's own type),
// open for change, owned by the session's user and group when the class has
// owners; `uid` empty makes one.
Object& create(const ClassDef* cls, tag_t type, const std::string& uid = std::string());
Object& create(const char* className, tag_t type = 0);
// Removes the object (no checks).
void destroy(Object& o);

// --- values ---
int attr(const Object& o, std::string_view name);  // -1 when none
Value value(const Object& o, int index);
// Replaces one value: journal, saved state, reverse references, keys. Fails
// (stored) for a key value another object holds.
int setValue(Object& o, int index, Value v);
int setValue(Object& o, std::string_view name, Value v);
// The same for a value held as it will be stored (Slot::text, Slot::one):
// a write of one element builds no vector.
int setValue(Object& o, int index, Slot v);
int setValue(Object& o, std::string_view name, Slot v);
// The same for a list of tags whose shared ends with the list held the
// caller has measured already (sharedEnds(held, new)).
int setValue(Object& o, int index, Value v, SharedEnds known);
int setValue(Object& o, int index, Slot v, SharedEnds known);
// The same while an object is being made: the value is part of its baseline
// (no saved-state snapshot).
int initValue(Object& o, std::string_view name, Value v);
int initValue(Object& o, std::string_view name, Slot v);
// A structural change (lists the platform keeps, ownership): committed at
// once, leaving any other unsaved change of the object pending.
int setCommitted(Object& o, int index, Value v);
// Snapshot for the journal before any change of the object.
void touch(Object& o);
// Undo entry for state outside objects.
void journalUndo(std::function<void()> undo);

std::string getString(const Object& o, std::string_view name);
std::vector<std::string> getStrings(const Object& o, std::string_view name);
tag_t getTag(const Object& o, std::string_view name);
std::vector<tag_t> getTags(const Object& o, std::string_view name);
int getInt(const Object& o, std::string_view name, int fallback = 0);
bool getLogical(const Object& o, std::string_view name);
date_s getDate(const Object& o, std::string_view name);
int setString(Object& o, std::string_view name, const std::string& v);
int setStrings(Object& o, std::string_view name, std::vector<std::string> v);
int setTag(Object& o, std::string_view name, tag_t v);
int setTags(Object& o, std::string_view name, std::vector<tag_t> v);
int setInt(Object& o, std::string_view name, int v);
int setLogical(Object& o, std::string_view name, bool v);
int setDate(Object& o, std::string_view name, date_s v);

// What making and saving an object needs of business types, given by the
// library that keeps them (at load time, from a static initialiser).
struct TypeKnowledge {
    // The type an object of the class gets when none is named; 0 for none.
    tag_t (*typeOfClass)(const ClassDef* cls) = nullptr;
    // The object_type value the type's objects hold; null for no type.
    const Slot* (*typeNameValue)(tag_t type) = nullptr;
    // 0, or the stored code for a required attribute the object leaves empty.
    int (*checkRequired)(const Object& o) = nullptr;
};
bool registerTypeKnowledge(const TypeKnowledge& knowledge);

// --- keys and references ---
// The text of a key value ("" for none): a single string, or an int in decimal.
std::string_view keyText(const Slot& v, char (&buffer)[16]);
// The object whose key value it is, or 0.
tag_t findByKey(const std::string& declaringClass, const std::string& value);
// The same, or the object keeping it as the saved value of an unsaved
// change: 0 when a new object may take it.
tag_t keyInUse(const std::string& declaringClass, const std::string& value);
// In-place edits of a reference array (no copy of the whole array).
int insertTag(Object& o, int index, int position, tag_t t);  // position < 0 or past the end appends
// Every entry; returns how many. `positions`, when given, gets where they
// stood (in the list before the removal).
int removeTag(Object& o, int index, tag_t t, std::vector<int>* positions = nullptr);
// Live objects that refer to the target, in creation order.
std::vector<tag_t> referencersOf(tag_t target);
std::size_t referencerCount(tag_t target);
// ERR_REFERENCED (stored) when an object outside `going` still names the
// target in the saved value of an unsaved change, which deleting the target
// would leave nothing to go back to; else 0.
int refuseSavedReferences(const Object& target, const std::set<tag_t>& going);
// True when no stored reference names an object that is gone: a reference
// the store holds then needs no new check.
bool noDanglingReferences();
// Live objects of the class and its subclasses, in creation order.
std::vector<tag_t> instancesOf(const std::string& className);

// --- locks and saves ---
int lock(Object& o);    // privilege and read-only checks
void unlock(Object& o);
int save(Object& o);    // commits, keeps the lock
void revert(Object& o); // back to the saved values
bool canWrite(const Object& o);
// As canWrite, for many objects in turn: `privileged` is privileged() as
// asked once while the session stays as it is.
bool canWrite(const Object& o, bool privileged);
// The store's clock (UTC): the system's, or the one a test pinned.
date_s now();
void pinClock(const date_s& utc);
void unpinClock();

// --- session ---
tag_t currentUser();
tag_t currentGroup();
bool privileged();

// --- display ---
std::string displayString(tag_t tag);  // "object_string" of an object: its uid unless its class names it
// How a library names the objects of its class and subclasses (at load time,
// from a static initialiser); the nearest class that has a name rule wins.
using DisplayName = std::string (*)(const Object& o);
bool registerDisplayName(const char* className, DisplayName name);
std::string formatDate(const date_s& d);
bool parseDate(const std::string& text, date_s* out);

// --- seams ---
// Every platform entry point calls this first: it logs the call and uses up an
// injected fault (returning its code, already stored) or returns 0.
int enter(const char* function, tag_t tag = 0);

int placeMarkpoint();
int rollToMarkpoint(int id, bool* changed);
int forgetMarkpoint(int id);
std::vector<std::string> callLogNames();
void callLogClear();
void faultInject(const std::string& function, int code, tag_t tag);
void faultClear();
int faultPending();

// --- loaded objects ---
POMObject* loaded(tag_t tag);  // null (nothing stored) when gone
// Libraries on top of the store give the loaded form of their own classes
// (at load time, from a static initialiser): objects of the class and its
// subclasses are handed out as what `make` returns.
using LoadedFactory = POMObject* (*)(tag_t);
bool registerLoadedClass(const char* className, LoadedFactory make);
template <class T>
POMObject* makeLoaded(tag_t t) {
    return new T(t);
}
// A library's own objects kept like loaded objects: `drop` forgets them
// whenever loaded objects go (registered at load time).
bool registerLoadedCache(void (*drop)());
void dropLoaded();  // loaded objects and every registered cache

}  // namespace vl::platform::store

// Platform entry: `return` the injected code when a fault is due.
#define VL_ENTER(name, tag)                                                      \
    do {                                                                         \
        if (int vl_injected_ = ::vl::platform::store::enter(name, (tag)))        \
            return vl_injected_;                                                 \
    } while (0)
