#pragma once
// "Internal-Core-2007-05-Session" on the platform: the per-request object
// cache refresh switch.
#include "soa_services/core/code/session0705.hxx"

namespace Velmora::Soa::Internal::Core::_2007_05 {

class SessionImpl final : public Session {
public:
    SessionImpl() = default;
    SessionImpl(const SessionImpl&) = default;
    SessionImpl& operator=(const SessionImpl&) = default;
    ~SessionImpl() = default;

    bool refreshPOMCachePerRequest(bool refresh) override;
};

}  // namespace Velmora::Soa::Internal::Core::_2007_05
