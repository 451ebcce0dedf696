// Core-2006-03-FileManagement: read tickets, write tickets and the commit of
// dataset files, through the gateway on the default site and a few datasets
// of the tests' own.
#include "dm0603_ops_support.hxx"

#include "ae/dataset.hxx"
#include "filetickets/file_tickets.hxx"
#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/pom.hxx"
#include "pom/test_seams.hxx"
#include "sa/sa.hxx"
#include "soa_services/core/skeletons/core/_2006_03/filemanagement/filemanagement_skeleton.hxx"
#include "sm/scoped_smptr.hxx"
#include "soa_common/monitor.hxx"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace dm0603;
namespace P = vl::platform;

const char* const kFm = "Core-2006-03-FileManagement";

// The default site's Text dataset and its file manual.txt.
const char* const kManual = "dsWidgetManual";
const char* const kManualFile = "fWidgetManual";

const char* const kExtraSite = R"(
datasettype Ext tools=Viewer
reference Ext Any format=BINARY template=*
reference Ext Links format=OBJECT
reference Ext Named
dataset @pdf type=PDF name="Spec sheet" uid=dsPdf
dataset @v3 type=Text name="Third" version=3 uid=dsV3
dataset @ext type=Ext name="Extensions" uid=dsExt
file @pdfFile dataset=@pdf ref=PDF_Reference name=spec.pdf uid=fSpec
)";

struct FileEntry {
    std::string clientId, fileName, reference;
    bool text = false, replace = false;
};

std::string fileInfo(const FileEntry& f) {
    return "<datasetFileInfo clientId=\"" + esc(f.clientId) + "\" allowReplace=\"" + (f.replace ? "true" : "false") +
           "\" namedReferencedName=\"" + esc(f.reference) + "\" isText=\"" + (f.text ? "true" : "false") +
           "\" fileName=\"" + esc(f.fileName) + "\"/>";
}

struct DatasetFiles {
    std::string dataset;
    bool newVersion = false;
    std::vector<FileEntry> files;
};

std::string writeInput(const std::vector<DatasetFiles>& inputs) {
    std::string xml = "<GetDatasetWriteTicketsInput>";
    for (const auto& in : inputs) {
        xml += std::string("<input createNewVersion=\"") + (in.newVersion ? "true" : "false") + "\">" +
               refUid("dataset", in.dataset);
        for (const auto& f : in.files) xml += fileInfo(f);
        xml += "</input>";
    }
    return xml + "</GetDatasetWriteTicketsInput>";
}

struct TicketedFile {
    FileEntry file;
    std::string ticket;
};

std::string commitInput(const std::string& dataset, bool newVersion, const std::vector<TicketedFile>& files) {
    std::string xml = std::string("<CommitDatasetFilesInput><commitInput createNewVersion=\"") +
                      (newVersion ? "true" : "false") + "\">" + refUid("dataset", dataset);
    for (const auto& f : files)
        xml += "<datasetFileTicketInfo ticket=\"" + esc(f.ticket) + "\">" + fileInfo(f.file) + "</datasetFileTicketInfo>";
    return xml + "</commitInput></CommitDatasetFilesInput>";
}

std::string readInput(const std::vector<std::string>& uids) {
    std::string xml = "<GetFileReadTicketsInput>";
    for (const auto& u : uids) xml += refUid("file", u);
    return xml + "</GetFileReadTicketsInput>";
}

// The files of a dataset: (reference, original name) per file, in order.
std::vector<std::pair<std::string, std::string>> filesOf(const std::string& datasetUid) {
    int count = 0;
    scoped_smptr<char*> names;
    scoped_smptr<tag_t> files;
    EXPECT_EQ(AE_ask_dataset_named_refs(tagOf(datasetUid), &count, &names, &files), 0);
    std::vector<std::pair<std::string, std::string>> out;
    for (int i = 0; i < count; ++i) {
        POMRef<OstraFile> file(files[i]);
        out.emplace_back(names[i], file->originalFileName());
    }
    return out;
}

int versionOf(const std::string& datasetUid) {
    POMRef<Dataset> dataset(tagOf(datasetUid));
    POMRef<RevisionAnchor> anchor(dataset->anchor());
    return anchor->version();
}

