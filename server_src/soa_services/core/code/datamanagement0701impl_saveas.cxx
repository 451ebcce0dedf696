// Save as new item: each step of an element under a handler of its own, so a
// failure is reported against the object it concerns.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "sm/scoped_smptr.hxx"

namespace Velmora::Soa::Core::_2007_01 {

namespace {

// Locks, edits, saves and releases one new object; on failure releases it
// (result ignored) and reports under it.
template <class Edit>
void editObject(Velmora::Soa::Server::ServiceData& data, const Tag& object, Edit&& edit) {
    try {
        ResultStatus status;
        status = AOM_refresh(object, 1);
        edit(status);
        status = AOM_save(object);
        status = AOM_refresh(object, 0);
    } catch (const IFail&) {
        AOM_refresh(object, 0);
        data.addErrorStack(object);
    }
}

}  // namespace

DataManagement::SaveAsNewItemResponse DataManagementImpl::saveAsNewItem(const std::vector<SaveAsNewItemInfo>& infos) {
    SaveAsNewItemResponse response;
    Velmora::Soa::Server::ServiceData& data = response.serviceData;
    bool moduleOpen = false;
    for (const SaveAsNewItemInfo& info : infos) {
        const Tag& source = info.itemRevision.tag();
        if (source.isNull() || Tag::isValid(source) != 0) {
            ERROR_store(3, vl::platform::ERR_INVALID_TAG);
            data.addErrorStack(source);
            continue;
        }
        tag_t item = NULLTAG, revision = NULLTAG;
        try {
            ResultStatus status;
            status = ITEM_copy_item(source, info.itemId.c_str(), info.revId.c_str(), &item, &revision);
            editObject(data, item, [&](ResultStatus& s) {
                if (!info.name.empty()) s = ITEM_set_name(item, info.name.c_str());
                if (!info.description.empty()) s = ITEM_set_description(item, info.description.c_str());
            });
            editObject(data, revision, [&](ResultStatus& s) {
                if (!info.name.empty()) s = ITEM_set_rev_name(revision, info.name.c_str());
                if (!info.description.empty()) s = ITEM_set_rev_description(revision, info.description.c_str());
            });
            data.addCreatedObject(item);
            data.addCreatedObject(revision);
            response.inputToNewItem.insert({info.clientId, SaveAsNewItemOutput{item, revision}});
            try {
                int count = 0;
                scoped_smptr<tag_t> copies;
                status = ITEM_perform_deepcopy(revision, "SaveAs", source, &count, &copies);
                if (count > 0 && copies[0] != NULLTAG)
                    for (int i = 0; i < count; ++i) data.addCreatedObject(copies[i]);
            } catch (const IFail&) {
                data.addErrorStack(Tag(revision));
            }
        } catch (const IFail&) {
            data.addErrorStack(source);
            continue;
        }

        const Tag& folder = info.folder.tag();
        if (folder.isNull()) continue;
        if (!moduleOpen) {
            try {
                ResultStatus status;
                status = FL_init_module();
                moduleOpen = true;
            } catch (const IFail&) {
                data.addErrorStack();
                continue;
            }
        }
        try {
            ResultStatus status;
            int count = 0;
            status = FL_ask_size(folder, &count);
            status = AOM_refresh(folder, 1);
            status = FL_insert(folder, item, count);
            status = AOM_save(folder);
            status = AOM_refresh(folder, 0);
            data.addUpdatedObject(folder);
        } catch (const IFail&) {
            AOM_refresh(folder, 0);
            data.addErrorStack(Tag(item));
        }
    }
    if (moduleOpen) {
        try {
            ResultStatus status;
            status = FL_exit_module();
        } catch (const IFail&) {
            data.addErrorStack();
        }
    }
    return response;
}

}  // namespace Velmora::Soa::Core::_2007_01
