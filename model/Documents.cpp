#include "model/Documents.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "framework/ClipboardFiles.h"
#include "framework/ClipboardStore.h"
#include "framework/StagedCopies.h"
#include "framework/CommandIds.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/Doc.h"
#include "model/DocFiles.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

BEGIN_COMMAND_MAP(CPODocuments, CProjectObject)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateCut)
END_COMMAND_MAP()

namespace {

void ReportFolderError() {
  hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
}

constexpr UINT kWarn = MB_OK | MB_ICONEXCLAMATION;

// A copy the system refused: its reason goes with the message.
void ReportCopyError(const wxString& name, int error) {
  wxString text = wxString::Format(hv::LocalString(10982, wxS("Die Datei %s konnte nicht kopiert werden!")), name);
  if (error != 0) text += wxS("\n") + hv::FromUtf8(std::strerror(error));
  hv::Ui().Message(10982, text, kWarn);
}

void ReportGone(const wxString& name) {
  hv::ShowMessageF(13966,
                   wxS("Die Datei %s wurde nicht eingefügt: Sie ist nicht mehr vorhanden (verschoben oder gelöscht)!"),
                   kWarn, name);
}

void ReportFolder(const wxString& name) {
  hv::ShowMessageF(13965, wxS("Der Ordner %s wurde nicht eingefügt: Ein Ordner ist kein Dokument!"), kWarn,
                   name);
}

void ReportNoPlainFile(const wxString& name) {
  hv::ShowMessageF(13967, wxS("%s wurde nicht eingefügt: Nur gewöhnliche Dateien können Dokumente sein!"), kWarn,
                   name);
}

void ReportName(const wxString& name) {
  hv::ShowMessageF(13968,
                   wxS("Die Datei %s wurde nicht eingefügt: Ihr Name enthält einen umgekehrten Schrägstrich oder ein "
                       "Steuerzeichen!"),
                   kWarn, name);
}

bool Gone(const wxString& path) {
  struct stat st;
  return lstat(hv::ToFs(path).c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

bool IsListedFile(const wxString& path) {
  struct stat st;
  return stat(hv::ToFs(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

CPODocuments::CPODocuments() { SetName(hv::LocalString(10836, wxS("Dokumentation"))); }

CProjectObject* CPODocuments::OwningProject() const {
  CProjectObject* object = GetParent();
  while (object && object->GetTypeCode() != TypeCode::Project) object = object->GetParent();
  return object;
}

wxString CPODocuments::FolderOf(const wxString& projectFolder) {
  // A relative folder would land wherever the program happens to run.
  if (projectFolder.empty() || !hv::NormalizePath(projectFolder).StartsWith("/")) return wxString();
  return hv::ResolvePath(hv::JoinPath(projectFolder, "Documentation"));
}

bool CPODocuments::HoldsDocuments(const wxString& folder) {
  if (folder.empty()) return false;
  for (const wxString& name : hv::ListFolder(folder))
    if (IsListedFile(hv::JoinPath(folder, name))) return true;
  return false;
}

wxString CPODocuments::GetFolder() {
  CProjectObject* project = OwningProject();
  if (!project) return wxString();
  const wxString folder = FolderOf(devsvc::ProjectFolder(*project));
  if (folder.empty()) return wxString();
  m_folder = folder;
  return m_folder;
}

wxString CPODocuments::EnsureFolder() {
  const wxString folder = GetFolder();
  if (folder.empty() || (!hv::IsFolder(folder) && !hv::MakeFolders(folder))) {
    ReportFolderError();
    return wxString();
  }
  return folder;
}

std::span<ColumnDef> CPODocuments::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Documents); }

BOOL CPODocuments::LoadChildren() {
  const wxString folder = EnsureFolder();
  if (folder.empty()) return FALSE;
  std::vector<std::unique_ptr<CProjectObject>> old = TakeChildren();
  for (const wxString& name : hv::ListFolder(folder)) {
    const wxString path = hv::JoinPath(folder, name);
    if (!IsListedFile(path)) continue;
    std::unique_ptr<CProjectObject> child;
    for (auto& kept : old) {
      if (kept && kept->GetName() == name && dynamic_cast<CPODoc*>(kept.get())) {
        child = std::move(kept);
        break;
      }
    }
    if (!child) child = std::make_unique<CPODoc>();
    if (!static_cast<CPODoc&>(*child).SetFile(path)) {
      if (IsValidObject(child.get()) && child->GetParent()) Dispose(std::move(child));
      else Discard(std::move(child));
      continue;
    }
    AddChild(std::move(child));
  }
  for (auto& child : old)
    if (child) Dispose(std::move(child));
  return TRUE;
}

BOOL CPODocuments::IsStale() {
  if (HasNoChildren()) return TRUE;
  std::map<wxString, bool> names;
  for (CProjectObject* child : GetChildren()) {
    names[child->GetName()] = true;
    CPODoc* doc = dynamic_cast<CPODoc*>(child);
    if (!doc) continue;
    struct stat st;
    if (stat(hv::ToFs(doc->GetPath()).c_str(), &st) != 0) return TRUE;
    const std::int64_t time = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (time != doc->GetWriteTime()) return TRUE;
  }
  const wxString folder = GetFolder();
  if (folder.empty()) return FALSE;
  for (const wxString& name : hv::ListFolder(folder))
    if (!names.count(name) && IsListedFile(hv::JoinPath(folder, name))) return TRUE;
  return FALSE;
}

BOOL CPODocuments::QueryClipboardFiles() {
  const ClipboardFileList list = ReadClipboardFiles(ClipboardStore());
  m_move = list.move ? TRUE : FALSE;
  m_clipboardFiles = list.paths;
  return list.present && !m_clipboardFiles.empty() ? TRUE : FALSE;
}

BOOL CPODocuments::PasteClipboardFiles() {
  if (!QueryClipboardFiles()) return FALSE;
  const wxString folder = EnsureFolder();
  if (folder.empty()) return TRUE;
  const bool held = HoldsDocuments(folder);
  const std::vector<wxString> files = m_clipboardFiles;
  for (const wxString& source : files) PasteFile(folder, source);
  // With its first documents the node is new to the tree: its project may have had
  // nothing to open until now.
  if (!held && HoldsDocuments(folder)) UpdateAllViews(HINT_OBJECT_ADDED, this);
  UpdateAllViews(HINT_REFRESH_CHILDREN, this);
  return TRUE;
}

void CPODocuments::PasteFile(const wxString& folder, const wxString& source) {
  wxString path = source;
  while (path.length() > 1 && path.EndsWith("/")) path.RemoveLast();
  const wxString name = docfiles::BaseName(path);
  // A link stands for the file it names.
  struct stat st;
  if (stat(hv::ToFs(path).c_str(), &st) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) ReportGone(name);
    else ReportCopyError(name, error);
    return;
  }
  if (S_ISDIR(st.st_mode)) {
    ReportFolder(name);
    return;
  }
  if (!S_ISREG(st.st_mode)) {
    ReportNoPlainFile(name);
    return;
  }
  if (!docfiles::IsPlainFileName(name)) {
    ReportName(name);
    return;
  }
  const wxString existing = docfiles::ExistingName(folder, name);
  const wxString destination = hv::JoinPath(folder, existing.empty() ? name : existing);
  // A file pasted onto itself is already where it belongs; moving it would lose it.
  if (!existing.empty() && docfiles::IsSameFile(path, destination)) return;
  const wxString from = docfiles::FollowLinks(path);
  int error = 0;
  staging::CopyResult result =
      staging::CopyRegularFile(from, destination, false, staging::CopyMode::KeepSource, &error);
  if (result == staging::CopyResult::Exists) {
    if (hv::ShowMessageF(10099, wxS("Die Datei %s ist bereits vorhanden!\nÜberschreiben?"), MB_YESNO | MB_ICONQUESTION,
                         name) != IDYES)
      return;
    result = staging::CopyRegularFile(from, destination, true, staging::CopyMode::KeepSource, &error);
  }
  if (result != staging::CopyResult::Copied) {
    // Gone since it was looked at.
    if (error == ENOENT && Gone(path)) ReportGone(name);
    else ReportCopyError(name, error);
    return;
  }
  if (m_move) docfiles::TrashFile(path);
}

wxString CPODocuments::GetListCaption() {
  CProjectObject* project = OwningProject();
  return wxString::Format(hv::LocalString(10987, wxS("Dokumente des Projekts '%s'")),
                          project ? project->GetName() : wxString());
}

void CPODocuments::OnUpdateCut(CCmdUI* ui) { ui->Enable(FALSE); }
