#include "soa_services/core/schemas/core/_2007_01/session/session_types.hxx"

namespace Velmora::Schemas::Core::_2007_01::Session {

#include "soa_services/core/schemas/core/_2007_01/session/session_fields.hxx"
VL_SESSION_0701_TYPES(VL_WIRE_DEFINE)
#include "soa_services/core/schemas/core/_2007_01/session/session_fields_end.hxx"

}  // namespace Velmora::Schemas::Core::_2007_01::Session
