// The site fixture loader (format: docs/site-format.md).
#include "ae/dataset.hxx"
#include "aom/folder.hxx"
#include "aom/form.hxx"
#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "filetickets/file_tickets.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/store.hxx"
#include "pom/test_seams.hxx"
#include "ps/ps.hxx"
#include "reservation/reservation.hxx"
#include "server_info/server_info.hxx"
#include "soa_server/policy.hxx"
#include "soa_server/service_data.hxx"
#include "sm/sm.hxx"
#include "user_exits/user_exits.hxx"

#include <sodium.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace vl::platform::site {
extern const char* const kBuiltinSchema;
}

namespace vl::platform {

using namespace store;

namespace {

struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void bad(const std::string& why) { throw LoadError(why); }

struct Token {
    std::string text;
    bool quoted = false;  // any part was quoted
    std::size_t eq = std::string::npos;  // position of an unquoted '=' (option)
};

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

// Positional words and key=value options of one statement.
class Args {
public:
    explicit Args(std::vector<Token> tokens) {
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
    std::size_t count() const { return m_words.size(); }
    const std::string& word(std::size_t i, const char* what) const {
        if (i >= m_words.size()) bad(std::string("missing ") + what);
        return m_words[i];
    }
    // Flags are trailing words from a known set.
    bool flag(const std::string& name) {
        for (std::size_t i = 0; i < m_words.size(); ++i)
            if (m_words[i] == name && !m_usedWords.count(i)) {
                m_usedWords.insert(i);
                return true;
            }
        return false;
    }
    bool has(const std::string& key) const { return m_options.count(key) > 0; }
    std::string opt(const std::string& key, const std::string& fallback = std::string()) {
        auto it = m_options.find(key);
        if (it == m_options.end()) return fallback;
        m_usedOptions.insert(key);
        return it->second;
    }
    std::string need(const std::string& key) {
        if (!has(key)) bad("missing " + key + "=");
        return opt(key);
    }
    std::vector<std::string> list(const std::string& key) {
        std::vector<std::string> out;
        if (!has(key)) return out;
        std::string v = opt(key);
        std::size_t start = 0;
        for (;;) {
            std::size_t at = v.find(',', start);
            out.push_back(v.substr(start, at == std::string::npos ? std::string::npos : at - start));
            if (at == std::string::npos) break;
            start = at + 1;
        }
        return out;
    }
    void consumed(std::size_t positional) {
        for (std::size_t i = 0; i < positional && i < m_words.size(); ++i) m_usedWords.insert(i);
    }
    // Anything left over is an error.
    void done() const {
        for (const auto& [k, v] : m_options)
            if (!m_usedOptions.count(k)) bad("unknown option " + k + "=");
        for (std::size_t i = 0; i < m_words.size(); ++i)
            if (!m_usedWords.count(i)) bad("unexpected \"" + m_words[i] + "\"");
    }
    std::vector<std::string> rest(std::size_t from) {
        std::vector<std::string> out;
        for (std::size_t i = from; i < m_words.size(); ++i) {
            m_usedWords.insert(i);
            out.push_back(m_words[i]);
        }
        return out;
    }

private:
    std::vector<std::string> m_words;
    std::map<std::string, std::string> m_options;
    std::set<std::size_t> m_usedWords;
    std::set<std::string> m_usedOptions;
};

PROP_value_type_e valueTypeNamed(const std::string& n) {
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
    auto it = names.find(n);
    if (it == names.end()) bad("unknown value type " + n);
    return it->second;
}

int number(const std::string& text, const char* what) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < -2147483647L || v > 2147483647L) bad(std::string(what) + " must be a number");
    return static_cast<int>(v);
}

bool onOff(const std::string& v) {
    if (v == "on" || v == "1" || v == "true") return true;
    if (v == "off" || v == "0" || v == "false") return false;
    bad("expected on or off, not " + v);
}

bool validName(const std::string& n) {
    if (n.empty()) return false;
    for (char c : n)
        if (std::isspace(static_cast<unsigned char>(c)) || c == '"' || c == '=' || c == ',') return false;
    return true;
}

class Loader {
public:
    explicit Loader(std::shared_ptr<Schema> schema) : m_schema(std::move(schema)) {}

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
        flushTypes();
        for (const ClassDef* c : m_schema->order)
            for (const AttrDef& a : c->attrs)
                if (!a.refClass.empty() && !m_schema->find(a.refClass))
                    throw LoadError(m_file + ": attribute " + c->name + "." + a.name + " refers to unknown class " +
                                    a.refClass);
        rebuild();
        s.objects.forEach([](Object& o) {
            o.locked = false;
            o.pending = false;
        });
        s.saved.clear();
        s.journal.clear();
        s.markpoints.clear();
        s.loading = false;
        if (m_session) {
            s.session = *m_session;
        } else {
            s.session = Session{};
        }
    }

private:
    std::string where() const { return m_file + ":" + std::to_string(m_line) + ": "; }

    // Descriptors again after a change of classes, types or rules. A rule
    // statement needs them only to check the property's name, which no rule
    // changes, so `forRule` skips a rebuild that only rules asked for.
    void rebuild(bool forRule = false) {
        if (!m_dirty && (forRule || !m_rulesDirty)) return;
        buildDescriptors(S());
        m_dirty = m_rulesDirty = false;
    }

