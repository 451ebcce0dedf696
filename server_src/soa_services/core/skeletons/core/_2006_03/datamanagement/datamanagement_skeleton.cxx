#include "soa_services/core/skeletons/core/_2006_03/datamanagement/datamanagement_skeleton.hxx"

#include "soa_server/utils.hxx"

#include <tuple>
#include <utility>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = ::Velmora::Schemas::Core::_2006_03::Datamanagement;
namespace BaseWire = ::Velmora::Schemas::Soa::_2006_03::Base;
using Skeleton = DataManagementIiopSkeleton;
using DataManagement = Skeleton::DataManagement;
using Velmora::Soa::Internal::Server::Utils;
using vl::skeleton::Handlers;
using vl::skeleton::toLocalRef;
using vl::skeleton::toWireRef;

// The service-data step of a reply, on the caller's own copy: the copy
// shares its wire bodies, so nothing of the records is copied again.
BaseWire::ServiceData prepared(Velmora::Soa::Server::ServiceData& data) {
    data.getNotifications();
    data.inflateProperties();
    return data.getWireData();
}

template <class Local>
POMRef<Local> toLocalPOMRef(const BaseWire::ModelObject& object) {
    return POMRef<Local>(toLocalRef(object));
}

// Each element of a wire array through its toLocal, in order.
template <class Local, class WireElement>
std::vector<Local> toLocalArray(const std::vector<WireElement>& wire) {
    std::vector<Local> local;
    local.reserve(wire.size());
    for (const auto& element : wire) local.push_back(Skeleton::toLocal(element));
    return local;
}

