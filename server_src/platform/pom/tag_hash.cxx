#include "pom/tag_hash.hxx"

#include <algorithm>
#include <functional>

namespace vl::platform::store {

namespace {
std::uint32_t fold(std::size_t h) { return static_cast<std::uint32_t>(h ^ (h >> 32)); }
}  // namespace

std::uint32_t TagHash::hashOf(std::string_view text) { return fold(std::hash<std::string_view>{}(text)); }

std::uint32_t TagHash::hashOf(std::string_view a, std::string_view b) {
    const std::size_t ha = std::hash<std::string_view>{}(a), hb = std::hash<std::string_view>{}(b);
    return fold(ha ^ (hb + 0x9e3779b97f4a7c15ULL + (ha << 6) + (ha >> 2)));
}

void TagHash::place(Entry e) {
    std::size_t i = home(e.hash);
    while (m_entries[i].tag) i = next(i);
    m_entries[i] = e;
}

void TagHash::insert(std::uint32_t hash, tag_t tag) {
    if ((m_count + 1) * 4 > m_entries.size() * 3) {
        std::vector<Entry> old(std::max<std::size_t>(16, m_entries.size() * 2));
        m_entries.swap(old);
        for (const Entry& e : old)
            if (e.tag) place(e);
    }
    place({hash, tag});
    ++m_count;
}

void TagHash::erase(std::uint32_t hash, tag_t tag) {
    if (m_entries.empty()) return;
    std::size_t i = home(hash);
    for (;; i = next(i)) {
        if (!m_entries[i].tag) return;
        if (m_entries[i].tag == tag && m_entries[i].hash == hash) break;
    }
    // Pull later entries of the run into the gap when it lies between
    // their home and where they stand.
    for (std::size_t j = next(i); m_entries[j].tag; j = next(j)) {
        const std::size_t mask = m_entries.size() - 1;
        if (((j - home(m_entries[j].hash)) & mask) >= ((j - i) & mask)) {
            m_entries[i] = m_entries[j];
            i = j;
        }
    }
    m_entries[i] = Entry{};
    --m_count;
}

}  // namespace vl::platform::store
