// generateItemIdsAndInitialRevisionIds and generateRevisionIds: identifiers
// from the user exits, keyed by input position, with failed inputs left out.
#include "dm0603_ops_support.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "user_exits/user_exits.hxx"

#include <gtest/gtest.h>

namespace {

using namespace dm0603;
namespace P = vl::platform;

struct GenIn {
    GenIn(std::string type, int n = 1, std::string uid = "") : itemType(std::move(type)), count(n), itemUid(std::move(uid)) {}
    std::string itemType;
    int count;
    std::string itemUid;
};

std::string generateItemIds(const std::vector<GenIn>& inputs) {
    std::string xml = "<GenerateItemIdsAndInitialRevisionIdsInput>";
    for (const auto& in : inputs)
        xml += "<input count=\"" + std::to_string(in.count) + "\" itemType=\"" + esc(in.itemType) + "\">" +
               refUid("item", in.itemUid) + "</input>";
    return xml + "</GenerateItemIdsAndInitialRevisionIdsInput>";
}

std::string generateRevisionIds(const std::vector<GenIn>& inputs) {
    std::string xml = "<GenerateRevisionIdsInput>";
    for (const auto& in : inputs)
        xml += "<input itemType=\"" + esc(in.itemType) + "\">" + refUid("item", in.itemUid) + "</input>";
    return xml + "</GenerateRevisionIdsInput>";
}

// Map entries of a generate reply: key -> the (item id, revision id) pairs.
std::map<int, std::vector<std::pair<std::string, std::string>>> entries(const Parsed& r, const std::string& name) {
    std::map<int, std::vector<std::pair<std::string, std::string>>> out;
    for (const XMLNode* e : childrenNamed(*r.root, name)) {
        auto& pairs = out[std::stoi(attrOr(*e, "key"))];
        for (const XMLNode* v : childrenNamed(*e, "value"))
            pairs.emplace_back(attrOr(*v, "newItemId"), attrOr(*v, "newRevId"));
    }
    return out;
}

// Counts the calls of the exits and can make one of them fail.
class Dm0603OpsGenerate : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        dm0603::setIdExitHooks(
            [this](tag_t item) {
                ++itemCalls;
                items.push_back(item);
                return itemCalls == failItemCall ? ERROR_store(3, P::ERR_INJECTED) : 0;
            },
            [this](tag_t item) {
                ++revCalls;
                items.push_back(item);
            });
    }
    void TearDown() override {
        P::USER_reset_exits();
        ServiceTest::TearDown();
    }
    int itemCalls = 0, revCalls = 0, failItemCall = 0;
    std::vector<tag_t> items;
};

