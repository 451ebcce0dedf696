#pragma once
// Declares a wire type once; its body, accessors, parse, outputXML and clone
// are all expanded from one field list:
//
//   #define VL_WIRE_FIELDS_RefId(F, O, A) F(std::string, Uid)
//   VL_WIRE_DECLARE(RefId)        // in the header, inside the namespace
//   VL_WIRE_DEFINE(RefId)         // in one source, inside the namespace
//
// F(type, Name) is a plain field, O(type, Name) an optional one (with a flag
// telling whether it is set), A(type, Stem) an array. Types are std::string,
// int, bool, double or another wire type. See wire_io.hxx for the XML form.
#include "soa_framework/wire/handle.hxx"
#include "soa_framework/wire/wire_io.hxx"

#include <string>
#include <utility>
#include <vector>

// Body members.
#define VL_WIRE_MEMBER_F(T, N) T m_##N{};
#define VL_WIRE_MEMBER_O(T, N) \
    T m_##N{};                 \
    bool m_##N##Set = false;
#define VL_WIRE_MEMBER_A(T, N) std::vector<T> m_##N;

// Body accessors. Setters take their value by copy, so a temporary is moved
// in.
#define VL_WIRE_BODY_ACCESS_F(T, N)           \
    T& get##N() { return m_##N; }             \
    const T& get##N() const { return m_##N; } \
    void set##N(T value) { m_##N = std::move(value); }
#define VL_WIRE_BODY_ACCESS_O(T, N)                    \
    T& get##N() { return m_##N; }                      \
    const T& get##N() const { return m_##N; }          \
    void set##N(T value) {                             \
        m_##N = std::move(value);                      \
        m_##N##Set = true;                             \
    }                                                  \
    bool is##N##Set() const { return m_##N##Set; }     \
    void setIs##N##Set(bool isSet) { m_##N##Set = isSet; }
#define VL_WIRE_BODY_ACCESS_A(T, N)                                        \
    const std::vector<T>& get##N##Array() const { return m_##N; }         \
    std::vector<T>& get##N##Array() { return m_##N; }                     \
    void set##N##Array(std::vector<T> values) { m_##N = std::move(values); } \
    void add##N(T value) { m_##N.push_back(std::move(value)); }

// Wrapper accessors: forward to the body.
#define VL_WIRE_FWD_F(T, N)                                        \
    T& get##N() { return getHandleObject().get##N(); }             \
    const T& get##N() const { return getHandleObject().get##N(); } \
    void set##N(T value) { getHandleObject().set##N(std::move(value)); }
#define VL_WIRE_FWD_O(T, N)                                                   \
    VL_WIRE_FWD_F(T, N)                                                       \
    bool is##N##Set() const { return getHandleObject().is##N##Set(); }        \
    void setIs##N##Set(bool isSet) { getHandleObject().setIs##N##Set(isSet); }
#define VL_WIRE_FWD_A(T, N)                                                                       \
    const std::vector<T>& get##N##Array() const { return getHandleObject().get##N##Array(); }     \
    void set##N##Array(std::vector<T> values) { getHandleObject().set##N##Array(std::move(values)); } \
    void add##N(T value) { getHandleObject().add##N(std::move(value)); }

