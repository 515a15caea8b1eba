#include "model/Project.h"
#include "model/ProjectDownload.h"


#include "framework/LocalTables.h"
#include "framework/MissingDialog.h"
#include "framework/Services.h"
#include "framework/UpdateHints.h"
#include "model/BackupController.h"
#include "model/DeviceSaveJournal.h"
#include "model/Documents.h"
#include "model/ModelServices.h"
#include "model/ProjectOperations.h"
#include "model/ProjectDocument.h"
#include "model/PrjFolder.h"
#include "model/ProjectList.h"
#include "model/RestoreController.h"
#include "platform/Archive.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/SuiteHelper.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

BEGIN_COMMAND_MAP(CPOProject, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnEdit)
  ON_COMMAND(ID_PROJECT_DELETE, OnDelete)
  ON_COMMAND(ID_PROJECT_NEW, OnNewProject)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewCopy)
  ON_COMMAND(ID_PROJECT_IMPORT, OnImport)
  ON_COMMAND(ID_PROJECT_RESTORE, OnRestore)
  ON_COMMAND(ID_PROJECT_BACKUP, OnBackup)
  ON_COMMAND(ID_PROJECT_EXPORT_DP, OnExportDataPoints)
  ON_COMMAND(ID_PROJECT_DOWNLOAD, OnProjectDownload)
  ON_UPDATE_COMMAND_UI(ID_PROJECT_COPY, OnUpdateAlways)
  ON_UPDATE_COMMAND_UI(ID_PROJECT_CUT, OnUpdateAlways)
  ON_UPDATE_COMMAND_UI(ID_PROJECT_EXPORT_DP, OnUpdateNeedsChildren)
  ON_UPDATE_COMMAND_UI(ID_PROJECT_DOWNLOAD, OnUpdateNeedsDevice)
  ON_UPDATE_COMMAND_UI(ID_PROJECT_BACKUP, OnUpdateBackup)
  ON_UPDATE_COMMAND_UI(ID_PROJECT_RESTORE, OnUpdateRestore)
END_COMMAND_MAP()

namespace {

wxString TrimRight(wxString s) { return s.Trim(true); }

bool IsChildClass(const CProjectObject& object, const char* name) {
  return std::string_view(object.ClassName()) == name;
}

}  // namespace

WORD CPOProject::ProgramLanguage() { return hv::Service<hv::IApplicationState>().LanguageId(); }

CPOProject::CPOProject() : m_defaultLanguage(ProgramLanguage()) {
  SetName(hv::LocalString(10319, wxS("Projekt")));
  SetProject(this);
}

CPOProject::CPOProject(const wxString& name, const wxString& folder) : m_defaultLanguage(ProgramLanguage()) {
  SetName(TrimRight(name));
  SetProject(this);
  SetFolder(TrimRight(folder));
  const int language = m_settings.GetInt(projectset::kConfig, wxS("DefaultLanguage"), m_defaultLanguage);
  if (language > 0 && language < 65535) m_defaultLanguage = static_cast<WORD>(language);
  m_flags = ProjectFlags::Read(m_settings.GetPath());
}

CPOProject::CPOProject(CProjectObject* parentFolder)
    : CProjectObject(parentFolder, nullptr), m_defaultLanguage(ProgramLanguage()) {
  SetProject(this);
}

void CPOProject::SetFolder(const wxString& folder) {
  m_folder = folder.empty() ? wxString() : hv::StripOneTrailingSeparator(hv::NormalizePath(folder));
  m_settings.SetPath(m_folder.empty() ? wxString() : projectset::PathIn(m_folder, projectset::kUpper));
}

CSettingsFile& CPOProject::GetSettings() {
  // Another step may have created the file under another spelling meanwhile.
  if (!m_folder.empty()) m_settings.SetPath(projectset::PathIn(m_folder, projectset::kUpper));
  return m_settings;
}

