#pragma once
// Typed reference to a persistent object: its tag and the loaded object,
// fetched on first use.
#include "foundation/ifail.hxx"
#include "tag/tag.hxx"

template <class T>
class POMRef {
public:
    POMRef() = default;
    POMRef(const Tag& tag) : m_tag(tag) {}
    POMRef(unsigned int tag) : m_tag(tag) {}
    POMRef(const POMRef& other) : m_tag(other.m_tag), m_object(other.m_object) {}
    POMRef& operator=(const POMRef& other) {
        if (this != &other) {
            m_object = other.m_object;
            m_tag = other.m_tag;
        }
        return *this;
    }
    ~POMRef() = default;

    const Tag& tag() const { return m_tag; }
    unsigned int value() const { return m_tag.value(); }
    bool isNull() const { return m_tag.isNull(); }
    // The cached object, null until fetched.
    T* cached() const { return m_object; }

    // Fetches on first use; throws a default IFail when the object cannot be
    // loaded as a T.
    T* operator->() const { return fetch(); }
    T& operator*() const { return *fetch(); }

    friend bool operator<(const POMRef& a, const POMRef& b) { return a.m_tag.value() < b.m_tag.value(); }
    friend bool operator==(const POMRef& a, const POMRef& b) { return a.m_tag.value() == b.m_tag.value(); }

private:
    T* fetch() const {
        if (!m_object) {
            status_t s = m_tag.object(T::pomClassName(), &m_object);
            if (s != status_t::OK) throw IFail();
        }
        return m_object;
    }

    Tag m_tag;
    mutable T* m_object = nullptr;
};
