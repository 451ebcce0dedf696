// Data management 2006_03 skeleton: its table, what each request hands the
// implementation, the root of each reply, the conversion rules towards the
// wire, and revise's handlers.
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "soa_server/service_manager.hxx"
#include "soa_server/utils.hxx"
#include "soa_services/core/skeletons/core/_2006_03/datamanagement/datamanagement_skeleton.hxx"
#include "support/service_test.hxx"
#include "support/skeleton_test.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Skeleton = Velmora::Services::Core::_2006_03::DataManagementIiopSkeleton;
using DataManagement = Velmora::Soa::Core::_2006_03::DataManagement;
using Velmora::Soa::Core::_2006_03::DataManagementImpl;
using Velmora::Soa::Internal::Server::Utils;
using Velmora::Soa::Server::ServiceData;
using vl::platform::SpanEvent;
using vl::test::registeredSkeleton;
using vl::test::storedErrorCount;
using vl::test::uidOf;
using vl::test::xmlOf;
namespace Wire = Velmora::Schemas::Core::_2006_03::Datamanagement;

const char* const kService = "Core-2006-03-DataManagement";

// What one call hands the implementation, written out field by field in the
// local order, tags as uids.
std::string describe(const std::map<std::string, std::string>& m) {
    std::string s = "{";
    for (const auto& [k, v] : m) s += k + "=" + v + ";";
    return s + "}";
}
std::string describe(const std::vector<Tag>& tags) {
    std::string s = "[";
    for (const auto& t : tags) s += uidOf(t) + ",";
    return s + "]";
}

// The real implementation, seen through: records what each outermost call
// received, may be told to fail, and answers the operations a later build
// brings with an empty result.
class ObservedImpl : public DataManagementImpl {
public:
    std::string seen;
    std::function<void()> fail;                                // runs before the operation, when set
    std::function<ReviseResponse()> reviseAnswer;              // revise's result, when set

    CreateFoldersResponse createFolders(const std::vector<CreateFolderInput>& folders, const Tag& container,
                                        std::string relationType) override {
        Outer outer(*this);
        if (outer.first) {
            seen = "createFolders ";
            for (const auto& f : folders) seen += "[" + f.clientId + "|" + f.name + "|" + f.desc + "]";
            seen += " " + uidOf(container) + " " + relationType;
            if (fail) fail();
        }
        return DataManagementImpl::createFolders(folders, container, relationType);
    }
    CreateItemsResponse createItems(const std::vector<ItemProperties>& items, const Tag& container,
                                    std::string relationType) override {
        Outer outer(*this);
        if (outer.first) {
            seen = "createItems ";
            for (const auto& i : items) {
                seen += "[" + i.clientId + "|" + i.itemId + "|" + i.name + "|" + i.type + "|" + i.revId + "|" +
                        i.uom + "|" + i.description;
                for (const auto& e : i.extendedAttributes) seen += "|" + e.objectType + describe(e.attributes);
                seen += "]";
            }
            seen += " " + uidOf(container) + " " + relationType;
        }
        return DataManagementImpl::createItems(items, container, relationType);
    }
    CreateDatasetsResponse createDatasets(const std::vector<DatasetProperties>& input) override {
        seen = "createDatasets ";
        for (const auto& d : input)
            seen += "[" + d.clientId + "|" + d.type + "|" + d.name + "|" + d.description + "|" + d.toolUsed + "|" +
                    uidOf(d.container) + "|" + d.relationType + "]";
        return {};
    }
    ReviseResponse revise(const std::map<POMRef<OstraItemRevP>, ReviseProperties>& input) override {
        seen = "revise ";
        for (const auto& [rev, p] : input) {
            seen += "[" + uidOf(rev.tag()) + (rev.cached() ? "!cached" : "") + "|" + p.revId + "|" + p.name + "|" +
                    p.description + describe(p.extendedAttributes) + "]";
        }
        if (fail) fail();
        return reviseAnswer ? reviseAnswer() : ReviseResponse{};
    }
    GenerateItemIdsAndInitialRevisionIdsResponse generateItemIdsAndInitialRevisionIds(
        const std::vector<GenerateItemIdsAndInitialRevisionIdsProperties>& input) override {
        Outer outer(*this);
        if (outer.first) {
            seen = "generateItemIdsAndInitialRevisionIds ";
            for (const auto& g : input)
                seen += "[" + uidOf(g.item) + "|" + g.itemType + "|" + std::to_string(g.count) + "]";
        }
        return DataManagementImpl::generateItemIdsAndInitialRevisionIds(input);
    }
    GenerateRevisionIdsResponse generateRevisionIds(const std::vector<GenerateRevisionIdsProperties>& input) override {
        Outer outer(*this);
        if (outer.first) {
            seen = "generateRevisionIds ";
            for (const auto& g : input) seen += "[" + uidOf(g.item) + "|" + g.itemType + "]";
        }
        return DataManagementImpl::generateRevisionIds(input);
    }
    CreateRelationsResponse createRelations(const std::vector<Relationship>& input) override {
        Outer outer(*this);
        if (outer.first) seen = "createRelations " + describeRelations(input);
        return DataManagementImpl::createRelations(input);
    }
    ServiceData deleteRelations(const std::vector<Relationship>& input) override {
        seen = "deleteRelations " + describeRelations(input);
        return {};
    }
    ServiceData changeOwnership(const std::vector<ObjectOwner>& input) override {
        seen = "changeOwnership ";
        for (const auto& o : input)
            seen += "[" + uidOf(o.object) + "|" + uidOf(o.owner.tag()) + "|" + uidOf(o.group.tag()) + "]";
        return {};
    }
    ServiceData deleteObjects(std::vector<Tag>& objects) override {
        seen = "deleteObjects " + describe(objects);
        return {};
    }
    ServiceData getProperties(const std::vector<Tag>& objects, const std::vector<std::string>& attributes) override {
        seen = "getProperties " + describe(objects);
        for (const auto& a : attributes) seen += " " + a;
        return DataManagementImpl::getProperties(objects, attributes);
    }
    ServiceData setDisplayProperties(const std::vector<Tag>& objects,
                                     const std::map<std::string, std::string>& attributes) override {
        seen = "setDisplayProperties " + describe(objects) + " " + describe(attributes);
        return DataManagementImpl::setDisplayProperties(objects, attributes);
    }

private:
    static std::string describeRelations(const std::vector<Relationship>& input) {
        std::string s;
        for (const auto& r : input)
            s += "[" + r.clientId + "|" + r.relationType + "|" + uidOf(r.primaryObject) + "|" +
                 uidOf(r.secondaryObject) + "|" + uidOf(r.userData) + "]";
        return s;
    }
    // The create operations call others on the same object: only the
    // outermost call is recorded.
    struct Outer {
        explicit Outer(ObservedImpl& impl) : impl(impl), first(impl.m_depth++ == 0) {}
        ~Outer() { --impl.m_depth; }
        ObservedImpl& impl;
        bool first;
    };
    int m_depth = 0;
};

