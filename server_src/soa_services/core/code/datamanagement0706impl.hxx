#pragma once
// Data management 2007_06 carried out on the object model. Holds no data.
#include "soa_services/core/code/datamanagement0706.hxx"
#include "user_exits/user_exits.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2007_06 {

class DataManagementImpl : public DataManagement {
public:
    DataManagementImpl() = default;
    DataManagementImpl(const DataManagementImpl&) = default;
    DataManagementImpl& operator=(const DataManagementImpl&) = default;
    virtual ~DataManagementImpl() = default;

    WhereReferencedByRelationNameResponse whereReferencedByRelationName(
        const std::vector<WhereReferencedByRelationNameInfo>& inputs, int numLevels) override;
    ValidateItemIdsAndRevIdsResponse validateItemIdsAndRevIds(const std::vector<ValidateIdsInfo>& infos) override;
    DatasetTypeInfoResponse getDatasetTypeInfo(std::vector<std::string> datasetTypeNames) override;
    ExpandGRMRelationsResponse expandGRMRelationsForPrimary(const std::vector<Tag>& primaryObjects,
                                                            const ExpandGRMRelationsPref& pref) override;
    ExpandGRMRelationsResponse expandGRMRelationsForSecondary(const std::vector<Tag>& secondaryObjects,
                                                              const ExpandGRMRelationsPref& pref) override;

private:
    // The exit's status as this service reports it: 1 to 4 keep their
    // meaning, anything else is Valid.
    ValidateIdsStatus mapStatus(IDValid_t status) const;
    ExpandGRMRelationsResponse invokeGRMexpandImpl(bool fromPrimary, const std::vector<Tag>& objects,
                                                   const ExpandGRMRelationsPref& pref);
};

}  // namespace Velmora::Soa::Core::_2007_06
