// The 2007_01 and internal 2007_05 session skeletons: their operation
// tables, the four spans of every operation, which failures each answers
// itself, requests that cannot be read, and the converters.
#include "session0701_support.hxx"

#include "foundation/error_codes.hxx"
#include "soa_common/monitor.hxx"
#include "soa_services/core/schemas/core/_2006_03/session/session_types.hxx"
#include "soa_services/core/skeletons/core/_2007_01/session/session_skeleton.hxx"
#include "soa_services/core/skeletons/internal/core/_2007_05/session/session_skeleton.hxx"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace session0701;
using vl::platform::SpanEvent;
using Skeleton = Velmora::Services::Core::_2007_01::SessionIiopSkeleton;
using Local = Velmora::Soa::Core::_2007_01::Session;
namespace Wire = Velmora::Schemas::Core::_2007_01::Session;

const Velmora::Soa::Internal::Server::IiopSkeleton& skeleton(const char* service) {
    auto* s = dynamic_cast<Velmora::Soa::Internal::Server::IiopSkeleton*>(VlServiceManager::instance().find(service));
    if (!s) throw std::runtime_error(std::string(service) + " is not registered");
    return *s;
}

std::vector<SpanEvent> spanLog() {
    const auto& log = vl::platform::MONITOR_log();
    return {log.begin(), log.end()};
}

std::string write(const auto& wire, const std::string& root) {
    vl::skeleton::XmlStream out;
    wire.outputXML(out, root);
    return out.str();
}

template <class T>
T parsed(const std::string& xml) {
    vl::test::Reply document(xml);
    T wire;
    wire.parse(*document.root);
    return wire;
}

struct Op {
    const char* service;
    const char* op;
    std::string prefix;  // "Velmora::Soa::<area>::<version>::Session"
};
const Op kOps[] = {
    {kService, "getPreferences", "Velmora::Soa::Core::_2007_01::Session"},
    {kService, "getVLSessionInfo", "Velmora::Soa::Core::_2007_01::Session"},
    {kService, "setObjectPropertyPolicy", "Velmora::Soa::Core::_2007_01::Session"},
    {kInternalService, "refreshPOMCachePerRequest", "Velmora::Soa::Internal::Core::_2007_05::Session"},
};

class Session0701Skeleton : public Session0701Fixture {};

TEST_F(Session0701Skeleton, Tables) {
    std::vector<std::string> names;
    for (const auto& [name, op] : skeleton(kService).operations()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"getPreferences", "getVLSessionInfo", "setObjectPropertyPolicy"}));
    EXPECT_EQ(skeleton(kService).serviceName(), "Session");
    names.clear();
    for (const auto& [name, op] : skeleton(kInternalService).operations()) names.push_back(name);
    EXPECT_EQ(names, std::vector<std::string>{"refreshPOMCachePerRequest"});
    EXPECT_EQ(skeleton(kInternalService).serviceName(), "Session");
}

TEST_F(Session0701Skeleton, EveryOperationRunsItsFourSpans) {
    const std::string requests[] = {getPrefsXml({{"site", {"Display_Mode"}}}), "<GetVLSessionInfoInput/>",
                                    policyXml("empty"), refreshXml(true)};
    const char* roots[] = {"MultiPreferencesResponse", "GetVLSessionInfoResponse", "SetObjectPropertyPolicyOutput",
                           "RefreshPOMCachePerRequestOutput"};
    for (std::size_t i = 0; i < std::size(kOps); ++i) {
        const Op& c = kOps[i];
        SCOPED_TRACE(c.op);
        vl::platform::MONITOR_clear();
        Parsed r(invoke(c.service, c.op, requests[i]));
        EXPECT_EQ(r.name(), roots[i]) << r.text;
        const std::string a = c.prefix + "IiopSkeleton::" + c.op, impl = c.prefix + "Impl::" + c.op;
        const std::vector<SpanEvent> expected = {
            {SpanEvent::Start, a},         {SpanEvent::Start, a + "::wireToLocal"},
            {SpanEvent::End, a + "::wireToLocal"}, {SpanEvent::Start, impl},
            {SpanEvent::End, impl},        {SpanEvent::Start, a + "::localToWire"},
            {SpanEvent::End, a + "::localToWire"}, {SpanEvent::End, a},
        };
        EXPECT_EQ(spanLog(), expected);
    }
}

