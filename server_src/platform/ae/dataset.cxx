#include "ae/dataset.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <cstring>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

int needWritableDataset(tag_t dataset, Object** out) {
    if (int rc = need(dataset, "Dataset", out)) return rc;
    if ((*out)->readOnly) return fail(ERR_READ_ONLY_OBJECT, (*out)->uid);
    if (!canWrite(**out)) return fail(ERR_NO_ACCESS, (*out)->uid);
    return 0;
}

tag_t defaultToolOf(const Object& type) {
    tag_t t = getTag(type, "default_tool");
    if (t) return t;
    std::vector<tag_t> tools = getTags(type, "list_of_tools");
    return tools.empty() ? 0 : tools.front();
}

}  // namespace

int AE_find_datasettype(const char* name, tag_t* datasetType) {
    VL_ENTER("AE_find_datasettype", 0);
    if (datasetType) *datasetType = name && *name ? findByKey("DatasetType", name) : 0;
    return 0;
}

int AE_ask_datasettype_name(tag_t datasetType, char name[OSTRATYPE_name_size_c + 1]) {
    VL_ENTER("AE_ask_datasettype_name", datasetType);
    if (name) name[0] = '\0';
    Object* t = nullptr;
    if (int rc = need(datasetType, "DatasetType", &t)) return rc;
    std::string n = getString(*t, "datasettype_name");
    if (name) {
        std::size_t len = std::min<std::size_t>(n.size(), OSTRATYPE_name_size_c);
        std::memcpy(name, n.data(), len);
        name[len] = '\0';
    }
    return 0;
}

int AE_ask_datasettype_tools(tag_t datasetType, int* count, tag_t** tools) {
    VL_ENTER("AE_ask_datasettype_tools", datasetType);
    if (count) *count = 0;
    if (tools) *tools = nullptr;
    Object* t = nullptr;
    if (int rc = need(datasetType, "DatasetType", &t)) return rc;
    std::vector<tag_t> v = getTags(*t, "list_of_tools");
    if (count) *count = static_cast<int>(v.size());
    if (tools) *tools = SM_copy_array(v);
    return 0;
}

int AE_ask_datasettype_refs(tag_t datasetType, int* count, char*** references) {
    VL_ENTER("AE_ask_datasettype_refs", datasetType);
    if (count) *count = 0;
    if (references) *references = nullptr;
    Object* t = nullptr;
    if (int rc = need(datasetType, "DatasetType", &t)) return rc;
    std::vector<std::string> names;
    for (const std::string& n : getStrings(*t, "ref_names"))
        if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);
    if (count) *count = static_cast<int>(names.size());
    if (references) *references = SM_pack_string_range(names);
    return 0;
}

int AE_ask_datasettype_file_refs(tag_t datasetType, const char* reference, int* count, char*** templates,
                                 char*** formats) {
    VL_ENTER("AE_ask_datasettype_file_refs", datasetType);
    if (count) *count = 0;
    if (templates) *templates = nullptr;
    if (formats) *formats = nullptr;
    Object* t = nullptr;
    if (int rc = need(datasetType, "DatasetType", &t)) return rc;
    std::vector<std::string> names = getStrings(*t, "ref_names");
    std::vector<std::string> fmts = getStrings(*t, "ref_formats");
    std::vector<std::string> tmpls = getStrings(*t, "ref_templates");
    std::vector<std::string> outT, outF;
    bool named = false;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (reference && names[i] == reference) {
            named = true;
            // An entry without a format only names the reference.
            if (i >= fmts.size() || fmts[i].empty()) continue;
            outT.push_back(i < tmpls.size() ? tmpls[i] : "");
            outF.push_back(fmts[i]);
        }
    if (!named) return fail(ERR_NO_SUCH_REFERENCE, reference ? reference : "");
    if (count) *count = static_cast<int>(outT.size());
    if (templates) *templates = SM_pack_string_range(outT);
    if (formats) *formats = SM_pack_string_range(outF);
    return 0;
}

