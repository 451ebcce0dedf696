// Appending one entry to a reference list in place against a plain model
// and against the write of the whole list: two folders take the same random
// steps, one appended to in place, the other written whole; both answer the
// same codes and hold what the model says, now, after a refresh and after a
// roll-back, with their referencers right.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "foundation/error_codes.hxx"
#include "pom/pom.hxx"
#include "pom/store.hxx"
#include "platform_test_support.hxx"

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace vl::platform;

namespace {

struct AppendModel : vl::test::SiteTest {
    tag_t savedFolder(const std::string& n) {
        tag_t f = 0;
        EXPECT_EQ(FL_create(n.c_str(), "", &f), 0);
        EXPECT_EQ(AOM_save(f), 0);
        EXPECT_EQ(AOM_refresh(f, 0), 0);
        return f;
    }
    static std::vector<tag_t> contents(tag_t folder) { return store::getTags(*store::find(folder), "contents"); }
    // The whole-list write the in-place append stands for.
    static int appendWhole(tag_t folder, tag_t t) {
        std::vector<tag_t> all = contents(folder);
        all.push_back(t);
        return AOM_set_value_tags(folder, "contents", static_cast<int>(all.size()), all.data());
    }
};

struct Lists {
    std::vector<tag_t> now, saved;
};

TEST_F(AppendModel, InPlaceAppendsMatchTheModelAndTheWholeWrite) {
    enum Op { Append, AppendSelf, Remove, Save, Refresh, Place, Roll, Forget, kOps };
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        vl::test::useDefaultSite();
        std::mt19937 random(seed);
        const tag_t inPlace = savedFolder("in place"), whole = savedFolder("whole");
        std::vector<tag_t> pool;
        for (int i = 0; i < 5; ++i) pool.push_back(savedFolder("entry " + std::to_string(i)));
        if (seed % 2 == 0) {
            // A reference to a gone object elsewhere: appends take the path
            // that checks the whole list.
            const tag_t holder = savedFolder("holder"), gone = savedFolder("gone");
            ASSERT_EQ(FL_insert(holder, gone, 999), 0);
            store::destroy(*store::find(gone));
            ASSERT_FALSE(store::noDanglingReferences());
        }
        Lists model;
        std::optional<Lists> marked;
        int markpoint = 0;
        for (int step = 0; step < 150; ++step) {
            const Op op = static_cast<Op>(random() % kOps);
            const tag_t entry = pool[random() % pool.size()];
            SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
            int expected = 0;
            int codes[2] = {0, 0};
            switch (op) {
                case Append:
                    codes[0] = AOM_append_value_tag(inPlace, "contents", entry);
                    codes[1] = appendWhole(whole, entry);
                    model.now.push_back(entry);
                    break;
                case AppendSelf:
                    codes[0] = AOM_append_value_tag(inPlace, "contents", inPlace);
                    codes[1] = appendWhole(whole, whole);
                    expected = ERR_FOLDER_CYCLE;
                    break;
                case Remove: {
                    codes[0] = FL_remove(inPlace, entry);
                    codes[1] = FL_remove(whole, entry);
                    const auto gone = std::remove(model.now.begin(), model.now.end(), entry);
                    expected = gone == model.now.end() ? ERR_NOT_FOUND : 0;
                    model.now.erase(gone, model.now.end());
                    break;
                }
                case Save:
                    codes[0] = AOM_save(inPlace);
                    codes[1] = AOM_save(whole);
                    model.saved = model.now;
                    break;
                case Refresh:
                    codes[0] = AOM_refresh(inPlace, 0);
                    codes[1] = AOM_refresh(whole, 0);
                    model.now = model.saved;
                    break;
                case Place:
                    if (marked) continue;
                    ASSERT_EQ(POM_place_markpoint(&markpoint), 0);
                    marked = model;
                    break;
                case Roll:
                    if (!marked) continue;
                    ASSERT_EQ(POM_roll_to_markpoint(markpoint, nullptr), 0);
                    model = *marked;
                    break;
                case Forget:
                    if (!marked) continue;
                    ASSERT_EQ(POM_forget_markpoint(markpoint), 0);
                    marked.reset();
                    break;
                case kOps:
                    break;
            }
            EXPECT_EQ(codes[0], expected);
            EXPECT_EQ(codes[1], expected);
            ASSERT_EQ(contents(inPlace), model.now);
            ASSERT_EQ(contents(whole), model.now);
            for (const tag_t t : pool) {
                const bool held = std::find(model.now.begin(), model.now.end(), t) != model.now.end();
                const auto referencers = store::referencersOf(t);
                EXPECT_EQ(std::count(referencers.begin(), referencers.end(), inPlace), held ? 1 : 0);
                EXPECT_EQ(std::count(referencers.begin(), referencers.end(), whole), held ? 1 : 0);
            }
        }
        if (marked) {
            ASSERT_EQ(POM_forget_markpoint(markpoint), 0);
        }
        ASSERT_EQ(AOM_refresh(inPlace, 0), 0);
        ASSERT_EQ(AOM_refresh(whole, 0), 0);
        EXPECT_EQ(contents(inPlace), model.saved);
        EXPECT_EQ(contents(whole), model.saved);
    }
}

// The same refusals as the write of the whole list, and nothing changed by
// a refused append.
TEST_F(AppendModel, RefusedAppendsChangeNothing) {
    const tag_t folder = savedFolder("folder"), entry = savedFolder("entry");
    ASSERT_EQ(FL_insert(folder, entry, 999), 0);
    struct Case {
        const char* name;
        const char* property;
        tag_t value;
        int code;
    };
    const Case cases[] = {
        {"no such property", "no_such", entry, ERR_NO_SUCH_ATTRIBUTE},
        {"not a reference list", "object_name", entry, ERR_BAD_VALUE},
        {"a name for no object", "contents", 999999, ERR_INVALID_TAG},
        {"the folder into itself", "contents", folder, ERR_FOLDER_CYCLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AOM_append_value_tag(folder, c.property, c.value), c.code);
        const std::vector<tag_t> list{entry, c.value};
        EXPECT_EQ(AOM_set_value_tags(folder, c.property, 2, list.data()), c.code);
        EXPECT_EQ(contents(folder), std::vector<tag_t>{entry});
    }

    // A list naming an object gone from the store is refused whole.
    const tag_t gone = savedFolder("gone"), added = savedFolder("added");
    ASSERT_EQ(FL_insert(folder, gone, 999), 0);
    store::destroy(*store::find(gone));
    EXPECT_EQ(AOM_append_value_tag(folder, "contents", added), ERR_INVALID_TAG);
    EXPECT_EQ(contents(folder), (std::vector<tag_t>{entry, gone}));
    EXPECT_TRUE(store::referencersOf(added).empty());
}

}  // namespace
