// Data management 2007_01 over real requests: refreshing objects, setting
// properties, moving objects between folders and generating uids.
#include "dm0701_support.hxx"

#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace dm0701 {
namespace {

constexpr int kInjected = vl::platform::ERR_INJECTED;

class Dm0701OpsTest : public vl::test::ServiceTest {
protected:
    Parsed call(const std::string& operation, const std::string& xml) {
        return Parsed(invoke(kService, operation, xml));
    }
    static std::vector<std::string> uids(const std::vector<unsigned int>& tags) {
        std::vector<std::string> out;
        for (unsigned int t : tags) out.push_back(uidOf(t));
        return out;
    }
    // The partial errors as "key:code,code" in reply order.
    static std::vector<std::string> errorsOf(const Parsed& reply) {
        std::vector<std::string> out;
        for (const auto& e : reply.errors()) {
            std::string s = (e.uid.empty() ? e.clientId : e.uid) + ":";
            for (std::size_t i = 0; i < e.codes.size(); ++i) s += (i ? "," : "") + std::to_string(e.codes[i]);
            out.push_back(s);
        }
        return out;
    }
    static std::string key(unsigned int tag, std::vector<int> codes) {
        std::string s = uidOf(tag) + ":";
        for (std::size_t i = 0; i < codes.size(); ++i) s += (i ? "," : "") + std::to_string(codes[i]);
        return s;
    }
};

// ---- refreshObjects

TEST_F(Dm0701OpsTest, RefreshReloadsEachObjectAndKeysEachFailureByItsObject) {
    const unsigned int a = newFolder("A"), b = newFolder("B"), gone = newFolder("Gone");
    ASSERT_EQ(AOM_delete(gone), 0);
    const std::string unknown = "nosuchobject";
    struct Case {
        const char* name;
        std::string objects;
        std::function<void()> arrange;
        std::vector<std::string> updated;
        std::vector<std::string> errors;
    } cases[] = {
        {"empty", "", nullptr, {}, {}},
        {"deleted and unknown objects among good ones",
         ref("object", a) + ref("object", gone) + refUid("object", unknown) + ref("object", b),
         nullptr,
         {uidOf(a), uidOf(b)},
         {key(gone, {vl::platform::ERR_INVALID_TAG}),
          unknown + ":" + std::to_string(vl::platform::ERR_INVALID_TAG)}},
        {"a failing reload", ref("object", a) + ref("object", b),
         [&] { vl::platform::FAULT_inject("OstraObject::reload", kInjected, a); },
         {uidOf(b)},
         {key(a, {kInjected})}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.arrange) c.arrange();
        Parsed reply = call("refreshObjects", "<RefreshObjectsInput>" + c.objects + "</RefreshObjectsInput>");
        ASSERT_EQ(reply.root->name(), "ServiceData") << reply.text;
        EXPECT_EQ(reply.list("updatedObj"), c.updated);
        EXPECT_EQ(errorsOf(reply), c.errors) << reply.text;
    }
}

TEST_F(Dm0701OpsTest, RefreshDiscardsUnsavedChanges) {
    const unsigned int folder = newFolder("Saved name");
    ASSERT_EQ(AOM_refresh(folder, 1), 0);
    ASSERT_EQ(AOM_set_value_string(folder, "object_name", "Unsaved"), 0);
    Parsed reply = call("refreshObjects", "<RefreshObjectsInput>" + ref("object", folder) + "</RefreshObjectsInput>");
    EXPECT_EQ(reply.list("updatedObj"), std::vector<std::string>{uidOf(folder)});
    char* name = nullptr;
    ASSERT_EQ(AOM_ask_value_string(folder, "object_name", &name), 0);
    scoped_smptr<char> owned(name);
    EXPECT_STREQ(name, "Saved name");
    ASSERT_EQ(AOM_refresh(folder, 0), 0);
}

// ---- setProperties

std::string attribute(const std::string& name, const std::vector<std::string>& values) {
    std::string xml = "<attribute key=\"" + esc(name) + "\"><value>";
    for (const auto& v : values) xml += "<stringVec value=\"" + esc(v) + "\"/>";
    return xml + "</value></attribute>";
}

// Objects outer, properties inner in key order: with the first k setter
// calls failing, which (object, property) pairs are still set shows the order.
TEST_F(Dm0701OpsTest, PropertiesAreSetObjectByObjectInKeyOrder) {
    struct Case {
        int failing;
        std::set<std::string> first, second;  // properties set on each object
    } cases[] = {
        {0, {"object_desc", "object_name"}, {"object_desc", "object_name"}},
        {1, {"object_name"}, {"object_desc", "object_name"}},
        {2, {}, {"object_desc", "object_name"}},
        {3, {}, {"object_name"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        const unsigned int one = newFolder("One"), two = newFolder("Two");
        for (int i = 0; i < c.failing; ++i) vl::platform::FAULT_inject("AOM_ask_property_desc", kInjected);
        // Sent in reverse key order: the order of the map is what counts.
        Parsed reply = call("setProperties", "<SetPropertiesInput>" + ref("object", one) + ref("object", two) +
                                                 attribute("object_name", {"N"}) + attribute("object_desc", {"D"}) +
                                                 "</SetPropertiesInput>");
        ASSERT_EQ(reply.root->name(), "ServiceData") << reply.text;
        auto setOn = [&](unsigned int object) {
            std::set<std::string> names;
            for (const auto& [name, values] : reply.properties(uidOf(object))) names.insert(name);
            return names;
        };
        EXPECT_EQ(setOn(one), c.first);
        EXPECT_EQ(setOn(two), c.second);
        EXPECT_EQ(reply.errors().size(), static_cast<std::size_t>(c.failing));
        for (const auto& e : reply.errors())
            EXPECT_EQ(e.codes, (std::vector<int>{kInjected, vl::platform::ERR_SET_PROPERTY_FAILED}));
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
    }
}

TEST_F(Dm0701OpsTest, BadPropertiesFailAloneAndEveryFailureSaysWhy) {
    tag_t item = 0, formRelation = 0;
    ASSERT_EQ(ITEM_find_item("000100", &item), 0);
    ASSERT_EQ(GRM_find_relation_type("OSTRA_master_form", &formRelation), 0);
    int count = 0;
    scoped_smptr<tag_t> forms;
    ASSERT_EQ(GRM_list_secondary_objects_only(item, formRelation, &count, &forms), 0);
    ASSERT_EQ(count, 1);
    const unsigned int form = forms[0];

    Parsed reply = call("setProperties", "<SetPropertiesInput>" + ref("object", form) + attribute("", {"x"}) +
                                             attribute("project_code", {"PX"}) +
                                             attribute("review_date", {"not a date"}) +
                                             attribute("weight", {"2.5"}) + "</SetPropertiesInput>");
    ASSERT_EQ(reply.root->name(), "ServiceData") << reply.text;
    auto props = reply.properties(uidOf(form));
    EXPECT_EQ(props["project_code"], std::vector<std::string>{"PX"});
    EXPECT_EQ(props.count("review_date"), 0u);
    EXPECT_EQ(props.count("weight"), 1u);
    EXPECT_EQ(reply.list("updatedObj"), std::vector<std::string>{uidOf(form)});
    auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 2u) << reply.text;  // the empty name, then the bad date
    for (const auto& e : errors) {
        EXPECT_EQ(e.uid, uidOf(form));
        ASSERT_FALSE(e.codes.empty());
        EXPECT_EQ(e.codes.back(), vl::platform::ERR_SET_PROPERTY_FAILED);
    }
    EXPECT_EQ(errors[0].codes.size(), 1u);  // nothing but the code of its own
}

TEST_F(Dm0701OpsTest, NoPropertiesChangeNothing) {
    const unsigned int folder = newFolder("F");
    Parsed reply = call("setProperties", "<SetPropertiesInput>" + ref("object", folder) + "</SetPropertiesInput>");
    EXPECT_EQ(reply.text.find("updatedObj"), std::string::npos) << reply.text;
    EXPECT_TRUE(reply.errors().empty());
}

// ---- moveToNewFolder

class Dm0701MoveTest : public Dm0701OpsTest {
protected:
    void SetUp() override {
        Dm0701OpsTest::SetUp();
        oldFolder = newFolder("Old");
        target = newFolder("New");
        for (int i = 0; i < 5; ++i) ASSERT_EQ(FL_insert(target, newObject("Folder", "e" + std::to_string(i)), -1), 0);
        x = newObject("Folder", "x");
        y = newObject("Folder", "y");
        a = newObject("Folder", "A");
        b = newObject("Folder", "B");
        c = newObject("Folder", "C");
        saveBoth();
        vl::platform::CALLS_clear();
    }
    void fill(unsigned int folder, const std::vector<unsigned int>& objects) {
        for (unsigned int o : objects) ASSERT_EQ(FL_insert(folder, o, -1), 0);
    }
    void saveBoth() {
        for (unsigned int f : {oldFolder, target}) {
            ASSERT_EQ(AOM_refresh(f, 1), 0);
            ASSERT_EQ(AOM_save(f), 0);
            ASSERT_EQ(AOM_refresh(f, 0), 0);
        }
    }
    std::string info(unsigned int from, unsigned int to, const std::vector<unsigned int>& objects) {
        std::string xml = "<moveToNewFolderInfo>" + ref("oldFolder", from) + ref("newFolder", to);
        for (unsigned int o : objects) xml += ref("objectsToMove", o);
        return xml + "</moveToNewFolderInfo>";
    }
    Parsed move(const std::string& infos) {
        return call("moveToNewFolder", "<MoveToNewFolderInput>" + infos + "</MoveToNewFolderInput>");
    }
    std::vector<unsigned int> targetWith(const std::vector<unsigned int>& added) {
        auto v = initialTarget;
        v.insert(v.end(), added.begin(), added.end());
        return v;
    }
    unsigned int oldFolder = 0, target = 0, x = 0, y = 0, a = 0, b = 0, c = 0;
    std::vector<unsigned int> initialTarget;
};

TEST_F(Dm0701MoveTest, ObjectsGoToTheEndAtThePositionsThatFollowTheEntries) {
    initialTarget = contentsOf(target);
    struct Case {
        const char* name;
        std::vector<unsigned int> oldContents, moved;
        std::vector<int> positions;
        std::vector<unsigned int> oldAfter, targetAdded;
        std::vector<unsigned int> errorKeys;
    } cases[] = {
        {"three moves", {x, a, b, c, y}, {a, b, c}, {5, 6, 7}, {x, y}, {a, b, c}, {}},
        // The second is not in the old folder: its removal uses up no position.
        {"failed second removal", {x, a, c, y}, {a, b, c}, {5, 6}, {x, y}, {a, c}, {b}},
        // The second is the new folder itself: its insertion fails after its
        // position was taken, and it goes back where it stood (position 1).
        {"failed second insertion", {x, a, target, c, y}, {a, target, c}, {5, 6, 1, 7}, {x, target, y}, {a, c},
         {target}},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.name);
        const unsigned int from = newFolder("From");
        fill(from, cs.oldContents);
        vl::platform::CALLS_clear();
        Parsed reply = move(info(from, target, cs.moved));
        ASSERT_TRUE(reply.ok()) << reply.text;
        EXPECT_EQ(vl::platform::FL_insert_positions(), cs.positions);
        EXPECT_EQ(uids(contentsOf(from)), uids(cs.oldAfter));
        EXPECT_EQ(uids(contentsOf(target)), uids(targetWith(cs.targetAdded)));
        std::vector<std::string> keys;
        for (const auto& e : reply.errors()) keys.push_back(e.uid);
        EXPECT_EQ(keys, uids(cs.errorKeys));
        EXPECT_EQ(reply.list("updatedObj"), (std::vector<std::string>{uidOf(target), uidOf(from)}));
        // Put the target back as it was for the next case.
        for (unsigned int o : cs.targetAdded) ASSERT_EQ(FL_remove(target, o), 0);
        ASSERT_EQ(AOM_refresh(target, 1), 0);
        ASSERT_EQ(AOM_save(target), 0);
        ASSERT_EQ(AOM_refresh(target, 0), 0);
    }
}

// A failing info is undone whole, its folders released, and the next one is
// still carried out.
TEST_F(Dm0701MoveTest, AFailingInfoLosesNothingAndHoldsNoLock) {
    fill(oldFolder, {x, a, b});
    saveBoth();
    initialTarget = contentsOf(target);
    const unsigned int second = newFolder("Second");
    struct Case {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"new folder cannot be locked",
         [&] { vl::platform::FAULT_inject("AOM_refresh", kInjected, target); }},
        {"failing save of the new folder, after the old one was saved",
         [&] { vl::platform::FAULT_inject("AOM_save", kInjected, target); }},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.name);
        cs.arrange();
        const unsigned int moving = newObject("Folder", "moving");
        const unsigned int source = newFolder("Source");
        fill(source, {moving});
        Parsed reply = move(info(oldFolder, target, {a, b}) + info(source, second, {moving}));
        ASSERT_TRUE(reply.ok()) << reply.text;
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
        auto errors = reply.errors();
        ASSERT_EQ(errors.size(), 1u) << reply.text;
        EXPECT_EQ(errors[0].uid, "");
        EXPECT_EQ(errors[0].clientId, "");
        EXPECT_EQ(errors[0].codes, std::vector<int>{kInjected});
        // Neither folder of the failed info is reported; the next info's are.
        EXPECT_EQ(reply.list("updatedObj"), (std::vector<std::string>{uidOf(second), uidOf(source)}));
        EXPECT_TRUE(vl::platform::LOCKS_held().empty());
        // Both folders hold what they held, saved: discarding unsaved
        // changes brings nothing else back.
        for (unsigned int f : {oldFolder, target}) {
            ASSERT_EQ(AOM_refresh(f, 1), 0);
            ASSERT_EQ(AOM_refresh(f, 0), 0);
        }
        EXPECT_EQ(uids(contentsOf(oldFolder)), uids({x, a, b}));
        EXPECT_EQ(uids(contentsOf(target)), uids(initialTarget));
        EXPECT_EQ(uids(contentsOf(second)), uids({moving}));
        EXPECT_EQ(uids(contentsOf(source)), uids({}));
        // The second target empty again for the next case.
        ASSERT_EQ(FL_remove(second, moving), 0);
        ASSERT_EQ(AOM_refresh(second, 1), 0);
        ASSERT_EQ(AOM_save(second), 0);
        ASSERT_EQ(AOM_refresh(second, 0), 0);
    }
}

