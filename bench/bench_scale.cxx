// The store at scale, through real Core-2006-03-DataManagement requests: the
// cost per item of filing n items or folders into one folder and of relating
// n secondaries to one primary (each n on a fresh store), items carrying
// master-form attributes beside the bare read and write of the same
// documents, and the resident memory each created item takes.
//
// us_per_item should stay flat as n grows; read 10,000 against 100 from the
// table. Requests are timed by hand, so resets and set-up stay outside.
#include "aom/item.hxx"
#include "bench_support.hxx"
#include "soa_common/xml.hxx"
#include "soa_server/utils.hxx"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using vl::bench::Bare;
using vl::bench::expectNoErrors;
using vl::bench::loadSite;
using vl::bench::report;
using vl::bench::reportPerItem;
using vl::bench::timed;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XMLNode;

const char* const kService = "Core-2006-03-DataManagement";

std::string invoke(const std::string& operation, const std::string& xml) {
    return vl::bench::invoke(kService, operation, xml);
}

// The uids of one reference field of every output of a reply.
std::vector<std::string> outputUids(const std::string& reply, const char* field) {
    SAXToNodeParser parser;
    const XMLNode& root = parser.parseString(reply);
    std::vector<std::string> uids;
    for (const XMLNode* output : root.children()) {
        const XMLNode* ref = output->name() == "output" ? output->child(field) : nullptr;
        if (ref && ref->attr("uid")) uids.push_back(*ref->attr("uid"));
    }
    return uids;
}

std::vector<std::string> expectOutputs(const std::string& reply, const char* what, const char* field, int n) {
    expectNoErrors(reply, what);
    std::vector<std::string> uids = outputUids(reply, field);
    if (static_cast<int>(uids.size()) != n) {
        std::fprintf(stderr, "%s: expected %d outputs, got %zu\n", what, n, uids.size());
        std::exit(1);
    }
    return uids;
}

std::string createFoldersRequest(int n, const std::string& containerUid, const char* stem = "Bench folder ") {
    std::string xml = "<CreateFoldersInput relationType=\"\">";
    for (int i = 0; i < n; ++i)
        xml += "<folder clientId=\"f" + std::to_string(i) + "\" name=\"" + stem + std::to_string(i) + "\" desc=\"\"/>";
    return xml + "<container uid=\"" + containerUid + "\"/></CreateFoldersInput>";
}

// One folder with no container; its uid.
std::string makeFolder() {
    return expectOutputs(invoke("createFolders", createFoldersRequest(1, "", "Bench home ")), "createFolders",
                         "folder", 1)
        .at(0);
}

std::string createItemsRequest(int n, const std::string& containerUid) {
    std::string xml = "<CreateItemsInput relationType=\"\">";
    for (int i = 0; i < n; ++i)
        xml += "<propertie clientId=\"c" + std::to_string(i) + "\" name=\"Bench item " + std::to_string(i) +
               "\" type=\"Item\" description=\"made by the benchmark\" uom=\"\" revId=\"\" itemId=\"\"/>";
    return xml + "<container uid=\"" + containerUid + "\"/></CreateItemsInput>";
}

// Items with both master forms filled in, ids first .. first + n - 1, no container.
std::string createFormItemsRequest(int first, int n) {
    std::string xml = "<CreateItemsInput relationType=\"\">";
    char id[32];
    for (int i = first; i < first + n; ++i) {
        std::snprintf(id, sizeof id, "SC-%07d", i);
        xml += std::string("<propertie clientId=\"") + id + "\" name=\"Bench form item " + std::to_string(i) +
               "\" type=\"Part\" description=\"made by the benchmark\" uom=\"each\" revId=\"\" itemId=\"" + id +
               "\"><extendedAttribute objectType=\"ItemMaster\"><attribute key=\"project_code\" value=\"SC" +
               std::to_string(i % 100) +
               "\"/><attribute key=\"weight\" value=\"0.25\"/><attribute key=\"keywords\" value=\"steel::bracket\"/>"
               "</extendedAttribute><extendedAttribute objectType=\"ItemRevisionMaster\"><attribute "
               "key=\"change_reason\" value=\"first release\"/></extendedAttribute></propertie>";
    }
    return xml + "<container uid=\"\"/></CreateItemsInput>";
}

