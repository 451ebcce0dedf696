// Data management 2006_03: revising item revisions with their master forms,
// deleting relations and objects, and changing ownership.
#include "soa_services/core/code/datamanagement0603impl.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "sm/scoped_smptr.hxx"

#include <algorithm>
#include <utility>

namespace Velmora::Soa::Core::_2006_03 {

using Velmora::Soa::Server::ServiceData;

// --- revise ---

namespace {

// Releases what an entry holds open when a step that ends the request fails,
// so that no lock outlives the exception document.
class OpenUntilReleased {
public:
    explicit OpenUntilReleased(tag_t object) : m_object(object) {}
    ~OpenUntilReleased() {
        if (m_object != NULLTAG) AOM_refresh(m_object, 0);
    }
    OpenUntilReleased(const OpenUntilReleased&) = delete;
    OpenUntilReleased& operator=(const OpenUntilReleased&) = delete;
    void released() { m_object = NULLTAG; }

private:
    tag_t m_object;
};

// The entry's master form: the first secondary of the master-form relation.
// False when it cannot be listed (its partial error is recorded).
bool masterFormOf(tag_t revision, tag_t masterFormType, tag_t& form, ServiceData& data) {
    form = NULLTAG;
    try {
        ResultStatus status;
        int count = 0;
        scoped_smptr<tag_t> forms;
        status = GRM_list_secondary_objects_only(revision, masterFormType, &count, &forms);
        if (count > 0) form = forms[0];
        return true;
    } catch (const IFail&) {
        data.addErrorStack(Tag(revision));
        return false;
    }
}

// Sets the form's properties from their display values, in name order; a
// pair that fails is recorded under the form and the others are still set.
void setFormProperties(tag_t form, const std::map<std::string, std::string>& properties, ServiceData& data) {
    for (const auto& [name, value] : properties) {
        try {
            if (name.empty() || value.empty()) {
                ERROR_store(3, vl::platform::ERR_EMPTY_FORM_PROPERTY);
                data.addErrorStack(Tag(form));
                continue;
            }
            ResultStatus status;
            status = AOM_UIF_set_value(form, name.c_str(), value.c_str());
        } catch (const IFail&) {
            data.addErrorStack(Tag(form));
        }
    }
}

}  // namespace

DataManagement::ReviseResponse DataManagementImpl::revise(
    const std::map<POMRef<OstraItemRevP>, ReviseProperties>& input) {
    tag_t masterFormType = NULLTAG;
    try {
        ResultStatus status;
        status = GRM_find_relation_type("OSTRA_master_form", &masterFormType);
    } catch (const IFail&) {
        throw IFail(vl::platform::ERR_NO_MASTER_FORM_TYPE);
    }
    // A missing type is answered with the null tag; listing by it would take
    // any secondary for the form.
    if (masterFormType == NULLTAG) throw IFail(vl::platform::ERR_NO_MASTER_FORM_TYPE);

    ReviseResponse response;
    ServiceData& data = response.serviceData;
    for (const auto& [revision, properties] : input) {
        const Tag& old = revision.tag();
        if (Tag::isValid(old) != 0) {
            ERROR_store(3, vl::platform::ERR_INVALID_TAG);
            data.addErrorStack(old);
            continue;
        }
        if (properties.revId.empty()) {
            ERROR_store(3, vl::platform::ERR_EMPTY_REVISION_ID);
            data.addErrorStack(old);
            continue;
        }
        tag_t newRevision = NULLTAG;
        try {
            ResultStatus status;
            status = ITEM_copy_rev(old, properties.revId.c_str(), &newRevision);
        } catch (const IFail&) {
            data.addErrorStack(old);
            continue;
        }

        ResultStatus status;  // unguarded: a failure ends the request
        {
            OpenUntilReleased open(newRevision);
            status = AOM_refresh(newRevision, 1);
            try {
                ResultStatus set;
                if (!properties.name.empty()) set = ITEM_set_rev_name(newRevision, properties.name.c_str());
                if (!properties.description.empty())
                    set = ITEM_set_rev_description(newRevision, properties.description.c_str());
            } catch (const IFail&) {
                data.addErrorStack();
            }
            status = AOM_save(newRevision);
            status = AOM_refresh(newRevision, 0);
            open.released();
        }
        response.oldItemRevToNewItemRev.emplace(revision, POMRef<OstraItemRevP>(newRevision));
        data.addCreatedObject(newRevision);

        tag_t form = NULLTAG;
        if (!masterFormOf(newRevision, masterFormType, form, data)) continue;
        if (form != NULLTAG) {
            OpenUntilReleased open(form);
            status = AOM_refresh(form, 1);
            setFormProperties(form, properties.extendedAttributes, data);
            status = AOM_save(form);
            status = AOM_refresh(form, 0);
            open.released();
            data.addCreatedObject(form);
        }

        try {
            ResultStatus copied;
            int count = 0;
            scoped_smptr<unsigned int> copies;
            copied = ITEM_perform_deepcopy(newRevision, "Revise", old, &count, &copies);
            if (count > 0 && copies[0] != NULLTAG)
                for (int i = 0; i < count; ++i) data.addCreatedObject(copies[i]);
        } catch (const IFail&) {
            data.addErrorStack(Tag(newRevision));
        }
    }
    return response;
}

// --- deleteRelations ---

namespace {

// Where an object stood in the folders it is taken out of, so that a
// removal or deletion that fails half-way can put it back.
class FolderRemovals {
public:
    explicit FolderRemovals(tag_t object) : m_object(object) {}

