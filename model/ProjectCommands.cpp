// A new project, the settings sheet with rename, and delete.
#include <unistd.h>

#include "framework/FolderUtils.h"
#include "framework/ProjectsFolder.h"
#include "model/ProjectDocument.h"
#include "framework/UpdateHints.h"
#include "model/Project.h"
#include "model/ProjectCopy.h"
#include "model/ProjectList.h"
#include "model/ProjectRequests.h"
#include "model/ProjectSheet.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

using projectlist::Row;

namespace {

// Same folder on disk: both resolved and compared as files, else as normalised text.
bool SameFolder(const wxString& a, const wxString& b) {
  const std::string ra = hv::ToFs(hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(a))));
  const std::string rb = hv::ToFs(hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(b))));
  char* ca = realpath(ra.c_str(), nullptr);
  char* cb = realpath(rb.c_str(), nullptr);
  const bool same = ca && cb ? std::string(ca) == cb : ra == rb;
  free(ca);
  free(cb);
  return same;
}

CProjectObject* FindProjectInTree(CProjectObject* object, const wxString& folderName, const wxString& name) {
  if (!object) return nullptr;
  if (object->GetTypeCode() == TypeCode::Project && object->GetName().CmpNoCase(name) == 0) {
    const CProjectObject* parent = object->GetParent();
    const wxString holder = parent ? parent->GetName() : wxString();
    if (holder.CmpNoCase(folderName) == 0) return object;
  }
  if (object->GetTypeCode() != TypeCode::PrjFolder) return nullptr;
  for (CProjectObject* child : object->GetChildren())
    if (CProjectObject* found = FindProjectInTree(child, folderName, name)) return found;
  return nullptr;
}

}  // namespace

bool ProjectFoldersEqual(const wxString& a, const wxString& b) { return SameFolder(a, b); }

wxString CPOProject::ProjectsRoot() { return ConfiguredProjectsFolder(); }

bool CPOProject::DeleteProjectFiles(const wxString& folder, const wxString& name) {
  const wxString resolved = hv::ResolvePath(hv::NormalizePath(folder));
  // A damaged row must never take anything but a project folder with it; neither root
  // of projects (configured or default) is one.
  if (resolved.empty() || !resolved.StartsWith("/") || !hv::IsFolder(resolved) || !projectset::ExistsIn(resolved) ||
      IsProtectedPath(resolved) || SameFolder(resolved, ProjectsRoot()) ||
      SameFolder(resolved, DefaultProjectsFolder()))
    return false;
  const wxString title = wxString::Format(hv::LocalString(10148, wxS("Projekt '%s' wird gelöscht")), name);
  return DeleteFiles(title, FALSE, resolved) != FALSE;
}

BOOL CPOProject::CreateNew(CProjectObject* parent, CPOPrjDevice*, const CProjectObject* templ) {
  if (templ && IsValidObject(templ) && std::string_view(templ->ClassName()) == kClassName)
    return CProjectCopy::Copy(parent, *static_cast<const CPOProject*>(templ));
  return CProjectCopy::Create(
      parent, [](int n) { return wxString::Format(hv::LocalString(10110, wxS("Projekt %d")), n); }, ProjectsRoot(),
      m_flags, m_defaultLanguage, wxString());
}

void CPOProject::OnNewProject() {
  DispatchScope scope;
  SetMultipleSelection(FALSE);
  CPOProject prototype;
  prototype.CreateNew(GetParent(), nullptr, nullptr);
}

void CPOProject::OnNewCopy() {
  DispatchScope scope;
  SetMultipleSelection(FALSE);
  CPOProject prototype;
  prototype.CreateNew(GetParent(), nullptr, this);
}

void CPOProject::OnEdit() {
  DispatchScope scope;
  SetMultipleSelection(FALSE);
  TakePlaceFrom(GetParent());
  ProjectSheetController sheet(*this);
  ProjectSheetRequest request;
  request.caption = wxString::Format(hv::LocalString(10348, wxS("Einstellungen zu Projekt '%s'")), GetName());
  request.sheet = &sheet;
  if (hv::Ui().Run(request) != IDOK) return;

  // The sheet edited a copy: nothing reaches the object before the list agrees.
  const wxString old = GetName();
  wxString name = sheet.general.name;
  name.Trim(true);
  if (CheckProjectName(name, old) != 0) return;
  m_flags = sheet.general.flags;
  m_flags.Write(GetSettings().GetPath());

  Row row{name, m_folder, GetLevel(), GetParentFolderKey()};
  if (name == old || name.CmpNoCase(old) == 0) {
    if (!projectlist::Update(old, row)) return;
  } else {
    if (!projectlist::Insert(row)) return;
    if (!projectlist::Delete(old)) {
      projectlist::Delete(name);
      return;
    }
  }
  if (name == old) return;
  GetSettings().WriteString(projectset::kConfig, wxS("Name"), name);
  SetName(name);
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
}

