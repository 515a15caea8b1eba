#include "archive/ZipWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <random>
#include <system_error>
#include <wx/arrstr.h>

#include "archive/ZipDeflater.h"
#include "archive/ZipNames.h"
#include "archive/ZipReader.h"
#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

namespace {

// "Made by" version 2.0 on MS-DOS: the low attribute byte holds DOS attributes, and
// Info-ZIP's unzip then reads '\' as a separator.
constexpr uLong kVersionMadeBy = 20;

wxString ErrnoText() { return hv::FromUtf8(std::strerror(errno)); }

// The writer's texts in the language in use; the system's reason for the last failure
// is read before the text is looked up, as that may change it.
wxString WithErrno(UINT id, const wxString& germanFormat, const wxString& path) {
  const wxString why = ErrnoText();
  return wxString::Format(hv::LocalString(id, germanFormat), path, why);
}

wxString ReadFailedText(const wxString& path) {
  return wxString::Format(hv::LocalString(10906, wxS("Datei konnte nicht gelesen werden: %s")), path);
}

wxString WriteFailedText(const wxString& path) {
  return wxString::Format(hv::LocalString(10897, wxS("Fehler beim Schreiben des Archivs: %s")), path);
}

wxString FolderUnreadableText(const wxString& path) {
  return wxString::Format(hv::LocalString(10904, wxS("Verzeichnis konnte nicht gelesen werden: %s")), path);
}

// DOS dates cover 1980-2107; times outside are clamped rather than wrapped.
void FillDate(tm_zip& out, time_t t) {
  struct tm lt {};
  localtime_r(&t, &lt);
  const int year = lt.tm_year + 1900;
  if (year < 1980) {
    out = tm_zip{0, 0, 0, 1, 0, 1980};
    return;
  }
  if (year > 2107) {
    out = tm_zip{58, 59, 23, 31, 11, 2107};
    return;
  }
  out.tm_sec = static_cast<uInt>(lt.tm_sec);
  out.tm_min = static_cast<uInt>(lt.tm_min);
  out.tm_hour = static_cast<uInt>(lt.tm_hour);
  out.tm_mday = static_cast<uInt>(lt.tm_mday);
  out.tm_mon = static_cast<uInt>(lt.tm_mon);
  out.tm_year = static_cast<uInt>(year);
}

bool NameFromDisk(const char* raw, wxString& name) {
  name = hv::FromFs(raw);
  return !name.empty() && hv::ToFs(name) == raw;
}

// A folder's entry with the kind the listing gives (DT_UNKNOWN where the file system
// gives none): files and folders need no look of their own then.
struct Listed {
  std::string name;
  unsigned char type;
  ino_t inode;
};

// Names of a folder in a stable order, without the ones beginning with '.'.
bool ListNames(const wxString& folder, std::vector<Listed>& names) {
  names.clear();
  DIR* d = opendir(hv::ToFs(folder).c_str());
  if (!d) return false;
  errno = 0;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] != '.') names.push_back(Listed{e->d_name, e->d_type, e->d_ino});
    errno = 0;
  }
  const bool ok = errno == 0;
  closedir(d);
  std::sort(names.begin(), names.end(), [](const Listed& a, const Listed& b) {
    const int c = hv::FromFs(a.name).CmpNoCase(hv::FromFs(b.name));
    return c != 0 ? c < 0 : a.name < b.name;
  });
  return ok;
}

}  // namespace

CZipWriter::CZipWriter() = default;

CZipWriter::~CZipWriter() { AbandonZip(); }

BOOL CZipWriter::OpenZip(const wxString& archivePath) { return Open(archivePath, nullptr); }

BOOL CZipWriter::OpenZip(const wxString& archivePath, const wxString& rootFolder) {
  return Open(archivePath, &rootFolder);
}

void CZipWriter::Fail(const wxString& text) {
  std::lock_guard lock(m_errorsMutex);
  ++m_errorCount;
  m_errors.push_back(text);
}

void CZipWriter::WriteFailed(int error) {
  if (error == 0 && m_view) error = m_view->Error();
  // A full disk or a file size limit: the reason is what the user can act on.
  const wxString format = hv::LocalString(10898, wxS("Fehler beim Schreiben des Archivs: %s (%s)"));
  const wxString text =
      error == 0 ? WriteFailedText(m_target) : wxString::Format(format, m_target, hv::FromUtf8(std::strerror(error)));
  std::lock_guard lock(m_errorsMutex);
  ++m_errorCount;
  if (!m_writeReported) m_errors.push_back(text);
  m_writeReported = true;
}

