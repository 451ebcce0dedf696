// Creating objects and reading them back by uid: the cost per object must
// not grow with the size of the store.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "pom/pom.hxx"
#include "pom/soa_view.hxx"
#include "pom/test_seams.hxx"
#include "sm/sm.hxx"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void loadSite() {
    static bool loaded = false;
    if (loaded) return;
    std::string error;
    if (vl::platform::SITE_load(VL_DEFAULT_SITE, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    loaded = true;
}

// Makes n saved folders; returns their uids.
std::vector<std::string> makeFolders(long n) {
    std::vector<std::string> uids;
    uids.reserve(n);
    for (long i = 0; i < n; ++i) {
        tag_t f = 0;
        if (FL_create("bench", "", &f) || AOM_save(f) || AOM_refresh(f, 0)) std::abort();
        uids.push_back(vl::platform::tagToUid(f));
    }
    return uids;
}

void BM_CreateAndReadBack(benchmark::State& state) {
    loadSite();
    const long n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        vl::platform::SITE_reset();
        state.ResumeTiming();
        std::vector<std::string> uids = makeFolders(n);
        long found = 0;
        for (const std::string& uid : uids) {
            char* name = nullptr;
            if (AOM_ask_value_string(vl::platform::uidToTag(uid), "object_name", &name) == 0) ++found;
            SM_free(name);
        }
        if (found != n) state.SkipWithError("an object was not found by its uid");
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetComplexityN(n);
}
BENCHMARK(BM_CreateAndReadBack)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Placing a markpoint costs the same whatever the store holds.
void BM_PlaceMarkpoint(benchmark::State& state) {
    loadSite();
    vl::platform::SITE_reset();
    makeFolders(state.range(0));
    for (auto _ : state) {
        int mp = 0;
        POM_place_markpoint(&mp);
        POM_forget_markpoint(mp);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PlaceMarkpoint)->Arg(1000)->Arg(100000)->Complexity(benchmark::o1);

tag_t savedFolder() {
    tag_t f = 0;
    if (FL_create("bench", "", &f) || AOM_save(f) || AOM_refresh(f, 0)) std::abort();
    return f;
}

void holds(tag_t folder, tag_t object) {
    if (FL_insert(folder, object, -1) || AOM_save(folder)) std::abort();
}

// Putting a folder into another one looks only at the folders above the
// target: the same cost with a store of any size and folders of any length.
void BM_FolderIntoDeepFolder(benchmark::State& state) {
    loadSite();
    vl::platform::SITE_reset();
    const long n = state.range(0);
    const int depth = 8;
    const tag_t deepest = savedFolder();
    tag_t top = deepest;
    for (int level = 0; level < depth; ++level) {
        const tag_t above = savedFolder();
        holds(above, top);
        for (long i = 0; i < n / depth; ++i) holds(above, savedFolder());
        top = above;
    }
    const tag_t moving = savedFolder();
    holds(moving, savedFolder());  // an empty folder is never checked
    for (auto _ : state) {
        if (FL_insert(deepest, moving, -1) || FL_remove(deepest, moving)) state.SkipWithError("insert refused");
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_FolderIntoDeepFolder)->Arg(1000)->Arg(100000)->Complexity(benchmark::o1);

// Folders that sit in several folders: two per level, each held by both of
// the level above, so the paths up double with each level while the
// folders above grow by two; the cost follows the folders, not the paths.
void BM_FolderIntoSharedFolders(benchmark::State& state) {
    loadSite();
    vl::platform::SITE_reset();
    const long depth = state.range(0);
    std::vector<tag_t> level = {savedFolder(), savedFolder()};
    const std::vector<tag_t> bottom = level;
    for (long i = 1; i < depth; ++i) {
        const std::vector<tag_t> above = {savedFolder(), savedFolder()};
        for (tag_t a : above)
            for (tag_t b : level) holds(a, b);
        level = above;
    }
    const tag_t moving = savedFolder();
    holds(moving, savedFolder());  // an empty folder is never checked
    for (auto _ : state) {
        if (FL_insert(bottom[0], moving, -1) || FL_remove(bottom[0], moving)) state.SkipWithError("insert refused");
    }
    state.SetComplexityN(depth);
}
BENCHMARK(BM_FolderIntoSharedFolders)->Arg(8)->Arg(32)->Arg(128)->Complexity(benchmark::oN);

// n entries moved between two folders and n more put into one, all under
// one markpoint: the journal keeps each list once, so an edit costs the
// same with lists of any length. Rolled back between runs, untimed.
void BM_ListEditsUnderMarkpoint(benchmark::State& state) {
    loadSite();
    vl::platform::SITE_reset();
    const long n = state.range(0);
    const tag_t from = savedFolder(), to = savedFolder(), into = savedFolder();
    std::vector<tag_t> moving, added;
    for (long i = 0; i < n; ++i) {
        moving.push_back(savedFolder());
        added.push_back(savedFolder());
        if (FL_insert(from, moving.back(), -1)) std::abort();
    }
    if (AOM_save(from)) std::abort();
    for (auto _ : state) {
        int mp = 0;
        POM_place_markpoint(&mp);
        for (long i = 0; i < n; ++i)
            if (FL_remove(from, moving[i]) || FL_insert(to, moving[i], -1) || FL_insert(into, added[i], -1))
                state.SkipWithError("a list edit was refused");
        state.PauseTiming();
        bool changed = false;
        if (POM_roll_to_markpoint(mp, &changed) || POM_forget_markpoint(mp)) std::abort();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetComplexityN(n);
}
BENCHMARK(BM_ListEditsUnderMarkpoint)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Every other entry taken out of a folder of 2n, from the second on: no
// removal is at either end of the list.
void BM_RemoveFromMiddle(benchmark::State& state) {
    loadSite();
    vl::platform::SITE_reset();
    const long n = state.range(0);
    const tag_t folder = savedFolder();
    std::vector<tag_t> filed, leaving;
    for (long i = 0; i < 2 * n; ++i) filed.push_back(savedFolder());
    for (long i = 1; i < 2 * n; i += 2) leaving.push_back(filed[static_cast<std::size_t>(i)]);
    for (auto _ : state) {
        state.PauseTiming();
        if (AOM_set_value_tags(folder, "contents", static_cast<int>(filed.size()), filed.data()) || AOM_save(folder))
            std::abort();
        state.ResumeTiming();
        for (tag_t t : leaving)
            if (FL_remove(folder, t)) state.SkipWithError("a removal was refused");
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(leaving.size()));
    state.SetComplexityN(n);
}
BENCHMARK(BM_RemoveFromMiddle)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
