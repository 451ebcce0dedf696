// Data management 2007_06: identifier validation through the user exit, and
// dataset type descriptions.
#include "dm0706_support.hxx"

#include "ae/dataset.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/test_seams.hxx"
#include "sm/scoped_smptr.hxx"
#include "sm/sm.hxx"
#include "user_exits/user_exits.hxx"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace dm0706 {
namespace {

using vl::platform::ERR_INJECTED;

struct Info {
    std::string itemId, revId, itemType;
};

std::string validateRequest(const std::vector<Info>& infos) {
    std::string xml = "<ValidateItemIdsAndRevIdsInput>";
    for (const auto& i : infos)
        xml += "<info itemType=\"" + esc(i.itemType) + "\" revId=\"" + esc(i.revId) + "\" itemId=\"" + esc(i.itemId) +
               "\"/>";
    return xml + "</ValidateItemIdsAndRevIdsInput>";
}

// modItemId|itemIdStatus|modRevId|revIdStatus of each output.
std::vector<std::string> validated(const Parsed& reply) {
    std::vector<std::string> out;
    for (const XMLNode* o : reply.outputs())
        out.push_back(attrOr(*o, "modItemId") + "|" + attrOr(*o, "itemIdStatus") + "|" + attrOr(*o, "modRevId") + "|" +
                      attrOr(*o, "revIdStatus"));
    return out;
}

class Dm0706ValidateTest : public Dm0706Test {
protected:
    void TearDown() override {
        vl::platform::USER_reset_exits();
        Dm0706Test::TearDown();
    }
};

TEST_F(Dm0706ValidateTest, DefaultRulesGiveEachStatus) {
    struct Case {
        const char* what;
        Info info;
        const char* expected;
    } cases[] = {
        {"new ids", {"NEW-42", "A", "Item"}, "|Valid||Valid"},
        {"blanks trimmed", {" NEW-43 ", " B", "Item"}, "NEW-43|Modified|B|Modified"},
        {"naming rule broken", {"X-1", "A", "Document"}, "|Invalid||Valid"},
        {"naming rule kept", {"DOC-0077", "A", "Document"}, "|Valid||Valid"},
        {"empty ids", {"", "", "Item"}, "|Invalid||Invalid"},
        {"existing item and revision", {"000100", "A", "Item"}, "|Duplicate||Duplicate"},
        {"existing item, new revision", {"000100", "B", ""}, "|Duplicate||Valid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed reply = call("validateItemIdsAndRevIds", validateRequest({c.info}));
        ASSERT_EQ(reply.root->name(), "ValidateItemIdsAndRevIdsResponse") << reply.text;
        EXPECT_EQ(validated(reply), std::vector<std::string>{c.expected}) << reply.text;
        EXPECT_TRUE(reply.errors().empty()) << reply.text;
    }
}

TEST_F(Dm0706ValidateTest, AFailingInfoHasNoOutputAndLaterOutputsMoveUp) {
    // The default exit refuses an unknown item type.
    Parsed reply = call("validateItemIdsAndRevIds",
                        validateRequest({{"NEW-1", "A", "Item"}, {"BAD-7", "A", "NoSuchType"}, {" NEW-2", "A", "Item"}}));
    EXPECT_EQ(validated(reply), (std::vector<std::string>{"|Valid||Valid", "NEW-2|Modified||Valid"})) << reply.text;
    auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 1u) << reply.text;
    EXPECT_EQ(errors[0].clientId, "BAD-7");
    EXPECT_EQ(errors[0].codes, (std::vector<int>{vl::platform::ERR_NOT_AN_ITEM_TYPE,
                                                 vl::platform::ERR_ID_VALIDATION_FAILED}));
    // The validation error carries the item id as its text.
    EXPECT_NE(reply.text.find("message=\"BAD-7\""), std::string::npos) << reply.text;
}

// A replaced exit: statuses from the ids ("<item status>", "<rev status>"),
// "null" ids handed back as null, "fail" failing after it handed out ids.
int scriptedExit(const char* itemId, const char* revId, const char*, char** modItem, char** modRev,
                 IDValid_t* itemStatus, IDValid_t* revStatus) {
    const std::string item = itemId;
    if (item != "null") *modItem = SM_string_copy_persistent(("m" + item).c_str());
    if (item != "null") *modRev = SM_string_copy_persistent((std::string("m") + revId).c_str());
    if (item == "fail") return ERROR_store(3, ERR_INJECTED);
    if (item != "null") *itemStatus = static_cast<IDValid_t>(std::atoi(itemId));
    *revStatus = static_cast<IDValid_t>(std::atoi(revId));
    return 0;
}

TEST_F(Dm0706ValidateTest, ExitStatusesAndIdsAsReported) {
    vl::platform::UserExits exits;
    exits.validateIds = &scriptedExit;
    vl::platform::USER_set_exits(exits);
    Parsed reply = call("validateItemIdsAndRevIds",
                        validateRequest({{"0", "1", ""},
                                         {"2", "3", ""},
                                         {"4", "7", ""},   // a status outside the five is Valid
                                         {"-1", "0", ""},
                                         {"fail", "1", ""},  // what it handed out is freed (block count)
                                         {"null", "4", ""}}));
    EXPECT_EQ(validated(reply), (std::vector<std::string>{"m0|Valid|m1|Invalid", "m2|Modified|m3|Override",
                                                          "m4|Duplicate|m7|Valid", "m-1|Valid|m0|Valid",
                                                          "|Valid||Duplicate"}))
        << reply.text;
    auto errors = reply.errors();
    ASSERT_EQ(errors.size(), 1u) << reply.text;
    EXPECT_EQ(errors[0].clientId, "fail");
    EXPECT_EQ(errors[0].codes, (std::vector<int>{ERR_INJECTED, vl::platform::ERR_ID_VALIDATION_FAILED}));
}

TEST_F(Dm0706ValidateTest, NoInfosGiveAnEmptyReply) {
    Parsed reply = call("validateItemIdsAndRevIds", "<ValidateItemIdsAndRevIdsInput/>");
    EXPECT_TRUE(reply.outputs().empty()) << reply.text;
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
}

// ---- getDatasetTypeInfo

const char* const kDatasetTypes = R"(
datasettype Probe tools=Viewer
reference Probe Upper format=OBJECT
reference Probe Lower format=object
reference Probe Named
reference Probe Multi format=BINARY template=*.a,*.b
datasettype Bare tools=Viewer
)";