bool CZipWriter::IsOwnArchive(dev_t dev, ino_t ino) const {
  return (m_temporaryId.set && m_temporaryId.dev == dev && m_temporaryId.ino == ino) ||
         (m_targetId.set && m_targetId.dev == dev && m_targetId.ino == ino);
}

BOOL CZipWriter::Open(const wxString& archivePath, const wxString* rootFolder) {
  if (m_zip) CloseZip();
  m_errorCount = 0;
  m_writeReported = false;
  m_totalFiles = 0;
  m_filesDone = 0;
  m_filesAdded = 0;
  m_foldersAdded = 0;
  m_bytesAdded = 0;
  m_root.clear();
  m_target.clear();
  m_temporary.clear();
  m_targetId = FileId{};
  m_temporaryId = FileId{};
  m_errors.clear();
  m_skipped.clear();
  m_entries.clear();

  if (archivePath.empty()) return FALSE;
  const wxString absolute = AbsoluteLocalPath(archivePath);
  if (absolute.empty() || absolute.EndsWith("/")) return FALSE;
  m_target = hv::ResolvePath(absolute);
  const wxString folder = hv::PathFolder(m_target);
  if (!hv::IsFolder(folder)) {
    Fail(wxString::Format(hv::LocalString(10892, wxS("Zielverzeichnis nicht gefunden: %s")), folder));
    return FALSE;
  }
  struct stat st;
  if (lstat(hv::ToFs(m_target).c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      Fail(wxString::Format(hv::LocalString(10893, wxS("Ziel ist keine Datei: %s")), m_target));
      return FALSE;
    }
    m_targetId = FileId{st.st_dev, st.st_ino, true};
  }

  // The archive grows under a name that does not end in ".zip" and is renamed at the end.
  std::mt19937 rng(static_cast<unsigned>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^ getpid()));
  int fd = -1;
  hv::FileStep();
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    m_temporary = wxString::Format("%s.part-%06x", m_target, static_cast<unsigned>(rng() & 0xFFFFFF));
    fd = open(hv::ToFs(m_temporary).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    Fail(WithErrno(10894, wxS("Archiv kann nicht angelegt werden: %s (%s)"), m_target));
    m_temporary.clear();
    return FALSE;
  }
  if (fstat(fd, &st) == 0) m_temporaryId = FileId{st.st_dev, st.st_ino, true};
  m_fd = fd;
  m_view = std::make_unique<zipfmt::WriteView>(fd);
  m_zip = zipOpen2_64(hv::ToFs(m_temporary).c_str(), APPEND_STATUS_CREATE, nullptr, m_view->Functions());
  if (!m_zip) {
    Fail(wxString::Format(hv::LocalString(10895, wxS("Archiv kann nicht angelegt werden: %s")), m_target));
    DropFile();
    return FALSE;
  }
  try {
    m_deflater = std::make_unique<ZipDeflater>(static_cast<ZipDeflater::Sink&>(*this),
                                               m_threads ? m_threads : ZipDeflater::DefaultThreads());
  } catch (const std::system_error&) {
    Fail(wxString::Format(hv::LocalString(10896, wxS("Archiv kann nicht angelegt werden: %s (keine Threads)")),
                          m_target));
    zipClose(m_zip, nullptr);
    m_zip = nullptr;
    DropFile();
    return FALSE;
  }

  if (!rootFolder) {
    m_root = folder;
  } else if (!rootFolder->empty()) {
    m_root = hv::ResolvePath(AbsoluteLocalPath(*rootFolder));
  }
  if (!m_root.empty() && !m_root.EndsWith("/")) m_root += "/";
  return TRUE;
}

void CZipWriter::RemoveTemporary() {
  if (!m_temporary.empty()) unlink(hv::ToFs(m_temporary).c_str());
  m_temporary.clear();
}

void CZipWriter::DropFile() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
  m_view.reset();
  RemoveTemporary();
  m_root.clear();
  m_entries.clear();
}

