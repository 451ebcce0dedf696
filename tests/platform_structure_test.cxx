// Product structure on the default site: occurrences, revision rules, the
// three where-used queries, and the fixture statements that build them.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "gateway/login.hxx"
#include "platform_test_support.hxx"
#include "pom/soa_view.hxx"
#include "ps/ps.hxx"
#include "tag/tag.hxx"

#include <pthread.h>

#include <map>
#include <string>
#include <vector>

using namespace vl::platform;

namespace {

using Found = std::vector<std::pair<std::string, int>>;  // (parent's "<item id>/<rev id>", level)

std::string nameOf(tag_t rev) {
    tag_t item = 0;
    ITEM_ask_item_of_rev(rev, &item);
    char* id = nullptr;
    char* revId = nullptr;
    ITEM_ask_id(item, &id);
    ITEM_ask_rev_id(rev, &revId);
    std::string s = std::string(id ? id : "?") + "/" + (revId ? revId : "?");
    SM_free(id);
    SM_free(revId);
    return s;
}

struct PlatformStructure : vl::test::SiteTest {
    static tag_t rev(const char* itemId, const char* revId) {
        tag_t item = 0, r = 0;
        ITEM_find_item(itemId, &item);
        ITEM_find_revision(item, revId, &r);
        return r;
    }
    static tag_t item(const char* itemId) {
        tag_t t = 0;
        ITEM_find_item(itemId, &t);
        return t;
    }
    static tag_t rule() { return uidToTag("LatestWorking"); }
    static tag_t bolts() { return uidToTag("FrameBolts"); }

