#pragma once
// Request and result documents of Core-2006-03-FileManagement. Each type is
// declared once from its field list, in dependency order; the ticket map
// travels as an array of key/value entries.
#include "soa_framework/wire/base_types.hxx"
#include "soa_framework/wire/wire_type.hxx"

#include <string>

#define VL_FM0603_MODEL_OBJECT ::Velmora::Schemas::Soa::_2006_03::Base::ModelObject
#define VL_FM0603_SERVICE_DATA ::Velmora::Schemas::Soa::_2006_03::Base::ServiceData

// Applies M to every type, in declaration order.
#define VL_FM0603_TYPES(M)                                                                                    \
    M(GetFileReadTicketsInput) M(TicketMap) M(FileTicketsResponse) M(DatasetFileInfo)                         \
    M(GetDatasetWriteTicketsInputData) M(GetDatasetWriteTicketsInput) M(DatasetFileTicketInfo)                \
    M(CommitDatasetFileInfo) M(GetDatasetWriteTicketsResponse) M(CommitDatasetFilesInput)

namespace Velmora::Schemas::Core::_2006_03::Filemanagement {

#define VL_WIRE_FIELDS_GetFileReadTicketsInput(F, O, A) A(VL_FM0603_MODEL_OBJECT, File)
#define VL_WIRE_FIELDS_TicketMap(F, O, A) F(std::string, Value) F(VL_FM0603_MODEL_OBJECT, Key)
#define VL_WIRE_FIELDS_FileTicketsResponse(F, O, A) A(TicketMap, Ticket) F(VL_FM0603_SERVICE_DATA, ServiceData)
#define VL_WIRE_FIELDS_DatasetFileInfo(F, O, A)                                                         \
    F(std::string, ClientId) F(bool, AllowReplace) F(std::string, NamedReferencedName) F(bool, IsText) \
    F(std::string, FileName)
#define VL_WIRE_FIELDS_GetDatasetWriteTicketsInputData(F, O, A) \
    F(bool, CreateNewVersion) F(VL_FM0603_MODEL_OBJECT, Dataset) A(DatasetFileInfo, DatasetFileInfo)
#define VL_WIRE_FIELDS_GetDatasetWriteTicketsInput(F, O, A) A(GetDatasetWriteTicketsInputData, Input)
#define VL_WIRE_FIELDS_DatasetFileTicketInfo(F, O, A) F(std::string, Ticket) F(DatasetFileInfo, DatasetFileInfo)
#define VL_WIRE_FIELDS_CommitDatasetFileInfo(F, O, A) \
    F(bool, CreateNewVersion) F(VL_FM0603_MODEL_OBJECT, Dataset) A(DatasetFileTicketInfo, DatasetFileTicketInfo)
#define VL_WIRE_FIELDS_GetDatasetWriteTicketsResponse(F, O, A) \
    A(CommitDatasetFileInfo, CommitInfo) F(VL_FM0603_SERVICE_DATA, ServiceData)
#define VL_WIRE_FIELDS_CommitDatasetFilesInput(F, O, A) A(CommitDatasetFileInfo, CommitInput)

VL_FM0603_TYPES(VL_WIRE_DECLARE)

}  // namespace Velmora::Schemas::Core::_2006_03::Filemanagement
