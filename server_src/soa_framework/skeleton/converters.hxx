#pragma once
// The one form of every skeleton's converters. A skeleton lists its
// converters once, in its header, and declares them inside its class:
//
//   #define VL_FM0603_CONVERTERS(X) X(Record, DatasetFileInfo) X(Response, FileTicketsResponse) ...
//   #define VL_FM0603_DECLARE(...) VL_SKELETON_DECLARE(FileManagement, FileManagementWire, __VA_ARGS__)
//   class ... { public: VL_FM0603_CONVERTERS(VL_FM0603_DECLARE) ... };
//
// A Record converts both ways, a Response only towards the wire, and a Map
// is named by its wire entry type and local map. The source gives a field
// list for each struct and map entry and defines them all, where `Skeleton`
// names the skeleton class, `Local` the interface that declares the local
// structs and `Wire` the namespace of the wire types:
//
//   #define VL_FIELDS_DatasetFileInfo(X) X(Value, clientId, ClientId) X(Value, isText, IsText)
//   #define VL_FIELDS_TicketMap(X) X(BareRef, key, Key) X(Value, value, Value)
//   VL_FM0603_CONVERTERS(VL_SKELETON_DEFINE)
//
// The list gives the fields in the local declaration order; both directions
// set or read them in that order. X(kind, localField, WireStem[, Name]):
//
//   Value        a string, int or bool, unchanged
//   Strings      a string array
//   Ref          one Tag or POMRef. To the wire guarded: one that cannot be
//                made is the null reference and its error is cleared. To
//                local the tag of the uid, untested, with no cached object
//   BareRef      the same without the guard: a failure leaves the converter
//   Refs         a list of Tags or POMRefs. To the wire the ones that cannot
//                be made are left out (their errors cleared), the others keep
//                their order; to local every one, duplicates kept
//   Record       one struct, through its own toWire and toLocal
//   Records      an array of structs, each through its own converters
//   Map          a map, through the skeleton's toWire<Name> and toLocal<Name>
//   Enum         an enumeration as its text: to the wire through toWire, to
//                local through toLocal<Name>
//   WireForm     a server record (preferences, a model schema) as the wire
//                form it holds, shared; towards the wire only
//   ServiceData  the reply's service data, prepared; towards the wire only,
//                and last in its list
//
// A map travels as entries with the stems Key and Value: towards the wire in
// the map's key order, towards the local side a later entry with an equal key
// replacing an earlier one. The key crosses before the value.
#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "soa_framework/wire/base_types.hxx"
#include "soa_server/service_data.hxx"
#include "soa_server/utils.hxx"
#include "tag/tag.hxx"

#include <type_traits>
#include <utility>
#include <vector>

