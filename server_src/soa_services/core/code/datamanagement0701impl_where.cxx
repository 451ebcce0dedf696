// Where-used and where-referenced queries.
#include "soa_services/core/code/datamanagement0701impl.hxx"

#include "aom/aom.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "ps/ps.hxx"
#include "sm/scoped_smptr.hxx"

namespace Velmora::Soa::Core::_2007_01 {

namespace {

// The level the operation itself gives a meaning: every level asked of the
// store, only the top-level parents kept.
constexpr int kTopLevelsOnly = -2;

}  // namespace

DataManagement::WhereReferencedResponse DataManagementImpl::whereReferenced(
    const std::vector<POMRef<WorkspaceObject>>& objects, int numLevels) {
    WhereReferencedResponse response;
    Velmora::Soa::Server::ServiceData& data = response.serviceData;
    for (const POMRef<WorkspaceObject>& input : objects) {
        const Tag& object = input.tag();
        if (Tag::isValid(object) != 0) {
            ERROR_store(3, vl::platform::ERR_UNUSABLE_INPUT_OBJECT);
            data.addErrorStack(object);
            continue;
        }
        // Owned from the call on: the store hands out blocks even for no referencer.
        int count = 0;
        scoped_smptr<int> levels;
        scoped_smptr<tag_t> referencers;
        scoped_smptr<char*> relations;  // one block with its strings
        try {
            ResultStatus status;
            status = WSOM_where_referenced(object, numLevels, &count, &levels, &referencers, &relations);
        } catch (const IFail&) {
            ERROR_store(3, vl::platform::ERR_WHERE_REFERENCED_FAILED);
            data.addErrorStack(object);
            continue;
        }
        WhereReferencedOutput output;
        output.inputObject = input;
        for (int k = 0; k < count; ++k) {
            output.infos.push_back({POMRef<WorkspaceObject>(referencers[k]), relations[k], levels[k]});
            data.addPlainObject(Tag(referencers[k]));
        }
        response.output.push_back(std::move(output));
    }
    return response;
}

DataManagement::WhereUsedResponse DataManagementImpl::whereUsed(const std::vector<Tag>& objects, int numLevels,
                                                                bool whereUsedPrecise, Tag& rule) {
    WhereUsedResponse response;
    Velmora::Soa::Server::ServiceData& data = response.serviceData;

    // What to ask about: an item stands for its latest revision. An object
    // that cannot be loaded, or an item whose latest revision cannot be
    // found, fails the whole request.
    std::vector<POMRef<WorkspaceObject>> queried;
    for (const Tag& input : objects) {
        POMRef<WorkspaceObject> object(input);
        if (object->isA(OstraItemP::pomClassName())) {
            POMRef<OstraItemP> item(input);
            unsigned int latest = NULLTAG;
            ResultStatus status;
            status = item->askLatestRev(&latest);
            queried.emplace_back(latest);
        } else if (object->isA(OstraItemRevP::pomClassName()) || object->isA(AppearanceGroup::pomClassName())) {
            queried.emplace_back(input);
        } else {
            ERROR_store(3, vl::platform::ERR_UNUSABLE_INPUT_OBJECT);
            data.addErrorStack(input);
        }
    }

    const bool topOnly = numLevels == kTopLevelsOnly;
    const int depth = topOnly ? -1 : numLevels;
    for (const POMRef<WorkspaceObject>& asked : queried) {
        int count = 0;
        scoped_smptr<int> levels;
        scoped_smptr<tag_t> parents;
        try {
            ResultStatus status;
            if (whereUsedPrecise)
                status = PS_where_used_precise(asked.tag(), depth, &count, &levels, &parents);
            else if (!rule.isNull())
                status = PS_where_used_configured(asked.tag(), rule, depth, &count, &levels, &parents);
            else
                status = PS_where_used_all(asked.tag(), depth, &count, &levels, &parents);
        } catch (const IFail&) {
            ERROR_store(3, vl::platform::ERR_WHERE_USED_FAILED);
            data.addErrorStack(asked.tag());
            continue;
        }
        WhereUsedOutput output;
        output.inputObject = asked;
        for (int k = 0; k < count; ++k) {
            // Top level only: an entry directly followed by a deeper one has parents of its own.
            if (topOnly && k + 1 < count && levels[k] < levels[k + 1]) continue;
            output.infos.push_back({POMRef<OstraItemRevP>(parents[k]), levels[k]});
            data.addPlainObject(Tag(parents[k]));
        }
        response.output.push_back(std::move(output));
    }
    return response;
}

}  // namespace Velmora::Soa::Core::_2007_01