    // Takes the object out of the folder (every entry of it) and saves the folder.
    void remove(tag_t folder) {
        ResultStatus status;
        int count = 0;
        scoped_smptr<int> at;
        // Told by the removal itself: reading the folder first would cost
        // the whole list for each object taken out of it.
        status = FL_remove_reporting(folder, m_object, &count, &at);
        m_removed.emplace_back(folder, std::vector<int>(at.get(), at.get() + count));
        status = AOM_save(folder);
    }

    // Puts the object back at its positions, each folder saved again.
    // Failures store their errors for the caller's partial error.
    void restore() {
        for (auto it = m_removed.rbegin(); it != m_removed.rend(); ++it) {
            bool ok = true;
            for (int position : it->second) ok = ok && FL_insert(it->first, m_object, position) == 0;
            if (ok) AOM_save(it->first);
        }
        m_removed.clear();
    }

private:
    tag_t m_object;
    std::vector<std::pair<tag_t, std::vector<int>>> m_removed;
};

}  // namespace

ServiceData DataManagementImpl::deleteRelations(const std::vector<Relationship>& input) {
    ServiceData data;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const Relationship& in = input[i];
        try {
            ResultStatus status;
            POMObject* primary = nullptr;
            // A primary that does not load is no folder; its error must not
            // reach a later input's partial error.
            if (in.primaryObject.object(&primary) != status_t::OK) ERROR_store_clear();
            if (primary && primary->isA("Folder")) {
                FolderRemovals removal(in.secondaryObject);
                try {
                    removal.remove(in.primaryObject);
                    status = AOM_refresh(in.primaryObject, 0);
                } catch (const IFail&) {
                    // A failed input changes nothing: left unsaved, the
                    // removal would go with the folder's next save.
                    removal.restore();
                    throw;
                }
                continue;
            }
            tag_t relationType = NULLTAG;
            status = GRM_find_relation_type(in.relationType.c_str(), &relationType);
            if (relationType == NULLTAG) continue;
            tag_t relation = NULLTAG;
            status = GRM_find_relation(in.primaryObject, in.secondaryObject, relationType, &relation);
            if (relation == NULLTAG) continue;
            status = GRM_delete_relation(relation);
        } catch (const IFail&) {
            data.addErrorStackWithIndex(static_cast<int>(i));
        }
    }
    return data;
}

// --- deleteObjects ---

namespace {

// True when every object that refers to `object` is a folder (or none does).
bool onlyFoldersRefer(const tag_t* referencers, int count) {
    ResultStatus status;
    tag_t folderClass = NULLTAG;
    status = POM_class_id_of_class("Folder", &folderClass);
    for (int i = 0; i < count; ++i) {
        tag_t cls = NULLTAG;
        bool folder = false;
        status = POM_class_of_instance(referencers[i], &cls);
        status = POM_is_descendant(folderClass, cls, &folder);
        if (!folder) return false;
    }
    return true;
}
}  // namespace

ServiceData DataManagementImpl::deleteObjects(std::vector<Tag>& objects) {
    ServiceData data;
    for (const Tag& object : objects) {
        if (object.isNull() || Tag::isValid(object) != 0) {
            ERROR_store(3, vl::platform::ERR_INVALID_TAG);
            data.addErrorStack();
            continue;
        }
        FolderRemovals removals(object);
        bool locked = false;
        try {
            ResultStatus status;
            int count = 0;
            scoped_smptr<int> levels;
            scoped_smptr<tag_t> referencers;
            scoped_smptr<char*> relations;
            status = WSOM_where_referenced(object, 1, &count, &levels, &referencers, &relations);
            if (!onlyFoldersRefer(referencers.get(), count)) {
                ERROR_store(3, vl::platform::ERR_REFERENCED_BY_NON_FOLDER);
                data.addErrorStack();
                continue;
            }
            scoped_smptr<char> uid;
            if (POM_tag_to_uid(object, &uid) != 0) {
                data.addErrorStack(object);
                continue;
            }
            status = AOM_refresh(object, 1);
            locked = true;
            for (int i = 0; i < count; ++i) removals.remove(referencers[i]);
            status = AOM_delete(object);
            data.addDeletedObject(uid.get());
        } catch (const IFail&) {
            // Nothing half-done stays: the object goes back into its folders
            // and is released.
            removals.restore();
            if (locked) AOM_refresh(object, 0);
            data.addErrorStack();
        }
    }
    return data;
}

// --- changeOwnership ---

ServiceData DataManagementImpl::changeOwnership(const std::vector<ObjectOwner>& input) {
    ServiceData data;
    for (const ObjectOwner& in : input) {
        if (AOM_set_ownership(in.object, in.owner.tag(), in.group.tag()) != 0)
            data.addErrorStack(in.object);
        else
            data.addUpdatedObject(in.object);
    }
    return data;
}

}  // namespace Velmora::Soa::Core::_2006_03
