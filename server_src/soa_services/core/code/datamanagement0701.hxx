#pragma once
// Data management 2007_01: the service interface and the local structs the
// skeleton converts requests into and responses out of. Int and bool fields
// start at 0 and false, so a path that never sets them answers a defined value.
#include "ae/dataset.hxx"
#include "aom/loaded_objects.hxx"
#include "propdesc/property_descriptor.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"
#include "tag/tag.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2007_01 {

class DataManagement {
public:
    // ---- getDatasetCreationRelatedInfo

    struct GetDatasetCreationRelatedInfoResponse {
        std::vector<std::string> toolNames;
        std::string newDatasetName;
        bool nameCanBeModified = false;
        std::vector<std::string> initValuePropertyRules;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- getItemCreationRelatedInfo

    struct FormPropDescriptor {
        std::string propName;
        std::string displayName;
        int propValueType = 0;
        int propType = 0;
        bool isDisplayable = false;
        bool isArray = false;
        POMRef<ListOfValues> lov;
        bool isRequired = false;
        bool isEnabled = false;
        bool isModifiable = false;
        int attachedSpecifier = 0;
        int maxLength = 0;
        std::vector<std::string> interdependentProps;
    };

    struct FormAttributesInfo {
        std::string formType;
        std::vector<FormPropDescriptor> formPDs;
    };

    struct GetItemCreationRelatedInfoResponse {
        std::vector<std::string> complexValuePropertyRules;
        std::vector<std::string> initValuePropertyRules;
        std::map<std::string, std::vector<std::string>> patternMap;  // property name -> naming patterns
        std::vector<std::string> uoms;
        std::vector<FormAttributesInfo> formAttrs;
        std::string revTypeName;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- createOrUpdateForms

    struct FormInfo {
        std::string clientId;
        Tag formObject;    // null: create a new form
        Tag parentObject;  // null: relate it to nothing
        std::string relationName;
        bool saveDB = false;
        std::string name;
        std::string description;
        std::string formType;
        std::map<std::string, std::vector<std::string>> attributesMap;
    };

    struct CreateFormsOutput {
        std::string clientId;
        Tag form;
    };

    struct CreateOrUpdateFormsResponse {
        std::vector<CreateFormsOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- whereReferenced

    struct WhereReferencedInfo {
        POMRef<WorkspaceObject> referencer;
        std::string relation;
        int level = 0;
    };

    struct WhereReferencedOutput {
        POMRef<WorkspaceObject> inputObject;
        std::vector<WhereReferencedInfo> infos;
    };

    struct WhereReferencedResponse {
        std::vector<WhereReferencedOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- whereUsed

    struct WhereUsedParentInfo {
        POMRef<OstraItemRevP> parentItemRev;
        int level = 0;
    };

    struct WhereUsedOutput {
        POMRef<WorkspaceObject> inputObject;  // for an item asked about: its latest revision
        std::vector<WhereUsedParentInfo> infos;
    };

    struct WhereUsedResponse {
        std::vector<WhereUsedOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- setProperties

    struct VecStruct {
        std::vector<std::string> stringVecArray;  // the values of one property
    };

    // ---- moveToNewFolder

    struct MoveToNewFolderInfo {
        POMRef<Folder> oldFolder;
        POMRef<Folder> newFolder;
        std::vector<Tag> objectsToMove;
    };

    struct MoveToNewFolderResponse {
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- generateUID

    struct GenerateUIDResponse {
        std::vector<std::string> uids;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- getItemFromId

    struct GetItemFromIdInfo {
        std::string itemId;
        std::vector<std::string> revIds;  // empty: choose by the request's revision count
    };

    struct RelationFilter {
        std::string relationTypeName;
        std::vector<std::string> objectTypeNames;  // type names of the secondary objects to keep
    };

    struct GetItemFromIdPref {
        std::vector<RelationFilter> prefs;
    };

    struct GetItemFromIdItemRevOutput {
        POMRef<OstraItemRevP> itemRevision;
        std::vector<POMRef<Dataset>> datasets;
    };

    struct GetItemFromIdItemOutput {
        POMRef<OstraItemP> item;
        std::vector<GetItemFromIdItemRevOutput> itemRevOutputs;
    };

    struct GetItemFromIdResponse {
        std::vector<GetItemFromIdItemOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // ---- saveAsNewItem

    struct SaveAsNewItemInfo {
        std::string clientId;
        POMRef<OstraItemRevP> itemRevision;  // the revision to copy
        std::string itemId;
        std::string revId;
        std::string name;
        std::string description;
        POMRef<Folder> folder;  // null: no folder
    };

    struct SaveAsNewItemOutput {
        POMRef<OstraItemP> item;
        POMRef<OstraItemRevP> itemRev;
    };

    struct SaveAsNewItemResponse {
        std::map<std::string, SaveAsNewItemOutput> inputToNewItem;  // client id -> new item and revision
        Velmora::Soa::Server::ServiceData serviceData;
    };

    DataManagement() = default;
    DataManagement(const DataManagement&) = default;
    DataManagement& operator=(const DataManagement&) = default;

    virtual GetDatasetCreationRelatedInfoResponse getDatasetCreationRelatedInfo(const std::string& typeName,
                                                                                const Tag& parentObject) = 0;
    virtual GetItemCreationRelatedInfoResponse getItemCreationRelatedInfo(const std::string& typeName,
                                                                          const Tag& parentObject) = 0;
    virtual Velmora::Soa::Server::ServiceData refreshObjects(const std::vector<Tag>& objects) = 0;
    virtual CreateOrUpdateFormsResponse createOrUpdateForms(const std::vector<FormInfo>& infos) = 0;
    virtual WhereReferencedResponse whereReferenced(const std::vector<POMRef<WorkspaceObject>>& objects,
                                                    int numLevels) = 0;
    virtual WhereUsedResponse whereUsed(const std::vector<Tag>& objects, int numLevels, bool whereUsedPrecise,
                                        Tag& rule) = 0;
    virtual Velmora::Soa::Server::ServiceData setProperties(const std::vector<Tag>& objects,
                                                            const std::map<std::string, VecStruct>& attributes) = 0;
    virtual MoveToNewFolderResponse moveToNewFolder(const std::vector<MoveToNewFolderInfo>& infos) = 0;
    virtual GenerateUIDResponse generateUID(int count) = 0;
    virtual GetItemFromIdResponse getItemFromId(const std::vector<GetItemFromIdInfo>& infos, int nRev,
                                                const GetItemFromIdPref& pref) = 0;
    virtual SaveAsNewItemResponse saveAsNewItem(const std::vector<SaveAsNewItemInfo>& infos) = 0;

protected:
    // Never deleted through the interface.
    ~DataManagement() = default;
};

}  // namespace Velmora::Soa::Core::_2007_01
