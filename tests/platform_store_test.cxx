// The object store's own rules: markpoints, locks and saves, referencers,
// deletion, uids, classes, fault injection and platform memory.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "gateway/login.hxx"
#include "pom/pom.hxx"
#include "pom/soa_view.hxx"
#include "pom/store.hxx"
#include "sa/sa.hxx"
#include "tag/tag.hxx"
#include "platform_test_support.hxx"

#include <algorithm>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>

using namespace vl::platform;

namespace {

struct PlatformStore : vl::test::SiteTest {
    tag_t byUid(const std::string& uid) { return uidToTag(uid); }
    std::string name(tag_t t) {
        char* v = nullptr;
        if (AOM_ask_value_string(t, "object_name", &v)) return "<error>";
        std::string s = v;
        SM_free(v);
        return s;
    }
    tag_t homeOf(const char* user) {
        tag_t u = 0, f = 0;
        SA_find_user(user, &u);
        SA_ask_user_home_folder(u, &f);
        return f;
    }
    std::vector<tag_t> contents(tag_t folder) {
        int n = 0;
        tag_t* t = nullptr;
        EXPECT_EQ(FL_ask_references(folder, 0, &n, &t), 0);
        std::vector<tag_t> v(t, t + n);
        SM_free(t);
        return v;
    }
    tag_t savedFolder(const char* n) {
        tag_t f = 0;
        EXPECT_EQ(FL_create(n, "", &f), 0);
        EXPECT_EQ(AOM_save(f), 0);
        EXPECT_EQ(AOM_refresh(f, 0), 0);
        return f;
    }
    tag_t item(const char* id) {
        tag_t t = 0;
        ITEM_find_item(id, &t);
        return t;
    }
};

TEST_F(PlatformStore, RollBackRestoresCreatedChangedAndDeletedObjects) {
    tag_t changed = savedFolder("before");
    tag_t doomed = savedFolder("doomed");
    std::string doomedUid = tagToUid(doomed);
    long objectsBefore = STORE_object_count();

    int mp = 0;
    ASSERT_EQ(POM_place_markpoint(&mp), 0);
    EXPECT_GT(mp, 0);
    tag_t made = 0;
    ASSERT_EQ(FL_create("new", "", &made), 0);
    std::string madeUid = tagToUid(made);
    ASSERT_EQ(FL_insert(changed, made, -1), 0);
    ASSERT_EQ(AOM_set_value_string(changed, "object_name", "after"), 0);
    ASSERT_EQ(AOM_save(changed), 0);
    ASSERT_EQ(AOM_delete(doomed), 0);
    EXPECT_NE(Tag::isValid(doomed), 0);

    bool undone = false;
    ASSERT_EQ(POM_roll_to_markpoint(mp, &undone), 0);
    EXPECT_TRUE(undone);
    EXPECT_EQ(POM_forget_markpoint(mp), 0);

    EXPECT_NE(Tag::isValid(made), 0) << "a rolled-back create leaves no object";
    tag_t again = byUid(madeUid);
    EXPECT_NE(again, 0u);
    EXPECT_NE(Tag::isValid(again), 0) << "and its uid names nothing valid";
    EXPECT_EQ(name(changed), "before");
    EXPECT_TRUE(contents(changed).empty());
    EXPECT_EQ(Tag::isValid(doomed), 0);
    EXPECT_EQ(tagToUid(doomed), doomedUid);
    EXPECT_EQ(byUid(doomedUid), doomed);
    EXPECT_EQ(STORE_object_count(), objectsBefore);
    int n = 0;
    tag_t* refs = nullptr;
    ASSERT_EQ(POM_referencers_of_instance(made, 1, 9001, &n, &refs, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr),
              ERR_INVALID_TAG);
    EXPECT_EQ(refs, nullptr);
}

TEST_F(PlatformStore, RollBackRestoresTheReferenceIndexes) {
    tag_t a = savedFolder("a");
    tag_t b = savedFolder("b");
    tag_t reference = 0, kept = 0;
    GRM_find_relation_type("Reference", &reference);
    ASSERT_EQ(GRM_create_relation(a, b, reference, 0, &kept), 0);
    ASSERT_EQ(GRM_save_relation(kept), 0);
    int mp = 0;
    ASSERT_EQ(POM_place_markpoint(&mp), 0);
    ASSERT_EQ(GRM_delete_relation(kept), 0);
    tag_t made = 0;
    ASSERT_EQ(GRM_create_relation(b, a, reference, 0, &made), 0);
    ASSERT_EQ(FL_insert(a, b, 0), 0);
    ASSERT_EQ(POM_roll_to_markpoint(mp, nullptr), 0);
    ASSERT_EQ(POM_forget_markpoint(mp), 0);
    auto related = [&](tag_t p) {
        int n = 0;
        tag_t* s = nullptr;
        GRM_list_secondary_objects_only(p, reference, &n, &s);
        std::vector<tag_t> v(s, s + n);
        SM_free(s);
        return v;
    };
    EXPECT_EQ(related(a), std::vector<tag_t>{b}) << "the deleted relation is back";
    EXPECT_TRUE(related(b).empty()) << "the new one is gone";
    int n = 0;
    int* levels = nullptr;
    tag_t* refs = nullptr;
    char** names = nullptr;
    ASSERT_EQ(WSOM_where_referenced(b, 1, &n, &levels, &refs, &names), 0);
    ASSERT_EQ(n, 1) << "the folder entry went with the roll-back";
    EXPECT_STREQ(names[0], "Reference");
    SM_free(levels);
    SM_free(refs);
    SM_free(names);
}

TEST_F(PlatformStore, NestedMarkpointsRollBackOnlyTheirOwnChanges) {
    tag_t a = savedFolder("a0");
    tag_t b = savedFolder("b0");
    int outer = 0, inner = 0;
    ASSERT_EQ(POM_place_markpoint(&outer), 0);
    AOM_set_value_string(a, "object_name", "a1");
    ASSERT_EQ(POM_place_markpoint(&inner), 0);
    AOM_set_value_string(a, "object_name", "a2");
    AOM_set_value_string(b, "object_name", "b1");
    bool undone = false;
    ASSERT_EQ(POM_roll_to_markpoint(inner, &undone), 0);
    EXPECT_EQ(name(a), "a1");
    EXPECT_EQ(name(b), "b0");
    EXPECT_EQ(MARKPOINTS_placed(), std::vector<int>({outer, inner}));
    ASSERT_EQ(POM_forget_markpoint(inner), 0);
    AOM_set_value_string(b, "object_name", "b2");
    ASSERT_EQ(POM_roll_to_markpoint(outer, &undone), 0);
    EXPECT_EQ(name(a), "a0");
    EXPECT_EQ(name(b), "b0");
    ASSERT_EQ(POM_forget_markpoint(outer), 0);
    EXPECT_TRUE(MARKPOINTS_placed().empty());
}

TEST_F(PlatformStore, ForgettingAMarkpointKeepsWhatWasMade) {
    int mp = 0;
    ASSERT_EQ(POM_place_markpoint(&mp), 0);
    tag_t f = 0;
    ASSERT_EQ(FL_create("kept", "", &f), 0);
    ASSERT_EQ(POM_forget_markpoint(mp), 0);
    EXPECT_EQ(Tag::isValid(f), 0);
    EXPECT_EQ(POM_roll_to_markpoint(mp, nullptr), ERR_NO_MARKPOINT) << "a forgotten markpoint is gone";
    EXPECT_EQ(vl::test::storedCodes().back(), ERR_NO_MARKPOINT);
}

TEST_F(PlatformStore, RefreshReleasesAndDiscardsUnsavedChangesWhileSaveCommits) {
    tag_t f = savedFolder("saved name");
    EXPECT_TRUE(LOCKS_held().empty());

    ASSERT_EQ(AOM_refresh(f, 1), 0);
    bool modifiable = false;
    POM_modifiable(f, &modifiable);
    EXPECT_TRUE(modifiable);
    EXPECT_EQ(LOCKS_held(), std::vector<unsigned int>{f});
    AOM_set_value_string(f, "object_name", "unsaved");
    ASSERT_EQ(AOM_refresh(f, 0), 0);
    EXPECT_EQ(name(f), "saved name");
    EXPECT_TRUE(LOCKS_held().empty());

    // A setter needs no lock; a save commits what it set.
    ASSERT_EQ(AOM_set_value_string(f, "object_name", "committed"), 0);
    ASSERT_EQ(AOM_save(f), 0);
    ASSERT_EQ(AOM_refresh(f, 0), 0);
    EXPECT_EQ(name(f), "committed");
}

// Unsaved changes are state of their own: a roll-back brings them back
// with the object (deleted or saved under the markpoint), and a refresh
// still finds the saved values under them.
TEST_F(PlatformStore, RollBackKeepsUnsavedChangesRevertible) {
    for (const char* undone : {"delete", "save"}) {
        SCOPED_TRACE(undone);
        const tag_t f = savedFolder("saved name");
        ASSERT_EQ(AOM_set_value_string(f, "object_name", "unsaved"), 0);
        int mp = 0;
        ASSERT_EQ(POM_place_markpoint(&mp), 0);
        if (std::string(undone) == "delete")
            store::destroy(*store::find(f));
        else
            ASSERT_EQ(AOM_save(f), 0);
        ASSERT_EQ(POM_roll_to_markpoint(mp, nullptr), 0);
        ASSERT_EQ(POM_forget_markpoint(mp), 0);
        ASSERT_EQ(Tag::isValid(f), 0);
        EXPECT_EQ(name(f), "unsaved");
        ASSERT_EQ(AOM_refresh(f, 0), 0);
        EXPECT_EQ(name(f), "saved name");
    }
}

// Journal epochs are 32-bit: when they run out, every epoch held is made
// older than any to come, so an object made long ago is never taken for one
// made under the current markpoint (whose changes need no journal).
TEST_F(PlatformStore, EpochsRunningOutKeepRollBackWhole) {
    int early = 0;
    store::S().epochCounter = 0;
    ASSERT_EQ(POM_place_markpoint(&early), 0);  // epoch 1
    const tag_t old = savedFolder("old name");
    ASSERT_EQ(POM_forget_markpoint(early), 0);
    store::S().epochCounter = std::numeric_limits<std::uint32_t>::max() - 1;
    int last = 0, wrapped = 0, next = 0;
    ASSERT_EQ(POM_place_markpoint(&last), 0);
    ASSERT_EQ(POM_place_markpoint(&wrapped), 0);
    ASSERT_EQ(POM_place_markpoint(&next), 0);  // epoch 1 once more, without the renumbering
    ASSERT_EQ(AOM_set_value_string(old, "object_name", "new name"), 0);
    ASSERT_EQ(POM_roll_to_markpoint(last, nullptr), 0);
    ASSERT_EQ(POM_forget_markpoint(last), 0);
    EXPECT_EQ(name(old), "old name");
}

TEST_F(PlatformStore, NewObjectsStartOpenForChange) {
    tag_t f = 0;
    ASSERT_EQ(FL_create("fresh", "", &f), 0);
    bool modifiable = false;
    POM_modifiable(f, &modifiable);
    EXPECT_TRUE(modifiable);
    OstraItem item;
    OstraItemRev rev;
    ASSERT_EQ(OstraItem::create("900001", "n", "", "A", 0, 0, item, rev), 0);
    std::vector<unsigned int> expected{f, item.tag(), rev.tag()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(LOCKS_held(), expected);
}

TEST_F(PlatformStore, ReadOnlyObjectsAndForeignOwnersRefuseChange) {
    tag_t archive = 0, shared = 0;
    for (tag_t t : contents(homeOf("admin"))) {
        if (name(t) == "Archive") archive = t;
        if (name(t) == "Shared") shared = t;
    }
    ASSERT_NE(archive, 0u);
    EXPECT_EQ(AOM_refresh(archive, 1), ERR_READ_ONLY_OBJECT);
    EXPECT_EQ(AOM_set_value_string(archive, "object_name", "x"), ERR_READ_ONLY_OBJECT);
    EXPECT_EQ(FL_remove(homeOf("admin"), archive), 0);
    EXPECT_EQ(AOM_delete(archive), ERR_READ_ONLY_OBJECT);
    bool granted = true;
    ASSERT_EQ(AM_check_privilege(archive, "WRITE", &granted), 0);
    EXPECT_FALSE(granted);

    VlLoginServiceManager::doLogin("alice", "alice-pw", "", "");
    ASSERT_EQ(AM_check_privilege(shared, "WRITE", &granted), 0);
    EXPECT_FALSE(granted) << "alice does not own the admin's folder";
    ASSERT_EQ(AM_check_privilege(homeOf("alice"), "WRITE", &granted), 0);
    EXPECT_TRUE(granted);
    EXPECT_EQ(AOM_set_value_string(shared, "object_name", "mine"), ERR_NO_ACCESS);
    EXPECT_EQ(AOM_refresh(shared, 1), ERR_NO_ACCESS);
    EXPECT_EQ(name(shared), "Shared");

    ASSERT_EQ(OBJ_set_read_only(homeOf("alice"), true), 0);
    ASSERT_EQ(AM_check_privilege(homeOf("alice"), "WRITE", &granted), 0);
    EXPECT_FALSE(granted) << "the read-only flag wins over ownership";
}

TEST_F(PlatformStore, ReferencersAndTheWhereReferencedView) {
    tag_t widget = item("000100");
    tag_t rev = 0;
    ITEM_ask_latest_rev(widget, &rev);
    tag_t spec = 0;
    {
        tag_t specType = 0;
        GRM_find_relation_type("Requirement", &specType);
        int n = 0;
        tag_t* s = nullptr;
        ASSERT_EQ(GRM_list_secondary_objects_only(rev, specType, &n, &s), 0);
        ASSERT_EQ(n, 1);
        spec = s[0];
        SM_free(s);
    }

    // Raw view: the relation object refers to the dataset.
    int n = 0, classCount = 0;
    tag_t *refs = nullptr, *classes = nullptr;
    int *levels = nullptr, *where = nullptr, *classLevels = nullptr, *classWhere = nullptr;
    ASSERT_EQ(POM_referencers_of_instance(spec, 1, 9001, &n, &refs, &levels, &where, &classCount, &classes,
                                          &classLevels, &classWhere),
              0);
    bool relationFound = false;
    for (int i = 0; i < n; ++i) {
        ObjectSummary s;
        ASSERT_TRUE(describeObject(refs[i], &s));
        relationFound = relationFound || s.className == "Relation";
        EXPECT_EQ(levels[i], 1);
    }
    EXPECT_TRUE(relationFound);
    for (void* p : {static_cast<void*>(refs), static_cast<void*>(levels), static_cast<void*>(where),
                    static_cast<void*>(classes), static_cast<void*>(classLevels), static_cast<void*>(classWhere)})
        SM_free(p);

    // Where-referenced view: the primary through the relation, folders through
    // "contents", and two levels up to the user whose home folder holds it.
    auto whereReferenced = [](tag_t t, int lv) {
        int c = 0;
        int* l = nullptr;
        tag_t* r = nullptr;
        char** names = nullptr;
        EXPECT_EQ(WSOM_where_referenced(t, lv, &c, &l, &r, &names), 0);
        std::vector<std::pair<std::string, int>> out;
        for (int i = 0; i < c; ++i) {
            ObjectSummary s;
            describeObject(r[i], &s);
            out.emplace_back(s.typeName + ":" + names[i], l[i]);
        }
        SM_free(l);
        SM_free(r);
        SM_free(names);
        return out;
    };
    using P = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(whereReferenced(spec, 1), (P{{"ItemRevision:Requirement", 1}}));
    EXPECT_EQ(whereReferenced(widget, 1), (P{{"Folder:contents", 1}, {"PSOccurrence:child", 1}}))
        << "the bracket's structure uses it too";
    EXPECT_EQ(whereReferenced(widget, 2),
              (P{{"Folder:contents", 1}, {"PSOccurrence:child", 1}, {"User:home_folder", 2}}));
    tag_t each = 0;
    UOM_find_by_name("each", &each);
    EXPECT_EQ(whereReferenced(each, 1), (P{{"ListOfValues:lov_tags", 1}, {"Item:uom_tag", 1}}))
        << "reference properties, in the referencers' creation order";
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), blocksAtStart);
}

