// The field-bus scan of the online library: one worker thread per scan.
#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/online/OnlineInternal.h"
#include "platform/online/ScanFile.h"

namespace hv {

namespace {

// Writes the result beside the target and renames it over, so a reader sees the old or
// the new file, never a part. No flush to disk: a scan result is made again by the next
// scan, and waiting for the disk would slow every scan down.
bool WriteResult(const wxString& path, const std::string& bytes) {
  const std::string target = ToFs(ResolvePath(path)), tmp = target + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !written || std::rename(tmp.c_str(), target.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

void OnDevice(void* user, const char* node, const char* type, const char* const* details, uint32_t count) {
  auto* scan = static_cast<OnlineLibrary::Scan*>(user);
  const std::string block = FormatScanDevice(node, type, details, count);
  std::lock_guard lock(scan->mutex);
  scan->blocks += block;
}

void OnProgress(void* user, const char* text) {
  auto* scan = static_cast<OnlineLibrary::Scan*>(user);
  std::lock_guard lock(scan->mutex);
  scan->progress = FromUtf8(text ? text : "");
  // Only the library says when a scan has ended.
  if (scan->progress == kEndOfScan) scan->progress = "End of scan";
}

void RunScan(std::shared_ptr<OnlineLibrary::Scan> scan) {
  HvScanSink sink{scan.get(), OnDevice, OnProgress};
  uint32_t err = 0;
  auto& c = *scan->connection;
  const int ok = c.driver->scan(c.ctx, &sink, &scan->cancel, &err);
  std::string blocks;
  {
    std::lock_guard lock(scan->mutex);
    blocks = scan->blocks;
  }
  const bool cancelled = std::atomic_ref<int>(scan->cancel).load() != 0;
  const bool written = ok && !cancelled && WriteResult(scan->resultFile, blocks);
  std::lock_guard lock(scan->mutex);
  if (written) {
    scan->state = ScanState::Done;
    scan->progress = kEndOfScan;
  } else {
    scan->state = ScanState::Failed;
    scan->error = cancelled ? HV_ERR_CANCELLED : (!ok ? (err ? err : HV_ERR_IO) : HV_ERR_IO);
    scan->progress = wxString::Format("Scan failed (error %u)", static_cast<unsigned>(scan->error));
  }
  scan->ended.notify_all();
}

}  // namespace

void OnlineLibrary::JoinFinishedScan() {
  if (m_scan && m_scanThread.joinable()) {
    bool running;
    {
      std::lock_guard lock(m_scan->mutex);
      running = m_scan->state == ScanState::Running;
    }
    if (!running) m_scanThread.join();
  }
}

bool OnlineLibrary::StartScan(const wxString& driver, const wxString& slot, const wxString& resultFile,
                              const wxString& param) {
  std::lock_guard guard(m_scanMutex);
  JoinFinishedScan();
  if (m_scanThread.joinable()) {
    SetLastError(HV_ERR_BUSY);
    return false;
  }
  auto plugin = PluginRegistry::Get().Driver(driver);
  if (!plugin) {
    SetLastError(HV_ERR_NO_DRIVER);
    return false;
  }
  if (!plugin->scan) {
    SetLastError(HV_ERR_UNSUPPORTED);
    return false;
  }
  if (resultFile.empty() || !IsFolder(PathFolder(resultFile))) {
    SetLastError(HV_ERR_BAD_PARAMETER);
    return false;
  }
  auto scan = std::make_shared<Scan>();
  scan->connection = OpenConnection(plugin, slot, param);
  if (!scan->connection) return false;
  scan->resultFile = resultFile;
  scan->progress = "Scan";
  m_scan = scan;
  m_scanThread = std::thread(RunScan, scan);
  return true;
}

wxString OnlineLibrary::ProgressScan() const {
  std::lock_guard guard(m_scanMutex);
  if (!m_scan) return {};
  std::lock_guard lock(m_scan->mutex);
  return m_scan->progress;
}

ScanState OnlineLibrary::GetScanState() const {
  std::lock_guard guard(m_scanMutex);
  if (!m_scan) return ScanState::Idle;
  std::lock_guard lock(m_scan->mutex);
  return m_scan->state;
}

DWORD OnlineLibrary::ScanError() const {
  std::lock_guard guard(m_scanMutex);
  if (!m_scan) return 0;
  std::lock_guard lock(m_scan->mutex);
  return m_scan->error;
}

bool OnlineLibrary::WaitScan(std::chrono::milliseconds limit) const {
  std::shared_ptr<Scan> scan;
  {
    std::lock_guard guard(m_scanMutex);
    scan = m_scan;
  }
  if (!scan) return true;
  std::unique_lock lock(scan->mutex);
  return scan->ended.wait_for(lock, limit, [&] { return scan->state != ScanState::Running; });
}

void OnlineLibrary::EscapeScan() {
  std::lock_guard guard(m_scanMutex);
  if (m_scan) std::atomic_ref<int>(m_scan->cancel).store(1);
  if (m_scanThread.joinable()) m_scanThread.join();
  m_scan.reset();
}

}  // namespace hv
