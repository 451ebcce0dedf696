// Cost per item of Core-2007-01-DataManagement requests through the gateway
// as the input grows: moving n objects to a new folder, finding an item with
// n revisions, setting a property on n objects. Counter us_per_item.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "gateway/vl_service_manager.hxx"
#include "aom/test_objects.hxx"
#include "pom/test_seams.hxx"
#include "soa_server/utils.hxx"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kService = "Core-2007-01-DataManagement";

void loadSite() {
    static bool loaded = [] {
        if (vl::platform::SITE_ensure_loaded(VL_DEFAULT_SITE) != 0) std::exit(1);
        return true;
    }();
    (void)loaded;
    vl::platform::SITE_reset();
}

std::string uidOf(tag_t tag) { return Velmora::Soa::Internal::Server::Utils::tagToUid(tag); }

void check(int rc, const char* what) {
    if (rc != 0) {
        std::fprintf(stderr, "%s failed: %d\n", what, rc);
        std::exit(1);
    }
}

std::string invoke(const std::string& operation, const std::string& xml) {
    std::string reply;
    if (!VlServiceManager::instance().invoke(kService, operation, xml, &reply)) std::exit(1);
    if (reply.find("partialError") != std::string::npos || reply.find("Exception") != std::string::npos) {
        std::fprintf(stderr, "%s answered with an error:\n%.2000s\n", operation.c_str(), reply.c_str());
        std::exit(1);
    }
    return reply;
}

tag_t newFolder(const char* name) {
    tag_t folder = 0;
    check(FL_create(name, "", &folder), "FL_create");
    check(AOM_save(folder), "AOM_save");
    check(AOM_refresh(folder, 0), "AOM_refresh");
    return folder;
}

std::vector<tag_t> newObjects(int n) {
    std::vector<tag_t> objects;
    for (int i = 0; i < n; ++i) {
        tag_t object = 0;
        check(vl::platform::OBJ_create_workspace_object("Folder", "o" + std::to_string(i), &object), "create");
        objects.push_back(object);
    }
    return objects;
}

template <class F>
void perItem(benchmark::State& state, int n, F&& request) {
    double totalUs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        request();
        double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(us * 1e-6);
        totalUs += us;
    }
    state.counters["us_per_item"] = state.iterations() ? totalUs / static_cast<double>(state.iterations()) / n : 0;
}

// n objects move from one folder to the other and back, one info each way.
void BM_MoveToNewFolder(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    const tag_t a = newFolder("A"), b = newFolder("B");
    const auto objects = newObjects(n);
    for (tag_t o : objects) check(FL_insert(a, o, -1), "FL_insert");
    check(AOM_refresh(a, 1), "lock");
    check(AOM_save(a), "save");
    check(AOM_refresh(a, 0), "unlock");
    auto request = [&](tag_t from, tag_t to) {
        std::string xml = "<MoveToNewFolderInput><moveToNewFolderInfo><oldFolder uid=\"" + uidOf(from) +
                          "\"/><newFolder uid=\"" + uidOf(to) + "\"/>";
        for (tag_t o : objects) xml += "<objectsToMove uid=\"" + uidOf(o) + "\"/>";
        return xml + "</moveToNewFolderInfo></MoveToNewFolderInput>";
    };
    const std::string there = request(a, b), back = request(b, a);
    bool forth = true;
    perItem(state, n, [&] {
        benchmark::DoNotOptimize(invoke("moveToNewFolder", forth ? there : back));
        forth = !forth;
    });
}

// One item with n revisions, all of them asked for.
void BM_GetItemFromId(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    tag_t item = 0, revision = 0;
    check(ITEM_find_item("000100", &item), "ITEM_find_item");
    check(ITEM_find_revision(item, "A", &revision), "ITEM_find_revision");
    for (int i = 1; i < n; ++i) {
        tag_t next = 0;
        check(ITEM_copy_rev(revision, ("R" + std::to_string(i)).c_str(), &next), "ITEM_copy_rev");
        check(AOM_save(next), "AOM_save");
        check(AOM_refresh(next, 0), "AOM_refresh");
    }
    const std::string xml =
        "<GetItemFromIdInput nRev=\"-1\"><info itemId=\"000100\"/><pref><pref relationTypeName=\"Requirement\">"
        "<objectTypeName value=\"Text\"/></pref></pref></GetItemFromIdInput>";
    perItem(state, n, [&] { benchmark::DoNotOptimize(invoke("getItemFromId", xml)); });
}

// One property set on each of n objects.
void BM_SetProperties(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    const auto objects = newObjects(n);
    std::string head = "<SetPropertiesInput>";
    for (tag_t o : objects) head += "<object uid=\"" + uidOf(o) + "\"/>";
    const std::string one = head + "<attribute key=\"object_desc\"><value><stringVec value=\"one\"/></value>"
                                   "</attribute></SetPropertiesInput>";
    const std::string two = head + "<attribute key=\"object_desc\"><value><stringVec value=\"two\"/></value>"
                                   "</attribute></SetPropertiesInput>";
    bool first = true;
    perItem(state, n, [&] {
        benchmark::DoNotOptimize(invoke("setProperties", first ? one : two));
        first = !first;
    });
}

}  // namespace

BENCHMARK(BM_MoveToNewFolder)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetItemFromId)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetProperties)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
