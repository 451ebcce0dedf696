// XML layer of the SOA common library: the hardened request parser over
// Xerces-C SAX2, and the reply writer.
#include "soa_common/xml.hxx"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/MemoryManager.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/sax2/Attributes.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLUni.hpp>

namespace Velmora::Soa::Common::Xml {

using Exceptions::DomException;
namespace xc = XERCES_CPP_NAMESPACE;

namespace {

// ---------------------------------------------------------------------------
// UTF-16 -> UTF-8. Our own encoder: plain transcode would use the local code
// page, and this one appends in place without temporary buffers. An unpaired
// surrogate (the scanner never hands one over) becomes U+FFFD.

// UTF-8 size of s[0, n), or of the NUL-terminated s when n is npos (then set
// to its length, sparing a separate strlen pass).
std::size_t utf8Length(const char16_t* s, std::size_t& n, bool& ascii) {
    std::size_t bytes = 0;
    ascii = true;
    if (n == std::string::npos) {
        std::size_t i = 0;
        while (s[i] != 0 && s[i] < 0x80) ++i;
        bytes = i;
        if (s[i] == 0) {
            n = i;
            return bytes;
        }
        while (s[i] != 0) ++i;
        n = i;
        bytes = 0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            ++bytes;
        } else if (c < 0x800) {
            bytes += 2;
            ascii = false;
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 &&
                   s[i + 1] <= 0xDFFF) {
            bytes += 4;
            ++i;
            ascii = false;
        } else {
            bytes += 3;
            ascii = false;
        }
    }
    return bytes;
}

// Appends s[0, n) (or the NUL-terminated s when n is npos).
void appendUtf8(std::string& out, const char16_t* s, std::size_t n) {
    if (n == 0) return;
    bool ascii = true;
    const std::size_t bytes = utf8Length(s, n, ascii);
    const std::size_t old = out.size();
    out.resize(old + bytes);
    char* p = out.data() + old;
    if (ascii) {
        for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<char>(s[i]);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t c = s[i];
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
            continue;
        }
        if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
            *p++ = static_cast<char>(0xF0 | (c >> 18));
            *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string toUtf8(const char16_t* s) {
    std::string out;
    if (s) appendUtf8(out, s, std::string::npos);
    return out;
}

// ---------------------------------------------------------------------------
// UTF-8 decoding of one multi-byte sequence at p (p[0] >= 0x80). Returns the
// sequence length and sets `cp` when it is well-formed (no overlong form, no
// surrogate, nothing above U+10FFFF); otherwise returns 0 and sets `skip` to
// the length of the maximal ill-formed subpart, to be replaced by one U+FFFD.

std::size_t decodeUtf8(const unsigned char* p, const unsigned char* end, std::uint32_t& cp,
                       std::size_t& skip) {
    const unsigned char b0 = p[0];
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        skip = 1;
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (p + k >= end) {
            skip = k;
            return 0;
        }
        const unsigned char b = p[k];
        const unsigned char l = k == 1 ? lo : 0x80;
        const unsigned char h = k == 1 ? hi : 0xBF;
        if (b < l || b > h) {
            skip = k;
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return len;
}

// Line and column (in characters, 1-based) of byte offset `at`.
void positionOf(const std::string& text, std::size_t at, std::size_t& line, std::size_t& col) {
    line = 1;
    col = 1;
    for (std::size_t i = 0; i < at && i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
            col = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++col;
        }
    }
}

// Finds the first byte that is not well-formed UTF-8, or a NUL, which Xerces
// takes for the end of its input. Returns npos when the text is clean. Xerces
// decodes in large blocks: it misplaces such errors and, past the root
// element, does not report them at all.
std::size_t findBadByte(const std::string& text) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = begin + text.size();
    const auto* p = begin;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t v;
            std::memcpy(&v, p, 8);
            const std::uint64_t zero = (v - kOnes) & ~v & kHigh;
            if (((v & kHigh) | zero) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c == 0) return static_cast<std::size_t>(p - begin);
        if (c < 0x80) {
            ++p;
            continue;
        }
        std::uint32_t cp;
        std::size_t skip;
        const std::size_t len = decodeUtf8(p, end, cp, skip);
        if (len == 0) return static_cast<std::size_t>(p - begin);
        p += len;
    }
    return std::string::npos;
}

