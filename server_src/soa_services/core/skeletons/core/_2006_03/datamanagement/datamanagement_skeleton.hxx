#pragma once
// Request-facing layer of Core-2006-03-DataManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (every one public, all taking and
// returning by value; their field lists are in the source).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/datamanagement0603.hxx"
#include "soa_services/core/code/datamanagement0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/datamanagement/datamanagement_types.hxx"

#include <map>
#include <string>
#include <vector>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_DM0603_CONVERTERS(X)                                                                        \
    X(Record, CreateFolderInput) X(Record, CreateFoldersOutput) X(Record, ItemProperties)              \
    X(Record, ExtendedAttributes) X(Record, CreateItemsOutput) X(Record, DatasetProperties)            \
    X(Record, CreateDatasetsOutput) X(Record, ReviseProperties)                                        \
    X(Record, GenerateItemIdsAndInitialRevisionIdsProperties) X(Record, ItemIdsAndInitialRevisionIds)  \
    X(Record, GenerateRevisionIdsProperties) X(Record, RevisionIds) X(Record, Relationship)            \
    X(Record, CreateRelationsOutput) X(Record, ObjectOwner) X(Response, CreateFoldersResponse)         \
    X(Response, CreateItemsResponse) X(Response, CreateDatasetsResponse) X(Response, ReviseResponse)   \
    X(Response, GenerateItemIdsAndInitialRevisionIdsResponse) X(Response, GenerateRevisionIdsResponse) \
    X(Response, CreateRelationsResponse) X(Map, AttributeNameValueMap, AttributeMap)                   \
    X(Map, ItemRevMap, ItemRevToItemRev) X(Map, ItemRevPropertyMap, ItemRevToProperties)               \
    X(Map, IndexToIdMap, IndexToIds) X(Map, IndexToRevIdMap, IndexToRevIds)

#define VL_DM0603_DECLARE(...) VL_SKELETON_DECLARE(DataManagement, DataManagementWire, __VA_ARGS__)

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

    // Of the maps: towards the local side a later entry with an equal key
    // replaces an earlier one; towards the wire entries come in ascending key
    // order. The revision references of the two revision maps are not guarded.
    VL_DM0603_CONVERTERS(VL_DM0603_DECLARE)

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
