#pragma once
// Classification: the classification view of a business type whose class is
// a classification class ("icm0"), which describes all its attributes at once.
#include "pom/pom_types.hxx"

class ICSICO {
public:
    explicit ICSICO(tag_t type) : m_type(type) {}
    ICSICO(const ICSICO&) = delete;
    ICSICO& operator=(const ICSICO&) = delete;
    virtual ~ICSICO() = default;

    // The type's attribute properties, in declaration order, with their
    // descriptor settings: name, display name, value type, list of values
    // (null tag when none), modifiable (1/0), array (1/0) and maximum length.
    // Each of the seven arrays is one SM block; in the two name arrays every
    // string is a block of its own too. Fails (nothing returned) for a tag
    // that is no type and for a type whose class is not "icm0".
    int getAllPropertyDescriptions(int* count, char*** names, char*** displayNames, int** valueTypes,
                                   tag_t** lovTags, int** modifiable, int** isArray, int** maxLengths) const;

private:
    tag_t m_type;
};
