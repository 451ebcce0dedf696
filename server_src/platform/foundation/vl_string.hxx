#pragma once
// Foundation string and tokenizer.
#include "sm/sm.hxx"

#include <string>
#include <vector>

class String {
public:
    String() = default;
    String(const char* text) : m_text(text ? text : "") {}
    String(std::string text) : m_text(std::move(text)) {}
    const char* c_str() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    operator const std::string&() const { return m_text; }
    bool empty() const { return m_text.empty(); }
    int length() const { return static_cast<int>(m_text.size()); }
    // A copy in platform memory that the reader frees with SM_free.
    char* smString() const { return SM_string_copy_persistent(m_text.c_str()); }
    friend bool operator==(const String& a, const String& b) { return a.m_text == b.m_text; }
    friend bool operator!=(const String& a, const String& b) { return a.m_text != b.m_text; }

private:
    std::string m_text;
};

// Splits a text at a separator (the whole separator text, e.g. "::").
// next() gives the tokens in order, then empty strings; two adjacent
// separators give an empty token, which ends the list for callers that stop
// at the first empty one.
class VelqStringTokenizer {
public:
    VelqStringTokenizer(const String& text, const String& separator)
        : m_text(text.str()), m_separator(separator.str()) {}
    String next() {
        if (m_pos > m_text.size() || m_done) return String();
        if (m_separator.empty()) {
            m_done = true;
            return String(m_text.substr(m_pos));
        }
        std::size_t at = m_text.find(m_separator, m_pos);
        std::string token;
        if (at == std::string::npos) {
            token = m_text.substr(m_pos);
            m_done = true;
        } else {
            token = m_text.substr(m_pos, at - m_pos);
            m_pos = at + m_separator.size();
        }
        return String(token);
    }
    bool hasMoreTokens() const { return !m_done && m_pos <= m_text.size(); }

private:
    std::string m_text;
    std::string m_separator;
    std::size_t m_pos = 0;
    bool m_done = false;
};

// The pieces of a text between commas, empty ones kept: "a,,b" gives three,
// and "" one empty piece.
inline std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(',', start);
        out.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return out;
        start = at + 1;
    }
}

// The text without its blanks (spaces and tabs).
inline std::string stripBlanks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t') out += c;
    return out;
}
// In place; returns the text.
inline char* stripBlanks(char* text) {
    if (!text) return text;
    char* w = text;
    for (const char* r = text; *r; ++r)
        if (*r != ' ' && *r != '\t') *w++ = *r;
    *w = '\0';
    return text;
}
