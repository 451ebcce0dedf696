#include "soa_services/core/code/session0705impl.hxx"

#include "soa_server/service_data.hxx"

namespace Velmora::Soa::Internal::Core::_2007_05 {

bool SessionImpl::refreshPOMCachePerRequest(bool refresh) {
    Velmora::Soa::Server::ServiceData::setRefreshPOM(refresh);
    return true;
}

}  // namespace Velmora::Soa::Internal::Core::_2007_05
