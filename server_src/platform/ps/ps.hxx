#pragma once
// Product structure. An occurrence ties a parent item revision to a child:
// an item (unpinned: it stands for whichever revision a rule chooses), one
// of its revisions (pinned) or an appearance group. A revision rule resolves
// a pinned occurrence to its revision and an unpinned one to its item's
// latest revision. The where-used queries walk occurrences upwards.
#include "foundation/ifail.hxx"
#include "aom/loaded_objects.hxx"
#include "pom/pom_types.hxx"

// Loaded objects of the product-structure classes (what Tag::object hands out).
class PSOccurrence : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "PSOccurrence"; }
    tag_t parent() const;  // the item revision that holds it
    tag_t child() const;   // item, item revision or appearance group
    bool isPinned() const;  // the child is a revision
};

class AppearanceGroup : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "AppearanceGroup"; }
};

class RevisionRule : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "RevisionRule"; }
    // What the occurrence stands for under the rule: a pinned one's revision,
    // an unpinned one's item's latest revision (null when the item has none),
    // a group itself.
    status_t resolve(unsigned int occurrence, unsigned int* resolved) const;
};

// A new occurrence of `child` in `parentRevision`, saved at once (the
// structure is committed like the platform's other lists). Needs WRITE on the
// parent; refused with ERR_STRUCTURE_CYCLE when the parent would then use
// itself (directly or through any revision of the items above it), so every
// where-used walk ends.
int PS_create_occurrence(tag_t parentRevision, tag_t child, tag_t* occurrence);
// A new appearance group or revision rule, open for change like other new objects.
int PS_create_appearance_group(const char* name, tag_t* group);
int PS_create_revision_rule(const char* name, tag_t* rule);

// Where-used queries from an item revision or an appearance group. Each level
// repeats the test on the parents found: depth n >= 1 gives n levels, -1 all
// of them, any other value one. A parent's own parents follow it directly
// (depth first, pre-order); a parent reached along two paths is listed on
// each, but once per revision it is found for. Levels count from 1. The two
// arrays (`count` entries each) are two SM blocks, also when empty.
//   precise:    parents whose occurrences pin the revision (or hold the group);
//   all:        parents whose occurrences name its item, pinned to any of its
//               revisions or not (or hold the group);
//   configured: parents whose occurrences `rule` resolves to it; a tag that
//               is no revision rule is refused.
int PS_where_used_precise(tag_t revision, int depth, int* count, int** levels, tag_t** parents);
int PS_where_used_all(tag_t revision, int depth, int* count, int** levels, tag_t** parents);
int PS_where_used_configured(tag_t revision, tag_t rule, int depth, int* count, int** levels, tag_t** parents);

namespace vl::platform::ps {
// The product-structure classes, in the fixture language; the loader reads
// them after the built-in schema.
extern const char* const kSchema;
}  // namespace vl::platform::ps
