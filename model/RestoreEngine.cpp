#include "model/RestoreEngine.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <wx/arrstr.h>

#include "archive/ZipDeflater.h"
#include "archive/ZipNames.h"
#include "archive/ZipProgress.h"
#include "archive/ZipReader.h"
#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

namespace {

wxString ErrnoText(int error) { return hv::FromUtf8(std::strerror(error)); }

bool MakeTemporaryFolder(RestoreExtraction& job) {
  const wxString folder = hv::ResolvePath(job.targetFolder);
  std::string pattern = hv::ToFs(hv::JoinPath(folder, ".halvora-restore-XXXXXX"));
  if (!mkdtemp(pattern.data())) {
    const wxString why = ErrnoText(errno);
    const wxString format = hv::LocalString(10804, wxS("%s: Verzeichnis kann nicht angelegt werden (%s)"));
    job.errors.push_back(wxString::Format(format, folder, why));
    return false;
  }
  job.temporaryFolder = hv::FromFs(pattern);
  job.claim.ClaimFolder(job.temporaryFolder);
  return true;
}

constexpr const char* kJournal = "journal";
constexpr const char* kSwappedOut = "swapped-out";

bool Rename(const wxString& from, const wxString& to) {
  hv::FileStep();
  return rename(hv::ToFs(from).c_str(), hv::ToFs(to).c_str()) == 0;
}

void Extract(RestoreExtraction& job, ZipProgress& progress) {
  CZipReader reader;
  reader.SetOwner(&progress);
  auto takeErrors = [&] {
    for (const wxString& e : reader.GetErrors()) job.errors.push_back(e);
  };
  if (!reader.OpenZip(job.archive)) {
    takeErrors();
    if (job.errors.empty())
      job.errors.push_back(
          wxString::Format(hv::LocalString(10805, wxS("%s: Archiv kann nicht geöffnet werden")), job.archive));
    return;
  }
  // The archive may have changed since it was chosen.
  wxString found;
  if (!reader.FindProjectFolder(&found) ||
      ZipNameKey(hv::StripOneTrailingSeparator(found)) != ZipNameKey(job.folderName)) {
    takeErrors();
    job.errors.push_back(hv::LocalString(10752, wxS("Die ausgewählte Sicherung enthält kein Projekt.")));
    return;
  }
  // Nothing is written when any entry could not be: unsafe names, links, encryption.
  if (!reader.ValidateEntries()) {
    takeErrors();
    return;
  }
  const BOOL named = job.finalName == job.folderName ? reader.SetProjectFolder(job.folderName)
                                                     : reader.SetRename(job.folderName, job.finalName);
  if (!named || !reader.SetOutputFolder(job.temporaryFolder)) {
    job.errors.push_back(wxString::Format(hv::LocalString(10806, wxS("%s: ungültiger Name")), job.finalName));
    return;
  }
  reader.CountFiles();
  // A failed entry is in the error list; the others are still checked.
  reader.UnzipAll(ZipDeflater::DefaultThreads());
  reader.CloseZip();
  takeErrors();
  job.skipped = reader.GetSkipped();
}

}  // namespace

void ExtractProjectArchive(RestoreExtraction& job, ZipProgress& progress) {
  job.ok = false;
  job.cancelled = false;
  job.errors.clear();
  job.skipped.clear();
  job.temporaryFolder.clear();
  if (!MakeTemporaryFolder(job)) return;
  Extract(job, progress);
  job.cancelled = progress.CancelRequested();
  if (!job.cancelled && job.errors.empty() && !hv::IsFolder(hv::JoinPath(job.temporaryFolder, job.finalName)))
    job.errors.push_back(hv::LocalString(10807, wxS("Der Projektordner fehlt im Archiv.")));
  job.ok = !job.cancelled && job.errors.empty();
  if (!job.ok) {
    RemoveFolderTree(job.temporaryFolder);
    job.temporaryFolder.clear();
    job.claim.Release();
  }
}

bool IsValidRestoreTarget(const wxString& folder) {
  if (folder.StartsWith("\\\\") || folder.StartsWith("//")) return false;   // network path
  const wxString path = hv::StripOneTrailingSeparator(hv::NormalizePath(folder));
  if (!path.StartsWith("/") || path == "/") return false;
  for (const wxString& part : wxSplit(path.Mid(1), '/', '\0'))
    if (CheckZipNameComponent(part) != ZipNameProblem::None) return false;
  return true;
}