// Each rewrite of a reference list leaves each entry's referencers as the
// final list says, a roll-back brings the first list's back, and several
// holders are listed in creation order whatever order they wrote in.
TEST_F(PlatformStore, RewrittenReferenceListsKeepTheReferencersRight) {
    const tag_t holder = savedFolder("holder");
    std::vector<tag_t> x;
    for (const char* n : {"x0", "x1", "x2", "x3"}) x.push_back(savedFolder(n));
    using L = std::vector<int>;
    struct Case {
        const char* what;
        L before, after;
    } cases[] = {
        {"appended", {0, 1}, {0, 1, 2}},
        {"put first", {0, 1}, {2, 0, 1}},
        {"taken from the middle", {0, 1, 2}, {0, 2}},
        {"one of a pair dropped", {0, 0, 1}, {0, 1}},
        {"both of a pair dropped", {0, 0, 1}, {1}},
        {"all replaced", {0, 1}, {2, 3}},
        {"reversed", {0, 1, 2}, {2, 1, 0}},
        {"emptied", {0, 1}, {}},
    };
    auto write = [&](const L& list) {
        std::vector<tag_t> tags;
        for (int i : list) tags.push_back(x[i]);
        ASSERT_EQ(AOM_refresh(holder, 1), 0);
        ASSERT_EQ(AOM_set_value_tags(holder, "contents", static_cast<int>(tags.size()), tags.data()), 0);
        ASSERT_EQ(AOM_save(holder), 0);
        ASSERT_EQ(AOM_refresh(holder, 0), 0);
    };
    auto expectHeld = [&](const L& list, const std::string& what) {
        for (int i = 0; i < static_cast<int>(x.size()); ++i) {
            const bool listed = std::count(list.begin(), list.end(), i) > 0;
            EXPECT_EQ(store::referencersOf(x[i]), listed ? std::vector<tag_t>{holder} : std::vector<tag_t>{})
                << what << ": x" << i;
        }
    };
    for (const Case& c : cases) {
        write(c.before);
        int mp = 0;
        ASSERT_EQ(POM_place_markpoint(&mp), 0);
        write(c.after);
        expectHeld(c.after, c.what);
        ASSERT_EQ(POM_roll_to_markpoint(mp, nullptr), 0);
        ASSERT_EQ(POM_forget_markpoint(mp), 0);
        expectHeld(c.before, std::string(c.what) + ", rolled back");
    }

    const tag_t f1 = savedFolder("f1"), f2 = savedFolder("f2"), f3 = savedFolder("f3");
    for (tag_t f : {f3, f1, f2}) ASSERT_EQ(FL_insert(f, x[3], 999), 0);
    EXPECT_EQ(store::referencersOf(x[3]), (std::vector<tag_t>{f1, f2, f3}));
}

