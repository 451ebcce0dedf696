#pragma once
// The fixture statements of files (docs/site-format.md): the transient
// volume root and the files of datasets.
#include "site/fixture_statement.hxx"

namespace vl::platform::filetickets {
site::Statements fixtureStatements();
}  // namespace vl::platform::filetickets
