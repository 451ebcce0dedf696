#include "filetickets/file_tickets.hxx"
#include "filetickets/transient_volume.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/session_state.hxx"
#include "pom/store.hxx"

#include <sodium.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <unordered_map>
#include <utility>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

// Tickets the store holds, with what each grants and when its time is up.
// A ticket is forgotten when it is spent or, once its time is up, when a new
// one is issued: what is held is bounded by the tickets still live.
struct TicketState final : Extension {
    static constexpr const char* kName = "file-tickets";
    struct Held {
        // A constructor, not aggregate init: try_emplace forwards to it, and
        // not every compiler of the build forms an aggregate from parentheses.
        Held() = default;
        Held(TicketGrant g, std::int64_t e) : grant(std::move(g)), expires(e) {}
        TicketGrant grant;
        std::int64_t expires = 0;  // store clock, seconds
    };
    std::unordered_map<std::string, Held> tickets;
    // In issue order, which is expiry order while the clock runs forward; an
    // entry may outlive its ticket (spent, rolled back) until its time is up.
    std::deque<std::pair<std::int64_t, std::string>> byExpiry;
    std::unique_ptr<Extension> clone() const override { return std::make_unique<TicketState>(*this); }
    std::string dump() const override {
        std::vector<std::string> lines;
        for (const auto& [ticket, h] : tickets) {
            const TicketGrant& g = h.grant;
            lines.push_back(ticket + " " + std::to_string(g.write) + " " + std::to_string(g.file) + " " +
                            g.datasetTypeName + "|" + g.datasetName + "|" + g.reference + "|" + g.fileName + "|" +
                            g.extension + " " + std::to_string(g.version) + " " + std::to_string(g.text) + " " +
                            std::to_string(h.expires));
        }
        std::string out = joinSorted(std::move(lines));
        for (const auto& [at, ticket] : byExpiry) out += "expiry " + std::to_string(at) + " " + ticket + "\n";
        return out;
    }
};

TicketState& state() { return extension<TicketState>(); }

std::int64_t nowSeconds() {
    using namespace std::chrono;
    const date_s d = now();
    const sys_days date = year{d.year} / month{d.month + 1u} / day{d.day};
    return std::int64_t{date.time_since_epoch().count()} * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

// The held ticket, unless its time is up.
const TicketState::Held* live(const std::string& ticket) {
    const auto it = state().tickets.find(ticket);
    if (it == state().tickets.end() || it->second.expires <= nowSeconds()) return nullptr;
    return &it->second;
}

// Forgets the tickets whose time is up, oldest first.
void dropExpired(TicketState& st, std::int64_t at) {
    while (!st.byExpiry.empty() && st.byExpiry.front().first <= at) {
        const auto it = st.tickets.find(st.byExpiry.front().second);
        if (it != st.tickets.end() && it->second.expires <= at) st.tickets.erase(it);
        st.byExpiry.pop_front();
    }
}

void hold(std::string ticket, TicketState::Held held) {
    TicketState& st = state();
    st.byExpiry.emplace_back(held.expires, ticket);
    st.tickets.insert_or_assign(std::move(ticket), std::move(held));
}

// 128 random bits as 32 hex digits: unguessable.
std::string randomTicket() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) std::abort();  // no randomness: no ticket may be issued
    unsigned char bytes[16];
    randombytes_buf(bytes, sizeof bytes);
    char hex[2 * sizeof bytes + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}

// A new ticket, never one the store holds already: placed by the look-up
// that checks it, since a request may issue thousands into a table of many
// more.
std::string issue(TicketGrant grant) {
    const std::int64_t at = nowSeconds();
    TicketState& st = state();
    dropExpired(st, at);
    const std::int64_t expires = at + kTicketLifetimeSeconds;
    for (;;) {
        std::string ticket = randomTicket();
        const auto [it, placed] = st.tickets.try_emplace(ticket, std::move(grant), expires);
        if (!placed) continue;  // try_emplace takes nothing from grant when the ticket is held
        st.byExpiry.emplace_back(expires, ticket);
        journalUndo([ticket] { state().tickets.erase(ticket); });
        return ticket;
    }
}

// A spent ticket is forgotten; a roll-back gives it back.
void spend(const std::string& ticket) {
    auto it = state().tickets.find(ticket);
    if (it == state().tickets.end()) return;
    journalUndo([ticket, held = std::move(it->second)] { hold(ticket, held); });
    state().tickets.erase(it);
}

