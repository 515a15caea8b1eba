#pragma once
// The online communication library under the names the program calls. Each forwards
// to OnlineLibrary (platform/online/OnlineLibrary.h), where the drivers plug in.
#include <cstddef>
#include <wx/string.h>

#include "platform/Types.h"
#include "platform/online/OnlineLibrary.h"

namespace hv {

BOOL Vostrel_Init();
void Vostrel_DeInit();
bool Vostrel_IsInitialised();

BOOL Vostrel_CheckDriverParameter(const wxString& netDriver, const wxString& devDriverFile);
BOOL Vostrel_SelectDriverParameter(int language, const wxString& driverFile, wxString& slot, size_t slotCapacity,
                                   wxString& param, size_t paramCapacity);
BOOL Vostrel_SelectDeviceParameter(int language, const wxString& netDriver, const wxString& slot,
                                   const wxString& devDriverFile, wxString& node, size_t nodeCapacity,
                                   wxString& param, size_t paramCapacity);
// What a driver proposes when nothing is stored for it: its own defaults of slot and
// parameters. FALSE for an unknown driver or one without defaults of its own.
BOOL Vostrel_DefaultDriverParameter(const wxString& driverFile, wxString& slot, wxString& param);
// Whether the device driver's parameter dialog takes the node as it is.
BOOL Vostrel_CheckDeviceNode(const wxString& devDriverFile, const wxString& node);
// The node the device driver proposes; empty when it has none.
wxString Vostrel_DefaultDeviceNode(const wxString& devDriverFile);
BOOL Vostrel_SetDriverParameter(const wxString& driver, const wxString& slot, const wxString& param);
DWORD Vostrel_RegisterDataPoint(const wxString& netDriver, const wxString& slot, const wxString& devDriver,
                                const wxString& node, const wxString& devParam, const wxString& address,
                                DWORD access, DWORD signalMin, DWORD signalMax, DWORD measureMin,
                                DWORD measureMax, DWORD type, DWORD textLength);
BOOL Vostrel_SetPollTime(DWORD handle, DWORD milliseconds);
BOOL Vostrel_ActivateDataPoint(DWORD handle, BOOL active);
// The buffer's capacity is always given; a value that does not fit is not read.
BOOL Vostrel_ReadDataPoint(DWORD handle, void* buffer, size_t capacity);
DWORD Vostrel_GetLastError();
void Vostrel_ClearDataPoint(DWORD handle);
BOOL Vostrel_StartScan(const wxString& driver, const wxString& slot, const wxString& resultFile,
                       const wxString& param);
// Copies the progress text into buffer (cut to capacity - 1, zero-terminated).
BOOL Vostrel_ProgressScan(char* buffer, size_t capacity);
void Vostrel_EscapeScan();

}  // namespace hv
