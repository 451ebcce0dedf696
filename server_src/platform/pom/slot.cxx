#include "pom/slot.hxx"

#include <cstring>
#include <new>

namespace vl::platform::store {

Slot::Slot(Value v) : m_index(static_cast<std::uint8_t>(v.index())) {
    std::visit(
        [&](auto& vec) {
            using V = std::decay_t<decltype(vec)>;
            if constexpr (!std::is_same_v<V, std::monostate>) {
                using T = typename V::value_type;
                if (vec.empty()) return;
                if (vec.size() > 1) {
                    m_p.shared = new Block{1, std::move(v)};
                    m_form = Shared;
                } else if constexpr (std::is_same_v<T, std::string>) {
                    const std::string& s = vec[0];
                    void* raw = ::operator new(offsetof(Text, data) + s.size() + 1);
                    m_p.text = static_cast<Text*>(raw);
                    m_p.text->refs = 1;
                    m_p.text->size = static_cast<std::uint32_t>(s.size());
                    std::memcpy(m_p.text->data, s.data(), s.size() + 1);
                    m_form = Single;
                } else {
                    if constexpr (std::is_same_v<T, char>) m_p.c = vec[0];
                    if constexpr (std::is_same_v<T, int>) m_p.i = vec[0];
                    if constexpr (std::is_same_v<T, double>) m_p.d = vec[0];
                    if constexpr (std::is_same_v<T, date_s>) m_p.date = vec[0];
                    if constexpr (std::is_same_v<T, tag_t>) m_p.tag = vec[0];
                    m_form = Inline;
                }
            }
        },
        v);
}

void Slot::retain() const {
    if (m_form == Single) ++m_p.text->refs;
    if (m_form == Shared) ++m_p.shared->refs;
}

void Slot::release() {
    if (m_form == Single && --m_p.text->refs == 0) ::operator delete(m_p.text);
    if (m_form == Shared && --m_p.shared->refs == 0) delete m_p.shared;
    m_form = Empty;
}

Slot::Slot(const Slot& other) : m_p(other.m_p), m_index(other.m_index), m_form(other.m_form) { retain(); }

Slot::Slot(Slot&& other) noexcept : m_p(other.m_p), m_index(other.m_index), m_form(other.m_form) {
    other.m_form = Empty;
}

Slot& Slot::operator=(const Slot& other) {
    if (this != &other) {
        other.retain();
        release();
        m_p = other.m_p;
        m_index = other.m_index;
        m_form = other.m_form;
    }
    return *this;
}

Slot& Slot::operator=(Slot&& other) noexcept {
    if (this != &other) {
        release();
        m_p = other.m_p;
        m_index = other.m_index;
        m_form = other.m_form;
        other.m_form = Empty;
    }
    return *this;
}

Slot::~Slot() { release(); }

Value Slot::value() const {
    switch (m_form) {
    case Shared:
        return m_p.shared->value;
    case Single:
        return std::vector<std::string>{std::string(m_p.text->data, m_p.text->size)};
    case Inline:
        switch (m_index) {
        case kValueIndex<char>:
            return std::vector<char>{m_p.c};
        case kValueIndex<int>:
            return std::vector<int>{m_p.i};
        case kValueIndex<double>:
            return std::vector<double>{m_p.d};
        case kValueIndex<date_s>:
            return std::vector<date_s>{m_p.date};
        default:
            return std::vector<tag_t>{m_p.tag};
        }
    case Empty:
        break;
    }
    switch (m_index) {
    case kValueIndex<char>:
        return std::vector<char>{};
    case kValueIndex<int>:
        return std::vector<int>{};
    case kValueIndex<double>:
        return std::vector<double>{};
    case kValueIndex<std::string>:
        return std::vector<std::string>{};
    case kValueIndex<date_s>:
        return std::vector<date_s>{};
    case kValueIndex<tag_t>:
        return std::vector<tag_t>{};
    default:
        return std::monostate{};
    }
}

bool Slot::operator==(const Value& v) const {
    if (v.index() != m_index) return false;
    return std::visit(
        [&](const auto& vec) {
            using V = std::decay_t<decltype(vec)>;
            if constexpr (std::is_same_v<V, std::monostate>) {
                return true;
            } else {
                using T = typename V::value_type;
                switch (m_form) {
                case Empty:
                    return vec.empty();
                case Shared:
                    return std::get<V>(m_p.shared->value) == vec;
                case Single:
                    if constexpr (std::is_same_v<T, std::string>)
                        return vec.size() == 1 && firstString() == vec[0];
                    return false;
                case Inline:
                    if constexpr (!std::is_same_v<T, std::string>)
                        return vec.size() == 1 && *first<T>() == vec[0];
                    return false;
                }
                return false;
            }
        },
        v);
}

bool Slot::operator==(const Slot& other) const {
    if (m_index != other.m_index || m_form != other.m_form) return false;
    switch (m_form) {
    case Empty:
        return true;
    case Shared:
        return m_p.shared == other.m_p.shared || m_p.shared->value == other.m_p.shared->value;
    case Single:
        return firstString() == other.firstString();
    case Inline:
        return other == value();
    }
    return false;
}

std::string_view Slot::firstString() const {
    if (m_form == Single) return {m_p.text->data, m_p.text->size};
    if (m_form == Shared && m_index == kValueIndex<std::string>)
        return std::get<std::vector<std::string>>(m_p.shared->value)[0];
    return {};
}

std::vector<tag_t>& Slot::editTags() {
    if (m_form != Shared) {
        // Empty or one entry: a block of its own to edit.
        Block* own = new Block{1, value()};
        m_p.shared = own;
        m_form = Shared;
    } else if (m_p.shared->refs > 1) {
        Block* own = new Block{1, m_p.shared->value};
        --m_p.shared->refs;
        m_p.shared = own;
    }
    return std::get<std::vector<tag_t>>(m_p.shared->value);
}

std::size_t Slot::blockBytes() const {
    if (m_form == Single) return offsetof(Text, data) + m_p.text->size + 1;
    if (m_form != Shared) return 0;
    return sizeof(Block) + std::visit(
                               [](const auto& vec) -> std::size_t {
                                   using V = std::decay_t<decltype(vec)>;
                                   if constexpr (std::is_same_v<V, std::monostate>) {
                                       return 0;
                                   } else {
                                       std::size_t n = vec.capacity() * sizeof(typename V::value_type);
                                       if constexpr (std::is_same_v<V, std::vector<std::string>>)
                                           for (const auto& s : vec)
                                               if (s.capacity() > 15) n += s.capacity() + 1;
                                       return n;
                                   }
                               },
                               m_p.shared->value);
}

SharedEnds sharedEnds(std::span<const tag_t> a, std::span<const tag_t> b) {
    constexpr std::size_t kBlock = 64;
    const std::size_t n = std::min(a.size(), b.size());
    SharedEnds e;
    while (e.head + kBlock <= n && std::memcmp(&a[e.head], &b[e.head], kBlock * sizeof(tag_t)) == 0) e.head += kBlock;
    while (e.head < n && a[e.head] == b[e.head]) ++e.head;
    const std::size_t rest = n - e.head;
    const tag_t* ae = a.data() + a.size();
    const tag_t* be = b.data() + b.size();
    while (e.tail + kBlock <= rest &&
           std::memcmp(ae - e.tail - kBlock, be - e.tail - kBlock, kBlock * sizeof(tag_t)) == 0)
        e.tail += kBlock;
    while (e.tail < rest && ae[-1 - static_cast<std::ptrdiff_t>(e.tail)] == be[-1 - static_cast<std::ptrdiff_t>(e.tail)])
        ++e.tail;
    return e;
}

}  // namespace vl::platform::store
