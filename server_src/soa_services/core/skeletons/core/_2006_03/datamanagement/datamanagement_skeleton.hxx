#pragma once
// Request-facing layer of Core-2006-03-DataManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (both directions, every one public,
// all taking and returning by value).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/datamanagement0603.hxx"
#include "soa_services/core/code/datamanagement0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/datamanagement/datamanagement_types.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Services::Core::_2006_03 {

namespace DataManagementWire = ::Velmora::Schemas::Core::_2006_03::Datamanagement;

class DataManagementIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<DataManagementIiopSkeleton, ::Velmora::Soa::Core::_2006_03::DataManagementImpl> {
public:
    using DataManagement = ::Velmora::Soa::Core::_2006_03::DataManagement;
    using ItemRevRef = POMRef<OstraItemRevP>;
    using AttributeMap = std::map<std::string, std::string>;
    using ItemRevToItemRev = std::map<ItemRevRef, ItemRevRef>;
    using ItemRevToProperties = std::map<ItemRevRef, DataManagement::ReviseProperties>;
    using IndexToIds = std::map<int, std::vector<DataManagement::ItemIdsAndInitialRevisionIds>>;
    using IndexToRevIds = std::map<int, DataManagement::RevisionIds>;

    DataManagementIiopSkeleton();
    DataManagementIiopSkeleton(const DataManagementIiopSkeleton&) = default;
    DataManagementIiopSkeleton& operator=(const DataManagementIiopSkeleton&) = default;
    ~DataManagementIiopSkeleton() = default;

    // createFolders
    static DataManagementWire::CreateFolderInput toWire(DataManagement::CreateFolderInput local);
    static DataManagement::CreateFolderInput toLocal(DataManagementWire::CreateFolderInput wire);
    static DataManagementWire::CreateFoldersOutput toWire(DataManagement::CreateFoldersOutput local);
    static DataManagement::CreateFoldersOutput toLocal(DataManagementWire::CreateFoldersOutput wire);
    static DataManagementWire::CreateFoldersResponse toWire(DataManagement::CreateFoldersResponse local);

    // createItems
    static DataManagementWire::ItemProperties toWire(DataManagement::ItemProperties local);
    static DataManagement::ItemProperties toLocal(DataManagementWire::ItemProperties wire);
    static DataManagementWire::ExtendedAttributes toWire(DataManagement::ExtendedAttributes local);
    static DataManagement::ExtendedAttributes toLocal(DataManagementWire::ExtendedAttributes wire);
    static DataManagementWire::CreateItemsOutput toWire(DataManagement::CreateItemsOutput local);
    static DataManagement::CreateItemsOutput toLocal(DataManagementWire::CreateItemsOutput wire);
    static DataManagementWire::CreateItemsResponse toWire(DataManagement::CreateItemsResponse local);

    // createDatasets
    static DataManagementWire::DatasetProperties toWire(DataManagement::DatasetProperties local);
    static DataManagement::DatasetProperties toLocal(DataManagementWire::DatasetProperties wire);
    static DataManagementWire::CreateDatasetsOutput toWire(DataManagement::CreateDatasetsOutput local);
    static DataManagement::CreateDatasetsOutput toLocal(DataManagementWire::CreateDatasetsOutput wire);
    static DataManagementWire::CreateDatasetsResponse toWire(DataManagement::CreateDatasetsResponse local);

    // revise
    static DataManagementWire::ReviseProperties toWire(DataManagement::ReviseProperties local);
    static DataManagement::ReviseProperties toLocal(DataManagementWire::ReviseProperties wire);
    static DataManagementWire::ReviseResponse toWire(DataManagement::ReviseResponse local);

