// A folder never goes into itself or into a folder below it, whichever
// request puts it there: moved, related as contents, or written as the
// contents property. What is refused changes no folder.
#include "dm0603_ops_support.hxx"

#include "foundation/error_codes.hxx"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace dm0603;
namespace P = vl::platform;

const char* const kService0701 = "Core-2007-01-DataManagement";

// The messages of a reply's partial errors, in order.
std::vector<std::string> messagesOf(const Parsed& reply) {
    std::vector<std::string> out;
    for (const XMLNode* e : childrenNamed(*reply.sd, "partialError"))
        for (const XMLNode* v : childrenNamed(*e, "errorValue")) out.push_back(attrOr(*v, "message"));
    return out;
}

std::string uidList(const std::vector<unsigned int>& tags) {
    std::string out;
    for (unsigned int t : tags) out += (out.empty() ? "" : ",") + uidOf(t);
    return out;
}

struct WritePath;
struct Placement;

// Top holds Root; Root holds A and Other; Sub sits in both A and Other;
// Sub holds Deep.
class FolderCycles : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        build();
    }
    void build() {
        folders.clear();
        for (const char* name : {"Top", "Root", "A", "Other", "Sub", "Deep"}) folders[name] = newFolder(name);
        put("Top", "Root");
        put("Root", "A");
        put("Root", "Other");
        put("A", "Sub");
        put("Other", "Sub");
        put("Sub", "Deep");
    }
    void put(const char* into, const char* object) {
        const unsigned int f = folders.at(into);
        ASSERT_EQ(AOM_refresh(f, 1), 0);
        ASSERT_EQ(FL_insert(f, folders.at(object), -1), 0);
        ASSERT_EQ(AOM_save(f), 0);
        ASSERT_EQ(AOM_refresh(f, 0), 0);
    }
    // Every folder's contents, by name.
    std::map<std::string, std::vector<unsigned int>> tree() const {
        std::map<std::string, std::vector<unsigned int>> out;
        for (const auto& [name, f] : folders) out[name] = contentsOf(f);
        return out;
    }
    // The same once unsaved changes are discarded: what is saved.
    std::map<std::string, std::vector<unsigned int>> savedTree() const {
        for (const auto& [name, f] : folders) {
            EXPECT_EQ(AOM_refresh(f, 1), 0);
            EXPECT_EQ(AOM_refresh(f, 0), 0);
        }
        return tree();
    }
    // Puts the folder there by one request; checks what is refused changes
    // nothing and what is not is done.
    void place(const WritePath& path, const Placement& p);
    std::map<std::string, unsigned int> folders;
};

// One request that puts `moving` into `into`; `holder` is a folder that
// holds `moving` (moveToNewFolder's old folder).
struct WritePath {
    const char* name;
    std::function<std::string(unsigned int moving, unsigned int into, unsigned int holder)> request;
    const char* service;
    const char* operation;
    // The one partial error of a refusal: keyed by the moved folder, the
    // target folder, or the client id "c".
    enum Key { Moved, Target, Client } key;
    std::vector<int> codes;
};

const std::vector<WritePath>& writePaths() {
    const auto contentsWith = [](unsigned int into, unsigned int moving) {
        std::vector<unsigned int> v = contentsOf(into);
        v.push_back(moving);
        return v;
    };
    static const std::vector<WritePath> paths = {
        {"moveToNewFolder",
         [](unsigned int moving, unsigned int into, unsigned int holder) {
             return "<MoveToNewFolderInput><moveToNewFolderInfo>" + ref("oldFolder", holder) +
                    ref("newFolder", into) + ref("objectsToMove", moving) +
                    "</moveToNewFolderInfo></MoveToNewFolderInput>";
         },
         kService0701, "moveToNewFolder", WritePath::Moved, {P::ERR_FOLDER_CYCLE}},
        {"createRelations as contents",
         [](unsigned int moving, unsigned int into, unsigned int) {
             return "<CreateRelationsInput><input clientId=\"c\" relationType=\"contents\">" +
                    ref("primaryObject", into) + ref("secondaryObject", moving) + refUid("userData", "") +
                    "</input></CreateRelationsInput>";
         },
         kService, "createRelations", WritePath::Client, {P::ERR_FOLDER_CYCLE}},
        {"setProperties of contents",
         [contentsWith](unsigned int moving, unsigned int into, unsigned int) {
             std::string xml = "<SetPropertiesInput>" + ref("object", into) + "<attribute key=\"contents\"><value>";
             for (unsigned int t : contentsWith(into, moving)) xml += "<stringVec value=\"" + esc(uidOf(t)) + "\"/>";
             return xml + "</value></attribute></SetPropertiesInput>";
         },
         kService0701, "setProperties", WritePath::Target, {P::ERR_FOLDER_CYCLE, P::ERR_SET_PROPERTY_FAILED}},
        {"setDisplayProperties of contents",
         [contentsWith](unsigned int moving, unsigned int into, unsigned int) {
             return "<SetDisplayPropertiesInput>" + ref("object", into) + "<attribute key=\"contents\" value=\"" +
                    esc(uidList(contentsWith(into, moving))) + "\"/></SetDisplayPropertiesInput>";
         },
         kService, "setDisplayProperties", WritePath::Target, {P::ERR_FOLDER_CYCLE}},
    };
    return paths;
}

