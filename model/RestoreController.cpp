#include "model/RestoreController.h"

#include <system_error>

#include "archive/ZipReader.h"
#include "framework/ProjectsFolder.h"
#include "framework/SettingsFile.h"
#include "model/ProjectSettings.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/RecycleBin.h"
#include "platform/Registry.h"
#include "platform/Ui.h"

namespace {

const wxString kRestoreDir = wxS("RestoreDir");
constexpr size_t kShownErrors = 15;

wxString ChooseArchiveText() { return hv::LocalString(10751, wxS("Bitte wählen Sie eine Zip-Datei aus.")); }
wxString FailedText() { return hv::LocalString(10759, wxS("Wiederherstellung fehlgeschlagen.")); }
wxString InvalidTargetText() { return hv::LocalString(10755, wxS("Kein gültiger Projektpfad.")); }
wxString UnpackFailedText() {
  return hv::LocalString(10765, wxS("Fehler beim Entpacken, Wiederherstellung fehlgeschlagen."));
}

wxString ListOf(const std::vector<wxString>& lines) {
  wxString text;
  for (size_t i = 0; i < lines.size() && i < kShownErrors; ++i) text += "\n" + lines[i];
  if (lines.size() > kShownErrors)
    text += "\n" + wxString::Format(hv::LocalString(10798, wxS("... (%zu weitere)")), lines.size() - kShownErrors);
  return text;
}

}  // namespace

RestoreTarget FolderOnlyRestoreTarget() {
  RestoreTarget steps;
  steps.registerProject = [](const wxString&, const wxString&) { return true; };
  steps.deleteProject = [](const wxString& folder) {
    wxString error;
    const hv::TrashResult result = hv::MoveToTrash(folder, &error);
    if (result == hv::TrashResult::Trashed || result == hv::TrashResult::NotFound) return true;
    if (error.empty() && result == hv::TrashResult::NotSupported)
      error = hv::LocalString(10799, wxS("Dieses Dateisystem hat keinen Papierkorb."));
    const wxString why = hv::LocalString(10800, wxS("Das vorhandene Projekt konnte nicht gelöscht werden:"));
    hv::Ui().Message(10800, wxString::Format(wxS("%s\n%s\n%s"), why, folder, error), MB_OK | MB_ICONSTOP);
    return false;
  };
  return steps;
}

wxString ReadRestoreFolder(const wxString& profilePath) {
  wxString folder = hv::RegistryStore::Get().GetString(hv::kKeyProduct, kRestoreDir).value_or(wxString());
  if (folder.EndsWith("\\") || (folder.EndsWith("/") && folder.length() > 1)) folder.RemoveLast();
  folder.Trim(true).Trim(false);
  if (folder.empty()) {
    const CSettingsFile profile(profilePath.empty() ? hv::JoinPath(hv::UserFolder(), "Project.INI") : profilePath);
    folder = ConfiguredProjectsFolder(profile);
    StoreRestoreFolder(folder);
  }
  return folder;
}

BOOL StoreRestoreFolder(const wxString& folder) {
  return hv::RegistryStore::Get().SetString(hv::kKeyProduct, kRestoreDir, folder) ? TRUE : FALSE;
}

RestoreController::RestoreController(RestoreRequest& request) : m_request(request), m_steps(request.target) {
  const RestoreTarget folderOnly = FolderOnlyRestoreTarget();
  if (!m_steps.registerProject) m_steps.registerProject = folderOnly.registerProject;
  if (!m_steps.deleteProject) m_steps.deleteProject = folderOnly.deleteProject;
  m_status = ChooseArchiveText();
  m_targetFolder = ReadRestoreFolder(m_request.profilePath);
}

RestoreController::~RestoreController() {
  if (m_worker.joinable()) {
    m_progress.RequestCancel();
    m_worker.join();
    RemoveFolderTree(m_job.temporaryFolder);
  }
}

wxString RestoreController::Caption() { return hv::LocalString(10762, wxS("Wiederherstellung")); }

bool RestoreController::ChooseArchive(const wxString& path) {
  if (m_running) return false;
  CZipReader reader;
  wxString found;
  const bool project = reader.OpenZip(path) && reader.FindProjectFolder(&found);
  reader.CloseZip();
  m_buttons.cancelShown = m_buttons.cancelEnabled = false;
  m_buttons.closeEnabled = true;
  m_buttons.startShown = true;
  if (!project) {
    m_buttons.startEnabled = false;
    m_archive.clear();
    m_folderName.clear();
    m_status = ChooseArchiveText();
    hv::ShowMessage(10752, wxS("Die ausgewählte Sicherung enthält kein Projekt."), MB_OK | MB_ICONINFORMATION);
    return false;
  }
  m_folderName = hv::StripOneTrailingSeparator(found);
  if (m_folderName.EndsWith("\\")) m_folderName.RemoveLast();
  m_archive = path;
  m_buttons.targetEditable = true;
  m_buttons.startEnabled = true;
  m_buttons.progressEnabled = true;
  m_status = wxString::Format("%s %s %s", hv::LocalString(10753, wxS("Projekt")), m_folderName,
                              hv::LocalString(10754, wxS("gefunden. Bitte starten Sie die Wiederherstellung.")));
  return true;
}

