#pragma once
// Items and their revisions. An item has a unique "item_id", its revisions in
// creation order ("revision_list"), a unit of measure ("uom_tag") and a master
// form; a revision has its "item_revision_id" (unique within the item), its
// item ("items_tag") and a master form. Master forms hang off their owner by
// the relation type "OSTRA_master_form".
#include "foundation/ifail.hxx"
#include "pom/pom_types.hxx"

#include <string>

// Master-form and revision type names of an item type (SM strings).
// ERR_TYPE_NOT_FOUND for an unknown item type, ERR_NOT_FOUND when the type
// has no such form type.
int ITEM_ask_master_form_type(const char* itemType, char** formType);
int ITEM_ask_rev_master_form_type(const char* itemType, char** formType);
int ITEM__get_revision_type_name(const char* itemType, char** revisionType);

// 0 and the null tag when there is none.
int ITEM_find_item(const char* itemId, tag_t* item);
int ITEM_find_revision(tag_t item, const char* revId, tag_t* revision);
int ITEM_list_all_revs(tag_t item, int* count, tag_t** revisions);  // creation order
int ITEM_ask_latest_rev(tag_t item, tag_t* revision);               // null when none
int ITEM_ask_item_of_rev(tag_t revision, tag_t* item);
int ITEM_ask_id(tag_t item, char** itemId);
int ITEM_ask_rev_id(tag_t revision, char** revId);
int ITEM_ask_type(tag_t item, char** itemType);

int ITEM_set_name(tag_t item, const char* name);
int ITEM_set_description(tag_t item, const char* description);
int ITEM_set_rev_name(tag_t revision, const char* name);
int ITEM_set_rev_description(tag_t revision, const char* description);

// A new revision of the revision's item, copying its name, description and
// master form (the copy is named after item id and new revision id). The new
// revision is open for change; its master form is saved and released.
int ITEM_copy_rev(tag_t revision, const char* newRevId, tag_t* newRevision);
// A new item whose first revision copies `revision` (save-as).
int ITEM_copy_item(tag_t revision, const char* newItemId, const char* newRevId, tag_t* newItem, tag_t* newRevision);
// Applies the site's deep-copy rules of `action` ("Revise", "SaveAs") for the
// source revision's relations: "reference" relates the new revision to the
// same secondary, "copy" relates it to a copy. Returns the copies made.
int ITEM_perform_deepcopy(tag_t newRevision, const char* action, tag_t sourceRevision, int* count,
                          tag_t** copies);

// Core-object holders: a tag and calls on the object it names.
class OstraObject {
public:
    OstraObject() = default;
    explicit OstraObject(unsigned int tag) : m_tag(tag) {}
    virtual ~OstraObject() = default;

    tag_t tag() const { return m_tag; }
    void setTag(tag_t tag) { m_tag = tag; }
    int save();    // AOM_save
    int lock();    // AOM_refresh(tag, 1)
    int unlock();  // AOM_refresh(tag, 0)
    // Discards unsaved changes; with lock = 1 keeps (or takes) the lock.
    int reload(int lock);

protected:
    tag_t m_tag = 0;
};

// Any application object.
class OstraAO : public OstraObject {
public:
    using OstraObject::OstraObject;
};

class OstraItemRev : public OstraObject {
public:
    using OstraObject::OstraObject;
    int setDescription(const std::string& description);
    int setName(const std::string& name);
};

class OstraItem : public OstraObject {
public:
    using OstraObject::OstraObject;

    // Creates the item of `itemType` (empty: "Item") and its first revision of
    // the type's revision type, both open for change. The master forms given
    // (not null) are attached, saved and released; no form is made here.
    // Refused, with nothing made, for an empty or duplicate item id, an empty
    // revision id, an id that breaks the type's naming rules, an unknown type
    // (ERR_TYPE_NOT_FOUND) or a type that is not an item type.
    static int create(const std::string& itemId, const std::string& name, const std::string& itemType,
                      const std::string& revId, tag_t itemMasterForm, tag_t revMasterForm, OstraItem& item,
                      OstraItemRev& revision);

    int setUnitOfMeasure(tag_t unit);
    int setDescription(const std::string& description);
    int setName(const std::string& name);
};
