#pragma once
// Business types and their property descriptors, with the fixture's rules
// that shape them (property rules, naming rules and name fields, pseudo-folder
// properties): the store's BusinessTypes domain, and the property values read
// and written through descriptors.
#include "pom/store.hxx"
#include "propdesc/property_descriptor.hxx"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vl::platform::store {

// Per business type.
struct TypeDef {
    tag_t tag = 0;  // the type object
    std::string name;
    // The name as a stored value, made once: the object_type of every
    // object of the type shares its block.
    mutable Slot nameValue;
    tag_t parent = 0;
    const ClassDef* cls = nullptr;
    std::string displayName;
    std::vector<tag_t> properties;  // descriptor tags, in order
    std::vector<tag_t> requiredAttributes;  // those of required attributes, checked on save
    StringMap<tag_t> propertyByName;
    // Item types.
    std::string revisionType, masterFormType, revMasterFormType;
    // Dataset types: the DatasetType object.
    tag_t datasetType = 0;
};

struct PropRuleDef {
    std::optional<bool> required, enabled, modifiable, displayable, readOnly;
    std::optional<std::string> lov, displayName;
    std::vector<std::string> initial;
    bool hasInitial = false;
    std::string complex;
    tag_t tag = 0;  // the PropRule object
    bool operator==(const PropRuleDef&) const = default;
};

struct BusinessTypes final : Extension {
    static constexpr const char* kName = "business-types";
    std::unordered_map<tag_t, TypeDef> types;
    StringMap<tag_t> typeByName;
    std::unordered_map<const ClassDef*, tag_t> typeOfClass;
    std::unordered_map<tag_t, PropertyDescriptor> descriptors;
    // Counts the changes of types and descriptors (see noteTypeEdit).
    std::uint64_t typeEdits = 0;

    std::map<std::pair<std::string, std::string>, PropRuleDef> propRules;  // (type, property)
    std::map<std::string, tag_t> namingRules;                              // name -> NameRule object
    std::map<std::pair<std::string, std::string>, tag_t, NamePairLess> nameFields;  // (type, property) -> NameField
    std::set<std::pair<std::string, std::string>> pseudoFolderProps;   // (type, property)
    std::map<std::pair<tag_t, std::string>, tag_t> pseudoFolders;      // (object, property)
    std::unique_ptr<Extension> clone() const override { return std::make_unique<BusinessTypes>(*this); }
    // Types and descriptors only when an edit was noted; the rules where they differ.
    bool restore(const Extension& fixture) override;
    std::string dump() const override;
};

[[gnu::always_inline]] inline BusinessTypes& businessTypes() { return extension<BusinessTypes>(); }
// A change of the current store's types or descriptors.
void noteTypeEdit();

const TypeDef* typeDef(tag_t type);
const TypeDef* typeNamed(std::string_view name);
tag_t typeOfClass(const ClassDef* cls);
bool typeIsA(tag_t type, std::string_view ancestorName);
// Descriptor of a property of the object's type, or null.
PropertyDescriptor* descriptorOf(const Object& o, std::string_view name);
PropertyDescriptor* descriptorOfType(tag_t type, std::string_view name);
// Builds (again) the descriptors of every type from classes, rules and
// relation types.
void buildDescriptors();
void buildDescriptorsOf(tag_t type);
// A new business type (object and definition) with its descriptors; 0 or a
// stored code (name over 32 characters, taken, no class).
int makeType(const std::string& name, const ClassDef* cls, tag_t parent, const std::string& displayName,
             tag_t* type);

// --- property values (attribute, runtime and relation properties alike) ---
Value propertyValue(const Object& o, const PropertyDescriptor& d);
// Each element as text (references as uids; null single values give none).
std::vector<std::string> valueTexts(const Value& v, PROP_value_type_e type);
// The display text: elements joined by ",", references by display string,
// logicals "True"/"False", dates formatted.
std::string displayText(const Value& v, PROP_value_type_e type);
// Parses texts into a value of the descriptor's type (references by uid);
// ERR_BAD_VALUE stored for a text that does not parse.
int parseTexts(const PropertyDescriptor& d, const std::vector<std::string>& texts, Value* out);
// Checks and stores a value of an attribute property: privilege, read-only
// object, modifiable descriptor, arity, lengths, list of values, reference
// classes, naming rule, and the reference check a domain registered.
int writeProperty(Object& o, const PropertyDescriptor& d, Value v, bool single);
int writeProperty(Object& o, const PropertyDescriptor& d, Slot v, bool single);
// writeProperty of the held list with t at its end, without copying the
// list: the same checks, errors, saved value and journal.
int appendToProperty(Object& o, const PropertyDescriptor& d, tag_t t);
// A domain's rule for what may enter one reference attribute of its class
// (a folder's contents): given the object written and the references a write
// adds to what it holds, 0 or a stored code. The store knows no domain; the
// domain registers its rule at load time, from a static initialiser.
using ReferenceCheck = int (*)(const Object& o, std::span<const tag_t> added);
bool registerReferenceCheck(const char* className, const char* attrName, ReferenceCheck check);
// Relation property: the secondaries of the object by that relation type.
std::vector<tag_t> relatedSecondaries(tag_t primary, tag_t relationType);
std::vector<tag_t> relatedPrimaries(tag_t secondary, tag_t relationType);
// Relations (objects) with that primary / secondary, in creation order.
std::vector<tag_t> relationsOf(tag_t object, bool asPrimary, tag_t relationType);

// The NameField object of (type, property), or 0.
tag_t nameFieldOf(std::string_view type, std::string_view property);

}  // namespace vl::platform::store
