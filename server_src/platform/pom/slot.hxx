#pragma once
// How the store holds one attribute value: in 16 bytes, with no allocation
// for a single char, number, date, reference or string of up to 14 bytes
// (ids, revisions, short type names), one block for a longer single string,
// and one block for an array. Blocks are shared between copies (the saved
// state of an object, the markpoint journal) and copied only when an array
// is edited in place while shared.
#include "pom/pom_types.hxx"

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
    Slot() = default;
    explicit Slot(Value v);
    Slot(const Slot& other);
    Slot(Slot&& other) noexcept;
    Slot& operator=(const Slot& other);
    Slot& operator=(Slot&& other) noexcept;
    ~Slot();

    Value value() const;
    // The Value alternative it holds (0 for none).
    std::size_t index() const { return m_index; }
    bool empty() const { return m_form == Empty; }
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
        if (m_index != kValueIndex<T> || m_form == Empty) return {};
        if (m_form == Shared) return std::get<std::vector<T>>(block()->value);
        return {first<T>(), 1};
    }
    template <class T>
    const T* first() const;
    // The whole array of type T, or null: a single value is no vector.
    template <class T>
    const std::vector<T>* array() const {
        return m_form == Shared ? std::get_if<std::vector<T>>(&block()->value) : nullptr;
    }

    // The tags for an in-place edit (unshared first); the slot must hold tags.
    std::vector<tag_t>& editTags();
    // Bytes of the blocks it owns or shares (shared ones counted whole).
    std::size_t blockBytes() const;

private:
    struct Text {
        std::uint32_t refs;
        std::uint32_t size;
        char data[1];
    };
    struct Block {
        std::uint32_t refs;
        Value value;
    };
    // Small: a string of up to kPayload bytes in the payload itself.
    enum Form : std::uint8_t { Empty, Inline, Small, Single, Shared };
    static constexpr std::size_t kPayload = 14;

    void release();
    void retain() const;
    void copyFrom(const Slot& other);

    // The payload is raw bytes, read and written by copy: a small string
    // takes all 14 and the index and form still fit in the last two.
    template <class T>
    T load() const {
        static_assert(sizeof(T) <= kPayload && std::is_trivially_copyable_v<T>);
        T x;
        std::memcpy(&x, m_raw, sizeof x);
        return x;
    }
    template <class T>
    void store(const T& x) {
        static_assert(sizeof(T) <= kPayload && std::is_trivially_copyable_v<T>);
        std::memcpy(m_raw, &x, sizeof x);
    }
    Text* text() const { return load<Text*>(); }
    Block* block() const { return load<Block*>(); }

    alignas(8) unsigned char m_raw[kPayload]{};
    std::uint8_t m_index : 4 = 0;
    // A Small string's length is kept, not found: a string may hold a NUL.
    std::uint8_t m_small : 4 = 0;
    Form m_form = Empty;
};

static_assert(sizeof(Slot) == 16, "a slot is two words");
static_assert(std::variant_size_v<Value> <= 16, "the index fits in four bits");

// How many leading and trailing tags two lists share (the tail counted in
// what the head leaves), compared a block at a time: long lists that differ
// by an entry or two are compared at memory speed.
struct SharedEnds {
    std::size_t head = 0, tail = 0;
};
SharedEnds sharedEnds(std::span<const tag_t> a, std::span<const tag_t> b);

template <class T>
const T* Slot::first() const {
    if (m_index != kValueIndex<T> || m_form == Empty) return nullptr;
    if (m_form == Shared) return &std::get<std::vector<T>>(block()->value)[0];
    if constexpr (std::is_same_v<T, std::string>) {
        return nullptr;
    } else {
        // The copy into m_raw made a T there (raw bytes provide storage).
        return std::launder(reinterpret_cast<const T*>(m_raw));
    }
}

}  // namespace vl::platform::store
