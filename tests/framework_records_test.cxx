// Server-side records and uid conversions against the real store.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/item.hxx"
#include "aom/loaded_objects.hxx"
#include "pom/soa_view.hxx"
#include "soa_framework/skeleton/pipeline.hxx"
#include "soa_server/service_manager.hxx"
#include "support/service_test.hxx"
#include "tag/pom_ref.hxx"
#include "tag/tag_list.hxx"

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Velmora::Soa::Internal::Server::Utils;
namespace Base = Velmora::Schemas::Soa::_2006_03::Base;

using FrameworkRecords = vl::test::ServiceTest;

// A parsed element written back as text.
void writeTree(Velmora::Soa::Common::Xml::XmlStream& out, const Velmora::Soa::Common::Xml::XMLNode& node) {
    out.startElement(node.name());
    for (const auto& [name, value] : node.attrs()) out.attribute(name, value);
    for (const auto* child : node.children()) writeTree(out, *child);
    out.endElement();
}

TEST_F(FrameworkRecords, ServiceDataCopySharesWireBodiesButNotItsSets) {
    tag_t a = makeFolder("a");
    tag_t b = makeFolder("b");
    Velmora::Soa::Server::ServiceData data;
    data.addCreatedObject(a);
    int before = data.getWireData()->askRefCount();
    Velmora::Soa::Server::ServiceData copy = data;
    EXPECT_EQ(data.getWireData()->askRefCount(), before + 1);
    EXPECT_TRUE(copy.getWireData().sharesBodyWith(data.getWireData()));
    // Each keeps its own record of what it listed: both list the new `b`,
    // so the shared body holds it twice; neither lists `a` again.
    data.addCreatedObject(b);
    copy.addCreatedObject(b);
    copy.addCreatedObject(a);
    data.addCreatedObject(a);
    EXPECT_EQ(data.getWireData().getCreatedObjArray().size(), 3u);
    copy = copy;
    EXPECT_TRUE(copy.getWireData().sharesBodyWith(data.getWireData()));
}

TEST_F(FrameworkRecords, ObjectsAreListedOncePerKindInFirstOrder) {
    tag_t a = makeFolder("a");
    tag_t b = makeFolder("b");
    Velmora::Soa::Server::ServiceData data;
    for (tag_t t : {b, a, b, a}) data.addUpdatedObject(t);
    data.addPlainObject(a);
    for (auto add : {&Velmora::Soa::Server::ServiceData::addCreatedObject,
                     &Velmora::Soa::Server::ServiceData::addUpdatedObject,
                     &Velmora::Soa::Server::ServiceData::addPlainObject})
        (data.*add)(Tag(0));  // the null tag names nothing: never listed
    EXPECT_TRUE(data.getWireData().getCreatedObjArray().empty());
    const auto& updated = data.getWireData().getUpdatedObjArray();
    ASSERT_EQ(updated.size(), 2u);
    EXPECT_EQ(updated[0].getUid(), Utils::tagToUid(b));
    EXPECT_EQ(updated[1].getUid(), Utils::tagToUid(a));
    EXPECT_EQ(data.getWireData().getPlainObjArray().size(), 1u);
}

// Objects named with the same properties share one record of the names;
// naming more for one of them adds to its own alone.
TEST_F(FrameworkRecords, PropertiesNamedAgainForAnObjectAreAddedToItsOwn) {
    tag_t a = makeFolder("a");
    tag_t b = makeFolder("b");
    const std::set<std::string> name{"object_name"};
    Velmora::Soa::Server::ServiceData data;
    data.addProperties(Tag(a), name);
    data.addProperties(Tag(b), name);
    data.addProperty(Tag(a), "object_desc");
    data.addProperties(Tag(b), name);  // nothing new
    data.inflateProperties();
    const auto& objects = data.getWireData().getDataObjectArray();
    ASSERT_EQ(objects.size(), 2u);
    auto names = [](const Base::ModelObject& o) {
        std::vector<std::string> read;
        for (const auto& p : o.getPropertieArray()) read.push_back(p.getName());
        return read;
    };
    EXPECT_EQ(objects[0].getUid(), Utils::tagToUid(a));
    EXPECT_EQ(names(objects[0]), (std::vector<std::string>{"object_desc", "object_name"}));
    EXPECT_EQ(objects[1].getUid(), Utils::tagToUid(b));
    EXPECT_EQ(names(objects[1]), (std::vector<std::string>{"object_name"}));
    EXPECT_EQ(objects[1].getPropertieArray()[0].getValueArray()[0].getValue(), "b");
}

