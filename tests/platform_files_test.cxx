// The fixture's dataset versions, files and check-outs, and the file calls on
// a site without a volume.
#include "platform_test_support.hxx"

#include "ae/dataset.hxx"
#include "filetickets/file_tickets.hxx"
#include "foundation/error_codes.hxx"
#include "reservation/reservation.hxx"
#include "sm/scoped_smptr.hxx"
#include "tag/pom_ref.hxx"
#include "soa_server/utils.hxx"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace vl::platform;

struct PlatformFiles : vl::test::SiteTest {
    void TearDown() override { vl::test::useDefaultSite(); }
};

tag_t byUid(const char* uid) { return Velmora::Soa::Internal::Server::Utils::uidToTag(uid); }

std::string defaultSite() {
    std::ifstream in(VL_DEFAULT_SITE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(PlatformFiles, TheFixtureMakesVersionsFilesAndCheckOuts) {
    std::string error;
    ASSERT_EQ(SITE_load_text(defaultSite() + R"(
dataset @img type=Image name="Photo" version=5 uid=dsPhoto
file @png dataset=@img ref=ImageFile name=photo.PNG uid=fPhoto
checkout @img user=bob comment="retouch" change=CR-9
)",
                             "files.site", &error),
              0)
        << error;
    POMRef<Dataset> photo(byUid("dsPhoto"));
    POMRef<RevisionAnchor> anchor(photo->anchor());
    EXPECT_EQ(anchor->version(), 5);
    int count = 0;
    scoped_smptr<char*> refs;
    scoped_smptr<tag_t> files;
    ASSERT_EQ(AE_ask_dataset_named_refs(photo.value(), &count, &refs, &files), 0);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(refs[0], "ImageFile");
    EXPECT_EQ(files[0], byUid("fPhoto"));
    POMRef<OstraFile> file(files[0]);
    EXPECT_EQ(file->originalFileName(), "photo.PNG");

    // The default site's own dataset is at version 1, with its one file.
    POMRef<Dataset> manual(byUid("dsWidgetManual"));
    POMRef<RevisionAnchor> manualAnchor(manual->anchor());
    EXPECT_EQ(manualAnchor->version(), 1);

    int events = 0;
    scoped_smptr<char*> dates, users, activities, changes, comments;
    ASSERT_EQ(RES_ask_audit_history(photo.value(), &events, &dates, &users, &activities, &changes, &comments), 0);
    ASSERT_EQ(events, 1);
    EXPECT_STREQ(users[0], "bob");
    EXPECT_STREQ(activities[0], "Check-Out");
    EXPECT_STREQ(changes[0], "CR-9");
    EXPECT_STREQ(comments[0], "retouch");
    // bob holds it: the session (admin) may not check it in.
    EXPECT_EQ(RES_checkin(photo.value()), ERR_RESERVED_BY_OTHER);
}

TEST_F(PlatformFiles, FixtureFilesAndCheckOutsAreCheckedAsTheCallsAre) {
    const struct {
        const char* lines;
        const char* expected;
    } cases[] = {
        {"dataset @d type=Text name=D version=0\n", "a dataset's version is 1 or more"},
        {"dataset @d type=Text name=D\nfile @f dataset=@d ref=Nothing name=a.txt\n", "no such named reference"},
        {"dataset @d type=Text name=D\nfile @f dataset=@d ref=Text name=a.doc\n", "fits none of the reference's"},
        {"dataset @d type=QMPART name=D\nfile @f dataset=@d ref=QMPartLink name=a.qmp\n", "takes no files"},
        {"file @f dataset=@shared ref=Text name=a.txt\n", "@shared is not a dataset"},
        {"dataset @d type=Text name=D\nfile @f dataset=@d ref=Text name=a.txt uid=fWidgetManual\n", "is used already"},
        {"checkout @widget user=nobody\n", "unknown user nobody"},
        {"checkout @widget user=alice\ncheckout @widget user=bob\n", "checked out already"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        std::string error;
        EXPECT_NE(SITE_load_text(defaultSite() + c.lines, "bad.site", &error), 0);
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST_F(PlatformFiles, ASiteWithoutAVolumeTakesNoFiles) {
    std::string error;
    ASSERT_EQ(SITE_load_text(R"(format 1
group dba privileged
role DBA
user root group=dba password="$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek"
member root dba DBA
session root dba DBA
tool Editor output=TEXT
datasettype Notes tools=Editor
reference Notes Text format=TEXT template=*.txt
dataset @d type=Notes name=N uid=dsNotes
)",
                             "novolume.site", &error),
              0)
        << error;
    std::vector<int> statuses;
    std::vector<std::string> texts, tickets;
    IMF_write_ticket_request_info_s request{IMF_text_file_type, "a.txt", "N", "Text", "txt"};
    ASSERT_EQ(FileTickets::getWriteFileTickets("Notes", 1, 1, &request, statuses, texts, tickets, nullptr), 0);
    ASSERT_EQ(statuses, std::vector<int>{0});
    IMF_commit_dataset_file_info_s commit{"Text", "a.txt", false, tickets[0].c_str()};
    EXPECT_EQ(FileTickets::commitDatasetFiles(byUid("dsNotes"), false, 1, &commit, statuses, texts, nullptr),
              ERR_NO_VOLUME);
    // A bad count is refused whole too, and an unknown type.
    EXPECT_EQ(FileTickets::getWriteFileTickets("Notes", 1, 2, nullptr, statuses, texts, tickets, nullptr),
              ERR_BAD_RECORD_COUNT);
    EXPECT_EQ(FileTickets::getWriteFileTickets("Nothing", 1, 0, nullptr, statuses, texts, tickets, nullptr),
              ERR_NO_SUCH_DATASET_TYPE);
    EXPECT_EQ(SM_outstanding_blocks(), blocksAtStart);
}

}  // namespace
