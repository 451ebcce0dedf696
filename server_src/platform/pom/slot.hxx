#pragma once
// How the store holds one attribute value: in 8 bytes, with no allocation
// for a single char, int, date, reference or string of up to 7 bytes (ids,
// revisions, short names), one block for a longer single string or a
// double, and one block for an array. Blocks are shared between copies (the
// saved state of an object, the markpoint journal, the objects of one type
// for its name) and copied only when an array is edited in place while
// shared.
#include "pom/pom_types.hxx"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace vl::platform::store {

// One attribute value as callers see it: an empty vector is the null value of
// a single-valued attribute and the empty array of an array attribute. Char
// and logical are held as char, int and short as int, double and float as
// double, string and note as std::string, every reference kind as tag_t.
using Value = std::variant<std::monostate, std::vector<char>, std::vector<int>, std::vector<double>,
                           std::vector<std::string>, std::vector<date_s>, std::vector<tag_t>>;

// The Value alternative of elements of type T.
template <class T>
constexpr std::size_t kValueIndex = 0;
template <>
inline constexpr std::size_t kValueIndex<char> = 1;
template <>
inline constexpr std::size_t kValueIndex<int> = 2;
template <>
inline constexpr std::size_t kValueIndex<double> = 3;
template <>
inline constexpr std::size_t kValueIndex<std::string> = 4;
template <>
inline constexpr std::size_t kValueIndex<date_s> = 5;
template <>
inline constexpr std::size_t kValueIndex<tag_t> = 6;

class Slot {
public:
    // Strings of up to this many bytes are held in the slot itself.
    static constexpr std::size_t kSmallString = 7;

    Slot() = default;
    explicit Slot(Value v);
    Slot(const Slot& other);
    Slot(Slot&& other) noexcept;
    Slot& operator=(const Slot& other);
    Slot& operator=(Slot&& other) noexcept;
    ~Slot();

    // Built with no Value in between, each the slot Slot(Value) makes of
    // the same value: the null value of the Value alternative `index`, and
    // one element (a string, or a char, int, double, date or tag).
    static Slot null(std::size_t index);
    static Slot text(std::string_view s);
    template <class T>
    static Slot one(std::type_identity_t<T> x);

    Value value() const;
    // The Value alternative it holds (0 for none).
    std::size_t index() const;
    bool empty() const { return form() == Empty; }
    std::size_t count() const;  // elements held
    bool operator==(const Value& v) const;
    bool operator==(const Slot& other) const;

    // Reads that build no Value: the references held (none unless a tag
    // value), the first string ("" when none), the first element of type T
    // (null when none or another type).
    std::span<const tag_t> tags() const { return elements<tag_t>(); }
    std::string_view firstString() const;
    // Every element of type T (not strings): none when it holds another type.
    template <class T>
    std::span<const T> elements() const {
        static_assert(!std::is_same_v<T, std::string>, "strings are read by firstString or array");
        if (form() == Shared) {
            if (block()->holeAt) closeHole(*block());
            const auto* vec = std::get_if<std::vector<T>>(&block()->value);
            return vec ? std::span<const T>(*vec).subspan(block()->skip) : std::span<const T>();
        }
        if constexpr (std::is_same_v<T, tag_t>)
            if (form() == Viewed) return viewed();
        const T* p = first<T>();
        return p ? std::span<const T>(p, 1) : std::span<const T>();
    }
    template <class T>
    const T* first() const;
    // The whole array of type T, or null: a single value is no vector.
    template <class T>
    const std::vector<T>* array() const {
        return form() == Shared ? std::get_if<std::vector<T>>(&block()->value) : nullptr;
    }

