#include "soa_services/core/skeletons/core/_2007_01/datamanagement/datamanagement_skeleton.hxx"

#include <tuple>
#include <type_traits>
#include <utility>

namespace Velmora::Services::Core::_2007_01 {

namespace {

namespace Wire = ::Velmora::Schemas::Core::_2007_01::Datamanagement;
namespace BaseWire = ::Velmora::Schemas::Soa::_2006_03::Base;
using Skeleton = DataManagementIiopSkeleton;
using DataManagement = Skeleton::DataManagement;
using vl::skeleton::Handlers;
using vl::skeleton::toLocalRef;

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

// Every wire reference becomes a tag (or a typed reference holding only the
// tag): none is left out, duplicates stay.
template <class LocalVector>
LocalVector toLocalRefs(const std::vector<BaseWire::ModelObject>& objects) {
    LocalVector local;
    local.reserve(objects.size());
    for (const auto& object : objects) local.push_back(toLocalRef(object));
    return local;
}

using vl::skeleton::toWireEntries;

template <class Getter>
using WireElementOf = typename std::remove_cvref_t<Getter>::value_type;

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

// ---- struct converters
//
// One list per struct gives its fields in local declaration order, each with
// its wire field and how it crosses; both directions are expanded from it:
//   V(f, W)     a string, int or bool, unchanged
//   S(f, W)     a string array
//   R(f, W)     one reference: to the wire the null reference when it cannot
//               be made (its error cleared); to local the tag of the uid
//   L(f, W)     a list of references: to the wire the ones that cannot be
//               made are left out; to local every one
//   N(f, W)     an array of records, each through its own converter
//   M(f, W, E)  a map, through the map converter of entry type E
// A response also carries its service data, prepared last.

#define VL_DM0701_GetDatasetCreationRelatedInfoResponse(V, S, R, L, N, M)                            \
    S(toolNames, ToolName) V(newDatasetName, NewDatasetName) V(nameCanBeModified, NameCanBeModified) \
    S(initValuePropertyRules, InitValuePropertyRule)
#define VL_DM0701_GetItemCreationRelatedInfoResponse(V, S, R, L, N, M)                                      \
    S(complexValuePropertyRules, ComplexValuePropertyRule) S(initValuePropertyRules, InitValuePropertyRule) \
    M(patternMap, PatternMap, StringArrayMap) S(uoms, Uom) N(formAttrs, FormAttr) V(revTypeName, RevTypeName)
#define VL_DM0701_FormAttributesInfo(V, S, R, L, N, M) V(formType, FormType) N(formPDs, FormPD)
#define VL_DM0701_FormPropDescriptor(V, S, R, L, N, M)                                                   \
    V(propName, PropName) V(displayName, DisplayName) V(propValueType, PropValueType) V(propType, PropType) \
    V(isDisplayable, IsDisplayable) V(isArray, IsArray) R(lov, Lov) V(isRequired, IsRequired)               \
    V(isEnabled, IsEnabled) V(isModifiable, IsModifiable) V(attachedSpecifier, AttachedSpecifier)           \
    V(maxLength, MaxLength) S(interdependentProps, InterdependentProp)
#define VL_DM0701_FormInfo(V, S, R, L, N, M)                                                          \
    V(clientId, ClientId) R(formObject, FormObject) R(parentObject, ParentObject)                     \
    V(relationName, RelationName) V(saveDB, SaveDB) V(name, Name) V(description, Description)         \
    V(formType, FormType) M(attributesMap, AttributesMap, StringArrayMap)
#define VL_DM0701_CreateFormsOutput(V, S, R, L, N, M) V(clientId, ClientId) R(form, Form)
#define VL_DM0701_CreateOrUpdateFormsResponse(V, S, R, L, N, M) N(output, Output)
#define VL_DM0701_WhereReferencedInfo(V, S, R, L, N, M) \
    R(referencer, Referencer) V(relation, Relation) V(level, Level)
#define VL_DM0701_WhereReferencedOutput(V, S, R, L, N, M) R(inputObject, InputObject) N(infos, Info)
#define VL_DM0701_WhereReferencedResponse(V, S, R, L, N, M) N(output, Output)
#define VL_DM0701_WhereUsedParentInfo(V, S, R, L, N, M) R(parentItemRev, ParentItemRev) V(level, Level)
#define VL_DM0701_WhereUsedOutput(V, S, R, L, N, M) R(inputObject, InputObject) N(infos, Info)
#define VL_DM0701_WhereUsedResponse(V, S, R, L, N, M) N(output, Output)
#define VL_DM0701_VecStruct(V, S, R, L, N, M) S(stringVecArray, StringVec)
#define VL_DM0701_MoveToNewFolderInfo(V, S, R, L, N, M) \
    R(oldFolder, OldFolder) R(newFolder, NewFolder) L(objectsToMove, ObjectsToMove)
#define VL_DM0701_MoveToNewFolderResponse(V, S, R, L, N, M)
#define VL_DM0701_GenerateUIDResponse(V, S, R, L, N, M) S(uids, Uid)
#define VL_DM0701_GetItemFromIdInfo(V, S, R, L, N, M) V(itemId, ItemId) S(revIds, RevId)
#define VL_DM0701_RelationFilter(V, S, R, L, N, M) \
    V(relationTypeName, RelationTypeName) S(objectTypeNames, ObjectTypeName)
#define VL_DM0701_GetItemFromIdPref(V, S, R, L, N, M) N(prefs, Pref)
#define VL_DM0701_GetItemFromIdItemRevOutput(V, S, R, L, N, M) R(itemRevision, ItemRevision) L(datasets, Dataset)
#define VL_DM0701_GetItemFromIdItemOutput(V, S, R, L, N, M) R(item, Item) N(itemRevOutputs, ItemRevOutput)
#define VL_DM0701_GetItemFromIdResponse(V, S, R, L, N, M) N(output, Output)
#define VL_DM0701_SaveAsNewItemInfo(V, S, R, L, N, M)                                                  \
    V(clientId, ClientId) R(itemRevision, ItemRevision) V(itemId, ItemId) V(revId, RevId) V(name, Name) \
    V(description, Description) R(folder, Folder)
#define VL_DM0701_SaveAsNewItemOutput(V, S, R, L, N, M) R(item, Item) R(itemRev, ItemRev)
#define VL_DM0701_SaveAsNewItemResponse(V, S, R, L, N, M) M(inputToNewItem, InputToNewItem, InputToNewItemMap)

#define VL_DM0701_TW_V(f, W) wire.set##W(local.f);
#define VL_DM0701_TW_S(f, W) wire.set##W##Array(local.f);
#define VL_DM0701_TW_R(f, W) wire.set##W(vl::skeleton::toWireRef(vl::skeleton::tagOf(local.f)));
#define VL_DM0701_TW_L(f, W) wire.set##W##Array(vl::skeleton::toWireRefs(local.f));
#define VL_DM0701_TW_N(f, W) wire.set##W##Array(toWireArray<WireElementOf<decltype(wire.get##W##Array())>>(local.f));
#define VL_DM0701_TW_M(f, W, E) wire.set##W##Array(Skeleton::toWire##E(std::move(local.f)));

#define VL_DM0701_TL_V(f, W) local.f = wire.get##W();
#define VL_DM0701_TL_S(f, W) local.f = wire.get##W##Array();
#define VL_DM0701_TL_R(f, W) local.f = toLocalRef(wire.get##W());
#define VL_DM0701_TL_L(f, W) local.f = toLocalRefs<decltype(local.f)>(wire.get##W##Array());
#define VL_DM0701_TL_N(f, W) local.f = toLocalArray<decltype(local.f)::value_type>(wire.get##W##Array());
#define VL_DM0701_TL_M(f, W, E) local.f = Skeleton::toLocal##E(wire.get##W##Array());

#define VL_DM0701_TO_WIRE_FIELDS(X)                                                                         \
    VL_DM0701_##X(VL_DM0701_TW_V, VL_DM0701_TW_S, VL_DM0701_TW_R, VL_DM0701_TW_L, VL_DM0701_TW_N, \
                  VL_DM0701_TW_M)

#define VL_DM0701_RECORD(X)                                                                                \
    Wire::X Skeleton::toWire(DataManagement::X local) {                                                    \
        Wire::X wire;                                                                                      \
        VL_DM0701_TO_WIRE_FIELDS(X)                                                                        \
        return wire;                                                                                       \
    }                                                                                                      \
    DataManagement::X Skeleton::toLocal(Wire::X wire) {                                                    \
        DataManagement::X local;                                                                           \
        VL_DM0701_##X(VL_DM0701_TL_V, VL_DM0701_TL_S, VL_DM0701_TL_R, VL_DM0701_TL_L, VL_DM0701_TL_N, \
                      VL_DM0701_TL_M)                                                                      \
        return local;                                                                                      \
    }

