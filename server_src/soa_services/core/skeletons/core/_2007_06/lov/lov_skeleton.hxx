#pragma once
// Skeleton of "Core-2007-06-LOV": one operation, whose service exceptions
// and platform failures become the reply text, and its converters (public,
// by value; their field lists are in the source).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/lov0706impl.hxx"
#include "soa_services/core/schemas/core/_2007_06/lov/lov_types.hxx"

#include <map>
#include <string>
#include <vector>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_LOV0706_CONVERTERS(X)                                              \
    X(Record, LOVInfo) X(Record, LOVOutput) X(Response, AttachedLOVsResponse) \
    X(Map, InputTypeNameToLOVOutputMap, LocalMap)

#define VL_LOV0706_DECLARE(...) VL_SKELETON_DECLARE(Local, LovWire, __VA_ARGS__)

namespace Velmora::Services::Core::_2007_06 {

namespace LovWire = ::Velmora::Schemas::Core::_2007_06::Lov;

class LOVIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<LOVIiopSkeleton, Velmora::Soa::Core::_2007_06::LOVImpl> {
public:
    using Local = Velmora::Soa::Core::_2007_06::LOV;
    using LocalMap = std::map<std::string, std::vector<Local::LOVOutput>>;

    LOVIiopSkeleton();
    LOVIiopSkeleton(const LOVIiopSkeleton&) = default;
    LOVIiopSkeleton& operator=(const LOVIiopSkeleton&) = default;

    // The map's entries in ascending key order; towards the local side a later
    // entry with an equal key replaces an earlier one.
    VL_LOV0706_CONVERTERS(VL_LOV0706_DECLARE)

private:
    static std::string getAttachedLOVs(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2007_06