TEST_F(Dm0603OpsGenerate, CountGivesThatManyPairsAndAtLeastOne) {
    const std::vector<std::pair<int, std::size_t>> cases = {{0, 1}, {1, 1}, {-5, 1}, {3, 3}};
    for (const auto& [count, pairs] : cases) {
        SCOPED_TRACE(count);
        itemCalls = revCalls = 0;
        Parsed r(invoke(kService, "generateItemIdsAndInitialRevisionIds", generateItemIds({{"Item", count}})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_TRUE(r.errors().empty()) << r.text;
        auto map = entries(r, "outputItemIdsAndInitialRevisionId");
        ASSERT_EQ(map.size(), 1u) << r.text;
        ASSERT_EQ(map[0].size(), pairs) << r.text;
        EXPECT_EQ(itemCalls, static_cast<int>(pairs));
        EXPECT_EQ(revCalls, static_cast<int>(pairs));
        for (std::size_t i = 1; i < pairs; ++i) EXPECT_LT(map[0][i - 1].first, map[0][i].first) << "order generated";
        EXPECT_EQ(map[0][0].second, "A");
    }
}

TEST_F(Dm0603OpsGenerate, FailedInputsHaveNoEntryAndAnErrorAtTheirIndex) {
    struct Case {
        const char* name;
        std::vector<GenIn> inputs;
        int failItemCall;
        std::vector<int> keys;
        int errorIndex;
        int errorCode;
    };
    const std::string longType(100, 'T');
    const std::vector<Case> cases = {
        {"unknown type in the middle", {{"Item"}, {"NoSuchType"}, {"Part"}}, 0, {0, 2}, 1, P::ERR_TYPE_NOT_FOUND},
        {"type name beyond the platform's limit", {{longType}, {"Item"}}, 0, {1}, 0, P::ERR_TYPE_NOT_FOUND},
        {"exit fails on the third of four pairs", {{"Item", 4}, {"Item", 2}}, 3, {1}, 0, P::ERR_INJECTED},
        {"a count over the limit", {{"Item", 10001}, {"Item"}}, 0, {1}, 0, P::ERR_TOO_MANY_IDENTIFIERS},
        {"a huge count", {{"Item"}, {"Item", 2147483647}}, 0, {0}, 1, P::ERR_TOO_MANY_IDENTIFIERS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        itemCalls = revCalls = 0;
        failItemCall = c.failItemCall;
        Parsed r(invoke(kService, "generateItemIdsAndInitialRevisionIds", generateItemIds(c.inputs)));
        ASSERT_TRUE(r.ok()) << r.text;
        std::vector<int> keys;
        for (const auto& [k, v] : entries(r, "outputItemIdsAndInitialRevisionId")) keys.push_back(k);
        EXPECT_EQ(keys, c.keys) << r.text;
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].index, c.errorIndex);
        ASSERT_FALSE(r.errors()[0].codes.empty());
        EXPECT_EQ(r.errors()[0].codes.back(), c.errorCode);
        EXPECT_LE(itemCalls, 6) << "no identifiers handed out for a refused count";
    }
}

TEST_F(Dm0603OpsGenerate, TheMaximumCountIsServed) {
    Parsed r(invoke(kService, "generateItemIdsAndInitialRevisionIds", generateItemIds({{"Item", 10000}})));
    EXPECT_TRUE(r.errors().empty()) << r.text.substr(0, 500);
    EXPECT_EQ(entries(r, "outputItemIdsAndInitialRevisionId")[0].size(), 10000u);
}

TEST_F(Dm0603OpsGenerate, ItemIsPassedToTheExitsUnchanged) {
    const unsigned int box = newFolder("box");
    Parsed r(invoke(kService, "generateItemIdsAndInitialRevisionIds",
                    generateItemIds({{"Item", 1, ""}, {"Item", 1, uidOf(box)}})));
    EXPECT_TRUE(r.errors().empty()) << r.text;
    EXPECT_EQ(items, (std::vector<tag_t>{0, 0, box, box}));
}

TEST_F(Dm0603OpsGenerate, EmptyRequestGivesAnEmptyMap) {
    Parsed r(invoke(kService, "generateItemIdsAndInitialRevisionIds", generateItemIds({})));
    EXPECT_TRUE(entries(r, "outputItemIdsAndInitialRevisionId").empty());
    EXPECT_TRUE(r.errors().empty());
    Parsed rev(invoke(kService, "generateRevisionIds", generateRevisionIds({})));
    EXPECT_TRUE(childrenNamed(*rev.root, "outputRevisionId").empty());
    EXPECT_TRUE(rev.errors().empty());
}

TEST_F(Dm0603OpsGenerate, RevisionIdsAskTheRevisionExitOncePerInput) {
    Parsed r(invoke(kService, "generateRevisionIds", generateRevisionIds({{"Item"}, {"NoSuchType"}, {"Document"}})));
    ASSERT_TRUE(r.ok()) << r.text;
    std::vector<int> keys;
    for (const XMLNode* e : childrenNamed(*r.root, "outputRevisionId")) {
        keys.push_back(std::stoi(attrOr(*e, "key")));
        ASSERT_NE(e->child("value"), nullptr);
        EXPECT_EQ(attrOr(*e->child("value"), "newRevId"), "A");
    }
    EXPECT_EQ(keys, (std::vector<int>{0, 2}));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].index, 1);
    EXPECT_EQ(revCalls, 2);
    EXPECT_EQ(itemCalls, 0);
}

}  // namespace
