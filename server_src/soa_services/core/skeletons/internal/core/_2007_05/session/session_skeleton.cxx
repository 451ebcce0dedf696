#include "soa_services/core/skeletons/internal/core/_2007_05/session/session_skeleton.hxx"

namespace Velmora::Services::Internal::Core::_2007_05 {

namespace Wire = Velmora::Schemas::Internal::Core::_2007_05::Session;

SessionIiopSkeleton::SessionIiopSkeleton() : ServiceSkeleton("Session") {
    bind("refreshPOMCachePerRequest", &refreshPOMCachePerRequest);
}

// No handlers: every failure reaches invokeMethod.
std::string SessionIiopSkeleton::refreshPOMCachePerRequest(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Internal::Core", "_2007_05", "Session", "refreshPOMCachePerRequest");
    return vl::skeleton::run<vl::skeleton::Handlers::None, Wire::RefreshPOMCachePerRequestInput>(
        spans, "RefreshPOMCachePerRequestOutput", requestXml,
        [](const Wire::RefreshPOMCachePerRequestInput& in) { return in.getRefresh(); },
        [](bool& refresh) {
            Velmora::Soa::Internal::Core::_2007_05::Session& service = *_service;
            return service.refreshPOMCachePerRequest(refresh);
        },
        &vl::skeleton::toWireFlag<Wire::RefreshPOMCachePerRequestOutput>);
}

}  // namespace Velmora::Services::Internal::Core::_2007_05
