#pragma once
// The kernel's switches as the fixture set them: the logs, the modes the
// server reports, and the module number.
#include "pom/store.hxx"

#include <string>

namespace vl::platform::kernel {

struct Switches final : store::ValueExtension<Switches> {
    static constexpr const char* kName = "switches";
    bool journal = false, applicationLog = false, securityLog = false, administrationLog = false;
    bool v7Mode = false, subscription = false, partBom = false;
    int module = 0;
    bool operator==(const Switches&) const = default;
    std::string dump() const override {
        return "switches " + std::to_string(journal) + std::to_string(applicationLog) + std::to_string(securityLog) +
               std::to_string(administrationLog) + std::to_string(v7Mode) + std::to_string(subscription) +
               std::to_string(partBom) + " " + std::to_string(module) + "\n";
    }
};

inline Switches& switches() { return store::extension<Switches>(); }

}  // namespace vl::platform::kernel
