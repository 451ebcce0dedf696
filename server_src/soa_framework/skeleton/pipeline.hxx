#pragma once
// The road every operation takes: parse, convert to local, call the
// implementation, convert to wire, write; with its four monitor spans and,
// for the operations that have them, its handlers. Each operation names its
// types, its spans and its handlers, and nothing else.
#include "soa_common/exception_mapper.hxx"
#include "soa_common/monitor.hxx"
#include "soa_common/xml.hxx"
#include "soa_framework/skeleton/converters.hxx"
#include "soa_framework/wire/base_types.hxx"
#include "soa_server/iiop_skeleton.hxx"
#include "soa_server/policy.hxx"
#include "soa_server/service_data.hxx"
#include "soa_server/utils.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vl::skeleton {

using Velmora::Soa::Common::Xml::XMLNode;
using Velmora::Soa::Common::Xml::XmlStream;
using Velmora::Soa::Internal::Common::Monitor;

// The four span labels of one operation.
struct Spans {
    std::string outer, wireToLocal, localToWire, impl;
    // area "Core" or "Internal::Core", version "_2006_03", service "DataManagement".
    Spans(const std::string& area, const std::string& version, const std::string& service, const std::string& op)
        : outer("Velmora::Soa::" + area + "::" + version + "::" + service + "IiopSkeleton::" + op),
          wireToLocal(outer + "::wireToLocal"),
          localToWire(outer + "::localToWire"),
          impl("Velmora::Soa::" + area + "::" + version + "::" + service + "Impl::" + op) {}
};

enum class Handlers {
    None,                // every exception reaches invokeMethod
    ServiceAndIFail,     // service exceptions and IFail become the reply text
    InvalidCredentials,  // only InvalidCredentialsException becomes the reply text
};

inline std::string writeException(Velmora::Schemas::Soa::_2006_03::Exceptions::SoaException& e) {
    std::stringstream out;
    Velmora::Soa::Common::Exceptions::ExceptionMapper::writeSoaException(e, out);
    return out.str();
}

// Parses `requestXml` into `request`; the root element must be named after
// the request's wire type.
template <class Request>
void parseRequest(Velmora::Soa::Common::Xml::SAXToNodeParser& parser, const std::string& requestXml,
                  Request& request) {
    const XMLNode& root = parser.parseString(requestXml);
    if (root.name() != Request::typeName())
        throw Velmora::Soa::Common::Exceptions::DomException("line " + std::to_string(root.line()) +
                                                             ": the root element must be <" +
                                                             Request::typeName() + ">, not <" + root.name() + ">");
    request.parse(root);
}

// One operation. `toLocal(request)` gives the local arguments, `call(args)`
// the local result, `toWire(result)` the wire result written under `rootName`.
template <Handlers H, class Request, class ToLocal, class Call, class ToWire>
std::string run(const Spans& spans, const std::string& rootName, const std::string& requestXml, ToLocal&& toLocal,
                Call&& call, ToWire&& toWire) {
    Monitor::markStart(spans.outer);
    // The parse tree and the request go once converted (the local arguments
    // hold values, never wire objects): the reply is built in their memory,
    // not beside it.
    auto args = [&] {
        Velmora::Soa::Common::Xml::SAXToNodeParser parser;
        Request request;
        parseRequest(parser, requestXml, request);
        Monitor::markStart(spans.wireToLocal);
        auto converted = toLocal(request);
        Monitor::markEnd(spans.wireToLocal);
        return converted;
    }();

    auto guarded = [&]() -> std::string {
        // The local result goes once converted, so the wire result is held
        // by nothing else and is let go of as it is written.
        auto result = [&] {
            Monitor::markStart(spans.impl);
            auto local = call(args);
            Monitor::markEnd(spans.impl);

            Monitor::markStart(spans.localToWire);
            auto wire = toWire(std::move(local));
            Monitor::markEnd(spans.localToWire);
            return wire;
        }();

        XmlStream stream;
        result.drainXML(stream, rootName);
        Monitor::markEnd(spans.outer);
        return std::move(stream).str();  // the reply takes the stream's buffer, uncopied
    };

    if constexpr (H == Handlers::None) {
        return guarded();
    } else if constexpr (H == Handlers::ServiceAndIFail) {
        try {
            return guarded();
        } catch (Velmora::Soa::Server::ServiceException& e) {
            Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException copy = e.getWireData();
            return writeException(copy);
        } catch (IFail&) {
            Velmora::Soa::Server::ServiceException e;
            Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException copy = e.getWireData();
            return writeException(copy);
        }
    } else {
        try {
            return guarded();
        } catch (Velmora::Schemas::Soa::_2006_03::Exceptions::InvalidCredentialsException& e) {
            return writeException(e);
        }
    }
}

// The statics and special members every concrete skeleton shares.
template <class Derived, class ServiceImpl>
class ServiceSkeleton : public Velmora::Soa::Internal::Server::IiopSkeleton {
public:
    static inline ServiceImpl* _service = nullptr;
    static inline Velmora::Soa::Server::ServicePolicy* _servicePolicy = nullptr;

    void initialize() override {
        _servicePolicy = dynamic_cast<Velmora::Soa::Server::ServicePolicy*>(_service);
        if (!_servicePolicy) _servicePolicy = new Velmora::Soa::Server::ServicePolicy;
    }

    // Frees the policy (unless it is the implementation itself) and the
    // implementation, and forgets both so a second destruction frees nothing.
    ~ServiceSkeleton() {
        if (!dynamic_cast<Velmora::Soa::Server::ServicePolicy*>(_service)) delete _servicePolicy;
        delete _service;
        _service = nullptr;
        _servicePolicy = nullptr;
    }

protected:
    ServiceSkeleton(const char* shortName) { m_serviceName = shortName; }
    ServiceSkeleton(const ServiceSkeleton&) = default;
    ServiceSkeleton& operator=(const ServiceSkeleton&) = default;
    void bind(const char* name, Operation op) { m_operations[name] = op; }
};

}  // namespace vl::skeleton
