#pragma once
// Property descriptors (one per property of a business type, with a tag of
// its own), lists of values, property rules and naming rules.
#include "foundation/ifail.hxx"
#include "aom/loaded_objects.hxx"
#include "pom/pom_types.hxx"

#include <string>
#include <string_view>
#include <vector>

class String;
class OstraProperty;
class ListOfValues;

class PropertyDescriptor {
public:
    PropertyDescriptor() = default;
    virtual ~PropertyDescriptor() = default;

    // Descriptor of a descriptor tag; 0, or a stored failure code.
    static int askPropertyDescriptor(tag_t descriptor, PropertyDescriptor** out);

    virtual tag_t tag() const { return m_tag; }
    virtual tag_t owningType() const { return m_type; }
    virtual std::string name() const { return m_name; }
    virtual PROP_type_e propertyType() const { return m_propertyType; }
    virtual PROP_value_type_e valueType() const { return m_valueType; }
    // 1 for a single value; -1 for an array of any length, n > 1 for at most n.
    virtual int arraySize() const { return m_arraySize; }
    virtual bool isArray() const { return m_arraySize != 1; }
    virtual int maxLength() const { return m_maxLength; }  // strings; 0 = no limit
    virtual std::string referencedClass() const { return m_refClass; }
    // 1 read-only, 0 read-write.
    virtual int protection() const { return m_readOnly ? 1 : 0; }
    virtual void setReadWrite();
    virtual void setReadOnly();
    virtual bool isRequired() const { return m_required; }
    virtual bool isEnabled() const { return m_enabled; }
    virtual bool isModifiable() const { return m_modifiable && !m_readOnly; }
    virtual status_t isDisplayable(bool* displayable) const;
    virtual status_t presentationName(String& out) const;
    virtual std::string displayName() const { return m_displayName.empty() ? m_name : m_displayName; }
    // The list of values (null tag when none); attach specifier 0 none, 1 exhaustive, 2 suggestive.
    virtual tag_t lov() const { return m_lov; }
    virtual int askLOVAttachSpecifier() const;
    // A new ListOfValues the caller deletes; 0 and null when the property has
    // none (that is no failure).
    virtual int askListOfValues(ListOfValues** out) const;
    virtual std::vector<std::string> initialValues() const { return m_initial; }

    // Set up by the store.
    tag_t m_tag = 0;
    tag_t m_type = 0;
    std::string m_name;
    std::string m_displayName;
    PROP_type_e m_propertyType = PROP_attribute;
    PROP_value_type_e m_valueType = PROP_string;
    int m_arraySize = 1;
    int m_maxLength = 0;
    std::string m_refClass;
    bool m_readOnly = false;
    bool m_required = false;
    bool m_enabled = true;
    bool m_modifiable = true;
    bool m_displayable = true;
    tag_t m_lov = 0;
    std::vector<std::string> m_initial;
    int m_attr = -1;            // attribute index for PROP_attribute
    tag_t m_relationType = 0;   // for PROP_relation
    std::string m_owningTypeName;
};

// 0 and the descriptor's list of values (null when it has none).
int PROPDESC_ask_lov(tag_t descriptor, tag_t* lov);

// A list of values: typed values with display texts.
class ListOfValues : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "ListOfValues"; }
    std::string name() const;
    bool isExhaustive() const;
    std::vector<std::string> values() const;        // as text (references as uids)
    std::vector<std::string> displayValues() const;
    // Names of the properties of `type` whose values depend on `property`'s list.
    int askInterdependents(tag_t type, const char* property, int* count, char*** names) const;
    int askInterdependents(tag_t descriptor, int* count, char*** names) const;
};

int LOV_find(const char* name, tag_t* lov);  // 0 and null when none
int LOV_ask_name(tag_t lov, char** name);
int LOV_ask_type(tag_t lov, PROP_value_type_e* type);
int LOV_ask_num_of_values(tag_t lov, int* count);
int LOV_ask_values_string(tag_t lov, int* count, char*** values);       // one SM block
int LOV_ask_values_int(tag_t lov, int* count, int** values);
int LOV_ask_values_double(tag_t lov, int* count, double** values);
int LOV_ask_values_tag(tag_t lov, int* count, tag_t** values);
int LOV_ask_value_displays(tag_t lov, int* count, char*** displays);    // one SM block
// The list of values attached to a property of a type, by the type's own rule
// or an ancestor's; 0 and null when none. *lov is written on every call (null
// on failure).
int LOV_find_attached_prop(const char* typeName, const char* propertyName, tag_t* lov);

// Property rule: the site's initial values and constraints for one property of
// one type (the descriptor's settings come from it).
class PropRule : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "PropRule"; }
    // OK with the null tag when the type's property has no rule.
    static status_t find(const char* typeName, const char* propertyName, tag_t* rule);
    // Each hands back SM memory the caller frees: a string, or a count and
    // one block of strings (null when the count is 0).
    status_t askProperty(char** propertyName) const;
    status_t askInitialValue(int* count, char*** values) const;
    status_t askComplexProperty(char** value) const;
};

// Naming rule: patterns a property value must match ("n" a digit, "a" a
// letter, "@" a letter or digit, "?" any character, any other character
// itself; an empty rule allows anything).
class NameRule : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "NameRule"; }
    // A count and one SM block of patterns the caller frees (null when none).
    status_t askPatterns(int* count, char*** patterns) const;
    bool matches(const std::string& value) const;
};

// Binds a naming rule to one property of one type.
class NameField : public POMObject {
public:
    using POMObject::POMObject;
    static const char* pomClassName() { return "NameField"; }
    static status_t find(const char* typeName, const char* propertyName, tag_t* field);
    status_t askRuleTag(tag_t* rule) const;
};

// True when `value` matches the naming rule that applies to the property of
// the type (or of an ancestor type); also true when none applies.
namespace vl::platform {
bool NAMING_check(const std::string& typeName, const std::string& propertyName, std::string_view value);
}

// The display folder of a relation or reference property.
class PseudoFolder {
public:
    // The pseudo folder's tag, 0 when the property has none.
    static tag_t askPseudoFolder(OstraProperty* property);
};
