#pragma once
// Shared helpers of the "Core-2006-03-Session" tests: requests as text, the
// fixture's users and members by name, replies read back.
#include "support/service_test.hxx"

#include "kernel/pref.hxx"
#include "sa/sa.hxx"
#include "soa_server/utils.hxx"

#include <string>
#include <vector>

namespace session0603 {

using Velmora::Soa::Common::Xml::XMLNode;

inline const char* const kService = "Core-2006-03-Session";

// Passwords of the default site's users (docs/site-format.md).
inline const char* const kAdminPassword = "admin-pw";
inline const char* const kAlicePassword = "alice-pw";
inline const char* const kBobPassword = "bob-pw";
inline const char* const kCarolPassword = "carol-pw";
inline const char* const kDavePassword = "dave-pw";

using ::vl::test::uidOf;

using ::vl::test::esc;

inline tag_t user(const std::string& id) {
    tag_t t = 0;
    SA_find_user(id.c_str(), &t);
    return t;
}

// The member of `userId` in that group with that role (null when none).
inline tag_t member(const std::string& userId, const std::string& group, const std::string& role) {
    tag_t g = 0, r = 0, m = 0;
    SA_find_group(group.c_str(), &g);
    SA_find_role(role.c_str(), &r);
    SA_find_groupmember(g, user(userId), r, &m);
    return m;
}

inline tag_t groupNamed(const std::string& name) {
    tag_t t = 0;
    SA_find_group(name.c_str(), &t);
    return t;
}

inline tag_t roleNamed(const std::string& name) {
    tag_t t = 0;
    SA_find_role(name.c_str(), &t);
    return t;
}

inline std::string loginXml(const std::string& username, const std::string& password, const std::string& group = "",
                            const std::string& role = "") {
    return "<LoginInput username=\"" + esc(username) + "\" password=\"" + esc(password) + "\" group=\"" + esc(group) +
           "\" role=\"" + esc(role) + "\" sessionDiscriminator=\"s1\"/>";
}

inline std::string loginSSOXml(const std::string& username, const std::string& credentials,
                               const std::string& group = "", const std::string& role = "") {
    return "<LoginSSOInput username=\"" + esc(username) + "\" ssoCredentials=\"" + esc(credentials) +
           "\" group=\"" + esc(group) + "\" role=\"" + esc(role) + "\" sessionDiscriminator=\"s1\"/>";
}

inline std::string memberXml(const std::string& uid) {
    return "<SetSessionGroupMemberInput><groupMember uid=\"" + esc(uid) + "\"/></SetSessionGroupMemberInput>";
}

inline std::string getPrefsXml(const std::string& scope, const std::vector<std::string>& names) {
    std::string xml = "<GetPreferencesInput prefScope=\"" + esc(scope) + "\">";
    for (const auto& n : names) xml += "<prefName value=\"" + esc(n) + "\"/>";
    return xml + "</GetPreferencesInput>";
}

struct Setting {
    std::string scope, name;
    std::vector<std::string> values;
};

inline std::string setPrefsXml(const std::vector<Setting>& settings) {
    std::string xml = "<SetPreferencesInput>";
    for (const auto& s : settings) {
        xml += "<setting prefScope=\"" + esc(s.scope) + "\" prefName=\"" + esc(s.name) + "\">";
        for (const auto& v : s.values) xml += "<prefValue value=\"" + esc(v) + "\"/>";
        xml += "</setting>";
    }
    return xml + "</SetPreferencesInput>";
}

inline std::vector<const XMLNode*> childrenNamed(const XMLNode* node, const std::string& name) {
    std::vector<const XMLNode*> out;
    if (!node) return out;
    for (const XMLNode* c : node->children())
        if (c->name() == name) out.push_back(c);
    return out;
}

inline std::string attrOf(const XMLNode* node, const std::string& name) {
    if (!node) return "";
    const std::string* v = node->attr(name);
    return v ? *v : "";
}

// One preference of a reply: name, scope and values.
struct Pref {
    std::string name, scope;
    std::vector<std::string> values;
    bool operator==(const Pref&) const = default;
};

// The preferences written as `element` children of `parent`, in reply order.
inline std::vector<Pref> prefsIn(const XMLNode* parent, const std::string& element) {
    std::vector<Pref> out;
    for (const XMLNode* p : childrenNamed(parent, element)) {
        Pref pref{attrOf(p, "name"), attrOf(p, "scope"), {}};
        for (const XMLNode* v : childrenNamed(p, "value")) pref.values.push_back(attrOf(v, "value"));
        out.push_back(pref);
    }
    return out;
}

inline OSTRA_preference_search_scope_e searchScope() {
    OSTRA_preference_search_scope_e scope = OSTRA_preference_site_preference;
    PREF_ask_search_scope(&scope);
    return scope;
}

// A parsed reply with the parts the session tests read.
struct Parsed {
    explicit Parsed(const std::string& text) : text(text), reply(text), root(reply.root) {
        sd = root->name() == "ServiceData" ? root : root->child("serviceData");
    }
    std::string text;
    vl::test::Reply reply;
    const XMLNode* root;
    const XMLNode* sd = nullptr;

    const std::string& name() const { return root->name(); }
    std::string message() const { return attrOf(root, "message"); }
    // Codes of a service exception, in order.
    std::vector<int> codes() const {
        std::vector<int> out;
        for (const XMLNode* e : childrenNamed(root, "errorValue")) out.push_back(std::stoi(attrOf(e, "code")));
        return out;
    }
    std::vector<std::string> uids(const std::string& list) const {
        std::vector<std::string> out;
        for (const XMLNode* c : childrenNamed(sd, list)) out.push_back(attrOf(c, "uid"));
        return out;
    }
    std::string refUid(const std::string& field) const { return attrOf(root->child(field), "uid"); }
};

class Session0603Fixture : public vl::test::ServiceTest {
protected:
    static std::string call(const std::string& operation, const std::string& xml) {
        return invoke(kService, operation, xml);
    }
};

}  // namespace session0603