    // identifier generation
    static DataManagementWire::GenerateItemIdsAndInitialRevisionIdsProperties toWire(
        DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties local);
    static DataManagement::GenerateItemIdsAndInitialRevisionIdsProperties toLocal(
        DataManagementWire::GenerateItemIdsAndInitialRevisionIdsProperties wire);
    static DataManagementWire::ItemIdsAndInitialRevisionIds toWire(DataManagement::ItemIdsAndInitialRevisionIds local);
    static DataManagement::ItemIdsAndInitialRevisionIds toLocal(DataManagementWire::ItemIdsAndInitialRevisionIds wire);
    static DataManagementWire::GenerateItemIdsAndInitialRevisionIdsResponse toWire(
        DataManagement::GenerateItemIdsAndInitialRevisionIdsResponse local);
    static DataManagementWire::GenerateRevisionIdsProperties toWire(DataManagement::GenerateRevisionIdsProperties local);
    static DataManagement::GenerateRevisionIdsProperties toLocal(DataManagementWire::GenerateRevisionIdsProperties wire);
    static DataManagementWire::RevisionIds toWire(DataManagement::RevisionIds local);
    static DataManagement::RevisionIds toLocal(DataManagementWire::RevisionIds wire);
    static DataManagementWire::GenerateRevisionIdsResponse toWire(DataManagement::GenerateRevisionIdsResponse local);

    // relations
    static DataManagementWire::Relationship toWire(DataManagement::Relationship local);
    static DataManagement::Relationship toLocal(DataManagementWire::Relationship wire);
    static DataManagementWire::CreateRelationsOutput toWire(DataManagement::CreateRelationsOutput local);
    static DataManagement::CreateRelationsOutput toLocal(DataManagementWire::CreateRelationsOutput wire);
    static DataManagementWire::CreateRelationsResponse toWire(DataManagement::CreateRelationsResponse local);

    // ownership
    static DataManagementWire::ObjectOwner toWire(DataManagement::ObjectOwner local);
    static DataManagement::ObjectOwner toLocal(DataManagementWire::ObjectOwner wire);

    // Maps. Towards the local side a later entry with an equal key replaces
    // an earlier one; towards the wire entries come in ascending key order.
    // The revision references of the two revision maps are not guarded.
    static std::vector<DataManagementWire::AttributeNameValueMap> toWireAttributeNameValueMap(AttributeMap local);
    static AttributeMap toLocalAttributeNameValueMap(std::vector<DataManagementWire::AttributeNameValueMap> wire);
    static std::vector<DataManagementWire::ItemRevMap> toWireItemRevMap(ItemRevToItemRev local);
    static ItemRevToItemRev toLocalItemRevMap(std::vector<DataManagementWire::ItemRevMap> wire);
    static std::vector<DataManagementWire::ItemRevPropertyMap> toWireItemRevPropertyMap(ItemRevToProperties local);
    static ItemRevToProperties toLocalItemRevPropertyMap(std::vector<DataManagementWire::ItemRevPropertyMap> wire);
    static std::vector<DataManagementWire::IndexToIdMap> toWireIndexToIdMap(IndexToIds local);
    static IndexToIds toLocalIndexToIdMap(std::vector<DataManagementWire::IndexToIdMap> wire);
    static std::vector<DataManagementWire::IndexToRevIdMap> toWireIndexToRevIdMap(IndexToRevIds local);
    static IndexToRevIds toLocalIndexToRevIdMap(std::vector<DataManagementWire::IndexToRevIdMap> wire);

private:
    static std::string deleteObjects(const std::string& requestXml);
    static std::string getProperties(const std::string& requestXml);
    static std::string revise(const std::string& requestXml);
    static std::string generateItemIdsAndInitialRevisionIds(const std::string& requestXml);
    static std::string changeOwnership(const std::string& requestXml);
    static std::string generateRevisionIds(const std::string& requestXml);
    static std::string setDisplayProperties(const std::string& requestXml);
    static std::string createRelations(const std::string& requestXml);
    static std::string createFolders(const std::string& requestXml);
    static std::string createDatasets(const std::string& requestXml);
    static std::string deleteRelations(const std::string& requestXml);
    static std::string createItems(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2006_03
