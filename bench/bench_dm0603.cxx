// Cost of Core-2006-03-DataManagement requests through the gateway (creating
// items and datasets, revising, deleting, changing owners, reading), beside
// the bare cost of reading the same request text (Xerces-C SAX2, empty
// handler) and writing a reply of the same size (XmlStream).
//
// Counters of the whole-request runs: us_per_item, bare_us (the bare read
// and write, median of a few runs just before) and ratio (whole request /
// bare). Whole requests are timed by hand, so the store reset between
// createItems runs stays outside the measure.
#include "aom/item.hxx"
#include "bench_support.hxx"
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"
#include "sa/sa.hxx"
#include "soa_server/utils.hxx"
#include "soa_common/xml.hxx"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using vl::bench::Bare;
using vl::bench::expectNoErrors;
using vl::bench::loadSite;
using vl::bench::report;
using vl::bench::timed;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XMLNode;

const char* const kService = "Core-2006-03-DataManagement";

std::string invoke(const std::string& operation, const std::string& xml) {
    return vl::bench::invoke(kService, operation, xml);
}

std::string createItemsRequest(int n) {
    std::string xml = "<CreateItemsInput relationType=\"\">";
    for (int i = 0; i < n; ++i)
        xml += "<propertie clientId=\"c" + std::to_string(i) + "\" name=\"Bench item " + std::to_string(i) +
               "\" type=\"Item\" description=\"made by the benchmark\" uom=\"\" revId=\"\" itemId=\"\"/>";
    xml += "<container uid=\"\"/></CreateItemsInput>";
    return xml;
}

// ---- createItems

void BM_CreateItems(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string request = createItemsRequest(n);
    loadSite();
    const std::string sample = invoke("createItems", request);
    expectNoErrors(sample, "createItems");
    Bare bare(request, sample);
    const double bareUs = bare.measureUs();
    double totalUs = 0;
    for (auto _ : state) {
        loadSite();  // a fresh store, outside the measure: every run creates into the same state
        timed(state, totalUs, [&] { benchmark::DoNotOptimize(invoke("createItems", request)); });
    }
    report(state, totalUs, bareUs, n);
}

void BM_CreateItemsBare(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string request = createItemsRequest(n);
    loadSite();
    Bare bare(request, invoke("createItems", request));
    for (auto _ : state) benchmark::DoNotOptimize(bare.run());
}

// ---- getProperties: 1,000 objects, five properties each

const char* const kProperties[] = {"object_name", "object_desc", "object_type", "item_id", "owning_user"};

std::string getPropertiesRequest(int n) {
    loadSite();
    std::string made = invoke("createItems", createItemsRequest(n));
    expectNoErrors(made, "createItems");
    SAXToNodeParser parser;
    const XMLNode& root = parser.parseString(made);
    std::string xml = "<GetPropertiesInput>";
    int objects = 0;
    for (const XMLNode* output : root.children()) {
        const XMLNode* item = output->name() == "output" ? output->child("item") : nullptr;
        if (!item || !item->attr("uid")) continue;
        xml += "<object uid=\"" + *item->attr("uid") + "\"/>";
        ++objects;
    }
    if (objects != n) {
        std::fprintf(stderr, "expected %d items, got %d\n", n, objects);
        std::exit(1);
    }
    for (const char* p : kProperties) xml += std::string("<attribute value=\"") + p + "\"/>";
    return xml + "</GetPropertiesInput>";
}

void BM_GetProperties(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string request = getPropertiesRequest(n);  // leaves the objects in the store
    const std::string sample = invoke("getProperties", request);
    expectNoErrors(sample, "getProperties");
    Bare bare(request, sample);
    const double bareUs = bare.measureUs();
    double totalUs = 0;
    for (auto _ : state) timed(state, totalUs, [&] { benchmark::DoNotOptimize(invoke("getProperties", request)); });
    report(state, totalUs, bareUs, n);
}

void BM_GetPropertiesBare(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string request = getPropertiesRequest(n);
    Bare bare(request, invoke("getProperties", request));
    for (auto _ : state) benchmark::DoNotOptimize(bare.run());
}

// ---- createDatasets, revise, deleteRelations, deleteObjects, changeOwnership

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

std::string uidOf(tag_t tag) { return Velmora::Soa::Internal::Server::Utils::tagToUid(tag); }

std::string createDatasetsRequest(int n, const std::string& containerUid) {
    std::string xml = "<CreateDatasetsInput>";
    for (int i = 0; i < n; ++i)
        xml += "<input clientId=\"d" + std::to_string(i) + "\" name=\"Bench dataset " + std::to_string(i) +
               "\" relationType=\"\" type=\"Text\" description=\"\" toolUsed=\"\"><container uid=\"" + containerUid +
               "\"/></input>";
    return xml + "</CreateDatasetsInput>";
}

