// soa-gateway: our stand-in for the server's request gateway. It loads the
// core service library (whose load registers the services), seeds the object
// store from a site fixture and carries request documents to the services.
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: soa-gateway [--site FILE] SERVICE OPERATION [REQUEST_FILE|-]\n"
    "       soa-gateway [--site FILE] --script FILE\n"
    "       soa-gateway --list\n";

int fail(const std::string& message) {
    std::cerr << "soa-gateway: " << message << "\n";
    return 2;
}

bool readAll(std::istream& in, std::string* out) {
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool readFile(const std::string& path, std::string* out) {
    if (path == "-") return readAll(std::cin, out);
    std::ifstream in(path, std::ios::binary);
    return in && readAll(in, out);
}

// The first element named `element` in `reply`: the value of its attribute
// `attribute`, as written there; none when there is no such element or it
// has no such attribute.
std::optional<std::string> firstAttribute(const std::string& reply, const std::string& element,
                                          const std::string& attribute) {
    std::string open = "<" + element;
    std::string key = " " + attribute + "=\"";
    for (std::size_t at = reply.find(open); at != std::string::npos; at = reply.find(open, at + 1)) {
        char next = reply[at + open.size()];
        if (next != ' ' && next != '/' && next != '>') continue;
        std::size_t end = reply.find('>', at);
        std::size_t value = reply.find(key, at);
        if (value == std::string::npos || value > end) return std::nullopt;
        value += key.size();
        return reply.substr(value, reply.find('"', value) - value);
    }
    return std::nullopt;
}

// False, with the name in *unbound, when the text names a variable no
// earlier request saved: sent as it stands it would only be a puzzling uid.
bool substitute(const std::string& text, const std::map<std::string, std::string>& vars, std::string* out,
                std::string* unbound) {
    out->clear();
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "${") == 0) {
            std::size_t end = text.find('}', i);
            if (end != std::string::npos) {
                const std::string name = text.substr(i + 2, end - i - 2);
                auto it = vars.find(name);
                if (it == vars.end()) {
                    *unbound = name;
                    return false;
                }
                *out += it->second;
                i = end + 1;
                continue;
            }
        }
        *out += text[i++];
    }
    return true;
}

struct ScriptStep {
    int line = 0;
    std::string service, operation, document;
    struct Save {
        std::string variable, element, attribute;
    };
    std::vector<Save> saves;
};

// A script is a sequence of requests. Each begins with a line
//   @ SERVICE OPERATION [save VAR=ELEMENT[.ATTRIBUTE] ...]
// followed by the request document up to the next "@" line. "${VAR}" in a
// document is replaced by the value saved earlier: the attribute (the uid
// when none is named) of the first such element of the reply; a save that
// finds none stops the script. Lines starting with "#" are comments wherever
// they stand.
bool parseScript(const std::string& path, const std::string& text, std::vector<ScriptStep>* steps,
                 std::string* error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("@", 0) == 0) {
            ScriptStep step;
            step.line = number;
            std::istringstream words(line.substr(1));
            std::string word;
            words >> step.service >> step.operation;
            if (step.service.empty() || step.operation.empty()) {
                *error = path + ":" + std::to_string(number) + ": expected '@ SERVICE OPERATION'";
                return false;
            }
            while (words >> word) {
                if (word == "save") continue;
                std::size_t eq = word.find('=');
                std::size_t dot = eq == std::string::npos ? std::string::npos : word.find('.', eq);
                if (eq == std::string::npos || eq == 0 || eq + 1 == word.size() || dot == eq + 1 ||
                    (dot != std::string::npos && dot + 1 == word.size())) {
                    *error = path + ":" + std::to_string(number) + ": expected VAR=ELEMENT[.ATTRIBUTE], not '" +
                             word + "'";
                    return false;
                }
                ScriptStep::Save save;
                save.variable = word.substr(0, eq);
                save.element = word.substr(eq + 1, dot == std::string::npos ? std::string::npos : dot - eq - 1);
                save.attribute = dot == std::string::npos ? "uid" : word.substr(dot + 1);
                step.saves.push_back(std::move(save));
            }
            steps->push_back(std::move(step));
        } else if (!line.empty() && line[0] == '#') {
            continue;
        } else if (!steps->empty()) {
            if (steps->back().document.empty() && line.empty()) continue;
            steps->back().document += line + "\n";
        } else if (!line.empty()) {
            *error = path + ":" + std::to_string(number) + ": text before the first '@' line";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string site = VL_DEFAULT_SITE;
    std::string script;
    bool list = false;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--site" && i + 1 < args.size())
            site = args[++i];
        else if (args[i] == "--script" && i + 1 < args.size())
            script = args[++i];
        else if (args[i] == "--list")
            list = true;
        else if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (args[i].rfind("--", 0) == 0)
            return fail("unknown option '" + args[i] + "'\n" + kUsage);
        else
            positional.push_back(args[i]);
    }
    bool single = positional.size() == 2 || positional.size() == 3;
    if (list ? (!script.empty() || !positional.empty()) : (script.empty() ? !single : !positional.empty()))
        return fail(std::string("bad arguments\n") + kUsage);

    // NODELETE: registered skeletons must never point into unloaded code.
    const char* library = std::getenv("VL_CORE_LIBRARY");
    if (!library) library = VL_CORE_LIBRARY;
    if (!dlopen(library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE))
        return fail(std::string("cannot load the service library: ") + dlerror());

    VlServiceManager& gateway = VlServiceManager::instance();
    if (list) {
        for (const auto& name : gateway.serviceNames()) std::cout << name << "\n";
        return 0;
    }

    std::string error;
    if (vl::platform::SITE_load(site, &error) != 0) return fail("cannot load the site: " + error);

    if (!script.empty()) {
        std::string text;
        if (!readFile(script, &text)) return fail("cannot read '" + script + "'");
        std::vector<ScriptStep> steps;
        if (!parseScript(script, text, &steps, &error)) return fail(error);
        std::map<std::string, std::string> vars;
        for (const auto& step : steps) {
            std::string reply, document, unbound;
            if (!substitute(step.document, vars, &document, &unbound))
                return fail(script + ":" + std::to_string(step.line) + ": '${" + unbound +
                            "}' names no variable saved by an earlier request");
            if (!gateway.invoke(step.service, step.operation, document, &reply))
                return fail(script + ":" + std::to_string(step.line) + ": unknown service '" + step.service + "'");
            std::cout << "=== " << step.service << " " << step.operation << "\n" << reply << "\n";
            // A value that is not there would only send the next request
            // with an empty text in its place.
            for (const auto& save : step.saves) {
                std::optional<std::string> value = firstAttribute(reply, save.element, save.attribute);
                if (!value)
                    return fail(script + ":" + std::to_string(step.line) + ": 'save " + save.variable + "=" +
                                save.element + "." + save.attribute + "' matches nothing: the reply has no <" +
                                save.element + "> with an attribute '" + save.attribute + "'");
                vars[save.variable] = std::move(*value);
            }
        }
        return 0;
    }

    std::string request;
    std::string source = positional.size() == 3 ? positional[2] : "-";
    if (!readFile(source, &request)) return fail("cannot read '" + source + "'");
    std::string reply;
    if (!gateway.invoke(positional[0], positional[1], request, &reply))
        return fail("unknown service '" + positional[0] + "'");
    std::cout << reply << "\n";
    return 0;
}
