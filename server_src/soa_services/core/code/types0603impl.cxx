#include "soa_services/core/code/types0603impl.hxx"

#include "aom/aom.hxx"
#include "aom/ostratype.hxx"
#include "classification/icsico.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "foundation/vl_string.hxx"
#include "pom/pom.hxx"
#include "propdesc/property_descriptor.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_server/utils.hxx"

#include <memory>

namespace Velmora::Soa::Internal::Core::_2006_03 {

namespace {

using Velmora::Soa::Internal::Server::Utils;
using Velmora::Soa::Server::ModelSchema;

using NameBuffer = char[OSTRATYPE_name_size_c + 1];

// An SM array of `count` strings that are SM blocks of their own: the
// strings and the array are freed together.
class OwnedStrings {
public:
    OwnedStrings(char** strings, int count) : m_strings(strings), m_count(strings ? count : 0) {}
    OwnedStrings(const OwnedStrings&) = delete;
    OwnedStrings& operator=(const OwnedStrings&) = delete;
    ~OwnedStrings() {
        for (int i = 0; i < m_count; ++i) SM_free(m_strings[i]);
        SM_free(m_strings);
    }
    const char* operator[](int i) const { return m_strings[i] ? m_strings[i] : ""; }

private:
    char** m_strings;
    int m_count;
};

std::string typeNameOf(tag_t type) {
    NameBuffer name = "";
    ResultStatus status = OSTRATYPE_ask_name(type, name);
    return name;
}

tag_t objectTypeOf(tag_t object) {
    tag_t type = NULLTAG;
    ResultStatus status = OSTRATYPE_ask_object_type(object, &type);
    return type;
}

}  // namespace

std::map<std::string, unsigned int>& TypesImpl::describedParents() {
    static std::map<std::string, unsigned int> described;
    return described;
}

ModelSchema TypesImpl::initTypeByNames(const std::vector<std::string>& typeNames) {
    TagList types;
    std::vector<std::string> names;
    std::map<std::string, unsigned int> parents;
    for (const auto& name : typeNames) {
        tag_t type = NULLTAG;
        if (OSTRATYPE_ask_type_in_cache(name.c_str(), &type) != 0) {
            ERROR_store_clear();
            type = NULLTAG;
        }
        if (type == NULLTAG) {
            // A class without a type of its own gets one.
            try {
                ResultStatus status;
                tag_t classId = NULLTAG;
                status = POM_class_id_of_class(name.c_str(), &classId);
                status = OSTRATYPE_create(name.c_str(), name.c_str(), &type);
            } catch (IFail&) {
                ERROR_store_clear();
                continue;
            }
        }
        if (type == NULLTAG) continue;
        getParentTypes(type, parents);
        types.add(type);
        names.push_back(name);
    }
    return describeWithParents(types, names, parents);
}

ModelSchema TypesImpl::initTypeByUids(const std::vector<std::string>& uids) {
    TagList types;
    std::vector<std::string> names;
    std::map<std::string, unsigned int> parents;
    for (const auto& uid : uids) {
        unsigned int type = Utils::uidToTag(uid);
        if (type == NULLTAG) continue;
        NameBuffer name = "";
        if (OSTRATYPE_ask_name(type, name) != 0) {
            ERROR_store_clear();
            continue;
        }
        getParentTypes(type, parents);
        types.add(type);
        names.emplace_back(name);
    }
    return describeWithParents(types, names, parents);
}

void TypesImpl::getParentTypes(unsigned int& type, std::map<std::string, unsigned int>& parents) {
    const auto& described = describedParents();
    tag_t current = type;
    for (;;) {
        tag_t parent = NULLTAG;
        NameBuffer name = "";
        if (OSTRATYPE_ask_parent_type(current, &parent) != 0 || parent == NULLTAG ||
            OSTRATYPE_ask_name(parent, name) != 0 || name[0] == '\0') {
            ERROR_store_clear();
            return;
        }
        if (described.count(name)) return;
        // Already found by an earlier walk of this request, with what lies above.
        if (!parents.emplace(name, parent).second) return;
        current = parent;
    }
}

ModelSchema TypesImpl::describeWithParents(TagList& types, std::vector<std::string>& names,
                                           const std::map<std::string, unsigned int>& parents) {
    const int firstParent = types.count();
    for (const auto& [name, parent] : parents) {
        names.push_back(name);
        types.add(parent);
    }
    return getTypeInfos(types, names, firstParent);
}

ModelSchema TypesImpl::getTypeInfos(const TagList& types, const std::vector<std::string>& names,
                                    int firstParent) {
    ModelSchema schema;
    ERROR_store_clear();
    for (int i = 0; i < types.count(); ++i) {
        const tag_t type = types[i];
        if (type == NULLTAG) continue;
        const bool named = static_cast<std::size_t>(i) < names.size();
        try {
            describeType(schema, type, named ? names[static_cast<std::size_t>(i)] : typeNameOf(type));
        } catch (IFail&) {
            ERROR_store_clear();
            continue;
        }
        // Only a parent whose description is complete is left out later.
        if (i >= firstParent && named) describedParents().emplace(names[static_cast<std::size_t>(i)], type);
    }
    return schema;
}

void TypesImpl::describeType(ModelSchema& schema, unsigned int type, const std::string& name) {
    ResultStatus status;
    const std::string uid = Utils::tagToUid(type);

    scoped_smptr<char> uifName;
    status = AOM_UIF_ask_value(type, "type_name", &uifName);
    NameBuffer className = "";
    status = OSTRATYPE_ask_class_name(type, className);
    tag_t parent = NULLTAG;
    status = OSTRATYPE_ask_parent_type(type, &parent);
    const std::string parentName = parent != NULLTAG ? typeNameOf(parent) : std::string();
    const std::string typeUid = Utils::tagToUid(objectTypeOf(type));
    bool external = false;
    status = OstraTypeP::isTypeOf(type, "ExternalObject", external);
    schema.addType(uid, name, uifName.get() ? uifName.get() : "", className, parentName, typeUid, external);

    if (std::string(className) == "icm0")
        describeClassified(schema, type, uid);
    else
        describeProperties(schema, type, uid);
    describeClassChain(schema, className);
}

void TypesImpl::describeClassified(ModelSchema& schema, unsigned int type, const std::string& uid) {
    ICSICO classified(type);
    int count = 0;
    char** names = nullptr;
    char** displayNames = nullptr;
    int* valueTypes = nullptr;
    tag_t* lovTags = nullptr;
    int* modifiable = nullptr;
    int* isArray = nullptr;
    int* maxLengths = nullptr;
    const int rc = classified.getAllPropertyDescriptions(&count, &names, &displayNames, &valueTypes, &lovTags,
                                                         &modifiable, &isArray, &maxLengths);
    OwnedStrings ownNames(names, count), ownDisplayNames(displayNames, count);
    scoped_smptr<int> ownValueTypes(valueTypes), ownModifiable(modifiable), ownIsArray(isArray),
        ownMaxLengths(maxLengths);
    scoped_smptr<tag_t> ownLovTags(lovTags);
    ResultStatus status = rc;

    for (int i = 0; i < count; ++i) {
        std::string lovUid, lovTypeUid;
        if (lovTags && lovTags[i] != NULLTAG) {
            lovUid = Utils::tagToUid(lovTags[i]);
            lovTypeUid = Utils::tagToUid(objectTypeOf(lovTags[i]));
        }
        schema.addPropertyDescriptor(uid, ownNames[i], ownDisplayNames[i], valueTypes[i], 1, true, isArray[i] == 1,
                                     lovUid, lovTypeUid, false, true, modifiable[i] == 1, 0, maxLengths[i], {});
    }
}

void TypesImpl::describeProperties(ModelSchema& schema, unsigned int type, const std::string& uid) {
    ResultStatus status;
    const OstraType described(type);  // owns the collection
    OrderedCollection<PropertyDescriptor>* descriptors = nullptr;
    status = described.describe(&descriptors);
    if (!descriptors || descriptors->count() <= 0) return;

    std::unique_ptr<Iterator<PropertyDescriptor>> walk(descriptors->createIterator());
    while (PropertyDescriptor* descriptor = walk->next()) {
        const std::string name = descriptor->name();
        String displayName;
        status = descriptor->presentationName(displayName);
        bool displayable = false;  // stays false when the flag cannot be read
        descriptor->isDisplayable(&displayable);
        const bool modifiable = name != "object_type" && descriptor->isModifiable();

        tag_t lov = NULLTAG, lovType = NULLTAG;
        std::vector<std::string> interdependents;
        ListOfValues* found = nullptr;
        descriptor->askListOfValues(&found);  // a property without a list is no failure
        std::unique_ptr<ListOfValues> list(found);
        if (list && list->tag() != NULLTAG) {
            lov = list->tag();
            lovType = objectTypeOf(lov);
            int n = 0;
            scoped_smptr<char*> dependants;
            status = list->askInterdependents(type, name.c_str(), &n, &dependants);
            for (int i = 0; i < n; ++i) interdependents.emplace_back(dependants[i]);
        }

        schema.addPropertyDescriptor(uid, name, displayName.str(), descriptor->valueType(), descriptor->propertyType(),
                                     displayable, descriptor->arraySize() != 1, Utils::tagToUid(lov),
                                     Utils::tagToUid(lovType), descriptor->isRequired(), descriptor->isEnabled(),
                                     modifiable, descriptor->askLOVAttachSpecifier(), descriptor->maxLength(),
                                     std::move(interdependents));
    }
}

void TypesImpl::describeClassChain(ModelSchema& schema, const std::string& className) {
    ResultStatus status;
    tag_t classId = NULLTAG;
    status = POM_class_id_of_class(className.c_str(), &classId);
    std::string current = className;
    while (classId != NULLTAG) {
        int count = 0;
        scoped_smptr<tag_t> superclasses;
        status = POM_superclasses_of_class(classId, &count, &superclasses);
        if (count > 0) {
            classId = superclasses[0];
            scoped_smptr<char> parentName;
            status = POM_name_of_class(classId, &parentName);
            std::string parent = parentName.get() ? parentName.get() : "";
            schema.addClass(current, parent);
            current = std::move(parent);
        } else {
            classId = NULLTAG;
            schema.addClass(current, "");
        }
    }
}

}  // namespace Velmora::Soa::Internal::Core::_2006_03
