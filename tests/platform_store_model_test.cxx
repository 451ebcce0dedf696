// The store's own calls in long random sequences, and the short sequences
// that once broke it, against a plain model: after every step the store and
// the model agree on each object's values (unsaved and saved), referencers,
// instances and keys, and the store keeps its own rules whatever came
// before: no two live objects share a key value of one declaring class, each
// live object is found by each of its key values, no value (saved or
// unsaved) names a deleted object, and no required value is saved empty.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/grm.hxx"
#include "foundation/error_codes.hxx"
#include "pom/pom.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "platform_test_support.hxx"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace vl::platform;
using store::Value;

namespace {

// Two declaring classes of keys (one with a string and an int key), a
// required single value and a required list, every kind of value.
const char* const kSite = R"(format 1
group dba privileged
role DBA
user root group=dba password="$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek"
member root dba DBA
session root dba DBA
class Keyed WorkspaceObject
attr Keyed code string max=32 key
attr Keyed number int key
attr Keyed note string
attr Keyed grade char
attr Keyed approved logical
attr Keyed weight double
attr Keyed due date
attr Keyed words string array
attr Keyed counts int array=4
attr Keyed link untypedref
attr Keyed links untypedref array
class SubKeyed Keyed
attr SubKeyed alias string key
type Binder Folder
prop Keyed code required
prop Binder contents required
relation Link
)";

// The types the steps make objects of.
const char* const kTypes[] = {"Keyed", "SubKeyed", "Item", "Folder", "Binder"};

enum class Kind { Make, Set, Save, Refresh, Lock, Delete, Relate, Unrelate, Insert, Remove, Place, Roll, Forget };

// One call. Objects are named by the order they were made in (#0 first);
// markpoints by their depth (0 the oldest still placed).
struct Step {
    Kind kind = Kind::Lock;
    int a = -1, b = -1;
    std::string name;   // Make: the type; Set: the attribute
    Value value;        // Set
    int position = -1;  // Insert; Roll and Forget: the depth
    int expect = -1;    // the code it must return (-1: whatever the model says)
    Step refused(int code) const {
        Step s = *this;
        s.expect = code;
        return s;
    }
    Step succeeds() const { return refused(0); }
};

Step on(Kind kind, int a = -1, int b = -1) {
    Step s;
    s.kind = kind;
    s.a = a;
    s.b = b;
    return s;
}
Step make(const char* type) {
    Step s = on(Kind::Make);
    s.name = type;
    return s;
}
Step set(int o, const char* attribute, Value v) {
    Step s = on(Kind::Set, o);
    s.name = attribute;
    s.value = std::move(v);
    return s;
}
Step save(int o) { return on(Kind::Save, o); }
Step refresh(int o) { return on(Kind::Refresh, o); }
Step remove(int folder, int o) { return on(Kind::Remove, folder, o); }
Step insert(int folder, int o, int position = 999) {
    Step s = on(Kind::Insert, folder, o);
    s.position = position;
    return s;
}
Step erase(int o) { return on(Kind::Delete, o); }
Step relate(int primary, int secondary) { return on(Kind::Relate, primary, secondary); }
Step unrelate(int relation) { return on(Kind::Unrelate, relation); }
Step place() { return on(Kind::Place); }
Step markpoint(Kind kind, int depth) {
    Step s = on(kind);
    s.position = depth;
    return s;
}
Step roll(int depth) { return markpoint(Kind::Roll, depth); }
Step forget(int depth) { return markpoint(Kind::Forget, depth); }
Value text(const char* t) { return std::vector<std::string>{t}; }
Value number(int n) { return std::vector<int>{n}; }

std::string valueText(const Value& v) {
    std::ostringstream out;
    std::visit(
        [&](const auto& vec) {
            using V = std::decay_t<decltype(vec)>;
            if constexpr (!std::is_same_v<V, std::monostate>) {
                out << '[';
                for (std::size_t i = 0; i < vec.size(); ++i) {
                    if (i) out << ',';
                    using E = typename V::value_type;
                    if constexpr (std::is_same_v<E, std::string>)
                        out << '"' << vec[i] << '"';
                    else if constexpr (std::is_same_v<E, date_s>)
                        out << store::formatDate(vec[i]);
                    else if constexpr (std::is_same_v<E, char>)
                        out << static_cast<int>(vec[i]);
                    else
                        out << vec[i];
                }
                out << ']';
            }
        },
        v);
    return out.str();
}