// Random runs of listings and property requests against a plain model:
// each kind lists an object once, in first order; each object gets the union
// of the names asked for it, in the order objects were first named.
TEST_F(FrameworkRecords, ListingsAndRequestedPropertiesMatchAPlainModel) {
    std::vector<tag_t> folders;
    for (int i = 0; i < 40; ++i) folders.push_back(makeFolder(("f" + std::to_string(i)).c_str()));
    const std::vector<std::set<std::string>> nameSets = {
        {"object_name"}, {"object_desc"}, {"object_name", "object_desc"}, {"object_type"}};
    using Add = void (Velmora::Soa::Server::ServiceData::*)(const Tag&);
    const Add adds[] = {&Velmora::Soa::Server::ServiceData::addCreatedObject,
                        &Velmora::Soa::Server::ServiceData::addUpdatedObject,
                        &Velmora::Soa::Server::ServiceData::addPlainObject};

    unsigned seed = 7;
    auto next = [&seed](unsigned n) { return (seed = seed * 1103515245u + 12345u) / 65536u % n; };
    auto listOnce = [](std::vector<std::string>& kind, const std::string& uid) {
        if (std::find(kind.begin(), kind.end(), uid) == kind.end()) kind.push_back(uid);
    };
    // Short rounds, each one reply, so objects end with different names.
    for (unsigned round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Velmora::Soa::Server::ServiceData data;
        std::vector<std::string> listed[4];  // created, updated, plain, deleted
        std::vector<tag_t> named;
        std::map<tag_t, std::set<std::string>> names;
        for (unsigned step = 0; step < 400; ++step) {
            const tag_t object = folders[next(folders.size())];
            const unsigned what = next(5);
            if (what < 3) {
                (data.*adds[what])(Tag(object));
                listOnce(listed[what], Utils::tagToUid(object));
            } else if (what == 3) {
                const std::string uid = "gone" + std::to_string(next(60));
                data.addDeletedObject(uid);
                listOnce(listed[3], uid);
            } else {
                // The names change by phases, as across the inputs of one
                // request, so objects share what they were named with and
                // merge alike.
                const auto& asked = nameSets[(round + step / 60) % nameSets.size()];
                data.addProperties(Tag(object), asked);
                if (!names.count(object)) named.push_back(object);
                names[object].insert(asked.begin(), asked.end());
            }
        }
        data.inflateProperties();
        const Base::ServiceData& wire = data.getWireData();
        const std::vector<Base::RefId>* arrays[] = {&wire.getCreatedObjArray(), &wire.getUpdatedObjArray(),
                                                    &wire.getPlainObjArray(), &wire.getDeletedObjArray()};
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<std::string> uids;
            for (const auto& ref : *arrays[kind]) uids.push_back(ref.getUid());
            EXPECT_EQ(uids, listed[kind]) << "kind " << kind;
        }
        const auto& objects = wire.getDataObjectArray();
        ASSERT_EQ(objects.size(), named.size());
        for (std::size_t i = 0; i < named.size(); ++i) {
            EXPECT_EQ(objects[i].getUid(), Utils::tagToUid(named[i]));
            std::set<std::string> read;
            for (const auto& p : objects[i].getPropertieArray()) read.insert(p.getName());
            EXPECT_EQ(read, names[named[i]]) << "object " << i;
        }
    }
}