P::TicketGrant grantOf(const std::string& ticket) {
    P::TicketGrant grant;
    EXPECT_TRUE(P::TICKET_ask(ticket, &grant)) << "not a ticket: " << ticket;
    return grant;
}

// The granted files of one commit info of a write-ticket reply.
struct Granted {
    std::string clientId, fileName, reference, ticket;
    bool text = false, replace = false;
};

std::vector<Granted> grantedOf(const XMLNode& commitInfo) {
    std::vector<Granted> out;
    for (const XMLNode* t : childrenNamed(commitInfo, "datasetFileTicketInfo")) {
        const XMLNode* f = t->child("datasetFileInfo");
        Granted g;
        g.ticket = attrOr(*t, "ticket");
        if (f) {
            g.clientId = attrOr(*f, "clientId");
            g.fileName = attrOr(*f, "fileName");
            g.reference = attrOr(*f, "namedReferencedName");
            g.text = attrOr(*f, "isText") == "true";
            g.replace = attrOr(*f, "allowReplace") == "true";
        }
        out.push_back(g);
    }
    return out;
}

class Fm0603Test : public ExtendedSiteTest {
protected:
    Fm0603Test() : ExtendedSiteTest(kExtraSite) {}

    // Write tickets for the files of one dataset; the granted files, in order.
    std::vector<Granted> writeTickets(const DatasetFiles& in) {
        Parsed r(invoke(kFm, "getDatasetWriteTickets", writeInput({in})));
        EXPECT_TRUE(r.ok()) << r.text;
        auto infos = childrenNamed(*r.root, "commitInfo");
        EXPECT_EQ(infos.size(), 1u) << r.text;
        return infos.empty() ? std::vector<Granted>{} : grantedOf(*infos[0]);
    }

    std::string writeTicket(const std::string& dataset, bool newVersion, const FileEntry& f) {
        auto granted = writeTickets({dataset, newVersion, {f}});
        EXPECT_EQ(granted.size(), 1u);
        return granted.empty() ? std::string() : granted[0].ticket;
    }
};

// ---- read tickets

TEST_F(Fm0603Test, ReadTicketsWithNoFilesGiveAnEmptyReply) {
    Parsed r(invoke(kFm, "getFileReadTickets", readInput({})));
    ASSERT_EQ(r.root->name(), "FileTicketsResponse") << r.text;
    EXPECT_TRUE(childrenNamed(*r.root, "ticket").empty());
    EXPECT_TRUE(r.list("plainObj").empty());
    EXPECT_TRUE(r.errors().empty());
}

TEST_F(Fm0603Test, ReadTicketsSkipWhatIsNoFileAndComeInTagOrder) {
    // The site's files in reverse tag order, with a dataset between them and
    // the first file asked for twice.
    ASSERT_LT(tagOf(kManualFile), tagOf("fSpec"));
    Parsed r(invoke(kFm, "getFileReadTickets", readInput({"fSpec", kManual, kManualFile, kManualFile})));
    ASSERT_TRUE(r.ok()) << r.text;
    auto tickets = childrenNamed(*r.root, "ticket");
    ASSERT_EQ(tickets.size(), 2u) << r.text;
    std::vector<std::string> keys;
    for (const XMLNode* t : tickets) {
        keys.push_back(Parsed::outRef(*t, "key"));
        P::TicketGrant g = grantOf(attrOr(*t, "value"));
        EXPECT_FALSE(g.write);
        EXPECT_EQ(g.file, tagOf(keys.back()));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{kManualFile, "fSpec"}));
    EXPECT_EQ(r.list("plainObj"), (std::vector<std::string>{"fSpec", kManualFile}));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].uid, kManual);
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_NOT_A_FILE});
}

TEST_F(Fm0603Test, ReadTicketsAreNeverTheSameTwice) {
    Parsed a(invoke(kFm, "getFileReadTickets", readInput({kManualFile})));
    Parsed b(invoke(kFm, "getFileReadTickets", readInput({kManualFile})));
    auto ta = childrenNamed(*a.root, "ticket"), tb = childrenNamed(*b.root, "ticket");
    ASSERT_EQ(ta.size(), 1u);
    ASSERT_EQ(tb.size(), 1u);
    const std::string x = attrOr(*ta[0], "value"), y = attrOr(*tb[0], "value");
    EXPECT_NE(x, y);
    EXPECT_EQ(grantOf(x).file, grantOf(y).file);
    // 128 random bits and nothing else: no room for the file's uid or name.
    for (const std::string& t : {x, y}) {
        EXPECT_EQ(t.size(), 32u) << t;
        EXPECT_EQ(t.find_first_not_of("0123456789abcdef"), std::string::npos) << t;
    }
}

