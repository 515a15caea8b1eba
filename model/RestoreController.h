#pragma once
// The project restore ("Wiederherstellung"): everything the restore dialog does,
// without widgets. The dialog shows the texts and button states it reads here,
// forwards its buttons and calls Poll from its timer.
//
// Questions (a folder of that name exists: overwrite or other name) are asked on the
// UI thread before anything is written. The archive is then extracted on a worker
// thread into a temporary folder beside the target; only when every entry was written
// and checked does the new one take an existing project's place, in one step. A
// failure, cancel or kill therefore leaves the target folder as it was or restored.
#include <atomic>
#include <functional>
#include <thread>
#include <wx/string.h>

#include "archive/ZipProgress.h"
#include "model/OperationButtons.h"
#include "model/RestoreEngine.h"
#include "platform/Types.h"

// The project list's part in a restore. Both run on the UI thread.
struct RestoreTarget {
  // Makes a restored project folder known (the project list's import); false when it
  // could not (the function reports why).
  std::function<bool(const wxString& folder, const wxString& name)> registerProject;
  // Disposes of the project that the restore overwrote, after it was swapped out of
  // its place into the restore's temporary folder (the list row stays: it now names
  // the restored project). False when it could not; the folder is removed anyway.
  std::function<bool(const wxString& folder)> deleteProject;
};

// Works on folders only: registering does nothing, deleting moves the folder to the
// desktop's trash.
RestoreTarget FolderOnlyRestoreTarget();

// What the caller gives the restore dialog and reads back after it closed.
struct RestoreRequest {
  // Per-user profile with the projects folder; empty: "Project.INI" in the user folder.
  wxString profilePath;
  // Empty members take the folder-only steps.
  RestoreTarget target;
  // Out: the restored project folder, empty unless a restore succeeded.
  wxString restoredPath;
};

// The question when the project folder exists in the target ("Wiederherstellung").
struct RestorePathExistsRequest {
  wxString existingFolder;   // in: the folder in the way
  wxString proposedFolder;   // in: a free name for the other choice
  wxString chosenFolder;     // out: the name typed for the other choice
  int choice = 0;            // out: 0 overwrite, 1 other name
};

// Registry value of the last restore target, and its default.
wxString ReadRestoreFolder(const wxString& profilePath);
BOOL StoreRestoreFolder(const wxString& folder);

class RestoreController {
 public:
  struct Buttons : OperationButtons {
    bool targetEditable = false;
    bool progressEnabled = true;
  };

  explicit RestoreController(RestoreRequest& request);
  // Cancels a running restore and waits for its worker.
  ~RestoreController();
  RestoreController(const RestoreController&) = delete;
  RestoreController& operator=(const RestoreController&) = delete;

  static wxString Caption();

  // The archive chosen ("..." of the source): TRUE when it holds a project.
  bool ChooseArchive(const wxString& path);
  // A folder chosen in the folder browser becomes the target and "RestoreDir".
  void ChooseTarget(const wxString& folder);

  // "Starten" with the target edit's text: checks the target, asks about an existing
  // project folder and starts the extraction. False when nothing was started.
  bool Start(const wxString& targetText);
  // From the dialog's timer: takes over progress and, once the worker has ended,
  // finishes the run. True exactly once per run, when it finished.
  bool Poll();
  void Cancel();
  // Closing: refused (false, with a status text) while a restore runs.
  bool RequestClose();

  const Buttons& GetButtons() const { return m_buttons; }
  const wxString& StatusText() const { return m_status; }
  int Percent() const { return m_percent; }
  const wxString& ArchivePath() const { return m_archive; }
  const wxString& TargetFolder() const { return m_targetFolder; }
  const wxString& ProjectFolderName() const { return m_folderName; }
  bool IsRunning() const { return m_running; }
  bool Succeeded() const { return m_succeeded; }
  const wxString& RestoredPath() const { return m_request.restoredPath; }

 private:
  // Asks until the project path is free or the user chose to overwrite; false when
  // the user gave up.
  bool ResolveExistingFolder();
  void RunWorker();
  void Finish();
  bool PutIntoPlace();
  // The run ends as failed; a message, when given, says why under its text number.
  void Fail(UINT id = 0, const wxString& message = wxString());
  void EndRun();

  RestoreRequest& m_request;
  RestoreTarget m_steps;
  Buttons m_buttons;
  wxString m_status;
  int m_percent = 0;
  wxString m_archive;
  wxString m_folderName;
  wxString m_targetFolder;

  bool m_running = false;
  bool m_succeeded = false;
  bool m_polling = false;
  bool m_overwrite = false;
  wxString m_finalName;      // the project folder's name in the target
  wxString m_projectPath;    // where the project goes
  wxString m_existingPath;   // the project that is overwritten (its spelling on disk)

  RestoreExtraction m_job;   // the worker's alone until it is joined
  ZipProgress m_progress;
  unsigned m_reportsSeen = 0;
  std::thread m_worker;
  std::atomic<bool> m_workerDone{false};
};