    enum Query { Precise, All, Configured };
    // Runs a query, checks the two blocks and frees them.
    Found query(Query q, tag_t start, int depth, tag_t ruleTag = rule()) {
        int n = -1;
        int* levels = nullptr;
        tag_t* parents = nullptr;
        long before = SM_outstanding_blocks();
        int rc = q == Precise ? PS_where_used_precise(start, depth, &n, &levels, &parents)
                 : q == All   ? PS_where_used_all(start, depth, &n, &levels, &parents)
                              : PS_where_used_configured(start, ruleTag, depth, &n, &levels, &parents);
        EXPECT_EQ(rc, 0);
        EXPECT_EQ(SM_outstanding_blocks(), before + 2) << "two blocks, also when nothing is found";
        EXPECT_NE(levels, nullptr);
        EXPECT_NE(parents, nullptr);
        Found out;
        for (int i = 0; i < n; ++i) out.emplace_back(nameOf(parents[i]), levels[i]);
        SM_free(levels);
        SM_free(parents);
        return out;
    }
};

// The default site: CRT-0400/A pins FRM-0300/A, which holds BRK-0200
// unpinned and the bolts group; BRK-0200/A holds the widget unpinned and
// BRK-0200/B pins its revision A. The widget has only A, the bracket A and B.
TEST_F(PlatformStructure, TheThreeQueriesWalkTheDefaultAssembly) {
    const tag_t widgetA = rev("000100", "A"), bracketA = rev("BRK-0200", "A"), frameA = rev("FRM-0300", "A"),
                cartA = rev("CRT-0400", "A");
    struct Case {
        const char* what;
        Query q;
        tag_t start;
        int depth;
        Found expected;
    };
    const Found allFromWidget = {{"BRK-0200/A", 1}, {"FRM-0300/A", 2}, {"CRT-0400/A", 3},
                                 {"BRK-0200/B", 1}, {"FRM-0300/A", 2}, {"CRT-0400/A", 3}};
    const Found oneLevel = {{"BRK-0200/A", 1}, {"BRK-0200/B", 1}};
    const Case cases[] = {
        {"precise: only the pinning parent, whose item is used unpinned above", Precise, widgetA, -1,
         {{"BRK-0200/B", 1}}},
        {"all: every parent naming the item, each followed by its own, the frame on both paths", All, widgetA, -1,
         allFromWidget},
        {"configured: the frame's unpinned bracket is B, so A stops", Configured, widgetA, -1,
         {{"BRK-0200/A", 1}, {"BRK-0200/B", 1}, {"FRM-0300/A", 2}, {"CRT-0400/A", 3}}},
        {"depth 1", All, widgetA, 1, oneLevel},
        {"depth 2", All, widgetA, 2, {{"BRK-0200/A", 1}, {"FRM-0300/A", 2}, {"BRK-0200/B", 1}, {"FRM-0300/A", 2}}},
        {"depth beyond the top", All, widgetA, 9, allFromWidget},
        {"depth 0 gives one level", All, widgetA, 0, oneLevel},
        {"depth -2 gives one level", All, widgetA, -2, oneLevel},
        {"depth -7 gives one level", All, widgetA, -7, oneLevel},
        {"precise from the unpinned bracket", Precise, bracketA, -1, {}},
        {"all from the bracket's other revision", All, bracketA, -1, {{"FRM-0300/A", 1}, {"CRT-0400/A", 2}}},
        {"configured from the latest bracket", Configured, rev("BRK-0200", "B"), -1,
         {{"FRM-0300/A", 1}, {"CRT-0400/A", 2}}},
        {"precise from the frame", Precise, frameA, -1, {{"CRT-0400/A", 1}}},
        {"the top is used nowhere", All, cartA, -1, {}},
        {"a group, precise", Precise, bolts(), -1, {{"FRM-0300/A", 1}, {"CRT-0400/A", 2}}},
        {"a group, all", All, bolts(), 1, {{"FRM-0300/A", 1}}},
        {"a group, configured", Configured, bolts(), -1, {{"FRM-0300/A", 1}, {"CRT-0400/A", 2}}},
    };
    for (const Case& c : cases) EXPECT_EQ(query(c.q, c.start, c.depth), c.expected) << c.what;
    EXPECT_EQ(SM_outstanding_blocks(), blocksAtStart);
}

TEST_F(PlatformStructure, TheRuleFollowsTheItemsLatestRevision) {
    const tag_t widgetA = rev("000100", "A");
    tag_t widgetB = 0;
    ASSERT_EQ(ITEM_copy_rev(widgetA, "B", &widgetB), 0);
    EXPECT_EQ(query(Configured, widgetA, -1), (Found{{"BRK-0200/B", 1}, {"FRM-0300/A", 2}, {"CRT-0400/A", 3}}))
        << "the unpinned use now stands for B";
    EXPECT_EQ(query(Configured, widgetB, -1), (Found{{"BRK-0200/A", 1}}));
    EXPECT_EQ(query(Precise, widgetB, -1), Found{}) << "nothing pins B";
    EXPECT_EQ(query(All, widgetB, 1), (Found{{"BRK-0200/A", 1}, {"BRK-0200/B", 1}}));

    // The loaded objects: an occurrence knows its ends, the rule resolves it.
    RevisionRule* r = nullptr;
    ASSERT_EQ(Tag(rule()).object(RevisionRule::pomClassName(), &r), status_t::OK);
    std::map<tag_t, tag_t> resolved;  // parent -> what its widget occurrence stands for
    for (tag_t use : {item("000100"), widgetA}) {
        int c = 0;
        int* l = nullptr;
        tag_t* refs = nullptr;
        char** names = nullptr;
        ASSERT_EQ(WSOM_where_referenced(use, 1, &c, &l, &refs, &names), 0);
        for (int i = 0; i < c; ++i) {
            PSOccurrence* occ = nullptr;
            if (Tag(refs[i]).object(PSOccurrence::pomClassName(), &occ) != status_t::OK) {
                ERROR_store_clear();
                continue;
            }
            EXPECT_EQ(occ->child(), use);
            EXPECT_EQ(occ->isPinned(), use == widgetA);
            tag_t to = 0;
            EXPECT_EQ(r->resolve(refs[i], &to), status_t::OK);
            resolved[occ->parent()] = to;
        }
        SM_free(l);
        SM_free(refs);
        SM_free(names);
    }
    EXPECT_EQ(resolved, (std::map<tag_t, tag_t>{{rev("BRK-0200", "A"), widgetB}, {rev("BRK-0200", "B"), widgetA}}));
    tag_t none = 1;
    EXPECT_EQ(r->resolve(widgetA, &none).code(), ERR_WRONG_CLASS) << "only an occurrence resolves";
    EXPECT_EQ(none, 0u);
    EXPECT_EQ(SM_outstanding_blocks(), blocksAtStart);
}

TEST_F(PlatformStructure, AQueryThatCannotRunFailsWithNothingHandedOut) {
    tag_t folder = 0;
    ASSERT_EQ(FL_create("not a part", "", &folder), 0);
    tag_t gone = 0;
    ASSERT_EQ(FL_create("gone", "", &gone), 0);
    ASSERT_EQ(AOM_delete(gone), 0);
    const tag_t widgetA = rev("000100", "A");
    struct Case {
        const char* what;
        Query q;
        tag_t start, rule;
        int expected;
        const char* inject = nullptr;
    };
    const Case cases[] = {
        {"an item is not a revision", Precise, item("000100"), 0, ERR_WRONG_CLASS},
        {"a folder", All, folder, 0, ERR_WRONG_CLASS},
        {"the null tag", Precise, 0, 0, ERR_INVALID_TAG},
        {"a deleted object", All, gone, 0, ERR_INVALID_TAG},
        {"no rule", Configured, widgetA, 0, ERR_INVALID_TAG},
        {"a folder for a rule", Configured, widgetA, folder, ERR_WRONG_CLASS},
        {"a group for a rule", Configured, widgetA, bolts(), ERR_WRONG_CLASS},
        {"a revision for a rule", Configured, widgetA, widgetA, ERR_WRONG_CLASS},
        {"an injected fault", Precise, widgetA, 0, ERR_INJECTED, "PS_where_used_precise"},
        {"an injected fault", All, widgetA, 0, ERR_INJECTED, "PS_where_used_all"},
        {"an injected fault", Configured, widgetA, rule(), ERR_INJECTED, "PS_where_used_configured"},
    };
    for (const Case& c : cases) {
        ERROR_store_clear();
        if (c.inject) FAULT_inject(c.inject, ERR_INJECTED);
        int n = 7;
        int* levels = reinterpret_cast<int*>(&n);
        tag_t* parents = &folder;
        int rc = c.q == Precise ? PS_where_used_precise(c.start, -1, &n, &levels, &parents)
                 : c.q == All   ? PS_where_used_all(c.start, -1, &n, &levels, &parents)
                                : PS_where_used_configured(c.start, c.rule, -1, &n, &levels, &parents);
        EXPECT_EQ(rc, c.expected) << c.what;
        EXPECT_EQ(vl::test::storedCodes(), std::vector<int>{c.expected}) << c.what;
        EXPECT_EQ(n, 0) << c.what;
        EXPECT_EQ(levels, nullptr) << c.what;
        EXPECT_EQ(parents, nullptr) << c.what;
        EXPECT_EQ(SM_outstanding_blocks(), blocksAtStart) << c.what;
    }
    ERROR_store_clear();
    int n = 0;
    int* levels = nullptr;
    EXPECT_EQ(PS_where_used_all(widgetA, 1, &n, &levels, nullptr), ERR_BAD_ARGUMENT);
    EXPECT_EQ(levels, nullptr);
    EXPECT_EQ(SM_outstanding_blocks(), blocksAtStart);
}

TEST_F(PlatformStructure, AnOccurrenceThatWouldMakeARevisionItsOwnAncestorIsRefused) {
    const tag_t widgetA = rev("000100", "A"), bracketA = rev("BRK-0200", "A"), frameA = rev("FRM-0300", "A"),
                cartA = rev("CRT-0400", "A");
    tag_t folder = 0;
    ASSERT_EQ(FL_create("not a part", "", &folder), 0);
    struct Case {
        const char* what;
        tag_t parent, child;
        int expected;
    };
    const Case cases[] = {
        {"a revision in itself", frameA, frameA, ERR_STRUCTURE_CYCLE},
        {"a revision in its own item", frameA, item("FRM-0300"), ERR_STRUCTURE_CYCLE},
        {"another revision of its item", bracketA, rev("BRK-0200", "B"), ERR_STRUCTURE_CYCLE},
        {"the top, three levels up, in the bottom", widgetA, cartA, ERR_STRUCTURE_CYCLE},
        {"the top's item in the middle", frameA, item("CRT-0400"), ERR_STRUCTURE_CYCLE},
        {"the pinning bracket in the widget: a loop through all revisions", widgetA, bracketA,
         ERR_STRUCTURE_CYCLE},
        {"an item as the parent", item("CRT-0400"), widgetA, ERR_WRONG_CLASS},
        {"a folder as the child", cartA, folder, ERR_WRONG_CLASS},
        {"the null child", cartA, 0, ERR_INVALID_TAG},
        {"the null parent", 0, widgetA, ERR_INVALID_TAG},
    };
    long objects = STORE_object_count();
    for (const Case& c : cases) {
        ERROR_store_clear();
        tag_t made = 9;
        EXPECT_EQ(PS_create_occurrence(c.parent, c.child, &made), c.expected) << c.what;
        EXPECT_EQ(vl::test::storedCodes(), std::vector<int>{c.expected}) << c.what;
        EXPECT_EQ(made, 0u) << c.what;
        EXPECT_EQ(STORE_object_count(), objects) << c.what;
    }

    // What stays acyclic is made: the widget used again at the top, the bolts in the widget.
    tag_t made = 0;
    ASSERT_EQ(PS_create_occurrence(cartA, item("000100"), &made), 0);
    EXPECT_EQ(Tag::isValid(made), 0);
    ASSERT_EQ(PS_create_occurrence(widgetA, bolts(), &made), 0);
    EXPECT_EQ(query(Precise, widgetA, -1), (Found{{"BRK-0200/B", 1}}));
    EXPECT_EQ(query(All, widgetA, 1), (Found{{"BRK-0200/A", 1}, {"BRK-0200/B", 1}, {"CRT-0400/A", 1}}));
    EXPECT_EQ(query(All, bolts(), 2), (Found{{"FRM-0300/A", 1}, {"CRT-0400/A", 2}, {"000100/A", 1},
                                             {"BRK-0200/A", 2}, {"BRK-0200/B", 2}, {"CRT-0400/A", 2}}));
}

TEST_F(PlatformStructure, MakingAnOccurrenceNeedsWriteAccessToTheParent) {
    const tag_t cartA = rev("CRT-0400", "A");
    long objects = STORE_object_count();
    VlLoginServiceManager::doLogin("bob", "bob-pw", "", "");
    tag_t made = 0;
    EXPECT_EQ(PS_create_occurrence(cartA, bolts(), &made), ERR_NO_ACCESS) << "alice's cart";
    vl::test::useDefaultSite();
    EXPECT_EQ(STORE_object_count(), objects);
    ASSERT_EQ(OBJ_set_read_only(cartA, true), 0);
    EXPECT_EQ(PS_create_occurrence(cartA, bolts(), &made), ERR_READ_ONLY_OBJECT);
    EXPECT_EQ(STORE_object_count(), objects);
    ASSERT_EQ(OBJ_set_read_only(cartA, false), 0);
    EXPECT_EQ(PS_create_occurrence(cartA, bolts(), &made), 0) << "the administrator may";
}

// A pinned chain far deeper than a recursive walk could go on a small stack.
TEST_F(PlatformStructure, AVeryDeepChainIsWalkedWithoutRecursion) {
    constexpr int kLevels = 5000;
    std::vector<tag_t> revs{rev("000100", "A")};
    for (int i = 1; i <= kLevels; ++i) {
        OstraItem it;
        OstraItemRev r;
        ASSERT_EQ(OstraItem::create("CHAIN-" + std::to_string(i), "", "Item", "A", 0, 0, it, r), 0);
        ASSERT_EQ(PS_create_occurrence(r.tag(), revs.back(), nullptr), 0);
        revs.push_back(r.tag());
    }
    struct Walk {
        tag_t start;
        int n = 0;
        int* levels = nullptr;
        tag_t* parents = nullptr;
        int rc = -1;
    } walk{revs.front()};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 64 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void* p) -> void* {
                      auto* w = static_cast<Walk*>(p);
                      w->rc = PS_where_used_precise(w->start, -1, &w->n, &w->levels, &w->parents);
                      return nullptr;
                  },
                  &walk),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    ASSERT_EQ(walk.rc, 0);
    ASSERT_EQ(walk.n, kLevels + 1) << "the widget's own bracket B, then the chain";
    // The bracket comes first (made first), then the chain, level by level.
    EXPECT_EQ(walk.parents[0], rev("BRK-0200", "B"));
    EXPECT_EQ(walk.levels[0], 1);
    for (int i = 1; i <= kLevels; ++i) {
        ASSERT_EQ(walk.parents[i], revs[i]) << i;
        ASSERT_EQ(walk.levels[i], i) << i;
    }
    SM_free(walk.levels);
    SM_free(walk.parents);
}

