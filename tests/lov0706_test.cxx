// The list-of-values service: its frame (table, spans, root, handlers), the
// converters, and getAttachedLOVs's keys, indexes and what survives a
// failed look-up.
#include "support/service_test.hxx"

#include "platform_test_support.hxx"

#include "foundation/error_codes.hxx"
#include "foundation/error_store.hxx"
#include "pom/soa_view.hxx"
#include "propdesc/property_descriptor.hxx"
#include "soa_common/monitor.hxx"
#include "soa_server/iiop_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2007_06/lov/lov_skeleton.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

using Skeleton = Velmora::Services::Core::_2007_06::LOVIiopSkeleton;
using Local = Skeleton::Local;
namespace Wire = Velmora::Schemas::Core::_2007_06::Lov;
using vl::test::esc;
using vl::test::uidOf;

const char* const kService = "Core-2007-06-LOV";

struct Info {
    std::string typeName;
    std::vector<std::string> propNames;
};

std::string lovsXml(const std::vector<Info>& infos) {
    std::string xml = "<GetAttachedLOVsInput>";
    for (const auto& i : infos) {
        xml += "<input typeName=\"" + esc(i.typeName) + "\">";
        for (const auto& p : i.propNames) xml += "<propName value=\"" + esc(p) + "\"/>";
        xml += "</input>";
    }
    return xml + "</GetAttachedLOVsInput>";
}

tag_t lovNamed(const char* name) {
    tag_t t = 0;
    LOV_find(name, &t);
    return t;
}

int lookUps() {
    auto log = vl::platform::CALLS_log();
    return static_cast<int>(std::count(log.begin(), log.end(), "LOV_find_attached_prop"));
}

// A reply read back: entries as "type: prop=uid ...", plain objects, and
// partial errors as "key:code,code".
struct Answer {
    std::vector<std::string> entries, plain, errors;
};

Answer answerOf(const std::string& reply) {
    vl::test::Reply r(reply);
    Answer a;
    EXPECT_EQ(r.root->name(), "AttachedLOVsResponse") << reply;
    if (r.root->name() != "AttachedLOVsResponse") return a;
    Wire::AttachedLOVsResponse wire;
    wire.parse(*r.root);
    for (const auto& entry : wire.getInputTypeNameToLOVOutputArray()) {
        std::string text = entry.getKey() + ":";
        for (const auto& v : entry.getValueArray()) text += " " + v.getPropName() + "=" + v.getLov().getUid();
        a.entries.push_back(text);
    }
    const auto& data = wire.getServiceData();
    for (const auto& p : data.getPlainObjArray()) a.plain.push_back(p.getUid());
    for (const auto& e : data.getPartialErrorArray()) {
        std::string key = e.isClientIdSet() ? "id=" + e.getClientId()
                          : e.isClientIndexSet() ? "index=" + std::to_string(e.getClientIndex())
                                                 : "none";
        for (const auto& v : e.getErrorValueArray()) key += ":" + std::to_string(v.getCode());
        a.errors.push_back(key);
    }
    return a;
}

class Lov0706 : public vl::test::ServiceTest {
protected:
    static Answer ask(const std::vector<Info>& infos) { return answerOf(invoke(kService, "getAttachedLOVs", lovsXml(infos))); }
    void SetUp() override {
        ServiceTest::SetUp();
        units = uidOf(lovNamed("Units"));
        categories = uidOf(lovNamed("Categories"));
    }
    std::string units, categories;
};

const Velmora::Soa::Internal::Server::IiopSkeleton& skeleton() {
    auto* s = dynamic_cast<Velmora::Soa::Internal::Server::IiopSkeleton*>(VlServiceManager::instance().find(kService));
    if (!s) throw std::runtime_error("the list-of-values service is not registered");
    return *s;
}

