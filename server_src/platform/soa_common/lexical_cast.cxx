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

template <>
int lexical_cast<int, std::string>(const std::string& text) {
    int value = 0;
    if (vl::platform::parseWholeNumber(text, &value)) return value;
    std::string message = "\"" + text + "\" is not a whole number in range";
    throw IFail(vl::platform::ERR_BAD_VALUE, message.c_str());
}

template <>
double lexical_cast<double, std::string>(const std::string& text) {
    double value = 0;
    if (vl::platform::parseFiniteDecimal(text, &value)) return value;
    std::string message = "\"" + text + "\" is not a finite decimal number";
    throw IFail(vl::platform::ERR_BAD_VALUE, message.c_str());
}

}  // namespace Velmora::Soa::Common::Xml
