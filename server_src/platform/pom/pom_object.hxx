#pragma once
// Loaded objects: what Tag::object hands out. A loaded object is a view of
// one stored object; the store owns it and keeps it until the next fixture
// load or reset. Every member reads or writes the store, so a view of an
// object that has since been deleted fails cleanly. The libraries above the
// store derive the loaded form of their classes from POMObject.
#include "foundation/ifail.hxx"
#include "pom/pom_types.hxx"
#include "tag/pom_tag.hxx"

#include <string>

class POMObject {
public:
    explicit POMObject(tag_t tag) : m_tag(tag) {}
    virtual ~POMObject() = default;
    POMObject(const POMObject&) = delete;
    POMObject& operator=(const POMObject&) = delete;

    static const char* pomClassName() { return "POMObject"; }

    tag_t tag() const { return m_tag; }
    // The object's class is `className` or derives from it.
    virtual bool isA(const char* className) const;
    // Name of the object's own class ("" when the object is gone).
    std::string className() const;
    // Open for change (locked) in this session.
    bool isModifiable() const;
    // Saves the object; with unlock = 1 also releases it.
    status_t save(int unlock = 0);
    status_t lock();
    status_t unlock();

private:
    tag_t m_tag;
};
