#pragma once
// Data management 2007_06: the service interface and the local structs the
// skeleton converts requests into and responses out of.
#include "ae/dataset.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"
#include "tag/tag.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2007_06 {

class DataManagement {
public:
    // Status of one proposed identifier; the wire carries it as its name. Any
    // int is a value of it, so a value outside the five can reach the wire
    // converter, which refuses it.
    enum ValidateIdsStatus : int { Valid = 0, Invalid = 1, Modified = 2, Override = 3, Duplicate = 4 };

    // whereReferencedByRelationName
    struct RelationAndTypesFilter {
        std::string relationTypeName;
        std::vector<std::string> otherSideObjectTypes;
    };

    struct WhereReferencedByRelationNameInfo {
        Tag object;
        std::vector<RelationAndTypesFilter> filters;
    };

    struct WhereReferencedByRelationNameOutputInfo {
        Tag referencer;
        std::string relationTypeName;  // empty for referencers of a non-workspace object
        int level = 0;
    };

    struct WhereReferencedByRelationNameOutput {
        Tag inputObject;
        std::vector<WhereReferencedByRelationNameOutputInfo> infos;
    };

    struct WhereReferencedByRelationNameResponse {
        std::vector<WhereReferencedByRelationNameOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // validateItemIdsAndRevIds
    struct ValidateIdsInfo {
        std::string itemId;
        std::string revId;
        std::string itemType;
    };

    struct ValidateIdsOutput {
        std::string modItemId;
        ValidateIdsStatus itemIdStatus = Valid;
        std::string modRevId;
        ValidateIdsStatus revIdStatus = Valid;
    };

    struct ValidateItemIdsAndRevIdsResponse {
        std::vector<ValidateIdsOutput> output;  // failed infos have none: later ones move up
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // getDatasetTypeInfo
    struct ReferenceInfo {
        std::string referenceName;
        bool isObject = false;  // the format is exactly "OBJECT"
        std::string fileFormat;
        std::string fileExtension;
    };

    struct DatasetTypeInfo {
        POMRef<DatasetType> tag;  // never loaded here
        std::vector<ReferenceInfo> refInfos;
    };

    struct DatasetTypeInfoResponse {
        std::vector<DatasetTypeInfo> infos;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    // expandGRMRelationsForPrimary, expandGRMRelationsForSecondary
    struct RelationAndTypesFilter2 {
        std::string relationName;
        std::vector<std::string> objectTypeNames;
    };

    struct ExpandGRMRelationsPref {
        bool expItemRev = false;
        std::vector<RelationAndTypesFilter2> infos;
    };

    struct ExpandGRMRelationsData {
        std::vector<Tag> otherSideObjects;
        std::string relationName;
    };

    struct ExpandGRMRelationsOutput {
        Tag inputObject;
        std::vector<ExpandGRMRelationsData> otherSideObjData;
    };

    struct ExpandGRMRelationsResponse {
        std::vector<ExpandGRMRelationsOutput> output;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    DataManagement() = default;
    DataManagement(const DataManagement&) = default;
    DataManagement& operator=(const DataManagement&) = default;

    virtual WhereReferencedByRelationNameResponse whereReferencedByRelationName(
        const std::vector<WhereReferencedByRelationNameInfo>& inputs, int numLevels) = 0;
    virtual ValidateItemIdsAndRevIdsResponse validateItemIdsAndRevIds(const std::vector<ValidateIdsInfo>& infos) = 0;
    virtual DatasetTypeInfoResponse getDatasetTypeInfo(std::vector<std::string> datasetTypeNames) = 0;
    virtual ExpandGRMRelationsResponse expandGRMRelationsForPrimary(const std::vector<Tag>& primaryObjects,
                                                                    const ExpandGRMRelationsPref& pref) = 0;
    virtual ExpandGRMRelationsResponse expandGRMRelationsForSecondary(const std::vector<Tag>& secondaryObjects,
                                                                      const ExpandGRMRelationsPref& pref) = 0;

protected:
    // Never deleted through the interface.
    ~DataManagement() = default;
};

}  // namespace Velmora::Soa::Core::_2007_06
