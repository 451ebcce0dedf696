#pragma once
#include <algorithm>
#include <cstddef>

// Platform memory: every array and string a platform call returns comes from
// here and is freed with SM_free (or MEM_free, the same allocator).
void* SM_alloc_persistent(std::size_t bytes);
char* SM_string_copy_persistent(const char* text);
void SM_free(void* block);  // null is allowed
void MEM_free(void* block);

namespace vl::platform {
// Blocks handed out and not yet freed: tests compare it with a baseline.
long SM_outstanding_blocks();

// One block holding `count` pointers followed by the strings they point to,
// so that a single SM_free releases the whole array.
char** SM_pack_strings(const char* const* texts, int count);
template <class Range>
char** SM_pack_string_range(const Range& strings);
}  // namespace vl::platform

#include <span>
#include <string>
#include <vector>
namespace vl::platform {
// One block holding a copy of `values`, for arrays a platform call returns.
template <class T>
T* SM_copy_array(std::span<const T> values) {
    auto* block = static_cast<T*>(SM_alloc_persistent(sizeof(T) * values.size()));
    std::copy(values.begin(), values.end(), block);
    return block;
}
template <class T>
T* SM_copy_array(const std::vector<T>& values) {
    return SM_copy_array(std::span<const T>(values));
}

template <class Range>
char** SM_pack_string_range(const Range& strings) {
    std::vector<const char*> texts;
    for (const auto& s : strings) texts.push_back(s.c_str());
    return SM_pack_strings(texts.data(), static_cast<int>(texts.size()));
}
}  // namespace vl::platform
