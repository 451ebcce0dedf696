#pragma once
// Request and reply documents of "Core-2007-06-LOV".
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

namespace Velmora::Schemas::Core::_2007_06::Lov {

namespace Base = Velmora::Schemas::Soa::_2006_03::Base;

// Each type after the types it holds.
#define VL_WIRE_FIELDS_LOVInfo(F, O, A) F(std::string, TypeName) A(std::string, PropName)
#define VL_WIRE_FIELDS_GetAttachedLOVsInput(F, O, A) A(LOVInfo, Input)
#define VL_WIRE_FIELDS_LOVOutput(F, O, A) F(std::string, PropName) F(Base::ModelObject, Lov)
#define VL_WIRE_FIELDS_InputTypeNameToLOVOutputMap(F, O, A) F(std::string, Key) A(LOVOutput, Value)
#define VL_WIRE_FIELDS_AttachedLOVsResponse(F, O, A) \
    A(InputTypeNameToLOVOutputMap, InputTypeNameToLOVOutput) F(Base::ServiceData, ServiceData)

#define VL_LOV_0706_TYPES(M) \
    M(LOVInfo) M(GetAttachedLOVsInput) M(LOVOutput) M(InputTypeNameToLOVOutputMap) M(AttachedLOVsResponse)

VL_LOV_0706_TYPES(VL_WIRE_DECLARE)

}  // namespace Velmora::Schemas::Core::_2007_06::Lov
