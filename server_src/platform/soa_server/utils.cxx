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
    if (tag.isNull()) return object;
    vl::platform::ObjectSummary summary;
    if (!vl::platform::describeObject(tag, &summary)) throw IFail(ERROR_store_ask_last_ifail(), IFail::AlreadyStored{});
    // Into the body in place: a setter's by-value parameter is one more copy
    // of each short text, and every reply names many objects.
    auto& body = *object;
    body.getUid() = vl::platform::tagToUid(tag);
    body.getClassName() = std::move(summary.className);
    body.setIsClassNameSet(true);
    body.getType() = std::move(summary.typeName);
    body.setIsTypeSet(true);
    return object;
}

}  // namespace Velmora::Soa::Internal::Server