TEST_F(Fm0603Test, AFailedReadTicketCallFailsTheWholeRequest) {
    P::FAULT_inject("FileTickets::getReadFileTickets", P::ERR_INJECTED);
    Parsed r(invoke(kFm, "getFileReadTickets", readInput({kManualFile})));
    EXPECT_EQ(r.root->name(), "ServiceException") << r.text;
    EXPECT_NE(r.text.find("990001"), std::string::npos) << r.text;
}

// ---- write tickets

TEST_F(Fm0603Test, FileExtensionsAreTheTextAfterTheLastDot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a.b.txt", "txt"}, {"name", ""}, {"name.", ""}, {".profile", "profile"}, {"v1.d/file", "d/file"},
    };
    for (const auto& [name, extension] : cases) {
        SCOPED_TRACE(name);
        std::string ticket = writeTicket("dsExt", false, {"c", name, "Any"});
        EXPECT_EQ(grantOf(ticket).extension, extension);
    }
}

TEST_F(Fm0603Test, WriteTicketsFollowTheReferenceFormatAndEchoTheClientFields) {
    Parsed r(invoke(kFm, "getDatasetWriteTickets",
                    writeInput({{kManual, false, {{"t1", "notes.txt", "Text", true, true}}},
                                {"dsPdf",
                                 false,
                                 {{"b1", "drawing.pdf", "PDF_Reference", false, false},
                                  {"b2", "readme.pdf", "PDF_Reference", true, false},
                                  {"b3", "sheet.pdf", "PDF_Reference", false, true}}}})));
    ASSERT_TRUE(r.ok()) << r.text;
    auto infos = childrenNamed(*r.root, "commitInfo");
    ASSERT_EQ(infos.size(), 2u) << r.text;
    EXPECT_EQ(Parsed::outRef(*infos[0], "dataset"), kManual);
    EXPECT_EQ(Parsed::outRef(*infos[1], "dataset"), "dsPdf");

    auto text = grantedOf(*infos[0]);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].clientId, "t1");
    EXPECT_EQ(text[0].fileName, "notes.txt");
    EXPECT_EQ(text[0].reference, "Text");
    EXPECT_TRUE(text[0].text);
    EXPECT_TRUE(text[0].replace);
    P::TicketGrant g = grantOf(text[0].ticket);
    EXPECT_TRUE(g.write);
    EXPECT_EQ(g.datasetTypeName, "Text");
    EXPECT_EQ(g.datasetName, "Widget manual");
    EXPECT_EQ(g.reference, "Text");
    EXPECT_EQ(g.fileName, "notes.txt");
    EXPECT_TRUE(g.text);

    // The text file for the binary reference is left out; the others keep
    // their order and flags.
    auto binary = grantedOf(*infos[1]);
    ASSERT_EQ(binary.size(), 2u) << r.text;
    EXPECT_EQ(binary[0].clientId, "b1");
    EXPECT_FALSE(binary[0].replace);
    EXPECT_EQ(binary[1].clientId, "b3");
    EXPECT_TRUE(binary[1].replace);
    EXPECT_FALSE(grantOf(binary[1].ticket).text);
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "b2");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_FILE_TYPE_MISMATCH});
    // The service data carries only errors.
    EXPECT_TRUE(r.list("plainObj").empty());
    EXPECT_TRUE(r.list("updatedObj").empty());
}

