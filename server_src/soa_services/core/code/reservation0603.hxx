#pragma once
// Service interface of "Core-2006-03-Reservation": check-out, check-in,
// cancel check-out and the reservation history of objects.
#include "soa_server/service_data.hxx"
#include "tag/tag.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2006_03 {

class Reservation {
public:
    struct ReservationHistoryEvent {
        std::string dateTime;
        std::string user;
        std::string activity;
        std::string changeId;
        std::string comment;
    };

    struct ReservationHistory {
        Tag object;
        std::vector<ReservationHistoryEvent> events;
    };

    struct GetReservationHistoryResponse {
        std::vector<ReservationHistory> histories;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    Reservation() = default;
    Reservation(const Reservation&) = default;
    Reservation& operator=(const Reservation&) { return *this; }

    virtual Velmora::Soa::Server::ServiceData checkout(const std::vector<Tag>& objects, const std::string& comment,
                                                       const std::string& changeId) = 0;
    virtual Velmora::Soa::Server::ServiceData checkin(const std::vector<Tag>& objects) = 0;
    virtual Velmora::Soa::Server::ServiceData cancelCheckout(const std::vector<Tag>& objects) = 0;
    virtual GetReservationHistoryResponse getReservationHistory(const std::vector<Tag>& objects) = 0;

protected:
    // Never deleted through the interface.
    ~Reservation() = default;
};

}  // namespace Velmora::Soa::Core::_2006_03
