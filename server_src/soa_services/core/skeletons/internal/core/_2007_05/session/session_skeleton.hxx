#pragma once
// Skeleton of "Internal-Core-2007-05-Session": the one operation that
// switches the per-request object cache refresh.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/session0705impl.hxx"
#include "soa_services/core/schemas/internal/core/_2007_05/session/session_types.hxx"

#include <string>

namespace Velmora::Services::Internal::Core::_2007_05 {

class SessionIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<SessionIiopSkeleton, Velmora::Soa::Internal::Core::_2007_05::SessionImpl> {
public:
    SessionIiopSkeleton();
    SessionIiopSkeleton(const SessionIiopSkeleton&) = default;
    SessionIiopSkeleton& operator=(const SessionIiopSkeleton&) = default;

private:
    static std::string refreshPOMCachePerRequest(const std::string& requestXml);
};

}  // namespace Velmora::Services::Internal::Core::_2007_05
