#pragma once
// Wire types shared by every service: object references, service data with
// partial errors, type descriptions and preference lists.
#include "soa_framework/wire/wire_type.hxx"

namespace Velmora::Schemas::Soa::_2006_03::Base {

#define VL_WIRE_FIELDS_ErrorValue(F, O, A) O(std::string, Message) F(int, Code) F(int, Level)
#define VL_WIRE_FIELDS_ErrorStack(F, O, A) \
    O(std::string, ClientId) O(std::string, Uid) O(int, ClientIndex) A(ErrorValue, ErrorValue)
#define VL_WIRE_FIELDS_PartialErrors(F, O, A) A(ErrorStack, Error)
#define VL_WIRE_FIELDS_RefId(F, O, A) F(std::string, Uid)
#define VL_WIRE_FIELDS_PropertyValue(F, O, A) O(bool, IsNull) F(std::string, Value)
#define VL_WIRE_FIELDS_Property(F, O, A) \
    F(bool, Modifiable) F(std::string, Name) F(std::string, UiValue) A(PropertyValue, Value)
#define VL_WIRE_FIELDS_ModelObject(F, O, A)                                                    \
    O(std::string, ClassUid) F(std::string, Uid) O(std::string, ClassName) O(std::string, Type) \
    A(Property, Propertie)
#define VL_WIRE_FIELDS_ServiceData(F, O, A)                                                 \
    A(RefId, UpdatedObj) A(RefId, DeletedObj) A(RefId, CreatedObj) A(RefId, PlainObj)        \
    A(ModelObject, DataObject) A(ErrorStack, PartialError)
#define VL_WIRE_FIELDS_PropDependant(F, O, A) F(std::string, Name)
#define VL_WIRE_FIELDS_PropDescriptor(F, O, A)                                                   \
    F(std::string, Name) O(int, MaxLength) O(std::string, LovUid) O(std::string, LovTypeUid)      \
    F(bool, Displayable) O(int, AttachedSpecifier) F(std::string, TypeUid) O(bool, Enabled)       \
    O(bool, Required) F(int, Type) F(bool, AnArray) F(std::string, Uiname) F(int, Ptype)          \
    F(bool, Modifiable) A(PropDependant, PropDependant)
#define VL_WIRE_FIELDS_ModelType(F, O, A)                                                      \
    F(bool, TransientType) O(std::string, ParentTypeName) F(bool, ExternalObject)               \
    O(std::string, UifName) F(std::string, Name) F(std::string, Uid) F(std::string, ClassName)  \
    F(std::string, TypeUid) A(PropDescriptor, PropDescriptor)
#define VL_WIRE_FIELDS_Attrib(F, O, A)                                                     \
    O(int, MaxLength) F(std::string, Name) F(std::string, Uid) F(int, Descriptors)          \
    F(int, Type) O(std::string, RefClassUid) O(std::string, UiName)
#define VL_WIRE_FIELDS_ModelClass(F, O, A) O(std::string, ParentClassName) F(std::string, Name) A(Attrib, Attribute)
#define VL_WIRE_FIELDS_ModelSchema(F, O, A) A(ModelType, Type) A(ModelClass, Classe)
#define VL_WIRE_FIELDS_PreferenceValue(F, O, A) F(std::string, Value)
#define VL_WIRE_FIELDS_Preference(F, O, A) F(std::string, Name) F(std::string, Scope) A(PreferenceValue, Value)
#define VL_WIRE_FIELDS_Preferences(F, O, A) A(Preference, Pref)

VL_WIRE_DECLARE(ErrorValue)
VL_WIRE_DECLARE(ErrorStack)
VL_WIRE_DECLARE(PartialErrors)
VL_WIRE_DECLARE(RefId)
VL_WIRE_DECLARE(PropertyValue)
VL_WIRE_DECLARE(Property)
VL_WIRE_DECLARE(ModelObject)
VL_WIRE_DECLARE(ServiceData)
VL_WIRE_DECLARE(PropDependant)
VL_WIRE_DECLARE(PropDescriptor)
VL_WIRE_DECLARE(ModelType)
VL_WIRE_DECLARE(Attrib)
VL_WIRE_DECLARE(ModelClass)
VL_WIRE_DECLARE(ModelSchema)
VL_WIRE_DECLARE(PreferenceValue)
VL_WIRE_DECLARE(Preference)
VL_WIRE_DECLARE(Preferences)

}  // namespace Velmora::Schemas::Soa::_2006_03::Base