namespace vl::skeleton {

inline Tag tagOf(const Tag& tag) { return tag; }
inline Tag tagOf(unsigned int tag) { return Tag(tag); }
template <class Ref>
  requires requires(const Ref& r) { r.tag(); }
Tag tagOf(const Ref& ref) {
    return ref.tag();
}

// A tag as a wire reference; a tag that cannot be made into one gives the
// null reference, and the error it stored is cleared.
inline Velmora::Schemas::Soa::_2006_03::Base::ModelObject toWireRef(const Tag& tag) {
    try {
        return Velmora::Soa::Internal::Server::Utils::createWireModelObect(tag);
    } catch (const IFail&) {
        ERROR_store_clear();
        return Velmora::Soa::Internal::Server::Utils::createWireModelObect(Tag(0));
    }
}

// A list of tags as wire references; a tag that cannot be made into one is
// left out (its error cleared), the others keep their order. Takes any range
// of `Tag`, `POMRef<T>` or raw tags.
template <class Range>
std::vector<Velmora::Schemas::Soa::_2006_03::Base::ModelObject> toWireRefs(const Range& tags) {
    std::vector<Velmora::Schemas::Soa::_2006_03::Base::ModelObject> wire;
    for (const auto& element : tags) {
        try {
            wire.push_back(Velmora::Soa::Internal::Server::Utils::createWireModelObect(tagOf(element)));
        } catch (const IFail&) {
            ERROR_store_clear();
        }
    }
    return wire;
}

inline Tag toLocalRef(const Velmora::Schemas::Soa::_2006_03::Base::ModelObject& object) {
    return Velmora::Soa::Internal::Server::Utils::uidToTag(object.getUid());
}

// Every wire reference becomes a tag (or a typed reference holding only the
// tag): none is left out, duplicates stay.
template <class LocalVector = std::vector<Tag>>
LocalVector toLocalRefs(const std::vector<Velmora::Schemas::Soa::_2006_03::Base::ModelObject>& objects) {
    LocalVector local;
    local.reserve(objects.size());
    for (const auto& object : objects) local.push_back(toLocalRef(object));
    return local;
}

// The service data of a reply, prepared for the wire.
inline Velmora::Schemas::Soa::_2006_03::Base::ServiceData toWireServiceData(Velmora::Soa::Server::ServiceData data) {
    data.getNotifications();
    data.inflateProperties();
    return std::move(data.getWireData());  // the local goes: no copy of its wire body
}

// The service data that is a reply's root: written as toWireServiceData's
// result would be, each object's properties read just before it is written.
struct StreamedServiceData {
    Velmora::Soa::Server::ServiceData data;
    void drainXML(Velmora::Soa::Common::Xml::XmlStream& out, const std::string& elementName) {
        data.writeInflated(out, elementName);
    }
};

inline StreamedServiceData toStreamedServiceData(Velmora::Soa::Server::ServiceData data) {
    data.getNotifications();
    return {std::move(data)};
}

// A server record as the wire form it holds: the wire object shares the
// record's body.
template <class Record>
auto toWireForm(Record record) {
    return std::remove_cvref_t<decltype(record.getWireData())>(record.getWireData());
}

// Each element of a wire array through the skeleton's toLocal, in order.
template <class Skeleton, class WireElement>
auto toLocalRecords(const std::vector<WireElement>& wire) {
    std::vector<decltype(Skeleton::toLocal(std::declval<WireElement>()))> local;
    local.reserve(wire.size());
    for (const auto& element : wire) local.push_back(Skeleton::toLocal(element));
    return local;
}

// Each element of a local array through the skeleton's toWire, in order; the
// array is the converter's own copy, so its elements are moved, not copied.
template <class Skeleton, class LocalElement>
auto toWireRecords(std::vector<LocalElement>& local) {
    std::vector<decltype(Skeleton::toWire(std::declval<LocalElement>()))> wire;
    wire.reserve(local.size());
    for (auto& element : local) wire.push_back(Skeleton::toWire(std::move(element)));
    return wire;
}

// A struct result goes by value to the skeleton's toWire: the one copy is
// the converter's parameter.
template <class Skeleton, class Response>
auto toWireResponse(Response&& local) {
    return Skeleton::toWire(std::move(local));
}

// A flag result as the one-field output that carries it.
template <class Output>
Output toWireFlag(bool out) {
    Output wire;
    wire.setOut(out);
    return wire;
}

}  // namespace vl::skeleton

// Declarations, inside the skeleton class: `Local` names the interface that
// declares the local structs, `Wire` the namespace of the wire types.
#define VL_SKELETON_DECLARE(Local, Wire, kind, ...) VL_SKELETON_DECLARE_##kind(Local, Wire, __VA_ARGS__)
#define VL_SKELETON_DECLARE_Record(Local, Wire, T) \
    static Wire::T toWire(Local::T local);         \
    static Local::T toLocal(Wire::T wire);
#define VL_SKELETON_DECLARE_Response(Local, Wire, T) static Wire::T toWire(Local::T local);
#define VL_SKELETON_DECLARE_Map(Local, Wire, Entry, LocalMap)      \
    static std::vector<Wire::Entry> toWire##Entry(LocalMap local); \
    static LocalMap toLocal##Entry(std::vector<Wire::Entry> wire);

// One field towards the wire: `wire` is the object set, `local` the value.
#define VL_SKELETON_WIRE_Value(wire, local, W) wire.set##W(std::move(local));
#define VL_SKELETON_WIRE_Strings(wire, local, W) wire.set##W##Array(std::move(local));
#define VL_SKELETON_WIRE_Ref(wire, local, W) wire.set##W(::vl::skeleton::toWireRef(::vl::skeleton::tagOf(local)));
#define VL_SKELETON_WIRE_BareRef(wire, local, W) \
    wire.set##W(::Velmora::Soa::Internal::Server::Utils::createWireModelObect(::vl::skeleton::tagOf(local)));
#define VL_SKELETON_WIRE_Refs(wire, local, W) wire.set##W##Array(::vl::skeleton::toWireRefs(local));
#define VL_SKELETON_WIRE_Record(wire, local, W) wire.set##W(Skeleton::toWire(std::move(local)));
#define VL_SKELETON_WIRE_Records(wire, local, W) wire.set##W##Array(::vl::skeleton::toWireRecords<Skeleton>(local));
#define VL_SKELETON_WIRE_Map(wire, local, W, Name) wire.set##W##Array(Skeleton::toWire##Name(std::move(local)));
#define VL_SKELETON_WIRE_Enum(wire, local, W, Name) wire.set##W(Skeleton::toWire(local));
#define VL_SKELETON_WIRE_WireForm(wire, local, W) wire.set##W(::vl::skeleton::toWireForm(std::move(local)));
#define VL_SKELETON_WIRE_ServiceData(wire, local, W) \
    wire.set##W(::vl::skeleton::toWireServiceData(std::move(local)));

