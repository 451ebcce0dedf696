#pragma once
// What both session implementations need around the preference calls: the
// scope names, the search scope put back, and the SM arrays the calls take
// and return, freed on every way out.
#include "kernel/pref.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core::SessionPrefs {

// Exact names only ("all", "site", "user", "role", "group"); anything else
// throws IFail 214103.
OSTRA_preference_search_scope_e scopeFromName(const std::string& name);

// Puts the session's search scope back when it goes, however the scope ends.
class SearchScopeRestore {
public:
    explicit SearchScopeRestore(OSTRA_preference_search_scope_e saved) : m_saved(saved) {}
    SearchScopeRestore(const SearchScopeRestore&) = delete;
    SearchScopeRestore& operator=(const SearchScopeRestore&) = delete;
    ~SearchScopeRestore();

private:
    OSTRA_preference_search_scope_e m_saved;
};

// Texts as the preference calls take them: an SM array of SM string copies,
// all freed when it goes.
class SmStringArray {
public:
    explicit SmStringArray(const std::vector<std::string>& texts);
    SmStringArray(const SmStringArray&) = delete;
    SmStringArray& operator=(const SmStringArray&) = delete;
    ~SmStringArray() { release(); }

    int count() const { return m_count; }
    const char* const* values() const { return m_values; }
    const char* operator[](int i) const { return m_values[i]; }

private:
    void release();

    int m_count;
    char** m_values;
};

// The values one PREF_ask_char_values call returns: every string and the
// array are freed when it goes.
class PrefCharValues {
public:
    PrefCharValues() = default;
    PrefCharValues(const PrefCharValues&) = delete;
    PrefCharValues& operator=(const PrefCharValues&) = delete;
    ~PrefCharValues();

    int* count() { return &m_count; }
    char*** values() { return &m_values; }
    std::vector<std::string> texts() const;

private:
    int m_count = 0;
    char** m_values = nullptr;
};

}  // namespace Velmora::Soa::Core::SessionPrefs