// Service data written object by object, each read as it is written, is
// the text the whole inflated wire object gives: random runs of listings,
// property requests (names that do not exist, an object that does not load)
// and partial errors, some with a copy still sharing the bodies.
TEST_F(FrameworkRecords, StreamedServiceDataWritesWhatTheInflatedWireObjectDoes) {
    std::vector<tag_t> objects;
    for (int i = 0; i < 12; ++i) objects.push_back(makeFolder(("f" + std::to_string(i)).c_str()));
    ASSERT_EQ(FL_insert(objects[0], objects[1], 999), 0);
    ASSERT_EQ(AOM_save(objects[0]), 0);
    objects.push_back(0x7ffffff0u);  // names nothing
    const char* const names[] = {"object_name", "object_desc", "owning_user", "contents", "nonsense"};
    using Data = Velmora::Soa::Server::ServiceData;
    auto write = [](auto&& wire) {
        Velmora::Soa::Common::Xml::XmlStream out;
        wire.drainXML(out, "ServiceData");
        return out.str();
    };
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        // The same run applied to each of two records.
        auto run = [&](Data& data) {
            std::mt19937 rng(seed);
            const unsigned steps = rng() % 60;
            for (unsigned step = 0; step < steps; ++step) {
                const Tag object(objects[rng() % objects.size()]);
                switch (rng() % 7) {
                case 0: data.addCreatedObject(object); break;
                case 1: data.addUpdatedObject(object); break;
                case 2: data.addPlainObject(object); break;
                case 3: data.addDeletedObject("gone" + std::to_string(rng() % 5)); break;
                case 4:
                    ERROR_store(3, 214000 + static_cast<int>(rng() % 100));
                    data.addErrorStack(object);
                    break;
                default: {
                    std::set<std::string> asked;
                    for (unsigned n = 1 + rng() % 3; n > 0; --n) asked.insert(names[rng() % std::size(names)]);
                    data.addProperties(object, asked);
                }
                }
            }
        };
        // Each record goes into its writer as the pipeline's does, held by
        // nothing else (or, for some, by a copy as well).
        const bool shared = seed % 4 == 0;
        Data copy;
        auto prepared = [&](auto toWire) {
            Data data;
            run(data);
            if (shared) copy = data;
            return toWire(std::move(data));
        };
        const std::string expected = write(prepared(&vl::skeleton::toWireServiceData));
        EXPECT_EQ(write(prepared(&vl::skeleton::toStreamedServiceData)), expected);
        if (shared) {
            EXPECT_EQ(write(copy.getWireData()), expected) << "the copy keeps what it shares";
        }
        EXPECT_EQ(ERROR_store_ask_last_ifail(), 0) << "every stored error was taken";
    }
}

// A streamed reply writes its objects one after another through the same
// wire object. Each object written is what a plain model of it alone gives
// (its own description and its own reads, one by one), whatever the object
// before it held: set and null references, arrays of several values and of
// none, reads that fail, an object that cannot be described, the null tag.
TEST_F(FrameworkRecords, EachStreamedObjectIsWrittenAsReadAlone) {
    tag_t widget = 0, bracket = 0;  // a unit of measure, and none
    ASSERT_EQ(ITEM_find_item("000100", &widget), 0);
    ASSERT_EQ(ITEM_find_item("BRK-0200", &bracket), 0);
    const tag_t full = makeFolder("full"), empty = makeFolder("empty");
    ASSERT_EQ(FL_insert(full, widget, 999), 0);
    ASSERT_EQ(FL_insert(full, bracket, 999), 0);
    ASSERT_EQ(AOM_save(full), 0);
    // An array of references with a hole: its value there is null.
    const tag_t holed = makeFolder("holed");
    const tag_t withHole[] = {widget, NULLTAG, bracket};
    ASSERT_EQ(AOM_refresh(holed, 1), 0);
    ASSERT_EQ(AOM_set_value_tags(holed, "contents", 3, withHole), 0);
    ASSERT_EQ(AOM_save(holed), 0);
    ASSERT_EQ(AOM_refresh(holed, 0), 0);
    const tag_t pool[] = {widget, bracket, full, empty, holed, 0, 0x7ffffff0u /* names nothing */};
    const char* const names[] = {"uom_tag", "object_name", "contents", "object_desc", "revision_list", "nonsense"};

    // The element a plain model expects for the object with the names asked
    // for it; none when the object cannot be described.
    auto model = [](tag_t tag, const std::set<std::string>& asked) -> std::optional<std::string> {
        Velmora::Soa::Common::Xml::XmlStream out;
        out.startElement("dataObject");
        if (tag) {
            vl::platform::ObjectSummary summary;
            if (!vl::platform::describeObject(tag, &summary)) return std::nullopt;
            out.attribute("uid", vl::platform::tagToUid(tag));
            out.attribute("className", summary.className);
            out.attribute("type", summary.typeName);
        } else {
            out.attribute("uid", "");
        }
        for (const std::string& name : asked) {
            vl::platform::PropertyRead read;
            if (vl::platform::readProperty(tag, name, &read) != 0) continue;
            out.startElement("propertie");
            out.attribute("modifiable", read.modifiable ? "true" : "false");
            out.attribute("name", name);
            out.attribute("uiValue", read.uiValue);
            for (std::size_t i = 0; i < read.values.size(); ++i) {
                out.startElement("value");
                if (read.isNull[i]) out.attribute("isNull", "true");
                out.attribute("value", read.values[i]);
                out.endElement();
            }
            out.endElement();
        }
        out.endElement();
        // Written back from its parse, as the reply's elements are below.
        Velmora::Soa::Common::Xml::SAXToNodeParser parser;
        Velmora::Soa::Common::Xml::XmlStream normal;
        writeTree(normal, parser.parseString(out.str()));
        return normal.str();
    };
    // Each dataObject element of a written reply, as its own text (its
    // attributes in name order: the parse keeps no other).
    auto written = [](const std::string& reply) {
        Velmora::Soa::Common::Xml::SAXToNodeParser parser;
        std::vector<std::string> objects;
        for (const auto* child : parser.parseString(reply).children()) {
            if (child->name() != "dataObject") continue;
            Velmora::Soa::Common::Xml::XmlStream out;
            writeTree(out, *child);
            objects.push_back(out.str());
        }
        return objects;
    };
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        std::vector<tag_t> order;  // first named first
        std::map<tag_t, std::set<std::string>> asked;
        // The record goes into its writer as the pipeline's does, held by
        // nothing else: a shared one would be written from fresh objects.
        auto streamed = [&] {
            Velmora::Soa::Server::ServiceData data;
            for (unsigned step = 1 + rng() % 30; step > 0; --step) {
                const tag_t object = pool[rng() % std::size(pool)];
                std::set<std::string> some;
                for (unsigned n = 1 + rng() % 4; n > 0; --n) some.insert(names[rng() % std::size(names)]);
                data.addProperties(Tag(object), some);
                if (!asked.count(object)) order.push_back(object);
                asked[object].insert(some.begin(), some.end());
            }
            return vl::skeleton::toStreamedServiceData(std::move(data));
        }();
        std::vector<std::string> expected;
        for (tag_t object : order)
            if (auto element = model(object, asked[object])) expected.push_back(*element);
        ERROR_store_clear();
        Velmora::Soa::Common::Xml::XmlStream out;
        streamed.drainXML(out, "ServiceData");
        EXPECT_EQ(written(out.str()), expected);
        ERROR_store_clear();
    }
}

