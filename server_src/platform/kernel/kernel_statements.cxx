// The session line is checked against the active group members and takes
// effect when the load ends; preferences and switches go straight into the
// store's domains.
#include "kernel/kernel_statements.hxx"

#include "kernel/preferences.hxx"
#include "kernel/switches.hxx"

namespace vl::platform::kernel {

namespace {

using namespace site;
using namespace store;

void doSwitch(Args& a, Fixture&) {
    std::string name = a.word(0, "switch");
    bool on = onOff(a.word(1, "on or off"));
    a.consumed(2);
    Switches& w = switches();
    static const std::map<std::string, bool Switches::*> names = {
        {"journal", &Switches::journal},
        {"application_log", &Switches::applicationLog},
        {"security_log", &Switches::securityLog},
        {"administration_log", &Switches::administrationLog},
        {"v7mode", &Switches::v7Mode},
        {"subscription", &Switches::subscription},
        {"partbom", &Switches::partBom},
    };
    auto it = names.find(name);
    if (it == names.end()) bad("unknown switch " + name);
    w.*(it->second) = on;
}

void doModule(Args& a, Fixture&) {
    switches().module = number(a.word(0, "module number"), "module");
    a.consumed(1);
}

void doPref(Args& a, Fixture&) {
    std::string level = a.word(0, "level (site, group, role or user)");
    Preferences& p = extension<Preferences>();
    if (level == "site") {
        std::string name = a.word(1, "preference name");
        p.site[name] = a.rest(2);
        a.consumed(2);
        return;
    }
    std::string who = a.word(1, level.c_str());
    std::string name = a.word(2, "preference name");
    std::vector<std::string> values = a.rest(3);
    a.consumed(3);
    if (level == "group") {
        p.group[{existing("Group", who, "group"), name}] = values;
    } else if (level == "role") {
        p.role[{existing("Role", who, "role"), name}] = values;
    } else if (level == "user") {
        p.user[{existing("User", who, "user"), name}] = values;
    } else {
        bad("unknown preference level " + level);
    }
}

kernel::Session sessionFor(const std::string& user, const std::string& group, const std::string& role, tag_t volume) {
    tag_t u = existing("User", user, "user"), g = existing("Group", group, "group"), r = existing("Role", role, "role");
    for (tag_t m : instancesOf("GroupMember")) {
        const Object* o = find(m);
        if (getTag(*o, "user") == u && getTag(*o, "group") == g && getTag(*o, "role") == r &&
            getInt(*o, "status") == 0) {
            kernel::Session se;
            se.user = u;
            se.member = m;
            se.group = g;
            se.role = r;
            se.loggedIn = true;
            se.volume = volume;
            return se;
        }
    }
    bad(user + " is not an active member of " + group + " as " + role);
}

void doSession(Args& a, Fixture& f) {
    kernel::Session se = sessionFor(a.word(0, "user"), a.word(1, "group"), a.word(2, "role"), f.volume);
    a.consumed(3);
    if (f.session) {
        se.project = f.session->project;
        se.workContext = f.session->workContext;
    }
    f.session = se;
}

// A project or work context: `ID [name=TEXT] [current]`, the name
// defaulting to the ID; `current` makes it the session's.
void sessionObject(Args& a, Fixture& f, const char* cls, const char* idAttr, const std::string& what,
                   tag_t kernel::Session::*current) {
    std::string id = a.word(0, (what + " id").c_str());
    a.consumed(1);
    unclaimed(cls, id, what);
    Object& o = f.newObject(cls);
    initValue(o, idAttr, std::vector<std::string>{id});
    initValue(o, "name", std::vector<std::string>{a.opt("name", id)});
    if (a.flag("current")) {
        if (!f.session) bad("a current " + what + " needs a session line before it");
        (*f.session).*current = o.tag;
    }
}

void doProject(Args& a, Fixture& f) { sessionObject(a, f, "Project", "project_id", "project", &kernel::Session::project); }

void doWorkContext(Args& a, Fixture& f) {
    sessionObject(a, f, "WorkContext", "context_id", "work context", &kernel::Session::workContext);
}

const Statement kStatements[] = {
    {"switch", doSwitch},
    {"module", doModule},
    {"pref", doPref},
    {"session", doSession},
    {"project", doProject},
    {"workcontext", doWorkContext},
};

}  // namespace

site::Statements fixtureStatements() { return kStatements; }

}  // namespace vl::platform::kernel
