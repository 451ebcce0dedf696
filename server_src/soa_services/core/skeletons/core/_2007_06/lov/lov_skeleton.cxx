#include "soa_services/core/skeletons/core/_2007_06/lov/lov_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2007_06 {

namespace {

namespace Wire = LovWire;
using Skeleton = LOVIiopSkeleton;
using Local = Skeleton::Local;
using vl::skeleton::Handlers;

// Every call goes through the service interface.
Local& service() { return *Skeleton::_service; }

}  // namespace

LOVIiopSkeleton::LOVIiopSkeleton() : ServiceSkeleton("LOV") { bind("getAttachedLOVs", &getAttachedLOVs); }

// --- converters: one field list per struct and map entry, in the local
// declaration order (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_LOVInfo(X) X(Value, typeName, TypeName) X(Strings, propNames, PropName)
#define VL_FIELDS_LOVOutput(X) X(Value, propName, PropName) X(Ref, lov, Lov)
#define VL_FIELDS_AttachedLOVsResponse(X)                                                         \
    X(Map, inputTypeNameToLOVOutput, InputTypeNameToLOVOutput, InputTypeNameToLOVOutputMap)      \
    X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_InputTypeNameToLOVOutputMap(X) X(Value, key, Key) X(Records, value, Value)

VL_LOV0706_CONVERTERS(VL_SKELETON_DEFINE)

// --- operations ---

std::string LOVIiopSkeleton::getAttachedLOVs(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_06", "LOV", "getAttachedLOVs");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetAttachedLOVsInput>(
        spans, "AttachedLOVsResponse", requestXml,
        [](const Wire::GetAttachedLOVsInput& in) {
            return vl::skeleton::toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](const std::vector<Local::LOVInfo>& infos) { return service().getAttachedLOVs(infos); },
        &vl::skeleton::toWireResponse<Skeleton, Local::AttachedLOVsResponse>);
}

}  // namespace Velmora::Services::Core::_2007_06