std::string describe(const Step& s) {
    const auto o = [](int i) { return "#" + std::to_string(i); };
    switch (s.kind) {
    case Kind::Make: return "make " + s.name;
    case Kind::Set: return "set " + o(s.a) + "." + s.name + " = " + valueText(s.value);
    case Kind::Save: return "save " + o(s.a);
    case Kind::Refresh: return "refresh " + o(s.a);
    case Kind::Lock: return "lock " + o(s.a);
    case Kind::Delete: return "delete " + o(s.a);
    case Kind::Relate: return "relate " + o(s.a) + " -> " + o(s.b);
    case Kind::Unrelate: return "unrelate " + o(s.a);
    case Kind::Insert: return "insert " + o(s.b) + " into " + o(s.a) + " at " + std::to_string(s.position);
    case Kind::Remove: return "remove " + o(s.b) + " from " + o(s.a);
    case Kind::Place: return "place markpoint";
    case Kind::Roll: return "roll to markpoint " + std::to_string(s.position);
    case Kind::Forget: return "forget markpoint " + std::to_string(s.position);
    }
    return "?";
}

// What the platform sets on its own (owners, dates, the type's name): the
// model leaves them to the store.
bool stamped(const store::AttrDef& a) {
    return a.declaringClass == "POM_application_object" || a.name == "object_type";
}

std::string keyText(const Value& v) {
    if (const auto* s = std::get_if<std::vector<std::string>>(&v)) return s->empty() ? "" : (*s)[0];
    if (const auto* i = std::get_if<std::vector<int>>(&v)) return i->empty() ? "" : std::to_string((*i)[0]);
    return "";
}

bool emptyForRequired(const Value& v) {
    if (const auto* s = std::get_if<std::vector<std::string>>(&v)) return s->empty() || (*s)[0].empty();
    return std::visit(
        [](const auto& vec) {
            if constexpr (std::is_same_v<std::decay_t<decltype(vec)>, std::monostate>)
                return true;
            else
                return vec.empty();
        },
        v);
}

std::vector<tag_t> tagsOf(const Value& v) {
    const auto* t = std::get_if<std::vector<tag_t>>(&v);
    return t ? *t : std::vector<tag_t>{};
}

bool holds(const Value& v, tag_t target) {
    const auto* t = std::get_if<std::vector<tag_t>>(&v);
    return t && std::find(t->begin(), t->end(), target) != t->end();
}

// The value a refresh would bring back: the saved one of a changed attribute.
Value savedValue(const store::Object& o, int i) {
    if (o.pending) {
        const auto it = store::S().saved.find(o.tag);
        if (it != store::S().saved.end())
            for (const auto& [index, slot] : it->second)
                if (index == i) return slot.value();
    }
    return o.values[i].value();
}

std::vector<int> requiredAttributes(tag_t type) {
    std::vector<int> out;
    if (const store::TypeDef* td = store::typeDef(type))
        for (tag_t d : td->requiredAttributes) out.push_back(store::businessTypes().descriptors.at(d).m_attr);
    return out;
}

// One object as the model sees it.
struct Thing {
    const store::ClassDef* cls = nullptr;
    tag_t type = 0;
    std::vector<Value> now, saved;
    tag_t named(const char* attribute) const {  // by a single reference
        const std::vector<tag_t> t = tagsOf(now[cls->attr(attribute)]);
        return t.size() == 1 ? t[0] : 0;
    }
    bool holdsAnywhere(tag_t target) const {
        for (std::size_t i = 0; i < now.size(); ++i)
            if (holds(now[i], target) || holds(saved[i], target)) return true;
        return false;
    }
};
using World = std::map<tag_t, Thing>;

