#pragma once
// The fixture statements of datasets (docs/site-format.md): tools, dataset
// types with their named references, and datasets.
#include "site/fixture_statement.hxx"

namespace vl::platform::ae {
site::Statements fixtureStatements();
}  // namespace vl::platform::ae
