#include "platform/Online.h"

#include <algorithm>
#include <cstring>

#include "platform/Codec.h"
#include "platform/online/ParameterForm.h"
#include "platform/online/PluginRegistry.h"

namespace hv {

static OnlineLibrary& Lib() { return OnlineLibrary::Get(); }

BOOL Vostrel_Init() { return Lib().Init() ? TRUE : FALSE; }
void Vostrel_DeInit() { Lib().DeInit(); }
bool Vostrel_IsInitialised() { return Lib().IsInitialised(); }

BOOL Vostrel_CheckDriverParameter(const wxString& netDriver, const wxString& devDriverFile) {
  return Lib().CheckDriverParameter(netDriver, devDriverFile);
}

BOOL Vostrel_SelectDriverParameter(int language, const wxString& driverFile, wxString& slot, size_t slotCapacity,
                                   wxString& param, size_t paramCapacity) {
  return Lib().SelectDriverParameter(language, driverFile, slot, slotCapacity, param, paramCapacity);
}

BOOL Vostrel_SelectDeviceParameter(int language, const wxString& netDriver, const wxString& slot,
                                   const wxString& devDriverFile, wxString& node, size_t nodeCapacity,
                                   wxString& param, size_t paramCapacity) {
  return Lib().SelectDeviceParameter(language, netDriver, slot, devDriverFile, node, nodeCapacity, param,
                                     paramCapacity);
}

BOOL Vostrel_DefaultDriverParameter(const wxString& driverFile, wxString& slot, wxString& param) {
  auto driver = PluginRegistry::Get().Driver(driverFile);
  if (!driver) return FALSE;
  std::vector<ParameterField> fields = ParseParameterSchema(driver->parameterSchema ? driver->parameterSchema() : nullptr);
  FillParameterFields(fields, wxString());
  wxString newSlot;
  for (const ParameterField& f : fields) {
    if (!CheckParameterField(f).empty()) return FALSE;
    if (f.key == "slot") newSlot = f.value;
  }
  if (newSlot.empty()) return FALSE;
  slot = newSlot;
  param = JoinParameterFields(fields);
  return TRUE;
}

static std::vector<ParameterField> NodeFields(const wxString& devDriverFile) {
  auto device = PluginRegistry::Get().Device(devDriverFile);
  std::vector<ParameterField> nodes;
  if (!device) return nodes;
  for (ParameterField& f : ParseParameterSchema(device->parameterSchema ? device->parameterSchema() : nullptr))
    if (f.key == "node") nodes.push_back(f);
  return nodes;
}

BOOL Vostrel_CheckDeviceNode(const wxString& devDriverFile, const wxString& node) {
  if (!PluginRegistry::Get().Device(devDriverFile) || node.empty()) return FALSE;
  for (ParameterField& f : NodeFields(devDriverFile)) {
    f.value = node;
    if (!CheckParameterField(f).empty()) return FALSE;
  }
  return TRUE;
}

wxString Vostrel_DefaultDeviceNode(const wxString& devDriverFile) {
  const std::vector<ParameterField> nodes = NodeFields(devDriverFile);
  return nodes.empty() ? wxString() : nodes.front().defaultValue;
}

BOOL Vostrel_SetDriverParameter(const wxString& driver, const wxString& slot, const wxString& param) {
  return Lib().SetDriverParameter(driver, slot, param);
}

DWORD Vostrel_RegisterDataPoint(const wxString& netDriver, const wxString& slot, const wxString& devDriver,
                                const wxString& node, const wxString& devParam, const wxString& address,
                                DWORD access, DWORD signalMin, DWORD signalMax, DWORD measureMin,
                                DWORD measureMax, DWORD type, DWORD textLength) {
  DataPointRegistration dp;
  dp.netDriver = netDriver;
  dp.slot = slot;
  dp.devDriver = devDriver;
  dp.node = node;
  dp.devParam = devParam;
  dp.address = address;
  dp.access = access;
  dp.signalMin = signalMin;
  dp.signalMax = signalMax;
  dp.measureMin = measureMin;
  dp.measureMax = measureMax;
  dp.type = type;
  dp.textLength = textLength;
  return Lib().RegisterDataPoint(dp);
}

BOOL Vostrel_SetPollTime(DWORD handle, DWORD milliseconds) { return Lib().SetPollTime(handle, milliseconds); }
BOOL Vostrel_ActivateDataPoint(DWORD handle, BOOL active) { return Lib().ActivateDataPoint(handle, active); }
BOOL Vostrel_ReadDataPoint(DWORD handle, void* buffer, size_t capacity) {
  return Lib().ReadDataPoint(handle, buffer, capacity);
}
DWORD Vostrel_GetLastError() { return Lib().GetLastError(); }
void Vostrel_ClearDataPoint(DWORD handle) { Lib().ClearDataPoint(handle); }

BOOL Vostrel_StartScan(const wxString& driver, const wxString& slot, const wxString& resultFile,
                       const wxString& param) {
  return Lib().StartScan(driver, slot, resultFile, param);
}

BOOL Vostrel_ProgressScan(char* buffer, size_t capacity) {
  if (!buffer || capacity == 0) return FALSE;
  const std::string text = ToUtf8(Lib().ProgressScan());
  size_t n = std::min(text.size(), capacity - 1);
  // Cut before a character, never inside one: a split character makes the text no UTF-8.
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return TRUE;
}

void Vostrel_EscapeScan() { Lib().EscapeScan(); }

}  // namespace hv
