#pragma once
// Reads a zip archive and extracts its entries into an output folder (the project
// restore). Names are read with '\' or '/' as separator; an entry that names a path
// outside the output folder (absolute, drive letter, ".."), a link or special file, or
// an encrypted entry is refused. Extraction never follows a link that already exists in
// the output folder and never creates one. Every failure is counted and described; a
// file whose extraction failed (read error, CRC error, short data, write error) is
// removed again.
//
// The reader may run on a worker thread: it reports only through the ZipProgress it is
// given.
//
// The archive is read through minizip. The reader understands Zip64 archives, and finds
// the directory of an archive whose end record states a wrong directory size by the
// directory's own signatures (see ZipRecords). Entries are streamed to disk block by
// block, whatever their size.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <memory>
#include <string>
#include <ctime>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <wx/string.h>

#include "archive/ZipProgress.h"
#include "platform/Types.h"

// Information about the current entry.
struct ZipEntryInfo {
  wxString name;   // decoded, every '/' turned into '\'
  wxString comment;
  unsigned long version = 0;
  unsigned long versionNeeded = 0;
  unsigned long flag = 0;
  unsigned long compressionMethod = 0;
  unsigned long dosDate = 0;
  unsigned long crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t uncompressedSize = 0;
  std::uint64_t localOffset = 0;   // of the local header, without bytes before the archive
  bool zip64Offset = false;         // the offset is only in the Zip64 field
  bool zip64Sizes = false;          // a size is only in the Zip64 field
  unsigned long diskNumStart = 0;
  unsigned long internalAttributes = 0;
  unsigned long externalAttributes = 0;
  // The DOS folder bit is set or the name ends with a separator.
  bool folder = false;
  // Date parts (month 0-11, full year) as stored.
  int second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0;
  // Why the entry cannot be extracted: unsafe name, link or special file, encryption,
  // unknown method (empty when it can).
  wxString problem;
};

class ZipTaskPool;

class CZipReader {
 public:
  CZipReader();
  ~CZipReader();
  CZipReader(const CZipReader&) = delete;
  CZipReader& operator=(const CZipReader&) = delete;

  // Progress receiver and cancel flag (may be none).
  void SetOwner(ZipProgress* owner) { m_owner = owner; }
  // Extract only the entries below the folder (the project folder found in the archive,
  // compared without regard to case); other entries are skipped and counted.
  BOOL SetProjectFolder(const wxString& folder);
  // As SetProjectFolder(oldName), and the entries are extracted below newName instead.
  // Both must be one valid folder name.
  BOOL SetRename(const wxString& oldName, const wxString& newName);

  // Opens the archive; the output folder becomes the archive's own folder.
  BOOL OpenZip(const wxString& archivePath);
  void CloseZip();
  // The folder entries are extracted into (created when missing).
  BOOL SetOutputFolder(const wxString& folder);
  const wxString& GetOutputFolder() const { return m_output; }

  BOOL GotoFirstFile();
  BOOL GotoNextFile();
  BOOL GetFileInfo(ZipEntryInfo& info);
  // Sets the total to the number of entries that are not folders.
  void CountFiles();
  // The first folder entry names the project folder; TRUE when a later file entry is
  // that folder's "project.set". The name is given with its trailing '\'.
  BOOL FindProjectFolder(wxString* folderName);
  // Checks every entry before anything is written: names, links, encryption, methods,
  // names that collide without regard to case. FALSE with the problems in GetErrors().
  BOOL ValidateEntries();
  // Whether the current entry's local header is where the directory says and agrees with it.
  bool CheckLocalHeader(const ZipEntryInfo& info);
  // Extracts the current entry. TRUE also for an entry skipped as outside the project folder.
  BOOL UnzipFile();
  // Extracts every entry, files written on `threads` threads while this one reads the
  // archive in order; returns when all are written. Failures are in GetErrors().
  void UnzipAll(unsigned threads);

  // Folder helpers of the restore.
  static BOOL CreateFolder(const wxString& path);
  static BOOL CreateFilePath(const wxString& filePath);

  bool IsOpen() const { return m_archive != nullptr; }
  int GetTotalFiles() const { return m_totalFiles; }
  int GetFilesDone() const { return m_filesDone; }
  int GetErrorCount() const { return static_cast<int>(m_errors.size()); }
  int GetSkippedCount() const { return static_cast<int>(m_skipped.size()); }
  const std::vector<wxString>& GetErrors() const { return m_errors; }
  // Names of entries skipped as outside the project folder.
  const std::vector<wxString>& GetSkipped() const { return m_skipped; }

