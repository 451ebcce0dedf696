#pragma once
// The typed property setter: sets one property of one object from strings,
// converted after the property's value type; and the check that an object
// may be read at all.
#include "tag/tag.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Core {

class DataManagementUtil {
public:
    DataManagementUtil() = default;
    ~DataManagementUtil() = default;
    DataManagementUtil& operator=(const DataManagementUtil&) = default;

    // 0 on success, 1 when the object has no such property, else the code of
    // the platform step that failed. Records no partial error. An object of
    // the local data manager that the caller has not locked is locked, saved
    // and released here; one the caller locked is left unsaved for it.
    // A text that does not convert (a date, a logical, a number) throws
    // IFail with the bad-value code, after the lock this call took is
    // released.
    static int setProperties(const unsigned int& object, const std::string& propertyName,
                             const std::vector<std::string>& values);

    // Throws IFail, with its error stored, unless the tag is valid and its
    // object loads; `notLoadedCode` is the code stored when it does not load.
    static void checkValidAndLoaded(const Tag& object, int notLoadedCode);
};

}  // namespace Velmora::Soa::Core
