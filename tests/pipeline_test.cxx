// The road of one operation: spans in order, handlers by operation, and
// every failure answered with a document.
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "gateway/vl_service_manager.hxx"
#include "soa_common/monitor.hxx"
#include "soa_framework/skeleton/pipeline.hxx"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace Velmora::Schemas::Test::_2006_03::Echo {
#define VL_WIRE_FIELDS_EchoInput(F, O, A) F(std::string, Text) A(std::string, Word)
#define VL_WIRE_FIELDS_EchoResponse(F, O, A) F(std::string, Text) F(Velmora::Schemas::Soa::_2006_03::Base::ServiceData, ServiceData)
VL_WIRE_DECLARE(EchoInput)
VL_WIRE_DECLARE(EchoResponse)
VL_WIRE_DEFINE(EchoInput)
VL_WIRE_DEFINE(EchoResponse)
}  // namespace Velmora::Schemas::Test::_2006_03::Echo

namespace {

namespace Wire = Velmora::Schemas::Test::_2006_03::Echo;
namespace Exceptions = Velmora::Schemas::Soa::_2006_03::Exceptions;
using vl::platform::SpanEvent;
using vl::skeleton::Handlers;

struct EchoResponse {
    std::string text;
    Velmora::Soa::Server::ServiceData serviceData;
};

// What the fake implementation does next.
std::function<void()> g_behaviour;

class EchoImpl {
public:
    virtual ~EchoImpl() = default;
    virtual EchoResponse echo(const std::string& text, const std::vector<std::string>& words) {
        if (g_behaviour) g_behaviour();
        EchoResponse r;
        r.text = text;
        for (const auto& w : words) r.text += "+" + w;
        return r;
    }
};

Wire::EchoResponse toWire(EchoResponse local) {
    Wire::EchoResponse wire;
    wire.setText(local.text);
    wire.setServiceData(vl::skeleton::toWireServiceData(local.serviceData));
    return wire;
}

class EchoSkeleton : public vl::skeleton::ServiceSkeleton<EchoSkeleton, EchoImpl> {
public:
    EchoSkeleton() : ServiceSkeleton("Echo") {
        bind("plain", &plain);
        bind("guarded", &guarded);
        bind("login", &login);
    }

    template <Handlers H>
    static std::string run(const std::string& op, const std::string& xml) {
        static const vl::skeleton::Spans spans("Core", "_2006_03", "Echo", op);
        return vl::skeleton::run<H, Wire::EchoInput>(
            spans, "EchoResponse", xml,
            [](const Wire::EchoInput& in) { return std::make_pair(in.getText(), in.getWordArray()); },
            [](auto& args) { return _service->echo(args.first, args.second); }, &toWire);
    }
    static std::string plain(const std::string& xml) { return run<Handlers::None>("plain", xml); }
    static std::string guarded(const std::string& xml) { return run<Handlers::ServiceAndIFail>("guarded", xml); }
    static std::string login(const std::string& xml) { return run<Handlers::InvalidCredentials>("login", xml); }
};

EchoSkeleton* g_skeleton = nullptr;

struct PipelineTest : ::testing::Test {
    static void SetUpTestSuite() {
        if (g_skeleton) return;
        EchoSkeleton::_service = new EchoImpl;
        g_skeleton = new EchoSkeleton;
        VlServiceManager::instance().registerService("Test-2006-03-Echo", g_skeleton);
    }
    void SetUp() override {
        g_behaviour = nullptr;
        vl::platform::MONITOR_clear();
        ERROR_store_clear();
    }
    void TearDown() override { g_behaviour = nullptr; }

