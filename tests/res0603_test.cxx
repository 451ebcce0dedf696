// Core-2006-03-Reservation: check-out, check-in, cancel and the reservation
// history, through the gateway on the default site.
#include "dm0603_ops_support.hxx"

#include "aom/aom.hxx"
#include "aom/item.hxx"
#include "pom/pom.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/test_seams.hxx"
#include "soa_common/monitor.hxx"
#include "soa_services/core/skeletons/core/_2006_03/reservation/reservation_skeleton.hxx"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace dm0603;
namespace P = vl::platform;

const char* const kRes = "Core-2006-03-Reservation";

// The widget is alice's and checked out by her; the guide is not checked out.
const char* const kExtraSite = R"(
checkout @widget user=alice comment="first look" change=ECN-1
)";

std::string objects(const std::string& root, const std::vector<std::string>& uids, const std::string& attrs = "") {
    std::string xml = "<" + root + attrs + ">";
    for (const auto& u : uids) xml += refUid("object", u);
    return xml + "</" + root + ">";
}

std::string checkout(const std::vector<std::string>& uids, const std::string& comment = "",
                     const std::string& changeId = "") {
    return objects("CheckoutInput", uids, " changeId=\"" + esc(changeId) + "\" comment=\"" + esc(comment) + "\"");
}

struct Event {
    std::string dateTime, user, activity, changeId, comment;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
    return out << "{" << e.dateTime << ", " << e.user << ", " << e.activity << ", " << e.changeId << ", " << e.comment
               << "}";
}

struct History {
    std::string object;
    std::vector<Event> events;
};

std::vector<History> historiesOf(const Parsed& r) {
    std::vector<History> out;
    for (const XMLNode* h : childrenNamed(*r.root, "historie")) {
        History history{Parsed::outRef(*h, "object"), {}};
        for (const XMLNode* e : childrenNamed(*h, "event"))
            history.events.push_back({attrOr(*e, "dateTime"), attrOr(*e, "user"), attrOr(*e, "activity"),
                                      attrOr(*e, "changeId"), attrOr(*e, "comment")});
        out.push_back(history);
    }
    return out;
}

class Res0603Test : public ExtendedSiteTest {
protected:
    Res0603Test() : ExtendedSiteTest(kExtraSite) {}

    std::string widget() const { return uidOf(item("000100")); }
    std::string guide() const { return uidOf(item("DOC-0001")); }
    static tag_t item(const char* id) {
        tag_t t = 0;
        EXPECT_EQ(ITEM_find_item(id, &t), 0);
        return t;
    }

    std::vector<History> history(const std::vector<std::string>& uids) {
        Parsed r(invoke(kRes, "getReservationHistory", objects("GetReservationHistoryInput", uids)));
        EXPECT_EQ(r.root->name(), "GetReservationHistoryResponse") << r.text;
        return historiesOf(r);
    }
};

TEST_F(Res0603Test, ThreeObjectsTheSecondFailing) {
    const std::string a = uidOf(newFolder("A")), c = uidOf(newFolder("C"));
    const std::string b = uidOf(newFolder("B"));
    ASSERT_EQ(P::OBJ_set_read_only(tagOf(b), true), 0);
    Parsed r(invoke(kRes, "checkout", checkout({a, b, c}, "why", "CH-1")));
    ASSERT_EQ(r.root->name(), "ServiceData") << r.text;
    EXPECT_EQ(r.list("updatedObj"), (std::vector<std::string>{a, c}));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, b);
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_READ_ONLY_OBJECT});

    // The history of the three: the failed one has none and is no plain object.
    Parsed h(invoke(kRes, "getReservationHistory", objects("GetReservationHistoryInput", {a, b, c})));
    auto histories = historiesOf(h);
    ASSERT_EQ(histories.size(), 3u) << h.text;
    EXPECT_TRUE(histories[1].events.empty());
    EXPECT_EQ(histories[0].events.size(), 1u);
    EXPECT_EQ(histories[2].events.size(), 1u);

    Parsed in(invoke(kRes, "checkin", objects("CheckinInput", {a, "NoSuchObject01", c})));
    EXPECT_EQ(in.list("updatedObj"), (std::vector<std::string>{a, c}));
    ASSERT_EQ(in.errors().size(), 1u) << in.text;
    EXPECT_EQ(in.errors()[0].codes, std::vector<int>{P::ERR_INVALID_TAG});
}

