// The converter form: a struct's two converters and a map's two, expanded
// from their field lists, against the real store.
#include "aom/aom.hxx"
#include "aom/folder.hxx"
#include "aom/loaded_objects.hxx"
#include "soa_framework/skeleton/converters.hxx"
#include "support/service_test.hxx"
#include "tag/pom_ref.hxx"

#include <map>
#include <string>
#include <vector>

namespace Velmora::Schemas::Test::_2006_03::Forms {
namespace Base = Velmora::Schemas::Soa::_2006_03::Base;
#define VL_WIRE_FIELDS_Part(F, O, A) F(std::string, Name) F(Base::ModelObject, Owner)
#define VL_WIRE_FIELDS_PartMap(F, O, A) F(Base::ModelObject, Key) F(Part, Value)
#define VL_WIRE_FIELDS_Assembly(F, O, A)                                                                    \
    F(int, Count) A(std::string, Label) F(Base::ModelObject, Main) F(Base::ModelObject, Spare)              \
    A(Base::ModelObject, Member) F(Part, Top) A(Part, Part) A(PartMap, ByOwner) F(Base::ServiceData, ServiceData)
VL_WIRE_DECLARE(Part)
VL_WIRE_DECLARE(PartMap)
VL_WIRE_DECLARE(Assembly)
VL_WIRE_DEFINE(Part)
VL_WIRE_DEFINE(PartMap)
VL_WIRE_DEFINE(Assembly)
}  // namespace Velmora::Schemas::Test::_2006_03::Forms

