// createDatasets: the reuse rule by client id, tools and formats, CAD part
// set-up, each input's container, and inputs that fail leaving nothing.
#include "dm0603_ops_support.hxx"

#include "ae/dataset.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using namespace dm0603;
namespace P = vl::platform;

struct DatasetIn {
    DatasetIn(std::string c, std::string t = "Text", std::string n = "Data", std::string tool = "",
              std::string container = "", std::string relation = "")
        : clientId(std::move(c)), type(std::move(t)), name(std::move(n)), tool(std::move(tool)),
          containerUid(std::move(container)), relationType(std::move(relation)) {}
    std::string clientId, type, name, tool, containerUid, relationType;
};

std::string createDatasets(const std::vector<DatasetIn>& inputs) {
    std::string xml = "<CreateDatasetsInput>";
    for (const DatasetIn& in : inputs)
        xml += "<input clientId=\"" + esc(in.clientId) + "\" name=\"" + esc(in.name) + "\" relationType=\"" +
               esc(in.relationType) + "\" type=\"" + esc(in.type) + "\" description=\"made by a test\" toolUsed=\"" +
               esc(in.tool) + "\">" + refUid("container", in.containerUid) + "</input>";
    return xml + "</CreateDatasetsInput>";
}

std::vector<std::string> outputDatasets(const Parsed& r) {
    std::vector<std::string> out;
    for (const XMLNode* o : r.outputs()) out.push_back(Parsed::outRef(*o, "dataset"));
    return out;
}

std::string formatOf(unsigned int dataset) {
    scoped_smptr<char> format;
    EXPECT_EQ(AE_ask_dataset_format(dataset, &format), 0);
    return format.get() ? format.get() : "";
}

unsigned int toolOf(unsigned int dataset) {
    tag_t tool = 0;
    EXPECT_EQ(AE_ask_dataset_tool(dataset, &tool), 0);
    return tool;
}

unsigned int toolNamed(const char* name) {
    tag_t tool = 0;
    EXPECT_EQ(AE_find_tool(name, &tool), 0);
    return tool;
}

unsigned int latestRevisionOf(const char* itemId) {
    tag_t item = 0, revision = 0;
    EXPECT_EQ(ITEM_find_item(itemId, &item), 0);
    EXPECT_EQ(ITEM_ask_latest_rev(item, &revision), 0);
    return revision;
}

unsigned int relationBetween(unsigned int primary, unsigned int secondary, const char* type) {
    tag_t relationType = 0, relation = 0;
    EXPECT_EQ(GRM_find_relation_type(type, &relationType), 0);
    EXPECT_EQ(GRM_find_relation(primary, secondary, relationType, &relation), 0);
    return relation;
}

struct Expected {
    std::string clientId;
    std::string uid;  // "" when the partial error carries none
    std::vector<int> codes;
};

void expectErrors(const Parsed& r, const std::vector<Expected>& expected) {
    const auto errors = r.errors();
    ASSERT_EQ(errors.size(), expected.size()) << r.text;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(errors[i].clientId, expected[i].clientId) << "error " << i;
        EXPECT_EQ(errors[i].uid, expected[i].uid) << "error " << i;
        EXPECT_EQ(errors[i].codes, expected[i].codes) << "error " << i << ": " << r.text;
    }
}

// The default site, with a dataset type without tools and a tool whose
// only format has 40 characters.
const char* const kDatasetSite = R"(
datasettype Bare display="No tools"
tool LongFormat symbol=longformat output=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD
datasettype LongFormatType tools=LongFormat
)";

class Dm0603OpsCreateDatasets : public ExtendedSiteTest {
protected:
    Dm0603OpsCreateDatasets() : ExtendedSiteTest(kDatasetSite) {}
};

