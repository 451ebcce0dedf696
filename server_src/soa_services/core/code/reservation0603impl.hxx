#pragma once
// "Core-2006-03-Reservation" on the platform's reservation calls.
#include "soa_services/core/code/reservation0603.hxx"

namespace Velmora::Soa::Core::_2006_03 {

class ReservationImpl final : public Reservation {
public:
    ReservationImpl() = default;
    ReservationImpl(const ReservationImpl&) = default;
    ReservationImpl& operator=(const ReservationImpl&) { return *this; }
    ~ReservationImpl() = default;

    Velmora::Soa::Server::ServiceData checkout(const std::vector<Tag>& objects, const std::string& comment,
                                               const std::string& changeId) override;
    Velmora::Soa::Server::ServiceData checkin(const std::vector<Tag>& objects) override;
    Velmora::Soa::Server::ServiceData cancelCheckout(const std::vector<Tag>& objects) override;
    GetReservationHistoryResponse getReservationHistory(const std::vector<Tag>& objects) override;
};

}  // namespace Velmora::Soa::Core::_2006_03