TEST_F(Fm0603Test, EachFileTheReferenceRefusesHasItsOwnCode) {
    const struct {
        FileEntry file;
        int code;
    } cases[] = {
        {{"c", "", "Any"}, P::ERR_BAD_FILE_NAME},
        {{"c", std::string(257, 'x'), "Any"}, P::ERR_BAD_FILE_NAME},
        {{"c", "a.bin", "Nothing"}, P::ERR_NO_SUCH_REFERENCE},
        {{"c", "a.bin", "Links"}, P::ERR_OBJECT_REFERENCE},
        {{"c", "a.bin", "Named"}, P::ERR_OBJECT_REFERENCE},
        {{"c", "a.pdf", "Any", true}, P::ERR_FILE_TYPE_MISMATCH},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.fileName.substr(0, 10) + " " + c.file.reference);
        Parsed r(invoke(kFm, "getDatasetWriteTickets", writeInput({{"dsExt", false, {c.file}}})));
        auto infos = childrenNamed(*r.root, "commitInfo");
        ASSERT_EQ(infos.size(), 1u) << r.text;
        EXPECT_TRUE(grantedOf(*infos[0]).empty());
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].clientId, "c");
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{c.code});
    }
    // A name longer than any template allows is refused by extension.
    Parsed r(invoke(kFm, "getDatasetWriteTickets", writeInput({{kManual, false, {{"d", "notes.doc", "Text", true}}}})));
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_EXTENSION_MISMATCH});
    EXPECT_EQ(r.errors()[0].clientId, "d");
}

TEST_F(Fm0603Test, TicketsCarryTheVersionTheirCommitMustMatch) {
    ASSERT_EQ(versionOf("dsV3"), 3);
    const FileEntry same{"s", "same.txt", "Text", true}, next{"n", "next.txt", "Text", true};
    const std::string atThree = writeTicket("dsV3", false, same), atFour = writeTicket("dsV3", true, next);
    EXPECT_EQ(grantOf(atThree).version, 3);
    EXPECT_EQ(grantOf(atFour).version, 4);

    // Each commits only with the flag it was asked with.
    Parsed wrong(invoke(kFm, "commitDatasetFiles", commitInput("dsV3", false, {{next, atFour}})));
    EXPECT_EQ(wrong.list("updatedObj"), std::vector<std::string>{"dsV3"});
    ASSERT_EQ(wrong.errors().size(), 1u) << wrong.text;
    EXPECT_EQ(wrong.errors()[0].clientId, "n");
    EXPECT_EQ(wrong.errors()[0].codes, std::vector<int>{P::ERR_TICKET_MISMATCH});
    EXPECT_EQ(versionOf("dsV3"), 3);

    Parsed right(invoke(kFm, "commitDatasetFiles", commitInput("dsV3", true, {{next, atFour}})));
    EXPECT_TRUE(right.errors().empty()) << right.text;
    EXPECT_EQ(versionOf("dsV3"), 4);
    // The version moved on: the ticket for version 3 is of no use now.
    Parsed stale(invoke(kFm, "commitDatasetFiles", commitInput("dsV3", false, {{same, atThree}})));
    ASSERT_EQ(stale.errors().size(), 1u) << stale.text;
    EXPECT_EQ(stale.errors()[0].codes, std::vector<int>{P::ERR_TICKET_MISMATCH});
    EXPECT_EQ(filesOf("dsV3"), (std::vector<std::pair<std::string, std::string>>{{"Text", "next.txt"}}));
}

TEST_F(Fm0603Test, ADatasetWithNoFilesAndOneThatCannotBeLoaded) {
    Parsed r(invoke(kFm, "getDatasetWriteTickets",
                    writeInput({{"NoSuchDataset1", false, {{"x", "x.txt", "Text", true}}},
                                {kManualFile, false, {}},
                                {kManual, true, {}}})));
    ASSERT_TRUE(r.ok()) << r.text;
    auto infos = childrenNamed(*r.root, "commitInfo");
    ASSERT_EQ(infos.size(), 1u) << r.text;
    EXPECT_EQ(Parsed::outRef(*infos[0], "dataset"), kManual);
    EXPECT_EQ(attrOr(*infos[0], "createNewVersion"), "true");
    EXPECT_TRUE(grantedOf(*infos[0]).empty());
    ASSERT_EQ(r.errors().size(), 2u) << r.text;
    EXPECT_EQ(r.errors()[1].uid, kManualFile);
    EXPECT_EQ(r.errors()[1].codes, std::vector<int>{P::ERR_WRONG_CLASS});
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INVALID_TAG});
}

