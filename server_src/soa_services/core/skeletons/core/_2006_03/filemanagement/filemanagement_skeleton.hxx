#pragma once
// Request-facing layer of Core-2006-03-FileManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (all public, all taking and
// returning by value).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/filemanagement0603.hxx"
#include "soa_services/core/code/filemanagement0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/filemanagement/filemanagement_types.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Services::Core::_2006_03 {

namespace FileManagementWire = ::Velmora::Schemas::Core::_2006_03::Filemanagement;

class FileManagementIiopSkeleton
    : public vl::skeleton::ServiceSkeleton<FileManagementIiopSkeleton, ::Velmora::Soa::Core::_2006_03::FileManagementImpl> {
public:
    using FileManagement = ::Velmora::Soa::Core::_2006_03::FileManagement;
    using TicketMap = std::map<POMRef<OstraFile>, std::string>;

    FileManagementIiopSkeleton();
    FileManagementIiopSkeleton(const FileManagementIiopSkeleton&) = default;
    FileManagementIiopSkeleton& operator=(const FileManagementIiopSkeleton&) = default;
    ~FileManagementIiopSkeleton() = default;

    static FileManagement::DatasetFileInfo toLocal(FileManagementWire::DatasetFileInfo wire);
    static FileManagementWire::DatasetFileInfo toWire(FileManagement::DatasetFileInfo local);
    static FileManagement::DatasetFileTicketInfo toLocal(FileManagementWire::DatasetFileTicketInfo wire);
    static FileManagementWire::DatasetFileTicketInfo toWire(FileManagement::DatasetFileTicketInfo local);
    static FileManagement::GetDatasetWriteTicketsInputData toLocal(FileManagementWire::GetDatasetWriteTicketsInputData wire);
    static FileManagementWire::GetDatasetWriteTicketsInputData toWire(FileManagement::GetDatasetWriteTicketsInputData local);
    static FileManagement::CommitDatasetFileInfo toLocal(FileManagementWire::CommitDatasetFileInfo wire);
    static FileManagementWire::CommitDatasetFileInfo toWire(FileManagement::CommitDatasetFileInfo local);
    static FileManagementWire::GetDatasetWriteTicketsResponse toWire(FileManagement::GetDatasetWriteTicketsResponse local);
    static FileManagementWire::FileTicketsResponse toWire(FileManagement::FileTicketsResponse local);
    // Entries in ascending tag order. A file that cannot be made a wire
    // reference fails the conversion (no handler here).
    static std::vector<FileManagementWire::TicketMap> toWireTicketMap(TicketMap local);
    // A later entry for the same file replaces an earlier one.
    static TicketMap toLocalTicketMap(std::vector<FileManagementWire::TicketMap> wire);

private:
    static std::string commitDatasetFiles(const std::string& requestXml);
    static std::string getFileReadTickets(const std::string& requestXml);
    static std::string getDatasetWriteTickets(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2006_03
