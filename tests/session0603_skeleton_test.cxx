// The session skeleton: its operation table, the spans of every operation,
// which failures each operation answers itself, the converters and the
// request and reply documents.
#include "session0603_support.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "kernel/session.hxx"
#include "soa_common/monitor.hxx"
#include "soa_services/core/skeletons/core/_2006_03/session/session_skeleton.hxx"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace session0603;
using vl::platform::SpanEvent;
using Skeleton = Velmora::Services::Core::_2006_03::SessionIiopSkeleton;
using Local = Velmora::Soa::Core::_2006_03::Session;
namespace Wire = Velmora::Schemas::Core::_2006_03::Session;

const Velmora::Soa::Internal::Server::IiopSkeleton& skeleton() {
    auto* s = dynamic_cast<Velmora::Soa::Internal::Server::IiopSkeleton*>(
        VlServiceManager::instance().find(kService));
    if (!s) throw std::runtime_error("the session service is not registered");
    return *s;
}

std::string outer(const std::string& op) { return "Velmora::Soa::Core::_2006_03::SessionIiopSkeleton::" + op; }
std::string impl(const std::string& op) { return "Velmora::Soa::Core::_2006_03::SessionImpl::" + op; }

std::vector<SpanEvent> spanLog() {
    const auto& log = vl::platform::MONITOR_log();
    return {log.begin(), log.end()};
}

class Session0603Skeleton : public Session0603Fixture {};

TEST_F(Session0603Skeleton, TableNamesTheNineOperations) {
    std::vector<std::string> names;
    for (const auto& [name, op] : skeleton().operations()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"getAvailableServices", "getGroupMembership", "getPreferences",
                                               "getSessionGroupMember", "login", "loginSSO", "logout",
                                               "setPreferences", "setSessionGroupMember"}));
    EXPECT_EQ(skeleton().serviceName(), "Session");
}

// Every operation opens and closes its four spans in one order, also those
// whose request carries nothing; each answers under its own root.
TEST_F(Session0603Skeleton, EveryOperationRunsItsFourSpans) {
    std::string designer = uidOf(member("admin", "engineering", "Designer"));
    struct Case {
        const char* op;
        std::string xml;
        const char* root;
    } cases[] = {
        {"getPreferences", getPrefsXml("site", {"Display_Mode"}), "PreferencesResponse"},
        {"getAvailableServices", "<GetAvailableServicesInput/>", "GetAvailableServicesResponse"},
        {"login", loginXml("admin", kAdminPassword), "LoginResponse"},
        {"setSessionGroupMember", memberXml(designer), "ServiceData"},
        {"getGroupMembership", "<GetGroupMembershipInput/>", "GetGroupMembershipResponse"},
        {"setPreferences", setPrefsXml({{"user", "p", {"v"}}}), "PreferencesResponse"},
        {"setPreferences", "<SetPreferencesInput/>", "PreferencesResponse"},
        {"loginSSO", loginSSOXml("admin", "Sso-Token-9f"), "LoginResponse"},
        {"getSessionGroupMember", "<GetSessionGroupMemberInput/>", "GetSessionGroupMemberResponse"},
        {"logout", "<LogoutInput/>", "ServiceData"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        vl::platform::MONITOR_clear();
        Parsed r(call(c.op, c.xml));
        EXPECT_EQ(r.name(), c.root) << r.text;
        std::string a = outer(c.op);
        std::vector<SpanEvent> expected = {
            {SpanEvent::Start, a},         {SpanEvent::Start, a + "::wireToLocal"},
            {SpanEvent::End, a + "::wireToLocal"}, {SpanEvent::Start, impl(c.op)},
            {SpanEvent::End, impl(c.op)},  {SpanEvent::Start, a + "::localToWire"},
            {SpanEvent::End, a + "::localToWire"}, {SpanEvent::End, a},
        };
        EXPECT_EQ(spanLog(), expected);
    }
}

// Which failures an operation writes as its own reply (then the outer and
// the implementation span stay open) and which it lets reach invokeMethod.
TEST_F(Session0603Skeleton, HandlerMatrix) {
    enum Answer { ServiceExceptionDoc, InvalidCredentialsDoc, Escapes };
    struct Case {
        const char* op;
        const char* what;
        std::string xml;
        const char* fault;  // platform call made to fail, or null
        Answer answer;
        int code;  // first code of a service exception
    } cases[] = {
        {"getPreferences", "unknown scope", getPrefsXml("Site", {"a"}), nullptr, ServiceExceptionDoc,
         vl::platform::ERR_UNKNOWN_PREF_SCOPE},
        {"setPreferences", "unknown scope", setPrefsXml({{"any", "a", {}}}), nullptr, ServiceExceptionDoc,
         vl::platform::ERR_UNKNOWN_PREF_SCOPE},
        {"setSessionGroupMember", "unknown member", memberXml("NoSuchUid12345"), nullptr, ServiceExceptionDoc,
         vl::platform::ERR_INVALID_TAG},
        {"getGroupMembership", "platform failure", "<GetGroupMembershipInput/>", "SA_find_groupmember_by_user",
         ServiceExceptionDoc, vl::platform::ERR_INJECTED},
        {"login", "wrong password", loginXml("admin", "wrong"), nullptr, InvalidCredentialsDoc, 0},
        {"loginSSO", "another user", loginSSOXml("alice", "Sso-Token-9f"), nullptr, InvalidCredentialsDoc, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.op) + ": " + c.what);
        // Through the gateway.
        vl::platform::MONITOR_clear();
        if (c.fault) vl::platform::FAULT_inject(c.fault, vl::platform::ERR_INJECTED);
        Parsed r(call(c.op, c.xml));
        if (c.answer == ServiceExceptionDoc) {
            EXPECT_EQ(r.name(), "ServiceException") << r.text;
            ASSERT_FALSE(r.codes().empty());
            EXPECT_EQ(r.codes().front(), c.code);
        } else {
            EXPECT_EQ(r.name(), "InvalidCredentialsException") << r.text;
        }
        std::string a = outer(c.op);
        std::vector<SpanEvent> expected = {
            {SpanEvent::Start, a},          {SpanEvent::Start, a + "::wireToLocal"},
            {SpanEvent::End, a + "::wireToLocal"}, {SpanEvent::Start, impl(c.op)},
            {SpanEvent::LeftOpen, impl(c.op)}, {SpanEvent::LeftOpen, a},
        };
        EXPECT_EQ(spanLog(), expected);

        // The operation itself writes that reply.
        vl::platform::SITE_reset();
        if (c.fault) vl::platform::FAULT_inject(c.fault, vl::platform::ERR_INJECTED);
        std::string direct;
        EXPECT_NO_THROW(direct = skeleton().operations().at(c.op)(c.xml));
        EXPECT_EQ(Parsed(direct).name(), r.name());
        vl::platform::MONITOR_clear();
    }
}

