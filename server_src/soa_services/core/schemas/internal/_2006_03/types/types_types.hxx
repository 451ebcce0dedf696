#pragma once
// Request documents of "Internal-Core-2006-03-Types"; both operations answer
// with the shared ModelSchema.
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

namespace Velmora::Schemas::Internal::Core::_2006_03::Types {

#define VL_WIRE_FIELDS_InitTypeByUidsInput(F, O, A) A(std::string, Uid)
#define VL_WIRE_FIELDS_InitTypeByNamesInput(F, O, A) A(std::string, TypeName)

VL_WIRE_DECLARE(InitTypeByUidsInput)
VL_WIRE_DECLARE(InitTypeByNamesInput)

}  // namespace Velmora::Schemas::Internal::Core::_2006_03::Types
