#include "soa_framework/wire/exceptions.hxx"

namespace Velmora::Schemas::Soa::_2006_03::Exceptions {

std::string SoaException::getNamespace() const { return "urn:velmora:soa:2006-03:exceptions"; }

}  // namespace Velmora::Schemas::Soa::_2006_03::Exceptions