void CPOProject::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteString(m_folder, false);
    ar.WriteI32(m_flags.CoDeSysDP);
    ar.WriteI32(m_flags.CoDeSysDPCreate);
    ar.WriteI32(m_flags.CoDeSysDPChecksum);
    ar.WriteI32(m_flags.CoDeSysDPCreateCOM);
    ar.WriteI32(m_flags.CoDeSysDPByteAddr);
    ar.WriteI32(m_copyFlag);
  } else {
    SetFolder(ar.ReadString());
    m_flags.CoDeSysDP = ar.ReadI32();
    m_flags.CoDeSysDPCreate = ar.ReadI32();
    m_flags.CoDeSysDPChecksum = ar.ReadI32();
    m_flags.CoDeSysDPCreateCOM = ar.ReadI32();
    m_flags.CoDeSysDPByteAddr = ar.ReadI32();
    m_copyFlag = ar.ReadI32();
  }
}

std::span<ColumnDef> CPOProject::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Project); }

wxString CPOProject::GetColumnText(int column) {
  if (column == 0) return GetName();
  if (column == 1) return m_folder;
  return wxString();
}

wxString CPOProject::GetListCaption() { return wxS("Projektierte Geräte"); }

CProjectObject* CPOProject::AddChild(std::unique_ptr<CProjectObject> child) {
  if (!child) return nullptr;
  if (!IsChildClass(*child, "CPOPrjDevice") && !IsChildClass(*child, "CPODocuments")) {
    Discard(std::move(child));
    return nullptr;
  }
  return CProjectObject::AddChild(std::move(child));
}

// A device folder holds "DEVICE.SET" and a device table with a row of its own name.
bool CPOProject::IsDeviceFolder(const wxString& folder, const wxString& name) const {
  if (name.find('.') != wxString::npos || !hv::IsFolder(folder)) return false;
  if (!hv::IsFile(hv::ResolvePath(hv::JoinPath(folder, wxS("DEVICE.SET"))))) return false;
  // A device edit a kill interrupted is completed or dropped first.
  devicesave::Recover(folder, name);
  hv::db::Table table;
  if (!hv::db::db_open(hv::JoinPath(folder, wxS("GERAET")), table)) return false;
  hv::db::GeraetRow row;
  return hv::db::geraet_select(table, row, hv::db::kSeek, "BEZEICH", {name}) != FALSE;
}

BOOL CPOProject::LoadChildren() {
  DispatchScope scope;
  std::vector<std::unique_ptr<CProjectObject>> old = TakeChildren();
  auto takeBack = [&old](auto matches) -> std::unique_ptr<CProjectObject> {
    for (auto& child : old)
      if (child && matches(*child)) return std::move(child);
    return nullptr;
  };
  if (!m_folder.empty()) {
    const wxString folder = hv::ResolvePath(m_folder);
    for (const wxString& name : hv::ListFolder(folder)) {
      const wxString path = hv::JoinPath(folder, name);
      if (!IsDeviceFolder(path, name)) continue;
      std::unique_ptr<CProjectObject> device = takeBack([&name](CProjectObject& c) {
        return IsChildClass(c, "CPOPrjDevice") && c.GetName().CmpNoCase(name) == 0;
      });
      if (!device) device = hv::Service<hv::IProjectOperations>().LoadDevice(*this, path);
      if (device) AddChild(std::move(device));
    }
  }
  std::unique_ptr<CProjectObject> documents =
      takeBack([](CProjectObject& c) { return IsChildClass(c, "CPODocuments"); });
  if (!documents) documents = hv::Service<hv::IProjectOperations>().MakeDocuments(*this);
  if (documents) AddChild(std::move(documents));
  for (auto& child : old)
    if (child) Dispose(std::move(child));
  return TRUE;
}

