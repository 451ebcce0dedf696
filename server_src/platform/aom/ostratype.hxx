#pragma once
// Business types: every workspace object has one; a type names its POM class,
// its parent type and its property descriptors. Type names are at most
// OSTRATYPE_name_size_c (32) characters, so OSTRATYPE_ask_name and
// OSTRATYPE_ask_class_name never write more than 33 bytes.
#include "foundation/collection.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom_types.hxx"

#include <memory>
#include <string>
#include <vector>

class PropertyDescriptor;

// The type of that name whose class is `className` or derives from it;
// ERR_TYPE_NOT_FOUND otherwise.
int OSTRATYPE_find_type(const char* typeName, const char* className, tag_t* type);
int OSTRATYPE_ask_type(const char* typeName, tag_t* type);           // ERR_TYPE_NOT_FOUND when none
int OSTRATYPE_ask_type_in_cache(const char* typeName, tag_t* type);  // 0 and null when none
int OSTRATYPE_ask_object_type(tag_t object, tag_t* type);
int OSTRATYPE_ask_name(tag_t type, char name[OSTRATYPE_name_size_c + 1]);
int OSTRATYPE_ask_name2(tag_t type, char** name);  // SM string
int OSTRATYPE_ask_parent_type(tag_t type, tag_t* parent);  // null at the top
int OSTRATYPE_ask_class_name(tag_t type, char className[OSTRATYPE_name_size_c + 1]);
int OSTRATYPE_ask_display_name(tag_t type, char** displayName);  // SM string
// A new type of that name for the class `className`, whose parent is the type
// of the class's parent class. Refused for names over 32 characters, an
// existing name or an unknown class.
int OSTRATYPE_create(const char* typeName, const char* className, tag_t* type);
// The descriptor tag of a property of the type (ERR_NO_SUCH_ATTRIBUTE when none).
int OSTRATYPE_ask_property_by_name(tag_t type, const char* propertyName, tag_t* descriptor);
int OSTRATYPE_list_properties(tag_t type, int* count, tag_t** descriptors);
// *isType: type is `typeName` or derives from it.
int OSTRATYPE_is_type_of(tag_t type, const char* typeName, bool* isType);

namespace vl::platform {
// The same as OSTRATYPE_ask_name, without a buffer.
std::string OSTRATYPE_name_of(tag_t type);
}  // namespace vl::platform

// A business type as an object; also the home of the client-server update
// list (the tags changed in this request that clients are told about).
class OstraType {
public:
    explicit OstraType(tag_t type = 0) : m_type(type) {}
    OstraType(const OstraType&) = delete;
    OstraType& operator=(const OstraType&) = delete;
    virtual ~OstraType() = default;
    tag_t tag() const { return m_type; }

    // The type's property descriptors in declaration order. The collection
    // belongs to this object (a later call replaces it); its descriptors
    // belong to the store.
    status_t describe(OrderedCollection<PropertyDescriptor>** collection) const;

    // True when this call suspended the list (it was not suspended before):
    // the caller must then resume it.
    static bool suspendClientServerUpdateList(const char* file, int line);
    static bool resumeClientServerUpdateList(const char* file, int line);
    static void enableClientServerUpdateList(int enable, const char* file, int line);
    static bool isClientServerUpdateListSuspended();
    static bool isClientServerUpdateListEnabled();
    static void addToChangedTagList(tag_t tag, const char* text);
    static std::vector<tag_t> changedTagList();
    static void clearChangedTagList();

private:
    tag_t m_type;
    mutable std::unique_ptr<OrderedCollection<PropertyDescriptor>> m_described;
};

class OstraTypeP {
public:
    // *result: the type is `typeName` or derives from it (false for a name
    // that is no type).
    static status_t isTypeOf(tag_t type, const char* typeName, bool& result);
};

// Stops the server's event service (logout).
class OstraServerEventService {
public:
    static void shutdown();
    static bool isRunning();
};