class ModelRun {
public:
    ModelRun() {
        GRM_find_relation_type("Link", &m_link);
        m_folderClass = store::classNamed("Folder");
        m_relationClass = store::classNamed("Relation");
    }

    // Carries out one step on the store and the model; "" or what differs.
    std::string step(const Step& s) {
        m_trace.push_back(describe(s));
        if (m_trace.size() > 40) m_trace.pop_front();
        int expected = 0;
        const int rc = apply(s, &expected);
        if (s.expect >= 0 && rc != s.expect)
            return "returned " + std::to_string(rc) + " where the case wants " + std::to_string(s.expect);
        if (rc != expected)
            return "returned " + std::to_string(rc) + " where the model says " + std::to_string(expected);
        return check();
    }

    std::string trace() const {
        std::string out;
        for (const std::string& t : m_trace) out += "  " + t + "\n";
        return out;
    }

    // The steps a random sequence draws from: mostly writes, with saves,
    // refreshes, deletions and markpoints often enough to meet them.
    Step randomStep(std::mt19937& rng) {
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        std::vector<tag_t> live, folders, relations, entries, settable;  // relations have no value to set
        for (const auto& [t, thing] : m_world) {
            live.push_back(t);
            if (thing.cls->isA(m_folderClass)) folders.push_back(t);
            else entries.push_back(t);
            if (thing.cls->isA(m_relationClass)) relations.push_back(t);
            else settable.push_back(t);
        }
        auto any = [&](const std::vector<tag_t>& from) {
            return m_handle.at(from[pick(static_cast<int>(from.size()))]);
        };
        for (;;) {
            const int r = pick(100);
            if (live.size() < 3 || (r < 8 && live.size() < 40)) return make(kTypes[pick(5)]);
            if (r < 40 && !settable.empty()) return randomSet(rng, any(settable), live);
            if (r < 50) return save(any(live));
            if (r < 56) return refresh(any(live));
            if (r < 58) return on(Kind::Lock, any(live));
            if (r < 62) return erase(any(live));
            if (r < 67) return relate(any(live), any(live));
            if (r < 69 && !relations.empty()) return unrelate(any(relations));
            if (r < 79 && !folders.empty() && !entries.empty()) {
                static const int positions[] = {-1, 0, 1, 2, 50, 999};
                return insert(any(folders), any(entries), positions[pick(6)]);
            }
            if (r < 86 && !folders.empty()) {
                const tag_t folder = folders[pick(static_cast<int>(folders.size()))];
                const std::vector<tag_t> held = tagsOf(m_world.at(folder).now[contentsOf(folder)]);
                if (!held.empty() && pick(4))
                    return remove(m_handle.at(folder), m_handle.at(held[pick(static_cast<int>(held.size()))]));
                if (!entries.empty()) return remove(m_handle.at(folder), any(entries));
            }
            if (r < 91 && m_marks.size() < 5) return place();
            if (r < 95 && !m_marks.empty()) return roll(pick(static_cast<int>(m_marks.size())));
            if (r >= 95 && !m_marks.empty()) return forget(pick(static_cast<int>(m_marks.size())));
        }
    }

