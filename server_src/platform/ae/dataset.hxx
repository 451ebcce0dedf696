#pragma once
// Datasets, dataset types and tools. A dataset type lists its tools (the
// first is the default unless the site names one) and its named references
// (reference name, format "TEXT"/"BINARY", file name templates). A tool has a
// symbol name, an optional shell tool and its output formats.
#include "foundation/ifail.hxx"
#include "aom/loaded_objects.hxx"
#include "pom/pom_types.hxx"
#include "tag/pom_tag.hxx"

#include <string>

// 0 and the null tag when there is no such type.
int AE_find_datasettype(const char* name, tag_t* datasetType);
// Dataset type names are type names: at most 32 characters.
int AE_ask_datasettype_name(tag_t datasetType, char name[OSTRATYPE_name_size_c + 1]);
int AE_ask_datasettype_tools(tag_t datasetType, int* count, tag_t** tools);
// Named references of the type (one SM block of strings).
int AE_ask_datasettype_refs(tag_t datasetType, int* count, char*** references);
// File name templates (extensions such as "*.txt") and formats ("TEXT",
// "BINARY", "OBJECT") of one named reference: parallel, one block each. A
// reference declared without a format gives a count of 0; a name the type
// does not have fails (ERR_NO_SUCH_REFERENCE).
int AE_ask_datasettype_file_refs(tag_t datasetType, const char* reference, int* count, char*** templates,
                                 char*** formats);
// Every dataset type (one SM block).
int AE_datasettype_extent(int* count, tag_t** datasetTypes);

// A new dataset of the type, with an anchor holding its revisions; open for
// change, no tool yet. id and rev may be null. Refused for an empty name.
int AE_create_dataset_with_id(tag_t datasetType, const char* name, const char* description, const char* id,
                              const char* rev, tag_t* dataset);
int AE_create_dataset(tag_t datasetType, const char* name, const char* description, tag_t* dataset);
int AE_find_tool(const char* name, tag_t* tool);  // 0 and null when none
int AE_ask_tool_output_formats(tag_t tool, int* count, char*** formats);  // one SM block
int AE_ask_tool_input_formats(tag_t tool, int* count, char*** formats);
int AE_ask_dataset_tool(tag_t dataset, tag_t* tool);
int AE_set_dataset_tool(tag_t dataset, tag_t tool);
int AE_set_dataset_format(tag_t dataset, const char* format);
int AE_ask_dataset_format(tag_t dataset, char** format);
int AE_ask_dataset_datasettype(tag_t dataset, tag_t* datasetType);
// Named references of a dataset: parallel arrays of reference names and the
// referenced file objects.
int AE_ask_dataset_named_refs(tag_t dataset, int* count, char*** referenceNames, tag_t** files);
int AE_add_dataset_named_ref(tag_t dataset, const char* referenceName, tag_t file);
int AE_remove_dataset_named_ref(tag_t dataset, const char* referenceName, tag_t file);

// Prepares a dataset of a CAD part type for the CAD system.
int QMSM_create_qmpart(tag_t dataset);

class Tool;
class DatasetType;

class Dataset : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "Dataset"; }
    POMTag& toolRef() { return m_tool = POMTag(tag(), "tool_used"); }
    POMTag& typeRef() { return m_type = POMTag(tag(), "dataset_type"); }
    DatasetType* type() const;  // null when the dataset has none
    tag_t anchor() const;       // its RevisionAnchor

private:
    POMTag m_tool;
    POMTag m_type;
};

class DatasetType : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "DatasetType"; }
    std::string name() const;
    tag_t defaultToolTag() const;  // null when the type has no tool
    Tool* defaultTool() const;     // null when the type has no tool
    status_t listOfTool(int* count, tag_t** tools) const;  // one SM block
};

class Tool : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Tool"; }
    // OK with the null tag when there is no tool of that name.
    static status_t find(const char* name, tag_t* tool);
    std::string name() const;
    Tool* shellTool() const;  // null when it has none
    std::string symbolName() const;
};

class RevisionAnchor : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "RevisionAnchor"; }
    int revisionCount() const;
    // The version the dataset's files are at: 1 for a new dataset, one more
    // with each commit of files that asks for a new version.
    int version() const;
};
