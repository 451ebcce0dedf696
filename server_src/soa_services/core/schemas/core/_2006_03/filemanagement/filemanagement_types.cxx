#include "soa_services/core/schemas/core/_2006_03/filemanagement/filemanagement_types.hxx"

namespace Velmora::Schemas::Core::_2006_03::Filemanagement {

VL_FM0603_TYPES(VL_WIRE_DEFINE)

}  // namespace Velmora::Schemas::Core::_2006_03::Filemanagement