    void statement(std::vector<Token> tokens) {
        const std::string kw = tokens[0].text;
        Args a(std::move(tokens));
        if (kw != "class" && kw != "attr" && kw != "format") {
            flushTypes();
            if (!m_typesReady) bad("the class OstraType must be complete before " + kw);
        }
        if (kw == "format") {
            if (a.word(0, "format version") != "1") bad("unsupported format " + a.word(0, ""));
            a.consumed(1);
        } else if (kw == "class") {
            doClass(a);
        } else if (kw == "attr") {
            doAttr(a);
        } else if (kw == "type") {
            doType(a);
        } else if (kw == "itemtype") {
            doItemType(a);
        } else if (kw == "relation") {
            doRelation(a);
        } else if (kw == "tool") {
            doTool(a);
        } else if (kw == "datasettype") {
            doDatasetType(a);
        } else if (kw == "reference") {
            doReference(a);
        } else if (kw == "lov") {
            doLov(a);
        } else if (kw == "prop") {
            doProp(a);
        } else if (kw == "namingrule") {
            doNamingRule(a);
        } else if (kw == "namefield") {
            doNameField(a);
        } else if (kw == "deepcopy") {
            doDeepCopy(a);
        } else if (kw == "pseudofolder") {
            doPseudoFolder(a);
        } else if (kw == "fileform") {
            doFileForm(a);
        } else if (kw == "uom") {
            doUom(a);
        } else if (kw == "site") {
            doSite(a);
        } else if (kw == "group") {
            doGroup(a);
        } else if (kw == "role") {
            doRole(a);
        } else if (kw == "user") {
            doUser(a);
        } else if (kw == "member") {
            doMember(a);
        } else if (kw == "volume") {
            doVolume(a);
        } else if (kw == "transient") {
            S().switches.transientVolume = a.word(0, "transient volume root or NONE");
            a.consumed(1);
        } else if (kw == "text") {
            S().texts[a.word(0, "text key")] = a.word(1, "text");
            a.consumed(2);
        } else if (kw == "switch") {
            doSwitch(a);
        } else if (kw == "module") {
            S().switches.module = number(a.word(0, "module number"), "module");
            a.consumed(1);
        } else if (kw == "pref") {
            doPref(a);
        } else if (kw == "session") {
            doSession(a);
        } else if (kw == "project") {
            doProject(a);
        } else if (kw == "workcontext") {
            doWorkContext(a);
        } else if (kw == "folder" || kw == "item" || kw == "dataset" || kw == "form" || kw == "revision" ||
                   kw == "appearancegroup" || kw == "revisionrule") {
            doObject(kw, a);
        } else if (kw == "relate") {
            doRelate(a);
        } else if (kw == "bom") {
            doBom(a);
        } else if (kw == "set") {
            doSet(a);
        } else if (kw == "file") {
            doFile(a);
        } else if (kw == "checkout") {
            doCheckout(a);
        } else {
            bad("unknown statement " + kw);
        }
        a.done();
    }

    // --- schema ---

    const ClassDef* classOf(const std::string& n) {
        const ClassDef* c = m_schema->find(n);
        if (!c) bad("unknown class " + n);
        return c;
    }

    const TypeDef* typeOf(const std::string& n) {
        const TypeDef* t = typeNamed(n);
        if (!t) bad("unknown type " + n);
        return t;
    }

    tag_t newType(const std::string& name, const ClassDef* cls, tag_t parent, const std::string& display) {
        if (!validName(name)) bad("bad type name \"" + name + "\"");
        if (name.size() > OSTRATYPE_name_size_c) bad("type name " + name + " is longer than 32 characters");
        if (typeNamed(name)) bad("type " + name + " exists already");
        tag_t t = 0;
        if (makeType(name, cls, parent, display, &t)) bad("type " + name + " cannot be made");
        m_dirty = true;
        return t;
    }

    void doClass(Args& a) {
        std::string name = a.word(0, "class name");
        std::string parent = a.word(1, "parent class (- for none)");
        a.consumed(2);
        if (!validName(name)) bad("bad class name \"" + name + "\"");
        if (name.size() > OSTRATYPE_name_size_c) bad("class name " + name + " is longer than 32 characters");
        if (m_schema->find(name)) bad("class " + name + " exists already");
        const ClassDef* p = nullptr;
        if (parent == "-") {
            if (!m_schema->byName.empty()) bad("only the root class has no parent");
        } else {
            p = classOf(parent);
        }
        auto c = std::make_unique<ClassDef>();
        c->id = newTag();
        c->name = name;
        c->parent = p;
        if (p) {
            c->attrs = p->attrs;
            c->index = p->index;
            m_hasChildren.insert(p->name);
        }
        c->refreshKnown();
        const ClassDef* raw = c.get();
        m_schema->byId[c->id] = raw;
        m_schema->order.push_back(raw);
        m_schema->byName[name] = std::move(c);
        // Every class but an untyped one has a business type of its own name;
        // until the class of types itself is complete, they wait.
        if (a.flag("untyped")) return;
        m_pendingTypes.emplace_back(raw, a.opt("display"));
        if (m_typesReady) flushTypes();
    }

    void flushTypes() {
        if (!m_typesReady) {
            const ClassDef* t = m_schema->find("OstraType");
            if (!t || t->attr("display_name") < 0) return;
            m_typesReady = true;
        }
        for (auto& [cls, display] : m_pendingTypes) {
            // Under the nearest class that has a type (an untyped one has none).
            tag_t parent = 0;
            for (const ClassDef* p = cls->parent; p && !parent; p = p->parent) parent = typeOfClass(p);
            newType(cls->name, cls, parent, display);
        }
        m_pendingTypes.clear();
    }

    bool hasInstances(const ClassDef* c) { return !instancesOf(c->name).empty(); }

