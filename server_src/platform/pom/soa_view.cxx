#include "pom/soa_view.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"

using namespace vl::platform::store;

namespace vl::platform {

std::string tagToUid(unsigned int tag) {
    if (!tag) return {};
    Store& s = S();
    if (const Object* o = find(tag)) return o->uid;
    auto it = s.goneUids.find(tag);
    if (it != s.goneUids.end()) return it->second;
    return {};
}

unsigned int uidToTag(const std::string& uid) {
    if (uid.empty()) return 0;
    Store& s = S();
    auto it = s.uids.find(uid);
    if (it != s.uids.end()) return it->second;
    // A deleted object keeps its (now invalid) tag; any other uid gets a tag
    // of its own that never names an object.
    auto& p = s.phantoms[uid];
    if (!p) {
        p = s.nextTag++;
        s.goneUids[p] = uid;
    }
    return p;
}

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

int readProperty(unsigned int tag, const std::string& name, PropertyRead* out) {
    Object* o = nullptr;
    if (int rc = need(tag, &o)) return rc;
    PropertyDescriptor* d = descriptorOf(*o, name);
    if (!d) return fail(ERR_NO_SUCH_ATTRIBUTE, name);
    Value v = propertyValue(*o, *d);
    if (out) {
        out->modifiable = canWrite(*o) && d->isModifiable();
        out->uiValue = displayText(v, d->m_valueType);
        out->values = valueTexts(v, d->m_valueType);
        out->isNull.assign(out->values.size(), false);
        if (isReference(d->m_valueType))
            for (std::size_t i = 0; i < out->values.size(); ++i) out->isNull[i] = out->values[i].empty();
    }
    return 0;
}

}  // namespace vl::platform