// An entry put into a list in place leaves the saved list and the one a
// markpoint keeps as they were: undoing either gives the old list back.
TEST_F(PlatformStore, InPlaceInsertsLeaveSavedAndJournaledListsAlone) {
    const tag_t holder = savedFolder("holder");
    const tag_t a = savedFolder("a"), b = savedFolder("b"), c = savedFolder("c");
    ASSERT_EQ(FL_insert(holder, a, 999), 0);
    ASSERT_EQ(FL_insert(holder, b, 999), 0);
    ASSERT_EQ(AOM_save(holder), 0);
    const std::vector<tag_t> before{a, b};

    ASSERT_EQ(FL_insert(holder, c, 0), 0);
    EXPECT_EQ(contents(holder), (std::vector<tag_t>{c, a, b}));
    ASSERT_EQ(AOM_refresh(holder, 0), 0);
    EXPECT_EQ(contents(holder), before) << "refresh gives the saved list back";

    int mp = 0;
    ASSERT_EQ(POM_place_markpoint(&mp), 0);
    ASSERT_EQ(AOM_refresh(holder, 1), 0);
    ASSERT_EQ(FL_insert(holder, c, 999), 0);
    ASSERT_EQ(AOM_save(holder), 0);
    ASSERT_EQ(POM_roll_to_markpoint(mp, nullptr), 0);
    ASSERT_EQ(POM_forget_markpoint(mp), 0);
    EXPECT_EQ(contents(holder), before) << "the roll-back gives the list before the markpoint back";
    EXPECT_TRUE(store::referencersOf(c).empty());
}

