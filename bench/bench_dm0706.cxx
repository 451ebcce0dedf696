// Cost per item of Core-2007-06-DataManagement requests through the gateway
// as the input grows: validation of n infos, where-referenced of an object
// with n referencers, expansion of an object with n related items (with
// their latest revisions and those revisions' datasets).
//
// Counter us_per_item: the mean time of one request divided by n. The store
// is built once per size, outside the measure.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/grm.hxx"
#include "bench_support.hxx"
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/utils.hxx"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using vl::bench::expectNoErrors;
using vl::bench::loadSite;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XMLNode;
using Velmora::Soa::Internal::Server::Utils;

using vl::bench::invoke;

std::string invoke(const std::string& operation, const std::string& xml) {
    return invoke("Core-2007-06-DataManagement", operation, xml);
}

void fail(const char* what) {
    std::fprintf(stderr, "set-up failed: %s\n", what);
    std::exit(1);
}

// n new items, made through Core-2006-03-DataManagement; their tags.
std::vector<tag_t> newItems(int n) {
    std::string xml = "<CreateItemsInput relationType=\"\">";
    for (int i = 0; i < n; ++i)
        xml += "<propertie clientId=\"c" + std::to_string(i) + "\" name=\"Bench " + std::to_string(i) +
               "\" type=\"Item\" description=\"\" uom=\"\" revId=\"\" itemId=\"\"/>";
    xml += "<container uid=\"\"/></CreateItemsInput>";
    const std::string made = invoke("Core-2006-03-DataManagement", "createItems", xml);
    expectNoErrors(made, "createItems");
    SAXToNodeParser parser;
    std::vector<tag_t> items;
    for (const XMLNode* output : parser.parseString(made).children()) {
        const XMLNode* item = output->name() == "output" ? output->child("item") : nullptr;
        if (item && item->attr("uid")) items.push_back(Utils::uidToTag(*item->attr("uid")));
    }
    if (static_cast<int>(items.size()) != n) fail("createItems");
    return items;
}

template <class F>
void measure(benchmark::State& state, int n, const char* what, F&& request) {
    expectNoErrors(request(), what);
    double totalUs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(request());
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(us * 1e-6);
        totalUs += us;
    }
    state.counters["us_per_item"] = state.iterations() ? totalUs / static_cast<double>(state.iterations()) / n : 0;
}

void BM_ValidateIds(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    std::string xml = "<ValidateItemIdsAndRevIdsInput>";
    for (int i = 0; i < n; ++i)
        xml += "<info itemType=\"Item\" revId=\"A\" itemId=\" BN-" + std::to_string(i) + "\"/>";
    xml += "</ValidateItemIdsAndRevIdsInput>";
    measure(state, n, "validateItemIdsAndRevIds", [&] { return invoke("validateItemIdsAndRevIds", xml); });
}

void BM_WhereReferenced(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    const tag_t target = newItems(1).front();
    for (int i = 0; i < n; ++i) {
        tag_t folder = 0;
        if (FL_create(("Holder " + std::to_string(i)).c_str(), "", &folder) || AOM_save(folder) ||
            AOM_refresh(folder, 0) || FL_insert(folder, target, 0))
            fail("folder");
    }
    const std::string xml = "<WhereReferencedByRelationNameInput numLevels=\"1\"><input><object uid=\"" +
                            Utils::tagToUid(target) +
                            "\"/><filter relationTypeName=\"contents\"><otherSideObjectType value=\"Folder\"/>"
                            "</filter></input></WhereReferencedByRelationNameInput>";
    measure(state, n, "whereReferencedByRelationName", [&] { return invoke("whereReferencedByRelationName", xml); });
}

void BM_ExpandForPrimary(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    std::vector<tag_t> items = newItems(n + 1);
    tag_t reference = 0;
    if (GRM_find_relation_type("Reference", &reference) || !reference) fail("relation type");
    for (int i = 1; i <= n; ++i) {
        tag_t relation = 0;
        if (GRM_create_relation(items[0], items[i], reference, 0, &relation) || GRM_save_relation(relation))
            fail("relation");
    }
    const std::string xml = "<ExpandGRMRelationsForPrimaryInput><primaryObject uid=\"" + Utils::tagToUid(items[0]) +
                            "\"/><pref expItemRev=\"true\"><info relationName=\"Reference\"/></pref>"
                            "</ExpandGRMRelationsForPrimaryInput>";
    measure(state, n, "expandGRMRelationsForPrimary", [&] { return invoke("expandGRMRelationsForPrimary", xml); });
}

}  // namespace

BENCHMARK(BM_ValidateIds)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WhereReferenced)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExpandForPrimary)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
