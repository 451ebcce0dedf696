#pragma once
// The texts of the text server, by key, as the fixture gave them.
#include "pom/store.hxx"

#include <map>
#include <string>

namespace vl::platform::text {

struct Texts final : store::ValueExtension<Texts> {
    static constexpr const char* kName = "texts";
    std::map<std::string, std::string> byKey;
    bool operator==(const Texts&) const = default;
    std::string dump() const override {
        std::string out;
        for (const auto& [key, text] : byKey) out += "text " + key + " " + text + "\n";
        return out;
    }
};

}  // namespace vl::platform::text
