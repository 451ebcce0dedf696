#pragma once
// Object property policies: which properties to return for objects of a type.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Velmora::Soa::Common {

struct ObjectProperties {
    std::string typeName;
    std::set<std::string> propertyNames;
};

}  // namespace Velmora::Soa::Common

namespace Velmora::Soa::Server {

class ServicePolicy {
public:
    ServicePolicy() = default;
    ServicePolicy(const ServicePolicy&) {}
    ServicePolicy& operator=(const ServicePolicy&) { return *this; }
    virtual ~ServicePolicy() = default;
    // No properties are added for any operation by default.
    virtual std::vector<Velmora::Soa::Common::ObjectProperties> getOperationPolicy(const std::string& operationName);
};

}  // namespace Velmora::Soa::Server

namespace Velmora::Soa::Internal::Server {

class PropertyPolicy {
public:
    PropertyPolicy() = default;
    PropertyPolicy(const PropertyPolicy&) = default;
    PropertyPolicy& operator=(const PropertyPolicy&) = default;
    virtual ~PropertyPolicy() = default;

    virtual int size() const { return static_cast<int>(m_types.size()); }
    virtual std::string getName() = 0;
    // The properties for a type name; empty when the policy names none.
    virtual Velmora::Soa::Common::ObjectProperties getObjectProperties(const std::string& typeName);
    // The policy's entry for exactly that type name, null when it names none.
    const Velmora::Soa::Common::ObjectProperties* findType(const std::string& typeName) const;

protected:
    std::map<std::string, Velmora::Soa::Common::ObjectProperties> m_types;
};

// A policy read from client text:
//   <ObjectPropertyPolicy><type name="Item"><property name="object_name"/></type></ObjectPropertyPolicy>
class XmlPropertyPolicy : public PropertyPolicy {
public:
    // Throws DomException for text that cannot be read as a policy.
    static XmlPropertyPolicy* createPolicy(const std::string& xml);
    std::string getName() override { return m_name; }

private:
    XmlPropertyPolicy() = default;
    std::map<std::string, Velmora::Soa::Common::ObjectProperties> m_reserved;
    std::string m_name = "XmlPolicy";
};

class PerServicePropertyPolicy : public PropertyPolicy {
public:
    std::string getName() override { return m_name; }

private:
    std::vector<Velmora::Soa::Common::ObjectProperties> m_entries;
    std::string m_name;
};

// Holds the installed policies; owns them.
class PolicyManager {
public:
    static void setEmptyPolicy(bool empty);
    static bool isEmptyPolicy();
    // Installs `policy` under `name`, freeing any policy it replaces; owns it
    // from the call on, also when the call fails.
    static void addPropertyPolicy(const std::string& name, PropertyPolicy* policy);
    static PropertyPolicy* findPolicy(const std::string& name);
    // The state of a fresh server: no policy installed, the empty policy off.
    static void reset();
};

}  // namespace Velmora::Soa::Internal::Server
