#pragma once
// "Internal-Core-2006-03-Types" on the platform. Each requested type is
// described with its type entry, property descriptors and class chain, and
// so is every parent type not yet described in this process. Nothing is ever
// reported: a type that cannot be described is left out (or the rest of it).
#include "soa_services/core/code/types0603.hxx"
#include "tag/tag_list.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Soa::Internal::Core::_2006_03 {

class TypesImpl final : public Types {
public:
    TypesImpl() = default;
    TypesImpl(const TypesImpl&) = default;
    TypesImpl& operator=(const TypesImpl&) = default;
    ~TypesImpl() = default;

    Velmora::Soa::Server::ModelSchema initTypeByNames(const std::vector<std::string>& typeNames) override;
    Velmora::Soa::Server::ModelSchema initTypeByUids(const std::vector<std::string>& uids) override;

private:
    // Adds to `parents` the parent types of `type` up to the first one this
    // process has already described.
    void getParentTypes(unsigned int& type, std::map<std::string, unsigned int>& parents);
    // Describes the list in order; entries from `firstParent` on are parent
    // types, and each is recorded as described once its description is
    // complete.
    Velmora::Soa::Server::ModelSchema getTypeInfos(const TagList& types, const std::vector<std::string>& names,
                                                  int firstParent);
    // Appends the parents to the list and describes it.
    Velmora::Soa::Server::ModelSchema describeWithParents(TagList& types, std::vector<std::string>& names,
                                                         const std::map<std::string, unsigned int>& parents);
    // One type: entry, descriptors, class chain. Throws IFail when a step fails.
    void describeType(Velmora::Soa::Server::ModelSchema& schema, unsigned int type, const std::string& name);
    void describeProperties(Velmora::Soa::Server::ModelSchema& schema, unsigned int type, const std::string& uid);
    void describeClassified(Velmora::Soa::Server::ModelSchema& schema, unsigned int type, const std::string& uid);
    void describeClassChain(Velmora::Soa::Server::ModelSchema& schema, const std::string& className);

    // Parent types this process has put into an answer, by name; lives as long
    // as the process.
    static std::map<std::string, unsigned int>& describedParents();
};

}  // namespace Velmora::Soa::Internal::Core::_2006_03
