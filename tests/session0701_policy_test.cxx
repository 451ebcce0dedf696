// The object property policy: the words that select the empty policy, a
// policy that later replies apply to their objects by type, policies the
// parser refuses; the per-request refresh switch; and a site reset that
// brings both back to a fresh server's state.
#include "session0701_support.hxx"

#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "soa_server/policy.hxx"
#include "soa_server/service_data.hxx"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using namespace session0701;
using Velmora::Soa::Internal::Server::PolicyManager;
using Velmora::Soa::Server::ServiceData;
using vl::test::uidOf;

const std::string kItemPolicy =
    "<ObjectPropertyPolicy><type name=\"Item\"><property name=\"item_id\"/></type>"
    "<type name=\"WorkspaceObject\"><property name=\"object_desc\"/><property name=\"item_id\"/></type>"
    "</ObjectPropertyPolicy>";

class Session0701Policy : public Session0701Fixture {
protected:
    void SetUp() override {
        Session0701Fixture::SetUp();
        ASSERT_EQ(ITEM_find_item("000100", &m_widget), 0);
        ASSERT_EQ(ITEM_find_item("DOC-0001", &m_guide), 0);
        ASSERT_EQ(ITEM_ask_latest_rev(m_widget, &m_widgetRev), 0);
    }

    static Parsed setPolicy(const std::string& policy) { return Parsed(call("setObjectPropertyPolicy", policyXml(policy))); }

    // uid -> property names of the data objects of a getProperties reply
    // that asks for object_name of the widget, its revision and the guide.
    std::map<std::string, std::set<std::string>> properties() const {
        Parsed r(invoke("Core-2006-03-DataManagement", "getProperties",
                        "<GetPropertiesInput><object uid=\"" + uidOf(m_widget) + "\"/><object uid=\"" +
                            uidOf(m_widgetRev) + "\"/><object uid=\"" + uidOf(m_guide) +
                            "\"/><attribute value=\"object_name\"/></GetPropertiesInput>"));
        EXPECT_TRUE(partialErrors(r).empty()) << r.text;
        std::map<std::string, std::set<std::string>> out;
        for (const XMLNode* o : childrenNamed(r.sd, "dataObject"))
            for (const XMLNode* p : childrenNamed(o, "propertie")) out[attrOf(o, "uid")].insert(attrOf(p, "name"));
        return out;
    }
    std::map<std::string, std::set<std::string>> onlyOwn() const {
        return {{uidOf(m_widget), {"object_name"}}, {uidOf(m_widgetRev), {"object_name"}}, {uidOf(m_guide), {"object_name"}}};
    }

    tag_t m_widget = 0, m_guide = 0, m_widgetRev = 0;
};

TEST_F(Session0701Policy, EmptyWordsAndAValidPolicy) {
    for (const char* word : {"empty", "Empty"}) {
        Parsed r = setPolicy(word);
        EXPECT_EQ(r.text, "<SetObjectPropertyPolicyOutput out=\"true\"/>");
        EXPECT_TRUE(PolicyManager::isEmptyPolicy()) << word;
        PolicyManager::setEmptyPolicy(false);
    }
    EXPECT_EQ(properties(), onlyOwn());

    // An entry serves the type's subtypes unless the policy names a nearer
    // type; properties a type does not have are left out; the operation's
    // own properties stay.
    EXPECT_EQ(setPolicy(kItemPolicy).text, "<SetObjectPropertyPolicyOutput out=\"true\"/>");
    EXPECT_FALSE(PolicyManager::isEmptyPolicy());
    const std::map<std::string, std::set<std::string>> withPolicy = {
        {uidOf(m_widget), {"object_name", "item_id"}},
        {uidOf(m_widgetRev), {"object_name", "object_desc"}},
        {uidOf(m_guide), {"object_name", "item_id"}},
    };
    EXPECT_EQ(properties(), withPolicy);

    // The empty policy: replies carry only what the operation asks for.
    setPolicy("empty");
    EXPECT_EQ(properties(), onlyOwn());

    // A second policy replaces the first; naming a subtype without
    // properties keeps its supertype's entry away from it.
    EXPECT_EQ(setPolicy("<ObjectPropertyPolicy><type name=\"Document\"/><type name=\"Item\">"
                        "<property name=\"object_desc\"/></type></ObjectPropertyPolicy>")
                  .text,
              "<SetObjectPropertyPolicyOutput out=\"true\"/>");
    EXPECT_EQ(properties(), (std::map<std::string, std::set<std::string>>{{uidOf(m_widget), {"object_name", "object_desc"}},
                                                                        {uidOf(m_widgetRev), {"object_name"}},
                                                                        {uidOf(m_guide), {"object_name"}}}));
}

