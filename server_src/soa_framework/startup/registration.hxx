#pragma once
// Three start-up steps per service: the implementation, the skeleton known
// to the gateway, the full name known to the registry.
#include "gateway/vl_service_manager.hxx"
#include "soa_server/service_manager.hxx"

#include <string>

#define VL_REGISTER_SERVICE(ID, FULL_NAME, SKELETON, IMPL)                                         \
    static IMPL* const s_service_##ID = (SKELETON::_service = new IMPL);                           \
    static T2LService* const s_gateway_##ID =                                                      \
        VlServiceManager::instance().registerService(std::string(FULL_NAME), new SKELETON);        \
    static const std::string s_registry_##ID =                                                     \
        Velmora::Soa::Internal::Server::ServiceManager::instance().registerService(std::string(FULL_NAME));
