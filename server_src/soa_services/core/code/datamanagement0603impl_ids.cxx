// Data management 2006_03: new item and revision identifiers from the user
// exits.
#include "soa_services/core/code/datamanagement0603impl.hxx"

#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "sm/scoped_smptr.hxx"
#include "user_exits/user_exits.hxx"

namespace Velmora::Soa::Core::_2006_03 {

DataManagement::GenerateItemIdsAndInitialRevisionIdsResponse DataManagementImpl::generateItemIdsAndInitialRevisionIds(
    const std::vector<GenerateItemIdsAndInitialRevisionIdsProperties>& input) {
    GenerateItemIdsAndInitialRevisionIdsResponse response;
    auto& output = response.outputItemIdsAndInitialRevisionIds;
    for (std::size_t k = 0; k < input.size(); ++k) {
        const auto& in = input[k];
        try {
            // The count is the client's: bounded before any identifier is handed out.
            if (in.count > kMaxIdentifierPairs) throw IFail(vl::platform::ERR_TOO_MANY_IDENTIFIERS);
            ResultStatus status;
            tag_t type = NULLTAG;
            status = OSTRATYPE_find_type(in.itemType.c_str(), "Item", &type);
            const int pairs = in.count > 1 ? in.count : 1;
            std::vector<ItemIdsAndInitialRevisionIds> ids;
            ids.reserve(pairs);
            for (int i = 0; i < pairs; ++i) {
                ItemIdsAndInitialRevisionIds pair;
                scoped_smptr<char> itemId;
                status = USER_new_item_id(in.item, type, &pair.isItemModify, &itemId);
                scoped_smptr<char> revId;
                status = USER_new_revision_id(in.item, type, &pair.isRevModify, &revId);
                pair.newItemId = itemId.get() ? itemId.get() : "";
                pair.newRevId = revId.get() ? revId.get() : "";
                ids.push_back(std::move(pair));
            }
            output.emplace(static_cast<int>(k), std::move(ids));
        } catch (const IFail&) {
            response.serviceData.addErrorStackWithIndex(static_cast<int>(k));
        }
    }
    return response;
}

DataManagement::GenerateRevisionIdsResponse DataManagementImpl::generateRevisionIds(
    const std::vector<GenerateRevisionIdsProperties>& input) {
    GenerateRevisionIdsResponse response;
    for (std::size_t k = 0; k < input.size(); ++k) {
        const auto& in = input[k];
        try {
            ResultStatus status;
            tag_t type = NULLTAG;
            status = OSTRATYPE_find_type(in.itemType.c_str(), "Item", &type);
            RevisionIds ids;
            scoped_smptr<char> revId;
            status = USER_new_revision_id(in.item, type, &ids.isModify, &revId);
            ids.newRevId = revId.get() ? revId.get() : "";
            response.outputRevisionIds.emplace(static_cast<int>(k), std::move(ids));
        } catch (const IFail&) {
            response.serviceData.addErrorStackWithIndex(static_cast<int>(k));
        }
    }
    return response;
}

}  // namespace Velmora::Soa::Core::_2006_03