    void forgetAll() {
        if (!m_marks.empty()) POM_forget_markpoint(m_marks.front().first);
        m_marks.clear();
    }

private:
    Step randomSet(std::mt19937& rng, int handle, const std::vector<tag_t>& live) {
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        const Thing& thing = m_world.at(m_made[handle]);
        std::vector<int> writable;
        for (int i = 0; i < static_cast<int>(thing.cls->attrs.size()); ++i) {
            const store::AttrDef& a = thing.cls->attrs[i];
            // A typed reference names objects of one class only.
            if (!a.system && !(a.type == PROP_typed_reference && !a.refClass.empty())) writable.push_back(i);
        }
        const store::AttrDef& a = thing.cls->attrs[writable[pick(static_cast<int>(writable.size()))]];
        const bool single = a.arraySize == 1;
        const int n = single ? (pick(6) ? 1 : 0) : pick(5);
        static const char* const keys[] = {"7", "8", "X-1", "X-2", "Y-1", "a key longer than a word", ""};
        static const int keyNumbers[] = {7, 8, 1, 2};
        Value v;
        switch (a.type) {
        case PROP_string:
        case PROP_note: {
            std::vector<std::string> strings;
            for (int i = 0; i < n; ++i) {
                if (a.key) {
                    strings.push_back(keys[pick(7)]);
                } else {
                    static const int lengths[] = {0, 1, 6, 7, 8, 15, 40};
                    std::string s(static_cast<std::size_t>(lengths[pick(7)]), 'a');
                    for (char& c : s) c = static_cast<char>('a' + pick(26));
                    strings.push_back(s);
                }
            }
            v = strings;
            break;
        }
        case PROP_int: {
            std::vector<int> ints;
            for (int i = 0; i < n; ++i) ints.push_back(a.key ? keyNumbers[pick(4)] : pick(2000) - 1000);
            v = ints;
            break;
        }
        case PROP_char:
        case PROP_logical: {
            std::vector<char> chars;
            for (int i = 0; i < n; ++i)
                chars.push_back(static_cast<char>(a.type == PROP_logical ? pick(2) : 'A' + pick(26)));
            v = chars;
            break;
        }
        case PROP_double: {
            std::vector<double> reals;
            for (int i = 0; i < n; ++i) reals.push_back((pick(20001) - 10000) / 8.0);
            v = reals;
            break;
        }
        case PROP_date: {
            std::vector<date_s> dates;
            for (int i = 0; i < n; ++i)
                dates.push_back(date_s{static_cast<short>(1990 + pick(40)), static_cast<unsigned char>(pick(12)),
                                       static_cast<unsigned char>(1 + pick(28)), static_cast<unsigned char>(pick(24)),
                                       static_cast<unsigned char>(pick(60)), static_cast<unsigned char>(pick(60))});
            v = dates;
            break;
        }
        default: {
            std::vector<tag_t> tags;
            // Folders in folders bring rules of their own, left to other tests.
            const bool contents = a.name == "contents";
            for (int i = 0; i < n + (contents ? pick(3) : 0); ++i) {
                const tag_t t = live[pick(static_cast<int>(live.size()))];
                if (!(contents && m_world.at(t).cls->isA(m_folderClass))) tags.push_back(t);
            }
            v = tags;
        }
        }
        return set(handle, a.name.c_str(), std::move(v));
    }

    int contentsOf(tag_t folder) const { return m_world.at(folder).cls->attr("contents"); }

    Thing fresh(const store::ClassDef* cls, tag_t type) const {
        Thing t;
        t.cls = cls;
        t.type = type;
        for (const store::AttrDef& a : cls->attrs) t.now.push_back(store::emptyValue(a.type));
        t.saved = t.now;
        return t;
    }

    void track(tag_t t, Thing thing) {
        m_handle[t] = static_cast<int>(m_made.size());
        m_made.push_back(t);
        m_world[t] = std::move(thing);
    }

    // Another live object holds the text, in a value or a saved value, in a
    // key of the class that declares `a`.
    bool keyTaken(tag_t self, const store::AttrDef& a, const std::string& text) const {
        for (const auto& [t, thing] : m_world) {
            if (t == self) continue;
            for (std::size_t j = 0; j < thing.cls->attrs.size(); ++j) {
                const store::AttrDef& b = thing.cls->attrs[j];
                if (b.key && b.declaringClass == a.declaringClass &&
                    (keyText(thing.now[j]) == text || keyText(thing.saved[j]) == text))
                    return true;
            }
        }
        return false;
    }

    bool heldByOthers(const std::set<tag_t>& going) const {
        for (const auto& [t, thing] : m_world)
            if (!going.count(t))
                for (tag_t g : going)
                    if (thing.holdsAnywhere(g)) return true;
        return false;
    }

