#pragma once
// The fixture statement of the text server (docs/site-format.md): a text by
// its key.
#include "site/fixture_statement.hxx"

namespace vl::platform::text {
site::Statements fixtureStatements();
}  // namespace vl::platform::text
