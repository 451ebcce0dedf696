#include "pom/slot.hxx"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace vl::platform::store {

void Slot::destroy(void* block, Form form) {
    if (form == Single) ::operator delete(block);
    if (form == Shared) delete static_cast<Block*>(block);
    if (form == Boxed) delete static_cast<Wide*>(block);
    if (form == Viewed) {
        View* v = static_cast<View*>(block);
        Block* base = v->base;
        if (--base->views == 0) base->pinned = 0;
        if (--base->refs == 0) delete base;
        delete v;
    }
}

void Slot::hold(void* block, Form form) {
    const std::uintptr_t w = reinterpret_cast<std::uintptr_t>(block);
    // Every allocator of the platforms we build for hands out such
    // addresses; one that did not could not be held.
    if ((w >> 56) != 0 || (w & 3) != 0) {
        destroy(block, form);
        throw std::bad_alloc();
    }
    const std::uintptr_t tagged = w | static_cast<unsigned>(form - Single);
    std::memcpy(m_bytes, &tagged, sizeof tagged);
}

std::uint32_t& Slot::refs(Form form) const {
    if (form == Single) return text()->refs;
    if (form == Shared) return block()->refs;
    if (form == Viewed) return view()->refs;
    return wide()->refs;
}

Slot::Slot(Value v) {
    const std::size_t index = v.index();
    std::visit(
        [&](auto& vec) {
            using V = std::decay_t<decltype(vec)>;
            if constexpr (!std::is_same_v<V, std::monostate>) {
                using T = typename V::value_type;
                if (vec.empty())
                    mark(0, index);
                else if (vec.size() > 1)
                    hold(new Block{1, 0, std::move(v)}, Shared);
                else if constexpr (std::is_same_v<T, std::string>)
                    holdText(vec[0]);
                else
                    holdOne<T>(vec[0]);
            }
        },
        v);
}

Slot Slot::null(std::size_t index) {
    Slot s;
    if (index) s.mark(0, index);
    return s;
}

Slot Slot::text(std::string_view s) {
    Slot slot;
    slot.holdText(s);
    return slot;
}

void Slot::holdText(std::string_view s) {
    if (s.size() <= kSmallString) {
        if (!s.empty()) std::memcpy(m_bytes, s.data(), s.size());
        mark(static_cast<unsigned>(8 + s.size()), kValueIndex<std::string>);
        return;
    }
    Text* t = static_cast<Text*>(::operator new(offsetof(Text, data) + s.size() + 1));
    t->refs = 1;
    t->size = static_cast<std::uint32_t>(s.size());
    std::memcpy(t->data, s.data(), s.size());
    t->data[s.size()] = '\0';
    hold(t, Single);
}

std::size_t Slot::count() const {
    switch (form()) {
    case Empty:
        return 0;
    case Viewed:
        return view()->count;
    case Shared:
        return std::visit(
                   [](const auto& vec) -> std::size_t {
                       if constexpr (std::is_same_v<std::decay_t<decltype(vec)>, std::monostate>)
                           return 0;
                       else
                           return vec.size();
                   },
                   block()->value) -
               block()->skip;
    default:
        return 1;
    }
}

std::size_t Slot::index() const {
    if (meta() & kMarked) return meta() & 7;
    switch (form()) {
    case Single:
        return kValueIndex<std::string>;
    case Shared:
        return block()->value.index();
    case Boxed:
        return kValueIndex<double>;
    case Viewed:
        return kValueIndex<tag_t>;
    default:
        return 0;
    }
}

void Slot::closeHole(Block& b) {
    if (!b.holeAt) return;
    auto& v = std::get<std::vector<tag_t>>(b.value);
    const auto head = v.begin(), hole = head + b.holeAt, after = hole + b.skip;
    if (b.holeAt < static_cast<std::size_t>(v.end() - after)) {
        std::move_backward(head, hole, after);
    } else {
        v.erase(hole, after);
        b.skip = 0;
    }
    b.holeAt = 0;
}

void Slot::dropSkipped(Block& b) {
    closeHole(b);
    if (!b.skip) return;
    auto& v = std::get<std::vector<tag_t>>(b.value);
    v.erase(v.begin(), v.begin() + b.skip);
    b.skip = 0;
}

void Slot::retain() const {
    const Form f = form();
    if (f < Single) return;
    // A shared block holds its value whole, unless views read its dead head.
    if (f == Shared && !block()->views) dropSkipped(*block());
    ++refs(f);
}