// Offset of a document type declaration in the prolog, or npos. Xerces tells
// a handler of a DOCTYPE only when it has a subset, so a bare one is looked
// for here; it can stand only before the root, after white space, comments
// and processing instructions.
std::size_t findDoctype(const std::string& text) {
    const std::string_view s(text);
    std::size_t p = s.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    for (;;) {
        p = s.find_first_not_of(" \t\r\n", p);
        if (p == std::string_view::npos) return p;
        const std::string_view rest = s.substr(p);
        std::size_t close;
        if (rest.starts_with("<?"))
            close = s.find("?>", p + 2);
        else if (rest.starts_with("<!--"))
            close = s.find("-->", p + 4);
        else
            return rest.starts_with("<!DOCTYPE") ? p : std::string_view::npos;
        if (close == std::string_view::npos) return close;
        p = close + 2;
    }
}

// True unless the XML declaration names a version other than 1.0. Replies
// are XML 1.0, which cannot carry all that a 1.1 document may hold (control
// characters), so a 1.1 request could not be answered faithfully.
bool isXml10(const std::string& text) {
    const std::string_view s(text);
    const std::size_t start = s.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    if (s.substr(start, 5) != "<?xml" || s.size() <= start + 5 ||
        std::string_view(" \t\r\n").find(s[start + 5]) == std::string_view::npos)
        return true;
    const std::size_t close = s.find("?>", start);
    const std::string_view decl = s.substr(start, close == std::string_view::npos ? s.npos : close - start);
    std::size_t v = decl.find("version");
    if (v == std::string_view::npos) return true;  // Xerces refuses a declaration without one
    v = decl.find_first_not_of(" \t\r\n", v + 7);
    if (v == std::string_view::npos || decl[v] != '=') return true;
    v = decl.find_first_not_of(" \t\r\n", v + 1);
    if (v == std::string_view::npos || (decl[v] != '"' && decl[v] != '\'')) return true;
    return decl.substr(v + 1, 4) == "1.0" + std::string(1, decl[v]);
}

// ---------------------------------------------------------------------------

std::string where(std::uint64_t line, std::uint64_t col, const std::string& message) {
    return "line " + std::to_string(line) + ", column " + std::to_string(col) + ": " + message;
}

// A refusal raised from inside a callback; carries its position out of Xerces.
struct Refusal {
    std::uint64_t line;
    std::uint64_t col;
    std::string message;
};

void initXerces() {
    // Once per process, on first use; never terminated, so trees, readers and
    // statics that outlive a caller never meet a torn-down platform.
    static std::once_flag once;
    std::call_once(once, [] { xc::XMLPlatformUtils::Initialize(); });
}

}  // namespace

// ---------------------------------------------------------------------------
// XMLNode

const std::string* XMLAttributes::find(std::string_view name) const {
    const auto it = std::lower_bound(m_order.begin(), m_order.end(), name,
                                     [&](std::uint32_t at, std::string_view n) { return m_entries[at].first < n; });
    return it != m_order.end() && m_entries[*it].first == name ? &m_entries[*it].second : nullptr;
}

