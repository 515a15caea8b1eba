#pragma once
// Progress and cancel flag shared between a zip engine running on a worker thread and
// the dialog that polls it from a timer. The engine never calls into the dialog.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <wx/string.h>

class ZipProgress {
 public:
  // Dialog side.
  void RequestCancel() { m_cancel.store(true); }
  bool CancelRequested() const { return m_cancel.load(); }
  // Clears the cancel flag and every count (before a new run).
  void Reset();

  int Percent() const { return m_percent.load(); }
  int FilesDone() const { return m_done.load(); }
  int FilesTotal() const { return m_total.load(); }
  std::uint64_t Bytes() const { return m_bytes.load(); }
  // Number of reports so far; a poller compares it with the last value it saw.
  unsigned Reports() const { return m_reports.load(); }
  // Path of the file last reported (a fresh copy, safe on any thread).
  wxString CurrentPath() const;

  // Engine side: one file finished, `done` of `total`.
  void Report(const wxString& path, int done, int total);
  void AddBytes(std::uint64_t n) { m_bytes.fetch_add(n); }

 private:
  std::atomic<bool> m_cancel{false};
  std::atomic<int> m_percent{0};
  std::atomic<int> m_done{0};
  std::atomic<int> m_total{0};
  std::atomic<std::uint64_t> m_bytes{0};
  std::atomic<unsigned> m_reports{0};
  mutable std::mutex m_mutex;
  std::string m_path;   // UTF-8, so no wxString is shared between threads
};
