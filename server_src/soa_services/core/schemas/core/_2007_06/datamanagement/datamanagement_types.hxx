#pragma once
// Request and result documents of Core-2007-06-DataManagement. Each type is
// declared once from its field list, in definition order.
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

#include <string>

#define VL_DM0706_MODEL_OBJECT ::Velmora::Schemas::Soa::_2006_03::Base::ModelObject
#define VL_DM0706_SERVICE_DATA ::Velmora::Schemas::Soa::_2006_03::Base::ServiceData

namespace Velmora::Schemas::Core::_2007_06::Datamanagement {

// validateItemIdsAndRevIds
#define VL_WIRE_FIELDS_ValidateIdsInfo(F, O, A) F(std::string, ItemType) F(std::string, RevId) F(std::string, ItemId)
#define VL_WIRE_FIELDS_ValidateItemIdsAndRevIdsInput(F, O, A) A(ValidateIdsInfo, Info)
#define VL_WIRE_FIELDS_ValidateIdsOutput(F, O, A) \
    F(std::string, ModRevId) F(std::string, ItemIdStatus) F(std::string, RevIdStatus) F(std::string, ModItemId)
#define VL_WIRE_FIELDS_ValidateItemIdsAndRevIdsResponse(F, O, A) \
    A(ValidateIdsOutput, Output) F(VL_DM0706_SERVICE_DATA, ServiceData)

// whereReferencedByRelationName
#define VL_WIRE_FIELDS_RelationAndTypesFilter(F, O, A) F(std::string, RelationTypeName) A(std::string, OtherSideObjectType)
#define VL_WIRE_FIELDS_WhereReferencedByRelationNameInfo(F, O, A) \
    F(VL_DM0706_MODEL_OBJECT, Object) A(RelationAndTypesFilter, Filter)
#define VL_WIRE_FIELDS_WhereReferencedByRelationNameInput(F, O, A) \
    F(int, NumLevels) A(WhereReferencedByRelationNameInfo, Input)
#define VL_WIRE_FIELDS_WhereReferencedByRelationNameOutputInfo(F, O, A) \
    F(std::string, RelationTypeName) F(int, Level) F(VL_DM0706_MODEL_OBJECT, Referencer)
#define VL_WIRE_FIELDS_WhereReferencedByRelationNameOutput(F, O, A) \
    F(VL_DM0706_MODEL_OBJECT, InputObject) A(WhereReferencedByRelationNameOutputInfo, Info)
#define VL_WIRE_FIELDS_WhereReferencedByRelationNameResponse(F, O, A) \
    A(WhereReferencedByRelationNameOutput, Output) F(VL_DM0706_SERVICE_DATA, ServiceData)

// expandGRMRelationsForPrimary, expandGRMRelationsForSecondary
#define VL_WIRE_FIELDS_RelationAndTypesFilter2(F, O, A) F(std::string, RelationName) A(std::string, ObjectTypeName)
#define VL_WIRE_FIELDS_ExpandGRMRelationsPref(F, O, A) F(bool, ExpItemRev) A(RelationAndTypesFilter2, Info)
#define VL_WIRE_FIELDS_ExpandGRMRelationsForPrimaryInput(F, O, A) \
    A(VL_DM0706_MODEL_OBJECT, PrimaryObject) F(ExpandGRMRelationsPref, Pref)
#define VL_WIRE_FIELDS_ExpandGRMRelationsData(F, O, A) \
    F(std::string, RelationName) A(VL_DM0706_MODEL_OBJECT, OtherSideObject)
#define VL_WIRE_FIELDS_ExpandGRMRelationsOutput(F, O, A) \
    F(VL_DM0706_MODEL_OBJECT, InputObject) A(ExpandGRMRelationsData, OtherSideObjData)
#define VL_WIRE_FIELDS_ExpandGRMRelationsResponse(F, O, A) \
    A(ExpandGRMRelationsOutput, Output) F(VL_DM0706_SERVICE_DATA, ServiceData)
#define VL_WIRE_FIELDS_ExpandGRMRelationsForSecondaryInput(F, O, A) \
    A(VL_DM0706_MODEL_OBJECT, SecondaryObject) F(ExpandGRMRelationsPref, Pref)

// getDatasetTypeInfo
#define VL_WIRE_FIELDS_GetDatasetTypeInfoInput(F, O, A) A(std::string, DatasetTypeName)
#define VL_WIRE_FIELDS_ReferenceInfo(F, O, A) \
    F(bool, IsObject) F(std::string, FileExtension) F(std::string, FileFormat) F(std::string, ReferenceName)
#define VL_WIRE_FIELDS_DatasetTypeInfo(F, O, A) F(VL_DM0706_MODEL_OBJECT, Tag) A(ReferenceInfo, RefInfo)
#define VL_WIRE_FIELDS_DatasetTypeInfoResponse(F, O, A) A(DatasetTypeInfo, Info) F(VL_DM0706_SERVICE_DATA, ServiceData)

#define VL_DM0706_WIRE_TYPES(X)                                                                            \
    X(ValidateIdsInfo) X(ValidateItemIdsAndRevIdsInput) X(ValidateIdsOutput) X(ValidateItemIdsAndRevIdsResponse) \
    X(RelationAndTypesFilter) X(WhereReferencedByRelationNameInfo) X(WhereReferencedByRelationNameInput)         \
    X(WhereReferencedByRelationNameOutputInfo) X(WhereReferencedByRelationNameOutput)                            \
    X(WhereReferencedByRelationNameResponse) X(RelationAndTypesFilter2) X(ExpandGRMRelationsPref)                \
    X(ExpandGRMRelationsForPrimaryInput) X(ExpandGRMRelationsData) X(ExpandGRMRelationsOutput)                   \
    X(ExpandGRMRelationsResponse) X(GetDatasetTypeInfoInput) X(ReferenceInfo) X(DatasetTypeInfo)                 \
    X(DatasetTypeInfoResponse) X(ExpandGRMRelationsForSecondaryInput)

VL_DM0706_WIRE_TYPES(VL_WIRE_DECLARE)

}  // namespace Velmora::Schemas::Core::_2007_06::Datamanagement
