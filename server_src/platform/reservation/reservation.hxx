#pragma once
// Reservations: a workspace object checked out for change by one user (with
// a comment and a change id), at most one at a time, and the object's audit
// history of check-outs, check-ins and cancellations. The state belongs to
// the store: a roll-back or a site reset undoes it, and it goes with the
// object.
#include "pom/pom_types.hxx"

#include <string>

// Reserves the object for the session user; needs WRITE on it and refuses an
// object checked out already. `unused` and `mode` are accepted as given.
int RES_checkout(tag_t object, const char* comment, const char* changeId, const char* unused, int mode);
// Gives the reservation back; refused for an object not checked out, or
// checked out by another user.
int RES_checkin(tag_t object);
// Cancels the check-out, with the same refusals as check-in; `unused` is
// accepted as given.
int RES_cancel_checkout(tag_t object, bool unused);
// The object's events, oldest first: date-times ("YYYY-MM-DD HH:MM:SS", UTC,
// the store's clock), user ids, activities ("Check-Out", "Check-In",
// "Cancel Check-Out"), change ids and comments, each array one SM block (also
// for no events). On failure the count is 0 and every array null.
int RES_ask_audit_history(tag_t object, int* count, char*** dateTimes, char*** users, char*** activities,
                          char*** changeIds, char*** comments);

namespace vl::platform {
// For platform code (the fixture): checks the object out for `user` as of
// now, with no privilege check.
int RES_checkout_as(tag_t object, tag_t user, const std::string& comment, const std::string& changeId);
}  // namespace vl::platform
