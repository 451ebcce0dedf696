#include "soa_services/core/code/expand_grm_impl.hxx"

#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "aom/loaded_objects.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_services/core/code/datamanagement_util.hxx"
#include "soa_services/core/code/related_object_collector.hxx"

namespace Velmora::Soa::Core {

namespace {

// The class ids of the last type question; every question overwrites them.
unsigned int s_objectClass = 0;
unsigned int s_folderClass = 0;
unsigned int s_itemClass = 0;
unsigned int s_revisionClass = 0;
unsigned int s_datasetClass = 0;

}  // namespace

ExpandGRMImpl::ExpandGRMRelationsResponse ExpandGRMImpl::expandGRMRelations(bool fromPrimary,
                                                                             const std::vector<Tag>& objects,
                                                                             const ExpandGRMRelationsPref& pref) {
    Velmora::Soa::Server::ServiceData data;
    std::vector<ExpandGRMRelationsOutput> outputs;
    for (const Tag& object : objects) {
        ExpandGRMRelationsOutput output;
        if (pref.infos.empty()) {
            try {
                ResultStatus status;
                status = ERROR_store(3, vl::platform::ERR_NO_RELATION_FILTERS);
            } catch (const IFail&) {
                data.addErrorStack();
            }
        }

        try {
            DataManagementUtil::checkValidAndLoaded(object, vl::platform::ERR_OBJECT_NOT_LOADED);
        } catch (const IFail&) {
            data.addErrorStack();
            continue;
        }

        output.inputObject = object;
        try {
            data.addPlainObject(object);
            for (const ExpandGRMRelationsFilter& filter : pref.infos) {
                try {
                    ExpandGRMRelationsData entry;
                    entry.relationName = filter.relationName;
                    Util::RelatedObjectCollector collector(filter.relationName, filter.objectTypeNames, true);
                    std::vector<unsigned int> found;
                    if (fromPrimary)
                        collector.getSecondaryRelatedObjects(object, found);
                    else
                        collector.getPrimaryRelatedObjects(object, found);
                    for (const unsigned int related : found) {
                        entry.otherSideObjects.push_back(Tag(related));
                        data.addPlainObject(Tag(related));
                        expandFurther(related, pref.expItemRev, &data);
                    }
                    output.otherSideObjData.push_back(std::move(entry));
                } catch (const IFail&) {
                    data.addErrorStack();
                }
            }
            outputs.push_back(std::move(output));
        } catch (const IFail&) {
            data.addErrorStack(object);
        }
    }
    ExpandGRMRelationsResponse response;
    response.output = std::move(outputs);
    response.serviceData = data;
    return response;
}

void ExpandGRMImpl::expandFurther(const unsigned int& object, const bool& expItemRev,
                                  Velmora::Soa::Server::ServiceData* serviceData) const {
    try {
        std::vector<unsigned int> datasets;
        switch (askObjectType(object)) {
            case ItemObject: {
                ResultStatus status;
                tag_t revision = NULLTAG;
                status = ITEM_ask_latest_rev(object, &revision);
                if (revision == NULLTAG) break;
                serviceData->addPlainObject(Tag(revision));
                if (expItemRev) getAllRevDatasets(revision, datasets, serviceData);
                break;
            }
            case ItemRevisionObject:
                if (expItemRev) getAllRevDatasets(object, datasets, serviceData);
                break;
            default:
                break;
        }
        for (const unsigned int dataset : datasets) serviceData->addPlainObject(Tag(dataset));
    } catch (const IFail&) {
        serviceData->addErrorStack(Tag(object));
    }
}

void ExpandGRMImpl::getAllRevDatasets(const unsigned int& revision, std::vector<unsigned int>& datasets,
                                      Velmora::Soa::Server::ServiceData* serviceData) const {
    try {
        ResultStatus status;
        int count = 0;
        scoped_smptr<GRM_relation_t> records;  // one block, freed on every path
        status = GRM_list_all_related_objects(revision, &count, &records);
        for (int i = 0; i < count; ++i) {
            const Tag related(records[i].secondary);
            POMObject* loaded = nullptr;
            status = related.object(&loaded);
            if (loaded->isA("Dataset")) datasets.push_back(related);
        }
    } catch (const IFail&) {
        if (serviceData) serviceData->addErrorStack();
    }
}

ExpandGRMImpl::objectType ExpandGRMImpl::askObjectType(const unsigned int& object) const {
    if (object == NULLTAG) return OtherObject;
    const bool known = POM_class_of_instance(object, &s_objectClass) == 0 &&
                       POM_class_id_of_class("Folder", &s_folderClass) == 0 &&
                       POM_class_id_of_class("Item", &s_itemClass) == 0 &&
                       POM_class_id_of_class("ItemRevision", &s_revisionClass) == 0 &&
                       POM_class_id_of_class("Dataset", &s_datasetClass) == 0;
    if (!known) {
        // Answered as "other", reported nowhere: the failed look-up's error
        // must not reach a later, unrelated partial error.
        ERROR_store_clear();
        return OtherObject;
    }
    if (s_objectClass == s_folderClass) return FolderObject;
    if (s_objectClass == s_itemClass) return ItemObject;
    if (s_objectClass == s_revisionClass) return ItemRevisionObject;
    if (s_objectClass == s_datasetClass) return DatasetObject;
    return OtherObject;
}

}  // namespace Velmora::Soa::Core
