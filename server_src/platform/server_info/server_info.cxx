#include "server_info/server_info.hxx"

#include "kernel/switches.hxx"
#include "pom/store.hxx"

#include <cstdlib>
#include <string>

using namespace vl::platform::store;

status_t EffectivityMode::isInV7Mode(bool& inV7Mode) {
    if (int rc = enter("EffectivityMode::isInV7Mode")) return status_t(rc);
    inV7Mode = vl::platform::kernel::switches().v7Mode;
    return status_t::OK;
}

int SubscriptionManager::isEnabled() { return vl::platform::kernel::switches().subscription ? 1 : 0; }

int PartBOMService::isPartBOMUsageEnabled(bool* enabled) const {
    if (int rc = enter("PartBOMService::isPartBOMUsageEnabled")) return rc;
    if (enabled) *enabled = vl::platform::kernel::switches().partBom;
    return 0;
}

PartBOMService* PartBOMServiceFactory::getPartBOMServiceInstance() {
    static PartBOMService service;
    return &service;
}

namespace {

struct SystemLog {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* stream = nullptr;
    void open() {
        if (!stream) stream = open_memstream(&buffer, &size);
    }
};

SystemLog& systemLog() {
    static SystemLog log;
    return log;
}

}  // namespace

FILE* ERROR_ask_system_log_stream() {
    SystemLog& l = systemLog();
    l.open();
    return l.stream;
}

namespace vl::platform {

std::string SYSLOG_text() {
    SystemLog& l = systemLog();
    if (!l.stream) return {};
    std::fflush(l.stream);
    return std::string(l.buffer ? l.buffer : "", l.size);
}

void SYSLOG_clear() {
    SystemLog& l = systemLog();
    if (!l.stream) return;
    std::fclose(l.stream);
    std::free(l.buffer);
    l.buffer = nullptr;
    l.size = 0;
    l.stream = nullptr;
}

}  // namespace vl::platform
