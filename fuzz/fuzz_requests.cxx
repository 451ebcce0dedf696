// Feeds arbitrary requests to every operation through the gateway, on a
// fresh store each time: each input resets the store after its checks, so it
// frees what it allocated and libFuzzer has nothing to leak-check. The
// input's first line names the service and the operation; the rest is the
// request document. Every request must be
// answered with a well-formed document, and leave no lock held and no
// platform block unfreed; anything else is a crash.
#include "gateway/vl_service_manager.hxx"
#include "pom/test_seams.hxx"
#include "soa_common/monitor.hxx"
#include "sm/sm.hxx"
#include "soa_common/xml.hxx"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void crash(const char* what, const std::string& request, const std::string& reply) {
    std::fprintf(stderr, "fuzz_requests: %s\n--- request\n%s\n--- reply\n%s\n", what, request.c_str(),
                 reply.c_str());
    std::abort();
}

bool loadSite() {
    std::string error;
    if (vl::platform::SITE_load(VL_DEFAULT_SITE, &error) != 0) {
        std::fprintf(stderr, "fuzz_requests: %s\n", error.c_str());
        std::abort();
    }
    vl::platform::SITE_reset();  // the seams as every input after a reset finds them
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool loaded = loadSite();
    (void)loaded;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t eol = input.find('\n');
    if (eol == std::string::npos) return 0;
    const std::string header = input.substr(0, eol);
    const std::size_t space = header.find(' ');
    if (space == std::string::npos) return 0;
    const std::string service = header.substr(0, space), operation = header.substr(space + 1);
    const std::string request = input.substr(eol + 1);

    const long blocks = vl::platform::SM_outstanding_blocks();
    std::string reply;
    if (!VlServiceManager::instance().invoke(service, operation, request, &reply)) {
        vl::platform::SITE_reset();
        vl::platform::MONITOR_clear();
        return 0;
    }

    Velmora::Soa::Common::Xml::SAXToNodeParser parser;
    try {
        parser.parseString(reply);
    } catch (const Velmora::Soa::Common::Exceptions::DomException& e) {
        crash(("reply is not well-formed: " + e.getMessage()).c_str(), request, reply);
    }
    if (!vl::platform::LOCKS_held().empty()) crash("a lock is left held", request, reply);
    if (vl::platform::SM_outstanding_blocks() != blocks) crash("a platform block is left unfreed", request, reply);
    vl::platform::SITE_reset();
    vl::platform::MONITOR_clear();  // its log would grow to its cap, an input at a time
    return 0;
}
