// deleteRelations, deleteObjects and changeOwnership: what each input
// removes or changes, and how a failing input is reported while the others
// go on.
#include "dm0603_ops_support.hxx"

#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"
#include "sa/sa.hxx"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace dm0603;
namespace P = vl::platform;

struct Rel {
    std::string primaryUid, secondaryUid, relationType;
};

std::string deleteRelations(const std::vector<Rel>& inputs) {
    std::string xml = "<DeleteRelationsInput>";
    for (const Rel& r : inputs)
        xml += "<input clientId=\"ignored\" relationType=\"" + esc(r.relationType) + "\">" +
               refUid("primaryObject", r.primaryUid) + refUid("secondaryObject", r.secondaryUid) +
               refUid("userData", "") + "</input>";
    return xml + "</DeleteRelationsInput>";
}

std::string deleteObjects(const std::vector<std::string>& uids) {
    std::string xml = "<DeleteObjectsInput>";
    for (const auto& uid : uids) xml += refUid("object", uid);
    return xml + "</DeleteObjectsInput>";
}

tag_t relationType(const char* name) {
    tag_t type = 0;
    EXPECT_EQ(GRM_find_relation_type(name, &type), 0);
    return type;
}

tag_t relate(tag_t primary, tag_t secondary, const char* type) {
    tag_t relation = 0;
    EXPECT_EQ(GRM_create_relation(primary, secondary, relationType(type), 0, &relation), 0);
    EXPECT_EQ(GRM_save_relation(relation), 0);
    return relation;
}

void put(tag_t folder, const std::vector<tag_t>& objects) {
    for (tag_t o : objects) ASSERT_EQ(FL_insert(folder, o, 999), 0);
    ASSERT_EQ(AOM_save(folder), 0);
}

tag_t latestRevisionOf(tag_t item) {
    tag_t revision = 0;
    EXPECT_EQ(ITEM_ask_latest_rev(item, &revision), 0);
    return revision;
}

tag_t itemWithId(const char* id) {
    tag_t item = 0;
    EXPECT_EQ(ITEM_find_item(id, &item), 0);
    return item;
}

bool alive(tag_t object) { return object != 0 && Tag::isValid(object) == 0; }

// --- deleteRelations ---

class Dm0603OpsDeleteRelations : public vl::test::ServiceTest {};

