#include "soa_services/core/skeletons/core/_2006_03/datamanagement/datamanagement_skeleton.hxx"

#include <tuple>
#include <utility>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = ::Velmora::Schemas::Core::_2006_03::Datamanagement;
using Skeleton = DataManagementIiopSkeleton;
using Local = Skeleton::DataManagement;
using vl::skeleton::Handlers;
using vl::skeleton::toLocalRecords;
using vl::skeleton::toLocalRef;
using vl::skeleton::toLocalRefs;

}  // namespace

DataManagementIiopSkeleton::DataManagementIiopSkeleton() : ServiceSkeleton("DataManagement") {
    bind("deleteObjects", &deleteObjects);
    bind("getProperties", &getProperties);
    bind("revise", &revise);
    bind("generateItemIdsAndInitialRevisionIds", &generateItemIdsAndInitialRevisionIds);
    bind("changeOwnership", &changeOwnership);
    bind("generateRevisionIds", &generateRevisionIds);
    bind("setDisplayProperties", &setDisplayProperties);
    bind("createRelations", &createRelations);
    bind("createFolders", &createFolders);
    bind("createDatasets", &createDatasets);
    bind("deleteRelations", &deleteRelations);
    bind("createItems", &createItems);
}

// ---- converters: one field list per struct and map entry, in the local
// declaration order (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_CreateFolderInput(X) X(Value, clientId, ClientId) X(Value, name, Name) X(Value, desc, Desc)
#define VL_FIELDS_CreateFoldersOutput(X) X(Value, clientId, ClientId) X(Ref, folder, Folder)
#define VL_FIELDS_CreateFoldersResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ItemProperties(X)                                                                         \
    X(Value, clientId, ClientId) X(Value, itemId, ItemId) X(Value, name, Name) X(Value, type, Type)        \
    X(Value, revId, RevId) X(Value, uom, Uom) X(Value, description, Description)                          \
    X(Records, extendedAttributes, ExtendedAttribute)
#define VL_FIELDS_ExtendedAttributes(X) \
    X(Value, objectType, ObjectType) X(Map, attributes, Attribute, AttributeNameValueMap)
#define VL_FIELDS_CreateItemsOutput(X) X(Value, clientId, ClientId) X(Ref, item, Item) X(Ref, itemRev, ItemRev)
#define VL_FIELDS_CreateItemsResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_DatasetProperties(X)                                                                     \
    X(Value, clientId, ClientId) X(Value, type, Type) X(Value, name, Name) X(Value, description, Description) \
    X(Value, toolUsed, ToolUsed) X(Ref, container, Container) X(Value, relationType, RelationType)
#define VL_FIELDS_CreateDatasetsOutput(X) X(Value, clientId, ClientId) X(Ref, dataset, Dataset)
#define VL_FIELDS_CreateDatasetsResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ReviseProperties(X)                                                            \
    X(Value, revId, RevId) X(Value, name, Name) X(Value, description, Description)               \
    X(Map, extendedAttributes, ExtendedAttribute, AttributeNameValueMap)
#define VL_FIELDS_ReviseResponse(X)                                              \
    X(Map, oldItemRevToNewItemRev, OldItemRevToNewItemRev, ItemRevMap)           \
    X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GenerateItemIdsAndInitialRevisionIdsProperties(X) \
    X(Ref, item, Item) X(Value, itemType, ItemType) X(Value, count, Count)
#define VL_FIELDS_ItemIdsAndInitialRevisionIds(X)                                         \
    X(Value, newItemId, NewItemId) X(Value, newRevId, NewRevId)                          \
    X(Value, isItemModify, IsItemModify) X(Value, isRevModify, IsRevModify)
#define VL_FIELDS_GenerateItemIdsAndInitialRevisionIdsResponse(X)                                               \
    X(Map, outputItemIdsAndInitialRevisionIds, OutputItemIdsAndInitialRevisionId, IndexToIdMap)                \
    X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GenerateRevisionIdsProperties(X) X(Ref, item, Item) X(Value, itemType, ItemType)
#define VL_FIELDS_RevisionIds(X) X(Value, newRevId, NewRevId) X(Value, isModify, IsModify)
#define VL_FIELDS_GenerateRevisionIdsResponse(X) \
    X(Map, outputRevisionIds, OutputRevisionId, IndexToRevIdMap) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_Relationship(X)                                                                 \
    X(Value, clientId, ClientId) X(Value, relationType, RelationType) X(Ref, primaryObject, PrimaryObject) \
    X(Ref, secondaryObject, SecondaryObject) X(Ref, userData, UserData)
#define VL_FIELDS_CreateRelationsOutput(X) X(Value, clientId, ClientId) X(Ref, relation, Relation)
#define VL_FIELDS_CreateRelationsResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_ObjectOwner(X) X(Ref, object, Object) X(Ref, owner, Owner) X(Ref, group, Group)

#define VL_FIELDS_AttributeNameValueMap(X) X(Value, key, Key) X(Value, value, Value)
#define VL_FIELDS_ItemRevMap(X) X(BareRef, key, Key) X(BareRef, value, Value)
#define VL_FIELDS_ItemRevPropertyMap(X) X(BareRef, key, Key) X(Record, value, Value)
#define VL_FIELDS_IndexToIdMap(X) X(Value, key, Key) X(Records, value, Value)
#define VL_FIELDS_IndexToRevIdMap(X) X(Value, key, Key) X(Record, value, Value)

VL_DM0603_CONVERTERS(VL_SKELETON_DEFINE)