UINT CheckRestoreFolderName(const wxString& name) {
  constexpr UINT TXT_INVALID_CHARACTER = 10300;   // "Es wurde ein ungültiges Zeichen eingegeben!"
  if (name.empty() || CheckZipNameComponent(name) != ZipNameProblem::None) return TXT_INVALID_CHARACTER;
  if (name.find_first_of(wxS("/\\:*?\"<>|[]")) != wxString::npos) return TXT_INVALID_CHARACTER;
  if (name.EndsWith(".") || name.EndsWith(" ") || name.StartsWith(" ")) return TXT_INVALID_CHARACTER;
  if (!hv::FitsCp1252(name)) return TXT_INVALID_CHARACTER;
  return 0;
}

wxString ProposeRestoreName(const wxString& targetFolder, const wxString& folderName) {
  for (int n = 1;; ++n) {
    const wxString name = wxString::Format("%s_%d", folderName, n);
    if (!hv::PathExists(hv::JoinPath(targetFolder, name))) return name;
  }
}

bool MoveFolderNoReplace(const wxString& from, const wxString& to, wxString* error) {
  const std::string a = hv::ToFs(from), b = hv::ToFs(to);
  hv::FileStep();
  if (renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0) return true;
  int err = errno;
  if (err == EINVAL || err == ENOSYS) {
    // A file system without the flag: rename refuses a non-empty folder in the way,
    // and the check before it covers the rest.
    if (hv::PathExists(to)) err = EEXIST;
    else if (rename(a.c_str(), b.c_str()) == 0) return true;
    else err = errno;
  }
  if (error) *error = ErrnoText(err);
  return false;
}

bool RemoveFolderTree(const wxString& folder) {
  if (folder.empty()) return true;
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(hv::ToFs(folder)), ec);
  return !ec;
}

bool ExchangeFolders(const wxString& fresh, const wxString& target, const wxString& workFolder, wxString* error) {
  hv::FileStep();
  if (renameat2(AT_FDCWD, hv::ToFs(fresh).c_str(), AT_FDCWD, hv::ToFs(target).c_str(), RENAME_EXCHANGE) == 0)
    return true;
  const int err = errno;
  if (err != EINVAL && err != ENOSYS) {
    if (error) *error = ErrnoText(err);
    return false;
  }
  // No swap here: the journal names both folders before either moves.
  const wxString journal = hv::JoinPath(workFolder, kJournal);
  const wxString aside = hv::JoinPath(workFolder, kSwappedOut);
  const std::string text = hv::ToUtf8(target) + "\n" + hv::ToUtf8(fresh) + "\n";
  wxString why;
  if (!hv::WriteFileAtomic(journal, text, &why)) {
    if (error) *error = why;
    return false;
  }
  if (!Rename(target, aside)) {
    if (error) *error = ErrnoText(errno);
    unlink(hv::ToFs(journal).c_str());
    return false;
  }
  if (!Rename(fresh, target)) {
    const int moveErr = errno;
    Rename(aside, target);
    unlink(hv::ToFs(journal).c_str());
    if (error) *error = ErrnoText(moveErr);
    return false;
  }
  // The old folder takes the fresh one's place, as a swap leaves it.
  Rename(aside, fresh);
  hv::FileStep();
  unlink(hv::ToFs(journal).c_str());
  return true;
}

void RecoverRestoreLeftovers(const wxString& folder) {
  for (const wxString& name : hv::ListFolder(folder)) {
    if (!name.StartsWith(wxS(".halvora-restore-"))) continue;
    const wxString work = hv::JoinPath(folder, name);
    if (!hv::IsFolder(work) || hv::IsClaimed(work)) continue;
    std::string journal;
    if (hv::ReadFileBytes(hv::JoinPath(work, kJournal), journal)) {
      const wxString target = hv::FromUtf8(journal.substr(0, journal.find('\n')));
      const wxString aside = hv::JoinPath(work, kSwappedOut);
      // Killed between the two moves: the old project goes back.
      if (!target.empty() && !hv::PathExists(target) && hv::IsFolder(aside)) {
        if (!Rename(aside, target)) continue;   // leave the journal for the next start
      }
    }
    hv::RemoveUnclaimed(work);
  }
}