// A folder primary loses the secondary from its contents, whatever relation
// type the input names; the folder is saved and released, nothing listed.
TEST_F(Dm0603OpsDeleteRelations, FolderPrimaryIgnoresTheRelationType) {
    for (const char* type : {"Reference", "", "NoSuchRelationType"}) {
        SCOPED_TRACE(type);
        const tag_t folder = newFolder("f");
        const tag_t kept = newObject("WolfObject", "kept");
        const tag_t gone = newObject("WolfObject", "gone");
        put(folder, {kept, gone});
        Parsed r(invoke(kService, "deleteRelations", deleteRelations({{uidOf(folder), uidOf(gone), type}})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_TRUE(r.errors().empty()) << r.text;
        EXPECT_EQ(contentsOf(folder), std::vector<unsigned int>{kept});
        EXPECT_TRUE(r.list("updatedObj").empty() && r.list("deletedObj").empty()) << r.text;
        // Saved: a release discards nothing.
        ASSERT_EQ(AOM_refresh(folder, 0), 0);
        EXPECT_EQ(contentsOf(folder), std::vector<unsigned int>{kept});
    }
}

// A folder input that fails after its removal changes nothing: the entry is
// back where it stood, saved, so a later save of the folder for another
// reason does not make the removal permanent; the next input still runs.
TEST_F(Dm0603OpsDeleteRelations, AFailedFolderRemovalIsPutBack) {
    for (const char* failing : {"AOM_save", "AOM_refresh"}) {
        SCOPED_TRACE(failing);
        const tag_t folder = newFolder("f");
        const tag_t first = newObject("WolfObject", "first");
        const tag_t removed = newObject("WolfObject", "removed");
        const tag_t last = newObject("WolfObject", "last");
        put(folder, {first, removed, last});
        const tag_t other = newFolder("other");
        put(other, {removed});
        P::FAULT_inject(failing, P::ERR_INJECTED, folder);
        Parsed r(invoke(kService, "deleteRelations",
                        deleteRelations({{uidOf(folder), uidOf(removed), ""}, {uidOf(other), uidOf(removed), ""}})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_EQ(P::FAULT_pending(), 0);
        const auto errors = r.errors();
        ASSERT_EQ(errors.size(), 1u) << r.text;
        EXPECT_EQ(errors[0].index, 0);
        EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_INJECTED});
        EXPECT_EQ(contentsOf(folder), (std::vector<unsigned int>{first, removed, last}));
        EXPECT_TRUE(contentsOf(other).empty());
        // A folder made into it saves it again: what it holds stays.
        Parsed made(invoke(kService, "createFolders",
                           "<CreateFoldersInput relationType=\"\"><folder clientId=\"n\" name=\"N\" desc=\"\"/>" +
                               ref("container", folder) + "</CreateFoldersInput>"));
        ASSERT_EQ(made.outputs().size(), 1u) << made.text;
        const tag_t added = tagOf(Parsed::outRef(*made.outputs()[0], "folder"));
        ASSERT_EQ(AOM_refresh(folder, 1), 0);
        ASSERT_EQ(AOM_refresh(folder, 0), 0);
        EXPECT_EQ(contentsOf(folder), (std::vector<unsigned int>{first, removed, last, added}));
    }
}

// Relations go; one that does not exist, or a type that does not, is no
// failure; a failing input is reported by its position and holds only its
// own error, also after a primary that did not load.
TEST_F(Dm0603OpsDeleteRelations, RelationsAndFailuresByPosition) {
    const tag_t widget = itemWithId("000100");
    const tag_t widgetA = latestRevisionOf(widget);
    const tag_t guide = itemWithId("DOC-0001");
    const tag_t reference = relate(widgetA, guide, "Reference");
    const tag_t locked = newFolder("read only");
    const tag_t inside = newObject("WolfObject", "inside");
    put(locked, {inside});
    ASSERT_EQ(P::OBJ_set_read_only(locked, true), 0);

    Parsed r(invoke(kService, "deleteRelations",
                    deleteRelations({{uidOf(widgetA), uidOf(guide), "Reference"},      // deleted
                                     {"NoSuchPrimary01", uidOf(guide), "NoSuchType"},  // does not load
                                     {uidOf(locked), uidOf(inside), ""},               // fails
                                     {uidOf(widgetA), uidOf(guide), "Requirement"}})));  // no such relation
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_FALSE(alive(reference));
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 1u) << r.text;
    EXPECT_EQ(errors[0].index, 2);
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_READ_ONLY_OBJECT});
    EXPECT_EQ(contentsOf(locked), std::vector<unsigned int>{inside});
}

// --- deleteObjects ---

class Dm0603OpsDeleteObjects : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsDeleteObjects, UnreferencedAndFiledObjectsAreDeleted) {
    const tag_t loose = newObject("WolfObject", "loose");
    const tag_t filed = newObject("WolfObject", "filed");
    const tag_t first = newFolder("first"), second = newFolder("second");
    const tag_t other = newObject("WolfObject", "other");
    put(first, {other, filed});
    put(second, {filed});
    const std::string looseUid = uidOf(loose), filedUid = uidOf(filed);

    Parsed r(invoke(kService, "deleteObjects", deleteObjects({looseUid, "", filedUid})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_EQ(r.list("deletedObj"), (std::vector<std::string>{looseUid, filedUid}));
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 1u) << r.text;
    EXPECT_EQ(errors[0].uid, "");
    EXPECT_EQ(errors[0].index, -1);
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_INVALID_TAG}) << "the null tag";
    EXPECT_FALSE(alive(loose));
    EXPECT_FALSE(alive(filed));
    EXPECT_EQ(contentsOf(first), std::vector<unsigned int>{other});
    EXPECT_TRUE(contentsOf(second).empty());
    // Both folders were saved: releasing them discards nothing.
    ASSERT_EQ(AOM_refresh(first, 0), 0);
    EXPECT_EQ(contentsOf(first), std::vector<unsigned int>{other});
}

