#pragma once
// Fixture for tests that run real requests: a fresh store from the default
// site, and at the end no lock left held, no markpoint left placed and no
// platform block left unfreed.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "foundation/error_store.hxx"
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"
#include "sm/sm.hxx"
#include "soa_common/monitor.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/utils.hxx"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

// Loads the default site once per process; later tests reset to it.
inline void loadDefaultSite() {
    static bool loaded = [] {
        std::string error;
        int rc = vl::platform::SITE_load(VL_DEFAULT_SITE, &error);
        EXPECT_EQ(rc, 0) << error;
        return rc == 0;
    }();
    if (loaded) vl::platform::SITE_reset();
}

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        loadDefaultSite();
        vl::platform::MONITOR_clear();
        m_blocks = vl::platform::SM_outstanding_blocks();
    }
    void TearDown() override {
        EXPECT_TRUE(vl::platform::LOCKS_held().empty()) << "locks left held";
        EXPECT_TRUE(vl::platform::MARKPOINTS_placed().empty()) << "markpoints left placed";
        EXPECT_EQ(vl::platform::SM_outstanding_blocks(), m_blocks) << "platform blocks left unfreed";
        vl::platform::FAULT_clear();
    }

    // One request through the gateway, as a client sends it.
    static std::string invoke(const std::string& service, const std::string& operation, const std::string& xml) {
        std::string reply;
        EXPECT_TRUE(VlServiceManager::instance().invoke(service, operation, xml, &reply)) << service;
        return reply;
    }

    // A saved folder, not in any other, not locked.
    static tag_t makeFolder(const char* name) {
        tag_t folder = 0;
        EXPECT_EQ(FL_create(name, "", &folder), 0);
        EXPECT_EQ(AOM_save(folder), 0);
        EXPECT_EQ(AOM_refresh(folder, 0), 0);
        return folder;
    }

private:
    long m_blocks = 0;
};

// A text escaped for an attribute value of a request document.
inline std::string esc(const std::string& text) {
    std::ostringstream out;
    Velmora::Soa::Common::Xml::XmlStream::escape(out, text);
    return out.str();
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The span log of one operation that ran to its end: the operation label
// `outer` with its conversions, and the implementation label `impl`.
inline std::vector<vl::platform::SpanEvent> fourSpans(const std::string& outer, const std::string& impl) {
    using vl::platform::SpanEvent;
    return {{SpanEvent::Start, outer},
            {SpanEvent::Start, outer + "::wireToLocal"},
            {SpanEvent::End, outer + "::wireToLocal"},
            {SpanEvent::Start, impl},
            {SpanEvent::End, impl},
            {SpanEvent::Start, outer + "::localToWire"},
            {SpanEvent::End, outer + "::localToWire"},
            {SpanEvent::End, outer}};
}

// The monitor's span log as it stands.
inline std::vector<vl::platform::SpanEvent> spanLog() {
    const auto& log = vl::platform::MONITOR_log();
    return {log.begin(), log.end()};
}

inline std::string uidOf(unsigned int tag) { return Velmora::Soa::Internal::Server::Utils::tagToUid(tag); }

// A parsed reply, kept alive with its parser.
struct Reply {
    explicit Reply(const std::string& text) : root(&parser.parseString(text)) {}
    Velmora::Soa::Common::Xml::SAXToNodeParser parser;
    const Velmora::Soa::Common::Xml::XMLNode* root;
};

}  // namespace vl::test
