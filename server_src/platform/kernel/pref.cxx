#include "kernel/pref.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/preferences.hxx"
#include "kernel/session_state.hxx"
#include "pom/store.hxx"
#include "sm/sm.hxx"

using namespace vl::platform;
using namespace vl::platform::store;

using vl::platform::kernel::Preferences;

namespace {

using Values = Preferences::Values;

const Values* lookup(const std::string& name, OSTRA_preference_search_scope_e scope) {
    const vl::platform::kernel::Session se = vl::platform::kernel::currentSession();
    Preferences& p = extension<Preferences>();
    auto at = [&](const Preferences::ByOwner& m, tag_t who) -> const Values* {
        if (!who || !se.loggedIn) return nullptr;
        auto it = m.find({who, name});
        return it == m.end() ? nullptr : &it->second;
    };
    auto site = [&]() -> const Values* {
        auto it = p.site.find(name);
        return it == p.site.end() ? nullptr : &it->second;
    };
    switch (scope) {
    case OSTRA_preference_all_preferences:
        if (const Values* v = at(p.user, se.user)) return v;
        if (const Values* v = at(p.role, se.role)) return v;
        if (const Values* v = at(p.group, se.group)) return v;
        return site();
    case OSTRA_preference_user_preference:
        return at(p.user, se.user);
    case OSTRA_preference_role_preference:
        return at(p.role, se.role);
    case OSTRA_preference_group_preference:
        return at(p.group, se.group);
    case OSTRA_preference_site_preference:
        return site();
    }
    return nullptr;
}

int readCurrent(const char* name, const Values** out) {
    *out = name ? lookup(name, vl::platform::kernel::sessionState().scope) : nullptr;
    if (!*out) return fail(ERR_PREF_NOT_FOUND, name ? name : "");
    return 0;
}

// Writes (or, with values null, deletes) at the current scope's level.
int write(const char* name, const Values* values) {
    const vl::platform::kernel::Session se = vl::platform::kernel::currentSession();
    Preferences& p = extension<Preferences>();
    if (!name || !*name) return fail(ERR_BAD_ARGUMENT, "a preference needs a name");
    if (!se.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    Preferences::ByOwner Preferences::*level = nullptr;
    tag_t who = 0;
    switch (se.scope) {
    case OSTRA_preference_all_preferences:
    case OSTRA_preference_user_preference:
        level = &Preferences::user;
        who = se.user;
        break;
    case OSTRA_preference_role_preference:
        level = &Preferences::role;
        who = se.role;
        break;
    case OSTRA_preference_group_preference:
        level = &Preferences::group;
        who = se.group;
        break;
    case OSTRA_preference_site_preference:
        break;
    }
    if (se.scope != OSTRA_preference_all_preferences && se.scope != OSTRA_preference_user_preference &&
        !privileged())
        return fail(ERR_PREF_ACCESS, std::string(name) + ": only an administration group writes that level");
    std::string key = name;
    if (!level) {
        auto old = p.site.find(key);
        std::optional<Values> before;
        if (old != p.site.end()) before = old->second;
        journalUndo([key, before] {
            if (before)
                extension<Preferences>().site[key] = *before;
            else
                extension<Preferences>().site.erase(key);
        });
        if (values)
            p.site[key] = *values;
        else
            p.site.erase(key);
        return 0;
    }
    auto k = std::make_pair(who, key);
    Preferences::ByOwner& held = p.*level;
    auto old = held.find(k);
    std::optional<Values> before;
    if (old != held.end()) before = old->second;
    journalUndo([level, k, before] {
        Preferences::ByOwner& at = extension<Preferences>().*level;
        if (before)
            at[k] = *before;
        else
            at.erase(k);
    });
    if (values)
        held[k] = *values;
    else
        held.erase(k);
    return 0;
}

}  // namespace

namespace vl::platform::kernel {

namespace {

std::string byOwnerText(const Preferences::ByOwner& m) {
    std::vector<std::string> lines;
    for (const auto& [key, values] : m) lines.push_back(std::to_string(key.first) + " " + key.second + " " + dumpStrings(values));
    return joinSorted(std::move(lines));
}

}  // namespace

std::string Preferences::dump() const {
    std::string out;
    for (const auto& [key, values] : site) out += "site pref " + key + " " + dumpStrings(values) + "\n";
    return out + byOwnerText(group) + byOwnerText(role) + byOwnerText(user);
}

}  // namespace vl::platform::kernel

int PREF_initialize() {
    VL_ENTER("PREF_initialize", 0);
    return 0;
}

int PREF_ask_search_scope(OSTRA_preference_search_scope_e* scope) {
    VL_ENTER("PREF_ask_search_scope", 0);
    if (scope) *scope = vl::platform::kernel::sessionState().scope;
    return 0;
}

int PREF_set_search_scope(OSTRA_preference_search_scope_e scope) {
    return PREF_set_search_scope(static_cast<int>(scope));
}

int PREF_set_search_scope(int scope) {
    VL_ENTER("PREF_set_search_scope", 0);
    if (scope < 0 || scope > 4) return fail(ERR_BAD_ARGUMENT, "no such preference scope");
    vl::platform::kernel::sessionState().scope = static_cast<OSTRA_preference_search_scope_e>(scope);
    return 0;
}

int PREF_ask_char_values(const char* name, int* count, char*** values) {
    VL_ENTER("PREF_ask_char_values", 0);
    if (count) *count = 0;
    if (values) *values = nullptr;
    const Values* v = nullptr;
    if (int rc = readCurrent(name, &v)) return rc;
    if (count) *count = static_cast<int>(v->size());
    if (values) {
        auto** a = static_cast<char**>(SM_alloc_persistent(sizeof(char*) * v->size()));
        for (std::size_t i = 0; i < v->size(); ++i) a[i] = SM_string_copy_persistent((*v)[i].c_str());
        *values = a;
    }
    return 0;
}

int PREF_ask_char_value(const char* name, int index, char** value) {
    VL_ENTER("PREF_ask_char_value", 0);
    if (value) *value = nullptr;
    const Values* v = nullptr;
    if (int rc = readCurrent(name, &v)) return rc;
    if (index < 0 || index >= static_cast<int>(v->size())) return fail(ERR_NOT_FOUND, "no value at that index");
    if (value) *value = SM_string_copy_persistent((*v)[index].c_str());
    return 0;
}

int PREF_ask_int_values(const char* name, int* count, int** values) {
    VL_ENTER("PREF_ask_int_values", 0);
    if (count) *count = 0;
    if (values) *values = nullptr;
    const Values* v = nullptr;
    if (int rc = readCurrent(name, &v)) return rc;
    std::vector<int> n;
    for (const auto& e : *v) {
        char* end = nullptr;
        long x = std::strtol(e.c_str(), &end, 10);
        if (e.empty() || *end) return fail(ERR_BAD_VALUE, std::string(name) + ": not an integer");
        n.push_back(static_cast<int>(x));
    }
    if (count) *count = static_cast<int>(n.size());
    if (values) {
        auto* a = static_cast<int*>(SM_alloc_persistent(sizeof(int) * n.size()));
        for (std::size_t i = 0; i < n.size(); ++i) a[i] = n[i];
        *values = a;
    }
    return 0;
}

int PREF_ask_int_value(const char* name, int index, int* value) {
    VL_ENTER("PREF_ask_int_value", 0);
    const Values* v = nullptr;
    if (int rc = readCurrent(name, &v)) return rc;
    if (index < 0 || index >= static_cast<int>(v->size())) return fail(ERR_NOT_FOUND, "no value at that index");
    const std::string& e = (*v)[index];
    char* end = nullptr;
    long x = std::strtol(e.c_str(), &end, 10);
    if (e.empty() || *end) return fail(ERR_BAD_VALUE, std::string(name) + ": not an integer");
    if (value) *value = static_cast<int>(x);
    return 0;
}

int PREF_ask_logical_value(const char* name, int index, bool* value) {
    VL_ENTER("PREF_ask_logical_value", 0);
    const Values* v = nullptr;
    if (int rc = readCurrent(name, &v)) return rc;
    if (index < 0 || index >= static_cast<int>(v->size())) return fail(ERR_NOT_FOUND, "no value at that index");
    const std::string& e = (*v)[index];
    bool t = e == "1" || e == "true" || e == "True" || e == "TRUE";
    bool f = e == "0" || e == "false" || e == "False" || e == "FALSE";
    if (!t && !f) return fail(ERR_BAD_VALUE, std::string(name) + ": not a logical");
    if (value) *value = t;
    return 0;
}

int PREF_set_char_values(const char* name, int count, const char* const* values) {
    VL_ENTER("PREF_set_char_values", 0);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    Values v;
    for (int i = 0; i < count; ++i) v.emplace_back(values[i] ? values[i] : "");
    return write(name, &v);
}

int PREF_set_int_values(const char* name, int count, const int* values) {
    VL_ENTER("PREF_set_int_values", 0);
    if (count < 0 || (count > 0 && !values)) return fail(ERR_BAD_ARGUMENT);
    Values v;
    for (int i = 0; i < count; ++i) v.push_back(std::to_string(values[i]));
    return write(name, &v);
}

int PREF_delete(const char* name) {
    VL_ENTER("PREF_delete", 0);
    return write(name, nullptr);
}

namespace vl::platform {
bool PREF_read(const std::string& name, OSTRA_preference_search_scope_e scope, std::vector<std::string>* values) {
    const Values* v = lookup(name, scope);
    if (values) *values = v ? *v : Values{};
    return v != nullptr;
}
}  // namespace vl::platform
