// The record of what was sent to a device ("FTPSENT.LST") and the device's LIST lines,
// read together as the next transfer reads them. Each input plays a transfer: files are
// sent and noted as a plain server (no MLSD, no MFMT, no MDTM) lists them in DOS or Unix
// form, the record is damaged (or replaced by other bytes), files change here or on the
// device, and the next transfer chooses what to send. It never leaves out a file that
// differs: one not sent before, changed here, or listed otherwise than right after it was
// sent, nor any file when the record was made for another login. With an intact record
// it leaves out every file that is as it was sent.
//
// Input: flags, the planned files with their sizes and times then and now, edits of the
// record's bytes (or its whole text), and stray listing lines; each field read in turn,
// zero when the input ends.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "build/FtpTransfer.h"
#include "platform/Codec.h"
#include "platform/FtpClient.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

// The clock the Unix lines without a year are placed by: 2026-03-15 12:00 UTC.
constexpr std::time_t kNow = 1773576000;

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  std::uint64_t Bytes(int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<std::uint64_t>(at < size ? data[at++] : 0) << (8 * i);
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Bytes(1)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Bytes(4)); }
  std::int64_t I64() { return static_cast<std::int64_t>(Bytes(8)); }
  std::string Text(std::size_t n) {
    std::string s;
    while (n-- > 0 && at < size) s += static_cast<char>(data[at++]);
    return s;
  }
  std::string Rest() { return Text(size - at); }
};

// Remote paths below the login folder: shared beginnings, a name that begins another,
// blanks and letters beyond ASCII, three folders.
const char* const kPaths[] = {
    "Flashdisk/web/index.htm",          "Flashdisk/web/p1.htm",
    "Flashdisk/web/p1.htm.bak",         "Flashdisk/web/Neue Seite.htm",
    ("Flashdisk/web/\xc3\x9c" "bersicht.htm"), "Flashdisk/web/bilder/logo.bmp",
    "Flashdisk/web/bilder/logo.bmp1",   "webzarn.bin",
};
constexpr int kFiles = 8;

// How the server lists: DOS with AM/PM and two-digit years, DOS with 24 hours and four
// digits, Unix within the last half year (time of day), Unix without the group, Unix
// with the year (no time of day).
enum Style { kDos12, kDos24, kUnixRecent, kUnixNoGroup, kUnixYear, kStyles };

// A device's file: listed with a size and a time in minutes.
struct DeviceFile {
  bool present = false;
  std::uint64_t size = 0;
  std::time_t time = 0;
};

std::time_t DeviceTime(Style style, std::uint32_t minutes) {
  switch (style) {
    case kDos12:  // 1970 to 2069, as two-digit years read
    case kDos24: return static_cast<std::time_t>(minutes % (52594560u)) * 60;
    case kUnixRecent:
    case kUnixNoGroup: return kNow - static_cast<std::time_t>(minutes % (180u * 1440u)) * 60;
    default: return static_cast<std::time_t>(minutes % (55u * 525600u)) * 60;
  }
}

std::string ListLine(Style style, const DeviceFile& f, const std::string& name) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm t{};
  gmtime_r(&f.time, &t);
  const auto size = static_cast<unsigned long long>(f.size);
  char line[512];
  switch (style) {
    case kDos12: {
      const int hour = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
      std::snprintf(line, sizeof line, "%02d-%02d-%02d  %02d:%02d%s %20llu %s", t.tm_mon + 1, t.tm_mday,
                    t.tm_year % 100, hour, t.tm_min, t.tm_hour < 12 ? "AM" : "PM", size, name.c_str());
      break;
    }
    case kDos24:
      std::snprintf(line, sizeof line, "%02d-%02d-%04d  %02d:%02d %20llu %s", t.tm_mon + 1, t.tm_mday,
                    t.tm_year + 1900, t.tm_hour, t.tm_min, size, name.c_str());
      break;
    case kUnixRecent:
      std::snprintf(line, sizeof line, "-rw-r--r--    1 panel    users    %10llu %s %2d %02d:%02d %s", size,
                    kMonths[t.tm_mon], t.tm_mday, t.tm_hour, t.tm_min, name.c_str());
      break;
    case kUnixNoGroup:
      std::snprintf(line, sizeof line, "-rw-r--r-- 1 ftp %llu %s %d %02d:%02d %s", size, kMonths[t.tm_mon],
                    t.tm_mday, t.tm_hour, t.tm_min, name.c_str());
      break;
    default:
      std::snprintf(line, sizeof line, "-rw-r--r--    1 panel    users    %10llu %s %2d  %04d %s", size,
                    kMonths[t.tm_mon], t.tm_mday, t.tm_year + 1900, name.c_str());
      break;
  }
  return line;
}

