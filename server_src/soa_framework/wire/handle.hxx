#pragma once
// Reference-counted wire objects: every wire type is a Handle over a body
// derived from BaseObject. Copying a handle shares the body; the body goes
// with its last handle. Counts are plain integers: one thread per request.
#include <cstddef>
#include <string>
#include <utility>

namespace Velmora::Soa::Common::Xml {

template <class T>
class Handle;

class BaseObject {
public:
    BaseObject() = default;
    // The copy carries the source's count as it stands (a clone handed to a
    // new handle is reset first, see Handle::cloneBody).
    BaseObject(const BaseObject&) = default;
    BaseObject& operator=(const BaseObject&) = delete;

    int askRefCount() const { return m_refCount; }
    virtual BaseObject* reallyClone() const = 0;

    // Bodies are made and dropped by the thousand per request: each thread
    // keeps the blocks of dropped ones, by size, for the next (handle.cxx).
    static void* operator new(std::size_t size);
    static void operator delete(void* body, std::size_t size) noexcept;

protected:
    virtual ~BaseObject() = default;

private:
    template <class T>
    friend class Handle;
    void addRef() { ++m_refCount; }
    void removeRef() {
        if (--m_refCount == 0) delete this;
    }
    void resetRefCount() { m_refCount = 0; }

    std::string m_reserved;
    int m_refCount = 0;
};

template <class T>
class Handle {
public:
    Handle(const Handle& other) : m_object(other.m_object) {
        if (m_object) m_object->addRef();
    }
    // The new body is counted before the old one is released, so assigning a
    // handle reachable only through the old body (w = w.getChild()) is safe.
    Handle& operator=(const Handle& other) {
        if (m_object == other.m_object) return *this;
        T* old = m_object;
        m_object = other.m_object;
        if (m_object) m_object->addRef();
        if (old) old->removeRef();
        return *this;
    }
    virtual ~Handle() {
        if (m_object) m_object->removeRef();
    }

    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    T* get() const { return m_object; }
    bool sharesBodyWith(const Handle& other) const { return m_object == other.m_object; }

protected:
    explicit Handle(T* body) : m_object(body) {
        if (m_object) m_object->addRef();
    }
    T& getHandleObject() const { return *m_object; }
    // A deep copy of the body in a new handle; the copy's count starts afresh.
    T* cloneBody() const {
        T* copy = static_cast<T*>(m_object->reallyClone());
        copy->resetRefCount();
        return copy;
    }

private:
    T* m_object = nullptr;
};

}  // namespace Velmora::Soa::Common::Xml
