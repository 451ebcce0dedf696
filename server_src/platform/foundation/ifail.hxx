#pragma once
#include <string>

// Platform failure as an exception. Constructing one from the library's own
// check stores its error; one raised from a platform result code does not
// (the failing call stored it already).
class IFail {
public:
    IFail();
    explicit IFail(int code, const char* t1 = nullptr, const char* t2 = nullptr, const char* t3 = nullptr,
                   const char* t4 = nullptr, const char* t5 = nullptr, const char* t6 = nullptr,
                   const char* t7 = nullptr);
    virtual ~IFail() = default;

    struct AlreadyStored {};
    IFail(int code, AlreadyStored) : m_code(code) {}

    int ifail() const { return m_code; }
    int getCode() const { return m_code; }

private:
    int m_code = 0;
};

class status_t {
public:
    static const status_t OK;
    constexpr status_t() = default;
    constexpr explicit status_t(int code) : m_code(code) {}
    constexpr int code() const { return m_code; }
    friend constexpr bool operator==(status_t a, status_t b) { return a.m_code == b.m_code; }
    friend constexpr bool operator!=(status_t a, status_t b) { return a.m_code != b.m_code; }

private:
    int m_code = 0;
};
inline constexpr status_t status_t::OK{};

// Assigning a non-zero code throws IFail carrying it; zero does nothing.
class ResultStatus {
public:
    ResultStatus() = default;
    ResultStatus(int code) { *this = code; }
    virtual ~ResultStatus() = default;
    ResultStatus& operator=(int code) {
        m_code = code;
        if (code != 0) throw IFail(code, IFail::AlreadyStored{});
        return *this;
    }
    ResultStatus& operator=(status_t s) { return *this = s.code(); }
    int code() const { return m_code; }

private:
    int m_code = 0;
};

class PomResultStatus : public ResultStatus {
public:
    using ResultStatus::ResultStatus;
    using ResultStatus::operator=;
};
