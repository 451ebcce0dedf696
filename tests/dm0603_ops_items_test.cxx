// createItems: identifiers from the generators, master forms from extended
// attributes, one markpoint per input, and the container rule.
#include "dm0603_ops_support.hxx"

#include "aom/aom.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/test_seams.hxx"
#include "user_exits/user_exits.hxx"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace dm0603;
namespace P = vl::platform;

struct Attrs {
    std::string objectType;
    std::vector<std::pair<std::string, std::string>> pairs;  // in request order
};

struct ItemIn {
    ItemIn(std::string c, std::string i = "", std::string r = "", std::string n = "", std::string t = "",
           std::string u = "", std::string d = "")
        : clientId(std::move(c)), itemId(std::move(i)), revId(std::move(r)), name(std::move(n)), type(std::move(t)),
          uom(std::move(u)), description(std::move(d)) {}
    std::string clientId, itemId, revId, name, type, uom, description;
    std::vector<Attrs> extended;
};

std::string createItems(const std::vector<ItemIn>& items, const std::string& containerUid = "",
                        const std::string& relationType = "") {
    std::string xml = "<CreateItemsInput relationType=\"" + esc(relationType) + "\">";
    for (const auto& i : items) {
        xml += "<propertie clientId=\"" + esc(i.clientId) + "\" name=\"" + esc(i.name) + "\" type=\"" + esc(i.type) +
               "\" description=\"" + esc(i.description) + "\" uom=\"" + esc(i.uom) + "\" revId=\"" + esc(i.revId) +
               "\" itemId=\"" + esc(i.itemId) + "\">";
        for (const auto& e : i.extended) {
            xml += "<extendedAttribute objectType=\"" + esc(e.objectType) + "\">";
            for (const auto& [k, v] : e.pairs) xml += "<attribute key=\"" + esc(k) + "\" value=\"" + esc(v) + "\"/>";
            xml += "</extendedAttribute>";
        }
        xml += "</propertie>";
    }
    return xml + refUid("container", containerUid) + "</CreateItemsInput>";
}

std::string idOf(unsigned int item) {
    scoped_smptr<char> id;
    EXPECT_EQ(ITEM_ask_id(item, &id), 0);
    return id.get() ? id.get() : "";
}
std::string revIdOf(unsigned int rev) {
    scoped_smptr<char> id;
    EXPECT_EQ(ITEM_ask_rev_id(rev, &id), 0);
    return id.get() ? id.get() : "";
}
std::string stringOf(unsigned int object, const char* name) {
    scoped_smptr<char> value;
    EXPECT_EQ(AOM_ask_value_string(object, name, &value), 0) << name;
    return value.get() ? value.get() : "";
}
unsigned int findItem(const std::string& id) {
    tag_t item = 0;
    EXPECT_EQ(ITEM_find_item(id.c_str(), &item), 0);
    return item;
}

class Dm0603OpsCreateItems : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        dm0603::setIdExitHooks(
            [this](tag_t) {
                ++itemCalls;
                return failItemExit ? ERROR_store(3, P::ERR_INJECTED) : 0;
            },
            [this](tag_t) { ++revCalls; });
        objectsAtStart = P::STORE_object_count();
    }
    void TearDown() override {
        EXPECT_FALSE(OstraType::isClientServerUpdateListSuspended()) << "update list left suspended";
        P::USER_reset_exits();
        ServiceTest::TearDown();
    }
    int itemCalls = 0, revCalls = 0;
    bool failItemExit = false;
    long objectsAtStart = 0;
};

