#pragma once
// Service interface of "Internal-Core-2007-05-Session": the per-request
// object cache refresh switch.

namespace Velmora::Soa::Internal::Core::_2007_05 {

class Session {
public:
    Session() = default;
    Session(const Session&) = default;
    Session& operator=(const Session&) = default;

    virtual bool refreshPOMCachePerRequest(bool refresh) = 0;

protected:
    // Never deleted through the interface.
    ~Session() = default;
};

}  // namespace Velmora::Soa::Internal::Core::_2007_05