void RestoreController::ChooseTarget(const wxString& folder) {
  if (m_running || folder.empty()) return;
  m_targetFolder = folder;
  StoreRestoreFolder(folder);
}

bool RestoreController::Start(const wxString& targetText) {
  if (m_running || m_archive.empty() || m_folderName.empty()) return false;
  wxString text = targetText;
  text.Trim(true).Trim(false);
  if (text.length() > 1 && (text.EndsWith("\\") || text.EndsWith("/"))) text.RemoveLast();
  if (!IsValidRestoreTarget(text)) {
    m_status = InvalidTargetText();
    return false;
  }
  const wxString folder = hv::ResolvePath(hv::StripOneTrailingSeparator(hv::NormalizePath(text)));
  if (!hv::IsFolder(folder) && !hv::MakeFolders(folder)) {
    m_status = InvalidTargetText();
    return false;
  }
  m_targetFolder = folder;

  m_progress.Reset();
  m_reportsSeen = 0;
  m_percent = 0;
  m_running = true;
  m_succeeded = false;
  m_request.restoredPath.clear();
  m_buttons.startShown = m_buttons.startEnabled = false;
  m_buttons.cancelShown = m_buttons.cancelEnabled = true;
  m_buttons.closeEnabled = false;

  m_overwrite = false;
  m_existingPath.clear();
  m_finalName = m_folderName;
  m_projectPath = hv::JoinPath(m_targetFolder, m_finalName);
  if (!ResolveExistingFolder()) {
    Fail();
    EndRun();
    return false;
  }

  m_status = hv::LocalString(10760, wxS("Wiederherstellung gestartet, bitte warten."));
  m_status = hv::LocalString(10763, wxS("Zipfile entpacken."));
  m_job = RestoreExtraction{};
  m_job.archive = m_archive;
  m_job.folderName = m_folderName;
  m_job.finalName = m_finalName;
  m_job.targetFolder = m_targetFolder;
  m_workerDone = false;
  try {
    m_worker = std::thread(&RestoreController::RunWorker, this);
  } catch (const std::system_error& e) {
    Fail(10765, wxString::Format(wxS("%s\n%s"), UnpackFailedText(), e.what()));
    EndRun();
    return false;
  }
  return true;
}

