#include "model/ProjectList.h"

#include <sys/stat.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "model/PrjFolder.h"
#include "model/Project.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/SuiteHelper.h"
#include "platform/dbase/DbLib.h"

namespace projectlist {

namespace db = hv::db;

namespace {


Row FromDb(const hv::db::ProjektRow& r) {
  Row row;
  row.name = wxString(r.name).Trim(true);
  row.path = wxString(r.path).Trim(true);
  row.level = r.level;
  row.parentKey = wxString(r.parentKey).Trim(true);
  return row;
}

bool Fits(const wxString& text, size_t width) { return text.length() <= width && hv::FitsCp1252(text); }

bool Storable(const Row& row) {
  return !row.name.empty() && Fits(row.name, kMaxName) && Fits(row.path, kMaxPath) && Fits(row.parentKey, 60) &&
         row.level >= 0 && row.level <= 32767;
}

hv::db::ProjektRow ToDb(const Row& row) {
  hv::db::ProjektRow r;
  r.name = row.name;
  r.path = row.path;
  r.level = static_cast<std::int16_t>(row.level);
  r.parentKey = row.parentKey;
  return r;
}

bool OpenTable(db::Table& t) { return db::db_open(TableBase(), t) != FALSE; }

// Positions the table on the row of a name (the name tag ignores case).
bool Seek(db::Table& t, const wxString& name, db::ProjektRow& r) {
  return db::projekt_select(t, r, db::kSeek, "BEZEICH", {name}) != FALSE;
}

}  // namespace

wxString FolderKey(int level, const wxString& name) { return wxString::Format("$$$%d$$$%s", level, name); }

wxString TableBase() { return hv::JoinPath(hv::UserFolder(), "PROJEKT"); }
wxString TableFile() { return TableBase() + ".DBF"; }

std::optional<std::vector<Row>> ReadAll() {
  db::Table t;
  if (!OpenTable(t)) return std::nullopt;
  std::vector<Row> rows;
  db::ProjektRow r;
  for (bool ok = db::projekt_select(t, r, db::kFirst, "BEZEICH"); ok; ok = db::projekt_select(t, r, db::kNext, "BEZEICH"))
    rows.push_back(FromDb(r));
  return rows;
}

std::optional<Row> Find(const wxString& name) {
  db::Table t;
  db::ProjektRow r;
  if (!OpenTable(t) || !Seek(t, name, r)) return std::nullopt;
  return FromDb(r);
}

bool NameExists(const wxString& name) { return Find(name).has_value(); }

bool Insert(const Row& row) {
  if (!Storable(row)) return false;
  db::Table t;
  db::ProjektRow r;
  if (!OpenTable(t) || Seek(t, row.name, r)) return false;
  r = ToDb(row);
  return db::projekt_insert(t, r) != FALSE;
}

bool Delete(const wxString& name) {
  db::Table t;
  db::ProjektRow r;
  if (!OpenTable(t) || !Seek(t, name, r)) return false;
  return db::projekt_delete(t) != FALSE;
}

bool Update(const wxString& name, const Row& row) {
  if (!Storable(row)) return false;
  db::Table t;
  db::ProjektRow r;
  if (!OpenTable(t) || !Seek(t, name, r)) return false;
  return db::projekt_update(t, ToDb(row)) != FALSE;
}

bool Reparent(const wxString& oldKey, const wxString& newKey) {
  auto rows = ReadAll();
  if (!rows) return false;
  bool ok = true;
  for (Row row : *rows) {
    if (row.parentKey.CmpNoCase(oldKey) != 0) continue;
    const wxString name = row.name;
    row.parentKey = newKey;
    ok = Update(name, row) && ok;
  }
  return ok;
}

bool HasRowsUnder(const wxString& key) {
  auto rows = ReadAll();
  if (!rows) return false;
  for (const Row& row : *rows)
    if (row.parentKey.CmpNoCase(key) == 0) return true;
  return false;
}

wxString FreeName(const wxString& format) {
  for (int n = 1;; ++n) {
    const wxString name = wxString::Format(format, n);
    if (!NameExists(name)) return name;
  }
}

wxString FreeCopyName(const wxString& base) {
  for (int n = 1;; ++n) {
    wxString name = wxString::Format("%s_%d", base, n);
    if (static_cast<int>(name.length()) > kMaxName) {
      const size_t us = name.find_last_of('_');
      const wxString suffix = name.Mid(us);
      name = name.Left(kMaxName - suffix.length()) + suffix;
    }
    if (!NameExists(name)) return name;
  }
}

std::unique_ptr<CProjectObject> MakeProject(const Row& row) {
  auto project = std::make_unique<CPOProject>(row.name, hv::NormalizePath(row.path));
  project->SetLevel(row.level);
  project->SetParentFolderKey(row.parentKey);
  return project;
}

}  // namespace projectlist

