#pragma once
// What the application object model keeps beside the objects: the
// client-server update list with its switches and the event service's flag,
// and the fixture's deep-copy rules and file-held form types.
#include "pom/store.hxx"

#include <set>
#include <string>
#include <vector>

namespace vl::platform::aom {

// Reset for each request: only that request's observers read it.
struct UpdateList final : store::ValueExtension<UpdateList> {
    static constexpr const char* kName = "update-list";
    bool suspended = false;
    bool enabled = true;
    std::vector<tag_t> changedTags;
    bool eventServiceRunning = true;
    bool operator==(const UpdateList&) const = default;
    bool requestBegins() override {
        if (changedTags.empty()) return false;
        changedTags = {};
        return true;
    }
    std::string dump() const override;
};

struct DeepCopyRule {
    std::string revisionType;  // applies to this type and its subtypes
    std::string action;        // "Revise", "SaveAs"
    std::string relationType;
    bool copy = false;  // copy the secondary, else reference it
    bool operator==(const DeepCopyRule&) const = default;
};

struct ApplicationRules final : store::ValueExtension<ApplicationRules> {
    static constexpr const char* kName = "application-rules";
    std::vector<DeepCopyRule> deepCopyRules;
    std::set<tag_t> fileFormTypes;  // form types whose fields live in a file
    bool operator==(const ApplicationRules&) const = default;
    std::string dump() const override;
};

}  // namespace vl::platform::aom
