#include "model/KilledWork.h"

#include <set>

#include "model/Project.h"
#include "model/ProjectList.h"
#include "model/RestoreEngine.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/WorkClaims.h"

namespace {

// ".<name>.XXXXXX": the name of an atomic write's temporary file.
bool HasTemporaryForm(const wxString& entry) {
  return entry.StartsWith(".") && entry.length() >= 9 && entry[entry.length() - 7] == '.';
}

// ".<name>.XXXXXX" beside <name>: the temporary file of an atomic write.
bool IsAtomicWriteTemporary(const wxString& folder, const wxString& entry) {
  if (!HasTemporaryForm(entry)) return false;
  const wxString base = entry.Mid(1, entry.length() - 8);
  return !base.empty() && (base.StartsWith(wxS(".halvora-")) || hv::IsFile(hv::JoinPath(folder, base)));
}

// ".<name>.XXXXXX" in a folder only the program writes: its own temporary file even
// when the file it was to replace never came to be.
bool IsOwnTemporary(const wxString& entry) {
  if (!HasTemporaryForm(entry)) return false;
  for (size_t i = entry.length() - 6; i < entry.length(); ++i) {
    const wxUniChar c = entry[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

bool IsLeftover(const wxString& folder, const wxString& entry) {
  // A published staging folder keeps its owner file until the program removes it.
  return entry == hv::WorkOwnerFile() || entry.StartsWith(wxS(".halvora-stage-")) || entry.Contains(wxS(".part-")) ||
         (entry.StartsWith(".") && entry.Contains(wxS(".edit-"))) || IsAtomicWriteTemporary(folder, entry);
}

void CleanFolder(const wxString& folder) {
  if (!hv::IsFolder(folder)) return;
  RecoverRestoreLeftovers(folder);
  for (const wxString& entry : hv::ListFolder(folder))
    if (IsLeftover(folder, entry)) hv::RemoveUnclaimed(hv::JoinPath(folder, entry));
}

// The user folder, the registry store's folder and the private temporary folder hold
// the program's own files: their temporaries, and staged copies ("TAV*.TMP") that
// the program removes when it ends.
void CleanOwnFolder(const wxString& folder, bool temporary) {
  if (folder.empty() || !hv::IsFolder(folder)) return;
  for (const wxString& entry : hv::ListFolder(folder)) {
    const wxString path = hv::JoinPath(folder, entry);
    if (IsOwnTemporary(entry) || (temporary && hv::MatchWildcard(wxS("TAV*.TMP"), entry) && hv::IsFile(path)))
      hv::RemoveUnclaimed(path);
  }
}

}  // namespace

void CleanUpKilledWork(const std::vector<wxString>& projectFolders, const std::vector<wxString>& otherFolders) {
  std::set<wxString> seen;
  auto clean = [&seen](const wxString& folder) {
    const wxString f = hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(folder)));
    if (!f.empty() && seen.insert(f).second) CleanFolder(f);
  };
  for (const wxString& project : projectFolders) {
    const wxString p = hv::ResolvePath(hv::NormalizePath(project));
    if (!hv::IsFolder(p)) continue;
    clean(hv::PathFolder(p));
    clean(p);
    for (const wxString& entry : hv::ListFolder(p))
      if (!entry.StartsWith(".") && hv::IsFolder(hv::JoinPath(p, entry))) clean(hv::JoinPath(p, entry));
  }
  for (const wxString& folder : otherFolders) clean(folder);
}

void CleanUpKilledWork(const wxString& startFolder) {
  std::vector<wxString> projects;
  if (auto rows = projectlist::ReadAll())
    for (const projectlist::Row& row : *rows)
      if (!row.path.empty()) projects.push_back(row.path);
  std::vector<wxString> others{startFolder, CPOProject::ProjectsRoot()};
  for (const char* value : {"RestoreDir", "BackupDir"})
    if (auto folder = hv::RegistryStore::Get().GetString(hv::kKeyProduct, value); folder && !folder->empty())
      others.push_back(*folder);
  CleanUpKilledWork(projects, others);
  const wxString user = hv::StripOneTrailingSeparator(hv::UserFolder());
  CleanOwnFolder(user, false);
  const wxString registry = hv::PathFolder(hv::UserRegistryFile());
  if (registry != user) CleanOwnFolder(registry, false);
  CleanOwnFolder(hv::TempFolder(), true);
}
