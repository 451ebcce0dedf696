#include "foundation/error_store.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

#include <deque>
#include <string>
#include <vector>

namespace {

struct Store {
    std::deque<std::string> messages;  // deque: stable addresses for c_str()
    std::vector<int> severities;
    std::vector<int> codes;
    std::vector<const char*> texts;
};

Store& store() {
    static Store s;
    return s;
}

int put(int severity, int code, const char* const* texts) {
    Store& s = store();
    std::string message;
    for (int i = 0; i < VL_ERROR_TEXTS; ++i)
        if (texts[i]) {
            message = texts[i];
            break;
        }
    if (message.empty()) message = ERROR_code_text(code);
    s.messages.push_back(std::move(message));
    s.severities.push_back(severity);
    s.codes.push_back(code);
    s.texts.clear();
    for (auto& m : s.messages) s.texts.push_back(m.c_str());
    return code;
}

}  // namespace

int ERROR_store(int severity, int code, const char* t1, const char* t2, const char* t3, const char* t4,
                const char* t5, const char* t6, const char* t7) {
    const char* texts[VL_ERROR_TEXTS] = {t1, t2, t3, t4, t5, t6, t7};
    return put(severity, code, texts);
}

int ERROR_store_initial_error(int severity, int code, const char* t1, const char* t2, const char* t3,
                              const char* t4, const char* t5, const char* t6, const char* t7) {
    const char* texts[VL_ERROR_TEXTS] = {t1, t2, t3, t4, t5, t6, t7};
    return put(severity, code, texts);
}

void ERROR_store_clear() {
    Store& s = store();
    s.messages.clear();
    s.severities.clear();
    s.codes.clear();
    s.texts.clear();
}

void ERROR_store_forget_last_error(int code) {
    Store& s = store();
    if (s.codes.empty() || s.codes.back() != code) return;
    s.messages.pop_back();
    s.severities.pop_back();
    s.codes.pop_back();
    s.texts.pop_back();
}

int ERROR_store_ask(int* count, const int** severities, const int** codes, const char* const** texts) {
    static const int noInts[1] = {0};
    static const char* const noTexts[1] = {nullptr};
    Store& s = store();
    if (count) *count = static_cast<int>(s.codes.size());
    if (severities) *severities = s.severities.empty() ? noInts : s.severities.data();
    if (codes) *codes = s.codes.empty() ? noInts : s.codes.data();
    if (texts) *texts = s.texts.empty() ? noTexts : s.texts.data();
    return 0;
}

int ERROR_store_ask_last_ifail() {
    Store& s = store();
    return s.codes.empty() ? 0 : s.codes.back();
}

std::string ERROR_code_text(int code) {
    for (const auto& known : vl::platform::kErrorTexts)
        if (known.code == code) return known.text;
    return "Error " + std::to_string(code);
}

IFail::IFail() = default;

IFail::IFail(int code, const char* t1, const char* t2, const char* t3, const char* t4, const char* t5,
             const char* t6, const char* t7)
    : m_code(code) {
    ERROR_store(3, code, t1, t2, t3, t4, t5, t6, t7);
}
