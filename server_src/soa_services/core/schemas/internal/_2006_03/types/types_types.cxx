#include "soa_services/core/schemas/internal/_2006_03/types/types_types.hxx"

namespace Velmora::Schemas::Internal::Core::_2006_03::Types {

VL_WIRE_DEFINE(InitTypeByUidsInput)
VL_WIRE_DEFINE(InitTypeByNamesInput)

}  // namespace Velmora::Schemas::Internal::Core::_2006_03::Types