BOOL CPOProject::HasTreeChildren() {
  if (m_folder.empty()) return FALSE;
  const wxString folder = hv::ResolvePath(m_folder);
  for (const wxString& name : hv::ListFolder(folder))
    if (IsDeviceFolder(hv::JoinPath(folder, name), name)) return TRUE;
  return HasDocumentsToShow() ? TRUE : FALSE;
}

// The documentation node, found or as a load would make it, lists documents.
bool CPOProject::HasDocumentsToShow() {
  if (!FindChildOfType(TypeCode::Documents)) {
    std::unique_ptr<CProjectObject> probe = hv::Service<hv::IProjectOperations>().MakeDocuments(*this);
    if (!probe) return false;
    Discard(std::move(probe));
  }
  return CPODocuments::HoldsDocuments(CPODocuments::FolderOf(m_folder));
}

BOOL CPOProject::IsStale() {
  const wxString folder = hv::ResolvePath(m_folder);
  for (CProjectObject* child : GetChildren())
    if (IsChildClass(*child, "CPOPrjDevice") && !hv::IsFolder(hv::JoinPath(folder, child->GetName()))) return TRUE;
  // New device folders only count when devices can be made for them.
  if (m_folder.empty()) return FALSE;
  for (const wxString& name : hv::ListFolder(folder)) {
    if (!IsDeviceFolder(hv::JoinPath(folder, name), name)) continue;
    bool listed = false;
    for (CProjectObject* child : GetChildren()) listed = listed || child->GetName().CmpNoCase(name) == 0;
    if (!listed) return TRUE;
  }
  return FALSE;
}

BOOL CPOProject::WriteToClipboard(CArchive&) {
  m_copyFlag = 1;
  return TRUE;
}

BOOL CPOProject::Cut(CArchive&) {
  m_copyFlag = 0;
  return TRUE;
}

// Without its documentation node (gone with its last document, or not loaded yet) the
// project still takes files: a node such as a load makes answers for it.
BOOL CPOProject::QueryClipboardFiles() {
  if (CProjectObject* documents = FindChildOfType(TypeCode::Documents)) return documents->QueryClipboardFiles();
  std::unique_ptr<CProjectObject> probe = hv::Service<hv::IProjectOperations>().MakeDocuments(*this);
  if (!probe) return FALSE;
  const BOOL files = probe->QueryClipboardFiles();
  Discard(std::move(probe));
  return files;
}

// The files go to the documentation node, found or made as a load would make it; a node
// is made only for files that are there to paste.
BOOL CPOProject::PasteClipboardFiles() {
  CProjectObject* documents = FindChildOfType(TypeCode::Documents);
  if (!documents) {
    std::unique_ptr<CProjectObject> made = hv::Service<hv::IProjectOperations>().MakeDocuments(*this);
    if (!made) return FALSE;
    if (!made->QueryClipboardFiles()) {
      Discard(std::move(made));
      return FALSE;
    }
    documents = AddChild(std::move(made));
    if (!documents) return FALSE;
    UpdateAllViews(HINT_OBJECT_ADDED, documents);
  }
  return documents->PasteClipboardFiles();
}

wxString CPOProject::GetTreePath() const {
  wxString path = GetName();
  for (CProjectObject* p = GetParent(); p; p = p->GetParent())
    if (p->GetTypeCode() == TypeCode::PrjFolder && !p->GetName().empty()) path = p->GetName() + wxS("\\") + path;
  return path;
}

BOOL CPOProject::MakeCurrent() {
  GetSettings();
  const wxString treePath = GetTreePath();
  hv::Service<hv::IApplicationState>().SetProjectFullPath(treePath);
  const wxString key = wxS("SOFTWARE\\Quintor\\Halvora");
  hv::set_registry_strvalue(key, wxS("ProjectFullPath"), treePath);
  hv::set_registry_strvalue(key, wxS("ProjectPath"), m_folder);
  hv::set_registry_strvalue(key, wxS("ProjectName"), GetName());
  return TRUE;
}

