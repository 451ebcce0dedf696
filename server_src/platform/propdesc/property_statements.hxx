#pragma once
// The fixture statements of property descriptors (docs/site-format.md):
// lists of values, property rules, naming rules with the properties they
// bind, and pseudo-folder properties.
#include "site/fixture_statement.hxx"

namespace vl::platform::propdesc {
site::Statements fixtureStatements();
}  // namespace vl::platform::propdesc
