#include "model/ProjectCopy.h"

#include "framework/FolderCopy.h"
#include "framework/FolderUtils.h"
#include "framework/NameDialogRequests.h"
#include "framework/Services.h"
#include "model/ModelServices.h"
#include "model/ProjectDocument.h"
#include "framework/UpdateHints.h"
#include "model/PrjFolder.h"
#include "model/ProjectList.h"
#include "model/ProjectRequests.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/IniFile.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

using projectlist::Row;

// The first line of "version.dat": its leading number and the text after the first '|'.
void ParseVersionFile(const std::string& bytes, long& version, wxString& name) {
  wxString line = hv::FromCp1252(bytes.substr(0, bytes.find_first_of("\r\n")));
  size_t digits = 0;
  while (digits < line.length() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  version = 0;
  if (digits == 0 || digits > 9 || !line.Left(digits).ToLong(&version)) version = 0;
  const size_t bar = line.find('|');
  name = bar == wxString::npos ? line : line.Mid(bar + 1);
}

namespace {

// A folder listed while a cut project waited on the clipboard has read the project back
// from its old row. Once the row has moved, such an object stands for a project that
// is no longer there: the project would show in two places.
void DropStaleObjects(CPOProject& moved) {
  hv::IProjectDocument* doc = CProjectObject::GetActiveDocument();
  if (!doc) return;
  std::vector<ObjectRef> stale;
  auto isStale = [&moved](CProjectObject& o) {
    return &o != &moved && dynamic_cast<CPOProject*>(&o) && o.GetName().CmpNoCase(moved.GetName()) == 0;
  };
  std::vector<CProjectObject*> folders;
  for (CProjectObject* root : doc->GetRoots()) {
    if (isStale(*root)) stale.emplace_back(root);
    else folders.push_back(root);
  }
  while (!folders.empty()) {
    CProjectObject* folder = folders.back();
    folders.pop_back();
    for (CProjectObject* child : folder->GetChildren()) {
      if (isStale(*child)) stale.emplace_back(child);
      else if (child->GetTypeCode() == TypeCode::PrjFolder) folders.push_back(child);
    }
  }
  for (const ObjectRef& ref : stale) {
    CProjectObject* object = ref.Get();
    if (!object) continue;
    if (CProjectObject* parent = object->GetParent()) parent->RemoveChild(object);
    else doc->RemoveObject(object);
  }
}


// The conversion library does not exist here: an older project is refused before
// anything is asked or written.
void ShowConversionNotAvailable() {
  hv::ShowMessage(10258,
                  wxS("Die Konvertierung älterer Projekte ist in dieser Version nicht verfügbar.\n"
                      "Der Ordner wurde nicht verändert."),
                  MB_OK | MB_ICONINFORMATION);
}

void ShowImportFailed() {
  hv::ShowMessage(10257, wxS("Beim Importieren des Projekts ist ein Fehler aufgetreten!"), MB_OK | MB_ICONEXCLAMATION);
}

bool AskConversion() {
  return hv::ShowMessage(10227,
                         wxS("Der gewählte Ordner enthält eine ältere Projektversion!\nSoll das Projekt konvertiert "
                             "werden?"),
                         MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool ReadVersionFile(const wxString& folder, long& version, wxString& name) {
  std::string bytes;
  if (!hv::ReadFileBytes(hv::ResolvePath(hv::JoinPath(folder, wxS("version.dat"))), bytes)) return false;
  ParseVersionFile(bytes, version, name);
  return true;
}

// A name read from an older project's files: no separators or other characters a
// folder name cannot hold, no blanks or points at its ends, at most 30 characters.
wxString SanitisedName(const wxString& raw) {
  wxString name;
  for (wxUniChar c : raw)
    if (c.GetValue() >= 32 && wxString(wxS("/\\:*?<>|\"")).find(c) == wxString::npos) name += c;
  name = name.Left(projectlist::kMaxName);
  while (!name.empty() && wxString(wxS(" \t.")).find(name[0]) != wxString::npos) name.Remove(0, 1);
  while (!name.empty() && wxString(wxS(" \t.")).find(name.Last()) != wxString::npos) name.RemoveLast();
  if (!hv::FitsCp1252(name)) name = hv::ToCp1252Lossy(name);
  return name.empty() ? hv::LocalString(10319, wxS("Projekt")) : name;
}

// A name no row has yet: the name itself, else its copy names.
wxString FreeProjectName(const wxString& name) {
  if (!projectlist::NameExists(name)) return name;
  for (int n = 1;; ++n) {
    const wxString candidate = ProjectCopyName(name, n);
    if (!projectlist::NameExists(candidate)) return candidate;
  }
}

bool RowHasPath(const std::vector<Row>& rows, const wxString& folder) {
  for (const Row& row : rows)
    if (!row.path.empty() && ProjectFoldersEqual(row.path, folder)) return true;
  return false;
}

// Where an import without a project folder goes: the top-level folder "Projekte",
// made when missing, so that the project is still listed after the next start.
CProjectObject* DefaultImportFolder() {
  hv::IProjectDocument* doc = CProjectObject::GetActiveDocument();
  if (!doc) return nullptr;
  const wxString name = hv::LocalString(10811, wxS("Projekte"));
  for (CProjectObject* root : doc->GetRoots())
    if (root->GetTypeCode() == TypeCode::PrjFolder && root->GetName().CmpNoCase(name) == 0) return root;
  if (!projectlist::Insert(Row{name, wxString(), 0, wxString()})) return nullptr;
  CProjectObject* added = doc->AddRoot(std::make_unique<CPOPrjFolder>(name));
  CProjectObject::UpdateAllViews(HINT_OBJECT_ADDED, added);
  return added;
}

// The folder an import files its project under.
CProjectObject* ImportParent(CPOProject& on) {
  CProjectObject* parent = on.GetParent();
  if (parent && !parent->IsRootProxy() && parent->GetTypeCode() == TypeCode::PrjFolder) return parent;
  return DefaultImportFolder();
}

Row RowFor(const wxString& name, const wxString& folder, CProjectObject* parent) {
  Row row{name, folder, 0, wxString()};
  if (parent) {
    row.parentKey = projectlist::FolderKey(parent->GetLevel(), parent->GetName());
    row.level = parent->GetLevel() + 1;
  }
  return row;
}

// Inserts the row and shows the project in the tree.
BOOL AddImported(const wxString& name, const wxString& folder, CProjectObject* parent) {
  const Row row = RowFor(name, folder, parent);
  if (!projectlist::Insert(row)) {
    hv::ShowMessage(10944, wxS("Das Projekt konnte nicht in die Projektliste eingetragen werden!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  auto project = std::make_unique<CPOProject>(name, folder);
  project->SetLevel(row.level);
  project->SetParentFolderKey(row.parentKey);
  CProjectObject* added = nullptr;
  if (parent) added = parent->AddChild(std::move(project));
  else if (hv::IProjectDocument* doc = CProjectObject::GetActiveDocument()) added = doc->AddRoot(std::move(project));
  if (added) CProjectObject::UpdateAllViews(HINT_OBJECT_ADDED, added);
  return TRUE;
}

}  // namespace


wxString ProjectCopyName(const wxString& name, int n) {
  wxString copy = wxString::Format("%s_%d", name, n);
  if (static_cast<int>(copy.length()) > projectlist::kMaxName) {
    const wxString suffix = copy.Mid(copy.find_last_of('_'));
    copy = copy.Left(projectlist::kMaxName - 1 - suffix.length()) + wxS("-") + suffix;
  }
  return copy;
}

bool CProjectCopy::Register(CPOProject& project, bool isCopy, const wxString& copyFrom) {
  const wxString folder = project.GetFolder();
  const bool made = !hv::PathExists(hv::ResolvePath(folder));
  if (!CreateDirectoryPath(folder)) {
    hv::ShowMessage(10943, wxS("Das Verzeichnis konnte nicht angelegt werden!"), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  auto undo = [&] {
    if (made) DeleteDirectory(folder);
  };
  if (!copyFrom.empty()) {
    bool cancelled = false;
    const wxString title =
        wxString::Format(hv::LocalString(10988, wxS("Projekt '%s' wird kopiert.")), hv::PathName(copyFrom));
    if (!ShellCopyFiles(hv::JoinPath(copyFrom, wxS("*.*")), folder, title, &cancelled)) {
      undo();
      if (!cancelled)
        hv::ShowMessage(10945, wxS("Beim Kopieren des Projekts ist ein Fehler aufgetreten!"), MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
  }
  // The settings file keeps the spelling it has; a new one is written "project.set".
  project.SetFolder(folder);
  const wxString file = projectset::PathIn(folder, projectset::kLower);
  CSettingsFile settings(file);
  bool ok = settings.WriteString(projectset::kConfig, wxS("Name"), project.GetName()) != FALSE;
  ok = ok && settings.WriteInt(projectset::kConfig, wxS("DefaultLanguage"), project.GetDefaultLanguageId());
  if (ok && !isCopy) {
    CMapStringToString fonts;
    fonts[wxString::Format("%d", static_cast<int>(project.GetDefaultLanguageId()))] = wxS("1");
    ok = settings.WriteSection(projectset::kLanguagesFonts, fonts) != FALSE;
  }
  ok = ok && project.GetFlags().Write(file);
  if (!ok) {
    undo();
    hv::ShowMessage(10946, wxS("Die Projekteinstellungen konnten nicht geschrieben werden!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  project.SetFolder(folder);
  if (!projectlist::Insert(Row{project.GetName(), folder, project.GetLevel(), project.GetParentFolderKey()})) {
    undo();
    hv::ShowMessage(10944, wxS("Das Projekt konnte nicht in die Projektliste eingetragen werden!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

BOOL CProjectCopy::Copy(CProjectObject* parent, const CPOProject& templ) {
  const wxString name = templ.GetName();
  return Create(parent, [&name](int n) { return ProjectCopyName(name, n); }, hv::PathFolder(templ.GetFolder()),
                templ.GetFlags(), templ.GetDefaultLanguageId(), hv::ResolvePath(templ.GetFolder()));
}

BOOL CProjectCopy::Create(CProjectObject* parent, const std::function<wxString(int n)>& proposal, const wxString& base,
                          const ProjectFlags& flags, WORD language, const wxString& copyFrom) {
  if (!projectlist::ReadAll()) return FALSE;
  NewProjectRequest request;
  for (int n = 1;; ++n) {
    request.name = proposal(n);
    request.folder = hv::JoinPath(base, request.name);
    if (!projectlist::NameExists(request.name) && !hv::PathExists(hv::ResolvePath(request.folder))) break;
  }
  request.flags = flags;
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  if (CheckNewProject(request) != 0) return FALSE;

  auto project = std::make_unique<CPOProject>();
  project->SetName(request.name);
  project->SetFolder(request.folder);
  project->SetFlags(request.flags);
  project->SetDefaultLanguageId(language);
  project->TakePlaceFrom(parent);
  if (!Register(*project, !copyFrom.empty(), copyFrom)) return FALSE;
  CPOProject::Place(std::move(project), parent);
  return TRUE;
}

BOOL CProjectCopy::Paste(CPOProject& pasted, CProjectObject* target) {
  // Only a cut moves the row; anything else copies and loses nothing.
  if (pasted.GetCopyFlag() != 0) {
    pasted.CreateNew(target, nullptr, &pasted);
    return FALSE;
  }
  const bool hasTarget = target && !target->IsRootProxy();
  pasted.SetParentFolderKey(hasTarget ? projectlist::FolderKey(target->GetLevel(), target->GetName()) : wxString());
  pasted.SetLevel(hasTarget ? target->GetLevel() + 1 : 0);
  if (auto row = projectlist::Find(pasted.GetName())) {
    Row moved = *row;
    moved.parentKey = pasted.GetParentFolderKey();
    moved.level = pasted.GetLevel();
    if (projectlist::Update(row->name, moved)) DropStaleObjects(pasted);
  }
  CProjectObject::UpdateAllViews(HINT_OBJECT_CHANGED, target);
  return TRUE;
}

BOOL CProjectCopy::Import(CPOProject& on, const wxString& given) {
  auto rows = projectlist::ReadAll();
  if (!rows) return FALSE;
  wxString source = given;
  if (source.empty()) {
    PathDialogRequest picker;
    picker.caption = hv::LocalString(10181, wxS("Wählen Sie den Projektordner"));
    picker.initialPath = CPOProject::ProjectsRoot();
    if (hv::Ui().Run(picker) != IDOK || picker.pathName.empty()) return FALSE;
    source = picker.pathName;
  }
  source = hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(source)));

  const bool current = projectset::ExistsIn(source) && !hv::IsFile(hv::ResolvePath(hv::JoinPath(source, wxS("version.dat"))));
  if (current) {
    if (RowHasPath(*rows, source)) {
      hv::ShowMessage(10202, wxS("Das Projekt ist bereits vorhanden!"), MB_OK | MB_ICONINFORMATION);
      return FALSE;
    }
    for (const wxString& entry : hv::ListFolder(source)) {
      const wxString deviceSet = hv::ResolvePath(hv::JoinPath(hv::JoinPath(source, entry), wxS("device.set")));
      if (!hv::IsFolder(hv::JoinPath(source, entry)) || !hv::IsFile(deviceSet)) continue;
      if (hv::IniGetInt(deviceSet, wxS("config"), wxS("version"), 0) >= kProjectDataVersion) continue;
      hv::IProjectConverter& converter = hv::Service<hv::IProjectConverter>();
      if (!converter.CanUpdate()) {
        ShowConversionNotAvailable();
        return FALSE;
      }
      if (!AskConversion()) return FALSE;
      if (!converter.UpdateProject(source)) {
        ShowImportFailed();
        return FALSE;
      }
      break;
    }
    const CSettingsFile settings(projectset::PathIn(source, projectset::kLower));
    wxString name = settings.GetString(projectset::kConfig, wxS("Name"), wxString()).Left(100);
    name.Trim(true);
    if (name.empty()) name = hv::PathName(source);
    if (!hv::FitsCp1252(name)) {
      hv::ShowMessage(10941, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                      MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
    name = FreeProjectName(SanitisedName(name));
    return AddImported(name, source, ImportParent(on));
  }

  long version = 0;
  wxString rawName;
  if (!ReadVersionFile(source, version, rawName) || version < kOldestProjectVersion) {
    hv::ShowMessage(10288, wxS("Der gewählte Ordner enthält kein gültiges Projekt!"), MB_OK | MB_ICONINFORMATION);
    return FALSE;
  }
  hv::IProjectConverter& converter = hv::Service<hv::IProjectConverter>();
  if (!converter.CanImport()) {
    ShowConversionNotAvailable();
    return FALSE;
  }
  if (!AskConversion()) return FALSE;
  // The name comes from the older project's file: it must not lead out of the folder.
  const wxString name = FreeProjectName(SanitisedName(rawName));
  const wxString projects = CPOProject::ProjectsRoot();
  wxString target = hv::JoinPath(projects, name);
  for (int n = 1; RowHasPath(*rows, target) || hv::PathExists(hv::ResolvePath(target)); ++n)
    target = hv::JoinPath(projects, wxString::Format("%s_%d", name, n));
  if (!converter.ImportProject(source, target)) {
    ShowImportFailed();
    return FALSE;
  }
  return AddImported(name, target, ImportParent(on));
}

BOOL CPOProject::ReadFromClipboard(CArchive&, CProjectObject* target) { return CProjectCopy::Paste(*this, target); }

BOOL CPOProject::ImportProject(const wxString& source) {
  DispatchScope scope;
  return CProjectCopy::Import(*this, source);
}

BOOL CPOProject::Restore(CProjectObject* parentFolder) {
  DispatchScope scope;
  const wxString restored = hv::Service<hv::IProjectOperations>().RunRestore(*this);
  if (restored.empty()) return FALSE;
  // An overwritten project kept its place and its row.
  if (ShowRestoredInPlace(restored)) return TRUE;
  CPOProject temporary(parentFolder);
  return temporary.ImportProject(restored);
}

void CPOProject::OnImport() { ImportProject(wxString()); }
void CPOProject::OnRestore() { Restore(GetParent()); }
