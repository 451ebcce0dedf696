#include "ps/ps.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <algorithm>
#include <climits>
#include <unordered_set>
#include <vector>

using namespace vl::platform;
using namespace vl::platform::store;

namespace vl::platform::ps {

const char* const kSchema = R"(
class PSOccurrence POM_application_object
attr PSOccurrence parent_rev typedref ref=ItemRevision system backref
attr PSOccurrence child untypedref system
class AppearanceGroup WorkspaceObject
class RevisionRule WorkspaceObject
)";

}  // namespace vl::platform::ps

namespace {

[[maybe_unused]] const bool kRegistered = registerLoadedClass("PSOccurrence", &makeLoaded<PSOccurrence>) &&
                                          registerLoadedClass("AppearanceGroup", &makeLoaded<AppearanceGroup>) &&
                                          registerLoadedClass("RevisionRule", &makeLoaded<RevisionRule>);

// Occurrences whose child is `child` (tags: in creation order).
void occurrencesOf(tag_t child, std::vector<tag_t>* out) {
    for (tag_t from : referencersOf(child)) {
        const Object* o = find(from);
        if (o->cls->isA("PSOccurrence") && getTag(*o, "child") == child) out->push_back(from);
    }
}

// What an occurrence's child stands for under a revision rule.
tag_t resolveChild(tag_t child) {
    const Object* c = find(child);
    if (!c) return 0;
    if (!c->cls->isA("Item")) return child;
    std::vector<tag_t> revs = getTags(*c, "revision_list");
    return revs.empty() ? 0 : revs.back();
}

enum class Mode { Precise, All, Configured };

// The distinct live parents of `node` under the mode, in the creation order
// of the occurrences that lead to them.
std::vector<tag_t> parentsOf(tag_t node, Mode mode) {
    std::vector<tag_t> occs;
    occurrencesOf(node, &occs);
    const Object* n = find(node);
    tag_t item = n && n->cls->isA("ItemRevision") ? getTag(*n, "items_tag") : 0;
    if (item && mode != Mode::Precise) {
        std::size_t pinned = occs.size();
        occurrencesOf(item, &occs);
        if (mode == Mode::Configured) {
            // Unpinned occurrences stand for the node only when it is the latest.
            if (resolveChild(item) != node) occs.resize(pinned);
        } else if (const Object* io = find(item)) {
            for (tag_t r : getTags(*io, "revision_list"))
                if (r != node) occurrencesOf(r, &occs);
        }
    }
    std::sort(occs.begin(), occs.end());
    std::vector<tag_t> parents;
    for (tag_t occ : occs) {
        tag_t p = getTag(*find(occ), "parent_rev");
        const Object* po = find(p);
        if (po && po->cls->isA("ItemRevision") && std::find(parents.begin(), parents.end(), p) == parents.end())
            parents.push_back(p);
    }
    return parents;
}

// Out parameters say nothing until a query succeeds, even an injected failure.
void clearOuts(int* count, int** levels, tag_t** parents) {
    if (count) *count = 0;
    if (levels) *levels = nullptr;
    if (parents) *parents = nullptr;
}

int whereUsed(tag_t start, Mode mode, int depth, int* count, int** levels, tag_t** parents) {
    if (!count || !levels || !parents) return fail(ERR_BAD_ARGUMENT, "where-used needs its three out parameters");
    Object* o = nullptr;
    if (int rc = need(start, &o)) return rc;
    if (!o->cls->isA("ItemRevision") && !o->cls->isA("AppearanceGroup"))
        return fail(ERR_WRONG_CLASS, "not an item revision or appearance group: " + o->uid);
    const int maxLevel = depth >= 1 ? depth : depth == -1 ? INT_MAX : 1;

    // An explicit stack: structures may be far deeper than the call stack.
    struct Frame {
        tag_t node;
        std::vector<tag_t> parents;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    std::vector<int> outLevels;
    std::vector<tag_t> outParents;
    // Revisions on the current path: PS_create_occurrence keeps structures
    // acyclic, and this keeps the walk finite even if one were not.
    std::unordered_set<tag_t> onPath{start};
    stack.push_back(Frame{start, parentsOf(start, mode)});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.parents.size()) {
            onPath.erase(top.node);
            stack.pop_back();
            continue;
        }
        tag_t p = top.parents[top.next++];
        const int level = static_cast<int>(stack.size());
        outLevels.push_back(level);
        outParents.push_back(p);
        if (level < maxLevel && onPath.insert(p).second) stack.push_back(Frame{p, parentsOf(p, mode)});
    }
    *levels = SM_copy_array(outLevels);
    *parents = SM_copy_array(outParents);
    *count = static_cast<int>(outParents.size());
    return 0;
}

// The item a child of an occurrence belongs to (0 for a group).
tag_t itemOf(const Object& child) {
    if (child.cls->isA("Item")) return child.tag;
    if (child.cls->isA("ItemRevision")) return getTag(child, "items_tag");
    return 0;
}

