#pragma once
// Skeleton of "Core-2007-06-LOV": one operation, whose service exceptions
// and platform failures become the reply text.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/lov0706impl.hxx"
#include "soa_services/core/schemas/core/_2007_06/lov/lov_types.hxx"

#include <string>
#include <vector>

namespace Velmora::Services::Core::_2007_06 {

class LOVIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<LOVIiopSkeleton, Velmora::Soa::Core::_2007_06::LOVImpl> {
public:
    using Local = Velmora::Soa::Core::_2007_06::LOV;
    using LocalMap = std::map<std::string, std::vector<Local::LOVOutput>>;

    LOVIiopSkeleton();
    LOVIiopSkeleton(const LOVIiopSkeleton&) = default;
    LOVIiopSkeleton& operator=(const LOVIiopSkeleton&) = default;

    static Local::LOVInfo toLocal(Velmora::Schemas::Core::_2007_06::Lov::LOVInfo wire);
    static Velmora::Schemas::Core::_2007_06::Lov::LOVInfo toWire(Local::LOVInfo local);
    static Local::LOVOutput toLocal(Velmora::Schemas::Core::_2007_06::Lov::LOVOutput wire);
    static Velmora::Schemas::Core::_2007_06::Lov::LOVOutput toWire(Local::LOVOutput local);
    static Velmora::Schemas::Core::_2007_06::Lov::AttachedLOVsResponse toWire(Local::AttachedLOVsResponse local);
    // Entries in ascending key order, each output added with addValue.
    static std::vector<Velmora::Schemas::Core::_2007_06::Lov::InputTypeNameToLOVOutputMap>
    toWireInputTypeNameToLOVOutputMap(LocalMap local);
    // A later entry with an equal key replaces an earlier one.
    static LocalMap toLocalInputTypeNameToLOVOutputMap(
        std::vector<Velmora::Schemas::Core::_2007_06::Lov::InputTypeNameToLOVOutputMap> wire);

private:
    static std::string getAttachedLOVs(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2007_06
