#include "soa_server/utils.hxx"

#include "foundation/error_store.hxx"
#include "foundation/ifail.hxx"
#include "pom/soa_view.hxx"

#include <utility>

namespace Velmora::Soa::Internal::Server {

Tag Utils::uidToTag(const std::string& uid) { return Tag(vl::platform::uidToTag(uid)); }

std::string Utils::tagToUid(unsigned int tag) { return vl::platform::tagToUid(tag); }

Velmora::Schemas::Soa::_2006_03::Base::ModelObject Utils::createWireModelObect(const Tag& tag) {
    Velmora::Schemas::Soa::_2006_03::Base::ModelObject object;
    describeWireModelObject(tag, object);
    return object;
}

void Utils::describeWireModelObject(const Tag& tag, Velmora::Schemas::Soa::_2006_03::Base::ModelObject& object) {
    // Into the body in place: a setter's by-value parameter is one more copy
    // of each short text, and every reply names many objects.
    auto& body = *object;
    if (tag.isNull()) {
        body.getUid().clear();
        body.getClassName().clear();
        body.setIsClassNameSet(false);
        body.getType().clear();
        body.setIsTypeSet(false);
        return;
    }
    vl::platform::ObjectSummary summary;
    if (!vl::platform::describeObject(tag, &summary)) throw IFail(ERROR_store_ask_last_ifail(), IFail::AlreadyStored{});
    body.getUid() = std::move(summary.uid);  // found with the object: no second look-up
    body.getClassName() = std::move(summary.className);
    body.setIsClassNameSet(true);
    body.getType() = std::move(summary.typeName);
    body.setIsTypeSet(true);
}

}  // namespace Velmora::Soa::Internal::Server
