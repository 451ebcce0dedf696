#pragma once
// What the request benchmarks share: the default site, fresh for each size,
// and a check that a sample reply carries no error.
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

}  // namespace vl::bench
