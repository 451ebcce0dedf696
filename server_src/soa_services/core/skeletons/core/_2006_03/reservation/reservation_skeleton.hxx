#pragma once
// Request-facing layer of Core-2006-03-Reservation: the operation table, one
// static function per operation, and the converters of the history (their
// field lists are in the source).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/reservation0603.hxx"
#include "soa_services/core/code/reservation0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/reservation/reservation_types.hxx"

#include <string>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_RES0603_CONVERTERS(X)                                                                                \
    X(Record, ReservationHistory) X(Record, ReservationHistoryEvent) X(Response, GetReservationHistoryResponse)

#define VL_RES0603_DECLARE(...) VL_SKELETON_DECLARE(Reservation, ReservationWire, __VA_ARGS__)

namespace Velmora::Services::Core::_2006_03 {

namespace ReservationWire = ::Velmora::Schemas::Core::_2006_03::Reservation;

class ReservationIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<ReservationIiopSkeleton, ::Velmora::Soa::Core::_2006_03::ReservationImpl> {
public:
    using Reservation = ::Velmora::Soa::Core::_2006_03::Reservation;

    ReservationIiopSkeleton();
    ReservationIiopSkeleton(const ReservationIiopSkeleton&) = default;
    ReservationIiopSkeleton& operator=(const ReservationIiopSkeleton&) = default;
    ~ReservationIiopSkeleton() = default;

    VL_RES0603_CONVERTERS(VL_RES0603_DECLARE)

private:
    static std::string checkout(const std::string& requestXml);
    static std::string getReservationHistory(const std::string& requestXml);
    static std::string checkin(const std::string& requestXml);
    static std::string cancelCheckout(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2006_03
