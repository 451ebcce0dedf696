// Creation-related information for datasets and items, through real requests.
#include "dm0701_support.hxx"

#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "propdesc/property_descriptor.hxx"
#include "user_exits/user_exits.hxx"

namespace dm0701 {
namespace {

constexpr int kInjected = 990777;

// An item type whose master form has one list on two fields and whose
// revision master form keeps its fields in a file; rules with and without
// initial values and patterns.
const char* const kCreationSite = R"(
class TwinMaster Form
attr TwinMaster left_side string max=20
attr TwinMaster right_side string max=20
class FileMaster Form
attr FileMaster alpha string max=8
attr FileMaster beta int
fileform FileMaster
class Twin Item
class TwinRevision ItemRevision
itemtype Twin revision=TwinRevision form=TwinMaster revform=FileMaster
prop TwinMaster left_side lov=Languages
prop TwinMaster right_side lov=Languages
prop Twin object_name initial=Pair,Other
prop Twin object_desc initial=Described complex="desc-complex"
namingrule TwinNames "TW-nnn" "TW-nnnn"
namingrule NoPatterns
namefield Twin object_name TwinNames
namefield Twin item_revision_id NoPatterns
prop Text object_name initial=Report
prop Text object_desc display="Description"
datasettype Bare
)";

std::vector<std::string> values(const XMLNode& node, const std::string& stem) {
    std::vector<std::string> out;
    for (const XMLNode* c : childrenNamed(node, stem)) out.push_back(attrOr(*c, "value"));
    return out;
}

// The one partial error a failed request holds: unkeyed, with its codes.
void expectOneUnkeyedError(const Parsed& reply, int code) {
    auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 1u) << reply.text;
    EXPECT_EQ(errors[0].uid, "");
    EXPECT_EQ(errors[0].clientId, "");
    ASSERT_FALSE(errors[0].codes.empty());
    EXPECT_EQ(errors[0].codes.back(), code) << reply.text;
}

class CreationInfoTest : public dm0603::ExtendedSiteTest {
protected:
    CreationInfoTest() : ExtendedSiteTest(kCreationSite) {}
    static Parsed dataset(const std::string& type) {
        return Parsed(invoke(kService, "getDatasetCreationRelatedInfo",
                             "<GetDatasetCreationRelatedInfoInput typeName=\"" + vl::test::esc(type) + "\"/>"));
    }
    static Parsed item(const std::string& type) {
        return Parsed(invoke(kService, "getItemCreationRelatedInfo",
                             "<GetItemCreationRelatedInfoInput typeName=\"" + vl::test::esc(type) + "\"/>"));
    }
};

TEST_F(CreationInfoTest, DatasetInfoNamesToolsProposesANameAndGivesInitialValues) {
    Parsed reply = dataset("Text");
    ASSERT_TRUE(reply.ok()) << reply.text;
    EXPECT_EQ(values(*reply.root, "toolName"), (std::vector<std::string>{"TextEditor", "Viewer"}));
    EXPECT_EQ(attrOr(*reply.root, "newDatasetName"), "Text-1");
    EXPECT_EQ(attrOr(*reply.root, "nameCanBeModified"), "true");
    // The description's rule has no initial values: only the name's counts.
    EXPECT_EQ(values(*reply.root, "initValuePropertyRule"), (std::vector<std::string>{"Report"}));
    EXPECT_TRUE(reply.errors().empty());
    EXPECT_TRUE(reply.list("plainObj").empty());
}

TEST_F(CreationInfoTest, DatasetTypeWithoutToolsStillGetsAName) {
    Parsed reply = dataset("Bare");
    EXPECT_TRUE(values(*reply.root, "toolName").empty());
    EXPECT_EQ(attrOr(*reply.root, "newDatasetName"), "Bare-1");
    EXPECT_TRUE(reply.errors().empty());
}

TEST_F(CreationInfoTest, DatasetNameFlagFollowsTheExit) {
    for (bool modifiable : {false, true}) {
        vl::platform::UserExits exits;
        exits.newDatasetName = [modifiable](tag_t, tag_t, std::string* name, bool* canModify) {
            *name = "Proposed";
            *canModify = modifiable;
            return 0;
        };
        vl::platform::USER_set_exits(exits);
        Parsed reply = dataset("PDF");
        EXPECT_EQ(attrOr(*reply.root, "newDatasetName"), "Proposed");
        EXPECT_EQ(attrOr(*reply.root, "nameCanBeModified"), modifiable ? "true" : "false");
    }
    vl::platform::USER_reset_exits();
}

