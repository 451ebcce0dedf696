// The operations this build does not offer yet: each answers "not available".
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

namespace Velmora::Soa::Core::_2007_01 {

DataManagement::SaveAsNewItemResponse DataManagementImpl::saveAsNewItem(const std::vector<SaveAsNewItemInfo>&) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

}  // namespace Velmora::Soa::Core::_2007_01