TEST_F(Lov0706, TableSpansAndAnEmptyInput) {
    std::vector<std::string> names;
    for (const auto& [name, op] : skeleton().operations()) names.push_back(name);
    EXPECT_EQ(names, std::vector<std::string>{"getAttachedLOVs"});
    EXPECT_EQ(skeleton().serviceName(), "LOV");

    vl::platform::MONITOR_clear();
    EXPECT_EQ(invoke(kService, "getAttachedLOVs", "<GetAttachedLOVsInput/>"),
              "<AttachedLOVsResponse><serviceData/></AttachedLOVsResponse>");
    const std::string a = "Velmora::Soa::Core::_2007_06::LOVIiopSkeleton::getAttachedLOVs";
    const std::string impl = "Velmora::Soa::Core::_2007_06::LOVImpl::getAttachedLOVs";
    EXPECT_EQ(vl::test::spanLog(), vl::test::fourSpans(a, impl));
}

// Lists by the type's own rule and by an ancestor's; a property without a
// list gives nothing and no error; entries in ascending order of type name.
TEST_F(Lov0706, ListsPerTypeInTypeNameOrder) {
    Answer a = ask({{"Item", {"uom_tag", "object_name"}}, {"Document", {"doc_category", "uom_tag"}},
                    {"Folder", {"object_name", "object_desc"}}});
    EXPECT_EQ(a.entries, (std::vector<std::string>{"Document: doc_category=" + categories + " uom_tag=" + units,
                                                   "Item: uom_tag=" + units}));
    EXPECT_EQ(a.plain, (std::vector<std::string>{units, categories}));
    EXPECT_TRUE(a.errors.empty());
}

TEST_F(Lov0706, BadInputIsKeyedAndTheIndexCountsTypedInfosOnly) {
    vl::platform::CALLS_clear();
    Answer a = ask({{"", {"uom_tag", "doc_category"}},
                    {"Item", {"", "uom_tag"}},
                    {"Document", {"doc_category", "", "uom_tag"}}});
    EXPECT_EQ(lookUps(), 3) << "no look-up for the info without a type name";
    EXPECT_EQ(a.errors, (std::vector<std::string>{"id=:214170", "index=0:214171", "index=1:214171"}));
    EXPECT_EQ(a.entries, (std::vector<std::string>{"Document: doc_category=" + categories + " uom_tag=" + units,
                                                   "Item: uom_tag=" + units}));
}

// The second of three look-ups fails: the info keeps nothing, its third
// property is not looked up, the list already found stays a plain object,
// and the next info has the next index.
TEST_F(Lov0706, AFailedLookUpDropsTheInfo) {
    vl::platform::CALLS_clear();
    Answer a = ask({{"Document", {"doc_category", "no_such_property", "uom_tag"}}, {"Item", {"", "uom_tag"}}});
    EXPECT_EQ(lookUps(), 3);
    EXPECT_EQ(a.entries, std::vector<std::string>{"Item: uom_tag=" + units});
    EXPECT_EQ(a.plain, (std::vector<std::string>{categories, units}));
    EXPECT_EQ(a.errors, (std::vector<std::string>{"index=0:" + std::to_string(vl::platform::ERR_NO_SUCH_ATTRIBUTE),
                                                  "index=1:214171"}));
}

// The first info of a type name wins; an earlier info without a list does
// not block a later one.
TEST_F(Lov0706, ATypeNameTwiceKeepsTheFirstOutputs) {
    Answer a = ask({{"Document", {"object_name"}}, {"Document", {"doc_category"}}, {"Document", {"uom_tag"}}});
    EXPECT_EQ(a.entries, std::vector<std::string>{"Document: doc_category=" + categories});
    EXPECT_EQ(a.plain, (std::vector<std::string>{categories, units})) << "both lists are plain objects";
}

