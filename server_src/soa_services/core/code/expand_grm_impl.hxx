#pragma once
// Relation expansion: for each input object the objects related to it by
// the requested relation types, filtered by type name, and one or two steps
// further (an item's latest revision, a revision's datasets) into the
// service data. Stateless; it speaks the 2007_06 interface's structs.
#include "soa_server/service_data.hxx"
#include "soa_services/core/code/datamanagement0706.hxx"
#include "tag/tag.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core {

class ExpandGRMImpl {
public:
    enum objectType { FolderObject = 0, ItemObject = 1, ItemRevisionObject = 2, DatasetObject = 3, OtherObject = 4 };

    // The engine's filter, preference and answer are the 2007_06 interface's
    // own structs: the interface's two expansions hand them through as they are.
    using Interface = _2007_06::DataManagement;
    using ExpandGRMRelationsFilter = Interface::RelationAndTypesFilter2;  // an empty name or list: every one
    using ExpandGRMRelationsPref = Interface::ExpandGRMRelationsPref;
    using ExpandGRMRelationsData = Interface::ExpandGRMRelationsData;
    using ExpandGRMRelationsOutput = Interface::ExpandGRMRelationsOutput;
    using ExpandGRMRelationsResponse = Interface::ExpandGRMRelationsResponse;

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
