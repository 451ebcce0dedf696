#include "soa_server/service_data.hxx"

#include <utility>

namespace Velmora::Soa::Server {

void ModelSchema::addType(const std::string& uid, const std::string& name, const std::string& uifName,
                          const std::string& className, const std::string& parentTypeName,
                          const std::string& typeUid, bool isExternal) {
    Base::ModelType type;
    type.setUid(uid);
    type.setName(name);
    type.setUifName(uifName);
    type.setClassName(className);
    type.setParentTypeName(parentTypeName);
    type.setTypeUid(typeUid);
    type.setExternalObject(isExternal);
    m_wire.addType(type);
}

void ModelSchema::addPropertyDescriptor(const std::string& typeUid, const std::string& name,
                                        const std::string& displayName, int valueType, int propertyType,
                                        bool displayable, bool isArray, const std::string& lovUid,
                                        const std::string& lovTypeUid, bool required, bool enabled, bool modifiable,
                                        int lovAttachSpecifier, int maxLength,
                                        std::vector<std::string> interdependents) {
    const auto& types = m_wire.getTypeArray();
    // The owner is nearly always the entry just added: search from the end.
    for (auto it = types.rbegin(); it != types.rend(); ++it) {
        if (it->getUid() != typeUid) continue;
        Base::PropDescriptor descriptor;
        descriptor.setTypeUid(typeUid);
        descriptor.setName(name);
        descriptor.setUiname(displayName);
        descriptor.setType(valueType);
        descriptor.setPtype(propertyType);
        descriptor.setDisplayable(displayable);
        descriptor.setAnArray(isArray);
        descriptor.setLovUid(lovUid);
        descriptor.setLovTypeUid(lovTypeUid);
        descriptor.setRequired(required);
        descriptor.setEnabled(enabled);
        descriptor.setModifiable(modifiable);
        descriptor.setAttachedSpecifier(lovAttachSpecifier);
        descriptor.setMaxLength(maxLength);
        for (auto& dependant : interdependents) {
            Base::PropDependant entry;
            entry.setName(std::move(dependant));
            descriptor.addPropDependant(entry);
        }
        Base::ModelType owner = *it;  // shares the entry's body
        owner.addPropDescriptor(descriptor);
        return;
    }
}

void ModelSchema::addClass(const std::string& className, const std::string& parentClassName) {
    Base::ModelClass cls;
    cls.setName(className);
    cls.setParentClassName(parentClassName);
    m_wire.addClasse(cls);
}

}  // namespace Velmora::Soa::Server