// A list that still names an object gone from the store is refused whole,
// even where only a new entry is added.
// Removals walking along one folder with nothing reading it in between: each
// says where its entry stood, the folder then holds what a vector would, and
// a refresh or a roll-back gives the list back whole.
TEST_F(PlatformStore, RemovalsAlongAFolderReportWhereEachStoodAndUndoWhole) {
    const tag_t holder = savedFolder("holder");
    std::vector<tag_t> filed;
    for (int i = 0; i < 24; ++i) {
        filed.push_back(savedFolder("entry"));
        ASSERT_EQ(FL_insert(holder, filed.back(), 999), 0);
    }
    ASSERT_EQ(AOM_save(holder), 0);
    struct Case {
        const char* name;
        std::vector<int> order;  // indexes into filed
        bool rolledBack;         // undone by a markpoint (saved first), else by a refresh
    };
    const std::vector<Case> cases = {
        {"every other, upwards", {1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23}, false},
        {"downwards from the end", {23, 22, 20, 19, 18, 10, 9}, true},
        {"from the middle outwards", {12, 11, 13, 10, 14, 9, 15, 8, 16}, false},
        {"jumping", {5, 17, 6, 0, 22, 11, 12, 3, 23, 1}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int mp = 0;
        if (c.rolledBack) {
            ASSERT_EQ(POM_place_markpoint(&mp), 0);
        }
        ASSERT_EQ(AOM_refresh(holder, 1), 0);
        std::vector<tag_t> model = filed;
        for (int k : c.order) {
            const auto at = std::find(model.begin(), model.end(), filed[k]);
            int count = 0;
            int* positions = nullptr;
            ASSERT_EQ(FL_remove_reporting(holder, filed[k], &count, &positions), 0);
            ASSERT_EQ(count, 1);
            EXPECT_EQ(positions[0], at - model.begin());
            SM_free(positions);
            model.erase(at);
        }
        EXPECT_EQ(contents(holder), model);
        EXPECT_EQ(FL_remove(holder, filed[c.order[0]]), vl::platform::ERR_NOT_FOUND) << "gone already";
        if (c.rolledBack) {
            ASSERT_EQ(AOM_save(holder), 0);
            ASSERT_EQ(POM_roll_to_markpoint(mp, nullptr), 0);
            ASSERT_EQ(POM_forget_markpoint(mp), 0);
        }
        ASSERT_EQ(AOM_refresh(holder, 0), 0);
        EXPECT_EQ(contents(holder), filed);
        for (int k : c.order) EXPECT_EQ(store::referencersOf(filed[k]), std::vector<tag_t>{holder});
    }
}

TEST_F(PlatformStore, AListKeepingAGoneEntryIsRefused) {
    const tag_t holder = savedFolder("holder");
    const tag_t gone = savedFolder("gone"), added = savedFolder("added");
    ASSERT_EQ(FL_insert(holder, gone, 999), 0);
    store::destroy(*store::find(gone));
    const tag_t list[] = {gone, added};
    ERROR_store_clear();
    EXPECT_EQ(AOM_set_value_tags(holder, "contents", 2, list), ERR_INVALID_TAG);
    EXPECT_EQ(contents(holder), std::vector<tag_t>{gone}) << "nothing written";
    EXPECT_TRUE(store::referencersOf(added).empty());
}

TEST_F(PlatformStore, DeletionOfAReferencedObjectIsRefused) {
    tag_t widget = item("000100");
    tag_t rev = 0;
    ITEM_ask_latest_rev(widget, &rev);
    int n = 0;
    tag_t* specs = nullptr;
    GRM_list_secondary_objects_only(rev, 0, &n, &specs);
    std::vector<tag_t> related(specs, specs + n);
    SM_free(specs);
    ASSERT_EQ(related.size(), 2u) << "its master form and its requirement";

    for (tag_t t : related) {
        ERROR_store_clear();
        EXPECT_EQ(AOM_delete(t), ERR_REFERENCED);
        EXPECT_EQ(vl::test::storedCodes(), std::vector<int>{ERR_REFERENCED});
    }
    EXPECT_EQ(AOM_delete(widget), ERR_REFERENCED) << "alice's home folder holds it";
    EXPECT_EQ(Tag::isValid(widget), 0);

    ASSERT_EQ(FL_remove(homeOf("alice"), widget), 0);
    ASSERT_EQ(AOM_save(homeOf("alice")), 0) << "unsaved, a refresh of the folder would bring it back";
    EXPECT_EQ(AOM_delete(widget), ERR_REFERENCED) << "the brackets' structures use it and its revision";
    for (tag_t used : {widget, rev}) {
        int c = 0;
        int* l = nullptr;
        tag_t* r = nullptr;
        char** names = nullptr;
        ASSERT_EQ(WSOM_where_referenced(used, 1, &c, &l, &r, &names), 0);
        std::vector<tag_t> occurrences;
        for (int i = 0; i < c; ++i)
            if (std::string(names[i]) == "child") occurrences.push_back(r[i]);
        SM_free(l);
        SM_free(r);
        SM_free(names);
        ASSERT_EQ(occurrences.size(), 1u);
        ASSERT_EQ(AOM_delete(occurrences[0]), 0);
    }
    std::string revUid = tagToUid(rev);
    ASSERT_EQ(AOM_delete(widget), 0);
    EXPECT_NE(Tag::isValid(widget), 0);
    EXPECT_NE(Tag::isValid(rev), 0) << "its revision went with it";
    EXPECT_NE(Tag::isValid(related[0]), 0) << "and its master form";
    EXPECT_EQ(Tag::isValid(related[1]), 0) << "the requirement dataset stays";
    tag_t gone = uidToTag(revUid);
    EXPECT_EQ(gone, rev);
    EXPECT_NE(Tag::isValid(gone), 0);
}

TEST_F(PlatformStore, UidsAreShortUniqueAndUnknownOnesAreNeverValid) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        tag_t f = 0;
        ASSERT_EQ(FL_create("u", "", &f), 0);
        std::string uid = tagToUid(f);
        EXPECT_LE(uid.size(), 15u);
        EXPECT_FALSE(uid.empty());
        EXPECT_TRUE(seen.insert(uid).second);
        EXPECT_EQ(uidToTag(uid), f);
    }
    EXPECT_EQ(uidToTag(""), 0u);
    EXPECT_EQ(tagToUid(0), "");
    tag_t unknown = uidToTag("noSuchUid");
    EXPECT_NE(unknown, 0u);
    EXPECT_NE(Tag::isValid(unknown), 0);
    EXPECT_EQ(uidToTag("noSuchUid"), unknown);
    EXPECT_EQ(tagToUid(unknown), "noSuchUid");
    char buffer[16];
    ASSERT_EQ(EIM_uid(buffer), 0);
    EXPECT_LE(std::string(buffer).size(), 15u);
    EXPECT_FALSE(seen.count(buffer));
}

