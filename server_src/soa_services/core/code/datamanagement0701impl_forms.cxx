// Form creation and update: creation, attributes and the relation to a
// parent are stages of their own, so one element can fail in one and go on.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "aom/aom.hxx"
#include "aom/form.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_services/core/code/datamanagement0603impl.hxx"
#include "soa_services/core/code/datamanagement_util.hxx"

#include <cstring>
#include <memory>
#include <set>

namespace Velmora::Soa::Core::_2007_01 {

namespace {

void freeFields(void* fields) { FORM_free_values(static_cast<FORM_field_s*>(fields)); }

void insertCopy(std::set<std::string>& names, const char* name) {
    scoped_smptr<char> copy(SM_string_copy_persistent(name));
    if (copy.get()) names.insert(copy.get());
}

// The names of the form's properties, as the reply lists them.
std::set<std::string> propertyNames(tag_t form) {
    ResultStatus status;
    std::set<std::string> names;
    bool pomStore = false;
    status = FORM___is_pomstore_form(form, &pomStore);
    if (pomStore) {
        int count = 0;
        scoped_smptr<tag_t> descriptors;
        status = FORM_ask_property_descriptors(form, &count, &descriptors);
        for (int i = 0; i < count; ++i) {
            PropertyDescriptor* pd = nullptr;
            if (int rc = PropertyDescriptor::askPropertyDescriptor(descriptors[i], &pd)) {
                ERROR_store_forget_last_error(rc);
                continue;
            }
            insertCopy(names, pd->name().c_str());
        }
    } else {
        scoped_smptr<FORM_field_s, freeFields> fields;
        status = FORM__ask_ostrafile_values(form, &fields);
        for (const FORM_field_s* f = fields.get(); f && f->valid != 0; ++f)
            insertCopy(names, std::string(f->name, strnlen(f->name, sizeof f->name)).c_str());
    }
    names.insert("object_type");
    return names;
}

// A release whose failure changes nothing for the caller and leaves no error.
void releaseQuietly(tag_t object) {
    if (int rc = AOM_refresh(object, 0)) ERROR_store_forget_last_error(rc);
}

}  // namespace

DataManagement::CreateOrUpdateFormsResponse DataManagementImpl::createOrUpdateForms(const std::vector<FormInfo>& infos) {
    CreateOrUpdateFormsResponse response;
    Velmora::Soa::Server::ServiceData& data = response.serviceData;
    for (const FormInfo& info : infos) {
        Tag form = info.formObject;
        bool created = false;

        if (form.isNull()) {
            int markpoint = -1;
            tag_t made = NULLTAG;
            try {
                ResultStatus status;
                PomResultStatus pomStatus;
                status = FORM_create(info.name.c_str(), info.description.c_str(), info.formType.c_str(), &made);
                form = made;
                if (info.saveDB) {
                    pomStatus = POM_place_markpoint(&markpoint);
                    status = AOM_save(form);
                    status = AOM_refresh(form, 0);
                }
                created = true;
                data.addCreatedObject(form);
                data.addProperties(form, propertyNames(form));
                response.output.push_back({info.clientId, form});
            } catch (const IFail&) {
                if (!form.isNull()) {
                    data.addErrorStack(form);
                } else {
                    data.addErrorStack(info.clientId);
                    if (markpoint > 0) {
                        PomResultStatus pomStatus;
                        bool changed = false;
                        pomStatus = POM_roll_to_markpoint(markpoint, &changed);
                    }
                }
            }
            if (markpoint > 0) {
                PomResultStatus pomStatus;
                pomStatus = POM_forget_markpoint(markpoint);
            }
            // Not left open for change, whether saved, unsaved or failed.
            if (!form.isNull()) releaseQuietly(form);
        }
        if (form.isNull()) continue;

        if (info.saveDB) {
            for (const auto& [name, values] : info.attributesMap) {
                try {
                    ResultStatus status;
                    status = DataManagementUtil::setProperties(form, name, values);
                    data.addProperty(form, name);
                    if (!created) data.addUpdatedObject(form);
                } catch (const IFail&) {
                    data.addErrorStack(form);
                }
            }
        }

        if (info.parentObject.isNull()) continue;
        const Tag& parent = info.parentObject;
        // The create operations' container check and relation rule: a uid
        // that names no object or a parent the user may not write is one
        // partial error under the parent; a failed check one without key. A
        // parent, folder or not, is updated only when the form was related
        // to it; otherwise the rule's reason is a partial error under it.
        if (!_2006_03::DataManagementImpl::containerWritable(parent, data)) continue;
        auto relations = std::make_unique<_2006_03::DataManagementImpl>();
        if (relations->relateToContainer(parent, form, std::string(), info.relationName))
            data.addUpdatedObject(parent);
        else
            data.addErrorStack(parent);
    }
    return response;
}

}  // namespace Velmora::Soa::Core::_2007_01
