// The operation a later build carries answers with a clear exception
// document, whatever its input, and changes nothing.
#include "dm0603_ops_support.hxx"

#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

namespace {

using namespace dm0603;

class Dm0603OpsNotAvailable : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsNotAvailable, AnswerWithAnExceptionDocument) {
    const unsigned int folder = newFolder("f");
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"createDatasets",
         "<CreateDatasetsInput><input clientId=\"c\" name=\"d\" relationType=\"\" type=\"Text\" description=\"\" "
         "toolUsed=\"\">" + ref("container", folder) + "</input></CreateDatasetsInput>"},
    };
    const long objects = vl::platform::STORE_object_count();
    for (const auto& [operation, request] : cases) {
        SCOPED_TRACE(operation);
        Parsed r(invoke(kService, operation, request));
        EXPECT_EQ(r.root->name(), "ServiceException") << r.text;
        EXPECT_EQ(attrOr(*r.root, "message"), "the operation is not available");
        ASSERT_EQ(childrenNamed(*r.root, "errorValue").size(), 1u) << r.text;
        EXPECT_EQ(attrOr(*childrenNamed(*r.root, "errorValue")[0], "code"),
                  std::to_string(vl::platform::ERR_OPERATION_NOT_AVAILABLE));
    }
    EXPECT_EQ(vl::platform::STORE_object_count(), objects);
    EXPECT_EQ(contentsOf(folder).size(), 0u);
}

}  // namespace
