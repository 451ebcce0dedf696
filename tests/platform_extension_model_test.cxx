// Domain state kept as store extensions, against a plain model: random
// sequences of writes, markpoints and roll-backs, request starts and
// fixture resets over three domains that restore themselves in place, by a
// clone, and forget per-request records. After every step each domain must
// hold what the model says, whether or not a reset touched it.
#include "platform_test_support.hxx"
#include "pom/soa_view.hxx"
#include "pom/store.hxx"

#include <array>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vl::platform::store;

std::string itemsText(const std::vector<int>& items) {
    std::string out;
    for (int i : items) out += std::to_string(i) + " ";
    return out;
}

// Restored in place on a reset.
struct InPlace final : ValueExtension<InPlace> {
    static constexpr const char* kName = "test-in-place";
    std::vector<int> items;
    bool operator==(const InPlace&) const = default;
    std::string dump() const override { return itemsText(items) + "\n"; }
};

// Cloned back on a reset.
struct Cloned final : Extension {
    static constexpr const char* kName = "test-cloned";
    std::vector<int> items;
    std::unique_ptr<Extension> clone() const override { return std::make_unique<Cloned>(*this); }
    std::string dump() const override { return itemsText(items) + "\n"; }
};

// Forgets its items when a request begins; like the per-request records it
// stands for, a roll-back leaves them.
struct PerRequest final : ValueExtension<PerRequest> {
    static constexpr const char* kName = "test-per-request";
    std::vector<int> items;
    bool operator==(const PerRequest&) const = default;
    bool requestBegins() override {
        if (items.empty()) return false;
        items = {};
        return true;
    }
    std::string dump() const override { return itemsText(items) + "\n"; }
};

constexpr int kDomains = 3;
using World = std::array<std::vector<int>, kDomains>;

// The domain's items as the store holds them, looked at without marking the
// domain used (a read through extension<T>() would hide a reset that skips it).
template <class T>
std::vector<int> held() {
    const auto& slots = S().extensions;
    const std::size_t i = vl::platform::store::detail::extensionIndex<T>();
    if (i >= slots.size() || !slots[i].get()) return {};
    return static_cast<const T*>(slots[i].get())->items;
}

World heldWorld() { return {held<InPlace>(), held<Cloned>(), held<PerRequest>()}; }

template <class T>
void add(int value) {
    extension<T>().items.push_back(value);
    journalUndo([] { extension<T>().items.pop_back(); });
}

void addTo(int domain, int value) {
    if (domain == 0) add<InPlace>(value);
    if (domain == 1) add<Cloned>(value);
    if (domain == 2) extension<PerRequest>().items.push_back(value);
}

struct ExtensionModel : vl::test::SiteTest {
    void TearDown() override {
        std::string error;
        ASSERT_EQ(vl::platform::SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
        vl::platform::SITE_reset();
    }
};

TEST_F(ExtensionModel, RandomSequencesKeepEachDomainAsTheModelSays) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        vl::platform::SITE_reset();
        // The fixture: some domains with items, some never made.
        World fixtureWorld;
        for (int d = 0; d < kDomains; ++d)
            if (pick(2))
                for (int n = pick(3); n >= 0; --n) {
                    const int v = pick(100);
                    addTo(d, v);
                    fixtureWorld[d].push_back(v);
                }
        const std::unique_ptr<Store> fixture = copyStore(S());
        watchFixture();
        World world = fixtureWorld;
        std::vector<std::pair<int, World>> marks;
        std::string trace;
        for (int step = 0; step < 400; ++step) {
            switch (pick(6)) {
            case 0:
            case 1: {
                const int d = pick(kDomains), v = pick(100);
                addTo(d, v);
                world[d].push_back(v);
                trace += "add " + std::to_string(d) + " " + std::to_string(v) + "; ";
                break;
            }
            case 2:
                marks.emplace_back(placeMarkpoint(), world);
                trace += "mark; ";
                break;
            case 3:
                if (!marks.empty()) {
                    bool changed = false;
                    ASSERT_EQ(rollToMarkpoint(marks.back().first, &changed), 0);
                    const std::vector<int> perRequest = world[2];
                    world = marks.back().second;
                    world[2] = perRequest;
                    trace += "roll; ";
                }
                break;
            case 4:
                vl::platform::beginRequest();
                world[2].clear();
                trace += "request; ";
                break;
            case 5:
                if (pick(3) == 0) {
                    restoreFrom(*fixture);
                    world = fixtureWorld;
                    marks.clear();
                    trace += "reset; ";
                }
                break;
            }
            const World now = heldWorld();
            for (int d = 0; d < kDomains; ++d)
                ASSERT_EQ(itemsText(now[d]), itemsText(world[d]))
                    << "seed " << seed << ", step " << step << ", domain " << d << "\n" << trace;
        }
        restoreFrom(*fixture);
    }
}

}  // namespace
