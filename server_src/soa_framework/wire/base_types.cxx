#include "soa_framework/wire/base_types.hxx"

namespace Velmora::Schemas::Soa::_2006_03::Base {

VL_WIRE_DEFINE(ErrorValue)
VL_WIRE_DEFINE(ErrorStack)
VL_WIRE_DEFINE(PartialErrors)
VL_WIRE_DEFINE(RefId)
VL_WIRE_DEFINE(PropertyValue)
VL_WIRE_DEFINE(Property)
VL_WIRE_DEFINE(ModelObject)
VL_WIRE_DEFINE(ServiceData)
VL_WIRE_DEFINE(PropDependant)
VL_WIRE_DEFINE(PropDescriptor)
VL_WIRE_DEFINE(ModelType)
VL_WIRE_DEFINE(Attrib)
VL_WIRE_DEFINE(ModelClass)
VL_WIRE_DEFINE(ModelSchema)
VL_WIRE_DEFINE(PreferenceValue)
VL_WIRE_DEFINE(Preference)
VL_WIRE_DEFINE(Preferences)

}  // namespace Velmora::Schemas::Soa::_2006_03::Base
