// Tools and dataset types are objects the platform keeps for itself, made
// here after their names are checked against what earlier lines declared;
// datasets are made through AE_create_dataset_with_id as their owner.
#include "ae/dataset_statements.hxx"

#include "ae/dataset.hxx"

#include <algorithm>

namespace vl::platform::ae {

namespace {

using namespace site;
using namespace store;

void doTool(Args& a, Fixture& f) {
    std::string name = a.word(0, "tool name");
    a.consumed(1);
    if (!validName(name) || name.size() > 32) bad("bad tool name \"" + name + "\"");
    unclaimed("Tool", name, "tool");
    tag_t shell = a.has("shell") ? existing("Tool", a.opt("shell"), "tool") : 0;
    Object& t = f.newObject("Tool");
    initValue(t, "object_name", std::vector<std::string>{name});
    if (a.has("symbol")) initValue(t, "symbol_name", std::vector<std::string>{a.opt("symbol")});
    if (shell) initValue(t, "shell_tool", std::vector<tag_t>{shell});
    initValue(t, "output_formats", a.list("output"));
    initValue(t, "input_formats", a.list("input"));
}

void doDatasetType(Args& a, Fixture& f) {
    std::string name = a.word(0, "dataset type");
    a.consumed(1);
    const TypeDef* parent = f.typeOf(a.opt("parent", "Dataset"));
    if (!parent->cls->isA("Dataset")) bad(parent->name + " is not a dataset type");
    std::vector<tag_t> tools;
    for (const std::string& n : a.list("tools")) tools.push_back(existing("Tool", n, "tool"));
    tag_t def = 0;
    if (a.has("default")) {
        def = findByKey("Tool", a.opt("default"));
        if (!def || std::find(tools.begin(), tools.end(), def) == tools.end())
            bad("the default tool must be one of the type's tools");
    }
    tag_t bt = f.newType(name, parent->cls, parent->tag, a.opt("display"));
    Object& d = f.newObject("DatasetType");
    initValue(d, "datasettype_name", std::vector<std::string>{name});
    initValue(d, "list_of_tools", tools);
    if (def) initValue(d, "default_tool", std::vector<tag_t>{def});
    businessTypes().types.at(bt).datasetType = d.tag;
}

void doReference(Args& a, Fixture&) {
    std::string type = a.word(0, "dataset type");
    std::string ref = a.word(1, "reference name");
    a.consumed(2);
    tag_t dt = existing("DatasetType", type, "dataset type");
    // Without a format the reference is named but takes no files: one
    // entry with an empty format and template stands for it.
    const bool takesFiles = a.has("format");
    std::string format = takesFiles ? a.need("format") : std::string();
    if (takesFiles && format.empty()) bad("a format needs a name");
    std::vector<std::string> templates = a.list("template");
    if (!takesFiles && !templates.empty()) bad("file templates need a format");
    if (templates.empty()) templates.push_back(takesFiles ? "*" : "");
    Object& d = *find(dt);
    std::vector<std::string> names = getStrings(d, "ref_names");
    std::vector<std::string> formats = getStrings(d, "ref_formats");
    std::vector<std::string> tmpls = getStrings(d, "ref_templates");
    for (const auto& t : templates) {
        names.push_back(ref);
        formats.push_back(format);
        tmpls.push_back(t);
    }
    initValue(d, "ref_names", names);
    initValue(d, "ref_formats", formats);
    initValue(d, "ref_templates", tmpls);
}

void doDataset(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t made = 0;
    f.asOwner(a, [&] {
        std::string type = a.need("type");
        tag_t dt = existing("DatasetType", type, "dataset type");
        f.check(AE_create_dataset_with_id(dt, a.need("name").c_str(), a.opt("desc").c_str(), nullptr, nullptr, &made),
                "dataset");
        const Object* dto = find(dt);
        tag_t tool = a.has("tool") ? existing("Tool", a.opt("tool"), "tool") : getTag(*dto, "default_tool");
        if (!tool) {
            std::vector<tag_t> tools = getTags(*dto, "list_of_tools");
            tool = tools.empty() ? 0 : tools.front();
        }
        if (tool) initValue(*find(made), "tool_used", std::vector<tag_t>{tool});
        std::vector<std::string> formats =
            tool ? getStrings(*find(tool), "output_formats") : std::vector<std::string>{};
        std::string format = a.opt("format", formats.empty() ? "" : formats.front());
        if (!format.empty()) initValue(*find(made), "format_used", std::vector<std::string>{format});
        if (a.has("version")) {
            int version = number(a.opt("version"), "version");
            if (version < 1) bad("a dataset's version is 1 or more");
            initValue(*find(getTag(*find(made), "rev_chain_anchor")), "version", std::vector<int>{version});
        }
    });
    f.placeObject(a, label, made);
}

const Statement kStatements[] = {
    {"tool", doTool},
    {"datasettype", doDatasetType},
    {"reference", doReference},
    {"dataset", doDataset, Needs::descriptors},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::ae
