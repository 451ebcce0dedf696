// Cost of whereUsed up a chain of n pinned revisions (the query answers
// all n levels), through the gateway and as the bare platform query.
//
// Counter us_per_item: microseconds per level found. The chain is built
// outside the measure.
#include "aom/item.hxx"
#include "gateway/vl_service_manager.hxx"
#include "pom/soa_view.hxx"
#include "pom/test_seams.hxx"
#include "ps/ps.hxx"
#include "sm/sm.hxx"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kService = "Core-2007-01-DataManagement";

// A fresh default site with a chain of n items above the widget's revision,
// each revision pinning the one below; returns the bottom revision.
tag_t chain(int n) {
    if (vl::platform::SITE_ensure_loaded(VL_DEFAULT_SITE) != 0) std::exit(1);
    vl::platform::SITE_reset();
    tag_t widget = 0, bottom = 0;
    ITEM_find_item("000100", &widget);
    ITEM_ask_latest_rev(widget, &bottom);
    tag_t below = bottom;
    for (int i = 0; i < n; ++i) {
        OstraItem item;
        OstraItemRev rev;
        if (OstraItem::create("BENCH-" + std::to_string(i), "", "Item", "A", 0, 0, item, rev) != 0 ||
            PS_create_occurrence(rev.tag(), below, nullptr) != 0) {
            std::fprintf(stderr, "could not build the chain at %d\n", i);
            std::exit(1);
        }
        below = rev.tag();
    }
    return bottom;
}

// Microseconds per level found, over the runs since t0.
void perItem(benchmark::State& state, std::chrono::steady_clock::time_point t0, int n) {
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    state.counters["us_per_item"] = state.iterations() ? us / static_cast<double>(state.iterations()) / n : 0;
}

void BM_WhereUsedChain(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const tag_t bottom = chain(n);
    // Precise: the widget's other users (bracket B pins it too) add one entry.
    const std::string request = "<WhereUsedInput numLevels=\"-1\" whereUsedPrecise=\"true\"><object uid=\"" +
                                vl::platform::tagToUid(bottom) + "\"/><rule uid=\"\"/></WhereUsedInput>";
    std::string reply;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!VlServiceManager::instance().invoke(kService, "whereUsed", request, &reply)) std::exit(1);
        benchmark::DoNotOptimize(reply.data());
    }
    if (reply.find("partialError") != std::string::npos || reply.find("Exception") != std::string::npos) {
        std::fprintf(stderr, "whereUsed answered with an error:\n%.2000s\n", reply.c_str());
        std::exit(1);
    }
    perItem(state, t0, n);
}

void BM_WhereUsedChainPlatform(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const tag_t bottom = chain(n);
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        int count = 0;
        int* levels = nullptr;
        tag_t* parents = nullptr;
        if (PS_where_used_precise(bottom, -1, &count, &levels, &parents) != 0 || count != n + 1) std::exit(1);
        SM_free(levels);
        SM_free(parents);
    }
    perItem(state, t0, n);
}

}  // namespace

BENCHMARK(BM_WhereUsedChain)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WhereUsedChainPlatform)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
