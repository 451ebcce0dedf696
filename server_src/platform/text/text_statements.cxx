// The text statement: a later text of a key replaces an earlier one.
#include "text/text_statements.hxx"

#include "text/text_state.hxx"

namespace vl::platform::text {

namespace {

using namespace site;
using namespace store;

void doText(Args& a, Fixture&) {
    extension<Texts>().byKey[a.word(0, "text key")] = a.word(1, "text");
    a.consumed(2);
}

const Statement kStatements[] = {
    {"text", doText},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::text
