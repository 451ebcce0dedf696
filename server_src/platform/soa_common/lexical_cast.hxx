#pragma once
// Text to value conversions for client-given texts. A text that does not
// convert throws IFail with the bad-value code, stored with the text.
#include <string>

namespace Velmora::Soa::Common::Xml {

template <class To, class From>
To lexical_cast(const From& text);

// "true"/"false", "1"/"0" (also "TRUE", "True" and the like).
template <>
bool lexical_cast<bool, std::string>(const std::string& text);

// A whole number within int's range.
template <>
int lexical_cast<int, std::string>(const std::string& text);

// A finite decimal.
template <>
double lexical_cast<double, std::string>(const std::string& text);

}  // namespace Velmora::Soa::Common::Xml
