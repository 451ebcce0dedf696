// Cost per element of createOrUpdateForms and saveAsNewItem into one folder
// through the gateway as the input grows. Counter us_per_item.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "bench_support.hxx"
#include "soa_server/utils.hxx"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kService = "Core-2007-01-DataManagement";

std::string uidOf(tag_t tag) { return Velmora::Soa::Internal::Server::Utils::tagToUid(tag); }

void check(int rc, const char* what) {
    if (rc != 0) {
        std::fprintf(stderr, "%s failed: %d\n", what, rc);
        std::exit(1);
    }
}

tag_t newFolder() {
    tag_t folder = 0;
    check(FL_create("Bench", "", &folder), "FL_create");
    check(AOM_save(folder), "AOM_save");
    check(AOM_refresh(folder, 0), "AOM_refresh");
    return folder;
}

// Times each request; the first reply is checked for errors.
template <class MakeRequest>
void perItem(benchmark::State& state, const std::string& operation, int n, MakeRequest&& makeRequest) {
    double totalUs = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string xml = makeRequest(round);
        state.ResumeTiming();
        auto t0 = std::chrono::steady_clock::now();
        std::string reply = vl::bench::invoke(kService, operation, xml);
        double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(us * 1e-6);
        totalUs += us;
        if (round++ == 0) vl::bench::expectNoErrors(reply, operation.c_str());
    }
    state.counters["us_per_item"] = state.iterations() ? totalUs / static_cast<double>(state.iterations()) / n : 0;
}

// n saved forms with one attribute each, every one filed in the same folder:
// a new one each round (not timed), or each round would file into the forms
// of all the rounds before it and the sizes would differ by their rounds.
void BM_CreateOrUpdateForms(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    vl::bench::loadSite();
    perItem(state, "createOrUpdateForms", n, [&](int round) {
        const std::string folder = uidOf(newFolder());
        std::string xml = "<CreateOrUpdateFormsInput>";
        for (int i = 0; i < n; ++i)
            xml += "<info clientId=\"f" + std::to_string(round) + "-" + std::to_string(i) +
                   "\" saveDB=\"true\" name=\"Form " + std::to_string(i) +
                   "\" description=\"\" formType=\"ItemMaster\" relationName=\"\"><formObject uid=\"\"/>"
                   "<parentObject uid=\"" + folder + "\"/><attributesMap key=\"project_code\"><value value=\"B\"/>"
                   "</attributesMap></info>";
        return xml + "</CreateOrUpdateFormsInput>";
    });
}

// n copies of the widget's first revision, each a new item filed in the same folder.
void BM_SaveAsNewItem(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    vl::bench::loadSite();
    tag_t item = 0, revision = 0;
    check(ITEM_find_item("000100", &item), "ITEM_find_item");
    check(ITEM_find_revision(item, "A", &revision), "ITEM_find_revision");
    const std::string source = uidOf(revision), folder = uidOf(newFolder());
    perItem(state, "saveAsNewItem", n, [&](int round) {
        std::string xml = "<SaveAsNewItemInput>";
        for (int i = 0; i < n; ++i) {
            const std::string id = "SA" + std::to_string(round) + "-" + std::to_string(i);
            xml += "<info clientId=\"" + id + "\" itemId=\"" + id +
                   "\" revId=\"A\" name=\"Copy\" description=\"\"><itemRevision uid=\"" + source +
                   "\"/><folder uid=\"" + folder + "\"/></info>";
        }
        return xml + "</SaveAsNewItemInput>";
    });
}

}  // namespace

// Few rounds at the large sizes: every round adds n objects to the store.
BENCHMARK(BM_CreateOrUpdateForms)->Arg(10)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateOrUpdateForms)->Arg(1000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateOrUpdateForms)->Arg(10000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveAsNewItem)->Arg(10)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveAsNewItem)->Arg(1000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveAsNewItem)->Arg(10000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