bool& misreportNext() {
    static bool next = false;
    return next;
}

// See TICKET_misreport_next.
void misreport(int count, std::vector<int>& statuses, std::vector<std::string>* tickets, VlErrorHandler* handler) {
    if (!misreportNext()) return;
    misreportNext() = false;
    if (!statuses.empty()) statuses.pop_back();
    if (tickets && !tickets->empty()) tickets->pop_back();
    int rc = failAbout(ERR_INJECTED, "a failure reported past the records");
    if (handler) handler->errorOccuredWithIndex(rc, count);
}

std::string text(const char* t) { return t ? t : ""; }

bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// "*" fits any file; "*.ext" an extension ext (in any letter case); any other
// template only a file of exactly that name.
bool fitsTemplate(const std::string& tmpl, const std::string& fileName, const std::string& extension) {
    if (tmpl == "*") return true;
    if (tmpl.rfind("*.", 0) == 0) return equalNoCase(tmpl.substr(2), extension);
    return tmpl == fileName;
}

// A dataset's named references as a commit changes them: read once, looked
// up by (reference, file name), written back once, so that committing n files
// costs O(n), not O(n^2).
class FileList {
public:
    explicit FileList(const Object& dataset)
        : m_names(getStrings(dataset, "ref_names")), m_refs(getTags(dataset, "ref_list")) {
        m_names.resize(m_refs.size());
        m_gone.assign(m_refs.size(), false);
        for (std::size_t i = 0; i < m_refs.size(); ++i)
            if (const Object* f = find(m_refs[i]); f && f->cls->isA("OstraFile"))
                m_byName[key(m_names[i], getString(*f, "original_file_name"))].push_back(i);
    }

    bool has(const std::string& reference, const std::string& fileName) const {
        return m_byName.count(key(reference, fileName)) > 0;
    }
    void add(const std::string& reference, const std::string& fileName, tag_t file) {
        m_byName[key(reference, fileName)].push_back(m_refs.size());
        m_names.push_back(reference);
        m_refs.push_back(file);
        m_gone.push_back(false);
        m_changed = true;
    }
    // Takes the files of that name under the reference out of the list.
    void remove(const std::string& reference, const std::string& fileName) {
        auto it = m_byName.find(key(reference, fileName));
        if (it == m_byName.end()) return;
        for (std::size_t at : it->second) {
            m_gone[at] = true;
            m_removed.push_back(m_refs[at]);
        }
        m_byName.erase(it);
        m_changed = true;
    }
    // Writes the list back; a removed file nothing else refers to goes.
    int writeBack(Object& dataset) {
        if (!m_changed) return 0;
        std::vector<std::string> names;
        std::vector<tag_t> refs;
        names.reserve(m_refs.size());
        refs.reserve(m_refs.size());
        for (std::size_t i = 0; i < m_refs.size(); ++i)
            if (!m_gone[i]) {
                names.push_back(std::move(m_names[i]));
                refs.push_back(m_refs[i]);
            }
        if (int rc = setCommitted(dataset, attr(dataset, "ref_names"), std::move(names))) return rc;
        if (int rc = setCommitted(dataset, attr(dataset, "ref_list"), std::move(refs))) return rc;
        for (tag_t f : m_removed)
            if (Object* o = find(f); o && referencersOf(f).empty()) destroy(*o);
        return 0;
    }

private:
    static std::string key(const std::string& reference, const std::string& fileName) {
        return reference + '\x1f' + fileName;
    }
    std::vector<std::string> m_names;
    std::vector<tag_t> m_refs;
    std::vector<bool> m_gone;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byName;
    std::vector<tag_t> m_removed;
    bool m_changed = false;
};

// A new saved file of the session user on `volume`, in no dataset yet.
int makeFile(const std::string& fileName, bool isText, tag_t volume, tag_t* file) {
    Object& f = create("OstraFile");
    initValue(f, "original_file_name", std::vector<std::string>{fileName});
    // The stored name is the platform's own: nothing of the client's text.
    initValue(f, "file_name", std::vector<std::string>{"vlf_" + f.uid + ".dat"});
    if (volume) initValue(f, "volume_tag", std::vector<tag_t>{volume});
    initValue(f, "text_flag", std::vector<char>{static_cast<char>(isText ? 1 : 0)});
    if (int rc = save(f)) {
        destroy(f);
        return rc;
    }
    unlock(f);
    *file = f.tag;
    return 0;
}

}  // namespace

