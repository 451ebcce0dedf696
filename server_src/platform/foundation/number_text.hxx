#pragma once
// Numbers given as text by clients: the whole text must be the number.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vl::platform {

// A whole number within int's range.
inline bool parseWholeNumber(const std::string& text, int* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno || *end || value < INT_MIN || value > INT_MAX) return false;
    *out = static_cast<int>(value);
    return true;
}

// A finite decimal.
inline bool parseFiniteDecimal(const std::string& text, double* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno || *end || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

}  // namespace vl::platform