class Dm0706DatasetTypeTest : public Dm0706SiteTest {
protected:
    Dm0706DatasetTypeTest() : Dm0706SiteTest(kDatasetTypes) {}

    static std::string request(const std::vector<std::string>& names) {
        std::string xml = "<GetDatasetTypeInfoInput>";
        for (const auto& n : names) xml += "<datasetTypeName value=\"" + esc(n) + "\"/>";
        return xml + "</GetDatasetTypeInfoInput>";
    }
    static tag_t typeNamed(const std::string& name) {
        tag_t type = 0;
        EXPECT_EQ(AE_find_datasettype(name.c_str(), &type), 0);
        EXPECT_NE(type, 0u) << name;
        return type;
    }
    // The uids of the described types, in reply order.
    static std::vector<std::string> described(const Parsed& reply) {
        std::vector<std::string> out;
        for (const XMLNode* info : childrenNamed(*reply.root, "info")) out.push_back(refAttr(*info, "tag"));
        return out;
    }
    // name|isObject|format|extension of each reference info of the n-th type.
    static std::vector<std::string> references(const Parsed& reply, std::size_t n) {
        std::vector<std::string> out;
        auto infos = childrenNamed(*reply.root, "info");
        if (n >= infos.size()) return {"<no info>"};
        for (const XMLNode* r : childrenNamed(*infos[n], "refInfo"))
            out.push_back(attrOr(*r, "referenceName") + "|" + attrOr(*r, "isObject") + "|" + attrOr(*r, "fileFormat") +
                          "|" + attrOr(*r, "fileExtension"));
        return out;
    }
};

TEST_F(Dm0706DatasetTypeTest, NoNamesDescribesEveryTypeInPlatformOrder) {
    int count = 0;
    scoped_smptr<tag_t> all;
    ASSERT_EQ(AE_datasettype_extent(&count, &all), 0);
    std::vector<unsigned int> expected(all.get(), all.get() + count);
    ASSERT_GE(expected.size(), 8u);
    Parsed reply = call("getDatasetTypeInfo", "<GetDatasetTypeInfoInput/>");
    EXPECT_EQ(described(reply), uids(expected)) << reply.text;
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
}

