// Data management 2007_06: referencers filtered by relation and type names,
// and relation expansion through the expansion engine.
#include "soa_services/core/code/datamanagement0706impl.hxx"

#include "aom/aom.hxx"
#include "aom/ostratype.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/pom.hxx"
#include "aom/loaded_objects.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_services/core/code/expand_grm_impl.hxx"

namespace Velmora::Soa::Core::_2007_06 {

namespace {

// Where the object store looks for referencers: passed as it stands.
constexpr int kReferencerSearch = 9001;

std::string objectTypeName(tag_t object) {
    ResultStatus status;
    tag_t type = NULLTAG;
    status = OSTRATYPE_ask_object_type(object, &type);
    char name[OSTRATYPE_name_size_c + 1] = "";
    status = OSTRATYPE_ask_name(type, name);
    return name;
}

}  // namespace

DataManagement::WhereReferencedByRelationNameResponse DataManagementImpl::whereReferencedByRelationName(
    const std::vector<WhereReferencedByRelationNameInfo>& inputs, int numLevels) {
    WhereReferencedByRelationNameResponse response;
    Velmora::Soa::Server::ServiceData& data = response.serviceData;
    for (const WhereReferencedByRelationNameInfo& input : inputs) {
        const Tag& object = input.object;
        std::size_t typeIndex = 0;
        bool workspace = false;
        if (Tag::isValid(object) != 0) {
            ERROR_store(3, vl::platform::ERR_UNUSABLE_INPUT_OBJECT);
            data.addErrorStack(object);
            continue;
        }
        try {
            ResultStatus status;
            POMObject* loaded = nullptr;
            status = object.object(&loaded);

            int count = 0;
            scoped_smptr<int> levels;
            scoped_smptr<tag_t> referencers;
            scoped_smptr<char*> relationNames;  // one block with its strings
            scoped_smptr<int> whereFound;
            int classCount = 0;
            scoped_smptr<tag_t> classes;
            scoped_smptr<int> classLevels;
            scoped_smptr<int> classWhereFound;
            workspace = loaded->isA("WorkspaceObject");
            if (workspace)
                status = WSOM_where_referenced(object, numLevels, &count, &levels, &referencers, &relationNames);
            else
                status = POM_referencers_of_instance(object, numLevels, kReferencerSearch, &count, &referencers,
                                                     &levels, &whereFound, &classCount, &classes, &classLevels,
                                                     &classWhereFound);

            std::vector<WhereReferencedByRelationNameOutputInfo> infos;
            for (int i = 0; i < count; ++i) {
                const Tag referencer(referencers[i]);
                if (!workspace) {
                    infos.push_back({referencer, std::string(), levels[i]});
                    data.addPlainObject(referencer);
                    continue;
                }
                const std::string relation = relationNames[i] ? relationNames[i] : "";
                for (const RelationAndTypesFilter& filter : input.filters) {
                    if (filter.relationTypeName != relation || filter.otherSideObjectTypes.empty()) continue;
                    const std::string typeName = objectTypeName(referencer);
                    const auto& types = filter.otherSideObjectTypes;
                    typeIndex = 0;
                    while (typeIndex < types.size() && types[typeIndex] != typeName) ++typeIndex;
                    if (typeIndex < types.size()) {
                        infos.push_back({referencer, relation, levels[i]});
                        data.addPlainObject(referencer);
                        break;
                    }
                }
            }

            if (!infos.empty()) {
                response.output.push_back({object, std::move(infos)});
            } else {
                const int code = !workspace       ? vl::platform::ERR_NO_REFERENCERS
                                 : typeIndex != 0 ? vl::platform::ERR_NO_TYPE_MATCH
                                                  : vl::platform::ERR_NO_RELATION_MATCH;
                ERROR_store(3, code);
                data.addErrorStack(object);
            }
        } catch (const IFail&) {
            ERROR_store(3, vl::platform::ERR_WHERE_REFERENCED_FAILED);
            data.addErrorStack(object);
        }
    }
    return response;
}

DataManagement::ExpandGRMRelationsResponse DataManagementImpl::invokeGRMexpandImpl(bool fromPrimary,
                                                                                   const std::vector<Tag>& objects,
                                                                                   const ExpandGRMRelationsPref& pref) {
    ExpandGRMImpl engine;
    return engine.expandGRMRelations(fromPrimary, objects, pref);
}

}  // namespace Velmora::Soa::Core::_2007_06
