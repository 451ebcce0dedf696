#include "soa_services/core/schemas/core/_2007_01/datamanagement/datamanagement_types.hxx"

namespace Velmora::Schemas::Core::_2007_01::Datamanagement {

VL_DM0701_WIRE_TYPES(VL_WIRE_DEFINE)

}  // namespace Velmora::Schemas::Core::_2007_01::Datamanagement
