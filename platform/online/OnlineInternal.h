#pragma once
// Internals of the online library shared by its source files.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <wx/string.h>

#include "platform/online/OnlineLibrary.h"
#include "platform/online/PluginRegistry.h"

namespace hv {

struct OnlineLibrary::Connection {
  std::shared_ptr<const DriverPlugin> driver;
  HvDriverContext* ctx = nullptr;
  wxString param;
  std::mutex call;  // one call at a time per connection
  ~Connection() {
    if (ctx) driver->close(ctx);
  }
};

// Opens a driver connection; null with the calling thread's last error set on failure.
// Drivers open without network traffic, so this never waits for a peer.
std::unique_ptr<OnlineLibrary::Connection> OpenConnection(std::shared_ptr<const DriverPlugin> driver,
                                                          const wxString& slot, const wxString& param);

struct OnlineLibrary::DataPoint {
  std::shared_ptr<Connection> connection;
  uint32_t id = 0;
  // Set by the window thread while a read worker reads them.
  std::atomic<DWORD> pollMs{0};
  std::atomic<bool> active{false};
  ~DataPoint() {
    std::lock_guard lock(connection->call);
    connection->driver->unreg(connection->ctx, id);
  }
};

struct OnlineLibrary::Scan {
  std::unique_ptr<Connection> connection;
  wxString resultFile;
  // Set by the window thread, read by the driver through its C interface: only ever
  // touched through atomic operations.
  int cancel = 0;
  mutable std::mutex mutex;
  std::condition_variable ended;
  wxString progress;
  ScanState state = ScanState::Running;
  DWORD error = 0;
  std::string blocks;
};

}  // namespace hv