// One field towards the local side: `local` is the value set from `wire`.
#define VL_SKELETON_LOCAL_Value(local, wire, W) local = wire.get##W();
#define VL_SKELETON_LOCAL_Strings(local, wire, W) local = wire.get##W##Array();
#define VL_SKELETON_LOCAL_Ref(local, wire, W) local = ::vl::skeleton::toLocalRef(wire.get##W());
#define VL_SKELETON_LOCAL_BareRef(local, wire, W) VL_SKELETON_LOCAL_Ref(local, wire, W)
#define VL_SKELETON_LOCAL_Refs(local, wire, W) \
    local = ::vl::skeleton::toLocalRefs<std::remove_cvref_t<decltype(local)>>(wire.get##W##Array());
#define VL_SKELETON_LOCAL_Record(local, wire, W) local = Skeleton::toLocal(wire.get##W());
#define VL_SKELETON_LOCAL_Records(local, wire, W) \
    local = ::vl::skeleton::toLocalRecords<Skeleton>(wire.get##W##Array());
#define VL_SKELETON_LOCAL_Map(local, wire, W, Name) local = Skeleton::toLocal##Name(wire.get##W##Array());
#define VL_SKELETON_LOCAL_Enum(local, wire, W, Name) local = Skeleton::toLocal##Name(wire.get##W());

#define VL_SKELETON_STRUCT_TO_WIRE(kind, field, ...) VL_SKELETON_WIRE_##kind(wire, local.field, __VA_ARGS__)
#define VL_SKELETON_STRUCT_TO_LOCAL(kind, field, ...) VL_SKELETON_LOCAL_##kind(local.field, wire, __VA_ARGS__)
#define VL_SKELETON_ENTRY_TO_WIRE(kind, part, ...) VL_SKELETON_WIRE_##kind(entry, part, __VA_ARGS__)
#define VL_SKELETON_ENTRY_TO_LOCAL(kind, part, ...) VL_SKELETON_LOCAL_##kind(part, entry, __VA_ARGS__)

// Wire::T Skeleton::toWire(Local::T), from VL_FIELDS_T.
#define VL_SKELETON_TO_WIRE(T)                       \
    Wire::T Skeleton::toWire(Local::T local) {       \
        Wire::T wire;                                \
        VL_FIELDS_##T(VL_SKELETON_STRUCT_TO_WIRE)     \
        return wire;                                 \
    }

// Local::T Skeleton::toLocal(Wire::T), from VL_FIELDS_T.
#define VL_SKELETON_TO_LOCAL(T)                      \
    Local::T Skeleton::toLocal(Wire::T wire) {       \
        Local::T local;                              \
        VL_FIELDS_##T(VL_SKELETON_STRUCT_TO_LOCAL)    \
        return local;                                \
    }

// Both directions of a struct.
#define VL_SKELETON_CONVERTERS(T) VL_SKELETON_TO_WIRE(T) VL_SKELETON_TO_LOCAL(T)

// Skeleton::toWire<Entry>(Skeleton::LocalMap) and toLocal<Entry>, from
// VL_FIELDS_Entry, whose parts are named `key` and `value`.
#define VL_SKELETON_MAP(Entry, LocalMap)                                             \
    std::vector<Wire::Entry> Skeleton::toWire##Entry(Skeleton::LocalMap local) {     \
        std::vector<Wire::Entry> wire;                                               \
        wire.reserve(local.size());                                                  \
        for (auto& [key, value] : local) {                                           \
            Wire::Entry entry;                                                       \
            VL_FIELDS_##Entry(VL_SKELETON_ENTRY_TO_WIRE)                             \
            wire.push_back(std::move(entry));                                        \
        }                                                                            \
        return wire;                                                                 \
    }                                                                                \
    Skeleton::LocalMap Skeleton::toLocal##Entry(std::vector<Wire::Entry> wire) {     \
        Skeleton::LocalMap local;                                                    \
        for (const Wire::Entry& entry : wire) {                                      \
            Skeleton::LocalMap::key_type key;                                        \
            Skeleton::LocalMap::mapped_type value;                                   \
            VL_FIELDS_##Entry(VL_SKELETON_ENTRY_TO_LOCAL)                            \
            local.insert_or_assign(std::move(key), std::move(value));               \
        }                                                                            \
        return local;                                                                \
    }

// The definitions of one entry of a skeleton's converter list.
#define VL_SKELETON_DEFINE(kind, ...) VL_SKELETON_DEFINE_##kind(__VA_ARGS__)
#define VL_SKELETON_DEFINE_Record(T) VL_SKELETON_CONVERTERS(T)
#define VL_SKELETON_DEFINE_Response(T) VL_SKELETON_TO_WIRE(T)
#define VL_SKELETON_DEFINE_Map(Entry, LocalMap) VL_SKELETON_MAP(Entry, LocalMap)
