#pragma once
// Request-facing layer of Core-2007-01-DataManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (every one public, all taking and
// returning by value; their field lists are in the source).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/datamanagement0701.hxx"
#include "soa_services/core/code/datamanagement0701impl.hxx"
#include "soa_services/core/schemas/core/_2007_01/datamanagement/datamanagement_types.hxx"

#include <map>
#include <string>
#include <vector>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_DM0701_CONVERTERS(X)                                                                                  \
    X(Record, FormAttributesInfo) X(Record, FormPropDescriptor) X(Record, FormInfo) X(Record, CreateFormsOutput) \
    X(Record, WhereReferencedInfo) X(Record, WhereReferencedOutput) X(Record, WhereUsedParentInfo)               \
    X(Record, WhereUsedOutput) X(Record, VecStruct) X(Record, MoveToNewFolderInfo) X(Record, GetItemFromIdInfo)  \
    X(Record, RelationFilter) X(Record, GetItemFromIdPref) X(Record, GetItemFromIdItemRevOutput)                 \
    X(Record, GetItemFromIdItemOutput) X(Record, SaveAsNewItemInfo) X(Record, SaveAsNewItemOutput)               \
    X(Response, GetDatasetCreationRelatedInfoResponse) X(Response, GetItemCreationRelatedInfoResponse)           \
    X(Response, CreateOrUpdateFormsResponse) X(Response, WhereReferencedResponse) X(Response, WhereUsedResponse) \
    X(Response, MoveToNewFolderResponse) X(Response, GenerateUIDResponse) X(Response, GetItemFromIdResponse)     \
    X(Response, SaveAsNewItemResponse) X(Map, NameValueMap, NameValueMap)                                        \
    X(Map, InputToNewItemMap, InputToNewItemMap) X(Map, StringArrayMap, StringArrayMap)

#define VL_DM0701_DECLARE(...) VL_SKELETON_DECLARE(DataManagement, DataManagementWire, __VA_ARGS__)

namespace Velmora::Services::Core::_2007_01 {

namespace DataManagementWire = ::Velmora::Schemas::Core::_2007_01::Datamanagement;

class DataManagementIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<DataManagementIiopSkeleton, ::Velmora::Soa::Core::_2007_01::DataManagementImpl> {
public:
    using DataManagement = ::Velmora::Soa::Core::_2007_01::DataManagement;
    using NameValueMap = std::map<std::string, DataManagement::VecStruct>;
    using InputToNewItemMap = std::map<std::string, DataManagement::SaveAsNewItemOutput>;
    using StringArrayMap = std::map<std::string, std::vector<std::string>>;

    DataManagementIiopSkeleton();
    DataManagementIiopSkeleton(const DataManagementIiopSkeleton&) = default;
    DataManagementIiopSkeleton& operator=(const DataManagementIiopSkeleton&) = default;
    ~DataManagementIiopSkeleton() = default;

    // Of the maps: towards the local side a later entry with an equal key
    // replaces an earlier one; towards the wire entries come in ascending key
    // order.
    VL_DM0701_CONVERTERS(VL_DM0701_DECLARE)

private:
    static std::string getDatasetCreationRelatedInfo(const std::string& requestXml);
    static std::string setProperties(const std::string& requestXml);
    static std::string moveToNewFolder(const std::string& requestXml);
    static std::string refreshObjects(const std::string& requestXml);
    static std::string getItemFromId(const std::string& requestXml);
    static std::string getItemCreationRelatedInfo(const std::string& requestXml);
    static std::string generateUID(const std::string& requestXml);
    static std::string whereUsed(const std::string& requestXml);
    static std::string whereReferenced(const std::string& requestXml);
    static std::string createOrUpdateForms(const std::string& requestXml);
    static std::string saveAsNewItem(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2007_01
