#include "soa_services/core/code/filemanagement0603impl.hxx"

#include "filetickets/file_tickets.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/ifail.hxx"
#include "foundation/vl_error_handler.hxx"
#include "foundation/vl_string.hxx"
#include "tag/tag_list.hxx"

#include <cstddef>
#include <utility>

namespace Velmora::Soa::Core::_2006_03 {

namespace {

using Velmora::Soa::Server::ServiceData;

// Files that fail in a read-ticket call become partial errors keyed by the file.
class FileManagementPartialErrorHandlerTag : public VlErrorHandler {
public:
    explicit FileManagementPartialErrorHandlerTag(ServiceData* serviceData) : serviceData(serviceData) {}
    void errorOccuredWithTag(int /*ifail*/, const Tag& tag) override { serviceData->addErrorStack(tag); }

    ServiceData* serviceData;
};

// Records that fail in a write-ticket or commit call become partial errors
// keyed by the record's client id.
class FileManagementPartialErrorHandlerIndex : public VlErrorHandler {
public:
    FileManagementPartialErrorHandlerIndex(ServiceData* serviceData, std::vector<std::string> clientIds)
        : serviceData(serviceData), clientIds(std::move(clientIds)) {}
    void errorOccuredWithIndex(int /*ifail*/, int index) override {
        // An index that names none of our records still reports its error,
        // with no key, rather than reading past the client ids.
        if (index >= 0 && static_cast<std::size_t>(index) < clientIds.size())
            serviceData->addErrorStack(clientIds[static_cast<std::size_t>(index)]);
        else
            serviceData->addErrorStack();
    }

    ServiceData* serviceData;
    std::vector<std::string> clientIds;
};

// The text after the last "." of the name; "" when there is none.
std::string fileExtensionOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

TagList tagListFromRefs(const std::vector<POMRef<OstraFile>>& files) {
    TagList list;
    for (const auto& file : files) list.add(file.value());
    return list;
}

// Item i was granted: its status is there and 0, and so is its ticket. A
// status or ticket the platform did not fill counts as not granted.
bool granted(const std::vector<int>& statuses, const std::vector<std::string>& tickets, std::size_t i) {
    return i < statuses.size() && statuses[i] == 0 && i < tickets.size();
}

}  // namespace

FileManagement::FileTicketsResponse FileManagementImpl::getFileReadTickets(const std::vector<POMRef<OstraFile>>& files) {
    std::map<POMRef<OstraFile>, std::string> tickets;
    ServiceData serviceData;
    ResultStatus status;
    FileManagementPartialErrorHandlerTag handler(&serviceData);

    const TagList list = tagListFromRefs(files);
    std::vector<int> statuses;
    std::vector<std::string> texts, issued;
    status = FileTickets::getReadFileTickets(list, String(""), statuses, texts, issued, &handler);

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!granted(statuses, issued, i)) continue;
        tickets[files[i]] = std::move(issued[i]);  // each issued ticket is read once
        serviceData.addPlainObject(files[i].tag());
    }
    return FileTicketsResponse{std::move(tickets), serviceData};
}

FileManagement::GetDatasetWriteTicketsResponse FileManagementImpl::getDatasetWriteTickets(
    const std::vector<GetDatasetWriteTicketsInputData>& inputs) {
    std::vector<CommitDatasetFileInfo> outputs;
    ServiceData serviceData;
    ResultStatus status;
    for (const auto& input : inputs) {
        try {
            const DatasetType* type = input.dataset->type();
            // A dataset without a type gets no tickets (and no crash).
            if (!type) throw IFail(vl::platform::ERR_NO_SUCH_DATASET_TYPE);
            const std::string typeName = type->name();
            const std::string datasetName = input.dataset->name();
            POMRef<RevisionAnchor> anchor(input.dataset->anchor());
            int version = anchor->version();
            if (input.createNewVersion) version += 1;

            const auto& infos = input.datasetFileInfos;
            // Every text a record points to lives until the call returns: the
            // extensions are all made before the first record points at one.
            std::vector<std::string> extensions;
            extensions.reserve(infos.size());
            for (const auto& info : infos) extensions.push_back(fileExtensionOf(info.fileName));
            std::vector<IMF_write_ticket_request_info_s> records;
            std::vector<std::string> clientIds;
            records.reserve(infos.size());
            clientIds.reserve(infos.size());
            for (std::size_t i = 0; i < infos.size(); ++i) {
                records.push_back({infos[i].isText ? IMF_text_file_type : IMF_binary_file_type,
                                   infos[i].fileName.c_str(), datasetName.c_str(),
                                   infos[i].namedReferencedName.c_str(), extensions[i].c_str()});
                clientIds.push_back(infos[i].clientId);
            }

            std::vector<int> statuses;
            std::vector<std::string> texts, tickets;
            FileManagementPartialErrorHandlerIndex handler(&serviceData, clientIds);
            status = FileTickets::getWriteFileTickets(String(typeName), version, static_cast<int>(records.size()),
                                                      records.empty() ? nullptr : records.data(), statuses, texts,
                                                      tickets, &handler);

            CommitDatasetFileInfo output;
            output.dataset = input.dataset;
            output.createNewVersion = input.createNewVersion;
            for (std::size_t i = 0; i < records.size(); ++i)
                if (granted(statuses, tickets, i)) output.datasetFileTicketInfos.push_back({infos[i], tickets[i]});
            outputs.push_back(std::move(output));
        } catch (const IFail&) {
            serviceData.addErrorStack(input.dataset.tag());
        }
    }
    return GetDatasetWriteTicketsResponse{std::move(outputs), serviceData};
}

Velmora::Soa::Server::ServiceData FileManagementImpl::commitDatasetFiles(
    const std::vector<CommitDatasetFileInfo>& commitInfos) {
    ServiceData serviceData;
    ResultStatus status;
    for (const auto& input : commitInfos) {
        try {
            const auto& files = input.datasetFileTicketInfos;
            std::vector<IMF_commit_dataset_file_info_s> records;
            std::vector<std::string> clientIds;
            records.reserve(files.size());
            clientIds.reserve(files.size());
            for (const auto& file : files) {
                records.push_back({file.datasetFileInfo.namedReferencedName.c_str(),
                                   file.datasetFileInfo.fileName.c_str(), file.datasetFileInfo.allowReplace,
                                   file.ticket.c_str()});
                clientIds.push_back(file.datasetFileInfo.clientId);
            }

            std::vector<int> statuses;
            std::vector<std::string> texts;
            FileManagementPartialErrorHandlerIndex handler(&serviceData, clientIds);
            status = FileTickets::commitDatasetFiles(input.dataset.value(), input.createNewVersion,
                                                     static_cast<int>(records.size()),
                                                     records.empty() ? nullptr : records.data(), statuses, texts,
                                                     &handler);
            serviceData.addUpdatedObject(input.dataset.tag());
        } catch (const IFail&) {
            serviceData.addErrorStack(input.dataset.tag());
        }
    }
    return serviceData;
}

}  // namespace Velmora::Soa::Core::_2006_03
