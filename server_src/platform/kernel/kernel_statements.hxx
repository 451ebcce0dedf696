#pragma once
// The fixture statements of the kernel (docs/site-format.md): the session
// after load with its project and work context, preferences of every level,
// the server switches and the module number.
#include "site/fixture_statement.hxx"

namespace vl::platform::kernel {
site::Statements fixtureStatements();
}  // namespace vl::platform::kernel