TEST_F(Fm0603Test, StatusesAndIndicesThePlatformGetsWrongAreBounded) {
    // The platform leaves the last status out and reports a failure past the
    // records: the file without a status is not granted, the stray failure
    // is an error with no key.
    P::TICKET_misreport_next();
    auto granted = writeTickets({kManual, false, {{"a", "a.txt", "Text", true}, {"b", "b.txt", "Text", true}}});
    ASSERT_EQ(granted.size(), 1u);
    EXPECT_EQ(granted[0].clientId, "a");

    P::TICKET_misreport_next();
    Parsed r(invoke(kFm, "commitDatasetFiles", commitInput(kManual, false, {{{"a", "a.txt", "Text", true}, granted[0].ticket}})));
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{kManual});
    ASSERT_EQ(r.errors().size(), 1u) << r.text;
    EXPECT_EQ(r.errors()[0].clientId, "");
    EXPECT_EQ(r.errors()[0].uid, "");
    EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_INJECTED});
}

// ---- commit

TEST_F(Fm0603Test, CommitAddsTheFilesWhileSingleFilesFail) {
    const FileEntry good{"good", "notes.txt", "Text", true}, other{"other", "other.txt", "Text", true};
    auto granted = writeTickets({kManual, false, {good, other}});
    ASSERT_EQ(granted.size(), 2u);
    const std::string pdfTicket = writeTicket("dsPdf", false, {"pdf", "spec2.pdf", "PDF_Reference"});

    Parsed r(invoke(kFm, "commitDatasetFiles",
                    commitInput(kManual, false,
                                {{good, granted[0].ticket},
                                 {{"bogus", "x.txt", "Text", true}, "0123456789abcdef0123456789abcdef"},
                                 {{"elsewhere", "spec2.pdf", "PDF_Reference"}, pdfTicket},
                                 {{"renamed", "renamed.txt", "Text", true}, granted[1].ticket}})));
    ASSERT_EQ(r.root->name(), "ServiceData") << r.text;
    EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{kManual});
    auto errors = r.errors();
    ASSERT_EQ(errors.size(), 3u) << r.text;
    EXPECT_EQ(errors[0].clientId, "bogus");
    EXPECT_EQ(errors[0].codes, std::vector<int>{P::ERR_BAD_TICKET});
    EXPECT_EQ(errors[1].clientId, "elsewhere");
    EXPECT_EQ(errors[1].codes, std::vector<int>{P::ERR_TICKET_MISMATCH});
    EXPECT_EQ(errors[2].clientId, "renamed");
    EXPECT_EQ(errors[2].codes, std::vector<int>{P::ERR_TICKET_MISMATCH});

    EXPECT_EQ(filesOf(kManual),
              (std::vector<std::pair<std::string, std::string>>{{"Text", "manual.txt"}, {"Text", "notes.txt"}}));
    // The spent ticket is forgotten; the one refused is still held.
    EXPECT_FALSE(P::TICKET_ask(granted[0].ticket, nullptr));
    EXPECT_TRUE(P::TICKET_ask(granted[1].ticket, nullptr));
    EXPECT_EQ(versionOf(kManual), 1);

    // A spent ticket commits nothing more.
    Parsed again(invoke(kFm, "commitDatasetFiles", commitInput(kManual, false, {{good, granted[0].ticket}})));
    ASSERT_EQ(again.errors().size(), 1u) << again.text;
    EXPECT_EQ(again.errors()[0].codes, std::vector<int>{P::ERR_BAD_TICKET});
    EXPECT_EQ(filesOf(kManual).size(), 2u);
}

TEST_F(Fm0603Test, TheNewFileIsTheSessionUsersOnTheSessionVolumeUnderAPlatformName) {
    const FileEntry f{"f", "../../etc/passwd.txt", "Text", true};
    Parsed r(invoke(kFm, "commitDatasetFiles", commitInput(kManual, false, {{f, writeTicket(kManual, false, f)}})));
    ASSERT_TRUE(r.errors().empty()) << r.text;
    int count = 0;
    scoped_smptr<char*> names;
    scoped_smptr<tag_t> files;
    ASSERT_EQ(AE_ask_dataset_named_refs(tagOf(kManual), &count, &names, &files), 0);
    ASSERT_EQ(count, 2);
    const tag_t file = files[1];
    tag_t volume = 0, owner = 0, session = 0;
    ASSERT_EQ(VM_ask_current_volume(&volume), 0);
    ASSERT_EQ(SSS_current_user(&session), 0);
    ASSERT_EQ(AOM_ask_owner(file, &owner), 0);
    EXPECT_EQ(owner, session);
    auto text = [&](const char* attribute) {
        scoped_smptr<char> value;
        EXPECT_EQ(AOM_ask_value_string(file, attribute, &value), 0) << attribute;
        return std::string(value.get() ? value.get() : "");
    };
    EXPECT_EQ(text("original_file_name"), f.fileName);
    EXPECT_EQ(text("file_name").find("passwd"), std::string::npos);
    EXPECT_EQ(text("file_name").find(".."), std::string::npos);
    tag_t onVolume = 0;
    ASSERT_EQ(AOM_ask_value_tag(file, "volume_tag", &onVolume), 0);
    EXPECT_EQ(onVolume, volume);
}

