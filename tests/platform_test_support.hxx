#pragma once
// Test fixture for tests that work on the default site: loads it once and
// restores it before every test.
#include "foundation/error_store.hxx"
#include "pom/test_seams.hxx"
#include "sm/sm.hxx"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vl::test {

inline void useDefaultSite() {
    if (vl::platform::SITE_loaded_path() != VL_DEFAULT_SITE) {
        std::string error;
        ASSERT_EQ(vl::platform::SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
    }
    vl::platform::SITE_reset();
}

// The default site's text, for fixtures that add to it.
inline std::string defaultSiteText() {
    std::ifstream in(VL_DEFAULT_SITE);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Codes held in the error store, oldest first.
inline std::vector<int> storedCodes() {
    int n = 0;
    const int* codes = nullptr;
    ERROR_store_ask(&n, nullptr, &codes, nullptr);
    return std::vector<int>(codes, codes + n);
}

// "<code>", what the helpers of the tests give for a failed read.
inline std::string codeText(int code) {
    std::string s(1, '<');
    s.append(std::to_string(code));
    s.push_back('>');
    return s;
}

struct SiteTest : ::testing::Test {
    void SetUp() override {
        useDefaultSite();
        blocksAtStart = vl::platform::SM_outstanding_blocks();
    }
    long blocksAtStart = 0;
};

}  // namespace vl::test
