#include "framework/FolderUtils.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/RecycleBin.h"

namespace fs = std::filesystem;

namespace {

bool HasWildcard(const wxString& s) { return s.find_first_of(wxS("*?")) != wxString::npos; }

bool LExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// Absolute, lexically cleaned, without trailing separator; empty for a relative path.
std::string CleanAbsolute(const wxString& path) {
  const wxString n = hv::NormalizePath(path);
  if (!n.StartsWith("/")) return std::string();
  std::string clean = fs::path(hv::ToFs(n)).lexically_normal().string();
  while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
  return clean;
}

// Where the path really is: its folder resolved, its last component kept, so that a
// link stands for itself and not for its target.
std::string PhysicalLocation(const std::string& clean) {
  if (clean == "/") return clean;
  const fs::path p(clean);
  std::string parent = RealPath(p.parent_path().string());
  if (parent.empty()) parent = p.parent_path().string();
  return parent == "/" ? "/" + p.filename().string() : parent + "/" + p.filename().string();
}

std::vector<std::string> ProtectedFolders() {
  std::vector<std::string> out;
  auto add = [&out](const std::string& p) {
    if (p.empty()) return;
    const std::string real = RealPath(p);
    out.push_back(real.empty() ? CleanAbsolute(hv::FromFs(p)) : real);
  };
  if (const char* home = std::getenv("HOME")) add(home);
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) add(pw->pw_dir);
  add(hv::ToFs(hv::UserFolder()));
  return out;
}

bool IsProtectedLocation(const std::string& physical) {
  if (physical.empty() || physical == "/") return true;
  for (const std::string& guarded : ProtectedFolders()) {
    if (guarded.empty()) continue;
    if (guarded == physical) return true;
    if (guarded.size() > physical.size() && guarded.compare(0, physical.size(), physical) == 0 &&
        guarded[physical.size()] == '/')
      return true;
  }
  return false;
}

// Removes a file, link or folder tree for good, never following links.
bool RemoveForGood(const std::string& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
  return !LExists(path);
}

bool CopyLink(const std::string& src, const std::string& dst, bool failIfExists) {
  std::string target(PATH_MAX, '\0');
  const ssize_t n = readlink(src.c_str(), target.data(), target.size());
  if (n < 0 || static_cast<size_t>(n) >= target.size()) return false;
  target.resize(static_cast<size_t>(n));
  struct stat st;
  if (lstat(dst.c_str(), &st) == 0) {
    if (failIfExists || S_ISDIR(st.st_mode)) return false;
    const std::string tmp = dst + ".hvlink." + std::to_string(getpid());
    unlink(tmp.c_str());
    if (symlink(target.c_str(), tmp.c_str()) != 0) return false;
    if (rename(tmp.c_str(), dst.c_str()) != 0) {
      unlink(tmp.c_str());
      return false;
    }
    return true;
  }
  return symlink(target.c_str(), dst.c_str()) == 0;
}

