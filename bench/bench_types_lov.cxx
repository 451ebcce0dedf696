// Cost per item of the type service's initTypeByNames (n names, fixture
// types repeated; parents are described by the first run only) and of
// getAttachedLOVs (one info of n property names, some with a list and some
// without), through the gateway, at growing n.
//
// Counter: per_item, the time of the whole request (parse, work, reply)
// divided by n.
#include "bench_support.hxx"
#include "gateway/vl_service_manager.hxx"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using vl::bench::expectNoErrors;
using vl::bench::loadSite;

std::string invoke(const char* service, const char* operation, const std::string& xml) {
    std::string reply;
    if (!VlServiceManager::instance().invoke(service, operation, xml, &reply)) {
        std::fprintf(stderr, "%s is not registered\n", service);
        std::exit(1);
    }
    return reply;
}

// Times `xml` as one request of n items, after one checked sample.
void timeRequest(benchmark::State& state, const char* service, const char* operation, const std::string& xml, int n) {
    expectNoErrors(invoke(service, operation, xml), operation);
    for (auto _ : state) {
        std::string reply = invoke(service, operation, xml);
        benchmark::DoNotOptimize(reply.data());
    }
    state.counters["per_item"] = benchmark::Counter(static_cast<double>(state.iterations()) * n,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void TypesByNames(benchmark::State& state) {
    loadSite();
    const int n = static_cast<int>(state.range(0));
    static const char* const kTypes[] = {"Item", "Document", "Folder", "Gauge", "ExternalDrawing", "PartRevision"};
    std::string xml = "<InitTypeByNamesInput>";
    for (int i = 0; i < n; ++i) xml += std::string("<typeName value=\"") + kTypes[i % 6] + "\"/>";
    xml += "</InitTypeByNamesInput>";
    timeRequest(state, "Internal-Core-2006-03-Types", "initTypeByNames", xml, n);
}

void AttachedLovs(benchmark::State& state) {
    loadSite();
    const int n = static_cast<int>(state.range(0));
    static const char* const kProperties[] = {"uom_tag", "doc_category", "object_name"};
    std::string xml = "<GetAttachedLOVsInput><input typeName=\"Document\">";
    for (int i = 0; i < n; ++i) xml += std::string("<propName value=\"") + kProperties[i % 3] + "\"/>";
    xml += "</input></GetAttachedLOVsInput>";
    timeRequest(state, "Core-2007-06-LOV", "getAttachedLOVs", xml, n);
}

BENCHMARK(TypesByNames)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(AttachedLovs)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
