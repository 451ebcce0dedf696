#pragma once
// Skeleton of "Internal-Core-2006-03-Types": two operations, each from its
// list of strings to the implementation and back as the model schema's wire
// form. There is no struct to convert, so there are no converters.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/types0603impl.hxx"
#include "soa_services/core/schemas/internal/_2006_03/types/types_types.hxx"

#include <string>

namespace Velmora::Services::Internal::Core::_2006_03 {

class TypesIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<TypesIiopSkeleton, Velmora::Soa::Internal::Core::_2006_03::TypesImpl> {
public:
    TypesIiopSkeleton();
    TypesIiopSkeleton(const TypesIiopSkeleton&) = default;
    TypesIiopSkeleton& operator=(const TypesIiopSkeleton&) = default;

private:
    static std::string initTypeByUids(const std::string& requestXml);
    static std::string initTypeByNames(const std::string& requestXml);
};

}  // namespace Velmora::Services::Internal::Core::_2006_03
