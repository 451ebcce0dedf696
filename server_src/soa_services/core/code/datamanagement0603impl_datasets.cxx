// Data management 2006_03: datasets with their tools and first output
// formats, CAD part set-up, and the relation to each input's container. One
// object-store markpoint per creating input.
#include "soa_services/core/code/datamanagement0603impl.hxx"

#include "ae/dataset.hxx"
#include "aom/aom.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "foundation/vl_string.hxx"
#include "pom/pom.hxx"
#include "sm/scoped_smptr.hxx"
#include "sm/sm.hxx"
#include "text/text_server.hxx"

#include <algorithm>
#include <cstring>

namespace Velmora::Soa::Core::_2006_03 {

using Velmora::Soa::Server::ServiceData;

namespace {

// The code of the error the failed step stored; when it stored none, the
// fallback is stored, so that a failure never reads as success.
int lastErrorOr(int fallback) {
    const int code = ERROR_store_ask_last_ifail();
    return code != 0 ? code : ERROR_store(3, fallback);
}

bool isFolder(const Tag& object) {
    POMObject* loaded = nullptr;
    if (object.object(&loaded) != status_t::OK) ERROR_store_clear();
    return loaded && loaded->isA("Folder");
}

}  // namespace

int DataManagementImpl::setDefaultTool(unsigned int dataset, const char* toolName) const {
    const int notOfType = vl::platform::ERR_TOOL_NOT_OF_TYPE;
    Dataset* loaded = nullptr;
    if (Tag(dataset).object(Dataset::pomClassName(), &loaded) != status_t::OK) return lastErrorOr(notOfType);
    const Tag typeTag(loaded->typeRef().tag());
    if (typeTag.isNull()) return lastErrorOr(notOfType);
    DatasetType* type = nullptr;
    if (typeTag.object(DatasetType::pomClassName(), &type) != status_t::OK) return lastErrorOr(notOfType);

    tag_t tool = NULLTAG;
    if (!toolName || !*toolName) {
        tool = type->defaultToolTag();
        if (tool == NULLTAG) return lastErrorOr(notOfType);
    } else {
        if (Tool::find(toolName, &tool) != status_t::OK || tool == NULLTAG) return ERROR_store(3, notOfType);
        int count = 0;
        scoped_smptr<tag_t> tools;
        if (type->listOfTool(&count, &tools) != status_t::OK || count == 0) return ERROR_store(3, notOfType);
        if (std::find(tools.get(), tools.get() + count, tool) == tools.get() + count) return ERROR_store(3, notOfType);
    }

    const bool wasOpen = loaded->isModifiable();
    if (!wasOpen && AOM_refresh(dataset, 1) != 0) return lastErrorOr(notOfType);
    if (loaded->toolRef().assign(tool) != status_t::OK) return lastErrorOr(notOfType);
    if (!wasOpen) {
        if (loaded->save(1) != status_t::OK) return lastErrorOr(notOfType);
        if (AOM_refresh(dataset, 1) != 0) return lastErrorOr(notOfType);
    }
    return 0;
}

bool DataManagementImpl::isQMDataset(unsigned int dataset) const {
    Dataset* loaded = nullptr;
    if (Tag(dataset).object(Dataset::pomClassName(), &loaded) != status_t::OK) {
        ERROR_store_clear();  // not loadable: not a CAD part
        return false;
    }
    const DatasetType* type = loaded->type();
    if (!type) return false;
    const std::string typeName = stripBlanks(type->name());

    std::string symbol;
    if (const Tool* tool = type->defaultTool()) {
        const Tool* shell = tool->shellTool();
        symbol = shell ? shell->symbolName() : tool->symbolName();
    }
    char* raw = nullptr;
    getTextValue("k_qmpart", &raw);
    scoped_smptr<char> text(raw);

    return (text.get() && typeName == text.get()) || typeName == "QMPART" || symbol == "qmv10_shell";
}

int DataManagementImpl::initQMDataset(unsigned int dataset) const {
    if (QMSM_create_qmpart(dataset) != 0) return ERROR_store(3, vl::platform::ERR_TOOL_NOT_OF_TYPE);
    return 0;
}

void DataManagementImpl::getTextValue(const char* key, char** text) const { *text = OSTRA_text(key); }

DataManagement::CreateDatasetsResponse DataManagementImpl::createDatasets(const std::vector<DatasetProperties>& input) {
    CreateDatasetsResponse response;
    ServiceData& data = response.serviceData;
    Tag current;             // the dataset the latest creating input made
    std::string remembered;  // the first client id that ended its input

    response.output.reserve(input.size());
    for (const DatasetProperties& in : input) {
        int markpoint = 0;
        bool placed = false;
        Tag relation;  // made for this input
        auto forgetMarkpoint = [&] {
            if (placed && POM_forget_markpoint(markpoint) != 0) data.addErrorStack();
            placed = false;
        };
        auto rollBack = [&] {
            bool changed = false;
            if (placed && POM_roll_to_markpoint(markpoint, &changed) != 0) data.addErrorStack();
        };
        try {
            if (in.name.empty() || in.type.empty()) {
                ERROR_store(3, vl::platform::ERR_DATASET_NAME_OR_TYPE_EMPTY);
                data.addErrorStack(in.clientId);
                continue;  // not remembered
            }
            ResultStatus status;
            const Tag& container = in.container;
            bool usable = false;
            if (!container.isNull()) {
                if (Tag::isValid(container) == 0) {
                    bool writable = false;
                    status = AM_check_privilege(container, "WRITE", &writable);
                    if (!writable) {
                        ERROR_store(3, vl::platform::ERR_NOT_MODIFIABLE, "container is not modifiable");
                        data.addErrorStack(container);
                    }
                    usable = true;
                } else {
                    // A container that names no object: the dataset is made, not related.
                    ERROR_store(3, vl::platform::ERR_NO_SUCH_OBJECT);
                    data.addErrorStack(container);
                }
            }

            if (!in.clientId.empty() && in.clientId != remembered) {
                tag_t datasetType = NULLTAG;
                status = AE_find_datasettype(in.type.c_str(), &datasetType);
                if (datasetType == NULLTAG) {
                    ERROR_store(3, vl::platform::ERR_NO_SUCH_DATASET_TYPE, in.type.c_str());
                    data.addErrorStack(in.clientId);
                    continue;  // not remembered
                }
                PomResultStatus pomStatus;
                int placedAt = 0;
                pomStatus = POM_place_markpoint(&placedAt);
                markpoint = placedAt;
                placed = true;

                tag_t dataset = NULLTAG;
                status = AE_create_dataset_with_id(datasetType, in.name.c_str(),
                                                   in.description.empty() ? nullptr : in.description.c_str(),
                                                   nullptr, nullptr, &dataset);
                current = dataset;
                status = setDefaultTool(dataset, in.toolUsed.empty() ? nullptr : in.toolUsed.c_str());
                Dataset* loaded = nullptr;
                if (Tag(dataset).object(Dataset::pomClassName(), &loaded) != status_t::OK)
                    status = lastErrorOr(vl::platform::ERR_INVALID_TAG);
                const tag_t tool = loaded->toolRef().tag();
                status = AOM_load(tool);
                int count = 0;
                scoped_smptr<char*> formats;
                status = AE_ask_tool_output_formats(tool, &count, &formats);
                if (count <= 0 || !formats.get() || !formats[0]) {
                    // Nothing of an input without a format stays behind.
                    ERROR_store(3, vl::platform::ERR_NO_OUTPUT_FORMAT);
                    data.addErrorStack(in.clientId);
                    rollBack();
                    forgetMarkpoint();
                    continue;  // not remembered
                }
                status = AE_set_dataset_format(dataset, formats[0]);
                status = AOM_save(dataset);
                if (isQMDataset(dataset)) status = initQMDataset(dataset);
                status = AOM_refresh(dataset, 0);
            } else if (!current.isNull() && Tag::isValid(current) != 0) {
                // The dataset to reuse was rolled back with its input.
                throw IFail(vl::platform::ERR_INVALID_TAG);
            }

            bool updated = false;
            if (usable && !current.isNull()) {
                status = AOM_refresh(container, 1);
                const bool related = relateToContainer(container, current, in.clientId, in.relationType, &relation);
                // The container is released on every path.
                if (related) {
                    try {
                        if (!isFolder(container)) status = AOM_save(container);
                    } catch (const IFail&) {
                        AOM_refresh(container, 0);
                        throw;
                    }
                    status = AOM_refresh(container, 0);
                    updated = true;
                } else {
                    // The dataset is still reported, with the reason.
                    AOM_refresh(container, 0);
                    data.addErrorStack(in.clientId);
                }
            }
            response.output.push_back({in.clientId, POMRef<Dataset>(current)});
            if (!current.isNull()) data.addCreatedObject(current);
            if (updated) data.addUpdatedObject(container);
        } catch (const IFail&) {
            // An input that reuses the dataset has no markpoint to take its
            // relation back with.
            if (!placed && !relation.isNull()) discardRelation(relation);
            data.addErrorStack(in.clientId);
            rollBack();
        }
        forgetMarkpoint();
        if (!in.clientId.empty() && remembered.empty()) remembered = in.clientId;
    }
    return response;
}

}  // namespace Velmora::Soa::Core::_2006_03
