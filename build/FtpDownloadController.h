#pragma once
// The FTP transfer dialog (`CDlgFtpDownload`) without widgets: it starts the transfer on
// one worker thread as soon as the dialog is up, takes over its progress when the
// dialog's timer polls, and ends with the result. A failure is shown to the user and
// left in the request; Cancel stops the upload.
#include <atomic>
#include <thread>
#include <wx/string.h>

#include "archive/ZipProgress.h"
#include "build/FtpTransfer.h"

class FtpDownloadController {
 public:
  explicit FtpDownloadController(FtpDownloadRequest& request, FtpTransferLimits limits = {});
  // Cancels a running transfer and waits for its worker.
  ~FtpDownloadController();
  FtpDownloadController(const FtpDownloadController&) = delete;
  FtpDownloadController& operator=(const FtpDownloadController&) = delete;

  static wxString Caption();
  // "source -> device:remote folder" for the dialog's heading.
  wxString Heading() const;

  // Starts the worker; false when it could not start (the failure is then final).
  bool Start();
  // From the dialog's timer: takes over progress; true exactly once, when the run ended.
  bool Poll();
  void Cancel();
  // Closing while the transfer runs cancels it and is refused until the worker ended.
  bool RequestClose();

  bool IsBusy() const { return m_busy; }
  bool IsFinished() const { return m_finished; }
  bool Succeeded() const { return m_request.succeeded; }
  const wxString& StatusText() const { return m_status; }
  int Percent() const { return m_percent; }

  // Runs the whole transfer on the calling thread's behalf and waits for it, polling
  // every few milliseconds (headless callers and tests).
  bool RunToEnd();

 private:
  void Finish();

  FtpDownloadRequest& m_request;
  FtpTransferLimits m_limits;
  ZipProgress m_progress;
  std::thread m_worker;
  std::atomic<bool> m_workerDone{false};
  FtpTransferResult m_result;   // written by the worker, read after the join
  bool m_busy = false;
  bool m_finished = false;
  unsigned m_reportsSeen = 0;
  wxString m_status;
  int m_percent = 0;
};
