// The site fixture loader (format: docs/site-format.md): reads the lines,
// reports a refusal with its file and line, keeps the order rules and looks
// each statement up in the table of the domains' statements.
#include "ae/dataset_statements.hxx"
#include "aom/aom_statements.hxx"
#include "filetickets/file_statements.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "kernel/kernel_statements.hxx"
#include "pom/store.hxx"
#include "pom/test_seams.hxx"
#include "propdesc/property_statements.hxx"
#include "ps/ps.hxx"
#include "ps/ps_statements.hxx"
#include "reservation/reservation_statements.hxx"
#include "sa/sa_statements.hxx"
#include "server_info/server_info.hxx"
#include "site/fixture_statement.hxx"
#include "site/schema_statements.hxx"
#include "soa_server/policy.hxx"
#include "soa_server/service_data.hxx"
#include "text/text_statements.hxx"
#include "user_exits/user_exits.hxx"

#include <sodium.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace vl::platform::site {
extern const char* const kBuiltinSchema;

namespace {

using namespace store;

// Each folder's statements; adding a domain adds a row.
struct Domain {
    const char* folder;
    Statements (*statements)();
};
const Domain kDomains[] = {
    {"site", fixtureStatements},
    {"ae", ae::fixtureStatements},
    {"aom", aom::fixtureStatements},
    {"propdesc", propdesc::fixtureStatements},
    {"sa", sa::fixtureStatements},
    {"kernel", kernel::fixtureStatements},
    {"text", text::fixtureStatements},
    {"filetickets", filetickets::fixtureStatements},
    {"ps", ps::fixtureStatements},
    {"reservation", reservation::fixtureStatements},
};

// Statements by keyword, built once; a keyword two domains claim is a
// fault of the build, refused with every load.
const std::unordered_map<std::string_view, const Statement*>& statementTable() {
    static const auto table = [] {
        std::unordered_map<std::string_view, const Statement*> byKeyword;
        for (const Domain& d : kDomains)
            for (const Statement& s : d.statements())
                if (!byKeyword.emplace(s.keyword, &s).second)
                    throw std::logic_error("the statement " + std::string(s.keyword) + " is declared twice");
        return byKeyword;
    }();
    return table;
}

// Splits one line into tokens; false (with *why) for an unterminated quote.
bool lex(const std::string& line, std::vector<Token>* out, std::string* why) {
    std::size_t i = 0, n = line.size();
    while (i < n) {
        while (i < n && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= n || line[i] == '#') break;
        Token t;
        while (i < n && !std::isspace(static_cast<unsigned char>(line[i]))) {
            char c = line[i];
            if (c == '"') {
                t.quoted = true;
                ++i;
                bool closed = false;
                while (i < n) {
                    char q = line[i++];
                    if (q == '\\' && i < n) {
                        char e = line[i++];
                        t.text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    } else if (q == '"') {
                        closed = true;
                        break;
                    } else {
                        t.text += q;
                    }
                }
                if (!closed) {
                    *why = "unterminated quote";
                    return false;
                }
                continue;
            }
            if (c == '=' && t.eq == std::string::npos && !t.quoted) t.eq = t.text.size();
            t.text += c;
            ++i;
        }
        out->push_back(std::move(t));
    }
    return true;
}

class Loader {
public:
    explicit Loader(std::shared_ptr<Schema> schema) : m_table(statementTable()), m_fixture(std::move(schema)) {}

    void run(const std::string& text, const std::string& name) {
        m_file = name;
        std::istringstream in(text);
        std::string line;
        m_line = 0;
        while (std::getline(in, line)) {
            ++m_line;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::vector<Token> tokens;
            std::string why;
            if (!lex(line, &tokens, &why)) throw LoadError(where() + why);
            if (tokens.empty()) continue;
            try {
                statement(std::move(tokens));
            } catch (const LoadError& e) {
                throw LoadError(where() + e.what());
            }
        }
        m_line = 0;
    }

    void finish() {
        Store& s = S();
        m_fixture.typesReady();
        const Schema& schema = m_fixture.schema();
        for (const ClassDef* c : schema.order)
            for (const AttrDef& a : c->attrs)
                if (!a.refClass.empty() && !schema.find(a.refClass))
                    throw LoadError(m_file + ": attribute " + c->name + "." + a.name + " refers to unknown class " +
                                    a.refClass);
        m_fixture.rebuild();
        s.objects.forEach([](Object& o) {
            o.locked = false;
            o.pending = false;
        });
        s.saved.clear();
        s.journal.clear();
        s.journalled = {};
        s.markpoints.clear();
        s.loading = false;
        kernel::setSession(m_fixture.session ? *m_fixture.session : kernel::Session{});
    }

private:
    std::string where() const { return m_file + ":" + std::to_string(m_line) + ": "; }