BOOL CZipWriter::CloseZip() {
  if (!m_zip) return TRUE;
  // minizip writes the Zip64 end records itself where the directory's offset needs them;
  // for more than 65,535 entries they are added afterwards (see zipfmt::CompleteEndRecords).
  const bool written = m_deflater->Finish();
  m_deflater.reset();
  const int closed = zipClose(m_zip, nullptr);
  m_zip = nullptr;
  int error = 0;
  if (!written || closed != ZIP_OK || m_view->Failed()) WriteFailed();
  else if (!CompleteEndRecords(error)) WriteFailed(error);
  bool ok = m_errorCount == 0 && !Cancelled();
  if (ok) {
    // On disk, and readable as written, before it replaces the old archive.
    wxString why;
    hv::FileStep();   // the archive is complete and replaces the old one
    if (fsync(m_fd) != 0) {
      Fail(WithErrno(10898, wxS("Fehler beim Schreiben des Archivs: %s (%s)"), m_target));
      ok = false;
    } else if (!VerifyArchive(why)) {
      const wxString format = hv::LocalString(10899, wxS("Das geschriebene Archiv ist fehlerhaft: %s (%s)"));
      Fail(wxString::Format(format, m_target, why));
      ok = false;
    } else if (rename(hv::ToFs(m_temporary).c_str(), hv::ToFs(m_target).c_str()) != 0) {
      Fail(WithErrno(10898, wxS("Fehler beim Schreiben des Archivs: %s (%s)"), m_target));
      ok = false;
    } else {
      m_temporary.clear();
    }
  }
  DropFile();
  return ok ? TRUE : FALSE;
}

void CZipWriter::AbandonZip() {
  if (!m_zip) return;
  m_deflater.reset();
  zipClose(m_zip, nullptr);
  m_zip = nullptr;
  DropFile();
}

