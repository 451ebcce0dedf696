#include "soa_services/core/skeletons/core/_2006_03/filemanagement/filemanagement_skeleton.hxx"

#include "soa_server/utils.hxx"

#include <utility>

namespace Velmora::Services::Core::_2006_03 {

namespace {

namespace Wire = FileManagementWire;
using vl::skeleton::Handlers;
using Local = FileManagementIiopSkeleton::FileManagement;
using Velmora::Soa::Internal::Server::Utils;

Local& service() { return *FileManagementIiopSkeleton::_service; }

// The fields a local and a wire file entry share, by name, in the local
// field order: one list for both directions.
#define VL_FM0603_FILE_INFO_FIELDS(X) \
    X(clientId, ClientId) X(fileName, FileName) X(namedReferencedName, NamedReferencedName) X(isText, IsText) \
    X(allowReplace, AllowReplace)

// toLocal of an input that names a dataset and its files.
template <class LocalT, class WireT, class WireFiles>
LocalT datasetFilesToLocal(const WireT& wire, const WireFiles& wireFiles) {
    LocalT local;
    local.dataset = POMRef<Dataset>(vl::skeleton::toLocalRef(wire.getDataset()));
    local.createNewVersion = wire.getCreateNewVersion();
    for (const auto& file : wireFiles) {
        if constexpr (requires { local.datasetFileInfos; })
            local.datasetFileInfos.push_back(FileManagementIiopSkeleton::toLocal(file));
        else
            local.datasetFileTicketInfos.push_back(FileManagementIiopSkeleton::toLocal(file));
    }
    return local;
}

// toWire of the same: the dataset guarded (R1), then the flag, then the files.
template <class WireT, class LocalT, class LocalFiles, class AddFile>
WireT datasetFilesToWire(const LocalT& local, const LocalFiles& files, AddFile&& add) {
    WireT wire;
    wire.setDataset(vl::skeleton::toWireRef(local.dataset.tag()));
    wire.setCreateNewVersion(local.createNewVersion);
    for (const auto& file : files) add(wire, FileManagementIiopSkeleton::toWire(file));
    return wire;
}

}  // namespace

FileManagementIiopSkeleton::FileManagementIiopSkeleton() : ServiceSkeleton("FileManagement") {
    bind("commitDatasetFiles", &commitDatasetFiles);
    bind("getFileReadTickets", &getFileReadTickets);
    bind("getDatasetWriteTickets", &getDatasetWriteTickets);
}

// --- converters ---

Local::DatasetFileInfo FileManagementIiopSkeleton::toLocal(Wire::DatasetFileInfo wire) {
    Local::DatasetFileInfo local;
    VL_FM0603_FILE_INFO_FIELDS(VL_SKELETON_FIELD_TO_LOCAL)
    return local;
}

Wire::DatasetFileInfo FileManagementIiopSkeleton::toWire(Local::DatasetFileInfo local) {
    Wire::DatasetFileInfo wire;
    VL_FM0603_FILE_INFO_FIELDS(VL_SKELETON_FIELD_TO_WIRE)
    return wire;
}

Local::DatasetFileTicketInfo FileManagementIiopSkeleton::toLocal(Wire::DatasetFileTicketInfo wire) {
    Local::DatasetFileTicketInfo local;
    local.datasetFileInfo = toLocal(wire.getDatasetFileInfo());
    local.ticket = wire.getTicket();
    return local;
}

Wire::DatasetFileTicketInfo FileManagementIiopSkeleton::toWire(Local::DatasetFileTicketInfo local) {
    Wire::DatasetFileTicketInfo wire;
    wire.setDatasetFileInfo(toWire(local.datasetFileInfo));
    wire.setTicket(local.ticket);
    return wire;
}

Local::GetDatasetWriteTicketsInputData FileManagementIiopSkeleton::toLocal(Wire::GetDatasetWriteTicketsInputData wire) {
    return datasetFilesToLocal<Local::GetDatasetWriteTicketsInputData>(wire, wire.getDatasetFileInfoArray());
}

Wire::GetDatasetWriteTicketsInputData FileManagementIiopSkeleton::toWire(Local::GetDatasetWriteTicketsInputData local) {
    return datasetFilesToWire<Wire::GetDatasetWriteTicketsInputData>(
        local, local.datasetFileInfos, [](auto& wire, const auto& file) { wire.addDatasetFileInfo(file); });
}

Local::CommitDatasetFileInfo FileManagementIiopSkeleton::toLocal(Wire::CommitDatasetFileInfo wire) {
    return datasetFilesToLocal<Local::CommitDatasetFileInfo>(wire, wire.getDatasetFileTicketInfoArray());
}

Wire::CommitDatasetFileInfo FileManagementIiopSkeleton::toWire(Local::CommitDatasetFileInfo local) {
    return datasetFilesToWire<Wire::CommitDatasetFileInfo>(
        local, local.datasetFileTicketInfos, [](auto& wire, const auto& file) { wire.addDatasetFileTicketInfo(file); });
}

Wire::GetDatasetWriteTicketsResponse FileManagementIiopSkeleton::toWire(Local::GetDatasetWriteTicketsResponse local) {
    Wire::GetDatasetWriteTicketsResponse wire;
    std::vector<Wire::CommitDatasetFileInfo> infos;
    infos.reserve(local.commitInfos.size());
    for (const auto& info : local.commitInfos) infos.push_back(toWire(info));
    wire.setCommitInfoArray(infos);
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

Wire::FileTicketsResponse FileManagementIiopSkeleton::toWire(Local::FileTicketsResponse local) {
    Wire::FileTicketsResponse wire;
    wire.setTicketArray(toWireTicketMap(local.tickets));
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

std::vector<Wire::TicketMap> FileManagementIiopSkeleton::toWireTicketMap(TicketMap local) {
    std::vector<Wire::TicketMap> wire;
    wire.reserve(local.size());
    for (const auto& [file, ticket] : local) {
        Wire::TicketMap entry;
        entry.setKey(Utils::createWireModelObect(file.tag()));
        entry.setValue(ticket);
        wire.push_back(entry);
    }
    return wire;
}

FileManagementIiopSkeleton::TicketMap FileManagementIiopSkeleton::toLocalTicketMap(std::vector<Wire::TicketMap> wire) {
    return vl::skeleton::toLocalMap<TicketMap>(wire, [](const Wire::TicketMap& entry) {
        return std::make_pair(POMRef<OstraFile>(vl::skeleton::toLocalRef(entry.getKey())), entry.getValue());
    });
}

// --- operations ---

std::string FileManagementIiopSkeleton::commitDatasetFiles(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "FileManagement", "commitDatasetFiles");
    return vl::skeleton::run<Handlers::None, Wire::CommitDatasetFilesInput>(
        spans, "ServiceData", requestXml,
        [](const Wire::CommitDatasetFilesInput& in) {
            std::vector<Local::CommitDatasetFileInfo> infos;
            infos.reserve(in.getCommitInputArray().size());
            for (const auto& info : in.getCommitInputArray()) infos.push_back(toLocal(info));
            return infos;
        },
        [](std::vector<Local::CommitDatasetFileInfo>& infos) { return service().commitDatasetFiles(infos); },
        &vl::skeleton::toWireServiceData);
}

std::string FileManagementIiopSkeleton::getFileReadTickets(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "FileManagement", "getFileReadTickets");
    return vl::skeleton::run<Handlers::None, Wire::GetFileReadTicketsInput>(
        spans, "FileTicketsResponse", requestXml,
        [](const Wire::GetFileReadTicketsInput& in) {
            std::vector<POMRef<OstraFile>> files;
            files.reserve(in.getFileArray().size());
            for (const auto& file : in.getFileArray()) files.emplace_back(vl::skeleton::toLocalRef(file));
            return files;
        },
        [](std::vector<POMRef<OstraFile>>& files) { return service().getFileReadTickets(files); },
        [](Local::FileTicketsResponse local) { return toWire(std::move(local)); });
}

std::string FileManagementIiopSkeleton::getDatasetWriteTickets(const std::string& requestXml) {
    static const vl::skeleton::Spans spans("Core", "_2006_03", "FileManagement", "getDatasetWriteTickets");
    return vl::skeleton::run<Handlers::None, Wire::GetDatasetWriteTicketsInput>(
        spans, "GetDatasetWriteTicketsResponse", requestXml,
        [](const Wire::GetDatasetWriteTicketsInput& in) {
            std::vector<Local::GetDatasetWriteTicketsInputData> inputs;
            inputs.reserve(in.getInputArray().size());
            for (const auto& input : in.getInputArray()) inputs.push_back(toLocal(input));
            return inputs;
        },
        [](std::vector<Local::GetDatasetWriteTicketsInputData>& inputs) {
            return service().getDatasetWriteTickets(inputs);
        },
        [](Local::GetDatasetWriteTicketsResponse local) { return toWire(std::move(local)); });
}

}  // namespace Velmora::Services::Core::_2006_03