// A request that cannot be read is never the operation's to answer, not
// even where it has handlers: it reaches invokeMethod, which answers it.
TEST_F(Session0603Skeleton, UnreadableRequestsLeaveEveryOperation) {
    const char* ops[] = {"getPreferences",     "getAvailableServices", "login",
                         "setSessionGroupMember", "getGroupMembership", "setPreferences",
                         "logout",             "loginSSO",           "getSessionGroupMember"};
    const char* bad[] = {"", "<Wrong/>", "<LogoutInput unknown=\"1\"/>", "<GetPreferencesInput prefScope=\"all\">"};
    for (const char* op : ops) {
        for (const char* xml : bad) {
            SCOPED_TRACE(std::string(op) + " " + xml);
            Parsed r(call(op, xml));
            EXPECT_EQ(r.name(), "ServiceException") << r.text;
            EXPECT_EQ(r.codes(), std::vector<int>{vl::platform::ERR_BAD_REQUEST}) << r.text;
            EXPECT_ANY_THROW(skeleton().operations().at(op)(xml));
            vl::platform::MONITOR_clear();
        }
    }
    EXPECT_TRUE(loginUser::isLoggedIn());
}

// A reference the reply cannot carry becomes the null reference (single
// fields) or is left out (the member list); the reply shows no error for it.
TEST_F(Session0603Skeleton, UnconvertibleReferencesInReplies) {
    tag_t gone = Velmora::Soa::Internal::Server::Utils::uidToTag("NoSuchUid12345");
    tag_t m1 = member("admin", "dba", "DBA"), m2 = member("admin", "engineering", "Designer");

    Local::LoginResponse login;
    login.user = POMRef<User>(gone);
    login.groupMember = POMRef<GroupMember>(m1);
    Wire::LoginResponse wireLogin = Skeleton::toWire(login);
    EXPECT_EQ(wireLogin.getUser().getUid(), "");
    EXPECT_EQ(wireLogin.getGroupMember().getUid(), uidOf(m1));
    EXPECT_TRUE(wireLogin.getServiceData().getPartialErrorArray().empty());
    int stored = -1;
    ERROR_store_ask(&stored, nullptr, nullptr, nullptr);
    EXPECT_EQ(stored, 0);

    Local::GetSessionGroupMemberResponse session;
    session.groupMember = POMRef<GroupMember>(gone);
    EXPECT_EQ(Skeleton::toWire(session).getGroupMember().getUid(), "");

    struct Case {
        std::vector<tag_t> members;
        std::vector<std::string> uids;
    } cases[] = {
        {{m1, gone, m2}, {uidOf(m1), uidOf(m2)}},
        {{gone}, {}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        Local::GetGroupMembershipResponse local;
        for (tag_t t : c.members) local.groupMembers.emplace_back(t);
        Wire::GetGroupMembershipResponse wire = Skeleton::toWire(local);
        std::vector<std::string> uids;
        for (const auto& m : wire.getGroupMemberArray()) uids.push_back(m.getUid());
        EXPECT_EQ(uids, c.uids);
        ERROR_store_ask(&stored, nullptr, nullptr, nullptr);
        EXPECT_EQ(stored, 0);
    }
    // The service data is written even for an empty list.
    vl::skeleton::XmlStream out;
    Skeleton::toWire(Local::GetGroupMembershipResponse{}).outputXML(out, "GetGroupMembershipResponse");
    EXPECT_EQ(out.str(), "<GetGroupMembershipResponse><serviceData/></GetGroupMembershipResponse>");
}

TEST_F(Session0603Skeleton, ConvertersKeepNamesAndValuesInOrder) {
    Local::PrefSetting setting{"group", "Some_Pref", {"b", "a", "", "b"}};
    Local::PrefSetting back = Skeleton::toLocal(Skeleton::toWire(setting));
    EXPECT_EQ(back.prefScope, setting.prefScope);
    EXPECT_EQ(back.prefName, setting.prefName);
    EXPECT_EQ(back.prefValues, setting.prefValues);

    Local::GetAvailableServicesResponse services{{"B-Service", "A-Service"}};
    EXPECT_EQ(Skeleton::toLocal(Skeleton::toWire(services)).serviceNames, services.serviceNames);
    vl::skeleton::XmlStream out;
    Skeleton::toWire(Local::GetAvailableServicesResponse{}).outputXML(out, "GetAvailableServicesResponse");
    EXPECT_EQ(out.str(), "<GetAvailableServicesResponse/>");
}

// Each request document reads into its type and writes back as it was;
// what the type does not know is refused.
TEST_F(Session0603Skeleton, RequestDocumentsRoundTrip) {
    auto roundTrip = [](auto request, const std::string& xml) {
        vl::test::Reply parsed(xml);
        request.parse(*parsed.root);
        vl::skeleton::XmlStream out;
        request.outputXML(out, parsed.root->name());
        return out.str();
    };
    const std::string login =
        "<LoginInput sessionDiscriminator=\"d\" password=\"p&amp;&lt;q\" group=\"g\" role=\"r\" username=\"u\"/>";
    EXPECT_EQ(roundTrip(Wire::LoginInput(), login), login);
    const std::string sso =
        "<LoginSSOInput sessionDiscriminator=\"d\" ssoCredentials=\"c\" group=\"g\" role=\"r\" username=\"u\"/>";
    EXPECT_EQ(roundTrip(Wire::LoginSSOInput(), sso), sso);
    const std::string prefs = "<GetPreferencesInput prefScope=\"all\"><prefName value=\"a\"/><prefName value=\"b\"/>"
                              "</GetPreferencesInput>";
    EXPECT_EQ(roundTrip(Wire::GetPreferencesInput(), prefs), prefs);
    const std::string set = "<SetPreferencesInput><setting prefScope=\"user\" prefName=\"n\"><prefValue value=\"1\"/>"
                            "<prefValue value=\"2\"/></setting><setting prefScope=\"site\" prefName=\"m\"/>"
                            "</SetPreferencesInput>";
    EXPECT_EQ(roundTrip(Wire::SetPreferencesInput(), set), set);
    const std::string member = "<SetSessionGroupMemberInput><groupMember uid=\"x\"/></SetSessionGroupMemberInput>";
    EXPECT_EQ(roundTrip(Wire::SetSessionGroupMemberInput(), member), member);

    const std::string refused[] = {
        "<LoginInput user=\"u\"/>",
        "<LogoutInput><extra/></LogoutInput>",
        "<SetPreferencesInput><setting prefScope=\"user\" prefName=\"n\" prefValue=\"1\"/></SetPreferencesInput>",
        "<SetSessionGroupMemberInput><groupMember uid=\"x\"/><groupMember uid=\"y\"/></SetSessionGroupMemberInput>",
    };
    for (const auto& xml : refused) {
        SCOPED_TRACE(xml);
        vl::test::Reply parsed(xml);
        EXPECT_ANY_THROW({
            if (parsed.root->name() == "LoginInput") Wire::LoginInput().parse(*parsed.root);
            if (parsed.root->name() == "LogoutInput") Wire::LogoutInput().parse(*parsed.root);
            if (parsed.root->name() == "SetPreferencesInput") Wire::SetPreferencesInput().parse(*parsed.root);
            if (parsed.root->name() == "SetSessionGroupMemberInput")
                Wire::SetSessionGroupMemberInput().parse(*parsed.root);
        });
    }
}

}  // namespace
