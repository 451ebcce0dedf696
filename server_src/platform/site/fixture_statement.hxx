#pragma once
// The fixture statement table and what its handlers share: a statement's
// words and options (`Args`), the state of the load so far with the helpers
// every handler uses (`Fixture`), and the parsing of numbers, switches, names
// and value types. Each domain folder lists its own statements
// (`<domain>/*_statements.cxx`); site/site_loader.cxx reads the lines, keeps
// the order rules and looks each keyword up in those lists.
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "kernel/session_state.hxx"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vl::platform::site {

// A refusal of the fixture; the loader puts "<file>:<line>: " before it.
struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void bad(const std::string& why);

// One token of a line as the reader split it.
struct Token {
    std::string text;
    bool quoted = false;                 // any part was quoted
    std::size_t eq = std::string::npos;  // position of an unquoted '=' (option)
};

// Positional words and key=value options of one statement (the keyword is
// not among them). Whatever a handler does not take is refused by done().
class Args {
public:
    explicit Args(std::vector<Token> tokens);
    std::size_t count() const { return m_words.size(); }
    const std::string& word(std::size_t i, const char* what) const;
    // Flags are trailing words from a known set.
    bool flag(const std::string& name);
    bool has(const std::string& key) const { return m_options.count(key) > 0; }
    std::string opt(const std::string& key, const std::string& fallback = std::string());
    std::string need(const std::string& key);
    // A comma-separated option; none when it is not given.
    std::vector<std::string> list(const std::string& key);
    void consumed(std::size_t positional);
    std::vector<std::string> rest(std::size_t from);
    void done() const;

private:
    std::vector<std::string> m_words;
    std::map<std::string, std::string> m_options;
    std::set<std::size_t> m_usedWords;
    std::set<std::string> m_usedOptions;
};

PROP_value_type_e valueTypeNamed(const std::string& name);
int number(const std::string& text, const char* what);
bool onOff(const std::string& text);
// No blanks, quotes, '=' or ','.
bool validName(const std::string& name);

// The object of the class (by its key attribute) named `key`; refused as an
// "unknown <what>".
tag_t existing(const char* cls, const std::string& key, const std::string& what);
// Refuses a key the class has given already ("<what> <key> exists already").
void unclaimed(const char* cls, const std::string& key, const std::string& what);

// Puts a session in place for the platform calls made on the fixture's
// behalf, and the one before back when it goes.
class ActingSession {
public:
    explicit ActingSession(const kernel::Session& acting) : m_kept(kernel::currentSession()) {
        kernel::setSession(acting);
    }
    ActingSession(const ActingSession&) = delete;
    ActingSession& operator=(const ActingSession&) = delete;
    ~ActingSession() { kernel::setSession(m_kept); }
    // A logged-in session of that user and group, and nothing else.
    static kernel::Session of(tag_t user, tag_t group);

private:
    kernel::Session m_kept;
};

// What the lines so far have declared beyond the store itself, and the
// steps many statements take alike.
class Fixture {
public:
    explicit Fixture(std::shared_ptr<store::Schema> schema) : m_schema(std::move(schema)) {}

    // The schema being loaded (the store holds it read-only).
    store::Schema& schema() { return *m_schema; }
    // Classes, attributes or types changed: descriptors are made again
    // before the next statement that needs them.
    void schemaChanged() { m_dirty = true; }
    void rulesChanged() { m_rulesDirty = true; }
    // Descriptors again after a change; `forRule` skips a rebuild that only
    // rules asked for (a rule needs property names, which no rule changes).
    void rebuild(bool forRule = false);
    // A class's own business type waits until the class OstraType is complete.
    void awaitType(const store::ClassDef* cls, std::string display);
    // Makes the types that waited, once they can be; false while they cannot.
    bool typesReady();

    const store::ClassDef* classOf(const std::string& name) const;
    const store::TypeDef* typeOf(const std::string& name) const;
    // A business type, its name checked.
    tag_t newType(const std::string& name, const store::ClassDef* cls, tag_t parent, const std::string& display);
    // An object of a class the platform keeps for itself (tools, users, rules).
    store::Object& newObject(const char* cls);

    // `@label`, `uom:SYMBOL` or `user:ID`.
    tag_t objectRef(const std::string& text) const;
    void label(const std::string& label, tag_t object);
    // A fixed uid in place of the one the object was made with.
    void giveUid(store::Object& o, const std::string& uid);
    // A platform code other than 0 refuses the line with the platform's text.
    void check(int rc, const std::string& what) const;

    // Runs `make` as the owner= of the line (default: the session user) and
    // its group= (default: the owner's default group).
    void asOwner(Args& a, const std::function<void()>& make) const;
    // Runs `call` as the owner of `object`, returning its code.
    int asOwnerOf(tag_t object, const std::function<int()>& call) const;
    // The @label that starts an initial object's line.
    static std::string objectLabel(Args& a);
    // The options every initial object takes (uid=, readonly, dm=, in=), its
    // save and release, and its label.
    void placeObject(Args& a, const std::string& label, tag_t made);

    // The session line's session, with the current project and work context.
    std::optional<kernel::Session> session;
    // The session's volume: the first volume, or the `current` one.
    tag_t volume = 0;

private:
    std::shared_ptr<store::Schema> m_schema;
    bool m_dirty = false;
    bool m_rulesDirty = false;
    std::map<std::string, tag_t> m_labels;
    std::vector<std::pair<const store::ClassDef*, std::string>> m_pendingTypes;
    bool m_typesReady = false;
};

using Handler = void (*)(Args&, Fixture&);

// What must stand before a statement runs; the loader sees to it.
enum class Needs {
    nothing,        // the statements that build the schema itself
    types,          // the class OstraType complete and every class's type made
    propertyNames,  // ... and each type's descriptors, as far as their names go
    descriptors,    // ... and each type's descriptors with every rule applied
};

struct Statement {
    std::string_view keyword;
    Handler handler;
    Needs needs = Needs::types;
};

using Statements = std::span<const Statement>;

// Each statement's keyword with the folder that owns it, in table order.
std::vector<std::pair<std::string, std::string>> statementOwners();

}  // namespace vl::platform::site
