#pragma once
// XML layer of the SOA common library: parsed element tree, the hardened
// request parser and the reply stream.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Velmora::Soa::Common::Xml {

class SAXToNodeParser;

// The attributes of one element, ordered by name. The entries stay in the
// order read, with their name order beside them; a node kept for the next
// parse writes over its entries, strings and all, so a tree like the last
// one is built without allocating.
class XMLAttributes {
public:
    using value_type = std::pair<std::string, std::string>;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = XMLAttributes::value_type;
        using difference_type = std::ptrdiff_t;
        using pointer = const value_type*;
        using reference = const value_type&;

        const_iterator() = default;
        reference operator*() const { return m_entries[*m_at]; }
        pointer operator->() const { return &m_entries[*m_at]; }
        const_iterator& operator++() {
            ++m_at;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++m_at;
            return was;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.m_at == b.m_at; }

    private:
        friend class XMLAttributes;
        const_iterator(const value_type* entries, const std::uint32_t* at) : m_entries(entries), m_at(at) {}
        const value_type* m_entries = nullptr;
        const std::uint32_t* m_at = nullptr;
    };

    const_iterator begin() const { return {m_entries.data(), m_order.data()}; }
    const_iterator end() const { return {m_entries.data(), m_order.data() + m_order.size()}; }
    std::size_t size() const { return m_order.size(); }
    bool empty() const { return m_order.empty(); }
    // The value of the attribute of that name, or null.
    const std::string* find(std::string_view name) const;

    friend bool operator==(const XMLAttributes& a, const XMLAttributes& b);

private:
    friend class SAXToNodeParser;
    std::vector<value_type> m_entries;  // as read; those past the last read are kept for reuse
    std::vector<std::uint32_t> m_order;  // indexes into m_entries, by name, one per name
};

// One parsed element: name, attributes, text and children in document order.
// Nodes are owned by the parser that built them.
class XMLNode {
public:
    XMLNode() = default;

    const std::string& name() const { return m_name; }
    const std::string& text() const { return m_text; }
    const XMLAttributes& attrs() const { return m_attrs; }
    const std::vector<XMLNode*>& children() const { return m_children; }
    int line() const { return m_line; }

    // The attribute's value, or null when absent.
    const std::string* attr(const std::string& name) const;
    // First child of that name, or null.
    const XMLNode* child(const std::string& name) const;

private:
    friend class SAXToNodeParser;
    std::string m_name;
    std::string m_text;
    std::vector<XMLNode*> m_children;
    std::string m_reserved;
    int m_line = 0;
    XMLAttributes m_attrs;
};

// Parses request text into an XMLNode tree. Refuses any DOCTYPE, resolves no
// external entity, expands only the five predefined entities, and bounds the
// nesting depth and the document size. Every failure is a DomException that
// names the line and column.
class SAXToNodeParser {
public:
    static constexpr int kMaxDepth = 256;
    static constexpr std::size_t kMaxDocumentBytes = 64u * 1024u * 1024u;
    // Bounds the tree's memory whatever the document's shape.
    static constexpr std::size_t kMaxElements = 1000000;

    SAXToNodeParser();
    virtual ~SAXToNodeParser();
    SAXToNodeParser(const SAXToNodeParser&) = delete;
    SAXToNodeParser& operator=(const SAXToNodeParser&) = delete;

    // The root element, owned by the parser and valid while it lives (or until
    // the next parseString).
    const XMLNode& parseString(const std::string& text);

    struct State;  // builder state, shared with the Xerces-C callbacks

private:
    std::unique_ptr<State> m_state;
};

// The reply stream: a string stream plus the writer's state. Start tags stay
// open until the first child or the end, so an element with no children is
// written as an empty-element tag. Every text is escaped; characters XML
// cannot carry are written as U+FFFD, so the output is always well-formed.
class XmlStream : public std::basic_stringstream<char> {
public:
    XmlStream();
    virtual ~XmlStream();

    void startElement(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void endElement();
    // Escaped character data inside the innermost open element (ignored when
    // none is open).
    void text(std::string_view value);

    // Escapes `value` for use inside a double-quoted attribute or as text.
    static void escape(std::ostream& out, std::string_view value);

private:
    void closeStartTag();
    std::map<std::string, std::string> m_prefixes;
    std::deque<std::string> m_open;
    bool m_startTagOpen = false;
};

// Turns parser text into narrow text.
class VlStrX {
public:
    explicit VlStrX(const char16_t* text);
    VlStrX(const VlStrX&) = default;
    VlStrX& operator=(const VlStrX&) = default;
    ~VlStrX() = default;
    const char* localForm() const { return m_text.c_str(); }
    operator const std::string&() const { return m_text; }

private:
    VlStrX() = default;
    std::string m_text;
};

// Empty marker type of the handle model.
class TryingToCreateNullHandle {
public:
    TryingToCreateNullHandle& operator=(const TryingToCreateNullHandle&) { return *this; }
};

}  // namespace Velmora::Soa::Common::Xml

namespace Velmora::Soa::Common::Exceptions {

// XML or policy text that cannot be read.
class DomException {
public:
    explicit DomException(std::string message) : m_message(std::move(message)) {}
    DomException(const DomException&) = default;
    DomException& operator=(const DomException&) = default;
    ~DomException() = default;
    virtual void setMessage(const std::string& message) { m_message = message; }
    virtual const std::string& getMessage() const { return m_message; }

private:
    std::string m_message;
};

}  // namespace Velmora::Soa::Common::Exceptions
