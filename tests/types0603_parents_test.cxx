// Parent types are described once per process. The memory lives as long as
// the process, so the in-process tests use types of their own fixture that
// no other test describes, and the whole walk to the top is shown in a fresh
// gateway process.
#include "types0603_support.hxx"

#include "foundation/error_codes.hxx"
#include "platform_test_support.hxx"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using namespace types0603;

const char* const kOwnTypes = R"(
type PmFailParent Part
type PmFailChild PmFailParent
type PmPairParent Part
type PmPairChild PmPairParent
)";

class Types0603Parents : public TypesTest {
protected:
    void SetUp() override {
        TypesTest::SetUp();
        std::string error;
        ASSERT_EQ(vl::platform::SITE_load_text(vl::test::defaultSiteText() + kOwnTypes, "parents.site", &error), 0) << error;
    }
    void TearDown() override {
        TypesTest::TearDown();
        vl::test::useDefaultSite();
    }
};

// A parent whose description failed was never put into an answer: the next
// request that finds it sends it.
TEST_F(Types0603Parents, AParentWhoseDescriptionFailedIsSentNextTime) {
    vl::platform::FAULT_inject("AOM_UIF_ask_value", vl::platform::ERR_INJECTED, typeTag("PmFailParent"));
    std::vector<std::string> first = typeNames(byNames({"PmFailChild"}));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], "PmFailChild");
    EXPECT_EQ(countOf(first, "PmFailParent"), 0);

    std::vector<std::string> second = typeNames(byNames({"PmFailChild"}));
    EXPECT_EQ(countOf(second, "PmFailParent"), 1);
    std::vector<std::string> third = typeNames(byNames({"PmFailChild"}));
    EXPECT_EQ(third, std::vector<std::string>{"PmFailChild"}) << "described once it was sent";
}

TEST_F(Types0603Parents, ATypeAndItsParentTogetherDescribeTheParentTwice) {
    std::vector<std::string> names = typeNames(byNames({"PmPairChild", "PmPairParent"}));
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "PmPairChild");
    EXPECT_EQ(names[1], "PmPairParent");
    EXPECT_EQ(countOf(names, "PmPairParent"), 2) << "as requested and as found";
}

// One gateway process: the first request answers the type and every parent
// to the top, parents in name order; the identical second one the type alone.
TEST(Types0603Process, ParentsAreDescribedOncePerProcess) {
    std::string script = ::testing::TempDir() + "/types_parents.script";
    {
        FILE* f = std::fopen(script.c_str(), "w");
        ASSERT_NE(f, nullptr);
        for (int i = 0; i < 2; ++i)
            std::fprintf(f, "@ %s initTypeByNames\n%s\n", kService, namesXml({"ExternalDrawing"}).c_str());
        std::fclose(f);
    }
    FILE* pipe = popen((std::string(VL_GATEWAY) + " --script " + script).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0);

    std::vector<std::string> replies;
    for (std::size_t at = 0; (at = out.find("<ModelSchema", at)) != std::string::npos; ++at)
        replies.push_back(out.substr(at, out.find("</ModelSchema>", at) + 14 - at));
    ASSERT_EQ(replies.size(), 2u) << out;
    Base::ModelSchema first = schemaOf(replies[0]), second = schemaOf(replies[1]);
    EXPECT_EQ(typeNames(first), (std::vector<std::string>{"ExternalDrawing", "ExternalObject", "POMObject",
                                                          "POM_application_object", "WorkspaceObject"}));
    EXPECT_EQ(typeNames(second), std::vector<std::string>{"ExternalDrawing"});
    EXPECT_EQ(classChain(second), (std::vector<std::string>{"ExternalObject<WorkspaceObject",
                                                            "WorkspaceObject<POM_application_object",
                                                            "POM_application_object<POMObject", "POMObject<"}));
}

}  // namespace
