#include "soa_services/core/code/datamanagement_util.hxx"

#include "aom/aom.hxx"
#include "aom/ostratype.hxx"
#include "foundation/date.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "propdesc/property_descriptor.hxx"
#include "sm/scoped_smptr.hxx"
#include "sm/sm.hxx"
#include "soa_common/lexical_cast.hxx"
#include "soa_server/property.hxx"
#include "soa_server/utils.hxx"

#include <algorithm>

namespace Velmora::Soa::Core {

namespace {

char toChar(const std::string& text) { return text.empty() ? '\0' : text[0]; }
date_s toDate(const std::string& text) { return Velmora::Soa::Server::Property::parseDate(text); }
// A number text must be the whole number: "12abc", "1e999" or an int out of
// range is refused, never stored as something else. The empty text is 0.
double toDouble(const std::string& text) {
    return text.empty() ? 0.0 : Velmora::Soa::Common::Xml::lexical_cast<double, std::string>(text);
}
int toInt(const std::string& text) {
    return text.empty() ? 0 : Velmora::Soa::Common::Xml::lexical_cast<int, std::string>(text);
}
bool toLogical(const std::string& text) { return Velmora::Soa::Common::Xml::lexical_cast<bool, std::string>(text); }
tag_t toTag(const std::string& text) { return Velmora::Soa::Internal::Server::Utils::uidToTag(text); }

// One value or the whole array, converted in order; the array is a platform
// block, freed once the setter returns (or a conversion throws).
template <class T, class Convert, class SetOne, class SetMany>
int setTyped(tag_t object, const char* name, bool single, const std::string& first,
             const std::vector<std::string>& values, Convert convert, SetOne setOne, SetMany setMany) {
    if (single) return setOne(object, name, convert(first));
    const int count = static_cast<int>(values.size());
    scoped_smptr<T> array(static_cast<T*>(SM_alloc_persistent(sizeof(T) * std::max(count, 1))));
    for (int i = 0; i < count; ++i) array[i] = convert(values[i]);
    return setMany(object, name, count, array.get());
}

int setStrings(tag_t object, const char* name, bool single, const std::string& first,
               const std::vector<std::string>& values) {
    if (single) return AOM_set_value_string(object, name, first.c_str());
    const int count = static_cast<int>(values.size());
    char** array = static_cast<char**>(SM_alloc_persistent(sizeof(char*) * std::max(count, 1)));
    for (int i = 0; i < count; ++i) array[i] = SM_string_copy_persistent(values[i].c_str());
    int rc = AOM_set_value_strings(object, name, count, array);
    for (int i = 0; i < count; ++i) SM_free(array[i]);
    SM_free(array);
    return rc;
}

bool isReference(int type) { return (type >= 9 && type <= 11) || type == 13 || type == 14; }

}  // namespace

int DataManagementUtil::setProperties(const unsigned int& object, const std::string& propertyName,
                                      const std::vector<std::string>& values) {
    const char* name = propertyName.c_str();
    bool lockedHere = false;
    if (TAG_ask_dm_of_tag(object) == EIM_ask_data_manager()) {
        bool modifiable = false;
        POM_modifiable(object, &modifiable);
        if (!modifiable) {
            lockedHere = true;
            AOM_refresh(object, 1);
        }
    }
    const std::string first = values.empty() ? std::string() : values.front();

    PropertyDescriptor* descriptor = nullptr;
    if (AOM_ask_property_desc(object, name, &descriptor) != 0 || !descriptor) {
        if (lockedHere) AOM_refresh(object, 0);
        return 1;
    }
    const int type = descriptor->valueType();
    const bool single = descriptor->arraySize() == 1;

    int status = 0;
    try {
        switch (type) {
            case 1:
                status = setTyped<char>(object, name, single, first, values, toChar, AOM_set_value_char,
                                        AOM_set_value_chars);
                break;
            case 2:
                status = setTyped<date_s>(object, name, single, first, values, toDate, AOM_set_value_date,
                                          AOM_set_value_dates);
                break;
            case 3:
            case 4:
                status = setTyped<double>(object, name, single, first, values, toDouble, AOM_set_value_double,
                                          AOM_set_value_doubles);
                break;
            case 5:
            case 7:
                status = setTyped<int>(object, name, single, first, values, toInt, AOM_set_value_int,
                                       AOM_set_value_ints);
                break;
            case 6:
                status = setTyped<bool>(object, name, single, first, values, toLogical, AOM_set_value_logical,
                                        AOM_set_value_logicals);
                break;
            case 8:
            case 12:
                status = setStrings(object, name, single, first, values);
                break;
            case 9:
            case 10:
            case 11:
            case 13:
            case 14:
                status = setTyped<tag_t>(object, name, single, first, values, toTag, AOM_set_value_tag,
                                         AOM_set_value_tags);
                break;
            default:
                break;  // nothing to set for other value types
        }
    } catch (...) {
        // A text that does not convert: the lock taken here goes with it.
        if (lockedHere) AOM_refresh(object, 0);
        throw;
    }

    if (status == 0 && isReference(type)) {
        OstraProperty* property = nullptr;  // the platform's own
        int rc = AOM_ask_property(object, name, &property);
        if (rc != 0) {
            status = rc;
        } else if (tag_t folder = PseudoFolder::askPseudoFolder(property); folder != NULLTAG) {
            OstraType::addToChangedTagList(folder, nullptr);
        }
    }

    if (lockedHere && TAG_ask_dm_of_tag(object) == EIM_ask_data_manager()) {
        if (status == 0) {
            int saved = AOM_save(object);
            int released = AOM_refresh(object, 0);
            status = saved != 0 ? saved : released;
        } else {
            AOM_refresh(object, 0);
        }
    }
    return status;
}

void DataManagementUtil::checkValidAndLoaded(const Tag& object, int notLoadedCode) {
    PomResultStatus status;
    bool valid = false;
    status = POM_is_tag_valid(object, &valid);
    if (!valid) status = ERROR_store(3, vl::platform::ERR_INVALID_TAG);
    POMObject* loaded = nullptr;
    if (object.object(&loaded) != status_t::OK) status = ERROR_store(3, notLoadedCode);
}

}  // namespace Velmora::Soa::Core
