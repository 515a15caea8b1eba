#include "framework/FileList.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/Codec.h"
#include "platform/Paths.h"

CFileInfo::CFileInfo() {
  const std::time_t now = std::time(nullptr);
  creationTime = lastAccessTime = lastWriteTime = now;
}

bool CFileInfo::Create(const wxString& folder, const wxString& name, DWORD user) {
  const wxString full = folder.empty() ? name : hv::JoinPath(folder, name);
  struct statx sx;
  if (statx(AT_FDCWD, hv::ToFs(full).c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
  path = full;
  userValue = user;
  attributes = S_ISDIR(sx.stx_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  size = S_ISDIR(sx.stx_mode) ? 0 : sx.stx_size;
  lastAccessTime = static_cast<std::time_t>(sx.stx_atime.tv_sec);
  lastWriteTime = static_cast<std::time_t>(sx.stx_mtime.tv_sec);
  creationTime = (sx.stx_mask & STATX_BTIME) ? static_cast<std::time_t>(sx.stx_btime.tv_sec) : lastWriteTime;
  return true;
}

wxString CFileInfo::GetFileTitle() const {
  const wxString name = GetFileName();
  const size_t dot = name.find_last_of('.');
  return dot == wxString::npos ? name : name.Left(dot);
}

wxString CFileInfo::GetFileExt() const {
  const wxString name = GetFileName();
  const size_t dot = name.find_last_of('.');
  return dot == wxString::npos ? wxString() : name.Mid(dot);
}

wxString CFileInfo::GetFileName() const { return hv::PathName(path); }

int CFileInfoArray::Add(const CFileInfo& info, int sortMode) {
  size_t pos = 0;
  const size_t n = m_items.size();
  switch (sortMode) {
    case kFileSortSizeUp:
      while (pos < n && m_items[pos].size < info.size) ++pos;
      break;
    case kFileSortSizeDown:
      while (pos < n && m_items[pos].size > info.size) ++pos;
      break;
    case kFileSortNameUp:
      while (pos < n && m_items[pos].path.CmpNoCase(info.path) < 0) ++pos;
      break;
    case kFileSortNameDown:
      while (pos < n && m_items[pos].path.CmpNoCase(info.path) > 0) ++pos;
      break;
    default:
      pos = n;
      break;
  }
  m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(pos), info);
  return static_cast<int>(pos);
}

int CFileInfoArray::AddFile(const wxString& path, int sortMode) {
  const wxString resolved = hv::ResolvePath(path);
  CFileInfo info;
  if (!info.Create(hv::PathFolder(resolved), hv::PathName(resolved))) return -1;
  return Add(info, sortMode);
}

long CFileInfoArray::AddDir(const wxString& folderIn, const wxString& mask, BOOL recurse, int sortMode,
                            BOOL includeFolders, const std::atomic<bool>* stop, std::atomic<long>* counter) {
  const wxString folder = hv::ResolvePath(folderIn);
  const std::vector<wxString> names = hv::ListFolder(folder);
  long added = 0;
  auto stopped = [stop] { return stop && stop->load(); };
  auto count = [&] {
    ++added;
    if (counter) counter->fetch_add(1);
  };

  // Sub-folders first: listed when asked for, scanned when recursing (never through links).
  for (const wxString& name : names) {
    const wxString full = hv::JoinPath(folder, name);
    struct stat lst, st;
    if (lstat(hv::ToFs(full).c_str(), &lst) == 0 && stat(hv::ToFs(full).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      if (includeFolders) {
        CFileInfo info;
        if (info.Create(folder, name)) {
          Add(info, sortMode);
          count();
        }
      }
      if (recurse && S_ISDIR(lst.st_mode)) {
        added += AddDir(full, mask, recurse, sortMode, includeFolders, stop, counter);
      }
    }
    if (stopped()) return added;
  }
  // Then the other entries that match the mask.
  for (const wxString& name : names) {
    if (hv::MatchWildcard(mask, name)) {
      CFileInfo info;
      if (info.Create(folder, name) && !info.IsFolder()) {
        Add(info, sortMode);
        count();
      }
    }
    if (stopped()) return added;
  }
  return added;
}

bool GetFileModifiedTime(SYSTEMTIME& time, const wxString& path) {
  std::memset(&time, 0, sizeof time);
  struct stat st;
  if (path.empty() || stat(hv::ToFs(hv::ResolvePath(path)).c_str(), &st) != 0) return false;
  struct tm local;
  if (!localtime_r(&st.st_mtim.tv_sec, &local)) return false;
  time.wYear = static_cast<WORD>(local.tm_year + 1900);
  time.wMonth = static_cast<WORD>(local.tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
  time.wDay = static_cast<WORD>(local.tm_mday);
  time.wHour = static_cast<WORD>(local.tm_hour);
  time.wMinute = static_cast<WORD>(local.tm_min);
  time.wSecond = static_cast<WORD>(local.tm_sec);
  time.wMilliseconds = static_cast<WORD>(st.st_mtim.tv_nsec / 1000000);
  return true;
}
