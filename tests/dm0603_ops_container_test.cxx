// The container check and the container relation rule, as createFolders and
// createItems apply them: a container is related to only when the user may
// write it, and counts as updated only when something was really related.
#include "dm0603_ops_support.hxx"

#include "aom/aom.hxx"
#include "aom/grm.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace dm0603;
namespace P = vl::platform;

// One create operation, two inputs "a" and "b".
struct Operation {
    const char* name;
    const char* output;  // the output's reference field of the new object
    std::function<std::string(const std::string& containerUid, const std::string& relationType)> request;
    bool keepsUnrelated;  // an object that could not be related is still reported
};

const std::vector<Operation>& operations() {
    static const std::vector<Operation> ops = {
        {"createFolders", "folder",
         [](const std::string& container, const std::string& relationType) {
             return "<CreateFoldersInput relationType=\"" + esc(relationType) +
                    "\"><folder clientId=\"a\" name=\"A\" desc=\"\"/><folder clientId=\"b\" name=\"B\" desc=\"\"/>" +
                    refUid("container", container) + "</CreateFoldersInput>";
         },
         true},
        {"createItems", "item",
         [](const std::string& container, const std::string& relationType) {
             return "<CreateItemsInput relationType=\"" + esc(relationType) +
                    "\"><propertie clientId=\"a\" itemId=\"K-1\" revId=\"A\"/>"
                    "<propertie clientId=\"b\" itemId=\"K-2\" revId=\"A\"/>" +
                    refUid("container", container) + "</CreateItemsInput>";
         },
         false},
    };
    return ops;
}

// What is related to an object: a folder's contents, else the secondaries
// of its relations.
std::vector<unsigned int> relatedTo(unsigned int object, bool folder) {
    if (folder) return contentsOf(object);
    int count = 0;
    scoped_smptr<tag_t> secondaries;
    EXPECT_EQ(GRM_list_secondary_objects_only(object, 0, &count, &secondaries), 0);
    return std::vector<unsigned int>(secondaries.get(), secondaries.get() + count);
}

class Dm0603OpsContainer : public vl::test::ServiceTest {
protected:
    // An item revision made by a request, as a client would name it.
    static std::string newRevisionUid() {
        Parsed r(invoke(kService, "createItems",
                        "<CreateItemsInput relationType=\"\"><propertie clientId=\"r\" itemId=\"REV-1\" "
                        "revId=\"A\"/><container uid=\"\"/></CreateItemsInput>"));
        EXPECT_EQ(r.outputs().size(), 1u) << r.text;
        return r.outputs().empty() ? std::string() : Parsed::outRef(*r.outputs()[0], "itemRev");
    }
};

struct CheckCase {
    const char* name;
    std::function<std::string()> container;  // makes it, gives its uid
    bool folder;                             // the container is a live folder
    const char* relationType;
    const char* inject;  // platform call made to fail, or null
    bool related;        // both new objects end up related to the container
    int code;            // code of the one partial error, 0 for none
    bool underContainer;  // that error is keyed by the container's uid
};

// Objects are made and reported whatever the container; they are related,
// and the container listed as updated, only for one the user may write.
TEST_F(Dm0603OpsContainer, CheckDecidesWhetherObjectsAreRelated) {
    const auto writableFolder = [] { return uidOf(newFolder("box")); };
    const std::vector<CheckCase> cases = {
        {"null container", [] { return std::string(); }, false, "", nullptr, false, 0, false},
        {"unknown uid", [] { return std::string("NoSuchUid00003"); }, false, "", nullptr, false,
         P::ERR_NO_SUCH_OBJECT, true},
        {"deleted object",
         [] {
             const unsigned int gone = newFolder("gone");
             EXPECT_EQ(AOM_delete(gone), 0);
             return uidOf(gone);
         },
         false, "", nullptr, false, P::ERR_NO_SUCH_OBJECT, true},
        {"read-only folder",
         [] {
             const unsigned int f = newFolder("ro");
             EXPECT_EQ(P::OBJ_set_read_only(f, true), 0);
             return uidOf(f);
         },
         true, "", nullptr, false, P::ERR_NOT_MODIFIABLE, true},
        {"read-only object with a relation type",
         [] {
             const unsigned int w = newObject("WolfObject", "w");
             EXPECT_EQ(P::OBJ_set_read_only(w, true), 0);
             return uidOf(w);
         },
         false, "Reference", nullptr, false, P::ERR_NOT_MODIFIABLE, true},
        {"privilege check fails", writableFolder, true, "", "AM_check_privilege", false, P::ERR_INJECTED, false},
        {"writable folder", writableFolder, true, "", nullptr, true, 0, false},
        {"writable object with a relation type", [] { return uidOf(newObject("WolfObject", "w")); }, false,
         "Reference", nullptr, true, 0, false},
    };
    for (const auto& op : operations()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(op.name) + ": " + c.name);
            P::SITE_reset();
            const std::string container = c.container();
            if (c.inject) P::FAULT_inject(c.inject, P::ERR_INJECTED);
            Parsed r(invoke(kService, op.name, op.request(container, c.relationType)));
            ASSERT_TRUE(r.ok()) << r.text;
            ASSERT_EQ(r.outputs().size(), 2u) << r.text;
            std::vector<unsigned int> made;
            for (const XMLNode* o : r.outputs()) made.push_back(tagOf(Parsed::outRef(*o, op.output)));
            const auto created = r.list("createdObj");
            for (unsigned int m : made) EXPECT_NE(std::find(created.begin(), created.end(), uidOf(m)), created.end());
            EXPECT_EQ(r.list("updatedObj"), c.related ? std::vector<std::string>{container} : std::vector<std::string>{})
                << r.text;
            const auto errors = r.errors();
            if (c.code == 0) {
                EXPECT_TRUE(errors.empty()) << r.text;
            } else {
                ASSERT_EQ(errors.size(), 1u) << r.text;
                EXPECT_EQ(errors[0].codes, std::vector<int>{c.code}) << r.text;
                EXPECT_EQ(errors[0].uid, c.underContainer ? container : "");
                EXPECT_EQ(errors[0].clientId, "");
            }
            if (!container.empty() && Tag::isValid(tagOf(container)) == 0) {
                EXPECT_EQ(relatedTo(tagOf(container), c.folder), c.related ? made : std::vector<unsigned int>{});
            }
        }
    }
}