// Reading attributes (scalar fields) and children (wire fields, arrays).
#define VL_WIRE_ATTR_F(T, N) \
    if (::vl::wire::nameIs(key, #N) && ::vl::wire::readAttribute(node, key, text, m_##N)) continue;
#define VL_WIRE_ATTR_O(T, N)                                                                  \
    if (::vl::wire::nameIs(key, #N) && ::vl::wire::readAttribute(node, key, text, m_##N)) { \
        m_##N##Set = true;                                                                    \
        continue;                                                                             \
    }
#define VL_WIRE_ATTR_A(T, N)
#define VL_WIRE_CHILD_F(T, N) \
    if (::vl::wire::nameIs(child->name(), #N) && ::vl::wire::readChild(*child, m_##N, seen_##N)) continue;
#define VL_WIRE_CHILD_O(T, N)                                                                      \
    if (::vl::wire::nameIs(child->name(), #N) && ::vl::wire::readChild(*child, m_##N, seen_##N)) { \
        m_##N##Set = true;                                                                         \
        continue;                                                                                  \
    }
#define VL_WIRE_CHILD_A(T, N)                         \
    if (::vl::wire::nameIs(child->name(), #N)) {      \
        ::vl::wire::readEntry(*child, m_##N);         \
        continue;                                     \
    }
#define VL_WIRE_SEEN_F(T, N) [[maybe_unused]] int seen_##N = 0;
#define VL_WIRE_SEEN_O(T, N) VL_WIRE_SEEN_F(T, N)
#define VL_WIRE_SEEN_A(T, N)

// Writing: attributes first, then children.
#define VL_WIRE_OUT_ATTR_F(T, N)                                        \
    {                                                                   \
        static const std::string name = ::vl::wire::xmlName(#N);       \
        ::vl::wire::writeAttribute(out, name, m_##N, buffer);           \
    }
#define VL_WIRE_OUT_ATTR_O(T, N)                                        \
    if (m_##N##Set) {                                                   \
        static const std::string name = ::vl::wire::xmlName(#N);       \
        ::vl::wire::writeAttribute(out, name, m_##N, buffer);           \
    }
#define VL_WIRE_OUT_ATTR_A(T, N)
// A child or the entries of an array, written by `write` (writeChild,
// writeEntries, or their draining forms).
#define VL_WIRE_CHILD_WITH(write, N)                                    \
    {                                                                   \
        static const std::string name = ::vl::wire::xmlName(#N);       \
        ::vl::wire::write(out, name, m_##N);                            \
    }
#define VL_WIRE_OUT_CHILD_F(T, N) VL_WIRE_CHILD_WITH(writeChild, N)
#define VL_WIRE_OUT_CHILD_O(T, N) \
    if (m_##N##Set) VL_WIRE_CHILD_WITH(writeChild, N)
#define VL_WIRE_OUT_CHILD_A(T, N) VL_WIRE_CHILD_WITH(writeEntries, N)

// Draining: written as above, and every part held by nothing else let go
// of as soon as it is written.
#define VL_WIRE_DRAIN_CHILD_F(T, N) VL_WIRE_CHILD_WITH(drainChild, N)
#define VL_WIRE_DRAIN_CHILD_O(T, N) \
    if (m_##N##Set) VL_WIRE_CHILD_WITH(drainChild, N)
#define VL_WIRE_DRAIN_CHILD_A(T, N) VL_WIRE_CHILD_WITH(drainEntries, N)

#define VL_WIRE_DECLARE(X)                                                                   \
    class X##Impl : public ::Velmora::Soa::Common::Xml::BaseObject {                          \
    public:                                                                                  \
        X##Impl() = default;                                                                 \
        X##Impl(const X##Impl&) = default;                                                   \
        ::Velmora::Soa::Common::Xml::BaseObject* reallyClone() const override {              \
            return new X##Impl(*this);                                                       \
        }                                                                                    \
        VL_WIRE_FIELDS_##X(VL_WIRE_BODY_ACCESS_F, VL_WIRE_BODY_ACCESS_O, VL_WIRE_BODY_ACCESS_A) \
        void parse(const ::Velmora::Soa::Common::Xml::XMLNode& node);                       \
        void outputXML(::Velmora::Soa::Common::Xml::XmlStream& out,                          \
                       const std::string& elementName) const;                                \
        void drainXML(::Velmora::Soa::Common::Xml::XmlStream& out, const std::string& elementName); \
                                                                                             \
    protected:                                                                               \
        ~X##Impl() override = default;                                                       \
                                                                                             \
    private:                                                                                 \
        VL_WIRE_FIELDS_##X(VL_WIRE_MEMBER_F, VL_WIRE_MEMBER_O, VL_WIRE_MEMBER_A)             \
    };                                                                                       \
    class X : public ::Velmora::Soa::Common::Xml::Handle<X##Impl> {                          \
    public:                                                                                  \
        using Impl = X##Impl;                                                                \
        static constexpr const char* typeName() { return #X; }                             \
        X() : ::Velmora::Soa::Common::Xml::Handle<X##Impl>(new X##Impl) {}                  \
        X(const X&) = default;                                                               \
        X& operator=(const X& other) {                                                       \
            ::Velmora::Soa::Common::Xml::Handle<X##Impl>::operator=(other);                  \
            m_wireFlags = other.m_wireFlags;                                                 \
            return *this;                                                                    \
        }                                                                                    \
        ~X() override = default;                                                             \
        /* A new object with a copy of the body (array entries still shared). */             \
        X clone() const { return X(cloneBody(), m_wireFlags); }                              \
        VL_WIRE_FIELDS_##X(VL_WIRE_FWD_F, VL_WIRE_FWD_O, VL_WIRE_FWD_A)                      \
        void parse(const ::Velmora::Soa::Common::Xml::XMLNode& node) {                       \
            getHandleObject().parse(node);                                                   \
        }                                                                                    \
        void outputXML(::Velmora::Soa::Common::Xml::XmlStream& out,                          \
                       const std::string& elementName) const {                               \
            getHandleObject().outputXML(out, elementName);                                   \
        }                                                                                    \
        /* Writes as outputXML does; a body this handle alone holds is emptied on the way,  \
           each part it alone holds freed once written (a large reply is let go of while    \
           it is still in the cache, and never lies beside its whole text). */               \
        void drainXML(::Velmora::Soa::Common::Xml::XmlStream& out, const std::string& elementName) { \
            if (get()->askRefCount() == 1)                                                   \
                getHandleObject().drainXML(out, elementName);                                \
            else                                                                             \
                getHandleObject().outputXML(out, elementName);                               \
        }                                                                                    \
                                                                                             \
    private:                                                                                 \
        X(X##Impl* body, int flags)                                                          \
            : ::Velmora::Soa::Common::Xml::Handle<X##Impl>(body), m_wireFlags(flags) {}      \
        int m_wireFlags = 0;                                                                 \
    };

#define VL_WIRE_DEFINE(X)                                                                    \
    void X##Impl::parse(const ::Velmora::Soa::Common::Xml::XMLNode& node) {                  \
        for (const auto& [key, text] : node.attrs()) {                                       \
            if (::vl::wire::isNamespaceDeclaration(key)) continue;                           \
            VL_WIRE_FIELDS_##X(VL_WIRE_ATTR_F, VL_WIRE_ATTR_O, VL_WIRE_ATTR_A)               \
            ::vl::wire::fail(node, "unknown attribute '" + key + "'");                       \
        }                                                                                    \
        VL_WIRE_FIELDS_##X(VL_WIRE_SEEN_F, VL_WIRE_SEEN_O, VL_WIRE_SEEN_A)                   \
        for (const ::Velmora::Soa::Common::Xml::XMLNode* child : node.children()) {          \
            VL_WIRE_FIELDS_##X(VL_WIRE_CHILD_F, VL_WIRE_CHILD_O, VL_WIRE_CHILD_A)            \
            ::vl::wire::fail(*child, "unexpected element in <" + node.name() + ">");         \
        }                                                                                    \
    }                                                                                        \
    void X##Impl::outputXML(::Velmora::Soa::Common::Xml::XmlStream& out,                     \
                            const std::string& elementName) const {                          \
        [[maybe_unused]] std::string buffer;                                                 \
        out.startElement(elementName);                                                       \
        VL_WIRE_FIELDS_##X(VL_WIRE_OUT_ATTR_F, VL_WIRE_OUT_ATTR_O, VL_WIRE_OUT_ATTR_A)       \
        VL_WIRE_FIELDS_##X(VL_WIRE_OUT_CHILD_F, VL_WIRE_OUT_CHILD_O, VL_WIRE_OUT_CHILD_A)    \
        out.endElement();                                                                    \
    }                                                                                        \
    void X##Impl::drainXML(::Velmora::Soa::Common::Xml::XmlStream& out, const std::string& elementName) { \
        [[maybe_unused]] std::string buffer;                                                 \
        out.startElement(elementName);                                                       \
        VL_WIRE_FIELDS_##X(VL_WIRE_OUT_ATTR_F, VL_WIRE_OUT_ATTR_O, VL_WIRE_OUT_ATTR_A)       \
        VL_WIRE_FIELDS_##X(VL_WIRE_DRAIN_CHILD_F, VL_WIRE_DRAIN_CHILD_O, VL_WIRE_DRAIN_CHILD_A) \
        out.endElement();                                                                    \
    }
