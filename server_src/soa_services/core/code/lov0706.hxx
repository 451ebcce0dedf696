#pragma once
// Service interface of "Core-2007-06-LOV": the lists of values attached to
// properties of named types.
#include "propdesc/property_descriptor.hxx"
#include "soa_server/service_data.hxx"
#include "tag/pom_ref.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Core::_2007_06 {

class LOV {
public:
    struct LOVInfo {
        std::string typeName;
        std::vector<std::string> propNames;
    };

    // A property that has a list; the list is carried by its tag only.
    struct LOVOutput {
        std::string propName;
        POMRef<ListOfValues> lov;
    };

    struct AttachedLOVsResponse {
        std::map<std::string, std::vector<LOVOutput>> inputTypeNameToLOVOutput;
        Velmora::Soa::Server::ServiceData serviceData;
    };

    LOV() = default;
    LOV(const LOV&) = default;
    LOV& operator=(const LOV&) = default;

    virtual AttachedLOVsResponse getAttachedLOVs(const std::vector<LOVInfo>& infos) = 0;

protected:
    // Never deleted through the interface.
    ~LOV() = default;
};

}  // namespace Velmora::Soa::Core::_2007_06