BOOL CPOProject::GetSetting(wxString& out, const wxString& section, const wxString& key, const wxString& def) {
  out = GetSettings().GetString(section, key, def);
  return TRUE;
}

BOOL CPOProject::WritePaneSetting(const wxString& key, const wxString& value) {
  return GetSettings().WriteString(projectset::kPane, key, value);
}

void CPOProject::TakePlaceFrom(CProjectObject* parent) {
  if (parent && !parent->IsRootProxy()) {
    SetParentFolderKey(projectlist::FolderKey(parent->GetLevel(), parent->GetName()));
    SetLevel(parent->GetLevel() + 1);
  } else {
    SetParentFolderKey(wxString());
    SetLevel(0);
  }
}

CProjectObject* CPOProject::Place(std::unique_ptr<CPOProject> project, CProjectObject* parent) {
  CProjectObject* added = nullptr;
  if (parent) {
    added = parent->AddChild(std::move(project));
  } else if (hv::IProjectDocument* doc = GetActiveDocument()) {
    added = doc->AddRoot(std::move(project));
  } else {
    Discard(std::move(project));
  }
  if (added) UpdateAllViews(HINT_OBJECT_ADDED, added);
  return added;
}

// --- commands run elsewhere ---

void CPOProject::OnUpdateAlways(CCmdUI* ui) { ui->Enable(TRUE); }
void CPOProject::OnUpdateNeedsChildren(CCmdUI* ui) {
  ui->Enable(!HasNoChildren() ? TRUE : FALSE);
}
void CPOProject::OnUpdateNeedsDevice(CCmdUI* ui) {
  ui->Enable(FindChildOfType(TypeCode::PrjDevice) ? TRUE : FALSE);
}
void CPOProject::OnUpdateBackup(CCmdUI* ui) { ui->Enable(TRUE); }
void CPOProject::OnUpdateRestore(CCmdUI* ui) { ui->Enable(TRUE); }

void CPOProject::OnBackup() {
  hv::Service<hv::IProjectOperations>().Backup(*this);
}
void CPOProject::OnExportDataPoints() {
  hv::Service<hv::IProjectOperations>().ExportDataPoints(*this);
}
void CPOProject::OnProjectDownload() {
  hv::Service<hv::IProjectOperations>().Download(*this);
}

// --- the project operations bound at start-up ---

// The folder commands run on a temporary project whose parent is the folder.
void CProjectOperations::ImportInto(CPOPrjFolder& folder) {
  CPOProject temporary(&folder);
  temporary.ImportProject(wxString());
}

void CProjectOperations::RestoreInto(CPOPrjFolder& folder) {
  CPOProject temporary(&folder);
  temporary.Restore(&folder);
}

// Backup and restore run their dialogs; the restore overwrites an existing project
// through the list, and the restored folder is then imported by Restore().
void CProjectOperations::Backup(CPOProject& project) {
  BackupRequest request;
  request.sourceFolder = project.GetFolder();
  request.projectName = project.GetName();
  request.profilePath = hv::Service<hv::IApplicationState>().ProfilePath();
  hv::Ui().Run(request);
}

wxString CProjectOperations::RunRestore(CPOProject&) {
  RestoreRequest request;
  request.profilePath = hv::Service<hv::IApplicationState>().ProfilePath();
  // The overwritten project's folder, already swapped out of its place; its list row
  // now names the restored project and stays.
  request.target.deleteProject = [](const wxString& folder) {
    return CPOProject::DeleteProjectFiles(folder, hv::PathName(folder));
  };
  if (hv::Ui().Run(request) != IDOK) return wxString();
  return request.restoredPath;
}

// The documentation folder under every project.
std::unique_ptr<CProjectObject> CProjectOperations::MakeDocuments(CPOProject&) {
  return std::make_unique<CPODocuments>();
}

void CProjectOperations::Download(CPOProject& project) { RunProjectDownload(project); }