// An object that is not deleted is left as it was: in its folders at its
// places, unlocked, with one unkeyed partial error.
TEST_F(Dm0603OpsDeleteObjects, RefusedDeletionsChangeNothing) {
    struct Setup {
        tag_t object = 0;
        std::vector<tag_t> folders;
    };
    struct Case {
        const char* name;
        std::function<Setup()> setup;
        int code;
    };
    const std::vector<Case> cases = {
        {"second folder not writable",
         [] {
             Setup s{newObject("WolfObject", "x"), {newFolder("a"), newFolder("b")}};
             put(s.folders[0], {newObject("WolfObject", "before"), s.object});
             put(s.folders[1], {s.object, newObject("WolfObject", "after")});
             EXPECT_EQ(P::OBJ_set_read_only(s.folders[1], true), 0);
             return s;
         },
         P::ERR_READ_ONLY_OBJECT},
        {"referenced by an item revision",
         [] {
             Setup s{newObject("WolfObject", "x"), {newFolder("a")}};
             put(s.folders[0], {s.object});
             relate(latestRevisionOf(itemWithId("000100")), s.object, "Reference");
             return s;
         },
         P::ERR_REFERENCED_BY_NON_FOLDER},
        {"an item whose revision is filed elsewhere",
         [] {
             // The design guide: no structure uses it.
             const tag_t guide = itemWithId("DOC-0001");
             Setup s{guide, {newFolder("items"), newFolder("revisions")}};
             put(s.folders[0], {newObject("WolfObject", "before"), guide, newObject("WolfObject", "after")});
             put(s.folders[1], {latestRevisionOf(guide)});
             return s;
         },
         P::ERR_REFERENCED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        const Setup s = c.setup();
        std::vector<std::vector<unsigned int>> before;
        for (tag_t f : s.folders) before.push_back(contentsOf(f));
        const long objects = P::STORE_object_count();

        Parsed r(invoke(kService, "deleteObjects", deleteObjects({uidOf(s.object)})));
        ASSERT_TRUE(r.ok()) << r.text;
        const auto errors = r.errors();
        ASSERT_EQ(errors.size(), 1u) << r.text;
        EXPECT_EQ(errors[0].uid, "");
        ASSERT_FALSE(errors[0].codes.empty());
        EXPECT_EQ(errors[0].codes.front(), c.code) << r.text;
        EXPECT_TRUE(r.list("deletedObj").empty());
        EXPECT_TRUE(alive(s.object));
        EXPECT_EQ(P::STORE_object_count(), objects);
        EXPECT_TRUE(P::LOCKS_held().empty());
        for (std::size_t i = 0; i < s.folders.size(); ++i) {
            EXPECT_EQ(contentsOf(s.folders[i]), before[i]) << "folder " << i;
            ASSERT_EQ(AOM_refresh(s.folders[i], 0), 0);
            EXPECT_EQ(contentsOf(s.folders[i]), before[i]) << "folder " << i << " saved so";
        }
    }
}

// A folder's unsaved removal leaves the object named by the folder's saved
// values: deleting it is refused, so a refresh of the folder names no
// deleted object.
TEST_F(Dm0603OpsDeleteObjects, AnObjectAnUnsavedRemovalTookOutIsKept) {
    const tag_t object = newObject("WolfObject", "x");
    const tag_t folder = newFolder("a");
    put(folder, {object});
    ASSERT_EQ(FL_remove(folder, object), 0);

    Parsed r(invoke(kService, "deleteObjects", deleteObjects({uidOf(object)})));
    ASSERT_TRUE(r.ok()) << r.text;
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 1u) << r.text;
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_REFERENCED}) << r.text;
    EXPECT_TRUE(r.list("deletedObj").empty());
    EXPECT_TRUE(alive(object));
    ASSERT_EQ(AOM_refresh(folder, 0), 0);
    EXPECT_EQ(contentsOf(folder), std::vector<unsigned int>{object});
}

// --- changeOwnership ---

class Dm0603OpsChangeOwnership : public vl::test::ServiceTest {};