#define VL_DM0701_RESPONSE(X)                                                             \
    Wire::X Skeleton::toWire(DataManagement::X local) {                                   \
        Wire::X wire;                                                                     \
        VL_DM0701_TO_WIRE_FIELDS(X)                                                       \
        wire.setServiceData(vl::skeleton::toWireServiceData(std::move(local.serviceData))); \
        return wire;                                                                      \
    }

VL_DM0701_RESPONSE(GetDatasetCreationRelatedInfoResponse)
VL_DM0701_RESPONSE(GetItemCreationRelatedInfoResponse)
VL_DM0701_RECORD(FormAttributesInfo)
VL_DM0701_RECORD(FormPropDescriptor)
VL_DM0701_RECORD(FormInfo)
VL_DM0701_RECORD(CreateFormsOutput)
VL_DM0701_RESPONSE(CreateOrUpdateFormsResponse)
VL_DM0701_RECORD(WhereReferencedInfo)
VL_DM0701_RECORD(WhereReferencedOutput)
VL_DM0701_RESPONSE(WhereReferencedResponse)
VL_DM0701_RECORD(WhereUsedParentInfo)
VL_DM0701_RECORD(WhereUsedOutput)
VL_DM0701_RESPONSE(WhereUsedResponse)
VL_DM0701_RECORD(VecStruct)
VL_DM0701_RECORD(MoveToNewFolderInfo)
VL_DM0701_RESPONSE(MoveToNewFolderResponse)
VL_DM0701_RESPONSE(GenerateUIDResponse)
VL_DM0701_RECORD(GetItemFromIdInfo)
VL_DM0701_RECORD(RelationFilter)
VL_DM0701_RECORD(GetItemFromIdPref)
VL_DM0701_RECORD(GetItemFromIdItemRevOutput)
VL_DM0701_RECORD(GetItemFromIdItemOutput)
VL_DM0701_RESPONSE(GetItemFromIdResponse)
VL_DM0701_RECORD(SaveAsNewItemInfo)
VL_DM0701_RECORD(SaveAsNewItemOutput)
VL_DM0701_RESPONSE(SaveAsNewItemResponse)

