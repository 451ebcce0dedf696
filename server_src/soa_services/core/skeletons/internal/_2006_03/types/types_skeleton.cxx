#include "soa_services/core/skeletons/internal/_2006_03/types/types_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Internal::Core::_2006_03 {

namespace {

namespace Wire = Velmora::Schemas::Internal::Core::_2006_03::Types;
using vl::skeleton::Handlers;

// Every call goes through the service interface.
Velmora::Soa::Internal::Core::_2006_03::Types& service() { return *TypesIiopSkeleton::_service; }

}  // namespace

TypesIiopSkeleton::TypesIiopSkeleton() : ServiceSkeleton("Types") {
    bind("initTypeByUids", &initTypeByUids);
    bind("initTypeByNames", &initTypeByNames);
}

std::string TypesIiopSkeleton::initTypeByUids(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Internal::Core", "_2006_03", "Types", "initTypeByUids");
    return vl::skeleton::run<Handlers::None, Wire::InitTypeByUidsInput>(
        spans, "ModelSchema", requestXml, [](const Wire::InitTypeByUidsInput& in) { return in.getUidArray(); },
        [](const std::vector<std::string>& uids) { return service().initTypeByUids(uids); },
        &vl::skeleton::toWireForm<Velmora::Soa::Server::ModelSchema>);
}

std::string TypesIiopSkeleton::initTypeByNames(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Internal::Core", "_2006_03", "Types", "initTypeByNames");
    return vl::skeleton::run<Handlers::None, Wire::InitTypeByNamesInput>(
        spans, "ModelSchema", requestXml, [](const Wire::InitTypeByNamesInput& in) { return in.getTypeNameArray(); },
        [](const std::vector<std::string>& names) { return service().initTypeByNames(names); },
        &vl::skeleton::toWireForm<Velmora::Soa::Server::ModelSchema>);
}

}  // namespace Velmora::Services::Internal::Core::_2006_03