wxString FolderOf(const wxString& path) { return path.Contains("/") ? path.BeforeLast('/') : wxString(); }

// A plain server: LIST lines per folder, taken apart as the client takes them; no MDTM.
class ListingServer : public hv::FtpFileLister {
 public:
  std::map<wxString, std::vector<std::string>> lines;

  hv::FtpResult List(const wxString& folder, std::vector<hv::FtpRemoteEntry>& entries) override {
    entries.clear();
    const auto it = lines.find(folder);
    if (it == lines.end()) return {};
    for (const std::string& raw : it->second) {
      wxString line = hv::FromUtf8(raw);
      line.Trim(true);
      hv::FtpRemoteEntry e;
      if (hv::ParseListLine(line, e, kNow)) entries.push_back(e);
    }
    return {};
  }
  hv::FtpResult Stat(const wxString&, hv::FtpRemoteEntry& entry, bool& found) override {
    entry = hv::FtpRemoteEntry{};
    found = false;
    return {};
  }
  bool MdtmWorks() const override { return false; }
};

struct File {
  int index = 0;
  bool sent = false;
  FtpFileJob then, now;
  DeviceFile before, after;   // on the device right after the transfer, and now
};

void Fail(const char* what, const File& f, const std::string& record) {
  std::fprintf(stderr, "%s: %s\nrecord:\n%s\n", what, kPaths[f.index], record.c_str());
  std::abort();
}

// One folder per process, in memory where the system has one: the record is saved as the
// program saves it, with a flush each time, which costs little there.
struct Work {
  fs::path root;
  Work() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    root = base / ("hv_ftp_sent_fuzz_" + std::to_string(getpid()));
    fs::create_directories(root);
  }
  ~Work() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

