#pragma once
#include "foundation/ifail.hxx"
#include "pom/pom_object.hxx"

class POMObject;

// Handle of a persistent object: an unsigned 32-bit value, 0 being the null
// tag. Tags are never reused.
class Tag {
public:
    constexpr Tag() = default;
    constexpr Tag(unsigned int value) : m_value(value) {}
    constexpr operator unsigned int() const { return m_value; }
    constexpr unsigned int value() const { return m_value; }
    constexpr bool isNull() const { return m_value == 0; }

    // Zero when the tag names a live object, non-zero otherwise (null included).
    static int isValid(unsigned int tag);

    // The loaded object; the pointer is left null (and an error stored) when
    // the tag names no live object.
    status_t object(POMObject** out) const;
    // As above, and fails unless the object is of `className` or derives from
    // it. The void* is the object's POMObject* (single inheritance: callers may
    // cast it to the class they asked for).
    status_t object(const char* className, void** out) const;
    // Typed form: fails also when the loaded object is not a T.
    template <class T>
    status_t object(const char* className, T** out) const;

private:
    static status_t objectWrongType();  // stores the wrong-class error
    unsigned int m_value = 0;
};

inline constexpr unsigned int NULLTAG = 0;

template <class T>
status_t Tag::object(const char* className, T** out) const {
    void* raw = nullptr;
    status_t s = object(className, &raw);
    if (out) *out = nullptr;
    if (s != status_t::OK) return s;
    T* typed = dynamic_cast<T*>(static_cast<POMObject*>(raw));
    if (!typed) return objectWrongType();
    if (out) *out = typed;
    return s;
}
