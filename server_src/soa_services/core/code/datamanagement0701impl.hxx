#pragma once
// Data management 2007_01 carried out on the object model. Holds no data: one
// instance serves every request.
#include "soa_services/core/code/datamanagement0701.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2007_01 {

class DataManagementImpl : public DataManagement {
public:
    DataManagementImpl() = default;
    DataManagementImpl(const DataManagementImpl&) = default;
    DataManagementImpl& operator=(const DataManagementImpl&) = default;
    virtual ~DataManagementImpl() = default;

    GetDatasetCreationRelatedInfoResponse getDatasetCreationRelatedInfo(const std::string& typeName,
                                                                        const Tag& parentObject) override;
    GetItemCreationRelatedInfoResponse getItemCreationRelatedInfo(const std::string& typeName,
                                                                  const Tag& parentObject) override;
    Velmora::Soa::Server::ServiceData refreshObjects(const std::vector<Tag>& objects) override;
    CreateOrUpdateFormsResponse createOrUpdateForms(const std::vector<FormInfo>& infos) override;
    WhereReferencedResponse whereReferenced(const std::vector<POMRef<WorkspaceObject>>& objects,
                                            int numLevels) override;
    WhereUsedResponse whereUsed(const std::vector<Tag>& objects, int numLevels, bool whereUsedPrecise,
                                Tag& rule) override;
    Velmora::Soa::Server::ServiceData setProperties(const std::vector<Tag>& objects,
                                                    const std::map<std::string, VecStruct>& attributes) override;
    MoveToNewFolderResponse moveToNewFolder(const std::vector<MoveToNewFolderInfo>& infos) override;
    GenerateUIDResponse generateUID(int count) override;
    GetItemFromIdResponse getItemFromId(const std::vector<GetItemFromIdInfo>& infos, int nRev,
                                        const GetItemFromIdPref& pref) override;
    SaveAsNewItemResponse saveAsNewItem(const std::vector<SaveAsNewItemInfo>& infos) override;

    // The property descriptions of one form type.
    std::vector<FormPropDescriptor> getAllFormPropDescriptor(const Tag& formType);

    // Most uids one generateUID request may ask for.
    static constexpr int kMaxUids = 10000;

private:
    void generate_UID(std::string& uid) const;
    void fillRevNDatasets(GetItemFromIdResponse& response, GetItemFromIdItemOutput& itemOutput,
                          unsigned int itemRevision, const GetItemFromIdPref& pref) const;
    void getFilteredDatasets(const unsigned int& itemRevision, const GetItemFromIdPref& pref,
                             std::vector<POMRef<Dataset>>& datasets) const;
};

}  // namespace Velmora::Soa::Core::_2007_01
