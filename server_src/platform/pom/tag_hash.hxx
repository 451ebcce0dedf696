#pragma once
#include "pom/pom_types.hxx"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vl::platform::store {

// Tags found by a 32-bit hash of what they hold (an object's uid, a key
// value), eight bytes an entry: open addressing with linear probing and
// removal by backward shift, so no entry is ever a tombstone. The caller
// tells a true match from a hash match. Any value but 0 may stand in for a
// tag (a position in the caller's array plus one).
class TagHash {
public:
    template <class Match>
    tag_t find(std::uint32_t hash, Match&& match) const {
        if (m_entries.empty()) return 0;
        for (std::size_t i = home(hash);; i = next(i)) {
            const Entry& e = m_entries[i];
            if (!e.tag) return 0;
            if (e.hash == hash && match(e.tag)) return e.tag;
        }
    }
    void insert(std::uint32_t hash, tag_t tag);
    void erase(std::uint32_t hash, tag_t tag);  // the entry (hash, tag), if any
    std::size_t size() const { return m_count; }

    static std::uint32_t hashOf(std::string_view text);
    static std::uint32_t hashOf(std::string_view a, std::string_view b);  // of the pair
    // Of a tag itself, every bit mixed into the low ones the table uses.
    static std::uint32_t hashOfTag(tag_t tag) {
        std::uint32_t h = tag;
        h = (h ^ (h >> 16)) * 0x85ebca6bu;
        h = (h ^ (h >> 13)) * 0xc2b2ae35u;
        return h ^ (h >> 16);
    }

private:
    struct Entry {
        std::uint32_t hash = 0;
        tag_t tag = 0;  // 0: free
    };
    std::size_t home(std::uint32_t hash) const { return hash & (m_entries.size() - 1); }
    std::size_t next(std::size_t i) const { return (i + 1) & (m_entries.size() - 1); }
    void place(Entry e);

    std::vector<Entry> m_entries;  // a power of two long, at most three quarters full
    std::size_t m_count = 0;
};

}  // namespace vl::platform::store
