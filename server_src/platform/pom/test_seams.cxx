// The test and host seams of the store core: faults, the clock, locks, the
// call log, and STORE_dump (the whole store as text, domains included).
#include "pom/test_seams.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace vl::platform {

using namespace store;

void FAULT_inject(const std::string& functionName, int code, unsigned int onlyForTag) {
    faultInject(functionName, code, onlyForTag);
}
void FAULT_clear() { faultClear(); }
int FAULT_pending() { return faultPending(); }

int CLOCK_pin(const std::string& utc) {
    date_s d;
    if (!parseDate(utc, &d) || utc.size() != 19) return ERR_BAD_ARGUMENT;
    pinClock(d);
    return 0;
}
void CLOCK_release() { unpinClock(); }

std::vector<unsigned int> LOCKS_held() {
    std::vector<unsigned int> out;
    S().objects.forEach([&](const vl::platform::store::Object& o) {
        if (o.locked) out.push_back(o.tag);
    });
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> CALLS_log() { return callLogNames(); }
void FL_insert_positions_clear();
void CALLS_clear() {
    callLogClear();
    FL_insert_positions_clear();
}

long STORE_object_count() { return static_cast<long>(S().objects.size()); }

long STORE_remembered_uids() { return static_cast<long>(S().phantoms.size() + S().unknownUids.size()); }

namespace {

// Text of a value, its kind first; strings by length, so none can pass for
// two.
std::string valueText(const Value& v) {
    std::string out = std::to_string(v.index()) + "{";
    std::visit(
        [&](const auto& elements) {
            using V = std::decay_t<decltype(elements)>;
            if constexpr (!std::is_same_v<V, std::monostate>) {
                for (const auto& e : elements) {
                    using E = std::decay_t<decltype(e)>;
                    if constexpr (std::is_same_v<E, std::string>) {
                        out += std::to_string(e.size()) + ":" + e;
                    } else if constexpr (std::is_same_v<E, date_s>) {
                        out += formatDate(e);
                    } else if constexpr (std::is_same_v<E, double>) {
                        char buffer[32];
                        std::snprintf(buffer, sizeof buffer, "%.17g", e);
                        out += buffer;
                    } else {
                        out += std::to_string(e);
                    }
                    out += ",";
                }
            }
        },
        v);
    return out + "}";
}

std::string tagsText(const TagCounts& c) {
    std::string out;
    c.forEach([&](tag_t t) { out += " " + std::to_string(t); });
    return out;
}

}  // namespace

std::string STORE_dump() {
    const Store& s = S();
    std::string out;
    auto line = [&](const std::string& l) { out.append(l).push_back('\n'); };
    line("counters " + std::to_string(s.nextTag) + " " + std::to_string(s.uidCounter) + " " +
         std::to_string(s.uidSalt));
    s.objects.forEach([&](const Object& o) {
        std::string l = "object " + std::to_string(o.tag) + " " + o.cls->name + " " + std::to_string(o.type) + " " +
                        o.uid.str() + " dm" + std::to_string(o.dm) + " " + std::to_string(o.locked) +
                        std::to_string(o.readOnly) + std::to_string(o.pending) + " epoch " + std::to_string(o.epoch) +
                        "/" + std::to_string(o.born) + (s.objects.findUid(o.uid.view()) == &o ? "" : " UNINDEXED");
        for (std::size_t i = 0; i < o.values.size(); ++i) {
            const AttrDef& a = o.cls->attrs[i];
            l += " " + a.name + "=" + valueText(o.values[i].value());
            char buffer[16];
            if (a.key && !o.values[i].empty())
                l += "#" + std::to_string(findByKey(a.declaringClass, std::string(keyText(o.values[i], buffer))));
        }
        line(l);
        if (auto it = s.saved.find(o.tag); it != s.saved.end()) {
            std::vector<std::string> saved;
            for (const auto& [i, v] : it->second) {
                std::string l = std::to_string(i) + "=" + valueText(v.value());
                const AttrDef& a = o.cls->attrs[i];
                char buffer[16];
                if (a.key) l += "#" + std::to_string(keyInUse(a.declaringClass, std::string(keyText(v, buffer))));
                saved.push_back(std::move(l));
            }
            out += "saved " + std::to_string(o.tag) + "\n" + joinSorted(std::move(saved));
        }
    });
    line("saved entries " + std::to_string(s.saved.size()));
    for (std::size_t t = 0; t < s.referencers.size(); ++t)
        if (!s.referencers[t].empty()) line("referencers " + std::to_string(t) + tagsText(s.referencers[t]));
    {
        std::vector<std::string> lines;
        for (const auto& [cls, tags] : s.instances)
            if (!tags.empty()) lines.push_back("instances " + cls->name + tagsText(tags));
        for (tag_t t : s.dangling) lines.push_back("dangling " + std::to_string(t));
        for (tag_t target = 0; target < s.unsavedReferences.size(); ++target) {
            const auto& holders = s.unsavedReferences[target];
            if (holders.empty()) continue;
            std::vector<std::string> each;
            for (const auto& [holder, n] : holders) each.push_back(std::to_string(holder) + "x" + std::to_string(n));
            std::sort(each.begin(), each.end());
            std::string l = "unsaved references to " + std::to_string(target);
            for (const std::string& e : each) l += " " + e;
            lines.push_back(std::move(l));
        }
        for (const auto& [t, uid] : s.goneUids) lines.push_back("gone " + std::to_string(t) + " " + uid);
        for (const auto& [uid, t] : s.phantoms) lines.push_back("phantom " + uid + " " + std::to_string(t));
        for (const auto& [uid, t] : s.unknownUids) lines.push_back("unknown " + uid + " " + std::to_string(t));
        for (const auto& [t, uid] : s.unknownTags) lines.push_back("unknown tag " + std::to_string(t) + " " + uid);
        for (const auto& uid : s.givenUids) lines.push_back("given " + uid);
        out += joinSorted(std::move(lines));
    }
    line("identity " + std::to_string(s.identity.user) + " " + std::to_string(s.identity.group) + " " +
         std::to_string(s.identity.loggedIn));
    line("loading " + std::to_string(s.loading));
    {
        std::vector<std::pair<std::string, std::string>> domains;
        for (std::size_t i = 0; i < s.extensions.size(); ++i)
            if (const Extension* e = s.extensions[i].get()) domains.emplace_back(extensionName(i), e->dump());
        std::sort(domains.begin(), domains.end());
        for (const auto& [name, dump] : domains) out += "domain " + name + "\n" + dump;
    }
    line("journal " + std::to_string(s.journal.size()) + " epoch " + std::to_string(s.epoch) + "/" +
         std::to_string(s.epochCounter) + " next markpoint " + std::to_string(s.nextMarkpoint));
    for (const Markpoint& m : s.markpoints) line("markpoint " + std::to_string(m.id) + " " + std::to_string(m.journalPos));
    return out;
}

std::vector<int> MARKPOINTS_placed() {
    std::vector<int> out;
    for (const Markpoint& m : S().markpoints) out.push_back(m.id);
    return out;
}

int OBJ_set_read_only(tag_t object, bool readOnly) {
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    touch(*o);
    o->readOnly = readOnly;
    return 0;
}

int OBJ_set_data_manager(tag_t object, int dataManager) {
    Object* o = nullptr;
    if (int rc = need(object, &o)) return rc;
    touch(*o);
    o->dm = dataManager;
    return 0;
}

}  // namespace vl::platform
