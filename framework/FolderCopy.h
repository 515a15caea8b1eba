#pragma once
// Copying a folder as a long operation: a worker thread copies while the progress
// display ("Gerät '%s' wird kopiert.") polls it from its timer and may cancel it.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <wx/string.h>

#include "platform/Types.h"

class FolderCopyOperation {
 public:
  // `source` is a folder, optionally followed by a mask ("/*.*"); the destination is
  // created when missing.
  FolderCopyOperation(const wxString& source, const wxString& destination);
  // Cancels a running copy and waits for its worker.
  ~FolderCopyOperation();
  FolderCopyOperation(const FolderCopyOperation&) = delete;
  FolderCopyOperation& operator=(const FolderCopyOperation&) = delete;

  // Starts the worker; false when it could not be started.
  bool Start();
  // From the display's timer: true once the worker has ended (then joined).
  bool Poll();
  void Cancel() { m_cancel.store(true); }
  // Starts and polls until the end, for callers without a display.
  bool RunToEnd();

  int Percent() const;
  std::size_t FilesDone() const { return m_done.load(); }
  // The file copied last (a fresh copy, safe on any thread).
  wxString CurrentFile() const;
  bool Started() const { return m_finished || m_worker.joinable(); }
  bool Finished() const { return m_finished; }
  bool Succeeded() const { return m_finished && m_ok && !Cancelled(); }
  bool Cancelled() const { return m_cancel.load(); }

 private:
  void Work();

  wxString m_source, m_destination;
  std::size_t m_total = 0;
  std::atomic<std::size_t> m_done{0};
  std::atomic<bool> m_cancel{false};
  std::atomic<bool> m_workerDone{false};
  bool m_ok = false;   // the worker's until it is joined
  bool m_finished = false;
  std::thread m_worker;
  mutable std::mutex m_mutex;
  std::string m_current;   // UTF-8: no wxString is shared between threads
};

// The progress display of a folder copy: a title and the operation, which the display
// starts, polls and may cancel. IDOK when the copy succeeded.
struct FolderCopyRequest {
  wxString title;
  FolderCopyOperation* operation = nullptr;
};

// The shell copy with simple progress: copies what `source` names (a folder followed by
// a mask) into the destination folder under the progress title. FALSE when it failed
// or was cancelled (`cancelled` says which). What was copied before stays: the caller,
// who made the destination, removes it.
BOOL ShellCopyFiles(const wxString& source, const wxString& destination, const wxString& title,
                    bool* cancelled = nullptr);