bool operator==(const XMLAttributes& a, const XMLAttributes& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

const std::string* XMLNode::attr(const std::string& name) const { return m_attrs.find(name); }

const XMLNode* XMLNode::child(const std::string& name) const {
    for (const XMLNode* c : m_children)
        if (c->m_name == name) return c;
    return nullptr;
}

// ---------------------------------------------------------------------------
// SAXToNodeParser

namespace {

// Owns every node of a tree, in fixed chunks: node addresses never move, the
// tree is freed flat (no recursive destruction, whatever the shape), and
// the chunks of a request of some ten thousand elements are kept, nodes and
// all, for the next parse: a fresh node costs several allocations, and a
// request that big is often followed by another.
class NodeArena {
public:
    // A new node, or (`reused` set) one an earlier parse left as it was.
    XMLNode& make(bool& reused) {
        const std::size_t chunk = m_used / kChunk, at = m_used % kChunk;
        if (chunk == m_chunks.size()) m_chunks.emplace_back().reserve(kChunk);
        std::vector<XMLNode>& nodes = m_chunks[chunk];
        ++m_used;
        reused = at < nodes.size();
        return reused ? nodes[at] : nodes.emplace_back();
    }
    void clear() {
        m_used = 0;
        if (m_chunks.size() > kKeep) m_chunks.resize(kKeep);
    }
    // Frees every node.
    void release() {
        m_used = 0;
        m_chunks.clear();
    }

private:
    static constexpr std::size_t kChunk = 256;
    static constexpr std::size_t kKeep = 48;
    std::vector<std::vector<XMLNode>> m_chunks;  // each reserved once, never grown past kChunk
    std::size_t m_used = 0;
};

// Xerces makes and frees a reader of some 160 KiB for every document; under a
// checking allocator each such block is a fresh mapping, zeroed page by page.
// The big blocks a parse frees are kept, by exact size, for the next parse of
// the same parser.
class KeptBlocks final : public xc::MemoryManager {
public:
    KeptBlocks() = default;
    KeptBlocks(const KeptBlocks&) = delete;
    KeptBlocks& operator=(const KeptBlocks&) = delete;
    ~KeptBlocks() override { release(); }

    xc::MemoryManager* getExceptionMemoryManager() override { return xc::XMLPlatformUtils::fgMemoryManager; }

    void* allocate(XMLSize_t size) override {
        if (size >= kKeepFrom)
            for (std::size_t i = 0; i < m_count; ++i)
                if (m_kept[i].size == size) {
                    void* base = m_kept[i].base;
                    m_kept[i] = m_kept[--m_count];
                    return static_cast<char*>(base) + kHeader;
                }
        void* base = nullptr;
        try {
            base = ::operator new(size + kHeader);
        } catch (const std::bad_alloc&) {
            throw xc::OutOfMemoryException();  // what the scanner expects of its manager
        }
        *static_cast<XMLSize_t*>(base) = size;
        return static_cast<char*>(base) + kHeader;
    }

    void deallocate(void* p) override {
        if (!p) return;
        void* base = static_cast<char*>(p) - kHeader;
        const XMLSize_t size = *static_cast<XMLSize_t*>(base);
        if (size >= kKeepFrom && size <= kKeepUpTo && m_count < kKeep) {
            m_kept[m_count++] = {base, size};
            return;
        }
        ::operator delete(base);
    }

    // Frees the blocks kept.
    void release() {
        while (m_count > 0) ::operator delete(m_kept[--m_count].base);
    }

private:
    static constexpr std::size_t kHeader = alignof(std::max_align_t);  // holds the size, keeps alignment
    static constexpr XMLSize_t kKeepFrom = 16u << 10;
    static constexpr XMLSize_t kKeepUpTo = 1u << 20;
    static constexpr std::size_t kKeep = 8;
    struct Block {
        void* base;
        XMLSize_t size;
    };
    Block m_kept[kKeep] = {};
    std::size_t m_count = 0;
};

}  // namespace

struct SAXToNodeParser::State final : public xc::DefaultHandler {
    NodeArena arena;
    KeptBlocks blocks;  // declared before the reader, which allocates from it
    // Attribute entries a reused node keeps for the next parse; one that held
    // more lets them go, so kept nodes stay small whatever came before.
    static constexpr std::size_t kKeepAttrs = 64;
    static constexpr std::size_t kInsertionSortUpTo = 16;
    std::vector<XMLNode*> open;      // elements started and not yet ended
    XMLNode* root = nullptr;
    const xc::Locator* locator = nullptr;
    std::uint64_t lastLine = 1, lastCol = 1;
    std::unique_ptr<xc::SAX2XMLReader> reader;
    std::size_t lastDocumentBytes = 0;
    std::size_t elements = 0;

    void reset() {
        elements = 0;
        arena.clear();
        open.clear();
        root = nullptr;
        lastLine = lastCol = 1;
    }

    XMLNode& newNode() {
        bool reused = false;
        XMLNode& node = arena.make(reused);
        if (reused) {
            node.m_name.clear();
            node.m_text.clear();
            node.m_children.clear();
            node.m_line = 0;
            XMLAttributes& attrs = node.m_attrs;
            attrs.m_order.clear();
            if (attrs.m_entries.size() > kKeepAttrs) {
                attrs.m_entries.clear();
                attrs.m_entries.shrink_to_fit();
                attrs.m_order.shrink_to_fit();
            }
        }
        return node;
    }

    // The element's attributes, written over the entries the node kept, and
    // their name order; the first of two of one name stays (the scanner
    // refuses such a pair anyway).
    static void setAttrs(XMLAttributes& to, const xc::Attributes& attrs) {
        const XMLSize_t n = attrs.getLength();
        auto& entries = to.m_entries;
        auto& order = to.m_order;
        if (entries.size() < n) entries.resize(n);
        order.resize(n);
        for (XMLSize_t i = 0; i < n; ++i) {
            XMLAttributes::value_type& e = entries[i];
            e.first.clear();
            appendUtf8(e.first, attrs.getQName(i), std::string::npos);
            e.second.clear();
            appendUtf8(e.second, attrs.getValue(i), std::string::npos);
            order[i] = static_cast<std::uint32_t>(i);
        }
        const auto before = [&](std::uint32_t a, std::uint32_t b) { return entries[a].first < entries[b].first; };
        if (n <= kInsertionSortUpTo) {
            // Few attributes, as in every request: in place, no buffer.
            for (std::size_t i = 1; i < n; ++i) {
                const std::uint32_t at = order[i];
                std::size_t j = i;
                for (; j > 0 && before(at, order[j - 1]); --j) order[j] = order[j - 1];
                order[j] = at;
            }
        } else {
            std::stable_sort(order.begin(), order.end(), before);
        }
        order.erase(std::unique(order.begin(), order.end(),
                                [&](std::uint32_t a, std::uint32_t b) { return entries[a].first == entries[b].first; }),
                    order.end());
    }

    [[noreturn]] void refuse(const std::string& message) {
        if (locator) {
            lastLine = locator->getLineNumber();
            lastCol = locator->getColumnNumber();
        }
        throw Refusal{lastLine, lastCol, message};
    }

    void makeReader() {
        std::unique_ptr<xc::SAX2XMLReader> r(xc::XMLReaderFactory::createXMLReader(&blocks));
        r->setFeature(xc::XMLUni::fgSAX2CoreValidation, false);
        r->setFeature(xc::XMLUni::fgSAX2CoreNameSpaces, false);
        r->setFeature(xc::XMLUni::fgXercesDynamic, false);
        r->setFeature(xc::XMLUni::fgXercesSchema, false);
        r->setFeature(xc::XMLUni::fgXercesLoadSchema, false);
        r->setFeature(xc::XMLUni::fgXercesSchemaFullChecking, false);
        r->setFeature(xc::XMLUni::fgXercesIdentityConstraintChecking, false);
        r->setFeature(xc::XMLUni::fgXercesLoadExternalDTD, false);
        r->setFeature(xc::XMLUni::fgXercesSkipDTDValidation, true);
        r->setFeature(xc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
        r->setFeature(xc::XMLUni::fgXercesCacheGrammarFromParse, false);
        r->setFeature(xc::XMLUni::fgXercesUseCachedGrammarInParse, false);
        r->setFeature(xc::XMLUni::fgXercesContinueAfterFatalError, false);
        r->setContentHandler(this);
        r->setErrorHandler(this);
        r->setLexicalHandler(this);
        r->setDTDHandler(this);
        r->setDeclarationHandler(this);
        r->setEntityResolver(this);
        reader = std::move(r);
    }

    // -- ContentHandler
    void setDocumentLocator(const xc::Locator* const l) override { locator = l; }
    void startDocument() override {}
    void endDocument() override {}
    void ignorableWhitespace(const XMLCh* const, const XMLSize_t) override {}
    void processingInstruction(const XMLCh* const, const XMLCh* const) override {}

    void startElement(const XMLCh* const, const XMLCh* const, const XMLCh* const qname,
                      const xc::Attributes& attrs) override {
        if (open.size() >= static_cast<std::size_t>(kMaxDepth))
            refuse("elements are nested deeper than " + std::to_string(kMaxDepth) + " levels");
        if (++elements > kMaxElements)
            refuse("the document has more than " + std::to_string(kMaxElements) + " elements");
        XMLNode& node = newNode();
        appendUtf8(node.m_name, qname, std::string::npos);
        if (locator) {
            lastLine = locator->getLineNumber();
            lastCol = locator->getColumnNumber();
        }
        node.m_line = lastLine > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX
                                                                      : static_cast<int>(lastLine);
        setAttrs(node.m_attrs, attrs);
        if (open.empty())
            root = &node;
        else
            open.back()->m_children.push_back(&node);
        open.push_back(&node);
    }

    void endElement(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
        if (!open.empty()) open.pop_back();
    }

    void characters(const XMLCh* const chars, const XMLSize_t length) override {
        if (!open.empty()) appendUtf8(open.back()->m_text, chars, length);
    }

    // -- LexicalHandler: no DTD of any kind, so no entity but the predefined.
    void startDTD(const XMLCh* const, const XMLCh* const, const XMLCh* const) override {
        refuse("DOCTYPE is not allowed");
    }
    void startEntity(const XMLCh* const) override { refuse("entity references are not allowed"); }

    // -- EntityResolver: nothing external is ever read.
    xc::InputSource* resolveEntity(const XMLCh* const, const XMLCh* const) override {
        refuse("external entities are not allowed");
    }

    // -- ErrorHandler: every error ends the parse (the default ignores
    // recoverable errors and would let a broken tree through).
    void error(const xc::SAXParseException& e) override { throw e; }
    void fatalError(const xc::SAXParseException& e) override { throw e; }
    void warning(const xc::SAXParseException&) override {}
};

namespace {
// A parser is made per request; the last one's state (with its reader) is kept
// for the next on the same thread, which spares building a reader and keeps
// its buffers and the arena's chunks warm. The slot is a plain pointer, so a
// parser destroyed after the thread's own destructors (a static one, at exit)
// still finds it usable; it then frees its state itself.
constexpr std::size_t kKeepReaderBytes = 4u << 20;
thread_local SAXToNodeParser::State* t_spare = nullptr;
thread_local bool t_spareClosed = false;
struct SpareKeeper {
    ~SpareKeeper();
};
thread_local SpareKeeper t_spareKeeper;
}  // namespace

SAXToNodeParser::SAXToNodeParser() {
    if (t_spare) {
        m_state.reset(t_spare);
        t_spare = nullptr;
    } else {
        m_state = std::make_unique<State>();
    }
}

SAXToNodeParser::~SAXToNodeParser() {
    if (!m_state) return;
    m_state->reset();
    // The reader keeps its buffers at the size of the largest text it met, the
    // tree those of its nodes: after a document past a few megabytes, a
    // thread should not hold on to them.
    if (m_state->lastDocumentBytes > kKeepReaderBytes) {
        m_state->reader.reset();
        m_state->blocks.release();
        m_state->arena.release();
    }
    if (!t_spare && !t_spareClosed) {
        (void)&t_spareKeeper;  // registers the keeper's destructor for this thread
        t_spare = m_state.release();
    }
}

namespace {
SpareKeeper::~SpareKeeper() {
    delete t_spare;
    t_spare = nullptr;
    t_spareClosed = true;
}
}  // namespace

const XMLNode& SAXToNodeParser::parseString(const std::string& text) {
    State& st = *m_state;
    st.reset();
    st.lastDocumentBytes = text.size();
    if (text.empty()) throw DomException(where(1, 1, "the request is empty"));
    if (text.size() > kMaxDocumentBytes)
        throw DomException(where(1, 1,
                                 "the request is larger than " +
                                     std::to_string(kMaxDocumentBytes) + " bytes"));
    if (const std::size_t bad = findBadByte(text); bad != std::string::npos) {
        std::size_t line, col;
        positionOf(text, bad, line, col);
        throw DomException(where(line, col,
                                 text[bad] == '\0' ? "NUL character is not allowed"
                                                   : "bytes that are not valid UTF-8"));
    }

    if (const std::size_t doctype = findDoctype(text); doctype != std::string::npos) {
        std::size_t line, col;
        positionOf(text, doctype, line, col);
        throw DomException(where(line, col, "DOCTYPE is not allowed"));
    }

    if (!isXml10(text)) throw DomException(where(1, 1, "only XML 1.0 documents are accepted"));

    std::string failure;
    bool keepReader = true;  // Xerces resets a scan that throws, all but out of memory
    try {
        initXerces();
        if (!st.reader) st.makeReader();
        xc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()), text.size(),
                                     u"request", false);
        // Whatever the declaration says: the wire is UTF-8.
        source.setEncoding(xc::XMLUni::fgUTF8EncodingString);
        source.setCopyBufToStream(false);  // `text` outlives the parse: no copy of the document
        st.locator = nullptr;
        st.reader->parse(source);
        st.locator = nullptr;
        if (!st.root) failure = where(st.lastLine, st.lastCol, "the request has no root element");
    } catch (const Refusal& r) {
        failure = where(r.line, r.col, r.message);
    } catch (const xc::SAXParseException& e) {
        failure = where(e.getLineNumber(), e.getColumnNumber(), toUtf8(e.getMessage()));
    } catch (const xc::XMLException& e) {  // TranscodingException and the other scanner errors
        failure = where(st.lastLine, st.lastCol, toUtf8(e.getMessage()));
    } catch (const xc::SAXException& e) {
        failure = where(st.lastLine, st.lastCol, toUtf8(e.getMessage()));
    } catch (const xc::OutOfMemoryException&) {
        failure = where(st.lastLine, st.lastCol, "out of memory");
        keepReader = false;
    } catch (const std::bad_alloc&) {
        failure = where(st.lastLine, st.lastCol, "out of memory");
        keepReader = false;
    } catch (const std::exception& e) {
        failure = where(st.lastLine, st.lastCol, e.what());
        keepReader = false;
    } catch (...) {
        failure = where(st.lastLine, st.lastCol, "the request cannot be parsed");
        keepReader = false;
    }
    if (!failure.empty()) {
        // No half-built tree. The reader stays for the next document when the
        // scan was ended cleanly (a refusal, or an error Xerces reported): it
        // resets itself on the way out and again before the next scan.
        st.locator = nullptr;
        if (!keepReader) st.reader.reset();
        st.reset();
        throw DomException(std::move(failure));
    }
    return *st.root;
}

