#pragma once
// File entries from folder scans, kept in a chosen order, and file times.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <vector>
#include <wx/string.h>

#include "platform/SystemTime.h"
#include "platform/Types.h"

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

// One file or folder entry.
class CFileInfo {
 public:
  CFileInfo();

  // Fills the entry from the file system (links followed for the data); false when the
  // entry cannot be looked at, e.g. it vanished.
  bool Create(const wxString& folder, const wxString& name, DWORD userValue = 0);

  wxString GetFileTitle() const;   // name without extension
  wxString GetFileExt() const;     // extension with its point, or empty
  wxString GetFileName() const;    // title and extension
  bool IsFolder() const { return attributes != static_cast<DWORD>(-1) && (attributes & FILE_ATTRIBUTE_DIRECTORY); }

  DWORD userValue = 0;
  wxString path;
  DWORD attributes = static_cast<DWORD>(-1);   // only the folder bit means anything here
  std::uint64_t size = 0;
  std::time_t creationTime;     // birth time where the file system keeps one, else write time
  std::time_t lastAccessTime;
  std::time_t lastWriteTime;
};

// Where Add puts a new entry.
enum FileSortMode {
  kFileSortNone = 0,        // at the end (any mode not listed here too)
  kFileSortSizeUp = 2,      // before the first entry at least as large
  kFileSortSizeDown = 3,    // before the first entry at most as large
  kFileSortNameUp = 4,      // before the first entry whose path is not smaller, ignoring case
  kFileSortNameDown = 5,    // before the first entry whose path is not larger, ignoring case
};

class CFileInfoArray {
 public:
  virtual ~CFileInfoArray() = default;

  // Inserts at the sort mode's position; returns the position.
  virtual int Add(const CFileInfo& info, int sortMode);
  // Adds the file at the path when it exists; its position, or -1.
  int AddFile(const wxString& path, int sortMode);
  // Adds the entries of a folder: with includeFolders its sub-folders (links to folders
  // too, but those are never scanned), with recurse the entries of every sub-folder,
  // then its other entries that match the mask ("*.*", "*.txt", ...). A set stop flag
  // ends the scan after the current entry; the counter counts every entry added and may
  // be watched from another thread. Returns the number of entries added.
  long AddDir(const wxString& folder, const wxString& mask, BOOL recurse, int sortMode, BOOL includeFolders,
              const std::atomic<bool>* stop = nullptr, std::atomic<long>* counter = nullptr);

  size_t GetSize() const { return m_items.size(); }
  const CFileInfo& operator[](size_t i) const { return m_items[i]; }
  CFileInfo& operator[](size_t i) { return m_items[i]; }
  void RemoveAll() { m_items.clear(); }

 private:
  std::vector<CFileInfo> m_items;
};

// The last-write time of a file or folder in local time. The output is zeroed first;
// false when the path cannot be found.
bool GetFileModifiedTime(SYSTEMTIME& time, const wxString& path);
