#include "soa_common/monitor.hxx"

#include <algorithm>

namespace {

struct MonitorState {
    std::deque<vl::platform::SpanEvent> log;
    std::vector<std::string> open;
};

MonitorState& state() {
    static MonitorState s;
    return s;
}

void record(vl::platform::SpanEvent::Kind kind, const std::string& label) {
    auto& log = state().log;
    if (log.size() >= vl::platform::kMonitorLogMax) log.pop_front();
    log.push_back({kind, label});
}

}  // namespace

namespace Velmora::Soa::Internal::Common {

void Monitor::markStart(const std::string& label) {
    state().open.push_back(label);
    record(vl::platform::SpanEvent::Start, label);
}

void Monitor::markEnd(const std::string& label) {
    auto& open = state().open;
    auto it = std::find(open.rbegin(), open.rend(), label);
    if (it != open.rend()) open.erase(std::next(it).base());
    record(vl::platform::SpanEvent::End, label);
}

}  // namespace Velmora::Soa::Internal::Common

namespace vl::platform {

const std::deque<SpanEvent>& MONITOR_log() { return state().log; }

std::vector<std::string> MONITOR_open_spans() { return state().open; }

void MONITOR_clear() {
    state().log.clear();
    state().open.clear();
}

void MONITOR_end_request() {
    auto& open = state().open;
    for (auto it = open.rbegin(); it != open.rend(); ++it) record(SpanEvent::LeftOpen, *it);
    open.clear();
}

}  // namespace vl::platform
