// Data management 2006_03: reading properties, setting display values, and
// the "::"-separated property texts of new master forms.
#include "soa_services/core/code/datamanagement0603impl.hxx"

#include "aom/aom.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "foundation/vl_string.hxx"
#include "kernel/pref.hxx"
#include "kernel/session.hxx"
#include "pom/pom.hxx"
#include "sa/sa.hxx"
#include "soa_services/core/code/datamanagement_util.hxx"

#include <set>

namespace Velmora::Soa::Core::_2006_03 {

using Velmora::Soa::Server::ServiceData;

ServiceData DataManagementImpl::getProperties(const std::vector<Tag>& objects,
                                              const std::vector<std::string>& attributes) {
    ServiceData data;
    const std::set<std::string> names(attributes.begin(), attributes.end());
    for (const Tag& object : objects) {
        try {
            DataManagementUtil::checkValidAndLoaded(object, vl::platform::ERR_INVALID_TAG);
        } catch (const IFail&) {
            data.addErrorStack();
            continue;
        }
        data.addPlainObject(object);
        data.addProperties(object, names);
    }
    return data;
}

ServiceData DataManagementImpl::setDisplayProperties(const std::vector<Tag>& objects,
                                                     const std::map<std::string, std::string>& attributes) {
    ServiceData data;
    for (const Tag& object : objects) {
        bool locked = false;
        try {
            if (object.isNull() || Tag::isValid(object) != 0) {
                ERROR_store(3, vl::platform::ERR_INVALID_TAG);
                data.addErrorStack(object);
                continue;
            }
            ResultStatus status;
            bool granted = false;
            status = AM_check_privilege(object, "WRITE", &granted);
            if (!granted) {
                ERROR_store(3, vl::platform::ERR_NOT_MODIFIABLE);
                data.addErrorStack();
                continue;
            }
            status = AOM_refresh(object, 1);
            locked = true;
            for (const auto& [name, text] : attributes) {
                if (name.empty() || text.empty()) {
                    ERROR_store(3, vl::platform::ERR_EMPTY_DISPLAY_VALUE);
                    data.addErrorStack(object);
                    continue;
                }
                try {
                    ResultStatus set;
                    set = AOM_UIF_set_value(object, name.c_str(), text.c_str());
                } catch (const IFail&) {
                    data.addErrorStack(object);
                }
            }
            status = AOM_save(object);
            status = AOM_refresh(object, 0);
            locked = false;
            data.addUpdatedObject(object);
        } catch (const IFail&) {
            // A failed save or release leaves no lock behind.
            if (locked) AOM_refresh(object, 0);
            data.addErrorStack(object);
        }
    }
    return data;
}

int DataManagementImpl::setVLProperty(const Tag& object, const std::string& propertyName,
                                      const std::string& value) const {
    VelqStringTokenizer tokens{String(value), String("::")};
    std::vector<std::string> values;
    for (String token = tokens.next(); !token.empty(); token = tokens.next()) values.push_back(token.str());
    return Velmora::Soa::Core::DataManagementUtil::setProperties(object.value(), propertyName, values);
}

int DataManagementImpl::getObjectType(unsigned int object, unsigned int* type) const {
    *type = NULLTAG;
    if (object == NULLTAG) return 0;
    if (OSTRATYPE_ask_object_type(object, type) != 0) return 26003;
    return 0;
}

Tag DataManagementImpl::getDefaultFolder() {
    POMObject* loaded = nullptr;
    Tag user(loginUser::currentUserTag());
    User* current = nullptr;
    if (user.object(&loaded) != status_t::OK || !(current = dynamic_cast<User*>(loaded))) return Tag();
    int value = 1;
    if (PREF_ask_int_value("WsoInsertNoSelectionsPref", 0, &value) != 0) return Tag();
    if (value == 1) return Tag(current->newstuffFolder());
    if (value == 2) return Tag(current->homeFolder());
    return Tag();
}

}  // namespace Velmora::Soa::Core::_2006_03