// Copies one regular file. A new file is written in place; an existing one is replaced
// through a temporary file, so a failure midway leaves the old copy intact.
bool CopyOneFile(const std::string& src, const std::string& dst, bool failIfExists) {
  const int in = open(src.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (in < 0) return false;
  struct stat sst;
  if (fstat(in, &sst) != 0 || !S_ISREG(sst.st_mode)) {
    close(in);
    return false;
  }
  struct stat dst_st;
  const bool exists = lstat(dst.c_str(), &dst_st) == 0;
  if (exists && (failIfExists || S_ISDIR(dst_st.st_mode))) {
    close(in);
    return false;
  }
  std::string written = dst;
  int out;
  if (exists) {
    const fs::path d(dst);
    written = (d.parent_path() / ("." + d.filename().string() + ".XXXXXX")).string();
    out = mkstemp(written.data());
  } else {
    out = open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  }
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = hv::CopyFileDescriptor(in, out);
  ok = ok && fchmod(out, sst.st_mode & 07777) == 0;
  const timespec times[2] = {sst.st_atim, sst.st_mtim};
  if (ok) futimens(out, times);
  if (ok && exists) ok = fsync(out) == 0;
  ok = close(out) == 0 && ok;
  close(in);
  if (ok && exists) ok = rename(written.c_str(), dst.c_str()) == 0;
  if (!ok) unlink(written.c_str());
  return ok;
}

bool CopyTree(const wxString& src, const wxString& dst, const wxString& mask, bool failIfExists, bool recurse,
              const CopyStep& step) {
  // A folder we cannot read would look empty and the copy like a success.
  if (access(hv::ToFs(src).c_str(), R_OK | X_OK) != 0) return false;
  // Existing spellings in the destination, so that "Device.set" replaces "DEVICE.SET".
  std::map<wxString, wxString> existing;
  for (const wxString& name : hv::ListFolder(dst)) existing.emplace(name.Lower(), name);
  for (const wxString& name : hv::ListFolder(src)) {
    if (!hv::MatchWildcard(mask, name)) continue;
    const wxString from = hv::JoinPath(src, name);
    const std::string fromFs = hv::ToFs(from);
    struct stat st;
    if (lstat(fromFs.c_str(), &st) != 0) continue;   // vanished meanwhile
    const auto spelled = existing.emplace(name.Lower(), name).first;
    const wxString to = hv::JoinPath(dst, spelled->second);
    if (S_ISDIR(st.st_mode)) {
      if (!recurse) continue;
      if (!CreateDirectoryPath(to) || !CopyTree(from, to, "*.*", failIfExists, true, step)) return false;
    } else if (S_ISLNK(st.st_mode)) {
      if (!CopyLink(fromFs, hv::ToFs(to), failIfExists)) return false;
      if (step && !step(from)) return false;
    } else if (S_ISREG(st.st_mode)) {
      if (!CopyOneFile(fromFs, hv::ToFs(to), failIfExists)) return false;
      if (step && !step(from)) return false;
    }
    // Sockets, pipes and devices are not project data: skipped.
  }
  return true;
}

}  // namespace

BOOL CreateDirectoryPath(const wxString& path) {
  if (path.empty()) return FALSE;
  const wxString n = hv::NormalizePath(path);
  if (n.find_first_not_of('/') == wxString::npos) return hv::IsFolder(n) ? TRUE : FALSE;
  return hv::MakeFolders(n) ? TRUE : FALSE;
}

bool IsProtectedPath(const wxString& path) {
  const std::string clean = CleanAbsolute(path);
  return clean.empty() || IsProtectedLocation(PhysicalLocation(clean));
}

BOOL DeleteDirectory(const wxString& path) {
  if (path.empty()) return FALSE;
  const wxString resolved = hv::ResolvePath(path);
  if (IsProtectedPath(resolved)) return FALSE;
  return RemoveForGood(CleanAbsolute(resolved)) ? TRUE : FALSE;
}

namespace {

// A folder source with an optional mask in its last component.
void SplitMask(const wxString& source, wxString& folder, wxString& mask) {
  folder = hv::NormalizePath(source);
  mask = "*.*";
  if (HasWildcard(hv::PathName(folder))) {
    mask = hv::PathName(folder);
    folder = hv::PathFolder(folder);
  }
  folder = hv::StripOneTrailingSeparator(folder);
}

std::size_t CountTree(const wxString& src, const wxString& mask) {
  std::size_t n = 0;
  for (const wxString& name : hv::ListFolder(src)) {
    if (!hv::MatchWildcard(mask, name)) continue;
    const wxString from = hv::JoinPath(src, name);
    struct stat st;
    if (lstat(hv::ToFs(from).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) n += CountTree(from, "*.*");
    else if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) ++n;
  }
  return n;
}

}  // namespace

std::size_t CountFilesToCopy(const wxString& source) {
  wxString src, mask;
  SplitMask(source, src, mask);
  src = hv::ResolvePath(src);
  return hv::IsFolder(src) ? CountTree(src, mask) : 0;
}

BOOL CopyDirectory(const wxString& source, const wxString& destination, BOOL failIfExists, BOOL recurse) {
  return CopyDirectory(source, destination, failIfExists, recurse, CopyStep());
}

