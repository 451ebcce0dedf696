#pragma once
// Request-facing layer of Core-2007-06-DataManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (public, by value; the responses
// only towards the wire; their field lists are in the source).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/datamanagement0706.hxx"
#include "soa_services/core/code/datamanagement0706impl.hxx"
#include "soa_services/core/schemas/core/_2007_06/datamanagement/datamanagement_types.hxx"

#include <string>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_DM0706_CONVERTERS(X)                                                                                 \
    X(Record, RelationAndTypesFilter) X(Record, WhereReferencedByRelationNameInfo)                              \
    X(Record, WhereReferencedByRelationNameOutputInfo) X(Record, WhereReferencedByRelationNameOutput)           \
    X(Record, ValidateIdsInfo) X(Record, ValidateIdsOutput) X(Record, ReferenceInfo) X(Record, DatasetTypeInfo) \
    X(Record, RelationAndTypesFilter2) X(Record, ExpandGRMRelationsPref) X(Record, ExpandGRMRelationsData)      \
    X(Record, ExpandGRMRelationsOutput) X(Response, WhereReferencedByRelationNameResponse)                      \
    X(Response, ValidateItemIdsAndRevIdsResponse) X(Response, DatasetTypeInfoResponse)                          \
    X(Response, ExpandGRMRelationsResponse)

#define VL_DM0706_DECLARE(...) VL_SKELETON_DECLARE(DataManagement, DataManagementWire, __VA_ARGS__)

namespace Velmora::Services::Core::_2007_06 {

namespace DataManagementWire = ::Velmora::Schemas::Core::_2007_06::Datamanagement;

class DataManagementIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<DataManagementIiopSkeleton, ::Velmora::Soa::Core::_2007_06::DataManagementImpl> {
public:
    using DataManagement = ::Velmora::Soa::Core::_2007_06::DataManagement;

    DataManagementIiopSkeleton();
    DataManagementIiopSkeleton(const DataManagementIiopSkeleton&) = default;
    DataManagementIiopSkeleton& operator=(const DataManagementIiopSkeleton&) = default;
    ~DataManagementIiopSkeleton() = default;

    VL_DM0706_CONVERTERS(VL_DM0706_DECLARE)

    // The status's wire text; a value outside the five throws DomException.
    static std::string toWire(DataManagement::ValidateIdsStatus status);
    // Exact, case-sensitive; any other text throws DomException.
    static DataManagement::ValidateIdsStatus toLocalValidateIdsStatus(std::string text);

private:
    static std::string validateItemIdsAndRevIds(const std::string& requestXml);
    static std::string whereReferencedByRelationName(const std::string& requestXml);
    static std::string expandGRMRelationsForPrimary(const std::string& requestXml);
    static std::string getDatasetTypeInfo(const std::string& requestXml);
    static std::string expandGRMRelationsForSecondary(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2007_06