// ---- maps

std::vector<Wire::NameValueMap> Skeleton::toWireNameValueMap(NameValueMap local) {
    return toWireEntries<Wire::NameValueMap>(local, [](Wire::NameValueMap& entry, DataManagement::VecStruct& value) {
        entry.setValue(toWire(value));
    });
}

Skeleton::NameValueMap Skeleton::toLocalNameValueMap(std::vector<Wire::NameValueMap> wire) {
    return vl::skeleton::toLocalMap<NameValueMap>(wire, [](const Wire::NameValueMap& entry) {
        return std::make_pair(entry.getKey(), toLocal(entry.getValue()));
    });
}

std::vector<Wire::InputToNewItemMap> Skeleton::toWireInputToNewItemMap(InputToNewItemMap local) {
    return toWireEntries<Wire::InputToNewItemMap>(
        local, [](Wire::InputToNewItemMap& entry, DataManagement::SaveAsNewItemOutput& value) {
            entry.setValue(toWire(value));
        });
}

Skeleton::InputToNewItemMap Skeleton::toLocalInputToNewItemMap(std::vector<Wire::InputToNewItemMap> wire) {
    return vl::skeleton::toLocalMap<InputToNewItemMap>(wire, [](const Wire::InputToNewItemMap& entry) {
        return std::make_pair(entry.getKey(), toLocal(entry.getValue()));
    });
}

std::vector<Wire::StringArrayMap> Skeleton::toWireStringArrayMap(StringArrayMap local) {
    return toWireEntries<Wire::StringArrayMap>(
        local, [](Wire::StringArrayMap& entry, std::vector<std::string>& value) { entry.setValueArray(value); });
}

Skeleton::StringArrayMap Skeleton::toLocalStringArrayMap(std::vector<Wire::StringArrayMap> wire) {
    return vl::skeleton::toLocalMap<StringArrayMap>(wire, [](const Wire::StringArrayMap& entry) {
        return std::make_pair(entry.getKey(), entry.getValueArray());
    });
}

// ---- operations