    void doAttr(Args& a) {
        ClassDef* c = const_cast<ClassDef*>(classOf(a.word(0, "class")));
        std::string name = a.word(1, "attribute name");
        PROP_value_type_e type = valueTypeNamed(a.word(2, "value type"));
        a.consumed(3);
        if (!validName(name)) bad("bad attribute name \"" + name + "\"");
        if (m_hasChildren.count(c->name)) bad("attributes of " + c->name + " must come before its subclasses");
        if (c->index.count(name)) bad("attribute " + name + " exists already in " + c->name);
        if (hasInstances(c)) bad("attributes of " + c->name + " must come before its first object");
        AttrDef d;
        d.name = name;
        d.type = type;
        d.declaringClass = c->name;
        if (a.flag("array")) d.arraySize = -1;
        if (a.has("array")) d.arraySize = number(a.opt("array"), "array");
        if (d.arraySize == 0 || d.arraySize < -1) bad("array size must be positive");
        if (a.has("max")) d.maxLength = number(a.opt("max"), "max");
        d.refClass = a.opt("ref");
        if (!d.refClass.empty() && type != PROP_typed_reference && type != PROP_typed_relation)
            bad("ref= is only for typed references");
        d.required = a.flag("required");
        d.system = a.flag("system");
        d.backRef = a.flag("backref");
        d.key = a.flag("key");
        if (d.key && type != PROP_string && type != PROP_int) bad("only string and int attributes can be keys");
        if (d.key && d.arraySize != 1) bad("a key attribute holds one value");
        c->index[name] = static_cast<int>(c->attrs.size());
        c->attrs.push_back(d);
        c->refreshKnown();
        m_dirty = true;
    }

    void doType(Args& a) {
        std::string name = a.word(0, "type name");
        const TypeDef* parent = typeOf(a.word(1, "parent type"));
        a.consumed(2);
        const ClassDef* cls = parent->cls;
        if (a.has("class")) {
            cls = classOf(a.opt("class"));
            if (!cls->isA(parent->cls)) bad("class " + cls->name + " does not derive from " + parent->cls->name);
        }
        newType(name, cls, parent->tag, a.opt("display"));
    }

    void doItemType(Args& a) {
        std::string name = a.word(0, "item type");
        a.consumed(1);
        TypeDef& t = S().types.at(typeOf(name)->tag);
        if (!t.cls->isA("Item")) bad(name + " is not an item type");
        std::string rev = a.need("revision");
        const TypeDef* rt = typeOf(rev);
        if (!rt->cls->isA("ItemRevision")) bad(rev + " is not a revision type");
        t.revisionType = rev;
        for (const char* key : {"form", "revform"}) {
            if (!a.has(key)) continue;
            std::string f = a.opt(key);
            const TypeDef* ft = typeOf(f);
            if (!ft->cls->isA("Form")) bad(f + " is not a form type");
            (std::string(key) == "form" ? t.masterFormType : t.revMasterFormType) = f;
        }
    }

    void doRelation(Args& a) {
        std::string name = a.word(0, "relation type");
        a.consumed(1);
        const ClassDef* cls = classOf("Relation");
        if (a.has("class")) {
            cls = classOf(a.opt("class"));
            if (!cls->isA("Relation")) bad(cls->name + " is not a relation class");
        }
        newType(name, cls, typeOfClass(classOf("Relation")), a.opt("display"));
    }

    Object& newObject(const char* cls) {
        Object& o = create(cls, 0);
        o.locked = false;
        return o;
    }

    void doTool(Args& a) {
        std::string name = a.word(0, "tool name");
        a.consumed(1);
        if (!validName(name) || name.size() > 32) bad("bad tool name \"" + name + "\"");
        if (findByKey("Tool", name)) bad("tool " + name + " exists already");
        tag_t shell = 0;
        if (a.has("shell")) {
            shell = findByKey("Tool", a.opt("shell"));
            if (!shell) bad("unknown tool " + a.opt("shell"));
        }
        Object& t = newObject("Tool");
        initValue(t, "object_name", std::vector<std::string>{name});
        if (a.has("symbol")) initValue(t, "symbol_name", std::vector<std::string>{a.opt("symbol")});
        if (shell) initValue(t, "shell_tool", std::vector<tag_t>{shell});
        initValue(t, "output_formats", a.list("output"));
        initValue(t, "input_formats", a.list("input"));
    }

    void doDatasetType(Args& a) {
        std::string name = a.word(0, "dataset type");
        a.consumed(1);
        const TypeDef* parent = typeOf(a.opt("parent", "Dataset"));
        if (!parent->cls->isA("Dataset")) bad(parent->name + " is not a dataset type");
        std::vector<tag_t> tools;
        for (const std::string& n : a.list("tools")) {
            tag_t t = findByKey("Tool", n);
            if (!t) bad("unknown tool " + n);
            tools.push_back(t);
        }
        tag_t def = 0;
        if (a.has("default")) {
            def = findByKey("Tool", a.opt("default"));
            if (!def || std::find(tools.begin(), tools.end(), def) == tools.end())
                bad("the default tool must be one of the type's tools");
        }
        tag_t bt = newType(name, parent->cls, parent->tag, a.opt("display"));
        Object& d = newObject("DatasetType");
        initValue(d, "datasettype_name", std::vector<std::string>{name});
        initValue(d, "list_of_tools", tools);
        if (def) initValue(d, "default_tool", std::vector<tag_t>{def});
        S().types.at(bt).datasetType = d.tag;
    }

