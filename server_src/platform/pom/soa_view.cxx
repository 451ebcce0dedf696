#include "pom/soa_view.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"

using namespace vl::platform::store;

namespace vl::platform {

std::string tagToUid(unsigned int tag) {
    if (!tag) return {};
    Store& s = S();
    if (const Object* o = find(tag)) return o->uid;
    if (auto it = s.goneUids.find(tag); it != s.goneUids.end()) return it->second;
    if (auto it = s.unknownTags.find(tag); it != s.unknownTags.end()) return it->second;
    return {};
}

unsigned int uidToTag(const std::string& uid) {
    if (uid.empty()) return 0;
    Store& s = S();
    if (const Object* o = s.objects.findUid(uid)) return o->tag;
    // A deleted object keeps its (now invalid) tag.
    if (auto it = s.phantoms.find(uid); it != s.phantoms.end() && it->second) return it->second;
    // Any other uid gets a tag of its own that never names an object, the
    // same one for the rest of the request.
    auto& tag = s.unknownUids[uid];
    if (!tag) {
        tag = s.nextTag++;
        s.unknownTags[tag] = uid;
    }
    return tag;
}

void beginRequest() {
    Store& s = S();
    // What earlier requests named in vain, and the records only a request's
    // own observers read, would otherwise grow for the life of the process.
    s.unknownUids = {};
    s.unknownTags = {};
    s.changedTags = {};
    s.createdItems = {};
}

long rememberedUnknownUids() { return static_cast<long>(S().unknownUids.size()); }

bool describeObject(unsigned int tag, ObjectSummary* out) {
    Object* o = nullptr;
    if (need(tag, &o)) return false;
    if (out) {
        out->className = o->cls->name;
        const TypeDef* t = typeDef(o->type);
        out->typeName = t ? t->name : o->cls->name;
    }
    return true;
}

unsigned int objectType(unsigned int tag) {
    const Object* o = find(tag);
    return o ? o->type : 0;
}

std::vector<std::string> typeLineage(unsigned int type) {
    std::vector<std::string> names;
    // Bounded by the number of types, should a parent chain ever loop.
    for (const TypeDef* t = typeDef(type); t && names.size() <= S().types.size(); t = typeDef(t->parent))
        names.push_back(t->name);
    return names;
}

bool typeHasProperty(unsigned int type, const std::string& name) { return descriptorOfType(type, name) != nullptr; }

int readProperty(unsigned int tag, const std::string& name, PropertyRead* out) {
    Object* o = nullptr;
    if (int rc = need(tag, &o)) return rc;
    PropertyDescriptor* d = descriptorOf(*o, name);
    if (!d) return fail(ERR_NO_SUCH_ATTRIBUTE, name);
    const Value v = propertyValue(*o, *d);
    if (out) {
        out->modifiable = canWrite(*o) && d->isModifiable();
        out->values = valueTexts(v, d->m_valueType);
        // The display text is the texts joined, but for references and logicals.
        if (isReference(d->m_valueType) || d->m_valueType == PROP_logical ||
            std::holds_alternative<std::vector<tag_t>>(v) || std::holds_alternative<std::vector<char>>(v)) {
            out->uiValue = displayText(v, d->m_valueType);
        } else {
            out->uiValue.clear();
            for (std::size_t i = 0; i < out->values.size(); ++i) {
                if (i) out->uiValue += ',';
                out->uiValue += out->values[i];
            }
        }
        out->isNull.assign(out->values.size(), false);
        if (isReference(d->m_valueType))
            for (std::size_t i = 0; i < out->values.size(); ++i) out->isNull[i] = out->values[i].empty();
    }
    return 0;
}

}  // namespace vl::platform