bool CZipWriter::CompleteEndRecords(int& error) {
  error = 0;
  const std::uint64_t end = m_view->End();
  m_end = end;
  unsigned char record[22];
  if (end < sizeof record || pread(m_fd, record, sizeof record, static_cast<off_t>(end - sizeof record)) !=
                                 static_cast<ssize_t>(sizeof record))
    return false;
  const std::string fixed = zipfmt::CompleteEndRecords(record, sizeof record, end - sizeof record, m_entries.size());
  if (fixed.empty()) return true;
  // A write cut short is continued, so that a failure comes with its reason.
  std::size_t done = 0;
  while (done < fixed.size()) {
    const ssize_t n =
        pwrite(m_fd, fixed.data() + done, fixed.size() - done, static_cast<off_t>(end - sizeof record + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  m_end = end - sizeof record + fixed.size();
  return true;
}

bool CZipWriter::VerifyArchive(wxString& why) const {
  struct stat st;
  if (fstat(m_fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) != m_end) {
    why = hv::LocalString(10900, wxS("Größe"));
    return false;
  }
  CZipReader reader;
  if (!reader.OpenZip(m_temporary)) {
    why = reader.GetErrors().empty() ? wxString() : reader.GetErrors().front();
    return false;
  }
  std::size_t i = 0;
  ZipEntryInfo info;
  for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile(), ++i) {
    if (i >= m_entries.size() || !reader.GetFileInfo(info) || !reader.CheckLocalHeader(info)) {
      why = wxString::Format(hv::LocalString(10901, wxS("Eintrag %zu")), i + 1);
      return false;
    }
    const Written& w = m_entries[i];
    if (info.name != w.name || info.crc != w.crc || info.compressedSize != w.compressed ||
        info.uncompressedSize != w.size || info.localOffset != w.offset) {
      why = w.name;
      return false;
    }
  }
  if (reader.GetErrorCount() > 0 || i != m_entries.size() ||
      i != static_cast<std::size_t>(m_filesAdded) + m_foldersAdded) {
    why = wxString::Format(hv::LocalString(10902, wxS("%zu statt %zu Einträge")), i, m_entries.size());
    return false;
  }
  return true;
}

bool CZipWriter::EntryNameFor(const wxString& path, BOOL ignorePaths, wxString& absolute, wxString& name) {
  const wxString p = hv::StripOneTrailingSeparator(hv::NormalizePath(path));
  absolute.clear();
  name.clear();
  if (p.empty()) return false;
  wxString relative;
  if (p.StartsWith("/")) {
    absolute = hv::ResolvePath(p);
    if (!ignorePaths) {
      // The source must lie below the root (compared without regard to case).
      if (m_root.empty() || absolute.length() <= m_root.length() ||
          absolute.Left(m_root.length()).CmpNoCase(m_root) != 0)
        return false;
      relative = absolute.Mid(m_root.length());
    }
  } else {
    relative = p.StartsWith("./") ? p.Mid(2) : p;
    absolute = hv::ResolvePath(m_root.empty() ? AbsoluteLocalPath(relative) : hv::JoinPath(m_root, relative));
  }
  if (ignorePaths) relative = hv::PathName(absolute);

  // Each local component must fit one entry component: a '\' inside a Linux name would
  // otherwise turn into a separator.
  wxString joined;
  for (const wxString& part : wxSplit(relative, '/', '\0')) {
    if (CheckZipNameComponent(part) != ZipNameProblem::None) return false;
    if (!joined.empty()) joined += "\\";
    joined += part;
  }
  std::vector<wxString> parts;
  if (SplitZipEntryName(joined, parts) != ZipNameProblem::None) return false;
  name = joined;
  return true;
}

bool CZipWriter::OpenEntry(const wxString& name, bool folder, const struct stat& st) {
  // Once the archive cannot be written, no further entry is begun.
  if (m_view->Failed()) return false;
  std::string bytes;
  bool utf8 = false;
  if (EncodeZipEntryName(name, bytes, utf8) != ZipNameProblem::None) return false;
  zip_fileinfo info{};
  FillDate(info.tmz_date, st.st_mtime);
  info.external_fa = folder ? kZipAttrFolder : kZipAttrArchive;
  if (!(st.st_mode & S_IWUSR)) info.external_fa |= kZipAttrReadOnly;
  const int method = folder ? 0 : Z_DEFLATED;
  const int level = folder ? 0 : Z_DEFAULT_COMPRESSION;
  // Files are deflated by CopyDeflated and handed over raw; the header is the same.
  const int raw = folder ? 0 : 1;
  // The local header cannot grow later: room for Zip64 sizes only when the file may need it.
  const bool zip64 = !folder && zipfmt::MayReachZip64(static_cast<std::uint64_t>(st.st_size), true);
  hv::FileStep();   // each entry grows the archive
  m_current = Written{name, 0, 0, 0, m_view->Position()};
  return zipOpenNewFileInZip4_64(m_zip, bytes.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method, level, raw,
                                 -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, kVersionMadeBy,
                                 utf8 ? kZipFlagUtf8 : 0, zip64 ? 1 : 0) == ZIP_OK &&
         !m_view->Failed();
}

bool CZipWriter::CloseEntry(std::uint32_t crc, std::uint64_t compressed, std::uint64_t size) {
  m_current.crc = crc;
  m_current.compressed = compressed;
  m_current.size = size;
  m_entries.push_back(m_current);
  const int r = m_current.name.EndsWith("\\") ? zipCloseFileInZip(m_zip)
                                               : zipCloseFileInZipRaw64(m_zip, static_cast<ZPOS64_T>(size), crc);
  return r == ZIP_OK && !m_view->Failed();
}

void CZipWriter::CountFiles(const wxString& folder) {
  const wxString p = hv::NormalizePath(folder);
  const wxString absolute =
      hv::ResolvePath(p.StartsWith("/") || m_root.empty() ? AbsoluteLocalPath(p) : hv::JoinPath(m_root, p));
  m_totalFiles += CountBelow(hv::ToFs(absolute));
}

int CZipWriter::CountBelow(const std::string& folder) {
  std::vector<Listed> names;
  ListNames(hv::FromFs(folder), names);
  // A file lies on its folder's device: the listing's inode tells the own archive.
  struct stat self {};
  stat(folder.c_str(), &self);
  int count = 0;
  for (const Listed& n : names) {
    const std::string child = folder + "/" + n.name;
    const unsigned kind = hv::ListedKind(n.type, child);
    if (kind == S_IFDIR) count += CountBelow(child);
    else if (kind == S_IFREG && !IsOwnArchive(self.st_dev, n.inode)) ++count;
  }
  return count;
}

BOOL CZipWriter::AddFolderToZip(const wxString& folder, BOOL ignorePaths) {
  if (!m_zip || Cancelled()) return FALSE;
  wxString absolute, name;
  if (!EntryNameFor(folder, ignorePaths, absolute, name)) {
    const wxString format =
        hv::LocalString(10903, wxS("Verzeichnis liegt nicht unter %s oder sein Name passt nicht ins Archiv: %s"));
    Fail(wxString::Format(format, m_root, folder));
    return FALSE;
  }
  struct stat st;
  if (stat(hv::ToFs(absolute).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    Fail(FolderUnreadableText(absolute));
    return FALSE;
  }
  m_deflater->AddFolder(name + "\\", st);
  ++m_foldersAdded;

  std::vector<Listed> names;
  if (!ListNames(absolute, names)) {
    Fail(FolderUnreadableText(absolute));
    return TRUE;
  }
  const std::string folderPath = hv::ToFs(absolute);
  for (const Listed& listed : names) {
    if (Cancelled()) break;
    const std::string& raw = listed.name;
    wxString n;
    if (!NameFromDisk(raw.c_str(), n)) {
      const wxString format = hv::LocalString(10905, wxS("Name kann nicht im Archiv gespeichert werden: %s/%s"));
      Fail(wxString::Format(format, absolute, hv::FromCp1252(raw)));
      continue;
    }
    const wxString child = absolute + "/" + n;
    // A file is looked at once it is open (AddFileAt).
    const unsigned kind = hv::ListedKind(listed.type, folderPath + "/" + raw);
    if (kind == 0) {
      Fail(ReadFailedText(child));
      continue;
    }
    if (kind == S_IFREG && IsOwnArchive(st.st_dev, listed.inode)) continue;
    if (kind == S_IFDIR) {
      AddFolderToZip(child, ignorePaths);   // counts its own failures
    } else if (kind == S_IFREG) {
      // The folder's own path and entry name lead to the file's: its name as listed is
      // exact, so nothing is looked up again.
      if (m_errorCount > 0 || CheckZipNameComponent(n) != ZipNameProblem::None)
        AddFileToZip(child, ignorePaths);   // the usual checks and messages
      else
        AddFileAt(child, ignorePaths ? n : name + wxS("\\") + n);
    } else {
      // Links are never followed (loops, targets outside the project); FIFOs would block.
      m_skipped.push_back(child);
    }
  }
  return TRUE;
}

BOOL CZipWriter::AddFileToZip(const wxString& file, BOOL ignorePaths) {
  if (!m_zip || Cancelled()) return FALSE;
  if (m_errorCount > 0) {
    // One failure fails the backup as a whole; the rest is not even read.
    ++m_errorCount;
    return FALSE;
  }
  wxString absolute, name;
  if (!EntryNameFor(file, ignorePaths, absolute, name)) {
    const wxString format =
        hv::LocalString(10907, wxS("Datei liegt nicht unter %s oder ihr Name passt nicht ins Archiv: %s"));
    Fail(wxString::Format(format, m_root, file));
    return FALSE;
  }
  return AddFileAt(absolute, name);
}

BOOL CZipWriter::AddFileAt(const wxString& absolute, const wxString& name) {
  if (!m_zip || Cancelled()) return FALSE;
  const int fd = open(hv::ToFs(absolute).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP) {
      m_skipped.push_back(absolute);
      return TRUE;
    }
    Fail(ReadFailedText(absolute));
    return FALSE;
  }
  struct stat st;
  const bool looked = fstat(fd, &st) == 0;
  if (!looked || !S_ISREG(st.st_mode) || IsOwnArchive(st.st_dev, st.st_ino)) {
    close(fd);
    // The archive being written is left out without a word, as a folder's listing does
    // where it can tell it by its inode.
    if (!looked || !IsOwnArchive(st.st_dev, st.st_ino)) m_skipped.push_back(absolute);
    return TRUE;
  }
  ++m_filesAdded;
  bool cancelled = false;
  const bool read = m_deflater->AddFile(
      name, absolute, fd, st, [&] { return cancelled = Cancelled(); },
      [&](std::uint64_t n) {
        m_bytesAdded += n;
        if (m_owner) m_owner->AddBytes(n);
      });
  close(fd);
  if (cancelled) return FALSE;
  if (!read) Fail(ReadFailedText(absolute));
  return read ? TRUE : FALSE;
}

bool CZipWriter::WriteData(const unsigned char* data, std::size_t n) {
  return zipWriteInFileInZip(m_zip, data, static_cast<unsigned>(n)) == ZIP_OK && !m_view->Failed();
}

void CZipWriter::FileDone(const wxString& path, bool ok) {
  if (!ok) {
    if (m_view->Failed()) WriteFailed();
    else Fail(WriteFailedText(m_target));
  }
  if (m_totalFiles != 0) {
    const int done = ++m_filesDone;
    if (m_owner) m_owner->Report(path, done, m_totalFiles);
  }
}