    // The step on the store, and on the model what the store should have done.
    int apply(const Step& s, int* expected) {
        const tag_t a = s.a >= 0 ? m_made.at(s.a) : 0, b = s.b >= 0 ? m_made.at(s.b) : 0;
        switch (s.kind) {
        case Kind::Make: {
            const store::TypeDef* td = store::typeNamed(s.name);
            store::Object& o = store::create(td->cls, td->tag);
            track(o.tag, fresh(td->cls, td->tag));
            return 0;
        }
        case Kind::Set: {
            Thing& thing = m_world.at(a);
            const int i = thing.cls->attr(s.name);
            const store::AttrDef& def = thing.cls->attrs[i];
            const std::string key = def.key ? keyText(s.value) : std::string();
            if (!(thing.now[i] == s.value) && !key.empty() && keyTaken(a, def, key))
                *expected = ERR_DUPLICATE;
            const int rc = store::setValue(*store::find(a), s.name, s.value);
            if (!*expected) thing.now[i] = s.value;
            return rc;
        }
        case Kind::Save: {
            Thing& thing = m_world.at(a);
            for (int i : requiredAttributes(thing.type))
                if (emptyForRequired(thing.now[i])) *expected = ERR_REQUIRED_VALUE;
            if (!*expected) thing.saved = thing.now;
            return AOM_save(a);
        }
        case Kind::Refresh:
            m_world.at(a).now = m_world.at(a).saved;
            return AOM_refresh(a, 0);
        case Kind::Lock:
            return AOM_refresh(a, 1);
        case Kind::Delete: {
            // The object and the relations it is the primary of.
            std::set<tag_t> going{a};
            if (!m_world.at(a).cls->isA(m_relationClass))
                for (const auto& [t, thing] : m_world)
                    if (thing.cls->isA(m_relationClass) && thing.named("primary_object") == a) going.insert(t);
            if (heldByOthers(going)) *expected = ERR_REFERENCED;
            const int rc = AOM_delete(a);
            if (!*expected)
                for (tag_t g : going) m_world.erase(g);
            return rc;
        }
        case Kind::Relate: {
            for (const auto& [t, thing] : m_world)
                if (thing.type == m_link && thing.named("primary_object") == a && thing.named("secondary_object") == b)
                    *expected = ERR_DUPLICATE;
            tag_t relation = 0;
            const int rc = GRM_create_relation(a, b, m_link, 0, &relation);
            if (!rc) {
                Thing thing = fresh(store::typeDef(m_link)->cls, m_link);
                thing.now[thing.cls->attr("primary_object")] = std::vector<tag_t>{a};
                thing.now[thing.cls->attr("secondary_object")] = std::vector<tag_t>{b};
                thing.saved = thing.now;
                track(relation, std::move(thing));
            }
            return rc;
        }
        case Kind::Unrelate:
            if (heldByOthers({a})) *expected = ERR_REFERENCED;
            if (!*expected) m_world.erase(a);
            return GRM_delete_relation(a);
        case Kind::Insert: {
            if (a == b) {
                *expected = ERR_BAD_ARGUMENT;
            } else {
                std::vector<tag_t>& v = std::get<std::vector<tag_t>>(m_world.at(a).now[contentsOf(a)]);
                if (s.position < 0 || s.position == 999 || s.position >= static_cast<int>(v.size()))
                    v.push_back(b);
                else
                    v.insert(v.begin() + s.position, b);
            }
            return FL_insert(a, b, s.position);
        }
        case Kind::Remove: {
            std::vector<tag_t>& v = std::get<std::vector<tag_t>>(m_world.at(a).now[contentsOf(a)]);
            if (std::find(v.begin(), v.end(), b) == v.end()) *expected = ERR_NOT_FOUND;
            v.erase(std::remove(v.begin(), v.end(), b), v.end());
            return FL_remove(a, b);
        }
        case Kind::Place: {
            int id = 0;
            m_spans.push_back(store::S().journal.size());
            const int rc = POM_place_markpoint(&id);
            m_marks.emplace_back(id, m_world);
            return rc;
        }
        case Kind::Roll: {
            bool changed = false;
            const int rc = POM_roll_to_markpoint(m_marks.at(s.position).first, &changed);
            m_world = m_marks.at(s.position).second;
            m_marks.resize(s.position + 1);
            std::erase_if(m_spans, [](std::size_t from) { return from > store::S().journal.size(); });
            return rc;
        }
        case Kind::Forget: {
            const int rc = POM_forget_markpoint(m_marks.at(s.position).first);
            m_marks.resize(s.position);
            if (m_marks.empty()) m_spans.clear();
            return rc;
        }
        }
        return -1;
    }

