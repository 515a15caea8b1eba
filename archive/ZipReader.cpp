#include "archive/ZipReader.h"

#include <dirent.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <fcntl.h>
#include <minizip/unzip.h>
#include <zlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <system_error>

#include "archive/ZipInflater.h"
#include "archive/ZipNames.h"
#include "archive/ZipRecords.h"
#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

namespace {

constexpr size_t kBlock = 256 * 1024;
// Entries up to this size are read whole and written on a pool thread; bigger ones are
// streamed by the reading thread. The pool holds at most a window of them.
constexpr std::uint64_t kInMemory = 8 << 20;
constexpr std::size_t kWindowBytes = 64 << 20;
// Many small files in flight let the threads of several folders work at once.
constexpr std::size_t kWindowTasks = 4096;
// Files up to this size are made by the thread of their folder: threads creating files
// in one folder only queue for its lock in the kernel, spinning.
constexpr std::uint64_t kLaneMax = 1 << 20;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
constexpr unsigned long kModeTypeMask = 0170000;
constexpr unsigned long kModeFile = 0100000;
constexpr unsigned long kModeFolder = 0040000;

wxString ErrnoText() { return hv::FromUtf8(std::strerror(errno)); }

// Two entries whose names differ at most in case.
wxString TwiceText() {
  return hv::LocalString(10881, wxS("Name kommt mehrfach vor (ohne Beachtung der Groß-/Kleinschreibung)"));
}

// A text with the system's reason for the last failure in it; the reason is read
// first, as finding the text may change it.
wxString WithErrno(UINT id, const wxString& germanFormat) {
  const wxString why = ErrnoText();
  return wxString::Format(hv::LocalString(id, germanFormat), why);
}

// The keys of a name's folders: keys[i] is "/" and the lower-case UTF-8 of each of the
// first i components, keys[parts.size()] the whole name's.
// names: each component's own key; first, when given, stands for the first one's.
void PrefixKeys(const std::vector<std::string>& names, const std::string* first, std::vector<std::string>& keys) {
  keys.resize(names.size() + 1);
  keys[0].clear();
  for (size_t i = 0; i < names.size(); ++i) {
    keys[i + 1] = keys[i];
    keys[i + 1] += '/';
    keys[i + 1] += i == 0 && first ? *first : names[i];
  }
}

// ZipNameKey in UTF-8. Most names are ASCII: those are lowered here without a wide
// string and a conversion (every name takes this one way, so keys always agree).
std::string NameKey(const wxString& name) {
  std::string key;
  key.reserve(name.length());
  for (wxString::const_iterator it = name.begin(); it != name.end(); ++it) {
    const wxUniChar c = *it;
    if (c >= 0x80) return hv::ToUtf8(ZipNameKey(name));
    const char b = static_cast<char>(c.GetValue());
    key += b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b;
  }
  return key;
}

// The start of the entry's hour in local time as a file time, -1 when DOS cannot hold
// the date. mktime takes the C library's time-zone lock and looks at the zone again on
// every call: an archive's entries share a few hours, each converted once.
time_t HourStart(const ZipEntryInfo& info) {
  if (info.year < 1980 || info.year > 2107 || info.month < 0 || info.month > 11 || info.day < 1 ||
      info.day > 31 || info.hour > 23 || info.minute > 59 || info.second > 59)
    return -1;
  struct tm t {};
  t.tm_year = info.year - 1900;
  t.tm_mon = info.month;
  t.tm_mday = info.day;
  t.tm_hour = info.hour;
  t.tm_isdst = -1;
  return mktime(&t);
}

}  // namespace

struct CZipReader::Archive {
  int fd = -1;
  std::unique_ptr<zipfmt::FileSource> source;
  std::unique_ptr<zipfmt::ReadView> view;
  unzFile unz = nullptr;
  // Where the current entry's central header ends (minizip's positions): the last
  // entry must end where the directory does.
  std::uint64_t headerEnd = 0;
  std::uint64_t index = 0;   // of the current entry
  // The open entry's raw data still to read, and where minizip left it to us.
  std::uint64_t rawLeft = 0;
  bool rawDirect = false;
  std::uint64_t rawAt = 0;
  // One inflate stream and its buffers serve every entry: thousands of small files
  // would otherwise each pay for setting them up.
  ZipInflateStream stream;
  std::vector<unsigned char> in = std::vector<unsigned char>(kBlock);

  Archive() = default;
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;
  ~Archive() {
    if (unz) {
      unzCloseCurrentFile(unz);
      unzClose(unz);
    }
    if (fd >= 0) close(fd);
  }
  // What a walk through the directory found, entry by entry. The central headers are
  // read here rather than through minizip, which would parse each one several times;
  // once a walk has reached the end, later walks replay it (a restore walks four times).
  struct Entry {
    std::uint64_t offset = 0;      // minizip's position of the central header
    std::uint64_t headerEnd = 0;
    ZipEntryInfo info;
    std::vector<wxString> parts;   // the name's components when it has no problem
    std::vector<std::string> keys;   // and their keys (lower-case UTF-8), made once
    std::size_t nameLength = 0;    // in bytes, as stored
  };
  std::vector<Entry> entries;
  bool walked = false;            // entries hold the whole walk
  bool walkDamaged = false;       // and it ended in a damaged directory
  bool positioned = false;        // minizip stands at entries[index]

  std::uint64_t DirectoryEnd() const { return view->Directory().offset + view->Directory().size; }
  // Reads the central header at minizip's position `offset` into entry; false when
  // there is none or it is cut short.
  bool ReadHeader(std::uint64_t offset, Entry& entry);
  std::string scratch[3];   // ReadHeader's name, extra field and comment
};