int AE_datasettype_extent(int* count, tag_t** datasetTypes) {
    VL_ENTER("AE_datasettype_extent", 0);
    std::vector<tag_t> v = instancesOf("DatasetType");
    if (count) *count = static_cast<int>(v.size());
    if (datasetTypes) *datasetTypes = SM_copy_array(v);
    return 0;
}

int AE_create_dataset_with_id(tag_t datasetType, const char* name, const char* description, const char* id,
                              const char* rev, tag_t* dataset) {
    VL_ENTER("AE_create_dataset_with_id", datasetType);
    if (dataset) *dataset = 0;
    Object* dt = nullptr;
    if (int rc = need(datasetType, "DatasetType", &dt)) return rc;
    if (!name || !*name) return fail(ERR_BAD_ARGUMENT, "a dataset needs a name");
    if (!S().identity.loggedIn) return fail(ERR_NOT_LOGGED_IN);
    const TypeDef* bt = typeNamed(getString(*dt, "datasettype_name"));
    if (!bt || !bt->cls->isA("Dataset")) return fail(ERR_TYPE_NOT_FOUND, getString(*dt, "datasettype_name"));
    PropertyDescriptor* dn = descriptorOfType(bt->tag, "object_name");
    if (dn && dn->m_maxLength > 0 && static_cast<int>(std::strlen(name)) > dn->m_maxLength)
        return fail(ERR_STRING_TOO_LONG, "object_name");
    Object& ds = create(bt->cls, bt->tag);
    tag_t dsTag = ds.tag;
    initValue(ds, "object_name", std::vector<std::string>{name});
    if (description && *description) initValue(ds, "object_desc", std::vector<std::string>{description});
    initValue(ds, "dataset_type", std::vector<tag_t>{datasetType});
    if (id && *id) initValue(ds, "dataset_id", std::vector<std::string>{id});
    if (rev && *rev) initValue(ds, "dataset_rev", std::vector<std::string>{rev});
    Object& anchor = create("RevisionAnchor");
    anchor.locked = false;
    initValue(anchor, "revisions", std::vector<tag_t>{dsTag});
    initValue(anchor, "version", std::vector<int>{1});
    initValue(*find(dsTag), "rev_chain_anchor", std::vector<tag_t>{anchor.tag});
    if (dataset) *dataset = dsTag;
    return 0;
}

int AE_create_dataset(tag_t datasetType, const char* name, const char* description, tag_t* dataset) {
    return AE_create_dataset_with_id(datasetType, name, description, nullptr, nullptr, dataset);
}

int AE_find_tool(const char* name, tag_t* tool) {
    VL_ENTER("AE_find_tool", 0);
    if (tool) *tool = name && *name ? findByKey("Tool", name) : 0;
    return 0;
}

static int toolFormats(tag_t tool, const char* attribute, int* count, char*** formats) {
    if (count) *count = 0;
    if (formats) *formats = nullptr;
    Object* t = nullptr;
    if (int rc = need(tool, "Tool", &t)) return rc;
    std::vector<std::string> v = getStrings(*t, attribute);
    if (count) *count = static_cast<int>(v.size());
    if (formats) *formats = SM_pack_string_range(v);
    return 0;
}

int AE_ask_tool_output_formats(tag_t tool, int* count, char*** formats) {
    VL_ENTER("AE_ask_tool_output_formats", tool);
    return toolFormats(tool, "output_formats", count, formats);
}

int AE_ask_tool_input_formats(tag_t tool, int* count, char*** formats) {
    VL_ENTER("AE_ask_tool_input_formats", tool);
    return toolFormats(tool, "input_formats", count, formats);
}

