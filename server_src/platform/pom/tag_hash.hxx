#pragma once
#include "pom/pom_types.hxx"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vl::platform::store {

// What an entry holds besides its hash and tag: nothing (the caller tells a
// true match from a hash match by the tag), or a short text the match reads
// in the entry itself, so a look-up touches the table alone.
struct NoKey {};
struct ShortKey {
    static constexpr std::size_t kMax = 15;
    ShortKey() = default;
    explicit ShortKey(std::string_view text) : size(static_cast<std::uint8_t>(text.size())) {
        std::memcpy(this->text, text.data(), text.size());  // the caller keeps to kMax
    }
    std::string_view view() const { return {text, size}; }
    char text[kMax] = {};
    std::uint8_t size = 0;
};

// Tags found by a 32-bit hash of what they hold (an object's uid, a key
// value): open addressing with linear probing and removal by backward shift,
// so no entry is ever a tombstone. Any value but 0 may stand in for a tag
// (a position in the caller's array plus one). With NoKey an entry is eight
// bytes and the match is asked about the tag; with a key, about the key.
template <class Key>
class BasicTagHash {
public:
    template <class Match>
    tag_t find(std::uint32_t hash, Match&& match) const {
        if (m_entries.empty()) return 0;
        for (std::size_t i = home(hash);; i = next(i)) {
            const Entry& e = m_entries[i];
            if (!e.tag) return 0;
            if (e.hash != hash) continue;
            if constexpr (std::is_same_v<Key, NoKey>) {
                if (match(e.tag)) return e.tag;
            } else {
                if (match(e.key)) return e.tag;
            }
        }
    }
    void insert(std::uint32_t hash, tag_t tag, Key key = {});
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
        [[no_unique_address]] Key key{};
    };
    static_assert(!std::is_same_v<Key, NoKey> || sizeof(Entry) == 8, "a bare entry is eight bytes");
    std::size_t home(std::uint32_t hash) const { return hash & (m_entries.size() - 1); }
    std::size_t next(std::size_t i) const { return (i + 1) & (m_entries.size() - 1); }
    void place(const Entry& e);

    std::vector<Entry> m_entries;  // a power of two long, at most three quarters full
    std::size_t m_count = 0;
};

using TagHash = BasicTagHash<NoKey>;
// Tags by a text of at most ShortKey::kMax bytes held in the table.
using ShortTextHash = BasicTagHash<ShortKey>;

extern template class BasicTagHash<NoKey>;
extern template class BasicTagHash<ShortKey>;

}  // namespace vl::platform::store
