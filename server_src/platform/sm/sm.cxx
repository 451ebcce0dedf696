#include "sm/sm.hxx"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
long& outstanding() {
    static long n = 0;
    return n;
}
}  // namespace

void* SM_alloc_persistent(std::size_t bytes) {
    void* p = std::malloc(bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    ++outstanding();
    return p;
}

char* SM_string_copy_persistent(const char* text) {
    if (!text) text = "";
    std::size_t n = std::strlen(text) + 1;
    char* p = static_cast<char*>(SM_alloc_persistent(n));
    std::memcpy(p, text, n);
    return p;
}

void SM_free(void* block) {
    if (!block) return;
    --outstanding();
    std::free(block);
}

void MEM_free(void* block) { SM_free(block); }

namespace vl::platform {

long SM_outstanding_blocks() { return outstanding(); }

char** SM_pack_strings(const char* const* texts, int count) {
    if (count < 0) count = 0;
    std::size_t bytes = sizeof(char*) * static_cast<std::size_t>(count);
    for (int i = 0; i < count; ++i) bytes += std::strlen(texts[i] ? texts[i] : "") + 1;
    char** block = static_cast<char**>(SM_alloc_persistent(bytes));
    char* cursor = reinterpret_cast<char*>(block + count);
    for (int i = 0; i < count; ++i) {
        const char* t = texts[i] ? texts[i] : "";
        std::size_t n = std::strlen(t) + 1;
        std::memcpy(cursor, t, n);
        block[i] = cursor;
        cursor += n;
    }
    return block;
}

}  // namespace vl::platform
