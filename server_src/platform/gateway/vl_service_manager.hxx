#pragma once
// The gateway's registry of services, by full name, and the way a request
// reaches one.
#include "gateway/t2l_service.hxx"

#include <string>
#include <vector>

class VlServiceManager {
public:
    static VlServiceManager& instance();

    // Makes `service` reachable under `name`; returns it. A later registration
    // under the same name replaces the earlier one.
    T2LService* registerService(std::string name, T2LService* service);
    T2LService* find(const std::string& name) const;
    // Full names in registration order.
    const std::vector<std::string>& serviceNames() const { return m_names; }

    // One request: clears the error store, calls the service, and records any
    // span the request left open. Null when the service is unknown.
    bool invoke(const std::string& service, const std::string& operation, const std::string& requestXml,
                std::string* reply);

    // Lets every service clean up (logout).
    void cleanupServices();
    int cleanupCount() const { return m_cleanups; }

private:
    VlServiceManager() = default;
    std::vector<std::string> m_names;
    std::vector<T2LService*> m_services;
    int m_cleanups = 0;
};