TEST_F(Res0603Test, TheSameObjectTwiceIsCheckedOutOnce) {
    const std::string f = uidOf(newFolder("Twice"));
    Parsed r(invoke(kRes, "checkout", checkout({f, f})));
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{f});
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, f);
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_ALREADY_RESERVED});
    auto h = history({f});
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0].events.size(), 1u);
}

TEST_F(Res0603Test, OnlyTheHolderChecksInOrCancels) {
    for (const char* op : {"checkin", "cancelCheckout"}) {
        SCOPED_TRACE(op);
        Parsed r(invoke(kRes, op, objects(std::string(op) == "checkin" ? "CheckinInput" : "CancelCheckoutInput",
                                          {widget(), guide()})));
        EXPECT_TRUE(r.list("updatedObj").empty()) << r.text;
        ASSERT_EQ(r.errors().size(), 2u) << r.text;
        EXPECT_EQ(r.errors()[0].uid, widget());
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_RESERVED_BY_OTHER});
        EXPECT_EQ(r.errors()[1].uid, guide());
        EXPECT_EQ(r.errors()[1].codes, std::vector<int>{P::ERR_NOT_RESERVED});
    }
    Parsed again(invoke(kRes, "checkout", checkout({widget()})));
    ASSERT_EQ(again.errors().size(), 1u) << again.text;
    EXPECT_EQ(again.errors()[0].codes, std::vector<int>{P::ERR_ALREADY_RESERVED});
    auto h = history({widget()});
    ASSERT_EQ(h.size(), 1u);
    ASSERT_EQ(h[0].events.size(), 1u);
    EXPECT_EQ(h[0].events[0].user, "alice");
    EXPECT_EQ(h[0].events[0].activity, "Check-Out");
    EXPECT_EQ(h[0].events[0].comment, "first look");
    EXPECT_EQ(h[0].events[0].changeId, "ECN-1");
}

TEST_F(Res0603Test, TheHistoryInOrderUnderAPinnedClock) {
    const std::string f = uidOf(newFolder("Pinned"));
    ASSERT_EQ(P::CLOCK_pin("2026-03-04T05:06:07"), 0);
    ASSERT_TRUE(invoke(kRes, "checkout", checkout({f}, "edit <1>", "CH-1")).find("partialError") == std::string::npos);
    ASSERT_TRUE(invoke(kRes, "checkin", objects("CheckinInput", {f})).find("partialError") == std::string::npos);
    ASSERT_EQ(P::CLOCK_pin("2026-12-31T23:59:58"), 0);
    ASSERT_TRUE(invoke(kRes, "checkout", checkout({f})).find("partialError") == std::string::npos);
    ASSERT_TRUE(invoke(kRes, "cancelCheckout", objects("CancelCheckoutInput", {f})).find("partialError") ==
                std::string::npos);
    ASSERT_TRUE(invoke(kRes, "checkout", checkout({f}, "again", "CH-2")).find("partialError") == std::string::npos);

    Parsed r(invoke(kRes, "getReservationHistory", objects("GetReservationHistoryInput", {f})));
    EXPECT_EQ(r.list("plainObj"), std::vector<std::string>{f});
    auto h = historiesOf(r);
    ASSERT_EQ(h.size(), 1u) << r.text;
    EXPECT_EQ(h[0].object, f);
    const std::vector<Event> expected = {
        {"2026-03-04 05:06:07", "admin", "Check-Out", "CH-1", "edit <1>"},
        {"2026-03-04 05:06:07", "admin", "Check-In", "CH-1", "edit <1>"},
        {"2026-12-31 23:59:58", "admin", "Check-Out", "", ""},
        {"2026-12-31 23:59:58", "admin", "Cancel Check-Out", "", ""},
        {"2026-12-31 23:59:58", "admin", "Check-Out", "CH-2", "again"},
    };
    EXPECT_EQ(h[0].events, expected);
    EXPECT_NE(P::CLOCK_pin("2026-13-01T00:00:00"), 0);
}

TEST_F(Res0603Test, HistoriesWithNoEventsAndOneThatCannotBeRead) {
    const std::string quiet = uidOf(newFolder("Quiet"));
    P::FAULT_inject("RES_ask_audit_history", P::ERR_INJECTED, item("DOC-0001"));
    Parsed r(invoke(kRes, "getReservationHistory", objects("GetReservationHistoryInput", {quiet, guide(), widget()})));
    auto h = historiesOf(r);
    ASSERT_EQ(h.size(), 2u) << r.text;
    EXPECT_EQ(h[0].object, quiet);
    EXPECT_TRUE(h[0].events.empty());
    EXPECT_EQ(h[1].object, widget());
    EXPECT_EQ(h[1].events.size(), 1u);
    EXPECT_EQ(r.list("plainObj"), (std::vector<std::string>{quiet, widget()}));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, guide());
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INJECTED});
}

