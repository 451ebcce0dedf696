// Group membership, the session's group member and the list of services.
#include "session0603_support.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/session.hxx"
#include "soa_server/service_manager.hxx"
#include "support/registered_services.hxx"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace session0603;

class Session0603Members : public Session0603Fixture {};

// admin is in dba as DBA and in engineering as Designer: each member comes
// with its group and role, member by member.
TEST_F(Session0603Members, MembershipListsEachMemberWithItsGroupAndRole) {
    Parsed r(call("getGroupMembership", "<GetGroupMembershipInput/>"));
    ASSERT_EQ(r.name(), "GetGroupMembershipResponse") << r.text;
    tag_t first = member("admin", "dba", "DBA"), second = member("admin", "engineering", "Designer");
    std::vector<std::string> members;
    for (const XMLNode* m : childrenNamed(r.root, "groupMember")) {
        members.push_back(attrOf(m, "uid"));
        EXPECT_EQ(attrOf(m, "className"), "GroupMember");
    }
    EXPECT_EQ(members, (std::vector<std::string>{uidOf(first), uidOf(second)}));
    EXPECT_EQ(r.uids("plainObj"),
              (std::vector<std::string>{uidOf(first), uidOf(groupNamed("dba")), uidOf(roleNamed("DBA")),
                                        uidOf(second), uidOf(groupNamed("engineering")),
                                        uidOf(roleNamed("Designer"))}));
}

// alice is in engineering twice, as Designer and as Reviewer: both members
// are listed, while the service data lists the group once.
TEST_F(Session0603Members, TwoMembersOfOneGroupListTheGroupOnce) {
    ASSERT_EQ(Parsed(call("login", loginXml("alice", kAlicePassword))).name(), "LoginResponse");
    Parsed r(call("getGroupMembership", "<GetGroupMembershipInput/>"));
    ASSERT_EQ(r.name(), "GetGroupMembershipResponse") << r.text;
    tag_t designer = member("alice", "engineering", "Designer"), reviewer = member("alice", "engineering", "Reviewer");
    std::vector<std::string> members;
    for (const XMLNode* m : childrenNamed(r.root, "groupMember")) members.push_back(attrOf(m, "uid"));
    EXPECT_EQ(members, (std::vector<std::string>{uidOf(designer), uidOf(reviewer)}));
    EXPECT_EQ(r.uids("plainObj"),
              (std::vector<std::string>{uidOf(designer), uidOf(groupNamed("engineering")), uidOf(roleNamed("Designer")),
                                        uidOf(reviewer), uidOf(roleNamed("Reviewer"))}));
}

// Any platform failure is one service exception with the failure's code,
// and the member array is freed on that path too (the fixture counts it).
TEST_F(Session0603Members, MembershipFailuresEndTheCallAndFreeTheArray) {
    tag_t second = member("admin", "engineering", "Designer");
    struct Case {
        const char* function;
        unsigned int tag;
    } cases[] = {
        {"SSS_current_user", 0},
        {"SA_find_groupmember_by_user", 0},
        {"SA_ask_groupmember_group", 0},
        {"SA_ask_groupmember_role", second},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        long blocks = vl::platform::SM_outstanding_blocks();
        vl::platform::FAULT_inject(c.function, vl::platform::ERR_INJECTED, c.tag);
        Parsed r(call("getGroupMembership", "<GetGroupMembershipInput/>"));
        EXPECT_EQ(r.name(), "ServiceException") << r.text;
        ASSERT_FALSE(r.codes().empty());
        EXPECT_EQ(r.codes().front(), vl::platform::ERR_INJECTED);
        EXPECT_EQ(vl::platform::SM_outstanding_blocks(), blocks);
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
    }
}

TEST_F(Session0603Members, SetThenGetTheSessionGroupMember) {
    tag_t designer = member("admin", "engineering", "Designer");
    Parsed set(call("setSessionGroupMember", memberXml(uidOf(designer))));
    EXPECT_EQ(set.text, "<ServiceData/>");
    EXPECT_EQ(loginUser::currentGroupTag(), groupNamed("engineering"));
    EXPECT_EQ(loginUser::currentRoleTag(), roleNamed("Designer"));

    Parsed get(call("getSessionGroupMember", "<GetSessionGroupMemberInput/>"));
    ASSERT_EQ(get.name(), "GetSessionGroupMemberResponse") << get.text;
    EXPECT_EQ(get.refUid("groupMember"), uidOf(designer));
    EXPECT_EQ(get.uids("plainObj"), std::vector<std::string>{uidOf(designer)});
}

// A member the platform does not give the session leaves it as it was.
TEST_F(Session0603Members, RefusedGroupChangeLeavesTheSessionUnchanged) {
    tag_t current = member("admin", "dba", "DBA");
    struct Case {
        const char* what;
        std::string uid;
        int code;
    } cases[] = {
        {"another user's member", uidOf(member("alice", "engineering", "Reviewer")), vl::platform::ERR_NOT_A_MEMBER},
        {"not a member at all", uidOf(groupNamed("engineering")), vl::platform::ERR_WRONG_CLASS},
        {"unknown uid", "NoSuchUid12345", vl::platform::ERR_INVALID_TAG},
        {"empty uid", "", vl::platform::ERR_INVALID_TAG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed r(call("setSessionGroupMember", memberXml(c.uid)));
        EXPECT_EQ(r.name(), "ServiceException") << r.text;
        EXPECT_EQ(r.codes(), std::vector<int>{c.code}) << r.text;
        EXPECT_EQ(loginUser::currentGroupMemberTag(), current);
        EXPECT_EQ(Parsed(call("getSessionGroupMember", "<GetSessionGroupMemberInput/>")).refUid("groupMember"),
                  uidOf(current));
    }
}

// dave's manufacturing membership is inactive: not his to take.
TEST_F(Session0603Members, InactiveMemberIsRefused) {
    ASSERT_EQ(Parsed(call("login", loginXml("dave", kDavePassword))).name(), "LoginResponse");
    tag_t reviewer = member("dave", "engineering", "Reviewer");
    Parsed r(call("setSessionGroupMember", memberXml(uidOf(member("dave", "manufacturing", "Operator")))));
    EXPECT_EQ(r.codes(), std::vector<int>{vl::platform::ERR_NOT_A_MEMBER}) << r.text;
    EXPECT_EQ(loginUser::currentGroupMemberTag(), reviewer);
}

// The registered full names, exactly, in start-up order.
TEST_F(Session0603Members, AvailableServicesAreTheRegistryInOrder) {
    Parsed r(call("getAvailableServices", "<GetAvailableServicesInput/>"));
    ASSERT_EQ(r.name(), "GetAvailableServicesResponse") << r.text;
    EXPECT_EQ(r.sd, nullptr);
    std::vector<std::string> names;
    for (const XMLNode* n : childrenNamed(r.root, "serviceName")) names.push_back(attrOf(n, "value"));
    EXPECT_EQ(names, Velmora::Soa::Internal::Server::ServiceManager::instance().getServiceList());
    EXPECT_EQ(names, vl::test::registeredServices());
}

}  // namespace