const fs::path& Folder() {
  static const Work work;
  return work.root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in{data, size};
  const std::uint8_t flags = in.U8();
  const auto style = static_cast<Style>((flags & 7) % kStyles);
  const bool otherLogin = flags & 8;
  const bool wholeText = flags & 16;
  std::uint8_t planned = in.U8();
  if (!planned) planned = 1;

  std::vector<File> files;
  for (int i = 0; i < kFiles; ++i) {
    if (!(planned & (1u << i))) continue;
    File f;
    f.index = i;
    const std::uint8_t how = in.U8();
    f.sent = how & 1;
    const wxString remote = hv::FromUtf8(kPaths[i]);
    f.then = FtpFileJob{wxS("/local/") + remote, remote, remote, in.U32(), static_cast<std::time_t>(in.I64())};
    f.now = f.then;
    if (how & 2) {
      f.now.size = in.U32();
      f.now.modified = static_cast<std::time_t>(in.I64());
    }
    // A file not sent may be on the device all the same, from elsewhere.
    f.before.present = f.sent || (how & 16);
    f.before.size = f.sent ? f.then.size : in.U32();
    f.before.time = DeviceTime(style, in.U32());
    f.after = f.before;
    if (how & 4) {
      f.after.present = !(how & 8);
      f.after.size = in.U32();
      f.after.time = DeviceTime(style, in.U32());
    }
    files.push_back(f);
  }

  // The transfer: what was sent, noted as the server listed it then.
  ListingServer then, now;
  std::vector<FtpFileJob> sent;
  std::map<int, std::string> linesThen, linesNow;
  for (const File& f : files) {
    const wxString remote = f.then.remotePath;
    const std::string name = hv::ToUtf8(remote.AfterLast('/'));
    if (f.before.present) then.lines[FolderOf(remote)].push_back(linesThen[f.index] = ListLine(style, f.before, name));
    if (f.after.present) now.lines[FolderOf(remote)].push_back(linesNow[f.index] = ListLine(style, f.after, name));
    if (f.sent) sent.push_back(f.then);
  }
  const fs::path path = Folder() / "FTPSENT.LST";
  const wxString recordPath = hv::FromFs(path.string());
  const wxString identity = wxS("192.168.0.5:21 panel");
  FtpSentRecord made(recordPath, identity);
  NoteSentFiles(sent, then, made);
  if (!made.Save()) return 0;
  std::string intact;
  if (!hv::ReadFileBytes(recordPath, intact)) return 0;

  // The damage: bytes set, cut out, put in, or the end lost; or other text altogether.
  std::string record = intact;
  const int edits = in.U8() % 8;
  for (int e = 0; e < edits; ++e) {
    const std::uint8_t kind = in.U8();
    const std::size_t at = record.empty() ? 0 : in.Bytes(2) % (record.size() + 1);
    const std::size_t n = in.U8() % 16;
    switch (kind % 4) {
      case 0:
        if (at < record.size()) record[at] = static_cast<char>(in.U8());
        break;
      case 1: record.erase(at, n); break;
      case 2: record.insert(at, in.Text(n)); break;
      default: record.resize(at); break;
    }
  }
  // Stray lines in the listings: other files, or no files at all.
  const int strays = in.U8() % 4;
  for (int s = 0; s < strays; ++s) {
    const std::uint8_t folder = in.U8();
    const std::string line = in.Text(in.U8());
    hv::FtpRemoteEntry e;
    bool named = false;
    if (hv::ParseListLine(hv::FromUtf8(line).Trim(true), e, kNow))
      for (const char* p : kPaths) named = named || hv::FromUtf8(p).AfterLast('/') == e.name;
    if (!named) now.lines[folder % 2 ? wxS("Flashdisk/web") : wxS("Flashdisk/web/bilder")].push_back(line);
  }
  if (wholeText) record = in.Rest();
  {
    std::error_code ec;
    fs::remove(path, ec);
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
      const bool written = record.empty() || std::fwrite(record.data(), 1, record.size(), out) == record.size();
      std::fclose(out);
      if (!written) return 0;
    }
  }

  // The next transfer.
  const FtpSentRecord loaded = FtpSentRecord::Load(recordPath, otherLogin ? wxS("192.168.0.6:21 panel") : identity);
  std::vector<FtpFileJob> plannedNow;
  for (const File& f : files) plannedNow.push_back(f.now);
  hv::FtpResult failure;
  const std::vector<FtpFileJob> changed = ChangedFiles(plannedNow, now, failure, &loaded);
  if (!failure.Ok()) Fail("listing failed", files.front(), record);
  std::set<wxString> toSend;
  for (const FtpFileJob& f : changed) toSend.insert(f.remotePath);

  for (const File& f : files) {
    const bool same = f.sent && !otherLogin && f.now.size == f.then.size && f.now.modified == f.then.modified &&
                      f.after.present && linesNow[f.index] == linesThen[f.index];
    const bool left = toSend.count(f.now.remotePath) == 0;
    if (left && !same) Fail("a file that differs was left out", f, record);
    if (!left && same && record == intact && made.Find(f.now.remotePath))
      Fail("a file the intact record shows as sent was sent again", f, record);
  }
  return 0;
}
