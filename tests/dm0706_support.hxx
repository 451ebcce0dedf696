#pragma once
// Shared helpers of the data management 2007_06 tests: the service's name,
// requests through the gateway, replies read back.
#include "dm0603_ops_support.hxx"

#include <string>
#include <vector>

namespace dm0706 {

using dm0603::attrOr;
using dm0603::childrenNamed;
using dm0603::Parsed;
using dm0603::PartialError;
using Velmora::Soa::Common::Xml::XMLNode;
using vl::test::esc;
using vl::test::uidOf;

inline const char* const kService = "Core-2007-06-DataManagement";

inline std::string refAttr(const XMLNode& node, const std::string& field) {
    const XMLNode* r = node.child(field);
    return r ? attrOr(*r, "uid") : std::string("<missing>");
}

// The uids of the reference elements named `name` under `node`, in order.
inline std::vector<std::string> refsNamed(const XMLNode& node, const std::string& name) {
    std::vector<std::string> out;
    for (const XMLNode* c : childrenNamed(node, name)) out.push_back(attrOr(*c, "uid"));
    return out;
}

inline std::vector<std::string> uids(const std::vector<unsigned int>& tags) {
    std::vector<std::string> out;
    for (unsigned int t : tags) out.push_back(uidOf(t));
    return out;
}

class Dm0706Test : public vl::test::ServiceTest {
protected:
    static Parsed call(const std::string& operation, const std::string& xml) {
        return Parsed(invoke(kService, operation, xml));
    }
};

// Request tests on the default site with statements of their own appended.
class Dm0706SiteTest : public dm0603::ExtendedSiteTest {
protected:
    explicit Dm0706SiteTest(std::string extra) : ExtendedSiteTest(std::move(extra)) {}
    static Parsed call(const std::string& operation, const std::string& xml) {
        return Parsed(invoke(kService, operation, xml));
    }
};

}  // namespace dm0706