TEST_F(Fm0603Test, AFileOfTheSameNameIsReplacedOnlyWhenAllowed) {
    const FileEntry keep{"keep", "manual.txt", "Text", true, false}, replace{"replace", "manual.txt", "Text", true, true};
    const tag_t old = tagOf(kManualFile);
    Parsed refused(invoke(kFm, "commitDatasetFiles", commitInput(kManual, false, {{keep, writeTicket(kManual, false, keep)}})));
    ASSERT_EQ(refused.errors().size(), 1u) << refused.text;
    EXPECT_EQ(refused.errors()[0].codes, std::vector<int>{P::ERR_FILE_EXISTS});
    EXPECT_EQ(Tag::isValid(old), 0);

    Parsed allowed(invoke(kFm, "commitDatasetFiles",
                          commitInput(kManual, false, {{replace, writeTicket(kManual, false, replace)}})));
    EXPECT_TRUE(allowed.errors().empty()) << allowed.text;
    EXPECT_NE(Tag::isValid(old), 0) << "the old file is gone";
    int count = 0;
    scoped_smptr<char*> names;
    scoped_smptr<tag_t> files;
    ASSERT_EQ(AE_ask_dataset_named_refs(tagOf(kManual), &count, &names, &files), 0);
    ASSERT_EQ(count, 1);
    EXPECT_NE(files[0], old);
}

TEST_F(Fm0603Test, DatasetsThatCannotTakeFilesAreRefusedWhole) {
    const FileEntry f{"f", "notes.txt", "Text", true};
    const std::string ticket = writeTicket(kManual, false, f);
    struct Case {
        const char* what;
        std::string dataset;
        std::function<void()> arrange;
        int code;
    };
    const Case cases[] = {
        {"read-only", kManual, [] { ASSERT_EQ(P::OBJ_set_read_only(tagOf(kManual), true), 0); }, P::ERR_READ_ONLY_OBJECT},
        {"not a dataset", kManualFile, [] {}, P::ERR_NOT_A_DATASET},
        {"no such object", "NoSuchDataset1", [] {}, P::ERR_NOT_A_DATASET},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        Parsed r(invoke(kFm, "commitDatasetFiles", commitInput(c.dataset, false, {{f, ticket}})));
        EXPECT_TRUE(r.list("updatedObj").empty()) << r.text;
        ASSERT_EQ(r.errors().size(), 1u) << r.text;
        EXPECT_EQ(r.errors()[0].uid, c.dataset);
        EXPECT_EQ(r.errors()[0].clientId, "");
        EXPECT_EQ(r.errors()[0].codes, std::vector<int>{c.code});
        EXPECT_TRUE(P::TICKET_ask(ticket, nullptr));
        ASSERT_EQ(P::OBJ_set_read_only(tagOf(kManual), false), 0);
    }
    EXPECT_EQ(filesOf(kManual).size(), 1u);
}

