// Handles share bodies and count them; wire types built from one field list
// write and read the one XML convention.
#include "soa_common/xml.hxx"
#include "soa_framework/wire/base_types.hxx"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace Velmora::Schemas::Soa::_2006_03::Base;
using Velmora::Soa::Common::Xml::BaseObject;
using Velmora::Soa::Common::Xml::Handle;
using Velmora::Soa::Common::Xml::SAXToNodeParser;
using Velmora::Soa::Common::Xml::XmlStream;

// A self-referencing wire shape, to assign a handle from inside its own body.
struct NodeBody;
struct Node : Handle<NodeBody> {
    Node();
    Node child() const;
    void setChild(const Node& n) const;
};
int g_nodesDestroyed = 0;
struct NodeBody : BaseObject {
    std::optional<Node> child;
    BaseObject* reallyClone() const override { return new NodeBody(*this); }
    ~NodeBody() override { ++g_nodesDestroyed; }
};
Node::Node() : Handle<NodeBody>(new NodeBody) {}
Node Node::child() const { return *getHandleObject().child; }
void Node::setChild(const Node& n) const { getHandleObject().child = n; }

TEST(WireHandle, CopiesShareOneBodyAndCountIt) {
    RefId a;
    a.setUid("x");
    EXPECT_EQ(a->askRefCount(), 1);
    {
        RefId b = a;
        EXPECT_TRUE(b.sharesBodyWith(a));
        EXPECT_EQ(a->askRefCount(), 2);
        b.setUid("changed through the copy");
    }
    EXPECT_EQ(a.getUid(), "changed through the copy");
    EXPECT_EQ(a->askRefCount(), 1);
}

TEST(WireHandle, SelfAndSameBodyAssignmentLeaveTheCount) {
    RefId a;
    RefId b = a;
    a = a;
    EXPECT_EQ(a->askRefCount(), 2);
    a = b;
    EXPECT_EQ(a->askRefCount(), 2);
}

TEST(WireHandle, BodyGoesWithItsLastHandle) {
    g_nodesDestroyed = 0;
    {
        Node a;
        Node b;
        a = b;  // a's first body loses its only handle
        EXPECT_EQ(g_nodesDestroyed, 1);
        EXPECT_EQ(b->askRefCount(), 2);
    }
    EXPECT_EQ(g_nodesDestroyed, 2);
}

TEST(WireHandle, AssigningAChildReachableOnlyThroughTheOldBodyIsSafe) {
    g_nodesDestroyed = 0;
    Node w;
    {
        Node c;
        w.setChild(c);
    }
    NodeBody* childBody = w.child().get();
    w = w.child();  // the parent body goes; the child must survive it
    EXPECT_EQ(g_nodesDestroyed, 1);
    EXPECT_EQ(w.get(), childBody);
    EXPECT_EQ(w->askRefCount(), 1);
}

TEST(WireHandle, CloneCopiesTheBodyWithAFreshCountAndSharesArrayEntries) {
    ServiceData data;
    RefId ref;
    data.addCreatedObj(ref);
    ServiceData alias = data;
    ServiceData copy = data.clone();
    EXPECT_FALSE(copy.sharesBodyWith(data));
    EXPECT_EQ(copy->askRefCount(), 1);
    EXPECT_EQ(data->askRefCount(), 2);
    EXPECT_TRUE(copy.getCreatedObjArray()[0].sharesBodyWith(ref));
    copy.addPlainObj(RefId());
    EXPECT_TRUE(data.getPlainObjArray().empty());
    alias.addPlainObj(RefId());
    EXPECT_EQ(data.getPlainObjArray().size(), 1u) << "a wrapper copy shares the arrays";
}

