#pragma once
// Request and result documents of Core-2007-01-DataManagement. Each type is
// declared once from its field list, in dependency order; maps travel as
// arrays of key/value entry types.
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

#include <string>

#define VL_DM0701_MODEL_OBJECT ::Velmora::Schemas::Soa::_2006_03::Base::ModelObject
#define VL_DM0701_SERVICE_DATA ::Velmora::Schemas::Soa::_2006_03::Base::ServiceData

namespace Velmora::Schemas::Core::_2007_01::Datamanagement {

// getDatasetCreationRelatedInfo
#define VL_WIRE_FIELDS_GetDatasetCreationRelatedInfoInput(F, O, A) \
    F(std::string, TypeName) F(VL_DM0701_MODEL_OBJECT, ParentObject)
#define VL_WIRE_FIELDS_GetDatasetCreationRelatedInfoResponse(F, O, A)                              \
    F(bool, NameCanBeModified) F(std::string, NewDatasetName) A(std::string, ToolName)             \
    A(std::string, InitValuePropertyRule) F(VL_DM0701_SERVICE_DATA, ServiceData)

// getItemCreationRelatedInfo
#define VL_WIRE_FIELDS_GetItemCreationRelatedInfoInput(F, O, A) \
    F(std::string, TypeName) F(VL_DM0701_MODEL_OBJECT, ParentObject)
#define VL_WIRE_FIELDS_StringArrayMap(F, O, A) F(std::string, Key) A(std::string, Value)
#define VL_WIRE_FIELDS_FormPropDescriptor(F, O, A)                                                      \
    F(int, PropType) F(int, MaxLength) F(bool, IsDisplayable) F(bool, IsRequired) F(std::string, PropName) \
    F(bool, IsArray) F(int, AttachedSpecifier) F(bool, IsModifiable) F(std::string, DisplayName)           \
    F(bool, IsEnabled) F(int, PropValueType) F(VL_DM0701_MODEL_OBJECT, Lov) A(std::string, InterdependentProp)
#define VL_WIRE_FIELDS_FormAttributesInfo(F, O, A) F(std::string, FormType) A(FormPropDescriptor, FormPD)
#define VL_WIRE_FIELDS_GetItemCreationRelatedInfoResponse(F, O, A)                                        \
    F(std::string, RevTypeName) A(std::string, ComplexValuePropertyRule) A(std::string, InitValuePropertyRule) \
    A(StringArrayMap, PatternMap) A(std::string, Uom) A(FormAttributesInfo, FormAttr)                       \
    F(VL_DM0701_SERVICE_DATA, ServiceData)

// refreshObjects
#define VL_WIRE_FIELDS_RefreshObjectsInput(F, O, A) A(VL_DM0701_MODEL_OBJECT, Object)

// createOrUpdateForms
#define VL_WIRE_FIELDS_FormInfo(F, O, A)                                                                  \
    F(bool, SaveDB) F(std::string, ClientId) F(std::string, Name) F(std::string, RelationName)             \
    F(std::string, FormType) F(std::string, Description) F(VL_DM0701_MODEL_OBJECT, FormObject)             \
    F(VL_DM0701_MODEL_OBJECT, ParentObject) A(StringArrayMap, AttributesMap)
#define VL_WIRE_FIELDS_CreateOrUpdateFormsInput(F, O, A) A(FormInfo, Info)
#define VL_WIRE_FIELDS_CreateFormsOutput(F, O, A) F(std::string, ClientId) F(VL_DM0701_MODEL_OBJECT, Form)
#define VL_WIRE_FIELDS_CreateOrUpdateFormsResponse(F, O, A) \
    A(CreateFormsOutput, Output) F(VL_DM0701_SERVICE_DATA, ServiceData)

// whereReferenced
#define VL_WIRE_FIELDS_WhereReferencedInput(F, O, A) F(int, NumLevels) A(VL_DM0701_MODEL_OBJECT, Object)
#define VL_WIRE_FIELDS_WhereReferencedInfo(F, O, A) \
    F(std::string, Relation) F(int, Level) F(VL_DM0701_MODEL_OBJECT, Referencer)
#define VL_WIRE_FIELDS_WhereReferencedOutput(F, O, A) \
    F(VL_DM0701_MODEL_OBJECT, InputObject) A(WhereReferencedInfo, Info)
#define VL_WIRE_FIELDS_WhereReferencedResponse(F, O, A) \
    A(WhereReferencedOutput, Output) F(VL_DM0701_SERVICE_DATA, ServiceData)

// whereUsed
#define VL_WIRE_FIELDS_WhereUsedInput(F, O, A)                                                  \
    F(int, NumLevels) F(bool, WhereUsedPrecise) A(VL_DM0701_MODEL_OBJECT, Object)               \
    F(VL_DM0701_MODEL_OBJECT, Rule)
#define VL_WIRE_FIELDS_WhereUsedParentInfo(F, O, A) F(int, Level) F(VL_DM0701_MODEL_OBJECT, ParentItemRev)
#define VL_WIRE_FIELDS_WhereUsedOutput(F, O, A) F(VL_DM0701_MODEL_OBJECT, InputObject) A(WhereUsedParentInfo, Info)
#define VL_WIRE_FIELDS_WhereUsedResponse(F, O, A) A(WhereUsedOutput, Output) F(VL_DM0701_SERVICE_DATA, ServiceData)

// setProperties
#define VL_WIRE_FIELDS_VecStruct(F, O, A) A(std::string, StringVec)
#define VL_WIRE_FIELDS_NameValueMap(F, O, A) F(std::string, Key) F(VecStruct, Value)
#define VL_WIRE_FIELDS_SetPropertiesInput(F, O, A) A(VL_DM0701_MODEL_OBJECT, Object) A(NameValueMap, Attribute)

// moveToNewFolder
#define VL_WIRE_FIELDS_MoveToNewFolderInfo(F, O, A)                                                \
    F(VL_DM0701_MODEL_OBJECT, OldFolder) F(VL_DM0701_MODEL_OBJECT, NewFolder)                      \
    A(VL_DM0701_MODEL_OBJECT, ObjectsToMove)
#define VL_WIRE_FIELDS_MoveToNewFolderInput(F, O, A) A(MoveToNewFolderInfo, MoveToNewFolderInfo)
#define VL_WIRE_FIELDS_MoveToNewFolderResponse(F, O, A) F(VL_DM0701_SERVICE_DATA, ServiceData)

// generateUID
#define VL_WIRE_FIELDS_GenerateUIDInput(F, O, A) F(int, NUID)
#define VL_WIRE_FIELDS_GenerateUIDResponse(F, O, A) A(std::string, Uid) F(VL_DM0701_SERVICE_DATA, ServiceData)

// getItemFromId
#define VL_WIRE_FIELDS_GetItemFromIdInfo(F, O, A) F(std::string, ItemId) A(std::string, RevId)
#define VL_WIRE_FIELDS_RelationFilter(F, O, A) F(std::string, RelationTypeName) A(std::string, ObjectTypeName)
#define VL_WIRE_FIELDS_GetItemFromIdPref(F, O, A) A(RelationFilter, Pref)
#define VL_WIRE_FIELDS_GetItemFromIdInput(F, O, A) F(int, NRev) A(GetItemFromIdInfo, Info) F(GetItemFromIdPref, Pref)
#define VL_WIRE_FIELDS_GetItemFromIdItemRevOutput(F, O, A) \
    F(VL_DM0701_MODEL_OBJECT, ItemRevision) A(VL_DM0701_MODEL_OBJECT, Dataset)
#define VL_WIRE_FIELDS_GetItemFromIdItemOutput(F, O, A) \
    F(VL_DM0701_MODEL_OBJECT, Item) A(GetItemFromIdItemRevOutput, ItemRevOutput)
#define VL_WIRE_FIELDS_GetItemFromIdResponse(F, O, A) \
    A(GetItemFromIdItemOutput, Output) F(VL_DM0701_SERVICE_DATA, ServiceData)

// saveAsNewItem
#define VL_WIRE_FIELDS_SaveAsNewItemInfo(F, O, A)                                                   \
    F(std::string, ClientId) F(std::string, Name) F(std::string, Description) F(std::string, RevId) \
    F(std::string, ItemId) F(VL_DM0701_MODEL_OBJECT, ItemRevision) F(VL_DM0701_MODEL_OBJECT, Folder)
#define VL_WIRE_FIELDS_SaveAsNewItemInput(F, O, A) A(SaveAsNewItemInfo, Info)
#define VL_WIRE_FIELDS_SaveAsNewItemOutput(F, O, A) F(VL_DM0701_MODEL_OBJECT, Item) F(VL_DM0701_MODEL_OBJECT, ItemRev)
#define VL_WIRE_FIELDS_InputToNewItemMap(F, O, A) F(std::string, Key) F(SaveAsNewItemOutput, Value)
#define VL_WIRE_FIELDS_SaveAsNewItemResponse(F, O, A) \
    A(InputToNewItemMap, InputToNewItem) F(VL_DM0701_SERVICE_DATA, ServiceData)

// Every type of the service, in dependency order.
#define VL_DM0701_WIRE_TYPES(X)                                                                            \
    X(GetDatasetCreationRelatedInfoInput) X(GetDatasetCreationRelatedInfoResponse)                          \
    X(GetItemCreationRelatedInfoInput) X(StringArrayMap) X(FormPropDescriptor) X(FormAttributesInfo)        \
    X(GetItemCreationRelatedInfoResponse) X(RefreshObjectsInput) X(FormInfo) X(CreateOrUpdateFormsInput)    \
    X(CreateFormsOutput) X(CreateOrUpdateFormsResponse) X(WhereReferencedInput) X(WhereReferencedInfo)      \
    X(WhereReferencedOutput) X(WhereReferencedResponse) X(WhereUsedInput) X(WhereUsedParentInfo)            \
    X(WhereUsedOutput) X(WhereUsedResponse) X(VecStruct) X(NameValueMap) X(SetPropertiesInput)              \
    X(MoveToNewFolderInfo) X(MoveToNewFolderInput) X(MoveToNewFolderResponse) X(GenerateUIDInput)           \
    X(GenerateUIDResponse) X(GetItemFromIdInfo) X(RelationFilter) X(GetItemFromIdPref) X(GetItemFromIdInput) \
    X(GetItemFromIdItemRevOutput) X(GetItemFromIdItemOutput) X(GetItemFromIdResponse) X(SaveAsNewItemInfo)  \
    X(SaveAsNewItemInput) X(SaveAsNewItemOutput) X(InputToNewItemMap) X(SaveAsNewItemResponse)

VL_DM0701_WIRE_TYPES(VL_WIRE_DECLARE)

}  // namespace Velmora::Schemas::Core::_2007_01::Datamanagement