// n new datasets, filed in `containerUid` when it is not empty.
std::vector<std::string> makeDatasets(int n, const std::string& containerUid = "") {
    const std::string reply = invoke("createDatasets", createDatasetsRequest(n, containerUid));
    expectNoErrors(reply, "createDatasets");
    return outputUids(reply, "dataset");
}

std::string refs(const char* element, const std::vector<std::string>& uids) {
    std::string xml;
    for (const auto& uid : uids) xml += std::string("<") + element + " uid=\"" + uid + "\"/>";
    return xml;
}

// Each request on a fresh store, its set-up (made by other requests) outside
// the measure.
void measureOperation(benchmark::State& state, const char* operation,
                      const std::function<std::string(int)>& setUp) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    std::string request = setUp(n);
    const std::string sample = invoke(operation, request);
    expectNoErrors(sample, operation);
    Bare bare(request, sample);
    const double bareUs = bare.measureUs();
    double totalUs = 0;
    for (auto _ : state) {
        loadSite();
        request = setUp(n);
        timed(state, totalUs, [&] { benchmark::DoNotOptimize(invoke(operation, request)); });
    }
    report(state, totalUs, bareUs, n);
}

void BM_CreateDatasets(benchmark::State& state) {
    measureOperation(state, "createDatasets", [](int n) { return createDatasetsRequest(n, ""); });
}

void BM_Revise(benchmark::State& state) {
    measureOperation(state, "revise", [](int n) {
        const std::string made = invoke("createItems", createItemsRequest(n));
        expectNoErrors(made, "createItems");
        std::string xml = "<ReviseInput>";
        for (const auto& uid : outputUids(made, "itemRev"))
            xml += "<input><key uid=\"" + uid +
                   "\"/><value revId=\"B\" name=\"Revised\" description=\"\"><extendedAttribute key=\"change_reason\" "
                   "value=\"bench\"/></value></input>";
        return xml + "</ReviseInput>";
    });
}

void BM_DeleteRelations(benchmark::State& state) {
    measureOperation(state, "deleteRelations", [](int n) {
        tag_t item = 0, revision = 0;
        ITEM_find_item("000100", &item);
        ITEM_ask_latest_rev(item, &revision);
        const std::string primary = uidOf(revision);
        const auto datasets = makeDatasets(n);
        std::string relate = "<CreateRelationsInput>", remove = "<DeleteRelationsInput>";
        for (const auto& uid : datasets) {
            const std::string input = "<input clientId=\"r\" relationType=\"Reference\"><primaryObject uid=\"" +
                                      primary + "\"/><secondaryObject uid=\"" + uid + "\"/><userData uid=\"\"/></input>";
            relate += input;
            remove += input;
        }
        expectNoErrors(invoke("createRelations", relate + "</CreateRelationsInput>"), "createRelations");
        return remove + "</DeleteRelationsInput>";
    });
}

// The uid of a new, empty folder.
std::string newFolder() {
    const std::string folders = invoke("createFolders",
                                       "<CreateFoldersInput relationType=\"\"><folder clientId=\"f\" name=\"Bench\" "
                                       "desc=\"\"/><container uid=\"\"/></CreateFoldersInput>");
    return outputUids(folders, "folder").at(0);
}

void BM_DeleteObjects(benchmark::State& state) {
    measureOperation(state, "deleteObjects", [](int n) {
        return "<DeleteObjectsInput>" + refs("object", makeDatasets(n, newFolder())) + "</DeleteObjectsInput>";
    });
}

// Every other entry of a folder of 2n deleted in one request: each removal
// comes from the middle of the list, and the folder is saved after each.
void BM_DeleteEveryOther(benchmark::State& state) {
    measureOperation(state, "deleteObjects", [](int n) {
        const std::vector<std::string> filed = makeDatasets(2 * n, newFolder());
        std::string xml = "<DeleteObjectsInput>";
        for (std::size_t i = 1; i < filed.size(); i += 2) xml += "<object uid=\"" + filed[i] + "\"/>";
        return xml + "</DeleteObjectsInput>";
    });
}

void BM_ChangeOwnership(benchmark::State& state) {
    measureOperation(state, "changeOwnership", [](int n) {
        tag_t alice = 0, engineering = 0;
        SA_find_user("alice", &alice);
        SA_find_group("engineering", &engineering);
        const std::string owner = "<owner uid=\"" + uidOf(alice) + "\"/><group uid=\"" + uidOf(engineering) + "\"/>";
        std::string xml = "<ChangeOwnershipInput>";
        for (const auto& uid : makeDatasets(n)) xml += "<input><object uid=\"" + uid + "\"/>" + owner + "</input>";
        return xml + "</ChangeOwnershipInput>";
    });
}

}  // namespace

BENCHMARK(BM_CreateItems)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateItemsBare)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetProperties)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetPropertiesBare)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateDatasets)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Revise)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteRelations)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteObjects)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteEveryOther)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChangeOwnership)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
