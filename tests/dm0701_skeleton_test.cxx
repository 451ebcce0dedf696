// Data management 2007_01 skeleton: its table, the root and spans of every
// reply, what each request hands the implementation, the conversion rules
// in both directions, and saveAsNewItem's handlers.
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "soa_server/service_manager.hxx"
#include "soa_server/utils.hxx"
#include "soa_services/core/skeletons/core/_2007_01/datamanagement/datamanagement_skeleton.hxx"
#include "support/service_test.hxx"
#include "support/skeleton_test.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using Skeleton = Velmora::Services::Core::_2007_01::DataManagementIiopSkeleton;
using DataManagement = Velmora::Soa::Core::_2007_01::DataManagement;
using Velmora::Soa::Core::_2007_01::DataManagementImpl;
using Velmora::Soa::Internal::Server::Utils;
using Velmora::Soa::Server::ServiceData;
using vl::platform::SpanEvent;
using vl::test::registeredSkeleton;
using vl::test::storedErrorCount;
using vl::test::uidOf;
using vl::test::xmlOf;
namespace Wire = Velmora::Schemas::Core::_2007_01::Datamanagement;

const char* const kService = "Core-2007-01-DataManagement";

std::string list(const std::vector<std::string>& v) {
    std::string s = "[";
    for (const auto& e : v) s += e + ",";
    return s + "]";
}
template <class Ref>
std::string refs(const std::vector<Ref>& v) {
    std::string s = "[";
    for (const auto& r : v) s += uidOf(vl::skeleton::tagOf(r)) + ",";
    return s + "]";
}

// Records what each call received and answers with an empty result, or runs
// `fail` first.
class ObservedImpl : public DataManagementImpl {
public:
    std::string seen;
    std::function<void()> fail;

    GetDatasetCreationRelatedInfoResponse getDatasetCreationRelatedInfo(const std::string& typeName,
                                                                        const Tag& parent) override {
        note("getDatasetCreationRelatedInfo " + typeName + " " + uidOf(parent));
        return {};
    }
    GetItemCreationRelatedInfoResponse getItemCreationRelatedInfo(const std::string& typeName,
                                                                  const Tag& parent) override {
        note("getItemCreationRelatedInfo " + typeName + " " + uidOf(parent));
        return {};
    }
    ServiceData refreshObjects(const std::vector<Tag>& objects) override {
        note("refreshObjects " + refs(objects));
        return {};
    }
    CreateOrUpdateFormsResponse createOrUpdateForms(const std::vector<FormInfo>& infos) override {
        std::string s = "createOrUpdateForms ";
        for (const auto& i : infos) {
            s += "[" + i.clientId + "|" + uidOf(i.formObject) + "|" + uidOf(i.parentObject) + "|" + i.relationName +
                 "|" + (i.saveDB ? "save" : "nosave") + "|" + i.name + "|" + i.description + "|" + i.formType;
            for (const auto& [k, v] : i.attributesMap) s += "|" + k + "=" + list(v);
            s += "]";
        }
        note(s);
        return {};
    }
    WhereReferencedResponse whereReferenced(const std::vector<POMRef<WorkspaceObject>>& objects,
                                            int numLevels) override {
        note("whereReferenced " + refs(objects) + " " + std::to_string(numLevels) +
             (objects.empty() || !objects[0].cached() ? "" : " cached"));
        return {};
    }
    WhereUsedResponse whereUsed(const std::vector<Tag>& objects, int numLevels, bool precise, Tag& rule) override {
        note("whereUsed " + refs(objects) + " " + std::to_string(numLevels) + " " + (precise ? "precise" : "any") +
             " " + uidOf(rule));
        return {};
    }
    ServiceData setProperties(const std::vector<Tag>& objects,
                              const std::map<std::string, VecStruct>& attributes) override {
        std::string s = "setProperties " + refs(objects);
        for (const auto& [k, v] : attributes) s += " " + k + "=" + list(v.stringVecArray);
        note(s);
        return {};
    }
    MoveToNewFolderResponse moveToNewFolder(const std::vector<MoveToNewFolderInfo>& infos) override {
        std::string s = "moveToNewFolder ";
        for (const auto& i : infos)
            s += "[" + uidOf(i.oldFolder.tag()) + "|" + uidOf(i.newFolder.tag()) + "|" + refs(i.objectsToMove) + "]";
        note(s);
        return {};
    }
    GenerateUIDResponse generateUID(int count) override {
        note("generateUID " + std::to_string(count));
        return {};
    }
    GetItemFromIdResponse getItemFromId(const std::vector<GetItemFromIdInfo>& infos, int nRev,
                                        const GetItemFromIdPref& pref) override {
        std::string s = "getItemFromId ";
        for (const auto& i : infos) s += "[" + i.itemId + "|" + list(i.revIds) + "]";
        s += " " + std::to_string(nRev);
        for (const auto& f : pref.prefs) s += " " + f.relationTypeName + "=" + list(f.objectTypeNames);
        note(s);
        return {};
    }
    SaveAsNewItemResponse saveAsNewItem(const std::vector<SaveAsNewItemInfo>& infos) override {
        std::string s = "saveAsNewItem ";
        for (const auto& i : infos)
            s += "[" + i.clientId + "|" + uidOf(i.itemRevision.tag()) + "|" + i.itemId + "|" + i.revId + "|" +
                 i.name + "|" + i.description + "|" + uidOf(i.folder.tag()) + "]";
        note(s);
        return {};
    }

private:
    void note(std::string s) {
        seen = std::move(s);
        if (fail) fail();
    }
};

