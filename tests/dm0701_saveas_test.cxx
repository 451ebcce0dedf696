// Save as new item, through real requests.
#include "dm0701_support.hxx"

#include "aom/grm.hxx"
#include "aom/item.hxx"
#include "foundation/error_codes.hxx"

#include <algorithm>

namespace dm0701 {
namespace {

constexpr int kInjected = 990779;

struct Info {
    std::string clientId;
    std::string sourceUid;
    std::string itemId;
    std::string name;
    std::string description;
    std::string folderUid;
};

std::string text(tag_t object, const char* property) {
    scoped_smptr<char> value;
    EXPECT_EQ(AOM_UIF_ask_value(object, property, &value), 0) << property;
    return value.get() ? value.get() : "";
}

class SaveAsTest : public vl::test::ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        tag_t widget = 0;
        ASSERT_EQ(ITEM_find_item("000100", &widget), 0);
        ASSERT_EQ(ITEM_ask_latest_rev(widget, &m_source), 0);
    }
    static Parsed call(const std::vector<Info>& infos) {
        std::string xml = "<SaveAsNewItemInput>";
        for (const Info& i : infos)
            xml += "<info clientId=\"" + esc(i.clientId) + "\" itemId=\"" + esc(i.itemId) + "\" revId=\"A\" name=\"" +
                   esc(i.name) + "\" description=\"" + esc(i.description) + "\"><itemRevision uid=\"" +
                   esc(i.sourceUid) + "\"/><folder uid=\"" + esc(i.folderUid) + "\"/></info>";
        return Parsed(invoke(kService, "saveAsNewItem", xml + "</SaveAsNewItemInput>"));
    }
    Info info(const std::string& clientId, const std::string& itemId) const {
        return Info{clientId, uidOf(m_source), itemId, "", "", ""};
    }
    // client id -> (item uid, revision uid)
    static std::map<std::string, std::pair<std::string, std::string>> outputs(const Parsed& reply) {
        std::map<std::string, std::pair<std::string, std::string>> out;
        for (const auto* e : childrenNamed(*reply.root, "inputToNewItem")) {
            const auto* v = e->child("value");
            out[attrOr(*e, "key")] = {Parsed::outRef(*v, "item"), Parsed::outRef(*v, "itemRev")};
        }
        return out;
    }
    tag_t m_source = 0;
};

TEST_F(SaveAsTest, NamesAndDescriptionsAreKeptOrSetOnBoth) {
    Info keep = info("keep", "SA-0001");
    Info given = info("given", "SA-0002");
    given.name = "New name";
    given.description = "New description";
    Parsed reply = call({keep, given});
    ASSERT_TRUE(reply.ok()) << reply.text;
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
    auto out = outputs(reply);
    ASSERT_EQ(out.size(), 2u);
    for (const auto& [id, expectName, expectDesc] :
         {std::tuple<std::string, std::string, std::string>{"keep", "Widget", "A widget"},
          {"given", "New name", "New description"}}) {
        SCOPED_TRACE(id);
        for (const std::string& uid : {out[id].first, out[id].second}) {
            EXPECT_EQ(text(tagOf(uid), "object_name"), expectName);
            if (id == "given") {
                EXPECT_EQ(text(tagOf(uid), "object_desc"), expectDesc);
            }
        }
    }
}

TEST_F(SaveAsTest, DeepCopyCopiesAndReferencesAsTheRulesSay) {
    Parsed reply = call({info("c", "SA-0010")});
    auto out = outputs(reply);
    tag_t revision = tagOf(out["c"].second);
    std::vector<std::string> created = reply.list("createdObj");
    // Item, revision, then the copied datasheet (Requirement: copy).
    ASSERT_EQ(created.size(), 3u) << reply.text;
    EXPECT_EQ(created[0], out["c"].first);
    EXPECT_EQ(created[1], out["c"].second);
    tag_t copy = tagOf(created[2]);
    tag_t requirement = 0, relation = 0;
    ASSERT_EQ(GRM_find_relation_type("Requirement", &requirement), 0);
    EXPECT_EQ(GRM_find_relation(revision, copy, requirement, &relation), 0);
    EXPECT_NE(relation, 0u);
    EXPECT_EQ(text(copy, "object_name"), "Widget datasheet");
}

TEST_F(SaveAsTest, DuplicateClientIdsKeepTheFirstOutput) {
    Parsed reply = call({info("same", "SA-0020"), info("same", "SA-0021")});
    auto out = outputs(reply);
    ASSERT_EQ(out.size(), 1u);
    tag_t first = 0, second = 0;
    ASSERT_EQ(ITEM_find_item("SA-0020", &first), 0);
    ASSERT_EQ(ITEM_find_item("SA-0021", &second), 0);
    EXPECT_EQ(out["same"].first, uidOf(first));
    std::vector<std::string> created = reply.list("createdObj");
    EXPECT_EQ(std::count(created.begin(), created.end(), uidOf(second)), 1);
}

