// Data management 2007_01 over real requests: items found by identifier, with
// a choice of their revisions and the related objects that pass the filters.
#include "dm0701_support.hxx"

#include "ae/dataset.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace dm0701 {
namespace {

// The widget (000100) with revisions A, B and C. A carries its datasheet by
// Requirement; C a text note by Requirement, a PDF and a folder by Reference.
class Dm0701ItemsTest : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        ASSERT_EQ(ITEM_find_item("000100", &item), 0);
        ASSERT_EQ(ITEM_find_revision(item, "A", &revA), 0);
        revB = copyRev(revA, "B");
        revC = copyRev(revB, "C");
        tag_t requirement = 0, reference = 0;
        ASSERT_EQ(GRM_find_relation_type("Requirement", &requirement), 0);
        ASSERT_EQ(GRM_find_relation_type("Reference", &reference), 0);
        int count = 0;
        scoped_smptr<tag_t> onA;
        ASSERT_EQ(GRM_list_secondary_objects_only(revA, requirement, &count, &onA), 0);
        ASSERT_EQ(count, 1);
        sheetA = onA[0];
        noteC = dataset("Text", "Note");
        pdfC = dataset("PDF", "Drawing");
        folderC = newFolder("Loose");
        relate(revC, noteC, requirement);
        relate(revC, pdfC, reference);
        relate(revC, folderC, reference);
        vl::platform::CALLS_clear();
    }

    tag_t copyRev(tag_t from, const char* id) {
        tag_t rev = 0;
        EXPECT_EQ(ITEM_copy_rev(from, id, &rev), 0);
        EXPECT_EQ(AOM_save(rev), 0);
        EXPECT_EQ(AOM_refresh(rev, 0), 0);
        return rev;
    }
    tag_t dataset(const char* type, const char* name) {
        tag_t datasetType = 0, ds = 0;
        EXPECT_EQ(AE_find_datasettype(type, &datasetType), 0);
        EXPECT_EQ(AE_create_dataset(datasetType, name, "", &ds), 0);
        EXPECT_EQ(AOM_save(ds), 0);
        EXPECT_EQ(AOM_refresh(ds, 0), 0);
        return ds;
    }
    void relate(tag_t primary, tag_t secondary, tag_t type) {
        tag_t relation = 0;
        ASSERT_EQ(GRM_create_relation(primary, secondary, type, 0, &relation), 0);
        ASSERT_EQ(GRM_save_relation(relation), 0);
    }

    static std::string info(const std::string& itemId, const std::vector<std::string>& revIds = {}) {
        std::string xml = "<info itemId=\"" + esc(itemId) + "\">";
        for (const auto& r : revIds) xml += "<revId value=\"" + esc(r) + "\"/>";
        return xml + "</info>";
    }
    static std::string filter(const std::string& relation, const std::vector<std::string>& types) {
        std::string xml = "<pref relationTypeName=\"" + esc(relation) + "\">";
        for (const auto& t : types) xml += "<objectTypeName value=\"" + esc(t) + "\"/>";
        return xml + "</pref>";
    }
    Parsed look(int nRev, const std::string& infos, const std::string& filters = "") {
        return Parsed(invoke(kService, "getItemFromId",
                             "<GetItemFromIdInput nRev=\"" + std::to_string(nRev) + "\">" + infos + "<pref>" +
                                 filters + "</pref></GetItemFromIdInput>"));
    }

    // Each output as "item: rev[ds ds] rev[]".
    static std::vector<std::string> outputsOf(const Parsed& reply) {
        std::vector<std::string> out;
        for (const auto* o : reply.outputs()) {
            std::string s = Parsed::outRef(*o, "item") + ":";
            for (const auto* r : childrenNamed(*o, "itemRevOutput")) {
                s += " " + Parsed::outRef(*r, "itemRevision") + "[";
                std::string sep;
                for (const auto* d : childrenNamed(*r, "dataset")) {
                    s += sep + attrOr(*d, "uid");
                    sep = " ";
                }
                s += "]";
            }
            out.push_back(s);
        }
        return out;
    }
    std::string expected(const std::vector<std::pair<tag_t, std::vector<tag_t>>>& revisions) const {
        std::string s = uidOf(item) + ":";
        for (const auto& [rev, datasets] : revisions) {
            s += " " + uidOf(rev) + "[";
            std::string sep;
            for (tag_t d : datasets) {
                s += sep + uidOf(d);
                sep = " ";
            }
            s += "]";
        }
        return s;
    }

    tag_t item = 0, revA = 0, revB = 0, revC = 0, sheetA = 0, noteC = 0, pdfC = 0, folderC = 0;
};

TEST_F(Dm0701ItemsTest, TheRevisionCountChoosesFromTheEndOfTheList) {
    struct Case {
        int nRev;
        std::vector<tag_t> revisions;
    } cases[] = {
        {-5, {revA, revB, revC}}, {-1, {revA, revB, revC}}, {0, {}},
        {1, {revC}},              {2, {revB, revC}},        {3, {revA, revB, revC}},
        {6, {revA, revB, revC}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nRev);
        Parsed reply = look(c.nRev, info("000100"));
        std::vector<std::pair<tag_t, std::vector<tag_t>>> revs;
        for (tag_t r : c.revisions) revs.push_back({r, {}});
        EXPECT_EQ(outputsOf(reply), std::vector<std::string>{expected(revs)}) << reply.text;
        EXPECT_TRUE(reply.errors().empty());
    }
}

