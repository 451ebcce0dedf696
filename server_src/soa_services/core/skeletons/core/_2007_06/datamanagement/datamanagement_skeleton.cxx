#include "soa_services/core/skeletons/core/_2007_06/datamanagement/datamanagement_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2007_06 {

namespace {

namespace Wire = DataManagementWire;
using Skeleton = DataManagementIiopSkeleton;
using Local = Skeleton::DataManagement;
using vl::skeleton::Handlers;
using vl::skeleton::toLocalRecords;
using vl::skeleton::toLocalRefs;

}  // namespace

// ---- converters: one field list per struct, in the local declaration order
// (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_RelationAndTypesFilter(X) \
    X(Value, relationTypeName, RelationTypeName) X(Strings, otherSideObjectTypes, OtherSideObjectType)
#define VL_FIELDS_WhereReferencedByRelationNameInfo(X) X(Ref, object, Object) X(Records, filters, Filter)
#define VL_FIELDS_WhereReferencedByRelationNameOutputInfo(X) \
    X(Ref, referencer, Referencer) X(Value, relationTypeName, RelationTypeName) X(Value, level, Level)
#define VL_FIELDS_WhereReferencedByRelationNameOutput(X) X(Ref, inputObject, InputObject) X(Records, infos, Info)
#define VL_FIELDS_WhereReferencedByRelationNameResponse(X) \
    X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ValidateIdsInfo(X) X(Value, itemId, ItemId) X(Value, revId, RevId) X(Value, itemType, ItemType)
#define VL_FIELDS_ValidateIdsOutput(X)                                                                  \
    X(Value, modItemId, ModItemId) X(Enum, itemIdStatus, ItemIdStatus, ValidateIdsStatus)              \
    X(Value, modRevId, ModRevId) X(Enum, revIdStatus, RevIdStatus, ValidateIdsStatus)
#define VL_FIELDS_ValidateItemIdsAndRevIdsResponse(X) \
    X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ReferenceInfo(X)                                                                        \
    X(Value, referenceName, ReferenceName) X(Value, isObject, IsObject) X(Value, fileFormat, FileFormat) \
    X(Value, fileExtension, FileExtension)
#define VL_FIELDS_DatasetTypeInfo(X) X(Ref, tag, Tag) X(Records, refInfos, RefInfo)
#define VL_FIELDS_DatasetTypeInfoResponse(X) X(Records, infos, Info) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_RelationAndTypesFilter2(X) \
    X(Value, relationName, RelationName) X(Strings, objectTypeNames, ObjectTypeName)
#define VL_FIELDS_ExpandGRMRelationsPref(X) X(Value, expItemRev, ExpItemRev) X(Records, infos, Info)
#define VL_FIELDS_ExpandGRMRelationsData(X) \
    X(Refs, otherSideObjects, OtherSideObject) X(Value, relationName, RelationName)
#define VL_FIELDS_ExpandGRMRelationsOutput(X) \
    X(Ref, inputObject, InputObject) X(Records, otherSideObjData, OtherSideObjData)
#define VL_FIELDS_ExpandGRMRelationsResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)

VL_DM0706_CONVERTERS(VL_SKELETON_DEFINE)

// ---- identifier statuses: the rule no field kind expresses, each value
// crossing as its fixed text

namespace {

const char* const kStatusTexts[] = {"Valid", "Invalid", "Modified", "Override", "Duplicate"};
constexpr int kStatusCount = sizeof kStatusTexts / sizeof kStatusTexts[0];

}  // namespace

std::string Skeleton::toWire(Local::ValidateIdsStatus status) {
    const int value = static_cast<int>(status);
    if (value < 0 || value >= kStatusCount)
        throw Velmora::Soa::Common::Exceptions::DomException("Invalid Enum value");
    return kStatusTexts[value];
}

Local::ValidateIdsStatus Skeleton::toLocalValidateIdsStatus(std::string text) {
    for (int value = 0; value < kStatusCount; ++value)
        if (text == kStatusTexts[value]) return static_cast<Local::ValidateIdsStatus>(value);
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

vl::skeleton::Spans spansOf(const char* operation) {
    return vl::skeleton::Spans("Core", "_2007_06", "DataManagement", operation);
}

// The object array first, then the preference.
template <class Input>
auto expandArguments(const std::vector<::Velmora::Schemas::Soa::_2006_03::Base::ModelObject>& objects,
                     const Input& in) {
    std::vector<Tag> tags = toLocalRefs(objects);
    Local::ExpandGRMRelationsPref pref = Skeleton::toLocal(in.getPref());
    return std::make_pair(std::move(tags), std::move(pref));
}

}  // namespace

std::string Skeleton::validateItemIdsAndRevIds(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("validateItemIdsAndRevIds");
    return vl::skeleton::run<Handlers::None, Wire::ValidateItemIdsAndRevIdsInput>(
        spans, "ValidateItemIdsAndRevIdsResponse", requestXml,
        [](const Wire::ValidateItemIdsAndRevIdsInput& in) { return toLocalRecords<Skeleton>(in.getInfoArray()); },
        [](const auto& infos) { return _service->validateItemIdsAndRevIds(infos); },
        &vl::skeleton::toWireResponse<Skeleton, Local::ValidateItemIdsAndRevIdsResponse>);
}

std::string Skeleton::whereReferencedByRelationName(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("whereReferencedByRelationName");
    return vl::skeleton::run<Handlers::None, Wire::WhereReferencedByRelationNameInput>(
        spans, "WhereReferencedByRelationNameResponse", requestXml,
        [](const Wire::WhereReferencedByRelationNameInput& in) {
            auto inputs = toLocalRecords<Skeleton>(in.getInputArray());
            return std::make_pair(std::move(inputs), in.getNumLevels());
        },
        [](const auto& args) { return _service->whereReferencedByRelationName(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::WhereReferencedByRelationNameResponse>);
}

std::string Skeleton::expandGRMRelationsForPrimary(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("expandGRMRelationsForPrimary");
    return vl::skeleton::run<Handlers::None, Wire::ExpandGRMRelationsForPrimaryInput>(
        spans, "ExpandGRMRelationsResponse", requestXml,
        [](const Wire::ExpandGRMRelationsForPrimaryInput& in) {
            return expandArguments(in.getPrimaryObjectArray(), in);
        },
        [](const auto& args) { return _service->expandGRMRelationsForPrimary(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::ExpandGRMRelationsResponse>);
}

std::string Skeleton::getDatasetTypeInfo(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getDatasetTypeInfo");
    return vl::skeleton::run<Handlers::None, Wire::GetDatasetTypeInfoInput>(
        spans, "DatasetTypeInfoResponse", requestXml,
        [](const Wire::GetDatasetTypeInfoInput& in) { return in.getDatasetTypeNameArray(); },
        [](const std::vector<std::string>& names) { return _service->getDatasetTypeInfo(names); },
        &vl::skeleton::toWireResponse<Skeleton, Local::DatasetTypeInfoResponse>);
}

std::string Skeleton::expandGRMRelationsForSecondary(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("expandGRMRelationsForSecondary");
    return vl::skeleton::run<Handlers::None, Wire::ExpandGRMRelationsForSecondaryInput>(
        spans, "ExpandGRMRelationsResponse", requestXml,
        [](const Wire::ExpandGRMRelationsForSecondaryInput& in) {
            return expandArguments(in.getSecondaryObjectArray(), in);
        },
        [](const auto& args) { return _service->expandGRMRelationsForSecondary(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::ExpandGRMRelationsResponse>);
}

}  // namespace Velmora::Services::Core::_2007_06
