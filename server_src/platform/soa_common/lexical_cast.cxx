#include "soa_common/lexical_cast.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "foundation/number_text.hxx"

#include <algorithm>
#include <cctype>

namespace Velmora::Soa::Common::Xml {

template <>
bool lexical_cast<bool, std::string>(const std::string& text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "true" || lower == "1") return true;
    if (lower == "false" || lower == "0") return false;
    std::string message = "\"" + text + "\" is not a logical value (true or false)";
    throw IFail(vl::platform::ERR_BAD_VALUE, message.c_str());
}

namespace {

template <class T>
T number(const std::string& text, bool (*parse)(const std::string&, T*), const char* what) {
    T value{};
    if (parse(text, &value)) return value;
    std::string message = "\"" + text + "\" is not " + what;
    throw IFail(vl::platform::ERR_BAD_VALUE, message.c_str());
}

}  // namespace

template <>
int lexical_cast<int, std::string>(const std::string& text) {
    return number<int>(text, vl::platform::parseWholeNumber, "a whole number in range");
}

template <>
double lexical_cast<double, std::string>(const std::string& text) {
    return number<double>(text, vl::platform::parseFiniteDecimal, "a finite decimal number");
}

}  // namespace Velmora::Soa::Common::Xml