TEST_F(CreationInfoTest, DatasetInfoKeepsWhatEarlierStepsFilled) {
    struct Case {
        const char* function;
        size_t tools;
        bool named;
    };
    const Case cases[] = {
        {"AE_find_datasettype", 0, false},   {"AE_ask_datasettype_tools", 0, false},
        {"AOM_UIF_ask_value", 0, false},     {"USER_new_dataset_name", 2, false},
        {"PropRule::find", 2, true},         {"PropRule::askProperty", 2, true},
        {"PropRule::askInitialValue", 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        vl::platform::FAULT_inject(c.function, kInjected);
        Parsed reply = dataset("Text");
        EXPECT_EQ(values(*reply.root, "toolName").size(), c.tools);
        // The proposed names count up: only whether one came matters.
        EXPECT_EQ(attrOr(*reply.root, "newDatasetName").rfind("Text-", 0) == 0, c.named);
        EXPECT_EQ(attrOr(*reply.root, "nameCanBeModified"), c.named ? "true" : "false");
        EXPECT_TRUE(values(*reply.root, "initValuePropertyRule").empty());
        expectOneUnkeyedError(reply, kInjected);
        vl::platform::FAULT_clear();
    }
}

TEST_F(CreationInfoTest, UnknownDatasetTypeGivesAnEmptyAnswerAndOneError) {
    Parsed reply = dataset("NoSuchType");
    EXPECT_TRUE(values(*reply.root, "toolName").empty());
    EXPECT_EQ(attrOr(*reply.root, "newDatasetName"), "");
    ASSERT_EQ(reply.errors().size(), 1u) << reply.text;
    EXPECT_EQ(reply.errors()[0].uid, "");
}

TEST_F(CreationInfoTest, ItemInfoGivesRulesPatternsUnitsAndBothForms) {
    Parsed reply = item("Twin");
    ASSERT_TRUE(reply.ok()) << reply.text;
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
    EXPECT_EQ(values(*reply.root, "initValuePropertyRule"), (std::vector<std::string>{"Pair", "Described"}));
    EXPECT_EQ(values(*reply.root, "complexValuePropertyRule"), (std::vector<std::string>{"desc-complex"}));

    std::map<std::string, std::vector<std::string>> patterns;
    for (const XMLNode* e : childrenNamed(*reply.root, "patternMap")) patterns[attrOr(*e, "key")] = values(*e, "value");
    // No field for item_id; a rule without patterns keeps its key.
    EXPECT_EQ(patterns, (std::map<std::string, std::vector<std::string>>{
                            {"item_revision_id", {}}, {"object_name", {"TW-nnn", "TW-nnnn"}}}));
    EXPECT_EQ(values(*reply.root, "uom"), (std::vector<std::string>{"each", "kg", "m", "mm"}));
    EXPECT_EQ(attrOr(*reply.root, "revTypeName"), "TwinRevision");

    auto forms = childrenNamed(*reply.root, "formAttr");
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(attrOr(*forms[0], "formType"), "TwinMaster");
    auto twins = childrenNamed(*forms[0], "formPD");
    ASSERT_EQ(twins.size(), 2u);
    std::string lov = attrOr(*twins[0]->child("lov"), "uid");
    EXPECT_NE(lov, "");
    EXPECT_EQ(attrOr(*twins[1]->child("lov"), "uid"), lov);
    EXPECT_EQ(values(*twins[0], "interdependentProp"), (std::vector<std::string>{"right_side"}));
    EXPECT_EQ(attrOr(*twins[0], "attachedSpecifier"), "2");
    // One list on two descriptors: listed once.
    EXPECT_EQ(reply.list("plainObj"), (std::vector<std::string>{lov}));

    // The file-held form: one fixed descriptor per field.
    EXPECT_EQ(attrOr(*forms[1], "formType"), "FileMaster");
    auto fields = childrenNamed(*forms[1], "formPD");
    ASSERT_EQ(fields.size(), 2u);
    const char* names[] = {"alpha", "beta"};
    for (size_t i = 0; i < fields.size(); ++i) {
        const XMLNode& f = *fields[i];
        EXPECT_EQ(attrOr(f, "propName"), names[i]);
        EXPECT_EQ(attrOr(f, "displayName"), names[i]);
        EXPECT_EQ(attrOr(f, "propValueType"), "8");
        EXPECT_EQ(attrOr(f, "propType"), "0");
        EXPECT_EQ(attrOr(f, "maxLength"), "240");
        EXPECT_EQ(attrOr(f, "isDisplayable"), "true");
        for (const char* flag : {"isArray", "isRequired", "isEnabled", "isModifiable"}) EXPECT_EQ(attrOr(f, flag), "false");
        EXPECT_EQ(attrOr(*f.child("lov"), "uid"), "");
        EXPECT_TRUE(values(f, "interdependentProp").empty());
    }
}

TEST_F(CreationInfoTest, ItemTypeWithoutRulesOrUnitListStillDescribesItsForms) {
    // Part has no rules and no naming fields; a rule naming no list on uom_tag
    // means no units, not a failure.
    Parsed plain = item("Part");
    EXPECT_TRUE(values(*plain.root, "initValuePropertyRule").empty());
    EXPECT_TRUE(childrenNamed(*plain.root, "patternMap").empty());
    EXPECT_EQ(values(*plain.root, "uom").size(), 4u);

    tag_t type = 0, descriptor = 0;
    ASSERT_EQ(OSTRATYPE_ask_type("Part", &type), 0);
    ASSERT_EQ(OSTRATYPE_ask_property_by_name(type, "uom_tag", &descriptor), 0);
    PropertyDescriptor* pd = nullptr;
    ASSERT_EQ(PropertyDescriptor::askPropertyDescriptor(descriptor, &pd), 0);
    const tag_t units = pd->m_lov;
    pd->m_lov = 0;
    Parsed reply = item("Part");
    pd->m_lov = units;
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
    EXPECT_TRUE(values(*reply.root, "uom").empty());
    EXPECT_EQ(attrOr(*reply.root, "revTypeName"), "PartRevision");
    EXPECT_EQ(childrenNamed(*reply.root, "formAttr").size(), 2u);
}

TEST_F(CreationInfoTest, ItemInfoKeepsWhatEarlierStepsFilled) {
    // Counts of: init values, complex values, pattern keys, units, forms; and
    // whether the revision type was named.
    struct Case {
        const char* function;
        size_t init, complex, patterns, uoms;
        bool revType;
        size_t forms;
    };
    const Case cases[] = {
        {"PropRule::find", 0, 0, 0, 0, false, 0},
        {"PropRule::askComplexProperty", 2, 0, 0, 0, false, 0},
        {"NameField::find", 2, 1, 0, 0, false, 0},
        {"NameField::askRuleTag", 2, 1, 0, 0, false, 0},
        {"NameRule::askPatterns", 2, 1, 0, 0, false, 0},
        {"OSTRATYPE_ask_property_by_name", 2, 1, 2, 0, false, 0},
        {"PROPDESC_ask_lov", 2, 1, 2, 0, false, 0},
        {"LOV_ask_values_tag", 2, 1, 2, 0, false, 0},
        {"UnitOfMeasure::askSymbol", 2, 1, 2, 0, false, 0},
        {"ITEM__get_revision_type_name", 2, 1, 2, 4, false, 0},
        {"ITEM_ask_master_form_type", 2, 1, 2, 4, true, 0},
        {"ITEM_ask_rev_master_form_type", 2, 1, 2, 4, true, 1},
        {"FORM___is_pomstore_form", 2, 1, 2, 4, true, 0},
        {"FORM_ask_property_descriptors", 2, 1, 2, 4, true, 0},
        {"PropertyDescriptor::askListOfValues", 2, 1, 2, 4, true, 0},
        {"ListOfValues::askInterdependents", 2, 1, 2, 4, true, 2},  // its result is not tested
        {"FORM__ask_ostrafile_values", 2, 1, 2, 4, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        vl::platform::FAULT_inject(c.function, kInjected);
        Parsed reply = item("Twin");
        EXPECT_EQ(values(*reply.root, "initValuePropertyRule").size(), c.init);
        EXPECT_EQ(values(*reply.root, "complexValuePropertyRule").size(), c.complex);
        EXPECT_EQ(childrenNamed(*reply.root, "patternMap").size(), c.patterns);
        EXPECT_EQ(values(*reply.root, "uom").size(), c.uoms);
        EXPECT_EQ(attrOr(*reply.root, "revTypeName"), c.revType ? "TwinRevision" : "");
        EXPECT_EQ(childrenNamed(*reply.root, "formAttr").size(), c.forms);
        if (c.forms == 2) {
            EXPECT_TRUE(reply.errors().empty()) << reply.text;
            // The list is still had; only the dependants are missing.
            EXPECT_EQ(reply.list("plainObj").size(), 1u);
        } else {
            expectOneUnkeyedError(reply, kInjected);
            EXPECT_TRUE(reply.list("plainObj").empty());
        }
        vl::platform::FAULT_clear();
    }
}

TEST_F(CreationInfoTest, DescriptorThatCannotBeHadIsSkippedAndLeavesNoError) {
    vl::platform::FAULT_inject("PropertyDescriptor::askPropertyDescriptor", kInjected);
    // The skipped descriptor's error must not reach a later partial error:
    // the unit step then fails on its own.
    vl::platform::FAULT_inject("ITEM_ask_rev_master_form_type", kInjected + 1);
    Parsed reply = item("Twin");
    auto forms = childrenNamed(*reply.root, "formAttr");
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(childrenNamed(*forms[0], "formPD").size(), 1u);
    auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].codes, (std::vector<int>{kInjected + 1})) << reply.text;
}

}  // namespace
}  // namespace dm0701
