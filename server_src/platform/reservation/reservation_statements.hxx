#pragma once
// The fixture statement of reservations (docs/site-format.md): an object
// checked out by a user.
#include "site/fixture_statement.hxx"

namespace vl::platform::reservation {
site::Statements fixtureStatements();
}  // namespace vl::platform::reservation
