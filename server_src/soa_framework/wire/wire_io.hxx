#pragma once
// Field-level XML reading and writing shared by every wire type.
//
// Convention: a wire object is one element. Scalar fields (string, int, bool,
// double) are attributes named after the field with its first letter in
// lower case; an optional field that is not set is left out. A field holding
// another wire object is a child element of that name; an array field is one
// child element per entry, named after the array's stem (the stem of
// "getPropertieArray" is "propertie"); an array of scalars is one child
// element per entry carrying the value in its "value" attribute.
#include "soa_common/xml.hxx"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vl::wire {

using Velmora::Soa::Common::Xml::XMLNode;
using Velmora::Soa::Common::Xml::XmlStream;

template <class T>
inline constexpr bool IsScalar = std::is_same_v<T, std::string> || std::is_same_v<T, int> ||
                                 std::is_same_v<T, bool> || std::is_same_v<T, double>;

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

// "ClientId" -> "clientId".
std::string xmlName(std::string_view fieldToken);
// True when `xml` is the XML name of `fieldToken`, without allocating.
inline bool nameIs(std::string_view xml, std::string_view fieldToken) {
    if (xml.size() != fieldToken.size() || xml.empty()) return false;
    char first = fieldToken[0];
    if (first >= 'A' && first <= 'Z') first = static_cast<char>(first - 'A' + 'a');
    return xml[0] == first && xml.substr(1) == fieldToken.substr(1);
}

// Clients may declare namespaces on any element; they carry no field.
inline bool isNamespaceDeclaration(std::string_view key) {
    return key == "xmlns" || key.substr(0, 6) == "xmlns:";
}

[[noreturn]] void fail(const XMLNode& node, const std::string& what);

void fromText(const XMLNode& node, std::string_view name, const std::string& text, std::string& out);
void fromText(const XMLNode& node, std::string_view name, const std::string& text, int& out);
void fromText(const XMLNode& node, std::string_view name, const std::string& text, bool& out);
void fromText(const XMLNode& node, std::string_view name, const std::string& text, double& out);

inline const std::string& toText(const std::string& v, std::string&) { return v; }
const std::string& toText(int v, std::string& buffer);
const std::string& toText(bool v, std::string& buffer);
const std::string& toText(double v, std::string& buffer);

// A scalar array entry: <stem value="..."/>.
template <class T>
void readScalarEntry(const XMLNode& child, std::vector<T>& out) {
    T v{};
    for (const auto& [key, text] : child.attrs()) {
        if (key != "value") fail(child, "unknown attribute '" + key + "'");
        fromText(child, key, text, v);
    }
    out.push_back(std::move(v));
}

template <class T>
void writeScalarEntry(XmlStream& out, const std::string& name, const T& v) {
    std::string buffer;
    out.startElement(name);
    out.attribute("value", toText(v, buffer));
    out.endElement();
}

// Field dispatch, used by the expansions of wire_type.hxx. Each returns
// false where the field's kind does not match the XML item (a scalar field
// is never a child element, a wire field never an attribute).
template <class T>
bool readAttribute(const XMLNode& node, std::string_view key, const std::string& text, T& field) {
    if constexpr (IsScalar<T>) {
        fromText(node, key, text, field);
        return true;
    } else {
        return false;
    }
}

template <class T>
bool readChild(const XMLNode& child, T& field, int& seen) {
    if constexpr (IsScalar<T>) {
        return false;
    } else {
        if (seen++) fail(child, "repeated element");
        field.parse(child);
        return true;
    }
}

template <class T>
void readEntry(const XMLNode& child, std::vector<T>& array) {
    if constexpr (IsScalar<T>) {
        readScalarEntry(child, array);
    } else {
        T entry;
        entry.parse(child);
        array.push_back(entry);
    }
}

template <class T>
void writeAttribute(XmlStream& out, const std::string& name, const T& field, std::string& buffer) {
    if constexpr (IsScalar<T>) out.attribute(name, toText(field, buffer));
}

template <class T>
void writeChild(XmlStream& out, const std::string& name, const T& field) {
    if constexpr (!IsScalar<T>) field.outputXML(out, name);
}

template <class T>
void writeEntries(XmlStream& out, const std::string& name, const std::vector<T>& array) {
    for (const auto& entry : array) {
        if constexpr (IsScalar<T>)
            writeScalarEntry(out, name, entry);
        else
            entry.outputXML(out, name);
    }
}

template <class T>
void drainChild(XmlStream& out, const std::string& name, T& field) {
    if constexpr (!IsScalar<T>) field.drainXML(out, name);
}

// The entries in order, each dropped once written: reversed first, so the
// one written is always the last.
template <class T>
void drainEntries(XmlStream& out, const std::string& name, std::vector<T>& array) {
    std::reverse(array.begin(), array.end());
    while (!array.empty()) {
        if constexpr (IsScalar<T>)
            writeScalarEntry(out, name, array.back());
        else
            array.back().drainXML(out, name);
        array.pop_back();
    }
}

}  // namespace vl::wire
