#include "model/PrjFolder.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "framework/LocalTables.h"
#include "model/NewObjectRequests.h"
#include "framework/Services.h"
#include "model/ModelServices.h"
#include "model/ProjectDocument.h"
#include "framework/UpdateHints.h"
#include "model/ProjectList.h"
#include "platform/Archive.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

using namespace projectlist;

BEGIN_COMMAND_MAP(CPOPrjFolder, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnRename)
  ON_COMMAND(ID_FOLDER_DELETE, OnDelete)
  ON_COMMAND(ID_FOLDER_IMPORT, OnImport)
  ON_COMMAND(ID_FOLDER_RESTORE, OnRestore)
  ON_UPDATE_COMMAND_UI(ID_NEW_OBJECT_TEXT, OnUpdateNewObject)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_EDIT, OnUpdateEdit)
  ON_UPDATE_COMMAND_UI(ID_COPY, OnUpdateCopyCut)
  ON_UPDATE_COMMAND_UI(ID_CUT, OnUpdateCopyCut)
  ON_UPDATE_COMMAND_UI(ID_FOLDER_IMPORT, OnUpdateImportRestore)
  ON_UPDATE_COMMAND_UI(ID_FOLDER_RESTORE, OnUpdateImportRestore)
END_COMMAND_MAP()

namespace {

const wxString kExists = wxS("Dieser Ordner existiert bereits!");

// Asks for a folder name until it is cancelled or names no row yet (ignoring case).
// `unchanged` is accepted as it is (a rename to the current name).
bool AskFolderName(wxString& name, const wxString& title, const wxString& unchanged = wxString()) {
  for (;;) {
    NewNameRequest req;
    req.name = name;
    req.title = title;
    req.maxLength = kMaxName;
    if (hv::Ui().Run(req) != IDOK) return false;
    name = req.name;
    if (!unchanged.empty() && name == unchanged) return true;
    if (!NameExists(name)) return true;
    hv::ShowMessage(10631, kExists, MB_OK | MB_ICONINFORMATION);
  }
}

}  // namespace

CPOPrjFolder::CPOPrjFolder(const wxString& name) {
  wxString n = name;
  SetName(n.Trim(true));
  SetLevel(0);
}

wxString CPOPrjFolder::OwnKey() const { return FolderKey(GetLevel(), GetName()); }

void CPOPrjFolder::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) ar.WriteI32(GetLevel());
  else SetLevel(ar.ReadI32());
}

std::span<ColumnDef> CPOPrjFolder::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::PrjFolder); }

BOOL CPOPrjFolder::HasListChildren() { return HasRowsUnder(OwnKey()) ? TRUE : FALSE; }

BOOL CPOPrjFolder::LoadChildren() {
  std::vector<std::unique_ptr<CProjectObject>> old = TakeChildren();
  // Children kept by name, found in one look-up each however long the list is.
  std::unordered_map<std::wstring, std::vector<std::size_t>> oldByName;
  for (std::size_t i = old.size(); i-- > 0;) oldByName[old[i]->GetName().ToStdWstring()].push_back(i);
  const wxString own = OwnKey();
  auto rows = ReadAll();
  if (rows) {
    for (const Row& row : *rows) {
      bool kept = false;
      if (!oldByName.empty()) {
        auto it = oldByName.find(row.name.ToStdWstring());
        if (it != oldByName.end() && !it->second.empty()) {
          AddChild(std::move(old[it->second.back()]));
          it->second.pop_back();
          kept = true;
        }
      }
      if (kept || row.parentKey.CmpNoCase(own) != 0) continue;
      if (!row.path.empty()) {
        if (auto project = MakeProject(row)) AddChild(std::move(project));
      } else {
        auto folder = std::make_unique<CPOPrjFolder>(row.name);
        // Nested folders keep their row's level, so their own rows stay reachable.
        folder->SetLevel(row.level);
        folder->SetParentFolderKey(row.parentKey);
        AddChild(std::move(folder));
      }
    }
  }
  for (auto& child : old)
    if (child) Dispose(std::move(child));
  return TRUE;
}