TEST_F(PlatformStore, ClassesHaveSingleInheritanceRootedAtPOMObject) {
    tag_t folder = 0, wso = 0, root = 0, item = 0;
    ASSERT_EQ(POM_class_id_of_class("Folder", &folder), 0);
    ASSERT_EQ(POM_class_id_of_class("WorkspaceObject", &wso), 0);
    ASSERT_EQ(POM_class_id_of_class("POMObject", &root), 0);
    ASSERT_EQ(POM_class_id_of_class("Item", &item), 0);
    EXPECT_EQ(POM_class_id_of_class("NoSuchClass", &item), ERR_NOT_FOUND);
    POM_class_id_of_class("Item", &item);
    bool answer = false;
    POM_is_descendant(wso, folder, &answer);
    EXPECT_TRUE(answer);
    POM_is_descendant(folder, wso, &answer);
    EXPECT_FALSE(answer);
    POM_is_descendant(item, folder, &answer);
    EXPECT_FALSE(answer);
    int n = 0;
    tag_t* supers = nullptr;
    ASSERT_EQ(POM_superclasses_of_class(folder, &n, &supers), 0);
    std::vector<std::string> chain;
    for (int i = 0; i < n; ++i) {
        char* c = nullptr;
        POM_name_of_class(supers[i], &c);
        chain.push_back(c);
        SM_free(c);
    }
    SM_free(supers);
    EXPECT_EQ(chain, (std::vector<std::string>{"WorkspaceObject", "POM_application_object", "POMObject"}));

    POMObject* loaded = nullptr;
    ASSERT_EQ(Tag(homeOf("alice")).object(&loaded), status_t::OK);
    EXPECT_TRUE(loaded->isA("Folder"));
    EXPECT_TRUE(loaded->isA("POMObject"));
    EXPECT_FALSE(loaded->isA("Item"));
    Folder* typed = nullptr;
    EXPECT_EQ(Tag(homeOf("alice")).object(Folder::pomClassName(), &typed), status_t::OK);
    EXPECT_NE(typed, nullptr);
    OstraItemP* wrong = nullptr;
    EXPECT_NE(Tag(homeOf("alice")).object(OstraItemP::pomClassName(), &wrong), status_t::OK);
    EXPECT_EQ(wrong, nullptr);
}

TEST_F(PlatformStore, InjectedFaultsFailTheNextCallOnceAndStoreTheirCode) {
    tag_t f = savedFolder("f");
    tag_t g = savedFolder("g");
    FAULT_inject("AOM_save", 4242, g);
    EXPECT_EQ(AOM_save(f), 0) << "only the named tag fails";
    ERROR_store_clear();
    EXPECT_EQ(AOM_save(g), 4242);
    int n = 0;
    const int* sev = nullptr;
    const int* codes = nullptr;
    ERROR_store_ask(&n, &sev, &codes, nullptr);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(sev[0], 3);
    EXPECT_EQ(codes[0], 4242);
    EXPECT_EQ(AOM_save(g), 0) << "an injection is used up";

    FAULT_inject("POM_place_markpoint", 77);
    int mp = 0;
    EXPECT_EQ(POM_place_markpoint(&mp), 77);
    EXPECT_EQ(FAULT_pending(), 0);
}

TEST_F(PlatformStore, CallLogKeepsTheOrderOfCalls) {
    tag_t f = savedFolder("f");
    CALLS_clear();
    AOM_refresh(f, 1);
    AOM_set_value_string(f, "object_name", "x");
    AOM_save(f);
    AOM_refresh(f, 0);
    EXPECT_EQ(CALLS_log(),
              (std::vector<std::string>{"AOM_refresh", "AOM_set_value_string", "AOM_save", "AOM_refresh"}));
}

TEST_F(PlatformStore, EveryFailingCallStoresItsErrorAtSeverityThree) {
    struct Case {
        const char* what;
        int (*call)();
        int code;
    };
    const Case cases[] = {
        {"save of the null tag", [] { return AOM_save(0); }, ERR_INVALID_TAG},
        {"unknown property", [] { return AOM_set_value_string(uidToTag("x"), "object_name", "v"); },
         ERR_INVALID_TAG},
        {"folder without name", [] {
             tag_t f;
             return FL_create("", "", &f);
         },
         ERR_BAD_ARGUMENT},
        {"bad refresh mode", [] {
             tag_t u = 0;
             SA_find_user("admin", &u);
             return AOM_refresh(u, 7);
         },
         ERR_BAD_ARGUMENT},
    };
    for (const Case& c : cases) {
        ERROR_store_clear();
        EXPECT_EQ(c.call(), c.code) << c.what;
        int n = 0;
        const int* sev = nullptr;
        const int* codes = nullptr;
        ERROR_store_ask(&n, &sev, &codes, nullptr);
        ASSERT_EQ(n, 1) << c.what;
        EXPECT_EQ(sev[0], 3) << c.what;
        EXPECT_EQ(codes[0], c.code) << c.what;
    }
}

TEST_F(PlatformStore, StringArraysAreOneBlockAndPreferencesOneBlockPerValue) {
    tag_t widget = item("000100");
    tag_t rev = 0;
    ITEM_ask_latest_rev(widget, &rev);
    int n = 0;
    tag_t* forms = nullptr;
    tag_t mf = 0;
    GRM_find_relation_type("OSTRA_master_form", &mf);
    GRM_list_secondary_objects_only(widget, mf, &n, &forms);
    ASSERT_EQ(n, 1);
    tag_t form = forms[0];
    SM_free(forms);
    const char* words[] = {"red", "green", "blue"};
    ASSERT_EQ(AOM_set_value_strings(form, "keywords", 3, words), 0);
    long base = vl::platform::SM_outstanding_blocks();
    char** out = nullptr;
    ASSERT_EQ(AOM_ask_value_strings(form, "keywords", &n, &out), 0);
    ASSERT_EQ(n, 3);
    EXPECT_STREQ(out[2], "blue");
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base + 1);
    SM_free(out);
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base);
    SM_free(nullptr);
    EXPECT_EQ(vl::platform::SM_outstanding_blocks(), base);
}

}  // namespace

