// Data management 2007_06 skeleton: its table, the root and spans of each
// reply, the status texts, the reference rules of the converters, and an
// exception that leaves an operation.
#include "dm0706_support.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "soa_common/monitor.hxx"
#include "soa_server/service_manager.hxx"
#include "soa_server/utils.hxx"
#include "soa_services/core/skeletons/core/_2007_06/datamanagement/datamanagement_skeleton.hxx"
#include "support/skeleton_test.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace dm0706 {
namespace {

using Skeleton = Velmora::Services::Core::_2007_06::DataManagementIiopSkeleton;
using DataManagement = Velmora::Soa::Core::_2007_06::DataManagement;
using Velmora::Soa::Common::Exceptions::DomException;
using Velmora::Soa::Internal::Server::Utils;
using vl::platform::SpanEvent;
using vl::test::registeredSkeleton;
using vl::test::storedErrorCount;
using vl::test::xmlOf;

TEST(Dm0706SkeletonTable, FiveOperationsUnderTheFullName) {
    auto* skeleton = registeredSkeleton(kService);
    ASSERT_NE(skeleton, nullptr);
    EXPECT_EQ(skeleton->serviceName(), "DataManagement");
    std::set<std::string> names;
    std::set<Velmora::Soa::Internal::Server::IiopSkeleton::Operation> distinct;
    for (const auto& [name, op] : skeleton->operations()) {
        names.insert(name);
        distinct.insert(op);
    }
    EXPECT_EQ(names, (std::set<std::string>{"validateItemIdsAndRevIds", "whereReferencedByRelationName",
                                            "expandGRMRelationsForPrimary", "getDatasetTypeInfo",
                                            "expandGRMRelationsForSecondary"}));
    EXPECT_EQ(distinct.size(), 5u);
    auto& registry = Velmora::Soa::Internal::Server::ServiceManager::instance().getServiceList();
    EXPECT_EQ(std::count(registry.begin(), registry.end(), kService), 1);
}

TEST_F(Dm0706Test, EachOperationAnswersUnderItsRootWithItsFourSpans) {
    struct Case {
        const char* op;
        const char* request;
        const char* root;
    } cases[] = {
        {"validateItemIdsAndRevIds", "<ValidateItemIdsAndRevIdsInput/>", "ValidateItemIdsAndRevIdsResponse"},
        {"whereReferencedByRelationName", "<WhereReferencedByRelationNameInput numLevels=\"1\"/>",
         "WhereReferencedByRelationNameResponse"},
        {"expandGRMRelationsForPrimary", "<ExpandGRMRelationsForPrimaryInput><pref expItemRev=\"false\"/>"
                                         "</ExpandGRMRelationsForPrimaryInput>",
         "ExpandGRMRelationsResponse"},
        {"getDatasetTypeInfo", "<GetDatasetTypeInfoInput><datasetTypeName value=\"Text\"/></GetDatasetTypeInfoInput>",
         "DatasetTypeInfoResponse"},
        {"expandGRMRelationsForSecondary", "<ExpandGRMRelationsForSecondaryInput><pref expItemRev=\"true\"/>"
                                           "</ExpandGRMRelationsForSecondaryInput>",
         "ExpandGRMRelationsResponse"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        vl::platform::MONITOR_clear();
        Parsed reply = call(c.op, c.request);
        EXPECT_EQ(reply.root->name(), c.root) << reply.text;
        EXPECT_NE(reply.sd, nullptr) << reply.text;
        EXPECT_TRUE(reply.errors().empty()) << reply.text;
        const std::string a = std::string("Velmora::Soa::Core::_2007_06::DataManagementIiopSkeleton::") + c.op;
        const std::string b = std::string("Velmora::Soa::Core::_2007_06::DataManagementImpl::") + c.op;
        EXPECT_EQ(vl::test::spanLog(), vl::test::completedSpans(a, b));
    }
}

// An implementation whose operations throw what they are told to.
class ThrowingImpl : public Velmora::Soa::Core::_2007_06::DataManagementImpl {
public:
    ValidateItemIdsAndRevIdsResponse validateItemIdsAndRevIds(const std::vector<ValidateIdsInfo>&) override {
        throw IFail(vl::platform::ERR_INJECTED);
    }
};

TEST_F(Dm0706Test, AnIFailLeavingTheImplementationGivesNoResponseDocument) {
    ThrowingImpl impl;
    struct Swap {
        explicit Swap(ThrowingImpl* impl) : saved(Skeleton::_service) { Skeleton::_service = impl; }
        ~Swap() { Skeleton::_service = saved; }
        Velmora::Soa::Core::_2007_06::DataManagementImpl* saved;
    } swap(&impl);
    vl::platform::MONITOR_clear();
    auto op = registeredSkeleton(kService)->operations().at("validateItemIdsAndRevIds");
    bool left = false;
    try {
        op("<ValidateItemIdsAndRevIdsInput/>");
    } catch (const IFail& e) {
        left = e.ifail() == vl::platform::ERR_INJECTED;
    }
    EXPECT_TRUE(left);
    std::vector<std::string> open;
    for (const auto& e : vl::platform::MONITOR_open_spans()) open.push_back(e);
    std::sort(open.begin(), open.end());
    EXPECT_EQ(open, (std::vector<std::string>{
                        "Velmora::Soa::Core::_2007_06::DataManagementIiopSkeleton::validateItemIdsAndRevIds",
                        "Velmora::Soa::Core::_2007_06::DataManagementImpl::validateItemIdsAndRevIds"}));
    vl::platform::MONITOR_end_request();
    ERROR_store_clear();
    // Through the gateway it is an exception document, not a response.
    Parsed reply = call("validateItemIdsAndRevIds", "<ValidateItemIdsAndRevIdsInput/>");
    EXPECT_TRUE(reply.isException()) << reply.text;
    EXPECT_EQ(reply.text.find("ValidateItemIdsAndRevIdsResponse"), std::string::npos) << reply.text;
}

// ---- status texts

TEST(Dm0706Status, FiveValuesHaveOneExactTextEach) {
    const std::pair<DataManagement::ValidateIdsStatus, const char*> table[] = {
        {DataManagement::Valid, "Valid"},       {DataManagement::Invalid, "Invalid"},
        {DataManagement::Modified, "Modified"}, {DataManagement::Override, "Override"},
        {DataManagement::Duplicate, "Duplicate"},
    };
    for (const auto& [value, text] : table) {
        EXPECT_EQ(Skeleton::toWire(value), text);
        EXPECT_EQ(Skeleton::toLocalValidateIdsStatus(text), value);
    }
    for (int outside : {5, -1}) {
        try {
            Skeleton::toWire(static_cast<DataManagement::ValidateIdsStatus>(outside));
            ADD_FAILURE() << outside << " accepted";
        } catch (const DomException& e) {
            EXPECT_EQ(e.getMessage(), "Invalid Enum value");
        }
    }
    for (const char* text : {"valid", " Valid", "Valid ", "DUPLICATE", ""}) {
        try {
            Skeleton::toLocalValidateIdsStatus(text);
            ADD_FAILURE() << "'" << text << "' accepted";
        } catch (const DomException& e) {
            EXPECT_EQ(e.getMessage(), std::string("Invalid Enum value: ") + text);
        }
    }
}

TEST(Dm0706Status, AnUnknownTextInAnOutputIsRefused) {
    Velmora::Schemas::Core::_2007_06::Datamanagement::ValidateIdsOutput wire;
    wire.setItemIdStatus("Valid");
    wire.setRevIdStatus("valid");
    EXPECT_THROW(Skeleton::toLocal(wire), DomException);
}

// ---- references towards the wire

class Dm0706ConvertTest : public Dm0706Test {
protected:
    // A tag that names no object: it cannot become a wire reference.
    static Tag gone() { return Utils::uidToTag("nosuchuid"); }
    static Tag folder(const char* name) { return dm0603::newFolder(name); }
};

TEST_F(Dm0706ConvertTest, AnUnconvertibleMiddleTagIsLeftOutOfTheList) {
    const Tag a = folder("a"), c = folder("c");
    DataManagement::ExpandGRMRelationsData local{{a, gone(), c}, "Reference"};
    auto wire = Skeleton::toWire(local);
    std::vector<std::string> got;
    for (const auto& o : wire.getOtherSideObjectArray()) got.push_back(o.getUid());
    EXPECT_EQ(got, (std::vector<std::string>{uidOf(a), uidOf(c)}));
    EXPECT_EQ(wire.getRelationName(), "Reference");
    EXPECT_EQ(storedErrorCount(), 0);
}

TEST_F(Dm0706ConvertTest, AnUnconvertibleSingleReferenceIsTheNullReference) {
    DataManagement::WhereReferencedByRelationNameOutputInfo local{gone(), "contents", -3};
    auto wire = Skeleton::toWire(local);
    EXPECT_EQ(wire.getReferencer().getUid(), "");
    EXPECT_EQ(wire.getRelationTypeName(), "contents");
    EXPECT_EQ(wire.getLevel(), -3);
    EXPECT_EQ(storedErrorCount(), 0);
    // Back again, the level unchanged and the reference a plain tag.
    auto back = Skeleton::toLocal(wire);
    EXPECT_EQ(back.level, -3);
    EXPECT_EQ(back.referencer, Tag(0));
}

TEST_F(Dm0706ConvertTest, RecordsSurviveTheWayThereAndBack) {
    const Tag a = folder("a");
    DataManagement::ExpandGRMRelationsPref pref{true, {{"Reference", {"Item", "Part"}}, {"", {}}}};
    auto prefBack = Skeleton::toLocal(Skeleton::toWire(pref));
    EXPECT_TRUE(prefBack.expItemRev);
    ASSERT_EQ(prefBack.infos.size(), 2u);
    EXPECT_EQ(prefBack.infos[0].relationName, "Reference");
    EXPECT_EQ(prefBack.infos[0].objectTypeNames, (std::vector<std::string>{"Item", "Part"}));
    EXPECT_TRUE(prefBack.infos[1].objectTypeNames.empty());

    DataManagement::WhereReferencedByRelationNameInfo info{a, {{"contents", {"Folder"}}}};
    auto infoBack = Skeleton::toLocal(Skeleton::toWire(info));
    EXPECT_EQ(infoBack.object, a);
    ASSERT_EQ(infoBack.filters.size(), 1u);
    EXPECT_EQ(infoBack.filters[0].otherSideObjectTypes, std::vector<std::string>{"Folder"});

    DataManagement::ValidateIdsOutput output{"I", DataManagement::Override, "R", DataManagement::Duplicate};
    auto outputBack = Skeleton::toLocal(Skeleton::toWire(output));
    EXPECT_EQ(outputBack.modItemId, "I");
    EXPECT_EQ(outputBack.itemIdStatus, DataManagement::Override);
    EXPECT_EQ(outputBack.modRevId, "R");
    EXPECT_EQ(outputBack.revIdStatus, DataManagement::Duplicate);

    DataManagement::DatasetTypeInfo type{POMRef<DatasetType>(a), {{"Ref", true, "OBJECT", "*"}}};
    auto typeBack = Skeleton::toLocal(Skeleton::toWire(type));
    EXPECT_EQ(typeBack.tag.tag(), a);
    EXPECT_EQ(typeBack.tag.cached(), nullptr);
    ASSERT_EQ(typeBack.refInfos.size(), 1u);
    EXPECT_TRUE(typeBack.refInfos[0].isObject);
}

TEST_F(Dm0706ConvertTest, EmptyResponsesStillCarryTheirServiceData) {
    DataManagement::ExpandGRMRelationsResponse expand;
    DataManagement::DatasetTypeInfoResponse types;
    types.infos.push_back({});  // an info with no references
    EXPECT_NE(xmlOf(Skeleton::toWire(expand)).find("<serviceData"), std::string::npos);
    const std::string typesXml = xmlOf(Skeleton::toWire(types));
    EXPECT_NE(typesXml.find("<serviceData"), std::string::npos) << typesXml;
    EXPECT_EQ(typesXml.find("refInfo"), std::string::npos) << typesXml;
}

}  // namespace
}  // namespace dm0706
