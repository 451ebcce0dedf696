// Data management 2006_03: items with their first revisions and master forms,
// one object-store markpoint per input.
#include "soa_services/core/code/datamanagement0603impl.hxx"

#include "aom/aom.hxx"
#include "aom/form.hxx"
#include "aom/item.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "sm/scoped_smptr.hxx"
#include "user_exits/user_exits.hxx"

namespace Velmora::Soa::Core::_2006_03 {

namespace {

using Velmora::Soa::Server::ServiceData;

const char* const kSourceLabel = "server_src\\soa_services\\core\\code\\datamanagement0603impl";

// Suspends the client-server update list for one item and resumes it on
// every way out, when this suspension was the one that stopped it.
class UpdateListSuspension {
public:
    UpdateListSuspension() : m_suspended(OstraType::suspendClientServerUpdateList(kSourceLabel, 477)) {}
    ~UpdateListSuspension() { resume(); }
    UpdateListSuspension(const UpdateListSuspension&) = delete;
    UpdateListSuspension& operator=(const UpdateListSuspension&) = delete;
    void resume() {
        if (m_suspended) OstraType::resumeClientServerUpdateList(kSourceLabel, 518);
        m_suspended = false;
    }

private:
    bool m_suspended;
};

// A master form type name of an item type; absent when the type has none.
// Any other failure of the look-up throws: the attributes the client sent
// for the form would be lost.
std::string formTypeOf(int (*ask)(const char*, char**), const std::string& itemType, bool& present) {
    scoped_smptr<char> name;
    const int rc = ask(itemType.c_str(), &name);
    if (rc != 0 && rc != vl::platform::ERR_NOT_FOUND) throw IFail(rc, IFail::AlreadyStored{});
    present = rc == 0 && name.get();
    if (!present) {
        ERROR_store_clear();  // no form type is no failure
        return std::string();
    }
    return name.get();
}

// The master form types of the last item type looked up in one request:
// inputs mostly share a type, and the answer is the schema's, so it is asked
// once per run of inputs of one type. A look-up that throws leaves nothing;
// a kept answer of "none" clears the error store as the look-up does.
struct FormTypes {
    std::string itemType;
    bool known = false;
    bool hasItemForm = false, hasRevForm = false;
    std::string itemForm, revForm;