bool RestoreController::ResolveExistingFolder() {
  // Names are compared without regard to case: two such folders are never made side by side.
  while (hv::PathExists(m_projectPath)) {
    m_status = hv::LocalString(10756, wxS("Zielpfad existiert bereits"));
    RestorePathExistsRequest question;
    question.existingFolder = hv::ResolvePath(m_projectPath);
    question.proposedFolder = ProposeRestoreName(m_targetFolder, m_folderName);
    if (hv::Ui().Run(question) != IDOK) return false;
    if (question.choice == 1) {
      wxString name = question.chosenFolder;
      name.Trim(true).Trim(false);
      if (const UINT id = CheckRestoreFolderName(name)) {
        hv::ShowMessage(id, wxS("Es wurde ein ungültiges Zeichen eingegeben!"), MB_OK | MB_ICONINFORMATION);
        continue;
      }
      m_finalName = name;
      m_projectPath = hv::JoinPath(m_targetFolder, name);
      continue;
    }
    if (hv::ShowMessage(10757, wxS("Sind Sie sicher, daß Sie dieses Projekt überschreiben wollen?"),
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
    // The old project goes only once the new one is complete.
    m_overwrite = true;
    m_existingPath = hv::ResolvePath(m_projectPath);
    return true;
  }
  return true;
}

void RestoreController::RunWorker() {
  ExtractProjectArchive(m_job, m_progress);
  m_workerDone = true;
}

bool RestoreController::Poll() {
  if (m_polling) return false;
  m_polling = true;
  if (m_running && m_progress.Reports() != m_reportsSeen) {
    m_reportsSeen = m_progress.Reports();
    m_status = m_progress.CurrentPath();
    m_percent = m_progress.Percent();
  }
  bool finished = false;
  if (m_running && m_workerDone && m_worker.joinable()) {
    m_worker.join();
    Finish();
    finished = true;
  }
  m_polling = false;
  return finished;
}

void RestoreController::Finish() {
  // A cancel wins even over an extraction that completed meanwhile.
  if (m_progress.CancelRequested() || m_job.cancelled) {
    RemoveFolderTree(m_job.temporaryFolder);
    Fail();
    hv::ShowMessage(10769, wxS("Abbruch durch den Benutzer."), MB_OK | MB_ICONINFORMATION);
    EndRun();
    return;
  }
  if (!m_job.ok) {
    const wxString count = wxString::Format(hv::LocalString(10797, wxS("%zu Fehler:")), m_job.errors.size());
    Fail(10765, UnpackFailedText() + "\n\n" + count + ListOf(m_job.errors));
    EndRun();
    return;
  }
  if (!PutIntoPlace()) {
    EndRun();
    return;
  }
  m_request.restoredPath = m_projectPath;
  m_percent = 0;
  m_succeeded = true;
  m_status = hv::LocalString(10766, wxS("Wiederherstellung erfolgreich durchgeführt."));
  if (!m_job.skipped.empty())
    hv::Ui().Message(10801,
                     wxString::Format(hv::LocalString(10801, wxS("%zu Einträge außerhalb des Projektordners wurden "
                                                                 "nicht wiederhergestellt:")),
                                      m_job.skipped.size()) +
                         ListOf(m_job.skipped),
                     MB_OK | MB_ICONINFORMATION);
  EndRun();
}

bool RestoreController::PutIntoPlace() {
  const wxString temporary = m_job.temporaryFolder;
  const wxString extracted = hv::JoinPath(temporary, m_finalName);
  // Under another folder name the project takes that name too: the list row the import
  // makes comes from "PROJECT.SET".
  if (m_finalName != m_folderName && projectset::ExistsIn(extracted) &&
      !CSettingsFile(projectset::PathIn(extracted)).WriteString(projectset::kConfig, wxS("Name"), m_finalName)) {
    RemoveFolderTree(temporary);
    Fail(10765, wxString::Format(wxS("%s\n%s"), UnpackFailedText(), projectset::PathIn(extracted)));
    return false;
  }
  wxString error;
  if (m_overwrite) {
    // One step puts the new project where the old one was: a kill leaves one of them
    // there, and the project's list row stays as it is.
    m_status = hv::LocalString(10758, wxS("Projekt wird gelöscht, bitte warten."));
    if (!hv::PathExists(m_existingPath) || !ExchangeFolders(extracted, m_existingPath, temporary, &error)) {
      RemoveFolderTree(temporary);
      const wxString why = hv::LocalString(10163, wxS("Fehler beim Löschen des Verzeichnisses"));
      Fail(10163, wxString::Format(wxS("%s\n%s\n%s"), why, m_existingPath, error));
      return false;
    }
    // The old project, now in the temporary folder, goes as a deleted project does.
    m_steps.deleteProject(extracted);
    // The archive's spelling of the folder name where only its case differs.
    if (hv::ResolvePath(m_projectPath) != m_projectPath && !MoveFolderNoReplace(m_existingPath, m_projectPath, nullptr))
      m_projectPath = m_existingPath;
  } else if (!MoveFolderNoReplace(extracted, m_projectPath, &error)) {
    RemoveFolderTree(temporary);
    const wxString format = hv::LocalString(10802, wxS("Das Projekt konnte nicht nach %s verschoben werden (%s)."));
    Fail(10802, wxString::Format(format, m_projectPath, error));
    return false;
  }
  RemoveFolderTree(temporary);
  m_job.claim.Release();
  m_job.temporaryFolder.clear();
  if (!m_steps.registerProject(m_projectPath, m_finalName)) {
    Fail();
    return false;
  }
  return true;
}

void RestoreController::Fail(UINT id, const wxString& message) {
  m_percent = 0;
  m_succeeded = false;
  m_status = FailedText();
  if (!message.empty()) hv::Ui().Message(id, message, MB_OK | MB_ICONSTOP);
}

void RestoreController::EndRun() {
  m_buttons.cancelShown = m_buttons.cancelEnabled = false;
  m_buttons.closeEnabled = true;
  m_running = false;
  m_buttons.startShown = m_buttons.startEnabled = !m_succeeded;
  if (m_succeeded) m_buttons.progressEnabled = false;
  m_job.temporaryFolder.clear();
}

void RestoreController::Cancel() {
  if (m_running) m_progress.RequestCancel();
}

bool RestoreController::RequestClose() {
  if (m_running) {
    m_status = hv::LocalString(10768, wxS("Wiederherstellung ist noch aktiv, bitte warten."));
    return false;
  }
  return true;
}
