// Field lists of the session 2007_01 wire types. No include guard on
// purpose: session_types.hxx includes it to declare the types and
// session_types.cxx to define them, and each removes the lists afterwards,
// because the 2006_03 session has a type of the same name.
//
// The types are sorted so that a type is declared after the types it holds.

#define VL_WIRE_FIELDS_ScopedPreferenceNames(F, O, A) F(std::string, Scope) A(std::string, Name)
#define VL_WIRE_FIELDS_GetPreferencesInput(F, O, A) A(ScopedPreferenceNames, RequestedPref)
#define VL_WIRE_FIELDS_ReturnedPreferences(F, O, A) F(std::string, Name) F(std::string, Scope) A(std::string, Value)
#define VL_WIRE_FIELDS_MultiPreferencesResponse(F, O, A) \
    A(ReturnedPreferences, Preference) F(Base::ServiceData, ServiceData)
#define VL_WIRE_FIELDS_GetVLSessionInfoInput(F, O, A)
#define VL_WIRE_FIELDS_TextInfo(F, O, A) F(std::string, DisplayName) F(std::string, RealName)
#define VL_WIRE_FIELDS_ExtraInfo(F, O, A) F(std::string, Key) F(std::string, Value)
#define VL_WIRE_FIELDS_GetVLSessionInfoResponse(F, O, A)                                                     \
    F(int, ModuleNumber) F(std::string, TransientVolRootDir) F(bool, AdmJournaling) F(std::string, ServerVersion) \
    F(bool, AppJournaling) F(bool, Bypass) F(bool, IsSubscriptionMgrEnabled) F(bool, Journaling)                \
    F(bool, SecJournaling) F(bool, IsPartBOMUsageEnabled) F(bool, IsInV7Mode) F(bool, Privileged)              \
    F(Base::ModelObject, User) F(Base::ModelObject, Group) F(Base::ModelObject, Role)                          \
    F(Base::ModelObject, VlVolume) F(Base::ModelObject, Project) F(Base::ModelObject, WorkContext)             \
    F(Base::ModelObject, Site) A(TextInfo, TextInfo) A(ExtraInfo, ExtraInfo) F(Base::ServiceData, ServiceData)
#define VL_WIRE_FIELDS_SetObjectPropertyPolicyInput(F, O, A) F(std::string, PolicyName)
#define VL_WIRE_FIELDS_SetObjectPropertyPolicyOutput(F, O, A) F(bool, Out)

// Applies M to every type, in declaration order.
#define VL_SESSION_0701_TYPES(M)                                                                         \
    M(ScopedPreferenceNames) M(GetPreferencesInput) M(ReturnedPreferences) M(MultiPreferencesResponse)     \
    M(GetVLSessionInfoInput) M(TextInfo) M(ExtraInfo) M(GetVLSessionInfoResponse)                          \
    M(SetObjectPropertyPolicyInput) M(SetObjectPropertyPolicyOutput)
