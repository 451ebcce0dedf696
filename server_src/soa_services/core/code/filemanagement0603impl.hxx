#pragma once
// "Core-2006-03-FileManagement" on the platform's file tickets.
#include "soa_services/core/code/filemanagement0603.hxx"

namespace Velmora::Soa::Core::_2006_03 {

class FileManagementImpl final : public FileManagement {
public:
    FileManagementImpl() = default;
    FileManagementImpl(const FileManagementImpl&) = default;
    FileManagementImpl& operator=(const FileManagementImpl&) { return *this; }
    ~FileManagementImpl() = default;

    FileTicketsResponse getFileReadTickets(const std::vector<POMRef<OstraFile>>& files) override;
    GetDatasetWriteTicketsResponse getDatasetWriteTickets(
        const std::vector<GetDatasetWriteTicketsInputData>& inputs) override;
    Velmora::Soa::Server::ServiceData commitDatasetFiles(const std::vector<CommitDatasetFileInfo>& commitInfos) override;
};

}  // namespace Velmora::Soa::Core::_2006_03
