#pragma once
// Request and result documents of Core-2006-03-DataManagement. Each type is
// declared once from its field list, in dependency order; maps travel as
// arrays of key/value entry types.
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

#include <string>

#define VL_DM0603_MODEL_OBJECT ::Velmora::Schemas::Soa::_2006_03::Base::ModelObject
#define VL_DM0603_SERVICE_DATA ::Velmora::Schemas::Soa::_2006_03::Base::ServiceData

namespace Velmora::Schemas::Core::_2006_03::Datamanagement {

// createFolders
#define VL_WIRE_FIELDS_CreateFolderInput(F, O, A) F(std::string, ClientId) F(std::string, Name) F(std::string, Desc)
#define VL_WIRE_FIELDS_CreateFoldersInput(F, O, A) \
    F(std::string, RelationType) A(CreateFolderInput, Folder) F(VL_DM0603_MODEL_OBJECT, Container)
#define VL_WIRE_FIELDS_CreateFoldersOutput(F, O, A) F(std::string, ClientId) F(VL_DM0603_MODEL_OBJECT, Folder)
#define VL_WIRE_FIELDS_CreateFoldersResponse(F, O, A) \
    A(CreateFoldersOutput, Output) F(VL_DM0603_SERVICE_DATA, ServiceData)

// createItems
#define VL_WIRE_FIELDS_AttributeNameValueMap(F, O, A) F(std::string, Key) F(std::string, Value)
#define VL_WIRE_FIELDS_ExtendedAttributes(F, O, A) F(std::string, ObjectType) A(AttributeNameValueMap, Attribute)
#define VL_WIRE_FIELDS_ItemProperties(F, O, A)                                                              \
    F(std::string, ClientId) F(std::string, Name) F(std::string, Type) F(std::string, Description)          \
    F(std::string, Uom) F(std::string, RevId) F(std::string, ItemId) A(ExtendedAttributes, ExtendedAttribute)
#define VL_WIRE_FIELDS_CreateItemsInput(F, O, A) \
    F(std::string, RelationType) A(ItemProperties, Propertie) F(VL_DM0603_MODEL_OBJECT, Container)
#define VL_WIRE_FIELDS_CreateItemsOutput(F, O, A) \
    F(std::string, ClientId) F(VL_DM0603_MODEL_OBJECT, Item) F(VL_DM0603_MODEL_OBJECT, ItemRev)
#define VL_WIRE_FIELDS_CreateItemsResponse(F, O, A) A(CreateItemsOutput, Output) F(VL_DM0603_SERVICE_DATA, ServiceData)

// createDatasets
#define VL_WIRE_FIELDS_DatasetProperties(F, O, A)                                                         \
    F(std::string, ClientId) F(std::string, Name) F(std::string, RelationType) F(std::string, Type)        \
    F(std::string, Description) F(std::string, ToolUsed) F(VL_DM0603_MODEL_OBJECT, Container)
#define VL_WIRE_FIELDS_CreateDatasetsInput(F, O, A) A(DatasetProperties, Input)
#define VL_WIRE_FIELDS_CreateDatasetsOutput(F, O, A) F(std::string, ClientId) F(VL_DM0603_MODEL_OBJECT, Dataset)
#define VL_WIRE_FIELDS_CreateDatasetsResponse(F, O, A) \
    A(CreateDatasetsOutput, Output) F(VL_DM0603_SERVICE_DATA, ServiceData)

// revise
#define VL_WIRE_FIELDS_ReviseProperties(F, O, A) \
    F(std::string, Name) F(std::string, Description) F(std::string, RevId) A(AttributeNameValueMap, ExtendedAttribute)
#define VL_WIRE_FIELDS_ItemRevPropertyMap(F, O, A) F(VL_DM0603_MODEL_OBJECT, Key) F(ReviseProperties, Value)
#define VL_WIRE_FIELDS_ReviseInput(F, O, A) A(ItemRevPropertyMap, Input)
#define VL_WIRE_FIELDS_ItemRevMap(F, O, A) F(VL_DM0603_MODEL_OBJECT, Key) F(VL_DM0603_MODEL_OBJECT, Value)
#define VL_WIRE_FIELDS_ReviseResponse(F, O, A) \
    A(ItemRevMap, OldItemRevToNewItemRev) F(VL_DM0603_SERVICE_DATA, ServiceData)

// generateItemIdsAndInitialRevisionIds
#define VL_WIRE_FIELDS_GenerateItemIdsAndInitialRevisionIdsProperties(F, O, A) \
    F(int, Count) F(std::string, ItemType) F(VL_DM0603_MODEL_OBJECT, Item)
#define VL_WIRE_FIELDS_GenerateItemIdsAndInitialRevisionIdsInput(F, O, A) \
    A(GenerateItemIdsAndInitialRevisionIdsProperties, Input)
#define VL_WIRE_FIELDS_ItemIdsAndInitialRevisionIds(F, O, A) \
    F(bool, IsItemModify) F(bool, IsRevModify) F(std::string, NewRevId) F(std::string, NewItemId)
#define VL_WIRE_FIELDS_IndexToIdMap(F, O, A) F(int, Key) A(ItemIdsAndInitialRevisionIds, Value)
#define VL_WIRE_FIELDS_GenerateItemIdsAndInitialRevisionIdsResponse(F, O, A) \
    A(IndexToIdMap, OutputItemIdsAndInitialRevisionId) F(VL_DM0603_SERVICE_DATA, ServiceData)

// generateRevisionIds
#define VL_WIRE_FIELDS_GenerateRevisionIdsProperties(F, O, A) F(std::string, ItemType) F(VL_DM0603_MODEL_OBJECT, Item)
#define VL_WIRE_FIELDS_GenerateRevisionIdsInput(F, O, A) A(GenerateRevisionIdsProperties, Input)
#define VL_WIRE_FIELDS_RevisionIds(F, O, A) F(bool, IsModify) F(std::string, NewRevId)
#define VL_WIRE_FIELDS_IndexToRevIdMap(F, O, A) F(int, Key) F(RevisionIds, Value)
#define VL_WIRE_FIELDS_GenerateRevisionIdsResponse(F, O, A) \
    A(IndexToRevIdMap, OutputRevisionId) F(VL_DM0603_SERVICE_DATA, ServiceData)

// createRelations, deleteRelations
#define VL_WIRE_FIELDS_Relationship(F, O, A)                                                          \
    F(std::string, ClientId) F(std::string, RelationType) F(VL_DM0603_MODEL_OBJECT, PrimaryObject)     \
    F(VL_DM0603_MODEL_OBJECT, SecondaryObject) F(VL_DM0603_MODEL_OBJECT, UserData)
#define VL_WIRE_FIELDS_CreateRelationsInput(F, O, A) A(Relationship, Input)
#define VL_WIRE_FIELDS_DeleteRelationsInput(F, O, A) A(Relationship, Input)
#define VL_WIRE_FIELDS_CreateRelationsOutput(F, O, A) F(std::string, ClientId) F(VL_DM0603_MODEL_OBJECT, Relation)
#define VL_WIRE_FIELDS_CreateRelationsResponse(F, O, A) \
    A(CreateRelationsOutput, Output) F(VL_DM0603_SERVICE_DATA, ServiceData)

// changeOwnership, deleteObjects, getProperties, setDisplayProperties
#define VL_WIRE_FIELDS_ObjectOwner(F, O, A) \
    F(VL_DM0603_MODEL_OBJECT, Object) F(VL_DM0603_MODEL_OBJECT, Owner) F(VL_DM0603_MODEL_OBJECT, Group)
#define VL_WIRE_FIELDS_ChangeOwnershipInput(F, O, A) A(ObjectOwner, Input)
#define VL_WIRE_FIELDS_DeleteObjectsInput(F, O, A) A(VL_DM0603_MODEL_OBJECT, Object)
#define VL_WIRE_FIELDS_GetPropertiesInput(F, O, A) A(VL_DM0603_MODEL_OBJECT, Object) A(std::string, Attribute)
#define VL_WIRE_FIELDS_SetDisplayPropertiesInput(F, O, A) \
    A(VL_DM0603_MODEL_OBJECT, Object) A(AttributeNameValueMap, Attribute)

VL_WIRE_DECLARE(CreateFolderInput)
VL_WIRE_DECLARE(CreateFoldersInput)
VL_WIRE_DECLARE(CreateFoldersOutput)
VL_WIRE_DECLARE(CreateFoldersResponse)
VL_WIRE_DECLARE(AttributeNameValueMap)
VL_WIRE_DECLARE(ExtendedAttributes)
VL_WIRE_DECLARE(ItemProperties)
VL_WIRE_DECLARE(CreateItemsInput)
VL_WIRE_DECLARE(CreateItemsOutput)
VL_WIRE_DECLARE(CreateItemsResponse)
VL_WIRE_DECLARE(DatasetProperties)
VL_WIRE_DECLARE(CreateDatasetsInput)
VL_WIRE_DECLARE(CreateDatasetsOutput)
VL_WIRE_DECLARE(CreateDatasetsResponse)
VL_WIRE_DECLARE(ReviseProperties)
VL_WIRE_DECLARE(ItemRevPropertyMap)
VL_WIRE_DECLARE(ReviseInput)
VL_WIRE_DECLARE(ItemRevMap)
VL_WIRE_DECLARE(ReviseResponse)
VL_WIRE_DECLARE(GenerateItemIdsAndInitialRevisionIdsProperties)
VL_WIRE_DECLARE(GenerateItemIdsAndInitialRevisionIdsInput)
VL_WIRE_DECLARE(ItemIdsAndInitialRevisionIds)
VL_WIRE_DECLARE(IndexToIdMap)
VL_WIRE_DECLARE(GenerateItemIdsAndInitialRevisionIdsResponse)
VL_WIRE_DECLARE(GenerateRevisionIdsProperties)
VL_WIRE_DECLARE(GenerateRevisionIdsInput)
VL_WIRE_DECLARE(RevisionIds)
VL_WIRE_DECLARE(IndexToRevIdMap)
VL_WIRE_DECLARE(GenerateRevisionIdsResponse)
VL_WIRE_DECLARE(Relationship)
VL_WIRE_DECLARE(CreateRelationsInput)
VL_WIRE_DECLARE(DeleteRelationsInput)
VL_WIRE_DECLARE(CreateRelationsOutput)
VL_WIRE_DECLARE(CreateRelationsResponse)
VL_WIRE_DECLARE(ObjectOwner)
VL_WIRE_DECLARE(ChangeOwnershipInput)
VL_WIRE_DECLARE(DeleteObjectsInput)
VL_WIRE_DECLARE(GetPropertiesInput)
VL_WIRE_DECLARE(SetDisplayPropertiesInput)

}  // namespace Velmora::Schemas::Core::_2006_03::Datamanagement
