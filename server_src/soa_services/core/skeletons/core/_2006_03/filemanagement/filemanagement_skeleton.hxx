#pragma once
// Request-facing layer of Core-2006-03-FileManagement: the operation table,
// one static function per operation, and the converters between the wire
// types and the interface's local structs (all public, all taking and
// returning by value; their field lists are in the source).
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_services/core/code/filemanagement0603.hxx"
#include "soa_services/core/code/filemanagement0603impl.hxx"
#include "soa_services/core/schemas/core/_2006_03/filemanagement/filemanagement_types.hxx"

#include <map>
#include <string>
#include <vector>

// Its converters: Record (a struct, both ways), Response (only towards the
// wire) and Map (by wire entry type and local map).
#define VL_FM0603_CONVERTERS(X)                                                                                   \
    X(Record, DatasetFileInfo) X(Record, DatasetFileTicketInfo) X(Record, GetDatasetWriteTicketsInputData)        \
    X(Record, CommitDatasetFileInfo) X(Response, GetDatasetWriteTicketsResponse) X(Response, FileTicketsResponse) \
    X(Map, TicketMap, TicketMap)

#define VL_FM0603_DECLARE(...) VL_SKELETON_DECLARE(FileManagement, FileManagementWire, __VA_ARGS__)

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

    // The map's entries in ascending tag order; a file that cannot be made a
    // wire reference fails the conversion (no guard here). Towards the local
    // side a later entry for the same file replaces an earlier one.
    VL_FM0603_CONVERTERS(VL_FM0603_DECLARE)

private:
    static std::string commitDatasetFiles(const std::string& requestXml);
    static std::string getFileReadTickets(const std::string& requestXml);
    static std::string getDatasetWriteTickets(const std::string& requestXml);
};

}  // namespace Velmora::Services::Core::_2006_03
