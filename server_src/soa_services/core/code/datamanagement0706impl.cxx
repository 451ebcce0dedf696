// Data management 2007_06: identifier validation by the user exit, and
// dataset type descriptions.
#include "soa_services/core/code/datamanagement0706impl.hxx"

#include "ae/dataset.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_server/utils.hxx"

#include <cstring>

namespace Velmora::Soa::Core::_2007_06 {

namespace {

// What these two operations receive is the toolkit memory library's.
template <class T>
using mem_ptr = scoped_smptr<T, MEM_free>;

const char* const kAllTypesKey = "getting all datasettypes";

}  // namespace

DataManagement::ValidateIdsStatus DataManagementImpl::mapStatus(IDValid_t status) const {
    switch (status) {
        case ID_invalid: return Invalid;
        case ID_modified: return Modified;
        case ID_override: return Override;
        case ID_duplicate: return Duplicate;
        default: return Valid;
    }
}

DataManagement::ValidateItemIdsAndRevIdsResponse DataManagementImpl::validateItemIdsAndRevIds(
    const std::vector<ValidateIdsInfo>& infos) {
    ValidateItemIdsAndRevIdsResponse response;
    for (const ValidateIdsInfo& info : infos) {
        // Owned from the call on: an exit that fails may still have handed
        // out identifiers.
        mem_ptr<char> modItemId;
        mem_ptr<char> modRevId;
        IDValid_t itemStatus = ID_valid;
        IDValid_t revStatus = ID_valid;
        try {
            ResultStatus status;
            status = USER_validate_item_rev_id_2(info.itemId.c_str(), info.revId.c_str(), info.itemType.c_str(),
                                                 &modItemId, &modRevId, &itemStatus, &revStatus);
            ValidateIdsOutput output;
            output.modItemId = modItemId.get() ? modItemId.get() : "";
            output.itemIdStatus = mapStatus(itemStatus);
            output.modRevId = modRevId.get() ? modRevId.get() : "";
            output.revIdStatus = mapStatus(revStatus);
            response.output.push_back(std::move(output));
        } catch (const IFail&) {
            ERROR_store(3, vl::platform::ERR_ID_VALIDATION_FAILED, info.itemId.c_str());
            response.serviceData.addErrorStack(info.itemId);
        }
    }
    return response;
}

DataManagement::DatasetTypeInfoResponse DataManagementImpl::getDatasetTypeInfo(
    std::vector<std::string> datasetTypeNames) {
    DatasetTypeInfoResponse response;
    Velmora::Soa::Server::ServiceData& data = response.serviceData;
    std::string key;
    std::vector<tag_t> types;

    if (!datasetTypeNames.empty()) {
        for (const std::string& name : datasetTypeNames) {
            try {
                key = name;
                ResultStatus status;
                tag_t type = NULLTAG;
                status = AE_find_datasettype(name.c_str(), &type);
                if (type == NULLTAG) status = ERROR_store(3, vl::platform::ERR_DATASET_TYPE_NOT_FOUND);
                types.push_back(type);
            } catch (const IFail&) {
                data.addErrorStack(key);
            }
        }
    } else {
        try {
            key = kAllTypesKey;
            ResultStatus status;
            int count = 0;
            scoped_smptr<tag_t> all;
            status = AE_datasettype_extent(&count, &all);
            types.insert(types.end(), all.get(), all.get() + count);
        } catch (const IFail&) {
            data.addErrorStack(key);
        }
    }

    for (tag_t type : types) {
        try {
            // The type's name keys its errors; one whose name cannot be read
            // is keyed by its uid.
            char name[OSTRATYPE_name_size_c + 1] = "";
            const bool named = AE_ask_datasettype_name(type, name) == 0;
            key = named ? std::string(name) : Velmora::Soa::Internal::Server::Utils::tagToUid(type);

            ResultStatus status;
            int refCount = 0;
            mem_ptr<char*> referenceNames;
            status = AE_ask_datasettype_refs(type, &refCount, &referenceNames);
            DatasetTypeInfo info;
            info.tag = POMRef<DatasetType>(type);
            for (int r = 0; r < refCount; ++r) {
                const char* reference = referenceNames[r] ? referenceNames[r] : "";
                int fileCount = 0;
                mem_ptr<char*> extensions;
                mem_ptr<char*> formats;
                status = AE_ask_datasettype_file_refs(type, reference, &fileCount, &extensions, &formats);
                for (int k = 0; k < fileCount; ++k) {
                    ReferenceInfo ref;
                    ref.referenceName = reference;
                    ref.fileFormat = formats[k] ? formats[k] : "";
                    ref.isObject = ref.fileFormat == "OBJECT";
                    ref.fileExtension = extensions[k] ? extensions[k] : "";
                    info.refInfos.push_back(std::move(ref));
                }
            }
            response.infos.push_back(std::move(info));
            // The unread name reported nothing: its error must not reach a
            // later type's partial error.
            if (!named) ERROR_store_clear();
        } catch (const IFail&) {
            data.addErrorStack(key);
        }
    }
    return response;
}

DataManagement::ExpandGRMRelationsResponse DataManagementImpl::expandGRMRelationsForPrimary(
    const std::vector<Tag>& primaryObjects, const ExpandGRMRelationsPref& pref) {
    return invokeGRMexpandImpl(true, primaryObjects, pref);
}

DataManagement::ExpandGRMRelationsResponse DataManagementImpl::expandGRMRelationsForSecondary(
    const std::vector<Tag>& secondaryObjects, const ExpandGRMRelationsPref& pref) {
    return invokeGRMexpandImpl(false, secondaryObjects, pref);
}

}  // namespace Velmora::Soa::Core::_2007_06
