// Cost per item of "Core-2007-01-Session" getPreferences as the number of
// names grows, and of a reply whose objects the installed object property
// policy fills, beside the same reply without a policy.
//
// Counter per_item: seconds per name (getPreferences) or per object (the
// policy replies), whole requests through the gateway.
#include "aom/folder.hxx"
#include "bench_support.hxx"
#include "gateway/vl_service_manager.hxx"
#include "kernel/pref.hxx"
#include "pom/test_seams.hxx"
#include "soa_server/utils.hxx"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using vl::bench::loadSite;

std::string invoke(const char* service, const char* operation, const std::string& xml) {
    std::string reply;
    if (!VlServiceManager::instance().invoke(service, operation, xml, &reply)) {
        std::fprintf(stderr, "%s is not registered\n", service);
        std::exit(1);
    }
    vl::bench::expectNoErrors(reply, operation);
    return reply;
}

void perItem(benchmark::State& state, long items) {
    state.counters["per_item"] = benchmark::Counter(static_cast<double>(state.iterations() * items),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// N user preferences, asked for in two scopes: half at "user", half at "all".
void BM_GetPreferences(benchmark::State& state) {
    loadSite();
    const int n = static_cast<int>(state.range(0));
    std::string user = "<requestedPref scope=\"user\">", all = "<requestedPref scope=\"all\">";
    PREF_set_search_scope(OSTRA_preference_user_preference);
    for (int i = 0; i < n; ++i) {
        const std::string name = "Bench_Pref_" + std::to_string(i), value = "value " + std::to_string(i);
        const char* values[] = {value.c_str()};
        if (PREF_set_char_values(name.c_str(), 1, values) != 0) std::exit(1);
        (i % 2 ? all : user) += "<name value=\"" + name + "\"/>";
    }
    PREF_set_search_scope(OSTRA_preference_all_preferences);
    const std::string xml = "<GetPreferencesInput>" + user + "</requestedPref>" + all + "</requestedPref></GetPreferencesInput>";
    for (auto _ : state) benchmark::DoNotOptimize(invoke("Core-2007-01-Session", "getPreferences", xml));
    perItem(state, n);
}
BENCHMARK(BM_GetPreferences)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// getProperties of N folders asking for nothing: with the policy each comes
// back with the two properties it names for WorkspaceObject (Folder's
// ancestor), without it as a bare reference.
void policyReply(benchmark::State& state, bool withPolicy) {
    loadSite();
    const int n = static_cast<int>(state.range(0));
    std::string xml = "<GetPropertiesInput>";
    for (int i = 0; i < n; ++i) {
        tag_t folder = 0;
        if (FL_create(("Bench folder " + std::to_string(i)).c_str(), "made by the benchmark", &folder) != 0)
            std::exit(1);
        xml += "<object uid=\"" + Velmora::Soa::Internal::Server::Utils::tagToUid(folder) + "\"/>";
    }
    xml += "</GetPropertiesInput>";
    if (withPolicy)
        invoke("Core-2007-01-Session", "setObjectPropertyPolicy",
               "<SetObjectPropertyPolicyInput policyName=\"&lt;ObjectPropertyPolicy&gt;&lt;type "
               "name=&quot;WorkspaceObject&quot;&gt;&lt;property name=&quot;object_name&quot;/&gt;&lt;property "
               "name=&quot;object_desc&quot;/&gt;&lt;/type&gt;&lt;/ObjectPropertyPolicy&gt;\"/>");
    for (auto _ : state) benchmark::DoNotOptimize(invoke("Core-2006-03-DataManagement", "getProperties", xml));
    perItem(state, n);
}
void BM_ReplyUnderPolicy(benchmark::State& state) { policyReply(state, true); }
void BM_ReplyWithoutPolicy(benchmark::State& state) { policyReply(state, false); }
BENCHMARK(BM_ReplyUnderPolicy)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplyWithoutPolicy)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
