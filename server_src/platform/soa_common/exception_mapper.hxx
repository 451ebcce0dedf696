#pragma once
#include "soa_framework/wire/exceptions.hxx"

#include <ostream>

namespace Velmora::Soa::Common::Exceptions {

// Writes an exception as the reply document:
//   <ServiceException xmlns="..." message="..."><errorValue message=".." code=".." level=".."/></ServiceException>
class ExceptionMapper {
public:
    static void writeSoaException(Velmora::Schemas::Soa::_2006_03::Exceptions::SoaException& e, std::ostream& out);
};

}  // namespace Velmora::Soa::Common::Exceptions
