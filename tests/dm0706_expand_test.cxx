// Relation expansion: the related object collector on its own, and both
// expand operations on one fixture seen from either side.
#include "dm0706_support.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/test_seams.hxx"
#include "soa_server/utils.hxx"
#include "soa_services/core/code/related_object_collector.hxx"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dm0706 {
namespace {

namespace P = vl::platform;
using Velmora::Soa::Core::Util::RelatedObjectCollector;

// xa (an Item) refers to a Part item, a Document
// (a class derived from Item), a folder and a dataset, and requires xb's
// revision, which has a dataset and a folder attached.
const char* const kRelated = R"(
item @xa id=EX-0001 name="A" uid=xa revuid=xaA
item @xb id=EX-0002 name="B" type=Part uid=xb revlabel=@xbA revuid=xbA
item @xd id=DOC-0500 type=Document name="D" uid=xd revuid=xdA
folder @xf name="XF" uid=xf
dataset @xs type=Text name="XS" uid=xs
dataset @xbDs type=PDF name="B sheet" uid=xbDs
folder @xbF name="B folder" uid=xbF
relate @xa @xb Reference
relate @xa @xd Reference
relate @xa @xf Reference
relate @xa @xs Reference
relate @xa @xbA Requirement
relate @xbA @xbDs Attachment
relate @xbA @xbF Attachment
relate @xs @xf Reference
relate @xs @xbF Attachment
)";

unsigned int tagOf(const std::string& uid) { return Velmora::Soa::Internal::Server::Utils::uidToTag(uid); }

std::vector<std::string> uidsOf(const std::vector<unsigned int>& tags) { return uids(tags); }

int storedErrors() {
    int n = -1;
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    return n;
}

class Dm0706CollectorTest : public Dm0706SiteTest {
protected:
    Dm0706CollectorTest() : Dm0706SiteTest(kRelated) {}
};