int AE_ask_dataset_tool(tag_t dataset, tag_t* tool) {
    VL_ENTER("AE_ask_dataset_tool", dataset);
    if (tool) *tool = 0;
    Object* d = nullptr;
    if (int rc = need(dataset, "Dataset", &d)) return rc;
    if (tool) *tool = getTag(*d, "tool_used");
    return 0;
}

int AE_set_dataset_tool(tag_t dataset, tag_t tool) {
    VL_ENTER("AE_set_dataset_tool", dataset);
    Object* d = nullptr;
    if (int rc = needWritableDataset(dataset, &d)) return rc;
    if (int rc = need(tool, "Tool", nullptr)) return rc;
    Object* type = find(getTag(*d, "dataset_type"));
    if (type) {
        std::vector<tag_t> tools = getTags(*type, "list_of_tools");
        if (std::find(tools.begin(), tools.end(), tool) == tools.end())
            return fail(ERR_NO_SUCH_TOOL, "not a tool of the dataset's type");
    }
    return setTag(*d, "tool_used", tool);
}

int AE_set_dataset_format(tag_t dataset, const char* format) {
    VL_ENTER("AE_set_dataset_format", dataset);
    Object* d = nullptr;
    if (int rc = needWritableDataset(dataset, &d)) return rc;
    return setString(*d, "format_used", format ? format : "");
}

int AE_ask_dataset_format(tag_t dataset, char** format) {
    VL_ENTER("AE_ask_dataset_format", dataset);
    if (format) *format = nullptr;
    Object* d = nullptr;
    if (int rc = need(dataset, "Dataset", &d)) return rc;
    if (format) *format = SM_string_copy_persistent(getString(*d, "format_used").c_str());
    return 0;
}

int AE_ask_dataset_datasettype(tag_t dataset, tag_t* datasetType) {
    VL_ENTER("AE_ask_dataset_datasettype", dataset);
    if (datasetType) *datasetType = 0;
    Object* d = nullptr;
    if (int rc = need(dataset, "Dataset", &d)) return rc;
    if (datasetType) *datasetType = getTag(*d, "dataset_type");
    return 0;
}

int AE_ask_dataset_named_refs(tag_t dataset, int* count, char*** referenceNames, tag_t** files) {
    VL_ENTER("AE_ask_dataset_named_refs", dataset);
    if (count) *count = 0;
    if (referenceNames) *referenceNames = nullptr;
    if (files) *files = nullptr;
    Object* d = nullptr;
    if (int rc = need(dataset, "Dataset", &d)) return rc;
    std::vector<std::string> names = getStrings(*d, "ref_names");
    std::vector<tag_t> refs = getTags(*d, "ref_list");
    names.resize(refs.size());
    if (count) *count = static_cast<int>(refs.size());
    if (referenceNames) *referenceNames = SM_pack_string_range(names);
    if (files) *files = SM_copy_array(refs);
    return 0;
}

int AE_add_dataset_named_ref(tag_t dataset, const char* referenceName, tag_t file) {
    VL_ENTER("AE_add_dataset_named_ref", dataset);
    Object* d = nullptr;
    if (int rc = needWritableDataset(dataset, &d)) return rc;
    if (int rc = need(file, nullptr)) return rc;
    std::string ref = referenceName ? referenceName : "";
    if (const Object* type = find(getTag(*d, "dataset_type"))) {
        std::vector<std::string> known = getStrings(*type, "ref_names");
        if (std::find(known.begin(), known.end(), ref) == known.end())
            return fail(ERR_NO_SUCH_REFERENCE, ref);
    }
    std::vector<std::string> names = getStrings(*d, "ref_names");
    std::vector<tag_t> refs = getTags(*d, "ref_list");
    names.resize(refs.size());
    names.push_back(ref);
    refs.push_back(file);
    if (int rc = setStrings(*d, "ref_names", names)) return rc;
    return setTags(*d, "ref_list", refs);
}

