// Uids that name no object, sent request after request: every reply names
// them as the client sent them, and what the store remembers of them stays
// bounded by one request's worth.
#include "dm0603_ops_support.hxx"

#include "pom/soa_view.hxx"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class GatewayUnknownUids : public vl::test::ServiceTest {};

std::string uidFor(int request, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "Unk%03d-%05d", request, n);
    return text;
}

TEST_F(GatewayUnknownUids, RememberedOnlyForTheirOwnRequest) {
    constexpr int kRequests = 100, kUids = 10000;
    const std::string primary = dm0603::ref("primaryObject", dm0603::newFolder("a"));
    const std::string secondary = dm0603::ref("secondaryObject", dm0603::newFolder("b"));
    std::string first;
    for (int r = 0; r < kRequests; ++r) {
        // The last input names the first uid again: within a request a uid
        // keeps its one tag, and the error is under the uid sent.
        std::string xml = "<CreateRelationsInput>";
        for (int n = 0; n <= kUids; ++n)
            xml += "<input clientId=\"c\" relationType=\"Reference\">" + primary + secondary + "<userData uid=\"" +
                   uidFor(r, n % kUids) + "\"/></input>";
        xml += "</CreateRelationsInput>";
        const std::string reply = invoke(dm0603::kService, "createRelations", xml);
        EXPECT_LE(vl::platform::rememberedUnknownUids(), kUids);
        if (r == 0) {
            first = reply;
            const dm0603::Parsed parsed(first);
            const auto errors = parsed.errors();
            ASSERT_EQ(errors.size(), static_cast<std::size_t>(kUids + 1)) << first.substr(0, 600);
            EXPECT_EQ(errors[kUids - 1].uid, uidFor(0, kUids - 1));
            EXPECT_EQ(errors[kUids].uid, uidFor(0, 0));
            continue;
        }
        // The same reply as the first, but for the uids named.
        std::string expected = first;
        const std::string from = uidFor(0, 0).substr(0, 7), to = uidFor(r, 0).substr(0, 7);
        for (std::size_t at = 0; (at = expected.find(from, at)) != std::string::npos; at += to.size())
            to.copy(&expected[at], to.size());  // same length: in place
        ASSERT_EQ(reply, expected) << "request " << r;
    }
}

}  // namespace