TEST_F(Dm0603OpsChangeOwnership, OneFailingEntryAmongThree) {
    tag_t bob = 0, alice = 0, manufacturing = 0, dba = 0, engineering = 0;
    ASSERT_EQ(SA_find_user("bob", &bob), 0);
    ASSERT_EQ(SA_find_user("alice", &alice), 0);
    ASSERT_EQ(SA_find_group("manufacturing", &manufacturing), 0);
    ASSERT_EQ(SA_find_group("dba", &dba), 0);
    ASSERT_EQ(SA_find_group("engineering", &engineering), 0);
    const tag_t a = newObject("WolfObject", "a"), b = newObject("WolfObject", "b"), c = newObject("WolfObject", "c");
    tag_t originalOwner = 0;
    ASSERT_EQ(AOM_ask_owner(b, &originalOwner), 0);
    auto entry = [](tag_t object, tag_t owner, tag_t group) {
        return "<input>" + ref("object", object) + ref("owner", owner) + ref("group", group) + "</input>";
    };
    Parsed r(invoke(kService, "changeOwnership",
                    "<ChangeOwnershipInput>" + entry(a, bob, manufacturing) + entry(b, bob, dba) +
                        entry(c, alice, engineering) + "</ChangeOwnershipInput>"));
    ASSERT_TRUE(r.ok()) << r.text;
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 1u) << r.text;
    EXPECT_EQ(errors[0].uid, uidOf(b));
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_NO_OWNER_MEMBERSHIP});
    EXPECT_EQ(r.list("updatedObj"), (std::vector<std::string>{uidOf(a), uidOf(c)}));
    tag_t owner = 0, group = 0;
    ASSERT_EQ(AOM_ask_owner(a, &owner), 0);
    ASSERT_EQ(AOM_ask_group(a, &group), 0);
    EXPECT_EQ(owner, bob);
    EXPECT_EQ(group, manufacturing);
    ASSERT_EQ(AOM_ask_owner(b, &owner), 0);
    EXPECT_EQ(owner, originalOwner);
    ASSERT_EQ(AOM_ask_owner(c, &owner), 0);
    EXPECT_EQ(owner, alice);
}

// Only the owner (or a privileged group) may give an object away: bob, in
// the owning group but not the owner, is refused for alice's object and
// gives his own away in the same request.
TEST_F(Dm0603OpsChangeOwnership, SomeoneElsesObjectIsRefused) {
    tag_t bob = 0, alice = 0, engineering = 0;
    ASSERT_EQ(SA_find_user("bob", &bob), 0);
    ASSERT_EQ(SA_find_user("alice", &alice), 0);
    ASSERT_EQ(SA_find_group("engineering", &engineering), 0);
    const tag_t hers = newObject("WolfObject", "hers");
    ASSERT_EQ(AOM_set_ownership(hers, alice, engineering), 0);
    Parsed login(invoke("Core-2006-03-Session", "login",
                        "<LoginInput username=\"bob\" password=\"bob-pw\" group=\"engineering\" role=\"Designer\" "
                        "sessionDiscriminator=\"s1\"/>"));
    ASSERT_EQ(login.root->name(), "LoginResponse") << login.text;
    const tag_t his = newObject("WolfObject", "his");
    auto entry = [](tag_t object, tag_t owner, tag_t group) {
        return "<input>" + ref("object", object) + ref("owner", owner) + ref("group", group) + "</input>";
    };
    Parsed r(invoke(kService, "changeOwnership",
                    "<ChangeOwnershipInput>" + entry(hers, bob, engineering) + entry(his, alice, engineering) +
                        "</ChangeOwnershipInput>"));
    ASSERT_TRUE(r.ok()) << r.text;
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 1u) << r.text;
    EXPECT_EQ(errors[0].uid, uidOf(hers));
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_NO_ACCESS});
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(his)});
    tag_t owner = 0;
    ASSERT_EQ(AOM_ask_owner(hers, &owner), 0);
    EXPECT_EQ(owner, alice);
    ASSERT_EQ(AOM_ask_owner(his, &owner), 0);
    EXPECT_EQ(owner, alice);
}

}  // namespace
