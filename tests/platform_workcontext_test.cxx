// The fixture's work contexts: the current one is the session's, it stays
// through a reset and a later session line, and bad statements are refused.
#include "platform_test_support.hxx"

#include "kernel/session.hxx"
#include "pom/store.hxx"

#include <gtest/gtest.h>

namespace {

using namespace vl::platform;

class PlatformWorkContext : public vl::test::SiteTest {
protected:
    void TearDown() override {
        std::string error;
        EXPECT_EQ(SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
    }
    static std::string site(const std::string& tail) {
        return "format 1\ngroup g\nrole r\nuser u group=g password=\"$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$"
               "Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek\"\nmember u g r\n" +
               tail;
    }
};

TEST_F(PlatformWorkContext, CurrentOneIsTheSessions) {
    std::string error;
    ASSERT_EQ(SITE_load_text(site("session u g r\nworkcontext W1\nworkcontext W2 name=\"Second one\" current\n"
                                  "session u g r\n"),
                             "wc.site", &error),
              0)
        << error;
    const tag_t current = loginUser::currentWorkContextTag();
    ASSERT_NE(current, 0u);
    using namespace vl::platform::store;
    EXPECT_EQ(getString(*find(current), "context_id"), "W2");
    EXPECT_EQ(getString(*find(current), "name"), "Second one");
    EXPECT_EQ(instancesOf("WorkContext").size(), 2u);
    EXPECT_EQ(getString(*find(instancesOf("WorkContext").front()), "name"), "W1");
    SITE_reset();
    EXPECT_EQ(loginUser::currentWorkContextTag(), current);

    ASSERT_EQ(SITE_load_text(site("session u g r\nworkcontext W1\n"), "wc.site", &error), 0) << error;
    EXPECT_EQ(loginUser::currentWorkContextTag(), 0u);
}

TEST_F(PlatformWorkContext, BadStatementsAreRefused) {
    struct Case {
        std::string tail, expected;
    } cases[] = {
        {"workcontext W1 current\n", "wc.site:6: a current work context needs a session line before it"},
        {"session u g r\nworkcontext W1\nworkcontext W1\n", "wc.site:8: work context W1 exists already"},
        {"workcontext\n", "wc.site:6:"},
        {"workcontext W1 colour=red\n", "wc.site:6:"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_NE(SITE_load_text(site(c.tail), "wc.site", &error), 0) << c.tail;
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "got: " << error;
    }
}

}  // namespace