class Dm0701SkeletonTest : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        m_saved = Skeleton::_service;
        Skeleton::_service = &m_impl;
        for (Tag* t : {&a, &b, &c}) {
            tag_t folder = 0;
            ASSERT_EQ(FL_create("F", "", &folder), 0);
            ASSERT_EQ(AOM_save(folder), 0);
            ASSERT_EQ(AOM_refresh(folder, 0), 0);
            *t = folder;
        }
        bad = Utils::uidToTag("nosuchobject");
        ASSERT_NE(Tag::isValid(bad), 0);
    }
    void TearDown() override {
        Skeleton::_service = m_saved;
        ServiceTest::TearDown();
    }
    std::string call(const std::string& operation, const std::string& xml) { return invoke(kService, operation, xml); }
    std::string ref(const char* element, const Tag& tag) const {
        return std::string("<") + element + " uid=\"" + uidOf(tag) + "\"/>";
    }

    ObservedImpl m_impl;
    Tag a, b, c, bad;

private:
    DataManagementImpl* m_saved = nullptr;
};

// ---- the table

TEST(Dm0701SkeletonTable, ElevenOperationsUnderTheFullName) {
    auto* skeleton = registeredSkeleton(kService);
    ASSERT_NE(skeleton, nullptr) << "not reachable under " << kService;
    EXPECT_EQ(skeleton->serviceName(), "DataManagement");
    std::set<std::string> names;
    std::set<Velmora::Soa::Internal::Server::IiopSkeleton::Operation> distinct;
    for (const auto& [name, op] : skeleton->operations()) {
        names.insert(name);
        distinct.insert(op);
    }
    EXPECT_EQ(names, (std::set<std::string>{"getDatasetCreationRelatedInfo", "setProperties", "moveToNewFolder",
                                            "refreshObjects", "getItemFromId", "getItemCreationRelatedInfo",
                                            "generateUID", "whereUsed", "whereReferenced", "createOrUpdateForms",
                                            "saveAsNewItem"}));
    EXPECT_EQ(distinct.size(), 11u);
    auto& registry = Velmora::Soa::Internal::Server::ServiceManager::instance().getServiceList();
    EXPECT_EQ(std::count(registry.begin(), registry.end(), kService), 1);
}

// ---- roots, spans and what each request hands the implementation

