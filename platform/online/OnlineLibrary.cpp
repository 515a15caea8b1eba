#include "platform/online/OnlineLibrary.h"

#include <algorithm>
#include <cstring>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/DeviceAddress.h"
#include "platform/online/OnlineInternal.h"
#include "platform/online/ParameterForm.h"
#include "platform/online/PluginRegistry.h"
#include "platform/online/ScanFile.h"

namespace hv {

namespace {
thread_local DWORD t_lastError = 0;

wxString Key(const wxString& driver, const wxString& slot) { return PluginRegistry::NormalizeTitle(driver) + "\n" + slot; }
}  // namespace

std::unique_ptr<OnlineLibrary::Connection> OpenConnection(std::shared_ptr<const DriverPlugin> driver,
                                                          const wxString& slot, const wxString& param) {
  if (!driver) {
    t_lastError = HV_ERR_NO_DRIVER;
    return nullptr;
  }
  uint32_t err = 0;
  HvDriverContext* ctx = driver->open(ToUtf8(slot).c_str(), ToUtf8(param).c_str(), &err);
  if (!ctx) {
    t_lastError = err ? err : HV_ERR_BAD_PARAMETER;
    return nullptr;
  }
  auto c = std::make_unique<OnlineLibrary::Connection>();
  c->driver = std::move(driver);
  c->ctx = ctx;
  c->param = param;
  return c;
}

OnlineLibrary& OnlineLibrary::Get() {
  static OnlineLibrary library;
  return library;
}

OnlineLibrary::~OnlineLibrary() { EscapeScan(); }

bool OnlineLibrary::Init() {
  if (!IsFolder(DefaultDataFolder())) return false;
  std::lock_guard lock(m_mutex);
  ++m_initCount;
  return true;
}

void OnlineLibrary::DeInit() {
  EscapeScan();
  {
    std::lock_guard lock(m_mutex);
    if (m_initCount > 0) --m_initCount;
    if (m_initCount > 0) return;
    // Data points go before their connections, connections before their libraries.
    m_dataPoints.clear();
    m_connections.clear();
  }
  PluginRegistry::Get().Reset();
}

bool OnlineLibrary::IsInitialised() const {
  std::lock_guard lock(m_mutex);
  return m_initCount > 0;
}

DWORD OnlineLibrary::GetLastError() const { return t_lastError; }
void OnlineLibrary::SetLastError(DWORD error) { t_lastError = error; }

bool OnlineLibrary::CheckDriverParameter(const wxString& netDriver, const wxString& devDriverFile) {
  const wxString net = PluginRegistry::NormalizeTitle(netDriver);
  auto device = PluginRegistry::Get().Device(devDriverFile);
  if (net.empty() || !device) {
    SetLastError(HV_ERR_NO_DRIVER);
    return false;
  }
  return device->CheckDriver(net);
}

bool OnlineLibrary::SelectDriverParameter(int language, const wxString& driverFile, wxString& slot,
                                          size_t slotCapacity, wxString& param, size_t paramCapacity) {
  auto driver = PluginRegistry::Get().Driver(driverFile);
  if (!driver) {
    SetLastError(HV_ERR_NO_DRIVER);
    return false;
  }
  DriverParameterRequest req;
  req.language = language;
  req.driverTitle = driver->title;
  req.displayName = driver->displayName;
  req.slot = slot;
  req.slotCapacity = slotCapacity;
  req.param = param;
  req.paramCapacity = paramCapacity;
  req.fields = ParseParameterSchema(driver->parameterSchema ? driver->parameterSchema() : nullptr);
  FillParameterFields(req.fields, param, slot);
  if (Ui().Run(req) != IDOK) return false;

  wxString newSlot = req.slot, newParam = req.param;
  if (!req.fields.empty()) {
    for (const ParameterField& f : req.fields) {
      if (!CheckParameterField(f).empty()) {
        SetLastError(HV_ERR_BAD_PARAMETER);
        return false;
      }
      if (f.key == "slot") newSlot = f.value;
    }
    newParam = JoinParameterFields(req.fields);
  }
  if (newSlot.empty()) newSlot = slot;
  if (newSlot.empty() || newSlot.length() >= slotCapacity || newParam.length() >= paramCapacity) {
    SetLastError(HV_ERR_BAD_PARAMETER);
    return false;
  }
  slot = newSlot;
  param = newParam;
  return true;
}

bool OnlineLibrary::SelectDeviceParameter(int language, const wxString& netDriver, const wxString& slot,
                                          const wxString& devDriverFile, wxString& node, size_t nodeCapacity,
                                          wxString& param, size_t paramCapacity) {
  auto device = PluginRegistry::Get().Device(devDriverFile);
  if (!device) {
    SetLastError(HV_ERR_NO_DRIVER);
    return false;
  }
  DeviceParameterRequest req;
  req.language = language;
  req.netDriver = PluginRegistry::NormalizeTitle(netDriver);
  req.slot = slot;
  req.deviceTitle = device->title;
  req.displayName = device->displayName;
  req.node = node;
  req.nodeCapacity = nodeCapacity;
  req.param = param;
  req.paramCapacity = paramCapacity;
  req.fields = ParseParameterSchema(device->parameterSchema ? device->parameterSchema() : nullptr);
  const wxString shownAddress = ParameterAddress(param);
  for (ParameterField& f : req.fields) {
    if (f.key == "node" && !node.empty()) f.value = node;
    if (f.key == "address") f.value = shownAddress;
  }
  if (Ui().Run(req) != IDOK) return false;

  wxString newParam = req.param;
  for (ParameterField& f : req.fields) {
    if (f.key == "node") f.value = req.node;
    else if (f.key != "address") continue;
    if (!CheckParameterField(f).empty()) {
      SetLastError(HV_ERR_BAD_PARAMETER);
      return false;
    }
    // The other fields (driver part, symbol file, any later ones) stay as they were.
    if (f.key == "address" && f.value != shownAddress) newParam = WithParameterAddress(newParam, f.value);
  }
  if (req.node.length() >= nodeCapacity || newParam.length() >= paramCapacity) {
    SetLastError(HV_ERR_BAD_PARAMETER);
    return false;
  }
  node = req.node;
  param = newParam;
  return true;
}

bool OnlineLibrary::SetDriverParameter(const wxString& driver, const wxString& slot, const wxString& param) {
  const wxString key = Key(driver, slot);
  {
    std::lock_guard lock(m_mutex);
    auto it = m_connections.find(key);
    if (it != m_connections.end() && it->second->param == param) return true;
  }
  std::shared_ptr<Connection> c = OpenConnection(PluginRegistry::Get().Driver(driver), slot, param);
  if (!c) return false;
  std::lock_guard lock(m_mutex);
  // Data points registered on an older connection keep it until they are cleared.
  m_connections[key] = c;
  return true;
}

std::shared_ptr<OnlineLibrary::Connection> OnlineLibrary::FindConnection(const wxString& driver,
                                                                         const wxString& slot) const {
  std::lock_guard lock(m_mutex);
  auto it = m_connections.find(Key(driver, slot));
  return it == m_connections.end() ? nullptr : it->second;
}

std::shared_ptr<OnlineLibrary::DataPoint> OnlineLibrary::FindDataPoint(DWORD handle) const {
  std::lock_guard lock(m_mutex);
  auto it = m_dataPoints.find(handle);
  return it == m_dataPoints.end() ? nullptr : it->second;
}

DWORD OnlineLibrary::RegisterDataPoint(const DataPointRegistration& dp) {
  auto c = FindConnection(dp.netDriver, dp.slot);
  if (!c) {
    SetLastError(HV_ERR_BAD_HANDLE);
    return 0;
  }
  const std::string devDriver = ToUtf8(dp.devDriver), node = ToUtf8(dp.node), devParam = ToUtf8(dp.devParam),
                    address = ToUtf8(dp.address);
  HvDataPointDef point{sizeof(HvDataPointDef), devDriver.c_str(), node.c_str(), devParam.c_str(),
                       address.c_str(), dp.access, dp.type, dp.textLength};
  uint32_t id = 0, err = 0;
  int ok = 0;
  {
    std::lock_guard lock(c->call);
    ok = c->driver->reg(c->ctx, &point, &id, &err);
  }
  if (!ok) {
    SetLastError(err ? err : HV_ERR_BAD_ADDRESS);
    return 0;
  }
  auto p = std::make_shared<DataPoint>();
  p->connection = c;
  p->id = id;
  std::lock_guard lock(m_mutex);
  const DWORD handle = m_nextHandle++;
  if (m_nextHandle == 0) m_nextHandle = 1;
  m_dataPoints[handle] = p;
  return handle;
}

bool OnlineLibrary::SetPollTime(DWORD handle, DWORD milliseconds) {
  auto p = FindDataPoint(handle);
  if (!p) {
    SetLastError(HV_ERR_BAD_HANDLE);
    return false;
  }
  p->pollMs = milliseconds;
  return true;
}

bool OnlineLibrary::ActivateDataPoint(DWORD handle, BOOL active) {
  auto p = FindDataPoint(handle);
  if (!p) {
    SetLastError(HV_ERR_BAD_HANDLE);
    return false;
  }
  p->active = active != 0;
  return true;
}

bool OnlineLibrary::ReadDataPoint(DWORD handle, void* buffer, size_t capacity, size_t* length) {
  if (length) *length = 0;
  auto p = FindDataPoint(handle);
  if (!p) {
    SetLastError(HV_ERR_BAD_HANDLE);
    return false;
  }
  if (!p->active) {
    SetLastError(HV_ERR_PENDING);
    return false;
  }
  if (!buffer || capacity == 0) {
    SetLastError(HV_ERR_BUFFER);
    return false;
  }
  uint32_t len = 0, err = 0;
  int ok = 0;
  {
    std::lock_guard lock(p->connection->call);
    ok = p->connection->driver->read(p->connection->ctx, p->id, buffer,
                                     static_cast<uint32_t>(std::min<size_t>(capacity, UINT32_MAX)), &len, &err);
  }
  if (len > capacity) {  // a driver that overstates: never trust the buffer then
    SetLastError(HV_ERR_BUFFER);
    return false;
  }
  if (length) *length = len;
  SetLastError(ok ? HV_ERR_NONE : (err ? err : HV_ERR_IO));
  return ok != 0;
}

void OnlineLibrary::ClearDataPoint(DWORD handle) {
  std::shared_ptr<DataPoint> p;
  {
    std::lock_guard lock(m_mutex);
    auto it = m_dataPoints.find(handle);
    if (it == m_dataPoints.end()) return;
    p = std::move(it->second);
    m_dataPoints.erase(it);
  }
  p.reset();  // unregisters outside the library's lock
}

PollResult OnlineLibrary::PollRead(DWORD handle, void* buffer, size_t capacity, std::chrono::milliseconds limit,
                                   const std::atomic<bool>* cancel, std::chrono::milliseconds pause) {
  PollResult r;
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    size_t len = 0;
    const bool ok = ReadDataPoint(handle, buffer, capacity, &len);
    r.lastError = GetLastError();
    if (ok || r.lastError == HV_ERR_NOT_FRESH) {
      r.value = true;
      r.length = len;
      return r;
    }
    // A definite refusal (an exception answer, an address the device lacks) stays the same.
    if (r.lastError == HV_ERR_BAD_HANDLE || r.lastError == HV_ERR_BUFFER || r.lastError == HV_ERR_BAD_ADDRESS) return r;
    if ((cancel && cancel->load()) || std::chrono::steady_clock::now() + pause >= end) return r;
    std::this_thread::sleep_for(pause);
  }
}

size_t OnlineLibrary::ConnectionCount() const {
  std::lock_guard lock(m_mutex);
  return m_connections.size();
}

size_t OnlineLibrary::DataPointCount() const {
  std::lock_guard lock(m_mutex);
  return m_dataPoints.size();
}

}  // namespace hv