// The old folder is the new one: each object moves to the end, in request
// order; the folder is saved, released and listed once.
TEST_F(Dm0701MoveTest, AMoveWithinOneFolderGoesToItsEnd) {
    fill(target, {x, a, y});
    saveBoth();
    initialTarget = contentsOf(target);
    vl::platform::CALLS_clear();
    Parsed reply = move(info(target, target, {a, x, b}));
    ASSERT_TRUE(reply.ok()) << reply.text;
    // b is not in the folder: its removal fails and takes no place.
    EXPECT_EQ(errorsOf(reply), (std::vector<std::string>{key(b, {vl::platform::ERR_NOT_FOUND})}));
    EXPECT_EQ(vl::platform::FL_insert_positions(), (std::vector<int>{8, 9}));
    EXPECT_EQ(reply.list("updatedObj"), (std::vector<std::string>{uidOf(target)}));
    ASSERT_EQ(AOM_refresh(target, 1), 0);
    ASSERT_EQ(AOM_refresh(target, 0), 0);
    std::vector<unsigned int> expected(initialTarget.begin(), initialTarget.begin() + 5);
    expected.insert(expected.end(), {y, a, x});
    EXPECT_EQ(uids(contentsOf(target)), uids(expected));
}

TEST_F(Dm0701MoveTest, AFailingFolderModuleStartIsReportedAndTheMovesStillHappen) {
    fill(oldFolder, {a});
    saveBoth();
    vl::platform::FAULT_inject("FL_init_module", kInjected);
    Parsed reply = move(info(oldFolder, target, {a}));
    ASSERT_EQ(reply.errors().size(), 1u) << reply.text;
    EXPECT_EQ(reply.errors()[0].codes, std::vector<int>{kInjected});
    EXPECT_EQ(contentsOf(target).back(), a);
}