TEST_F(Dm0701ItemsTest, NamedRevisionsComeInTheirOrderAndEachMissingOneIsReported) {
    // Repeated and missing identifiers; the revision count is ignored.
    Parsed reply = look(1, info("000100", {"C", "X", "A", "C"}) + info("NO-SUCH") + info("000100", {"Y"}) +
                               info("DOC-0001"));
    tag_t guide = 0;
    ASSERT_EQ(ITEM_find_item("DOC-0001", &guide), 0);
    tag_t guideA = 0;
    ASSERT_EQ(ITEM_find_revision(guide, "A", &guideA), 0);
    EXPECT_EQ(outputsOf(reply), (std::vector<std::string>{expected({{revC, {}}, {revA, {}}, {revC, {}}}),
                                                            expected({}),
                                                            uidOf(guide) + ": " + uidOf(guideA) + "[]"}))
        << reply.text;
    auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 3u) << reply.text;
    EXPECT_EQ(errors[0].clientId, "000100");
    EXPECT_EQ(errors[0].codes, std::vector<int>{vl::platform::ERR_REVISION_ID_NOT_FOUND});
    EXPECT_EQ(errors[1].clientId, "NO-SUCH");
    EXPECT_EQ(errors[1].codes, std::vector<int>{vl::platform::ERR_ITEM_ID_NOT_FOUND});
    EXPECT_EQ(errors[2].clientId, "000100");
    // The texts name what was looked for.
    EXPECT_NE(reply.text.find("message=\"NO-SUCH\""), std::string::npos) << reply.text;
}

TEST_F(Dm0701ItemsTest, FiltersKeepSecondariesByExactTypeName) {
    struct Case {
        const char* name;
        std::string filters;
        std::vector<tag_t> onA, onC;
    } cases[] = {
        {"no filters", "", {}, {}},
        {"a filter without type names", filter("Requirement", {}), {}, {}},
        {"two relations", filter("Requirement", {"Text"}) + filter("Reference", {"PDF", "Folder"}),
         {sheetA}, {noteC, pdfC, folderC}},
        {"a type name twice", filter("Requirement", {"Text", "Text"}), {sheetA, sheetA}, {noteC, noteC}},
        {"an object reached by two filters", filter("Reference", {"PDF"}) + filter("Reference", {"PDF"}), {},
         {pdfC, pdfC}},
        {"case counts", filter("Requirement", {"text", "Tex"}), {}, {}},
        // An unknown relation type keeps nothing, rather than every type's.
        {"an unknown relation name", filter("NoSuchRelation", {"Text", "PDF", "Folder"}), {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vl::platform::CALLS_clear();
        Parsed reply = look(0, info("000100", {"A", "C"}), c.filters);
        EXPECT_EQ(outputsOf(reply), std::vector<std::string>{expected({{revA, c.onA}, {revC, c.onC}})}) << reply.text;
        EXPECT_TRUE(reply.errors().empty()) << reply.text;
    }
    // The relation of a filter without type names is still listed.
    vl::platform::CALLS_clear();
    look(0, info("000100", {"A"}), filter("Requirement", {}));
    auto calls = vl::platform::CALLS_log();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GRM_list_secondary_objects_only"), 1);
}

TEST_F(Dm0701ItemsTest, PlainObjectsComeItemFirstThenEachRevisionAfterItsSecondaries) {
    Parsed reply = look(0, info("000100", {"A", "C"}),
                        filter("Requirement", {"Text"}) + filter("Reference", {"PDF"}));
    EXPECT_EQ(reply.list("plainObj"), (std::vector<std::string>{uidOf(item), uidOf(sheetA), uidOf(revA),
                                                                 uidOf(noteC), uidOf(pdfC), uidOf(revC)}));
}

// A failing step fails its whole item, keyed by its identifier; what was
// recorded before stays, and the next item is answered.
TEST_F(Dm0701ItemsTest, AFailingLookUpFailsOnlyItsItem) {
    struct Case {
        const char* name;
        const char* function;
        int nRev;
        std::vector<std::string> revIds;
    } cases[] = {
        {"item search", "ITEM_find_item", 0, {}},
        {"revision search", "ITEM_find_revision", 0, {"A"}},
        {"revision list", "ITEM_list_all_revs", -1, {}},
        {"relation type search", "GRM_find_relation_type", 0, {"A"}},
        {"secondary listing", "GRM_list_secondary_objects_only", 0, {"A"}},
        {"type of a secondary", "OSTRATYPE_ask_object_type", 0, {"A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vl::platform::FAULT_inject(c.function, vl::platform::ERR_INJECTED);
        Parsed reply = look(c.nRev, info("000100", c.revIds) + info("DOC-0001"), filter("Requirement", {"Text"}));
        auto outputs = outputsOf(reply);
        ASSERT_EQ(outputs.size(), 1u) << reply.text;
        tag_t guide = 0;
        ASSERT_EQ(ITEM_find_item("DOC-0001", &guide), 0);
        EXPECT_EQ(outputs[0].substr(0, outputs[0].find(':')), uidOf(guide));
        auto errors = reply.errors();
        ASSERT_EQ(errors.size(), 1u) << reply.text;
        EXPECT_EQ(errors[0].clientId, "000100");
        EXPECT_EQ(errors[0].codes, std::vector<int>{vl::platform::ERR_INJECTED});
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
    }
}

}  // namespace
}  // namespace dm0701
