#include "soa_framework/wire/wire_io.hxx"

#include <cerrno>
#include <charconv>
#include <cstdio>

namespace vl::wire {

std::string xmlName(std::string_view fieldToken) {
    std::string name(fieldToken);
    if (!name.empty() && name[0] >= 'A' && name[0] <= 'Z') name[0] = static_cast<char>(name[0] - 'A' + 'a');
    return name;
}

void fail(const XMLNode& node, const std::string& what) {
    throw Velmora::Soa::Common::Exceptions::DomException("line " + std::to_string(node.line()) + ": <" +
                                                         node.name() + ">: " + what);
}

void fromText(const XMLNode&, std::string_view, const std::string& text, std::string& out) { out = text; }

void fromText(const XMLNode& node, std::string_view name, const std::string& text, int& out) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, out);
    if (ec != std::errc() || end != last || text.empty())
        fail(node, "attribute '" + std::string(name) + "' is not an integer: \"" + text + "\"");
}

void fromText(const XMLNode& node, std::string_view name, const std::string& text, bool& out) {
    if (text == "true" || text == "1")
        out = true;
    else if (text == "false" || text == "0")
        out = false;
    else
        fail(node, "attribute '" + std::string(name) + "' is not a flag (true or false): \"" + text + "\"");
}

void fromText(const XMLNode& node, std::string_view name, const std::string& text, double& out) {
    errno = 0;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE)
        fail(node, "attribute '" + std::string(name) + "' is not a number: \"" + text + "\"");
}

const std::string& toText(int v, std::string& buffer) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, v);
    (void)ec;
    buffer.assign(digits, end);
    return buffer;
}

const std::string& toText(bool v, std::string&) {
    static const std::string yes = "true", no = "false";
    return v ? yes : no;
}

const std::string& toText(double v, std::string& buffer) {
    char digits[32];
    int n = std::snprintf(digits, sizeof digits, "%.17g", v);
    buffer.assign(digits, n > 0 ? static_cast<size_t>(n) : 0);
    return buffer;
}

}  // namespace vl::wire