TEST_F(Fm0603Test, ARolledBackCommitGivesTheTicketBack) {
    const FileEntry f{"f", "notes.txt", "Text", true};
    const std::string ticket = writeTicket(kManual, true, f);
    int mark = 0;
    ASSERT_EQ(POM_place_markpoint(&mark), 0);
    Parsed r(invoke(kFm, "commitDatasetFiles", commitInput(kManual, true, {{f, ticket}})));
    ASSERT_TRUE(r.errors().empty()) << r.text;
    EXPECT_EQ(versionOf(kManual), 2);
    bool changed = false;
    ASSERT_EQ(POM_roll_to_markpoint(mark, &changed), 0);
    EXPECT_EQ(versionOf(kManual), 1);
    EXPECT_EQ(filesOf(kManual).size(), 1u);
    ASSERT_EQ(POM_forget_markpoint(mark), 0);
    // The ticket given back commits once more.
    Parsed again(invoke(kFm, "commitDatasetFiles", commitInput(kManual, true, {{f, ticket}})));
    EXPECT_TRUE(again.errors().empty()) << again.text;
    EXPECT_EQ(filesOf(kManual).size(), 2u);
    EXPECT_EQ(versionOf(kManual), 2);
}

// ---- what the store holds

// Pins the store's clock `seconds` after the start of a day (within it).
void pinAt(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "2026-03-04T%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    ASSERT_EQ(P::CLOCK_pin(text), 0);
}

std::string onlyTicket(const Parsed& r) {
    auto tickets = childrenNamed(*r.root, "ticket");
    EXPECT_EQ(tickets.size(), 1u) << r.text.substr(0, 400);
    return tickets.empty() ? std::string() : attrOr(*tickets[0], "value");
}

TEST_F(Fm0603Test, ReadTicketsAreHeldOncePerFileAndOnlyWhileLive) {
    pinAt(0);
    ASSERT_EQ(P::TICKET_held(), 0u) << "the fixture holds none";
    const std::vector<std::string> sameFile(1000, kManualFile);
    std::string first;
    for (std::size_t r = 1; r <= 8; ++r) {
        Parsed reply(invoke(kFm, "getFileReadTickets", readInput(sameFile)));
        const std::string ticket = onlyTicket(reply);
        if (r == 1) first = ticket;
        EXPECT_EQ(P::TICKET_held(), r);
    }
    // The last second of their time: all still good.
    pinAt(P::kTicketLifetimeSeconds - 1);
    EXPECT_TRUE(P::TICKET_ask(first, nullptr));
    const std::string late = onlyTicket(Parsed(invoke(kFm, "getFileReadTickets", readInput({kManualFile}))));
    EXPECT_EQ(P::TICKET_held(), 9u);

    // Their time up, the first eight are refused, and dropped as the next
    // ticket is issued.
    pinAt(P::kTicketLifetimeSeconds);
    EXPECT_FALSE(P::TICKET_ask(first, nullptr));
    EXPECT_EQ(grantOf(late).file, tagOf(kManualFile));
    onlyTicket(Parsed(invoke(kFm, "getFileReadTickets", readInput({"fSpec"}))));
    EXPECT_EQ(P::TICKET_held(), 2u);
}

// Tickets issued under a markpoint leave with the roll-back; a ticket given
// out before it stays.
TEST_F(Fm0603Test, ARollBackForgetsTheTicketsIssuedSinceTheMarkpoint) {
    const std::string kept = onlyTicket(Parsed(invoke(kFm, "getFileReadTickets", readInput({kManualFile}))));
    const std::size_t before = P::TICKET_held();
    int mark = 0;
    ASSERT_EQ(POM_place_markpoint(&mark), 0);
    Parsed read(invoke(kFm, "getFileReadTickets", readInput({kManualFile, "fSpec"})));
    std::vector<std::string> issued;
    for (const auto* t : childrenNamed(*read.root, "ticket")) issued.push_back(attrOr(*t, "value"));
    issued.push_back(writeTicket(kManual, false, FileEntry{"f", "notes.txt", "Text", true}));
    ASSERT_EQ(issued.size(), 3u) << read.text;
    EXPECT_EQ(P::TICKET_held(), before + 3);
    bool changed = false;
    ASSERT_EQ(POM_roll_to_markpoint(mark, &changed), 0);
    ASSERT_EQ(POM_forget_markpoint(mark), 0);
    EXPECT_EQ(P::TICKET_held(), before);
    for (const std::string& t : issued) EXPECT_FALSE(P::TICKET_ask(t, nullptr)) << t;
    EXPECT_TRUE(P::TICKET_ask(kept, nullptr));
}