// The policy serves every list of the reply, not only plain objects: a new
// item and its revision (created) and the folder they went into (updated)
// carry what it names for their types, with their values.
TEST_F(Session0701Policy, CreatedAndUpdatedObjectsCarryThePolicy) {
    auto newFolder = [] {
        Parsed r(invoke("Core-2006-03-DataManagement", "createFolders",
                        "<CreateFoldersInput><folder clientId=\"f\" name=\"Parts\" desc=\"parts bin\"/>"
                        "</CreateFoldersInput>"));
        return attrOf(r.root->child("output")->child("folder"), "uid");
    };
    // The item and the revision made, and uid -> property -> values of the
    // reply's data objects.
    struct Made {
        std::string item, revision;
        std::vector<std::string> updated;
        std::map<std::string, std::map<std::string, std::vector<std::string>>> data;
    };
    auto createItem = [](const std::string& folderUid) {
        Parsed r(invoke("Core-2006-03-DataManagement", "createItems",
                        "<CreateItemsInput><propertie clientId=\"c\" itemId=\"P-1\" revId=\"A\" name=\"Pin\" "
                        "description=\"a pin\"/><container uid=\"" + folderUid + "\"/></CreateItemsInput>"));
        EXPECT_TRUE(partialErrors(r).empty()) << r.text;
        Made made;
        const XMLNode* output = r.root->child("output");
        made.item = attrOf(output->child("item"), "uid");
        made.revision = attrOf(output->child("itemRev"), "uid");
        made.updated = r.uids("updatedObj");
        for (const XMLNode* o : childrenNamed(r.sd, "dataObject"))
            for (const XMLNode* p : childrenNamed(o, "propertie")) {
                auto& values = made.data[attrOf(o, "uid")][attrOf(p, "name")];
                for (const XMLNode* v : childrenNamed(p, "value")) values.push_back(attrOf(v, "value"));
            }
        return made;
    };

    const std::string folderUid = newFolder();
    ASSERT_FALSE(folderUid.empty());
    const Made plain = createItem(folderUid);
    EXPECT_EQ(plain.updated, std::vector<std::string>{folderUid});
    EXPECT_EQ(plain.data.count(plain.item) + plain.data.count(plain.revision) + plain.data.count(folderUid), 0u)
        << "without a policy the reply carries none of their properties";

    // The same requests on a fresh store, the second under the policy.
    vl::platform::SITE_reset();
    ASSERT_EQ(newFolder(), folderUid);
    setPolicy(kItemPolicy);
    const Made made = createItem(folderUid);
    ASSERT_EQ(made.item, plain.item);
    ASSERT_EQ(made.revision, plain.revision);
    EXPECT_EQ(made.updated, std::vector<std::string>{folderUid});
    ASSERT_TRUE(made.data.count(made.item) && made.data.count(made.revision) && made.data.count(folderUid));
    EXPECT_EQ(made.data.at(made.item).at("item_id"), std::vector<std::string>{"P-1"});
    EXPECT_EQ(made.data.at(made.revision).count("item_id"), 0u) << "a revision has no item_id";
    EXPECT_EQ(made.data.at(made.revision).at("object_desc"), std::vector<std::string>{"a pin"});
    EXPECT_EQ(made.data.at(folderUid).at("object_desc"), std::vector<std::string>{"parts bin"});
}

// Texts the parser refuses: 214104 with the text, 214105 with the parser's
// message, and the empty policy off (the installed policy stays).
TEST_F(Session0701Policy, RefusedPolicies) {
    setPolicy(kItemPolicy);
    const std::string refused[] = {
        "EMPTY",
        "<ObjectPropertyPolicy><type name=\"Item\">",
        "<!DOCTYPE ObjectPropertyPolicy><ObjectPropertyPolicy/>",
        "<!DOCTYPE p [<!ENTITY e \"Item\">]><ObjectPropertyPolicy><type name=\"&e;\"/></ObjectPropertyPolicy>",
        "<ObjectPropertyPolicy><type name=\"&e;\"/></ObjectPropertyPolicy>",
        "<ObjectPropertyPolicy><type name=\"Item\"><bogus/></type></ObjectPropertyPolicy>",
    };
    for (const auto& policy : refused) {
        SCOPED_TRACE(policy);
        PolicyManager::setEmptyPolicy(true);
        Parsed r = setPolicy(policy);
        ASSERT_EQ(r.name(), "ServiceException") << r.text;
        EXPECT_EQ(r.codes(), (std::vector<int>{vl::platform::ERR_POLICY_REFUSED, vl::platform::ERR_POLICY_PARSE}));
        const auto values = childrenNamed(r.root, "errorValue");
        EXPECT_EQ(attrOf(values.at(0), "message"), policy);
        EXPECT_FALSE(attrOf(values.at(1), "message").empty());
        EXPECT_FALSE(PolicyManager::isEmptyPolicy());
        EXPECT_EQ(storedErrorCount(), 0);
    }
    EXPECT_EQ(properties().at(uidOf(m_widget)), (std::set<std::string>{"object_name", "item_id"}));
}

TEST_F(Session0701Policy, RefreshSwitchAndSiteReset) {
    for (bool refresh : {true, false, true}) {
        std::string reply = invoke(kInternalService, "refreshPOMCachePerRequest", refreshXml(refresh));
        EXPECT_EQ(reply, "<RefreshPOMCachePerRequestOutput out=\"true\"/>");
        EXPECT_EQ(ServiceData::askRefreshPOM(), refresh);
    }
    setPolicy(kItemPolicy);
    setPolicy("Empty");
    ASSERT_NE(PolicyManager::findPolicy("XmlPolicy"), nullptr);

    vl::platform::SITE_reset();
    EXPECT_FALSE(ServiceData::askRefreshPOM());
    EXPECT_FALSE(PolicyManager::isEmptyPolicy());
    EXPECT_EQ(PolicyManager::findPolicy("XmlPolicy"), nullptr);
    EXPECT_EQ(properties(), onlyOwn());
}

}  // namespace
