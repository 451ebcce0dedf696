#pragma once
#include "pom/pom_types.hxx"

#include <cstdint>
#include <span>

namespace vl::platform::store {

// Tags in increasing (creation) order, each with a count: the objects that
// refer to one target with their number of references, the instances of a
// class. Most targets have one or two referencers, held in place; more go
// to a block. An entry of a block that drops to zero stays as a hole until
// holes are half the block, so removing one shifts nothing.
class TagCounts {
public:
    TagCounts() = default;
    TagCounts(const TagCounts& other);
    TagCounts& operator=(const TagCounts& other);
    TagCounts(TagCounts&& other) noexcept;
    TagCounts& operator=(TagCounts&& other) noexcept;
    ~TagCounts() { freeBlock(); }

    void add(tag_t from, int n);  // n > 0
    void drop(tag_t from, int n);
    bool empty() const { return size() == 0; }
    int count(tag_t from) const;  // 0 when none
    std::size_t size() const;
    template <class F>
    void forEach(F&& f) const {
        if (m_inBlock) {
            for (const Entry& e : entries())
                if (e.n > 0) f(e.tag);
            return;
        }
        for (int i = 0; i < 2; ++i)
            if (m_n[i] > 0) f(smallTag(i));
    }

private:
    struct Entry {
        tag_t tag;
        int n;
    };
    struct Block {
        std::uint32_t size, capacity, live;
        Entry entries[1];
    };
    static constexpr int kSmallCount = 0xffff;  // the most a count in place holds

    static Block* allocate(std::uint32_t capacity);
    static Block* copyOf(const Block* from, std::uint32_t capacity);
    Block* block() const { return reinterpret_cast<Block*>(m_word); }
    std::span<const Entry> entries() const { return {block()->entries, block()->size}; }
    tag_t smallTag(int i) const { return static_cast<tag_t>(m_word >> (32 * i)); }
    void setSmall(int i, tag_t tag, int n);
    void freeBlock();
    void take(TagCounts& other);  // other is left empty
    void toBlock();
    void addToBlock(tag_t from, int n);
    void insertAt(Entry* at, Entry e);  // a live entry into the block, growing it
    int smallIndex(tag_t from) const;   // of the entry in place for `from`, or -1

    // In place: up to two entries, the tags in the two halves of m_word and
    // their counts in m_n (an unused one counts 0, and the first is used
    // first). In a block: m_word is its address.
    std::uint64_t m_word = 0;
    std::uint16_t m_n[2] = {0, 0};
    bool m_inBlock = false;
};

static_assert(sizeof(TagCounts) == 16, "a referencer list is two words");

}  // namespace vl::platform::store