// ---------------------------------------------------------------------------
// XmlStream

namespace {

// Byte classes for escaping.
enum : unsigned char { kSafe = 0, kEntity = 1, kBad = 2, kMulti = 3 };

struct EscapeTable {
    unsigned char cls[256];
    const char* entity[128] = {};
    constexpr EscapeTable() : cls() {
        for (int b = 0; b < 256; ++b)
            cls[b] = b < 0x20 ? kBad : b < 0x80 ? kSafe : kMulti;
        entity[static_cast<int>('&')] = "&amp;";
        entity[static_cast<int>('<')] = "&lt;";
        entity[static_cast<int>('>')] = "&gt;";
        entity[static_cast<int>('"')] = "&quot;";
        // Escaped so attribute-value normalisation cannot turn them into spaces.
        entity[static_cast<int>('\t')] = "&#9;";
        entity[static_cast<int>('\n')] = "&#10;";
        entity[static_cast<int>('\r')] = "&#13;";
        for (int b : {'&', '<', '>', '"', '\t', '\n', '\r'}) cls[b] = kEntity;
    }
};
constexpr EscapeTable kEscape;
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

inline void putRaw(std::streambuf* sb, const char* s, std::size_t n) {
    sb->sputn(s, static_cast<std::streamsize>(n));
}

}  // namespace