    void doReference(Args& a) {
        std::string type = a.word(0, "dataset type");
        std::string ref = a.word(1, "reference name");
        a.consumed(2);
        tag_t dt = findByKey("DatasetType", type);
        if (!dt) bad("unknown dataset type " + type);
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

    tag_t objectRef(const std::string& text) {
        if (text.rfind("uom:", 0) == 0) {
            tag_t u = findByKey("UnitOfMeasure", text.substr(4));
            if (!u) bad("unknown unit of measure " + text.substr(4));
            return u;
        }
        if (text.rfind("user:", 0) == 0) {
            tag_t u = findByKey("User", text.substr(5));
            if (!u) bad("unknown user " + text.substr(5));
            return u;
        }
        if (!text.empty() && text[0] == '@') {
            auto it = m_labels.find(text);
            if (it == m_labels.end()) bad("unknown label " + text);
            return it->second;
        }
        bad("expected @label, uom:SYMBOL or user:ID, not " + text);
    }

    void doLov(Args& a) {
        std::string name = a.word(0, "list name");
        PROP_value_type_e type = valueTypeNamed(a.word(1, "value type"));
        a.consumed(2);
        if (!validName(name) || name.size() > 32) bad("bad list name \"" + name + "\"");
        if (findByKey("ListOfValues", name)) bad("list " + name + " exists already");
        std::vector<std::string> values = a.list("values");
        std::vector<std::string> displays = a.list("displays");
        if (!displays.empty() && displays.size() != values.size()) bad("displays= must match values= one to one");
        Object& l = newObject("ListOfValues");
        initValue(l, "lov_name", std::vector<std::string>{name});
        initValue(l, "lov_type", std::vector<int>{type});
        initValue(l, "exhaustive", std::vector<char>{static_cast<char>(a.flag("exhaustive") ? 1 : 0)});
        initValue(l, "lov_displays", displays);
        if (isReference(type)) {
            std::vector<tag_t> tags;
            for (const auto& v : values) tags.push_back(objectRef(v));
            tag_t lt = l.tag;
            initValue(*find(lt), "lov_tags", tags);
        } else {
            PropertyDescriptor probe;
            probe.m_name = name;
            probe.m_valueType = type;
            Value parsed;
            if (parseTexts(probe, values, &parsed)) bad("a value of list " + name + " is not a " + a.word(1, ""));
            initValue(l, "lov_values", values);
        }
    }

    void doProp(Args& a) {
        std::string type = a.word(0, "type");
        std::string prop = a.word(1, "property");
        a.consumed(2);
        const TypeDef* t = typeOf(type);
        rebuild(true);
        if (!descriptorOfType(t->tag, prop)) bad("type " + type + " has no property " + prop);
        PropRuleDef& r = S().propRules[{type, prop}];
        auto tri = [&](const char* key, std::optional<bool>& field) {
            if (a.flag(key)) field = true;
            if (a.has(key)) field = onOff(a.opt(key));
        };
        tri("required", r.required);
        tri("enabled", r.enabled);
        tri("modifiable", r.modifiable);
        tri("displayable", r.displayable);
        tri("readonly", r.readOnly);
        if (a.has("lov")) {
            std::string l = a.opt("lov");
            if (!findByKey("ListOfValues", l)) bad("unknown list of values " + l);
            r.lov = l;
        }
        if (a.has("display")) r.displayName = a.opt("display");
        if (a.has("initial")) {
            r.initial = a.list("initial");
            r.hasInitial = true;
        }
        r.complex = a.opt("complex");
        if (!r.tag) {
            Object& o = newObject("PropRule");
            initValue(o, "type_name", std::vector<std::string>{type});
            initValue(o, "property_name", std::vector<std::string>{prop});
            r.tag = o.tag;
        }
        Object& o = *find(r.tag);
        initValue(o, "initial", r.initial);
        initValue(o, "complex", r.complex.empty() ? std::vector<std::string>{} : std::vector<std::string>{r.complex});
        m_rulesDirty = true;
    }

    void doNamingRule(Args& a) {
        std::string name = a.word(0, "rule name");
        std::vector<std::string> patterns = a.rest(1);
        a.consumed(1);
        if (S().namingRules.count(name)) bad("naming rule " + name + " exists already");
        Object& o = newObject("NameRule");
        initValue(o, "rule_name", std::vector<std::string>{name});
        initValue(o, "patterns", patterns);
        S().namingRules[name] = o.tag;
    }

    void doNameField(Args& a) {
        std::string type = a.word(0, "type");
        std::string prop = a.word(1, "property");
        std::string rule = a.word(2, "naming rule");
        a.consumed(3);
        typeOf(type);
        auto it = S().namingRules.find(rule);
        if (it == S().namingRules.end()) bad("unknown naming rule " + rule);
        Object& o = newObject("NameField");
        initValue(o, "type_name", std::vector<std::string>{type});
        initValue(o, "property_name", std::vector<std::string>{prop});
        initValue(o, "rule", std::vector<tag_t>{it->second});
        S().nameFields[{type, prop}] = o.tag;
    }

    void doDeepCopy(Args& a) {
        DeepCopyRule r;
        r.revisionType = a.word(0, "revision type");
        r.action = a.word(1, "action");
        r.relationType = a.word(2, "relation type");
        std::string how = a.word(3, "copy or reference");
        a.consumed(4);
        if (!typeOf(r.revisionType)->cls->isA("ItemRevision")) bad(r.revisionType + " is not a revision type");
        if (!typeOf(r.relationType)->cls->isA("Relation")) bad(r.relationType + " is not a relation type");
        if (how != "copy" && how != "reference") bad("expected copy or reference");
        r.copy = how == "copy";
        S().deepCopyRules.push_back(r);
    }

    void doPseudoFolder(Args& a) {
        std::string type = a.word(0, "type");
        std::string prop = a.word(1, "property");
        a.consumed(2);
        typeOf(type);
        S().pseudoFolderProps.insert({type, prop});
    }

    // A form type whose fields are read from a file: each field name must fit
    // the 27 characters (and terminator) of a field record.
    void doFileForm(Args& a) {
        std::string type = a.word(0, "form type");
        a.consumed(1);
        const TypeDef* t = typeOf(type);
        if (!t->cls->isA("Form")) bad(type + " is not a form type");
        for (const AttrDef& attr : t->cls->attrs)
            if (attr.declaringClass == t->cls->name && attr.name.size() > 27)
                bad("field " + attr.name + " is longer than 27 characters");
        S().fileFormTypes.insert(t->tag);
    }

    void doUom(Args& a) {
        std::string sym = a.word(0, "unit symbol");
        a.consumed(1);
        if (findByKey("UnitOfMeasure", sym)) bad("unit " + sym + " exists already");
        Object& u = newObject("UnitOfMeasure");
        initValue(u, "symbol", std::vector<std::string>{sym});
        initValue(u, "name", std::vector<std::string>{a.opt("name", sym)});
    }

    void doSite(Args& a) {
        int id = number(a.word(0, "site id"), "site id");
        std::string name = a.word(1, "site name");
        a.consumed(2);
        if (findByKey("Site", std::to_string(id))) bad("site " + std::to_string(id) + " exists already");
        Object& s = newObject("Site");
        initValue(s, "site_id", std::vector<int>{id});
        initValue(s, "name", std::vector<std::string>{name});
        if (a.flag("local") || !S().switches.site) {
            S().switches.site = s.tag;
            S().switches.siteId = id;
        }
    }

    void checkAdminName(const std::string& n, const char* what) {
        if (!validName(n)) bad(std::string("bad ") + what + " name \"" + n + "\"");
        if (n.size() > SA_name_size_c) bad(std::string(what) + " name " + n + " is longer than 32 characters");
    }

    void doGroup(Args& a) {
        std::string name = a.word(0, "group name");
        a.consumed(1);
        checkAdminName(name, "group");
        if (findByKey("Group", name)) bad("group " + name + " exists already");
        tag_t parent = 0;
        if (a.has("parent")) {
            parent = findByKey("Group", a.opt("parent"));
            if (!parent) bad("unknown group " + a.opt("parent"));
        }
        Object& g = newObject("Group");
        initValue(g, "name", std::vector<std::string>{name});
        initValue(g, "privilege", std::vector<int>{a.flag("privileged") ? 1 : 0});
        if (parent) initValue(g, "parent", std::vector<tag_t>{parent});
        if (a.has("description")) initValue(g, "description", std::vector<std::string>{a.opt("description")});
    }

    void doRole(Args& a) {
        std::string name = a.word(0, "role name");
        a.consumed(1);
        checkAdminName(name, "role");
        if (findByKey("Role", name)) bad("role " + name + " exists already");
        Object& r = newObject("Role");
        initValue(r, "role_name", std::vector<std::string>{name});
    }

    void doUser(Args& a) {
        std::string id = a.word(0, "user id");
        a.consumed(1);
        checkAdminName(id, "user");
        if (findByKey("User", id)) bad("user " + id + " exists already");
        std::string hash = a.need("password");
        if (hash.rfind("$argon2", 0) != 0 || hash.size() >= crypto_pwhash_STRBYTES)
            bad("password= must be a crypto_pwhash_str hash, not a password");
        tag_t group = 0;
        if (a.has("group")) {
            group = findByKey("Group", a.opt("group"));
            if (!group) bad("unknown group " + a.opt("group"));
        }
        tag_t u = 0;
        Session keep = S().session;
        S().session.group = group;
        int rc = makeUser(id, a.opt("name"), hash, &u);
        S().session = keep;
        if (rc) bad("user " + id + " cannot be made");
        Object& uo = *find(u);
        if (group) initValue(uo, "default_group", std::vector<tag_t>{group});
        if (a.flag("inactive")) initValue(uo, "status", std::vector<int>{1});
        for (tag_t f : {getTag(uo, "home_folder"), getTag(uo, "newstuff_folder")})
            if (group) initValue(*find(f), "owning_group", std::vector<tag_t>{group});
    }

    void doMember(Args& a) {
        std::string user = a.word(0, "user"), group = a.word(1, "group"), role = a.word(2, "role");
        a.consumed(3);
        tag_t u = findByKey("User", user), g = findByKey("Group", group), r = findByKey("Role", role);
        if (!u) bad("unknown user " + user);
        if (!g) bad("unknown group " + group);
        if (!r) bad("unknown role " + role);
        for (tag_t m : instancesOf("GroupMember")) {
            const Object* o = find(m);
            if (getTag(*o, "user") == u && getTag(*o, "group") == g && getTag(*o, "role") == r)
                bad("member " + user + " " + group + " " + role + " exists already");
        }
        Object& m = newObject("GroupMember");
        initValue(m, "user", std::vector<tag_t>{u});
        initValue(m, "group", std::vector<tag_t>{g});
        initValue(m, "role", std::vector<tag_t>{r});
        initValue(m, "status", std::vector<int>{a.flag("inactive") ? 1 : 0});
        initValue(m, "default_role", std::vector<char>{static_cast<char>(a.flag("default") ? 1 : 0)});
    }

    void doVolume(Args& a) {
        std::string name = a.word(0, "volume name");
        a.consumed(1);
        checkAdminName(name, "volume");
        if (findByKey("Volume", name)) bad("volume " + name + " exists already");
        Object& v = newObject("Volume");
        initValue(v, "volume_name", std::vector<std::string>{name});
        initValue(v, "path", std::vector<std::string>{a.need("path")});
        if (a.flag("current") || !m_volume) m_volume = v.tag;
    }

    void doSwitch(Args& a) {
        std::string name = a.word(0, "switch");
        bool on = onOff(a.word(1, "on or off"));
        a.consumed(2);
        Switches& w = S().switches;
        static const std::map<std::string, bool Switches::*> names = {
            {"journal", &Switches::journal},
            {"application_log", &Switches::applicationLog},
            {"security_log", &Switches::securityLog},
            {"administration_log", &Switches::administrationLog},
            {"v7mode", &Switches::v7Mode},
            {"subscription", &Switches::subscription},
            {"partbom", &Switches::partBom},
        };
        auto it = names.find(name);
        if (it == names.end()) bad("unknown switch " + name);
        w.*(it->second) = on;
    }

    void doPref(Args& a) {
        std::string level = a.word(0, "level (site, group, role or user)");
        Store& s = S();
        if (level == "site") {
            std::string name = a.word(1, "preference name");
            s.sitePrefs[name] = a.rest(2);
            a.consumed(2);
            return;
        }
        std::string who = a.word(1, level.c_str());
        std::string name = a.word(2, "preference name");
        std::vector<std::string> values = a.rest(3);
        a.consumed(3);
        if (level == "group") {
            tag_t g = findByKey("Group", who);
            if (!g) bad("unknown group " + who);
            s.groupPrefs[{g, name}] = values;
        } else if (level == "role") {
            tag_t r = findByKey("Role", who);
            if (!r) bad("unknown role " + who);
            s.rolePrefs[{r, name}] = values;
        } else if (level == "user") {
            tag_t u = findByKey("User", who);
            if (!u) bad("unknown user " + who);
            s.userPrefs[{u, name}] = values;
        } else {
            bad("unknown preference level " + level);
        }
    }

    Session sessionFor(const std::string& user, const std::string& group, const std::string& role) {
        tag_t u = findByKey("User", user), g = findByKey("Group", group), r = findByKey("Role", role);
        if (!u) bad("unknown user " + user);
        if (!g) bad("unknown group " + group);
        if (!r) bad("unknown role " + role);
        for (tag_t m : instancesOf("GroupMember")) {
            const Object* o = find(m);
            if (getTag(*o, "user") == u && getTag(*o, "group") == g && getTag(*o, "role") == r &&
                getInt(*o, "status") == 0) {
                Session se;
                se.user = u;
                se.member = m;
                se.group = g;
                se.role = r;
                se.loggedIn = true;
                se.volume = m_volume;
                return se;
            }
        }
        bad(user + " is not an active member of " + group + " as " + role);
    }

    void doSession(Args& a) {
        Session se = sessionFor(a.word(0, "user"), a.word(1, "group"), a.word(2, "role"));
        a.consumed(3);
        if (m_session) {
            se.project = m_session->project;
            se.workContext = m_session->workContext;
        }
        m_session = se;
    }

    // A project or work context: `ID [name=TEXT] [current]`, the name
    // defaulting to the ID; `current` makes it the session's.
    void doSessionObject(Args& a, const char* cls, const char* idAttr, const std::string& what,
                         tag_t Session::*current) {
        std::string id = a.word(0, (what + " id").c_str());
        a.consumed(1);
        if (findByKey(cls, id)) bad(what + " " + id + " exists already");
        Object& o = newObject(cls);
        initValue(o, idAttr, std::vector<std::string>{id});
        initValue(o, "name", std::vector<std::string>{a.opt("name", id)});
        if (a.flag("current")) {
            if (!m_session) bad("a current " + what + " needs a session line before it");
            (*m_session).*current = o.tag;
        }
    }
    void doProject(Args& a) { doSessionObject(a, "Project", "project_id", "project", &Session::project); }
    void doWorkContext(Args& a) {
        doSessionObject(a, "WorkContext", "context_id", "work context", &Session::workContext);
    }

    // --- initial objects ---

    // Runs `make` as the owner (user, and group: the user's default).
    template <class F>
    void as(Args& a, F make) {
        Store& s = S();
        std::string owner = a.opt("owner");
        tag_t u = 0, g = 0;
        if (owner.empty()) {
            if (!m_session) bad("owner= is needed before the session line");
            u = m_session->user;
            g = m_session->group;
        } else {
            u = findByKey("User", owner);
            if (!u) bad("unknown user " + owner);
            g = getTag(*find(u), "default_group");
        }
        if (a.has("group")) {
            g = findByKey("Group", a.opt("group"));
            if (!g) bad("unknown group " + a.opt("group"));
        }
        Session keep = s.session;
        s.session = Session{};
        s.session.user = u;
        s.session.group = g;
        s.session.loggedIn = true;
        try {
            make();
        } catch (...) {
            s.session = keep;
            throw;
        }
        s.session = keep;
    }

    std::string platformError() {
        int n = 0;
        const char* const* texts = nullptr;
        ERROR_store_ask(&n, nullptr, nullptr, &texts);
        return n ? texts[n - 1] : "failed";
    }

    void check(int rc, const std::string& what) {
        if (rc) bad(what + ": " + platformError());
    }

    void label(const std::string& l, tag_t t) {
        if (l.empty()) return;
        if (l[0] != '@' || l.size() < 2) bad("labels start with @");
        if (m_labels.count(l)) bad("label " + l + " is used already");
        m_labels[l] = t;
    }

    // A fixed uid in place of the one the object was made with.
    void giveUid(Object& o, const std::string& uid) {
        Store& s = S();
        if (uid.empty() || uid.size() > POM_uid_size_c) bad("a uid has 1 to 15 characters");
        for (char c : uid)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '$' && c != '-')
                bad("a uid has only letters, digits, _, $ and -");
        if (s.objects.findUid(uid)) bad("uid " + uid + " is used already");
        s.objects.renameUid(o, uid);
        s.givenUids.insert(uid);
    }

