// A statement's arguments, the shared parsing of their texts, and the steps
// of a load that statements of many domains take alike.
#include "site/fixture_statement.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/vl_string.hxx"

#include <cctype>
#include <cstdlib>

namespace vl::platform::site {

using namespace store;

void bad(const std::string& why) { throw LoadError(why); }

Args::Args(std::vector<Token> tokens) {
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.eq != std::string::npos && t.eq > 0) {
            std::string key = t.text.substr(0, t.eq);
            if (m_options.count(key)) bad("option " + key + " given twice");
            m_options[key] = t.text.substr(t.eq + 1);
        } else {
            m_words.push_back(t.text);
        }
    }
}

const std::string& Args::word(std::size_t i, const char* what) const {
    if (i >= m_words.size()) bad(std::string("missing ") + what);
    return m_words[i];
}

bool Args::flag(const std::string& name) {
    for (std::size_t i = 0; i < m_words.size(); ++i)
        if (m_words[i] == name && !m_usedWords.count(i)) {
            m_usedWords.insert(i);
            return true;
        }
    return false;
}

std::string Args::opt(const std::string& key, const std::string& fallback) {
    auto it = m_options.find(key);
    if (it == m_options.end()) return fallback;
    m_usedOptions.insert(key);
    return it->second;
}

std::string Args::need(const std::string& key) {
    if (!has(key)) bad("missing " + key + "=");
    return opt(key);
}

std::vector<std::string> Args::list(const std::string& key) {
    return has(key) ? splitAtCommas(opt(key)) : std::vector<std::string>{};
}

void Args::consumed(std::size_t positional) {
    for (std::size_t i = 0; i < positional && i < m_words.size(); ++i) m_usedWords.insert(i);
}

std::vector<std::string> Args::rest(std::size_t from) {
    std::vector<std::string> out;
    for (std::size_t i = from; i < m_words.size(); ++i) {
        m_usedWords.insert(i);
        out.push_back(m_words[i]);
    }
    return out;
}

void Args::done() const {
    for (const auto& [k, v] : m_options)
        if (!m_usedOptions.count(k)) bad("unknown option " + k + "=");
    for (std::size_t i = 0; i < m_words.size(); ++i)
        if (!m_usedWords.count(i)) bad("unexpected \"" + m_words[i] + "\"");
}

PROP_value_type_e valueTypeNamed(const std::string& name) {
    static const std::map<std::string, PROP_value_type_e> names = {
        {"char", PROP_char},
        {"date", PROP_date},
        {"double", PROP_double},
        {"float", PROP_float},
        {"int", PROP_int},
        {"logical", PROP_logical},
        {"short", PROP_short},
        {"string", PROP_string},
        {"typedref", PROP_typed_reference},
        {"untypedref", PROP_untyped_reference},
        {"externalref", PROP_external_reference},
        {"note", PROP_note},
        {"tag", PROP_typed_reference},
        {"typedrel", PROP_typed_relation},
        {"untypedrel", PROP_untyped_relation},
    };
    auto it = names.find(name);
    if (it == names.end()) bad("unknown value type " + name);
    return it->second;
}

int number(const std::string& text, const char* what) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < -2147483647L || v > 2147483647L) bad(std::string(what) + " must be a number");
    return static_cast<int>(v);
}

bool onOff(const std::string& text) {
    if (text == "on" || text == "1" || text == "true") return true;
    if (text == "off" || text == "0" || text == "false") return false;
    bad("expected on or off, not " + text);
}

bool validName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name)
        if (std::isspace(static_cast<unsigned char>(c)) || c == '"' || c == '=' || c == ',') return false;
    return true;
}

tag_t existing(const char* cls, const std::string& key, const std::string& what) {
    tag_t t = findByKey(cls, key);
    if (!t) bad("unknown " + what + " " + key);
    return t;
}

void unclaimed(const char* cls, const std::string& key, const std::string& what) {
    if (findByKey(cls, key)) bad(what + " " + key + " exists already");
}

kernel::Session ActingSession::of(tag_t user, tag_t group) {
    kernel::Session s;
    s.user = user;
    s.group = group;
    s.loggedIn = true;
    return s;
}

void Fixture::rebuild(bool forRule) {
    if (!m_dirty && (forRule || !m_rulesDirty)) return;
    buildDescriptors();
    m_dirty = m_rulesDirty = false;
}

void Fixture::awaitType(const ClassDef* cls, std::string display) {
    m_pendingTypes.emplace_back(cls, std::move(display));
    if (m_typesReady) typesReady();
}

bool Fixture::typesReady() {
    if (!m_typesReady) {
        const ClassDef* t = m_schema->find("OstraType");
        if (!t || t->attr("display_name") < 0) return false;
        m_typesReady = true;
    }
    for (auto& [cls, display] : m_pendingTypes) {
        // Under the nearest class that has a type (an untyped one has none).
        tag_t parent = 0;
        for (const ClassDef* p = cls->parent; p && !parent; p = p->parent) parent = typeOfClass(p);
        newType(cls->name, cls, parent, display);
    }
    m_pendingTypes.clear();
    return true;
}