// Whether `target` uses `item`, directly or through any structure above it,
// counting occurrences of the item's every revision (the widest query).
bool usesItem(tag_t target, tag_t item) {
    std::unordered_set<tag_t> seen{item};
    std::vector<tag_t> todo{item};
    while (!todo.empty()) {
        tag_t x = todo.back();
        todo.pop_back();
        std::vector<tag_t> occs;
        occurrencesOf(x, &occs);
        if (const Object* xo = find(x))
            for (tag_t r : getTags(*xo, "revision_list")) occurrencesOf(r, &occs);
        for (tag_t occ : occs) {
            const Object* parent = find(getTag(*find(occ), "parent_rev"));
            if (!parent) continue;
            tag_t above = getTag(*parent, "items_tag");
            if (above == target) return true;
            if (above && seen.insert(above).second) todo.push_back(above);
        }
    }
    return false;
}

int createNamed(const char* className, const char* name, tag_t* made) {
    if (made) *made = 0;
    if (!name || !*name) return fail(ERR_BAD_ARGUMENT, std::string("a ") + className + " needs a name");
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    const TypeDef* t = typeNamed(className);
    if (!t) return fail(ERR_TYPE_NOT_FOUND, className);
    PropertyDescriptor* dn = descriptorOfType(t->tag, "object_name");
    if (dn && dn->m_maxLength > 0 && static_cast<int>(std::string(name).size()) > dn->m_maxLength)
        return fail(ERR_STRING_TOO_LONG, "object_name");
    Object& o = create(t->cls, t->tag);
    initValue(o, "object_name", std::vector<std::string>{name});
    if (made) *made = o.tag;
    return 0;
}

}  // namespace

tag_t PSOccurrence::parent() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "parent_rev") : 0;
}

tag_t PSOccurrence::child() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "child") : 0;
}

bool PSOccurrence::isPinned() const {
    const Object* c = find(child());
    return c && c->cls->isA("ItemRevision");
}

status_t RevisionRule::resolve(unsigned int occurrence, unsigned int* resolved) const {
    if (resolved) *resolved = 0;
    if (int rc = need(tag(), "RevisionRule", nullptr)) return status_t(rc);
    Object* occ = nullptr;
    if (int rc = need(occurrence, "PSOccurrence", &occ)) return status_t(rc);
    if (resolved) *resolved = resolveChild(getTag(*occ, "child"));
    return status_t::OK;
}

int PS_create_occurrence(tag_t parentRevision, tag_t child, tag_t* occurrence) {
    VL_ENTER("PS_create_occurrence", parentRevision);
    if (occurrence) *occurrence = 0;
    Object* parent = nullptr;
    if (int rc = need(parentRevision, "ItemRevision", &parent)) return rc;
    Object* c = nullptr;
    if (int rc = need(child, &c)) return rc;
    if (!c->cls->isA("Item") && !c->cls->isA("ItemRevision") && !c->cls->isA("AppearanceGroup"))
        return fail(ERR_WRONG_CLASS, "not an item, item revision or appearance group: " + c->uid);
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    if (parent->readOnly) return fail(ERR_READ_ONLY_OBJECT, parent->uid);
    if (!canWrite(*parent)) return fail(ERR_NO_ACCESS, parent->uid);
    tag_t parentItem = getTag(*parent, "items_tag");
    tag_t childItem = itemOf(*c);
    if (childItem && (childItem == parentItem || usesItem(childItem, parentItem)))
        return fail(ERR_STRUCTURE_CYCLE, parent->uid + " would use itself through " + c->uid);
    Object& o = create("PSOccurrence");
    initValue(o, "parent_rev", std::vector<tag_t>{parentRevision});
    initValue(o, "child", std::vector<tag_t>{child});
    if (int rc = save(o)) return rc;
    unlock(o);
    if (occurrence) *occurrence = o.tag;
    return 0;
}

int PS_create_appearance_group(const char* name, tag_t* group) {
    VL_ENTER("PS_create_appearance_group", 0);
    return createNamed("AppearanceGroup", name, group);
}

int PS_create_revision_rule(const char* name, tag_t* rule) {
    VL_ENTER("PS_create_revision_rule", 0);
    return createNamed("RevisionRule", name, rule);
}

int PS_where_used_precise(tag_t revision, int depth, int* count, int** levels, tag_t** parents) {
    clearOuts(count, levels, parents);
    VL_ENTER("PS_where_used_precise", revision);
    return whereUsed(revision, Mode::Precise, depth, count, levels, parents);
}

int PS_where_used_all(tag_t revision, int depth, int* count, int** levels, tag_t** parents) {
    clearOuts(count, levels, parents);
    VL_ENTER("PS_where_used_all", revision);
    return whereUsed(revision, Mode::All, depth, count, levels, parents);
}

int PS_where_used_configured(tag_t revision, tag_t rule, int depth, int* count, int** levels, tag_t** parents) {
    clearOuts(count, levels, parents);
    VL_ENTER("PS_where_used_configured", revision);
    if (int rc = need(rule, "RevisionRule", nullptr)) return rc;
    return whereUsed(revision, Mode::Configured, depth, count, levels, parents);
}
