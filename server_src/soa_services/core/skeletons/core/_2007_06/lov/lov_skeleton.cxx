#include "soa_services/core/skeletons/core/_2007_06/lov/lov_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2007_06 {

namespace {

namespace Wire = Velmora::Schemas::Core::_2007_06::Lov;
using vl::skeleton::Handlers;
using Local = LOVIiopSkeleton::Local;

// Every call goes through the service interface.
Local& service() { return *LOVIiopSkeleton::_service; }

}  // namespace

LOVIiopSkeleton::LOVIiopSkeleton() : ServiceSkeleton("LOV") { bind("getAttachedLOVs", &getAttachedLOVs); }

// --- converters ---

Local::LOVInfo LOVIiopSkeleton::toLocal(Wire::LOVInfo wire) { return {wire.getTypeName(), wire.getPropNameArray()}; }

Wire::LOVInfo LOVIiopSkeleton::toWire(Local::LOVInfo local) {
    Wire::LOVInfo wire;
    wire.setTypeName(local.typeName);
    wire.setPropNameArray(local.propNames);
    return wire;
}

Local::LOVOutput LOVIiopSkeleton::toLocal(Wire::LOVOutput wire) {
    return {wire.getPropName(), POMRef<ListOfValues>(vl::skeleton::toLocalRef(wire.getLov()))};
}

// A list that cannot be made into a reference is the null one; the output
// stays.
Wire::LOVOutput LOVIiopSkeleton::toWire(Local::LOVOutput local) {
    Wire::LOVOutput wire;
    wire.setPropName(local.propName);
    wire.setLov(vl::skeleton::toWireRef(local.lov.tag()));
    return wire;
}

std::vector<Wire::InputTypeNameToLOVOutputMap> LOVIiopSkeleton::toWireInputTypeNameToLOVOutputMap(LocalMap local) {
    std::vector<Wire::InputTypeNameToLOVOutputMap> wire;
    wire.reserve(local.size());
    for (auto& [typeName, outputs] : local) {
        Wire::InputTypeNameToLOVOutputMap entry;
        entry.setKey(typeName);
        for (const auto& output : outputs) entry.addValue(toWire(output));
        wire.push_back(entry);
    }
    return wire;
}

LOVIiopSkeleton::LocalMap LOVIiopSkeleton::toLocalInputTypeNameToLOVOutputMap(
    std::vector<Wire::InputTypeNameToLOVOutputMap> wire) {
    return vl::skeleton::toLocalMap<LocalMap>(wire, [](const Wire::InputTypeNameToLOVOutputMap& entry) {
        std::vector<Local::LOVOutput> outputs;
        for (const auto& output : entry.getValueArray()) outputs.push_back(toLocal(output));
        return std::make_pair(entry.getKey(), std::move(outputs));
    });
}

Wire::AttachedLOVsResponse LOVIiopSkeleton::toWire(Local::AttachedLOVsResponse local) {
    Wire::AttachedLOVsResponse wire;
    wire.setInputTypeNameToLOVOutputArray(toWireInputTypeNameToLOVOutputMap(std::move(local.inputTypeNameToLOVOutput)));
    wire.setServiceData(vl::skeleton::toWireServiceData(std::move(local.serviceData)));
    return wire;
}

// --- operations ---

std::string LOVIiopSkeleton::getAttachedLOVs(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2007_06", "LOV", "getAttachedLOVs");
    return vl::skeleton::run<Handlers::ServiceAndIFail, Wire::GetAttachedLOVsInput>(
        spans, "AttachedLOVsResponse", requestXml,
        [](const Wire::GetAttachedLOVsInput& in) {
            const std::vector<Wire::LOVInfo> wireInfos = in.getInputArray();
            std::vector<Local::LOVInfo> infos;
            infos.reserve(wireInfos.size());
            for (const auto& info : wireInfos) infos.push_back(toLocal(info));
            return infos;
        },
        [](const std::vector<Local::LOVInfo>& infos) { return service().getAttachedLOVs(infos); },
        [](Local::AttachedLOVsResponse local) { return toWire(std::move(local)); });
}

}  // namespace Velmora::Services::Core::_2007_06
