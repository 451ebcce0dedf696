#pragma once
// File tickets: what a client holds to read a file, or to write a new file of
// a dataset and then commit it. A ticket is an opaque random text; the store
// records what it was issued for until it is spent or its time is up. No file contents exist here: the stand-in
// reads and writes no file.
#include "foundation/vl_error_handler.hxx"
#include "foundation/vl_string.hxx"
#include "pom/pom_types.hxx"
#include "tag/tag_list.hxx"

#include <cstddef>
#include <string>
#include <vector>

// File types of a write request.
inline constexpr int IMF_text_file_type = 4096;
inline constexpr int IMF_binary_file_type = 8192;

// One file of a write-ticket request; the texts are the caller's.
struct IMF_write_ticket_request_info_s {
    int file_type;  // IMF_text_file_type or IMF_binary_file_type
    const char* file_name;
    const char* dataset_name;
    const char* named_reference_name;
    const char* extension;
};

// One file of a commit; the texts are the caller's.
struct IMF_commit_dataset_file_info_s {
    const char* named_reference_name;
    const char* file_name;
    bool allow_replace;
    const char* ticket;
};

// Each call fills the vectors it is given (one entry per item, in order;
// status 0 means granted). A failing item stores its error, then the handler
// is called with the item's tag or index. The calls return 0 unless the call
// as a whole is refused.
class FileTickets {
public:
    // A read ticket per live file; any other tag gets its error's code and "".
    static int getReadFileTickets(const TagList& files, const String& unused, std::vector<int>& statuses,
                                  std::vector<std::string>& texts, std::vector<std::string>& tickets,
                                  VlErrorHandler* handler);
    // Write tickets for new files of a dataset of the named type at `version`.
    // Refused whole for an unknown type or a bad count. A record is granted
    // when its reference is one of the type's and holds files, the file type
    // fits the reference's format, the extension fits one of its templates
    // and the name has 1 to 256 characters.
    static int getWriteFileTickets(String datasetTypeName, int version, int count,
                                   const IMF_write_ticket_request_info_s* records, std::vector<int>& statuses,
                                   std::vector<std::string>& texts, std::vector<std::string>& tickets,
                                   VlErrorHandler* handler);
    // Commits the files named by write tickets into the dataset. Refused whole
    // when the tag is no live dataset, the session may not write it, or the
    // site has no volume. Each record needs an unused ticket issued for this
    // dataset's type and name, the record's reference and file name, and the
    // dataset's version (one more with createNewVersion); a file of the same
    // name under the reference is refused unless allow_replace, which takes
    // the old one out. With createNewVersion and a file committed, the
    // dataset's version goes up by one. Nothing stays locked.
    static int commitDatasetFiles(unsigned int dataset, bool createNewVersion, int count,
                                  const IMF_commit_dataset_file_info_s* records, std::vector<int>& statuses,
                                  std::vector<std::string>& texts, VlErrorHandler* handler);

    // The transient volume's root directory, "NONE" when the site has none.
    static std::string getTransientVolRootDir();
};

namespace vl::platform {

// A ticket not spent lasts this long (by the store's clock) from its issue.
inline constexpr int kTicketLifetimeSeconds = 3600;

// What a ticket grants (a test seam: tickets are compared by this, never by
// their text).
struct TicketGrant {
    bool write = false;
    tag_t file = 0;  // read tickets
    // Write tickets: what the file was asked for.
    std::string datasetTypeName, datasetName, reference, fileName, extension;
    int version = 0;
    bool text = false;
};
// False when the store holds no such live ticket (never issued, spent, or
// its time is up).
bool TICKET_ask(const std::string& ticket, TicketGrant* grant);
// Seam: the number of tickets the store holds now, live or not yet dropped.
std::size_t TICKET_held();

// A platform that misbehaves, for tests: the next getWriteFileTickets or
// commitDatasetFiles call leaves the last record's status (and ticket) out
// and, after storing an ERR_INJECTED error, reports a failure at the index
// one past the records.
void TICKET_misreport_next();

// For platform code: checks a new file for a named reference of a dataset
// type as a write request is checked; 0 or the stored code.
int FILE_check_for_reference(tag_t datasetType, const std::string& reference, const std::string& fileName,
                             const std::string& extension, bool text);
// For platform code: a new saved file of the session user on `volume`,
// added under the reference of the dataset (no checks).
int FILE_add_to_dataset(tag_t dataset, const std::string& reference, const std::string& fileName, bool text,
                        tag_t volume, tag_t* file);
// The text after the last "." of a file name, "" when it has none.
std::string FILE_extension_of(const std::string& fileName);

}  // namespace vl::platform