    // The model against the store, then the store's own rules over all it holds.
    std::string check() const {
        std::ostringstream bad;
        std::map<tag_t, std::vector<tag_t>> holders;  // by target, in creation order
        for (const auto& [from, thing] : m_world)
            for (const Value& v : thing.now)
                for (tag_t t : tagsOf(v))
                    if (auto& h = holders[t]; h.empty() || h.back() != from) h.push_back(from);
        for (std::size_t h = 0; h < m_made.size(); ++h) {
            const tag_t t = m_made[h];
            const auto it = m_world.find(t);
            const store::Object* o = store::find(t);
            if ((it != m_world.end()) != (o != nullptr)) {
                bad << "#" << h << (o ? " is live, the model has it deleted" : " is gone, the model has it live");
                return bad.str();
            }
            if (!o) continue;
            const Thing& thing = it->second;
            for (std::size_t i = 0; i < thing.now.size(); ++i) {
                const store::AttrDef& a = thing.cls->attrs[i];
                if (stamped(a)) continue;
                if (!(o->values[i] == thing.now[i]))
                    bad << "#" << h << "." << a.name << " is " << valueText(o->values[i].value()) << ", the model has "
                        << valueText(thing.now[i]) << "; ";
                const Value saved = savedValue(*o, static_cast<int>(i));
                if (saved != thing.saved[i])
                    bad << "#" << h << "." << a.name << " was saved as " << valueText(saved) << ", the model has "
                        << valueText(thing.saved[i]) << "; ";
            }
            if (store::referencersOf(t) != holders[t]) bad << "#" << h << " has other referencers than the model; ";
        }
        for (const char* cls : {"Keyed", "SubKeyed", "Item", "Folder", "Relation"}) {
            std::vector<tag_t> instances, expected;
            for (tag_t t : store::instancesOf(cls))
                if (m_handle.count(t)) instances.push_back(t);
            for (const auto& [t, thing] : m_world)
                if (thing.cls->isA(cls)) expected.push_back(t);
            if (instances != expected) bad << "the instances of " << cls << " differ from the model; ";
        }
        if (!bad.str().empty()) return bad.str();
        return journalOnce() + storeRules();
    }

    // Each attribute's value is journalled once per markpoint, however often
    // it changes after, whether a forgotten markpoint's span joined another
    // or not.
    std::string journalOnce() const {
        const auto& journal = store::S().journal;
        for (std::size_t k = 0; k < m_spans.size(); ++k) {
            const std::size_t end = k + 1 < m_spans.size() ? m_spans[k + 1] : journal.size();
            std::set<std::pair<tag_t, int>> taken;
            for (std::size_t j = m_spans[k]; j < end && j < journal.size(); ++j) {
                const store::JournalEntry& e = journal[j];
                if (e.kind == store::JournalEntry::Attribute && !taken.emplace(e.tag, e.attr).second)
                    return "the journal took attribute " + std::to_string(e.attr) + " of tag " +
                           std::to_string(e.tag) + " twice under one markpoint; ";
            }
        }
        return "";
    }

