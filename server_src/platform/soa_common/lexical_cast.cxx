#include "soa_common/lexical_cast.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

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

}  // namespace Velmora::Soa::Common::Xml