TEST_F(SaveAsTest, FoldersOpenTheModuleOnceAndTakeItemsAtTheirEnds) {
    tag_t one = newFolder("One");
    tag_t two = newFolder("Two");
    tag_t filler = newFolder("Filler");
    ASSERT_EQ(AOM_refresh(one, 1), 0);
    ASSERT_EQ(FL_insert(one, filler, 0), 0);
    ASSERT_EQ(AOM_save(one), 0);
    ASSERT_EQ(AOM_refresh(one, 0), 0);
    Info a = info("a", "SA-0030"), b = info("b", "SA-0031"), c = info("c", "SA-0032");
    a.folderUid = uidOf(one);
    b.folderUid = uidOf(two);
    c.folderUid = uidOf(one);
    P::CALLS_clear();
    Parsed reply = call({a, b, c});
    EXPECT_TRUE(reply.errors().empty()) << reply.text;
    std::vector<std::string> calls = P::CALLS_log();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "FL_init_module"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "FL_exit_module"), 1);
    auto out = outputs(reply);
    EXPECT_EQ(contentsOf(one), (std::vector<unsigned int>{filler, tagOf(out["a"].first), tagOf(out["c"].first)}));
    EXPECT_EQ(contentsOf(two), (std::vector<unsigned int>{tagOf(out["b"].first)}));
    std::vector<std::string> updated = reply.list("updatedObj");
    EXPECT_EQ(updated, (std::vector<std::string>{uidOf(one), uidOf(two)}));
}

TEST_F(SaveAsTest, EachFailureIsKeyedByWhatItConcerns) {
    enum Key { Source, NewItem, NewRevision, None };
    struct Case {
        const char* function;
        Key key;
        bool output;     // the element is in inputToNewItem
        bool inFolder;   // the new item went into the folder
    };
    const Case cases[] = {
        {"ITEM_copy_item", Source, false, false},     {"ITEM_set_name", NewItem, true, true},
        {"ITEM_set_rev_name", NewRevision, true, true}, {"ITEM_perform_deepcopy", NewRevision, true, true},
        {"FL_init_module", None, true, false},        {"FL_insert", NewItem, true, false},
        {"FL_exit_module", None, true, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        tag_t folder = newFolder("Target");
        Info in = info("c", "SA-01" + std::to_string(10 + n++));
        in.name = "Renamed";
        in.folderUid = uidOf(folder);
        P::FAULT_inject(c.function, kInjected);
        Parsed reply = call({in});
        P::FAULT_clear();
        auto out = outputs(reply);
        EXPECT_EQ(out.count("c"), c.output ? 1u : 0u);
        auto errors = reply.errors();
        ASSERT_EQ(errors.size(), 1u) << reply.text;
        EXPECT_EQ(errors[0].codes.back(), kInjected);
        std::string expected = c.key == Source        ? uidOf(m_source)
                               : c.key == NewItem     ? out["c"].first
                               : c.key == NewRevision ? out["c"].second
                                                      : "";
        EXPECT_EQ(errors[0].uid, expected);
        EXPECT_EQ(contentsOf(folder).size(), c.inFolder ? 1u : 0u);
        if (c.output) {
            std::vector<std::string> created = reply.list("createdObj");
            EXPECT_EQ(std::count(created.begin(), created.end(), out["c"].first), 1);
            EXPECT_EQ(std::count(created.begin(), created.end(), out["c"].second), 1);
        }
    }
}

TEST_F(SaveAsTest, UnusableSourceOrRefusedIdLeavesNothing) {
    const long objects = P::STORE_object_count();
    struct Case {
        const char* name;
        std::string source;
        std::string itemId;
        int code;
    };
    const Case cases[] = {
        {"null source", "", "SA-0200", P::ERR_INVALID_TAG},
        {"unknown source", "no-such-uid", "SA-0201", P::ERR_INVALID_TAG},
        {"taken id", uidOf(m_source), "000100", P::ERR_DUPLICATE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Info in{"c", c.source, c.itemId, "", "", ""};
        Parsed reply = call({in});
        EXPECT_TRUE(outputs(reply).empty());
        auto errors = reply.errors();
        ASSERT_EQ(errors.size(), 1u) << reply.text;
        EXPECT_EQ(errors[0].uid, c.source);
        EXPECT_EQ(errors[0].codes.back(), c.code);
        EXPECT_EQ(P::STORE_object_count(), objects);
    }
}

}  // namespace
}  // namespace dm0701
