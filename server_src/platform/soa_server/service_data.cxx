#include "soa_server/service_data.hxx"

#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/soa_view.hxx"
#include "soa_server/policy.hxx"
#include "soa_server/utils.hxx"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace Velmora::Soa::Server {

namespace {

bool g_refreshPOM = false;

// The errors the store holds, taken out of it.
std::vector<Velmora::Schemas::Soa::_2006_03::Exceptions::ErrorEntry> takeStore() {
    int count = 0;
    const int* severities = nullptr;
    const int* codes = nullptr;
    const char* const* texts = nullptr;
    ERROR_store_ask(&count, &severities, &codes, &texts);
    std::vector<Velmora::Schemas::Soa::_2006_03::Exceptions::ErrorEntry> errors;
    errors.reserve(count);
    for (int i = 0; i < count; ++i) errors.push_back({codes[i], severities[i], texts[i]});
    ERROR_store_clear();
    return errors;
}

// What the policy names for objects of the type: the entry of the type itself
// or else of its nearest ancestor, less the properties the type lacks.
std::set<std::string> policyProperties(const Velmora::Soa::Internal::Server::PropertyPolicy& policy,
                                       unsigned int type) {
    std::set<std::string> names;
    for (const std::string& typeName : vl::platform::typeLineage(type)) {
        const Velmora::Soa::Common::ObjectProperties* entry = policy.findType(typeName);
        if (!entry) continue;
        for (const std::string& name : entry->propertyNames)
            if (vl::platform::typeHasProperty(type, name)) names.insert(name);
        break;
    }
    return names;
}

// Takes the read's text: copied where it fits the buffer held, else the
// two buffers swapped, so a text refilled object after object, and the read
// record, stop allocating once they have held their longest.
void takeText(std::string& to, std::string& from) {
    if (from.size() <= to.capacity())
        to.assign(from);
    else
        to.swap(from);
}

// A property read as the wire shows it, written over the property's own
// fields, so one property can be refilled for one object after another.
// Written into the bodies in place: a setter's by-value parameter would be
// one more copy of each text.
void setWireProperty(Base::Property& property, const std::string& name, vl::platform::PropertyRead& read) {
    Base::PropertyImpl& body = *property;
    body.getName() = name;
    body.setModifiable(read.modifiable);
    takeText(body.getUiValue(), read.uiValue);
    std::vector<Base::PropertyValue>& values = body.getValueArray();
    values.resize(read.values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        Base::PropertyValueImpl& value = *values[i];
        takeText(value.getValue(), read.values[i]);
        const bool isNull = i < read.isNull.size() && read.isNull[i];
        value.getIsNull() = isNull;
        value.setIsIsNullSet(isNull);
    }
}

}  // namespace

Base::ErrorStack PartialErrors::takeStoredErrors() {
    Base::ErrorStack stack;
    for (const auto& error : takeStore()) {
        Base::ErrorValue value;
        value.setMessage(error.message);
        value.setCode(error.code);
        value.setLevel(error.level);
        stack.addErrorValue(value);
    }
    return stack;
}

void PartialErrors::addErrorStack() { m_wire.addError(takeStoredErrors()); }

void PartialErrors::addErrorStack(const Tag& object) {
    Base::ErrorStack stack = takeStoredErrors();
    stack.setUid(vl::platform::tagToUid(object));
    m_wire.addError(stack);
}

void PartialErrors::addErrorStack(const std::string& clientId) {
    Base::ErrorStack stack = takeStoredErrors();
    stack.setClientId(clientId);
    m_wire.addError(stack);
}

void PartialErrors::addErrorStackWithIndex(int index) {
    Base::ErrorStack stack = takeStoredErrors();
    stack.setClientIndex(index);
    m_wire.addError(stack);
}