namespace {

BaseWire::ServiceData serviceDataToWire(Velmora::Soa::Server::ServiceData&& data) {
    return vl::skeleton::toWireServiceData(std::move(data));
}

// A struct result goes by value to its converter: the one copy is the
// converter's parameter.
template <class Local>
auto responseToWire(Local&& local) {
    return Skeleton::toWire(std::move(local));
}

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
        &responseToWire<DataManagement::GetDatasetCreationRelatedInfoResponse>);
}

std::string Skeleton::setProperties(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("setProperties");
    return vl::skeleton::run<Handlers::None, Wire::SetPropertiesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::SetPropertiesInput& in) {
            auto objects = toLocalRefs<std::vector<Tag>>(in.getObjectArray());
            return std::make_pair(std::move(objects), toLocalNameValueMap(in.getAttributeArray()));
        },
        [](auto& args) { return _service->setProperties(args.first, args.second); }, &serviceDataToWire);
}

std::string Skeleton::moveToNewFolder(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("moveToNewFolder");
    return vl::skeleton::run<Handlers::None, Wire::MoveToNewFolderInput>(
        spans, "MoveToNewFolderResponse", requestXml,
        [](const Wire::MoveToNewFolderInput& in) {
            return toLocalArray<DataManagement::MoveToNewFolderInfo>(in.getMoveToNewFolderInfoArray());
        },
        [](const auto& infos) { return _service->moveToNewFolder(infos); },
        &responseToWire<DataManagement::MoveToNewFolderResponse>);
}

std::string Skeleton::refreshObjects(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("refreshObjects");
    return vl::skeleton::run<Handlers::None, Wire::RefreshObjectsInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::RefreshObjectsInput& in) { return toLocalRefs<std::vector<Tag>>(in.getObjectArray()); },
        [](const std::vector<Tag>& objects) { return _service->refreshObjects(objects); }, &serviceDataToWire);
}

std::string Skeleton::getItemFromId(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("getItemFromId");
    return vl::skeleton::run<Handlers::None, Wire::GetItemFromIdInput>(
        spans, "GetItemFromIdResponse", requestXml,
        [](const Wire::GetItemFromIdInput& in) {
            auto infos = toLocalArray<DataManagement::GetItemFromIdInfo>(in.getInfoArray());
            int nRev = in.getNRev();
            return std::make_tuple(std::move(infos), nRev, toLocal(in.getPref()));
        },
        [](auto& args) { return _service->getItemFromId(std::get<0>(args), std::get<1>(args), std::get<2>(args)); },
        &responseToWire<DataManagement::GetItemFromIdResponse>);
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
        &responseToWire<DataManagement::GetItemCreationRelatedInfoResponse>);
}

std::string Skeleton::generateUID(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("generateUID");
    return vl::skeleton::run<Handlers::None, Wire::GenerateUIDInput>(
        spans, "GenerateUIDResponse", requestXml, [](const Wire::GenerateUIDInput& in) { return in.getNUID(); },
        [](int count) { return _service->generateUID(count); },
        &responseToWire<DataManagement::GenerateUIDResponse>);
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
        &responseToWire<DataManagement::WhereUsedResponse>);
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
        &responseToWire<DataManagement::WhereReferencedResponse>);
}

std::string Skeleton::createOrUpdateForms(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("createOrUpdateForms");
    return vl::skeleton::run<Handlers::None, Wire::CreateOrUpdateFormsInput>(
        spans, "CreateOrUpdateFormsResponse", requestXml,
        [](const Wire::CreateOrUpdateFormsInput& in) {
            return toLocalArray<DataManagement::FormInfo>(in.getInfoArray());
        },
        [](const auto& infos) { return _service->createOrUpdateForms(infos); },
        &responseToWire<DataManagement::CreateOrUpdateFormsResponse>);
}

std::string Skeleton::saveAsNewItem(const std::string& requestXml) {
    static const vl::skeleton::Spans spans = spansOf("saveAsNewItem");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::SaveAsNewItemInput>(
        spans, "SaveAsNewItemResponse", requestXml,
        [](const Wire::SaveAsNewItemInput& in) {
            return toLocalArray<DataManagement::SaveAsNewItemInfo>(in.getInfoArray());
        },
        [](const auto& infos) { return _service->saveAsNewItem(infos); },
        &responseToWire<DataManagement::SaveAsNewItemResponse>);
}

}  // namespace Velmora::Services::Core::_2007_01