namespace {

// Strings up to the slot's 14 payload bytes are held in place, longer ones in
// a block; every form has to survive copies and assignments over the others.
TEST(PlatformSlot, ValuesOfEveryFormRoundTripAndAssignOverEachOther) {
    using store::Slot;
    using store::Value;
    using Strings = std::vector<std::string>;
    const std::string nul14("abcdef\0hijklmn", 14);
    const std::vector<Value> values = {
        Strings{""},
        Strings{"A"},
        Strings{std::string(Slot::kSmallString - 1, 'x')},
        Strings{std::string(Slot::kSmallString, 'x')},
        Strings{std::string(Slot::kSmallString, 'y')},
        Strings{std::string(Slot::kSmallString + 1, 'x')},
        Strings{std::string(14, 'x')},
        Strings{std::string(100, 'z')},
        Strings{nul14},
        Strings{nul14.substr(0, 7)},
        Strings{},
        Strings{"A", "B"},
        std::vector<int>{7},
        std::vector<int>{},
        std::vector<char>{'y'},
        std::vector<double>{0.25},
        std::vector<double>{-1e300, 2},
        std::vector<date_s>{date_s{2024, 1, 2, 3, 4, 5}},
        std::vector<tag_t>{9},
        std::vector<tag_t>{3, 4},
        Value{},
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& v = values[i];
        const auto* strings = std::get_if<Strings>(&v);
        const std::string text = strings && !strings->empty() ? (*strings)[0] : std::string();
        SCOPED_TRACE(::testing::Message() << "value " << i << " \"" << text << "\"");
        const Slot s(v);
        EXPECT_EQ(s.value(), v);
        EXPECT_TRUE(s == v);
        EXPECT_EQ(s.index(), v.index());
        EXPECT_EQ(s.firstString(), text);
        if (strings && strings->size() == 1) {
            EXPECT_EQ(s.blockBytes() == 0, text.size() <= Slot::kSmallString);
        }
        Slot copy(s);
        EXPECT_TRUE(copy == s);
        EXPECT_EQ(copy.firstString(), text);
        Slot moved(std::move(copy));
        EXPECT_TRUE(moved == s);
        EXPECT_EQ(moved.value(), v);
        EXPECT_TRUE(copy.empty());
        EXPECT_EQ(copy.index(), v.index()) << "a moved-from slot keeps its type";
        for (std::size_t j = 0; j < values.size(); ++j) {
            SCOPED_TRACE(::testing::Message() << "against value " << j);
            const Slot other(values[j]);
            EXPECT_EQ(s == values[j], i == j);
            EXPECT_EQ(s == other, i == j);
            Slot target(values[j]);
            target = s;
            EXPECT_EQ(target.value(), v);
            EXPECT_EQ(target.firstString(), text);
            Slot source(s);
            target = Slot(values[j]);
            target = std::move(source);
            EXPECT_EQ(target.value(), v);
            EXPECT_EQ(s.value(), v);
        }
    }
    const Slot number(Value{std::vector<int>{7}});
    const Slot date(Value{std::vector<date_s>{date_s{2024, 1, 2, 3, 4, 5}}});
    EXPECT_EQ(*Slot(number).first<int>(), 7);
    EXPECT_EQ(Slot(date).first<date_s>()->second, 5);
    EXPECT_EQ(Slot(date).first<date_s>()->year, 2024);
    // Reads in place, of each form, and none of another type.
    const Slot real(Value{std::vector<double>{0.25}}), one(Value{std::vector<tag_t>{9}}),
        two(Value{std::vector<tag_t>{3, 4}}), letter(Value{std::vector<char>{'y'}});
    ASSERT_EQ(real.elements<double>().size(), 1u);
    EXPECT_EQ(real.elements<double>()[0], 0.25);
    EXPECT_EQ(std::vector<tag_t>(one.tags().begin(), one.tags().end()), std::vector<tag_t>{9});
    EXPECT_EQ(std::vector<tag_t>(two.tags().begin(), two.tags().end()), (std::vector<tag_t>{3, 4}));
    EXPECT_EQ(*letter.first<char>(), 'y');
    EXPECT_TRUE(real.tags().empty());
    EXPECT_FALSE(one.first<int>());
    EXPECT_FALSE(number.first<tag_t>());
    EXPECT_TRUE(Slot(Value{std::vector<tag_t>{}}).tags().empty());
}

// A slot made from one element or as a null value, with no Value in between,
// is the slot Slot(Value) makes of the same value: same form, same blocks,
// same reads, and the element count of each form.
TEST(PlatformSlot, SlotsMadeWithoutAValueAreThoseMadeFromOne) {
    using store::kValueIndex;
    using store::Slot;
    using store::Value;
    const std::string nul9("abc\0efghi", 9);
    struct Case {
        Value value;
        Slot made;
    };
    std::vector<Case> cases;
    for (const std::string& text : {std::string(), std::string("A"), std::string(Slot::kSmallString, 'x'),
                                    std::string(Slot::kSmallString + 1, 'x'), std::string(100, 'z'), nul9})
        cases.push_back({std::vector<std::string>{text}, Slot::text(text)});
    cases.push_back({std::vector<int>{-7}, Slot::one<int>(-7)});
    cases.push_back({std::vector<char>{'y'}, Slot::one<char>('y')});
    cases.push_back({std::vector<double>{0.25}, Slot::one<double>(0.25)});
    cases.push_back({std::vector<date_s>{date_s{2024, 1, 2, 3, 4, 5}}, Slot::one<date_s>(date_s{2024, 1, 2, 3, 4, 5})});
    cases.push_back({std::vector<tag_t>{0}, Slot::one<tag_t>(0)});
    cases.push_back({std::vector<tag_t>{0xfffffff0u}, Slot::one<tag_t>(0xfffffff0u)});
    cases.push_back({std::vector<std::string>{}, Slot::null(kValueIndex<std::string>)});
    cases.push_back({std::vector<tag_t>{}, Slot::null(kValueIndex<tag_t>)});
    cases.push_back({std::vector<date_s>{}, Slot::null(kValueIndex<date_s>)});
    cases.push_back({Value{}, Slot::null(0)});
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "case " << i);
        const Value& v = cases[i].value;
        const Slot& made = cases[i].made;
        const Slot model(v);
        EXPECT_TRUE(made == model);
        EXPECT_TRUE(made == v);
        EXPECT_EQ(made.value(), v);
        EXPECT_EQ(made.index(), model.index());
        EXPECT_EQ(made.empty(), model.empty());
        EXPECT_EQ(made.blockBytes(), model.blockBytes());
        EXPECT_EQ(made.firstString(), model.firstString());
        EXPECT_EQ(made.count(), std::visit(
                                    [](const auto& vec) -> std::size_t {
                                        if constexpr (std::is_same_v<std::decay_t<decltype(vec)>, std::monostate>)
                                            return 0;
                                        else
                                            return vec.size();
                                    },
                                    v));
        for (std::size_t j = 0; j < cases.size(); ++j) EXPECT_EQ(made == cases[j].value, i == j) << "against " << j;
    }
    EXPECT_EQ(Slot(Value{std::vector<tag_t>{3, 4, 5}}).count(), 3u);
    EXPECT_EQ(Slot(Value{std::vector<std::string>{"a", "b"}}).count(), 2u);
}

// A list edited in place down to one entry or none is held as that value
// would be: empty when emptied, equal to the same single value, and the
// copy it shared its block with keeps the list.
TEST(PlatformSlot, AnEditInPlaceLeavesTheFormOfWhatIsLeft) {
    using store::Slot;
    using store::Value;
    using Tags = std::vector<tag_t>;
    Slot list(Value{Tags{3, 4}});
    const Slot shared(list);
    auto dropLast = [](Tags& v) { v.pop_back(); };
    list.editTags(dropLast);
    EXPECT_TRUE(list == Slot(Value{Tags{3}}));
    ASSERT_NE(list.first<tag_t>(), nullptr);
    EXPECT_EQ(*list.first<tag_t>(), 3u);
    list.editTags(dropLast);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(list == Slot(Value{Tags{}}));
    EXPECT_EQ(list.index(), Slot(Value{Tags{}}).index()) << "it stays a list of tags";
    EXPECT_EQ(shared.value(), (Value{Tags{3, 4}}));
    list.editTags([](Tags& v) { v = {5, 6}; });
    EXPECT_EQ(list.value(), (Value{Tags{5, 6}}));
}

