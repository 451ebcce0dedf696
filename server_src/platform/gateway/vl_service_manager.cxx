#include "gateway/vl_service_manager.hxx"

#include "foundation/error_store.hxx"
#include "pom/soa_view.hxx"
#include "pom/store.hxx"
#include "soa_common/monitor.hxx"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Requests come one after another, large ones too. What one frees stays with
// the process for the next, rather than going back to the kernel at its end
// (the heap's top trimmed, large blocks unmapped) to be faulted in again,
// zeroed, page by page: that cost grows with a request's size, not with its
// work. Bounded: blocks above the threshold are still mapped on their own,
// and free memory beyond it at the heap's top is still given back.
void keepFreedMemory() {
#if defined(__GLIBC__)
    constexpr int kKept = 256 << 20;
    mallopt(M_MMAP_THRESHOLD, kKept);
    mallopt(M_TRIM_THRESHOLD, kKept);
#endif
}

}  // namespace

// Never destroyed: the services it holds live as long as the process, and
// must stay reachable from it until the very end.
VlServiceManager& VlServiceManager::instance() {
    static VlServiceManager* manager = [] {
        keepFreedMemory();
        return new VlServiceManager;
    }();
    return *manager;
}

T2LService* VlServiceManager::registerService(std::string name, T2LService* service) {
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == name) {
            m_services[i] = service;
            return service;
        }
    m_names.push_back(std::move(name));
    m_services.push_back(service);
    return service;
}

T2LService* VlServiceManager::find(const std::string& name) const {
    for (std::size_t i = 0; i < m_names.size(); ++i)
        if (m_names[i] == name) return m_services[i];
    return nullptr;
}

bool VlServiceManager::invoke(const std::string& service, const std::string& operation,
                              const std::string& requestXml, std::string* reply) {
    T2LService* target = find(service);
    if (!target) return false;
    ERROR_store_clear();
    vl::platform::beginRequest();
    *reply = target->invokeMethod(operation, requestXml);
    vl::platform::MONITOR_end_request();
    return true;
}

void VlServiceManager::cleanupServices() {
    vl::platform::store::enter("VlServiceManager::cleanupServices");  // logged, for the order of logout's steps
    for (T2LService* s : m_services) s->cleanup();
    ++m_cleanups;
}
