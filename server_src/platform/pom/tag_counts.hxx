#pragma once
#include "pom/pom_types.hxx"

#include <cstdint>
#include <span>

namespace vl::platform::store {

// Tags in increasing (creation) order, each with a count: the objects that
// refer to one target with their number of references, the instances of a
// class. Most targets have one referencer, held in place; more go to a
// block. An entry that drops to zero stays as a hole until holes are half
// the block, so removing one shifts nothing.
class TagCounts {
public:
    TagCounts() = default;
    TagCounts(const TagCounts& other);
    TagCounts& operator=(const TagCounts& other);
    TagCounts(TagCounts&& other) noexcept;
    TagCounts& operator=(TagCounts&& other) noexcept;
    ~TagCounts() { freeBlock(); }

    void add(tag_t from, int n);
    void drop(tag_t from, int n);
    bool empty() const { return m_live == 0; }
    std::size_t size() const { return m_live; }
    template <class F>
    void forEach(F&& f) const {
        for (const Entry& e : entries())
            if (e.n > 0) f(e.tag);
    }

private:
    struct Entry {
        tag_t tag;
        int n;
    };
    struct Block {
        std::uint32_t size, capacity;
        Entry entries[1];
    };
    static Block* allocate(std::uint32_t capacity);
    std::span<const Entry> entries() const;
    void freeBlock();
    void take(TagCounts& other);  // other is left empty
    Entry* insertAt(Entry* at, Entry e);  // into the block, growing it

    union {
        Entry m_one{0, 0};  // while m_inBlock is false: the entry, if n > 0
        Block* m_block;
    };
    std::uint32_t m_live = 0;  // entries with a count
    bool m_inBlock = false;
};

static_assert(sizeof(TagCounts) == 16, "a referencer list is two words");

}  // namespace vl::platform::store