    // Edits the tags in place (unshared first); the slot must hold tags. The
    // slot then takes the form of what is left, so an emptied list is empty
    // and a list of one equals the same single value.
    template <class F>
    void editTags(F&& edit) {
        edit(ownTags());
        settle();
    }
    // Puts t in at `at` (at most count()): in place when the list is its
    // own and no kept view reads that far, so appending never copies.
    void insertTag(std::size_t at, tag_t t);
    // A copy to keep (a saved value, the journal's) while this slot goes on
    // being edited: a list of tags is kept as a view of the entries it has
    // now, so that appending to it or taking entries off its head copies
    // nothing; an edit of what the view reads gives the edited slot a block
    // of its own first.
    Slot keep() const;
    // Takes out the entry at `at`, which holds t, and, unless `once`, every
    // later entry of t; returns how many went, their positions added to
    // `positions` when given. A shared list is copied around them, not
    // copied and then shifted. The slot takes the form of what is left.
    std::size_t eraseTags(std::size_t at, tag_t t, bool once, std::vector<int>* positions = nullptr);
    // Where the first entry of t stands (SIZE_MAX when none). With `once`,
    // for a tag the list holds at most once, it is looked for from where the
    // last removal left its hole, so removals walking along a list look at a
    // few entries each.
    std::size_t find(tag_t t, bool once = false) const;
    // Bytes of the blocks it owns or shares (shared ones counted whole).
    std::size_t blockBytes() const;

private:
    struct Text {
        std::uint32_t refs;
        std::uint32_t size;
        char data[1];
    };
    // A list of tags alone in its block may hold `skip` dead entries from
    // vector entry `holeAt`: a removal moves the hole to where it takes an
    // entry out, shifting only what lies between, so removals walking along
    // the list shift little; a hole at the head stays there. A hole within
    // the list is closed before anything reads the list whole or shares its
    // block, so only a block of one slot and no views has one; the dead
    // head goes when the block is shared, edited whole or half dead.
    // `refs` counts the slots holding it and the views of it; `views` the
    // views alone, which read no further than entry `pinned` of the vector.
    // Its one slot edits it in place only before none of them.
    struct Block {
        std::uint32_t refs;
        std::uint32_t skip;
        Value value;
        std::uint32_t views = 0;
        std::uint32_t pinned = 0;
        std::uint32_t holeAt = 0;
    };
    // A kept list of tags: `count` entries of `base`'s vector from `from`.
    struct View {
        std::uint32_t refs;
        std::uint32_t from;
        std::uint32_t count;
        Block* base;
    };
    struct Wide {
        std::uint32_t refs;
        double value;
    };
    // Empty keeps the type of the null value; Inline holds a char, int,
    // date or tag, Small a string of up to kSmallString bytes; Single,
    // Shared, Boxed and Viewed point to a Text, a Block, a Wide and a View.
    enum Form : std::uint8_t { Empty, Inline, Small, Single, Shared, Boxed, Viewed };

    // The eight bytes are either a block's address with its kind in the low
    // two bits (the high byte of a user-space address is zero), or a value
    // with a last byte marked by its top bit: kMarked | kind << 3 | index,
    // where kind is 0 for Empty, 1 for Inline and 8 + length for Small. All
    // zero is the empty slot of no type.
    static constexpr unsigned char kMarked = 0x80;
    unsigned char meta() const { return m_bytes[7]; }
    std::uintptr_t word() const {
        std::uintptr_t w;
        std::memcpy(&w, m_bytes, sizeof w);
        return w;
    }
    Form form() const {
        const unsigned char m = meta();
        if (m & kMarked) {
            const unsigned kind = (m >> 3) & 0xf;
            return kind == 0 ? Empty : kind == 1 ? Inline : Small;
        }
        const std::uintptr_t w = word();
        if (!w) return Empty;
        return static_cast<Form>(Single + (w & 3));
    }
    void mark(unsigned kind, std::size_t index) {
        m_bytes[7] = static_cast<unsigned char>(kMarked | kind << 3 | index);
    }
    // Holds a new block of a Single, Shared or Boxed value; one at an
    // address the slot cannot hold is freed, as an allocation failure.
    void hold(void* block, Form form);
    static void destroy(void* block, Form form);
    std::uint32_t& refs(Form form) const;  // of the block held, of that form
    template <class T>
    T* pointer() const {
        return reinterpret_cast<T*>(word() & ~std::uintptr_t(3));
    }
    Text* text() const { return pointer<Text>(); }
    Block* block() const { return pointer<Block>(); }
    Wide* wide() const { return pointer<Wide>(); }
    View* view() const { return pointer<View>(); }
    std::span<const tag_t> viewed() const {
        const View* v = view();
        return std::span<const tag_t>(std::get<std::vector<tag_t>>(v->base->value)).subspan(v->from, v->count);
    }
    // The block is this slot's to edit from vector entry `from` on.
    bool editsInPlace(std::size_t from) const {
        if (form() != Shared) return false;
        const Block* b = block();
        return b->refs - b->views == 1 && (b->views == 0 || from >= b->pinned);
    }
    std::size_t smallSize() const { return ((meta() >> 3) & 0xf) - 8; }

