#pragma once
// Request-facing layer of Core-2007-06-DataManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (public, by value; the responses
// only towards the wire).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/datamanagement0706.hxx"
#include "soa_services/core/code/datamanagement0706impl.hxx"
#include "soa_services/core/schemas/core/_2007_06/datamanagement/datamanagement_types.hxx"

#include <string>

// Structs converted both ways, and the responses.
#define VL_DM0706_RECORDS(X)                                                                          \
    X(RelationAndTypesFilter) X(WhereReferencedByRelationNameInfo) X(WhereReferencedByRelationNameOutputInfo) \
    X(WhereReferencedByRelationNameOutput) X(ValidateIdsInfo) X(ValidateIdsOutput) X(ReferenceInfo)            \
    X(DatasetTypeInfo) X(RelationAndTypesFilter2) X(ExpandGRMRelationsPref) X(ExpandGRMRelationsData)          \
    X(ExpandGRMRelationsOutput)
#define VL_DM0706_RESPONSES(X)                                                                   \
    X(WhereReferencedByRelationNameResponse) X(ValidateItemIdsAndRevIdsResponse) X(DatasetTypeInfoResponse) \
    X(ExpandGRMRelationsResponse)

#define VL_DM0706_DECLARE_TO_WIRE(S) static DataManagementWire::S toWire(DataManagement::S local);
#define VL_DM0706_DECLARE_TO_LOCAL(S) static DataManagement::S toLocal(DataManagementWire::S wire);

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

    VL_DM0706_RECORDS(VL_DM0706_DECLARE_TO_WIRE)
    VL_DM0706_RECORDS(VL_DM0706_DECLARE_TO_LOCAL)
    VL_DM0706_RESPONSES(VL_DM0706_DECLARE_TO_WIRE)

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
