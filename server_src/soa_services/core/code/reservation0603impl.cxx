#include "soa_services/core/code/reservation0603impl.hxx"

#include "foundation/ifail.hxx"
#include "reservation/reservation.hxx"
#include "sm/scoped_smptr.hxx"

namespace Velmora::Soa::Core::_2006_03 {

namespace {

using Velmora::Soa::Server::ServiceData;

// Check-out, check-in and cancel share one shape: one reservation call per
// object, in order; updated on success, a partial error keyed by the object
// otherwise.
template <class Call>
ServiceData eachObject(const std::vector<Tag>& objects, Call&& call) {
    ServiceData serviceData;
    for (const Tag& object : objects) {
        try {
            ResultStatus status = call(object.value());
            serviceData.addUpdatedObject(object);
        } catch (const IFail&) {
            serviceData.addErrorStack(object);
        }
    }
    return serviceData;
}

}  // namespace

ServiceData ReservationImpl::checkout(const std::vector<Tag>& objects, const std::string& comment,
                                      const std::string& changeId) {
    return eachObject(objects, [&](tag_t object) { return RES_checkout(object, comment.c_str(), changeId.c_str(), "", 2); });
}

ServiceData ReservationImpl::checkin(const std::vector<Tag>& objects) {
    return eachObject(objects, [](tag_t object) { return RES_checkin(object); });
}

ServiceData ReservationImpl::cancelCheckout(const std::vector<Tag>& objects) {
    return eachObject(objects, [](tag_t object) { return RES_cancel_checkout(object, false); });
}

Reservation::GetReservationHistoryResponse ReservationImpl::getReservationHistory(const std::vector<Tag>& objects) {
    std::vector<ReservationHistory> histories;
    ServiceData serviceData;
    for (const Tag& object : objects) {
        try {
            int count = 0;
            char** dateTimes = nullptr;
            char** users = nullptr;
            char** activities = nullptr;
            char** changeIds = nullptr;
            char** comments = nullptr;
            const int rc =
                RES_ask_audit_history(object.value(), &count, &dateTimes, &users, &activities, &changeIds, &comments);
            // Owned before the code is looked at: a failing call that filled
            // some of the arrays leaks none of them.
            scoped_smptr<char*> ownDateTimes(dateTimes), ownUsers(users), ownActivities(activities),
                ownChangeIds(changeIds), ownComments(comments);
            ResultStatus status = rc;

            ReservationHistory history;
            history.object = object;
            history.events.reserve(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                history.events.push_back({dateTimes[i], users[i], activities[i], changeIds[i], comments[i]});
            histories.push_back(std::move(history));
            serviceData.addPlainObject(object);
        } catch (const IFail&) {
            serviceData.addErrorStack(object);
        }
    }
    return GetReservationHistoryResponse{std::move(histories), serviceData};
}

}  // namespace Velmora::Soa::Core::_2006_03