// ---- generateUID

TEST_F(Dm0701OpsTest, UidsAreNewAndCountedAsAsked) {
    struct Case {
        int count;
        std::size_t uids;
        std::vector<int> unkeyedError;
    } cases[] = {
        {0, 0, {}},
        {-1, 0, {}},
        {3, 3, {}},
        {10000, 10000, {}},
        {10001, 0, {vl::platform::ERR_TOO_MANY_UIDS}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Parsed reply = call("generateUID", "<GenerateUIDInput nUID=\"" + std::to_string(c.count) + "\"/>");
        ASSERT_EQ(reply.root->name(), "GenerateUIDResponse") << reply.text.substr(0, 300);
        std::set<std::string> seen;
        for (const auto* u : dm0603::childrenNamed(*reply.root, "uid")) {
            std::string uid = dm0603::attrOr(*u, "value");
            EXPECT_FALSE(uid.empty());
            seen.insert(uid);
            EXPECT_NE(Tag::isValid(dm0603::tagOf(uid)), 0) << "a uid handed out names an object";
        }
        EXPECT_EQ(seen.size(), c.uids);
        auto errors = reply.errors();
        if (c.unkeyedError.empty()) {
            EXPECT_TRUE(errors.empty()) << reply.text.substr(0, 300);
        } else {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].uid, "");
            EXPECT_EQ(errors[0].codes, c.unkeyedError);
        }
    }
}

