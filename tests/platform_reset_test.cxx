// A reset restores only what requests changed: after any of them, in any
// number, the store must be the one the load made, to the last index entry.
#include "aom/aom.hxx"
#include "aom/item.hxx"
#include "pom/store.hxx"
#include "pom/test_seams.hxx"
#include "support/service_test.hxx"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace {

struct Seed {
    std::string name, service, operation, request;
};

// The fuzzer's seed requests: one of every operation.
std::vector<Seed> seeds() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(VL_REQUEST_SEEDS)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<Seed> out;
    for (const auto& file : files) {
        const std::string text = vl::test::readFile(file.string());
        const std::size_t eol = text.find('\n'), space = text.find(' ');
        if (eol == std::string::npos || space > eol) continue;
        out.push_back({file.filename().string(), text.substr(0, space), text.substr(space + 1, eol - space - 1),
                       text.substr(eol + 1)});
    }
    return out;
}

// The first line where the dumps differ, with its neighbour.
std::string firstDifference(const std::string& expected, const std::string& actual) {
    std::istringstream a(expected), b(actual);
    std::string la, lb;
    for (int n = 1;; ++n) {
        const bool more = static_cast<bool>(std::getline(a, la)), moreB = static_cast<bool>(std::getline(b, lb));
        if (!more && !moreB) return "no difference";
        if (la != lb || more != moreB)
            return "line " + std::to_string(n) + "\n  loaded: " + (more ? la : "<end>") + "\n  reset:  " +
                   (moreB ? lb : "<end>");
    }
}

class FixtureReset : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        std::string error;
        ASSERT_EQ(vl::platform::SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
        m_loaded = vl::platform::STORE_dump();
        m_seeds = seeds();
        ASSERT_GT(m_seeds.size(), 40u) << VL_REQUEST_SEEDS;
    }
    void run(const Seed& s, const std::string& request) { invoke(s.service, s.operation, request); }
    void login() { run(m_seeds.front(), m_seeds.front().request); }
    void expectLoaded(const std::string& after) {
        vl::platform::SITE_reset();
        const std::string now = vl::platform::STORE_dump();
        EXPECT_TRUE(now == m_loaded) << "after " << after << ": " << firstDifference(m_loaded, now);
    }

    std::string m_loaded;
    std::vector<Seed> m_seeds;
};

TEST_F(FixtureReset, EachRequestWholeOrCutShort) {
    ASSERT_EQ(m_seeds.front().operation, "login");
    for (const Seed& s : m_seeds) {
        // Cut short, a request fails part way: what it did before is rolled back.
        for (const std::string& request : {s.request, s.request.substr(0, s.request.size() * 2 / 3)}) {
            login();
            run(s, request);
            expectLoaded(s.name + (request.size() < s.request.size() ? " cut short" : ""));
        }
    }
}

TEST_F(FixtureReset, EveryRequestInOneSessionTwice) {
    for (int round = 0; round < 2; ++round)
        for (const Seed& s : m_seeds) run(s, s.request);
    expectLoaded("every request twice");
    // A reset right after a reset changes nothing.
    expectLoaded("a second reset");
}

// Unsaved changes of fixture objects hold indexes of their own (the saved
// key value stays taken, the saved references counted): a reset must take
// them out with the change.
TEST_F(FixtureReset, ChangesLeftUnsaved) {
    login();
    tag_t item = 0;
    ASSERT_EQ(ITEM_find_item("000100", &item), 0);
    ASSERT_NE(item, 0u);
    ASSERT_EQ(AOM_refresh(item, 1), 0);
    ASSERT_EQ(AOM_set_value_string(item, "item_id", "RENAMED-1"), 0);
    vl::platform::store::Object* o = vl::platform::store::find(item);
    ASSERT_NE(o, nullptr);
    ASSERT_EQ(vl::platform::store::setTags(*o, "owning_user", {}), 0);
    ASSERT_TRUE(o->pending);
    expectLoaded("an item renamed and left unsaved");
}

}  // namespace