BOOL CopyDirectory(const wxString& source, const wxString& destination, BOOL failIfExists, BOOL recurse,
                   const CopyStep& step) {
  wxString src, mask;
  SplitMask(source, src, mask);
  wxString dst = hv::NormalizePath(destination);
  if (dst.EndsWith("*.*")) dst = dst.Left(dst.length() - 3);
  dst = hv::StripOneTrailingSeparator(dst);
  if (src.empty() || dst.empty()) return FALSE;

  src = hv::ResolvePath(src);
  if (!hv::IsFolder(src)) return FALSE;
  dst = hv::ResolvePath(dst);
  // A destination inside the source would be copied into itself without end.
  std::error_code ec;
  const std::string srcReal = RealPath(hv::ToFs(src));
  const std::string dstReal = fs::weakly_canonical(hv::ToFs(dst), ec).string();
  if (srcReal.empty() || ec) return FALSE;
  if (dstReal == srcReal || (dstReal.size() > srcReal.size() && dstReal.compare(0, srcReal.size(), srcReal) == 0 &&
                             (dstReal[srcReal.size()] == '/' || srcReal == "/")))
    return FALSE;
  if (!CreateDirectoryPath(dst)) return FALSE;
  return CopyTree(src, dst, mask, failIfExists != FALSE, recurse != FALSE, step) ? TRUE : FALSE;
}

BOOL ShellCopyFiles(const wxString& source, const wxString& destination) {
  if (source.empty() || destination.empty()) return FALSE;
  const wxString src = hv::NormalizePath(source);
  if (HasWildcard(hv::PathName(src))) return CopyDirectory(src, destination, FALSE, TRUE);
  const wxString resolved = hv::ResolvePath(src);
  const wxString dstFolder = hv::ResolvePath(hv::NormalizePath(destination));
  struct stat st;
  if (lstat(hv::ToFs(resolved).c_str(), &st) != 0) return FALSE;
  const wxString target = hv::ResolvePath(hv::JoinPath(dstFolder, hv::PathName(hv::StripOneTrailingSeparator(resolved))));
  if (S_ISDIR(st.st_mode)) return CopyDirectory(resolved, target, FALSE, TRUE);
  if (!CreateDirectoryPath(dstFolder)) return FALSE;
  if (S_ISLNK(st.st_mode)) return CopyLink(hv::ToFs(resolved), hv::ToFs(target), false) ? TRUE : FALSE;
  return CopyOneFile(hv::ToFs(resolved), hv::ToFs(target), false) ? TRUE : FALSE;
}

BOOL DeleteFiles(const wxString& progressTitle, BOOL filesOnly, const wxString& pattern) {
  if (pattern.empty()) return FALSE;
  const wxString p = hv::NormalizePath(pattern);
  if (!p.StartsWith("/")) return FALSE;
  std::vector<std::string> targets;
  const wxString name = hv::PathName(p);
  if (HasWildcard(name)) {
    const wxString folder = hv::ResolvePath(hv::PathFolder(p));
    // Matches we cannot see are not gone.
    if (hv::IsFolder(folder) && access(hv::ToFs(folder).c_str(), R_OK | X_OK) != 0) return FALSE;
    for (const wxString& entry : hv::ListFolder(folder)) {
      if (!hv::MatchWildcard(name, entry)) continue;
      const std::string full = CleanAbsolute(hv::JoinPath(folder, entry));
      struct stat st;
      if (lstat(full.c_str(), &st) != 0) continue;
      if (filesOnly && S_ISDIR(st.st_mode)) continue;
      targets.push_back(full);
    }
  } else {
    const std::string full = CleanAbsolute(hv::ResolvePath(p));
    if (full.empty()) return FALSE;
    if (LExists(full)) targets.push_back(full);
  }
  for (const std::string& t : targets)
    if (IsProtectedLocation(PhysicalLocation(t))) return FALSE;
  bool allGone = true;
  for (const std::string& t : targets) {
    const hv::TrashResult r = hv::MoveToTrash(hv::FromFs(t));
    // A file system without a trash deletes for good, as the desktop shell does.
    if (r == hv::TrashResult::NotSupported) RemoveForGood(t);
    if (LExists(t)) allGone = false;
  }
  return allGone ? TRUE : FALSE;
}

BOOL FileExists(const wxString& path) {
  if (path.empty()) return FALSE;
  const wxString p = hv::NormalizePath(path);
  const wxString name = hv::PathName(p);
  if (!HasWildcard(name)) return LExists(hv::ToFs(hv::ResolvePath(p))) ? TRUE : FALSE;
  const wxString folder = p.find('/') == wxString::npos ? wxString(".") : hv::PathFolder(p);
  for (const wxString& entry : hv::ListFolder(hv::ResolvePath(folder)))
    if (hv::MatchWildcard(name, entry)) return TRUE;
  return FALSE;
}

wxString GetShortPath(const wxString& path) { return path; }