// The three 2007_01 operations write their own exception documents (the
// outer and implementation spans stay open); the operation itself answers.
TEST_F(Session0701Skeleton, ExceptionDocuments) {
    struct Case {
        const char* op;
        std::string xml;
        const char* fault;
        std::vector<int> codes;
    } cases[] = {
        {"getPreferences", getPrefsXml({{"Site", {}}}), nullptr, {vl::platform::ERR_UNKNOWN_PREF_SCOPE}},
        {"getVLSessionInfo", "<GetVLSessionInfoInput/>", "POM_get_user", {vl::platform::ERR_INJECTED}},
        {"setObjectPropertyPolicy", policyXml("<bad"), nullptr,
         {vl::platform::ERR_POLICY_REFUSED, vl::platform::ERR_POLICY_PARSE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        vl::platform::MONITOR_clear();
        if (c.fault) vl::platform::FAULT_inject(c.fault, vl::platform::ERR_INJECTED);
        Parsed r(call(c.op, c.xml));
        EXPECT_EQ(r.name(), "ServiceException") << r.text;
        EXPECT_EQ(r.codes(), c.codes);
        const std::string a = std::string("Velmora::Soa::Core::_2007_01::SessionIiopSkeleton::") + c.op;
        const std::string impl = std::string("Velmora::Soa::Core::_2007_01::SessionImpl::") + c.op;
        const std::vector<SpanEvent> expected = {
            {SpanEvent::Start, a},          {SpanEvent::Start, a + "::wireToLocal"},
            {SpanEvent::End, a + "::wireToLocal"}, {SpanEvent::Start, impl},
            {SpanEvent::LeftOpen, impl},    {SpanEvent::LeftOpen, a},
        };
        EXPECT_EQ(spanLog(), expected);

        if (c.fault) vl::platform::FAULT_inject(c.fault, vl::platform::ERR_INJECTED);
        std::string direct;
        EXPECT_NO_THROW(direct = skeleton(kService).operations().at(c.op)(c.xml));
        EXPECT_EQ(Parsed(direct).codes(), c.codes);
        vl::platform::MONITOR_clear();
    }
}

// A request that cannot be read leaves every operation, handlers or not;
// invokeMethod answers it.
TEST_F(Session0701Skeleton, UnreadableRequestsReachInvokeMethod) {
    const char* bad[] = {"", "<Wrong/>", "<GetVLSessionInfoInput x=\"1\"/>",
                         "<RefreshPOMCachePerRequestInput refresh=\"maybe\"/>",
                         "<GetPreferencesInput><requestedPref scope=\"all\" scope=\"all\"/></GetPreferencesInput>",
                         "<SetObjectPropertyPolicyInput policyName=\"a\" policyName=\"b\"/>"};
    for (const Op& c : kOps) {
        for (const char* xml : bad) {
            SCOPED_TRACE(std::string(c.op) + " " + xml);
            Parsed r(invoke(c.service, c.op, xml));
            EXPECT_EQ(r.name(), "ServiceException") << r.text;
            EXPECT_EQ(r.codes(), std::vector<int>{vl::platform::ERR_BAD_REQUEST}) << r.text;
            EXPECT_ANY_THROW(skeleton(c.service).operations().at(c.op)(xml));
            vl::platform::MONITOR_clear();
        }
    }
}

TEST_F(Session0701Skeleton, ExtraInfoAndMatchedConverters) {
    const std::vector<Wire::ExtraInfo> wire = Skeleton::toWireExtraInfo({{"b", "2"}, {"a", "1"}});
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].getKey(), "a");
    EXPECT_EQ(wire[0].getValue(), "1");
    EXPECT_EQ(wire[1].getKey(), "b");
    EXPECT_EQ(wire[1].getValue(), "2");
    std::vector<Wire::ExtraInfo> twice(wire);
    Wire::ExtraInfo again;
    again.setKey("a");
    again.setValue("later");
    twice.push_back(again);
    EXPECT_EQ(Skeleton::toLocalExtraInfo(twice), (std::map<std::string, std::string>{{"a", "later"}, {"b", "2"}}));

    const Local::TextInfo text{"real", "display"};
    const Local::TextInfo textBack = Skeleton::toLocal(Skeleton::toWire(text));
    EXPECT_EQ(textBack.realName, "real");
    EXPECT_EQ(textBack.displayName, "display");
    EXPECT_EQ(write(Skeleton::toWire(text), "TextInfo"), "<TextInfo displayName=\"display\" realName=\"real\"/>");

    // Each direction against a document written by hand, so that a field
    // swapped both ways cannot pass.
    const std::string prefXml = "<ReturnedPreferences name=\"n\" scope=\"group\"><value value=\"b\"/>"
                                "<value value=\"\"/><value value=\"a\"/></ReturnedPreferences>";
    const Local::ReturnedPreferences pref{"n", "group", {"b", "", "a"}};
    EXPECT_EQ(write(Skeleton::toWire(pref), "ReturnedPreferences"), prefXml);
    const Local::ReturnedPreferences prefBack = Skeleton::toLocal(parsed<Wire::ReturnedPreferences>(prefXml));
    EXPECT_EQ(prefBack.name, "n");
    EXPECT_EQ(prefBack.scope, "group");
    EXPECT_EQ(prefBack.values, pref.values);

    const std::string namesXml =
        "<ScopedPreferenceNames scope=\"role\"><name value=\"y\"/><name value=\"x\"/></ScopedPreferenceNames>";
    const Local::ScopedPreferenceNames names{"role", {"y", "x"}};
    EXPECT_EQ(write(Skeleton::toWire(names), "ScopedPreferenceNames"), namesXml);
    const Local::ScopedPreferenceNames namesBack = Skeleton::toLocal(parsed<Wire::ScopedPreferenceNames>(namesXml));
    EXPECT_EQ(namesBack.scope, "role");
    EXPECT_EQ(namesBack.names, names.names);
}