class Dm0603SkeletonTest : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        m_saved = Skeleton::_service;
        Skeleton::_service = &m_impl;
    }
    void TearDown() override {
        Skeleton::_service = m_saved;
        ServiceTest::TearDown();
    }

    std::string call(const std::string& operation, const std::string& xml) {
        return invoke(kService, operation, xml);
    }

    // New folders, made through a request; their uids.
    std::vector<std::string> makeFolders(int count) {
        std::string xml = "<CreateFoldersInput relationType=\"\">";
        for (int i = 0; i < count; ++i)
            xml += "<folder clientId=\"c" + std::to_string(i) + "\" name=\"F" + std::to_string(i) + "\" desc=\"\"/>";
        xml += "</CreateFoldersInput>";
        vl::test::Reply reply(call("createFolders", xml));
        std::vector<std::string> uids;
        for (const auto* output : reply.root->children()) {
            const auto* folder = output->name() == "output" ? output->child("folder") : nullptr;
            if (folder && folder->attr("uid")) uids.push_back(*folder->attr("uid"));
        }
        EXPECT_EQ(uids.size(), static_cast<std::size_t>(count)) << "folders not made";
        uids.resize(count);
        return uids;
    }

    ObservedImpl m_impl;

private:
    DataManagementImpl* m_saved = nullptr;
};

// ---- the table

TEST(Dm0603SkeletonTable, TwelveOperationsUnderTheFullName) {
    auto* skeleton = registeredSkeleton(kService);
    ASSERT_NE(skeleton, nullptr) << "not reachable under " << kService;
    EXPECT_EQ(skeleton->serviceName(), "DataManagement");
    std::set<std::string> names;
    for (const auto& [name, op] : skeleton->operations()) {
        names.insert(name);
        EXPECT_NE(op, nullptr) << name;
    }
    std::set<std::string> expected = {"deleteObjects",       "getProperties",   "revise",
                                      "generateItemIdsAndInitialRevisionIds", "changeOwnership",
                                      "generateRevisionIds", "setDisplayProperties", "createRelations",
                                      "createFolders",       "createDatasets",  "deleteRelations",
                                      "createItems"};
    EXPECT_EQ(names, expected);
    auto& registry = Velmora::Soa::Internal::Server::ServiceManager::instance().getServiceList();
    EXPECT_EQ(std::count(registry.begin(), registry.end(), kService), 1);
    // Each name answers with its own function.
    std::set<Velmora::Soa::Internal::Server::IiopSkeleton::Operation> distinct;
    for (const auto& [name, op] : skeleton->operations()) distinct.insert(op);
    EXPECT_EQ(distinct.size(), 12u);
}