bool ServiceData::addRef(Listed& seen, RefArray listed, void (Base::ServiceData::*add)(Base::RefId),
                         std::string uid) {
    const std::vector<Base::RefId>& refs = (m_wire.*listed)();
    const std::uint32_t hash = Listed::hashOf(uid);
    if (seen.find(hash, [&](tag_t at) { return refs[at - 1].getUid() == uid; })) return false;
    seen.insert(hash, static_cast<tag_t>(refs.size() + 1));
    Base::RefId ref;
    ref->getUid() = std::move(uid);  // in place, as setWireProperty writes
    (m_wire.*add)(std::move(ref));
    return true;
}

void ServiceData::addRef(Listed& seen, RefArray listed, void (Base::ServiceData::*add)(Base::RefId),
                         const Tag& object) {
    // The null tag names no object: it is never listed.
    if (object.isNull()) return;
    if (addRef(seen, listed, add, vl::platform::tagToUid(object))) m_listed.push_back(object.value());
}

void ServiceData::addCreatedObject(const Tag& object) {
    addRef(m_created, &Base::ServiceData::getCreatedObjArray, &Base::ServiceData::addCreatedObj, object);
}
void ServiceData::addUpdatedObject(const Tag& object) {
    addRef(m_updated, &Base::ServiceData::getUpdatedObjArray, &Base::ServiceData::addUpdatedObj, object);
}
void ServiceData::addPlainObject(const Tag& object) {
    addRef(m_plain, &Base::ServiceData::getPlainObjArray, &Base::ServiceData::addPlainObj, object);
}
void ServiceData::addDeletedObject(const std::string& uid) {
    addRef(m_deleted, &Base::ServiceData::getDeletedObjArray, &Base::ServiceData::addDeletedObj, uid);
}

void ServiceData::addProperty(const Tag& object, const std::string& name) { addProperties(object, {name}); }

void ServiceData::addProperties(const Tag& object, const std::set<std::string>& names) {
    if (!m_lastNames || *m_lastNames != names) m_lastNames = std::make_shared<const std::set<std::string>>(names);
    const tag_t tag = object.value();
    const std::uint32_t hash = vl::platform::store::TagHash::hashOfTag(tag);
    const tag_t at = m_propertyIndex.find(hash, [&](tag_t i) { return m_properties[i - 1].first == tag; });
    if (!at) {
        m_properties.emplace_back(tag, m_lastNames);
        m_propertyIndex.insert(hash, static_cast<tag_t>(m_properties.size()));
        return;
    }
    Names& held = m_properties[at - 1].second;
    if (std::includes(held->begin(), held->end(), names.begin(), names.end())) return;
    if (m_lastMerge.held != held || m_lastMerge.added != m_lastNames) {
        auto merged = std::make_shared<std::set<std::string>>(*held);
        merged->insert(names.begin(), names.end());
        m_lastMerge = {held, m_lastNames, std::move(merged)};
    }
    held = m_lastMerge.merged;
}

void ServiceData::getNotifications() {
    using Velmora::Soa::Internal::Server::PolicyManager;
    if (m_listed.empty() || PolicyManager::isEmptyPolicy()) return;
    Velmora::Soa::Internal::Server::PropertyPolicy* policy = PolicyManager::findPolicy("XmlPolicy");
    if (!policy) return;
    // Per business type: the properties of the nearest type the policy names.
    std::unordered_map<unsigned int, std::set<std::string>> byType;
    for (unsigned int tag : m_listed) {
        const unsigned int type = vl::platform::objectType(tag);
        if (!type) continue;
        auto [it, fresh] = byType.try_emplace(type);
        if (fresh) it->second = policyProperties(*policy, type);
        if (!it->second.empty()) addProperties(Tag(tag), it->second);
    }
}

bool ServiceData::inflateObject(unsigned int tag, const std::set<std::string>& names,
                                vl::platform::PropertyReader& reader, vl::platform::PropertyRead& read,
                                Base::ModelObject& object) {
    try {
        Velmora::Soa::Internal::Server::Utils::describeWireModelObject(Tag(tag), object);
    } catch (const IFail&) {
        addErrorStack(Tag(tag));
        return false;
    }
    // The entries past the last property read go; those before are written over.
    std::vector<Base::Property>& properties = object->getPropertieArray();
    std::size_t count = 0;
    for (const auto& name : names) {
        if (reader.read(tag, name, &read) != 0) {
            addErrorStack(Tag(tag));
            continue;
        }
        if (count == properties.size()) properties.emplace_back();
        setWireProperty(properties[count++], name, read);
    }
    properties.resize(count);
    return true;
}

