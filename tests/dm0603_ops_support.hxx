#pragma once
// Shared helpers of the data management 2006_03 operation tests: requests as
// text, replies read back as objects, partial errors and property values.
#include "support/service_test.hxx"

#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "kernel/pref.hxx"
#include "aom/test_objects.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_server/utils.hxx"
#include "tag/tag.hxx"
#include "user_exits/user_exits.hxx"

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace dm0603 {

using Velmora::Soa::Common::Xml::XMLNode;

inline const char* const kService = "Core-2006-03-DataManagement";

using ::vl::test::uidOf;
inline unsigned int tagOf(const std::string& uid) { return Velmora::Soa::Internal::Server::Utils::uidToTag(uid); }

using ::vl::test::esc;

inline std::string ref(const std::string& element, unsigned int tag) {
    return "<" + element + " uid=\"" + esc(uidOf(tag)) + "\"/>";
}
inline std::string refUid(const std::string& element, const std::string& uid) {
    return "<" + element + " uid=\"" + esc(uid) + "\"/>";
}

inline std::vector<const XMLNode*> childrenNamed(const XMLNode& node, const std::string& name) {
    std::vector<const XMLNode*> out;
    for (const XMLNode* c : node.children())
        if (c->name() == name) out.push_back(c);
    return out;
}

inline std::string attrOr(const XMLNode& node, const std::string& name, const std::string& fallback = "") {
    const std::string* v = node.attr(name);
    return v ? *v : fallback;
}

struct PartialError {
    std::string clientId;
    std::string uid;
    int index = -1;  // -1 when the error has no index
    std::vector<int> codes;
};

// One parsed reply: the root and its service data (the root itself for a
// bare service data reply).
struct Parsed {
    explicit Parsed(const std::string& text) : text(text), reply(text) {
        root = reply.root;
        sd = root->name() == "ServiceData" ? root : root->child("serviceData");
    }
    std::string text;
    vl::test::Reply reply;
    const XMLNode* root = nullptr;
    const XMLNode* sd = nullptr;

    bool ok() const { return sd != nullptr; }
    // The uids of one list of the service data ("createdObj", "updatedObj", "plainObj").
    std::vector<std::string> list(const std::string& name) const {
        std::vector<std::string> out;
        if (!sd) return out;
        for (const XMLNode* c : childrenNamed(*sd, name)) out.push_back(attrOr(*c, "uid"));
        return out;
    }
    std::vector<PartialError> errors() const {
        std::vector<PartialError> out;
        if (!sd) return out;
        for (const XMLNode* e : childrenNamed(*sd, "partialError")) {
            PartialError p;
            p.clientId = attrOr(*e, "clientId");
            p.uid = attrOr(*e, "uid");
            p.index = std::stoi(attrOr(*e, "clientIndex", "-1"));
            for (const XMLNode* v : childrenNamed(*e, "errorValue")) p.codes.push_back(std::stoi(attrOr(*v, "code", "0")));
            out.push_back(p);
        }
        return out;
    }
    std::vector<const XMLNode*> outputs() const { return childrenNamed(*root, "output"); }
    // The uid of an output's reference field ("folder", "item", "relation"...).
    static std::string outRef(const XMLNode& output, const std::string& field) {
        const XMLNode* r = output.child(field);
        return r ? attrOr(*r, "uid") : std::string("<missing>");
    }
    // Property values of a data object of the reply, by property name.
    std::map<std::string, std::vector<std::string>> properties(const std::string& uid) const {
        std::map<std::string, std::vector<std::string>> out;
        if (!sd) return out;
        for (const XMLNode* o : childrenNamed(*sd, "dataObject")) {
            if (attrOr(*o, "uid") != uid) continue;
            for (const XMLNode* p : childrenNamed(*o, "propertie")) {
                auto& values = out[attrOr(*p, "name")];
                for (const XMLNode* v : childrenNamed(*p, "value")) values.push_back(attrOr(*v, "value"));
            }
        }
        return out;
    }
    bool isException() const { return root->name().find("Exception") != std::string::npos; }
};

// --- store set-up ---

inline unsigned int newFolder(const std::string& name) {
    tag_t folder = 0;
    EXPECT_EQ(FL_create(name.c_str(), "", &folder), 0);
    EXPECT_EQ(AOM_save(folder), 0);
    EXPECT_EQ(AOM_refresh(folder, 0), 0);
    return folder;
}

inline unsigned int newObject(const std::string& type, const std::string& name) {
    tag_t object = 0;
    EXPECT_EQ(vl::platform::OBJ_create_workspace_object(type, name, &object), 0) << type;
    return object;
}

inline std::vector<unsigned int> contentsOf(unsigned int folder) {
    int count = 0;
    scoped_smptr<tag_t> refs;
    EXPECT_EQ(FL_ask_references(folder, 0, &count, &refs), 0);
    return std::vector<unsigned int>(refs.get(), refs.get() + count);
}

// The default id exits behind hooks: `beforeItemId` sees each item before
// its new id is made, and a code it returns fails that call; `beforeRevisionId`
// sees the item of each new revision id. The caller resets the exits.
inline void setIdExitHooks(std::function<int(tag_t item)> beforeItemId,
                           std::function<void(tag_t item)> beforeRevisionId) {
    vl::platform::UserExits defaults = vl::platform::USER_default_exits();
    vl::platform::UserExits hooked;
    hooked.newItemId = [defaults, beforeItemId](tag_t item, tag_t type, bool* m, std::string* id) {
        if (int rc = beforeItemId(item)) return rc;
        return defaults.newItemId(item, type, m, id);
    };
    hooked.newRevisionId = [defaults, beforeRevisionId](tag_t item, tag_t type, bool* m, std::string* id) {
        beforeRevisionId(item);
        return defaults.newRevisionId(item, type, m, id);
    };
    vl::platform::USER_set_exits(hooked);
}

// A string preference as the session reads it.
inline void setPref(const std::string& name, const std::vector<std::string>& values) {
    std::vector<const char*> texts;
    for (const auto& v : values) texts.push_back(v.c_str());
    ASSERT_EQ(PREF_set_search_scope(OSTRA_preference_all_preferences), 0);
    ASSERT_EQ(PREF_set_char_values(name.c_str(), static_cast<int>(texts.size()), texts.data()), 0) << name;
}

using vl::test::readFile;

// Request tests on the default site with some statements of their own
// appended; the default site is loaded again afterwards so that later tests
// find it as they expect.
class ExtendedSiteTest : public vl::test::ServiceTest {
protected:
    explicit ExtendedSiteTest(std::string extra) : m_extra(std::move(extra)) {}
    void SetUp() override {
        vl::test::loadDefaultSite();
        std::string error;
        ASSERT_EQ(vl::platform::SITE_load_text(readFile(VL_DEFAULT_SITE) + "\n" + m_extra, "dm0603-extended", &error), 0)
            << error;
        ServiceTest::SetUp();
    }
    void TearDown() override {
        ServiceTest::TearDown();
        std::string error;
        EXPECT_EQ(vl::platform::SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
    }

private:
    std::string m_extra;
};

}  // namespace dm0603
