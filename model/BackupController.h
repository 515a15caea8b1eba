#pragma once
// The project backup ("Datensicherung"): everything the backup dialog does, without
// widgets. The dialog shows the texts and button states it reads here, forwards its
// buttons, and calls Poll from its timer. The work (CoDeSys archives, then the zip of
// the project folder) runs on one worker thread; questions it asks reach the user
// through Poll on the UI thread.
//
// The archive grows in a temporary file beside the target and replaces an older
// archive only when it is complete: a failed or cancelled backup leaves no archive that
// looks complete and keeps the old one.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>
#include <wx/string.h>

#include "archive/ZipProgress.h"
#include "model/ChildProcess.h"
#include "model/OperationButtons.h"
#include "model/UiRelay.h"
#include "platform/Types.h"

// What the caller gives the backup dialog and reads back after it closed.
struct BackupRequest {
  wxString sourceFolder;   // the project folder
  wxString projectName;
  // Per-user profile holding [Programs] "CODESYS"; empty: "Project.INI" in the user folder.
  wxString profilePath;
  // Results.
  bool succeeded = false;   // the last run made the archive
  wxString target;          // the archive of the last run
};

// Test seams; the defaults are the program's.
struct BackupOptions {
  ChildLimits coDeSysLimits;                 // 30 s per CoDeSys archive
  std::function<bool()> isCoDeSysRunning;    // empty: a process "Codesys.exe" exists
};

// Registry value of the folder last backed up to, and its default.
wxString ReadBackupFolder();
BOOL StoreBackupFolder(const wxString& folder);
// The configured CoDeSys command line (profile [Programs] "CODESYS", or the brand's
// registry value of that name); empty when neither is set.
wxString ReadCoDeSysCommand(const wxString& profilePath);

class BackupController {
 public:
  using Buttons = OperationButtons;

  explicit BackupController(BackupRequest& request, BackupOptions options = {});
  // Cancels a running backup and waits for its worker.
  ~BackupController();
  BackupController(const BackupController&) = delete;
  BackupController& operator=(const BackupController&) = delete;

  static wxString Caption();
  const wxString& SourceFolder() const { return m_request.sourceFolder; }

  // Target ("...": the save dialog starts in BackupFolder with DefaultTargetName).
  wxString BackupFolder() const { return ReadBackupFolder(); }
  wxString DefaultTargetName() const;
  wxString DefaultTarget() const;
  // The target edit changed.
  void SetTarget(const wxString& target);
  // The save dialog chose a file: it becomes the target and its folder "BackupDir".
  void TargetChosen(const wxString& path);
  const wxString& Target() const { return m_target; }

  void SetArchiveCoDeSys(bool on) { m_archiveCoDeSys = on; }
  bool ArchiveCoDeSys() const { return m_archiveCoDeSys; }

  // "&Starten" (the dialog calls it from its start timer). Asks before replacing an
  // existing archive. False when nothing was started (No, or the worker cannot start;
  // the latter is already reported as a failed backup).
  bool Start();
  // From the dialog's timer: runs the worker's questions, takes over its progress and,
  // once it has ended, finishes the run. True exactly once per run, when it finished.
  bool Poll();
  // "&Abbrechen".
  void Cancel();
  // Closing: refused (false, with a status text) while a backup runs.
  bool RequestClose();

  const Buttons& GetButtons() const { return m_buttons; }
  const wxString& StatusText() const { return m_status; }
  int Percent() const { return m_percent; }
  bool IsBusy() const { return m_busy; }
  int ErrorCount() const { return m_errors.load(); }
  bool Succeeded() const { return m_request.succeeded; }

 private:
  void RunWorker(wxString source, wxString target, wxString command, bool archiveCoDeSys);
  void Finish();
  void ShowZipErrors();

  BackupRequest& m_request;
  BackupOptions m_options;
  wxString m_target;
  bool m_archiveCoDeSys = true;
  Buttons m_buttons;
  wxString m_status;
  int m_percent = 0;
  bool m_busy = false;
  bool m_polling = false;
  unsigned m_reportsSeen = 0;

  ZipProgress m_progress;
  UiRelay m_relay;
  std::thread m_worker;
  std::atomic<bool> m_workerDone{false};
  std::atomic<int> m_errors{0};
  // Written by the worker, read after it was joined.
  bool m_zipped = false;
  std::vector<wxString> m_zipErrors;
  std::vector<wxString> m_skipped;   // entries an archive cannot hold (links, odd names)
};
