#include "soa_services/core/code/related_object_collector.hxx"

#include "aom/grm.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "sm/scoped_smptr.hxx"

namespace Velmora::Soa::Core::Util {

RelatedObjectCollector::RelatedObjectCollector(const std::string& relationName,
                                               const std::vector<std::string>& typeNames, bool ignoreErrors)
    : ignoreErrors(ignoreErrors) {
    initialise(relationName, typeNames);
}

RelatedObjectCollector::RelatedObjectCollector(const std::string& relationName, bool ignoreErrors)
    : ignoreErrors(ignoreErrors) {
    initialise(relationName, {});
}

void RelatedObjectCollector::initialise(const std::string& relationName, const std::vector<std::string>& typeNames) {
    if (!relationName.empty()) {
        ResultStatus status;
        tag_t found = NULLTAG;
        status = GRM_find_relation_type(relationName.c_str(), &found);
        if (found == NULLTAG) status = ERROR_store(3, vl::platform::ERR_NO_SUCH_RELATION_TYPE);
        relationType = found;
    }
    allowedTypes.insert(typeNames.begin(), typeNames.end());
}

void RelatedObjectCollector::getSecondaryRelatedObjects(unsigned int object, std::vector<unsigned int>& result) {
    ResultStatus status;
    int count = 0;
    scoped_smptr<tag_t> objects;
    status = GRM_list_secondary_objects_only(object, relationType, &count, &objects);
    filterAllowedTypes(count, objects, result);
}

void RelatedObjectCollector::getPrimaryRelatedObjects(unsigned int object, std::vector<unsigned int>& result) {
    ResultStatus status;
    int count = 0;
    scoped_smptr<tag_t> objects;
    status = GRM_list_primary_objects_only(object, relationType, &count, &objects);
    filterAllowedTypes(count, objects, result);
}

void RelatedObjectCollector::filterAllowedTypes(int count, const unsigned int* objects,
                                                std::vector<unsigned int>& result) {
    for (int i = 0; i < count; ++i) {
        if (allowedTypes.empty()) {
            result.push_back(objects[i]);
            continue;
        }
        try {
            ResultStatus status;
            tag_t type = NULLTAG;
            status = OSTRATYPE_ask_object_type(objects[i], &type);
            if (type == NULLTAG) continue;
            char name[OSTRATYPE_name_size_c + 1] = "";
            status = OSTRATYPE_ask_name(type, name);
            if (allowedTypes.count(name)) result.push_back(objects[i]);
        } catch (const IFail&) {
            if (!ignoreErrors) throw;
            // Left out, reported nowhere: its error must not reach a later,
            // unrelated partial error.
            ERROR_store_clear();
        }
    }
}

}  // namespace Velmora::Soa::Core::Util
