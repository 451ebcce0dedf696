#pragma once
// The root of the transient volume file tickets point into ("NONE": none).
#include "pom/store.hxx"

#include <string>

namespace vl::platform::filetickets {

struct TransientVolume final : store::ValueExtension<TransientVolume> {
    static constexpr const char* kName = "transient-volume";
    std::string root = "NONE";
    bool operator==(const TransientVolume&) const = default;
    std::string dump() const override { return "transient volume " + root + "\n"; }
};

}  // namespace vl::platform::filetickets