struct Placement {
    const char* moving;
    const char* into;
    const char* holder;
    bool refused;
};

void FolderCycles::place(const WritePath& path, const Placement& p) {
    const unsigned int moving = folders.at(p.moving), into = folders.at(p.into);
    const auto before = tree();
    Parsed reply(invoke(path.service, path.operation, path.request(moving, into, folders.at(p.holder))));
    ASSERT_TRUE(reply.ok()) << reply.text;
    EXPECT_TRUE(P::LOCKS_held().empty());
    if (!p.refused) {
        EXPECT_TRUE(reply.errors().empty()) << reply.text;
        const auto held = savedTree().at(p.into);
        EXPECT_EQ(std::count(held.begin(), held.end(), moving), 1);
        return;
    }
    const auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 1u) << reply.text;
    EXPECT_EQ(errors[0].codes, path.codes) << reply.text;
    switch (path.key) {
    case WritePath::Moved: EXPECT_EQ(errors[0].uid, uidOf(moving)); break;
    case WritePath::Target: EXPECT_EQ(errors[0].uid, uidOf(into)); break;
    case WritePath::Client: EXPECT_EQ(errors[0].clientId, "c"); break;
    }
    // The refusal names both folders.
    const std::string message = messagesOf(reply).at(0);
    EXPECT_NE(message.find(uidOf(moving)), std::string::npos) << message;
    EXPECT_NE(message.find(uidOf(into)), std::string::npos) << message;
    // Every folder holds what it held, unsaved and saved.
    EXPECT_EQ(tree(), before);
    EXPECT_EQ(savedTree(), before);
}

TEST_F(FolderCycles, NoWritePathPutsAFolderIntoItselfOrBelowIt) {
    const Placement placements[] = {
        {"A", "Sub", "Root", true},       // the child of what moves
        {"A", "Deep", "Root", true},      // further down
        {"A", "A", "Root", true},         // itself
        {"Root", "Deep", "Top", true},    // from the top of the tree
        {"Other", "Deep", "Root", true},  // below it through Sub's second folder only
        {"Deep", "Other", "Sub", false},  // up the tree: no cycle
        {"A", "Other", "Root", false},    // a sibling: no cycle
    };
    for (const WritePath& path : writePaths()) {
        for (const Placement& p : placements) {
            SCOPED_TRACE(std::string(path.name) + ": " + p.moving + " into " + p.into);
            P::SITE_reset();
            build();
            place(path, p);
        }
    }
}

// moveToNewFolder, the issue as a client saw it: A goes back into Root, and
// both folders of the info are still saved and reported.
TEST_F(FolderCycles, AMoveIntoItsOwnSubFolderPutsTheFolderBack) {
    const unsigned int root = folders.at("Root"), a = folders.at("A"), sub = folders.at("Sub");
    const auto before = tree();
    Parsed reply(invoke(kService0701, "moveToNewFolder",
                        "<MoveToNewFolderInput><moveToNewFolderInfo>" + ref("oldFolder", root) + ref("newFolder", sub) +
                            ref("objectsToMove", a) + "</moveToNewFolderInfo></MoveToNewFolderInput>"));
    ASSERT_EQ(reply.errors().size(), 1u) << reply.text;
    EXPECT_EQ(reply.list("updatedObj"), (std::vector<std::string>{uidOf(sub), uidOf(root)}));
    EXPECT_EQ(savedTree(), before);
    EXPECT_EQ(contentsOf(root).front(), a);
}

}  // namespace