// A reference the reply cannot carry is the null reference, and no error is
// left behind; text infos and extra info are written in order.
TEST_F(Session0701Skeleton, SessionInfoConversion) {
    Local::GetVLSessionInfoResponse local{};
    local.site = POMRef<Site>(Velmora::Soa::Internal::Server::Utils::uidToTag("NoSuchUid12345"));
    local.user = POMRef<User>(session0603::user("admin"));
    local.textInfos = {{"r1", "d1"}, {"r2", "d2"}};
    local.extraInfo = {{"z", "last"}, {"m", "mid"}};
    local.moduleNumber = -1;
    local.journaling = true;
    Wire::GetVLSessionInfoResponse wire = Skeleton::toWire(local);
    EXPECT_EQ(wire.getSite().getUid(), "");
    EXPECT_EQ(wire.getUser().getUid(), vl::test::uidOf(session0603::user("admin")));
    EXPECT_EQ(storedErrorCount(), 0);
    EXPECT_TRUE(wire.getServiceData().getPartialErrorArray().empty());
    EXPECT_TRUE(wire.getJournaling());
    EXPECT_FALSE(wire.getAppJournaling());
    EXPECT_FALSE(wire.getSecJournaling());
    EXPECT_FALSE(wire.getAdmJournaling());
    const std::string text = write(wire, "GetVLSessionInfoResponse");
    EXPECT_NE(text.find("<site uid=\"\"/><textInfo displayName=\"d1\" realName=\"r1\"/><textInfo displayName=\"d2\" "
                        "realName=\"r2\"/><extraInfo key=\"m\" value=\"mid\"/><extraInfo key=\"z\" value=\"last\"/>"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.rfind("<GetVLSessionInfoResponse moduleNumber=\"-1\" transientVolRootDir=\"\" admJournaling=\"false\"", 0),
              0u)
        << text;
}

}  // namespace

namespace {

// The request documents read into their types and write back as they were;
// the two services' GetPreferencesInput are different types, and each
// refuses the other's form.
TEST(Session0701WireTypes, RequestDocumentsRoundTrip) {
    auto roundTrip = [](auto request, const std::string& xml) {
        vl::test::Reply parsed(xml);
        request.parse(*parsed.root);
        return write(request, parsed.root->name());
    };
    const std::string prefs = "<GetPreferencesInput><requestedPref scope=\"site\"><name value=\"a\"/><name value=\"b\"/>"
                              "</requestedPref><requestedPref scope=\"all\"/></GetPreferencesInput>";
    EXPECT_EQ(roundTrip(Wire::GetPreferencesInput(), prefs), prefs);
    const std::string policy = "<SetObjectPropertyPolicyInput policyName=\"&lt;x a=&quot;1&quot;/&gt;\"/>";
    EXPECT_EQ(roundTrip(Wire::SetObjectPropertyPolicyInput(), policy), policy);
    const std::string refresh = "<RefreshPOMCachePerRequestInput refresh=\"false\"/>";
    EXPECT_EQ(roundTrip(Velmora::Schemas::Internal::Core::_2007_05::Session::RefreshPOMCachePerRequestInput(), refresh),
              refresh);
    EXPECT_EQ(roundTrip(Wire::GetVLSessionInfoInput(), "<GetVLSessionInfoInput/>"), "<GetVLSessionInfoInput/>");

    vl::test::Reply older("<GetPreferencesInput prefScope=\"all\"><prefName value=\"a\"/></GetPreferencesInput>");
    EXPECT_ANY_THROW(Wire::GetPreferencesInput().parse(*older.root));
    vl::test::Reply newer(prefs);
    EXPECT_ANY_THROW(Velmora::Schemas::Core::_2006_03::Session::GetPreferencesInput().parse(*newer.root));
}

}  // namespace
