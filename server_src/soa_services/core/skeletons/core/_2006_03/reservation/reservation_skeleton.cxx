#include "soa_services/core/skeletons/core/_2006_03/reservation/reservation_skeleton.hxx"

#include <utility>
#include <vector>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = ReservationWire;
using vl::skeleton::Handlers;
using Local = ReservationIiopSkeleton::Reservation;

Local& service() { return *ReservationIiopSkeleton::_service; }

// The fields a local and a wire event share, by name, in the local field
// order: one list for both directions.
#define VL_RES0603_EVENT_FIELDS(X) \
    X(dateTime, DateTime) X(user, User) X(activity, Activity) X(changeId, ChangeId) X(comment, Comment)

template <class Request>
std::vector<Tag> objectsOf(const Request& in) {
    std::vector<Tag> objects;
    objects.reserve(in.getObjectArray().size());
    for (const auto& object : in.getObjectArray()) objects.push_back(vl::skeleton::toLocalRef(object));
    return objects;
}

// Check-in and cancel: the objects in, a bare service data out.
template <class Request, class Call>
std::string objectsOperation(const vl::skeleton::Spans& spans, const std::string& requestXml, Call&& call) {
    return vl::skeleton::run<Handlers::None, Request>(spans, "ServiceData", requestXml, &objectsOf<Request>,
                                                      std::forward<Call>(call), &vl::skeleton::toWireServiceData);
}

}  // namespace

ReservationIiopSkeleton::ReservationIiopSkeleton() : ServiceSkeleton("Reservation") {
    bind("checkout", &checkout);
    bind("getReservationHistory", &getReservationHistory);
    bind("checkin", &checkin);
    bind("cancelCheckout", &cancelCheckout);
}

// --- converters ---

Wire::GetReservationHistoryResponse ReservationIiopSkeleton::toWire(Local::GetReservationHistoryResponse local) {
    Wire::GetReservationHistoryResponse wire;
    std::vector<Wire::ReservationHistory> histories;
    histories.reserve(local.histories.size());
    for (const auto& history : local.histories) histories.push_back(toWire(history));
    wire.setHistorieArray(histories);
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

Wire::ReservationHistory ReservationIiopSkeleton::toWire(Local::ReservationHistory local) {
    Wire::ReservationHistory wire;
    wire.setObject(vl::skeleton::toWireRef(local.object));
    std::vector<Wire::ReservationHistoryEvent> events;
    events.reserve(local.events.size());
    for (const auto& event : local.events) events.push_back(toWire(event));
    wire.setEventArray(events);
    return wire;
}

Wire::ReservationHistoryEvent ReservationIiopSkeleton::toWire(Local::ReservationHistoryEvent local) {
    Wire::ReservationHistoryEvent wire;
    VL_RES0603_EVENT_FIELDS(VL_SKELETON_FIELD_TO_WIRE)
    return wire;
}

Local::ReservationHistoryEvent ReservationIiopSkeleton::toLocal(Wire::ReservationHistoryEvent wire) {
    Local::ReservationHistoryEvent local;
    VL_RES0603_EVENT_FIELDS(VL_SKELETON_FIELD_TO_LOCAL)
    return local;
}

Local::ReservationHistory ReservationIiopSkeleton::toLocal(Wire::ReservationHistory wire) {
    Local::ReservationHistory local;
    local.object = vl::skeleton::toLocalRef(wire.getObject());
    for (const auto& event : wire.getEventArray()) local.events.push_back(toLocal(event));
    return local;
}

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
        &vl::skeleton::toWireServiceData);
}

std::string ReservationIiopSkeleton::getReservationHistory(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "Reservation", "getReservationHistory");
    return vl::skeleton::run<Handlers::None, Wire::GetReservationHistoryInput>(
        spans, "GetReservationHistoryResponse", requestXml, &objectsOf<Wire::GetReservationHistoryInput>,
        [](std::vector<Tag>& objects) { return service().getReservationHistory(objects); },
        [](Local::GetReservationHistoryResponse local) { return toWire(std::move(local)); });
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
