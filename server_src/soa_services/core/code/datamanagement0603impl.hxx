#pragma once
// Data management 2006_03 carried out on the object model. Holds no data: a
// temporary instance behaves exactly like the registered one.
#include "soa_services/core/code/datamanagement0603.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2006_03 {

class DataManagementImpl : public DataManagement {
public:
    DataManagementImpl() = default;
    DataManagementImpl(const DataManagementImpl&) = default;
    DataManagementImpl& operator=(const DataManagementImpl&) = default;
    virtual ~DataManagementImpl() = default;

    CreateFoldersResponse createFolders(const std::vector<CreateFolderInput>& folders, const Tag& container,
                                        std::string relationType) override;
    CreateItemsResponse createItems(const std::vector<ItemProperties>& properties, const Tag& container,
                                    std::string relationType) override;
    CreateDatasetsResponse createDatasets(const std::vector<DatasetProperties>& input) override;
    ReviseResponse revise(const std::map<POMRef<OstraItemRevP>, ReviseProperties>& input) override;
    GenerateItemIdsAndInitialRevisionIdsResponse generateItemIdsAndInitialRevisionIds(
        const std::vector<GenerateItemIdsAndInitialRevisionIdsProperties>& input) override;
    GenerateRevisionIdsResponse generateRevisionIds(const std::vector<GenerateRevisionIdsProperties>& input) override;
    CreateRelationsResponse createRelations(const std::vector<Relationship>& input) override;
    Velmora::Soa::Server::ServiceData deleteRelations(const std::vector<Relationship>& input) override;
    Velmora::Soa::Server::ServiceData changeOwnership(const std::vector<ObjectOwner>& input) override;
    Velmora::Soa::Server::ServiceData deleteObjects(std::vector<Tag>& objects) override;
    Velmora::Soa::Server::ServiceData getProperties(const std::vector<Tag>& objects,
                                                    const std::vector<std::string>& attributes) override;
    Velmora::Soa::Server::ServiceData setDisplayProperties(
        const std::vector<Tag>& objects, const std::map<std::string, std::string>& attributes) override;

    // Most identifier pairs one generate input may ask for.
    static constexpr int kMaxIdentifierPairs = 10000;

private:
    int getObjectType(unsigned int object, unsigned int* type) const;
    Tag getDefaultFolder();
    int setVLProperty(const Tag& object, const std::string& propertyName, const std::string& value) const;
    int preferredRelation(Tag primary, Tag secondary, std::string& relationType) const;
    int getDefaultRelation(Tag object, std::string& relationType) const;
    int getPreferredRelation(Tag primary, Tag secondary, std::string& relationType) const;

    // The container relation rule shared by the create operations: relates
    // `object` to `container` through createRelations. True when the container
    // is a folder or a relation (or reference) was made; `response` keeps what
    // createRelations answered, for callers that report its errors.
    bool relateToContainer(const Tag& container, const Tag& object, const std::string& clientId,
                           const std::string& relationType, CreateRelationsResponse& response);
};

}  // namespace Velmora::Soa::Core::_2006_03
