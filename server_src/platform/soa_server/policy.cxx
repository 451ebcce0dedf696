#include "soa_server/policy.hxx"

#include "soa_common/xml.hxx"

namespace Velmora::Soa::Server {

std::vector<Velmora::Soa::Common::ObjectProperties> ServicePolicy::getOperationPolicy(const std::string&) {
    return {};
}

}  // namespace Velmora::Soa::Server

namespace Velmora::Soa::Internal::Server {

namespace {

struct PolicyState {
    bool empty = false;
    std::map<std::string, std::unique_ptr<PropertyPolicy>> policies;
};

PolicyState& policies() {
    static PolicyState s;
    return s;
}

[[noreturn]] void refuse(const std::string& why) {
    throw Velmora::Soa::Common::Exceptions::DomException("The object property policy could not be read: " + why);
}

}  // namespace

Velmora::Soa::Common::ObjectProperties PropertyPolicy::getObjectProperties(const std::string& typeName) {
    auto it = m_types.find(typeName);
    if (it == m_types.end()) return {typeName, {}};
    return it->second;
}

const Velmora::Soa::Common::ObjectProperties* PropertyPolicy::findType(const std::string& typeName) const {
    auto it = m_types.find(typeName);
    return it == m_types.end() ? nullptr : &it->second;
}

XmlPropertyPolicy* XmlPropertyPolicy::createPolicy(const std::string& xml) {
    using Velmora::Soa::Common::Xml::XMLNode;
    Velmora::Soa::Common::Xml::SAXToNodeParser parser;
    const XMLNode& root = parser.parseString(xml);
    if (root.name() != "ObjectPropertyPolicy") refuse("the root element must be <ObjectPropertyPolicy>");
    std::unique_ptr<XmlPropertyPolicy> policy(new XmlPropertyPolicy);
    for (const XMLNode* type : root.children()) {
        const std::string* name = type->attr("name");
        if (type->name() != "type" || !name || name->empty()) refuse("each entry must be <type name=\"...\">");
        auto& entry = policy->m_types[*name];
        entry.typeName = *name;
        for (const XMLNode* prop : type->children()) {
            const std::string* propName = prop->attr("name");
            if (prop->name() != "property" || !propName || propName->empty())
                refuse("each property must be <property name=\"...\"/>");
            entry.propertyNames.insert(*propName);
        }
    }
    return policy.release();
}

void PolicyManager::setEmptyPolicy(bool empty) { policies().empty = empty; }
bool PolicyManager::isEmptyPolicy() { return policies().empty; }

void PolicyManager::addPropertyPolicy(const std::string& name, PropertyPolicy* policy) {
    std::unique_ptr<PropertyPolicy> owned(policy);
    policies().policies[name] = std::move(owned);
}

PropertyPolicy* PolicyManager::findPolicy(const std::string& name) {
    auto& all = policies().policies;
    auto it = all.find(name);
    return it == all.end() ? nullptr : it->second.get();
}

void PolicyManager::reset() {
    policies().empty = false;
    policies().policies.clear();
}

}  // namespace Velmora::Soa::Internal::Server
