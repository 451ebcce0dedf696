#include "soa_server/service_manager.hxx"

namespace Velmora::Soa::Internal::Server {

ServiceManager& ServiceManager::instance() {
    static ServiceManager manager;
    return manager;
}

std::string ServiceManager::registerService(const std::string& name) {
    m_services.push_back(name);
    return name;
}

}  // namespace Velmora::Soa::Internal::Server
