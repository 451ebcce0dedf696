// Product-structure objects are made through the PS calls as their owner;
// an occurrence as the parent revision's owner, a cycle refused by name.
#include "ps/ps_statements.hxx"

#include "foundation/error_codes.hxx"
#include "ps/ps.hxx"

namespace vl::platform::ps {

namespace {

using namespace site;
using namespace store;

void doAppearanceGroup(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t made = 0;
    f.asOwner(a, [&] { f.check(PS_create_appearance_group(a.need("name").c_str(), &made), "appearance group"); });
    f.placeObject(a, label, made);
}

void doRevisionRule(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t made = 0;
    f.asOwner(a, [&] { f.check(PS_create_revision_rule(a.need("name").c_str(), &made), "revision rule"); });
    f.placeObject(a, label, made);
}

void doBom(Args& a, Fixture& f) {
    const std::string parentLabel = a.word(0, "@parent revision"), childLabel = a.word(1, "@child");
    tag_t parent = f.objectRef(parentLabel);
    tag_t child = f.objectRef(childLabel);
    a.consumed(2);
    if (!find(parent)->cls->isA("ItemRevision")) bad(parentLabel + " is not an item revision");
    tag_t occurrence = 0;
    int rc = f.asOwnerOf(parent, [&] { return PS_create_occurrence(parent, child, &occurrence); });
    if (rc == ERR_STRUCTURE_CYCLE) bad(parentLabel + " would become its own ancestor through " + childLabel);
    f.check(rc, "bom");
}

const Statement kStatements[] = {
    {"appearancegroup", doAppearanceGroup, Needs::descriptors},
    {"revisionrule", doRevisionRule, Needs::descriptors},
    {"bom", doBom},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::ps
