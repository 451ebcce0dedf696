// Object refresh, property setting, folder moves and uid generation.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

namespace Velmora::Soa::Core::_2007_01 {

Velmora::Soa::Server::ServiceData DataManagementImpl::refreshObjects(const std::vector<Tag>&) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

Velmora::Soa::Server::ServiceData DataManagementImpl::setProperties(const std::vector<Tag>&,
                                                                    const std::map<std::string, VecStruct>&) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

DataManagement::MoveToNewFolderResponse DataManagementImpl::moveToNewFolder(const std::vector<MoveToNewFolderInfo>&) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

DataManagement::GenerateUIDResponse DataManagementImpl::generateUID(int) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

void DataManagementImpl::generate_UID(std::string&) const {}

}  // namespace Velmora::Soa::Core::_2007_01