TEST_F(Dm0701SkeletonTest, EachOperationReachesItsImplementationAndAnswersUnderItsRoot) {
    struct Case {
        const char* op;
        std::string request;
        std::string seen;
        const char* root;
    } cases[] = {
        {"getDatasetCreationRelatedInfo",
         "<GetDatasetCreationRelatedInfoInput typeName=\"Text\">" + ref("parentObject", a) +
             "</GetDatasetCreationRelatedInfoInput>",
         "getDatasetCreationRelatedInfo Text " + uidOf(a), "GetDatasetCreationRelatedInfoResponse"},
        {"getItemCreationRelatedInfo", "<GetItemCreationRelatedInfoInput typeName=\"Part\"/>",
         "getItemCreationRelatedInfo Part ", "GetItemCreationRelatedInfoResponse"},
        {"refreshObjects", "<RefreshObjectsInput/>", "refreshObjects []", "ServiceData"},
        {"refreshObjects", "<RefreshObjectsInput>" + ref("object", b) + ref("object", a) + ref("object", b) +
                               "</RefreshObjectsInput>",
         "refreshObjects [" + uidOf(b) + "," + uidOf(a) + "," + uidOf(b) + ",]", "ServiceData"},
        {"createOrUpdateForms",
         "<CreateOrUpdateFormsInput><info saveDB=\"true\" clientId=\"c\" name=\"n\" relationName=\"r\" "
         "formType=\"ItemMaster\" description=\"d\">" +
             ref("formObject", a) + ref("parentObject", b) +
             "<attributesMap key=\"k\"><value value=\"1\"/></attributesMap>"
             "<attributesMap key=\"k\"><value value=\"2\"/><value value=\"3\"/></attributesMap>"
             "</info></CreateOrUpdateFormsInput>",
         "createOrUpdateForms [c|" + uidOf(a) + "|" + uidOf(b) + "|r|save|n|d|ItemMaster|k=[2,3,]]",
         "CreateOrUpdateFormsResponse"},
        {"whereReferenced",
         "<WhereReferencedInput numLevels=\"-1\">" + ref("object", a) + "</WhereReferencedInput>",
         "whereReferenced [" + uidOf(a) + ",] -1", "WhereReferencedResponse"},
        {"whereUsed",
         "<WhereUsedInput numLevels=\"-2\" whereUsedPrecise=\"true\">" + ref("object", a) + ref("rule", c) +
             "</WhereUsedInput>",
         "whereUsed [" + uidOf(a) + ",] -2 precise " + uidOf(c), "WhereUsedResponse"},
        {"setProperties",
         "<SetPropertiesInput>" + ref("object", a) +
             "<attribute key=\"q\"><value><stringVec value=\"1\"/></value></attribute>"
             "<attribute key=\"p\"><value/></attribute>"
             "<attribute key=\"q\"><value><stringVec value=\"2\"/></value></attribute></SetPropertiesInput>",
         "setProperties [" + uidOf(a) + ",] p=[] q=[2,]", "ServiceData"},
        {"moveToNewFolder",
         "<MoveToNewFolderInput><moveToNewFolderInfo>" + ref("oldFolder", a) + ref("newFolder", b) +
             ref("objectsToMove", c) + ref("objectsToMove", c) + "</moveToNewFolderInfo></MoveToNewFolderInput>",
         "moveToNewFolder [" + uidOf(a) + "|" + uidOf(b) + "|[" + uidOf(c) + "," + uidOf(c) + ",]]",
         "MoveToNewFolderResponse"},
        {"generateUID", "<GenerateUIDInput nUID=\"-4\"/>", "generateUID -4", "GenerateUIDResponse"},
        {"getItemFromId",
         "<GetItemFromIdInput nRev=\"2\"><info itemId=\"i\"><revId value=\"A\"/></info>"
         "<pref><pref relationTypeName=\"Reference\"><objectTypeName value=\"PDF\"/></pref></pref>"
         "</GetItemFromIdInput>",
         "getItemFromId [i|[A,]] 2 Reference=[PDF,]", "GetItemFromIdResponse"},
        {"saveAsNewItem",
         "<SaveAsNewItemInput><info clientId=\"c\" name=\"n\" description=\"d\" revId=\"B\" itemId=\"I\">" +
             ref("itemRevision", a) + ref("folder", b) + "</info></SaveAsNewItemInput>",
         "saveAsNewItem [c|" + uidOf(a) + "|I|B|n|d|" + uidOf(b) + "]", "SaveAsNewItemResponse"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.op);
        vl::platform::MONITOR_clear();
        m_impl.seen.clear();
        std::string reply = call(cs.op, cs.request);
        EXPECT_EQ(m_impl.seen, cs.seen);
        vl::test::Reply parsed(reply);
        EXPECT_EQ(parsed.root->name(), cs.root) << reply;
        EXPECT_EQ(reply.find("partialError"), std::string::npos) << reply;

        const std::string s = std::string("Velmora::Soa::Core::_2007_01::DataManagementIiopSkeleton::") + cs.op;
        const std::string i = std::string("Velmora::Soa::Core::_2007_01::DataManagementImpl::") + cs.op;
        EXPECT_EQ(vl::test::spanLog(), vl::test::completedSpans(s, i));
    }
}

