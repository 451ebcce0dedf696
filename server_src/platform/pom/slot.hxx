#pragma once
// How the store holds one attribute value: in 16 bytes, with no allocation
// for a single char, number, date or reference, one block for a single
// string, and one block for an array. Blocks are shared between copies (the
// saved state of an object, the markpoint journal) and copied only when an
// array is edited in place while shared.
#include "pom/pom_types.hxx"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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
        if (m_index != kValueIndex<T> || m_form == Empty) return {};
        if (m_form == Shared) return std::get<std::vector<T>>(m_p.shared->value);
        return {first<T>(), 1};
    }
    template <class T>
    const T* first() const;
    // The whole array of type T, or null: a single value is no vector.
    template <class T>
    const std::vector<T>* array() const {
        return m_form == Shared ? std::get_if<std::vector<T>>(&m_p.shared->value) : nullptr;
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
    enum Form : std::uint8_t { Empty, Inline, Single, Shared };

    void release();
    void retain() const;

    union Payload {
        char c;
        int i;
        double d;
        date_s date;
        tag_t tag;
        Text* text;
        Block* shared;
    };
    Payload m_p{};
    std::uint8_t m_index = 0;
    Form m_form = Empty;
};

static_assert(sizeof(Slot) == 16, "a slot is two words");

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
    if (m_form == Shared) return &std::get<std::vector<T>>(m_p.shared->value)[0];
    if constexpr (std::is_same_v<T, char>) return &m_p.c;
    if constexpr (std::is_same_v<T, int>) return &m_p.i;
    if constexpr (std::is_same_v<T, double>) return &m_p.d;
    if constexpr (std::is_same_v<T, date_s>) return &m_p.date;
    if constexpr (std::is_same_v<T, tag_t>) return &m_p.tag;
    return nullptr;
}

}  // namespace vl::platform::store