int AE_remove_dataset_named_ref(tag_t dataset, const char* referenceName, tag_t file) {
    VL_ENTER("AE_remove_dataset_named_ref", dataset);
    Object* d = nullptr;
    if (int rc = needWritableDataset(dataset, &d)) return rc;
    std::vector<std::string> names = getStrings(*d, "ref_names");
    std::vector<tag_t> refs = getTags(*d, "ref_list");
    names.resize(refs.size());
    std::vector<std::string> keptNames;
    std::vector<tag_t> kept;
    bool removed = false;
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (refs[i] == file && (!referenceName || names[i] == referenceName)) {
            removed = true;
            continue;
        }
        keptNames.push_back(names[i]);
        kept.push_back(refs[i]);
    }
    if (!removed) return fail(ERR_NOT_FOUND, "no such named reference");
    if (int rc = setStrings(*d, "ref_names", keptNames)) return rc;
    return setTags(*d, "ref_list", kept);
}

int QMSM_create_qmpart(tag_t dataset) {
    VL_ENTER("QMSM_create_qmpart", dataset);
    Object* d = nullptr;
    if (int rc = needWritableDataset(dataset, &d)) return rc;
    return setCommitted(*d, attr(*d, "qmpart_prepared"), std::vector<char>{1});
}

// --- loaded objects ---

DatasetType* Dataset::type() const {
    const Object* o = find(tag());
    if (!o) return nullptr;
    return dynamic_cast<DatasetType*>(loaded(getTag(*o, "dataset_type")));
}

tag_t Dataset::anchor() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "rev_chain_anchor") : 0;
}

std::string DatasetType::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "datasettype_name") : std::string();
}

tag_t DatasetType::defaultToolTag() const {
    const Object* o = find(tag());
    return o ? defaultToolOf(*o) : 0;
}

Tool* DatasetType::defaultTool() const { return dynamic_cast<Tool*>(loaded(defaultToolTag())); }

status_t DatasetType::listOfTool(int* count, tag_t** tools) const {
    if (count) *count = 0;
    if (tools) *tools = nullptr;
    Object* o = nullptr;
    if (int rc = need(tag(), "DatasetType", &o)) return status_t(rc);
    std::vector<tag_t> v = getTags(*o, "list_of_tools");
    if (count) *count = static_cast<int>(v.size());
    if (tools) *tools = SM_copy_array(v);
    return status_t::OK;
}

status_t Tool::find(const char* name, tag_t* tool) {
    enter("Tool::find");
    if (tool) *tool = name && *name ? findByKey("Tool", name) : 0;
    return status_t::OK;
}

std::string Tool::name() const {
    const Object* o = store::find(tag());
    return o ? getString(*o, "object_name") : std::string();
}

Tool* Tool::shellTool() const {
    const Object* o = store::find(tag());
    if (!o) return nullptr;
    return dynamic_cast<Tool*>(loaded(getTag(*o, "shell_tool")));
}

std::string Tool::symbolName() const {
    const Object* o = store::find(tag());
    return o ? getString(*o, "symbol_name") : std::string();
}

int RevisionAnchor::version() const {
    const Object* o = find(tag());
    return o ? getInt(*o, "version") : 0;
}

int RevisionAnchor::revisionCount() const {
    const Object* o = find(tag());
    return o ? static_cast<int>(getTags(*o, "revisions").size()) : 0;
}

namespace {

std::string datasetTypeName(const Object& o) { return getString(o, "datasettype_name"); }
std::string toolName(const Object& o) { return getString(o, "object_name"); }

[[maybe_unused]] const bool kRegistered =
    registerLoadedClass("Dataset", &makeLoaded<Dataset>) &&
    registerLoadedClass("DatasetType", &makeLoaded<DatasetType>) && registerLoadedClass("Tool", &makeLoaded<Tool>) &&
    registerLoadedClass("RevisionAnchor", &makeLoaded<RevisionAnchor>) &&
    registerDisplayName("DatasetType", &datasetTypeName) && registerDisplayName("Tool", &toolName);

}  // namespace
