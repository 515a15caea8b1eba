#pragma once
// Writes a zip archive of a folder tree (the project backup). Entries are named relative
// to a root folder with '\' between components; folder entries end with '\', carry the
// DOS folder bit and no data; files are deflated at the default level.
//
// The archive is built in a temporary file beside the target and renamed over it only by
// a CloseZip after which nothing failed and nothing was cancelled, so a failed or
// cancelled backup never leaves an archive that looks complete and never destroys an
// older one. Symbolic links, FIFOs and other special files are skipped, never followed.
//
// The archive is written by minizip; files are deflated here and handed over raw. Zip64
// records appear only where the classic fields cannot hold a size, an offset or the
// entry count, so an ordinary project gives a classic archive. Before the archive
// replaces the target, its central directory is read back and checked against what was
// written.
//
// Files are deflated on several threads (ZipDeflater) and written in order. The writer
// may itself run on a worker thread: it reports only through the ZipProgress it is given,
// and collects its error texts for the caller to show.
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <memory>
#include <string>
#include <vector>
#include <wx/string.h>

#include "archive/ZipDeflater.h"
#include "archive/ZipProgress.h"
#include "archive/ZipRecords.h"
#include "platform/Types.h"

class CZipWriter : private ZipDeflater::Sink {
 public:
  CZipWriter();
  // An archive still open is abandoned: its temporary file is removed, the target kept.
  ~CZipWriter();
  CZipWriter(const CZipWriter&) = delete;
  CZipWriter& operator=(const CZipWriter&) = delete;

  // Progress receiver and cancel flag (may be none).
  void SetOwner(ZipProgress* owner) { m_owner = owner; }
  // Deflating threads of the next archive (0: as many as the machine has cores, up to 8).
  void SetThreads(unsigned threads) { m_threads = threads; }

  // Starts a new archive for archivePath. Without a root folder the archive's own folder
  // is the root; an empty root leaves entry names as the paths given. Resets all counts.
  BOOL OpenZip(const wxString& archivePath);
  BOOL OpenZip(const wxString& archivePath, const wxString& rootFolder);
  // Finishes the archive. TRUE when nothing was open, or when the archive was complete
  // and is now at its target. With errors, a cancel or a failing close the temporary
  // file is removed, the target left as it was, and the result is FALSE.
  BOOL CloseZip();
  // Drops an open archive without touching the target.
  void AbandonZip();

  // Adds the number of files below folder (names beginning with '.' and special files
  // not counted) to the total that progress is measured against.
  void CountFiles(const wxString& folder);
  // Adds the folder entry, then its files and sub-folders. FALSE when the folder itself
  // cannot be added; failures below it are counted in the error count.
  BOOL AddFolderToZip(const wxString& folder, BOOL ignorePaths);
  // Adds one file. A path not beginning with '/' is relative to the root folder.
  // Every failure is counted; once anything has failed, later files are refused.
  BOOL AddFileToZip(const wxString& file, BOOL ignorePaths);

  bool IsOpen() const { return m_zip != nullptr; }
  int GetErrorCount() const { return m_errorCount; }
  int GetTotalFiles() const { return m_totalFiles; }
  int GetFilesDone() const { return m_filesDone; }
  std::uint32_t GetFilesAdded() const { return m_filesAdded; }
  std::uint32_t GetFoldersAdded() const { return m_foldersAdded; }
  std::uint64_t GetBytesAdded() const { return m_bytesAdded; }
  const wxString& GetRootFolder() const { return m_root; }
  // Texts of the failures, in order ("Could not read file: <path>", ...).
  const std::vector<wxString>& GetErrors() const { return m_errors; }
  // Paths that were skipped on purpose (links, FIFOs, the archive itself).
  const std::vector<wxString>& GetSkipped() const { return m_skipped; }

 private:
  struct FileId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool set = false;
  };

  BOOL Open(const wxString& archivePath, const wxString* rootFolder);
  bool Cancelled() const { return m_owner && m_owner->CancelRequested(); }
  void Fail(const wxString& text);
  // The archive could not be written: said once, with the system's reason (`error`, else
  // the one of the first failed write) where there is one; later failures are only counted.
  void WriteFailed(int error = 0);
  bool IsOwnArchive(dev_t dev, ino_t ino) const;
  // Absolute local path of a source and its entry name ('\' separated), or an error.
  bool EntryNameFor(const wxString& path, BOOL ignorePaths, wxString& absolute, wxString& name);
  // Adds the file at its resolved path under the entry name worked out for it.
  BOOL AddFileAt(const wxString& absolute, const wxString& name);
  // The deflater's calls, on its writing thread, entry after entry.
  bool OpenEntry(const wxString& name, bool folder, const struct stat& st) override;
  bool WriteData(const unsigned char* data, std::size_t n) override;
  bool CloseEntry(std::uint32_t crc, std::uint64_t compressed, std::uint64_t size) override;
  void FileDone(const wxString& path, bool ok) override;
  // Adds the Zip64 end records minizip leaves out for more than 65,535 entries.
  bool CompleteEndRecords(int& error);
  // Reads the finished archive's directory back and compares it with what was written.
  bool VerifyArchive(wxString& why) const;
  int CountBelow(const std::string& folder);
  void RemoveTemporary();
  // Closes and removes the temporary file (unless it was renamed) and forgets the entries.
  void DropFile();

  std::atomic<int> m_errorCount{0};
  std::mutex m_errorsMutex;   // failures come from the adding and the writing thread
  bool m_writeReported = false;
  ZipProgress* m_owner = nullptr;
  int m_totalFiles = 0;
  std::atomic<int> m_filesDone{0};
  unsigned m_threads = 0;
  int m_fd = -1;              // the temporary archive
  void* m_zip = nullptr;      // minizip's zipFile, writing to m_fd through m_view
  std::unique_ptr<zipfmt::WriteView> m_view;
  std::uint64_t m_end = 0;    // the archive's size once closed
  wxString m_root;            // ends with '/' when set
  std::uint32_t m_filesAdded = 0;
  std::uint32_t m_foldersAdded = 0;
  std::uint64_t m_bytesAdded = 0;

  wxString m_target;          // the archive's final path
  wxString m_temporary;       // where it is built
  FileId m_targetId;          // an existing target and the temporary file are never archived
  FileId m_temporaryId;
  std::vector<wxString> m_errors;
  std::vector<wxString> m_skipped;

  // What was written, for the check at the end.
  struct Written {
    wxString name;
    std::uint32_t crc = 0;
    std::uint64_t compressed = 0, size = 0, offset = 0;
  };
  std::vector<Written> m_entries;
  Written m_current;   // the entry between OpenEntry and CloseEntry

  std::unique_ptr<ZipDeflater> m_deflater;   // while the archive is open
};