    static std::string invoke(const std::string& op, const std::string& xml) {
        std::string reply;
        EXPECT_TRUE(VlServiceManager::instance().invoke("Test-2006-03-Echo", op, xml, &reply));
        return reply;
    }
    static std::vector<SpanEvent> log() {
        auto& l = vl::platform::MONITOR_log();
        return {l.begin(), l.end()};
    }
};

const std::string A = "Velmora::Soa::Core::_2006_03::EchoIiopSkeleton::plain";
const std::string B = "Velmora::Soa::Core::_2006_03::EchoImpl::plain";
const char* kRequest = "<EchoInput text=\"hi\"><word value=\"a\"/><word value=\"b\"/></EchoInput>";

TEST_F(PipelineTest, FourSpansInOrderAndTheReplyUnderItsRoot) {
    EXPECT_EQ(invoke("plain", kRequest),
              "<EchoResponse text=\"hi+a+b\"><serviceData/></EchoResponse>");
    std::vector<SpanEvent> expected = {
        {SpanEvent::Start, A},
        {SpanEvent::Start, A + "::wireToLocal"},
        {SpanEvent::End, A + "::wireToLocal"},
        {SpanEvent::Start, B},
        {SpanEvent::End, B},
        {SpanEvent::Start, A + "::localToWire"},
        {SpanEvent::End, A + "::localToWire"},
        {SpanEvent::End, A},
    };
    EXPECT_EQ(log(), expected);
}

// Which exceptions each handler policy turns into its reply, and which reach
// invokeMethod; both give a document, told apart by the spans left open.
TEST_F(PipelineTest, HandlerMatrix) {
    struct Case {
        const char* op;
        std::function<void()> thrower;
        const char* replyHas;
        bool leftOperation;
    } cases[] = {
        {"guarded", [] { throw IFail(214104); }, "code=\"214104\"", false},
        {"guarded",
         [] {
             ERROR_store(3, 214105);
             throw Velmora::Soa::Server::ServiceException();
         },
         "code=\"214105\"", false},
        {"guarded", [] { throw std::runtime_error("boom"); }, "Internal error: boom", true},
        {"login", [] { throw Exceptions::InvalidCredentialsException("wrong user or password"); },
         "<InvalidCredentialsException", false},
        {"login", [] { throw IFail(214100); }, "code=\"214100\"", true},
        {"plain", [] { throw IFail(214101); }, "code=\"214101\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        vl::platform::MONITOR_clear();
        g_behaviour = c.thrower;
        std::string op = c.op;
        std::string reply = invoke(op, kRequest);
        EXPECT_NE(reply.find(c.replyHas), std::string::npos) << reply;
        // The implementation span and the outer span stay open either way.
        auto open = vl::platform::MONITOR_log();
        int leftOpen = 0;
        for (const auto& e : open) leftOpen += e.kind == SpanEvent::LeftOpen;
        EXPECT_EQ(leftOpen, 2) << reply;
        // A handled exception is written by the operation itself.
        bool escaped = false;
        try {
            g_skeleton->operations().at(op)(kRequest);
        } catch (...) {
            escaped = true;
        }
        EXPECT_EQ(escaped, c.leftOperation);
    }
}

TEST_F(PipelineTest, DefaultServiceExceptionReportsAndTakesTheStoredErrors) {
    g_behaviour = [] {
        ERROR_store(3, 214104);
        ERROR_store(3, 214105);
        throw Velmora::Soa::Server::ServiceException();
    };
    std::string reply = invoke("guarded", kRequest);
    EXPECT_NE(reply.find("code=\"214104\""), std::string::npos);
    EXPECT_NE(reply.find("code=\"214105\""), std::string::npos);
    int n = -1;
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    EXPECT_EQ(n, 0);
}

TEST_F(PipelineTest, BadRequestsAreAnsweredNotHandledByTheOperation) {
    struct Case {
        const char* xml;
        const char* replyHas;
    } cases[] = {
        {"", "could not be read"},
        {"<EchoInput text=\"x\">", "could not be read"},
        {"<Other text=\"x\"/>", "root element must be &lt;EchoInput&gt;"},
        {"<EchoInput text=\"x\"><word value=\"a\" extra=\"1\"/></EchoInput>", "unknown attribute"},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><EchoInput text=\"&e;\"/>", "could not be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        std::string reply = invoke("guarded", c.xml);
        EXPECT_NE(reply.find(c.replyHas), std::string::npos) << reply;
        EXPECT_NE(reply.find("code=\"" + std::to_string(vl::platform::ERR_BAD_REQUEST) + "\""), std::string::npos)
            << reply;
    }
}

TEST_F(PipelineTest, UnknownOperationIsAnsweredWithAClearDocument) {
    std::string reply = invoke("nosuch", kRequest);
    EXPECT_NE(reply.find("has no operation &quot;nosuch&quot;"), std::string::npos) << reply;
}

}  // namespace