TEST_F(Dm0706DatasetTypeTest, ReferencesFormatsAndExtensions) {
    Parsed reply = call("getDatasetTypeInfo", request({"Probe", "Bare", "Text"}));
    EXPECT_EQ(described(reply), uids({typeNamed("Probe"), typeNamed("Bare"), typeNamed("Text")})) << reply.text;
    // Only "OBJECT" exactly is an object; a reference without file
    // references gives nothing; every file reference gives one info.
    EXPECT_EQ(references(reply, 0), (std::vector<std::string>{"Upper|true|OBJECT|*", "Lower|false|object|*",
                                                               "Multi|false|BINARY|*.a", "Multi|false|BINARY|*.b"}));
    EXPECT_TRUE(references(reply, 1).empty());
    EXPECT_EQ(references(reply, 2), std::vector<std::string>{"Text|false|TEXT|*.txt"});
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
}

TEST_F(Dm0706DatasetTypeTest, NamesThatFindNoTypeAreKeyedByTheName) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::vector<std::string> types;
        std::vector<std::string> keys;
    } cases[] = {
        {"unknown between two good ones", {"Text", "Nope", "PDF"}, {"Text", "PDF"}, {"Nope"}},
        {"one name twice", {"PDF", "PDF"}, {"PDF", "PDF"}, {}},
        {"names compare exactly", {"text", "Text "}, {}, {"text", "Text "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed reply = call("getDatasetTypeInfo", request(c.names));
        std::vector<unsigned int> tags;
        for (const auto& t : c.types) tags.push_back(typeNamed(t));
        EXPECT_EQ(described(reply), uids(tags)) << reply.text;
        std::vector<std::string> keys;
        for (const auto& e : reply.errors()) {
            keys.push_back(e.clientId);
            EXPECT_EQ(e.codes, std::vector<int>{vl::platform::ERR_DATASET_TYPE_NOT_FOUND});
        }
        EXPECT_EQ(keys, c.keys);
    }
}

TEST_F(Dm0706DatasetTypeTest, APlatformFailureCostsOnlyItsType) {
    const tag_t pdf = typeNamed("PDF");
    const std::string pdfUid = uidOf(pdf);
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, tag_t>> faults;
        std::vector<std::string> names;
        std::vector<std::string> types;
        std::vector<std::pair<std::string, std::vector<int>>> errors;  // key, codes
    } cases[] = {
        {"references of the second type", {{"AE_ask_datasettype_refs", pdf}}, {"Text", "PDF", "Image"},
         {"Text", "Image"}, {{"PDF", {ERR_INJECTED}}}},
        // The reference names are freed all the same (block count).
        {"file references of the second type", {{"AE_ask_datasettype_file_refs", pdf}}, {"Text", "PDF", "Image"},
         {"Text", "Image"}, {{"PDF", {ERR_INJECTED}}}},
        {"name look-up", {{"AE_find_datasettype", 0}}, {"Text", "PDF"}, {"PDF"}, {{"Text", {ERR_INJECTED}}}},
        {"listing every type", {{"AE_datasettype_extent", 0}}, {}, {}, {{"getting all datasettypes", {ERR_INJECTED}}}},
        // An unreadable name keys by the uid.
        {"name and references", {{"AE_ask_datasettype_name", pdf}, {"AE_ask_datasettype_refs", pdf}}, {"PDF"}, {},
         {{pdfUid, {ERR_INJECTED, ERR_INJECTED}}}},
        // An unreadable name alone costs nothing, and its error reaches no
        // later type's partial error.
        {"name alone", {{"AE_ask_datasettype_name", pdf}, {"AE_ask_datasettype_refs", typeNamed("Image")}},
         {"PDF", "Image"}, {"PDF"}, {{"Image", {ERR_INJECTED}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [function, tag] : c.faults) vl::platform::FAULT_inject(function, ERR_INJECTED, tag);
        Parsed reply = call("getDatasetTypeInfo", request(c.names));
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
        vl::platform::FAULT_clear();
        std::vector<unsigned int> tags;
        for (const auto& t : c.types) tags.push_back(typeNamed(t));
        EXPECT_EQ(described(reply), uids(tags)) << reply.text;
        std::vector<std::pair<std::string, std::vector<int>>> errors;
        for (const auto& e : reply.errors()) errors.emplace_back(e.clientId, e.codes);
        EXPECT_EQ(errors, c.errors) << reply.text;
    }
}

}  // namespace
}  // namespace dm0706