    void finishObject(Args& a, tag_t t) {
        Object* o = find(t);
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
            c.push_back(t);
            initValue(*f, "contents", c);
        }
        m_objectsMade = true;
    }

    void doObject(const std::string& kind, Args& a) {
        std::string lbl = a.word(0, "@label");
        a.consumed(1);
        rebuild();
        tag_t made = 0;
        if (kind == "folder") {
            as(a, [&] { check(FL_create(a.need("name").c_str(), a.opt("desc").c_str(), &made), "folder"); });
        } else if (kind == "form") {
            as(a, [&] {
                check(FORM_create(a.need("name").c_str(), a.opt("desc").c_str(), a.need("type").c_str(), &made),
                      "form");
            });
        } else if (kind == "revision") {
            tag_t item = objectRef(a.need("item"));
            if (!find(item)->cls->isA("Item")) bad(a.opt("item") + " is not an item");
            std::string id = a.need("id");
            as(a, [&] {
                tag_t latest = 0;
                check(ITEM_ask_latest_rev(item, &latest), "revision");
                check(ITEM_copy_rev(latest, id.c_str(), &made), "revision");
            });
        } else if (kind == "appearancegroup") {
            as(a, [&] { check(PS_create_appearance_group(a.need("name").c_str(), &made), "appearance group"); });
        } else if (kind == "revisionrule") {
            as(a, [&] { check(PS_create_revision_rule(a.need("name").c_str(), &made), "revision rule"); });
        } else if (kind == "dataset") {
            as(a, [&] {
                std::string type = a.need("type");
                tag_t dt = findByKey("DatasetType", type);
                if (!dt) bad("unknown dataset type " + type);
                check(AE_create_dataset_with_id(dt, a.need("name").c_str(), a.opt("desc").c_str(), nullptr, nullptr,
                                                &made),
                      "dataset");
                const Object* dto = find(dt);
                tag_t tool = a.has("tool") ? findByKey("Tool", a.opt("tool")) : getTag(*dto, "default_tool");
                if (!tool) {
                    std::vector<tag_t> tools = getTags(*dto, "list_of_tools");
                    tool = tools.empty() ? 0 : tools.front();
                }
                if (a.has("tool") && !tool) bad("unknown tool " + a.opt("tool"));
                if (tool) initValue(*find(made), "tool_used", std::vector<tag_t>{tool});
                std::vector<std::string> formats = tool ? getStrings(*find(tool), "output_formats")
                                                        : std::vector<std::string>{};
                std::string format = a.opt("format", formats.empty() ? "" : formats.front());
                if (!format.empty()) initValue(*find(made), "format_used", std::vector<std::string>{format});
                if (a.has("version")) {
                    int version = number(a.opt("version"), "version");
                    if (version < 1) bad("a dataset's version is 1 or more");
                    initValue(*find(getTag(*find(made), "rev_chain_anchor")), "version", std::vector<int>{version});
                }
            });
        } else {
            as(a, [&] {
                OstraItem item;
                OstraItemRev rev;
                // Items of the site come with the master forms of their type.
                std::string id = a.need("id"), type = a.opt("type", "Item"), revId = a.opt("rev", "A");
                tag_t forms[2] = {0, 0};
                for (int k = 0; k < 2; ++k) {
                    char* formType = nullptr;
                    int rc = k == 0 ? ITEM_ask_master_form_type(type.c_str(), &formType)
                                    : ITEM_ask_rev_master_form_type(type.c_str(), &formType);
                    if (rc == 0)
                        rc = FORM_create((k == 0 ? id : id + revId).c_str(), "", formType, &forms[k]);
                    SM_free(formType);
                    if (rc && rc != ERR_NOT_FOUND) check(rc, "master form");
                }
                ERROR_store_clear();
                check(OstraItem::create(id, a.opt("name"), type, revId, forms[0], forms[1], item, rev), "item");
                made = item.tag();
                Object* ro = find(rev.tag());
                if (a.has("desc")) {
                    initValue(*find(made), "object_desc", std::vector<std::string>{a.opt("desc")});
                    initValue(*ro, "object_desc", std::vector<std::string>{a.opt("desc")});
                }
                if (a.has("uom")) initValue(*find(made), "uom_tag", std::vector<tag_t>{objectRef("uom:" + a.opt("uom"))});
                check(save(*ro), "cannot save");
                unlock(*ro);
                if (a.has("revlabel")) label(a.opt("revlabel"), rev.tag());
                if (a.has("revuid")) giveUid(*ro, a.opt("revuid"));
            });
        }
        Store& s = S();
        Session keep = s.session;
        finishObject(a, made);
        s.session = keep;
        label(lbl, made);
    }

    // Runs platform calls as the owner of `object`, returning their code.
    template <class F>
    int asOwnerOf(tag_t object, F call) {
        tag_t user = getTag(*find(object), "owning_user");
        Store& s = S();
        Session keep = s.session;
        s.session = Session{};
        s.session.user = user ? user : (m_session ? m_session->user : 0);
        s.session.group = getTag(*find(object), "owning_group");
        s.session.loggedIn = true;
        int rc = call();
        s.session = keep;
        return rc;
    }

    void doRelate(Args& a) {
        tag_t p = objectRef(a.word(0, "@primary"));
        tag_t sec = objectRef(a.word(1, "@secondary"));
        std::string type = a.word(2, "relation type");
        a.consumed(3);
        const TypeDef* rt = typeOf(type);
        if (!rt->cls->isA("Relation")) bad(type + " is not a relation type");
        tag_t rel = 0;
        check(asOwnerOf(p,
                        [&] {
                            int rc = GRM_create_relation(p, sec, rt->tag, 0, &rel);
                            return rc ? rc : GRM_save_relation(rel);
                        }),
              "relation");
    }

    void doBom(Args& a) {
        const std::string parentLabel = a.word(0, "@parent revision"), childLabel = a.word(1, "@child");
        tag_t parent = objectRef(parentLabel);
        tag_t child = objectRef(childLabel);
        a.consumed(2);
        if (!find(parent)->cls->isA("ItemRevision")) bad(parentLabel + " is not an item revision");
        tag_t occurrence = 0;
        int rc = asOwnerOf(parent, [&] { return PS_create_occurrence(parent, child, &occurrence); });
        if (rc == ERR_STRUCTURE_CYCLE) bad(parentLabel + " would become its own ancestor through " + childLabel);
        check(rc, "bom");
    }

    void doSet(Args& a) {
        tag_t t = objectRef(a.word(0, "@label"));
        a.consumed(1);
        rebuild();
        Object* o = find(t);
        for (const std::string& w : a.rest(1)) bad("expected property=value, not " + w);
        // Every option is a property of the object.
        for (auto& [k, d] : typeDescriptors(o)) {
            if (!a.has(k)) continue;
            std::vector<std::string> texts = d->m_arraySize == 1 ? std::vector<std::string>{a.opt(k)} : a.list(k);
            if (isReference(d->m_valueType))
                for (auto& t : texts)
                    if (!t.empty()) t = find(objectRef(t))->uid;
            Value v;
            if (d->m_propertyType != PROP_attribute) bad(k + " is not a stored property");
            check(parseTexts(*d, texts, &v), k);
            check(initValue(*o, k, std::move(v)), k);
        }
    }

    // A file of a dataset, checked as a write ticket request is, owned by the
    // dataset's owner, on the session's volume.
    void doFile(Args& a) {
        std::string lbl = a.word(0, "@label");
        a.consumed(1);
        tag_t dataset = objectRef(a.need("dataset"));
        Object* d = find(dataset);
        if (!d->cls->isA("Dataset")) bad(a.opt("dataset") + " is not a dataset");
        std::string ref = a.need("ref"), name = a.need("name");
        tag_t type = getTag(*d, "dataset_type");
        std::vector<std::string> names = getStrings(*find(type), "ref_names");
        std::vector<std::string> formats = getStrings(*find(type), "ref_formats");
        bool text = false;
        for (std::size_t i = 0; i < names.size() && i < formats.size(); ++i)
            if (names[i] == ref) text = formats[i] == "TEXT";
        check(FILE_check_for_reference(type, ref, name, FILE_extension_of(name), text), "file");
        Store& s = S();
        Session keep = s.session;
        s.session = Session{};
        s.session.user = getTag(*d, "owning_user");
        s.session.group = getTag(*d, "owning_group");
        s.session.loggedIn = true;
        tag_t file = 0;
        int rc = FILE_add_to_dataset(dataset, ref, name, text, m_volume, &file);
        s.session = keep;
        check(rc, "file");
        if (a.has("uid")) giveUid(*find(file), a.opt("uid"));
        label(lbl, file);
    }

    void doCheckout(Args& a) {
        tag_t object = objectRef(a.word(0, "@label"));
        a.consumed(1);
        std::string user = a.need("user");
        tag_t u = findByKey("User", user);
        if (!u) bad("unknown user " + user);
        check(RES_checkout_as(object, u, a.opt("comment"), a.opt("change")), "checkout");
    }

    std::vector<std::pair<std::string, PropertyDescriptor*>> typeDescriptors(const Object* o) {
        std::vector<std::pair<std::string, PropertyDescriptor*>> out;
        const TypeDef* td = typeDef(o->type);
        if (!td) return out;
        for (tag_t d : td->properties) {
            PropertyDescriptor& pd = S().descriptors.at(d);
            out.emplace_back(pd.m_name, &pd);
        }
        return out;
    }

    std::shared_ptr<Schema> m_schema;
    std::string m_file;
    int m_line = 0;
    bool m_dirty = false;       // classes, attributes or types changed
    bool m_rulesDirty = false;  // property rules changed
    bool m_objectsMade = false;
    std::set<std::string> m_hasChildren;
    std::map<std::string, tag_t> m_labels;
    std::optional<Session> m_session;
    tag_t m_volume = 0;
    std::vector<std::pair<const ClassDef*, std::string>> m_pendingTypes;
    bool m_typesReady = false;
};

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
        Loader loader(schema);
        loader.run(site::kBuiltinSchema, "<built-in schema>");
        loader.run(ps::kSchema, "<product-structure schema>");
        loader.run(text, name);
        loader.finish();
    } catch (const LoadError& e) {
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
    if (pristine().store)
        installStore(copyStore(*pristine().store));
    else
        installStore(nullptr);
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
