#pragma once
#include <tuple>

namespace Velmora::Soa::Common {

// A date and time, compared field by field from the year down.
class DateTime {
public:
    DateTime() = default;
    DateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
        : m_year(year), m_month(month), m_day(day), m_hour(hour), m_minute(minute), m_second(second) {}

    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }
    int hour() const { return m_hour; }
    int minute() const { return m_minute; }
    int second() const { return m_second; }

    bool operator==(const DateTime& o) const { return key() == o.key(); }
    bool operator<(const DateTime& o) const { return key() < o.key(); }
    bool operator>(const DateTime& o) const { return o < *this; }
    bool operator!=(const DateTime& o) const { return !(*this == o); }
    bool operator>=(const DateTime& o) const { return !(*this < o); }
    bool operator<=(const DateTime& o) const { return !(*this > o); }

private:
    std::tuple<int, int, int, int, int, int> key() const {
        return {m_year, m_month, m_day, m_hour, m_minute, m_second};
    }
    int m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0;
};

}  // namespace Velmora::Soa::Common
