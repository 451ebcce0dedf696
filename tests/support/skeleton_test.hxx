#pragma once
// Helpers of the skeleton tests: the skeleton registered under a full service
// name, a wire value written out, how many errors the store holds, and the
// spans an operation leaves.
#include "foundation/error_store.hxx"
#include "gateway/vl_service_manager.hxx"
#include "soa_common/monitor.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/iiop_skeleton.hxx"

#include <string>
#include <vector>

namespace vl::test {

// Null when nothing, or no skeleton, is registered under `service`.
inline Velmora::Soa::Internal::Server::IiopSkeleton* registeredSkeleton(const std::string& service) {
    return dynamic_cast<Velmora::Soa::Internal::Server::IiopSkeleton*>(VlServiceManager::instance().find(service));
}

template <class T>
std::string xmlOf(const T& wire) {
    Velmora::Soa::Common::Xml::XmlStream stream;
    wire.outputXML(stream, "x");
    return stream.str();
}

inline int storedErrorCount() {
    int n = -1;
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    return n;
}

// The spans of an operation that completes: the skeleton's span around its
// two conversions, with the implementation's between them.
inline std::vector<vl::platform::SpanEvent> completedSpans(const std::string& skeleton, const std::string& impl) {
    using vl::platform::SpanEvent;
    return {
        {SpanEvent::Start, skeleton},          {SpanEvent::Start, skeleton + "::wireToLocal"},
        {SpanEvent::End, skeleton + "::wireToLocal"}, {SpanEvent::Start, impl},
        {SpanEvent::End, impl},                {SpanEvent::Start, skeleton + "::localToWire"},
        {SpanEvent::End, skeleton + "::localToWire"}, {SpanEvent::End, skeleton},
    };
}

}  // namespace vl::test
