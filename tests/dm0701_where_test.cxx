// whereReferenced and whereUsed through real requests on the default site
// and its assembly: the cart pins the frame, which holds the bracket
// unpinned and the bolt group; bracket A holds the widget unpinned, bracket
// B pins widget A. The bracket has revisions A and B, the widget only A.
#include "dm0701_support.hxx"

#include "aom/item.hxx"
#include "foundation/error_codes.hxx"

#include <set>
#include <string>
#include <vector>

namespace dm0701 {
namespace {

std::string objects(const std::vector<std::string>& uids) {
    std::string out;
    for (const auto& u : uids) out += "<object uid=\"" + esc(u) + "\"/>";
    return out;
}

std::string whereReferencedRequest(const std::vector<std::string>& uids, int numLevels) {
    return "<WhereReferencedInput numLevels=\"" + std::to_string(numLevels) + "\">" + objects(uids) +
           "</WhereReferencedInput>";
}

std::string whereUsedRequest(const std::vector<std::string>& uids, int numLevels, bool precise,
                             const std::string& rule) {
    return "<WhereUsedInput numLevels=\"" + std::to_string(numLevels) + "\" whereUsedPrecise=\"" +
           (precise ? "true" : "false") + "\">" + objects(uids) + "<rule uid=\"" + esc(rule) +
           "\"/></WhereUsedInput>";
}

unsigned int revisionOf(const char* itemId, const char* revId) {
    tag_t item = 0, rev = 0;
    ITEM_find_item(itemId, &item);
    ITEM_find_revision(item, revId, &rev);
    return rev;
}

std::string revUid(const char* itemId, const char* revId) { return uidOf(revisionOf(itemId, revId)); }

std::string itemUid(const char* itemId) {
    tag_t item = 0;
    ITEM_find_item(itemId, &item);
    return uidOf(item);
}

// "<item id>/<rev id>" for a revision, else the uid itself.
std::string label(const std::string& uid) {
    const tag_t t = tagOf(uid);
    tag_t item = 0;
    if (Tag::isValid(t) != 0 || ITEM_ask_item_of_rev(t, &item) != 0) {
        ERROR_store_clear();
        return uid;
    }
    char* id = nullptr;
    char* rev = nullptr;
    ITEM_ask_id(item, &id);
    ITEM_ask_rev_id(t, &rev);
    std::string s = std::string(id) + "/" + rev;
    SM_free(id);
    SM_free(rev);
    return s;
}

struct Output {
    std::string input;
    std::vector<std::string> infos;  // "<parent>@<level>", "<type>:<relation>@<level>"
    friend bool operator==(const Output&, const Output&) = default;
    friend std::ostream& operator<<(std::ostream& o, const Output& x) {
        o << x.input << " {";
        for (const auto& i : x.infos) o << " " << i;
        return o << " }";
    }
};
using Outputs = std::vector<Output>;
using Errors = std::vector<std::pair<std::string, std::vector<int>>>;  // (labelled key, codes)

Errors errorsOf(const Parsed& r) {
    Errors out;
    for (const auto& e : r.errors()) out.emplace_back(label(e.uid), e.codes);
    return out;
}

Outputs whereUsedOutputs(const Parsed& r) {
    Outputs out;
    for (const XMLNode* o : r.outputs()) {
        Output x{label(Parsed::outRef(*o, "inputObject")), {}};
        for (const XMLNode* i : childrenNamed(*o, "info"))
            x.infos.push_back(label(Parsed::outRef(*i, "parentItemRev")) + "@" + attrOr(*i, "level"));
        out.push_back(x);
    }
    return out;
}

Outputs whereReferencedOutputs(const Parsed& r) {
    Outputs out;
    for (const XMLNode* o : r.outputs()) {
        Output x{label(Parsed::outRef(*o, "inputObject")), {}};
        for (const XMLNode* i : childrenNamed(*o, "info")) {
            const XMLNode* who = i->child("referencer");
            x.infos.push_back((who ? attrOr(*who, "type") : "<missing>") + ":" + attrOr(*i, "relation") + "@" +
                              attrOr(*i, "level"));
        }
        out.push_back(x);
    }
    return out;
}

// Every referencer or parent answered is a plain object of the reply, and nothing else is.
void expectPlainObjectsAreTheFindings(const Parsed& r, const char* field) {
    std::set<std::string> found;
    for (const XMLNode* o : r.outputs())
        for (const XMLNode* i : childrenNamed(*o, "info")) found.insert(Parsed::outRef(*i, field));
    const std::vector<std::string> plain = r.list("plainObj");
    EXPECT_EQ(std::set<std::string>(plain.begin(), plain.end()), found) << r.text;
}

unsigned int deletedFolder() {
    unsigned int f = dm0603::newFolder("short-lived");
    EXPECT_EQ(AOM_delete(f), 0);
    return f;
}

class Dm0701WhereReferenced : public vl::test::ServiceTest {};

TEST_F(Dm0701WhereReferenced, EachUsableInputIsAnsweredInOrderAndTheOthersAreKeyedErrors) {
    const std::string widget = itemUid("000100"), gone = uidOf(deletedFolder());
    const std::string lonely = uidOf(dm0603::newFolder("nothing refers to me"));
    Parsed r(invoke(kService, "whereReferenced", whereReferencedRequest({widget, "", gone, lonely, widget}, 2)));
    ASSERT_TRUE(r.ok()) << r.text;
    const Output widgetUses{widget, {"Folder:contents@1", "PSOccurrence:child@1", "User:home_folder@2"}};
    EXPECT_EQ(whereReferencedOutputs(r), (Outputs{widgetUses, {lonely, {}}, widgetUses}));
    EXPECT_EQ(errorsOf(r), (Errors{{"", {P::ERR_UNUSABLE_INPUT_OBJECT}}, {gone, {P::ERR_UNUSABLE_INPUT_OBJECT}}}));
    expectPlainObjectsAreTheFindings(r, "referencer");
}

TEST_F(Dm0701WhereReferenced, AFailingQueryIsKeyedByItsInputAndTheNextIsStillAnswered) {
    const unsigned int widget = tagOf(itemUid("000100"));
    const std::string bolts = "FrameBolts";
    P::FAULT_inject("WSOM_where_referenced", P::ERR_INJECTED, widget);
    Parsed r(invoke(kService, "whereReferenced", whereReferencedRequest({uidOf(widget), bolts}, 1)));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_EQ(whereReferencedOutputs(r), (Outputs{{bolts, {"PSOccurrence:child@1"}}}));
    EXPECT_EQ(errorsOf(r), (Errors{{uidOf(widget), {P::ERR_INJECTED, P::ERR_WHERE_REFERENCED_FAILED}}}))
        << "the store's own error, then the operation's";
}

TEST_F(Dm0701WhereReferenced, NoInputsGiveAnEmptyAnswer) {
    Parsed r(invoke(kService, "whereReferenced", whereReferencedRequest({}, 1)));
    ASSERT_TRUE(r.ok()) << r.text;
    EXPECT_TRUE(r.outputs().empty());
    EXPECT_TRUE(r.sd->children().empty()) << r.text;
}

class Dm0701WhereUsed : public vl::test::ServiceTest {};

TEST_F(Dm0701WhereUsed, TheFlagsChooseTheQueryAndAnItemIsAskedForItsLatestRevision) {
    const std::string widgetA = revUid("000100", "A"), rule = "LatestWorking";
    const std::string folder = uidOf(dm0603::newFolder("not a part"));
    const std::vector<std::string> allFromWidget = {"BRK-0200/A@1", "FRM-0300/A@2", "CRT-0400/A@3",
                                                    "BRK-0200/B@1", "FRM-0300/A@2", "CRT-0400/A@3"};
    struct Case {
        const char* what;
        std::vector<std::string> inputs;
        int numLevels;
        bool precise;
        std::string rule;
        Outputs expected;
        Errors errors;
    };
    const Case cases[] = {
        {"an item, all parents", {itemUid("000100")}, -1, false, "", {{"000100/A", allFromWidget}}, {}},
        {"an item answers for its latest revision", {itemUid("BRK-0200")}, -1, false, "",
         {{"BRK-0200/B", {"FRM-0300/A@1", "CRT-0400/A@2"}}}, {}},
        {"a revision, configured by the rule", {widgetA}, -1, false, rule,
         {{"000100/A", {"BRK-0200/A@1", "BRK-0200/B@1", "FRM-0300/A@2", "CRT-0400/A@3"}}}, {}},
        {"precise ignores the rule", {widgetA}, -1, true, rule, {{"000100/A", {"BRK-0200/B@1"}}}, {}},
        {"a group", {"FrameBolts"}, 1, false, "", {{"FrameBolts", {"FRM-0300/A@1"}}}, {}},
        {"two levels", {widgetA}, 2, false, "",
         {{"000100/A", {"BRK-0200/A@1", "FRM-0300/A@2", "BRK-0200/B@1", "FRM-0300/A@2"}}}, {}},
        {"zero levels ask one", {widgetA}, 0, false, "", {{"000100/A", {"BRK-0200/A@1", "BRK-0200/B@1"}}}, {}},
        {"-2 keeps the top of every path", {widgetA}, -2, false, "", {{"000100/A", {"CRT-0400/A@3", "CRT-0400/A@3"}}},
         {}},
        {"a folder is no part: keyed, the next input answered", {folder, "FrameBolts"}, 1, true, "",
         {{"FrameBolts", {"FRM-0300/A@1"}}}, {{folder, {P::ERR_UNUSABLE_INPUT_OBJECT}}}},
        {"the top is used nowhere: an output without parents", {revUid("CRT-0400", "A")}, -1, false, "",
         {{"CRT-0400/A", {}}}, {}},
        {"no inputs", {}, -1, false, "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed r(invoke(kService, "whereUsed", whereUsedRequest(c.inputs, c.numLevels, c.precise, c.rule)));
        ASSERT_TRUE(r.ok()) << r.text;
        ASSERT_EQ(r.root->name(), "WhereUsedResponse");
        EXPECT_EQ(whereUsedOutputs(r), c.expected);
        EXPECT_EQ(errorsOf(r), c.errors);
        expectPlainObjectsAreTheFindings(r, "parentItemRev");
    }
}

TEST_F(Dm0701WhereUsed, AFailingQueryIsKeyedByTheRevisionAskedAbout) {
    struct Case {
        const char* failing;
        bool precise;
        std::string rule;
    };
    const Case cases[] = {
        {"PS_where_used_precise", true, "LatestWorking"},
        {"PS_where_used_configured", false, "LatestWorking"},
        {"PS_where_used_all", false, ""},
    };
    const unsigned int bracketB = revisionOf("BRK-0200", "B");
    // The injected fault shows in the answer only when the flags chose its query.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        P::FAULT_clear();
        P::FAULT_inject(c.failing, P::ERR_INJECTED, bracketB);
        Parsed r(invoke(kService, "whereUsed",
                        whereUsedRequest({itemUid("BRK-0200"), revUid("FRM-0300", "A")}, 1, c.precise, c.rule)));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_EQ(errorsOf(r), (Errors{{"BRK-0200/B", {P::ERR_INJECTED, P::ERR_WHERE_USED_FAILED}}}))
            << "the item's latest revision is the key, not the item";
        EXPECT_EQ(whereUsedOutputs(r), (Outputs{{"FRM-0300/A", {"CRT-0400/A@1"}}}));
    }
}

TEST_F(Dm0701WhereUsed, AnObjectThatCannotBeLoadedFailsTheWholeRequest) {
    for (const std::string& bad : {std::string(), uidOf(deletedFolder()), std::string("NoSuchUid00009")}) {
        SCOPED_TRACE(bad);
        Parsed r(invoke(kService, "whereUsed", whereUsedRequest({"FrameBolts", bad}, 1, false, "")));
        EXPECT_TRUE(r.isException()) << r.text;
    }
}

// A structure whose where-used answer has the levels 1, 2, 3, 1, 2; and
// one item used by three top-level revisions.
class Dm0701WhereUsedTops : public dm0603::ExtendedSiteTest {
protected:
    Dm0701WhereUsedTops()
        : ExtendedSiteTest(R"(
item @x id=X-1 owner=alice revlabel=@xA
item @p1 id=P-1 owner=alice revlabel=@p1A
item @p2 id=P-2 owner=alice revlabel=@p2A
item @p3 id=P-3 owner=alice revlabel=@p3A
item @q1 id=Q-1 owner=alice revlabel=@q1A
item @q2 id=Q-2 owner=alice revlabel=@q2A
bom @p1A @xA
bom @p2A @p1A
bom @p3A @p2A
bom @q1A @x
bom @q2A @q1
item @y id=Y-1 owner=alice revlabel=@yA
bom @p3A @y
bom @q2A @yA
bom @cartA @y
)") {}
};

TEST_F(Dm0701WhereUsedTops, MinusTwoKeepsOnlyEntriesNoDeeperOneFollows) {
    struct Case {
        const char* item;
        int numLevels;
        bool precise;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"X-1", -1, false, {"P-1/A@1", "P-2/A@2", "P-3/A@3", "Q-1/A@1", "Q-2/A@2"}},
        {"X-1", -2, false, {"P-3/A@3", "Q-2/A@2"}},
        {"X-1", -2, true, {"P-3/A@3"}},
        {"Y-1", -2, false, {"P-3/A@1", "Q-2/A@1", "CRT-0400/A@1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + std::to_string(c.numLevels));
        Parsed r(invoke(kService, "whereUsed", whereUsedRequest({itemUid(c.item)}, c.numLevels, c.precise, "")));
        ASSERT_TRUE(r.ok()) << r.text;
        EXPECT_EQ(whereUsedOutputs(r), (Outputs{{std::string(c.item) + "/A", c.expected}}));
        expectPlainObjectsAreTheFindings(r, "parentItemRev");
    }
}

}  // namespace
}  // namespace dm0701
