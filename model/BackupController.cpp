#include "model/BackupController.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include <system_error>

#include "archive/ZipNames.h"
#include "archive/ZipWriter.h"
#include "framework/SettingsFile.h"
#include "model/CoDeSysArchiver.h"
#include "platform/DocumentsFolder.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Ui.h"

namespace {

const wxString kBackupDir = wxS("BackupDir");
// Error lists longer than this are cut in the message.
constexpr size_t kShownErrors = 15;

wxString StartText() { return hv::LocalString(10771, wxS("Bitte starten Sie die Sicherung")); }
wxString FailedText() { return hv::LocalString(10781, wxS("Sicherung fehlgeschlagen.")); }

// The first lines of a list, each after a line break, and how many more there are.
wxString Shortened(const std::vector<wxString>& lines) {
  wxString text;
  for (size_t i = 0; i < lines.size() && i < kShownErrors; ++i) text += "\n" + lines[i];
  if (lines.size() > kShownErrors)
    text += "\n" + wxString::Format(hv::LocalString(10798, wxS("... (%zu weitere)")), lines.size() - kShownErrors);
  return text;
}

}  // namespace

wxString ReadBackupFolder() {
  wxString folder = hv::RegistryStore::Get().GetString(hv::kKeyProduct, kBackupDir).value_or(wxString());
  if (folder.EndsWith("\\") || (folder.EndsWith("/") && folder.length() > 1)) folder.RemoveLast();
  if (folder.empty()) {
    folder = hv::DocumentsFolder();
    StoreBackupFolder(folder);
  }
  return folder;
}

BOOL StoreBackupFolder(const wxString& folder) {
  return hv::RegistryStore::Get().SetString(hv::kKeyProduct, kBackupDir, folder) ? TRUE : FALSE;
}

wxString ReadCoDeSysCommand(const wxString& profilePath) {
  const CSettingsFile profile(profilePath.empty() ? hv::JoinPath(hv::UserFolder(), "Project.INI") : profilePath);
  // The key itself is the default, which also names the registry value looked up.
  const wxString key = wxS("CODESYS");
  wxString command = profile.GetString("Programs", key, key);
  command.Trim(true).Trim(false);
  return command == key ? wxString() : command;
}

BackupController::BackupController(BackupRequest& request, BackupOptions options)
    : m_request(request), m_options(std::move(options)) {
  m_status = hv::LocalString(10772, wxS("Bitte wählen Sie eine Zip-Datei aus"));
}

BackupController::~BackupController() {
  if (m_worker.joinable()) {
    m_progress.RequestCancel();
    m_relay.Close();
    m_worker.join();
  }
}

wxString BackupController::Caption() { return hv::LocalString(10778, wxS("Datensicherung")); }

wxString BackupController::DefaultTargetName() const { return m_request.projectName + "_backup.zip"; }

wxString BackupController::DefaultTarget() const { return hv::JoinPath(BackupFolder(), DefaultTargetName()); }

namespace {

// What a backup of the folder leaves out: links and other files that are no plain
// file or folder, and names that are not UTF-8. Their paths relative to the folder.
// One listing per folder; the kind of each entry from the listing where the file system
// gives it (thousands of files need no look of their own).
void FindUnarchivable(const wxString& folder, const wxString& relative, std::vector<wxString>& out) {
  std::vector<std::string> odd;
  std::vector<std::pair<wxString, unsigned char>> names;
  const std::string path = hv::ToFs(folder);
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      wxString name = hv::FromFs(e->d_name);
      if (name.empty()) odd.emplace_back(e->d_name);
      else names.emplace_back(std::move(name), e->d_type);
    }
    closedir(d);
  }
  std::sort(odd.begin(), odd.end());
  for (const std::string& name : odd) out.push_back(hv::JoinPath(relative, wxString::From8BitData(name.c_str())));
  std::sort(names.begin(), names.end(), [](const auto& x, const auto& y) { return hv::NameOrder(x.first, y.first); });
  for (const auto& [name, type] : names) {
    const unsigned kind = hv::ListedKind(type, path + "/" + hv::ToFs(name));
    if (kind == 0) continue;
    if (kind == S_IFDIR) FindUnarchivable(hv::JoinPath(folder, name), hv::JoinPath(relative, name), out);
    else if (kind != S_IFREG) out.push_back(hv::JoinPath(relative, name));
  }
}

}  // namespace

void BackupController::SetTarget(const wxString& target) {
  m_target = target;
  m_buttons.startEnabled = !m_target.empty();
  m_status = StartText();
}

void BackupController::TargetChosen(const wxString& path) {
  SetTarget(path);
  StoreBackupFolder(hv::StripOneTrailingSeparator(hv::PathFolder(hv::NormalizePath(path))));
}

