#pragma once
// Loaded objects: what Tag::object hands out. A loaded object is a view of
// one stored object; the store owns it and keeps it until the next fixture
// load or reset. Every member reads or writes the store, so a view of an
// object that has since been deleted fails cleanly.
#include "foundation/ifail.hxx"
#include "foundation/vl_string.hxx"
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

class WorkspaceObject : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "WorkspaceObject"; }
    std::string name() const;  // "object_name"
    tag_t typeTag() const;     // the business type
    std::string typeName() const;
    tag_t owningUser() const;
    tag_t owningGroup() const;
};

class Folder : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "Folder"; }
};

class Form : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "Form"; }
};

class OstraItemP : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "Item"; }
    std::string itemId() const;
    // The revision made last; status OK with the null tag when none.
    status_t askLatestRev(unsigned int* revision) const;
};

class OstraItemRevP : public WorkspaceObject {
public:
    using WorkspaceObject::WorkspaceObject;
    static const char* pomClassName() { return "ItemRevision"; }
    std::string revisionId() const;
    tag_t item() const;
};

class OstraFile : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "OstraFile"; }
    std::string originalFileName() const;
};

class UnitOfMeasure : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "UnitOfMeasure"; }
    std::string symbol() const;
    status_t askSymbol(String& symbol) const;
};

// Loaded view of one relation.
class OstraRelation : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "Relation"; }
    tag_t primary() const;
    tag_t secondary() const;
    tag_t relationType() const;
    tag_t userData() const;
};
