#pragma once
// Service interface of "Core-2006-03-FileManagement": read tickets for files,
// write tickets for new files of datasets, and the commit of those files.
#include "ae/dataset.hxx"
#include "aom/loaded_objects.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2006_03 {

class FileManagement {
public:
    // One file of a dataset, named by the client.
    struct DatasetFileInfo {
        std::string clientId;
        std::string fileName;
        std::string namedReferencedName;
        bool isText = false;
        bool allowReplace = false;
    };

    struct DatasetFileTicketInfo {
        DatasetFileInfo datasetFileInfo;
        std::string ticket;
    };

    struct GetDatasetWriteTicketsInputData {
        POMRef<Dataset> dataset;
        bool createNewVersion = false;
        std::vector<DatasetFileInfo> datasetFileInfos;
    };

    struct CommitDatasetFileInfo {
        POMRef<Dataset> dataset;
        bool createNewVersion = false;
        std::vector<DatasetFileTicketInfo> datasetFileTicketInfos;
    };

    struct GetDatasetWriteTicketsResponse {
        std::vector<CommitDatasetFileInfo> commitInfos;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    struct FileTicketsResponse {
        std::map<POMRef<OstraFile>, std::string> tickets;  // by tag value
        Velmora::Soa::Server::ServiceData serviceData;
    };

    FileManagement() = default;
    FileManagement(const FileManagement&) = default;
    FileManagement& operator=(const FileManagement&) { return *this; }

    virtual FileTicketsResponse getFileReadTickets(const std::vector<POMRef<OstraFile>>& files) = 0;
    virtual GetDatasetWriteTicketsResponse getDatasetWriteTickets(
        const std::vector<GetDatasetWriteTicketsInputData>& inputs) = 0;
    virtual Velmora::Soa::Server::ServiceData commitDatasetFiles(
        const std::vector<CommitDatasetFileInfo>& commitInfos) = 0;

protected:
    // Never deleted through the interface.
    ~FileManagement() = default;
};

}  // namespace Velmora::Soa::Core::_2006_03
