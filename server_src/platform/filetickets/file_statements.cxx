// The handlers of the file statements: the transient volume root, and the
// files of datasets.
#include "filetickets/file_statements.hxx"

#include "filetickets/file_tickets.hxx"
#include "filetickets/transient_volume.hxx"

namespace vl::platform::filetickets {

namespace {

using namespace site;
using namespace store;

void doTransient(Args& a, Fixture&) {
    extension<TransientVolume>().root = a.word(0, "transient volume root or NONE");
    a.consumed(1);
}

// A file of a dataset, checked as a write ticket request is, owned by the
// dataset's owner, on the session's volume.
void doFile(Args& a, Fixture& f) {
    std::string label = f.objectLabel(a);
    tag_t dataset = f.objectRef(a.need("dataset"));
    Object* d = find(dataset);
    if (!d->cls->isA("Dataset")) bad(a.opt("dataset") + " is not a dataset");
    std::string ref = a.need("ref"), name = a.need("name");
    tag_t type = getTag(*d, "dataset_type");
    std::vector<std::string> names = getStrings(*find(type), "ref_names");
    std::vector<std::string> formats = getStrings(*find(type), "ref_formats");
    bool text = false;
    for (std::size_t i = 0; i < names.size() && i < formats.size(); ++i)
        if (names[i] == ref) text = formats[i] == "TEXT";
    f.check(FILE_check_for_reference(type, ref, name, FILE_extension_of(name), text), "file");
    tag_t file = 0;
    f.check(f.asOwnerOf(dataset, [&] { return FILE_add_to_dataset(dataset, ref, name, text, f.volume, &file); }),
            "file");
    if (a.has("uid")) f.giveUid(*find(file), a.opt("uid"));
    f.label(label, file);
}

const Statement kStatements[] = {
    {"transient", doTransient},
    {"file", doFile},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::filetickets