bool CZipReader::Archive::ReadHeader(std::uint64_t offset, Entry& entry) {
  constexpr std::size_t kCentralSize = 46;
  const std::uint64_t at = offset + static_cast<std::uint64_t>(view->Directory().bias);
  unsigned char h[kCentralSize];
  if (view->Read(at, h, kCentralSize) != kCentralSize || zipfmt::Get(h, 4) != zipfmt::kCentralSig) return false;
  const std::size_t nameLength = zipfmt::Get(h + 28, 2), extraLength = zipfmt::Get(h + 30, 2),
                    commentLength = zipfmt::Get(h + 32, 2);
  // Kept from header to header: thousands of entries need no buffers of their own.
  std::string& name = scratch[0];
  std::string& extra = scratch[1];
  std::string& comment = scratch[2];
  name.assign(nameLength, '\0');
  extra.assign(extraLength, '\0');
  comment.assign(commentLength, '\0');
  std::uint64_t from = at + kCentralSize;
  for (std::string* field : {&name, &extra, &comment}) {
    if (!field->empty() && view->Read(from, field->data(), field->size()) != field->size()) return false;
    from += field->size();
  }
  entry.offset = offset;
  entry.nameLength = nameLength;
  entry.headerEnd = offset + kCentralSize + nameLength + extraLength + commentLength;
  entry.parts.clear();
  ZipEntryInfo& info = entry.info;
  info = ZipEntryInfo{};
  info.version = zipfmt::Get(h + 4, 2);
  info.versionNeeded = zipfmt::Get(h + 6, 2);
  info.flag = zipfmt::Get(h + 8, 2);
  info.compressionMethod = zipfmt::Get(h + 10, 2);
  info.dosDate = zipfmt::Get(h + 12, 4);   // time in the low half, date in the high one
  info.crc = zipfmt::Get(h + 16, 4);
  info.compressedSize = zipfmt::Get(h + 20, 4);
  info.uncompressedSize = zipfmt::Get(h + 24, 4);
  info.diskNumStart = zipfmt::Get(h + 34, 2);
  info.internalAttributes = zipfmt::Get(h + 36, 2);
  info.externalAttributes = zipfmt::Get(h + 38, 4);
  info.localOffset = zipfmt::Get(h + 42, 4);
  info.zip64Offset = info.localOffset == zipfmt::kMax32;
  info.zip64Sizes = info.compressedSize == zipfmt::kMax32 || info.uncompressedSize == zipfmt::kMax32;
  const bool sizesKnown = zipfmt::ApplyZip64Extra(extra, info.uncompressedSize, info.compressedSize, info.localOffset);
  const unsigned long date = info.dosDate >> 16, time = info.dosDate & 0xFFFF;
  info.second = static_cast<int>(2 * (time & 0x1F));
  info.minute = static_cast<int>((time >> 5) & 0x3F);
  info.hour = static_cast<int>(time >> 11);
  info.day = static_cast<int>(date & 0x1F);
  info.month = static_cast<int>((date >> 5) & 0xF) - 1;
  info.year = static_cast<int>(date >> 9) + 1980;
  const bool utf8 = (info.flag & kZipFlagUtf8) != 0;
  DecodeZipEntryName(comment, utf8, info.comment);

  ZipNameProblem problem = DecodeZipEntryName(name, utf8, info.name);
  if (problem != ZipNameProblem::None) info.name = hv::FromCp1252(name);
  info.name.Replace(wxS("/"), wxS("\\"));
  info.folder = (info.externalAttributes & kZipAttrFolder) != 0 || info.name.EndsWith(wxS("\\"));
  if (problem == ZipNameProblem::None) problem = SplitZipEntryName(info.name, entry.parts);
  const unsigned long type = (info.externalAttributes >> 16) & kModeTypeMask;
  if (problem != ZipNameProblem::None)
    info.problem = DescribeZipNameProblem(problem);
  else if (type != 0 && type != kModeFile && type != kModeFolder)
    info.problem = hv::LocalString(10872, wxS("symbolische Verknüpfung oder Spezialdatei"));
  else if (!info.folder && (info.flag & kZipFlagEncrypted))
    info.problem = hv::LocalString(10873, wxS("verschlüsselter Eintrag"));
  else if (!info.folder && info.compressionMethod != 0 && info.compressionMethod != Z_DEFLATED)
    info.problem =
        wxString::Format(hv::LocalString(10874, wxS("unbekannte Kompressionsmethode %lu")), info.compressionMethod);
  else if (!sizesKnown)
    info.problem = hv::LocalString(10875, wxS("Zip64-Feld zu kurz"));
  entry.keys.clear();
  if (!info.problem.empty()) entry.parts.clear();
  entry.keys.reserve(entry.parts.size());
  for (const wxString& part : entry.parts) entry.keys.push_back(NameKey(part));
  return true;
}

CZipReader::CZipReader() = default;

CZipReader::~CZipReader() { CloseZip(); }

void CZipReader::Fail(const wxString& entry, const wxString& text) {
  std::lock_guard lock(m_errorsMutex);
  m_errors.push_back(entry.empty() ? text : entry + ": " + text);
}