TEST_F(Dm0603OpsCreateItems, GeneratorCallMatrix) {
    struct Case {
        const char* name;
        std::string itemId, revId;
        int itemCalls, revCalls;
        std::string expectItemId, expectRevId;  // "" = generated
    };
    const std::vector<Case> cases = {
        {"no identifiers", "", "", 1, 1, "", "A"},
        {"item identifier only", "X-1", "", 0, 1, "X-1", "A"},
        {"revision identifier only", "", "C", 1, 1, "", "C"},
        {"both", "X-2", "D", 0, 0, "X-2", "D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        itemCalls = revCalls = 0;
        Parsed r(invoke(kService, "createItems", createItems({{"c", c.itemId, c.revId}})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_TRUE(r.errors().empty()) << r.text;
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        EXPECT_EQ(itemCalls, c.itemCalls);
        EXPECT_EQ(revCalls, c.revCalls);
        const unsigned int item = tagOf(Parsed::outRef(*r.outputs()[0], "item"));
        const unsigned int rev = tagOf(Parsed::outRef(*r.outputs()[0], "itemRev"));
        const std::string id = idOf(item);
        if (!c.expectItemId.empty()) {
            EXPECT_EQ(id, c.expectItemId);
        }
        EXPECT_FALSE(id.empty());
        EXPECT_EQ(revIdOf(rev), c.expectRevId);
        // The creation notice names the identifiers used, generated ones too.
        EXPECT_EQ(P::USER_created_items().back(), std::make_pair(id, c.expectRevId));
    }
}

TEST_F(Dm0603OpsCreateItems, DefaultsForTypeAndName) {
    Parsed r(invoke(kService, "createItems",
                    createItems({{"plain", "", "", "", ""}, {"named", "N-1", "A", "Given", "Part"}})));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    const unsigned int plain = tagOf(Parsed::outRef(*r.outputs()[0], "item"));
    const unsigned int named = tagOf(Parsed::outRef(*r.outputs()[1], "item"));
    EXPECT_EQ(attrOr(*r.outputs()[0]->child("item"), "type"), "Item");
    EXPECT_EQ(stringOf(plain, "object_name"), idOf(plain)) << "named after its generated identifier";
    EXPECT_EQ(attrOr(*r.outputs()[1]->child("item"), "type"), "Part");
    EXPECT_EQ(stringOf(named, "object_name"), "Given");
    // Objects created: item, revision, for each input; no form without attributes.
    EXPECT_EQ(r.list("createdObj").size(), 4u) << r.text;
}

TEST_F(Dm0603OpsCreateItems, MasterFormsFromExtendedAttributes) {
    ItemIn in{"c", "F-1", "B", "", "", "", ""};
    in.extended = {{"ItemMaster", {{"weight", "2.5"}, {"quantity", "3"}}},
                   {"ItemRevisionMaster", {{"change_reason", "first"}}},
                   {"Item", {{"object_desc", "ignored"}}},
                   {"NotAFormType", {{"x", "y"}}}};
    P::CALLS_clear();
    Parsed r(invoke(kService, "createItems", createItems({in})));
    ASSERT_EQ(r.outputs().size(), 1u) << r.text;
    EXPECT_TRUE(r.errors().empty()) << r.text;
    const auto created = r.list("createdObj");
    ASSERT_EQ(created.size(), 4u) << r.text;
    const unsigned int itemForm = tagOf(created[2]), revForm = tagOf(created[3]);
    EXPECT_EQ(stringOf(itemForm, "object_name"), "F-1");
    EXPECT_EQ(stringOf(revForm, "object_name"), "F-1B") << "item and revision identifiers without separator";
    double weight = 0;
    int quantity = 0;
    ASSERT_EQ(AOM_ask_value_double(itemForm, "weight", &weight), 0);
    ASSERT_EQ(AOM_ask_value_int(itemForm, "quantity", &quantity), 0);
    EXPECT_EQ(weight, 2.5);
    EXPECT_EQ(quantity, 3);
    EXPECT_EQ(stringOf(revForm, "change_reason"), "first");

    // Attributes are set in key order, not request order: quantity first.
    auto calls = P::CALLS_log();
    auto intAt = std::find(calls.begin(), calls.end(), "AOM_set_value_int");
    auto doubleAt = std::find(calls.begin(), calls.end(), "AOM_set_value_double");
    ASSERT_NE(intAt, calls.end());
    ASSERT_NE(doubleAt, calls.end());
    EXPECT_LT(intAt - calls.begin(), doubleAt - calls.begin());
}

// Two entries for one form type: the later form is the one kept and
// reported; the earlier leaves nothing behind (the store grows as much as
// for one entry).
TEST_F(Dm0603OpsCreateItems, SecondEntryForTheSameFormTypeReplacesTheFirst) {
    ItemIn once{"once", "F-1", "A"};
    once.extended = {{"ItemMaster", {{"project_code", "only"}}}};
    ItemIn twice{"twice", "F-2", "A"};
    twice.extended = {{"ItemMaster", {{"project_code", "first"}}}, {"ItemMaster", {{"project_code", "second"}}}};

    Parsed one(invoke(kService, "createItems", createItems({once})));
    ASSERT_EQ(one.outputs().size(), 1u) << one.text;
    const long afterOne = P::STORE_object_count();
    Parsed two(invoke(kService, "createItems", createItems({twice})));
    ASSERT_EQ(two.outputs().size(), 1u) << two.text;
    EXPECT_TRUE(two.errors().empty()) << two.text;
    EXPECT_EQ(P::STORE_object_count() - afterOne, afterOne - objectsAtStart);
    const auto created = two.list("createdObj");
    ASSERT_EQ(created.size(), 3u) << two.text;
    EXPECT_EQ(stringOf(tagOf(created[2]), "project_code"), "second");
}

// Inputs of several item types in one request, each with attributes for
// every master form type: each gets the forms of its own type, whatever the
// input before it was, and a failed look-up leaves no answer behind for the
// next input of its type.
TEST_F(Dm0603OpsCreateItems, EachInputGetsTheFormsOfItsOwnType) {
    struct Case {
        const char* clientId;
        const char* itemId;  // documents follow their naming rule
        const char* type;
        const char* itemForm;  // null: the input fails
        const char* revForm;
    };
    const std::vector<Case> cases = {
        {"d1", "DOC-0001", "Document", nullptr, nullptr},  // its revision form type look-up fails
        {"d2", "DOC-0002", "Document", "DocumentMaster", "DocumentRevisionMaster"},
        {"i1", "F-1", "Item", "ItemMaster", "ItemRevisionMaster"},
        {"d3", "DOC-0003", "Document", "DocumentMaster", "DocumentRevisionMaster"},
        {"p1", "F-2", "Part", "ItemMaster", "ItemRevisionMaster"},
        {"i2", "F-3", "", "ItemMaster", "ItemRevisionMaster"},
        {"d4", "DOC-0004", "Document", "DocumentMaster", "DocumentRevisionMaster"},
    };
    std::vector<ItemIn> inputs;
    for (const auto& c : cases) {
        ItemIn in{c.clientId, c.itemId, "A", "", c.type};
        for (const char* form : {"ItemMaster", "DocumentMaster"}) in.extended.push_back({form, {{"project_code", form}}});
        for (const char* form : {"ItemRevisionMaster", "DocumentRevisionMaster"})
            in.extended.push_back({form, {{"change_reason", form}}});
        inputs.push_back(in);
    }
    P::FAULT_inject("ITEM_ask_rev_master_form_type", P::ERR_INJECTED);  // meets the first input's look-up
    Parsed r(invoke(kService, "createItems", createItems(inputs)));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "d1");
    ASSERT_EQ(r.outputs().size(), cases.size() - 1) << r.text;
    const auto created = r.list("createdObj");
    ASSERT_EQ(created.size(), 4 * (cases.size() - 1)) << "item, revision and both forms per input: " << r.text;
    std::size_t at = 0;
    for (const auto& c : cases) {
        if (!c.itemForm) continue;
        SCOPED_TRACE(c.clientId);
        const unsigned int itemForm = tagOf(created[4 * at + 2]), revForm = tagOf(created[4 * at + 3]);
        EXPECT_EQ(stringOf(itemForm, "object_type"), c.itemForm);
        EXPECT_EQ(stringOf(itemForm, "project_code"), c.itemForm);
        EXPECT_EQ(stringOf(revForm, "object_type"), c.revForm);
        EXPECT_EQ(stringOf(revForm, "change_reason"), c.revForm);
        ++at;
    }
}

TEST_F(Dm0603OpsCreateItems, UnitOfMeasureAndDescription) {
    Parsed r(invoke(kService, "createItems",
                    createItems({{"kg", "U-1", "A", "", "", "kg", "heavy"}, {"none", "U-2", "A", "", "", "furlong", ""}})));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    EXPECT_TRUE(r.errors().empty()) << "an unknown unit is no error: " << r.text;
    const unsigned int kg = tagOf(Parsed::outRef(*r.outputs()[0], "item"));
    const unsigned int kgRev = tagOf(Parsed::outRef(*r.outputs()[0], "itemRev"));
    const unsigned int none = tagOf(Parsed::outRef(*r.outputs()[1], "item"));
    tag_t unit = 0, expected = 0;
    ASSERT_EQ(UOM_find_by_name("kg", &expected), 0);
    ASSERT_EQ(AOM_ask_value_tag(kg, "uom_tag", &unit), 0);
    EXPECT_EQ(unit, expected);
    ASSERT_EQ(AOM_ask_value_tag(none, "uom_tag", &unit), 0);
    EXPECT_EQ(unit, 0u);
    EXPECT_EQ(stringOf(kg, "object_desc"), "heavy");
    EXPECT_EQ(stringOf(kgRev, "object_desc"), "heavy");
}

// A failure after the markpoint takes back everything of that input; the
// next input is made as usual.
TEST_F(Dm0603OpsCreateItems, FailureAfterTheMarkpointLeavesNothingBehind) {
    struct Case {
        const char* name;
        ItemIn bad;
        const char* inject;  // platform call made to fail, or null
        int code;            // expected last code of the partial error
    };
    ItemIn badAttribute{"bad", "B-1", "A", "", "", "", ""};
    badAttribute.extended = {{"ItemMaster", {{"weight", "1"}, {"no_such_property", "x"}}}};
    // Attributes for both master forms: a failed form-type look-up would drop them.
    ItemIn withForms{"bad", "B-1", "A"};
    withForms.extended = {{"ItemMaster", {{"project_code", "p"}}}, {"ItemRevisionMaster", {{"change_reason", "r"}}}};
    const std::vector<Case> cases = {
        {"unknown form property", badAttribute, nullptr, P::ERR_NO_SUCH_ATTRIBUTE},
        {"item form type look-up fails", withForms, "ITEM_ask_master_form_type", P::ERR_INJECTED},
        {"revision form type look-up fails", withForms, "ITEM_ask_rev_master_form_type", P::ERR_INJECTED},
        {"unit look-up fails", {"bad", "B-1", "A", "", "", "kg", ""}, "UOM_find_by_name", P::ERR_INJECTED},
        {"revision save fails", {"bad", "B-1", "A", "", "", "", "d"}, "OstraObject::save", P::ERR_INJECTED},
        {"duplicate identifier", {"bad", "000100", "A", "", "", "", ""}, nullptr, P::ERR_DUPLICATE},
        {"type name beyond the platform's limit",
         {"bad", "B-1", "A", "", std::string(100, 'T'), "", ""}, nullptr, P::ERR_TYPE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        const long before = P::STORE_object_count();
        if (c.inject) P::FAULT_inject(c.inject, P::ERR_INJECTED);
        Parsed r(invoke(kService, "createItems", createItems({c.bad, {"good", "G-1", "A"}})));
        ASSERT_TRUE(r.ok()) << r.text;
        ASSERT_EQ(r.outputs().size(), 1u) << r.text;
        EXPECT_EQ(attrOr(*r.outputs()[0], "clientId"), "good");
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "bad");
        ASSERT_FALSE(r.errors()[0].codes.empty());
        EXPECT_EQ(r.errors()[0].codes.back(), c.code);
        if (c.bad.itemId != "000100") {
            EXPECT_EQ(findItem(c.bad.itemId), 0u) << "rolled back";
        }
        EXPECT_EQ(P::STORE_object_count(), before + 2) << "only the good item and its revision remain";
        EXPECT_EQ(r.list("createdObj").size(), 2u);
        EXPECT_TRUE(P::LOCKS_held().empty());
        EXPECT_TRUE(P::MARKPOINTS_placed().empty());
        EXPECT_FALSE(OstraType::isClientServerUpdateListSuspended());
    }
}

TEST_F(Dm0603OpsCreateItems, FolderContainerHoldsTheItemsAndIsUpdated) {
    const unsigned int box = newFolder("box");
    Parsed r(invoke(kService, "createItems", createItems({{"a", "C-1", "A"}, {"b", "C-2", "A"}}, uidOf(box))));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    EXPECT_TRUE(r.errors().empty()) << r.text;
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(box)});
    EXPECT_EQ(contentsOf(box), (std::vector<unsigned int>{findItem("C-1"), findItem("C-2")}));
}