void Slot::release() {
    const Form f = form();
    if (f < Single) return;
    const std::size_t i = index();
    if (--refs(f) == 0) destroy(pointer<void>(), f);
    std::memset(m_bytes, 0, sizeof m_bytes);
    if (i) mark(0, i);
}

Slot::Slot(const Slot& other) {
    std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
    retain();
}

Slot::Slot(Slot&& other) noexcept {
    std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
    // The source keeps its type, empty.
    const std::size_t i = index();
    std::memset(other.m_bytes, 0, sizeof other.m_bytes);
    if (i) other.mark(0, i);
}

Slot& Slot::operator=(const Slot& other) {
    if (this != &other) {
        other.retain();
        release();
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
    }
    return *this;
}

Slot& Slot::operator=(Slot&& other) noexcept {
    if (this != &other) {
        release();
        std::memcpy(m_bytes, other.m_bytes, sizeof m_bytes);
        const std::size_t i = index();
        std::memset(other.m_bytes, 0, sizeof other.m_bytes);
        if (i) other.mark(0, i);
    }
    return *this;
}

Slot::~Slot() { release(); }

Value Slot::value() const {
    switch (form()) {
    case Shared:
        if (block()->skip) {
            const std::span<const tag_t> held = tags();
            return std::vector<tag_t>(held.begin(), held.end());
        }
        return block()->value;
    case Viewed: {
        const std::span<const tag_t> held = viewed();
        return std::vector<tag_t>(held.begin(), held.end());
    }
    case Small:
    case Single:
        return std::vector<std::string>{std::string(firstString())};
    case Boxed:
        return std::vector<double>{wide()->value};
    case Inline:
        switch (index()) {
        case kValueIndex<char>:
            return std::vector<char>{load<char>()};
        case kValueIndex<int>:
            return std::vector<int>{load<int>()};
        case kValueIndex<date_s>:
            return std::vector<date_s>{load<date_s>()};
        default:
            return std::vector<tag_t>{load<tag_t>()};
        }
    case Empty:
        break;
    }
    switch (index()) {
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
    if (v.index() != index()) return false;
    return std::visit(
        [&](const auto& vec) {
            using V = std::decay_t<decltype(vec)>;
            if constexpr (std::is_same_v<V, std::monostate>) {
                return true;
            } else {
                using T = typename V::value_type;
                switch (form()) {
                case Empty:
                    return vec.empty();
                case Shared:
                    if constexpr (std::is_same_v<T, tag_t>)
                        return std::ranges::equal(tags(), vec);
                    return std::get<V>(block()->value) == vec;
                case Viewed:
                    if constexpr (std::is_same_v<T, tag_t>) return std::ranges::equal(viewed(), vec);
                    return false;
                case Small:
                case Single:
                    if constexpr (std::is_same_v<T, std::string>)
                        return vec.size() == 1 && firstString() == vec[0];
                    return false;
                case Boxed:
                    if constexpr (std::is_same_v<T, double>) return vec.size() == 1 && wide()->value == vec[0];
                    return false;
                case Inline:
                    if constexpr (!std::is_same_v<T, std::string> && !std::is_same_v<T, double>)
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
    const Form f = form();
    // A view holds a list of tags as a block does.
    if ((f == Viewed || other.form() == Viewed) && index() == other.index())
        return (f == Viewed || f == Shared) && (other.form() == Viewed || other.form() == Shared) &&
               std::ranges::equal(tags(), other.tags());
    if (f != other.form() || index() != other.index()) return false;
    switch (f) {
    case Empty:
        return true;
    case Shared:
        if (block()->skip || other.block()->skip) return std::ranges::equal(tags(), other.tags());
        return block() == other.block() || block()->value == other.block()->value;
    case Small:
    case Single:
        return firstString() == other.firstString();
    case Boxed:
        return wide()->value == other.wide()->value;
    case Inline:
        return other == value();
    case Viewed:
        break;
    }
    return false;
}

std::string_view Slot::firstString() const {
    switch (form()) {
    case Small:
        return {reinterpret_cast<const char*>(m_bytes), smallSize()};
    case Single: {
        const Text* t = text();
        return {t->data, t->size};
    }
    case Shared:
        if (const auto* v = std::get_if<std::vector<std::string>>(&block()->value)) return (*v)[0];
        return {};
    default:
        return {};
    }
}

std::vector<tag_t>& Slot::ownTags() {
    if (form() != Shared) {
        // Empty or one entry: a block of its own to edit.
        Slot own;
        own.hold(new Block{1, 0, value()}, Shared);
        *this = std::move(own);
    } else if (Block* b = block(); b->refs > 1) {
        // Copied with room for one more: the edit that follows is most often
        // an insert, which would otherwise copy the whole list a second time.
        const std::span<const tag_t> shared = tags();
        std::vector<tag_t> copy;
        copy.reserve(shared.size() + 1);
        copy.assign(shared.begin(), shared.end());
        hold(new Block{1, 0, Value(std::move(copy))}, Shared);
        --b->refs;
    } else {
        dropSkipped(*b);
    }
    return std::get<std::vector<tag_t>>(block()->value);
}

void Slot::takeOut(std::size_t at) {
    Block& b = *block();
    auto& v = std::get<std::vector<tag_t>>(b.value);
    const std::size_t gap = b.skip;
    std::size_t hole = b.holeAt;
    if (gap) {
        // Moving the hole to `at` shifts what lies between; closing it first
        // (the entries after it down, or those before it up to leave a dead
        // head) may shift less.
        const std::size_t between = at < hole ? hole - at - 1 : at - hole;
        const std::size_t after = v.size() - hole - gap;
        if (between > after && after <= hole + at) {
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(hole), v.begin() + static_cast<std::ptrdiff_t>(hole + gap));
            b.skip = 0;
            b.holeAt = 0;
        } else if (between > hole + at) {
            closeHole(b);
        }
    }
    const auto base = v.begin();
    const auto to = [&](std::size_t k) { return base + static_cast<std::ptrdiff_t>(k); };
    hole = b.holeAt;
    if (b.skip) {
        if (at < hole)
            std::move_backward(to(at + 1), to(hole), to(hole + b.skip));
        else
            std::move(to(hole + b.skip), to(at + b.skip), to(hole));
    }
    ++b.skip;
    b.holeAt = static_cast<std::uint32_t>(at);
    if (at + b.skip == v.size()) {
        // The hole reached the end: the list is only shorter.
        v.resize(at);
        b.skip = 0;
        b.holeAt = 0;
    } else if (b.skip > v.size() - b.skip) {
        dropSkipped(b);
    }
}

std::size_t Slot::find(tag_t t, bool once) const {
    if (!once || form() != Shared || index() != kValueIndex<tag_t>) {
        const std::span<const tag_t> held = tags();
        const auto hit = std::find(held.begin(), held.end(), t);
        return hit == held.end() ? SIZE_MAX : static_cast<std::size_t>(hit - held.begin());
    }
    const Block& b = *block();
    const auto& v = std::get<std::vector<tag_t>>(b.value);
    // What follows the hole, then what precedes it, nearest first.
    const auto after = std::find(v.begin() + b.holeAt + b.skip, v.end(), t);
    if (after != v.end()) return static_cast<std::size_t>(after - v.begin()) - b.skip;
    const auto before = std::find(v.rbegin() + static_cast<std::ptrdiff_t>(v.size() - b.holeAt), v.rend(), t);
    if (before != v.rend()) return static_cast<std::size_t>(v.rend() - before) - 1;
    return SIZE_MAX;
}

std::size_t Slot::eraseTags(std::size_t at, tag_t t, bool once, std::vector<int>* positions) {
    if (once && form() == Shared && block()->refs == 1 && !block()->views) {
        if (positions) positions->push_back(static_cast<int>(at));
        takeOut(at);
        settle();
        return 1;
    }
    const std::span<const tag_t> held = tags();
    const auto from = held.begin() + static_cast<std::ptrdiff_t>(at);
    const std::size_t n = once ? 1 : static_cast<std::size_t>(std::count(from, held.end(), t));
    if (positions)
        for (std::size_t k = at, left = n; left > 0; ++k)
            if (held[k] == t) {
                positions->push_back(static_cast<int>(k));
                --left;
            }
    const bool headward = once && at < held.size() / 2;
    // The first vector entry the edit writes: none for the head itself.
    const std::size_t writes =
        form() != Shared ? 0 : headward ? (at ? block()->skip + 1 : SIZE_MAX) : block()->skip + at;
    if (editsInPlace(writes)) {
        Block& b = *block();
        auto& v = std::get<std::vector<tag_t>>(b.value);
        const auto head = v.begin() + b.skip;
        const auto start = head + static_cast<std::ptrdiff_t>(at);
        if (headward) {
            // Nearer the head: what is before it moves down one.
            std::move_backward(head, start, start + 1);
            ++b.skip;
            if (!b.views && b.skip > v.size() - b.skip) dropSkipped(b);
        } else if (once) {
            v.erase(start);
        } else {
            v.erase(std::remove(start, v.end(), t), v.end());
        }
    } else {
        std::vector<tag_t> kept;
        kept.reserve(held.size() - n);
        kept.insert(kept.end(), held.begin(), from);
        if (once)
            kept.insert(kept.end(), from + 1, held.end());
        else
            std::remove_copy(from, held.end(), std::back_inserter(kept), t);
        Slot own;
        own.hold(new Block{1, 0, Value(std::move(kept))}, Shared);
        *this = std::move(own);
    }
    settle();
    return n;
}

void Slot::settle() {
    if (form() != Shared) return;
    const Block& b = *block();
    if (const auto* v = std::get_if<std::vector<tag_t>>(&b.value); v && v->size() - b.skip > 1) return;
    const std::span<const tag_t> held = tags();
    *this = held.empty() ? null(kValueIndex<tag_t>) : one<tag_t>(held[0]);
}

void Slot::insertTag(std::size_t at, tag_t t) {
    if (form() == Shared && block()->holeAt) {
        // The list is this slot's alone: the hole takes the entry or moves along.
        Block& b = *block();
        auto& v = std::get<std::vector<tag_t>>(b.value);
        if (at == b.holeAt) {
            v[at] = t;
            ++b.holeAt;
            if (--b.skip == 0) b.holeAt = 0;
        } else if (at < b.holeAt) {
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), t);
            ++b.holeAt;
        } else {
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(at + b.skip), t);
        }
        return;
    }
    if (editsInPlace(form() == Shared ? block()->skip + at : 0)) {
        Block& b = *block();
        auto& v = std::get<std::vector<tag_t>>(b.value);
        v.insert(v.begin() + static_cast<std::ptrdiff_t>(b.skip + at), t);
        return;
    }
    // Copied with room for the entry, so the list is copied once.
    const std::span<const tag_t> held = tags();
    std::vector<tag_t> copy;
    copy.reserve(held.size() + 1);
    copy.insert(copy.end(), held.begin(), held.begin() + static_cast<std::ptrdiff_t>(at));
    copy.push_back(t);
    copy.insert(copy.end(), held.begin() + static_cast<std::ptrdiff_t>(at), held.end());
    Slot own;
    own.hold(new Block{1, 0, Value(std::move(copy))}, Shared);
    *this = std::move(own);
    settle();
}

Slot Slot::keep() const {
    if (form() != Shared || index() != kValueIndex<tag_t>) return *this;
    Block* b = block();
    closeHole(*b);
    const std::size_t end = std::get<std::vector<tag_t>>(b->value).size();
    ++b->refs;  // first: a view the slot cannot hold gives them back
    ++b->views;
    b->pinned = std::max(b->pinned, static_cast<std::uint32_t>(end));
    Slot kept;
    kept.hold(new View{1, b->skip, static_cast<std::uint32_t>(end - b->skip), b}, Viewed);
    return kept;
}

std::size_t Slot::blockBytes() const {
    switch (form()) {
    case Single:
        return offsetof(Text, data) + text()->size + 1;
    case Boxed:
        return sizeof(Wide);
    case Viewed:
        return sizeof(View);
    case Shared:
        break;
    default:
        return 0;
    }
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
    // One list shared by both (a saved value just kept): no need to look.
    // Lists read from one block: from one start, the shorter is the
    // other's head; to one end, what the head leaves is their tail.
    if (a.data() == b.data()) {
        e.head = n;
        return e;
    }
    while (e.head + kBlock <= n && std::memcmp(&a[e.head], &b[e.head], kBlock * sizeof(tag_t)) == 0) e.head += kBlock;
    while (e.head < n && a[e.head] == b[e.head]) ++e.head;
    const std::size_t rest = n - e.head;
    const tag_t* ae = a.data() + a.size();
    const tag_t* be = b.data() + b.size();
    if (ae == be) {
        e.tail = rest;
        return e;
    }
    while (e.tail + kBlock <= rest &&
           std::memcmp(ae - e.tail - kBlock, be - e.tail - kBlock, kBlock * sizeof(tag_t)) == 0)
        e.tail += kBlock;
    while (e.tail < rest && ae[-1 - static_cast<std::ptrdiff_t>(e.tail)] == be[-1 - static_cast<std::ptrdiff_t>(e.tail)])
        ++e.tail;
    return e;
}

}  // namespace vl::platform::store
