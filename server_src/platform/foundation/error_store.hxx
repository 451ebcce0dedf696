#pragma once
// Process-wide error store: platform calls and the library's own checks put
// their errors here; the next partial error of a reply takes them out.

#define VL_ERROR_TEXTS 7

// Each stores one error (severity, code and a message built from the first
// non-null text, else the code's own text) and returns the code.
int ERROR_store(int severity, int code, const char* t1 = nullptr, const char* t2 = nullptr,
                const char* t3 = nullptr, const char* t4 = nullptr, const char* t5 = nullptr,
                const char* t6 = nullptr, const char* t7 = nullptr);
int ERROR_store_initial_error(int severity, int code, const char* t1 = nullptr,
                              const char* t2 = nullptr, const char* t3 = nullptr,
                              const char* t4 = nullptr, const char* t5 = nullptr,
                              const char* t6 = nullptr, const char* t7 = nullptr);
void ERROR_store_clear();
// Drops the most recent error when it carries `code` (a failure the caller
// handles itself); anything else stays.
void ERROR_store_forget_last_error(int code);

// Read-only views owned by the store, valid until it next changes. An empty
// store gives a count of 0 and valid (empty) arrays.
int ERROR_store_ask(int* count, const int** severities, const int** codes, const char* const** texts);
// Code of the most recently stored error, 0 when the store is empty.
int ERROR_store_ask_last_ifail();

#include <string>

// Text a code is known by ("Error <code>" for codes without one of their own).
std::string ERROR_code_text(int code);

namespace vl::platform {
struct StoredError {
    int severity;
    int code;
    const char* message;
};
}  // namespace vl::platform
