// The loaded form of the store's objects and of the application classes
// this library owns, with the factories and display names it registers.
#include "aom/loaded_objects.hxx"

#include "aom/aom.hxx"
#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"

using namespace vl::platform::store;

namespace {

std::string itemRevisionName(const Object& o) {
    const Object* item = find(getTag(o, "items_tag"));
    std::string id = item ? getString(*item, "item_id") : std::string();
    return id + "/" + getString(o, "item_revision_id") + ";1-" + getString(o, "object_name");
}
std::string itemName(const Object& o) { return getString(o, "item_id") + "-" + getString(o, "object_name"); }
std::string objectName(const Object& o) { return getString(o, "object_name"); }
std::string typeName(const Object& o) { return getString(o, "type_name"); }
std::string unitSymbol(const Object& o) { return getString(o, "symbol"); }
std::string originalFileName(const Object& o) { return getString(o, "original_file_name"); }

[[maybe_unused]] const bool kRegistered =
    registerLoadedClass("WorkspaceObject", &makeLoaded<WorkspaceObject>) &&
    registerLoadedClass("Folder", &makeLoaded<Folder>) && registerLoadedClass("Form", &makeLoaded<Form>) &&
    registerLoadedClass("Item", &makeLoaded<OstraItemP>) &&
    registerLoadedClass("ItemRevision", &makeLoaded<OstraItemRevP>) &&
    registerLoadedClass("OstraFile", &makeLoaded<OstraFile>) &&
    registerLoadedClass("UnitOfMeasure", &makeLoaded<UnitOfMeasure>) &&
    registerLoadedClass("Relation", &makeLoaded<OstraRelation>) &&
    registerDisplayName("ItemRevision", &itemRevisionName) && registerDisplayName("Item", &itemName) &&
    registerDisplayName("WorkspaceObject", &objectName) && registerDisplayName("OstraType", &typeName) &&
    registerDisplayName("UnitOfMeasure", &unitSymbol) && registerDisplayName("OstraFile", &originalFileName);

}  // namespace

bool POMObject::isA(const char* className) const {
    const Object* o = find(m_tag);
    return o && className && o->cls->isA(className);
}

std::string POMObject::className() const {
    const Object* o = find(m_tag);
    return o ? o->cls->name : std::string();
}

bool POMObject::isModifiable() const {
    const Object* o = find(m_tag);
    return o && o->locked;
}

status_t POMObject::save(int unlockAfter) {
    if (int rc = AOM_save(m_tag)) return status_t(rc);
    if (unlockAfter == 1)
        if (int rc = AOM_refresh(m_tag, 0)) return status_t(rc);
    return status_t::OK;
}

status_t POMObject::lock() { return status_t(AOM_refresh(m_tag, 1)); }
status_t POMObject::unlock() { return status_t(AOM_refresh(m_tag, 0)); }

std::string WorkspaceObject::name() const {
    const Object* o = find(tag());
    return o ? getString(*o, "object_name") : std::string();
}

tag_t WorkspaceObject::typeTag() const {
    const Object* o = find(tag());
    return o ? o->type : 0;
}

std::string WorkspaceObject::typeName() const {
    const TypeDef* t = typeDef(typeTag());
    return t ? t->name : std::string();
}

tag_t WorkspaceObject::owningUser() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "owning_user") : 0;
}

tag_t WorkspaceObject::owningGroup() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "owning_group") : 0;
}

std::string OstraItemP::itemId() const {
    const Object* o = find(tag());
    return o ? getString(*o, "item_id") : std::string();
}

status_t OstraItemP::askLatestRev(unsigned int* revision) const {
    if (revision) *revision = 0;
    Object* o = nullptr;
    if (int rc = need(tag(), "Item", &o)) return status_t(rc);
    std::vector<tag_t> revs = getTags(*o, "revision_list");
    if (revision && !revs.empty()) *revision = revs.back();
    return status_t::OK;
}

std::string OstraItemRevP::revisionId() const {
    const Object* o = find(tag());
    return o ? getString(*o, "item_revision_id") : std::string();
}

tag_t OstraItemRevP::item() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "items_tag") : 0;
}

std::string OstraFile::originalFileName() const {
    const Object* o = find(tag());
    return o ? getString(*o, "original_file_name") : std::string();
}

std::string UnitOfMeasure::symbol() const {
    const Object* o = find(tag());
    return o ? getString(*o, "symbol") : std::string();
}

status_t UnitOfMeasure::askSymbol(String& symbol) const {
    if (int rc = enter("UnitOfMeasure::askSymbol", tag())) return status_t(rc);
    Object* o = nullptr;
    if (int rc = need(tag(), "UnitOfMeasure", &o)) return status_t(rc);
    symbol = String(getString(*o, "symbol"));
    return status_t::OK;
}

tag_t OstraRelation::primary() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "primary_object") : 0;
}
tag_t OstraRelation::secondary() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "secondary_object") : 0;
}
tag_t OstraRelation::relationType() const {
    const Object* o = find(tag());
    return o ? o->type : 0;
}
tag_t OstraRelation::userData() const {
    const Object* o = find(tag());
    return o ? getTag(*o, "user_data") : 0;
}
