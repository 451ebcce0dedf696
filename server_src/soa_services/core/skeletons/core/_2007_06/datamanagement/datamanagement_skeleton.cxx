#include "soa_services/core/skeletons/core/_2007_06/datamanagement/datamanagement_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2007_06 {

namespace {

namespace Wire = DataManagementWire;
namespace BaseWire = ::Velmora::Schemas::Soa::_2006_03::Base;
using Skeleton = DataManagementIiopSkeleton;
using DataManagement = Skeleton::DataManagement;
using vl::skeleton::Handlers;
using vl::skeleton::tagOf;
using vl::skeleton::toLocalRef;
using vl::skeleton::toWireRef;
using vl::skeleton::toWireRefs;

// The service-data step of a reply, on the converter's own copy.
BaseWire::ServiceData prepared(Velmora::Soa::Server::ServiceData& data) {
    data.getNotifications();
    data.inflateProperties();
    return data.getWireData();
}

template <class WireElement>
auto toLocalArray(const std::vector<WireElement>& wire) {
    std::vector<decltype(Skeleton::toLocal(std::declval<WireElement>()))> local;
    local.reserve(wire.size());
    for (const auto& element : wire) local.push_back(Skeleton::toLocal(element));
    return local;
}

// The array is the converter's own copy: its elements are moved on.
template <class Local>
auto toWireArray(std::vector<Local>& local) {
    std::vector<decltype(Skeleton::toWire(std::declval<Local>()))> wire;
    wire.reserve(local.size());
    for (auto& element : local) wire.push_back(Skeleton::toWire(std::move(element)));
    return wire;
}

std::vector<Tag> toLocalTags(const std::vector<BaseWire::ModelObject>& objects) {
    std::vector<Tag> tags;
    tags.reserve(objects.size());
    for (const auto& object : objects) tags.push_back(toLocalRef(object));
    return tags;
}

}  // namespace

// ---- the correspondence of each struct with its wire type, in the local
// order. Kinds: V a scalar, S a string array, N an array of structs, R one
// reference (null when it cannot be converted), L a reference list (what
// cannot be converted left out), E a status as text, D the service data
// (responses only, last).

#define VL_DM0706_LOCAL_RelationAndTypesFilter(X) X(V, relationTypeName, RelationTypeName) X(S, otherSideObjectTypes, OtherSideObjectType)
#define VL_DM0706_LOCAL_WhereReferencedByRelationNameInfo(X) X(R, object, Object) X(N, filters, Filter)
#define VL_DM0706_LOCAL_WhereReferencedByRelationNameOutputInfo(X) \
    X(R, referencer, Referencer) X(V, relationTypeName, RelationTypeName) X(V, level, Level)
#define VL_DM0706_LOCAL_WhereReferencedByRelationNameOutput(X) X(R, inputObject, InputObject) X(N, infos, Info)
#define VL_DM0706_LOCAL_WhereReferencedByRelationNameResponse(X) X(N, output, Output) X(D, serviceData, ServiceData)
#define VL_DM0706_LOCAL_ValidateIdsInfo(X) X(V, itemId, ItemId) X(V, revId, RevId) X(V, itemType, ItemType)
#define VL_DM0706_LOCAL_ValidateIdsOutput(X) \
    X(V, modItemId, ModItemId) X(E, itemIdStatus, ItemIdStatus) X(V, modRevId, ModRevId) X(E, revIdStatus, RevIdStatus)
#define VL_DM0706_LOCAL_ValidateItemIdsAndRevIdsResponse(X) X(N, output, Output) X(D, serviceData, ServiceData)
#define VL_DM0706_LOCAL_ReferenceInfo(X) \
    X(V, referenceName, ReferenceName) X(V, isObject, IsObject) X(V, fileFormat, FileFormat) X(V, fileExtension, FileExtension)
