#pragma once
// Request and reply documents of "Internal-Core-2007-05-Session".
#include "soa_framework/wire/wire_type.hxx"

#define VL_WIRE_FIELDS_RefreshPOMCachePerRequestInput(F, O, A) F(bool, Refresh)
#define VL_WIRE_FIELDS_RefreshPOMCachePerRequestOutput(F, O, A) F(bool, Out)

namespace Velmora::Schemas::Internal::Core::_2007_05::Session {

VL_WIRE_DECLARE(RefreshPOMCachePerRequestInput)
VL_WIRE_DECLARE(RefreshPOMCachePerRequestOutput)

}  // namespace Velmora::Schemas::Internal::Core::_2007_05::Session
