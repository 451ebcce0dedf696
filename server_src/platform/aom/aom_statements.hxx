#pragma once
// The fixture statements of the object model (docs/site-format.md): business
// types, item types with their revision and master-form types, relation
// types, deep-copy rules, file-held form types, units of measure, and the
// folders, forms, items, revisions, relations and property values of the
// initial objects.
#include "site/fixture_statement.hxx"

namespace vl::platform::aom {
site::Statements fixtureStatements();
}  // namespace vl::platform::aom
