#include "model/ZipReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <zlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "model/ZipNames.h"
#include "model/ZipRecords.h"
#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

constexpr size_t kBlock = 256 * 1024;
constexpr size_t kHoleMin = 64 * 1024;
constexpr unsigned long kModeTypeMask = 0170000;
constexpr unsigned long kModeFile = 0100000;
constexpr unsigned long kModeFolder = 0040000;

wxString ErrnoText() { return hv::FromUtf8(std::strerror(errno)); }

std::string KeyOf(const std::vector<wxString>& parts, size_t count) {
  std::string key;
  for (size_t i = 0; i < count; ++i) key += "/" + hv::ToUtf8(ZipNameKey(parts[i]));
  return key;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The entry's local time as a file time; false for a date DOS cannot hold.
bool EntryTime(const ZipEntryInfo& info, time_t& out) {
  if (info.year < 1980 || info.year > 2107 || info.month < 0 || info.month > 11 || info.day < 1 ||
      info.day > 31 || info.hour > 23 || info.minute > 59 || info.second > 59)
    return false;
  struct tm t {};
  t.tm_year = info.year - 1900;
  t.tm_mon = info.month;
  t.tm_mday = info.day;
  t.tm_hour = info.hour;
  t.tm_min = info.minute;
  t.tm_sec = info.second;
  t.tm_isdst = -1;
  out = mktime(&t);
  return out != static_cast<time_t>(-1);
}

}  // namespace

struct CZipReader::Archive {
  int fd = -1;
  std::unique_ptr<zipfmt::FileSource> source;
  zipfmt::Directory dir;
  // One inflate stream and its buffers serve every entry: thousands of small files
  // would otherwise each pay for setting them up.
  z_stream stream{};
  bool streamReady = false;
  std::vector<unsigned char> in = std::vector<unsigned char>(kBlock);
  std::vector<unsigned char> out = std::vector<unsigned char>(kBlock);

  Archive() = default;
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;
  ~Archive() {
    if (streamReady) inflateEnd(&stream);
    if (fd >= 0) close(fd);
  }
  // A fresh raw inflate stream.
  bool BeginInflate() {
    if (streamReady) return inflateReset(&stream) == Z_OK;
    streamReady = inflateInit2(&stream, -MAX_WBITS) == Z_OK;
    return streamReady;
  }
};

CZipReader::CZipReader() = default;

CZipReader::~CZipReader() { CloseZip(); }

void CZipReader::Fail(const wxString& entry, const wxString& text) {
  m_errors.push_back(entry.empty() ? text : entry + ": " + text);
}

BOOL CZipReader::SetProjectFolder(const wxString& folder) {
  const wxString name = hv::StripOneTrailingSeparator(folder);
  if (CheckZipNameComponent(name) != ZipNameProblem::None) return FALSE;
  m_oldFolderName = name;
  m_newFolderName.clear();
  m_rename = false;
  return TRUE;
}

BOOL CZipReader::SetRename(const wxString& oldName, const wxString& newName) {
  const wxString from = hv::StripOneTrailingSeparator(oldName);
  const wxString to = hv::StripOneTrailingSeparator(newName);
  if (CheckZipNameComponent(from) != ZipNameProblem::None ||
      CheckZipNameComponent(to) != ZipNameProblem::None)
    return FALSE;
  m_oldFolderName = from;
  m_newFolderName = to;
  m_rename = true;
  return TRUE;
}

