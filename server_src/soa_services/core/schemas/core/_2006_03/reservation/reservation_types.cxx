#include "soa_services/core/schemas/core/_2006_03/reservation/reservation_types.hxx"

namespace Velmora::Schemas::Core::_2006_03::Reservation {

VL_RES0603_TYPES(VL_WIRE_DEFINE)

}  // namespace Velmora::Schemas::Core::_2006_03::Reservation
