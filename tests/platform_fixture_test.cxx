// The site fixture: the default one loads fast, a malformed one is refused
// with file, line and reason and changes nothing, reset restores the load.
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"
#include "kernel/pref.hxx"
#include "kernel/session.hxx"
#include "platform_test_support.hxx"
#include "pom/soa_view.hxx"
#include "sa/sa.hxx"
#include "site/fixture_statement.hxx"
#include "tag/tag.hxx"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace vl::platform;

namespace {

struct PlatformFixture : vl::test::SiteTest {
    void TearDown() override { vl::test::useDefaultSite(); }
};

const char* const kMini = R"(format 1
site 7 "Mini"
group dba privileged
role DBA
user root group=dba password="$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek"
member root dba DBA
session root dba DBA
itemtype Item revision=ItemRevision
pref site Greeting hello "two words"
folder @f name="Only folder" uid=onlyFolder01 in=home:root
)";

TEST_F(PlatformFixture, TheDefaultSiteLoadsWellUnderASecond) {
    std::string error;
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(SITE_load(VL_DEFAULT_SITE, &error), 0) << error;
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(ms, 1000.0) << "as the name says: sanitizer builds on a loaded machine need the margin";
    EXPECT_EQ(SITE_loaded_path(), VL_DEFAULT_SITE);
    tag_t widget = 0;
    ITEM_find_item("000100", &widget);
    EXPECT_NE(widget, 0u);
}

TEST_F(PlatformFixture, ALoadReplacesEverythingAndResetReturnsToIt) {
    std::string error;
    ASSERT_EQ(SITE_load_text(kMini, "mini.site", &error), 0) << error;
    tag_t widget = 1;
    ITEM_find_item("000100", &widget);
    EXPECT_EQ(widget, 0u) << "nothing of the previous site is left";
    tag_t folder = uidToTag("onlyFolder01");
    ASSERT_EQ(Tag::isValid(folder), 0);
    tag_t root = 0;
    SA_find_user("root", &root);
    EXPECT_EQ(loginUser::currentUserTag(), root);
    std::vector<std::string> values;
    ASSERT_TRUE(PREF_read("Greeting", OSTRA_preference_site_preference, &values));
    EXPECT_EQ(values, (std::vector<std::string>{"hello", "two words"}));

    FL_remove(uidToTag("onlyFolder01"), 0);
    tag_t extra = 0;
    ASSERT_EQ(FL_create("extra", "", &extra), 0);
    SITE_reset();
    EXPECT_NE(Tag::isValid(extra), 0);
    EXPECT_EQ(Tag::isValid(uidToTag("onlyFolder01")), 0);
    EXPECT_EQ(STORE_object_count(), [] {
        std::string e;
        SITE_load_text(kMini, "mini.site", &e);
        return STORE_object_count();
    }());
}

TEST_F(PlatformFixture, AMalformedFixtureIsRefusedWithFileLineAndReasonAndChangesNothing) {
    struct Case {
        const char* text;
        const char* expected;  // the whole prefix "<file>:<line>: " and part of the reason
    };
    const Case cases[] = {
        {"format 1\nfrobnicate x\n", "bad.site:2: unknown statement frobnicate"},
        {"format 2\n", "bad.site:1: unsupported format"},
        {"format 1\ntext k \"open\n", "bad.site:2: unterminated quote"},
        {"format 1\ngroup g\ngroup g\n", "bad.site:3: group g exists already"},
        {"format 1\ntype ThisTypeNameIsFarLongerThanThirtyTwo Item\n", "bad.site:2: type name"},
        {"format 1\ngroup g\nuser u group=g password=secret\n", "bad.site:3: password= must be a crypto_pwhash_str"},
        {"format 1\nclass X NoSuchParent\n", "bad.site:2: unknown class NoSuchParent"},
        {"format 1\nrole r\nuser u password=\"$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$Jfr0QQztbm"
         "cY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek\"\nmember u nogroup r\n",
         "bad.site:4: unknown group nogroup"},
        {"format 1\nclass A Form\nclass B A\nattr A late string\n", "bad.site:4: attributes of A must come before"},
        {"format 1\nattr Folder contents string\n", "bad.site:2: attribute contents exists already in Folder"},
        {"format 1\ntool T\nattr Tool extra string\n", "bad.site:3: attributes of Tool must come before its first"},
        {"format 1\ngroup g frobs=1\n", "bad.site:2: unknown option frobs="},
        {"format 1\nfolder @f name=x\n", "bad.site:2: owner= is needed before the session line"},
        {"format 1\nitemtype Folder revision=ItemRevision\n", "bad.site:2: Folder is not an item type"},
        {"format 1\nlov L int values=1,two\n", "bad.site:2: a value of list L is not a int"},
        {"format 1\nclass X Form\nattr X r typedref ref=Nowhere\n", "bad.site: attribute X.r refers to unknown class"},
        {"format 1\nclass X Form\nattr X a_field_name_of_28_characters string\nfileform X\n",
         "bad.site:4: field a_field_name_of_28_characters is longer than 27"},
        {"format 1\nfileform Folder\n", "bad.site:2: Folder is not a form type"},
        {"format 1\ngroup g\nrole r\nuser u group=g password=\"$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$"
         "Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek\"\nmember u g r inactive\nsession u g r\n",
         "bad.site:6: u is not an active member"},
        {"format 1\ngroup g\nrole r\nuser u group=g password=\"$argon2id$v=19$m=8,t=1,p=1$xqITJ7h+Xhc2I+DLivTp6g$"
         "Jfr0QQztbmcY+fBXmWC0aHZ5mzIoboKvknp3wpF99Ek\"\nmember u g r\nsession u g r\ntool T\ndatasettype D tools=T\n"
         "dataset @d type=D name=x tool=Nope\n",
         "bad.site:9: unknown tool Nope"},
    };
    tag_t widget = 0;
    ITEM_find_item("000100", &widget);
    ASSERT_NE(widget, 0u);
    long objects = STORE_object_count();
    tag_t extra = 0;
    ASSERT_EQ(FL_create("made before", "", &extra), 0);
    ERROR_store(3, 1234);
    for (const Case& c : cases) {
        std::string error;
        EXPECT_NE(SITE_load_text(c.text, "bad.site", &error), 0) << c.text;
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "got: " << error;
        EXPECT_EQ(STORE_object_count(), objects + 1) << c.text;
        EXPECT_EQ(Tag::isValid(widget), 0);
        EXPECT_EQ(Tag::isValid(extra), 0);
        EXPECT_EQ(vl::test::storedCodes(), std::vector<int>{1234}) << "the error store is as it was";
    }
    EXPECT_EQ(SITE_loaded_path(), VL_DEFAULT_SITE);
    SITE_reset();
    EXPECT_NE(Tag::isValid(extra), 0) << "reset still returns to the last good load";
    EXPECT_EQ(STORE_object_count(), objects);
}

