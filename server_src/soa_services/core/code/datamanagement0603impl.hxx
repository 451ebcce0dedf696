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

    // The container check of the create operations: true when the rule may
    // relate new objects to `container`, a live object the user may write. A
    // null container is no container and records nothing. Otherwise each
    // refusal is one partial error in `data`: a uid that names no object, or
    // a container the user may not write, under the container's uid; a failed
    // privilege check without key.
    static bool containerWritable(const Tag& container, Velmora::Soa::Server::ServiceData& data);

    // The container relation rule shared by the create operations: relates
    // `object` to `container` through createRelations. True only when
    // something was related: a relation in createRelations' output, or its
    // reference-property entry with no error recorded. On false the error
    // store holds the reason for the caller's partial error: the errors
    // createRelations recorded (or threw), or 89015 when there were none.
    // `relation`, when given, is set to the relation made (null for none, or
    // for a reference property set).
    bool relateToContainer(const Tag& container, const Tag& object, const std::string& clientId,
                           const std::string& relationType, Tag* relation = nullptr);

private:
    int setDefaultTool(unsigned int dataset, const char* toolName) const;
    bool isQMDataset(unsigned int dataset) const;
    int initQMDataset(unsigned int dataset) const;
    void getTextValue(const char* key, char** text) const;
    int getObjectType(unsigned int object, unsigned int* type) const;
    Tag getDefaultFolder();
    int setVLProperty(const Tag& object, const std::string& propertyName, const std::string& value) const;
    int preferredRelation(Tag primary, Tag secondary, std::string& relationType) const;
    int getDefaultRelation(Tag object, std::string& relationType) const;
    int getPreferredRelation(Tag primary, Tag secondary, std::string& relationType) const;

    // Puts the errors an inner operation recorded back into the error store,
    // so that the caller's own partial error carries them. False when it
    // recorded none.
    static bool restoreErrors(const Velmora::Soa::Server::ServiceData& inner);

    // Takes back a relation made for an input that then failed: deleted, or
    // at least released when it cannot be. Left in the store it would show
    // as made and refuse a retry as existing.
    static void discardRelation(const Tag& relation);
};

}  // namespace Velmora::Soa::Core::_2006_03
