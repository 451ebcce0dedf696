#pragma once
// Request-facing layer of Core-2007-01-DataManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (both directions, every one public,
// all taking and returning by value).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/datamanagement0701.hxx"
#include "soa_services/core/code/datamanagement0701impl.hxx"
#include "soa_services/core/schemas/core/_2007_01/datamanagement/datamanagement_types.hxx"

#include <map>
#include <string>
#include <vector>

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

    // getDatasetCreationRelatedInfo
    static DataManagementWire::GetDatasetCreationRelatedInfoResponse toWire(
        DataManagement::GetDatasetCreationRelatedInfoResponse local);

    // getItemCreationRelatedInfo
    static DataManagementWire::GetItemCreationRelatedInfoResponse toWire(
        DataManagement::GetItemCreationRelatedInfoResponse local);
    static DataManagementWire::FormAttributesInfo toWire(DataManagement::FormAttributesInfo local);
    static DataManagement::FormAttributesInfo toLocal(DataManagementWire::FormAttributesInfo wire);
    static DataManagementWire::FormPropDescriptor toWire(DataManagement::FormPropDescriptor local);
    static DataManagement::FormPropDescriptor toLocal(DataManagementWire::FormPropDescriptor wire);

    // createOrUpdateForms
    static DataManagementWire::FormInfo toWire(DataManagement::FormInfo local);
    static DataManagement::FormInfo toLocal(DataManagementWire::FormInfo wire);
    static DataManagementWire::CreateFormsOutput toWire(DataManagement::CreateFormsOutput local);
    static DataManagement::CreateFormsOutput toLocal(DataManagementWire::CreateFormsOutput wire);
    static DataManagementWire::CreateOrUpdateFormsResponse toWire(DataManagement::CreateOrUpdateFormsResponse local);

    // whereReferenced
    static DataManagementWire::WhereReferencedInfo toWire(DataManagement::WhereReferencedInfo local);
    static DataManagement::WhereReferencedInfo toLocal(DataManagementWire::WhereReferencedInfo wire);
    static DataManagementWire::WhereReferencedOutput toWire(DataManagement::WhereReferencedOutput local);
    static DataManagement::WhereReferencedOutput toLocal(DataManagementWire::WhereReferencedOutput wire);
    static DataManagementWire::WhereReferencedResponse toWire(DataManagement::WhereReferencedResponse local);

    // whereUsed
    static DataManagementWire::WhereUsedParentInfo toWire(DataManagement::WhereUsedParentInfo local);
    static DataManagement::WhereUsedParentInfo toLocal(DataManagementWire::WhereUsedParentInfo wire);
    static DataManagementWire::WhereUsedOutput toWire(DataManagement::WhereUsedOutput local);
    static DataManagement::WhereUsedOutput toLocal(DataManagementWire::WhereUsedOutput wire);
    static DataManagementWire::WhereUsedResponse toWire(DataManagement::WhereUsedResponse local);

    // setProperties
    static DataManagementWire::VecStruct toWire(DataManagement::VecStruct local);
    static DataManagement::VecStruct toLocal(DataManagementWire::VecStruct wire);

    // moveToNewFolder
    static DataManagementWire::MoveToNewFolderInfo toWire(DataManagement::MoveToNewFolderInfo local);
    static DataManagement::MoveToNewFolderInfo toLocal(DataManagementWire::MoveToNewFolderInfo wire);
    static DataManagementWire::MoveToNewFolderResponse toWire(DataManagement::MoveToNewFolderResponse local);

    // generateUID
    static DataManagementWire::GenerateUIDResponse toWire(DataManagement::GenerateUIDResponse local);

    // getItemFromId
    static DataManagementWire::GetItemFromIdInfo toWire(DataManagement::GetItemFromIdInfo local);
    static DataManagement::GetItemFromIdInfo toLocal(DataManagementWire::GetItemFromIdInfo wire);
    static DataManagementWire::RelationFilter toWire(DataManagement::RelationFilter local);
    static DataManagement::RelationFilter toLocal(DataManagementWire::RelationFilter wire);
    static DataManagementWire::GetItemFromIdPref toWire(DataManagement::GetItemFromIdPref local);
    static DataManagement::GetItemFromIdPref toLocal(DataManagementWire::GetItemFromIdPref wire);
    static DataManagementWire::GetItemFromIdItemRevOutput toWire(DataManagement::GetItemFromIdItemRevOutput local);
    static DataManagement::GetItemFromIdItemRevOutput toLocal(DataManagementWire::GetItemFromIdItemRevOutput wire);
    static DataManagementWire::GetItemFromIdItemOutput toWire(DataManagement::GetItemFromIdItemOutput local);
    static DataManagement::GetItemFromIdItemOutput toLocal(DataManagementWire::GetItemFromIdItemOutput wire);
    static DataManagementWire::GetItemFromIdResponse toWire(DataManagement::GetItemFromIdResponse local);

    // saveAsNewItem
    static DataManagementWire::SaveAsNewItemInfo toWire(DataManagement::SaveAsNewItemInfo local);
    static DataManagement::SaveAsNewItemInfo toLocal(DataManagementWire::SaveAsNewItemInfo wire);
    static DataManagementWire::SaveAsNewItemOutput toWire(DataManagement::SaveAsNewItemOutput local);
    static DataManagement::SaveAsNewItemOutput toLocal(DataManagementWire::SaveAsNewItemOutput wire);
    static DataManagementWire::SaveAsNewItemResponse toWire(DataManagement::SaveAsNewItemResponse local);

    // Maps. Towards the local side a later entry with an equal key replaces
    // an earlier one; towards the wire entries come in ascending key order.
    static std::vector<DataManagementWire::NameValueMap> toWireNameValueMap(NameValueMap local);
    static NameValueMap toLocalNameValueMap(std::vector<DataManagementWire::NameValueMap> wire);
    static std::vector<DataManagementWire::InputToNewItemMap> toWireInputToNewItemMap(InputToNewItemMap local);
    static InputToNewItemMap toLocalInputToNewItemMap(std::vector<DataManagementWire::InputToNewItemMap> wire);
    static std::vector<DataManagementWire::StringArrayMap> toWireStringArrayMap(StringArrayMap local);
    static StringArrayMap toLocalStringArrayMap(std::vector<DataManagementWire::StringArrayMap> wire);

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
