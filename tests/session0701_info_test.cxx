// Session information: every field on the default site, the version line of
// the system log, what each guarded step makes of a platform failure, and
// sites without a transient volume, with odd version texts, with a current
// project and work context, with every switch on.
#include "session0701_support.hxx"

#include "foundation/error_codes.hxx"
#include "kernel/session.hxx"
#include "pom/pom.hxx"
#include "sa/sa.hxx"
#include "server_info/server_info.hxx"
#include "soa_services/core/code/session0701impl.hxx"

#include <gtest/gtest.h>

#include <map>

namespace vl::test {
// Reaches the implementation's private members.
struct Session0701Access {
    static std::vector<Velmora::Soa::Core::_2007_01::Session::TextInfo> getLocalizedValues(
        const std::vector<std::string>& names) {
        Velmora::Soa::Core::_2007_01::SessionImpl impl;
        return impl.getLocalizedValues(names);
    }
};
}  // namespace vl::test

namespace {

using namespace session0701;
using vl::platform::ERR_INJECTED;
using vl::test::uidOf;

class Session0701Info : public Session0701Fixture {
protected:
    static Parsed info() { return Parsed(call("getVLSessionInfo", "<GetVLSessionInfoInput/>")); }

    static tag_t site() {
        tag_t s = 0;
        SA_find_site_by_id(1, &s);
        return s;
    }
    static tag_t volume() {
        tag_t v = 0;
        VM_ask_current_volume(&v);
        return v;
    }
    // The scalar attributes of a reply, by name.
    static std::map<std::string, std::string> scalars(const Parsed& r) {
        std::map<std::string, std::string> out;
        for (const auto& [key, value] : r.root->attrs()) out[key] = value;
        return out;
    }
};

TEST_F(Session0701Info, DefaultSiteAnswersEveryField) {
    vl::platform::SYSLOG_clear();
    Parsed r = info();
    ASSERT_EQ(r.name(), "GetVLSessionInfoResponse") << r.text;
    const std::map<std::string, std::string> expected = {
        {"serverVersion", "V9.1.2.3"},  {"transientVolRootDir", "/var/lib/vl/transient"},
        {"isInV7Mode", "false"},        {"moduleNumber", "3"},
        {"bypass", "false"},            {"journaling", "false"},
        {"appJournaling", "false"},     {"secJournaling", "false"},
        {"admJournaling", "false"},     {"privileged", "true"},
        {"isPartBOMUsageEnabled", "false"}, {"isSubscriptionMgrEnabled", "false"},
    };
    EXPECT_EQ(scalars(r), expected);

    const std::string admin = uidOf(session0603::user("admin"));
    const std::string dba = uidOf(session0603::groupNamed("dba"));
    const std::string dbaRole = uidOf(session0603::roleNamed("DBA"));
    EXPECT_EQ(r.refUid("user"), admin);
    EXPECT_EQ(r.refUid("group"), dba);
    EXPECT_EQ(r.refUid("role"), dbaRole);
    EXPECT_EQ(r.refUid("vlVolume"), uidOf(volume()));
    EXPECT_EQ(r.refUid("site"), uidOf(site()));
    EXPECT_EQ(attrOf(r.root->child("site"), "className"), "Site");
    EXPECT_EQ(r.refUid("project"), "");
    EXPECT_EQ(r.refUid("workContext"), "");
    // Null references are not listed; the order is the steps'.
    EXPECT_EQ(r.uids("plainObj"), (std::vector<std::string>{admin, dba, dbaRole, uidOf(volume()), uidOf(site())}));
    EXPECT_TRUE(partialErrors(r).empty());
    EXPECT_TRUE(childrenNamed(r.root, "textInfo").empty());
    EXPECT_TRUE(childrenNamed(r.root, "extraInfo").empty());

    EXPECT_EQ(vl::platform::SYSLOG_text(), "--- Harbor Server version is: V9.1.2.3 ---\n\n");
    EXPECT_EQ(storedErrorCount(), 0);
}

// One row per guarded step: what a failure of its platform call does to the
// answer.
TEST_F(Session0701Info, FailureOfEachGuardedStep) {
    enum Outcome { ExceptionDocument, UnkeyedPartialError, Tolerated };
    struct Case {
        const char* function;
        Outcome outcome;
        const char* field;  // the reference left null, or a scalar with its value
        const char* value;
        int plainObjects;
    } cases[] = {
        {"POM_get_user", ExceptionDocument, nullptr, nullptr, 0},
        {"ITK_ask_bypass", UnkeyedPartialError, "bypass", "false", 5},
        {"POM_site_id", UnkeyedPartialError, "site", "", 4},
        {"SA_find_site_by_id", UnkeyedPartialError, "site", "", 4},
        {"ILM__get_module", UnkeyedPartialError, "moduleNumber", "-1", 5},
        {"VM_ask_current_volume", Tolerated, "vlVolume", "", 4},
        {"EffectivityMode::isInV7Mode", Tolerated, "isInV7Mode", "false", 5},
    };
    // In that mode, a failed mode query shows as false: the flag as the
    // platform left it.
    useSite(siteVariant({"switch v7mode off"}, "switch v7mode on"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        vl::platform::SITE_reset();
        ASSERT_EQ(ITK_set_bypass(true), 0);  // so a bypass never read shows as false
        vl::platform::FAULT_inject(c.function, ERR_INJECTED);
        Parsed r = info();
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
        if (c.outcome == ExceptionDocument) {
            EXPECT_EQ(r.name(), "ServiceException") << r.text;
            EXPECT_EQ(r.codes(), std::vector<int>{ERR_INJECTED});
            continue;
        }
        ASSERT_EQ(r.name(), "GetVLSessionInfoResponse") << r.text;
        if (c.outcome == UnkeyedPartialError)
            EXPECT_EQ(partialErrors(r), (std::vector<PartialError>{{{ERR_INJECTED}, false}}));
        else
            EXPECT_TRUE(partialErrors(r).empty()) << r.text;
        if (r.root->child(c.field))
            EXPECT_EQ(r.refUid(c.field), c.value);
        else
            EXPECT_EQ(attrOf(r.root, c.field), c.value);
        EXPECT_EQ(static_cast<int>(r.uids("plainObj").size()), c.plainObjects);
        // The other items are still there.
        EXPECT_EQ(attrOf(r.root, "serverVersion"), "V9.1.2.3");
        EXPECT_EQ(r.refUid("user"), uidOf(session0603::user("admin")));
        EXPECT_EQ(storedErrorCount(), 0);
    }
}

TEST_F(Session0701Info, NoTransientVolume) {
    useSite(siteVariant({"transient /var/lib/vl/transient"}, "transient NONE"));
    Parsed r = info();
    ASSERT_EQ(r.name(), "GetVLSessionInfoResponse") << r.text;
    EXPECT_EQ(attrOf(r.root, "transientVolRootDir"), "");
    EXPECT_EQ(partialErrors(r), (std::vector<PartialError>{{{vl::platform::ERR_NO_TRANSIENT_VOLUME}, false}}));
    const XMLNode* error = childrenNamed(r.sd, "partialError").at(0)->child("errorValue");
    EXPECT_EQ(attrOf(error, "message"), "Transient_Volume_RootDir");
    EXPECT_EQ(attrOf(r.root, "serverVersion"), "V9.1.2.3");
    EXPECT_EQ(r.uids("plainObj").size(), 5u);
    EXPECT_EQ(attrOf(r.root, "moduleNumber"), "3");
}

// The version is written only when all five texts exist, however long they
// are and whatever they hold.
TEST_F(Session0701Info, VersionTexts) {
    const std::string longText(300, 'x');
    struct Case {
        const char* what;
        std::vector<std::string> drop;
        std::string extra;
        std::string version;  // "" when no line is written
    } cases[] = {
        {"a key missing", {"text k_QRMnumber 2"}, "", ""},
        {"300 characters", {"text k_minorVersion 1"}, "text k_minorVersion " + longText, "V9." + longText + ".2.3"},
        {"a format directive", {"text k_releaseFlag V"}, "text k_releaseFlag %s%n%d", "%s%n%d9.1.2.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        useSite(siteVariant(c.drop, c.extra));
        Parsed r = info();
        ASSERT_EQ(r.name(), "GetVLSessionInfoResponse") << r.text;
        EXPECT_EQ(attrOf(r.root, "serverVersion"), c.version);
        EXPECT_EQ(vl::platform::SYSLOG_text(),
                  c.version.empty() ? "" : "--- Harbor Server version is: " + c.version + " ---\n\n");
        EXPECT_TRUE(partialErrors(r).empty());
    }
}

TEST_F(Session0701Info, CurrentProjectAndWorkContextAndSwitchesOn) {
    useSite(siteVariant({"switch journal off", "switch v7mode off", "switch subscription off", "switch partbom off"},
                        "switch journal on\nswitch application_log on\nswitch security_log on\n"
                        "switch administration_log on\nswitch v7mode on\nswitch subscription on\n"
                        "switch partbom on\nproject P-100 name=\"Project 100\" current\n"
                        "workcontext WC-1 name=\"Design work\" current\nworkcontext WC-2"));
    ASSERT_EQ(ITK_set_bypass(true), 0);
    Parsed r = info();
    ASSERT_EQ(r.name(), "GetVLSessionInfoResponse") << r.text;
    for (const char* flag : {"bypass", "journaling", "appJournaling", "secJournaling", "admJournaling", "isInV7Mode",
                             "isPartBOMUsageEnabled", "isSubscriptionMgrEnabled", "privileged"})
        EXPECT_EQ(attrOf(r.root, flag), "true") << flag;

    const tag_t project = loginUser::currentProjectTag(), context = loginUser::currentWorkContextTag();
    ASSERT_NE(project, 0u);
    ASSERT_NE(context, 0u);
    EXPECT_EQ(r.refUid("project"), uidOf(project));
    EXPECT_EQ(attrOf(r.root->child("project"), "className"), "Project");
    EXPECT_EQ(r.refUid("workContext"), uidOf(context));
    EXPECT_EQ(attrOf(r.root->child("workContext"), "className"), "WorkContext");
    const std::vector<std::string> plain = r.uids("plainObj");
    ASSERT_EQ(plain.size(), 7u);
    EXPECT_EQ(plain[3], uidOf(project));
    EXPECT_EQ(plain[4], uidOf(context));
}

// Display texts of internal names: a "type.key" name the text server does
// not know (or one marked "!!!") is looked up by its key when the type exists.
TEST_F(Session0701Info, LocalizedValues) {
    useSite(siteVariant({}, "text object_name \"Name\"\ntext Item.object_desc Item.object_desc\n"
                            "text object_desc \"Description\"\ntext !!!Item.object_desc \"marked\""));
    struct Case {
        std::string name, display;
    } cases[] = {
        {"object_name", "Name"},                  // plain name: the text as it is
        {"Item.object_desc", "Description"},      // text equals the name: the key's text
        {"!!!Item.object_desc", "marked"},        // marked, but "!!!Item" is no type
        {"NoSuchType.object_desc", ""},           // no text, no type: empty
        {"Item.no_text_key", ""},                 // the key has no text
        {"no_text", ""},                          // no text: empty, no failure
        {"a.", ""},
        {"!", ""},
        {"", ""},
    };
    std::vector<std::string> names;
    for (const auto& c : cases) names.push_back(c.name);
    const auto infos = vl::test::Session0701Access::getLocalizedValues(names);
    ASSERT_EQ(infos.size(), names.size());
    for (std::size_t i = 0; i < infos.size(); ++i) {
        EXPECT_EQ(infos[i].realName, cases[i].name);
        EXPECT_EQ(infos[i].displayName, cases[i].display) << cases[i].name;
    }
    EXPECT_EQ(storedErrorCount(), 0);
}

}  // namespace
