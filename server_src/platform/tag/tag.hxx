#pragma once
#include "foundation/ifail.hxx"

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
    // As above, and fails unless the object is of `className` or derives from it.
    status_t object(const char* className, void** out) const;

private:
    unsigned int m_value = 0;
};

inline constexpr unsigned int NULLTAG = 0;