    static std::string storeRules() {
        std::ostringstream bad;
        const store::Store& s = store::S();
        std::map<std::pair<std::string, std::string>, tag_t> keys;
        // What the indexes of unsaved changes must hold, from their definition:
        // nothing left behind by a save, a refresh or a deletion.
        std::size_t keyEntries = 0;
        std::map<tag_t, std::map<tag_t, int>> unsaved;
        s.objects.forEach([&](const store::Object& o) {
            for (std::size_t i = 0; i < o.values.size(); ++i)
                keyEntries += o.cls->attrs[i].key && !keyText(o.values[i].value()).empty();
            const auto it = s.saved.find(o.tag);
            if (!o.pending || it == s.saved.end()) return;
            for (const auto& [i, v] : it->second) {
                keyEntries += o.cls->attrs[i].key && !keyText(v.value()).empty();
                for (tag_t t : o.values[i].tags()) ++unsaved[t][o.tag];
                for (tag_t t : v.tags()) --unsaved[t][o.tag];
            }
        });
        if (s.keys.size() != keyEntries)
            bad << "the key index holds " << s.keys.size() << " entries for " << keyEntries << " key values; ";
        std::map<tag_t, std::map<tag_t, int>> counted;
        for (tag_t target = 0; target < s.unsavedReferences.size(); ++target)
            for (const auto& [holder, n] : s.unsavedReferences[target]) counted[target][holder] = n;
        for (auto it = unsaved.begin(); it != unsaved.end();) {
            std::erase_if(it->second, [](const auto& e) { return e.second == 0; });
            it = it->second.empty() || !it->first ? unsaved.erase(it) : std::next(it);
        }
        if (counted != unsaved) bad << "the count of unsaved references differs from the saved values; ";
        s.objects.forEach([&](const store::Object& o) {
            const auto name = [&] { return o.uid.str() + " (" + o.cls->name + ")"; };
            auto live = [&](const Value& v, const std::string& what) {
                for (tag_t t : tagsOf(v))
                    if (t && !store::find(t)) bad << name() << " " << what << " names the deleted " << t << "; ";
            };
            for (std::size_t i = 0; i < o.values.size(); ++i) {
                const store::AttrDef& a = o.cls->attrs[i];
                const Value v = o.values[i].value();
                if (a.key && !keyText(v).empty()) {
                    const auto [at, added] = keys.emplace(std::make_pair(a.declaringClass, keyText(v)), o.tag);
                    if (!added && at->second != o.tag)
                        bad << name() << " shares the key " << a.declaringClass << " \"" << keyText(v) << "\"; ";
                    if (store::findByKey(a.declaringClass, keyText(v)) != o.tag)
                        bad << name() << " is not found by its " << a.name << " \"" << keyText(v) << "\"; ";
                }
                if (store::isReference(a.type)) {
                    live(v, a.name);
                    live(savedValue(o, static_cast<int>(i)), "saved " + a.name);
                }
            }
            // Saved at least once: its saved values are what a save let through.
            const int created = o.cls->known.creationDate;
            if (created >= 0 && !o.values[created].empty())
                for (int i : requiredAttributes(o.type))
                    if (emptyForRequired(savedValue(o, i)))
                        bad << name() << " is saved with the required " << o.cls->attrs[i].name << " empty; ";
        });
        return bad.str();
    }

    tag_t m_link = 0;
    const store::ClassDef* m_folderClass = nullptr;
    const store::ClassDef* m_relationClass = nullptr;
    std::vector<tag_t> m_made;
    std::map<tag_t, int> m_handle;
    World m_world;
    std::vector<std::pair<int, World>> m_marks;  // markpoint id, the model when it was placed
    // Where each markpoint placed since the journal was last empty began it,
    // forgotten ones too: a roll-back cuts the journal back to one.
    std::vector<std::size_t> m_spans;
    std::deque<std::string> m_trace;
};

struct StoreModel : vl::test::SiteTest {
    void SetUp() override {
        vl::test::SiteTest::SetUp();
        std::string error;
        ASSERT_EQ(SITE_load_text(kSite, "model.site", &error), 0) << error;
    }
    void TearDown() override { vl::test::useDefaultSite(); }
};

