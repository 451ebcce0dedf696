#pragma once
// The preferences the store keeps, at site level by name and at group, role
// and user level by (owner, name).
#include "pom/store.hxx"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vl::platform::kernel {

struct Preferences final : store::ValueExtension<Preferences> {
    static constexpr const char* kName = "preferences";
    using Values = std::vector<std::string>;
    using ByOwner = std::map<std::pair<tag_t, std::string>, Values>;
    std::map<std::string, Values> site;
    ByOwner group, role, user;
    bool operator==(const Preferences&) const = default;
    std::string dump() const override;
};

}  // namespace vl::platform::kernel
