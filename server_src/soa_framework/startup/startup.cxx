// Registration at load: three steps per service, services in this fixed
// order. All of them stand in this one file because C++ orders static
// initialisers only within a file.
//
//  1 Core-2006-03-FileManagement      6 Core-2006-03-DataManagement
//  2 Internal-Core-2006-03-Types      7 Core-2007-01-DataManagement
//  3 Core-2006-03-Session             8 Core-2007-06-DataManagement
//  4 Internal-Core-2007-05-Session    9 Core-2007-06-LOV
//  5 Core-2007-01-Session            10 Core-2006-03-Reservation
#include "soa_framework/startup/registration.hxx"
#include "soa_services/core/skeletons/core/_2006_03/filemanagement/filemanagement_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2006_03/reservation/reservation_skeleton.hxx"
#include "soa_services/core/code/session0603impl.hxx"
#include "soa_services/core/skeletons/core/_2006_03/session/session_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2007_01/session/session_skeleton.hxx"
#include "soa_services/core/skeletons/internal/core/_2007_05/session/session_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2006_03/datamanagement/datamanagement_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2007_01/datamanagement/datamanagement_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2007_06/datamanagement/datamanagement_skeleton.hxx"
#include "soa_services/core/skeletons/core/_2007_06/lov/lov_skeleton.hxx"
#include "soa_services/core/skeletons/internal/_2006_03/types/types_skeleton.hxx"

// 1 Core-2006-03-FileManagement
VL_REGISTER_SERVICE(FileManagement0603, "Core-2006-03-FileManagement",
                    Velmora::Services::Core::_2006_03::FileManagementIiopSkeleton,
                    Velmora::Soa::Core::_2006_03::FileManagementImpl)

// 2 Internal-Core-2006-03-Types
VL_REGISTER_SERVICE(Types0603, "Internal-Core-2006-03-Types",
                    Velmora::Services::Internal::Core::_2006_03::TypesIiopSkeleton,
                    Velmora::Soa::Internal::Core::_2006_03::TypesImpl)

// 3 Core-2006-03-Session
VL_REGISTER_SERVICE(Session0603, "Core-2006-03-Session", Velmora::Services::Core::_2006_03::SessionIiopSkeleton,
                    Velmora::Soa::Core::_2006_03::SessionImpl)

// 4 Internal-Core-2007-05-Session
VL_REGISTER_SERVICE(Session0705, "Internal-Core-2007-05-Session",
                    Velmora::Services::Internal::Core::_2007_05::SessionIiopSkeleton,
                    Velmora::Soa::Internal::Core::_2007_05::SessionImpl)

// 5 Core-2007-01-Session
VL_REGISTER_SERVICE(Session0701, "Core-2007-01-Session", Velmora::Services::Core::_2007_01::SessionIiopSkeleton,
                    Velmora::Soa::Core::_2007_01::SessionImpl)

// 6 Core-2006-03-DataManagement
VL_REGISTER_SERVICE(DataManagement0603, "Core-2006-03-DataManagement",
                    Velmora::Services::Core::_2006_03::DataManagementIiopSkeleton,
                    Velmora::Soa::Core::_2006_03::DataManagementImpl)

// 7 Core-2007-01-DataManagement
VL_REGISTER_SERVICE(DataManagement0701, "Core-2007-01-DataManagement",
                    Velmora::Services::Core::_2007_01::DataManagementIiopSkeleton,
                    Velmora::Soa::Core::_2007_01::DataManagementImpl)

// 8 Core-2007-06-DataManagement
VL_REGISTER_SERVICE(DataManagement0706, "Core-2007-06-DataManagement",
                    Velmora::Services::Core::_2007_06::DataManagementIiopSkeleton,
                    Velmora::Soa::Core::_2007_06::DataManagementImpl)

// 9 Core-2007-06-LOV
VL_REGISTER_SERVICE(LOV0706, "Core-2007-06-LOV", Velmora::Services::Core::_2007_06::LOVIiopSkeleton,
                    Velmora::Soa::Core::_2007_06::LOVImpl)

// 10 Core-2006-03-Reservation
VL_REGISTER_SERVICE(Reservation0603, "Core-2006-03-Reservation",
                    Velmora::Services::Core::_2006_03::ReservationIiopSkeleton,
                    Velmora::Soa::Core::_2006_03::ReservationImpl)
