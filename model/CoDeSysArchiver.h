#pragma once
// Before a backup, has CoDeSys make its own archive of every CoDeSys project of the
// project's devices ("<device>/CoDeSys/<name>.pro" -> "<name>_backup.zip" beside it),
// through a batch file "CoArchiv.bat" and the configured CoDeSys command line. Runs on
// the backup's worker thread; messages and the question about a running CoDeSys go to
// the UI thread through the relay.
#include <atomic>
#include <functional>
#include <string>
#include <vector>
#include <wx/string.h>

#include "model/ChildProcess.h"

class UiRelay;
class ZipProgress;

struct CoDeSysArchiveOptions {
  // The configured command line (profile [Programs] "CODESYS"); empty when none is.
  wxString commandLine;
  ChildLimits limits;   // 30 s for one archive, then the child is stopped
  // Whether CoDeSys is running already; empty: a process "Codesys.exe" exists.
  std::function<bool()> isCoDeSysRunning;
};

class CCoDeSysArchiver {
 public:
  CCoDeSysArchiver(CoDeSysArchiveOptions options, ZipProgress& progress, UiRelay& relay);

  // Archives every CoDeSys project below the project folder. Stops at once when the
  // progress's cancel flag is set. Returns the number of errors.
  int Run(const wxString& projectFolder);

  int Counted() const { return m_counted; }
  int Archived() const { return m_archived; }

  // The CoDeSys projects that Run handles, in that order: files with the extension
  // ".pro" (any case) in a "CoDeSys" folder (any case) of a device folder. Names
  // beginning with '.', links and special files are left out.
  static std::vector<wxString> FindProjects(const wxString& projectFolder);
  static bool IsCoDeSysProjectName(const wxString& name);
  // "<folder>/<title>_backup.zip" beside the project file.
  static wxString ArchivePathFor(const wxString& proPath);
  // The batch file's bytes (lines end with CR LF).
  static std::string BatchText(const wxString& proPath, const wxString& archivePath);

 private:
  bool Cancelled() const;
  void ShowArchiveError(const wxString& archivePath);
  // False when the user gave up waiting for a running CoDeSys.
  bool WaitUntilCoDeSysEnds();
  void ArchiveOne(const wxString& proPath);

  CoDeSysArchiveOptions m_options;
  ZipProgress& m_progress;
  UiRelay& m_relay;
  int m_errors = 0;
  int m_counted = 0;
  int m_archived = 0;
  wxString m_statusPrefix;   // "Backup CoDeSys file archive: "
};