using namespace projectlist;

BOOL CProjectListSource::Open(hv::IProjectDocument& doc) {
  namespace db = hv::db;
  db::dbank_open();
  const wxString file = hv::ResolvePath(TableFile());
  bool seed = false;
  if (hv::IsFile(file)) {
    db::Table t;
    if (!db::db_open(TableBase(), t)) return FALSE;
    db::ProjektRow r;
    seed = !db::projekt_select(t, r, db::kFirst, "BEZEICH");
  } else {
    if (!db::db_create_dbf(TableFile())) return FALSE;
    db::Table t;
    if (!db::db_open(TableBase(), t)) return FALSE;
    seed = true;
  }
  if (!seed) return TRUE;

  // The graph tool's current project goes into a folder of its own. An existing but
  // empty list is seeded the same way, so the project is never an invisible top row.
  wxString path;
  hv::GetRegistryTavGraphIIString("PROJECTPATH", path);
  path = hv::NormalizePath(path);
  if (!projectName.empty() && !path.empty() && hv::IsFolder(path)) {
    wxString folder;
    if (!hv::GetRegistryTavGraphIIString("DEFAULTPROJECTPATH", folder)) folder = hv::LocalString(10811, wxS("Projekte"));
    if (!folder.empty()) {
      Insert(Row{folder, wxString(), 0, wxString()});
      Insert(Row{projectName, path, 1, FolderKey(0, folder)});
    }
    return TRUE;
  }
  // Nothing to seed: the user names the first folder. Cancelling leaves the list
  // empty, and loading the roots then ends start-up.
  CPOPrjFolder first;
  first.CreateNew(nullptr, nullptr, nullptr);
  return TRUE;
}

BOOL CProjectListSource::LoadRoots(hv::IProjectDocument& doc) {
  auto rows = ReadAll();
  if (!rows) return FALSE;
  // Roots whose row is gone are dropped.
  std::unordered_set<std::wstring> rowNames;
  for (const Row& row : *rows) rowNames.insert(row.name.Lower().ToStdWstring());
  for (CProjectObject* root : doc.GetRoots())
    if (!rowNames.count(root->GetName().Lower().ToStdWstring())) doc.RemoveObject(root);
  // The last root of a name, as a walk over the roots per row would find it.
  std::unordered_map<std::wstring, CProjectObject*> roots;
  for (CProjectObject* root : doc.GetRoots()) roots[root->GetName().ToStdWstring()] = root;
  for (const Row& row : *rows) {
    const auto found = roots.find(row.name.ToStdWstring());
    CProjectObject* existing = found == roots.end() ? nullptr : found->second;
    if (existing) {
      if (auto* project = dynamic_cast<CPOProject*>(existing); project && !row.path.empty())
        project->SetFolder(hv::NormalizePath(row.path));
      continue;
    }
    if (row.path.empty() && row.level == 0)
      if (CProjectObject* added = doc.AddRoot(std::make_unique<CPOPrjFolder>(row.name)))
        roots[added->GetName().ToStdWstring()] = added;
  }
  if (rows->empty()) return FALSE;
  struct stat st;
  if (stat(hv::ToFs(hv::ResolvePath(TableFile())).c_str(), &st) == 0) doc.SetListTime(st.st_mtime);
  return TRUE;
}

void CProjectListSource::Close() { hv::db::dbank_close(); }
