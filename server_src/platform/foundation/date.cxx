#include "foundation/date.hxx"

#include "pom/store.hxx"

bool Date::parse(const std::string& text, Date* out) {
    date_s d;
    std::string t = text;
    // A zone suffix is accepted and ignored: the store keeps no zones.
    if (t.size() > 19 && (t[19] == 'Z' || t[19] == '+' || t[19] == '-' || t[19] == '.')) t = t.substr(0, 19);
    if (!vl::platform::store::parseDate(t, &d)) return false;
    if (out) *out = Date(d);
    return true;
}

std::string Date::toString() const { return vl::platform::store::formatDate(m_date); }
