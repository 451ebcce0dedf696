#include "reservation/reservation.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "sm/sm.hxx"

#include <cstdio>
#include <optional>
#include <unordered_map>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

struct Held {
    tag_t user = 0;
    std::string comment, changeId;
};

struct Event {
    std::string dateTime, user, activity, changeId, comment;
};

struct ReservationState final : Extension {
    static constexpr const char* kName = "reservations";
    std::unordered_map<tag_t, Held> held;
    std::unordered_map<tag_t, std::vector<Event>> history;

    std::unique_ptr<Extension> clone() const override { return std::make_unique<ReservationState>(*this); }
    void objectGone(tag_t object) override;
    std::string dump() const override {
        std::vector<std::string> lines;
        for (const auto& [object, h] : held)
            lines.push_back("held " + std::to_string(object) + " " + std::to_string(h.user) + " " + h.comment + "|" +
                            h.changeId);
        for (const auto& [object, events] : history) {
            std::string line = "history " + std::to_string(object);
            for (const Event& e : events)
                line += " [" + e.dateTime + "|" + e.user + "|" + e.activity + "|" + e.changeId + "|" + e.comment + "]";
            lines.push_back(std::move(line));
        }
        return joinSorted(std::move(lines));
    }
};

ReservationState& state() { return extension<ReservationState>(); }

// Journals the object's reservation and history as they are now, so that a
// roll-back brings both back. A change that only appends to the history
// (check-out, check-in, cancel) journals its length, not a copy: copying it
// made each event cost as much as the history before it; until the roll-back
// a history only grows at its end, or goes with its object (objectGone,
// which journals it whole).
void remember(tag_t object, bool wholeHistory) {
    ReservationState& st = state();
    std::optional<Held> held;
    if (auto it = st.held.find(object); it != st.held.end()) held = it->second;
    std::optional<std::vector<Event>> events;
    std::optional<std::size_t> length;
    if (auto it = st.history.find(object); it != st.history.end()) {
        if (wholeHistory)
            events = it->second;
        else
            length = it->second.size();
    }
    journalUndo([object, held, events = std::move(events), length] {
        ReservationState& now = state();
        if (held)
            now.held[object] = *held;
        else
            now.held.erase(object);
        if (events)
            now.history[object] = *events;
        else if (length)
            now.history[object].resize(*length);
        else
            now.history.erase(object);
    });
}

void ReservationState::objectGone(tag_t object) {
    if (!held.count(object) && !history.count(object)) return;
    remember(object, true);
    held.erase(object);
    history.erase(object);
}

std::string stamp() {
    const date_s d = now();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month + 1, d.day, d.hour, d.minute,
                  d.second);
    return buf;
}

std::string userId(tag_t user) {
    const Object* u = find(user);
    return u ? getString(*u, "user_id") : std::string();
}

int needReservable(tag_t object, Object** out) { return need(object, "WorkspaceObject", out); }

void record(tag_t object, tag_t user, const char* activity, const Held& h) {
    state().history[object].push_back({stamp(), userId(user), activity, h.changeId, h.comment});
}

int checkOut(tag_t object, tag_t user, const std::string& comment, const std::string& changeId) {
    if (state().held.count(object)) return failAbout(ERR_ALREADY_RESERVED, find(object)->uid);
    remember(object, false);
    Held h{user, comment, changeId};
    state().held[object] = h;
    record(object, user, "Check-Out", h);
    return 0;
}

// Check-in and cancel: the holder gives the reservation back.
int giveBack(tag_t object, const char* activity) {
    Object* o = nullptr;
    if (int rc = needReservable(object, &o)) return rc;
    auto it = state().held.find(object);
    if (it == state().held.end()) return failAbout(ERR_NOT_RESERVED, o->uid);
    const tag_t user = currentUser();
    if (it->second.user != user) return failAbout(ERR_RESERVED_BY_OTHER, o->uid);
    remember(object, false);
    Held h = it->second;
    state().held.erase(it);
    record(object, user, activity, h);
    return 0;
}

}  // namespace

int RES_checkout(tag_t object, const char* comment, const char* changeId, const char*, int) {
    VL_ENTER("RES_checkout", object);
    Object* o = nullptr;
    if (int rc = needReservable(object, &o)) return rc;
    if (o->readOnly) return failAbout(ERR_READ_ONLY_OBJECT, o->uid);
    if (!canWrite(*o)) return failAbout(ERR_NO_ACCESS, o->uid);
    return checkOut(object, currentUser(), comment ? comment : "", changeId ? changeId : "");
}

int RES_checkin(tag_t object) {
    VL_ENTER("RES_checkin", object);
    return giveBack(object, "Check-In");
}

int RES_cancel_checkout(tag_t object, bool) {
    VL_ENTER("RES_cancel_checkout", object);
    return giveBack(object, "Cancel Check-Out");
}

int RES_ask_audit_history(tag_t object, int* count, char*** dateTimes, char*** users, char*** activities,
                          char*** changeIds, char*** comments) {
    char*** outs[] = {dateTimes, users, activities, changeIds, comments};
    if (count) *count = 0;
    for (char*** out : outs)
        if (out) *out = nullptr;
    VL_ENTER("RES_ask_audit_history", object);
    if (int rc = needReservable(object, nullptr)) return rc;
    static const std::vector<Event> none;
    auto it = state().history.find(object);
    const std::vector<Event>& events = it == state().history.end() ? none : it->second;
    std::string Event::*fields[] = {&Event::dateTime, &Event::user, &Event::activity, &Event::changeId,
                                    &Event::comment};
    for (int k = 0; k < 5; ++k) {
        if (!outs[k]) continue;
        std::vector<const char*> texts;
        texts.reserve(events.size());
        for (const Event& e : events) texts.push_back((e.*fields[k]).c_str());
        *outs[k] = SM_pack_strings(texts.data(), static_cast<int>(texts.size()));
    }
    if (count) *count = static_cast<int>(events.size());
    return 0;
}

int vl::platform::RES_checkout_as(tag_t object, tag_t user, const std::string& comment, const std::string& changeId) {
    if (int rc = needReservable(object, nullptr)) return rc;
    if (!find(user) || !find(user)->cls->isA("User")) return failAbout(ERR_NOT_FOUND, "no such user");
    return checkOut(object, user, comment, changeId);
}
