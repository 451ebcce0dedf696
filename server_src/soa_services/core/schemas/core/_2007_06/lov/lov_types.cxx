#include "soa_services/core/schemas/core/_2007_06/lov/lov_types.hxx"

namespace Velmora::Schemas::Core::_2007_06::Lov {

VL_LOV_0706_TYPES(VL_WIRE_DEFINE)

}  // namespace Velmora::Schemas::Core::_2007_06::Lov
