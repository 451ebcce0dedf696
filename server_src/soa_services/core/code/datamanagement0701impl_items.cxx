// Item look-up by identifier.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

namespace Velmora::Soa::Core::_2007_01 {

DataManagement::GetItemFromIdResponse DataManagementImpl::getItemFromId(const std::vector<GetItemFromIdInfo>&, int,
                                                                        const GetItemFromIdPref&) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

void DataManagementImpl::fillRevNDatasets(GetItemFromIdResponse&, GetItemFromIdItemOutput&, unsigned int,
                                          const GetItemFromIdPref&) const {}

void DataManagementImpl::getFilteredDatasets(const unsigned int&, const GetItemFromIdPref&,
                                             std::vector<POMRef<Dataset>>&) const {}

}  // namespace Velmora::Soa::Core::_2007_01