#define VL_DM0706_LOCAL_DatasetTypeInfo(X) X(R, tag, Tag) X(N, refInfos, RefInfo)
#define VL_DM0706_LOCAL_DatasetTypeInfoResponse(X) X(N, infos, Info) X(D, serviceData, ServiceData)
#define VL_DM0706_LOCAL_RelationAndTypesFilter2(X) X(V, relationName, RelationName) X(S, objectTypeNames, ObjectTypeName)
#define VL_DM0706_LOCAL_ExpandGRMRelationsPref(X) X(V, expItemRev, ExpItemRev) X(N, infos, Info)
#define VL_DM0706_LOCAL_ExpandGRMRelationsData(X) X(L, otherSideObjects, OtherSideObject) X(V, relationName, RelationName)
#define VL_DM0706_LOCAL_ExpandGRMRelationsOutput(X) X(R, inputObject, InputObject) X(N, otherSideObjData, OtherSideObjData)
#define VL_DM0706_LOCAL_ExpandGRMRelationsResponse(X) X(N, output, Output) X(D, serviceData, ServiceData)

#define VL_DM0706_TO_WIRE_V(l, W) wire.set##W(local.l);
#define VL_DM0706_TO_WIRE_S(l, W) wire.set##W##Array(local.l);
#define VL_DM0706_TO_WIRE_N(l, W) wire.set##W##Array(toWireArray(local.l));
#define VL_DM0706_TO_WIRE_R(l, W) wire.set##W(toWireRef(tagOf(local.l)));
#define VL_DM0706_TO_WIRE_L(l, W) wire.set##W##Array(toWireRefs(local.l));
#define VL_DM0706_TO_WIRE_E(l, W) wire.set##W(toWire(local.l));
#define VL_DM0706_TO_WIRE_D(l, W) wire.set##W(prepared(local.l));
#define VL_DM0706_TO_WIRE(kind, l, W) VL_DM0706_TO_WIRE_##kind(l, W)

#define VL_DM0706_TO_LOCAL_V(l, W) local.l = wire.get##W();
#define VL_DM0706_TO_LOCAL_S(l, W) local.l = wire.get##W##Array();
#define VL_DM0706_TO_LOCAL_N(l, W) local.l = toLocalArray(wire.get##W##Array());
#define VL_DM0706_TO_LOCAL_R(l, W) local.l = toLocalRef(wire.get##W());
#define VL_DM0706_TO_LOCAL_L(l, W) local.l = toLocalTags(wire.get##W##Array());
#define VL_DM0706_TO_LOCAL_E(l, W) local.l = toLocalValidateIdsStatus(wire.get##W());
#define VL_DM0706_TO_LOCAL(kind, l, W) VL_DM0706_TO_LOCAL_##kind(l, W)

#define VL_DM0706_DEFINE_TO_WIRE(S)                            \
    Wire::S Skeleton::toWire(DataManagement::S local) {        \
        Wire::S wire;                                          \
        VL_DM0706_LOCAL_##S(VL_DM0706_TO_WIRE) return wire;    \
    }
#define VL_DM0706_DEFINE_TO_LOCAL(S)                           \
    DataManagement::S Skeleton::toLocal(Wire::S wire) {        \
        DataManagement::S local;                               \
        VL_DM0706_LOCAL_##S(VL_DM0706_TO_LOCAL) return local;  \
    }

VL_DM0706_RECORDS(VL_DM0706_DEFINE_TO_WIRE)
VL_DM0706_RECORDS(VL_DM0706_DEFINE_TO_LOCAL)
VL_DM0706_RESPONSES(VL_DM0706_DEFINE_TO_WIRE)

// ---- identifier statuses

namespace {

const char* const kStatusTexts[] = {"Valid", "Invalid", "Modified", "Override", "Duplicate"};
constexpr int kStatusCount = sizeof kStatusTexts / sizeof kStatusTexts[0];

}  // namespace

std::string Skeleton::toWire(DataManagement::ValidateIdsStatus status) {
    const int value = static_cast<int>(status);
    if (value < 0 || value >= kStatusCount)
        throw Velmora::Soa::Common::Exceptions::DomException("Invalid Enum value");
    return kStatusTexts[value];
}

DataManagement::ValidateIdsStatus Skeleton::toLocalValidateIdsStatus(std::string text) {
    for (int value = 0; value < kStatusCount; ++value)
        if (text == kStatusTexts[value]) return static_cast<DataManagement::ValidateIdsStatus>(value);
    throw Velmora::Soa::Common::Exceptions::DomException("Invalid Enum value: " + text);
}

// ---- operations