TEST_F(PlatformFixture, AMissingFileIsRefused) {
    std::string error;
    EXPECT_NE(SITE_load("/nonexistent/site/file.site", &error), 0);
    EXPECT_EQ(error, "/nonexistent/site/file.site:0: cannot read the file");
}

TEST_F(PlatformFixture, PasswordHashesVerifyOnlyTheirPassword) {
    std::string h = SITE_hash_password("s3cret");
    ASSERT_EQ(h.rfind("$argon2id$", 0), 0u);
    EXPECT_NE(SITE_hash_password("s3cret"), h) << "salted";
    std::string text = std::string("format 1\ngroup g\nrole r\nuser u group=g password=\"") + h +
                       "\"\nmember u g r\nsession u g r\n";
    std::string error;
    ASSERT_EQ(SITE_load_text(text, "hash.site", &error), 0) << error;
    std::ifstream in(VL_DEFAULT_SITE);
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_EQ(all.str().find("alice-pw"), std::string::npos) << "the fixture holds hashes only";
}

// The statement tables of docs/site-format.md: each row's keywords (the first
// word of each `...` in its first cell) with the `owner` of its last cell.
std::set<std::pair<std::string, std::string>> documentedOwners() {
    std::ifstream in(std::filesystem::path(VL_DEFAULT_SITE).parent_path().parent_path() / "docs" / "site-format.md");
    std::set<std::pair<std::string, std::string>> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("| `", 0) != 0) continue;
        std::size_t cellEnd = line.find(" | ", 2);
        std::size_t ownerAt = line.rfind(" | `");
        if (cellEnd == std::string::npos || ownerAt == std::string::npos || ownerAt <= cellEnd) continue;
        std::string owner = line.substr(ownerAt + 4, line.find('`', ownerAt + 4) - ownerAt - 4);
        for (std::size_t at = line.find('`'); at < cellEnd; at = line.find('`', line.find('`', at + 1) + 1)) {
            std::size_t word = line.find_first_of(" `", at + 1);
            out.emplace(line.substr(at + 1, word - at - 1), owner);
        }
    }
    return out;
}

TEST(FixtureStatements, EachIsDeclaredOnceAndDocumentedWithTheFolderThatOwnsIt) {
    std::vector<std::pair<std::string, std::string>> owners = site::statementOwners();
    std::map<std::string, std::string> byKeyword;
    for (const auto& [keyword, folder] : owners)
        EXPECT_TRUE(byKeyword.emplace(keyword, folder).second) << keyword << " is declared twice";
    std::set<std::pair<std::string, std::string>> declared(owners.begin(), owners.end());
    std::set<std::pair<std::string, std::string>> documented = documentedOwners();
    ASSERT_FALSE(documented.empty()) << "docs/site-format.md has no statement table";
    for (const auto& d : declared)
        EXPECT_TRUE(documented.count(d)) << d.first << " (" << d.second << ") is not documented with its owner";
    for (const auto& d : documented)
        EXPECT_TRUE(declared.count(d)) << d.first << " is documented as " << d.second
                                       << "'s, which has no such statement";
}

}  // namespace
