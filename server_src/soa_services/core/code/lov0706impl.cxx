#include "soa_services/core/code/lov0706impl.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"

namespace Velmora::Soa::Core::_2007_06 {

// The index counts the infos that name a type; an info without one is keyed
// by its (empty) type name instead. An info's outputs enter the answer only
// when all its look-ups succeeded, and never replace an earlier info's.
LOV::AttachedLOVsResponse LOVImpl::getAttachedLOVs(const std::vector<LOVInfo>& infos) {
    std::map<std::string, std::vector<LOVOutput>> found;
    Velmora::Soa::Server::ServiceData serviceData;
    ResultStatus status;
    int index = 0;
    tag_t lov = NULLTAG;
    for (const auto& info : infos) {
        const std::string typeName = info.typeName;
        try {
            if (typeName.empty()) {
                ERROR_store(3, vl::platform::ERR_LOV_EMPTY_TYPE_NAME);
                serviceData.addErrorStack(typeName);
                continue;
            }
            std::vector<LOVOutput> outputs;
            for (const auto& propName : info.propNames) {
                if (propName.empty()) {
                    ERROR_store(3, vl::platform::ERR_LOV_EMPTY_PROPERTY_NAME);
                    serviceData.addErrorStackWithIndex(index);
                    continue;
                }
                status = LOV_find_attached_prop(typeName.c_str(), propName.c_str(), &lov);
                if (lov == NULLTAG) continue;
                outputs.push_back({propName, POMRef<ListOfValues>(lov)});
                serviceData.addPlainObject(Tag(lov));
            }
            if (!outputs.empty()) found.emplace(typeName, std::move(outputs));
        } catch (IFail&) {
            serviceData.addErrorStackWithIndex(index);
        }
        ++index;
    }
    return {std::move(found), serviceData};
}

}  // namespace Velmora::Soa::Core::_2007_06
