#pragma once
#include <string>
#include <vector>

namespace Velmora::Soa::Internal::Server {

// Registry of the full service names, in registration order.
class ServiceManager {
public:
    static ServiceManager& instance();
    std::string registerService(const std::string& name);
    std::vector<std::string>& getServiceList() { return m_services; }

private:
    ServiceManager() = default;
    std::vector<std::string> m_services;
};

}  // namespace Velmora::Soa::Internal::Server
