#pragma once
// Server-side result records: what an operation created, changed, deleted or
// read, with its partial errors, turned into the wire service data at the end.
#include "pom/tag_hash.hxx"
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/exceptions.hxx"
#include "tag/tag.hxx"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vl::platform {
class PropertyReader;
struct PropertyRead;
}  // namespace vl::platform

namespace Velmora::Soa::Server {

namespace Base = Velmora::Schemas::Soa::_2006_03::Base;

// Each addErrorStack call takes the errors the error store holds at that
// moment out of it and records them as one error stack under the key.
class PartialErrors {
public:
    PartialErrors() = default;
    PartialErrors(const PartialErrors&) = default;
    PartialErrors& operator=(const PartialErrors&) = default;
    PartialErrors(PartialErrors&&) = default;
    PartialErrors& operator=(PartialErrors&&) = default;
    ~PartialErrors() = default;

    void addErrorStack();
    void addErrorStack(const Tag& object);
    void addErrorStack(const std::string& clientId);
    void addErrorStackWithIndex(int index);

    Base::PartialErrors& getWireData() { return m_wire; }
    const Base::PartialErrors& getWireData() const { return m_wire; }

private:
    Base::ErrorStack takeStoredErrors();
    Base::PartialErrors m_wire;
};

class ServiceData : public PartialErrors {
public:
    ServiceData() = default;
    ServiceData(const ServiceData&) = default;
    ServiceData& operator=(const ServiceData&) = default;
    ServiceData(ServiceData&&) = default;
    ServiceData& operator=(ServiceData&&) = default;
    ~ServiceData() = default;

    // Each object is listed once per kind, in the order first added.
    void addCreatedObject(const Tag& object);
    void addUpdatedObject(const Tag& object);
    void addPlainObject(const Tag& object);
    void addDeletedObject(const std::string& uid);

    void addProperty(const Tag& object, const std::string& name);
    void addProperties(const Tag& object, const std::set<std::string>& names);

    // Called once per reply, in this order. getNotifications adds to every
    // created, updated and plain object the properties the installed
    // "XmlPolicy" names for its type (or the nearest ancestor type it names)
    // and the type has, unless the empty policy is on.
    void getNotifications();
    // Reads the requested properties from the store into the reply; a
    // property that cannot be read becomes a partial error keyed by its object.
    void inflateProperties();
    Base::ServiceData& getWireData();
    // Writes what getWireData() would give after inflateProperties(), as its
    // drainXML does, reading each object's properties just before the object
    // is written and letting it go once written. Called once, after
    // getNotifications, in place of both.
    void writeInflated(Velmora::Soa::Common::Xml::XmlStream& out, const std::string& elementName);

    // Per-request cache refresh; with no object cache it is only kept.
    static void setRefreshPOM(bool refresh);
    static bool askRefreshPOM();

private:
    // The uids listed as one kind, found by their hash: each entry is the
    // position in the kind's wire array plus one.
    using Listed = vl::platform::store::TagHash;
    using RefArray = const std::vector<Base::RefId>& (Base::ServiceData::*)() const;
    // False when the uid was listed as that kind already.
    bool addRef(Listed& seen, RefArray listed, void (Base::ServiceData::*add)(Base::RefId), std::string uid);
    void addRef(Listed& seen, RefArray listed, void (Base::ServiceData::*add)(Base::RefId), const Tag& object);
    // Writes one requested entry over `object`: its reference and the
    // properties read, in name order. False when the object cannot be
    // described (the object is then as it was); a failed read adds an error
    // stack and leaves its property out.
    bool inflateObject(unsigned int tag, const std::set<std::string>& names, vl::platform::PropertyReader& reader,
                       vl::platform::PropertyRead& read, Base::ModelObject& object);
    void forgetProperties();

    Base::ServiceData m_wire;
    Listed m_created, m_updated, m_deleted, m_plain;
    std::set<std::string> m_reserved;
    int m_reservedInt = 0;
    // Requested properties per object, in the order the objects were named.
    // Objects named with the same properties share one set (never changed
    // once shared: adding to it makes a new one), and so do objects whose
    // sets were merged from the same two.
    using Names = std::shared_ptr<const std::set<std::string>>;
    std::vector<std::pair<unsigned int, Names>> m_properties;
    Names m_lastNames;  // the set last given
    struct Merge {
        Names held, added, merged;
    };
    Merge m_lastMerge;
    // By tag: the object's position in m_properties plus one.
    vl::platform::store::TagHash m_propertyIndex;
    // Created, updated and plain objects, in the order listed (an object
    // listed as two kinds is here twice).
    std::vector<unsigned int> m_listed;
};

class Preferences {
public:
    Preferences() = default;
    // The named preferences as read at `scope`.
    Preferences(const std::vector<std::string>& names, const std::string& scope);
    Preferences(const Preferences&) = default;
    Preferences& operator=(const Preferences&) = default;
    ~Preferences() = default;

    void addPreference(const std::string& name, const std::string& scope);
    Base::Preferences& getWireData() { return m_wire; }

private:
    Base::Preferences m_wire;
};

class ModelSchema {
public:
    ModelSchema() = default;
    ModelSchema(const ModelSchema&) = default;
    ModelSchema& operator=(const ModelSchema&) = default;
    ~ModelSchema() = default;

    void addType(const std::string& uid, const std::string& name, const std::string& uifName,
                 const std::string& className, const std::string& parentTypeName, const std::string& typeUid,
                 bool isExternal);
    // Adds to the last type entry of `typeUid`; nothing when there is none.
    void addPropertyDescriptor(const std::string& typeUid, const std::string& name, const std::string& displayName,
                               int valueType, int propertyType, bool displayable, bool isArray,
                               const std::string& lovUid, const std::string& lovTypeUid, bool required, bool enabled,
                               bool modifiable, int lovAttachSpecifier, int maxLength,
                               std::vector<std::string> interdependents);
    // `parentClassName` "" at the root.
    void addClass(const std::string& className, const std::string& parentClassName);
    Base::ModelSchema& getWireData() { return m_wire; }

private:
    Base::ModelSchema m_wire;
};

// Request-level failure. A default one reports, and takes out, the errors
// the error store holds when it is made.
class ServiceException {
public:
    ServiceException();
    explicit ServiceException(const std::string& message);
    ServiceException(const ServiceException&) = default;
    ServiceException& operator=(const ServiceException&) = default;
    ~ServiceException() = default;

    Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException& getWireData() { return m_wire; }
    const Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException& getWireData() const { return m_wire; }

private:
    Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException m_wire;
};

}  // namespace Velmora::Soa::Server

namespace Velmora::Soa::Internal::Server {

class ErrorStack {
public:
    ErrorStack() = default;
    ErrorStack(const ErrorStack&) = default;
    ErrorStack& operator=(const ErrorStack&) = default;
    ~ErrorStack() = default;
    Velmora::Schemas::Soa::_2006_03::Base::ErrorStack& getWireData() { return m_wire; }

private:
    Velmora::Schemas::Soa::_2006_03::Base::ErrorStack m_wire;
};

}  // namespace Velmora::Soa::Internal::Server
