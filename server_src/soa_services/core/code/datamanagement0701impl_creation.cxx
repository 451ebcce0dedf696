// Creation-related information for datasets and items, and the property
// descriptions of form types.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "ae/dataset.hxx"
#include "aom/aom.hxx"
#include "aom/form.hxx"
#include "aom/item.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "foundation/vl_string.hxx"
#include "sm/scoped_smptr.hxx"
#include "user_exits/user_exits.hxx"

#include <cstring>
#include <memory>

namespace Velmora::Soa::Core::_2007_01 {

namespace {

void freeFields(void* fields) { FORM_free_values(static_cast<FORM_field_s*>(fields)); }

const char* const kRuleProperties[] = {"object_name", "object_desc"};
const char* const kNamedProperties[] = {"object_name", "item_id", "item_revision_id"};

// The loaded property rule of the type's property, or null when it has none.
PropRule* findPropRule(const std::string& typeName, const char* property) {
    ResultStatus status;
    tag_t rule = NULLTAG;
    status = PropRule::find(typeName.c_str(), property, &rule);
    if (rule == NULLTAG) return nullptr;
    PropRule* loaded = nullptr;
    status = Tag(rule).object(PropRule::pomClassName(), &loaded);
    return loaded;
}

// Asks the rule's property (only its failure counts) and appends the first
// initial value, when there is one.
void addInitialValue(const PropRule& rule, std::vector<std::string>& initValues) {
    ResultStatus status;
    scoped_smptr<char> property;
    status = rule.askProperty(&property);
    int count = 0;
    scoped_smptr<char*> values;
    status = rule.askInitialValue(&count, &values);
    if (count > 0) initValues.emplace_back(values[0] ? values[0] : "");
}

}  // namespace

DataManagement::GetDatasetCreationRelatedInfoResponse DataManagementImpl::getDatasetCreationRelatedInfo(
    const std::string& typeName, const Tag& parentObject) {
    GetDatasetCreationRelatedInfoResponse response;
    try {
        ResultStatus status;
        tag_t type = NULLTAG;
        status = AE_find_datasettype(typeName.c_str(), &type);
        int toolCount = 0;
        scoped_smptr<tag_t> tools;
        status = AE_ask_datasettype_tools(type, &toolCount, &tools);
        for (int i = 0; i < toolCount; ++i) {
            scoped_smptr<char> toolName;
            status = AOM_UIF_ask_value(tools[i], "object_name", &toolName);
            response.toolNames.emplace_back(toolName.get() ? toolName.get() : "");
        }

        scoped_smptr<char> name;
        bool modifiable = false;
        status = USER_new_dataset_name(parentObject, type, NULLTAG, nullptr, &name, &modifiable);
        if (name.get()) response.newDatasetName = name.get();
        response.nameCanBeModified = modifiable;

        for (const char* property : kRuleProperties)
            if (PropRule* rule = findPropRule(typeName, property))
                addInitialValue(*rule, response.initValuePropertyRules);
    } catch (const IFail&) {
        response.serviceData.addErrorStack();
    }
    return response;
}

DataManagement::GetItemCreationRelatedInfoResponse DataManagementImpl::getItemCreationRelatedInfo(
    const std::string& typeName, const Tag&) {
    GetItemCreationRelatedInfoResponse response;
    try {
        ResultStatus status;
        for (const char* property : kRuleProperties) {
            PropRule* rule = findPropRule(typeName, property);
            if (!rule) continue;
            addInitialValue(*rule, response.initValuePropertyRules);
            if (std::string(property) == "object_desc") {
                scoped_smptr<char> complex;
                status = rule->askComplexProperty(&complex);
                response.complexValuePropertyRules.emplace_back(complex.get() ? complex.get() : "");
            }
        }

        for (const char* property : kNamedProperties) {
            tag_t field = NULLTAG;
            status = NameField::find(typeName.c_str(), property, &field);
            if (field == NULLTAG) continue;
            NameField* loadedField = nullptr;
            status = Tag(field).object(NameField::pomClassName(), &loadedField);
            tag_t rule = NULLTAG;
            status = loadedField->askRuleTag(&rule);
            NameRule* loadedRule = nullptr;
            status = Tag(rule).object(NameRule::pomClassName(), &loadedRule);
            int count = 0;
            scoped_smptr<char*> patterns;
            status = loadedRule->askPatterns(&count, &patterns);
            std::vector<std::string> list;
            for (int i = 0; i < count; ++i) list.emplace_back(patterns[i] ? patterns[i] : "");
            response.patternMap.emplace(property, std::move(list));
        }

        tag_t itemType = NULLTAG;
        status = OSTRATYPE_ask_type(typeName.c_str(), &itemType);
        tag_t uomDescriptor = NULLTAG;
        status = OSTRATYPE_ask_property_by_name(itemType, "uom_tag", &uomDescriptor);
        tag_t units = NULLTAG;
        status = PROPDESC_ask_lov(uomDescriptor, &units);
        // No list of values means no units to offer, not a failure.
        if (units != NULLTAG) {
            int count = 0;
            scoped_smptr<tag_t> values;
            status = LOV_ask_values_tag(units, &count, &values);
            for (int i = 0; i < count; ++i) {
                UnitOfMeasure* unit = nullptr;
                status = Tag(values[i]).object(UnitOfMeasure::pomClassName(), &unit);
                String symbol;
                status = unit->askSymbol(symbol);
                scoped_smptr<char> text(symbol.smString());
                response.uoms.emplace_back(text.get());
            }
        }

        scoped_smptr<char> revisionType;
        status = ITEM__get_revision_type_name(typeName.c_str(), &revisionType);
        response.revTypeName = revisionType.get() ? revisionType.get() : "";

        for (auto ask : {&ITEM_ask_master_form_type, &ITEM_ask_rev_master_form_type}) {
            scoped_smptr<char> formTypeName;
            status = ask(typeName.c_str(), &formTypeName);
            FormAttributesInfo info;
            info.formType = formTypeName.get() ? formTypeName.get() : "";
            tag_t formType = NULLTAG;
            status = OSTRATYPE_ask_type(info.formType.c_str(), &formType);
            info.formPDs = getAllFormPropDescriptor(formType);
            response.formAttrs.push_back(std::move(info));
        }

        for (const FormAttributesInfo& info : response.formAttrs)
            for (const FormPropDescriptor& descriptor : info.formPDs)
                if (!descriptor.lov.tag().isNull()) response.serviceData.addPlainObject(descriptor.lov.tag());
    } catch (const IFail&) {
        response.serviceData.addErrorStack();
    }
    return response;
}

std::vector<DataManagement::FormPropDescriptor> DataManagementImpl::getAllFormPropDescriptor(const Tag& formType) {
    std::vector<FormPropDescriptor> result;
    ResultStatus status;
    bool pomStore = false;
    status = FORM___is_pomstore_form(formType, &pomStore);
    if (pomStore) {
        int count = 0;
        scoped_smptr<tag_t> descriptors;
        status = FORM_ask_property_descriptors(formType, &count, &descriptors);
        for (int i = 0; i < count; ++i) {
            PropertyDescriptor* pd = nullptr;
            if (int rc = PropertyDescriptor::askPropertyDescriptor(descriptors[i], &pd)) {
                // Skipped: its error must not reach the next partial error.
                ERROR_store_forget_last_error(rc);
                continue;
            }
            FormPropDescriptor fpd;
            fpd.propName = pd->name();
            String presentation;
            if (pd->presentationName(presentation) == status_t::OK) fpd.displayName = presentation.str();
            fpd.propValueType = pd->valueType();
            fpd.propType = pd->propertyType();
            bool displayable = false;
            (void)pd->isDisplayable(&displayable);
            fpd.isDisplayable = displayable;
            fpd.isArray = pd->arraySize() != 1;
            fpd.isRequired = pd->isRequired();
            fpd.isEnabled = pd->isEnabled();
            fpd.isModifiable = pd->isModifiable();
            fpd.attachedSpecifier = 0;
            fpd.maxLength = pd->maxLength();

            ListOfValues* found = nullptr;
            status = pd->askListOfValues(&found);
            std::unique_ptr<ListOfValues> list(found);
            if (list) {
                fpd.lov = POMRef<ListOfValues>(list->tag());
                fpd.attachedSpecifier = pd->askLOVAttachSpecifier();
                int n = 0;
                scoped_smptr<char*> names;
                // Its result is not tested; a failure leaves no error behind.
                if (int rc = list->askInterdependents(descriptors[i], &n, &names)) ERROR_store_forget_last_error(rc);
                for (int k = 0; k < n; ++k) fpd.interdependentProps.emplace_back(names[k] ? names[k] : "");
            }
            result.push_back(std::move(fpd));
        }
    } else {
        scoped_smptr<FORM_field_s, freeFields> fields;
        status = FORM__ask_ostrafile_values(formType, &fields);
        for (const FORM_field_s* f = fields.get(); f && f->valid != 0; ++f) {
            FormPropDescriptor fpd;
            fpd.propName = std::string(f->name, strnlen(f->name, sizeof f->name));
            fpd.displayName = fpd.propName;
            fpd.propValueType = PROP_string;
            fpd.maxLength = 240;
            fpd.isDisplayable = true;
            result.push_back(std::move(fpd));
        }
    }
    return result;
}

}  // namespace Velmora::Soa::Core::_2007_01
