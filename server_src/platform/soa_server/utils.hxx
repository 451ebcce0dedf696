#pragma once
#include "soa_framework/wire/base_types.hxx"
#include "tag/tag.hxx"

#include <string>

namespace Velmora::Soa::Internal::Server {

class Utils {
public:
    // The empty uid gives the null tag; a uid naming no object a tag that is
    // never valid.
    static Tag uidToTag(const std::string& uid);
    static std::string tagToUid(unsigned int tag);
    // A reference to the object: uid, class and type. The null tag gives a
    // reference with an empty uid; a tag naming no object throws IFail.
    static Velmora::Schemas::Soa::_2006_03::Base::ModelObject createWireModelObect(const Tag& tag);
    // The same written over `object`'s own uid, class and type (its other
    // fields as they are), so one object can be refilled for many tags. On
    // IFail the object is as it was.
    static void describeWireModelObject(const Tag& tag, Velmora::Schemas::Soa::_2006_03::Base::ModelObject& object);
};

}  // namespace Velmora::Soa::Internal::Server