void ServiceData::forgetProperties() {
    m_properties.clear();
    m_propertyIndex = {};
    m_lastNames.reset();
    m_lastMerge = {};
}

void ServiceData::inflateProperties() {
    // Nothing changes the store meanwhile: one reader serves every read, and
    // one read record, whose buffers are kept. Objects are added to an array
    // sized once.
    vl::platform::PropertyReader reader;
    vl::platform::PropertyRead read;
    std::vector<Base::ModelObject> objects = m_wire.getDataObjectArray();
    objects.reserve(objects.size() + m_properties.size());
    for (const auto& [tag, names] : m_properties) {
        Base::ModelObject object;
        if (inflateObject(tag, *names, reader, read, object)) objects.push_back(std::move(object));
    }
    m_wire.setDataObjectArray(std::move(objects));
    forgetProperties();
}

void ServiceData::writeInflated(Velmora::Soa::Common::Xml::XmlStream& out, const std::string& elementName) {
    Base::PartialErrors& errors = PartialErrors::getWireData();
    if (m_wire->askRefCount() != 1 || errors->askRefCount() != 1) {
        // A copy shares the bodies: they are written as they stand.
        inflateProperties();
        getWireData().drainXML(out, elementName);
        return;
    }
    // The fields in their wire order (VL_WIRE_FIELDS_ServiceData); each
    // object read is written while its parts are fresh, then dropped, so the
    // reply's objects never all lie in memory at once.
    static const std::string updated = vl::wire::xmlName("UpdatedObj"), deleted = vl::wire::xmlName("DeletedObj"),
                             created = vl::wire::xmlName("CreatedObj"), plain = vl::wire::xmlName("PlainObj"),
                             data = vl::wire::xmlName("DataObject"), partial = vl::wire::xmlName("PartialError");
    Base::ServiceDataImpl& wire = *m_wire;
    out.startElement(elementName);
    vl::wire::drainEntries(out, updated, wire.getUpdatedObjArray());
    vl::wire::drainEntries(out, deleted, wire.getDeletedObjArray());
    vl::wire::drainEntries(out, created, wire.getCreatedObjArray());
    vl::wire::drainEntries(out, plain, wire.getPlainObjArray());
    vl::wire::drainEntries(out, data, wire.getDataObjectArray());
    {
        // One wire object, refilled for each object read and written as it
        // stands: its bodies, arrays and texts are made once per reply, not
        // once per object.
        vl::platform::PropertyReader reader;
        vl::platform::PropertyRead read;
        Base::ModelObject object;
        for (const auto& [tag, names] : m_properties)
            if (inflateObject(tag, *names, reader, read, object)) object.outputXML(out, data);
    }
    forgetProperties();
    // Written from the errors' own array, which the reads above added to.
    wire.getPartialErrorArray().clear();
    vl::wire::drainEntries(out, partial, errors->getErrorArray());
    out.endElement();
}

Base::ServiceData& ServiceData::getWireData() {
    m_wire.setPartialErrorArray(PartialErrors::getWireData().getErrorArray());
    return m_wire;
}

void ServiceData::setRefreshPOM(bool refresh) { g_refreshPOM = refresh; }
bool ServiceData::askRefreshPOM() { return g_refreshPOM; }

ServiceException::ServiceException() {
    for (auto& error : takeStore()) m_wire.addError(std::move(error));
    const auto& errors = m_wire.getErrors();
    m_wire.setMessage(errors.empty() ? "The operation failed." : errors.back().message);
}

ServiceException::ServiceException(const std::string& message) { m_wire.setMessage(message); }

}  // namespace Velmora::Soa::Server