// A container the new item cannot be related to: the input is taken back as
// a whole, so that a retry with the same identifier succeeds.
TEST_F(Dm0603OpsCreateItems, FailedRelationToTheContainerRollsTheInputBack) {
    const unsigned int wolf = newObject("WolfObject", "w");
    Parsed r(invoke(kService, "createItems", createItems({{"c", "R-1", "A"}}, uidOf(wolf))));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_TRUE(r.outputs().empty()) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "c");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_RELATE_TO_CONTAINER});
    EXPECT_EQ(findItem("R-1"), 0u);
    EXPECT_EQ(P::STORE_object_count(), objectsAtStart + 1) << "only the container";

    Parsed retry(invoke(kService, "createItems", createItems({{"c", "R-1", "A"}}, uidOf(wolf), "Reference")));
    EXPECT_EQ(retry.outputs().size(), 1u) << retry.text;
    EXPECT_TRUE(retry.errors().empty()) << retry.text;
    EXPECT_EQ(retry.list("updatedObj"), std::vector<std::string>{uidOf(wolf)});
}

// An id an unsaved change of its item gave up is still that item's: a
// refresh brings it back, so a new item may not take it.
TEST_F(Dm0603OpsCreateItems, AnIdAnUnsavedChangeGaveUpIsNotTaken) {
    const unsigned int widget = findItem("000100");
    ASSERT_EQ(AOM_set_value_string(widget, "item_id", "000100-X"), 0);

    Parsed r(invoke(kService, "createItems", createItems({{"c", "000100", "A"}})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_TRUE(r.outputs().empty()) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "c");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_DUPLICATE}) << r.text;
    EXPECT_EQ(P::STORE_object_count(), objectsAtStart) << "nothing of the input stays";
    ASSERT_EQ(AOM_refresh(widget, 0), 0);
    EXPECT_EQ(findItem("000100"), widget);
}

