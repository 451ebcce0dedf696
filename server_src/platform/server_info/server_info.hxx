#pragma once
// Server switches read by the session information: effectivity mode,
// subscription manager, part-BOM usage, and the system log stream. Each is
// set by the fixture ("switch" lines) and defaults to off.
#include "foundation/ifail.hxx"

#include <cstdio>
#include <string>

class EffectivityMode {
public:
    static status_t isInV7Mode(bool& inV7Mode);
};

class SubscriptionManager {
public:
    static int isEnabled();  // 1 when on
};

class PartBOMService {
public:
    virtual ~PartBOMService() = default;
    // Fills the flag; 0 on success.
    virtual int isPartBOMUsageEnabled(bool* enabled) const;
};

class PartBOMServiceFactory {
public:
    static PartBOMService* getPartBOMServiceInstance();  // owned by the platform
};

// The server's system log; what is written to it is kept in memory
// (vl::platform::SYSLOG_text).
FILE* ERROR_ask_system_log_stream();

namespace vl::platform {
std::string SYSLOG_text();
void SYSLOG_clear();
}  // namespace vl::platform