// ---- saveAsNewItem's handlers, and the operations without

TEST_F(Dm0701SkeletonTest, SaveAsNewItemAnswersFailuresWithAnExceptionText) {
    const std::string s = "Velmora::Soa::Core::_2007_01::DataManagementIiopSkeleton::";
    const std::string i = "Velmora::Soa::Core::_2007_01::DataManagementImpl::";
    struct Case {
        const char* name;
        const char* op;
        std::string request;
        std::function<void()> fail;
        std::vector<int> codes;  // of the exception document
        std::vector<std::string> leftOpen;
        bool handled;
    } cases[] = {
        {"IFail with nothing stored", "saveAsNewItem", "<SaveAsNewItemInput/>", [] { throw IFail(); }, {},
         {s + "saveAsNewItem", i + "saveAsNewItem"}, true},
        {"IFail of a platform call", "saveAsNewItem", "<SaveAsNewItemInput/>",
         [] { ResultStatus status = ERROR_store(3, 7007); }, {7007},
         {s + "saveAsNewItem", i + "saveAsNewItem"}, true},
        {"service exception", "saveAsNewItem", "<SaveAsNewItemInput/>",
         [] {
             ERROR_store(3, 214105);
             throw Velmora::Soa::Server::ServiceException();
         },
         {214105}, {s + "saveAsNewItem", i + "saveAsNewItem"}, true},
        {"unreadable request", "saveAsNewItem", "<SaveAsNewItemInput><info/><x/></SaveAsNewItemInput>", nullptr,
         {vl::platform::ERR_BAD_REQUEST}, {s + "saveAsNewItem"}, false},
        {"IFail in another operation", "moveToNewFolder", "<MoveToNewFolderInput/>", [] { throw IFail(214104); },
         {214104}, {s + "moveToNewFolder", i + "moveToNewFolder"}, false},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.name);
        m_impl.fail = cs.fail;
        vl::platform::MONITOR_clear();
        ERROR_store_clear();
        vl::test::Reply reply(call(cs.op, cs.request));
        EXPECT_EQ(reply.root->name(), "ServiceException");
        std::vector<int> codes;
        for (const auto* e : reply.root->children()) codes.push_back(std::stoi(*e->attr("code")));
        EXPECT_EQ(codes, cs.codes);
        std::vector<std::string> open;
        for (const auto& e : vl::platform::MONITOR_log())
            if (e.kind == SpanEvent::LeftOpen) open.push_back(e.label);
        std::sort(open.begin(), open.end());
        auto expectedOpen = cs.leftOpen;
        std::sort(expectedOpen.begin(), expectedOpen.end());
        EXPECT_EQ(open, expectedOpen);

        // Called straight from the table: handled failures come back as
        // text, the others leave the operation.
        ERROR_store_clear();
        bool left = false;
        try {
            registeredSkeleton(kService)->operations().at(cs.op)(cs.request);
        } catch (...) {
            left = true;
        }
        EXPECT_EQ(left, !cs.handled);
        vl::platform::MONITOR_end_request();
        ERROR_store_clear();
    }
    m_impl.fail = nullptr;
}

// ---- conversions

// A reference that cannot be made into a wire object becomes the null
// reference in a single field and is left out of a list; either way the
// error it stored is gone and the other fields convert as usual.
TEST_F(Dm0701SkeletonTest, UnconvertibleReferencesLeaveNoTrace) {
    ERROR_store_clear();
    DataManagement::MoveToNewFolderInfo move;
    move.oldFolder = bad;
    move.newFolder = b;
    move.objectsToMove = {a, bad, c};
    auto wire = Skeleton::toWire(move);
    EXPECT_EQ(wire.getOldFolder().getUid(), "");
    EXPECT_EQ(wire.getNewFolder().getUid(), uidOf(b));
    std::vector<std::string> moved;
    for (const auto& o : wire.getObjectsToMoveArray()) moved.push_back(o.getUid());
    EXPECT_EQ(moved, (std::vector<std::string>{uidOf(a), uidOf(c)}));

    DataManagement::GetItemFromIdItemRevOutput rev;
    rev.itemRevision = bad;
    rev.datasets = {bad, a, bad};
    auto wireRev = Skeleton::toWire(rev);
    EXPECT_EQ(wireRev.getItemRevision().getUid(), "");
    ASSERT_EQ(wireRev.getDatasetArray().size(), 1u);
    EXPECT_EQ(wireRev.getDatasetArray()[0].getUid(), uidOf(a));

    DataManagement::WhereReferencedInfo info;
    info.referencer = bad;
    info.relation = "r";
    info.level = -3;
    auto wireInfo = Skeleton::toWire(info);
    EXPECT_EQ(wireInfo.getReferencer().getUid(), "");
    EXPECT_EQ(wireInfo.getRelation(), "r");
    EXPECT_EQ(wireInfo.getLevel(), -3);
    EXPECT_EQ(storedErrorCount(), 0);

    // Towards the local side nothing is tested: every reference stays.
    auto local = Skeleton::toLocal(wire);
    EXPECT_EQ(local.objectsToMove.size(), 2u);
    EXPECT_EQ(local.oldFolder.tag(), Tag(0));
}