    void statement(std::vector<Token> tokens) {
        const std::string kw = tokens[0].text;
        Args a(std::move(tokens));
        auto it = m_table.find(kw);
        const Statement* s = it == m_table.end() ? nullptr : it->second;
        // Only the schema's own statements may come before the class of types
        // is complete: every other needs the types of the classes so far.
        if (!s || s->needs != Needs::nothing) {
            if (!m_fixture.typesReady()) bad("the class OstraType must be complete before " + kw);
        }
        if (!s) bad("unknown statement " + kw);
        if (s->needs == Needs::propertyNames) m_fixture.rebuild(true);
        if (s->needs == Needs::descriptors) m_fixture.rebuild();
        s->handler(a, m_fixture);
        a.done();
    }

    const std::unordered_map<std::string_view, const Statement*>& m_table;
    Fixture m_fixture;
    std::string m_file;
    int m_line = 0;
};

}  // namespace

std::vector<std::pair<std::string, std::string>> statementOwners() {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Domain& d : kDomains)
        for (const Statement& s : d.statements()) out.emplace_back(std::string(s.keyword), d.folder);
    return out;
}

}  // namespace vl::platform::site

namespace vl::platform {

using namespace store;

namespace {

struct Pristine {
    std::unique_ptr<Store> store;
    std::string path;
};

Pristine& pristine() {
    static Pristine p;
    return p;
}

// Keeps the error store as it was across a load.
struct ErrorsKept {
    std::vector<std::tuple<int, int, std::string>> errors;
    ErrorsKept() {
        int n = 0;
        const int* sev = nullptr;
        const int* codes = nullptr;
        const char* const* texts = nullptr;
        ERROR_store_ask(&n, &sev, &codes, &texts);
        for (int i = 0; i < n; ++i) errors.emplace_back(sev[i], codes[i], texts[i] ? texts[i] : "");
    }
    void restore() {
        ERROR_store_clear();
        for (auto& [s, c, t] : errors) ERROR_store(s, c, t.c_str());
    }
};

void clearSeams() {
    ERROR_store_clear();
    faultClear();
    callLogClear();
    SYSLOG_clear();
    USER_reset_exits();
    // The SOA server's switches: every test and fuzz input starts alike.
    Velmora::Soa::Internal::Server::PolicyManager::reset();
    Velmora::Soa::Server::ServiceData::setRefreshPOM(false);
    unpinClock();
}

}  // namespace

int SITE_load_text(const std::string& text, const std::string& name, std::string* error) {
    ErrorsKept kept;
    auto fresh = std::make_unique<Store>();
    auto schema = std::make_shared<Schema>();
    fresh->schema = schema;
    fresh->loading = true;
    fresh->uidSalt = 0;
    std::unique_ptr<Store> previous = swapStore(std::move(fresh));
    try {
        site::Loader loader(schema);
        loader.run(site::kBuiltinSchema, "<built-in schema>");
        loader.run(ps::kSchema, "<product-structure schema>");
        loader.run(text, name);
        loader.finish();
    } catch (const site::LoadError& e) {
        swapStore(std::move(previous));
        kept.restore();
        if (error) *error = e.what();
        return ERR_BAD_ARGUMENT;
    } catch (const std::exception& e) {
        swapStore(std::move(previous));
        kept.restore();
        if (error) *error = name + ": " + e.what();
        return ERR_BAD_ARGUMENT;
    }
    dropLoaded();
    pristine().store = copyStore(S());
    pristine().path = name;
    watchFixture();
    clearSeams();
    if (error) error->clear();
    return 0;
}

int SITE_load(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = path + ":0: cannot read the file";
        return ERR_NOT_FOUND;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return SITE_load_text(text.str(), path, error);
}

void SITE_reset() {
    const Pristine& p = pristine();
    if (p.store && S().sinceFixture.watching()) {
        restoreFrom(*p.store);
        dropLoaded();
    } else if (p.store) {
        installStore(copyStore(*p.store));
        watchFixture();
    } else {
        installStore(nullptr);
    }
    clearSeams();
}

std::string SITE_loaded_path() { return pristine().path; }

int SITE_ensure_loaded(const std::string& fallback) {
    if (pristine().store) return 0;
    const char* env = std::getenv("VL_SITE");
    std::string path = env && *env ? env : fallback;
    std::string error;
    int rc = SITE_load(path, &error);
    if (rc) std::fprintf(stderr, "%s\n", error.c_str());
    return rc;
}

std::string SITE_hash_password(const std::string& password) {
    if (sodium_init() < 0) return {};
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.c_str(), password.size(), crypto_pwhash_OPSLIMIT_MIN,
                          crypto_pwhash_MEMLIMIT_MIN) != 0)
        return {};
    return out;
}

}  // namespace vl::platform
