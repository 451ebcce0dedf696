#pragma once
// Data management 2006_03: the service interface and the local structs the
// skeleton converts requests into and responses out of.
#include "ae/dataset.hxx"
#include "aom/loaded_objects.hxx"
#include "sa/sa.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"
#include "tag/tag.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2006_03 {

class DataManagement {
public:
    struct CreateFolderInput {
        std::string clientId;
        std::string name;
        std::string desc;
    };

    struct ExtendedAttributes {
        std::string objectType;                        // the type the attributes are meant for
        std::map<std::string, std::string> attributes; // property name -> value
    };

    struct ItemProperties {
        std::string clientId;
        std::string itemId;
        std::string name;
        std::string type;
        std::string revId;
        std::string uom;
        std::string description;
        std::vector<ExtendedAttributes> extendedAttributes;
    };

    struct CreateItemsOutput {
        std::string clientId;
        POMRef<OstraItemP> item;
        POMRef<OstraItemRevP> itemRev;
    };

    struct DatasetProperties {
        std::string clientId;
        std::string type;
        std::string name;
        std::string description;
        std::string toolUsed;
        Tag container;
        std::string relationType;
    };

    struct Relationship {
        std::string clientId;
        std::string relationType;
        Tag primaryObject;
        Tag secondaryObject;
        Tag userData;
    };

    struct CreateFoldersOutput {
        std::string clientId;
        POMRef<Folder> folder;
    };

    struct CreateDatasetsOutput {
        std::string clientId;
        POMRef<Dataset> dataset;
    };

    struct CreateRelationsOutput {
        std::string clientId;
        POMRef<OstraRelation> relation;
    };

    struct ReviseProperties {
        std::string revId;
        std::string name;
        std::string description;
        std::map<std::string, std::string> extendedAttributes;  // for the new revision's master form
    };

    struct GenerateItemIdsAndInitialRevisionIdsProperties {
        Tag item;
        std::string itemType;
        int count = 0;
    };

    struct ItemIdsAndInitialRevisionIds {
        std::string newItemId;
        std::string newRevId;
        bool isItemModify = false;
        bool isRevModify = false;
    };

    struct GenerateRevisionIdsProperties {
        Tag item;
        std::string itemType;
    };

    struct RevisionIds {
        std::string newRevId;
        bool isModify = false;
    };

    struct ObjectOwner {
        Tag object;
        POMRef<User> owner;
        POMRef<Group> group;
    };

    struct CreateFoldersResponse {
        std::vector<CreateFoldersOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct CreateItemsResponse {
        std::vector<CreateItemsOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct CreateDatasetsResponse {
        std::vector<CreateDatasetsOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct CreateRelationsResponse {
        std::vector<CreateRelationsOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct ReviseResponse {
        std::map<POMRef<OstraItemRevP>, POMRef<OstraItemRevP>> oldItemRevToNewItemRev;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct GenerateItemIdsAndInitialRevisionIdsResponse {
        // Keyed by the input element's position (from 0); failed inputs have no entry.
        std::map<int, std::vector<ItemIdsAndInitialRevisionIds>> outputItemIdsAndInitialRevisionIds;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct GenerateRevisionIdsResponse {
        std::map<int, RevisionIds> outputRevisionIds;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    DataManagement() = default;
    DataManagement(const DataManagement&) = default;
    DataManagement& operator=(const DataManagement&) = default;

    virtual CreateFoldersResponse createFolders(const std::vector<CreateFolderInput>& folders, const Tag& container,
                                                std::string relationType) = 0;
    virtual CreateItemsResponse createItems(const std::vector<ItemProperties>& properties, const Tag& container,
                                            std::string relationType) = 0;
    virtual CreateDatasetsResponse createDatasets(const std::vector<DatasetProperties>& input) = 0;
    virtual ReviseResponse revise(const std::map<POMRef<OstraItemRevP>, ReviseProperties>& input) = 0;
    virtual GenerateItemIdsAndInitialRevisionIdsResponse generateItemIdsAndInitialRevisionIds(
        const std::vector<GenerateItemIdsAndInitialRevisionIdsProperties>& input) = 0;
    virtual GenerateRevisionIdsResponse generateRevisionIds(const std::vector<GenerateRevisionIdsProperties>& input) = 0;
    virtual CreateRelationsResponse createRelations(const std::vector<Relationship>& input) = 0;
    virtual Velmora::Soa::Server::ServiceData deleteRelations(const std::vector<Relationship>& input) = 0;
    virtual Velmora::Soa::Server::ServiceData changeOwnership(const std::vector<ObjectOwner>& input) = 0;
    virtual Velmora::Soa::Server::ServiceData deleteObjects(std::vector<Tag>& objects) = 0;
    virtual Velmora::Soa::Server::ServiceData getProperties(const std::vector<Tag>& objects,
                                                            const std::vector<std::string>& attributes) = 0;
    virtual Velmora::Soa::Server::ServiceData setDisplayProperties(
        const std::vector<Tag>& objects, const std::map<std::string, std::string>& attributes) = 0;

protected:
    // Never deleted through the interface.
    ~DataManagement() = default;
};

}  // namespace Velmora::Soa::Core::_2006_03
