#pragma once
// The fixture language's own statements (docs/site-format.md): its version,
// and the classes and attributes of the schema the loader builds.
#include "site/fixture_statement.hxx"

namespace vl::platform::site {
Statements fixtureStatements();
}  // namespace vl::platform::site