void CPOProject::OnDelete() {
  DispatchScope scope;
  if (!projectlist::ReadAll()) return;
  if (hv::ShowMessage(10123, wxS("Sind Sie sicher, daß Sie dieses Projekt löschen wollen?"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const bool files = hv::ShowMessage(10135, wxS("Sollen auch alle Dateien gelöscht werden?"),
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  // The row goes first: a project whose row stays must keep its files.
  if (!projectlist::Delete(GetName())) return;
  if (files && !DeleteProjectFiles(m_folder, GetName()))
    hv::ShowMessage(10163, wxS("Fehler beim Löschen des Verzeichnisses"), MB_OK | MB_ICONINFORMATION);
  if (CProjectObject* parent = GetParent(); parent && !parent->IsRootProxy()) parent->RemoveChild(this);
  else if (hv::IProjectDocument* doc = GetActiveDocument(); doc && doc->IsRoot(this)) doc->RemoveObject(this);
  else UpdateAllViews(HINT_OBJECT_REMOVED, this);
}

BOOL CPOProject::ShowRestoredInPlace(const wxString& folder) {
  DispatchScope scope;
  auto rows = projectlist::ReadAll();
  if (!rows) return FALSE;
  for (const Row& row : *rows) {
    if (row.path.empty() || !SameFolder(row.path, folder)) continue;
    // The list keeps the row; the tree gets a fresh object for the new contents.
    const size_t dollar = row.parentKey.find_last_of('$');
    const wxString holder = dollar == wxString::npos ? wxString() : row.parentKey.Mid(dollar + 1);
    hv::IProjectDocument* doc = GetActiveDocument();
    if (!doc) return TRUE;
    for (CProjectObject* root : doc->GetRoots()) {
      CProjectObject* found = FindProjectInTree(root, holder, row.name);
      if (!found) continue;
      CProjectObject* parent = found->GetParent();
      if (parent) parent->RemoveChild(found);
      else doc->RemoveObject(found);
      std::unique_ptr<CProjectObject> fresh = projectlist::MakeProject(row);
      CProjectObject* added = !fresh ? nullptr : parent ? parent->AddChild(std::move(fresh)) : doc->AddRoot(std::move(fresh));
      if (added) UpdateAllViews(HINT_OBJECT_ADDED, added);
      break;
    }
    return TRUE;
  }
  return FALSE;
}

BOOL CPOProject::RemoveProjectByPath(const wxString& folder) {
  DispatchScope scope;
  auto rows = projectlist::ReadAll();
  if (!rows) return FALSE;
  for (const Row& row : *rows) {
    if (row.path.empty() || !SameFolder(row.path, folder)) continue;
    // A project whose folder stays keeps its row.
    if (hv::IsFolder(hv::ResolvePath(hv::NormalizePath(row.path))) && !DeleteProjectFiles(row.path, row.name)) {
      hv::ShowMessage(10163, wxS("Fehler beim Löschen des Verzeichnisses"), MB_OK | MB_ICONINFORMATION);
      return FALSE;
    }
    if (!projectlist::Delete(row.name)) return FALSE;
    const size_t dollar = row.parentKey.find_last_of('$');
    const wxString holder = dollar == wxString::npos ? wxString() : row.parentKey.Mid(dollar + 1);
    if (hv::IProjectDocument* doc = GetActiveDocument()) {
      for (CProjectObject* root : doc->GetRoots()) {
        CProjectObject* found = FindProjectInTree(root, holder, row.name);
        if (!found) continue;
        if (found->GetParent()) found->GetParent()->RemoveChild(found);
        else doc->RemoveObject(found);
        break;
      }
    }
    return TRUE;
  }
  // A project folder whose row the user removed but whose files stayed: only the folder goes.
  if (!hv::IsFolder(hv::ResolvePath(hv::NormalizePath(folder)))) return FALSE;
  if (!DeleteProjectFiles(folder, hv::PathName(hv::NormalizePath(folder)))) {
    hv::ShowMessage(10163, wxS("Fehler beim Löschen des Verzeichnisses"), MB_OK | MB_ICONINFORMATION);
    return FALSE;
  }
  return TRUE;
}