TEST_F(Dm0603OpsCreateItems, FailedGenerationCarriesItsCode) {
    failItemExit = true;
    Parsed r(invoke(kService, "createItems", createItems({{"c", "", ""}})));
    EXPECT_TRUE(r.outputs().empty());
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "c");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INJECTED});
    EXPECT_EQ(P::STORE_object_count(), objectsAtStart);
}

// A failed privilege check is reported once, without key; the items are made
// and not related, and its error shows in no later partial error.
TEST_F(Dm0603OpsCreateItems, FailedContainerCheckIsReportedOnceAndNotRepeated) {
    const unsigned int box = newFolder("box");
    P::FAULT_inject("AM_check_privilege", P::ERR_INJECTED);
    Parsed r(invoke(kService, "createItems", createItems({{"good", "T-1", "A"}, {"bad", "000100", "A"}}, uidOf(box))));
    ASSERT_EQ(r.outputs().size(), 1u) << r.text;
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), 2u) << r.text;
    EXPECT_EQ(errors[0].clientId, "");
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_INJECTED});
    EXPECT_EQ(errors[1].clientId, "bad");
    EXPECT_EQ(std::count(errors[1].codes.begin(), errors[1].codes.end(), P::ERR_INJECTED), 0) << r.text;
    EXPECT_TRUE(contentsOf(box).empty());
    EXPECT_TRUE(r.list("updatedObj").empty());
}

TEST_F(Dm0603OpsCreateItems, ReadOnlyContainerIsReportedOnce) {
    const unsigned int wolf = newObject("WolfObject", "w");
    ASSERT_EQ(P::OBJ_set_read_only(wolf, true), 0);
    Parsed r(invoke(kService, "createItems", createItems({{"a", "W-1", "A"}, {"b", "W-2", "A"}}, uidOf(wolf), "Reference")));
    ASSERT_EQ(r.outputs().size(), 2u) << r.text;
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, uidOf(wolf));
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_NOT_MODIFIABLE});
    // Nothing is related to a container the user may not write.
    EXPECT_TRUE(r.list("updatedObj").empty()) << r.text;
    EXPECT_EQ(r.list("createdObj").size(), 4u) << r.text;
    int count = 0;
    scoped_smptr<tag_t> secondaries;
    ASSERT_EQ(GRM_list_secondary_objects_only(wolf, 0, &count, &secondaries), 0);
    EXPECT_EQ(count, 0);
}

}  // namespace