BOOL CZipReader::OpenZip(const wxString& archivePath) {
  CloseZip();
  m_totalFiles = 0;
  m_filesDone = 0;
  m_output.clear();
  m_errors.clear();
  m_skipped.clear();
  m_extracted.clear();
  m_spellings.clear();
  if (archivePath.empty()) return FALSE;
  const wxString absolute = hv::ResolvePath(AbsoluteLocalPath(archivePath));
  if (absolute.empty()) return FALSE;
  auto archive = std::make_unique<Archive>();
  archive->fd = open(hv::ToFs(absolute).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  std::string why;
  if (archive->fd < 0 || fstat(archive->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = archive->fd < 0 ? std::strerror(errno) : "not a file";
  } else {
    archive->source = std::make_unique<zipfmt::FileSource>(archive->fd, static_cast<std::uint64_t>(st.st_size));
    zipfmt::ReadDirectory(*archive->source, archive->dir, why);
  }
  if (!why.empty()) {
    Fail(absolute, wxS("kein gültiges oder ein unvollständiges Zip-Archiv (") + hv::FromUtf8(why) + ")");
    return FALSE;
  }
  m_archive = std::move(archive);
  m_index = 0;
  m_output = hv::PathFolder(absolute);
  return TRUE;
}

void CZipReader::CloseZip() {
  m_archive.reset();
  m_index = 0;
  if (m_outputFd >= 0) close(m_outputFd);
  m_outputFd = -1;
}

BOOL CZipReader::SetOutputFolder(const wxString& folder) {
  const wxString absolute = hv::StripOneTrailingSeparator(AbsoluteLocalPath(folder));
  if (absolute.empty() || !CreateFolder(absolute)) return FALSE;
  if (m_outputFd >= 0) close(m_outputFd);
  m_outputFd = -1;
  m_spellings.clear();
  m_output = hv::ResolvePath(absolute);
  return TRUE;
}

BOOL CZipReader::GotoFirstFile() {
  m_index = 0;
  return m_archive && !m_archive->dir.entries.empty();
}

BOOL CZipReader::GotoNextFile() {
  if (!m_archive || m_index >= m_archive->dir.entries.size()) return FALSE;
  ++m_index;
  return m_index < m_archive->dir.entries.size() ? TRUE : FALSE;
}

BOOL CZipReader::GetFileInfo(ZipEntryInfo& info) {
  info = ZipEntryInfo{};
  if (!m_archive || m_index >= m_archive->dir.entries.size()) return FALSE;
  const zipfmt::Entry& fi = m_archive->dir.entries[m_index];
  const std::string& name = fi.name;
  const std::string& comment = fi.comment;
  info.version = fi.versionMadeBy;
  info.versionNeeded = fi.versionNeeded;
  info.flag = fi.flag;
  info.compressionMethod = fi.method;
  info.dosDate = fi.dosDate;
  info.crc = fi.crc;
  info.compressedSize = fi.compressedSize;
  info.uncompressedSize = fi.uncompressedSize;
  info.diskNumStart = fi.diskStart;
  info.internalAttributes = fi.internalAttr;
  info.externalAttributes = fi.externalAttr;
  const unsigned long date = fi.dosDate >> 16;
  info.day = static_cast<int>(date & 0x1F);
  info.month = static_cast<int>((date >> 5) & 0x0F) - 1;
  info.year = static_cast<int>((date >> 9) & 0x7F) + 1980;
  info.hour = static_cast<int>((fi.dosDate >> 11) & 0x1F);
  info.minute = static_cast<int>((fi.dosDate >> 5) & 0x3F);
  info.second = static_cast<int>(fi.dosDate & 0x1F) * 2;
  const bool utf8 = (fi.flag & kZipFlagUtf8) != 0;
  DecodeZipEntryName(comment, utf8, info.comment);

  ZipNameProblem problem = DecodeZipEntryName(name, utf8, info.name);
  if (problem != ZipNameProblem::None) info.name = hv::FromCp1252(name);
  info.name.Replace("/", "\\");
  info.folder = (fi.externalAttr & kZipAttrFolder) != 0 || info.name.EndsWith("\\");
  std::vector<wxString> parts;
  if (problem == ZipNameProblem::None) problem = SplitZipEntryName(info.name, parts);
  const unsigned long type = (fi.externalAttr >> 16) & kModeTypeMask;
  if (problem != ZipNameProblem::None)
    info.problem = DescribeZipNameProblem(problem);
  else if (type != 0 && type != kModeFile && type != kModeFolder)
    info.problem = wxS("symbolische Verknüpfung oder Spezialdatei");
  else if (!info.folder && (fi.flag & kZipFlagEncrypted))
    info.problem = wxS("verschlüsselter Eintrag");
  else if (!info.folder && fi.method != 0 && fi.method != Z_DEFLATED)
    info.problem = wxString::Format(wxS("unbekannte Kompressionsmethode %u"), static_cast<unsigned>(fi.method));
  return TRUE;
}

void CZipReader::CountFiles() {
  m_totalFiles = 0;
  ZipEntryInfo info;
  for (BOOL ok = GotoFirstFile(); ok; ok = GotoNextFile())
    if (GetFileInfo(info) && !info.folder) ++m_totalFiles;
}

BOOL CZipReader::FindProjectFolder(wxString* folderName) {
  wxString project;
  ZipEntryInfo info;
  std::vector<wxString> parts;
  for (BOOL ok = GotoFirstFile(); ok; ok = GotoNextFile()) {
    if (!GetFileInfo(info)) return FALSE;
    const bool valid = info.problem.empty() && SplitZipEntryName(info.name, parts) == ZipNameProblem::None;
    if (project.empty()) {
      if (!info.folder) continue;
      // Only the first folder counts, and it must be one plain folder name.
      if (!valid || parts.size() != 1) return FALSE;
      project = parts[0];
      if (folderName) *folderName = project + "\\";
      continue;
    }
    if (valid && !info.folder && parts.size() == 2 && ZipNameKey(parts[0]) == ZipNameKey(project) &&
        ZipNameKey(parts[1]) == "project.set")
      return TRUE;
  }
  return FALSE;
}

BOOL CZipReader::ValidateEntries() {
  if (!m_archive) return FALSE;
  const size_t before = m_errors.size();
  std::map<std::string, bool> seen;   // key -> is a folder
  ZipEntryInfo info;
  std::vector<wxString> parts;
  for (BOOL ok = GotoFirstFile(); ok; ok = GotoNextFile()) {
    if (!GetFileInfo(info)) {
      Fail(wxString(), wxS("Archiv beschädigt"));
      break;
    }
    if (!info.problem.empty()) {
      Fail(info.name, info.problem);
      continue;
    }
    SplitZipEntryName(info.name, parts);
    const size_t folders = info.folder ? parts.size() : parts.size() - 1;
    bool clash = false;
    for (size_t i = 1; i <= folders; ++i) {
      auto [it, added] = seen.emplace(KeyOf(parts, i), true);
      if (!it->second) clash = true;
    }
    if (!info.folder) {
      auto [it, added] = seen.emplace(KeyOf(parts, parts.size()), false);
      if (!added) clash = true;
    }
    if (clash) Fail(info.name, wxS("Name kommt mehrfach vor (ohne Beachtung der Groß-/Kleinschreibung)"));
  }
  return m_errors.size() == before ? TRUE : FALSE;
}

bool CZipReader::TargetParts(const ZipEntryInfo& info, std::vector<wxString>& parts, bool& skipped) {
  skipped = false;
  if (SplitZipEntryName(info.name, parts) != ZipNameProblem::None) return false;
  if (m_oldFolderName.empty()) return true;
  // Only the project folder is restored; a crafted archive's other top-level entries
  // must neither merge into it nor land beside it.
  if (ZipNameKey(parts[0]) != ZipNameKey(m_oldFolderName) || (parts.size() == 1 && !info.folder)) {
    skipped = true;
    return false;
  }
  if (m_rename) parts[0] = m_newFolderName;
  return true;
}

std::string CZipReader::FindSpelling(int dirFd, const std::string& folderKey, const wxString& name) {
  const std::string exact = hv::ToFs(name);
  struct stat st;
  if (fstatat(dirFd, exact.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return exact;
  auto it = m_spellings.find(folderKey);
  if (it == m_spellings.end()) {
    std::map<wxString, std::string> names;
    const int copy = dup(dirFd);
    if (DIR* d = copy >= 0 ? fdopendir(copy) : nullptr) {
      while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        const wxString n = hv::FromFs(e->d_name);
        if (n.empty()) continue;
        auto [at, added] = names.emplace(ZipNameKey(n), e->d_name);
        if (!added && at->second > e->d_name) at->second = e->d_name;   // stable choice
      }
      closedir(d);
    } else if (copy >= 0) {
      close(copy);
    }
    it = m_spellings.emplace(folderKey, std::move(names)).first;
  }
  auto found = it->second.find(ZipNameKey(name));
  return found == it->second.end() ? std::string() : found->second;
}

void CZipReader::Remember(const std::string& folderKey, const wxString& name, const std::string& actual) {
  auto it = m_spellings.find(folderKey);
  if (it == m_spellings.end()) return;
  if (actual.empty()) it->second.erase(ZipNameKey(name));
  else it->second[ZipNameKey(name)] = actual;
}

int CZipReader::OpenFolders(const std::vector<wxString>& parts, size_t count, const wxString& entry) {
  int fd = dup(m_outputFd);
  if (fd < 0) {
    Fail(entry, ErrnoText());
    return -1;
  }
  for (size_t i = 0; i < count; ++i) {
    const std::string key = KeyOf(parts, i);
    std::string actual = FindSpelling(fd, key, parts[i]);
    if (actual.empty()) {
      actual = hv::ToFs(parts[i]);
      if (mkdirat(fd, actual.c_str(), 0777) != 0 && errno != EEXIST) {
        Fail(entry, wxS("Verzeichnis kann nicht angelegt werden: ") + ErrnoText());
        close(fd);
        return -1;
      }
      Remember(key, parts[i], actual);
    }
    // O_NOFOLLOW: a link already in the output folder must not carry files elsewhere.
    const int next = openat(fd, actual.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    close(fd);
    if (next < 0) {
      errno = error;
      Fail(entry, (error == ELOOP || error == ENOTDIR)
                      ? wxS("im Zielverzeichnis steht eine Datei oder Verknüpfung im Weg")
                      : wxS("Verzeichnis kann nicht geöffnet werden: ") + ErrnoText());
      return -1;
    }
    fd = next;
  }
  return fd;
}

bool CZipReader::ExtractFile(const ZipEntryInfo& info, const std::vector<wxString>& parts) {
  const std::string fileKey = KeyOf(parts, parts.size());
  if (m_extracted.count(hv::FromUtf8(fileKey))) {
    Fail(info.name, wxS("Name kommt mehrfach vor (ohne Beachtung der Groß-/Kleinschreibung)"));
    return false;
  }
  const int dir = OpenFolders(parts, parts.size() - 1, info.name);
  if (dir < 0) return false;
  const std::string folderKey = KeyOf(parts, parts.size() - 1);
  std::string actual = FindSpelling(dir, folderKey, parts.back());
  const bool created = actual.empty();
  if (created) actual = hv::ToFs(parts.back());
  const int fd = openat(dir, actual.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    Fail(info.name, errno == ELOOP ? wxS("im Zielverzeichnis steht eine Verknüpfung im Weg")
                                   : wxS("Datei kann nicht angelegt werden: ") + ErrnoText());
    close(dir);
    return false;
  }
  if (created) Remember(folderKey, parts.back(), actual);
  m_extracted.insert(hv::FromUtf8(fileKey));

  bool cancelled = false;
  wxString why;
  bool ok = CopyEntryData(fd, cancelled, why);
  time_t when;
  if (ok && EntryTime(info, when)) {
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    futimens(fd, times);
  }
  if (close(fd) != 0 && ok) {
    ok = false;
    why = wxS("Schreibfehler: ") + ErrnoText();
  }
  if (!ok) {
    // No partly written file is left behind.
    unlinkat(dir, actual.c_str(), 0);
    m_extracted.erase(hv::FromUtf8(fileKey));
    Remember(folderKey, parts.back(), std::string());
    if (!cancelled) Fail(info.name, why);
  }
  close(dir);
  return ok;
}

bool CZipReader::CopyEntryData(int fd, bool& cancelled, wxString& why) {
  const zipfmt::Entry& e = m_archive->dir.entries[m_index];
  const zipfmt::FileSource& source = *m_archive->source;
  std::uint64_t at = 0;
  std::string error;
  if (!zipfmt::DataStart(source, m_archive->dir, e, at, error)) {
    why = wxS("Daten im Archiv beschädigt (") + hv::FromUtf8(error) + ")";
    return false;
  }
  const bool deflated = e.method == Z_DEFLATED;
  if (deflated && !m_archive->BeginInflate()) {
    why = wxS("Speicher reicht nicht");
    return false;
  }
  z_stream& z = m_archive->stream;
  z.next_in = nullptr;
  z.avail_in = 0;   // nothing left over from the entry before
  std::vector<unsigned char>& in = m_archive->in;
  std::vector<unsigned char>& out = m_archive->out;
  std::uint64_t left = e.compressedSize, written = 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  bool ended = !deflated && left == 0;
  bool ok = true;
  bool holes = false;
  // One block in, everything it inflates to out; never more than the entry says. Blocks
  // of zeros become holes, so a sparse file comes back sparse.
  auto put = [&](const unsigned char* data, std::size_t n) {
    if (n > e.uncompressedSize - written) {
      why = wxS("Daten im Archiv beschädigt");
      return false;
    }
    crc = crc32(crc, data, static_cast<uInt>(n));
    written += n;
    if (n >= kHoleMin && data[0] == 0 && std::memcmp(data, data + 1, n - 1) == 0 &&
        lseek(fd, static_cast<off_t>(n), SEEK_CUR) >= 0) {
      holes = true;
    } else if (!WriteAll(fd, reinterpret_cast<const char*>(data), n)) {
      why = wxS("Schreibfehler: ") + ErrnoText();
      return false;
    }
    if (m_owner) m_owner->AddBytes(n);
    return true;
  };
  while (ok && !ended) {
    if (Cancelled()) {
      cancelled = true;
      ok = false;
      break;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, in.size()));
    if (n == 0 && (!deflated || z.avail_in == 0)) {
      why = wxS("Daten im Archiv unvollständig");
      ok = false;
      break;
    }
    if (n > 0 && !source.ReadAt(at, in.data(), n)) {
      why = wxS("Archiv kann nicht gelesen werden");
      ok = false;
      break;
    }
    at += n;
    left -= n;
    if (!deflated) {
      ok = put(in.data(), n);
      ended = left == 0;
      continue;
    }
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int r = inflate(&z, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END && !(r == Z_BUF_ERROR && z.avail_in == 0)) {
        why = wxS("Daten im Archiv beschädigt");
        ok = false;
        break;
      }
      ok = put(out.data(), out.size() - z.avail_out);
      ended = r == Z_STREAM_END;
    } while (ok && !ended && (z.avail_out == 0 || z.avail_in > 0));
    if (ok && !ended && left == 0 && z.avail_in == 0) {
      why = wxS("Daten im Archiv unvollständig");
      ok = false;
    }
  }
  if (ok && holes && ftruncate(fd, static_cast<off_t>(written)) != 0) {
    why = wxS("Schreibfehler: ") + ErrnoText();
    ok = false;
  }
  if (!ok) return false;
  if (written != e.uncompressedSize) {
    why = wxS("Daten im Archiv unvollständig");
    return false;
  }
  if (static_cast<std::uint32_t>(crc) != e.crc) {
    why = wxS("CRC-Fehler");
    return false;
  }
  return true;
}

BOOL CZipReader::UnzipFile() {
  if (!m_archive || Cancelled()) return FALSE;
  if (m_outputFd < 0) {
    if (m_output.empty() || !CreateFolder(m_output)) {
      Fail(m_output, wxS("Zielverzeichnis kann nicht angelegt werden"));
      return FALSE;
    }
    m_outputFd = open(hv::ToFs(hv::ResolvePath(m_output)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_outputFd < 0) {
      Fail(m_output, wxS("Zielverzeichnis kann nicht geöffnet werden: ") + ErrnoText());
      return FALSE;
    }
  }
  ZipEntryInfo info;
  if (!GetFileInfo(info)) {
    Fail(wxString(), wxS("Archiv beschädigt"));
    return FALSE;
  }
  if (!info.problem.empty()) {
    Fail(info.name, info.problem);
    return FALSE;
  }
  std::vector<wxString> parts;
  bool skipped = false;
  if (!TargetParts(info, parts, skipped)) {
    if (!skipped) {
      Fail(info.name, wxS("ungültiger Name"));
      return FALSE;
    }
    m_skipped.push_back(info.name);
    return TRUE;
  }
  if (info.folder) {
    const int fd = OpenFolders(parts, parts.size(), info.name);
    if (fd < 0) return FALSE;
    close(fd);
    return TRUE;
  }
  const bool ok = ExtractFile(info, parts);
  if (m_totalFiles != 0) {
    ++m_filesDone;
    if (m_owner) m_owner->Report(info.name, m_filesDone, m_totalFiles);
  }
  return ok ? TRUE : FALSE;
}

BOOL CZipReader::CreateFolder(const wxString& path) {
  if (path.empty()) return FALSE;
  if (hv::IsFolder(path)) return TRUE;
  if (hv::PathExists(path)) return FALSE;
  return hv::MakeFolders(path) ? TRUE : FALSE;
}

BOOL CZipReader::CreateFilePath(const wxString& filePath) {
  const wxString folder = hv::PathFolder(hv::NormalizePath(filePath));
  return folder.empty() ? TRUE : CreateFolder(folder);
}
