// Object refresh, property setting, folder moves and uid generation.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_services/core/code/datamanagement_util.hxx"

#include <unordered_set>

namespace Velmora::Soa::Core::_2007_01 {

using Velmora::Soa::Server::ServiceData;

ServiceData DataManagementImpl::refreshObjects(const std::vector<Tag>& objects) {
    ServiceData serviceData;
    ResultStatus status;
    for (const Tag& tag : objects) {
        // The wrapper neither loads nor checks its object: reload does, so an
        // object that is gone fails here, under its own key.
        OstraAO object(tag);
        try {
            status = object.reload(0);
            serviceData.addUpdatedObject(tag);
        } catch (IFail&) {
            serviceData.addErrorStack(tag);
        }
    }
    return serviceData;
}

ServiceData DataManagementImpl::setProperties(const std::vector<Tag>& objects,
                                              const std::map<std::string, VecStruct>& attributes) {
    ServiceData serviceData;
    ResultStatus status;
    for (const Tag& tag : objects) {
        for (const auto& [name, values] : attributes) {
            if (name.empty()) {
                // Stored first, so the partial error says what went wrong.
                ERROR_store(3, vl::platform::ERR_SET_PROPERTY_FAILED);
                serviceData.addErrorStack(tag);
                continue;
            }
            const std::string propertyName = name;
            try {
                status = DataManagementUtil::setProperties(tag, propertyName, values.stringVecArray);
                serviceData.addUpdatedObject(tag);
                serviceData.addProperty(tag, propertyName);
            } catch (IFail&) {
                ERROR_store(3, vl::platform::ERR_SET_PROPERTY_FAILED);
                serviceData.addErrorStack(tag);
            }
        }
    }
    return serviceData;
}

namespace {

// The old folder's entries before an info's moves, so that an object whose
// insertion into the new folder failed goes back to where it stood.
class OldFolderEntries {
public:
    explicit OldFolderEntries(tag_t folder) {
        ResultStatus status;
        int count = 0;
        tag_t* entries = nullptr;
        status = FL_ask_references(folder, 0, &count, &entries);
        scoped_smptr<tag_t> owned(entries);
        m_entries.assign(entries, entries + count);
    }

    void removed(tag_t object) { m_removed.insert(object); }
    void restored(tag_t object) { m_removed.erase(object); }

    // Where the object stood, counted among the entries still in the folder.
    int positionOf(tag_t object) const {
        int position = 0;
        for (tag_t entry : m_entries) {
            if (entry == object) return position;
            if (!m_removed.count(entry)) ++position;
        }
        return -1;  // not found: at the end
    }

private:
    std::vector<tag_t> m_entries;
    std::unordered_set<tag_t> m_removed;
};

}  // namespace

DataManagement::MoveToNewFolderResponse DataManagementImpl::moveToNewFolder(
    const std::vector<MoveToNewFolderInfo>& infos) {
    ServiceData serviceData;
    ResultStatus status;
    try {
        status = FL_init_module();
    } catch (IFail&) {
        serviceData.addErrorStack();
    }

    for (const MoveToNewFolderInfo& info : infos) {
        const tag_t oldFolder = info.oldFolder.tag();
        const tag_t newFolder = info.newFolder.tag();
        int counter = 0;
        // A failing info is rolled back whole: its folders are released and
        // keep what they held, saved or not.
        int markpoint = 0;
        try {
            PomResultStatus pomStatus;
            pomStatus = POM_place_markpoint(&markpoint);
            status = FL_ask_size(newFolder, &counter);
            status = AOM_refresh(oldFolder, 1);
            status = AOM_refresh(newFolder, 1);
            OldFolderEntries entries(oldFolder);
            for (const Tag& object : info.objectsToMove) {
                bool removed = false;
                try {
                    status = FL_remove(oldFolder, object);
                    removed = true;
                    entries.removed(object);
                    const int position = counter++;
                    status = FL_insert(newFolder, object, position);
                } catch (IFail&) {
                    if (removed) {
                        // Failing to put it back fails the info, which rolls back.
                        status = FL_insert(oldFolder, object, entries.positionOf(object));
                        entries.restored(object);
                    }
                    serviceData.addErrorStack(object);
                }
            }
            status = AOM_save(oldFolder);
            status = AOM_save(newFolder);
            status = AOM_refresh(oldFolder, 0);
            status = AOM_refresh(newFolder, 0);
            pomStatus = POM_forget_markpoint(markpoint);
            markpoint = 0;
            serviceData.addUpdatedObject(newFolder);
            serviceData.addUpdatedObject(oldFolder);
        } catch (IFail&) {
            if (markpoint > 0) {
                bool changed = false;
                if (POM_roll_to_markpoint(markpoint, &changed) == 0) POM_forget_markpoint(markpoint);
            }
            serviceData.addErrorStack();
        }
    }

    try {
        status = FL_exit_module();
    } catch (IFail&) {
        serviceData.addErrorStack();
    }
    MoveToNewFolderResponse response;
    response.serviceData = serviceData;
    return response;
}

DataManagement::GenerateUIDResponse DataManagementImpl::generateUID(int count) {
    GenerateUIDResponse response;
    if (count > kMaxUids) {
        ERROR_store(3, vl::platform::ERR_TOO_MANY_UIDS);
        response.serviceData.addErrorStack();
        return response;
    }
    if (count > 0) response.uids.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string uid;
        generate_UID(uid);
        response.uids.push_back(std::move(uid));
    }
    return response;
}

void DataManagementImpl::generate_UID(std::string& uid) const {
    char buffer[16] = {};
    ResultStatus status;
    status = EIM_uid(buffer);
    uid = buffer;
}

}  // namespace Velmora::Soa::Core::_2007_01
