#pragma once
#include "foundation/date.hxx"

#include <string>

namespace Velmora::Soa::Server {

class Property {
public:
    // "YYYY-MM-DDTHH:MM:SS" or "YYYY-MM-DD"; the empty text is the null date.
    // Anything else throws IFail with the bad-value code, stored with the text.
    static Date parseDate(const std::string& text);
};

}  // namespace Velmora::Soa::Server