TEST_F(Fm0603Test, AWriteTicketCommitsOnlyWhileLiveAndIsForgottenWhenSpent) {
    const struct {
        int after;  // seconds from its issue
        bool commits;
    } cases[] = {{P::kTicketLifetimeSeconds - 1, true}, {P::kTicketLifetimeSeconds, false}};
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        const FileEntry f{"f", "notes" + std::to_string(n++) + ".txt", "Text", true};
        pinAt(0);
        const std::string ticket = writeTicket(kManual, false, f);
        const std::size_t held = P::TICKET_held();
        pinAt(c.after);
        Parsed r(invoke(kFm, "commitDatasetFiles", commitInput(kManual, false, {{f, ticket}})));
        EXPECT_EQ(r.list("updatedObj"), std::vector<std::string>{kManual});
        EXPECT_FALSE(P::TICKET_ask(ticket, nullptr));
        if (c.commits) {
            EXPECT_TRUE(r.errors().empty()) << r.text;
            EXPECT_EQ(P::TICKET_held(), held - 1);
        } else {
            ASSERT_EQ(r.errors().size(), 1u) << r.text;
            EXPECT_EQ(r.errors()[0].clientId, "f");
            EXPECT_EQ(r.errors()[0].codes, std::vector<int>{P::ERR_BAD_TICKET});
        }
    }
    EXPECT_EQ(filesOf(kManual),
              (std::vector<std::pair<std::string, std::string>>{{"Text", "manual.txt"}, {"Text", "notes0.txt"}}));
}

// ---- the frame

TEST_F(Fm0603Test, RootNamesAndSpans) {
    const struct {
        const char* op;
        std::string request;
        const char* root;
    } cases[] = {
        {"getFileReadTickets", "<GetFileReadTicketsInput/>", "FileTicketsResponse"},
        {"getDatasetWriteTickets", "<GetDatasetWriteTicketsInput/>", "GetDatasetWriteTicketsResponse"},
        {"commitDatasetFiles", "<CommitDatasetFilesInput/>", "ServiceData"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        P::MONITOR_clear();
        Parsed r(invoke(kFm, c.op, c.request));
        EXPECT_EQ(r.root->name(), c.root) << r.text;
        EXPECT_TRUE(r.errors().empty());
        const std::string a = std::string("Velmora::Soa::Core::_2006_03::FileManagementIiopSkeleton::") + c.op;
        const std::string b = std::string("Velmora::Soa::Core::_2006_03::FileManagementImpl::") + c.op;
        EXPECT_EQ(vl::test::spanLog(), vl::test::fourSpans(a, b));
    }
}

TEST_F(Fm0603Test, ADatasetThatCannotBeWrittenBackIsTheNullReference) {
    using Skeleton = Velmora::Services::Core::_2006_03::FileManagementIiopSkeleton;
    Skeleton::FileManagement::CommitDatasetFileInfo local;
    local.dataset = POMRef<Dataset>(tagOf("NoSuchDataset2"));
    local.createNewVersion = true;
    local.datasetFileTicketInfos.push_back({{"c", "f.txt", "Text", true, false}, "t"});
    auto wire = Skeleton::toWire(local);
    EXPECT_EQ(wire.getDataset().getUid(), "");
    EXPECT_TRUE(wire.getCreateNewVersion());
    ASSERT_EQ(wire.getDatasetFileTicketInfoArray().size(), 1u);
    EXPECT_EQ(wire.getDatasetFileTicketInfoArray()[0].getTicket(), "t");
    int stored = -1;
    ERROR_store_ask(&stored, nullptr, nullptr, nullptr);
    EXPECT_EQ(stored, 0);

    // The ticket map has no such guard: its conversion fails.
    Skeleton::TicketMap map{{POMRef<OstraFile>(tagOf("NoSuchFile0001")), "t"}};
    EXPECT_THROW(Skeleton::toWireTicketMap(map), IFail);
    ERROR_store_clear();
    // Towards the local side a later entry for the same file wins.
    std::vector<Velmora::Schemas::Core::_2006_03::Filemanagement::TicketMap> entries(2);
    for (int i = 0; i < 2; ++i) {
        entries[i].setKey(Velmora::Soa::Internal::Server::Utils::createWireModelObect(tagOf(kManualFile)));
        entries[i].setValue(i == 0 ? "first" : "second");
    }
    auto back = Skeleton::toLocalTicketMap(entries);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back.begin()->second, "second");
}

}  // namespace
