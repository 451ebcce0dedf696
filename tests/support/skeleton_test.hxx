#pragma once
// Helpers of the skeleton tests: the skeleton registered under a full service
// name, a wire value written out, and how many errors the store holds.
#include "foundation/error_store.hxx"
#include "gateway/vl_service_manager.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/iiop_skeleton.hxx"

#include <string>

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

}  // namespace vl::test
