// Where-used and where-referenced queries.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"

namespace Velmora::Soa::Core::_2007_01 {

DataManagement::WhereReferencedResponse DataManagementImpl::whereReferenced(const std::vector<POMRef<WorkspaceObject>>&,
                                                                            int) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

DataManagement::WhereUsedResponse DataManagementImpl::whereUsed(const std::vector<Tag>&, int, bool, Tag&) {
    throw IFail(vl::platform::ERR_OPERATION_NOT_AVAILABLE);
}

}  // namespace Velmora::Soa::Core::_2007_01
