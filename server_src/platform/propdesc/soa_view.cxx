// What the SOA server library reads of the store: uids, object summaries and
// property reads through descriptors.
#include "pom/soa_view.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"

#include <span>

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
    for (ExtensionSlot& slot : s.extensions)
        if (slot.get() && slot.get()->requestBegins()) slot.use();
}

long rememberedUnknownUids() { return static_cast<long>(S().unknownUids.size()); }

bool describeObject(unsigned int tag, ObjectSummary* out) {
    Object* o = nullptr;
    if (need(tag, &o)) return false;
    if (out) {
        out->uid = o->uid;
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
    for (const TypeDef* t = typeDef(type); t && names.size() <= businessTypes().types.size(); t = typeDef(t->parent))
        names.push_back(t->name);
    return names;
}

bool typeHasProperty(unsigned int type, const std::string& name) { return descriptorOfType(type, name) != nullptr; }

namespace {

// The texts of an attribute that holds strings, straight from its slot (no
// Value built, and `out` keeps its buffer); false for any other property.
bool readStrings(const Object& o, const PropertyDescriptor& d, std::vector<std::string>& out) {
    if (d.m_propertyType != PROP_attribute || d.m_attr < 0 || d.m_attr >= static_cast<int>(o.values.size()))
        return false;
    const Slot& slot = o.values[d.m_attr];
    if (slot.index() != kValueIndex<std::string>) return false;
    if (const auto* all = slot.array<std::string>()) {
        out.assign(all->begin(), all->end());
    } else if (slot.empty()) {
        out.clear();
    } else {
        out.resize(1);  // written over: the text's buffer is kept
        out[0].assign(slot.firstString());
    }
    return true;
}

// The references of an attribute that holds tags, straight from its slot;
// false for any other property.
bool readTags(const Object& o, const PropertyDescriptor& d, std::span<const tag_t>& out) {
    if (d.m_propertyType != PROP_attribute || d.m_attr < 0 || d.m_attr >= static_cast<int>(o.values.size()))
        return false;
    const Slot& slot = o.values[d.m_attr];
    if (slot.index() != kValueIndex<tag_t>) return false;
    out = slot.tags();
    return true;
}

}  // namespace

int readProperty(unsigned int tag, const std::string& name, PropertyRead* out) {
    return PropertyReader().read(tag, name, out);
}

PropertyDescriptor* PropertyReader::descriptor(unsigned int type, const std::string& name) {
    if (type != m_type) {
        m_type = type;
        m_descriptors.clear();
        m_next = 0;
    }
    // Objects of a type are mostly read for the same names in the same order:
    // the name after the last one found, or else the first, comes next.
    for (const std::size_t at : {m_next, std::size_t{0}}) {
        if (at < m_descriptors.size() && m_descriptors[at].first == name) {
            m_next = at + 1;
            return m_descriptors[at].second;
        }
    }
    PropertyDescriptor* d = descriptorOfType(type, name);
    if (m_next == m_descriptors.size() && m_next < kDescriptors) {
        m_descriptors.emplace_back(name, d);
        ++m_next;
    }
    return d;
}

const std::string& PropertyReader::display(unsigned int tag) {
    auto [display, first] = m_displays.try_emplace(tag);
    if (first) display->second = displayString(tag);
    return display->second;
}

int PropertyReader::read(unsigned int tag, const std::string& name, PropertyRead* out) {
    // An object's properties are read one after another: it is looked up once.
    Object* o = tag == m_objectTag ? m_object : nullptr;
    if (!o) {
        if (int rc = need(tag, &o)) return rc;
        m_objectTag = tag;
        m_object = o;
    }
    PropertyDescriptor* d = descriptor(o->type, name);
    if (!d) return fail(ERR_NO_SUCH_ATTRIBUTE, name);
    if (!out) return 0;
    if (d->isModifiable() && tag != m_writableTag) {
        if (!m_privilegeAsked) {
            // The session stays as it is while the reader serves.
            m_privileged = privileged();
            m_privilegeAsked = true;
        }
        m_writableTag = tag;
        m_writable = canWrite(*o, m_privileged);
    }
    out->modifiable = d->isModifiable() && m_writable;
    // The display text is the texts joined, but for references and logicals.
    const bool reference = isReference(d->m_valueType);
    bool joined = !reference && d->m_valueType != PROP_logical;
    std::span<const tag_t> tags;
    if (reference && readTags(*o, *d, tags)) {
        // Uids and display strings written into the record's own buffers.
        out->values.resize(tags.size());
        for (std::size_t i = 0; i < tags.size(); ++i) out->values[i] = tagToUid(tags[i]);
        // A single reference's display string is kept: appended from where
        // it is kept, not from a copy.
        out->uiValue.clear();
        if (tags.size() == 1) {
            out->uiValue += display(tags[0]);
        } else {
            for (std::size_t i = 0; i < tags.size(); ++i) {
                if (i) out->uiValue += ',';
                out->uiValue += displayString(tags[i]);
            }
        }
    } else if (!joined || !readStrings(*o, *d, out->values)) {
        const Value v = propertyValue(*o, *d);
        out->values = valueTexts(v, d->m_valueType);
        const auto* held = std::get_if<std::vector<tag_t>>(&v);
        if (held || std::holds_alternative<std::vector<char>>(v)) joined = false;
        if (held && held->size() == 1) {
            // A single reference shows its object's display string.
            out->uiValue = display(held->front());
        } else if (!joined) {
            out->uiValue = displayText(v, d->m_valueType);
        }
    }
    if (joined) {
        out->uiValue.clear();
        for (std::size_t i = 0; i < out->values.size(); ++i) {
            if (i) out->uiValue += ',';
            out->uiValue += out->values[i];
        }
    }
    out->isNull.assign(out->values.size(), false);
    if (reference)
        for (std::size_t i = 0; i < out->values.size(); ++i) out->isNull[i] = out->values[i].empty();
    return 0;
}

}  // namespace vl::platform
