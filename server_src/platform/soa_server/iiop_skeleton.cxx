#include "soa_server/iiop_skeleton.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "soa_common/exception_mapper.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/service_data.hxx"

#include <exception>
#include <sstream>

namespace Velmora::Soa::Internal::Server {

namespace {

namespace Wire = Velmora::Schemas::Soa::_2006_03::Exceptions;
using Velmora::Soa::Common::Exceptions::ExceptionMapper;

std::string write(Wire::SoaException& e) {
    std::stringstream out;
    ExceptionMapper::writeSoaException(e, out);
    return out.str();
}

// A failure with one error of our own, reported as a service exception.
std::string failure(int code, const std::string& message) {
    ERROR_store_clear();
    ERROR_store(3, code, message.c_str());
    Velmora::Soa::Server::ServiceException e;
    Wire::ServiceException wire = e.getWireData();
    return write(wire);
}

}  // namespace

std::string IiopSkeleton::invokeMethod(const std::string& operationName, const std::string& requestXml) {
    auto it = m_operations.find(operationName);
    if (it == m_operations.end())
        return failure(vl::platform::ERR_UNKNOWN_OPERATION,
                       "The service \"" + m_serviceName + "\" has no operation \"" + operationName + "\".");
    try {
        return it->second(requestXml);
    } catch (Velmora::Soa::Server::ServiceException& e) {
        Wire::ServiceException wire = e.getWireData();
        return write(wire);
    } catch (Wire::SoaException& e) {
        return write(e);
    } catch (const IFail&) {
        Velmora::Soa::Server::ServiceException e;
        Wire::ServiceException wire = e.getWireData();
        return write(wire);
    } catch (const Velmora::Soa::Common::Exceptions::DomException& e) {
        return failure(vl::platform::ERR_BAD_REQUEST, "The request could not be read: " + e.getMessage());
    } catch (const std::exception& e) {
        return failure(vl::platform::ERR_INTERNAL, std::string("Internal error: ") + e.what());
    } catch (...) {
        return failure(vl::platform::ERR_INTERNAL, "Internal error.");
    }
}

}  // namespace Velmora::Soa::Internal::Server
