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
                    store(new Block{1, std::move(v)});
                    m_form = Shared;
                } else if constexpr (std::is_same_v<T, std::string>) {
                    const std::string& s = vec[0];
                    if (s.size() <= kPayload) {
                        std::memcpy(m_raw, s.data(), s.size());
                        m_small = static_cast<std::uint8_t>(s.size());
                        m_form = Small;
                        return;
                    }
                    Text* t = static_cast<Text*>(::operator new(offsetof(Text, data) + s.size() + 1));
                    t->refs = 1;
                    t->size = static_cast<std::uint32_t>(s.size());
                    std::memcpy(t->data, s.data(), s.size() + 1);
                    store(t);
                    m_form = Single;
                } else {
                    store(vec[0]);
                    m_form = Inline;
                }
            }
        },
        v);
}

void Slot::retain() const {
    if (m_form == Single) ++text()->refs;
    if (m_form == Shared) ++block()->refs;
}

void Slot::release() {
    if (m_form == Single) {
        Text* t = text();
        if (--t->refs == 0) ::operator delete(t);
    }
    if (m_form == Shared) {
        Block* b = block();
        if (--b->refs == 0) delete b;
    }
    m_form = Empty;
}

void Slot::copyFrom(const Slot& other) {
    std::memcpy(m_raw, other.m_raw, kPayload);
    m_index = other.m_index;
    m_small = other.m_small;
    m_form = other.m_form;
}

Slot::Slot(const Slot& other) {
    copyFrom(other);
    retain();
}

Slot::Slot(Slot&& other) noexcept {
    copyFrom(other);
    other.m_form = Empty;
}

Slot& Slot::operator=(const Slot& other) {
    if (this != &other) {
        other.retain();
        release();
        copyFrom(other);
    }
    return *this;
}

Slot& Slot::operator=(Slot&& other) noexcept {
    if (this != &other) {
        release();
        copyFrom(other);
        other.m_form = Empty;
    }
    return *this;
}

Slot::~Slot() { release(); }

Value Slot::value() const {
    switch (m_form) {
    case Shared:
        return block()->value;
    case Small:
    case Single:
        return std::vector<std::string>{std::string(firstString())};
    case Inline:
        switch (m_index) {
        case kValueIndex<char>:
            return std::vector<char>{load<char>()};
        case kValueIndex<int>:
            return std::vector<int>{load<int>()};
        case kValueIndex<double>:
            return std::vector<double>{load<double>()};
        case kValueIndex<date_s>:
            return std::vector<date_s>{load<date_s>()};
        default:
            return std::vector<tag_t>{load<tag_t>()};
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
                    return std::get<V>(block()->value) == vec;
                case Small:
                case Single:
                    if constexpr (std::is_same_v<T, std::string>)
                        return vec.size() == 1 && firstString() == vec[0];
                    return false;
                case Inline:
                    if constexpr (!std::is_same_v<T, std::string>)
                        return vec.size() == 1 && load<T>() == vec[0];
                    return false;
                }
                return false;
            }
        },
        v);
}

bool Slot::operator==(const Slot& other) const {
    // The form follows from the value (a string's from its length), so
    // slots of different forms hold different values.
    if (m_index != other.m_index || m_form != other.m_form) return false;
    switch (m_form) {
    case Empty:
        return true;
    case Shared:
        return block() == other.block() || block()->value == other.block()->value;
    case Small:
    case Single:
        return firstString() == other.firstString();
    case Inline:
        return other == value();
    }
    return false;
}

std::string_view Slot::firstString() const {
    if (m_form == Small) return {reinterpret_cast<const char*>(m_raw), m_small};
    if (m_form == Single) {
        const Text* t = text();
        return {t->data, t->size};
    }
    if (m_form == Shared && m_index == kValueIndex<std::string>)
        return std::get<std::vector<std::string>>(block()->value)[0];
    return {};
}

std::vector<tag_t>& Slot::editTags() {
    if (m_form != Shared) {
        // Empty or one entry: a block of its own to edit.
        store(new Block{1, value()});
        m_form = Shared;
    } else if (Block* b = block(); b->refs > 1) {
        Block* own = new Block{1, b->value};
        --b->refs;
        store(own);
    }
    return std::get<std::vector<tag_t>>(block()->value);
}

std::size_t Slot::blockBytes() const {
    if (m_form == Single) return offsetof(Text, data) + text()->size + 1;
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
                               block()->value);
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
