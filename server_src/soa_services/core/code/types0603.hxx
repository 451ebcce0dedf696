#pragma once
// Service interface of "Internal-Core-2006-03-Types": descriptions of object
// types, by name or by the uid of the type object.
#include "soa_server/service_data.hxx"

#include <string>
#include <vector>

namespace Velmora::Soa::Internal::Core::_2006_03 {

class Types {
public:
    Types() = default;
    Types(const Types&) = default;
    Types& operator=(const Types&) = default;

    virtual Velmora::Soa::Server::ModelSchema initTypeByNames(const std::vector<std::string>& typeNames) = 0;
    virtual Velmora::Soa::Server::ModelSchema initTypeByUids(const std::vector<std::string>& uids) = 0;

protected:
    // Never deleted through the interface.
    ~Types() = default;
};

}  // namespace Velmora::Soa::Internal::Core::_2006_03
