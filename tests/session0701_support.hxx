#pragma once
// Shared helpers of the "Core-2007-01-Session" and
// "Internal-Core-2007-05-Session" tests: requests as text, replies read back,
// and variants of the default site.
#include "session0603_support.hxx"

#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace session0701 {

using session0603::attrOf;
using session0603::childrenNamed;
using session0603::Parsed;
using Velmora::Soa::Common::Xml::XMLNode;

inline const char* const kService = "Core-2007-01-Session";
inline const char* const kInternalService = "Internal-Core-2007-05-Session";

struct Scoped {
    std::string scope;
    std::vector<std::string> names;
};

inline std::string getPrefsXml(const std::vector<Scoped>& entries) {
    std::string xml = "<GetPreferencesInput>";
    for (const auto& e : entries) {
        xml += "<requestedPref scope=\"" + vl::test::esc(e.scope) + "\">";
        for (const auto& n : e.names) xml += "<name value=\"" + vl::test::esc(n) + "\"/>";
        xml += "</requestedPref>";
    }
    return xml + "</GetPreferencesInput>";
}

inline std::string policyXml(const std::string& policy) {
    return "<SetObjectPropertyPolicyInput policyName=\"" + vl::test::esc(policy) + "\"/>";
}

inline std::string refreshXml(bool refresh) {
    return std::string("<RefreshPOMCachePerRequestInput refresh=\"") + (refresh ? "true" : "false") + "\"/>";
}

// Codes of each partial error of a reply's service data, and whether the
// error carried a key (uid, client id or index).
struct PartialError {
    std::vector<int> codes;
    bool keyed;
    bool operator==(const PartialError&) const = default;
};

inline std::vector<PartialError> partialErrors(const Parsed& r) {
    std::vector<PartialError> out;
    for (const XMLNode* e : childrenNamed(r.sd, "partialError")) {
        PartialError pe{{}, e->attr("uid") || e->attr("clientId") || e->attr("clientIndex")};
        for (const XMLNode* v : childrenNamed(e, "errorValue")) pe.codes.push_back(std::stoi(attrOf(v, "code")));
        out.push_back(pe);
    }
    return out;
}

inline int storedErrorCount() {
    int count = -1;
    ERROR_store_ask(&count, nullptr, nullptr, nullptr);
    return count;
}

// Request tests, on the default site or on a variant of it loaded for one
// test; the default site is loaded again afterwards.
class Session0701Fixture : public vl::test::ServiceTest {
protected:
    void TearDown() override {
        ServiceTest::TearDown();
        if (m_variant) {
            std::string error;
            EXPECT_EQ(vl::platform::SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
        }
    }

    static std::string call(const std::string& operation, const std::string& xml) {
        return invoke(kService, operation, xml);
    }

    // The default site's text with the lines equal to `drop` left out and
    // `extra` appended.
    static std::string siteVariant(const std::vector<std::string>& drop, const std::string& extra) {
        std::string text = vl::test::readFile(VL_DEFAULT_SITE), out;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(pos, end - pos);
            bool dropped = false;
            for (const auto& d : drop) dropped = dropped || line == d;
            if (!dropped) out += line + "\n";
            pos = end + 1;
        }
        return out + extra + "\n";
    }

    // Loads the variant in place of the default site until the test ends.
    void useSite(const std::string& text) {
        std::string error;
        m_variant = true;
        ASSERT_EQ(vl::platform::SITE_load_text(text, "variant.site", &error), 0) << error;
        vl::platform::MONITOR_clear();
    }

private:
    bool m_variant = false;
};

}  // namespace session0701