// Taking entries out of a list against a plain vector, a few at a time on one
// list: repeats, near the head or the tail, one entry or every entry of a
// tag, the list alone or sharing its block with kept copies (a saved value,
// the journal: whole, or a kept view that appends and head removals must not
// disturb), edited whole or by single inserts in between, down to one entry
// or none.
TEST(PlatformSlot, ErasedTagsLeaveWhatAVectorWouldAndSayWhereTheyStood) {
    using store::Slot;
    using store::Value;
    using Tags = std::vector<tag_t>;
    std::mt19937 rng(7);
    for (int round = 0; round < 400; ++round) {
        Tags model(rng() % 40 + 1);
        for (tag_t& t : model) t = rng() % 6 + 1;
        Slot list(Value{model});
        Slot kept, view, older;
        Tags keptModel, viewModel, olderModel;
        for (int step = 0; step < 30 && !model.empty(); ++step) {
            SCOPED_TRACE(::testing::Message() << "round " << round << ", step " << step);
            switch (rng() % 9) {
            case 0:  // a copy keeps the list as it is now
                kept = list;
                keptModel = model;
                break;
            case 6:  // a view keeps it, the one before it kept too or let go
                if (rng() % 2) {
                    older = std::move(view);
                    olderModel = viewModel;
                }
                view = list.keep();
                viewModel = model;
                EXPECT_TRUE(view == list);
                break;
            case 7: {  // an insert, most often at the end
                const tag_t t = rng() % 6 + 1;
                const std::size_t at = rng() % 2 ? model.size() : rng() % (model.size() + 1);
                list.insertTag(at, t);
                model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), t);
                break;
            }
            case 8: {  // the head goes, as a folder emptied in order
                const tag_t t = model[0];
                EXPECT_EQ(list.eraseTags(0, t, true), 1u);
                model.erase(model.begin());
                break;
            }
            case 1: {  // an edit of the whole list
                const tag_t t = rng() % 6 + 1;
                const auto at = static_cast<std::ptrdiff_t>(rng() % (model.size() + 1));
                list.editTags([&](Tags& v) { v.insert(v.begin() + at, t); });
                model.insert(model.begin() + at, t);
                break;
            }
            default: {
                const std::size_t at = rng() % std::min<std::size_t>(model.size(), rng() % 2 ? 3 : model.size());
                const tag_t t = model[at];
                const bool once = rng() % 2;
                std::vector<int> expectedAt, positions;
                Tags left(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(at));
                for (std::size_t k = at; k < model.size(); ++k) {
                    if (k == at || (!once && model[k] == t))
                        expectedAt.push_back(static_cast<int>(k));
                    else
                        left.push_back(model[k]);
                }
                EXPECT_EQ(list.eraseTags(at, t, once, &positions), expectedAt.size());
                EXPECT_EQ(positions, expectedAt);
                model = left;
            }
            }
            EXPECT_TRUE(list == Slot(Value{model}));  // the form too: one entry or none is no block
            EXPECT_TRUE(list == Value{model});
            EXPECT_EQ(list.value(), Value{model});
            EXPECT_EQ(list.count(), model.size());
            EXPECT_TRUE(std::ranges::equal(list.tags(), model));
            if (!model.empty()) {
                EXPECT_EQ(*list.first<tag_t>(), model[0]);
            }
            EXPECT_EQ(kept.value(), keptModel.empty() && kept.index() == 0 ? Value{} : Value{keptModel});
            for (const auto& [held, heldModel] : {std::pair<const Slot&, const Tags&>(view, viewModel),
                                                  std::pair<const Slot&, const Tags&>(older, olderModel)}) {
                if (held.index() == 0) continue;
                EXPECT_TRUE(held == Value{heldModel});
                EXPECT_TRUE(held == Slot(Value{heldModel}));
                EXPECT_EQ(held.count(), heldModel.size());
                EXPECT_TRUE(std::ranges::equal(held.tags(), heldModel));
                // What the save of a kept value compares: the common ends of
                // the two lists, whatever block they are read from.
                const store::SharedEnds e = store::sharedEnds(held.tags(), list.tags());
                const std::size_t n = std::min(heldModel.size(), model.size());
                std::size_t head = 0, tail = 0;
                while (head < n && heldModel[head] == model[head]) ++head;
                while (tail < n - head && heldModel[heldModel.size() - 1 - tail] == model[model.size() - 1 - tail])
                    ++tail;
                EXPECT_EQ(e.head, head);
                EXPECT_EQ(e.tail, tail);
            }
            if (::testing::Test::HasFailure()) return;
        }
    }
}

// Runs of removals and inserts on one list of distinct tags with nothing
// reading the list whole in between (as a folder emptied by one request):
// the entry found, its position, the count and then the list read whole are
// a plain vector's, and the copies and views kept between runs keep the list
// they were given. Removals walk up or down the list, or jump.
TEST(PlatformSlot, RunsOfEditsBetweenReadsLeaveWhatAVectorWould) {
    using store::Slot;
    using store::Value;
    using Tags = std::vector<tag_t>;
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        Tags model(rng() % 60 + 2);
        tag_t next = 1;
        for (tag_t& t : model) t = next++;
        Slot list(Value{model});
        std::vector<std::pair<Slot, Tags>> kept;
        std::size_t last = rng() % model.size();  // where the last removal was
        for (int run = 0; run < 12 && !model.empty(); ++run) {
            SCOPED_TRACE(::testing::Message() << "run " << run);
            for (int step = static_cast<int>(rng() % 12); step > 0 && !model.empty(); --step) {
                if (rng() % 4 == 0) {  // an insert: at the end, where the last removal was, or anywhere
                    const std::size_t choice = rng() % 3;
                    const std::size_t at = choice == 0   ? model.size()
                                           : choice == 1 ? std::min(last, model.size())
                                                         : rng() % (model.size() + 1);
                    list.insertTag(at, next);
                    model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), next++);
                    continue;
                }
                const std::size_t walk = rng() % 4;
                std::size_t at = walk == 0 ? last + 1 : walk == 1 && last > 0 ? last - 1 : rng() % model.size();
                at = std::min(at, model.size() - 1);
                const tag_t t = rng() % 8 == 0 ? next + 1 : model[at];  // now and then one it does not hold
                const std::size_t found = list.find(t, true);
                if (t > next) {
                    EXPECT_EQ(found, SIZE_MAX);
                    continue;
                }
                ASSERT_EQ(found, at);
                std::vector<int> positions;
                EXPECT_EQ(list.eraseTags(found, t, true, &positions), 1u);
                EXPECT_EQ(positions, std::vector<int>{static_cast<int>(at)});
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
                EXPECT_EQ(list.count(), model.size());
                last = at;
            }
            switch (rng() % 4) {  // between runs: the list read whole, kept, copied, or left
            case 0:
                EXPECT_TRUE(std::ranges::equal(list.tags(), model));
                break;
            case 1:
                kept.emplace_back(list.keep(), model);
                break;
            case 2:
                kept.emplace_back(list, model);
                break;
            default:
                break;
            }
            if (kept.size() > 2) kept.erase(kept.begin());
        }
        if (!model.empty()) {
            EXPECT_EQ(*list.first<tag_t>(), model[0]);  // the first read after the last run
        }
        EXPECT_EQ(list.value(), Value{model});
        EXPECT_TRUE(list == Slot(Value{model}));  // the form too: one entry or none is no block
        for (const auto& [held, heldModel] : kept) EXPECT_EQ(held.value(), Value{heldModel});
        if (::testing::Test::HasFailure()) return;
    }
}

