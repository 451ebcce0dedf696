#include "soa_framework/wire/handle.hxx"

#include <new>

namespace Velmora::Soa::Common::Xml {

namespace {

// Under AddressSanitizer every body stays a block of its own, so that a use
// after the drop is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kKeepBlocks = false;
#else
constexpr bool kKeepBlocks = true;
#endif
#else
constexpr bool kKeepBlocks = true;
#endif

// Blocks of dropped bodies in 16-byte size classes, each class a list
// threaded through the blocks, at most kKeep long (a reply of a few thousand
// objects' worth). Plain thread-local data, so a body dropped after the
// thread's own destructors ran (a static one, at exit) still finds it
// usable; it is then freed outright.
constexpr std::size_t kStep = 16, kClasses = 32, kKeep = 8192;

struct FreeBlock {
    FreeBlock* next;
};
struct Spare {
    FreeBlock* head[kClasses];
    unsigned count[kClasses];
    bool armed, closed;  // the keeper's destructor registered, and run
};
// Reached on every body made and dropped: addressed directly, not through a
// call per access (the library is loaded with the program, never opened later).
[[gnu::tls_model("initial-exec")]] thread_local Spare t_spare{};

struct SpareKeeper {
    ~SpareKeeper() {
        for (FreeBlock*& head : t_spare.head)
            while (FreeBlock* b = head) {
                head = b->next;
                ::operator delete(b);
            }
        t_spare.closed = true;
    }
};
thread_local SpareKeeper t_keeper;

}  // namespace

void* BaseObject::operator new(std::size_t size) {
    const std::size_t c = (size + kStep - 1) / kStep;
    if (!kKeepBlocks || c >= kClasses) return ::operator new(size);
    Spare& s = t_spare;
    if (FreeBlock* b = s.head[c]) {
        s.head[c] = b->next;
        --s.count[c];
        return b;
    }
    return ::operator new(c * kStep);  // any body of the class fits it later
}

void BaseObject::operator delete(void* body, std::size_t size) noexcept {
    const std::size_t c = (size + kStep - 1) / kStep;
    Spare& s = t_spare;
    if (!kKeepBlocks || c >= kClasses || s.closed || s.count[c] >= kKeep) {
        ::operator delete(body);
        return;
    }
    if (!s.armed) {
        (void)&t_keeper;  // registers the keeper's destructor for this thread
        s.armed = true;
    }
    auto* b = static_cast<FreeBlock*>(body);
    b->next = s.head[c];
    s.head[c] = b;
    ++s.count[c];
}

}  // namespace Velmora::Soa::Common::Xml
