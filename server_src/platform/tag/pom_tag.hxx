#pragma once
// A reference attribute of a loaded object: reads and assigns the tag that
// one attribute of one stored object holds.
#include "foundation/ifail.hxx"

#include <string>

class POMTag {
public:
    POMTag() = default;
    POMTag(unsigned int owner, std::string attribute) : m_owner(owner), m_attribute(std::move(attribute)) {}

    unsigned int tag() const;  // the null tag when unset or unreadable
    operator unsigned int() const { return tag(); }
    // Sets the attribute (the owner needs no lock; it stays unsaved until saved).
    status_t assign(unsigned int value);

private:
    unsigned int m_owner = 0;
    std::string m_attribute;
};
