#include "soa_services/core/skeletons/core/_2006_03/filemanagement/filemanagement_skeleton.hxx"

#include <utility>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = FileManagementWire;
using Skeleton = FileManagementIiopSkeleton;
using Local = Skeleton::FileManagement;
using vl::skeleton::Handlers;

Local& service() { return *Skeleton::_service; }

}  // namespace

FileManagementIiopSkeleton::FileManagementIiopSkeleton() : ServiceSkeleton("FileManagement") {
    bind("commitDatasetFiles", &commitDatasetFiles);
    bind("getFileReadTickets", &getFileReadTickets);
    bind("getDatasetWriteTickets", &getDatasetWriteTickets);
}

// --- converters: one field list per struct and map entry, in the local
// declaration order (kinds: soa_framework/skeleton/converters.hxx)

#define VL_FIELDS_DatasetFileInfo(X)                                                                   \
    X(Value, clientId, ClientId) X(Value, fileName, FileName) X(Value, namedReferencedName, NamedReferencedName) \
    X(Value, isText, IsText) X(Value, allowReplace, AllowReplace)
#define VL_FIELDS_DatasetFileTicketInfo(X) X(Record, datasetFileInfo, DatasetFileInfo) X(Value, ticket, Ticket)
#define VL_FIELDS_GetDatasetWriteTicketsInputData(X)                                    \
    X(Ref, dataset, Dataset) X(Value, createNewVersion, CreateNewVersion)              \
    X(Records, datasetFileInfos, DatasetFileInfo)
#define VL_FIELDS_CommitDatasetFileInfo(X)                                              \
    X(Ref, dataset, Dataset) X(Value, createNewVersion, CreateNewVersion)              \
    X(Records, datasetFileTicketInfos, DatasetFileTicketInfo)
#define VL_FIELDS_GetDatasetWriteTicketsResponse(X) \
    X(Records, commitInfos, CommitInfo) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_FileTicketsResponse(X) X(Map, tickets, Ticket, TicketMap) X(ServiceData, serviceData, ServiceData)
#define VL_FIELDS_TicketMap(X) X(BareRef, key, Key) X(Value, value, Value)

VL_FM0603_CONVERTERS(VL_SKELETON_DEFINE)

// --- operations ---

std::string FileManagementIiopSkeleton::commitDatasetFiles(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "FileManagement", "commitDatasetFiles");
    return vl::skeleton::run<Handlers::None, Wire::CommitDatasetFilesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::CommitDatasetFilesInput& in) {
            return vl::skeleton::toLocalRecords<Skeleton>(in.getCommitInputArray());
        },
        [](std::vector<Local::CommitDatasetFileInfo>& infos) { return service().commitDatasetFiles(infos); },
        &vl::skeleton::toStreamedServiceData);
}

std::string FileManagementIiopSkeleton::getFileReadTickets(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "FileManagement", "getFileReadTickets");
    return vl::skeleton::run<Handlers::None, Wire::GetFileReadTicketsInput>(
        spans, "FileTicketsResponse", requestXml,
        [](const Wire::GetFileReadTicketsInput& in) {
            return vl::skeleton::toLocalRefs<std::vector<POMRef<OstraFile>>>(in.getFileArray());
        },
        [](std::vector<POMRef<OstraFile>>& files) { return service().getFileReadTickets(files); },
        &vl::skeleton::toWireResponse<Skeleton, Local::FileTicketsResponse>);
}

std::string FileManagementIiopSkeleton::getDatasetWriteTickets(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "FileManagement", "getDatasetWriteTickets");
    return vl::skeleton::run<Handlers::None, Wire::GetDatasetWriteTicketsInput>(
        spans, "GetDatasetWriteTicketsResponse", requestXml,
        [](const Wire::GetDatasetWriteTicketsInput& in) {
            return vl::skeleton::toLocalRecords<Skeleton>(in.getInputArray());
        },
        [](std::vector<Local::GetDatasetWriteTicketsInputData>& inputs) {
            return service().getDatasetWriteTickets(inputs);
        },
        &vl::skeleton::toWireResponse<Skeleton, Local::GetDatasetWriteTicketsResponse>);
}

}  // namespace Velmora::Services::Core::_2006_03
