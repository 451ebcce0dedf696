#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ErrorStoreTest : ::testing::Test {
    void SetUp() override { ERROR_store_clear(); }
    void TearDown() override { ERROR_store_clear(); }
};

std::string textAt(int i) {
    int n = 0;
    const char* const* texts = nullptr;
    ERROR_store_ask(&n, nullptr, nullptr, &texts);
    return i < n ? texts[i] : "<none>";
}

TEST_F(ErrorStoreTest, EmptyStoreGivesZeroCountAndValidArrays) {
    int n = -1;
    const int* sev = nullptr;
    const int* codes = nullptr;
    const char* const* texts = nullptr;
    ERROR_store_ask(&n, &sev, &codes, &texts);
    EXPECT_EQ(n, 0);
    EXPECT_NE(sev, nullptr);
    EXPECT_NE(codes, nullptr);
    EXPECT_NE(texts, nullptr);
    EXPECT_EQ(ERROR_store_ask_last_ifail(), 0);
}

TEST_F(ErrorStoreTest, StoreReturnsCodeAndNeverHandsOutANullText) {
    EXPECT_EQ(ERROR_store(3, 214199), 214199);
    EXPECT_EQ(ERROR_store_initial_error(3, 525084, "container is not modifiable"), 525084);
    EXPECT_EQ(ERROR_store(3, 7007, nullptr, "second text used when first is null"), 7007);
    EXPECT_EQ(textAt(0), "Error 214199");
    EXPECT_EQ(textAt(1), "container is not modifiable");
    EXPECT_EQ(textAt(2), "second text used when first is null");
    EXPECT_EQ(ERROR_store_ask_last_ifail(), 7007);
}

TEST_F(ErrorStoreTest, TextIsDataNotAFormat) {
    ERROR_store(3, 1, "%s%s%n %x");
    EXPECT_EQ(textAt(0), "%s%s%n %x");
}

TEST_F(ErrorStoreTest, OwnChecksStoreButPlatformCodesDoNot) {
    try {
        throw IFail(214100);
    } catch (const IFail& f) {
        EXPECT_EQ(f.ifail(), 214100);
    }
    ResultStatus rs;
    EXPECT_NO_THROW(rs = 0);
    EXPECT_THROW(rs = 990002, IFail);
    int n = 0;
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    EXPECT_EQ(n, 1) << "only the library's own IFail stores; a status assignment does not";
    EXPECT_THROW(rs = status_t(5), IFail);
    EXPECT_NO_THROW(rs = status_t::OK);
}

}  // namespace