BOOL CZipReader::SetProjectFolder(const wxString& folder) {
  const wxString name = hv::StripOneTrailingSeparator(folder);
  if (CheckZipNameComponent(name) != ZipNameProblem::None) return FALSE;
  m_oldFolderName = name;
  m_oldFolderKey = NameKey(name);
  m_newFolderName.clear();
  m_newFolderKey.clear();
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
  m_oldFolderKey = NameKey(from);
  m_newFolderName = to;
  m_newFolderKey = NameKey(to);
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
  m_hourStarts.clear();   // the zone may have changed since the last archive
  m_lanes.clear();
  if (archivePath.empty()) return FALSE;
  const wxString absolute = hv::ResolvePath(AbsoluteLocalPath(archivePath));
  if (absolute.empty()) return FALSE;
  auto archive = std::make_unique<Archive>();
  archive->fd = open(hv::ToFs(absolute).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  wxString why;
  if (archive->fd < 0 || fstat(archive->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = archive->fd < 0 ? ErrnoText() : hv::LocalString(10876, wxS("keine Datei"));
  } else {
    archive->source = std::make_unique<zipfmt::FileSource>(archive->fd, static_cast<std::uint64_t>(st.st_size));
    archive->view = std::make_unique<zipfmt::ReadView>(*archive->source, zipfmt::LocateDirectory(*archive->source));
    archive->unz = unzOpen2_64(hv::ToFs(absolute).c_str(), archive->view->Functions());
    if (!archive->unz) why = hv::LocalString(10877, wxS("kein Zentralverzeichnis"));
    else if (archive->view->Directory().disagree) why = hv::LocalString(10878, wxS("Endsätze widersprechen sich"));
  }
  if (!why.empty()) {
    const wxString format = hv::LocalString(10879, wxS("kein gültiges oder ein unvollständiges Zip-Archiv (%s)"));
    Fail(absolute, wxString::Format(format, why));
    return FALSE;
  }
  m_damagedListed = false;
  m_archive = std::move(archive);
  GotoFirstFile();
  m_output = hv::PathFolder(absolute);
  return TRUE;
}

void CZipReader::ForgetFolder() {
  m_lastFolder.reset();
  m_lastFolderKey.clear();
}

void CZipReader::CloseZip() {
  ForgetFolder();
  m_archive.reset();
  if (m_outputFd >= 0) close(m_outputFd);
  m_outputFd = -1;
}

BOOL CZipReader::SetOutputFolder(const wxString& folder) {
  const wxString absolute = hv::StripOneTrailingSeparator(AbsoluteLocalPath(folder));
  if (absolute.empty() || !CreateFolder(absolute)) return FALSE;
  if (m_outputFd >= 0) close(m_outputFd);
  m_outputFd = -1;
  ForgetFolder();
  m_spellings.clear();
  m_output = hv::ResolvePath(absolute);
  return TRUE;
}

BOOL CZipReader::GotoFirstFile() {
  if (!m_archive) return FALSE;
  Archive& a = *m_archive;
  a.headerEnd = 0;
  a.index = 0;
  if (a.walked) return Replay(0);
  a.entries.clear();
  a.positioned = false;
  const zipfmt::Located& dir = a.view->Directory();
  // A central header takes at least 46 bytes, and the directory lies in the file: a
  // crafted Zip64 count and size cannot make this reserve more than the file could hold,
  // nor a big file with a damaged count more than a quarter million entries (more grow).
  const std::uint64_t held = std::min<std::uint64_t>(dir.size, a.source->Size()) / 46 + 1;
  a.entries.reserve(static_cast<std::size_t>(std::min<std::uint64_t>({dir.count, held, std::uint64_t{1} << 18})));
  if (dir.count == 0) {
    if (dir.size != 0) Damaged();
    return WalkEnded(dir.size != 0);
  }
  Archive::Entry first;
  if (!a.ReadHeader(dir.offset, first)) {
    // Entries stated but none found (a directory not where the end records say).
    Damaged();
    return WalkEnded(true);
  }
  a.headerEnd = first.headerEnd;
  a.entries.push_back(std::move(first));
  return TRUE;
}

BOOL CZipReader::GotoNextFile() {
  if (!m_archive || m_archive->headerEnd == 0) return FALSE;
  Archive& a = *m_archive;
  if (a.walked) return Replay(a.index + 1);
  const std::uint64_t before = a.headerEnd;
  a.headerEnd = 0;
  a.positioned = false;
  // The count is taken as stated, 65,535 as well: minizip would read on after it.
  if (a.index + 1 >= a.view->Directory().count) {
    // The last entry must end where the directory does.
    const bool damaged = before != a.DirectoryEnd();
    if (damaged) Damaged();
    return WalkEnded(damaged);
  }
  Archive::Entry next;
  if (!a.ReadHeader(before, next)) {
    // A damaged directory or one with fewer entries than stated must not look like its end.
    Damaged();
    return WalkEnded(true);
  }
  ++a.index;
  a.headerEnd = next.headerEnd;
  a.entries.push_back(std::move(next));
  return TRUE;
}

BOOL CZipReader::WalkEnded(bool damaged) {
  Archive& a = *m_archive;
  a.walked = true;
  a.walkDamaged = damaged;
  return FALSE;
}

BOOL CZipReader::Replay(std::uint64_t index) {
  Archive& a = *m_archive;
  a.headerEnd = 0;
  a.positioned = false;
  if (index >= a.entries.size()) {
    if (a.walkDamaged) Damaged();
    return FALSE;
  }
  a.index = index;
  a.headerEnd = a.entries[index].headerEnd;
  return TRUE;
}

bool CZipReader::Position() {
  Archive& a = *m_archive;
  if (a.positioned) return true;
  if (a.headerEnd == 0 || a.index >= a.entries.size() ||
      unzSetOffset64(a.unz, a.entries[a.index].offset) != UNZ_OK)
    return false;
  a.positioned = true;
  return true;
}

void CZipReader::Damaged() {
  if (!m_damagedListed) Fail(wxString(), hv::LocalString(10880, wxS("Archiv beschädigt")));
  m_damagedListed = true;
}

BOOL CZipReader::GetFileInfo(ZipEntryInfo& info) {
  const ZipEntryInfo* current = CurrentEntry();
  info = current ? *current : ZipEntryInfo{};
  return current ? TRUE : FALSE;
}

const ZipEntryInfo* CZipReader::CurrentEntry(const std::vector<wxString>** parts,
                                             const std::vector<std::string>** keys) const {
  if (!m_archive || m_archive->headerEnd == 0 || m_archive->index >= m_archive->entries.size()) return nullptr;
  const Archive::Entry& entry = m_archive->entries[m_archive->index];
  if (parts) *parts = &entry.parts;
  if (keys) *keys = &entry.keys;
  return &entry.info;
}

void CZipReader::CountFiles() {
  m_totalFiles = 0;
  for (BOOL ok = GotoFirstFile(); ok; ok = GotoNextFile())
    if (const ZipEntryInfo* info = CurrentEntry(); info && !info->folder) ++m_totalFiles;
}

BOOL CZipReader::FindProjectFolder(wxString* folderName) {
  wxString project;
  std::string projectKey;
  for (BOOL ok = GotoFirstFile(); ok; ok = GotoNextFile()) {
    const std::vector<wxString>* parts = nullptr;
    const std::vector<std::string>* keys = nullptr;
    const ZipEntryInfo* info = CurrentEntry(&parts, &keys);
    if (!info) return FALSE;
    const bool valid = info->problem.empty();
    if (project.empty()) {
      if (!info->folder) continue;
      // Only the first folder counts, and it must be one plain folder name.
      if (!valid || parts->size() != 1) return FALSE;
      project = (*parts)[0];
      projectKey = (*keys)[0];
      if (folderName) *folderName = project + "\\";
      continue;
    }
    if (valid && !info->folder && keys->size() == 2 && (*keys)[1] == "project.set" && (*keys)[0] == projectKey)
      return TRUE;
  }
  return FALSE;
}

BOOL CZipReader::ValidateEntries() {
  if (!m_archive) return FALSE;
  const size_t before = m_errors.size();
  std::unordered_map<std::string, bool> seen;   // key -> is a folder
  seen.reserve(m_archive->entries.size() * 2);
  std::vector<std::string> keys;
  std::string lastFolder;   // a folder's files follow each other: its keys are in already
  for (BOOL ok = GotoFirstFile(); ok; ok = GotoNextFile()) {
    const std::vector<wxString>* parts = nullptr;
    const std::vector<std::string>* names = nullptr;
    const ZipEntryInfo* info = CurrentEntry(&parts, &names);
    if (!info) {
      Fail(wxString(), hv::LocalString(10880, wxS("Archiv beschädigt")));
      break;
    }
    if (!info->problem.empty()) {
      Fail(info->name, info->problem);
      continue;
    }
    PrefixKeys(*names, nullptr, keys);
    const size_t folders = info->folder ? parts->size() : parts->size() - 1;
    bool clash = false;
    if (info->folder || keys[folders] != lastFolder) {
      for (size_t i = 1; i <= folders; ++i) {
        auto [it, added] = seen.emplace(keys[i], true);
        if (!it->second) clash = true;
      }
      lastFolder = clash ? std::string() : keys[folders];
    }
    if (!info->folder) {
      auto [it, added] = seen.emplace(keys[parts->size()], false);
      if (!added) clash = true;
    }
    if (clash) Fail(info->name, TwiceText());
  }
  return m_errors.size() == before ? TRUE : FALSE;
}

const std::vector<wxString>* CZipReader::TargetParts(const ZipEntryInfo& info, const std::vector<wxString>& split,
                                                     const std::vector<std::string>& names,
                                                     std::vector<std::string>& keys, bool& skipped) {
  skipped = false;
  if (split.empty() || names.size() != split.size()) return nullptr;
  if (!m_oldFolderName.empty()) {
    // Only the project folder is restored; a crafted archive's other top-level entries
    // must neither merge into it nor land beside it.
    if (names[0] != m_oldFolderKey || (split.size() == 1 && !info.folder)) {
      skipped = true;
      return nullptr;
    }
  }
  PrefixKeys(names, m_rename ? &m_newFolderKey : nullptr, keys);
  if (!m_rename) return &split;
  m_parts = split;
  m_parts[0] = m_newFolderName;
  return &m_parts;
}

std::string CZipReader::FindSpelling(int dirFd, const std::string& folderKey, const wxString& name,
                                     const std::string& nameKey) {
  // A folder listed once (or made here) is known with every name written into it since:
  // no look at the disk, which would wait for the threads creating files in it.
  const std::string exact = hv::ToFs(name);
  struct stat st;
  auto it = m_spellings.find(folderKey);
  if (it == m_spellings.end()) {
    if (fstatat(dirFd, exact.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return exact;
    Spellings names;
    const int copy = dup(dirFd);
    if (DIR* d = copy >= 0 ? fdopendir(copy) : nullptr) {
      while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        const wxString n = hv::FromFs(e->d_name);
        if (n.empty()) continue;
        auto [at, added] = names.emplace(NameKey(n), e->d_name);
        if (!added && at->second > e->d_name) at->second = e->d_name;   // stable choice
      }
      closedir(d);
    } else if (copy >= 0) {
      close(copy);
    }
    it = m_spellings.emplace(folderKey, std::move(names)).first;
  }
  auto found = it->second.find(nameKey);
  if (found == it->second.end()) return std::string();
  // A listed folder may hold the name in several spellings: the exact one wins.
  if (found->second != exact && fstatat(dirFd, exact.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return exact;
  return found->second;
}

void CZipReader::Remember(const std::string& folderKey, const std::string& nameKey, const std::string& actual) {
  auto it = m_spellings.find(folderKey);
  if (it == m_spellings.end()) return;
  if (actual.empty()) it->second.erase(nameKey);
  else it->second[nameKey] = actual;
}

namespace {

// ext4 places a new folder's files in its parent's block group, so all of a restore
// would share one group, whose inode search the pool threads then race for. A folder
// marked as a top folder gets its sub-folders placed in groups of their own.
bool SetTopFolderMark(int fd, bool on) {
  int flags = 0;
  if (ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) return false;
  const int wanted = on ? (flags | FS_TOPDIR_FL) : (flags & ~FS_TOPDIR_FL);
  return wanted == flags || ioctl(fd, FS_IOC_SETFLAGS, &wanted) == 0;
}

}  // namespace

int CZipReader::OpenFolders(const std::vector<wxString>& parts, const std::vector<std::string>& keys, size_t count,
                            const wxString& entry) {
  int fd = dup(m_outputFd);
  if (fd < 0) {
    Fail(entry, ErrnoText());
    return -1;
  }
  std::string relative;
  for (size_t i = 0; i < count; ++i) {
    const std::string& key = keys[i];
    const std::string nameKey = keys[i + 1].substr(key.size() + 1);
    std::string actual = FindSpelling(fd, key, parts[i], nameKey);
    bool made = false;
    if (actual.empty()) {
      actual = hv::ToFs(parts[i]);
      made = mkdirat(fd, actual.c_str(), 0777) == 0;
      if (!made && errno != EEXIST) {
        Fail(entry, WithErrno(10882, wxS("Verzeichnis kann nicht angelegt werden: %s")));
        close(fd);
        return -1;
      }
      Remember(key, nameKey, actual);
      // A folder made here is empty: what goes into it is remembered as it is written.
      if (made) m_spellings.emplace(keys[i + 1], Spellings());
    }
    // O_NOFOLLOW: a link already in the output folder must not carry files elsewhere.
    const int next = openat(fd, actual.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    // Not ext4, or not allowed: nothing to take off later. A mark is taken off through the
    // folder's path, so none is set where that path is too long to be opened in one go.
    if (next >= 0 && made && m_spreadFolders && relative.size() + actual.size() < PATH_MAX &&
        SetTopFolderMark(next, true))
      m_marked.push_back(relative + actual);
    relative += actual + "/";
    close(fd);
    if (next < 0) {
      errno = error;
      Fail(entry, (error == ELOOP || error == ENOTDIR)
                      ? hv::LocalString(10883, wxS("im Zielverzeichnis steht eine Datei oder Verknüpfung im Weg"))
                      : WithErrno(10884, wxS("Verzeichnis kann nicht geöffnet werden: %s")));
      return -1;
    }
    fd = next;
  }
  return fd;
}

time_t CZipReader::EntryTime(const ZipEntryInfo& info) {
  const std::uint32_t key = (static_cast<std::uint32_t>(info.year) << 20) | (static_cast<std::uint32_t>(info.month) << 15) |
                            (static_cast<std::uint32_t>(info.day) << 8) | static_cast<std::uint32_t>(info.hour & 0xFF);
  auto [it, added] = m_hourStarts.emplace(key, 0);
  if (added) it->second = HourStart(info);
  return it->second == static_cast<time_t>(-1) ? it->second : it->second + info.minute * 60 + info.second;
}

// A folder's descriptor, shared by the files written into it on the pool's threads;
// closed after the last of them.
struct CZipReader::FolderFd {
  explicit FolderFd(int f) : fd(f) {}
  ~FolderFd() { close(fd); }
  FolderFd(const FolderFd&) = delete;
  FolderFd& operator=(const FolderFd&) = delete;
  const int fd;
};

bool CZipReader::ExtractFile(const ZipEntryInfo& info, const std::vector<wxString>& parts, ZipTaskPool* pool) {
  const std::string& fileKey = m_keys[parts.size()];
  if (m_extracted.count(fileKey)) {
    Fail(info.name, TwiceText());
    return false;
  }
  const std::string& folderKey = m_keys[parts.size() - 1];
  // Files of one folder follow each other: its descriptor is kept for the next.
  if (!m_lastFolder || folderKey != m_lastFolderKey) {
    ForgetFolder();
    // A folder made ahead is opened in one step.
    const auto ahead = m_madeAhead.find(folderKey);
    int fd = ahead == m_madeAhead.end()
                 ? -1
                 : openat(m_outputFd, ahead->second.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) fd = OpenFolders(parts, m_keys, parts.size() - 1, info.name);
    if (fd < 0) return false;
    m_lastFolder = std::make_shared<FolderFd>(fd);
    m_lastFolderKey = folderKey;
  }
  const std::shared_ptr<FolderFd> dir = m_lastFolder;
  const std::string nameKey = fileKey.substr(folderKey.size() + 1);
  std::string actual = FindSpelling(dir->fd, folderKey, parts.back(), nameKey);
  const bool created = actual.empty();
  if (created) actual = hv::ToFs(parts.back());

  if (pool && info.compressedSize <= kInMemory) {
    // The local header is checked here, in archive order; the data are read, and the
    // file made, written and checked, on a pool thread (creating files costs the file
    // system more than writing them). The data are read whole, without minizip, which
    // would check the local header once more, set up a buffer and read in 16 KiB steps.
    struct Job {
      wxString name;
      std::uint64_t size;
      std::uint32_t crc;
      bool deflated;
      std::shared_ptr<FolderFd> dir;
      std::string actual;
      time_t when;
      const zipfmt::FileSource* source;
      std::uint64_t at, stored;   // where the data start, and how many bytes
    };
    wxString why;
    std::uint64_t at = 0;
    if (!DataStart(info, at, why)) {
      Fail(info.name, why);
      return false;
    }
    auto job = std::make_shared<Job>(Job{info.name, info.uncompressedSize, static_cast<std::uint32_t>(info.crc),
                                         info.compressionMethod == Z_DEFLATED, dir, actual, EntryTime(info),
                                         m_archive->source.get(), at, info.compressedSize});
    if (created) Remember(folderKey, nameKey, actual);
    m_extracted.insert(fileKey);
    int lane = -1;
    if (info.uncompressedSize <= kLaneMax) {
      auto [it, added] = m_lanes.emplace(folderKey, 0);
      if (added) it->second = static_cast<int>(m_lanes.size() - 1) % static_cast<int>(pool->Threads());
      lane = it->second;
    }
    pool->Submit(static_cast<std::size_t>(info.compressedSize), [this, job](ZipInflateStream& stream) {
      const Job& j = *job;
      // Each thread keeps its buffer: the data are not allocated on one thread and freed
      // on another, thousands of times.
      thread_local std::vector<unsigned char> raw;
      if (raw.size() < j.stored) raw.resize(static_cast<std::size_t>(j.stored));
      if (j.stored != 0 && !j.source->ReadAt(j.at, raw.data(), static_cast<std::size_t>(j.stored))) {
        Fail(j.name, hv::LocalString(10862, wxS("Daten im Archiv unvollständig")));
        return;
      }
      const int fd = openat(j.dir->fd, j.actual.c_str(), kCreateFlags, 0666);
      if (fd < 0) {
        OpenFailed(j.name, errno);
        FinishFile(j.name, j.dir->fd, -1, j.actual, false, true, wxString(), j.when);
        return;
      }
      wxString why;
      ZipFileSink sink(fd, j.size, j.crc, m_owner);
      const bool ok = ZipExtractBuffer(raw.data(), static_cast<std::size_t>(j.stored), j.deflated, stream, sink, why);
      FinishFile(j.name, j.dir->fd, fd, j.actual, ok, false, why, j.when);
      // A big entry's buffer is not kept for the rest of the restore.
      if (raw.size() > kLaneMax) raw = std::vector<unsigned char>();
    }, lane);
    return true;
  }
  // The pool's threads go on with what they have while this one streams the entry.
  if (pool) pool->Flush();
  const int fd = openat(dir->fd, actual.c_str(), kCreateFlags, 0666);
  if (fd < 0) {
    OpenFailed(info.name, errno);
    return false;
  }
  if (created) Remember(folderKey, nameKey, actual);
  m_extracted.insert(fileKey);
  bool cancelled = false;
  wxString why;
  const bool ok = CopyEntryData(info, fd, cancelled, why);
  return FinishFile(info.name, dir->fd, fd, actual, ok, cancelled, why, EntryTime(info));
}

void CZipReader::OpenFailed(const wxString& name, int error) {
  Fail(name, error == ELOOP ? hv::LocalString(10885, wxS("im Zielverzeichnis steht eine Verknüpfung im Weg"))
                            : wxString::Format(hv::LocalString(10886, wxS("Datei kann nicht angelegt werden: %s")),
                                               hv::FromUtf8(std::strerror(error))));
}

bool CZipReader::FinishFile(const wxString& name, int dir, int fd, const std::string& actual, bool ok,
                            bool cancelled, wxString why, time_t when) {
  if (fd < 0) return false;   // it could not even be made (already reported)
  if (ok && when != static_cast<time_t>(-1)) {
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    futimens(fd, times);
  }
  if (close(fd) != 0 && ok) {
    ok = false;
    why = WithErrno(10861, wxS("Schreibfehler: %s"));
  }
  // No partly written file is left behind (a failed restore discards all of them anyway).
  if (!ok) unlinkat(dir, actual.c_str(), 0);
  if (!ok && !cancelled) Fail(name, why);
  if (m_totalFiles != 0) {
    const int done = ++m_filesDone;
    if (m_owner) m_owner->Report(name, done, m_totalFiles);
  }
  return ok;
}

bool CZipReader::DataStart(const ZipEntryInfo& info, std::uint64_t& at, wxString& why) {
  const Archive& a = *m_archive;
  const zipfmt::ReadView& view = *a.view;
  const std::uint64_t header = info.localOffset + static_cast<std::uint64_t>(view.Directory().bias);
  zipfmt::LocalHeader local;
  // What minizip would check as well: the method and the name's length agree.
  if (!zipfmt::ReadLocalHeader(view.Raw(), header, view.Size(), local) ||
      !zipfmt::LocalAgrees(local, static_cast<std::uint32_t>(info.crc), info.compressedSize, info.uncompressedSize) ||
      local.method != info.compressionMethod || a.index >= a.entries.size() ||
      local.nameLength != a.entries[a.index].nameLength) {
    why = hv::LocalString(10887, wxS("Daten im Archiv beschädigt (lokaler Kopf)"));
    return false;
  }
  at = local.dataAt;
  return true;
}

bool CZipReader::OpenRaw(const ZipEntryInfo& info, wxString& why) {
  Archive& a = *m_archive;
  if (!Position()) {
    why = hv::LocalString(10880, wxS("Archiv beschädigt"));
    return false;
  }
  zipfmt::ReadView& view = *a.view;
  // The local header is checked here against the directory's values; minizip cannot
  // where they are only in Zip64 fields.
  std::uint64_t dataAt = 0;
  if (!DataStart(info, dataAt, why)) return false;
  const std::uint64_t at = info.localOffset + static_cast<std::uint64_t>(view.Directory().bias);
  // minizip sees all ones for sizes the directory holds only in its Zip64 field, and
  // compares them with the local header's: it is shown all ones there too.
  if (info.zip64Sizes) view.PatchEntry(at + 18, std::string(8, '\xFF'));
  // An entry past 4 GiB: minizip looks for its header at the all-ones offset.
  if (info.zip64Offset) view.Redirect(info.localOffset);
  int method = 0, level = 0;
  if (unzOpenCurrentFile2(a.unz, &method, &level, 1) != UNZ_OK) {
    CloseRaw();
    why = hv::LocalString(10887, wxS("Daten im Archiv beschädigt (lokaler Kopf)"));
    return false;
  }
  a.rawLeft = info.compressedSize;
  // minizip would count the reads of such an entry's data against all ones and read
  // past the data (and past the end of the file near it): the data is read here.
  a.rawDirect = info.zip64Sizes;
  if (a.rawDirect) a.rawAt = unzGetCurrentFileZStreamPos64(a.unz);
  return true;
}

bool CZipReader::CheckLocalHeader(const ZipEntryInfo& info) {
  wxString why;
  if (!m_archive || !OpenRaw(info, why)) return false;
  CloseRaw();
  return true;
}

long CZipReader::ReadRaw(unsigned char* out, std::size_t n) {
  Archive& a = *m_archive;
  n = static_cast<std::size_t>(std::min<std::uint64_t>(n, a.rawLeft));
  if (n == 0) return 0;
  int got = a.rawDirect ? 0 : unzReadCurrentFile(a.unz, out, static_cast<unsigned>(n));
  if (got == 0) {
    // minizip stops at the 32-bit size of an entry of 4 GiB or more; the rest follows
    // where it stopped.
    if (!a.rawDirect) a.rawAt = unzGetCurrentFileZStreamPos64(a.unz);
    a.rawDirect = true;
    if (a.view->Read(a.rawAt, out, n) != n) return -1;
    a.rawAt += n;
    got = static_cast<int>(n);
  }
  if (got < 0) return -1;
  a.rawLeft -= static_cast<std::uint64_t>(got);
  return got;
}

void CZipReader::CloseRaw() {
  unzCloseCurrentFile(m_archive->unz);
  m_archive->view->ClearRedirect();
  m_archive->view->ClearEntryPatch();
}

bool CZipReader::CopyEntryData(const ZipEntryInfo& info, int fd, bool& cancelled, wxString& why) {
  if (!OpenRaw(info, why)) return false;
  const bool deflated = info.compressionMethod == Z_DEFLATED;
  ZipInflateStream& stream = m_archive->stream;
  if (deflated && !stream.Begin()) {
    CloseRaw();
    why = hv::LocalString(10864, wxS("Speicher reicht nicht"));
    return false;
  }
  ZipFileSink sink(fd, info.uncompressedSize, static_cast<std::uint32_t>(info.crc), m_owner);
  std::vector<unsigned char>& in = m_archive->in;
  bool ended = !deflated && info.compressedSize == 0;
  bool ok = true;
  while (ok && !ended) {
    if (Cancelled()) {
      cancelled = true;
      ok = false;
      break;
    }
    const long n = ReadRaw(in.data(), in.size());
    if (n <= 0) {
      why = n < 0 ? hv::LocalString(10888, wxS("Archiv kann nicht gelesen werden"))
                   : hv::LocalString(10862, wxS("Daten im Archiv unvollständig"));
      ok = false;
    } else if (!deflated) {
      ok = sink.Put(in.data(), static_cast<std::size_t>(n), why);
      ended = m_archive->rawLeft == 0;
    } else {
      ok = stream.Feed(in.data(), static_cast<std::size_t>(n), sink, ended, why);
      if (ok && !ended && m_archive->rawLeft == 0) {
        why = hv::LocalString(10862, wxS("Daten im Archiv unvollständig"));
        ok = false;
      }
    }
  }
  CloseRaw();
  return ok && sink.Finish(why);
}

// Each new folder costs ext4 a search through its block groups (through all of them below
// a marked folder); made one by one on the reading thread, they held up the files for as
// long as the files took to write. So the folders that do not exist yet are made first,
// level by level, on the pool's threads. Only folders below the output folder or below
// one made here are planned: those need no look at the disk to know they are new. A
// folder that cannot be made is left to the entry that needs it, which reports why.
void CZipReader::MakeFoldersAhead(ZipTaskPool& pool) {
  struct Planned {
    std::string path;   // below the output folder, as made
    std::string key, parentKey, nameKey;
    size_t depth;
    bool marked = false;   // these two set on a pool thread
    bool made = false;
  };
  std::vector<Planned> plan;
  std::unordered_map<std::string, size_t> planned;   // folder key -> index in plan
  std::unordered_set<std::string> existing;          // keys of folders found on the disk
  std::vector<std::string> keys;
  std::string last;
  for (BOOL more = GotoFirstFile(); more && !Cancelled(); more = GotoNextFile()) {
    const std::vector<wxString>* split = nullptr;
    const std::vector<std::string>* names = nullptr;
    const ZipEntryInfo* info = CurrentEntry(&split, &names);
    if (!info || !info->problem.empty()) continue;
    bool skipped = false;
    const std::vector<wxString>* target = TargetParts(*info, *split, *names, keys, skipped);
    if (!target) continue;
    const std::vector<wxString>& parts = *target;
    const size_t count = info->folder ? parts.size() : parts.size() - 1;
    // A folder's files follow each other.
    if (count == 0 || keys[count] == last) continue;
    last = keys[count];
    for (size_t i = 0; i < count; ++i) {
      const std::string& key = keys[i + 1];
      if (planned.count(key) || existing.count(key)) continue;
      const auto parent = planned.find(keys[i]);
      if (i > 0 && parent == planned.end()) break;   // below a folder that was there
      std::string nameKey = key.substr(keys[i].size() + 1);
      // The output folder is looked at on the disk; a planned folder's names are known.
      std::string actual = FindSpelling(m_outputFd, keys[i], parts[i], nameKey);
      if (!actual.empty()) {
        existing.insert(key);
        break;
      }
      actual = hv::ToFs(parts[i]);
      Remember(keys[i], nameKey, actual);
      m_spellings.emplace(key, Spellings());
      std::string path = i == 0 ? actual : plan[parent->second].path + "/" + actual;
      planned.emplace(key, plan.size());
      plan.push_back(Planned{std::move(path), key, keys[i], std::move(nameKey), i, false, false});
    }
  }
  if (plan.empty()) return;
  const size_t depths = 1 + std::max_element(plan.begin(), plan.end(), [](const Planned& a, const Planned& b) {
                              return a.depth < b.depth;
                            })->depth;
  std::vector<std::vector<size_t>> levels(depths);
  for (size_t i = 0; i < plan.size(); ++i) levels[plan[i].depth].push_back(i);
  const int out = m_outputFd;
  const bool spread = m_spreadFolders;
  for (const std::vector<size_t>& level : levels) {
    // A folder whose parent could not be made is not tried.
    std::vector<size_t> todo;
    for (size_t i : level) {
      const Planned& p = plan[i];
      const auto parent = planned.find(p.parentKey);
      if (parent == planned.end() || plan[parent->second].made) todo.push_back(i);
    }
    const size_t threads = pool.Threads(), share = (todo.size() + threads - 1) / threads;
    for (size_t t = 0; t < threads && !Cancelled(); ++t) {
      const size_t from = t * share, to = std::min(todo.size(), from + share);
      if (from >= to) break;
      pool.Submit(0, [this, &plan, &todo, from, to, out, spread](ZipInflateStream&) {
        for (size_t k = from; k < to && !Cancelled(); ++k) {
          Planned& p = plan[todo[k]];
          // A failure is reported by the entry that needs the folder, which tries again.
          if (mkdirat(out, p.path.c_str(), 0777) != 0) continue;
          p.made = true;
          if (!spread) continue;
          const int fd = openat(out, p.path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
          if (fd < 0) continue;
          p.marked = SetTopFolderMark(fd, true);
          close(fd);
        }
      }, static_cast<int>(t));
    }
    pool.Wait();
  }
  for (const Planned& p : plan) {
    if (p.marked) m_marked.push_back(p.path);
    if (p.made) {
      m_madeAhead.emplace(p.key, p.path);
      continue;
    }
    // Forgotten, so that the entry's own attempt looks at the disk and says what failed.
    Remember(p.parentKey, p.nameKey, std::string());
    m_spellings.erase(p.key);
  }
}

BOOL CZipReader::UnzipFile() { return UnzipEntry(nullptr) ? TRUE : FALSE; }

void CZipReader::UnzipAll(unsigned threads) {
  // Without its output folder no entry can be written: that is said once, not for each.
  if (!m_archive || !OpenOutput()) return;
  std::unique_ptr<ZipTaskPool> pool;
  try {
    pool = std::make_unique<ZipTaskPool>(threads, kWindowBytes, kWindowTasks);
  } catch (const std::system_error&) {
    // No threads to be had: everything on this one.
  }
  // Several threads make files: the folders made are spread over the disk while they fill.
  m_spreadFolders = pool != nullptr;
  if (pool) MakeFoldersAhead(*pool);
  for (BOOL more = GotoFirstFile(); more && !Cancelled(); more = GotoNextFile()) UnzipEntry(pool.get());
  if (pool) pool->Wait();
  m_spreadFolders = false;
  // The marks go again: the folders are left as any other.
  for (const std::string& folder : m_marked) {
    const int fd = openat(m_outputFd, folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    SetTopFolderMark(fd, false);
    close(fd);
  }
  m_marked.clear();
  m_madeAhead.clear();
}

bool CZipReader::OpenOutput() {
  if (m_outputFd >= 0) return true;
  if (m_output.empty() || !CreateFolder(m_output)) {
    Fail(m_output, hv::LocalString(10889, wxS("Zielverzeichnis kann nicht angelegt werden")));
    return false;
  }
  m_outputFd = open(hv::ToFs(hv::ResolvePath(m_output)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_outputFd < 0) {
    Fail(m_output, WithErrno(10890, wxS("Zielverzeichnis kann nicht geöffnet werden: %s")));
    return false;
  }
  return true;
}

bool CZipReader::UnzipEntry(ZipTaskPool* pool) {
  if (!m_archive || Cancelled()) return false;
  if (!OpenOutput()) return false;
  const std::vector<wxString>* split = nullptr;
  const std::vector<std::string>* names = nullptr;
  const ZipEntryInfo* current = CurrentEntry(&split, &names);
  if (!current) {
    Fail(wxString(), hv::LocalString(10880, wxS("Archiv beschädigt")));
    return false;
  }
  const ZipEntryInfo& info = *current;
  if (!info.problem.empty()) {
    Fail(info.name, info.problem);
    return false;
  }
  bool skipped = false;
  const std::vector<wxString>* target = TargetParts(info, *split, *names, m_keys, skipped);
  if (!target) {
    if (!skipped) {
      Fail(info.name, hv::LocalString(10891, wxS("ungültiger Name")));
      return false;
    }
    m_skipped.push_back(info.name);
    return true;
  }
  hv::FileStep();   // each entry makes a file or folder
  if (info.folder) {
    const int fd = OpenFolders(*target, m_keys, target->size(), info.name);
    if (fd < 0) return false;
    close(fd);
    return true;
  }
  return ExtractFile(info, *target, pool);
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
