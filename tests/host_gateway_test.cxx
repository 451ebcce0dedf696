// soa-gateway as a user runs it: exit status, standard output and error.
#include "support/registered_services.hxx"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct GatewayRun {
    int status;
    std::string out;
    std::string err;
};

// Files named after the running test: ctest runs tests side by side.
std::string scratch(const std::string& name) {
    // The process id keeps runs of other build trees on this machine apart.
    return ::testing::TempDir() + "/" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

GatewayRun gateway(const std::string& args, const std::string& input = "") {
    std::string in = scratch("in.txt"), err = scratch("err.txt");
    std::ofstream(in) << input;
    std::string command = std::string(VL_GATEWAY) + " " + args + " <" + in + " 2>" + err;
    GatewayRun r{};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream e(err);
    r.err.assign(std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>());
    std::remove(in.c_str());
    std::remove(err.c_str());
    return r;
}

std::string writeFile(const std::string& name, const std::string& text) {
    std::string path = scratch(name);
    std::ofstream(path) << text;
    return path;
}

TEST(HostGateway, ListsTheServicesInRegistrationOrder) {
    GatewayRun r = gateway("--list");
    EXPECT_EQ(r.status, 0);
    std::string expected;
    for (const auto& name : vl::test::registeredServices()) expected += name + "\n";
    EXPECT_EQ(r.out, expected);
}

TEST(HostGateway, AnswersEveryRequestItCanCarryWithExitZero) {
    GatewayRun ok = gateway("Core-2006-03-Session getAvailableServices -", "<GetAvailableServicesInput/>");
    EXPECT_EQ(ok.status, 0);
    EXPECT_NE(ok.out.find("<GetAvailableServicesResponse>"), std::string::npos) << ok.out;
    GatewayRun bad = gateway("Core-2006-03-Session getAvailableServices", "<not xml");
    EXPECT_EQ(bad.status, 0) << "an exception document is a reply";
    EXPECT_NE(bad.out.find("<ServiceException"), std::string::npos) << bad.out;
}

TEST(HostGateway, RefusesWhatItCannotCarryWithOneLine) {
    std::string badSite = writeFile("bad.site", "format 1\nnonsense here\n");
    struct Case {
        std::string args;
        std::string errHas;
    } cases[] = {
        {"", "bad arguments"},
        {"onlyone", "bad arguments"},
        {"--bogus", "unknown option"},
        {"No-Such-Service op -", "unknown service"},
        {"Core-2006-03-Session login /no/such/file", "cannot read"},
        {"--site /no/such.site --list extra", "bad arguments"},
        {"--site " + badSite + " Core-2006-03-Session logout -", "bad.site:2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        GatewayRun r = gateway(c.args, "<LogoutInput/>");
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(HostGateway, ScriptCarriesUidsFromOneReplyToTheNext) {
    std::string script = writeFile("s.script",
                                   "# a folder, then its name read back\n"
                                   "@ Core-2006-03-DataManagement createFolders save F=folder\n"
                                   "<CreateFoldersInput relationType=\"\"><folder clientId=\"c\" name=\"Scripted\" "
                                   "desc=\"\"/><container uid=\"\"/></CreateFoldersInput>\n"
                                   "# comment between requests\n"
                                   "@ Core-2006-03-DataManagement getProperties\n"
                                   "<GetPropertiesInput><object uid=\"${F}\"/><attribute value=\"object_name\"/>"
                                   "</GetPropertiesInput>\n");
    GatewayRun r = gateway("--script " + script);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("=== Core-2006-03-DataManagement getProperties"), std::string::npos);
    EXPECT_NE(r.out.find("uiValue=\"Scripted\""), std::string::npos) << r.out;

    std::string broken = writeFile("broken.script", "text before any request\n");
    for (const char* save : {"save X=folder.", "save X=.uid", "save =folder"}) {
        SCOPED_TRACE(save);
        std::string bad = writeFile("save.script", std::string("@ Core-2006-03-Session logout ") + save + "\n<LogoutInput/>\n");
        GatewayRun s = gateway("--script " + bad);
        EXPECT_NE(s.status, 0);
        EXPECT_NE(s.err.find("save.script:1: expected VAR=ELEMENT[.ATTRIBUTE]"), std::string::npos) << s.err;
    }
    GatewayRun b = gateway("--script " + broken);
    EXPECT_NE(b.status, 0);
    EXPECT_NE(b.err.find("broken.script:1"), std::string::npos) << b.err;

    // A variable no request saved is refused where it is used, not sent.
    std::string unbound = writeFile("unbound.script",
                                    "@ Core-2006-03-Session getAvailableServices\n<GetAvailableServicesInput/>\n"
                                    "@ Core-2006-03-DataManagement getProperties\n"
                                    "<GetPropertiesInput><object uid=\"${NOPE}\"/><attribute value=\"object_name\"/>"
                                    "</GetPropertiesInput>\n");
    GatewayRun u = gateway("--script " + unbound);
    EXPECT_NE(u.status, 0);
    EXPECT_NE(u.err.find("unbound.script:3: '${NOPE}'"), std::string::npos) << u.err;
    EXPECT_EQ(u.out.find("=== Core-2006-03-DataManagement getProperties"), std::string::npos) << u.out;
}

TEST(HostGateway, ScriptCarriesANamedAttributeFromOneReplyToTheNext) {
    // A write ticket taken from one reply commits the file in the next; the
    // same ticket once more is refused, so the value carried was the ticket.
    const std::string write =
        "@ Core-2006-03-FileManagement getDatasetWriteTickets save T=datasetFileTicketInfo.ticket\n"
        "<GetDatasetWriteTicketsInput><input createNewVersion=\"false\"><dataset uid=\"dsWidgetManual\"/>"
        "<datasetFileInfo clientId=\"n\" allowReplace=\"false\" namedReferencedName=\"Text\" isText=\"true\" "
        "fileName=\"notes.txt\"/></input></GetDatasetWriteTicketsInput>\n";
    const std::string commit =
        "@ Core-2006-03-FileManagement commitDatasetFiles\n"
        "<CommitDatasetFilesInput><commitInput createNewVersion=\"false\"><dataset uid=\"dsWidgetManual\"/>"
        "<datasetFileTicketInfo ticket=\"${T}\"><datasetFileInfo clientId=\"n\" allowReplace=\"true\" "
        "namedReferencedName=\"Text\" isText=\"true\" fileName=\"notes.txt\"/></datasetFileTicketInfo>"
        "</commitInput></CommitDatasetFilesInput>\n";
    GatewayRun r = gateway("--script " + writeFile("ticket.script", write + commit + commit));
    EXPECT_EQ(r.status, 0) << r.err;
    const std::size_t first = r.out.find("=== Core-2006-03-FileManagement commitDatasetFiles");
    ASSERT_NE(first, std::string::npos) << r.out;
    const std::size_t second = r.out.find("=== Core-2006-03-FileManagement commitDatasetFiles", first + 1);
    ASSERT_NE(second, std::string::npos) << r.out;
    const std::string once = r.out.substr(first, second - first), twice = r.out.substr(second);
    EXPECT_NE(once.find("<updatedObj uid=\"dsWidgetManual\"/>"), std::string::npos) << once;
    EXPECT_EQ(once.find("partialError"), std::string::npos) << once;
    EXPECT_NE(twice.find("code=\"990128\""), std::string::npos) << twice;
}

TEST(HostGateway, ASaveThatMatchesNothingStopsTheScriptAfterItsReply) {
    // A write ticket refused (no such reference): the commit after it must not
    // go out with an empty ticket.
    const std::string refused =
        "@ Core-2006-03-FileManagement getDatasetWriteTickets save T=datasetFileTicketInfo.ticket\n"
        "<GetDatasetWriteTicketsInput><input createNewVersion=\"false\"><dataset uid=\"dsWidgetManual\"/>"
        "<datasetFileInfo clientId=\"n\" allowReplace=\"false\" namedReferencedName=\"NoSuchReference\" "
        "isText=\"true\" fileName=\"notes.txt\"/></input></GetDatasetWriteTicketsInput>\n";
    // The element is there, the attribute is not.
    const std::string folder =
        "@ Core-2006-03-DataManagement createFolders save T=folder.nosuch\n"
        "<CreateFoldersInput><folder clientId=\"c\" name=\"F\"/></CreateFoldersInput>\n";
    const std::string commit =
        "# the request the stop keeps from being sent\n"
        "@ Core-2006-03-FileManagement commitDatasetFiles\n"
        "<CommitDatasetFilesInput><commitInput createNewVersion=\"false\"><dataset uid=\"${T}\"/>"
        "</commitInput></CommitDatasetFilesInput>\n";
    const struct {
        std::string first, error, reply;
    } cases[] = {
        {refused, "'save T=datasetFileTicketInfo.ticket' matches nothing: the reply has no <datasetFileTicketInfo>",
         "=== Core-2006-03-FileManagement getDatasetWriteTickets"},
        {folder, "'save T=folder.nosuch' matches nothing: the reply has no <folder> with an attribute 'nosuch'",
         "=== Core-2006-03-DataManagement createFolders"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        const std::string before = "@ Core-2006-03-Session getAvailableServices\n<GetAvailableServicesInput/>\n";
        GatewayRun r = gateway("--script " + writeFile("nothing.script", before + c.first + commit));
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find("nothing.script:3: " + c.error), std::string::npos) << r.err;
        EXPECT_NE(r.out.find("=== Core-2006-03-Session getAvailableServices"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(c.reply), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("commitDatasetFiles"), std::string::npos) << r.out;
    }
}

}  // namespace
