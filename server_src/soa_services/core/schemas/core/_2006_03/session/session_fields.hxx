// Field lists of the session 2006_03 wire types. No include guard on
// purpose: session_types.hxx includes it to declare the types and
// session_types.cxx to define them, and each removes the lists afterwards,
// because other services reuse some of these type names.
//
// The types are sorted so that a type is declared after the types it holds.

#define VL_WIRE_FIELDS_GetPreferencesInput(F, O, A) F(std::string, PrefScope) A(std::string, PrefName)
#define VL_WIRE_FIELDS_PreferencesResponse(F, O, A) F(Base::Preferences, Preferences) F(Base::ServiceData, ServiceData)
#define VL_WIRE_FIELDS_GetAvailableServicesInput(F, O, A)
#define VL_WIRE_FIELDS_GetAvailableServicesResponse(F, O, A) A(std::string, ServiceName)
#define VL_WIRE_FIELDS_LoginInput(F, O, A) \
    F(std::string, SessionDiscriminator) F(std::string, Password) F(std::string, Group) F(std::string, Role) \
    F(std::string, Username)
#define VL_WIRE_FIELDS_LoginResponse(F, O, A) \
    F(Base::ModelObject, User) F(Base::ModelObject, GroupMember) F(Base::ServiceData, ServiceData)
#define VL_WIRE_FIELDS_SetSessionGroupMemberInput(F, O, A) F(Base::ModelObject, GroupMember)
#define VL_WIRE_FIELDS_GetGroupMembershipInput(F, O, A)
#define VL_WIRE_FIELDS_GetGroupMembershipResponse(F, O, A) \
    A(Base::ModelObject, GroupMember) F(Base::ServiceData, ServiceData)
#define VL_WIRE_FIELDS_PrefSetting(F, O, A) F(std::string, PrefScope) F(std::string, PrefName) A(std::string, PrefValue)
#define VL_WIRE_FIELDS_SetPreferencesInput(F, O, A) A(PrefSetting, Setting)
#define VL_WIRE_FIELDS_LogoutInput(F, O, A)
#define VL_WIRE_FIELDS_LoginSSOInput(F, O, A) \
    F(std::string, SessionDiscriminator) F(std::string, SsoCredentials) F(std::string, Group) F(std::string, Role) \
    F(std::string, Username)
#define VL_WIRE_FIELDS_GetSessionGroupMemberInput(F, O, A)
#define VL_WIRE_FIELDS_GetSessionGroupMemberResponse(F, O, A) \
    F(Base::ModelObject, GroupMember) F(Base::ServiceData, ServiceData)

// Applies M to every type, in declaration order.
#define VL_SESSION_0603_TYPES(M)                                                                          \
    M(GetPreferencesInput) M(PreferencesResponse) M(GetAvailableServicesInput) M(GetAvailableServicesResponse) \
    M(LoginInput) M(LoginResponse) M(SetSessionGroupMemberInput) M(GetGroupMembershipInput)                 \
    M(GetGroupMembershipResponse) M(PrefSetting) M(SetPreferencesInput) M(LogoutInput) M(LoginSSOInput)     \
    M(GetSessionGroupMemberInput) M(GetSessionGroupMemberResponse)