TEST_F(Dm0701SkeletonTest, MapsGoOutInKeyOrderAndTheLastOfEqualKeysWins) {
    Skeleton::StringArrayMap patterns;
    patterns["b"] = {"2"};
    patterns["a"] = {"1", "1"};
    patterns[""] = {};
    auto wire = Skeleton::toWireStringArrayMap(patterns);
    ASSERT_EQ(wire.size(), 3u);
    EXPECT_EQ(wire[0].getKey(), "");
    EXPECT_EQ(wire[1].getKey(), "a");
    EXPECT_EQ(wire[2].getKey(), "b");
    EXPECT_EQ(wire[1].getValueArray(), (std::vector<std::string>{"1", "1"}));

    auto entry = [](const std::string& key, const std::string& value) {
        Wire::NameValueMap e;
        e.setKey(key);
        Wire::VecStruct v;
        v.setStringVecArray({value});
        e.setValue(v);
        return e;
    };
    auto local = Skeleton::toLocalNameValueMap({entry("k", "first"), entry("j", "other"), entry("k", "third")});
    ASSERT_EQ(local.size(), 2u);
    EXPECT_EQ(local["k"].stringVecArray, std::vector<std::string>{"third"});
    EXPECT_EQ(local["j"].stringVecArray, std::vector<std::string>{"other"});
    EXPECT_TRUE(Skeleton::toLocalNameValueMap({}).empty());
    EXPECT_TRUE(Skeleton::toWireNameValueMap({}).empty());

    Skeleton::InputToNewItemMap outputs;
    outputs["z"].item = a;
    outputs["y"].itemRev = b;
    auto wireOutputs = Skeleton::toWireInputToNewItemMap(outputs);
    ASSERT_EQ(wireOutputs.size(), 2u);
    EXPECT_EQ(wireOutputs[0].getKey(), "y");
    EXPECT_EQ(wireOutputs[0].getValue().getItemRev().getUid(), uidOf(b));
    auto back = Skeleton::toLocalInputToNewItemMap(wireOutputs);
    EXPECT_EQ(back["z"].item.tag(), a);
}

