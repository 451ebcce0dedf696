#pragma once
// Request-facing layer of Core-2006-03-Reservation: the operation table, one
// static function per operation, and the converters of the history.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/reservation0603.hxx"
#include "soa_services/core/code/reservation0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/reservation/reservation_types.hxx"

#include <string>

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

    static ReservationWire::GetReservationHistoryResponse toWire(Reservation::GetReservationHistoryResponse local);
    // An object that cannot be made a wire reference is written as the null
    // object, its events still in order.
    static ReservationWire::ReservationHistory toWire(Reservation::ReservationHistory local);
    static ReservationWire::ReservationHistoryEvent toWire(Reservation::ReservationHistoryEvent local);
    static Reservation::ReservationHistory toLocal(ReservationWire::ReservationHistory wire);
    static Reservation::ReservationHistoryEvent toLocal(ReservationWire::ReservationHistoryEvent wire);

private:
    static std::string checkout(const std::string& requestXml);
    static std::string getReservationHistory(const std::string& requestXml);
    static std::string checkin(const std::string& requestXml);
    static std::string cancelCheckout(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2006_03