    // Inline values: the first bytes, written and read by copy; a date's
    // seven bytes of fields leave the last byte to the mark.
    template <class T>
    static constexpr std::size_t kInlineBytes = std::is_same_v<T, date_s> ? 7 : sizeof(T);
    template <class T>
    T load() const {
        T x{};
        std::memcpy(static_cast<void*>(&x), m_bytes, kInlineBytes<T>);
        return x;
    }
    template <class T>
    void store(const T& x) {
        static_assert(kInlineBytes<T> <= 7 && std::is_trivially_copyable_v<T>);
        std::memcpy(m_bytes, &x, kInlineBytes<T>);
    }

    void holdText(std::string_view s);
    template <class T>
    void holdOne(const T& x) {
        if constexpr (std::is_same_v<T, double>) {
            hold(new Wide{1, x}, Boxed);
        } else {
            store(x);
            mark(1, kValueIndex<T>);
        }
    }

    std::vector<tag_t>& ownTags();
    static void dropSkipped(Block& b);  // the dead head goes
    // A hole within the list closes, by the shorter shift: a dead head or none.
    static void closeHole(Block& b);
    void takeOut(std::size_t at);  // the entry at `at` goes into the hole
    void settle();   // a list of at most one tag back to its value's form
    void release();  // leaves the slot empty, of its type
    void retain() const;

    alignas(8) unsigned char m_bytes[8]{};
};

static_assert(sizeof(Slot) == 8, "a slot is one word");
static_assert(std::variant_size_v<Value> <= 8, "the index fits in three bits");
static_assert(offsetof(date_s, second) == 6, "a date's fields fill seven bytes");

// How many leading and trailing tags two lists share (the tail counted in
// what the head leaves), compared a block at a time: long lists that differ
// by an entry or two are compared at memory speed.
struct SharedEnds {
    std::size_t head = 0, tail = 0;
};
SharedEnds sharedEnds(std::span<const tag_t> a, std::span<const tag_t> b);

template <class T>
Slot Slot::one(std::type_identity_t<T> x) {
    static_assert(kValueIndex<T> != 0 && !std::is_same_v<T, std::string>, "strings are made by text");
    Slot s;
    s.holdOne<T>(x);
    return s;
}

template <class T>
const T* Slot::first() const {
    if (index() != kValueIndex<T>) return nullptr;
    switch (form()) {
    case Shared:
        if (block()->holeAt) closeHole(*block());
        return &std::get<std::vector<T>>(block()->value)[block()->skip];
    case Viewed:
        if constexpr (std::is_same_v<T, tag_t>) return viewed().data();
        return nullptr;
    case Boxed:
        if constexpr (std::is_same_v<T, double>) return &wide()->value;
        return nullptr;
    case Inline:
        if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, double>) {
            return nullptr;
        } else {
            // The copy into m_bytes made a T there (raw bytes provide storage).
            return std::launder(reinterpret_cast<const T*>(m_bytes));
        }
    default:
        return nullptr;
    }
}

}  // namespace vl::platform::store