bool BackupController::Start() {
  if (m_busy || m_target.empty() || m_request.sourceFolder.empty()) return false;
  m_percent = 0;
  m_progress.Reset();
  m_reportsSeen = 0;
  m_errors = 0;
  m_zipped = false;
  m_zipErrors.clear();
  m_request.succeeded = false;
  m_buttons = Buttons{false, false, true, true, false};

  if (hv::PathExists(m_target)) {
    const wxString question =
        wxString::Format("%s %s %s", hv::LocalString(10764, wxS("Die Datei")), m_target,
                         hv::LocalString(10767, wxS("ist bereits vorhanden!\nÜberschreiben?")));
    if (hv::Ui().Message(10767, question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      m_buttons = Buttons{true, true, false, false, true};
      return false;
    }
  }

  const wxString command = m_archiveCoDeSys ? ReadCoDeSysCommand(m_request.profilePath) : wxString();
  m_relay.Open();
  m_workerDone = false;
  m_busy = true;
  try {
    m_worker = std::thread(&BackupController::RunWorker, this, m_request.sourceFolder, m_target, command,
                           m_archiveCoDeSys);
  } catch (const std::system_error&) {
    ++m_errors;
    Finish();
    return false;
  }
  return true;
}

void BackupController::RunWorker(wxString source, wxString target, wxString command, bool archiveCoDeSys) {
  if (archiveCoDeSys) {
    CoDeSysArchiveOptions options{command, m_options.coDeSysLimits, m_options.isCoDeSysRunning};
    CCoDeSysArchiver archiver(std::move(options), m_progress, m_relay);
    m_errors += archiver.Run(source);
  }
  m_progress.Report(hv::LocalString(10770, wxS("Sicherung läuft, bitte warten")), 0, 0);
  // Any error so far means no archive at all.
  if (m_errors == 0 && !m_progress.CancelRequested()) {
    const wxString folder =
        hv::ResolvePath(hv::StripOneTrailingSeparator(AbsoluteLocalPath(hv::NormalizePath(source))));
    m_skipped.clear();
    FindUnarchivable(folder, hv::PathName(folder), m_skipped);
    CZipWriter writer;
    writer.SetOwner(&m_progress);
    // Entries are named below the folder holding the project folder, so each begins with its name.
    if (writer.OpenZip(target, hv::PathFolder(folder))) {
      writer.CountFiles(folder);
      writer.AddFolderToZip(folder, FALSE);
      m_zipped = writer.CloseZip() != FALSE;
    }
    m_zipErrors = writer.GetErrors();
    const int failed = writer.GetErrorCount();
    m_errors += failed > 0 ? failed : (!m_zipped && !m_progress.CancelRequested() ? 1 : 0);
  }
  m_workerDone = true;
}

bool BackupController::Poll() {
  if (m_polling) return false;
  m_polling = true;
  m_relay.Service();
  if (m_progress.Reports() != m_reportsSeen) {
    m_reportsSeen = m_progress.Reports();
    m_status = m_progress.CurrentPath();
    m_percent = m_progress.Percent();
  }
  bool finished = false;
  if (m_busy && m_workerDone) {
    m_worker.join();
    m_relay.Close();
    Finish();
    finished = true;
  }
  m_polling = false;
  return finished;
}

void BackupController::ShowZipErrors() {
  if (m_zipErrors.empty()) return;
  // The writer's failures, under the backup's caption.
  hv::Ui().Message(10778, Shortened(m_zipErrors).Mid(1), MB_OK | MB_ICONSTOP, Caption());
}

void BackupController::Finish() {
  const bool cancelled = m_progress.CancelRequested();
  const bool ok = !cancelled && m_errors == 0 && m_zipped;
  if (ok) {
    m_status = hv::LocalString(10775, wxS("Sicherung erfolgreich"));
    m_percent = 100;
  } else {
    m_status = hv::LocalString(10777, wxS("Sicherung fehlgeschlagen"));
  }
  if (cancelled) {
    m_percent = 0;
    m_status = FailedText();
    hv::ShowMessage(10769, wxS("Abbruch durch den Benutzer."), MB_OK | MB_ICONINFORMATION);
  } else {
    ShowZipErrors();
  }
  // An archive without some of the project's files is no plain success.
  if (ok && !m_skipped.empty()) {
    m_status = hv::LocalString(11965, wxS("Sicherung unvollständig"));
    const wxString list = Shortened(m_skipped);
    hv::Ui().Message(11966,
                     hv::LocalString(11966, wxS("Diese Dateien wurden nicht gesichert (Verknüpfungen, Sonderdateien "
                                                "oder Namen, die kein UTF-8 sind):")) + list,
                     MB_OK | MB_ICONEXCLAMATION);
  }
  // After a cancel the backup may be started again; after a run to its end only "Schließen" is left.
  m_buttons = Buttons{cancelled, cancelled, false, false, true};
  m_busy = false;
  m_request.succeeded = ok;
  m_request.target = m_target;
}

void BackupController::Cancel() {
  if (!m_busy) return;
  m_progress.RequestCancel();
  m_status = FailedText();
}

bool BackupController::RequestClose() {
  if (m_busy) {
    m_status = hv::LocalString(10761, wxS("Sicherung ist noch aktiv, bitte warten."));
    return false;
  }
  return true;
}