std::string FileTickets::getTransientVolRootDir() { return extension<filetickets::TransientVolume>().root; }

int FileTickets::getReadFileTickets(const TagList& files, const String&, std::vector<int>& statuses,
                                    std::vector<std::string>& texts, std::vector<std::string>& tickets,
                                    VlErrorHandler* handler) {
    VL_ENTER("FileTickets::getReadFileTickets", 0);
    const std::size_t n = files.tags().size();
    statuses.assign(n, 0);
    texts.assign(n, "");
    tickets.assign(n, "");
    // A file named again gets the ticket issued for it at its first place.
    std::unordered_map<tag_t, std::size_t> issued;
    issued.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const tag_t tag = files.tags()[i];
        if (auto at = issued.find(tag); at != issued.end()) {
            tickets[i] = tickets[at->second];
            continue;
        }
        const Object* o = find(tag);
        if (!o || !o->cls->isA("OstraFile")) {
            int rc = failAbout(ERR_NOT_A_FILE, o ? o->uid.str() : std::string());
            statuses[i] = rc;  // stored already, before the handler hears of it
            if (handler) handler->errorOccuredWithTag(rc, Tag(tag));
            continue;
        }
        TicketGrant grant;
        grant.file = tag;
        tickets[i] = issue(std::move(grant));
        issued.emplace(tag, i);
    }
    return 0;
}

int vl::platform::FILE_check_for_reference(tag_t datasetType, const std::string& reference, const std::string& fileName,
                             const std::string& extension, bool text) {
    if (fileName.empty() || fileName.size() > 256) return fail(ERR_BAD_FILE_NAME);
    const Object* type = find(datasetType);
    if (!type || !type->cls->isA("DatasetType")) return fail(ERR_NO_SUCH_DATASET_TYPE);
    std::vector<std::string> names = getStrings(*type, "ref_names");
    std::vector<std::string> formats = getStrings(*type, "ref_formats");
    std::vector<std::string> templates = getStrings(*type, "ref_templates");
    bool known = false, fits = false;
    std::string format;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != reference) continue;
        known = true;
        format = i < formats.size() ? formats[i] : "";
        if (fitsTemplate(i < templates.size() ? templates[i] : "*", fileName, extension)) fits = true;
    }
    if (!known) return failAbout(ERR_NO_SUCH_REFERENCE, reference);
    // OBJECT references hold objects; one without a format takes nothing.
    if (format == "OBJECT" || format.empty()) return failAbout(ERR_OBJECT_REFERENCE, reference);
    if ((format == "TEXT") != text) return failAbout(ERR_FILE_TYPE_MISMATCH, reference);
    if (!fits) return failAbout(ERR_EXTENSION_MISMATCH, fileName);
    return 0;
}

int FileTickets::getWriteFileTickets(String datasetTypeName, int version, int count,
                                     const IMF_write_ticket_request_info_s* records, std::vector<int>& statuses,
                                     std::vector<std::string>& texts, std::vector<std::string>& tickets,
                                     VlErrorHandler* handler) {
    VL_ENTER("FileTickets::getWriteFileTickets", 0);
    const tag_t type = datasetTypeName.empty() ? 0 : findByKey("DatasetType", datasetTypeName.str());
    if (!type) return failAbout(ERR_NO_SUCH_DATASET_TYPE, datasetTypeName.str());
    if (count < 0 || (count > 0 && !records)) return fail(ERR_BAD_RECORD_COUNT);
    const std::size_t n = static_cast<std::size_t>(count);
    statuses.assign(n, 0);
    texts.assign(n, "");
    tickets.assign(n, "");
    for (std::size_t i = 0; i < n; ++i) {
        const IMF_write_ticket_request_info_s& r = records[i];
        const bool isText = r.file_type == IMF_text_file_type;
        int rc = r.file_type == IMF_text_file_type || r.file_type == IMF_binary_file_type
                     ? FILE_check_for_reference(type, text(r.named_reference_name), text(r.file_name),
                                                text(r.extension), isText)
                     : failAbout(ERR_FILE_TYPE_MISMATCH, "file type " + std::to_string(r.file_type));
        if (rc) {
            statuses[i] = rc;  // stored already, before the handler hears of it
            if (handler) handler->errorOccuredWithIndex(rc, static_cast<int>(i));
            continue;
        }
        TicketGrant grant;
        grant.write = true;
        grant.datasetTypeName = datasetTypeName.str();
        grant.datasetName = text(r.dataset_name);
        grant.reference = text(r.named_reference_name);
        grant.fileName = text(r.file_name);
        grant.extension = text(r.extension);
        grant.version = version;
        grant.text = isText;
        tickets[i] = issue(std::move(grant));
    }
    misreport(count, statuses, &tickets, handler);
    return 0;
}