struct RuleCase {
    const char* name;
    bool folder;  // a writable folder, else an item revision
    const char* relationType;
    const char* inject;  // platform call made to fail for the container, or null
    std::vector<int> codes;
};

// A writable container the new object could not be related to: the reason
// is the error createRelations met, or 89015 when it met none. A folder is
// reported, an item taken back; the container is not updated and holds
// nothing.
TEST_F(Dm0603OpsContainer, RuleSucceedsOnlyWhenSomethingWasRelated) {
    const std::vector<RuleCase> cases = {
        {"revision, no such relation type or property", false, "NoSuchRelation", nullptr, {P::ERR_NO_SUCH_ATTRIBUTE}},
        {"revision, no relation type found", false, "", nullptr, {P::ERR_RELATE_TO_CONTAINER}},
        {"revision, the relation's save fails", false, "Reference", "GRM_save_relation", {P::ERR_INJECTED}},
        {"folder contents not described", true, "", "AOM_ask_property_desc", {P::ERR_INJECTED}},
        {"folder contents not read", true, "", "AOM_get_value_tags", {P::ERR_INJECTED}},
        {"folder not locked", true, "", "AOM_refresh", {P::ERR_INJECTED}},
        {"folder contents not written", true, "", "AOM_set_value_tags", {P::ERR_INJECTED}},
        {"folder not saved", true, "", "AOM_save", {P::ERR_INJECTED}},
    };
    for (const auto& op : operations()) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(op.name) + ": " + c.name);
            P::SITE_reset();
            const std::string container = c.folder ? uidOf(newFolder("box")) : newRevisionUid();
            const long before = P::STORE_object_count();
            // The second input's relation goes through: the first failure
            // leaves no trace in it.
            if (c.inject) P::FAULT_inject(c.inject, P::ERR_INJECTED, c.folder ? tagOf(container) : 0);
            Parsed r(invoke(kService, op.name, op.request(container, c.relationType)));
            ASSERT_TRUE(r.ok()) << r.text;
            EXPECT_EQ(P::FAULT_pending(), 0);
            const bool secondRelated = c.inject != nullptr;
            const auto errors = r.errors();
            ASSERT_EQ(errors.size(), secondRelated ? 1u : 2u) << r.text;
            EXPECT_EQ(errors[0].codes, c.codes) << r.text;
            EXPECT_EQ(errors[0].clientId, op.keepsUnrelated ? "" : "a");
            EXPECT_EQ(errors[0].uid, "");

            std::vector<unsigned int> related;
            const auto outputs = r.outputs();
            if (op.keepsUnrelated) {
                ASSERT_EQ(outputs.size(), 2u) << r.text;
                EXPECT_EQ(r.list("createdObj").size(), 2u) << r.text;
                if (secondRelated) related.push_back(tagOf(Parsed::outRef(*outputs[1], op.output)));
            } else {
                ASSERT_EQ(outputs.size(), secondRelated ? 1u : 0u) << r.text;
                if (secondRelated) {
                    EXPECT_EQ(attrOr(*outputs[0], "clientId"), "b");
                    related.push_back(tagOf(Parsed::outRef(*outputs[0], op.output)));
                    // The failed item and its revision are gone: the second
                    // item and its revision stay, with the relation to a revision.
                    EXPECT_EQ(P::STORE_object_count(), before + 2 + (c.folder ? 0 : 1));
                } else {
                    EXPECT_EQ(P::STORE_object_count(), before);
                }
            }
            EXPECT_EQ(r.list("updatedObj"), secondRelated ? std::vector<std::string>{container}
                                                          : std::vector<std::string>{})
                << r.text;
            EXPECT_EQ(relatedTo(tagOf(container), c.folder), related);
        }
    }
}

}  // namespace
