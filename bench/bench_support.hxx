#pragma once
// What the request benchmarks share: the default site, fresh for each size,
// a check that a sample reply carries no error, the bare cost of reading and
// writing documents of a request's size, and requests timed by hand.
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
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vl::bench {

inline void loadSite() {
    static bool loaded = [] {
        if (vl::platform::SITE_ensure_loaded(VL_DEFAULT_SITE) != 0) std::exit(1);
        return true;
    }();
    (void)loaded;
    vl::platform::SITE_reset();
}

inline void expectNoErrors(const std::string& reply, const char* what) {
    if (reply.find("partialError") != std::string::npos || reply.find("Exception") != std::string::npos) {
        std::fprintf(stderr, "%s answered with an error:\n%.2000s\n", what, reply.c_str());
        std::exit(1);
    }
}

// One request through the gateway; a service that is not registered ends the run.
inline std::string invoke(const char* service, const std::string& operation, const std::string& xml) {
    std::string reply;
    if (!VlServiceManager::instance().invoke(service, operation, xml, &reply)) {
        std::fprintf(stderr, "%s is not registered\n", service);
        std::exit(1);
    }
    return reply;
}

// ---- the bare cost: read with an empty handler, write a tree of the same size

struct BareReader {
    BareReader() {
        XERCES_CPP_NAMESPACE::XMLPlatformUtils::Initialize();
        reader.reset(XERCES_CPP_NAMESPACE::XMLReaderFactory::createXMLReader());
        reader->setFeature(XERCES_CPP_NAMESPACE::XMLUni::fgSAX2CoreNameSpaces, false);
        reader->setFeature(XERCES_CPP_NAMESPACE::XMLUni::fgSAX2CoreValidation, false);
        reader->setContentHandler(&handler);
        reader->setErrorHandler(&handler);
    }
    void parse(const std::string& text) {
        XERCES_CPP_NAMESPACE::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()), text.size(),
                                                       "bench", false);
        reader->parse(source);
    }
    XERCES_CPP_NAMESPACE::DefaultHandler handler;
    std::unique_ptr<XERCES_CPP_NAMESPACE::SAX2XMLReader> reader;
};

inline BareReader& bareReader() {
    static BareReader r;
    return r;
}

inline void writeTree(Velmora::Soa::Common::Xml::XmlStream& out, const Velmora::Soa::Common::Xml::XMLNode& node) {
    out.startElement(node.name());
    for (const auto& [k, v] : node.attrs()) out.attribute(k, v);
    for (const Velmora::Soa::Common::Xml::XMLNode* c : node.children()) writeTree(out, *c);
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
        Velmora::Soa::Common::Xml::XmlStream out;
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
    Velmora::Soa::Common::Xml::SAXToNodeParser replyParser;
    const Velmora::Soa::Common::Xml::XMLNode* replyRoot = nullptr;
};

// ---- requests timed by hand, so set-up and resets stay outside the measure

// Times one request; the sum feeds the counters.
template <class F>
void timed(benchmark::State& state, double& totalUs, F&& request) {
    auto t0 = std::chrono::steady_clock::now();
    request();
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    state.SetIterationTime(us * 1e-6);
    totalUs += us;
}

inline void reportPerItem(benchmark::State& state, double totalUs, int items) {
    const double meanUs = state.iterations() ? totalUs / static_cast<double>(state.iterations()) : 0;
    state.counters["us_per_item"] = meanUs / items;
}

inline void report(benchmark::State& state, double totalUs, double bareUs, int items) {
    const double meanUs = state.iterations() ? totalUs / static_cast<double>(state.iterations()) : 0;
    state.counters["bare_us"] = bareUs;
    state.counters["us_per_item"] = meanUs / items;
    state.counters["ratio"] = bareUs > 0 ? meanUs / bareUs : 0;
}

}  // namespace vl::bench
