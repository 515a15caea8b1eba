#pragma once
// The online communication library: network drivers (plug-ins in the "driver" folder)
// reached through one set of calls. Handles and driver connections live here; the last
// error is kept per thread, so reads may also run on a worker thread (each connection
// serves one call at a time, and no call blocks longer than the driver's time-out).
// The field-bus scan runs on its own thread; callers poll its progress and may escape.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <wx/string.h>

#include "platform/Types.h"
#include "platform/online/PluginAbi.h"

namespace hv {

struct DriverPlugin;

// What Vostrel_RegisterDataPoint is given.
struct DataPointRegistration {
  wxString netDriver;  // network driver title (a ".ndl" or ".so" ending is dropped)
  wxString slot;
  wxString devDriver;  // device type or plug-in file title
  wxString node;
  wxString devParam;
  wxString address;
  DWORD access = 0;    // access word, picker's word in the high 16 bits
  DWORD signalMin = 0, signalMax = 0, measureMin = 0, measureMax = 0;  // 4-byte numbers
  DWORD type = 0;
  DWORD textLength = 0;
};

// Result of polling one data point until a value arrives.
struct PollResult {
  bool value = false;    // a value is in the buffer
  size_t length = 0;
  DWORD lastError = 0;   // the last error seen while polling
};

enum class ScanState { Idle, Running, Done, Failed };

constexpr char kEndOfScan[] = "End of Scan";

class OnlineLibrary {
 public:
  static OnlineLibrary& Get();
  ~OnlineLibrary();

  bool Init();
  void DeInit();
  bool IsInitialised() const;

  // Whether the device plug-in serves the network driver; "TYPE.ddl." and the like are
  // accepted as the device name.
  bool CheckDriverParameter(const wxString& netDriver, const wxString& devDriverFile);
  // Parameter dialogs through the UI facade; true when the user confirmed and the values
  // fit their capacities (terminating zero included).
  bool SelectDriverParameter(int language, const wxString& driverFile, wxString& slot, size_t slotCapacity,
                             wxString& param, size_t paramCapacity);
  bool SelectDeviceParameter(int language, const wxString& netDriver, const wxString& slot,
                             const wxString& devDriverFile, wxString& node, size_t nodeCapacity, wxString& param,
                             size_t paramCapacity);

  // Opens the driver's connection for (driver, slot), or reuses it for the same parameter.
  bool SetDriverParameter(const wxString& driver, const wxString& slot, const wxString& param);
  DWORD RegisterDataPoint(const DataPointRegistration& dp);  // 0 on failure
  bool SetPollTime(DWORD handle, DWORD milliseconds);
  bool ActivateDataPoint(DWORD handle, BOOL active);
  // One read into buffer (capacity bytes). False with error 42: the buffer holds an
  // older value; false with another error: nothing was read.
  bool ReadDataPoint(DWORD handle, void* buffer, size_t capacity, size_t* length = nullptr);
  void ClearDataPoint(DWORD handle);  // harmless for unknown handles
  DWORD GetLastError() const;          // of the calling thread
  void SetLastError(DWORD error);

  // Reads until a value arrives (a fresh one or one with error 42), the time is up or
  // cancel is set, pausing between reads. Usable from a worker thread.
  PollResult PollRead(DWORD handle, void* buffer, size_t capacity, std::chrono::milliseconds limit,
                      const std::atomic<bool>* cancel = nullptr,
                      std::chrono::milliseconds pause = std::chrono::milliseconds(10));

  // Starts the scan thread; false while a scan runs, for an unknown driver, a driver
  // without scan or parameters it refuses. The result file is written when the scan
  // completes (through a temporary file), so an escaped or failed scan leaves the old one.
  bool StartScan(const wxString& driver, const wxString& slot, const wxString& resultFile, const wxString& param);
  // The latest progress text; exactly "End of Scan" once the scan has completed.
  wxString ProgressScan() const;
  ScanState GetScanState() const;
  DWORD ScanError() const;  // why a scan failed
  // Waits until the scan has ended (true) or the time is up (false); for worker threads.
  bool WaitScan(std::chrono::milliseconds limit) const;
  // Stops a running scan and waits for its thread; safe without a scan.
  void EscapeScan();

  // Sends one file to a device through the network driver on a connection of its own
  // (so it may run on a worker thread). `done` and `total` are updated as bytes go; a
  // set cancel stops it. False with the calling thread's last error: HV_ERR_UNSUPPORTED
  // when the driver takes no files, HV_ERR_CANCELLED after cancel.
  bool DownloadFile(const wxString& driver, const wxString& slot, const wxString& param,
                    const HvFileDownload& file, std::atomic<std::uint64_t>* done = nullptr,
                    std::atomic<std::uint64_t>* total = nullptr, const std::atomic<bool>* cancel = nullptr);

  // Open driver connections and registered data points (tests).
  size_t ConnectionCount() const;
  size_t DataPointCount() const;

  // Defined in OnlineInternal.h.
  struct Connection;
  struct DataPoint;
  struct Scan;

 private:

  std::shared_ptr<Connection> FindConnection(const wxString& driver, const wxString& slot) const;
  std::shared_ptr<DataPoint> FindDataPoint(DWORD handle) const;
  void JoinFinishedScan();

  mutable std::mutex m_mutex;
  int m_initCount = 0;
  std::map<wxString, std::shared_ptr<Connection>> m_connections;  // by "DRIVER\nslot"
  std::map<DWORD, std::shared_ptr<DataPoint>> m_dataPoints;
  DWORD m_nextHandle = 1;
  std::shared_ptr<Scan> m_scan;
  std::thread m_scanThread;
  mutable std::mutex m_scanMutex;  // guards m_scan and m_scanThread
};

}  // namespace hv
