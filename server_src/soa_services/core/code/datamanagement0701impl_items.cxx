// Item look-up by identifier.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "sm/scoped_smptr.hxx"

namespace Velmora::Soa::Core::_2007_01 {

DataManagement::GetItemFromIdResponse DataManagementImpl::getItemFromId(const std::vector<GetItemFromIdInfo>& infos,
                                                                        int nRev, const GetItemFromIdPref& pref) {
    GetItemFromIdResponse response;
    ResultStatus status;
    for (const GetItemFromIdInfo& info : infos) {
        GetItemFromIdItemOutput itemOutput;
        try {
            tag_t item = 0;
            status = ITEM_find_item(info.itemId.c_str(), &item);
            if (item == 0) {
                ERROR_store(3, vl::platform::ERR_ITEM_ID_NOT_FOUND, info.itemId.c_str());
                response.serviceData.addErrorStack(info.itemId);
                continue;
            }
            itemOutput.item = item;
            response.serviceData.addPlainObject(item);

            if (!info.revIds.empty()) {
                for (const std::string& revId : info.revIds) {
                    tag_t revision = 0;
                    status = ITEM_find_revision(item, revId.c_str(), &revision);
                    if (revision == 0) {
                        ERROR_store(3, vl::platform::ERR_REVISION_ID_NOT_FOUND, info.itemId.c_str(), revId.c_str());
                        response.serviceData.addErrorStack(info.itemId);
                        continue;
                    }
                    fillRevNDatasets(response, itemOutput, revision, pref);
                    response.serviceData.addPlainObject(revision);
                }
            } else if (nRev != 0) {
                int count = 0;
                tag_t* revisions = nullptr;
                status = ITEM_list_all_revs(item, &count, &revisions);
                scoped_smptr<tag_t> owned(revisions);
                // Negative: all; otherwise the last nRev of the list.
                const int first = (nRev < 0 || nRev >= count) ? 0 : count - nRev;
                for (int i = first; i < count; ++i) {
                    fillRevNDatasets(response, itemOutput, revisions[i], pref);
                    response.serviceData.addPlainObject(revisions[i]);
                }
            }
            response.output.push_back(std::move(itemOutput));
        } catch (IFail&) {
            response.serviceData.addErrorStack(info.itemId);
        }
    }
    return response;
}

void DataManagementImpl::fillRevNDatasets(GetItemFromIdResponse& response, GetItemFromIdItemOutput& itemOutput,
                                          unsigned int itemRevision, const GetItemFromIdPref& pref) const {
    GetItemFromIdItemRevOutput revisionOutput;
    revisionOutput.itemRevision = itemRevision;
    getFilteredDatasets(itemRevision, pref, revisionOutput.datasets);
    for (const POMRef<Dataset>& dataset : revisionOutput.datasets) response.serviceData.addPlainObject(dataset.tag());
    itemOutput.itemRevOutputs.push_back(std::move(revisionOutput));
}

void DataManagementImpl::getFilteredDatasets(const unsigned int& itemRevision, const GetItemFromIdPref& pref,
                                             std::vector<POMRef<Dataset>>& datasets) const {
    ResultStatus status;
    for (const RelationFilter& filter : pref.prefs) {
        tag_t relationType = 0;
        status = GRM_find_relation_type(filter.relationTypeName.c_str(), &relationType);
        // The null type would list the secondaries of every relation type.
        if (relationType == 0) continue;
        int count = 0;
        tag_t* secondaries = nullptr;
        status = GRM_list_secondary_objects_only(itemRevision, relationType, &count, &secondaries);
        scoped_smptr<tag_t> owned(secondaries);
        for (int i = 0; i < count; ++i) {
            tag_t type = 0;
            status = OSTRATYPE_ask_object_type(secondaries[i], &type);
            char typeName[OSTRATYPE_name_size_c + 1] = {};
            status = OSTRATYPE_ask_name(type, typeName);
            for (const std::string& wanted : filter.objectTypeNames)
                if (wanted == typeName) datasets.emplace_back(secondaries[i]);
        }
    }
}

}  // namespace Velmora::Soa::Core::_2007_01
