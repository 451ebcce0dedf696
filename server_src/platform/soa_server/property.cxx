#include "soa_server/property.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

namespace Velmora::Soa::Server {

Date Property::parseDate(const std::string& text) {
    if (text.empty()) return Date();
    Date date;
    if (!Date::parse(text, &date)) {
        std::string message = "\"" + text + "\" is not a date (YYYY-MM-DDTHH:MM:SS)";
        throw IFail(vl::platform::ERR_BAD_VALUE, message.c_str());
    }
    return date;
}

}  // namespace Velmora::Soa::Server