BOOL CPOPrjFolder::CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject* templ) {
  wxString name;
  if (templ && IsValidObject(templ) && std::string_view(templ->ClassName()) == kClassName)
    name = FreeCopyName(templ->GetName());
  else
    name = FreeName(hv::LocalString(10816, wxS("Neuer Ordner %d")));
  if (!AskFolderName(name, hv::LocalString(10628, wxS("Neuer Ordner")))) return FALSE;
  if (!Insert(Row{name, wxString(), 0, wxString()})) return FALSE;
  hv::IProjectDocument* doc = GetActiveDocument();
  if (!doc) return FALSE;
  CProjectObject* added = doc->AddRoot(std::make_unique<CPOPrjFolder>(name));
  doc->BroadcastHint(HINT_OBJECT_ADDED, added);
  return TRUE;
}

void CPOPrjFolder::OnRename() {
  const wxString old = GetName();
  wxString name = old;
  if (!AskFolderName(name, hv::LocalString(10815, wxS("Ordner ändern")), old) || name == old) return;
  auto row = Find(old);
  if (!row) return;
  Row renamed = *row;
  renamed.name = name;
  // A name that differs only in case is the same row: rewrite it in place.
  if (name.CmpNoCase(old) == 0) {
    if (!Update(old, renamed)) return;
  } else {
    if (!Insert(renamed)) return;
    if (!projectlist::Delete(old)) {
      projectlist::Delete(name);   // no second row may stay behind
      return;
    }
  }
  // Every row held by the folder follows, loaded into the views or not.
  Reparent(FolderKey(GetLevel(), old), FolderKey(GetLevel(), name));
  SetName(name);
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
}

void CPOPrjFolder::OnDelete() {
  if (HasRowsUnder(OwnKey())) {
    hv::ShowMessage(10823, wxS("In diesem Ordner sind Projekte vorhanden.\nDer Ordner kann nicht gelöscht werden!"),
                    MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (hv::ShowMessage(10814, wxS("Sind Sie sicher, daß Sie diesen Ordner löschen wollen?"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  if (!projectlist::Delete(GetName())) return;
  // Take the folder out of its owner too, so it does not return at the next rebuild.
  if (CProjectObject* parent = GetParent()) parent->RemoveChild(this);
  else if (hv::IProjectDocument* doc = GetActiveDocument(); doc && doc->IsRoot(this)) doc->RemoveObject(this);
  else UpdateAllViews(HINT_OBJECT_REMOVED, this);
}

void CPOPrjFolder::OnImport() {
  hv::Service<hv::IProjectOperations>().ImportInto(*this);
}

void CPOPrjFolder::OnRestore() {
  hv::Service<hv::IProjectOperations>().RestoreInto(*this);
}

void CPOPrjFolder::OnUpdateNewObject(CCmdUI* ui) { ui->SetText(hv::LocalString(10628, wxS("Neuer Ordner"))); }
void CPOPrjFolder::OnUpdateEdit(CCmdUI* ui) { ui->Enable(TRUE); }
void CPOPrjFolder::OnUpdateCopyCut(CCmdUI* ui) { ui->Enable(FALSE); }
void CPOPrjFolder::OnUpdateImportRestore(CCmdUI* ui) {
  ui->Enable(TRUE);
}

void CPOPrjFolder::ReparentTree(CProjectObject& object, int level, const wxString& parentKey) {
  object.SetParentFolderKey(parentKey);
  object.SetLevel(level);
  if (auto row = Find(object.GetName())) {
    Row changed = *row;
    changed.parentKey = parentKey;
    changed.level = level;
    Update(object.GetName(), changed);
  }
  if (std::string_view(object.ClassName()) != kClassName) return;
  const wxString ownKey = FolderKey(level, object.GetName());
  POSITION pos = 0;
  for (CProjectObject* child = object.GetFirstChild(pos); child; child = object.GetNextChild(pos))
    ReparentTree(*child, level + 1, ownKey);
}

BOOL CPOPrjFolder::ReadFromClipboard(CArchive&, CProjectObject* target) {
  const wxString name = target ? target->GetName() : wxString();
  const int level = target ? target->GetLevel() : -1;
  ReparentTree(*this, level + 1, level < 0 ? wxString() : FolderKey(level, name));
  UpdateAllViews(HINT_OBJECT_CHANGED, target);
  return TRUE;
}