    const FormTypes& of(const std::string& type) {
        if (known && type == itemType) {
            if (!hasItemForm || !hasRevForm) ERROR_store_clear();
            return *this;
        }
        known = false;
        itemForm = formTypeOf(ITEM_ask_master_form_type, type, hasItemForm);
        revForm = formTypeOf(ITEM_ask_rev_master_form_type, type, hasRevForm);
        itemType = type;
        known = true;
        return *this;
    }
};

}  // namespace

DataManagement::CreateItemsResponse DataManagementImpl::createItems(const std::vector<ItemProperties>& properties,
                                                                    const Tag& container, std::string relationType) {
    CreateItemsResponse response;
    ServiceData& data = response.serviceData;
    DataManagement& self = *this;
    // New items are related only to a container the user may write.
    const bool relatable = containerWritable(container, data);
    bool updated = false;
    FormTypes formTypes;

    response.output.reserve(properties.size());
    for (const ItemProperties& in : properties) {
        int markpoint = 0;
        bool placed = false;
        try {
            const std::string itemType = in.type.empty() ? std::string("Item") : in.type;
            std::string itemId = in.itemId;
            std::string revId = in.revId;

            if (itemId.empty()) {
                GenerateItemIdsAndInitialRevisionIdsProperties ask;
                ask.itemType = itemType;
                ask.count = 1;
                auto generated = self.generateItemIdsAndInitialRevisionIds({ask});
                const auto& ids = generated.outputItemIdsAndInitialRevisionIds;
                if (ids.size() != 1 || ids.begin()->first != 0 || ids.begin()->second.size() != 1) {
                    restoreErrors(generated.serviceData);
                    data.addErrorStack(in.clientId);
                    continue;
                }
                itemId = ids.begin()->second.front().newItemId;
                if (revId.empty()) revId = ids.begin()->second.front().newRevId;
            } else if (revId.empty()) {
                GenerateRevisionIdsProperties ask;
                ask.itemType = itemType;
                auto generated = self.generateRevisionIds({ask});
                const auto& ids = generated.outputRevisionIds;
                auto zero = ids.find(0);
                if (ids.size() != 1 || zero == ids.end()) {
                    restoreErrors(generated.serviceData);
                    data.addErrorStack(in.clientId);
                    continue;
                }
                revId = zero->second.newRevId;
            }
            const std::string name = in.name.empty() ? itemId : in.name;

            PomResultStatus pomStatus;
            int placedAt = 0;
            pomStatus = POM_place_markpoint(&placedAt);
            markpoint = placedAt;
            placed = true;

            const FormTypes& forms = formTypes.of(itemType);
            const bool hasItemFormType = forms.hasItemForm, hasRevFormType = forms.hasRevForm;
            const std::string& itemFormType = forms.itemForm;
            const std::string& revFormType = forms.revForm;

            ResultStatus status;
            tag_t itemForm = NULLTAG, revForm = NULLTAG;
            for (const ExtendedAttributes& extended : in.extendedAttributes) {
                tag_t* form = nullptr;
                std::string formName;
                const std::string* formType = nullptr;
                if (hasItemFormType && extended.objectType == itemFormType) {
                    form = &itemForm;
                    formName = itemId;
                    formType = &itemFormType;
                } else if (hasRevFormType && extended.objectType == revFormType) {
                    form = &revForm;
                    formName = itemId + revId;
                    formType = &revFormType;
                } else {
                    continue;  // attributes meant for no master form
                }
                // A later entry for the same form type replaces the form made
                // for the earlier one, which would stay locked and unreported.
                if (*form != NULLTAG) {
                    status = AOM_delete(*form);
                    *form = NULLTAG;
                }
                status = FORM_create(formName.c_str(), "", formType->c_str(), form);
                for (const auto& [property, value] : extended.attributes)
                    status = setVLProperty(Tag(*form), property, value);
            }

            OstraItem item;
            OstraItemRev revision;
            status = OstraItem::create(itemId, name, itemType, revId, itemForm, revForm, item, revision);
            {
                UpdateListSuspension suspension;
                if (!in.uom.empty()) {
                    tag_t unit = NULLTAG;
                    status = UOM_find_by_name(in.uom.c_str(), &unit);
                    if (unit != NULLTAG) status = item.setUnitOfMeasure(unit);
                }
                if (!in.description.empty()) {
                    status = item.setDescription(in.description);
                    status = revision.setDescription(in.description);
                }
                status = revision.save();
                status = item.save();
                suspension.resume();
            }
            status = revision.unlock();
            status = item.unlock();
            USER_item_created(itemId.c_str(), revId.c_str());

            if (relatable) {
                // Nothing of an input that could not be related stays behind:
                // the handler rolls it back, with the reason.
                if (!relateToContainer(container, item.tag(), in.clientId, relationType))
                    throw IFail(vl::platform::ERR_RELATE_TO_CONTAINER, IFail::AlreadyStored{});
                updated = true;
            }

            response.output.push_back({in.clientId, POMRef<OstraItemP>(item.tag()),
                                       POMRef<OstraItemRevP>(revision.tag())});
            data.addCreatedObject(item.tag());
            data.addCreatedObject(revision.tag());
            if (itemForm != NULLTAG) data.addCreatedObject(itemForm);
            if (revForm != NULLTAG) data.addCreatedObject(revForm);
            if (updated) data.addUpdatedObject(container);
        } catch (const IFail&) {
            data.addErrorStack(in.clientId);
            if (placed) {
                bool changed = false;
                if (POM_roll_to_markpoint(markpoint, &changed) != 0) data.addErrorStack(in.clientId);
            }
        }
        if (placed && POM_forget_markpoint(markpoint) != 0) data.addErrorStack();
    }
    return response;
}

}  // namespace Velmora::Soa::Core::_2006_03