TEST_F(Lov0706, ConvertersOrderKeysAndKeepUnconvertibleLists) {
    Skeleton::LocalMap local;
    for (const char* key : {"item", "ItemRevision", "Item"}) local[key] = {{"p", POMRef<ListOfValues>(lovNamed("Units"))}};
    local["Empty"] = {};
    std::vector<std::string> keys;
    for (const auto& entry : Skeleton::toWireInputTypeNameToLOVOutputMap(local)) {
        keys.push_back(entry.getKey());
        EXPECT_EQ(entry.getValueArray().size(), entry.getKey() == "Empty" ? 0u : 1u);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Empty", "Item", "ItemRevision", "item"}));

    Wire::LOVOutput unconvertible = Skeleton::toWire(Local::LOVOutput{"uom_tag", POMRef<ListOfValues>(vl::platform::uidToTag("zzzzzzzz"))});
    EXPECT_EQ(unconvertible.getPropName(), "uom_tag");
    EXPECT_EQ(unconvertible.getLov().getUid(), "") << "the null object";
    EXPECT_TRUE(vl::test::storedCodes().empty());

    // Back to local: a later entry with an equal key replaces an earlier one.
    std::vector<Wire::InputTypeNameToLOVOutputMap> wire(2);
    for (int i = 0; i < 2; ++i) {
        wire[i].setKey("Item");
        wire[i].addValue(Skeleton::toWire(Local::LOVOutput{i ? "second" : "first", POMRef<ListOfValues>(lovNamed("Units"))}));
    }
    Skeleton::LocalMap back = Skeleton::toLocalInputTypeNameToLOVOutputMap(wire);
    ASSERT_EQ(back.size(), 1u);
    ASSERT_EQ(back["Item"].size(), 1u);
    EXPECT_EQ(back["Item"][0].propName, "second");
    EXPECT_EQ(back["Item"][0].lov.value(), lovNamed("Units"));
    EXPECT_EQ(back["Item"][0].lov.cached(), nullptr);

    Local::LOVInfo info = Skeleton::toLocal(Skeleton::toWire(Local::LOVInfo{"Item", {"a", "b"}}));
    EXPECT_EQ(info.typeName, "Item");
    EXPECT_EQ(info.propNames, (std::vector<std::string>{"a", "b"}));
}

// An implementation that throws what it is told to.
class ThrowingImpl : public Velmora::Soa::Core::_2007_06::LOVImpl {
public:
    bool serviceException = false;
    AttachedLOVsResponse getAttachedLOVs(const std::vector<LOVInfo>&) override {
        if (serviceException) throw Velmora::Soa::Server::ServiceException("no lists today");
        throw IFail(vl::platform::ERR_INJECTED, IFail::AlreadyStored{});
    }
};

TEST_F(Lov0706, WhatLeavesTheImplementationBecomesTheReplyText) {
    ThrowingImpl impl;
    struct Swap {
        explicit Swap(ThrowingImpl* impl) : saved(Skeleton::_service) { Skeleton::_service = impl; }
        ~Swap() { Skeleton::_service = saved; }
        Velmora::Soa::Core::_2007_06::LOVImpl* saved;
    } swap(&impl);
    auto op = skeleton().operations().at("getAttachedLOVs");

    std::string empty = [] {
        Velmora::Soa::Server::ServiceException e;
        Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException copy = e.getWireData();
        return vl::skeleton::writeException(copy);
    }();
    vl::platform::MONITOR_clear();
    EXPECT_EQ(op("<GetAttachedLOVsInput/>"), empty) << "the empty default service exception";
    std::vector<std::string> open = vl::platform::MONITOR_open_spans();
    EXPECT_EQ(open, (std::vector<std::string>{"Velmora::Soa::Core::_2007_06::LOVIiopSkeleton::getAttachedLOVs",
                                              "Velmora::Soa::Core::_2007_06::LOVImpl::getAttachedLOVs"}));
    vl::platform::MONITOR_end_request();

    impl.serviceException = true;
    std::string reply = op("<GetAttachedLOVsInput/>");
    EXPECT_NE(reply.find("message=\"no lists today\""), std::string::npos) << reply;
    vl::platform::MONITOR_end_request();

    // An unreadable request is not the operation's to answer.
    EXPECT_THROW(op("<GetAttachedLOVsInput><typeName value=\"x\"/></GetAttachedLOVsInput>"),
                 Velmora::Soa::Common::Exceptions::DomException);
    vl::platform::MONITOR_end_request();
    ERROR_store_clear();
}

}  // namespace
