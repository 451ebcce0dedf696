#pragma once
// The loaded form of the application classes the object model owns:
// workspace objects, folders, forms, items and revisions, files, units of
// measure and relations.
#include "foundation/ifail.hxx"
#include "foundation/vl_string.hxx"
#include "pom/pom_object.hxx"

#include <string>

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
