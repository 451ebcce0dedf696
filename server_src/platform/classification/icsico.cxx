#include "classification/icsico.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "sm/sm.hxx"

#include <string>
#include <vector>

using namespace vl::platform;
using namespace vl::platform::store;

namespace {

// One block of pointers, each to a string block of its own.
char** separateStrings(const std::vector<std::string>& texts) {
    auto** block = static_cast<char**>(SM_alloc_persistent(sizeof(char*) * texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) block[i] = SM_string_copy_persistent(texts[i].c_str());
    return block;
}

template <class T>
void hand(T* block, T** out) {
    if (out)
        *out = block;
    else
        SM_free(block);
}

void handStrings(char** block, std::size_t n, char*** out) {
    if (out) {
        *out = block;
        return;
    }
    for (std::size_t i = 0; i < n; ++i) SM_free(block[i]);
    SM_free(block);
}

}  // namespace

int ICSICO::getAllPropertyDescriptions(int* count, char*** names, char*** displayNames, int** valueTypes,
                                       tag_t** lovTags, int** modifiable, int** isArray, int** maxLengths) const {
    if (count) *count = 0;
    for (char*** p : {names, displayNames})
        if (p) *p = nullptr;
    for (int** p : {valueTypes, modifiable, isArray, maxLengths})
        if (p) *p = nullptr;
    if (lovTags) *lovTags = nullptr;
    VL_ENTER("ICSICO::getAllPropertyDescriptions", m_type);
    const TypeDef* td = typeDef(m_type);
    if (!td) return fail(ERR_TYPE_NOT_FOUND, "not a type");
    if (td->cls->name != "icm0") return fail(ERR_WRONG_CLASS, td->name + " is not a classification type");

    std::vector<std::string> n, d;
    std::vector<int> types, mods, arrays, lengths;
    std::vector<tag_t> lovs;
    for (tag_t dt : td->properties) {
        const PropertyDescriptor& p = businessTypes().descriptors.at(dt);
        if (p.m_propertyType != PROP_attribute) continue;
        n.push_back(p.name());
        d.push_back(p.displayName());
        types.push_back(p.valueType());
        lovs.push_back(find(p.lov()) ? p.lov() : 0);
        mods.push_back(p.isModifiable() ? 1 : 0);
        arrays.push_back(p.isArray() ? 1 : 0);
        lengths.push_back(p.maxLength());
    }
    if (count) *count = static_cast<int>(n.size());
    handStrings(separateStrings(n), n.size(), names);
    handStrings(separateStrings(d), d.size(), displayNames);
    hand(SM_copy_array(types), valueTypes);
    hand(SM_copy_array(lovs), lovTags);
    hand(SM_copy_array(mods), modifiable);
    hand(SM_copy_array(arrays), isArray);
    hand(SM_copy_array(lengths), maxLengths);
    return 0;
}