// ---- operations

namespace {

vl::skeleton::Spans spansOf(const char* operation) {
    return vl::skeleton::Spans("Core", "_2006_03", "DataManagement", operation);
}

}  // namespace

std::string Skeleton::deleteObjects(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("deleteObjects");
    return vl::skeleton::run<Handlers::None, Wire::DeleteObjectsInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::DeleteObjectsInput& in) { return toLocalRefs(in.getObjectArray()); },
        [](std::vector<Tag>& objects) { return _service->deleteObjects(objects); },
        &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::getProperties(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getProperties");
    return vl::skeleton::run<Handlers::None, Wire::GetPropertiesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::GetPropertiesInput& in) {
            return std::make_pair(toLocalRefs(in.getObjectArray()), in.getAttributeArray());
        },
        [](auto& args) { return _service->getProperties(args.first, args.second); },
        &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::revise(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("revise");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::ReviseInput>(
        spans, "ReviseResponse", requestXml,
        [](const Wire::ReviseInput& in) { return toLocalItemRevPropertyMap(in.getInputArray()); },
        [](const ItemRevToProperties& input) { return _service->revise(input); },
        &vl::skeleton::toWireResponse<Skeleton, Local::ReviseResponse>);
}

std::string Skeleton::generateItemIdsAndInitialRevisionIds(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("generateItemIdsAndInitialRevisionIds");
    return vl::skeleton::run<Handlers::None, Wire::GenerateItemIdsAndInitialRevisionIdsInput>(
        spans, "GenerateItemIdsAndInitialRevisionIdsResponse", requestXml,
        [](const Wire::GenerateItemIdsAndInitialRevisionIdsInput& in) {
            return toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const auto& input) { return _service->generateItemIdsAndInitialRevisionIds(input); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GenerateItemIdsAndInitialRevisionIdsResponse>);
}

std::string Skeleton::changeOwnership(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("changeOwnership");
    return vl::skeleton::run<Handlers::None, Wire::ChangeOwnershipInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::ChangeOwnershipInput& in) {
            return toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const auto& input) { return _service->changeOwnership(input); }, &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::generateRevisionIds(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("generateRevisionIds");
    return vl::skeleton::run<Handlers::None, Wire::GenerateRevisionIdsInput>(
        spans, "GenerateRevisionIdsResponse", requestXml,
        [](const Wire::GenerateRevisionIdsInput& in) {
            return toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const auto& input) { return _service->generateRevisionIds(input); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GenerateRevisionIdsResponse>);
}

std::string Skeleton::setDisplayProperties(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("setDisplayProperties");
    return vl::skeleton::run<Handlers::None, Wire::SetDisplayPropertiesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::SetDisplayPropertiesInput& in) {
            return std::make_pair(toLocalRefs(in.getObjectArray()),
                                  toLocalAttributeNameValueMap(in.getAttributeArray()));
        },
        [](auto& args) { return _service->setDisplayProperties(args.first, args.second); },
        &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::createRelations(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createRelations");
    return vl::skeleton::run<Handlers::None, Wire::CreateRelationsInput>(
        spans, "CreateRelationsResponse", requestXml,
        [](const Wire::CreateRelationsInput& in) {
            return toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const auto& input) { return _service->createRelations(input); },
        &vl::skeleton::toWireResponse<Skeleton, Local::CreateRelationsResponse>);
}

std::string Skeleton::createFolders(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createFolders");
    return vl::skeleton::run<Handlers::None, Wire::CreateFoldersInput>(
        spans, "CreateFoldersResponse", requestXml,
        [](const Wire::CreateFoldersInput& in) {
            // The input array first, then the container, then the relation type.
            auto folders = toLocalRecords<Skeleton>(in.getFolderArray());
            Tag container = toLocalRef(in.getContainer());
            return std::make_tuple(std::move(folders), container, in.getRelationType());
        },
        [](auto& args) { return _service->createFolders(std::get<0>(args), std::get<1>(args), std::get<2>(args)); },
        &vl::skeleton::toWireResponse<Skeleton, Local::CreateFoldersResponse>);
}

std::string Skeleton::createDatasets(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createDatasets");
    return vl::skeleton::run<Handlers::None, Wire::CreateDatasetsInput>(
        spans, "CreateDatasetsResponse", requestXml,
        [](const Wire::CreateDatasetsInput& in) {
            return toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const auto& input) { return _service->createDatasets(input); },
        &vl::skeleton::toWireResponse<Skeleton, Local::CreateDatasetsResponse>);
}

std::string Skeleton::deleteRelations(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("deleteRelations");
    return vl::skeleton::run<Handlers::None, Wire::DeleteRelationsInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::DeleteRelationsInput& in) {
            return toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const auto& input) { return _service->deleteRelations(input); }, &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::createItems(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createItems");
    return vl::skeleton::run<Handlers::None, Wire::CreateItemsInput>(
        spans, "CreateItemsResponse", requestXml,
        [](const Wire::CreateItemsInput& in) {
            auto items = toLocalRecords<Skeleton>(in.getPropertieArray());
            Tag container = toLocalRef(in.getContainer());
            return std::make_tuple(std::move(items), container, in.getRelationType());
        },
        [](auto& args) { return _service->createItems(std::get<0>(args), std::get<1>(args), std::get<2>(args)); },
        &vl::skeleton::toWireResponse<Skeleton, Local::CreateItemsResponse>);
}

}  // namespace Velmora::Services::Core::_2006_03
