// Skeleton statics and policies: who frees what, and only once.
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_server/policy.hxx"

#include <gtest/gtest.h>

namespace {

using Velmora::Soa::Internal::Server::PolicyManager;
using Velmora::Soa::Internal::Server::PropertyPolicy;
using Velmora::Soa::Internal::Server::XmlPropertyPolicy;
using Velmora::Soa::Server::ServicePolicy;

int g_implsDestroyed = 0;
int g_policiesDestroyed = 0;

struct PlainImpl {
    virtual ~PlainImpl() { ++g_implsDestroyed; }
};
struct PolicyImpl : ServicePolicy {
    ~PolicyImpl() override { ++g_implsDestroyed; }
};

class PlainSkeleton final : public vl::skeleton::ServiceSkeleton<PlainSkeleton, PlainImpl> {
public:
    PlainSkeleton() : ServiceSkeleton("Plain") {}
};
class PolicySkeleton final : public vl::skeleton::ServiceSkeleton<PolicySkeleton, PolicyImpl> {
public:
    PolicySkeleton() : ServiceSkeleton("Policy") {}
};

TEST(FrameworkSkeleton, InitializeGivesADefaultPolicyUnlessTheImplementationIsOne) {
    PlainSkeleton::_service = new PlainImpl;
    auto* plain = new PlainSkeleton;
    EXPECT_EQ(plain->serviceName(), "Plain");
    EXPECT_EQ(PlainSkeleton::_servicePolicy, nullptr);
    plain->initialize();
    ASSERT_NE(PlainSkeleton::_servicePolicy, nullptr);
    EXPECT_NE(static_cast<void*>(PlainSkeleton::_servicePolicy), static_cast<void*>(PlainSkeleton::_service));

    PolicySkeleton::_service = new PolicyImpl;
    auto* withPolicy = new PolicySkeleton;
    withPolicy->initialize();
    EXPECT_EQ(PolicySkeleton::_servicePolicy, PolicySkeleton::_service);

    g_implsDestroyed = 0;
    delete plain;  // frees its default policy and its implementation
    delete withPolicy;  // the implementation is its policy: freed once
    EXPECT_EQ(g_implsDestroyed, 2);
    EXPECT_EQ(PlainSkeleton::_service, nullptr);
    EXPECT_EQ(PlainSkeleton::_servicePolicy, nullptr);
    EXPECT_EQ(PolicySkeleton::_service, nullptr);
    EXPECT_EQ(PolicySkeleton::_servicePolicy, nullptr);
    // A second skeleton of a service finds nothing left to free.
    delete new PlainSkeleton;
    EXPECT_EQ(g_implsDestroyed, 2);
}

struct CountedPolicy : PropertyPolicy {
    ~CountedPolicy() override { ++g_policiesDestroyed; }
    std::string getName() override { return "counted"; }
};

TEST(FrameworkPolicy, ManagerOwnsItsPoliciesAndFreesOneItReplaces) {
    PolicyManager::reset();
    g_policiesDestroyed = 0;
    PolicyManager::addPropertyPolicy("XmlPolicy", new CountedPolicy);
    PolicyManager::addPropertyPolicy("XmlPolicy", new CountedPolicy);
    EXPECT_EQ(g_policiesDestroyed, 1);
    PolicyManager::reset();
    EXPECT_EQ(g_policiesDestroyed, 2);
}

TEST(FrameworkPolicy, XmlPolicyIsReadOrRefusedWhole) {
    std::unique_ptr<XmlPropertyPolicy> policy(XmlPropertyPolicy::createPolicy(
        "<ObjectPropertyPolicy><type name=\"Item\"><property name=\"object_name\"/>"
        "<property name=\"item_id\"/></type><type name=\"Folder\"/></ObjectPropertyPolicy>"));
    EXPECT_EQ(policy->size(), 2);
    EXPECT_EQ(policy->getObjectProperties("Item").propertyNames, (std::set<std::string>{"item_id", "object_name"}));
    EXPECT_TRUE(policy->getObjectProperties("Dataset").propertyNames.empty());
    for (const char* text : {"", "not xml", "<Other/>", "<ObjectPropertyPolicy><type/></ObjectPropertyPolicy>",
                             "<ObjectPropertyPolicy><type name=\"A\"><prop name=\"x\"/></type></ObjectPropertyPolicy>"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(delete XmlPropertyPolicy::createPolicy(text), Velmora::Soa::Common::Exceptions::DomException);
    }
}

}  // namespace
