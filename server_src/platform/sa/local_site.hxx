#pragma once
// The local site: the Site object the fixture marked local (or its first).
#include "pom/store.hxx"

#include <string>

namespace vl::platform::sa {

struct LocalSite final : store::ValueExtension<LocalSite> {
    static constexpr const char* kName = "local-site";
    tag_t site = 0;
    int siteId = 0;
    bool operator==(const LocalSite&) const = default;
    std::string dump() const override { return "site " + std::to_string(site) + " " + std::to_string(siteId) + "\n"; }
};

}  // namespace vl::platform::sa
