#pragma once
// Request and result documents of Core-2006-03-Reservation, each declared
// once from its field list, in dependency order.
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

#include <string>

#define VL_RES0603_MODEL_OBJECT ::Velmora::Schemas::Soa::_2006_03::Base::ModelObject
#define VL_RES0603_SERVICE_DATA ::Velmora::Schemas::Soa::_2006_03::Base::ServiceData

// Applies M to every type, in declaration order.
#define VL_RES0603_TYPES(M)                                                                               \
    M(CheckoutInput) M(GetReservationHistoryInput) M(ReservationHistoryEvent) M(ReservationHistory)      \
    M(GetReservationHistoryResponse) M(CheckinInput) M(CancelCheckoutInput)

namespace Velmora::Schemas::Core::_2006_03::Reservation {

#define VL_WIRE_FIELDS_CheckoutInput(F, O, A) \
    F(std::string, ChangeId) F(std::string, Comment) A(VL_RES0603_MODEL_OBJECT, Object)
#define VL_WIRE_FIELDS_GetReservationHistoryInput(F, O, A) A(VL_RES0603_MODEL_OBJECT, Object)
#define VL_WIRE_FIELDS_ReservationHistoryEvent(F, O, A)                                                 \
    F(std::string, User) F(std::string, DateTime) F(std::string, Activity) F(std::string, Comment) \
    F(std::string, ChangeId)
#define VL_WIRE_FIELDS_ReservationHistory(F, O, A) \
    F(VL_RES0603_MODEL_OBJECT, Object) A(ReservationHistoryEvent, Event)
#define VL_WIRE_FIELDS_GetReservationHistoryResponse(F, O, A) \
    A(ReservationHistory, Historie) F(VL_RES0603_SERVICE_DATA, ServiceData)
#define VL_WIRE_FIELDS_CheckinInput(F, O, A) A(VL_RES0603_MODEL_OBJECT, Object)
#define VL_WIRE_FIELDS_CancelCheckoutInput(F, O, A) A(VL_RES0603_MODEL_OBJECT, Object)

VL_RES0603_TYPES(VL_WIRE_DECLARE)

}  // namespace Velmora::Schemas::Core::_2006_03::Reservation
