#pragma once
// Relation expansion: for each input object the objects related to it by
// the requested relation types, filtered by type name, and one or two steps
// further (an item's latest revision, a revision's datasets) into the
// service data. Stateless; its own request and response types.
#include "soa_server/service_data.hxx"
#include "tag/tag.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core {

class ExpandGRMImpl {
public:
    enum objectType { FolderObject = 0, ItemObject = 1, ItemRevisionObject = 2, DatasetObject = 3, OtherObject = 4 };

    struct ExpandGRMRelationsFilter {
        std::string relationName;                  // empty: every relation type
        std::vector<std::string> objectTypeNames;  // empty: every type
    };

    struct ExpandGRMRelationsPref {
        bool expItemRev = false;  // also a related item's revision's datasets, and a related revision's
        std::vector<ExpandGRMRelationsFilter> infos;
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

    ExpandGRMImpl() = default;
    ExpandGRMImpl(const ExpandGRMImpl&) = default;
    ExpandGRMImpl& operator=(const ExpandGRMImpl&) { return *this; }

    // fromPrimary: the objects are primaries and their secondaries are wanted.
    ExpandGRMRelationsResponse expandGRMRelations(bool fromPrimary, const std::vector<Tag>& objects,
                                                  const ExpandGRMRelationsPref& pref);

private:
    objectType askObjectType(const unsigned int& object) const;
    void getAllRevDatasets(const unsigned int& revision, std::vector<unsigned int>& datasets,
                           Velmora::Soa::Server::ServiceData* serviceData) const;
    void expandFurther(const unsigned int& object, const bool& expItemRev,
                       Velmora::Soa::Server::ServiceData* serviceData) const;
};

}  // namespace Velmora::Soa::Core
