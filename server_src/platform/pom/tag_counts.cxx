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
    return b;
}

void TagCounts::freeBlock() {
    if (m_inBlock) ::operator delete(m_block);
    m_inBlock = false;
    m_one = {0, 0};
}

TagCounts::TagCounts(const TagCounts& other) : m_live(other.m_live), m_inBlock(other.m_inBlock) {
    if (!other.m_inBlock) {
        m_one = other.m_one;
        return;
    }
    m_block = allocate(other.m_block->size);
    m_block->size = other.m_block->size;
    std::memcpy(m_block->entries, other.m_block->entries, other.m_block->size * sizeof(Entry));
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
    m_live = std::exchange(other.m_live, 0);
    m_inBlock = std::exchange(other.m_inBlock, false);
    if (m_inBlock)
        m_block = other.m_block;
    else
        m_one = other.m_one;
    other.m_one = {0, 0};
}

std::span<const TagCounts::Entry> TagCounts::entries() const {
    if (m_inBlock) return {m_block->entries, m_block->size};
    if (m_one.n > 0) return {&m_one, 1};
    return {};
}

TagCounts::Entry* TagCounts::insertAt(Entry* at, Entry e) {
    std::size_t pos = static_cast<std::size_t>(at - m_block->entries);
    if (m_block->size == m_block->capacity) {
        Block* grown = allocate(m_block->capacity * 2);
        grown->size = m_block->size;
        std::memcpy(grown->entries, m_block->entries, m_block->size * sizeof(Entry));
        ::operator delete(m_block);
        m_block = grown;
    }
    Entry* p = m_block->entries + pos;
    std::memmove(p + 1, p, (m_block->size - pos) * sizeof(Entry));
    *p = e;
    ++m_block->size;
    return p;
}

void TagCounts::add(tag_t from, int n) {
    if (!m_inBlock) {
        if (m_one.n <= 0) {
            m_one = {from, n};
            m_live = 1;
            return;
        }
        if (m_one.tag == from) {
            m_one.n += n;
            return;
        }
        const Entry held = m_one;
        m_block = allocate(4);
        m_inBlock = true;
        m_block->entries[0] = held;
        m_block->size = 1;
    }
    Entry* first = m_block->entries;
    Entry* last = first + m_block->size;
    if (first == last || last[-1].tag < from) {
        insertAt(last, {from, n});
        ++m_live;
        return;
    }
    Entry* it = std::lower_bound(first, last, from, [](const Entry& e, tag_t t) { return e.tag < t; });
    if (it != last && it->tag == from) {
        if (it->n == 0) ++m_live;
        it->n += n;
    } else {
        insertAt(it, {from, n});
        ++m_live;
    }
}

void TagCounts::drop(tag_t from, int n) {
    if (!m_inBlock) {
        if (m_one.n <= 0 || m_one.tag != from) return;
        m_one.n -= n;
        if (m_one.n <= 0) {
            m_one = {0, 0};
            m_live = 0;
        }
        return;
    }
    Entry* first = m_block->entries;
    Entry* last = first + m_block->size;
    Entry* it = std::lower_bound(first, last, from, [](const Entry& e, tag_t t) { return e.tag < t; });
    if (it == last || it->tag != from || it->n == 0) return;
    it->n -= n;
    if (it->n > 0) return;
    it->n = 0;
    --m_live;
    if ((m_block->size - m_live) * 2 <= m_block->size) return;
    // Holes are half the block: keep the live entries only, in place when
    // at most one is left.
    Entry* kept = std::remove_if(first, last, [](const Entry& e) { return e.n == 0; });
    m_block->size = static_cast<std::uint32_t>(kept - first);
    if (m_live <= 1) {
        const Entry left = m_live ? first[0] : Entry{0, 0};
        freeBlock();
        m_one = left;
    }
}

}  // namespace vl::platform::store