// Every two-way struct survives the wire and back; a cached object is lost
// on the way, plain values cross unchanged.
TEST_F(Dm0701SkeletonTest, StructsSurviveTheWireAndBack) {
    DataManagement::FormPropDescriptor pd;
    pd.propName = "p";
    pd.displayName = "P";
    pd.propValueType = 8;
    pd.propType = -2;
    pd.isArray = true;
    pd.lov = a;
    pd.isEnabled = true;
    pd.attachedSpecifier = 3;
    pd.maxLength = 240;
    pd.interdependentProps = {"x", "y"};
    DataManagement::FormAttributesInfo attrs{"ItemMaster", {pd, pd}};
    DataManagement::FormInfo form{"c", a, b, "r", true, "n", "d", "ItemMaster", {{"k", {"1", "2"}}}};
    DataManagement::CreateFormsOutput created{"c", c};
    DataManagement::WhereReferencedOutput referenced{a, {{b, "contents", 1}, {c, "ref", -1}}};
    DataManagement::WhereUsedOutput used{a, {{b, 2}, {c, -2}}};
    DataManagement::MoveToNewFolderInfo move{a, b, {c, a}};
    DataManagement::GetItemFromIdInfo find{"000100", {"A", "B"}};
    DataManagement::GetItemFromIdPref pref{{{"Reference", {"PDF"}}, {"", {}}}};
    DataManagement::GetItemFromIdItemOutput item{a, {{b, {c, c}}}};
    DataManagement::SaveAsNewItemInfo saveAs{"c", a, "I", "B", "n", "d", b};
    DataManagement::SaveAsNewItemOutput saved{a, b};
    DataManagement::VecStruct values{{"1", "", "3"}};

    struct Case {
        const char* name;
        std::function<std::string()> wire, back;
    } cases[] = {
#define DM0701_TRIP(X, value)                                                                   \
    {#X, [&] { return xmlOf(Skeleton::toWire(value)); },                                        \
     [&] { return xmlOf(Skeleton::toWire(Skeleton::toLocal(Skeleton::toWire(value)))); }},
        DM0701_TRIP(FormPropDescriptor, pd) DM0701_TRIP(FormAttributesInfo, attrs) DM0701_TRIP(FormInfo, form)
        DM0701_TRIP(CreateFormsOutput, created) DM0701_TRIP(WhereReferencedOutput, referenced)
        DM0701_TRIP(WhereUsedOutput, used) DM0701_TRIP(MoveToNewFolderInfo, move)
        DM0701_TRIP(GetItemFromIdInfo, find) DM0701_TRIP(GetItemFromIdPref, pref)
        DM0701_TRIP(GetItemFromIdItemOutput, item) DM0701_TRIP(SaveAsNewItemInfo, saveAs)
        DM0701_TRIP(SaveAsNewItemOutput, saved) DM0701_TRIP(VecStruct, values)
#undef DM0701_TRIP
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.name);
        EXPECT_EQ(cs.back(), cs.wire());
    }
    // Each local field lands in its own wire field.
    EXPECT_EQ(xmlOf(Skeleton::toWire(pd)),
              "<x propType=\"-2\" maxLength=\"240\" isDisplayable=\"false\" isRequired=\"false\" propName=\"p\" "
              "isArray=\"true\" attachedSpecifier=\"3\" isModifiable=\"false\" displayName=\"P\" isEnabled=\"true\" "
              "propValueType=\"8\"><lov uid=\"" + uidOf(a) + "\" className=\"Folder\" type=\"Folder\"/>"
              "<interdependentProp value=\"x\"/><interdependentProp value=\"y\"/></x>");
    EXPECT_EQ(xmlOf(Skeleton::toWire(saveAs)),
              "<x clientId=\"c\" name=\"n\" description=\"d\" revId=\"B\" itemId=\"I\"><itemRevision uid=\"" +
                  uidOf(a) + "\" className=\"Folder\" type=\"Folder\"/><folder uid=\"" + uidOf(b) +
                  "\" className=\"Folder\" type=\"Folder\"/></x>");
    // A default struct answers 0 and false for what nothing set.
    EXPECT_NE(xmlOf(Skeleton::toWire(DataManagement::FormPropDescriptor{})).find("propType=\"0\" maxLength=\"0\" "
                                                                                 "isDisplayable=\"false\""),
              std::string::npos);

    // A cached object does not survive the round trip.
    POMRef<WorkspaceObject> cached(a);
    ASSERT_NE(cached.operator->(), nullptr);
    DataManagement::WhereUsedOutput withCache{cached, {}};
    EXPECT_EQ(Skeleton::toLocal(Skeleton::toWire(withCache)).inputObject.cached(), nullptr);
}

// Responses carry their fields and their prepared service data.
TEST_F(Dm0701SkeletonTest, ResponsesCarryTheirServiceDataLast) {
    DataManagement::GenerateUIDResponse uids;
    uids.uids = {"u1", "u2"};
    uids.serviceData.addPlainObject(a);
    EXPECT_EQ(xmlOf(Skeleton::toWire(uids)),
              "<x><uid value=\"u1\"/><uid value=\"u2\"/><serviceData><plainObj uid=\"" + uidOf(a) +
                  "\"/></serviceData></x>");
    DataManagement::GetItemCreationRelatedInfoResponse info;
    info.patternMap["object_name"] = {"nn"};
    info.patternMap["item_id"] = {};
    info.revTypeName = "PartRevision";
    const std::string xml = xmlOf(Skeleton::toWire(info));
    EXPECT_NE(xml.find("<x revTypeName=\"PartRevision\"><patternMap key=\"item_id\"/><patternMap key=\"object_name\">"
                       "<value value=\"nn\"/></patternMap><serviceData/></x>"),
              std::string::npos)
        << xml;
}

}  // namespace
