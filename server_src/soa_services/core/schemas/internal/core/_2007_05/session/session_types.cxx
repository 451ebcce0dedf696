#include "soa_services/core/schemas/internal/core/_2007_05/session/session_types.hxx"

namespace Velmora::Schemas::Internal::Core::_2007_05::Session {

VL_WIRE_DEFINE(RefreshPOMCachePerRequestInput)
VL_WIRE_DEFINE(RefreshPOMCachePerRequestOutput)

}  // namespace Velmora::Schemas::Internal::Core::_2007_05::Session