// Handed-out uids cost the store nothing to keep, request after request, and
// none of them is given to an object made afterwards.
TEST_F(Dm0701OpsTest, HandedOutUidsAreNotRememberedAndNeverGivenToALaterObject) {
    const long remembered = vl::platform::STORE_remembered_uids();
    std::set<std::string> handedOut;
    for (int r = 0; r < 20; ++r) {
        Parsed reply = call("generateUID", "<GenerateUIDInput nUID=\"1000\"/>");
        for (const auto* u : dm0603::childrenNamed(*reply.root, "uid")) handedOut.insert(dm0603::attrOr(*u, "value"));
        EXPECT_EQ(vl::platform::STORE_remembered_uids(), remembered) << "request " << r;
    }
    ASSERT_EQ(handedOut.size(), 20000u);
    std::string folders = "<CreateFoldersInput>";
    for (int i = 0; i < 500; ++i) folders += "<folder clientId=\"c\" name=\"f\"/>";
    const Parsed made(invoke(dm0603::kService, "createFolders", folders + "</CreateFoldersInput>"));
    const auto created = made.list("createdObj");
    ASSERT_EQ(created.size(), 500u) << made.text.substr(0, 300);
    for (const std::string& uid : created) EXPECT_FALSE(handedOut.count(uid)) << uid;
    for (const std::string& uid : handedOut) ASSERT_NE(Tag::isValid(dm0603::tagOf(uid)), 0) << uid;
}

// A failing generator hands out nothing rather than an unfilled uid.
TEST_F(Dm0701OpsTest, AFailingUidGeneratorAnswersWithAnException) {
    vl::platform::FAULT_inject("EIM_uid", kInjected);
    Parsed reply = call("generateUID", "<GenerateUIDInput nUID=\"2\"/>");
    EXPECT_TRUE(reply.isException()) << reply.text;
    EXPECT_NE(reply.text.find(std::to_string(kInjected)), std::string::npos) << reply.text;
}

}  // namespace
}  // namespace dm0701
