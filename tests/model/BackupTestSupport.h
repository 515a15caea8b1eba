#pragma once
// Helpers for the backup and restore controller tests: the dialog's timer loop, a fake
// CoDeSys and a profile naming it.
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include <wx/string.h>

#include "model/RestoreController.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

namespace backuptest {

// Polls like the dialog's timer until the run has finished; false after `limitMs`.
template <class Controller>
bool RunToEnd(Controller& controller, int limitMs = 60000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (std::chrono::steady_clock::now() < end) {
    if (controller.Poll()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// Polls until `ready` holds; false after `limitMs`.
template <class Controller, class Pred>
bool PollUntil(Controller& controller, Pred ready, int limitMs = 30000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (std::chrono::steady_clock::now() < end) {
    if (ready()) return true;
    controller.Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

// Restores an archive through the restore controller into the user folder's projects
// folder, as the dialog does; the restored project folder, empty after a failure.
// Messages shown fail the test unless `messages` takes them.
inline wxString RestoreThrough(const wxString& archive, std::vector<wxString>* messages = nullptr,
                               int limitMs = 120000) {
  hvtest::ScriptedUi ui;
  if (messages) ui.AllowAnyMessage();
  struct Take {
    hvtest::ScriptedUi& ui;
    std::vector<wxString>* out;
    ~Take() {
      if (out) *out = ui.MessageTexts();
    }
  } take{ui, messages};
  RestoreRequest request;
  RestoreController restore(request);
  if (!restore.ChooseArchive(archive) || !restore.Start(restore.TargetFolder())) return wxString();
  if (!RunToEnd(restore, limitMs) || !restore.Succeeded()) return wxString();
  return request.restoredPath;
}

// A shell script standing in for CoDeSys: it copies the batch file it was given to
// `log`, runs `body` (which may use $archive, the path the batch file asks for), and
// its own process id goes to `log`.pid.
inline wxString WriteFakeCoDeSys(const wxString& path, const wxString& log, const std::string& body) {
  const std::string script =
      "#!/bin/sh\n"
      "[ \"$1\" = /batch ] || exit 2\n"
      "echo $$ > '" + hv::ToFs(log) + ".pid'\n"
      "cp \"$2\" '" + hv::ToFs(log) + "'\n"
      "archive=$(sed -n 's/^file archive \"\\(.*\\)\"\\r$/\\1/p' \"$2\")\n" +
      body + "\n";
  hvtest::WriteAll(path, script);
  chmod(hv::ToFs(path).c_str(), 0755);
  return path;
}

// A per-user profile whose [Programs] "CODESYS" is the command line.
inline wxString WriteProfile(const wxString& path, const wxString& command) {
  hvtest::WriteAll(path, "[Programs]\r\nCODESYS=" + hv::ToUtf8(command) + "\r\n");
  return path;
}

}  // namespace backuptest
