// The checkout statement: the object reserved for the named user without a
// privilege check, as of the load.
#include "reservation/reservation_statements.hxx"

#include "reservation/reservation.hxx"

namespace vl::platform::reservation {

namespace {

using namespace site;
using namespace store;

void doCheckout(Args& a, Fixture& f) {
    tag_t object = f.objectRef(a.word(0, "@label"));
    a.consumed(1);
    std::string user = a.need("user");
    tag_t u = existing("User", user, "user");
    f.check(RES_checkout_as(object, u, a.opt("comment"), a.opt("change")), "checkout");
}

const Statement kStatements[] = {
    {"checkout", doCheckout},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::reservation