int vl::platform::FILE_add_to_dataset(tag_t dataset, const std::string& reference, const std::string& fileName,
                                      bool text, tag_t volume, tag_t* file) {
    if (file) *file = 0;
    Object* d = nullptr;
    if (int rc = need(dataset, "Dataset", &d)) return rc;
    tag_t made = 0;
    if (int rc = makeFile(fileName, text, volume, &made)) return rc;
    FileList files(*find(dataset));
    files.add(reference, fileName, made);
    if (int rc = files.writeBack(*find(dataset))) return rc;
    if (file) *file = made;
    return 0;
}

std::string vl::platform::FILE_extension_of(const std::string& fileName) {
    std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
}

int FileTickets::commitDatasetFiles(unsigned int dataset, bool createNewVersion, int count,
                                    const IMF_commit_dataset_file_info_s* records, std::vector<int>& statuses,
                                    std::vector<std::string>& texts, VlErrorHandler* handler) {
    VL_ENTER("FileTickets::commitDatasetFiles", dataset);
    Object* d = find(dataset);
    if (!d || !d->cls->isA("Dataset")) return failAbout(ERR_NOT_A_DATASET, d ? d->uid.str() : std::string());
    if (d->readOnly) return failAbout(ERR_READ_ONLY_OBJECT, d->uid);
    if (!canWrite(*d)) return failAbout(ERR_NO_ACCESS, d->uid);
    const tag_t volume = kernel::sessionState().volume;
    if (!find(volume)) return fail(ERR_NO_VOLUME);
    if (count < 0 || (count > 0 && !records)) return fail(ERR_BAD_RECORD_COUNT);

    const Object* type = find(getTag(*d, "dataset_type"));
    const std::string typeName = type ? getString(*type, "datasettype_name") : std::string();
    const std::string datasetName = getString(*d, "object_name");
    const tag_t anchor = getTag(*d, "rev_chain_anchor");
    const int version = find(anchor) ? getInt(*find(anchor), "version") : 0;
    const int wanted = createNewVersion ? version + 1 : version;

    const std::size_t n = static_cast<std::size_t>(count);
    statuses.assign(n, 0);
    texts.assign(n, "");
    bool committed = false;
    FileList files(*d);
    for (std::size_t i = 0; i < n; ++i) {
        const IMF_commit_dataset_file_info_s& r = records[i];
        const std::string ticket = text(r.ticket), reference = text(r.named_reference_name),
                          fileName = text(r.file_name);
        int rc = 0;
        const TicketState::Held* held = live(ticket);
        if (!held || !held->grant.write) {
            rc = fail(ERR_BAD_TICKET);
        } else {
            const TicketGrant& g = held->grant;
            if (g.datasetTypeName != typeName || g.datasetName != datasetName || g.reference != reference ||
                g.fileName != fileName || g.version != wanted)
                rc = fail(ERR_TICKET_MISMATCH);
        }
        if (!rc && files.has(reference, fileName) && !r.allow_replace) rc = failAbout(ERR_FILE_EXISTS, fileName);
        tag_t made = 0;
        if (!rc) rc = makeFile(fileName, held->grant.text, volume, &made);
        if (rc) {
            statuses[i] = rc;  // stored already, before the handler hears of it
            if (handler) handler->errorOccuredWithIndex(rc, static_cast<int>(i));
            continue;
        }
        files.remove(reference, fileName);
        files.add(reference, fileName, made);
        spend(ticket);
        committed = true;
    }
    if (int rc = files.writeBack(*find(dataset))) return rc;
    misreport(count, statuses, nullptr, handler);
    if (createNewVersion && committed)
        if (Object* a = find(anchor))
            if (int rc = setCommitted(*a, attr(*a, "version"), std::vector<int>{version + 1})) return rc;
    return 0;
}

void vl::platform::TICKET_misreport_next() { misreportNext() = true; }

bool vl::platform::TICKET_ask(const std::string& ticket, TicketGrant* grant) {
    const TicketState::Held* held = live(ticket);
    if (!held) return false;
    if (grant) *grant = held->grant;
    return true;
}

std::size_t vl::platform::TICKET_held() { return state().tickets.size(); }
