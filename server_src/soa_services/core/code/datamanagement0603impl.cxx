// Data management 2006_03: relations (with the relation-type choice from
// preferences), folders and the container rule that the create operations
// share.
#include "soa_services/core/code/datamanagement0603impl.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/grm.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "kernel/pref.hxx"
#include "pom/pom.hxx"
#include "propdesc/property_descriptor.hxx"
#include "sm/sm.hxx"

#include <optional>

namespace Velmora::Soa::Core::_2006_03 {

namespace {

using Velmora::Soa::Server::ServiceData;

const char* const kRelationSuffix = "_default_relation";

// A member-ending platform call of the preference search: when it fails it is
// made once more. A second call that succeeds lets the search go on as if the
// first had; one that fails ends the member with its result. Set when the
// member ends here.
using Ending = std::optional<int>;

template <class Call>
Ending retried(Call&& call) {
    if (call() == 0) return std::nullopt;
    const int rc = call();
    if (rc != 0) return rc;
    // A failure the second call recovered from must not reach a later,
    // unrelated partial error.
    ERROR_store_clear();
    return std::nullopt;
}

// The first value of a string preference, when it has one. A failing question
// counts as a preference without value.
bool firstPreferenceValue(const std::string& name, std::string& value) {
    int count = 0;
    char** values = nullptr;
    PREF_ask_char_values(name.c_str(), &count, &values);
    const bool found = count > 0 && values;
    if (found) value = values[0] ? values[0] : "";
    if (values) {
        for (int i = 0; i < count; ++i) SM_free(values[i]);
        SM_free(values);
    }
    // A preference that is not there is no failure: its error must not reach
    // a later partial error.
    if (!found) ERROR_store_clear();
    return found;
}

// Type tag and name of an object's business type.
Ending objectTypeAndName(tag_t object, tag_t& type, std::string& name) {
    if (Ending end = retried([&] { return OSTRATYPE_ask_object_type(object, &type); })) return end;
    char buffer[OSTRATYPE_name_size_c + 1] = {};
    if (Ending end = retried([&] { return OSTRATYPE_ask_name(type, buffer); })) return end;
    name = buffer;
    return std::nullopt;
}

// Parent type and its name; `parent` null at the top of the hierarchy.
Ending parentTypeAndName(tag_t type, tag_t& parent, std::string& name) {
    if (Ending end = retried([&] { return OSTRATYPE_ask_parent_type(type, &parent); })) return end;
    if (parent == NULLTAG) return std::nullopt;
    char buffer[OSTRATYPE_name_size_c + 1] = {};
    if (Ending end = retried([&] { return OSTRATYPE_ask_name(parent, buffer); })) return end;
    name = buffer;
    return std::nullopt;
}

Ending allScope() {
    return retried([] { return PREF_set_search_scope(OSTRA_preference_all_preferences); });
}

}  // namespace

// --- relation-type choice ---

int DataManagementImpl::preferredRelation(Tag primary, Tag secondary, std::string& relationType) const {
    if (Ending end = retried([] { return PREF_initialize(); })) return *end;
    if (secondary.isNull()) {
        if (getDefaultRelation(primary, relationType) == 0) return 0;
        const int rc = getDefaultRelation(primary, relationType);
        if (rc == 0) ERROR_store_clear();  // the first failure was recovered from
        return rc;
    }
    tag_t primaryType = NULLTAG, secondaryType = NULLTAG;
    std::string primaryName, secondaryName;
    if (Ending end = objectTypeAndName(primary, primaryType, primaryName)) return *end;
    if (Ending end = objectTypeAndName(secondary, secondaryType, secondaryName)) return *end;

    if (primaryName == "Folder" && secondaryName == "WolfObject") {
        relationType = "VL_external_object_link";
        return 0;
    }
    const int rc = getPreferredRelation(primary, secondary, relationType);
    if ((rc != 0 || relationType.empty()) && primaryName == "Folder") {
        if (rc != 0) ERROR_store_clear();  // the failure is dropped, and so is its error
        relationType = "contents";
        return 0;
    }
    return rc;
}

int DataManagementImpl::getPreferredRelation(Tag primary, Tag secondary, std::string& relationType) const {
    tag_t primaryType = NULLTAG, secondaryType = NULLTAG;
    std::string primaryName, secondaryOwnName;
    if (Ending end = objectTypeAndName(primary, primaryType, primaryName)) return *end;
    if (Ending end = objectTypeAndName(secondary, secondaryType, secondaryOwnName)) return *end;

    for (;;) {
        if (Ending end = allScope()) return *end;
        std::string secondaryName = secondaryOwnName;
        if (firstPreferenceValue(primaryName + "_" + secondaryName + kRelationSuffix, relationType)) return 0;
        for (tag_t current = secondaryType;;) {
            tag_t parent = NULLTAG;
            if (Ending end = parentTypeAndName(current, parent, secondaryName)) return *end;
            if (parent == NULLTAG) break;
            if (firstPreferenceValue(primaryName + "_" + secondaryName + kRelationSuffix, relationType)) return 0;
            current = parent;
        }
        tag_t parent = NULLTAG;
        if (Ending end = parentTypeAndName(primaryType, parent, primaryName)) return *end;
        if (parent == NULLTAG) break;
        primaryType = parent;
    }
    // Its result is not used, so neither are its errors.
    if (getDefaultRelation(primary, relationType) != 0) ERROR_store_clear();
    return 0;
}

int DataManagementImpl::getDefaultRelation(Tag object, std::string& relationType) const {
    tag_t type = NULLTAG;
    std::string name;
    if (Ending end = objectTypeAndName(object, type, name)) return *end;
    for (;;) {
        if (Ending end = allScope()) return *end;
        if (firstPreferenceValue(name + kRelationSuffix, relationType)) return 0;
        tag_t parent = NULLTAG;
        if (Ending end = parentTypeAndName(type, parent, name)) return *end;
        if (parent == NULLTAG) return 0;
        type = parent;
    }
}

// --- createRelations ---

namespace {

// Puts `secondary` into the reference property `name` of `primary`: set for
// a single-valued property, appended for an array. A read-only property is
// opened for the change and closed again afterwards.
void setReferenceProperty(const DataManagement::Relationship& input, const std::string& name, ServiceData& data) {
    const tag_t primary = input.primaryObject;
    const tag_t secondary = input.secondaryObject;
    // Nothing unusable goes into a reference property.
    if (secondary == NULLTAG || Tag::isValid(secondary) != 0) {
        ERROR_store(3, vl::platform::ERR_INVALID_TAG);
        data.addErrorStack(input.clientId);
        return;
    }
    PropertyDescriptor* descriptor = nullptr;
    if (AOM_ask_property_desc(primary, name.c_str(), &descriptor) != 0 || !descriptor) {
        data.addErrorStack(input.clientId);
        return;
    }
    const bool opened = descriptor->protection() == 1;
    if (opened) descriptor->setReadWrite();

    if (descriptor->arraySize() == 1) {
        if (AOM_set_value_tag(primary, name.c_str(), secondary) != 0) data.addErrorStack(input.clientId);
    } else {
        bool locked = false;
        try {
            ResultStatus status;
            int count = 0;
            // Read for its checks only, and appended to in place: a copy of
            // the list per entry made filling one folder quadratic.
            status = AOM_get_value_tags(primary, name.c_str(), &count, nullptr);
            status = AOM_refresh(primary, 1);
            locked = true;
            status = AOM_append_value_tag(primary, name.c_str(), secondary);
            status = AOM_save(primary);
            locked = false;
            status = AOM_refresh(primary, 0);
        } catch (const IFail&) {
            // The primary is released whatever failed after its lock.
            if (locked) AOM_refresh(primary, 0);
            data.addErrorStack(input.clientId);
        }
    }
    if (opened) descriptor->setReadOnly();
}

}  // namespace

DataManagement::CreateRelationsResponse DataManagementImpl::createRelations(const std::vector<Relationship>& input) {
    CreateRelationsResponse response;
    ServiceData& data = response.serviceData;
    response.output.reserve(input.size());
    ResultStatus saveStatus;
    for (const Relationship& in : input) {
        std::string relationType = in.relationType;
        if (relationType.empty()) {
            try {
                ResultStatus status;
                status = preferredRelation(in.primaryObject, in.secondaryObject, relationType);
            } catch (const IFail&) {
                data.addErrorStack(in.clientId);
                continue;
            }
            if (relationType.empty()) continue;
        }

        tag_t relType = NULLTAG;
        if (GRM_find_relation_type(relationType.c_str(), &relType) != 0 || relType == NULLTAG) {
            ERROR_store_clear();  // not a relation type: taken as a property name
            setReferenceProperty(in, relationType, data);
            response.output.push_back({in.clientId, POMRef<OstraRelation>()});
            continue;
        }

        tag_t existing = NULLTAG;
        if (GRM_find_relation(in.primaryObject, in.secondaryObject, relType, &existing) == 0 && existing != NULLTAG) {
            // The client learns why nothing was made.
            ERROR_store(3, vl::platform::ERR_DUPLICATE, vl::platform::relationExistsText(relationType).c_str());
            data.addErrorStack();
            continue;
        }
        ERROR_store_clear();  // a failed look-up counts as absence
        if (!in.userData.isNull() && Tag::isValid(in.userData) != 0) {
            ERROR_store(3, vl::platform::ERR_INVALID_TAG);
            data.addErrorStack(in.userData);
            continue;
        }
        tag_t relation = NULLTAG;
        if (GRM_create_relation(in.primaryObject, in.secondaryObject, relType, in.userData, &relation) != 0 ||
            relation == NULLTAG) {
            data.addErrorStack();
            continue;
        }
        try {
            saveStatus = GRM_save_relation(relation);
        } catch (const IFail&) {
            discardRelation(relation);
            throw;
        }
        response.output.push_back({in.clientId, POMRef<OstraRelation>(relation)});
    }
    return response;
}

// --- the container check and the container relation rule ---

void DataManagementImpl::discardRelation(const Tag& relation) {
    if (GRM_delete_relation(relation) != 0) AOM_refresh(relation, 0);
}

bool DataManagementImpl::restoreErrors(const ServiceData& inner) {
    bool any = false;
    const Velmora::Soa::Server::PartialErrors& errors = inner;
    for (const auto& stack : errors.getWireData().getErrorArray()) {
        for (const auto& value : stack.getErrorValueArray()) {
            ERROR_store(value.getLevel(), value.getCode(), value.getMessage().c_str());
            any = true;
        }
    }
    return any;
}

bool DataManagementImpl::containerWritable(const Tag& container, ServiceData& data) {
    if (container.isNull()) return false;
    if (Tag::isValid(container) != 0) {
        // A uid that names no object (unknown or deleted): nothing can be
        // related to it, and the client learns why.
        ERROR_store(3, vl::platform::ERR_NO_SUCH_OBJECT);
        data.addErrorStack(container);
        return false;
    }
    bool writable = false;
    if (AM_check_privilege(container, "WRITE", &writable) != 0) {
        data.addErrorStack();
        return false;
    }
    if (!writable) {
        ERROR_store(3, vl::platform::ERR_NOT_MODIFIABLE, "container is not modifiable");
        data.addErrorStack(container);
    }
    return writable;
}

bool DataManagementImpl::relateToContainer(const Tag& container, const Tag& object, const std::string& clientId,
                                           const std::string& relationType, Tag* relation) {
    if (relation) *relation = Tag();
    Relationship relationship;
    relationship.clientId = clientId;
    relationship.relationType = relationType;
    relationship.primaryObject = container;
    relationship.secondaryObject = object;
    DataManagement& self = *this;
    CreateRelationsResponse response;
    try {
        response = self.createRelations({relationship});
    } catch (const IFail&) {
        // Its error is in the store already.
        if (ERROR_store_ask_last_ifail() == 0) ERROR_store_initial_error(3, vl::platform::ERR_RELATE_TO_CONTAINER);
        return false;
    }
    const Velmora::Soa::Server::PartialErrors& errors = response.serviceData;
    const bool recorded = !errors.getWireData().getErrorArray().empty();
    for (const CreateRelationsOutput& out : response.output) {
        // A relation, or a reference property set without an error.
        if (!out.relation.isNull() || !recorded) {
            if (relation) *relation = out.relation.tag();
            return true;
        }
    }
    if (!restoreErrors(response.serviceData)) ERROR_store_initial_error(3, vl::platform::ERR_RELATE_TO_CONTAINER);
    return false;
}

// --- createFolders ---

DataManagement::CreateFoldersResponse DataManagementImpl::createFolders(const std::vector<CreateFolderInput>& folders,
                                                                        const Tag& container,
                                                                        std::string relationType) {
    CreateFoldersResponse response;
    ServiceData& data = response.serviceData;
    const bool relatable = containerWritable(container, data);
    bool updated = false;

    response.output.reserve(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const CreateFolderInput& in = folders[i];
        tag_t folder = NULLTAG;
        bool locked = false;
        try {
            if (in.name.empty()) {
                ERROR_store_initial_error(3, vl::platform::ERR_EMPTY_NAME);
                data.addErrorStack();
                continue;
            }
            ResultStatus status;
            status = FL_create(in.name.c_str(), in.desc.c_str(), &folder);
            locked = true;
            status = AOM_save(folder);
            status = AOM_refresh(folder, 0);
            locked = false;

            if (relatable) {
                // The folder exists whatever the rule gives: it is reported
                // with the reason it is not related.
                if (relateToContainer(container, folder, std::string(), relationType))
                    updated = true;
                else
                    data.addErrorStack();
            }
            response.output.push_back({in.clientId, POMRef<Folder>(folder)});
            data.addCreatedObject(folder);
        } catch (const IFail&) {
            // A folder that could not be saved or released is not left
            // behind, unreported; should it resist, its lock at least goes.
            if (folder != NULLTAG && AOM_delete(folder) != 0 && locked) AOM_refresh(folder, 0);
            data.addErrorStack(in.clientId);
        }
    }
    if (updated) data.addUpdatedObject(container);
    return response;
}

}  // namespace Velmora::Soa::Core::_2006_03