TEST_F(FrameworkRecords, PartialErrorsTakeTheStoredErrorsUnderTheirKey) {
    tag_t a = makeFolder("a");
    Velmora::Soa::Server::ServiceData data;
    ERROR_store(3, 214150);
    ERROR_store(3, 214151);
    data.addErrorStack(std::string("c1"));
    data.addErrorStackWithIndex(4);  // nothing stored in between: an empty stack
    ERROR_store(3, 7007);
    data.addErrorStack(Tag(a));
    ERROR_store(3, 1);
    data.addErrorStack();
    const auto& stacks = data.getWireData().getPartialErrorArray();
    ASSERT_EQ(stacks.size(), 4u);
    EXPECT_EQ(stacks[0].getClientId(), "c1");
    ASSERT_EQ(stacks[0].getErrorValueArray().size(), 2u);
    EXPECT_EQ(stacks[0].getErrorValueArray()[1].getCode(), 214151);
    EXPECT_EQ(stacks[0].getErrorValueArray()[1].getLevel(), 3);
    EXPECT_TRUE(stacks[1].isClientIndexSet());
    EXPECT_EQ(stacks[1].getClientIndex(), 4);
    EXPECT_TRUE(stacks[1].getErrorValueArray().empty());
    EXPECT_EQ(stacks[2].getUid(), Utils::tagToUid(a));
    EXPECT_EQ(stacks[2].getErrorValueArray()[0].getCode(), 7007);
    EXPECT_FALSE(stacks[3].isClientIdSet() || stacks[3].isUidSet() || stacks[3].isClientIndexSet());
    int n = -1;
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    EXPECT_EQ(n, 0);
}