std::string createDatasetsRequest(int n) {
    std::string xml = "<CreateDatasetsInput>";
    for (int i = 0; i < n; ++i)
        xml += "<input clientId=\"d" + std::to_string(i) + "\" name=\"Bench dataset " + std::to_string(i) +
               "\" relationType=\"\" type=\"Text\" description=\"\" toolUsed=\"\"><container uid=\"\"/></input>";
    return xml + "</CreateDatasetsInput>";
}

std::string createRelationsRequest(const std::string& primaryUid, const std::vector<std::string>& secondaries) {
    std::string xml = "<CreateRelationsInput>";
    for (std::size_t i = 0; i < secondaries.size(); ++i)
        xml += "<input clientId=\"r" + std::to_string(i) + "\" relationType=\"Reference\"><primaryObject uid=\"" +
               primaryUid + "\"/><secondaryObject uid=\"" + secondaries[i] + "\"/><userData uid=\"\"/></input>";
    return xml + "</CreateRelationsInput>";
}

std::string latestRevisionOf(const char* itemId) {
    tag_t item = 0, revision = 0;
    if (ITEM_find_item(itemId, &item) || ITEM_ask_latest_rev(item, &revision) || !revision) {
        std::fprintf(stderr, "the default site has no item %s with a revision\n", itemId);
        std::exit(1);
    }
    return Velmora::Soa::Internal::Server::Utils::tagToUid(revision);
}

// Each run on a fresh store; `setUp` makes what the request needs and
// returns the request. Every reply is checked after its run, outside the
// measure.
template <class SetUp>
void measurePerItem(benchmark::State& state, const char* operation, const char* field, SetUp&& setUp) {
    const int n = static_cast<int>(state.range(0));
    double totalUs = 0;
    for (auto _ : state) {
        loadSite();
        const std::string request = setUp(n);
        std::string reply;
        timed(state, totalUs, [&] { reply = invoke(operation, request); });
        expectOutputs(reply, operation, field, n);
    }
    reportPerItem(state, totalUs, n);
}

// ---- into one folder, onto one primary

void BM_CreateItemsIntoFolder(benchmark::State& state) {
    measurePerItem(state, "createItems", "item", [](int n) { return createItemsRequest(n, makeFolder()); });
}

void BM_CreateFoldersIntoFolder(benchmark::State& state) {
    measurePerItem(state, "createFolders", "folder", [](int n) { return createFoldersRequest(n, makeFolder()); });
}

void BM_CreateRelationsOntoPrimary(benchmark::State& state) {
    measurePerItem(state, "createRelations", "relation", [](int n) {
        const auto datasets = expectOutputs(invoke("createDatasets", createDatasetsRequest(n)), "createDatasets",
                                            "dataset", n);
        return createRelationsRequest(latestRevisionOf("000100"), datasets);
    });
}

// ---- items with master-form attributes, beside the bare read and write

void BM_CreateItemsWithForms(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string request = createFormItemsRequest(0, n);
    loadSite();
    const std::string sample = invoke("createItems", request);
    expectOutputs(sample, "createItems", "item", n);
    Bare bare(request, sample);
    const double bareUs = bare.measureUs();
    double totalUs = 0;
    for (auto _ : state) {
        loadSite();
        std::string reply;
        timed(state, totalUs, [&] { reply = invoke("createItems", request); });
        expectOutputs(reply, "createItems", "item", n);
    }
    report(state, totalUs, bareUs, n);
}

// ---- resident memory per created item

long residentBytes() {
    malloc_trim(0);  // freed blocks handed back, so the reading counts what is in use
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) {
        std::fprintf(stderr, "cannot read /proc/self/statm\n");
        std::exit(1);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Items with their revision, two master forms and the relations to them, in
// requests of 1,000.
void BM_MemoryPerItem(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const int batch = 1000;
    // One batch first, so lazily made tables do not count as growth.
    loadSite();
    expectOutputs(invoke("createItems", createFormItemsRequest(0, batch)), "createItems", "item", batch);
    for (auto _ : state) {
        loadSite();
        const long before = residentBytes();
        auto t0 = std::chrono::steady_clock::now();
        for (int first = 0; first < n; first += batch) {
            const int size = std::min(batch, n - first);
            expectOutputs(invoke("createItems", createFormItemsRequest(first, size)), "createItems", "item", size);
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        const long after = residentBytes();
        state.counters["bytes_per_item"] = static_cast<double>(after - before) / n;
    }
}

}  // namespace

BENCHMARK(BM_CreateItemsIntoFolder)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateFoldersIntoFolder)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateRelationsOntoPrimary)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateItemsWithForms)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoryPerItem)->Arg(10000)->Arg(100000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