int fromEnvironment(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

// Each seed a few thousand steps on a fresh store; VL_STORE_MODEL_SEEDS and
// VL_STORE_MODEL_STEPS run longer.
TEST_F(StoreModel, RandomSequencesKeepTheStoreAndTheModelAlike) {
#if defined(__SANITIZE_ADDRESS__)
    const int seeds = fromEnvironment("VL_STORE_MODEL_SEEDS", 2);
#else
    const int seeds = fromEnvironment("VL_STORE_MODEL_SEEDS", 10);
#endif
    const int steps = fromEnvironment("VL_STORE_MODEL_STEPS", 3000);
    for (int seed = 1; seed <= seeds; ++seed) {
        SITE_reset();
        std::mt19937 rng(static_cast<unsigned>(seed));
        ModelRun run;
        for (int i = 0; i < steps; ++i) {
            const std::string wrong = run.step(run.randomStep(rng));
            if (!wrong.empty()) {
                ADD_FAILURE() << "seed " << seed << ", step " << i << ": " << wrong << "\nafter:\n" << run.trace();
                break;
            }
        }
        run.forgetAll();
    }
}

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

// Sequences each of which broke one rule of the store.
const Sequence kSequences[] = {
    {"one object holds one text in its string key and its int key",
     {make("Keyed"), set(0, "code", text("7")), set(0, "number", number(7)), save(0),
      set(0, "number", number(8)), save(0), make("Keyed"), set(1, "code", text("7")).refused(ERR_DUPLICATE),
      set(1, "number", number(8)).refused(ERR_DUPLICATE), set(0, "code", text("9")), save(0),
      set(1, "code", text("7")).succeeds()}},
    {"a key taken under a markpoint from a deleted holder goes back to it",
     {make("Keyed"), set(0, "code", text("X-1")), save(0), place(), make("Keyed"), set(1, "code", text("X-2")),
      save(1), erase(0).succeeds(), set(1, "code", text("X-1")).succeeds(), roll(0), forget(0), make("Keyed"),
      set(2, "code", text("X-1")).refused(ERR_DUPLICATE)}},
    {"a key taken under a markpoint from a renamed holder goes back to it",
     {make("Keyed"), set(0, "code", text("X-1")), save(0), place(), make("Keyed"), set(1, "code", text("X-2")),
      set(0, "code", text("X-3")), save(0), set(1, "code", text("X-1")).succeeds(), roll(0), forget(0),
      make("Keyed"), set(2, "code", text("X-1")).refused(ERR_DUPLICATE)}},
    {"a key an unsaved change gave up stays its holder's until saved",
     {make("Keyed"), set(0, "code", text("Y-1")), save(0), set(0, "code", text("Y-2")), make("Keyed"),
      set(1, "code", text("Y-1")).refused(ERR_DUPLICATE), refresh(0), set(1, "code", text("Y-2")).succeeds(),
      set(0, "code", text("Y-3")), save(0), set(1, "code", text("Y-1")).succeeds()}},
    {"an object an unsaved removal took out of a folder is not deleted",
     {make("Folder"), make("Keyed"), insert(0, 1), save(0), remove(0, 1), erase(1).refused(ERR_REFERENCED),
      refresh(0), remove(0, 1), save(0), erase(1).succeeds()}},
    {"a required list emptied in place is not saved",
     {make("Binder"), save(0).refused(ERR_REQUIRED_VALUE), make("Keyed"), insert(0, 1), save(0).succeeds(),
      remove(0, 1), save(0).refused(ERR_REQUIRED_VALUE), refresh(0),
      set(0, "contents", std::vector<tag_t>{}), save(0).refused(ERR_REQUIRED_VALUE)}},
    {"a relation a folder lists is not deleted",
     {make("Folder"), make("Keyed"), make("Keyed"), relate(1, 2), insert(0, 3), unrelate(3).refused(ERR_REFERENCED),
      remove(0, 3), unrelate(3).succeeds()}},
};

TEST_F(StoreModel, SequencesThatBrokeARuleKeepIt) {
    for (const Sequence& sequence : kSequences) {
        SCOPED_TRACE(sequence.name);
        SITE_reset();
        ModelRun run;
        for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
            const std::string wrong = run.step(sequence.steps[i]);
            if (!wrong.empty()) {
                ADD_FAILURE() << "step " << i << ": " << wrong << "\nafter:\n" << run.trace();
                break;
            }
        }
        run.forgetAll();
    }
}

}  // namespace
