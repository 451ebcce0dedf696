#pragma once
// The fixture statements of product structure (docs/site-format.md):
// appearance groups, revision rules and occurrences.
#include "site/fixture_statement.hxx"

namespace vl::platform::ps {
site::Statements fixtureStatements();
}  // namespace vl::platform::ps