// Blocks of dropped bodies serve new ones: each must hold the body asked
// for, whatever sizes were dropped before it and on whichever thread the
// block was made. Blocks filled each with its own byte show any overlap.
TEST(WireHandle, BodyBlocksHoldTheirSizeWhateverWasDroppedBefore) {
    using Blocks = std::vector<std::pair<void*, std::size_t>>;
    auto make = [](bool upwards) {
        Blocks made;
        for (std::size_t k = 0; k < 150; ++k) {
            const std::size_t size = upwards ? 8 + 4 * k : 604 - 4 * k;
            made.emplace_back(BaseObject::operator new(size), size);
            std::memset(made.back().first, static_cast<int>(k % 251), size);
        }
        return made;
    };
    auto expectIntactAndDrop = [](const Blocks& made) {
        for (std::size_t k = 0; k < made.size(); ++k) {
            const auto* bytes = static_cast<const unsigned char*>(made[k].first);
            EXPECT_EQ(std::count(bytes, bytes + made[k].second, static_cast<unsigned char>(k % 251)),
                      static_cast<std::ptrdiff_t>(made[k].second))
                << "block of " << made[k].second << " bytes";
        }
        for (const auto& [block, size] : made) BaseObject::operator delete(block, size);
    };
    Blocks fromThread;
    std::thread([&] { fromThread = make(true); }).join();
    expectIntactAndDrop(fromThread);  // dropped here: this thread keeps them
    expectIntactAndDrop(make(false));
    const Blocks again = make(true);
    const Blocks more = make(false);
    expectIntactAndDrop(again);
    expectIntactAndDrop(more);
}

// Named values are copied in, temporaries moved in; an optional field is set
// either way.
TEST(WireConvention, SettersCopyNamedValuesAndTakeTemporaries) {
    const std::string long40(40, 'x');
    std::string named = long40;
    std::vector<PropertyValue> values(2);
    Property property;
    property.setUiValue(named);
    property.setValueArray(values);
    EXPECT_EQ(named, long40);
    EXPECT_EQ(values.size(), 2u);
    property.setName(std::string(40, 'y'));
    property.addValue(PropertyValue());
    EXPECT_EQ(property.getUiValue(), long40);
    EXPECT_EQ(property.getName(), std::string(40, 'y'));
    EXPECT_EQ(property.getValueArray().size(), 3u);
    ErrorStack named1, temporary;
    named1.setClientId(named);
    temporary.setClientId(std::string("c1"));
    EXPECT_TRUE(named1.isClientIdSet());
    EXPECT_TRUE(temporary.isClientIdSet());
    EXPECT_EQ(temporary.getClientId(), "c1");
}

std::string write(const ModelObject& o) {
    XmlStream out;
    o.outputXML(out, "ModelObject");
    return out.str();
}

TEST(WireConvention, FieldsAreAttributesAndArraysAreChildren) {
    ModelObject o;
    o.setUid("u1");
    o.setType("Item");
    Property p;
    p.setName("object_name");
    p.setUiValue("a<b");
    PropertyValue v;
    v.setValue("a<b");
    p.addValue(v);
    o.addPropertie(p);
    EXPECT_EQ(write(o),
              "<ModelObject uid=\"u1\" type=\"Item\"><propertie modifiable=\"false\" name=\"object_name\" "
              "uiValue=\"a&lt;b\"><value value=\"a&lt;b\"/></propertie></ModelObject>");
}

TEST(WireConvention, OutputRoundTripsThroughParse) {
    ServiceData data;
    ErrorStack stack;
    stack.setClientId("tab\there & \"quoted\"\nline\r");
    stack.setClientIndex(-7);
    ErrorValue value;
    value.setCode(214150);
    value.setLevel(3);
    value.setMessage("<&>");
    stack.addErrorValue(value);
    data.addPartialError(stack);
    RefId r;
    r.setUid("abc");
    data.addDeletedObj(r);

    XmlStream first;
    data.outputXML(first, "ServiceData");
    SAXToNodeParser parser;
    ServiceData back;
    back.parse(parser.parseString(first.str()));
    XmlStream second;
    back.outputXML(second, "ServiceData");
    EXPECT_EQ(first.str(), second.str());
    ASSERT_EQ(back.getPartialErrorArray().size(), 1u);
    const ErrorStack& s = back.getPartialErrorArray()[0];
    EXPECT_EQ(s.getClientId(), "tab\there & \"quoted\"\nline\r");
    EXPECT_TRUE(s.isClientIdSet());
    EXPECT_FALSE(s.isUidSet());
    EXPECT_EQ(s.getClientIndex(), -7);
    EXPECT_EQ(s.getErrorValueArray()[0].getCode(), 214150);
}