// The common ends of two lists, against a plain walk, for lists that are one
// block (a saved value kept from the current one) and lists that differ.
TEST(PlatformSlot, SharedEndsOfListsAreThoseOfAPlainWalk) {
    using Tags = std::vector<tag_t>;
    std::mt19937 rng(11);
    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        Tags a(rng() % 300);
        for (tag_t& t : a) t = rng() % 3 + 1;
        Tags b = a;
        for (int edits = static_cast<int>(rng() % 3); edits > 0 && !b.empty(); --edits) {
            const auto at = b.begin() + static_cast<std::ptrdiff_t>(rng() % b.size());
            if (rng() % 2)
                b.erase(at);
            else
                *at += 3;  // same length, another entry
        }
        const std::span<const tag_t> sa(a);
        const std::span<const tag_t> sb = rng() % 2 ? std::span<const tag_t>(a) : std::span<const tag_t>(b);
        const std::size_t n = std::min(sa.size(), sb.size());
        std::size_t head = 0, tail = 0;
        while (head < n && sa[head] == sb[head]) ++head;
        while (tail < n - head && sa[sa.size() - 1 - tail] == sb[sb.size() - 1 - tail]) ++tail;
        const store::SharedEnds e = store::sharedEnds(sa, sb);
        EXPECT_EQ(e.head, head);
        EXPECT_EQ(e.tail, tail);
    }
}

TEST(PlatformErrorCodes, EveryCodeHasOneText) {
    std::set<int> seen;
    for (const auto& e : vl::platform::kErrorTexts) {
        EXPECT_TRUE(seen.insert(e.code).second) << "code " << e.code << " is listed twice";
        EXPECT_NE(std::string(e.text), "") << e.code;
        if (e.code >= vl::platform::ERR_PLATFORM_BASE) {
            EXPECT_LE(e.code, vl::platform::ERR_PLATFORM_LAST) << "the platform's own range";
        }
    }
}

}  // namespace

// The uid index of the object table, with removals in every position of
// its probe runs, against the plain truth.
TEST(ObjectTable, FindsEveryLiveUidThroughGrowthAndRemoval) {
    store::ObjectTable table;
    std::map<std::string, tag_t> live;
    std::vector<std::string> gone;
    std::mt19937 random(7);
    tag_t next = 1;
    for (int round = 0; round < 4000; ++round) {
        if (live.empty() || random() % 3) {
            store::Object o;
            o.tag = next++;
            o.uid = "u" + std::to_string(random());
            if (live.count(o.uid)) continue;
            live[o.uid] = o.tag;
            table.insert(std::move(o));
        } else {
            auto it = std::next(live.begin(), static_cast<long>(random() % live.size()));
            table.erase(it->second);
            gone.push_back(it->first);
            live.erase(it);
        }
    }
    store::Object& renamed = *table.find(live.begin()->second);
    gone.push_back(live.begin()->first);
    live.erase(live.begin());
    table.renameUid(renamed, "renamed");
    live["renamed"] = renamed.tag;
    ASSERT_EQ(table.size(), live.size());
    for (const auto& [uid, tag] : live) {
        const store::Object* o = table.findUid(uid);
        ASSERT_TRUE(o) << uid;
        EXPECT_EQ(o->tag, tag);
    }
    for (const std::string& uid : gone) EXPECT_EQ(table.findUid(uid) != nullptr, live.count(uid) > 0) << uid;
    EXPECT_FALSE(table.findUid("u0"));
    EXPECT_FALSE(table.findUid(""));
    store::ObjectTable copy(table);
    EXPECT_EQ(copy.findUid("renamed")->tag, renamed.tag);
    EXPECT_NE(copy.findUid("renamed"), &renamed) << "a copy holds its own objects";
}

// Referencer counts held in place and in a block, through growth, holes,
// compaction and copies, against a map.
TEST(TagCounts, KeepTheOrderedCountsOfAMap) {
    store::TagCounts counts;
    std::map<tag_t, int> truth;
    std::mt19937 random(11);
    auto listed = [](const store::TagCounts& c) {
        std::vector<tag_t> out;
        c.forEach([&](tag_t t) { out.push_back(t); });
        return out;
    };
    for (int round = 0; round < 6000; ++round) {
        // Few tags early (in place, one entry), many later (a block).
        const tag_t t = 1 + static_cast<tag_t>(random() % (round < 2000 ? 2 : 60));
        const int n = 1 + static_cast<int>(random() % 2);
        if (random() % 2) {
            counts.add(t, n);
            truth[t] += n;
        } else {
            counts.drop(t, n);
            if (auto it = truth.find(t); it != truth.end() && (it->second -= n) <= 0) truth.erase(it);
        }
        std::vector<tag_t> expected;
        for (const auto& [tag, count] : truth) expected.push_back(tag);
        ASSERT_EQ(listed(counts), expected) << "round " << round;
        ASSERT_EQ(counts.size(), truth.size());
        if (round % 500 == 0) {
            store::TagCounts copy(counts), moved(std::move(copy));
            EXPECT_EQ(listed(moved), expected);
            EXPECT_TRUE(copy.empty());
            copy = moved;
            EXPECT_EQ(listed(copy), expected);
        }
    }
    for (auto [tag, count] : std::map<tag_t, int>(truth)) counts.drop(tag, count);
    EXPECT_TRUE(counts.empty());
    EXPECT_TRUE(listed(counts).empty());

    // Counts too large to be held in place, reached at once and one by one.
    store::TagCounts many;
    many.add(9, 70000);
    many.add(4, 1);
    for (int i = 0; i < 0xffff; ++i) many.add(6, 1);
    many.add(6, 1);
    EXPECT_EQ(listed(many), (std::vector<tag_t>{4, 6, 9}));
    many.drop(4, 1);
    many.drop(9, 69999);
    many.drop(6, 0xffff);
    EXPECT_EQ(listed(many), (std::vector<tag_t>{6, 9}));
    many.drop(6, 1);
    many.drop(9, 1);
    EXPECT_TRUE(many.empty());
}

// Entries under few hashes make long probe runs that wrap past the end of
// the table; removals anywhere in them must leave every other entry found.
TEST(TagHash, FindsEveryEntryThroughCollisionsAndRemovals) {
    store::TagHash index;
    std::map<tag_t, std::uint32_t> live;
    std::mt19937 random(5);
    const std::uint32_t hashes[] = {0, 1, 7, 0xfffffffe, 0xffffffff};
    tag_t next = 1;
    for (int round = 0; round < 3000; ++round) {
        if (live.empty() || random() % 5 < 3) {
            const std::uint32_t h = hashes[random() % 5];
            index.insert(h, next);
            live[next++] = h;
        } else {
            auto it = std::next(live.begin(), static_cast<long>(random() % live.size()));
            index.erase(it->second, it->first);
            live.erase(it);
        }
        if (round % 100 != 0 && round < 2900) continue;
        for (const auto& [tag, hash] : live)
            ASSERT_EQ(index.find(hash, [t = tag](tag_t found) { return found == t; }), tag) << "round " << round;
    }
    EXPECT_EQ(index.size(), live.size());
    EXPECT_EQ(index.find(1, [](tag_t) { return false; }), 0u);
    index.erase(7, next + 1);  // no such entry: nothing changes
    EXPECT_EQ(index.size(), live.size());
}
