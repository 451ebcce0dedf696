// Cost per item of file tickets and reservation histories through the
// gateway, as the number of items grows: read tickets for n files, write
// tickets plus the commit of n files into one dataset, and a history of n
// events. The counter us_per_item is the whole request's time over n.
#include "bench_support.hxx"

#include "ae/dataset.hxx"
#include "reservation/reservation.hxx"
#include "sm/sm.hxx"
#include "soa_server/utils.hxx"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

using vl::bench::expectNoErrors;
using vl::bench::invoke;
using vl::bench::loadSite;

const char* const kFm = "Core-2006-03-FileManagement";
const char* const kRes = "Core-2006-03-Reservation";
const char* const kDataset = "dsWidgetManual";

tag_t datasetTag() { return Velmora::Soa::Internal::Server::Utils::uidToTag(kDataset); }

std::string fileName(int i) { return "file" + std::to_string(i) + ".txt"; }

std::string fileInfo(int i) {
    return "<datasetFileInfo clientId=\"c" + std::to_string(i) +
           "\" allowReplace=\"false\" namedReferencedName=\"Text\" isText=\"true\" fileName=\"" + fileName(i) + "\"/>";
}

template <class F>
void timed(benchmark::State& state, double& totalUs, F&& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(us / 1e6);
    totalUs += us;
}

void report(benchmark::State& state, double totalUs, int n) {
    state.counters["us_per_item"] = totalUs / static_cast<double>(state.iterations()) / n;
}

std::string writeRequest(int n) {
    std::string write = "<GetDatasetWriteTicketsInput><input createNewVersion=\"false\"><dataset uid=\"" +
                        std::string(kDataset) + "\"/>";
    for (int i = 0; i < n; ++i) write += fileInfo(i);
    return write + "</input></GetDatasetWriteTicketsInput>";
}

// Write tickets, then the commit of the files with the tickets of that reply.
std::string writeAndCommit(const std::string& write) {
    std::string reply = invoke(kFm, "getDatasetWriteTickets", write);
    // The reply's commit infos are what the commit takes back.
    std::size_t from = reply.find("<commitInfo"), to = reply.rfind("</commitInfo>");
    std::string commit = "<CommitDatasetFilesInput><commitInput" + reply.substr(from + 11, to - from - 11) +
                         "</commitInput></CommitDatasetFilesInput>";
    return invoke(kFm, "commitDatasetFiles", commit);
}

// The site with n files committed into its dataset, and a read-ticket request
// naming each of them.
std::string readRequestOnFreshSite(int n) {
    loadSite();
    expectNoErrors(writeAndCommit(writeRequest(n)), "commitDatasetFiles");
    int count = 0;
    char** names = nullptr;
    tag_t* files = nullptr;
    if (AE_ask_dataset_named_refs(datasetTag(), &count, &names, &files)) std::exit(1);
    std::string request = "<GetFileReadTicketsInput>";
    for (int i = 0; i < count; ++i)
        request += "<file uid=\"" + Velmora::Soa::Internal::Server::Utils::tagToUid(files[i]) + "\"/>";
    request += "</GetFileReadTicketsInput>";
    SM_free(names);
    SM_free(files);
    return request;
}

// Read tickets for n files; each run starts from a store holding none (not
// timed), since held tickets live an hour and would pile up over the runs.
void BM_ReadTickets(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    expectNoErrors(invoke(kFm, "getFileReadTickets", readRequestOnFreshSite(n)), "getFileReadTickets");
    double totalUs = 0;
    for (auto _ : state) {
        const std::string request = readRequestOnFreshSite(n);  // not timed
        timed(state, totalUs, [&] { benchmark::DoNotOptimize(invoke(kFm, "getFileReadTickets", request)); });
    }
    report(state, totalUs, n);
}

// Write tickets for n new files of one dataset, then their commit with the
// tickets of that reply; the store is reset between runs (not timed).
void BM_WriteAndCommit(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string write = writeRequest(n);
    loadSite();
    expectNoErrors(writeAndCommit(write), "commitDatasetFiles");
    double totalUs = 0;
    for (auto _ : state) {
        loadSite();  // not timed: each run commits into the site's dataset as it was
        timed(state, totalUs, [&] { benchmark::DoNotOptimize(writeAndCommit(write)); });
    }
    report(state, totalUs, n);
}

void BM_History(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    loadSite();
    const tag_t dataset = datasetTag();
    for (int i = 0; i < n; ++i) {
        int rc = i % 2 == 0 ? RES_checkout(dataset, ("comment " + std::to_string(i)).c_str(), "CH", "", 2)
                            : RES_checkin(dataset);
        if (rc) std::exit(1);
    }
    const std::string request =
        "<GetReservationHistoryInput><object uid=\"" + std::string(kDataset) + "\"/></GetReservationHistoryInput>";
    expectNoErrors(invoke(kRes, "getReservationHistory", request), "getReservationHistory");
    double totalUs = 0;
    for (auto _ : state)
        timed(state, totalUs, [&] { benchmark::DoNotOptimize(invoke(kRes, "getReservationHistory", request)); });
    report(state, totalUs, n);
}

}  // namespace

BENCHMARK(BM_ReadTickets)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteAndCommit)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_History)->Arg(10)->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
