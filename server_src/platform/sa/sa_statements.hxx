#pragma once
// The fixture statements of administration (docs/site-format.md): sites,
// groups, roles, users, group members and volumes.
#include "site/fixture_statement.hxx"

namespace vl::platform::sa {
site::Statements fixtureStatements();
}  // namespace vl::platform::sa