DataManagementIiopSkeleton::DataManagementIiopSkeleton() : ServiceSkeleton("DataManagement") {
    bind("validateItemIdsAndRevIds", &validateItemIdsAndRevIds);
    bind("whereReferencedByRelationName", &whereReferencedByRelationName);
    bind("expandGRMRelationsForPrimary", &expandGRMRelationsForPrimary);
    bind("getDatasetTypeInfo", &getDatasetTypeInfo);
    bind("expandGRMRelationsForSecondary", &expandGRMRelationsForSecondary);
}

namespace {

// The result goes by value to its converter: the one copy is the
// converter's parameter.
template <class Local>
auto responseToWire(Local&& local) {
    return Skeleton::toWire(std::move(local));
}

vl::skeleton::Spans spansOf(const char* operation) {
    return vl::skeleton::Spans("Core", "_2007_06", "DataManagement", operation);
}

// The object array first, then the preference.
template <class Input>
auto expandArguments(const std::vector<BaseWire::ModelObject>& objects, const Input& in) {
    std::vector<Tag> tags = toLocalTags(objects);
    DataManagement::ExpandGRMRelationsPref pref = Skeleton::toLocal(in.getPref());
    return std::make_pair(std::move(tags), std::move(pref));
}

}  // namespace

std::string Skeleton::validateItemIdsAndRevIds(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("validateItemIdsAndRevIds");
    return vl::skeleton::run<Handlers::None, Wire::ValidateItemIdsAndRevIdsInput>(
        spans, "ValidateItemIdsAndRevIdsResponse", requestXml,
        [](const Wire::ValidateItemIdsAndRevIdsInput& in) { return toLocalArray(in.getInfoArray()); },
        [](const auto& infos) { return _service->validateItemIdsAndRevIds(infos); },
        &responseToWire<DataManagement::ValidateItemIdsAndRevIdsResponse>);
}

std::string Skeleton::whereReferencedByRelationName(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("whereReferencedByRelationName");
    return vl::skeleton::run<Handlers::None, Wire::WhereReferencedByRelationNameInput>(
        spans, "WhereReferencedByRelationNameResponse", requestXml,
        [](const Wire::WhereReferencedByRelationNameInput& in) {
            auto inputs = toLocalArray(in.getInputArray());
            return std::make_pair(std::move(inputs), in.getNumLevels());
        },
        [](const auto& args) { return _service->whereReferencedByRelationName(args.first, args.second); },
        &responseToWire<DataManagement::WhereReferencedByRelationNameResponse>);
}

std::string Skeleton::expandGRMRelationsForPrimary(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("expandGRMRelationsForPrimary");
    return vl::skeleton::run<Handlers::None, Wire::ExpandGRMRelationsForPrimaryInput>(
        spans, "ExpandGRMRelationsResponse", requestXml,
        [](const Wire::ExpandGRMRelationsForPrimaryInput& in) {
            return expandArguments(in.getPrimaryObjectArray(), in);
        },
        [](const auto& args) { return _service->expandGRMRelationsForPrimary(args.first, args.second); },
        &responseToWire<DataManagement::ExpandGRMRelationsResponse>);
}

std::string Skeleton::getDatasetTypeInfo(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getDatasetTypeInfo");
    return vl::skeleton::run<Handlers::None, Wire::GetDatasetTypeInfoInput>(
        spans, "DatasetTypeInfoResponse", requestXml,
        [](const Wire::GetDatasetTypeInfoInput& in) { return in.getDatasetTypeNameArray(); },
        [](const std::vector<std::string>& names) { return _service->getDatasetTypeInfo(names); },
        &responseToWire<DataManagement::DatasetTypeInfoResponse>);
}

std::string Skeleton::expandGRMRelationsForSecondary(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("expandGRMRelationsForSecondary");
    return vl::skeleton::run<Handlers::None, Wire::ExpandGRMRelationsForSecondaryInput>(
        spans, "ExpandGRMRelationsResponse", requestXml,
        [](const Wire::ExpandGRMRelationsForSecondaryInput& in) {
            return expandArguments(in.getSecondaryObjectArray(), in);
        },
        [](const auto& args) { return _service->expandGRMRelationsForSecondary(args.first, args.second); },
        &responseToWire<DataManagement::ExpandGRMRelationsResponse>);
}

}  // namespace Velmora::Services::Core::_2007_06