XmlStream::XmlStream() = default;
XmlStream::~XmlStream() = default;

void XmlStream::escape(std::ostream& out, std::string_view value) {
    std::streambuf* const sb = out.rdbuf();
    if (!sb) {
        out.setstate(std::ios_base::badbit);
        return;
    }
    const auto* const begin = reinterpret_cast<const unsigned char*>(value.data());
    const auto* const end = begin + value.size();
    const auto* run = begin;  // start of the pending run of bytes written as they are
    const auto* p = begin;
    while (p < end) {
        const unsigned char c = *p;
        const unsigned char cls = kEscape.cls[c];
        if (cls == kSafe) {
            ++p;
            continue;
        }
        if (cls == kMulti) {
            std::uint32_t cp;
            std::size_t skip;
            const std::size_t len = decodeUtf8(p, end, cp, skip);
            if (len != 0 && cp != 0xFFFE && cp != 0xFFFF) {
                p += len;
                continue;
            }
            if (len != 0) skip = len;
            putRaw(sb, reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            putRaw(sb, kReplacement, 3);
            p += skip;
            run = p;
            continue;
        }
        putRaw(sb, reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
        if (cls == kEntity) {
            const char* e = kEscape.entity[c];
            putRaw(sb, e, std::char_traits<char>::length(e));
        } else {
            putRaw(sb, kReplacement, 3);
        }
        ++p;
        run = p;
    }
    putRaw(sb, reinterpret_cast<const char*>(run), static_cast<std::size_t>(end - run));
}

void XmlStream::closeStartTag() {
    if (m_startTagOpen) {
        rdbuf()->sputc('>');
        m_startTagOpen = false;
    }
}

void XmlStream::startElement(std::string_view name) {
    closeStartTag();
    std::streambuf* const sb = rdbuf();
    sb->sputc('<');
    putRaw(sb, name.data(), name.size());
    m_open.emplace_back(name);
    m_startTagOpen = true;
}

void XmlStream::attribute(std::string_view name, std::string_view value) {
    // Only inside a start tag: anywhere else it would break the document.
    if (!m_startTagOpen) return;
    std::streambuf* const sb = rdbuf();
    sb->sputc(' ');
    putRaw(sb, name.data(), name.size());
    putRaw(sb, "=\"", 2);
    escape(*this, value);
    sb->sputc('"');
}

void XmlStream::text(std::string_view value) {
    if (m_open.empty()) return;
    closeStartTag();
    escape(*this, value);
}

void XmlStream::endElement() {
    if (m_open.empty()) return;
    std::streambuf* const sb = rdbuf();
    if (m_startTagOpen) {
        putRaw(sb, "/>", 2);
        m_startTagOpen = false;
    } else {
        putRaw(sb, "</", 2);
        const std::string& name = m_open.back();
        putRaw(sb, name.data(), name.size());
        sb->sputc('>');
    }
    m_open.pop_back();
}

// ---------------------------------------------------------------------------
// VlStrX

VlStrX::VlStrX(const char16_t* text) : m_text(toUtf8(text)) {}

}  // namespace Velmora::Soa::Common::Xml