namespace {

namespace Wire = Velmora::Schemas::Test::_2006_03::Forms;
using Velmora::Soa::Internal::Server::Utils;

struct Local {
    struct Part {
        std::string name;
        POMRef<Folder> owner;
    };
    struct Assembly {
        int count = 0;
        std::vector<std::string> labels;
        Tag main;
        POMRef<Folder> spare;
        std::vector<Tag> members;
        Part top;
        std::vector<Part> parts;
        std::map<POMRef<Folder>, Part> byOwner;
        Velmora::Soa::Server::ServiceData serviceData;
    };
};

struct FormSkeleton {
    using PartsByOwner = std::map<POMRef<Folder>, Local::Part>;
    static Wire::Part toWire(Local::Part local);
    static Local::Part toLocal(Wire::Part wire);
    static Wire::Assembly toWire(Local::Assembly local);
    static Local::Assembly toLocal(Wire::Assembly wire);
    static std::vector<Wire::PartMap> toWirePartMap(PartsByOwner local);
    static PartsByOwner toLocalPartMap(std::vector<Wire::PartMap> wire);
};
using Skeleton = FormSkeleton;

#define VL_FIELDS_Part(X) X(Value, name, Name) X(Ref, owner, Owner)
#define VL_FIELDS_PartMap(X) X(BareRef, key, Key) X(Record, value, Value)
// The service data only crosses towards the wire, so the struct's way back
// is a list of its own.
#define VL_FIELDS_AssemblyParts(X)                                                                       \
    X(Value, count, Count) X(Strings, labels, Label) X(Ref, main, Main) X(Ref, spare, Spare)            \
    X(Refs, members, Member) X(Record, top, Top) X(Records, parts, Part) X(Map, byOwner, ByOwner, PartMap)
#define VL_FIELDS_Assembly(X) VL_FIELDS_AssemblyParts(X) X(ServiceData, serviceData, ServiceData)

VL_SKELETON_CONVERTERS(Part)
VL_SKELETON_TO_WIRE(Assembly)
VL_SKELETON_MAP(PartMap, PartsByOwner)

Local::Assembly Skeleton::toLocal(Wire::Assembly wire) {
    Local::Assembly local;
    VL_FIELDS_AssemblyParts(VL_SKELETON_STRUCT_TO_LOCAL)
    return local;
}

class SkeletonConverters : public vl::test::ServiceTest {
protected:
    // A tag that names a deleted object: it cannot be made a wire reference.
    Tag gone() {
        tag_t folder = makeFolder("gone");
        const std::string uid = Utils::tagToUid(folder);
        EXPECT_EQ(AOM_delete(folder), 0);
        return Utils::uidToTag(uid);
    }
    static int storedErrors() {
        int n = -1;
        ERROR_store_ask(&n, nullptr, nullptr, nullptr);
        return n;
    }
    static std::string uid(tag_t tag) { return Utils::tagToUid(tag); }
};

TEST_F(SkeletonConverters, EveryKindCrossesToTheWireAndBack) {
    const tag_t a = makeFolder("a"), b = makeFolder("b");
    Local::Assembly local;
    local.count = -3;
    local.labels = {"x", "", "x"};
    local.main = Tag(a);
    local.spare = POMRef<Folder>(b);
    local.members = {Tag(b), Tag(a), Tag(b)};
    local.top = {"top", POMRef<Folder>(a)};
    local.parts = {{"p1", POMRef<Folder>(b)}, {"p2", POMRef<Folder>(a)}};
    local.byOwner[POMRef<Folder>(b)] = {"of b", POMRef<Folder>(b)};
    local.byOwner[POMRef<Folder>(a)] = {"of a", POMRef<Folder>(a)};

    const Wire::Assembly wire = Skeleton::toWire(local);
    EXPECT_EQ(wire.getCount(), -3);
    EXPECT_EQ(wire.getLabelArray(), local.labels);
    EXPECT_EQ(wire.getMain().getUid(), uid(a));
    EXPECT_EQ(wire.getSpare().getUid(), uid(b));
    ASSERT_EQ(wire.getMemberArray().size(), 3u);
    EXPECT_EQ(wire.getMemberArray()[1].getUid(), uid(a));
    EXPECT_EQ(wire.getTop().getName(), "top");
    ASSERT_EQ(wire.getPartArray().size(), 2u);
    EXPECT_EQ(wire.getPartArray()[1].getOwner().getUid(), uid(a));
    // Map entries in key order: `a` was made first, so its tag is the smaller.
    ASSERT_EQ(wire.getByOwnerArray().size(), 2u);
    EXPECT_EQ(wire.getByOwnerArray()[0].getKey().getUid(), uid(a));
    EXPECT_EQ(wire.getByOwnerArray()[0].getValue().getName(), "of a");

    const Local::Assembly back = Skeleton::toLocal(wire);
    EXPECT_EQ(back.count, -3);
    EXPECT_EQ(back.labels, local.labels);
    EXPECT_EQ(back.main.value(), a);
    EXPECT_EQ(back.spare.value(), b);
    EXPECT_EQ(back.spare.cached(), nullptr) << "a converted reference holds no loaded object";
    EXPECT_EQ(back.members, local.members) << "every reference, duplicates kept";
    EXPECT_EQ(back.top.owner.value(), a);
    ASSERT_EQ(back.parts.size(), 2u);
    EXPECT_EQ(back.parts[0].name, "p1");
    ASSERT_EQ(back.byOwner.size(), 2u);
    EXPECT_EQ(back.byOwner.at(POMRef<Folder>(b)).name, "of b");
}

TEST_F(SkeletonConverters, AReferenceThatCannotBeMadeIsTheNullOneOrLeftOut) {
    const tag_t a = makeFolder("a");
    const Tag lost = gone();
    Local::Assembly local;
    local.main = lost;
    local.spare = POMRef<Folder>(a);
    local.members = {Tag(a), lost, Tag(a)};
    local.top = {"top", POMRef<Folder>(lost)};

    const Wire::Assembly wire = Skeleton::toWire(local);
    EXPECT_EQ(wire.getMain().getUid(), "");
    EXPECT_EQ(wire.getSpare().getUid(), uid(a)) << "each reference has a guard of its own";
    ASSERT_EQ(wire.getMemberArray().size(), 2u);
    EXPECT_EQ(wire.getMemberArray()[1].getUid(), uid(a));
    EXPECT_EQ(wire.getTop().getOwner().getUid(), "");
    EXPECT_EQ(storedErrors(), 0);
}

TEST_F(SkeletonConverters, AMapKeyHasNoGuard) {
    const tag_t a = makeFolder("a");
    FormSkeleton::PartsByOwner map;
    map[POMRef<Folder>(a)] = {"kept", POMRef<Folder>(a)};
    map[POMRef<Folder>(gone())] = {"lost", POMRef<Folder>(a)};
    EXPECT_THROW(Skeleton::toWirePartMap(map), IFail);
    ERROR_store_clear();
}

TEST_F(SkeletonConverters, ALaterEntryWithAnEqualKeyReplacesAnEarlierOne) {
    const tag_t a = makeFolder("a"), b = makeFolder("b");
    std::vector<Wire::PartMap> entries;
    for (auto [key, name] : {std::pair{a, "first"}, std::pair{b, "other"}, std::pair{a, "last"}}) {
        Wire::PartMap entry;
        entry.setKey(Utils::createWireModelObect(Tag(key)));
        Wire::Part part;
        part.setName(name);
        entry.setValue(part);
        entries.push_back(entry);
    }
    const FormSkeleton::PartsByOwner map = Skeleton::toLocalPartMap(entries);
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at(POMRef<Folder>(a)).name, "last");
    EXPECT_EQ(map.at(POMRef<Folder>(b)).name, "other");
    EXPECT_TRUE(Skeleton::toLocalPartMap({}).empty());
    EXPECT_TRUE(Skeleton::toWirePartMap({}).empty());
}

}  // namespace