// ---- root names and spans of every operation

TEST_F(Dm0603SkeletonTest, EachOperationAnswersUnderItsRootWithItsFourSpans) {
    struct Case {
        const char* op;
        const char* request;
        const char* root;
    } cases[] = {
        {"deleteObjects", "<DeleteObjectsInput/>", "ServiceData"},
        {"getProperties", "<GetPropertiesInput/>", "ServiceData"},
        {"revise", "<ReviseInput/>", "ReviseResponse"},
        {"generateItemIdsAndInitialRevisionIds", "<GenerateItemIdsAndInitialRevisionIdsInput/>",
         "GenerateItemIdsAndInitialRevisionIdsResponse"},
        {"changeOwnership", "<ChangeOwnershipInput/>", "ServiceData"},
        {"generateRevisionIds", "<GenerateRevisionIdsInput/>", "GenerateRevisionIdsResponse"},
        {"setDisplayProperties", "<SetDisplayPropertiesInput/>", "ServiceData"},
        {"createRelations", "<CreateRelationsInput/>", "CreateRelationsResponse"},
        {"createFolders", "<CreateFoldersInput/>", "CreateFoldersResponse"},
        {"createDatasets", "<CreateDatasetsInput/>", "CreateDatasetsResponse"},
        {"deleteRelations", "<DeleteRelationsInput/>", "ServiceData"},
        {"createItems", "<CreateItemsInput/>", "CreateItemsResponse"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        vl::platform::MONITOR_clear();
        std::string reply = call(c.op, c.request);
        vl::test::Reply parsed(reply);
        EXPECT_EQ(parsed.root->name(), c.root) << reply;
        // An empty request gives an empty reply: no output, no error.
        EXPECT_EQ(reply.find("<output"), std::string::npos) << reply;
        EXPECT_EQ(reply.find("partialError"), std::string::npos) << reply;

        const std::string a = std::string("Velmora::Soa::Core::_2006_03::DataManagementIiopSkeleton::") + c.op;
        const std::string b = std::string("Velmora::Soa::Core::_2006_03::DataManagementImpl::") + c.op;
        EXPECT_EQ(vl::test::spanLog(), vl::test::completedSpans(a, b));
    }
}

// ---- what each request hands the implementation

TEST_F(Dm0603SkeletonTest, EachRequestReachesTheImplementationFieldByField) {
    auto f = makeFolders(3);
    const std::string A = f[0], B = f[1], C = f[2];
    struct Case {
        const char* op;
        std::string request;
        std::string seen;
    } cases[] = {
        {"createFolders",
         "<CreateFoldersInput relationType=\"rel\"><folder clientId=\"c1\" name=\"n1\" desc=\"d1\"/>"
         "<folder clientId=\"c2\" name=\"n2\" desc=\"\"/><container uid=\"" + A + "\"/></CreateFoldersInput>",
         "createFolders [c1|n1|d1][c2|n2|] " + A + " rel"},
        {"createItems",
         "<CreateItemsInput relationType=\"r\"><propertie clientId=\"c\" name=\"N\" type=\"T\" description=\"D\" "
         "uom=\"U\" revId=\"R\" itemId=\"I\"><extendedAttribute objectType=\"M\"><attribute key=\"b\" value=\"2\"/>"
         "<attribute key=\"a\" value=\"1\"/><attribute key=\"b\" value=\"3\"/></extendedAttribute>"
         "<extendedAttribute objectType=\"E\"/></propertie><container uid=\"\"/></CreateItemsInput>",
         "createItems [c|I|N|T|R|U|D|M{a=1;b=3;}|E{}]  r"},
        {"createDatasets",
         "<CreateDatasetsInput><input clientId=\"c\" name=\"N\" relationType=\"R\" type=\"T\" description=\"D\" "
         "toolUsed=\"X\"><container uid=\"" + B + "\"/></input></CreateDatasetsInput>",
         "createDatasets [c|T|N|D|X|" + B + "|R]"},
        // Two entries for one revision: the later one's four fields; the
        // reference carries no loaded object.
        {"revise",
         "<ReviseInput><input><key uid=\"" + B + "\"/><value name=\"old\" description=\"old\" revId=\"X\">"
         "<extendedAttribute key=\"k\" value=\"old\"/></value></input>"
         "<input><key uid=\"" + A + "\"/><value name=\"a\" description=\"\" revId=\"\"/></input>"
         "<input><key uid=\"" + B + "\"/><value name=\"n\" description=\"d\" revId=\"B\">"
         "<extendedAttribute key=\"z\" value=\"1\"/><extendedAttribute key=\"y\" value=\"2\"/></value></input>"
         "</ReviseInput>",
         "revise [" + A + "||a|{}][" + B + "|B|n|d{y=2;z=1;}]"},
        {"generateItemIdsAndInitialRevisionIds",
         "<GenerateItemIdsAndInitialRevisionIdsInput><input count=\"0\" itemType=\"Item\"><item uid=\"" + A +
             "\"/></input><input count=\"-1\" itemType=\"\"/></GenerateItemIdsAndInitialRevisionIdsInput>",
         "generateItemIdsAndInitialRevisionIds [" + A + "|Item|0][||-1]"},
        {"generateRevisionIds",
         "<GenerateRevisionIdsInput><input itemType=\"T\"><item uid=\"" + C + "\"/></input></GenerateRevisionIdsInput>",
         "generateRevisionIds [" + C + "|T]"},
        {"createRelations",
         "<CreateRelationsInput><input clientId=\"c\" relationType=\"nosuch\"><primaryObject uid=\"" + A +
             "\"/><secondaryObject uid=\"" + B + "\"/><userData uid=\"" + C + "\"/></input></CreateRelationsInput>",
         "createRelations [c|nosuch|" + A + "|" + B + "|" + C + "]"},
        {"deleteRelations",
         "<DeleteRelationsInput><input clientId=\"c\" relationType=\"R\"><primaryObject uid=\"" + C +
             "\"/></input></DeleteRelationsInput>",
         "deleteRelations [c|R|" + C + "||]"},
        {"changeOwnership",
         "<ChangeOwnershipInput><input><object uid=\"" + A + "\"/><owner uid=\"" + B + "\"/><group uid=\"" + C +
             "\"/></input></ChangeOwnershipInput>",
         "changeOwnership [" + A + "|" + B + "|" + C + "]"},
        {"deleteObjects",
         "<DeleteObjectsInput><object uid=\"" + C + "\"/><object uid=\"" + A + "\"/><object uid=\"" + C +
             "\"/></DeleteObjectsInput>",
         "deleteObjects [" + C + "," + A + "," + C + ",]"},
        {"getProperties",
         "<GetPropertiesInput><object uid=\"" + B + "\"/><attribute value=\"object_name\"/>"
         "<attribute value=\"object_name\"/></GetPropertiesInput>",
         "getProperties [" + B + ",] object_name object_name"},
        // Two entries for one property: the later value.
        {"setDisplayProperties",
         "<SetDisplayPropertiesInput><object uid=\"" + A + "\"/><attribute key=\"object_desc\" value=\"one\"/>"
         "<attribute key=\"object_desc\" value=\"two\"/></SetDisplayPropertiesInput>",
         "setDisplayProperties [" + A + ",] {object_desc=two;}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        m_impl.seen.clear();
        std::string reply = call(c.op, c.request);
        EXPECT_EQ(m_impl.seen, c.seen) << reply;
    }
}

// ---- conversions towards the wire

class Dm0603SkeletonConversionTest : public Dm0603SkeletonTest {
protected:
    void SetUp() override {
        Dm0603SkeletonTest::SetUp();
        good = Utils::uidToTag(makeFolders(1)[0]);
        goodUid = uidOf(good);
        bad = Utils::uidToTag("nosuchobject");
        ASSERT_NE(Tag::isValid(bad), 0);
    }
    Tag good, bad;
    std::string goodUid;
};

// Each reference is converted under its own guard: one that cannot be made
// into a wire object becomes the null reference, the others are untouched,
// and the error the failed attempt stored is gone.
TEST_F(Dm0603SkeletonConversionTest, GuardedReferencesBecomeNullAndLeaveNoError) {
    using Uids = std::vector<std::string>;
    struct Case {
        const char* name;
        std::function<Uids(Tag bad, Tag good)> convert;
        Uids expected;  // "good" stands for the good uid
    } cases[] = {
        {"CreateItemsOutput",
         [](Tag b, Tag g) {
             auto w = Skeleton::toWire(DataManagement::CreateItemsOutput{"c", b, g});
             return Uids{w.getItem().getUid(), w.getItemRev().getUid()};
         },
         {"", "good"}},
        {"ObjectOwner",
         [](Tag b, Tag) {
             auto w = Skeleton::toWire(DataManagement::ObjectOwner{b, b, b});
             return Uids{w.getObject().getUid(), w.getOwner().getUid(), w.getGroup().getUid()};
         },
         {"", "", ""}},
        {"Relationship",
         [](Tag b, Tag g) {
             auto w = Skeleton::toWire(DataManagement::Relationship{"c", "r", g, b, g});
             return Uids{w.getPrimaryObject().getUid(), w.getSecondaryObject().getUid(), w.getUserData().getUid()};
         },
         {"good", "", "good"}},
        {"CreateFoldersOutput",
         [](Tag b, Tag) { return Uids{Skeleton::toWire(DataManagement::CreateFoldersOutput{"c", b}).getFolder().getUid()}; },
         {""}},
        {"CreateDatasetsOutput",
         [](Tag b, Tag) {
             return Uids{Skeleton::toWire(DataManagement::CreateDatasetsOutput{"c", b}).getDataset().getUid()};
         },
         {""}},
        {"CreateRelationsOutput",
         [](Tag b, Tag) {
             return Uids{Skeleton::toWire(DataManagement::CreateRelationsOutput{"c", b}).getRelation().getUid()};
         },
         {""}},
        {"DatasetProperties",
         [](Tag b, Tag) {
             DataManagement::DatasetProperties d;
             d.container = b;
             return Uids{Skeleton::toWire(d).getContainer().getUid()};
         },
         {""}},
        {"GenerateItemIdsAndInitialRevisionIdsProperties",
         [](Tag b, Tag) {
             return Uids{Skeleton::toWire(DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties{b, "T", 1})
                             .getItem()
                             .getUid()};
         },
         {""}},
        {"GenerateRevisionIdsProperties",
         [](Tag b, Tag) {
             return Uids{Skeleton::toWire(DataManagement::GenerateRevisionIdsProperties{b, "T"}).getItem().getUid()};
         },
         {""}},
        // Inside a response the rest of the reply is written as usual.
        {"CreateItemsResponse",
         [](Tag b, Tag g) {
             DataManagement::CreateItemsResponse r;
             r.output.push_back({"c1", b, g});
             r.output.push_back({"c2", g, b});
             auto w = Skeleton::toWire(r);
             Uids uids{w.getOutputArray()[0].getClientId(), w.getOutputArray()[1].getClientId()};
             for (const auto& o : w.getOutputArray()) {
                 uids.push_back(o.getItem().getUid());
                 uids.push_back(o.getItemRev().getUid());
             }
             return uids;
         },
         {"c1", "c2", "", "good", "good", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ERROR_store_clear();
        Uids expected = c.expected;
        for (auto& e : expected)
            if (e == "good") e = goodUid;
        EXPECT_EQ(c.convert(bad, good), expected);
        EXPECT_EQ(storedErrorCount(), 0);
    }
}

// The revision maps convert their references without a guard: one bad
// reference fails the whole conversion.
TEST_F(Dm0603SkeletonConversionTest, RevisionMapReferencesAreNotGuarded) {
    EXPECT_THROW(Skeleton::toWireItemRevMap({{good, good}, {bad, good}}), IFail);
    EXPECT_THROW(Skeleton::toWireItemRevMap({{good, bad}}), IFail);
    EXPECT_THROW(Skeleton::toWireItemRevPropertyMap({{bad, {}}}), IFail);
    auto entries = Skeleton::toWireItemRevMap({{good, good}});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].getKey().getUid(), goodUid);
    EXPECT_EQ(entries[0].getValue().getUid(), goodUid);
}

// Towards the wire the entries of every map come out in ascending key order.
TEST_F(Dm0603SkeletonConversionTest, MapEntriesGoOutInKeyOrder) {
    auto f = makeFolders(2);
    Tag t1 = Utils::uidToTag(f[0]), t2 = Utils::uidToTag(f[1]);
    Tag low = std::min(t1.value(), t2.value()), high = std::max(t1.value(), t2.value());
    struct Case {
        const char* name;
        std::function<std::string()> keys;
        std::string expected;
    } cases[] = {
        {"AttributeNameValueMap",
         [] {
             std::map<std::string, std::string> m;
             m["b"] = "2";
             m["B"] = "3";
             m["a"] = "1";
             std::string s;
             for (const auto& e : Skeleton::toWireAttributeNameValueMap(m)) s += e.getKey() + "=" + e.getValue() + ";";
             return s;
         },
         "B=3;a=1;b=2;"},
        {"IndexToIdMap",
         [] {
             Skeleton::IndexToIds m;
             m[1] = {};
             m[0] = {{"I1", "A", true, false}, {"I2", "B", false, true}};
             std::string s;
             for (const auto& e : Skeleton::toWireIndexToIdMap(m)) {
                 s += std::to_string(e.getKey()) + ":";
                 for (const auto& v : e.getValueArray())
                     s += v.getNewItemId() + "/" + v.getNewRevId() + "/" + (v.getIsItemModify() ? "t" : "f") +
                          (v.getIsRevModify() ? "t" : "f") + ",";
                 s += ";";
             }
             return s;
         },
         "0:I1/A/tf,I2/B/ft,;1:;"},
        {"IndexToRevIdMap",
         [] {
             Skeleton::IndexToRevIds m;
             m[10] = {"C", true};
             m[-2] = {"Z", false};
             m[2] = {"B", false};
             std::string s;
             for (const auto& e : Skeleton::toWireIndexToRevIdMap(m))
                 s += std::to_string(e.getKey()) + "=" + e.getValue().getNewRevId() +
                      (e.getValue().getIsModify() ? "t" : "f") + ";";
             return s;
         },
         "-2=Zf;2=Bf;10=Ct;"},
        {"ItemRevMap",
         [&] {
             Skeleton::ItemRevToItemRev m;
             m[high] = low;
             m[low] = high;
             std::string s;
             for (const auto& e : Skeleton::toWireItemRevMap(m)) s += e.getKey().getUid() + ">" + e.getValue().getUid() + ";";
             return s;
         },
         uidOf(low) + ">" + uidOf(high) + ";" + uidOf(high) + ">" + uidOf(low) + ";"},
        {"ItemRevPropertyMap",
         [&] {
             Skeleton::ItemRevToProperties m;
             m[high] = {"H", "", "", {}};
             m[low] = {"L", "", "", {{"y", "1"}, {"x", "2"}}};
             std::string s;
             for (const auto& e : Skeleton::toWireItemRevPropertyMap(m)) {
                 s += e.getKey().getUid() + ":" + e.getValue().getRevId();
                 for (const auto& a : e.getValue().getExtendedAttributeArray()) s += "," + a.getKey();
                 s += ";";
             }
             return s;
         },
         uidOf(low) + ":L,x,y;" + uidOf(high) + ":H;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.keys(), c.expected);
    }
}

// Towards the local side a later entry with an equal key replaces the value
// of an earlier one, whole; the element's place follows its key.
TEST_F(Dm0603SkeletonConversionTest, LaterMapEntriesReplaceEarlierOnes) {
    auto attr = [](const std::string& k, const std::string& v) {
        Wire::AttributeNameValueMap e;
        e.setKey(k);
        e.setValue(v);
        return e;
    };
    auto ref = [](const Tag& t) { return Utils::createWireModelObect(t); };
    struct Case {
        const char* name;
        std::function<std::string()> convert;
        std::string expected;
    } cases[] = {
        {"AttributeNameValueMap",
         [&] { return describe(Skeleton::toLocalAttributeNameValueMap({attr("K1", "1"), attr("K2", "2"), attr("K1", "3")})); },
         "{K1=3;K2=2;}"},
        {"ItemRevPropertyMap",
         [&] {
             Wire::ReviseProperties first, second;
             first.setRevId("A");
             first.setName("first");
             first.setDescription("first");
             first.addExtendedAttribute(attr("k", "first"));
             second.setRevId("B");
             second.setName("second");
             Wire::ItemRevPropertyMap e1, e2;
             e1.setKey(ref(good));
             e1.setValue(first);
             e2.setKey(ref(good));
             e2.setValue(second);
             std::string s;
             for (const auto& [rev, p] : Skeleton::toLocalItemRevPropertyMap({e1, e2}))
                 s += uidOf(rev.tag()) + (rev.cached() ? "!" : "") + ":" + p.revId + "|" + p.name + "|" +
                      p.description + describe(p.extendedAttributes) + ";";
             return s;
         },
         goodUid + ":B|second|{};"},
        {"ItemRevMap",
         [&] {
             Wire::ItemRevMap e1, e2;
             e1.setKey(ref(good));
             e1.setValue(ref(good));
             e2.setKey(ref(good));
             e2.setValue(ref(Tag(0)));
             std::string s;
             for (const auto& [from, to] : Skeleton::toLocalItemRevMap({e1, e2}))
                 s += uidOf(from.tag()) + ">" + uidOf(to.tag()) + (to.cached() ? "!" : "") + ";";
             return s;
         },
         goodUid + ">;"},
        {"IndexToIdMap",
         [] {
             Wire::IndexToIdMap e1, e2, e3;
             Wire::ItemIdsAndInitialRevisionIds a, b;
             a.setNewItemId("first");
             b.setNewItemId("later");
             b.setIsRevModify(true);
             e1.setKey(3);
             e1.addValue(a);
             e1.addValue(a);
             e2.setKey(-1);
             e3.setKey(3);
             e3.addValue(b);
             std::string s;
             for (const auto& [k, ids] : Skeleton::toLocalIndexToIdMap({e1, e2, e3})) {
                 s += std::to_string(k) + ":";
                 for (const auto& id : ids) s += id.newItemId + (id.isRevModify ? "t" : "f") + ",";
                 s += ";";
             }
             return s;
         },
         "-1:;3:latert,;"},
        {"IndexToRevIdMap",
         [] {
             Wire::IndexToRevIdMap e1, e2;
             e1.setKey(0);
             e1.getValue().setNewRevId("A");
             e1.getValue().setIsModify(true);
             e2.setKey(0);
             e2.getValue().setNewRevId("B");
             std::string s;
             for (const auto& [k, r] : Skeleton::toLocalIndexToRevIdMap({e1, e2}))
                 s += std::to_string(k) + ":" + r.newRevId + (r.isModify ? "t" : "f") + ";";
             return s;
         },
         "0:Bf;"},
        {"empty", [] { return describe(Skeleton::toLocalAttributeNameValueMap({})); }, "{}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.convert(), c.expected);
    }
}

// Every struct with a converter in both directions comes back from the wire
// as it went: each value reaches the wire, and nothing is lost on the way back.
TEST_F(Dm0603SkeletonConversionTest, StructsSurviveTheWireAndBack) {
    auto f = makeFolders(3);
    Tag t1 = Utils::uidToTag(f[0]), t2 = Utils::uidToTag(f[1]), t3 = Utils::uidToTag(f[2]);
    struct Case {
        const char* name;
        std::function<std::pair<std::string, std::string>()> trip;  // first and second wire form
        std::vector<std::string> values;                             // each must be on the wire
    } cases[] = {
        {"CreateFolderInput",
         [] {
             auto w = Skeleton::toWire(DataManagement::CreateFolderInput{"v1", "v2", "v3"});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "v2", "v3"}},
        {"ItemProperties",
         [] {
             DataManagement::ItemProperties p{"v1", "v2", "v3", "v4", "v5", "v6", "v7", {}};
             p.extendedAttributes.push_back({"v8", {{"v9", "v10"}, {"v11", "v12"}}});
             p.extendedAttributes.push_back({"v13", {}});
             auto w = Skeleton::toWire(p);
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "v2", "v3", "v4", "v5", "v6", "v7", "v8", "v9", "v10", "v11", "v12", "v13"}},
        {"CreateItemsOutput",
         [&] {
             auto w = Skeleton::toWire(DataManagement::CreateItemsOutput{"v1", t1, t2});
             auto back = Skeleton::toLocal(w);
             EXPECT_EQ(back.item.cached(), nullptr);
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(back)));
         },
         {"v1", f[0], f[1]}},
        {"DatasetProperties",
         [&] {
             auto w = Skeleton::toWire(DataManagement::DatasetProperties{"v1", "v2", "v3", "v4", "v5", t3, "v6"});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "v2", "v3", "v4", "v5", "v6", f[2]}},
        {"ReviseProperties",
         [] {
             auto w = Skeleton::toWire(DataManagement::ReviseProperties{"v1", "v2", "v3", {{"v4", "v5"}}});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "v2", "v3", "v4", "v5"}},
        {"GenerateItemIdsAndInitialRevisionIdsProperties",
         [&] {
             auto w = Skeleton::toWire(DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties{t1, "v1", -7});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "-7", f[0]}},
        {"ItemIdsAndInitialRevisionIds",
         [] {
             auto w = Skeleton::toWire(DataManagement::ItemIdsAndInitialRevisionIds{"v1", "v2", false, true});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "v2", "isItemModify=\"false\"", "isRevModify=\"true\""}},
        {"GenerateRevisionIdsProperties + RevisionIds",
         [&] {
             auto w = Skeleton::toWire(DataManagement::GenerateRevisionIdsProperties{t2, "v1"});
             auto r = Skeleton::toWire(DataManagement::RevisionIds{"v2", true});
             return std::make_pair(xmlOf(w) + xmlOf(r), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))) +
                                                            xmlOf(Skeleton::toWire(Skeleton::toLocal(r))));
         },
         {"v1", "v2", f[1], "isModify=\"true\""}},
        {"Relationship",
         [&] {
             auto w = Skeleton::toWire(DataManagement::Relationship{"v1", "v2", t1, t2, t3});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {"v1", "v2", f[0], f[1], f[2]}},
        {"Create*Output",
         [&] {
             auto a = Skeleton::toWire(DataManagement::CreateFoldersOutput{"v1", t1});
             auto b = Skeleton::toWire(DataManagement::CreateDatasetsOutput{"v2", t2});
             auto c = Skeleton::toWire(DataManagement::CreateRelationsOutput{"v3", t3});
             return std::make_pair(xmlOf(a) + xmlOf(b) + xmlOf(c),
                                   xmlOf(Skeleton::toWire(Skeleton::toLocal(a))) +
                                       xmlOf(Skeleton::toWire(Skeleton::toLocal(b))) +
                                       xmlOf(Skeleton::toWire(Skeleton::toLocal(c))));
         },
         {"v1", "v2", "v3", f[0], f[1], f[2]}},
        {"ObjectOwner",
         [&] {
             auto w = Skeleton::toWire(DataManagement::ObjectOwner{t3, t1, t2});
             return std::make_pair(xmlOf(w), xmlOf(Skeleton::toWire(Skeleton::toLocal(w))));
         },
         {f[2], f[0], f[1]}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto [first, second] = c.trip();
        EXPECT_EQ(first, second);
        for (const auto& v : c.values) {
            std::string text = v.find('=') == std::string::npos ? "\"" + v + "\"" : v;
            EXPECT_NE(first.find(text), std::string::npos) << v << " in " << first;
        }
    }
}

// ---- revise's handlers, and the operations without

TEST_F(Dm0603SkeletonConversionTest, ReviseAnswersFailuresWithAnExceptionText) {
    const std::string a = "Velmora::Soa::Core::_2006_03::DataManagementIiopSkeleton::revise";
    const std::string b = "Velmora::Soa::Core::_2006_03::DataManagementImpl::revise";
    const std::string reviseRequest = "<ReviseInput><input><key uid=\"" + goodUid + "\"/><value/></input></ReviseInput>";
    struct Case {
        const char* name;
        const char* op;
        std::string request;
        std::function<void()> fail;
        std::function<DataManagement::ReviseResponse()> answer;
        std::string replyHas;
        std::vector<std::string> leftOpen;
        bool handledByOperation;
    } cases[] = {
        {"IFail", "revise", reviseRequest, [] { throw IFail(214104); }, nullptr, "code=\"214104\"", {a, b}, true},
        {"service exception", "revise", reviseRequest,
         [] {
             ERROR_store(3, 214105);
             throw Velmora::Soa::Server::ServiceException();
         },
         nullptr, "code=\"214105\"", {a, b}, true},
        {"unconvertible revision in the reply", "revise", reviseRequest, nullptr,
         [this] {
             DataManagement::ReviseResponse r;
             r.oldItemRevToNewItemRev[good] = bad;
             return r;
         },
         "code=\"" + std::to_string(vl::platform::ERR_INVALID_TAG) + "\"", {a, a + "::localToWire"}, true},
        {"malformed request", "revise", "<ReviseInput><input><key/><key/></input></ReviseInput>", nullptr, nullptr,
         "code=\"" + std::to_string(vl::platform::ERR_BAD_REQUEST) + "\"", {a}, false},
        {"IFail elsewhere", "createFolders", "<CreateFoldersInput/>", [] { throw IFail(214104); }, nullptr,
         "code=\"214104\"", {"Velmora::Soa::Core::_2006_03::DataManagementIiopSkeleton::createFolders",
                             "Velmora::Soa::Core::_2006_03::DataManagementImpl::createFolders"},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_impl.fail = c.fail;
        m_impl.reviseAnswer = c.answer;
        vl::platform::MONITOR_clear();
        std::string reply = call(c.op, c.request);
        EXPECT_NE(reply.find(c.replyHas), std::string::npos) << reply;
        EXPECT_EQ(reply.find("ReviseResponse"), std::string::npos) << reply;
        std::vector<std::string> open;
        for (const auto& e : vl::platform::MONITOR_log())
            if (e.kind == SpanEvent::LeftOpen) open.push_back(e.label);
        std::sort(open.begin(), open.end());
        auto expectedOpen = c.leftOpen;
        std::sort(expectedOpen.begin(), expectedOpen.end());
        EXPECT_EQ(open, expectedOpen);

        // Called straight from the table: handled failures come back as text,
        // the others leave the operation.
        ERROR_store_clear();
        bool left = false;
        try {
            std::string text = registeredSkeleton(kService)->operations().at(c.op)(c.request);
            EXPECT_NE(text.find("Exception"), std::string::npos) << text;
        } catch (...) {
            left = true;
        }
        EXPECT_EQ(left, !c.handledByOperation);
        vl::platform::MONITOR_end_request();
        ERROR_store_clear();
    }
    m_impl.fail = nullptr;
    m_impl.reviseAnswer = nullptr;
}

}  // namespace