const ClassDef* Fixture::classOf(const std::string& name) const {
    const ClassDef* c = m_schema->find(name);
    if (!c) bad("unknown class " + name);
    return c;
}

const TypeDef* Fixture::typeOf(const std::string& name) const {
    const TypeDef* t = typeNamed(name);
    if (!t) bad("unknown type " + name);
    return t;
}

tag_t Fixture::newType(const std::string& name, const ClassDef* cls, tag_t parent, const std::string& display) {
    if (!validName(name)) bad("bad type name \"" + name + "\"");
    if (name.size() > OSTRATYPE_name_size_c) bad("type name " + name + " is longer than 32 characters");
    if (typeNamed(name)) bad("type " + name + " exists already");
    tag_t t = 0;
    if (makeType(name, cls, parent, display, &t)) bad("type " + name + " cannot be made");
    m_dirty = true;
    return t;
}

Object& Fixture::newObject(const char* cls) {
    Object& o = create(cls, 0);
    o.locked = false;
    return o;
}

tag_t Fixture::objectRef(const std::string& text) const {
    if (text.rfind("uom:", 0) == 0) return existing("UnitOfMeasure", text.substr(4), "unit of measure");
    if (text.rfind("user:", 0) == 0) return existing("User", text.substr(5), "user");
    if (!text.empty() && text[0] == '@') {
        auto it = m_labels.find(text);
        if (it == m_labels.end()) bad("unknown label " + text);
        return it->second;
    }
    bad("expected @label, uom:SYMBOL or user:ID, not " + text);
}

void Fixture::label(const std::string& label, tag_t object) {
    if (label.empty()) return;
    if (label[0] != '@' || label.size() < 2) bad("labels start with @");
    if (m_labels.count(label)) bad("label " + label + " is used already");
    m_labels[label] = object;
}

void Fixture::giveUid(Object& o, const std::string& uid) {
    Store& s = S();
    if (uid.empty() || uid.size() > POM_uid_size_c) bad("a uid has 1 to 15 characters");
    for (char c : uid)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '$' && c != '-')
            bad("a uid has only letters, digits, _, $ and -");
    if (s.objects.findUid(uid)) bad("uid " + uid + " is used already");
    s.objects.renameUid(o, uid);
    s.givenUids.insert(uid);
}

void Fixture::check(int rc, const std::string& what) const {
    if (!rc) return;
    int n = 0;
    const char* const* texts = nullptr;
    ERROR_store_ask(&n, nullptr, nullptr, &texts);
    bad(what + ": " + (n ? texts[n - 1] : "failed"));
}

void Fixture::asOwner(Args& a, const std::function<void()>& make) const {
    std::string owner = a.opt("owner");
    tag_t u = 0, g = 0;
    if (owner.empty()) {
        if (!session) bad("owner= is needed before the session line");
        u = session->user;
        g = session->group;
    } else {
        u = existing("User", owner, "user");
        g = getTag(*find(u), "default_group");
    }
    if (a.has("group")) g = existing("Group", a.opt("group"), "group");
    ActingSession acting(ActingSession::of(u, g));
    make();
}

int Fixture::asOwnerOf(tag_t object, const std::function<int()>& call) const {
    const Object& o = *find(object);
    tag_t user = getTag(o, "owning_user");
    ActingSession acting(ActingSession::of(user ? user : (session ? session->user : 0), getTag(o, "owning_group")));
    return call();
}

std::string Fixture::objectLabel(Args& a) {
    std::string label = a.word(0, "@label");
    a.consumed(1);
    return label;
}

void Fixture::placeObject(Args& a, const std::string& label, tag_t made) {
    {
        ActingSession kept(kernel::currentSession());
        Object* o = find(made);
        if (a.has("uid")) giveUid(*o, a.opt("uid"));
        check(save(*o), "cannot save");
        unlock(*o);
        if (a.flag("readonly")) o->readOnly = true;
        if (a.has("dm")) o->dm = number(a.opt("dm"), "dm");
        if (a.has("in")) {
            std::string in = a.opt("in");
            tag_t folder = 0;
            if (in.rfind("home:", 0) == 0 || in.rfind("newstuff:", 0) == 0) {
                bool home = in[0] == 'h';
                tag_t u = findByKey("User", in.substr(home ? 5 : 9));
                if (!u) bad("unknown user in " + in);
                folder = getTag(*find(u), home ? "home_folder" : "newstuff_folder");
            } else {
                folder = objectRef(in);
            }
            Object* f = find(folder);
            if (!f || !f->cls->isA("Folder")) bad(in + " is not a folder");
            std::vector<tag_t> c = getTags(*f, "contents");
            c.push_back(made);
            initValue(*f, "contents", c);
        }
    }
    this->label(label, made);
}

}  // namespace vl::platform::site
