#pragma once
// Request and reply documents of "Core-2007-01-Session".
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

namespace Velmora::Schemas::Core::_2007_01::Session {

namespace Base = Velmora::Schemas::Soa::_2006_03::Base;

#include "soa_services/core/schemas/core/_2007_01/session/session_fields.hxx"
VL_SESSION_0701_TYPES(VL_WIRE_DECLARE)
#include "soa_services/core/schemas/core/_2007_01/session/session_fields_end.hxx"

}  // namespace Velmora::Schemas::Core::_2007_01::Session