// Inputs make a dataset only when their client id is not empty and differs
// from the first one remembered; the others relate the latest dataset to
// their own container and report it again.
TEST_F(Dm0603OpsCreateDatasets, ReuseByClientId) {
    struct Case {
        const char* name;
        std::vector<DatasetIn> inputs;  // each gets a folder of its own
        std::vector<int> outputs;       // per output: index of the dataset made (-1: the null reference)
        std::vector<bool> related;      // per input: its folder holds that dataset
        std::vector<Expected> errors;
    };
    const DatasetIn failing{"A", "Text", "Data", "QMCad"};  // not a tool of Text
    const std::vector<Case> cases = {
        {"A, A, A", {{"A"}, {"A"}, {"A"}}, {0, 0, 0}, {true, true, true}, {}},
        {"A, B, B", {{"A"}, {"B"}, {"B"}}, {0, 1, 2}, {true, true, true}, {}},
        {"A, B, A", {{"A"}, {"B"}, {"A"}}, {0, 1, 1}, {true, true, true}, {}},
        {"empty first client id", {{""}, {"A"}}, {-1, 0}, {false, true}, {}},
        {"A failing, then A",
         {failing, {"A"}},
         {},
         {false, false},
         {{"A", "", {P::ERR_TOOL_NOT_OF_TYPE}}, {"A", "", {P::ERR_INVALID_TAG}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        std::vector<DatasetIn> inputs = c.inputs;
        std::vector<unsigned int> folders;
        for (DatasetIn& in : inputs) {
            folders.push_back(newFolder("container"));
            in.containerUid = uidOf(folders.back());
        }
        const long objects = P::STORE_object_count();
        Parsed r(invoke(kService, "createDatasets", createDatasets(inputs)));
        ASSERT_TRUE(r.ok()) << r.text;
        expectErrors(r, c.errors);

        // Datasets in order of first appearance.
        std::vector<std::string> made;
        const auto outputs = outputDatasets(r);
        for (const auto& uid : outputs)
            if (!uid.empty() && std::find(made.begin(), made.end(), uid) == made.end()) made.push_back(uid);
        ASSERT_EQ(outputs.size(), c.outputs.size()) << r.text;
        for (std::size_t i = 0; i < outputs.size(); ++i)
            EXPECT_EQ(outputs[i], c.outputs[i] < 0 ? std::string() : made.at(c.outputs[i])) << "output " << i;
        EXPECT_EQ(r.list("createdObj"), made) << "each dataset listed once";

        std::vector<std::string> updated;
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const auto contents = contentsOf(folders[i]);
            EXPECT_EQ(contents.size(), c.related[i] ? 1u : 0u) << "folder " << i;
            if (c.related[i]) {
                EXPECT_EQ(uidOf(contents.at(0)), outputs.at(i)) << "folder " << i;
                updated.push_back(uidOf(folders[i]));
            }
        }
        EXPECT_EQ(r.list("updatedObj"), updated);
        if (made.empty()) {
            EXPECT_EQ(P::STORE_object_count(), objects) << "nothing of a failed input stays";
        }
    }
}

// Inputs that fail leave nothing behind and are not remembered: the next
// input with the same client id makes its dataset.
TEST_F(Dm0603OpsCreateDatasets, FailedInputsLeaveNothing) {
    struct Case {
        const char* name;
        DatasetIn input;
        std::vector<int> codes;
        const char* inject = nullptr;  // a platform function that fails once
    };
    const std::vector<Case> cases = {
        {"unknown type", {"c", "NoSuchType"}, {P::ERR_NO_SUCH_DATASET_TYPE}},
        {"empty name", {"c", "Text", ""}, {P::ERR_DATASET_NAME_OR_TYPE_EMPTY}},
        {"empty type", {"c", ""}, {P::ERR_DATASET_NAME_OR_TYPE_EMPTY}},
        {"a tool the type lacks", {"c", "QMPART", "Data", "Viewer"}, {P::ERR_TOOL_NOT_OF_TYPE}},
        {"no such tool", {"c", "Text", "Data", "NoSuchTool"}, {P::ERR_TOOL_NOT_OF_TYPE}},
        {"a type without tools, named tool", {"c", "Bare", "Data", "TextEditor"}, {P::ERR_TOOL_NOT_OF_TYPE}},
        {"a type without tools, default tool", {"c", "Bare"}, {P::ERR_TOOL_NOT_OF_TYPE}},
        {"a tool without formats", {"c", "Scratch"}, {P::ERR_NO_OUTPUT_FORMAT}},
        {"CAD part set-up fails", {"c", "QMPART"}, {P::ERR_INJECTED, P::ERR_TOOL_NOT_OF_TYPE}, "QMSM_create_qmpart"},
        {"saving fails", {"c"}, {P::ERR_INJECTED}, "AOM_save"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        const long objects = P::STORE_object_count();
        if (c.inject) P::FAULT_inject(c.inject, P::ERR_INJECTED);
        const long blocks = P::SM_outstanding_blocks();
        Parsed r(invoke(kService, "createDatasets", createDatasets({c.input})));
        ASSERT_TRUE(r.ok()) << r.text;
        expectErrors(r, {{"c", "", c.codes}});
        EXPECT_TRUE(r.outputs().empty()) << r.text;
        EXPECT_TRUE(r.list("createdObj").empty()) << r.text;
        EXPECT_EQ(P::STORE_object_count(), objects);
        EXPECT_EQ(P::SM_outstanding_blocks(), blocks);
        EXPECT_TRUE(P::LOCKS_held().empty());
        EXPECT_TRUE(P::MARKPOINTS_placed().empty());
    }
    // The type name is the text of its error.
    Parsed unknown(invoke(kService, "createDatasets", createDatasets({{"c", "NoSuchType"}})));
    EXPECT_NE(unknown.text.find("message=\"NoSuchType\""), std::string::npos) << unknown.text;

    // A failed input is not remembered: the same client id makes a dataset next.
    Parsed again(invoke(kService, "createDatasets", createDatasets({{"c", "Scratch"}, {"c"}})));
    EXPECT_EQ(again.errors().size(), 1u) << again.text;
    ASSERT_EQ(again.outputs().size(), 1u) << again.text;
    EXPECT_NE(Parsed::outRef(*again.outputs()[0], "dataset"), "");
}

// The tool asked for, or the type's default; the tool's first output
// format, kept whole however long.
TEST_F(Dm0603OpsCreateDatasets, ToolAndFirstFormat) {
    Parsed r(invoke(kService, "createDatasets",
                    createDatasets({{"default"}, {"viewer", "Text", "Data", "Viewer"}, {"long", "LongFormatType"}})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_TRUE(r.errors().empty()) << r.text;
    const auto made = outputDatasets(r);
    ASSERT_EQ(made.size(), 3u) << r.text;
    EXPECT_EQ(toolOf(tagOf(made[0])), toolNamed("TextEditor"));
    EXPECT_EQ(formatOf(tagOf(made[0])), "TEXT");
    EXPECT_EQ(toolOf(tagOf(made[1])), toolNamed("Viewer"));
    EXPECT_EQ(formatOf(tagOf(made[1])), "PDF");
    EXPECT_EQ(formatOf(tagOf(made[2])), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD");
    for (const auto& uid : made) {
        // Saved: a release discards nothing.
        ASSERT_EQ(AOM_refresh(tagOf(uid), 0), 0);
        EXPECT_FALSE(formatOf(tagOf(uid)).empty());
    }
}

// Each input's own container: folders get the dataset into their contents,
// other objects a relation of the type asked for (or chosen from the
// preferences); every container is released whatever happened.
TEST_F(Dm0603OpsCreateDatasets, Containers) {
    struct Case {
        const char* name;
        enum { Folder, Revision, ReadOnlyFolder, Unknown, None } container;
        std::string relationType;
        const char* relation;  // the relation expected, "contents" for folder contents, "" for none
        std::vector<Expected> errors;
        bool made;
        const char* inject = nullptr;  // a platform function that fails once
    };
    const std::vector<Case> cases = {
        {"folder", Case::Folder, "", "contents", {}, true},
        {"folder, named relation type", Case::Folder, "Reference", "Reference", {}, true},
        {"revision, named relation type", Case::Revision, "Reference", "Reference", {}, true},
        {"revision, relation type from preferences", Case::Revision, "", "Requirement", {}, true},
        {"no container", Case::None, "", "", {}, true},
        {"folder not writable",
         Case::ReadOnlyFolder,
         "",
         "",
         {{"", "<container>", {P::ERR_NOT_MODIFIABLE}}, {"c", "", {P::ERR_READ_ONLY_OBJECT}}},
         false},
        {"container naming no object", Case::Unknown, "", "", {{"", "<container>", {P::ERR_NO_SUCH_OBJECT}}}, true},
        // A relation that cannot be made: the dataset is still reported,
        // with the reason, and the container is not listed.
        {"saving the relation fails", Case::Revision, "Reference", "", {{"c", "", {P::ERR_INJECTED}}}, true,
         "GRM_save_relation"},
        {"writing the folder's contents fails", Case::Folder, "", "", {{"c", "", {P::ERR_INJECTED}}}, true,
         "AOM_set_value_tags"},
        {"relation type naming nothing", Case::Revision, "NoSuchRelation", "",
         {{"c", "", {P::ERR_NO_SUCH_ATTRIBUTE}}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P::SITE_reset();
        unsigned int container = 0;
        std::string containerUid;
        switch (c.container) {
            case Case::Folder: container = newFolder("container"); break;
            case Case::Revision: container = latestRevisionOf("000100"); break;
            case Case::ReadOnlyFolder:
                container = newFolder("read only");
                ASSERT_EQ(P::OBJ_set_read_only(container, true), 0);
                break;
            case Case::Unknown: containerUid = "NoSuchObject01"; break;
            case Case::None: break;
        }
        if (container) containerUid = uidOf(container);
        std::vector<Expected> errors = c.errors;
        for (Expected& e : errors)
            if (e.uid == "<container>") e.uid = containerUid;
        const long objects = P::STORE_object_count();
        if (c.inject) P::FAULT_inject(c.inject, P::ERR_INJECTED);

        Parsed r(invoke(kService, "createDatasets", createDatasets({{"c", "Text", "Data", "", containerUid,
                                                                      c.relationType}})));
        ASSERT_TRUE(r.ok()) << r.text;
        expectErrors(r, errors);
        EXPECT_TRUE(P::LOCKS_held().empty()) << "the container is released";
        if (!c.made) {
            EXPECT_TRUE(r.outputs().empty()) << r.text;
            EXPECT_EQ(P::STORE_object_count(), objects);
            continue;
        }
        const auto made = outputDatasets(r);
        ASSERT_EQ(made.size(), 1u) << r.text;
        const unsigned int dataset = tagOf(made[0]);
        EXPECT_EQ(r.list("createdObj"), std::vector<std::string>{made[0]});
        const std::string relation = c.relation;
        if (relation.empty()) {
            EXPECT_TRUE(r.list("updatedObj").empty()) << r.text;
        } else {
            EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{containerUid});
        }
        if (relation == "contents") {
            EXPECT_EQ(contentsOf(container), std::vector<unsigned int>{dataset});
        } else if (!relation.empty()) {
            EXPECT_NE(relationBetween(container, dataset, relation.c_str()), 0u);
        }
        if (c.container == Case::Folder && relation != "contents") {
            EXPECT_TRUE(contentsOf(container).empty());
        }
    }
}

// A relation that exists already is not made again: reported under the
// client id, the dataset is still reported, the container listed only for
// the input that related it, and released either way.
TEST_F(Dm0603OpsCreateDatasets, FailedRelationStillReportsTheDataset) {
    const unsigned int revision = latestRevisionOf("000100");
    const std::string uid = uidOf(revision);
    // The second input relates the same dataset to the same revision again.
    Parsed r(invoke(kService, "createDatasets",
                    createDatasets({{"A", "Text", "Data", "", uid, "Reference"},
                                    {"A", "Text", "Data", "", uid, "Reference"}})));
    ASSERT_TRUE(r.ok()) << r.text;
    expectErrors(r, {{"A", "", {P::ERR_DUPLICATE}}});
    const auto made = outputDatasets(r);
    ASSERT_EQ(made.size(), 2u) << r.text;
    EXPECT_EQ(made[0], made[1]);
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uid});
    EXPECT_NE(relationBetween(revision, tagOf(made[0]), "Reference"), 0u);
    EXPECT_TRUE(P::LOCKS_held().empty());
}

// An input that reuses the dataset places no markpoint: when its container
// cannot be saved after the relation was made, the relation goes again, so
// the failed input leaves nothing; the input that made the dataset keeps its
// own relation, and the container is released.
TEST_F(Dm0603OpsCreateDatasets, AFailedReusingInputTakesItsRelationBack) {
    const unsigned int first = latestRevisionOf("000100");
    const unsigned int second = latestRevisionOf("DOC-0001");
    P::FAULT_inject("AOM_save", P::ERR_INJECTED, second);
    Parsed r(invoke(kService, "createDatasets",
                    createDatasets({{"A", "Text", "Data", "", uidOf(first), "Reference"},
                                    {"A", "Text", "Data", "", uidOf(second), "Reference"}})));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_EQ(P::FAULT_pending(), 0);
    expectErrors(r, {{"A", "", {P::ERR_INJECTED}}});
    const auto made = outputDatasets(r);
    ASSERT_EQ(made.size(), 1u) << r.text;
    const unsigned int dataset = tagOf(made[0]);
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{uidOf(first)});
    EXPECT_NE(relationBetween(first, dataset, "Reference"), 0u);
    EXPECT_EQ(relationBetween(second, dataset, "Reference"), 0u);
}

// A dataset is prepared as a CAD part when its type's name, blanks
// stripped, is the site's k_qmpart text or "QMPART", or when its default
// tool (or that tool's shell) has the symbol "qmv10_shell". Each on a site
// of its own, where the others do not hold.
class Dm0603OpsCadParts : public vl::test::ServiceTest {
protected:
    void TearDown() override {
        ServiceTest::TearDown();  // before the load, which would clear what it checks
        std::string error;
        EXPECT_EQ(P::SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
    }
};

TEST_F(Dm0603OpsCadParts, EachConditionAlone) {
    const std::string base = R"(format 1
site 7 "Cad"
group dba privileged
role DBA
user root group=dba password="$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek"
member root dba DBA
session root dba DBA
tool Plain symbol=plain output=BIN
)";
    struct Case {
        const char* name;
        std::string site;
        const char* type;
        bool prepared;
    };
    const std::vector<Case> cases = {
        {"type named QMPART", "datasettype QMPART tools=Plain\n", "QMPART", true},
        {"type named by the text", "text k_qmpart MyCad\ndatasettype MyCad tools=Plain\n", "MyCad", true},
        {"shell tool's symbol",
         "tool Shell symbol=qmv10_shell\ntool Cad symbol=cad shell=Shell output=BIN\ndatasettype Part3d tools=Cad\n",
         "Part3d", true},
        {"tool's own symbol", "tool Q symbol=qmv10_shell output=BIN\ndatasettype Part3d tools=Q\n", "Part3d", true},
        {"a shell hides the tool's own symbol",
         "tool Shell symbol=other\ntool Q symbol=qmv10_shell shell=Shell output=BIN\ndatasettype Part3d tools=Q\n",
         "Part3d", false},
        {"another text", "text k_qmpart MyCad\ndatasettype Drawing tools=Plain\n", "Drawing", false},
        {"no text at all", "datasettype Drawing tools=Plain\n", "Drawing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        ASSERT_EQ(P::SITE_load_text(base + c.site, "cad.site", &error), 0) << error;
        const long blocks = P::SM_outstanding_blocks();
        P::CALLS_clear();
        Parsed r(invoke(kService, "createDatasets", createDatasets({{"c", c.type}})));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_TRUE(r.errors().empty()) << r.text;
        EXPECT_EQ(r.outputs().size(), 1u) << r.text;
        const auto calls = P::CALLS_log();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "QMSM_create_qmpart"), c.prepared ? 1 : 0);
        EXPECT_EQ(P::SM_outstanding_blocks(), blocks);
        EXPECT_TRUE(P::LOCKS_held().empty());
    }
}

}  // namespace
