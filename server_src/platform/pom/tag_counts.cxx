#include "pom/tag_counts.hxx"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace vl::platform::store {

TagCounts::Block* TagCounts::allocate(std::uint32_t capacity) {
    auto* b = static_cast<Block*>(::operator new(offsetof(Block, entries) + capacity * sizeof(Entry)));
    b->size = 0;
    b->capacity = capacity;
    b->live = 0;
    return b;
}

void TagCounts::freeBlock() {
    if (m_inBlock) ::operator delete(block());
    m_inBlock = false;
    m_word = 0;
    m_n[0] = m_n[1] = 0;
}

TagCounts::Block* TagCounts::copyOf(const Block* from, std::uint32_t capacity) {
    Block* b = allocate(capacity);
    b->size = from->size;
    b->live = from->live;
    std::memcpy(b->entries, from->entries, from->size * sizeof(Entry));
    return b;
}

TagCounts::TagCounts(const TagCounts& other)
    : m_word(other.m_word), m_n{other.m_n[0], other.m_n[1]}, m_inBlock(other.m_inBlock) {
    if (!m_inBlock) return;
    const Block* from = other.block();
    m_word = reinterpret_cast<std::uint64_t>(copyOf(from, std::max<std::uint32_t>(from->size, 1)));
}

TagCounts& TagCounts::operator=(const TagCounts& other) {
    if (this != &other) *this = TagCounts(other);
    return *this;
}

TagCounts::TagCounts(TagCounts&& other) noexcept { take(other); }

TagCounts& TagCounts::operator=(TagCounts&& other) noexcept {
    if (this != &other) {
        freeBlock();
        take(other);
    }
    return *this;
}

void TagCounts::take(TagCounts& other) {
    m_word = std::exchange(other.m_word, 0);
    m_n[0] = std::exchange(other.m_n[0], 0);
    m_n[1] = std::exchange(other.m_n[1], 0);
    m_inBlock = std::exchange(other.m_inBlock, false);
}

std::size_t TagCounts::size() const {
    if (m_inBlock) return block()->live;
    return (m_n[0] > 0) + (m_n[1] > 0);
}

void TagCounts::setSmall(int i, tag_t tag, int n) {
    const int shift = 32 * i;
    m_word = (m_word & ~(std::uint64_t{0xffffffff} << shift)) | (std::uint64_t{tag} << shift);
    m_n[i] = static_cast<std::uint16_t>(n);
}

// The entries in place move to a block (of room for four).
void TagCounts::toBlock() {
    Block* b = allocate(4);
    for (int i = 0; i < 2; ++i)
        if (m_n[i] > 0) b->entries[b->size++] = {smallTag(i), m_n[i]};
    b->live = b->size;
    m_word = reinterpret_cast<std::uint64_t>(b);
    m_n[0] = m_n[1] = 0;
    m_inBlock = true;
}

void TagCounts::insertAt(Entry* at, Entry e) {
    Block* b = block();
    const std::size_t pos = static_cast<std::size_t>(at - b->entries);
    if (b->size == b->capacity) {
        Block* grown = copyOf(b, b->capacity * 2);
        ::operator delete(b);
        m_word = reinterpret_cast<std::uint64_t>(grown);
        b = grown;
    }
    Entry* p = b->entries + pos;
    std::memmove(p + 1, p, (b->size - pos) * sizeof(Entry));
    *p = e;
    ++b->size;
    ++b->live;
}

int TagCounts::smallIndex(tag_t from) const {
    for (int i = 0; i < 2; ++i)
        if (m_n[i] > 0 && smallTag(i) == from) return i;
    return -1;
}

void TagCounts::add(tag_t from, int n) {
    if (n <= 0) return;
    if (!m_inBlock) {
        const int i = smallIndex(from);
        if (i >= 0 && m_n[i] + n <= kSmallCount) {
            m_n[i] = static_cast<std::uint16_t>(m_n[i] + n);
            return;
        }
        if (i < 0 && n <= kSmallCount && m_n[1] == 0) {
            // One or two, in tag order.
            if (m_n[0] == 0) {
                setSmall(0, from, n);
            } else if (from > smallTag(0)) {
                setSmall(1, from, n);
            } else {
                setSmall(1, smallTag(0), m_n[0]);
                setSmall(0, from, n);
            }
            return;
        }
        toBlock();
    }
    addToBlock(from, n);
}

void TagCounts::addToBlock(tag_t from, int n) {
    Block* b = block();
    Entry* first = b->entries;
    Entry* last = first + b->size;
    Entry* it = first == last || last[-1].tag < from
                    ? last
                    : std::lower_bound(first, last, from, [](const Entry& e, tag_t t) { return e.tag < t; });
    if (it == last || it->tag != from) {
        insertAt(it, {from, n});
        return;
    }
    if (it->n == 0) ++b->live;
    it->n += n;
}

int TagCounts::count(tag_t from) const {
    if (!m_inBlock) {
        const int i = smallIndex(from);
        return i < 0 ? 0 : m_n[i];
    }
    const std::span<const Entry> all = entries();
    const auto it = std::lower_bound(all.begin(), all.end(), from, [](const Entry& e, tag_t t) { return e.tag < t; });
    return it == all.end() || it->tag != from ? 0 : it->n;
}

void TagCounts::drop(tag_t from, int n) {
    if (!m_inBlock) {
        const int i = smallIndex(from);
        if (i < 0) return;
        if (m_n[i] > n) {
            m_n[i] = static_cast<std::uint16_t>(m_n[i] - n);
            return;
        }
        // The second, if any, moves first.
        if (i == 0) setSmall(0, smallTag(1), m_n[1]);
        setSmall(1, 0, 0);
        return;
    }
    Block* b = block();
    Entry* first = b->entries;
    Entry* last = first + b->size;
    Entry* it = std::lower_bound(first, last, from, [](const Entry& e, tag_t t) { return e.tag < t; });
    if (it == last || it->tag != from || it->n == 0) return;
    it->n -= n;
    if (it->n > 0) return;
    it->n = 0;
    --b->live;
    if ((b->size - b->live) * 2 <= b->size) return;
    // Holes are half the block: keep the live entries only, in place when
    // at most two are left with counts that fit.
    Entry* kept = std::remove_if(first, last, [](const Entry& e) { return e.n == 0; });
    b->size = static_cast<std::uint32_t>(kept - first);
    if (b->size > 2 || std::any_of(first, kept, [](const Entry& e) { return e.n > kSmallCount; })) return;
    Entry left[2] = {};
    std::copy(first, kept, left);
    const std::uint32_t count = b->size;
    freeBlock();
    for (std::uint32_t i = 0; i < count; ++i) setSmall(static_cast<int>(i), left[i].tag, left[i].n);
}

}  // namespace vl::platform::store
