#include "soa_services/core/schemas/core/_2007_06/datamanagement/datamanagement_types.hxx"

namespace Velmora::Schemas::Core::_2007_06::Datamanagement {

VL_DM0706_WIRE_TYPES(VL_WIRE_DEFINE)

}  // namespace Velmora::Schemas::Core::_2007_06::Datamanagement