// Each element of a local array through its toWire, in order; the array is
// the converter's own copy, so its elements are moved, not copied again.
template <class WireElement, class Local>
std::vector<WireElement> toWireArray(std::vector<Local>& local) {
    std::vector<WireElement> wire;
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

// ---- createFolders

Wire::CreateFolderInput Skeleton::toWire(DataManagement::CreateFolderInput local) {
    Wire::CreateFolderInput wire;
    wire.setClientId(local.clientId);
    wire.setName(local.name);
    wire.setDesc(local.desc);
    return wire;
}

DataManagement::CreateFolderInput Skeleton::toLocal(Wire::CreateFolderInput wire) {
    DataManagement::CreateFolderInput local;
    local.clientId = wire.getClientId();
    local.name = wire.getName();
    local.desc = wire.getDesc();
    return local;
}

Wire::CreateFoldersOutput Skeleton::toWire(DataManagement::CreateFoldersOutput local) {
    Wire::CreateFoldersOutput wire;
    wire.setClientId(local.clientId);
    wire.setFolder(toWireRef(local.folder.tag()));
    return wire;
}

DataManagement::CreateFoldersOutput Skeleton::toLocal(Wire::CreateFoldersOutput wire) {
    DataManagement::CreateFoldersOutput local;
    local.clientId = wire.getClientId();
    local.folder = toLocalPOMRef<Folder>(wire.getFolder());
    return local;
}

Wire::CreateFoldersResponse Skeleton::toWire(DataManagement::CreateFoldersResponse local) {
    Wire::CreateFoldersResponse wire;
    wire.setOutputArray(toWireArray<Wire::CreateFoldersOutput>(local.output));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

// ---- createItems

Wire::ItemProperties Skeleton::toWire(DataManagement::ItemProperties local) {
    Wire::ItemProperties wire;
    wire.setClientId(local.clientId);
    wire.setItemId(local.itemId);
    wire.setName(local.name);
    wire.setType(local.type);
    wire.setRevId(local.revId);
    wire.setUom(local.uom);
    wire.setDescription(local.description);
    wire.setExtendedAttributeArray(toWireArray<Wire::ExtendedAttributes>(local.extendedAttributes));
    return wire;
}

DataManagement::ItemProperties Skeleton::toLocal(Wire::ItemProperties wire) {
    DataManagement::ItemProperties local;
    local.clientId = wire.getClientId();
    local.itemId = wire.getItemId();
    local.name = wire.getName();
    local.type = wire.getType();
    local.revId = wire.getRevId();
    local.uom = wire.getUom();
    local.description = wire.getDescription();
    local.extendedAttributes = toLocalArray<DataManagement::ExtendedAttributes>(wire.getExtendedAttributeArray());
    return local;
}

Wire::ExtendedAttributes Skeleton::toWire(DataManagement::ExtendedAttributes local) {
    Wire::ExtendedAttributes wire;
    wire.setObjectType(local.objectType);
    wire.setAttributeArray(toWireAttributeNameValueMap(std::move(local.attributes)));
    return wire;
}

DataManagement::ExtendedAttributes Skeleton::toLocal(Wire::ExtendedAttributes wire) {
    DataManagement::ExtendedAttributes local;
    local.objectType = wire.getObjectType();
    local.attributes = toLocalAttributeNameValueMap(wire.getAttributeArray());
    return local;
}

Wire::CreateItemsOutput Skeleton::toWire(DataManagement::CreateItemsOutput local) {
    Wire::CreateItemsOutput wire;
    wire.setClientId(local.clientId);
    wire.setItem(toWireRef(local.item.tag()));
    wire.setItemRev(toWireRef(local.itemRev.tag()));
    return wire;
}

DataManagement::CreateItemsOutput Skeleton::toLocal(Wire::CreateItemsOutput wire) {
    DataManagement::CreateItemsOutput local;
    local.clientId = wire.getClientId();
    local.item = toLocalPOMRef<OstraItemP>(wire.getItem());
    local.itemRev = toLocalPOMRef<OstraItemRevP>(wire.getItemRev());
    return local;
}

Wire::CreateItemsResponse Skeleton::toWire(DataManagement::CreateItemsResponse local) {
    Wire::CreateItemsResponse wire;
    wire.setOutputArray(toWireArray<Wire::CreateItemsOutput>(local.output));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

// ---- createDatasets

Wire::DatasetProperties Skeleton::toWire(DataManagement::DatasetProperties local) {
    Wire::DatasetProperties wire;
    wire.setClientId(local.clientId);
    wire.setType(local.type);
    wire.setName(local.name);
    wire.setDescription(local.description);
    wire.setToolUsed(local.toolUsed);
    wire.setContainer(toWireRef(local.container));
    wire.setRelationType(local.relationType);
    return wire;
}

DataManagement::DatasetProperties Skeleton::toLocal(Wire::DatasetProperties wire) {
    DataManagement::DatasetProperties local;
    local.clientId = wire.getClientId();
    local.type = wire.getType();
    local.name = wire.getName();
    local.description = wire.getDescription();
    local.toolUsed = wire.getToolUsed();
    local.container = toLocalRef(wire.getContainer());
    local.relationType = wire.getRelationType();
    return local;
}

Wire::CreateDatasetsOutput Skeleton::toWire(DataManagement::CreateDatasetsOutput local) {
    Wire::CreateDatasetsOutput wire;
    wire.setClientId(local.clientId);
    wire.setDataset(toWireRef(local.dataset.tag()));
    return wire;
}

DataManagement::CreateDatasetsOutput Skeleton::toLocal(Wire::CreateDatasetsOutput wire) {
    DataManagement::CreateDatasetsOutput local;
    local.clientId = wire.getClientId();
    local.dataset = toLocalPOMRef<Dataset>(wire.getDataset());
    return local;
}

Wire::CreateDatasetsResponse Skeleton::toWire(DataManagement::CreateDatasetsResponse local) {
    Wire::CreateDatasetsResponse wire;
    wire.setOutputArray(toWireArray<Wire::CreateDatasetsOutput>(local.output));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

// ---- revise

Wire::ReviseProperties Skeleton::toWire(DataManagement::ReviseProperties local) {
    Wire::ReviseProperties wire;
    wire.setRevId(local.revId);
    wire.setName(local.name);
    wire.setDescription(local.description);
    wire.setExtendedAttributeArray(toWireAttributeNameValueMap(std::move(local.extendedAttributes)));
    return wire;
}

DataManagement::ReviseProperties Skeleton::toLocal(Wire::ReviseProperties wire) {
    DataManagement::ReviseProperties local;
    local.revId = wire.getRevId();
    local.name = wire.getName();
    local.description = wire.getDescription();
    local.extendedAttributes = toLocalAttributeNameValueMap(wire.getExtendedAttributeArray());
    return local;
}

Wire::ReviseResponse Skeleton::toWire(DataManagement::ReviseResponse local) {
    Wire::ReviseResponse wire;
    wire.setOldItemRevToNewItemRevArray(toWireItemRevMap(std::move(local.oldItemRevToNewItemRev)));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

// ---- identifier generation

Wire::GenerateItemIdsAndInitialRevisionIdsProperties Skeleton::toWire(
    DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties local) {
    Wire::GenerateItemIdsAndInitialRevisionIdsProperties wire;
    wire.setItem(toWireRef(local.item));
    wire.setItemType(local.itemType);
    wire.setCount(local.count);
    return wire;
}

DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties Skeleton::toLocal(
    Wire::GenerateItemIdsAndInitialRevisionIdsProperties wire) {
    DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties local;
    local.item = toLocalRef(wire.getItem());
    local.itemType = wire.getItemType();
    local.count = wire.getCount();
    return local;
}

Wire::ItemIdsAndInitialRevisionIds Skeleton::toWire(DataManagement::ItemIdsAndInitialRevisionIds local) {
    Wire::ItemIdsAndInitialRevisionIds wire;
    wire.setNewItemId(local.newItemId);
    wire.setNewRevId(local.newRevId);
    wire.setIsItemModify(local.isItemModify);
    wire.setIsRevModify(local.isRevModify);
    return wire;
}

DataManagement::ItemIdsAndInitialRevisionIds Skeleton::toLocal(Wire::ItemIdsAndInitialRevisionIds wire) {
    DataManagement::ItemIdsAndInitialRevisionIds local;
    local.newItemId = wire.getNewItemId();
    local.newRevId = wire.getNewRevId();
    local.isItemModify = wire.getIsItemModify();
    local.isRevModify = wire.getIsRevModify();
    return local;
}

Wire::GenerateItemIdsAndInitialRevisionIdsResponse Skeleton::toWire(
    DataManagement::GenerateItemIdsAndInitialRevisionIdsResponse local) {
    Wire::GenerateItemIdsAndInitialRevisionIdsResponse wire;
    wire.setOutputItemIdsAndInitialRevisionIdArray(
        toWireIndexToIdMap(std::move(local.outputItemIdsAndInitialRevisionIds)));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

Wire::GenerateRevisionIdsProperties Skeleton::toWire(DataManagement::GenerateRevisionIdsProperties local) {
    Wire::GenerateRevisionIdsProperties wire;
    wire.setItem(toWireRef(local.item));
    wire.setItemType(local.itemType);
    return wire;
}

DataManagement::GenerateRevisionIdsProperties Skeleton::toLocal(Wire::GenerateRevisionIdsProperties wire) {
    DataManagement::GenerateRevisionIdsProperties local;
    local.item = toLocalRef(wire.getItem());
    local.itemType = wire.getItemType();
    return local;
}

Wire::RevisionIds Skeleton::toWire(DataManagement::RevisionIds local) {
    Wire::RevisionIds wire;
    wire.setNewRevId(local.newRevId);
    wire.setIsModify(local.isModify);
    return wire;
}

DataManagement::RevisionIds Skeleton::toLocal(Wire::RevisionIds wire) {
    DataManagement::RevisionIds local;
    local.newRevId = wire.getNewRevId();
    local.isModify = wire.getIsModify();
    return local;
}

Wire::GenerateRevisionIdsResponse Skeleton::toWire(DataManagement::GenerateRevisionIdsResponse local) {
    Wire::GenerateRevisionIdsResponse wire;
    wire.setOutputRevisionIdArray(toWireIndexToRevIdMap(std::move(local.outputRevisionIds)));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

// ---- relations

Wire::Relationship Skeleton::toWire(DataManagement::Relationship local) {
    Wire::Relationship wire;
    wire.setClientId(local.clientId);
    wire.setRelationType(local.relationType);
    wire.setPrimaryObject(toWireRef(local.primaryObject));
    wire.setSecondaryObject(toWireRef(local.secondaryObject));
    wire.setUserData(toWireRef(local.userData));
    return wire;
}

DataManagement::Relationship Skeleton::toLocal(Wire::Relationship wire) {
    DataManagement::Relationship local;
    local.clientId = wire.getClientId();
    local.relationType = wire.getRelationType();
    local.primaryObject = toLocalRef(wire.getPrimaryObject());
    local.secondaryObject = toLocalRef(wire.getSecondaryObject());
    local.userData = toLocalRef(wire.getUserData());
    return local;
}

Wire::CreateRelationsOutput Skeleton::toWire(DataManagement::CreateRelationsOutput local) {
    Wire::CreateRelationsOutput wire;
    wire.setClientId(local.clientId);
    wire.setRelation(toWireRef(local.relation.tag()));
    return wire;
}

DataManagement::CreateRelationsOutput Skeleton::toLocal(Wire::CreateRelationsOutput wire) {
    DataManagement::CreateRelationsOutput local;
    local.clientId = wire.getClientId();
    local.relation = toLocalPOMRef<OstraRelation>(wire.getRelation());
    return local;
}

Wire::CreateRelationsResponse Skeleton::toWire(DataManagement::CreateRelationsResponse local) {
    Wire::CreateRelationsResponse wire;
    wire.setOutputArray(toWireArray<Wire::CreateRelationsOutput>(local.output));
    wire.setServiceData(prepared(local.serviceData));
    return wire;
}

// ---- ownership

Wire::ObjectOwner Skeleton::toWire(DataManagement::ObjectOwner local) {
    Wire::ObjectOwner wire;
    wire.setObject(toWireRef(local.object));
    wire.setOwner(toWireRef(local.owner.tag()));
    wire.setGroup(toWireRef(local.group.tag()));
    return wire;
}

DataManagement::ObjectOwner Skeleton::toLocal(Wire::ObjectOwner wire) {
    DataManagement::ObjectOwner local;
    local.object = toLocalRef(wire.getObject());
    local.owner = toLocalPOMRef<User>(wire.getOwner());
    local.group = toLocalPOMRef<Group>(wire.getGroup());
    return local;
}

// ---- maps

std::vector<Wire::AttributeNameValueMap> Skeleton::toWireAttributeNameValueMap(AttributeMap local) {
    return vl::skeleton::toWireEntries<Wire::AttributeNameValueMap>(local);
}

Skeleton::AttributeMap Skeleton::toLocalAttributeNameValueMap(std::vector<Wire::AttributeNameValueMap> wire) {
    return vl::skeleton::toLocalMap<AttributeMap>(wire, [](const Wire::AttributeNameValueMap& entry) {
        return std::make_pair(entry.getKey(), entry.getValue());
    });
}

std::vector<Wire::ItemRevMap> Skeleton::toWireItemRevMap(ItemRevToItemRev local) {
    std::vector<Wire::ItemRevMap> wire;
    wire.reserve(local.size());
    for (const auto& [oldRev, newRev] : local) {
        Wire::ItemRevMap entry;
        entry.setKey(Utils::createWireModelObect(oldRev.tag()));
        entry.setValue(Utils::createWireModelObect(newRev.tag()));
        wire.push_back(entry);
    }
    return wire;
}

Skeleton::ItemRevToItemRev Skeleton::toLocalItemRevMap(std::vector<Wire::ItemRevMap> wire) {
    return vl::skeleton::toLocalMap<ItemRevToItemRev>(wire, [](const Wire::ItemRevMap& entry) {
        return std::make_pair(toLocalPOMRef<OstraItemRevP>(entry.getKey()),
                              toLocalPOMRef<OstraItemRevP>(entry.getValue()));
    });
}

std::vector<Wire::ItemRevPropertyMap> Skeleton::toWireItemRevPropertyMap(ItemRevToProperties local) {
    std::vector<Wire::ItemRevPropertyMap> wire;
    wire.reserve(local.size());
    for (auto& [rev, properties] : local) {
        Wire::ItemRevPropertyMap entry;
        entry.setKey(Utils::createWireModelObect(rev.tag()));
        entry.setValue(toWire(std::move(properties)));
        wire.push_back(entry);
    }
    return wire;
}

Skeleton::ItemRevToProperties Skeleton::toLocalItemRevPropertyMap(std::vector<Wire::ItemRevPropertyMap> wire) {
    return vl::skeleton::toLocalMap<ItemRevToProperties>(wire, [](const Wire::ItemRevPropertyMap& entry) {
        return std::make_pair(toLocalPOMRef<OstraItemRevP>(entry.getKey()), toLocal(entry.getValue()));
    });
}

std::vector<Wire::IndexToIdMap> Skeleton::toWireIndexToIdMap(IndexToIds local) {
    std::vector<Wire::IndexToIdMap> wire;
    wire.reserve(local.size());
    for (auto& [index, ids] : local) {
        Wire::IndexToIdMap entry;
        entry.setKey(index);
        for (auto& id : ids) entry.addValue(toWire(std::move(id)));
        wire.push_back(entry);
    }
    return wire;
}

Skeleton::IndexToIds Skeleton::toLocalIndexToIdMap(std::vector<Wire::IndexToIdMap> wire) {
    return vl::skeleton::toLocalMap<IndexToIds>(wire, [](const Wire::IndexToIdMap& entry) {
        auto ids = toLocalArray<DataManagement::ItemIdsAndInitialRevisionIds>(entry.getValueArray());
        return std::make_pair(entry.getKey(), std::move(ids));
    });
}

std::vector<Wire::IndexToRevIdMap> Skeleton::toWireIndexToRevIdMap(IndexToRevIds local) {
    std::vector<Wire::IndexToRevIdMap> wire;
    wire.reserve(local.size());
    for (auto& [index, ids] : local) {
        Wire::IndexToRevIdMap entry;
        entry.setKey(index);
        entry.setValue(toWire(std::move(ids)));
        wire.push_back(entry);
    }
    return wire;
}

Skeleton::IndexToRevIds Skeleton::toLocalIndexToRevIdMap(std::vector<Wire::IndexToRevIdMap> wire) {
    return vl::skeleton::toLocalMap<IndexToRevIds>(wire, [](const Wire::IndexToRevIdMap& entry) {
        return std::make_pair(entry.getKey(), toLocal(entry.getValue()));
    });
}

// ---- operations

namespace {

// Operations whose result is a bare service data: the step runs on the
// operation's own result.
BaseWire::ServiceData serviceDataToWire(Velmora::Soa::Server::ServiceData&& data) { return prepared(data); }

// A struct result goes by value to its converter: the one copy is the
// converter's parameter.
template <class Local>
auto responseToWire(Local&& local) {
    return Skeleton::toWire(std::move(local));
}

vl::skeleton::Spans spansOf(const char* operation) {
    return vl::skeleton::Spans("Core", "_2006_03", "DataManagement", operation);
}

}  // namespace

std::string Skeleton::deleteObjects(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("deleteObjects");
    return vl::skeleton::run<Handlers::None, Wire::DeleteObjectsInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::DeleteObjectsInput& in) { return toLocalTags(in.getObjectArray()); },
        [](std::vector<Tag>& objects) { return _service->deleteObjects(objects); }, &serviceDataToWire);
}

std::string Skeleton::getProperties(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getProperties");
    return vl::skeleton::run<Handlers::None, Wire::GetPropertiesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::GetPropertiesInput& in) {
            return std::make_pair(toLocalTags(in.getObjectArray()), in.getAttributeArray());
        },
        [](auto& args) { return _service->getProperties(args.first, args.second); }, &serviceDataToWire);
}

std::string Skeleton::revise(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("revise");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::ReviseInput>(
        spans, "ReviseResponse", requestXml,
        [](const Wire::ReviseInput& in) { return toLocalItemRevPropertyMap(in.getInputArray()); },
        [](const ItemRevToProperties& input) { return _service->revise(input); },
        &responseToWire<DataManagement::ReviseResponse>);
}

std::string Skeleton::generateItemIdsAndInitialRevisionIds(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("generateItemIdsAndInitialRevisionIds");
    return vl::skeleton::run<Handlers::None, Wire::GenerateItemIdsAndInitialRevisionIdsInput>(
        spans, "GenerateItemIdsAndInitialRevisionIdsResponse", requestXml,
        [](const Wire::GenerateItemIdsAndInitialRevisionIdsInput& in) {
            return toLocalArray<DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties>(in.getInputArray());
        },
        [](const auto& input) { return _service->generateItemIdsAndInitialRevisionIds(input); },
        &responseToWire<DataManagement::GenerateItemIdsAndInitialRevisionIdsResponse>);
}

std::string Skeleton::changeOwnership(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("changeOwnership");
    return vl::skeleton::run<Handlers::None, Wire::ChangeOwnershipInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::ChangeOwnershipInput& in) {
            return toLocalArray<DataManagement::ObjectOwner>(in.getInputArray());
        },
        [](const auto& input) { return _service->changeOwnership(input); }, &serviceDataToWire);
}

std::string Skeleton::generateRevisionIds(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("generateRevisionIds");
    return vl::skeleton::run<Handlers::None, Wire::GenerateRevisionIdsInput>(
        spans, "GenerateRevisionIdsResponse", requestXml,
        [](const Wire::GenerateRevisionIdsInput& in) {
            return toLocalArray<DataManagement::GenerateRevisionIdsProperties>(in.getInputArray());
        },
        [](const auto& input) { return _service->generateRevisionIds(input); },
        &responseToWire<DataManagement::GenerateRevisionIdsResponse>);
}

std::string Skeleton::setDisplayProperties(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("setDisplayProperties");
    return vl::skeleton::run<Handlers::None, Wire::SetDisplayPropertiesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::SetDisplayPropertiesInput& in) {
            return std::make_pair(toLocalTags(in.getObjectArray()),
                                  toLocalAttributeNameValueMap(in.getAttributeArray()));
        },
        [](auto& args) { return _service->setDisplayProperties(args.first, args.second); }, &serviceDataToWire);
}

