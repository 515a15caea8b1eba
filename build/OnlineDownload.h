#pragma once
// The online download dialog (`CDlgDownload`) without widgets: one file goes to one
// device through the online library's file download, on a worker thread; the dialog's
// timer polls progress, Cancel stops it. A failure is shown and left in the request.
#include <atomic>
#include <cstdint>
#include <thread>
#include <wx/string.h>

#include "platform/Types.h"

// What the caller hands the dialog: its caption, the file and the device's connection.
struct OnlineDownloadRequest {
  wxString caption;           // "Ressourcendatei downloaden"
  wxString file;              // the local file
  wxString device;            // the device's name, shown
  wxString network;           // network driver title
  wxString slot;
  wxString networkPara;
  wxString deviceDriver;
  wxString node;
  wxString deviceParameters;
  // Results.
  bool succeeded = false;
  DWORD error = 0;            // the online library's error number, 0 on success
  wxString message;           // the failure as shown
};

class OnlineDownloadController {
 public:
  explicit OnlineDownloadController(OnlineDownloadRequest& request);
  // Cancels a running download and waits for its worker.
  ~OnlineDownloadController();
  OnlineDownloadController(const OnlineDownloadController&) = delete;
  OnlineDownloadController& operator=(const OnlineDownloadController&) = delete;

  static wxString Caption();
  // "path of the file -> device" for the dialog's file line.
  wxString Heading() const;

  bool Start();
  // From the dialog's timer: takes over progress; true exactly once, when the run ended.
  bool Poll();
  void Cancel();
  // Closing while the download runs cancels it and is refused until the worker ended.
  bool RequestClose();

  bool IsBusy() const { return m_busy; }
  bool IsFinished() const { return m_finished; }
  bool Succeeded() const { return m_request.succeeded; }
  const wxString& StatusText() const { return m_status; }
  int Percent() const { return m_percent; }
  const wxString& DialogCaption() const { return m_request.caption; }

  // Runs the download and waits for it (headless callers and tests).
  bool RunToEnd();

 private:
  void Finish();

  OnlineDownloadRequest& m_request;
  std::thread m_worker;
  std::atomic<bool> m_workerDone{false};
  std::atomic<bool> m_cancel{false};
  std::atomic<std::uint64_t> m_done{0};
  std::atomic<std::uint64_t> m_total{0};
  bool m_ok = false;        // written by the worker, read after the join
  DWORD m_error = 0;
  bool m_busy = false;
  bool m_finished = false;
  wxString m_status;
  int m_percent = 0;
};

// The text shown for an online library error of a file download.
wxString OnlineDownloadMessage(DWORD error, const OnlineDownloadRequest& request);