TEST_F(Res0603Test, AHistoryWhoseObjectCannotBeConvertedIsWrittenWithTheNullObject) {
    using Skeleton = Velmora::Services::Core::_2006_03::ReservationIiopSkeleton;
    Skeleton::Reservation::ReservationHistory local;
    local.object = tagOf("NoSuchObject02");
    local.events = {{"d1", "u1", "Check-Out", "c1", "m1"}, {"d2", "u2", "Check-In", "c2", "m2"}};
    auto wire = Skeleton::toWire(local);
    EXPECT_EQ(wire.getObject().getUid(), "");
    ASSERT_EQ(wire.getEventArray().size(), 2u);
    EXPECT_EQ(wire.getEventArray()[1].getDateTime(), "d2");
    EXPECT_EQ(wire.getEventArray()[1].getComment(), "m2");
    int stored = -1;
    ERROR_store_ask(&stored, nullptr, nullptr, nullptr);
    EXPECT_EQ(stored, 0) << "the failed attempt leaves no error behind";
    auto back = Skeleton::toLocal(wire);
    ASSERT_EQ(back.events.size(), 2u);
    EXPECT_EQ(back.events[0].user, "u1");
    EXPECT_EQ(back.events[0].changeId, "c1");
    EXPECT_EQ(back.events[1].activity, "Check-In");
}

TEST_F(Res0603Test, RootNamesAndSpansWithNoObjects) {
    const struct {
        const char* op;
        std::string request;
        const char* root;
    } cases[] = {
        {"checkout", "<CheckoutInput/>", "ServiceData"},
        {"checkin", "<CheckinInput/>", "ServiceData"},
        {"cancelCheckout", "<CancelCheckoutInput/>", "ServiceData"},
        {"getReservationHistory", "<GetReservationHistoryInput/>", "GetReservationHistoryResponse"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        P::MONITOR_clear();
        Parsed r(invoke(kRes, c.op, c.request));
        EXPECT_EQ(r.root->name(), c.root) << r.text;
        EXPECT_TRUE(r.list("updatedObj").empty());
        EXPECT_TRUE(historiesOf(r).empty());
        const std::string a = std::string("Velmora::Soa::Core::_2006_03::ReservationIiopSkeleton::") + c.op;
        const std::string b = std::string("Velmora::Soa::Core::_2006_03::ReservationImpl::") + c.op;
        EXPECT_EQ(vl::test::spanLog(), vl::test::fourSpans(a, b));
    }
}

TEST_F(Res0603Test, ReservationsAreStoreState) {
    const tag_t f = newFolder("Kept");
    const std::string uid = uidOf(f);
    int mark = 0;
    ASSERT_EQ(POM_place_markpoint(&mark), 0);
    ASSERT_TRUE(invoke(kRes, "checkout", checkout({uid})).find("partialError") == std::string::npos);
    bool changed = false;
    ASSERT_EQ(POM_roll_to_markpoint(mark, &changed), 0);
    EXPECT_TRUE(history({uid})[0].events.empty()) << "rolled back";

    // Gone with the object, and back with it.
    ASSERT_TRUE(invoke(kRes, "checkout", checkout({uid})).find("partialError") == std::string::npos);
    ASSERT_EQ(POM_place_markpoint(&mark), 0);
    ASSERT_EQ(AOM_delete(f), 0);
    EXPECT_TRUE(history({uid}).empty());
    ASSERT_EQ(POM_roll_to_markpoint(mark, &changed), 0);
    ASSERT_EQ(POM_forget_markpoint(mark), 0);
    EXPECT_EQ(history({uid})[0].events.size(), 1u);
    Parsed twice(invoke(kRes, "checkout", checkout({uid})));
    ASSERT_EQ(twice.errors().size(), 1u) << twice.text;
    EXPECT_EQ(twice.errors()[0].codes, std::vector<int>{P::ERR_ALREADY_RESERVED});

    // A reset brings the fixture's reservations back, and only those.
    P::SITE_reset();
    EXPECT_EQ(history({widget()})[0].events.size(), 1u);
}

}  // namespace