std::string Skeleton::createRelations(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createRelations");
    return vl::skeleton::run<Handlers::None, Wire::CreateRelationsInput>(
        spans, "CreateRelationsResponse", requestXml,
        [](const Wire::CreateRelationsInput& in) {
            return toLocalArray<DataManagement::Relationship>(in.getInputArray());
        },
        [](const auto& input) { return _service->createRelations(input); },
        &responseToWire<DataManagement::CreateRelationsResponse>);
}

std::string Skeleton::createFolders(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createFolders");
    return vl::skeleton::run<Handlers::None, Wire::CreateFoldersInput>(
        spans, "CreateFoldersResponse", requestXml,
        [](const Wire::CreateFoldersInput& in) {
            // The input array first, then the container, then the relation type.
            auto folders = toLocalArray<DataManagement::CreateFolderInput>(in.getFolderArray());
            Tag container = toLocalRef(in.getContainer());
            return std::make_tuple(std::move(folders), container, in.getRelationType());
        },
        [](auto& args) { return _service->createFolders(std::get<0>(args), std::get<1>(args), std::get<2>(args)); },
        &responseToWire<DataManagement::CreateFoldersResponse>);
}

std::string Skeleton::createDatasets(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createDatasets");
    return vl::skeleton::run<Handlers::None, Wire::CreateDatasetsInput>(
        spans, "CreateDatasetsResponse", requestXml,
        [](const Wire::CreateDatasetsInput& in) {
            return toLocalArray<DataManagement::DatasetProperties>(in.getInputArray());
        },
        [](const auto& input) { return _service->createDatasets(input); },
        &responseToWire<DataManagement::CreateDatasetsResponse>);
}

std::string Skeleton::deleteRelations(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("deleteRelations");
    return vl::skeleton::run<Handlers::None, Wire::DeleteRelationsInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::DeleteRelationsInput& in) {
            return toLocalArray<DataManagement::Relationship>(in.getInputArray());
        },
        [](const auto& input) { return _service->deleteRelations(input); }, &serviceDataToWire);
}

std::string Skeleton::createItems(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createItems");
    return vl::skeleton::run<Handlers::None, Wire::CreateItemsInput>(
        spans, "CreateItemsResponse", requestXml,
        [](const Wire::CreateItemsInput& in) {
            auto items = toLocalArray<DataManagement::ItemProperties>(in.getPropertieArray());
            Tag container = toLocalRef(in.getContainer());
            return std::make_tuple(std::move(items), container, in.getRelationType());
        },
        [](auto& args) { return _service->createItems(std::get<0>(args), std::get<1>(args), std::get<2>(args)); },
        &responseToWire<DataManagement::CreateItemsResponse>);
}

}  // namespace Velmora::Services::Core::_2006_03