TEST_F(FrameworkRecords, UidsOfNullLiveAndDeletedObjects) {
    tag_t a = makeFolder("a");
    std::string uid = Utils::tagToUid(a);
    EXPECT_FALSE(uid.empty());
    EXPECT_LE(uid.size(), 15u);
    EXPECT_EQ(Utils::uidToTag(uid).value(), a);
    EXPECT_EQ(Utils::uidToTag("").value(), 0u);
    EXPECT_EQ(Utils::tagToUid(0), "");

    Base::ModelObject live = Utils::createWireModelObect(Tag(a));
    EXPECT_EQ(live.getUid(), uid);
    EXPECT_EQ(live.getClassName(), "Folder");
    EXPECT_EQ(Utils::createWireModelObect(Tag(0)).getUid(), "");

    ASSERT_EQ(AOM_delete(a), 0);
    Tag gone = Utils::uidToTag(uid);
    EXPECT_NE(gone.value(), 0u) << "a deleted object's uid is not the null tag";
    EXPECT_NE(Tag::isValid(gone), 0);
    EXPECT_NE(Tag::isValid(Utils::uidToTag("nosuchuid")), 0);
    EXPECT_THROW(Utils::createWireModelObect(gone), IFail);
    ERROR_store_clear();
    // The guarded conversion gives the null reference and leaves no error.
    EXPECT_EQ(vl::skeleton::toWireRef(gone).getUid(), "");
    int n = -1;
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    EXPECT_EQ(n, 0);

    // In a list the failed reference is left out and the rest keep their order.
    tag_t b = makeFolder("b"), c = makeFolder("c");
    std::vector<POMRef<WorkspaceObject>> refs{POMRef<WorkspaceObject>(b), POMRef<WorkspaceObject>(gone),
                                              POMRef<WorkspaceObject>(c)};
    auto wire = vl::skeleton::toWireRefs(refs);
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].getUid(), Utils::tagToUid(b));
    EXPECT_EQ(wire[1].getUid(), Utils::tagToUid(c));
    ERROR_store_ask(&n, nullptr, nullptr, nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(vl::skeleton::toWireRefs(std::vector<Tag>{Tag(c), gone}).size(), 1u);
}

TEST(TagListTest, KeepsOrderAndDuplicates) {
    TagList list;
    EXPECT_TRUE(list.empty());
    list.add(7);
    list.add(3);
    list.add(7);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list[0], 7u);
    EXPECT_EQ(list[1], 3u);
    EXPECT_EQ(list[2], 7u);
    EXPECT_EQ(list[3], NULLTAG);
    EXPECT_EQ(list[-1], NULLTAG);
}

TEST_F(FrameworkRecords, PomRefFetchesOnFirstUseAndOrdersByTag) {
    tag_t a = makeFolder("a");
    tag_t b = makeFolder("b");
    POMRef<WorkspaceObject> ra(a);
    EXPECT_EQ(ra.cached(), nullptr);
    EXPECT_NE(ra.operator->(), nullptr);
    EXPECT_EQ(ra.cached(), ra.operator->());
    std::map<POMRef<WorkspaceObject>, int> byRef;
    byRef[ra] = 1;
    byRef[POMRef<WorkspaceObject>(a)] = 2;  // same tag, no cached object: same key
    byRef[POMRef<WorkspaceObject>(b)] = 3;
    EXPECT_EQ(byRef.size(), 2u);
    EXPECT_EQ(byRef.begin()->second, a < b ? 2 : 3);

    std::string uid = Utils::tagToUid(a);
    ASSERT_EQ(AOM_delete(a), 0);
    POMRef<WorkspaceObject> stale(Utils::uidToTag(uid));  // made fine, fails when fetched
    EXPECT_THROW(stale.operator->(), IFail);
    ERROR_store_clear();
}

// The registry and the gateway know the services in the fixed start-up order.
TEST(FrameworkStartup, ServicesAreRegisteredInTheFixedOrder) {
    const std::vector<std::string> order = {
        "Core-2006-03-FileManagement",  "Internal-Core-2006-03-Types", "Core-2006-03-Session",
        "Internal-Core-2007-05-Session", "Core-2007-01-Session",       "Core-2006-03-DataManagement",
        "Core-2007-01-DataManagement",  "Core-2007-06-DataManagement", "Core-2007-06-LOV",
        "Core-2006-03-Reservation"};
    auto& registry = Velmora::Soa::Internal::Server::ServiceManager::instance().getServiceList();
    ASSERT_FALSE(registry.empty());
    std::size_t next = 0;
    for (const auto& name : registry) {
        while (next < order.size() && order[next] != name) ++next;
        ASSERT_LT(next, order.size()) << name << " is out of order or unknown";
        EXPECT_NE(VlServiceManager::instance().find(name), nullptr) << name;
        ++next;
    }
    const auto& gateway = VlServiceManager::instance().serviceNames();
    for (std::size_t i = 0; i < registry.size(); ++i) EXPECT_EQ(gateway[i], registry[i]);
}

}  // namespace