TEST_F(PlatformStructure, TheLoadedClassesAnswerTheIsATests) {
    struct Case {
        tag_t tag;
        const char* className;
    };
    const Case cases[] = {
        {bolts(), "AppearanceGroup"},
        {rule(), "RevisionRule"},
        {rev("000100", "A"), "ItemRevision"},
    };
    for (const Case& c : cases) {
        WorkspaceObject* w = nullptr;
        ASSERT_EQ(Tag(c.tag).object(WorkspaceObject::pomClassName(), &w), status_t::OK) << c.className;
        EXPECT_TRUE(w->isA(c.className));
        EXPECT_EQ(w->isA(AppearanceGroup::pomClassName()), c.tag == bolts());
        EXPECT_EQ(dynamic_cast<AppearanceGroup*>(w) != nullptr, c.tag == bolts());
        EXPECT_EQ(dynamic_cast<RevisionRule*>(w) != nullptr, c.tag == rule());
    }
    WorkspaceObject* g = nullptr;
    ASSERT_EQ(Tag(bolts()).object(WorkspaceObject::pomClassName(), &g), status_t::OK);
    EXPECT_EQ(g->name(), "Frame bolts");
    EXPECT_EQ(g->typeName(), "AppearanceGroup");
}

TEST_F(PlatformStructure, FixtureStatementsBuildStructuresAndRefuseLoops) {
    const std::string head = R"(format 1
group dba privileged
role DBA
user root group=dba password="$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek"
member root dba DBA
session root dba DBA
itemtype Item revision=ItemRevision
item @a id=A1 revlabel=@aA
item @b id=B1 revlabel=@bA
folder @f name=F
)";
    struct Case {
        const char* lines;
        const char* error;  // null: loads
    };
    const Case cases[] = {
        {"revision @aB item=@a id=B uid=RevAB\nbom @bA @a\nappearancegroup @g name=G uid=GroupG\nbom @aB @g\n"
         "revisionrule @r name=R uid=RuleR\n",
         nullptr},
        {"bom @aA @a\n", "s.site:11: @aA would become its own ancestor through @a"},
        {"bom @bA @aA\nbom @aA @b\n", "s.site:12: @aA would become its own ancestor through @b"},
        {"bom @a @bA\n", "s.site:11: @a is not an item revision"},
        {"bom @bA @f\n", "s.site:11: bom: "},
        {"bom @bA @nowhere\n", "s.site:11: unknown label @nowhere"},
        {"bom @bA\n", "s.site:11: missing @child"},
        {"revision @x item=@f id=B\n", "s.site:11: @f is not an item"},
        {"revision @x item=@a id=A\n", "s.site:11: revision: "},
        {"revision @x id=B\n", "s.site:11: missing item="},
        {"appearancegroup @g\n", "s.site:11: missing name="},
        {"revisionrule @r name=R colour=red\n", "s.site:11: unknown option colour="},
    };
    for (const Case& c : cases) {
        std::string error;
        int rc = SITE_load_text(head + c.lines, "s.site", &error);
        if (!c.error) {
            ASSERT_EQ(rc, 0) << error;
            continue;
        }
        EXPECT_NE(rc, 0) << c.lines;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error;
    }
    // The one that loaded, once more, to look at it.
    std::string error;
    ASSERT_EQ(SITE_load_text(head + cases[0].lines, "s.site", &error), 0) << error;
    tag_t aB = uidToTag("RevAB");
    EXPECT_EQ(nameOf(aB), "A1/B");
    EXPECT_EQ(query(All, rev("A1", "A"), -1), (Found{{"B1/A", 1}}));
    EXPECT_EQ(query(Configured, rev("A1", "A"), -1, uidToTag("RuleR")), Found{}) << "B is A1's latest";
    EXPECT_EQ(query(Configured, aB, -1, uidToTag("RuleR")), (Found{{"B1/A", 1}}));
    EXPECT_EQ(query(Precise, uidToTag("GroupG"), -1), (Found{{"A1/B", 1}}));
    vl::test::useDefaultSite();
}

}  // namespace
