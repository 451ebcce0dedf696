#pragma once
// Monitor spans: every operation brackets itself, its conversions and its
// implementation call. The log is for tests and is bounded.
#include <deque>
#include <string>
#include <vector>

namespace Velmora::Soa::Internal::Common {

class Monitor {
public:
    static void markStart(const std::string& label);
    static void markEnd(const std::string& label);
};

}  // namespace Velmora::Soa::Internal::Common

namespace vl::platform {

struct SpanEvent {
    enum Kind { Start, End, LeftOpen };
    Kind kind;
    std::string label;
    bool operator==(const SpanEvent&) const = default;
};

inline constexpr std::size_t kMonitorLogMax = 100000;

// The most recent events, oldest first.
const std::deque<SpanEvent>& MONITOR_log();
// Labels of spans started and not ended, outermost first.
std::vector<std::string> MONITOR_open_spans();
void MONITOR_clear();
// End of a request: every span still open is recorded as left open.
void MONITOR_end_request();

}  // namespace vl::platform