 private:
  bool Cancelled() const { return m_owner && m_owner->CancelRequested(); }
  void Fail(const wxString& entry, const wxString& text);
  // Reports a damaged directory once.
  void Damaged();
  // The end of a walk through the directory (FALSE, as GotoNextFile returns).
  BOOL WalkEnded(bool damaged);
  // Goes to entry `index` of a finished walk; FALSE past its end.
  BOOL Replay(std::uint64_t index);
  // Puts minizip on the current entry where a replay left it elsewhere.
  bool Position();
  // The current entry and its name's components (empty when the entry has a problem) and
  // their keys; null when there is none.
  const ZipEntryInfo* CurrentEntry(const std::vector<wxString>** parts = nullptr,
                                   const std::vector<std::string>** keys = nullptr) const;
  // Entry components below the output folder after the project-folder rules, and their
  // folder keys (see PrefixKeys); null, and `skipped` when the entry lies outside the
  // project folder. names: the components' own keys.
  const std::vector<wxString>* TargetParts(const ZipEntryInfo& info, const std::vector<wxString>& split,
                                           const std::vector<std::string>& names, std::vector<std::string>& keys,
                                           bool& skipped);
  // Opens (creating when missing) the folders parts[0..count) below the output folder;
  // keys as TargetParts gives them.
  int OpenFolders(const std::vector<wxString>& parts, const std::vector<std::string>& keys, size_t count,
                  const wxString& entry);
  // The existing spelling of name in a folder, ignoring case; empty when there is none.
  // nameKey: the name's key (lower-case, UTF-8) as in the folder keys.
  std::string FindSpelling(int dirFd, const std::string& folderKey, const wxString& name, const std::string& nameKey);
  void Remember(const std::string& folderKey, const std::string& nameKey, const std::string& actual);
  // Extracts a file entry (its keys in m_keys); with a pool, small entries are written on its threads and
  // their failures reported there.
  bool ExtractFile(const ZipEntryInfo& info, const std::vector<wxString>& parts, ZipTaskPool* pool);
  // Closes an extracted file: its time on success, removed on failure, progress.
  bool FinishFile(const wxString& name, int dir, int fd, const std::string& actual, bool ok, bool cancelled,
                  wxString why, time_t when);
  void OpenFailed(const wxString& name, int error);
  // The entry's local time as a file time, -1 for a date DOS cannot hold; on the
  // reading thread only.
  time_t EntryTime(const ZipEntryInfo& info);
  bool UnzipEntry(ZipTaskPool* pool);
  // Opens the output folder (made when missing) once; false after reporting.
  bool OpenOutput();
  // Makes the folders the entries need ahead of their files, on the pool's threads.
  void MakeFoldersAhead(ZipTaskPool& pool);
  // Writes the current entry's data to fd; false with the reason.
  bool CopyEntryData(const ZipEntryInfo& info, int fd, bool& cancelled, wxString& why);
  // The current entry's stored data: open, read (bytes, 0 at its end, -1 on error), close.
  bool OpenRaw(const ZipEntryInfo& info, wxString& why);
  // Where the current entry's data start (after checking its local header), for reading
  // them whole.
  bool DataStart(const ZipEntryInfo& info, std::uint64_t& at, wxString& why);
  long ReadRaw(unsigned char* out, std::size_t n);
  void CloseRaw();

  bool m_rename = false;
  wxString m_oldFolderName;
  wxString m_newFolderName;
  std::string m_oldFolderKey, m_newFolderKey;   // their keys
  ZipProgress* m_owner = nullptr;
  int m_totalFiles = 0;
  std::atomic<int> m_filesDone{0};
  struct Archive;          // the open file and its central directory
  std::unique_ptr<Archive> m_archive;
  bool m_damagedListed = false;
  wxString m_output;       // the output folder, '/'-separated, no trailing separator

  int m_outputFd = -1;
  struct FolderFd;
  std::shared_ptr<FolderFd> m_lastFolder;   // the folder the last file went into
  std::string m_lastFolderKey;
  std::vector<std::string> m_keys;   // folder keys of the entry being extracted
  void ForgetFolder();
  // Folder key (lower-case relative path) -> lower-case name -> name on disk.
  using Spellings = std::unordered_map<std::string, std::string>;
  std::unordered_map<std::string, Spellings> m_spellings;
  std::unordered_set<std::string> m_extracted;   // keys of the files written since OpenZip
  std::unordered_map<std::uint32_t, time_t> m_hourStarts;   // local date and hour -> file time
  std::unordered_map<std::string, int> m_lanes;   // folder key -> pool thread of its small files
  bool m_spreadFolders = false;        // while UnzipAll runs
  std::vector<std::string> m_marked;   // folders (below the output) marked as top folders
  std::unordered_map<std::string, std::string> m_madeAhead;   // folder key -> path below the output
  std::mutex m_errorsMutex;   // pool threads report failures too
  std::vector<wxString> m_errors;
  std::vector<wxString> m_skipped;
  std::vector<wxString> m_parts;   // a renamed entry's components
};
