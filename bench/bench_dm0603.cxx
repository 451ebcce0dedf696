// Cost of Core-2006-03-DataManagement requests through the gateway, beside
// the bare cost of reading the same request text (Xerces-C SAX2, empty
// handler) and writing a reply of the same size (XmlStream).
//
// Counters of the whole-request runs: us_per_item, bare_us (the bare read
// and write, median of a few runs just before) and ratio (whole request /
// bare). Whole requests are timed by hand, so the store reset between
// createItems runs stays outside the measure.
#include "bench_support.hxx"
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"
#include "soa_common/xml.hxx"

#include <benchmark/benchmark.h>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax2/DefaultHandler.hpp>
#include <xercesc/sax2/SAX2XMLReader.hpp>
#include <xercesc/sax2/XMLReaderFactory.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using vl::bench::expectNoErrors;
using vl::bench::loadSite;
namespace xc = XERCES_CPP_NAMESPACE;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XMLNode;
using Velmora::Soa::Common::Xml::XmlStream;

const char* const kService = "Core-2006-03-DataManagement";

std::string invoke(const std::string& operation, const std::string& xml) {
    std::string reply;
    if (!VlServiceManager::instance().invoke(kService, operation, xml, &reply)) {
        std::fprintf(stderr, "%s is not registered\n", kService);
        std::exit(1);
    }
    return reply;
}

std::string createItemsRequest(int n) {
    std::string xml = "<CreateItemsInput relationType=\"\">";
    for (int i = 0; i < n; ++i)
        xml += "<propertie clientId=\"c" + std::to_string(i) + "\" name=\"Bench item " + std::to_string(i) +
               "\" type=\"Item\" description=\"made by the benchmark\" uom=\"\" revId=\"\" itemId=\"\"/>";
    xml += "<container uid=\"\"/></CreateItemsInput>";
    return xml;
}

// ---- the bare cost: read with an empty handler, write a tree of the same size

struct BareReader {
    BareReader() {
        xc::XMLPlatformUtils::Initialize();
        reader.reset(xc::XMLReaderFactory::createXMLReader());
        reader->setFeature(xc::XMLUni::fgSAX2CoreNameSpaces, false);
        reader->setFeature(xc::XMLUni::fgSAX2CoreValidation, false);
        reader->setContentHandler(&handler);
        reader->setErrorHandler(&handler);
    }
    void parse(const std::string& text) {
        xc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()), text.size(), "bench", false);
        reader->parse(source);
    }
    xc::DefaultHandler handler;
    std::unique_ptr<xc::SAX2XMLReader> reader;
};

BareReader& bareReader() {
    static BareReader r;
    return r;
}

void writeTree(XmlStream& out, const XMLNode& node) {
    out.startElement(node.name());
    for (const auto& [k, v] : node.attrs()) out.attribute(k, v);
    for (const XMLNode* c : node.children()) writeTree(out, *c);
    out.endElement();
}

// Reads `request` and writes a document of the reply's size; the reply is
// parsed once, outside the measure, so only the writing is counted.
struct Bare {
    Bare(std::string request, const std::string& reply) : request(std::move(request)) {
        replyRoot = &replyParser.parseString(reply);
    }
    std::size_t run() const {
        bareReader().parse(request);
        XmlStream out;
        writeTree(out, *replyRoot);
        return out.str().size();
    }
    // Median of a few runs, in microseconds.
    double measureUs() const {
        std::vector<double> us;
        for (int i = 0; i < 7; ++i) {
            auto t0 = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(run());
            us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
        }
        std::sort(us.begin(), us.end());
        return us[us.size() / 2];
    }
    std::string request;
    SAXToNodeParser replyParser;
    const XMLNode* replyRoot = nullptr;
};

// Times one request; the sum feeds the counters.
template <class F>
void timed(benchmark::State& state, double& totalUs, F&& request) {
    auto t0 = std::chrono::steady_clock::now();
    request();
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(us * 1e-6);
    totalUs += us;
}

void report(benchmark::State& state, double totalUs, double bareUs, int items) {
    const double meanUs = state.iterations() ? totalUs / static_cast<double>(state.iterations()) : 0;
    state.counters["bare_us"] = bareUs;
    state.counters["us_per_item"] = meanUs / items;
    state.counters["ratio"] = bareUs > 0 ? meanUs / bareUs : 0;
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

}  // namespace

BENCHMARK(BM_CreateItems)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateItemsBare)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetProperties)->Arg(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetPropertiesBare)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
