// Reservations and their histories against a plain model: random sequences
// of check-outs, check-ins, cancels and deletions of a few folders, with
// markpoints placed, rolled back to and forgotten in between. After every
// step each live folder's history is what the model says, and every call
// answers as the model expects (a held folder refuses a second check-out, a
// free one a check-in, a deleted one everything).
#include "platform_test_support.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "foundation/error_codes.hxx"
#include "pom/pom.hxx"
#include "reservation/reservation.hxx"
#include "sm/scoped_smptr.hxx"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace vl::platform;

constexpr int kFolders = 3;

struct Folder {
    bool alive = true, held = false;
    std::string heldComment;
    std::vector<std::string> events;  // "activity|comment"
};
using World = std::array<Folder, kFolders>;

std::vector<std::string> historyOf(tag_t folder) {
    int count = 0;
    scoped_smptr<char*> dates, users, activities, changes, comments;
    EXPECT_EQ(RES_ask_audit_history(folder, &count, &dates, &users, &activities, &changes, &comments), 0);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(std::string(activities[i]) + "|" + comments[i]);
    return out;
}

struct ReservationModel : vl::test::SiteTest {
    void TearDown() override { vl::test::useDefaultSite(); }
};

TEST_F(ReservationModel, HistoriesFollowTheModelThroughMarkpoints) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        vl::test::useDefaultSite();
        std::mt19937 rng(seed);
        std::array<tag_t, kFolders> tags{};
        for (int f = 0; f < kFolders; ++f)
            ASSERT_EQ(FL_create(("Held " + std::to_string(f)).c_str(), "", &tags[f]), 0);
        World world;
        std::vector<std::pair<int, World>> marks;  // id, the world when placed
        for (int step = 0; step < 120; ++step) {
            const int f = static_cast<int>(rng() % kFolders);
            Folder& m = world[f];
            const std::string comment = "s" + std::to_string(seed) + "." + std::to_string(step);
            const std::string what = "seed " + std::to_string(seed) + " step " + std::to_string(step);
            switch (rng() % 8) {
            case 0:
            case 1: {
                const int rc = RES_checkout(tags[f], comment.c_str(), "", "", 2);
                if (!m.alive) {
                    EXPECT_NE(rc, 0) << what;
                } else if (m.held) {
                    EXPECT_EQ(rc, ERR_ALREADY_RESERVED) << what;
                } else {
                    ASSERT_EQ(rc, 0) << what;
                    m.held = true;
                    m.heldComment = comment;
                    m.events.push_back("Check-Out|" + comment);
                }
                break;
            }
            case 2:
            case 3: {
                const bool cancel = rng() % 2;
                const int rc = cancel ? RES_cancel_checkout(tags[f], false) : RES_checkin(tags[f]);
                if (!m.alive) {
                    EXPECT_NE(rc, 0) << what;
                } else if (!m.held) {
                    EXPECT_EQ(rc, ERR_NOT_RESERVED) << what;
                } else {
                    ASSERT_EQ(rc, 0) << what;
                    m.held = false;
                    m.events.push_back(std::string(cancel ? "Cancel Check-Out|" : "Check-In|") + m.heldComment);
                }
                break;
            }
            case 4:
                if (m.alive && rng() % 3 == 0) {
                    ASSERT_EQ(AOM_delete(tags[f]), 0) << what;
                    m = Folder{};
                    m.alive = false;
                }
                break;
            case 5: {
                int id = 0;
                ASSERT_EQ(POM_place_markpoint(&id), 0);
                marks.emplace_back(id, world);
                break;
            }
            case 6:
                if (!marks.empty()) {
                    const std::size_t k = rng() % marks.size();
                    bool changed = false;
                    ASSERT_EQ(POM_roll_to_markpoint(marks[k].first, &changed), 0) << what;
                    world = marks[k].second;
                    marks.resize(k + 1);
                }
                break;
            default:
                if (!marks.empty()) {
                    const std::size_t k = rng() % marks.size();
                    ASSERT_EQ(POM_forget_markpoint(marks[k].first), 0) << what;
                    marks.resize(k);
                }
                break;
            }
            for (int g = 0; g < kFolders; ++g) {
                if (!world[g].alive) continue;
                ASSERT_EQ(historyOf(tags[g]), world[g].events) << what << " folder " << g;
            }
        }
    }
}

}  // namespace
