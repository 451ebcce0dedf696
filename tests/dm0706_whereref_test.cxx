// Data management 2007_06: referencers of objects, filtered by relation and
// type names for workspace objects, all of them for other objects.
#include "dm0706_support.hxx"

#include "ae/dataset.hxx"
#include "foundation/error_codes.hxx"
#include "pom/test_seams.hxx"
#include "soa_server/utils.hxx"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dm0706 {
namespace {

namespace P = vl::platform;

const char* const kReferencers = R"(
folder @wf0 name="WF0" uid=wf0
folder @wf1 name="WF1" uid=wf1 in=@wf0
folder @wf2 name="WF2" uid=wf2
item @wi id=WR-0001 name="Target" uid=wi in=@wf1
item @wj id=WR-0002 name="Second" uid=wj in=@wf1
set @wf2 contents=@wi
item @wp id=WR-0003 name="Holder" uid=wp
relate @wp @wi Reference
datasettype Lonely tools=Viewer
datasettype Used tools=Viewer
dataset @u1 type=Used name="U1" uid=u1
)";

struct Filter {
    std::string relation;
    std::vector<std::string> types;
};

struct Input {
    std::string uid;
    std::vector<Filter> filters;
};

std::string request(const std::vector<Input>& inputs, int levels = 1) {
    std::string xml = "<WhereReferencedByRelationNameInput numLevels=\"" + std::to_string(levels) + "\">";
    for (const auto& in : inputs) {
        xml += "<input><object uid=\"" + esc(in.uid) + "\"/>";
        for (const auto& f : in.filters) {
            xml += "<filter relationTypeName=\"" + esc(f.relation) + "\">";
            for (const auto& t : f.types) xml += "<otherSideObjectType value=\"" + esc(t) + "\"/>";
            xml += "</filter>";
        }
        xml += "</input>";
    }
    return xml + "</WhereReferencedByRelationNameInput>";
}

class Dm0706WhereReferencedTest : public Dm0706SiteTest {
protected:
    Dm0706WhereReferencedTest() : Dm0706SiteTest(kReferencers) {}
    static std::string datasetType(const char* name) {
        tag_t type = 0;
        EXPECT_EQ(AE_find_datasettype(name, &type), 0);
        return uidOf(type);
    }
    // input uid: referencer|relation|level,... for each output.
    static std::vector<std::string> outputs(const Parsed& reply) {
        std::vector<std::string> out;
        for (const XMLNode* o : reply.outputs()) {
            std::string line = refAttr(*o, "inputObject") + ":";
            for (const XMLNode* i : childrenNamed(*o, "info"))
                line += refAttr(*i, "referencer") + "|" + attrOr(*i, "relationTypeName") + "|" + attrOr(*i, "level") + ",";
            out.push_back(line);
        }
        return out;
    }
    // uid:codes of each partial error.
    static std::vector<std::string> errors(const Parsed& reply) {
        std::vector<std::string> out;
        for (const auto& e : reply.errors()) {
            std::string line = e.uid + ":";
            for (int c : e.codes) line += std::to_string(c) + ",";
            out.push_back(line);
        }
        return out;
    }

    const std::string wf0 = "wf0", wf1 = "wf1", wf2 = "wf2", wi = "wi", wj = "wj", wp = "wp";
};

std::string code(int c) { return std::to_string(c) + ","; }

