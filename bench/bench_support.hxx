#pragma once
// What the request benchmarks share: the default site, fresh for each size,
// and a check that a sample reply carries no error.
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vl::bench {

inline void loadSite() {
    static bool loaded = [] {
        if (vl::platform::SITE_ensure_loaded(VL_DEFAULT_SITE) != 0) std::exit(1);
        return true;
    }();
    (void)loaded;
    vl::platform::SITE_reset();
}

inline void expectNoErrors(const std::string& reply, const char* what) {
    if (reply.find("partialError") != std::string::npos || reply.find("Exception") != std::string::npos) {
        std::fprintf(stderr, "%s answered with an error:\n%.2000s\n", what, reply.c_str());
        std::exit(1);
    }
}

// One request through the gateway; a service that is not registered ends the run.
inline std::string invoke(const char* service, const std::string& operation, const std::string& xml) {
    std::string reply;
    if (!VlServiceManager::instance().invoke(service, operation, xml, &reply)) {
        std::fprintf(stderr, "%s is not registered\n", service);
        std::exit(1);
    }
    return reply;
}

}  // namespace vl::bench
