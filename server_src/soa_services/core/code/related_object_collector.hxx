#pragma once
// The objects attached to one object by relations of one type, seen from
// either side, kept when their own type name is in a given set (an empty set
// keeps all). Knows nothing of services: raw tags in, IFail out.
#include "tag/tag.hxx"

#include <set>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::Util {

class RelatedObjectCollector {
public:
    // An empty relation name lists relations of every type; a name that
    // names no relation type throws 214150.
    RelatedObjectCollector(const std::string& relationName, const std::vector<std::string>& typeNames,
                           bool ignoreErrors);
    RelatedObjectCollector(const std::string& relationName, bool ignoreErrors);
    RelatedObjectCollector(const RelatedObjectCollector&) = default;
    RelatedObjectCollector& operator=(const RelatedObjectCollector&) = default;
    ~RelatedObjectCollector() = default;

    // Append, in the platform's order, to `result` (never cleared). With
    // ignoreErrors an object whose type cannot be read is left out, else the
    // failure passes on with what was appended before it.
    virtual void getSecondaryRelatedObjects(unsigned int object, std::vector<unsigned int>& result);
    virtual void getPrimaryRelatedObjects(unsigned int object, std::vector<unsigned int>& result);

private:
    void initialise(const std::string& relationName, const std::vector<std::string>& typeNames);
    void filterAllowedTypes(int count, const unsigned int* objects, std::vector<unsigned int>& result);

    Tag relationType;
    std::set<std::string> allowedTypes;
    bool ignoreErrors = true;
};

}  // namespace Velmora::Soa::Core::Util