TEST_F(Dm0706WhereReferencedTest, TheReasonCodeOrTheMatchingReferencers) {
    const std::string invalid = "nosuchuid";
    const std::string lonely = datasetType("Lonely"), used = datasetType("Used");
    const std::string u1 = "u1";
    struct Case {
        const char* what;
        Input input;
        std::vector<std::string> outputs;
        std::vector<std::string> errors;
    } cases[] = {
        {"uid that names nothing", {invalid, {{"contents", {"Folder"}}}}, {}, {invalid + ":" + code(P::ERR_UNUSABLE_INPUT_OBJECT)}},
        {"null object", {"", {}}, {}, {":" + code(P::ERR_UNUSABLE_INPUT_OBJECT)}},
        {"not a workspace object, no referencers", {lonely, {}}, {}, {lonely + ":" + code(P::ERR_NO_REFERENCERS)}},
        {"not a workspace object: every referencer, filters ignored", {used, {{"Reference", {"Item"}}}},
         {used + ":" + u1 + "||1,"}, {}},
        {"no filters", {wi, {}}, {}, {wi + ":" + code(P::ERR_NO_RELATION_MATCH)}},
        {"empty type lists", {wi, {{"contents", {}}, {"Reference", {}}}}, {}, {wi + ":" + code(P::ERR_NO_RELATION_MATCH)}},
        {"relation matched, type not", {wi, {{"contents", {"Item"}}}}, {}, {wi + ":" + code(P::ERR_NO_TYPE_MATCH)}},
        {"relation names are case-sensitive", {wi, {{"Contents", {"Folder"}}}}, {},
         {wi + ":" + code(P::ERR_NO_RELATION_MATCH)}},
        {"type names are case-sensitive", {wi, {{"contents", {"folder"}}}}, {}, {wi + ":" + code(P::ERR_NO_TYPE_MATCH)}},
        {"folders through their contents", {wi, {{"contents", {"Item", "Folder"}}}},
         {wi + ":" + wf1 + "|contents|1," + wf2 + "|contents|1,"}, {}},
        {"a primary through its relation", {wi, {{"Reference", {"Item"}}}}, {wi + ":" + wp + "|Reference|1,"}, {}},
        {"a later filter matches, the referencer once", {wi, {{"Reference", {"Part"}}, {"Reference", {"Item"}}, {"Reference", {"Item"}}}},
         {wi + ":" + wp + "|Reference|1,"}, {}},
        {"two filters, every match in platform order", {wi, {{"Reference", {"Item"}}, {"contents", {"Folder"}}}},
         {wi + ":" + wf1 + "|contents|1," + wf2 + "|contents|1," + wp + "|Reference|1,"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed reply = call("whereReferencedByRelationName", request({c.input}));
        EXPECT_EQ(outputs(reply), c.outputs) << reply.text;
        EXPECT_EQ(errors(reply), c.errors) << reply.text;
    }
}

TEST_F(Dm0706WhereReferencedTest, InputsAreAnsweredInOrderAndShareReferencers) {
    Parsed reply = call("whereReferencedByRelationName",
                        request({{wi, {{"contents", {"Folder"}}}}, {"nosuchuid", {}}, {wj, {{"contents", {"Folder"}}}}}));
    EXPECT_EQ(outputs(reply), (std::vector<std::string>{wi + ":" + wf1 + "|contents|1," + wf2 + "|contents|1,",
                                                        wj + ":" + wf1 + "|contents|1,"}))
        << reply.text;
    EXPECT_EQ(reply.list("plainObj"), (std::vector<std::string>{wf1, wf2})) << reply.text;
    EXPECT_EQ(errors(reply), std::vector<std::string>{"nosuchuid:" + code(P::ERR_UNUSABLE_INPUT_OBJECT)});
}

TEST_F(Dm0706WhereReferencedTest, AFailureCostsTheInputItsOutputButNotWhatWasAdded) {
    const tag_t second = Velmora::Soa::Internal::Server::Utils::uidToTag(wf2);
    const tag_t target = Velmora::Soa::Internal::Server::Utils::uidToTag(wi);
    struct Case {
        const char* what;
        const char* function;
        tag_t tag;
        std::vector<std::string> plain;
    } cases[] = {
        // The first folder matched before the second's type could be read.
        {"type of the second referencer", "OSTRATYPE_ask_object_type", second, {wf1}},
        {"referencer query", "WSOM_where_referenced", 0, {}},
        {"loading the object", "Tag::object", target, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        vl::platform::FAULT_inject(c.function, P::ERR_INJECTED, c.tag);
        Parsed reply = call("whereReferencedByRelationName",
                            request({{wi, {{"contents", {"Folder"}}}}, {wj, {{"contents", {"Folder"}}}}}));
        EXPECT_EQ(vl::platform::FAULT_pending(), 0);
        vl::platform::FAULT_clear();
        // The other input is answered all the same.
        EXPECT_EQ(outputs(reply), std::vector<std::string>{wj + ":" + wf1 + "|contents|1,"}) << reply.text;
        EXPECT_EQ(errors(reply), std::vector<std::string>{wi + ":" + code(P::ERR_INJECTED) +
                                                          code(P::ERR_WHERE_REFERENCED_FAILED)});
        std::vector<std::string> plain = c.plain;
        if (plain.empty()) plain.push_back(wf1);  // from the second input
        EXPECT_EQ(reply.list("plainObj"), plain) << reply.text;
    }
}

TEST_F(Dm0706WhereReferencedTest, LevelsReachTheStoreAsGiven) {
    const Input input{wi, {{"contents", {"Folder"}}}};
    const std::string first = wi + ":" + wf1 + "|contents|1," + wf2 + "|contents|1,";
    EXPECT_EQ(outputs(call("whereReferencedByRelationName", request({input}, 1))), std::vector<std::string>{first});
    EXPECT_EQ(outputs(call("whereReferencedByRelationName", request({input}, 2))),
              std::vector<std::string>{first + wf0 + "|contents|2,"});
    // The store reads less than one level as one.
    EXPECT_EQ(outputs(call("whereReferencedByRelationName", request({input}, -4))), std::vector<std::string>{first});
}

}  // namespace
}  // namespace dm0706
