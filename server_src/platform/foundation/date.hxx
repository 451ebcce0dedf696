#pragma once
// Foundation date: a calendar date and time, convertible to the platform's
// date record. A default date is the null date.
#include "pom/pom_types.hxx"

#include <string>

class Date {
public:
    Date() = default;
    Date(const date_s& d) : m_date(d) {}
    operator date_s() const { return m_date; }
    bool isNull() const { return m_date.year == 0; }
    // "YYYY-MM-DDTHH:MM:SS", "YYYY-MM-DD" (optionally with a zone suffix that is
    // ignored); false for anything else or an impossible date.
    static bool parse(const std::string& text, Date* out);
    std::string toString() const;  // "" for the null date

private:
    date_s m_date;
};