TEST_F(Dm0706CollectorTest, RelationAndTypeNamesSelectWhatIsListed) {
    struct Case {
        const char* what;
        std::string relation;
        std::vector<std::string> types;
        bool secondaries;
        std::string object;
        std::vector<std::string> expected;
    } cases[] = {
        {"empty relation name lists every relation type", "", {}, true, "xs", {"xf", "xbF"}},
        {"empty type set keeps all", "Reference", {}, true, "xa", {"xb", "xd", "xf", "xs"}},
        {"own type name only", "Reference", {"Part"}, true, "xa", {"xb"}},
        {"a type named twice counts once", "Reference", {"Part", "Folder", "Part"}, true, "xa", {"xb", "xf"}},
        {"primaries of a secondary", "Reference", {"Item"}, false, "xb", {"xa"}},
        {"type names are case-sensitive", "Reference", {"item"}, false, "xb", {}},
        {"a derived class's type is its own", "Reference", {"Item"}, true, "xa", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RelatedObjectCollector collector(c.relation, c.types, true);
        std::vector<unsigned int> found;
        if (c.secondaries)
            collector.getSecondaryRelatedObjects(tagOf(c.object), found);
        else
            collector.getPrimaryRelatedObjects(tagOf(c.object), found);
        EXPECT_EQ(uidsOf(found), c.expected);
        EXPECT_EQ(storedErrors(), 0);
    }
}

TEST_F(Dm0706CollectorTest, AnUnknownRelationNameIsRefusedWhenBuilt) {
    try {
        RelatedObjectCollector collector("NoSuchRelation", {"Item"}, true);
        ADD_FAILURE() << "built";
    } catch (const IFail& e) {
        EXPECT_EQ(e.ifail(), P::ERR_NO_SUCH_RELATION_TYPE);
    }
    EXPECT_EQ(ERROR_store_ask_last_ifail(), P::ERR_NO_SUCH_RELATION_TYPE);
    ERROR_store_clear();
}

TEST_F(Dm0706CollectorTest, AFailedTypeLookUpIsSkippedOrPassedOn) {
    const std::vector<std::string> types = {"Part", "Folder", "Text"};
    {
        // Ignored: left out, the rest examined, nothing left in the store.
        P::FAULT_inject("OSTRATYPE_ask_object_type", P::ERR_INJECTED, tagOf("xd"));
        RelatedObjectCollector collector("Reference", types, true);
        std::vector<unsigned int> found;
        collector.getSecondaryRelatedObjects(tagOf("xa"), found);
        EXPECT_EQ(uidsOf(found), (std::vector<std::string>{"xb", "xf", "xs"}));
        EXPECT_EQ(storedErrors(), 0);
    }
    {
        // Passed on: what came before stays.
        P::FAULT_inject("OSTRATYPE_ask_object_type", P::ERR_INJECTED, tagOf("xd"));
        RelatedObjectCollector collector("Reference", types, false);
        std::vector<unsigned int> found;
        EXPECT_THROW(collector.getSecondaryRelatedObjects(tagOf("xa"), found), IFail);
        EXPECT_EQ(uidsOf(found), std::vector<std::string>{"xb"});
        EXPECT_EQ(ERROR_store_ask_last_ifail(), P::ERR_INJECTED);
        ERROR_store_clear();
    }
}

TEST_F(Dm0706CollectorTest, CallsAppendAndAFailedListingLeavesTheResultAlone) {
    RelatedObjectCollector collector("Reference", {"Folder"}, true);
    std::vector<unsigned int> found;
    collector.getSecondaryRelatedObjects(tagOf("xa"), found);
    collector.getSecondaryRelatedObjects(tagOf("xa"), found);
    EXPECT_EQ(uidsOf(found), (std::vector<std::string>{"xf", "xf"}));
    P::FAULT_inject("GRM_list_secondary_objects_only", P::ERR_INJECTED);
    EXPECT_THROW(collector.getSecondaryRelatedObjects(tagOf("xa"), found), IFail);
    EXPECT_EQ(found.size(), 2u);
    ERROR_store_clear();
}

// ---- the two operations

struct Filter {
    std::string relation;
    std::vector<std::string> types;
};

std::string request(bool fromPrimary, const std::vector<std::string>& objects, bool expItemRev,
                    const std::vector<Filter>& filters) {
    const std::string root = fromPrimary ? "ExpandGRMRelationsForPrimaryInput" : "ExpandGRMRelationsForSecondaryInput";
    const std::string element = fromPrimary ? "primaryObject" : "secondaryObject";
    std::string xml = "<" + root + ">";
    for (const auto& o : objects) xml += "<" + element + " uid=\"" + esc(o) + "\"/>";
    xml += std::string("<pref expItemRev=\"") + (expItemRev ? "true" : "false") + "\">";
    for (const auto& f : filters) {
        xml += "<info relationName=\"" + esc(f.relation) + "\">";
        for (const auto& t : f.types) xml += "<objectTypeName value=\"" + esc(t) + "\"/>";
        xml += "</info>";
    }
    return xml + "</pref></" + root + ">";
}

class Dm0706ExpandTest : public Dm0706SiteTest {
protected:
    Dm0706ExpandTest() : Dm0706SiteTest(kRelated) {}

    struct Result {
        std::vector<std::string> outputs;  // input:relation[objects]...
        std::vector<std::string> plain;
        std::vector<std::string> errors;  // uid:codes
    };
    static Result expand(bool fromPrimary, const std::vector<std::string>& objects, bool expItemRev,
                         const std::vector<Filter>& filters) {
        Parsed reply = call(fromPrimary ? "expandGRMRelationsForPrimary" : "expandGRMRelationsForSecondary",
                            request(fromPrimary, objects, expItemRev, filters));
        EXPECT_EQ(reply.root->name(), "ExpandGRMRelationsResponse") << reply.text;
        Result r;
        for (const XMLNode* o : reply.outputs()) {
            std::string line = refAttr(*o, "inputObject") + ":";
            for (const XMLNode* d : childrenNamed(*o, "otherSideObjData")) {
                line += attrOr(*d, "relationName") + "[";
                for (const auto& uid : refsNamed(*d, "otherSideObject")) line += uid + ",";
                line += "]";
            }
            r.outputs.push_back(line);
        }
        r.plain = reply.list("plainObj");
        for (const auto& e : reply.errors()) {
            std::string line = e.uid + ":";
            for (int c : e.codes) line += std::to_string(c) + ",";
            r.errors.push_back(line);
        }
        return r;
    }
};

std::string codes(std::initializer_list<int> list) {
    std::string s;
    for (int c : list) s += std::to_string(c) + ",";
    return s;
}

TEST_F(Dm0706ExpandTest, FromEitherSideWithTheFurtherSteps) {
    struct Case {
        const char* what;
        bool fromPrimary;
        std::vector<std::string> objects;
        bool expItemRev;
        std::vector<Filter> filters;
        Result expected;
    } cases[] = {
        // An item adds its latest revision; the Document (a class derived
        // from Item), the folder and the dataset are not expanded.
        {"primary, items to their revision", true, {"xa"}, false, {{"Reference", {}}},
         {{"xa:Reference[xb,xd,xf,xs,]"}, {"xa", "xb", "xbA", "xd", "xf", "xs"}, {}}},
        {"primary, and the revision's datasets", true, {"xa"}, true, {{"Reference", {}}},
         {{"xa:Reference[xb,xd,xf,xs,]"}, {"xa", "xb", "xbA", "xbDs", "xd", "xf", "xs"}, {}}},
        {"a related revision alone", true, {"xa"}, false, {{"Requirement", {}}}, {{"xa:Requirement[xbA,]"}, {"xa", "xbA"}, {}}},
        {"a related revision's datasets", true, {"xa"}, true, {{"Requirement", {}}},
         {{"xa:Requirement[xbA,]"}, {"xa", "xbA", "xbDs"}, {}}},
        {"secondary, the same relation seen back", false, {"xb"}, false, {{"Reference", {}}},
         {{"xb:Reference[xa,]"}, {"xb", "xa", "xaA"}, {}}},
        {"one object through two filters", true, {"xa"}, false, {{"Reference", {"Folder"}}, {"", {"Folder"}}},
         {{"xa:Reference[xf,][xf,]"}, {"xa", "xf"}, {}}},
        {"an unknown relation among good ones", true, {"xa"}, false,
         {{"Reference", {"Folder"}}, {"NoSuch", {}}, {"Requirement", {}}},
         {{"xa:Reference[xf,]Requirement[xbA,]"}, {"xa", "xf", "xbA"}, {":" + codes({P::ERR_NO_SUCH_RELATION_TYPE})}}},
        {"no filters: each object reported and answered empty", true, {"xa", "xb"}, true, {},
         {{"xa:", "xb:"}, {"xa", "xb"},
          {":" + codes({P::ERR_NO_RELATION_FILTERS}), ":" + codes({P::ERR_NO_RELATION_FILTERS})}}},
        {"an invalid object without filters", true, {"nosuchuid"}, false, {},
         {{}, {}, {":" + codes({P::ERR_NO_RELATION_FILTERS}), ":" + codes({P::ERR_INVALID_TAG})}}},
        {"an invalid object among good ones", false, {"xb", "", "xd"}, false, {{"Reference", {"Item"}}},
         {{"xb:Reference[xa,]", "xd:Reference[xa,]"}, {"xb", "xa", "xaA", "xd"}, {":" + codes({P::ERR_INVALID_TAG})}}},
        {"no objects", true, {}, true, {{"Reference", {}}}, {{}, {}, {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Result r = expand(c.fromPrimary, c.objects, c.expItemRev, c.filters);
        EXPECT_EQ(r.outputs, c.expected.outputs);
        EXPECT_EQ(r.plain, c.expected.plain);
        EXPECT_EQ(r.errors, c.expected.errors);
    }
}

TEST_F(Dm0706ExpandTest, PlatformFailuresAreKeyedAsTheyArise) {
    struct Case {
        const char* what;
        const char* function;
        std::string onlyFor;
        bool expItemRev;
        std::vector<Filter> filters;
        Result expected;
    } cases[] = {
        {"loading the input object", "Tag::object", "xa", false, {{"Reference", {}}},
         {{}, {}, {":" + codes({P::ERR_INJECTED, P::ERR_OBJECT_NOT_LOADED})}}},
        {"listing one filter's objects", "GRM_list_secondary_objects_only", "xa", false,
         {{"Reference", {"Folder"}}, {"Requirement", {}}},
         {{"xa:Requirement[xbA,]"}, {"xa", "xbA"}, {":" + codes({P::ERR_INJECTED})}}},
        // The related item stays in its entry; its revision is not reached.
        {"a related item's latest revision", "ITEM_ask_latest_rev", "xb", false, {{"Reference", {"Part", "Text"}}},
         {{"xa:Reference[xb,xs,]"}, {"xa", "xb", "xs"}, {"xb:" + codes({P::ERR_INJECTED})}}},
        {"a revision's relations", "GRM_list_all_related_objects", "xbA", true, {{"Requirement", {}}},
         {{"xa:Requirement[xbA,]"}, {"xa", "xbA"}, {":" + codes({P::ERR_INJECTED})}}},
        // The dataset found before the folder failed to load is kept.
        {"loading a revision's related object", "Tag::object", "xbF", true, {{"Requirement", {}}},
         {{"xa:Requirement[xbA,]"}, {"xa", "xbA", "xbDs"}, {":" + codes({P::ERR_INJECTED})}}},
        // A class that cannot be read makes the object "other": not expanded,
        // and its error reaches no later partial error.
        {"a related object's class", "POM_class_of_instance", "xb", true, {{"Reference", {"Part"}}, {"NoSuch", {}}},
         {{"xa:Reference[xb,]"}, {"xa", "xb"}, {":" + codes({P::ERR_NO_SUCH_RELATION_TYPE})}}},
        {"a related object's type, ignored", "OSTRATYPE_ask_object_type", "xb", false,
         {{"Reference", {"Part", "Folder"}}, {"NoSuch", {}}},
         {{"xa:Reference[xf,]"}, {"xa", "xf"}, {":" + codes({P::ERR_NO_SUCH_RELATION_TYPE})}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        P::FAULT_inject(c.function, P::ERR_INJECTED, tagOf(c.onlyFor));
        Result r = expand(true, {"xa"}, c.expItemRev, c.filters);
        EXPECT_EQ(P::FAULT_pending(), 0);
        P::FAULT_clear();
        EXPECT_EQ(r.outputs, c.expected.outputs);
        EXPECT_EQ(r.plain, c.expected.plain);
        EXPECT_EQ(r.errors, c.expected.errors);
    }
}

}  // namespace
}  // namespace dm0706
