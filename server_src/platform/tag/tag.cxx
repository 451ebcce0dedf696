#include "tag/tag.hxx"

#include "foundation/error_codes.hxx"
#include "pom/store.hxx"
#include "propdesc/business_types.hxx"
#include "tag/pom_tag.hxx"

using namespace vl::platform::store;

int Tag::isValid(unsigned int tag) { return find(tag) ? 0 : 1; }

status_t Tag::object(POMObject** out) const {
    if (out) *out = nullptr;
    if (int rc = enter("Tag::object", m_value)) return status_t(rc);
    POMObject* p = loaded(m_value);
    if (!p) return status_t(fail(vl::platform::ERR_INVALID_TAG));
    if (out) *out = p;
    return status_t::OK;
}

status_t Tag::object(const char* className, void** out) const {
    if (out) *out = nullptr;
    Object* o = nullptr;
    if (int rc = need(m_value, className ? className : "POMObject", &o)) return status_t(rc);
    POMObject* p = loaded(m_value);
    if (out) *out = static_cast<void*>(p);
    return status_t::OK;
}

status_t Tag::objectWrongType() { return status_t(fail(vl::platform::ERR_WRONG_CLASS)); }

unsigned int POMTag::tag() const {
    const Object* o = find(m_owner);
    return o ? getTag(*o, m_attribute) : 0;
}

status_t POMTag::assign(unsigned int value) {
    Object* o = nullptr;
    if (int rc = need(m_owner, &o)) return status_t(rc);
    PropertyDescriptor* d = descriptorOf(*o, m_attribute);
    if (!d) return status_t(fail(vl::platform::ERR_NO_SUCH_ATTRIBUTE, m_attribute));
    // The platform's own reference members may be assigned even where clients
    // may not write the property (the tool of a dataset).
    int i = attr(*o, m_attribute);
    if (value && !find(value)) return status_t(fail(vl::platform::ERR_INVALID_TAG));
    if (!canWrite(*o)) return status_t(fail(vl::platform::ERR_NO_ACCESS, o->uid));
    return status_t(setValue(*o, i, value ? std::vector<tag_t>{value} : std::vector<tag_t>{}));
}
