#include "soa_services/core/skeletons/core/_2007_01/datamanagement/datamanagement_skeleton.hxx"

#include <tuple>
#include <utility>

namespace Velmora::Services::Core::_2007_01 {

namespace {

namespace Wire = ::Velmora::Schemas::Core::_2007_01::Datamanagement;
using Skeleton = DataManagementIiopSkeleton;
using Local = Skeleton::DataManagement;
using vl::skeleton::Handlers;
using vl::skeleton::toLocalRef;
using vl::skeleton::toLocalRecords;
using vl::skeleton::toLocalRefs;

}  // namespace

DataManagementIiopSkeleton::DataManagementIiopSkeleton() : ServiceSkeleton("DataManagement") {
    bind("getDatasetCreationRelatedInfo", &getDatasetCreationRelatedInfo);
    bind("setProperties", &setProperties);
    bind("moveToNewFolder", &moveToNewFolder);
    bind("refreshObjects", &refreshObjects);
    bind("getItemFromId", &getItemFromId);
    bind("getItemCreationRelatedInfo", &getItemCreationRelatedInfo);
    bind("generateUID", &generateUID);
    bind("whereUsed", &whereUsed);
    bind("whereReferenced", &whereReferenced);
    bind("createOrUpdateForms", &createOrUpdateForms);
    bind("saveAsNewItem", &saveAsNewItem);
}

// ---- converters: one field list per struct and map entry, in the local
// declaration order (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_GetDatasetCreationRelatedInfoResponse(X)                                                     \
    X(Strings, toolNames, ToolName) X(Value, newDatasetName, NewDatasetName)                                  \
    X(Value, nameCanBeModified, NameCanBeModified) X(Strings, initValuePropertyRules, InitValuePropertyRule) \
    X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GetItemCreationRelatedInfoResponse(X)                                                             \
    X(Strings, complexValuePropertyRules, ComplexValuePropertyRule)                                                 \
    X(Strings, initValuePropertyRules, InitValuePropertyRule) X(Map, patternMap, PatternMap, StringArrayMap)        \
    X(Strings, uoms, Uom) X(Records, formAttrs, FormAttr) X(Value, revTypeName, RevTypeName)                        \
    X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_FormAttributesInfo(X) X(Value, formType, FormType) X(Records, formPDs, FormPD)
#define VL_FIELDS_FormPropDescriptor(X)                                                                     \
    X(Value, propName, PropName) X(Value, displayName, DisplayName) X(Value, propValueType, PropValueType) \
    X(Value, propType, PropType) X(Value, isDisplayable, IsDisplayable) X(Value, isArray, IsArray)         \
    X(Ref, lov, Lov) X(Value, isRequired, IsRequired) X(Value, isEnabled, IsEnabled)                        \
    X(Value, isModifiable, IsModifiable) X(Value, attachedSpecifier, AttachedSpecifier)                     \
    X(Value, maxLength, MaxLength) X(Strings, interdependentProps, InterdependentProp)
#define VL_FIELDS_FormInfo(X)                                                                                 \
    X(Value, clientId, ClientId) X(Ref, formObject, FormObject) X(Ref, parentObject, ParentObject)           \
    X(Value, relationName, RelationName) X(Value, saveDB, SaveDB) X(Value, name, Name)                       \
    X(Value, description, Description) X(Value, formType, FormType)                                          \
    X(Map, attributesMap, AttributesMap, StringArrayMap)
#define VL_FIELDS_CreateFormsOutput(X) X(Value, clientId, ClientId) X(Ref, form, Form)
#define VL_FIELDS_CreateOrUpdateFormsResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_WhereReferencedInfo(X) \
    X(Ref, referencer, Referencer) X(Value, relation, Relation) X(Value, level, Level)
#define VL_FIELDS_WhereReferencedOutput(X) X(Ref, inputObject, InputObject) X(Records, infos, Info)
#define VL_FIELDS_WhereReferencedResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_WhereUsedParentInfo(X) X(Ref, parentItemRev, ParentItemRev) X(Value, level, Level)
#define VL_FIELDS_WhereUsedOutput(X) X(Ref, inputObject, InputObject) X(Records, infos, Info)
#define VL_FIELDS_WhereUsedResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_VecStruct(X) X(Strings, stringVecArray, StringVec)
#define VL_FIELDS_MoveToNewFolderInfo(X) \
    X(Ref, oldFolder, OldFolder) X(Ref, newFolder, NewFolder) X(Refs, objectsToMove, ObjectsToMove)
#define VL_FIELDS_MoveToNewFolderResponse(X) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GenerateUIDResponse(X) X(Strings, uids, Uid) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_GetItemFromIdInfo(X) X(Value, itemId, ItemId) X(Strings, revIds, RevId)
#define VL_FIELDS_RelationFilter(X) \
    X(Value, relationTypeName, RelationTypeName) X(Strings, objectTypeNames, ObjectTypeName)
#define VL_FIELDS_GetItemFromIdPref(X) X(Records, prefs, Pref)
#define VL_FIELDS_GetItemFromIdItemRevOutput(X) X(Ref, itemRevision, ItemRevision) X(Refs, datasets, Dataset)
#define VL_FIELDS_GetItemFromIdItemOutput(X) X(Ref, item, Item) X(Records, itemRevOutputs, ItemRevOutput)
#define VL_FIELDS_GetItemFromIdResponse(X) X(Records, output, Output) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_SaveAsNewItemInfo(X)                                                                    \
    X(Value, clientId, ClientId) X(Ref, itemRevision, ItemRevision) X(Value, itemId, ItemId)             \
    X(Value, revId, RevId) X(Value, name, Name) X(Value, description, Description) X(Ref, folder, Folder)
#define VL_FIELDS_SaveAsNewItemOutput(X) X(Ref, item, Item) X(Ref, itemRev, ItemRev)
#define VL_FIELDS_SaveAsNewItemResponse(X) \
    X(Map, inputToNewItem, InputToNewItem, InputToNewItemMap) X(ServiceData, serviceData, ServiceData)

#define VL_FIELDS_NameValueMap(X) X(Value, key, Key) X(Record, value, Value)
#define VL_FIELDS_InputToNewItemMap(X) X(Value, key, Key) X(Record, value, Value)
#define VL_FIELDS_StringArrayMap(X) X(Value, key, Key) X(Strings, value, Value)

VL_DM0701_CONVERTERS(VL_SKELETON_DEFINE)

// ---- operations

namespace {

vl::skeleton::Spans spansOf(const char* operation) {
    return vl::skeleton::Spans("Core", "_2007_01", "DataManagement", operation);
}

}  // namespace

std::string Skeleton::getDatasetCreationRelatedInfo(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getDatasetCreationRelatedInfo");
    return vl::skeleton::run<Handlers::None, Wire::GetDatasetCreationRelatedInfoInput>(
        spans, "GetDatasetCreationRelatedInfoResponse", requestXml,
        [](const Wire::GetDatasetCreationRelatedInfoInput& in) {
            std::string typeName = in.getTypeName();
            return std::make_pair(std::move(typeName), toLocalRef(in.getParentObject()));
        },
        [](auto& args) { return _service->getDatasetCreationRelatedInfo(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetDatasetCreationRelatedInfoResponse>);
}

std::string Skeleton::setProperties(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("setProperties");
    return vl::skeleton::run<Handlers::None, Wire::SetPropertiesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::SetPropertiesInput& in) {
            auto objects = toLocalRefs<std::vector<Tag>>(in.getObjectArray());
            return std::make_pair(std::move(objects), toLocalNameValueMap(in.getAttributeArray()));
        },
        [](auto& args) { return _service->setProperties(args.first, args.second); },
        &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::moveToNewFolder(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("moveToNewFolder");
    return vl::skeleton::run<Handlers::None, Wire::MoveToNewFolderInput>(
        spans, "MoveToNewFolderResponse", requestXml,
        [](const Wire::MoveToNewFolderInput& in) {
            return toLocalRecords<Skeleton>(in.getMoveToNewFolderInfoArray());
        },
        [](const auto& infos) { return _service->moveToNewFolder(infos); },
        &vl::skeleton::toWireResponse<Skeleton, Local::MoveToNewFolderResponse>);
}

std::string Skeleton::refreshObjects(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("refreshObjects");
    return vl::skeleton::run<Handlers::None, Wire::RefreshObjectsInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::RefreshObjectsInput& in) { return toLocalRefs<std::vector<Tag>>(in.getObjectArray()); },
        [](const std::vector<Tag>& objects) { return _service->refreshObjects(objects); },
        &vl::skeleton::toStreamedServiceData);
}

std::string Skeleton::getItemFromId(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getItemFromId");
    return vl::skeleton::run<Handlers::None, Wire::GetItemFromIdInput>(
        spans, "GetItemFromIdResponse", requestXml,
        [](const Wire::GetItemFromIdInput& in) {
            auto infos = toLocalRecords<Skeleton>(in.getInfoArray());
            int nRev = in.getNRev();
            return std::make_tuple(std::move(infos), nRev, toLocal(in.getPref()));
        },
        [](auto& args) { return _service->getItemFromId(std::get<0>(args), std::get<1>(args), std::get<2>(args)); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetItemFromIdResponse>);
}

std::string Skeleton::getItemCreationRelatedInfo(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getItemCreationRelatedInfo");
    return vl::skeleton::run<Handlers::None, Wire::GetItemCreationRelatedInfoInput>(
        spans, "GetItemCreationRelatedInfoResponse", requestXml,
        [](const Wire::GetItemCreationRelatedInfoInput& in) {
            std::string typeName = in.getTypeName();
            return std::make_pair(std::move(typeName), toLocalRef(in.getParentObject()));
        },
        [](auto& args) { return _service->getItemCreationRelatedInfo(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetItemCreationRelatedInfoResponse>);
}

std::string Skeleton::generateUID(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("generateUID");
    return vl::skeleton::run<Handlers::None, Wire::GenerateUIDInput>(
        spans, "GenerateUIDResponse", requestXml, [](const Wire::GenerateUIDInput& in) { return in.getNUID(); },
        [](int count) { return _service->generateUID(count); },
        &vl::skeleton::toWireResponse<Skeleton, Local::GenerateUIDResponse>);
}

std::string Skeleton::whereUsed(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("whereUsed");
    return vl::skeleton::run<Handlers::None, Wire::WhereUsedInput>(
        spans, "WhereUsedResponse", requestXml,
        [](const Wire::WhereUsedInput& in) {
            auto objects = toLocalRefs<std::vector<Tag>>(in.getObjectArray());
            int numLevels = in.getNumLevels();
            bool precise = in.getWhereUsedPrecise();
            return std::make_tuple(std::move(objects), numLevels, precise, toLocalRef(in.getRule()));
        },
        [](auto& args) {
            return _service->whereUsed(std::get<0>(args), std::get<1>(args), std::get<2>(args), std::get<3>(args));
        },
        &vl::skeleton::toWireResponse<Skeleton, Local::WhereUsedResponse>);
}

std::string Skeleton::whereReferenced(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("whereReferenced");
    return vl::skeleton::run<Handlers::None, Wire::WhereReferencedInput>(
        spans, "WhereReferencedResponse", requestXml,
        [](const Wire::WhereReferencedInput& in) {
            auto objects = toLocalRefs<std::vector<POMRef<WorkspaceObject>>>(in.getObjectArray());
            return std::make_pair(std::move(objects), in.getNumLevels());
        },
        [](auto& args) { return _service->whereReferenced(args.first, args.second); },
        &vl::skeleton::toWireResponse<Skeleton, Local::WhereReferencedResponse>);
}

std::string Skeleton::createOrUpdateForms(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createOrUpdateForms");
    return vl::skeleton::run<Handlers::None, Wire::CreateOrUpdateFormsInput>(
        spans, "CreateOrUpdateFormsResponse", requestXml,
        [](const Wire::CreateOrUpdateFormsInput& in) {
            return toLocalRecords<Skeleton>(in.getInfoArray());
        },
        [](const auto& infos) { return _service->createOrUpdateForms(infos); },
        &vl::skeleton::toWireResponse<Skeleton, Local::CreateOrUpdateFormsResponse>);
}

std::string Skeleton::saveAsNewItem(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("saveAsNewItem");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SaveAsNewItemInput>(
        spans, "SaveAsNewItemResponse", requestXml,
        [](const Wire::SaveAsNewItemInput& in) {
            return toLocalRecords<Skeleton>(in.getInfoArray());
        },
        [](const auto& infos) { return _service->saveAsNewItem(infos); },
        &vl::skeleton::toWireResponse<Skeleton, Local::SaveAsNewItemResponse>);
}

}  // namespace Velmora::Services::Core::_2007_01