// Draining writes exactly what output writes, and takes apart only what the
// drained handle alone holds: an object also held outside the reply, and
// listed in it twice, is written whole both times and kept.
TEST(WireConvention, DrainingWritesTheSameAndSparesWhatOthersHold) {
    ModelObject kept;
    kept.setUid("kept");
    auto build = [&kept] {
        ServiceData data;
        for (int i = 0; i < 5; ++i) {
            ModelObject o;
            o.setUid("u" + std::to_string(i));
            if (i % 2) o.setType("Item");
            for (int j = 0; j <= i; ++j) {
                Property p;
                p.setName("p" + std::to_string(j));
                for (int k = 0; k < j; ++k) {
                    PropertyValue v;
                    v.setValue(std::to_string(i * 100 + j * 10 + k));
                    p.addValue(v);
                }
                o.addPropertie(p);
            }
            data.addDataObject(o);
            if (i == 1 || i == 3) data.addDataObject(kept);
        }
        for (const char* uid : {"d1", "d2"}) {
            RefId r;
            r.setUid(uid);
            data.addDeletedObj(r);
        }
        return data;
    };
    Property p;
    p.setName("object_name");
    PropertyValue v;
    v.setValue("<kept>");
    p.addValue(v);
    kept.addPropertie(p);
    auto output = [](const ServiceData& d) {
        XmlStream out;
        d.outputXML(out, "ServiceData");
        return out.str();
    };
    const std::string expected = output(build());
    XmlStream keptBefore;
    kept.outputXML(keptBefore, "kept");

    ServiceData drained = build();
    XmlStream out;
    drained.drainXML(out, "ServiceData");
    EXPECT_EQ(out.str(), expected);
    EXPECT_TRUE(drained.getDataObjectArray().empty());
    XmlStream keptAfter;
    kept.outputXML(keptAfter, "kept");
    EXPECT_EQ(keptAfter.str(), keptBefore.str());

    // A reply held twice is written, never emptied.
    ServiceData shared = build();
    ServiceData other = shared;
    XmlStream sharedOut;
    shared.drainXML(sharedOut, "ServiceData");
    EXPECT_EQ(sharedOut.str(), expected);
    EXPECT_EQ(output(other), expected);
}

TEST(WireConvention, WrongShapesAreRefusedWithTheirPlace) {
    struct Case {
        const char* xml;
        const char* expected;
    } cases[] = {
        {"<ErrorValue code=\"abc\" level=\"3\"/>", "not an integer"},
        {"<ErrorValue code=\"99999999999\" level=\"3\"/>", "not an integer"},
        {"<ErrorValue code=\"1\" bogus=\"3\"/>", "unknown attribute 'bogus'"},
        {"<ErrorValue code=\"1\"><extra/></ErrorValue>", "unexpected element"},
        {"<PropertyValue isNull=\"maybe\" value=\"\"/>", "not a flag"},
    };
    for (const auto& c : cases) {
        SAXToNodeParser parser;
        try {
            if (std::string(c.xml).find("<ErrorValue") == 0) {
                ErrorValue v;
                v.parse(parser.parseString(c.xml));
            } else {
                PropertyValue v;
                v.parse(parser.parseString(c.xml));
            }
            ADD_FAILURE() << c.xml << " was accepted";
        } catch (const Velmora::Soa::Common::Exceptions::DomException& e) {
            EXPECT_NE(e.getMessage().find(c.expected), std::string::npos) << e.getMessage();
            EXPECT_NE(e.getMessage().find("line 1"), std::string::npos) << e.getMessage();
        }
    }
}

}  // namespace
