#include "soa_services/core/skeletons/core/_2006_03/reservation/reservation_skeleton.hxx"

#include <utility>
#include <vector>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = ReservationWire;
using Skeleton = ReservationIiopSkeleton;
using Local = Skeleton::Reservation;
using vl::skeleton::Handlers;

Local& service() { return *Skeleton::_service; }

template <class Request>
std::vector<Tag> objectsOf(const Request& in) {
    return vl::skeleton::toLocalRefs(in.getObjectArray());
}

// Check-in and cancel: the objects in, a bare service data out.
template <class Request, class Call>
std::string objectsOperation(const vl::skeleton::Spans& spans, const std::string& requestXml, Call&& call) {
    return vl::skeleton::run<Handlers::None, Request>(spans, "ServiceData", requestXml, &objectsOf<Request>,
                                                      std::forward<Call>(call), &vl::skeleton::toStreamedServiceData);
}

}  // namespace

ReservationIiopSkeleton::ReservationIiopSkeleton() : ServiceSkeleton("Reservation") {
    bind("checkout", &checkout);
    bind("getReservationHistory", &getReservationHistory);
    bind("checkin", &checkin);
    bind("cancelCheckout", &cancelCheckout);
}

// --- converters: one field list per struct, in the local declaration order
// (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_GetReservationHistoryResponse(X) \
    X(Records, histories, Historie) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ReservationHistory(X) X(Ref, object, Object) X(Records, events, Event)
#define VL_FIELDS_ReservationHistoryEvent(X)                                                    \
    X(Value, dateTime, DateTime) X(Value, user, User) X(Value, activity, Activity)             \
    X(Value, changeId, ChangeId) X(Value, comment, Comment)

VL_RES0603_CONVERTERS(VL_SKELETON_DEFINE)

// --- operations ---

std::string ReservationIiopSkeleton::checkout(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Reservation", "checkout");
    struct Arguments {
        std::vector<Tag> objects;
        std::string comment, changeId;
    };
    return vl::skeleton::run<Handlers::None, Wire::CheckoutInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::CheckoutInput& in) { return Arguments{objectsOf(in), in.getComment(), in.getChangeId()}; },
        [](Arguments& a) { return service().checkout(a.objects, a.comment, a.changeId); },
        &vl::skeleton::toStreamedServiceData);
}

std::string ReservationIiopSkeleton::getReservationHistory(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Reservation", "getReservationHistory");
    return vl::skeleton::run<Handlers::None, Wire::GetReservationHistoryInput>(
        spans, "GetReservationHistoryResponse", requestXml, &objectsOf<Wire::GetReservationHistoryInput>,
        [](std::vector<Tag>& objects) { return service().getReservationHistory(objects); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetReservationHistoryResponse>);
}

std::string ReservationIiopSkeleton::checkin(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Reservation", "checkin");
    return objectsOperation<Wire::CheckinInput>(spans, requestXml,
                                                [](std::vector<Tag>& objects) { return service().checkin(objects); });
}

std::string ReservationIiopSkeleton::cancelCheckout(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Reservation", "cancelCheckout");
    return objectsOperation<Wire::CancelCheckoutInput>(
        spans, requestXml, [](std::vector<Tag>& objects) { return service().cancelCheckout(objects); });
}

}  // namespace Velmora::Services::Core::_2006_03
