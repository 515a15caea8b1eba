// Lines of FTP folder listings: MLSD (machine-readable, exact times in UTC) and the
// free LIST forms of Unix and DOS servers.
#include <ctime>
#include <vector>

#include "platform/FtpClient.h"

#include <wx/arrstr.h>

namespace hv {

namespace {

bool Digits(const wxString& text) {
  if (text.empty()) return false;
  for (wxUniChar c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// "YYYYMMDDHHMMSS" with an optional fraction, in UTC.
std::time_t MlsdTime(const wxString& text) {
  const wxString whole = text.BeforeFirst('.');
  if (whole.length() != 14 || !Digits(whole)) return 0;
  long v[6] = {};
  const int widths[6] = {4, 2, 2, 2, 2, 2};
  size_t at = 0;
  for (int i = 0; i < 6; ++i) {
    whole.Mid(at, static_cast<size_t>(widths[i])).ToLong(&v[i]);
    at += static_cast<size_t>(widths[i]);
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59 || v[5] > 60) return 0;
  std::tm tm{};
  tm.tm_year = static_cast<int>(v[0]) - 1900;
  tm.tm_mon = static_cast<int>(v[1]) - 1;
  tm.tm_mday = static_cast<int>(v[2]);
  tm.tm_hour = static_cast<int>(v[3]);
  tm.tm_min = static_cast<int>(v[4]);
  tm.tm_sec = static_cast<int>(v[5]);
  return timegm(&tm);
}

}  // namespace

namespace {

// One blank-separated field of a line: where it starts and ends.
struct Field {
  size_t begin = 0;
  size_t end = 0;
};

std::vector<Field> SplitFields(const wxString& line, size_t most) {
  std::vector<Field> fields;
  size_t at = 0;
  const size_t n = line.length();
  while (fields.size() < most) {
    while (at < n && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at >= n) break;
    Field f;
    f.begin = at;
    while (at < n && line[at] != ' ' && line[at] != '\t') ++at;
    f.end = at;
    fields.push_back(f);
  }
  return fields;
}

wxString Text(const wxString& line, const Field& f) { return line.Mid(f.begin, f.end - f.begin); }

// What follows a field, the blanks that separate it dropped; blanks inside the name stay.
wxString After(const wxString& line, const Field& f) {
  size_t at = f.end;
  while (at < line.length() && (line[at] == ' ' || line[at] == '\t')) ++at;
  return line.Mid(at);
}

bool Number(const wxString& text, long& value) { return Digits(text) && text.length() <= 9 && text.ToLong(&value); }

std::time_t Utc(long year, long month, long day, long hour, long minute) {
  if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
    return 0;
  std::tm tm{};
  tm.tm_year = static_cast<int>(year) - 1900;
  tm.tm_mon = static_cast<int>(month) - 1;
  tm.tm_mday = static_cast<int>(day);
  tm.tm_hour = static_cast<int>(hour);
  tm.tm_min = static_cast<int>(minute);
  return timegm(&tm);
}

// "06:46": two digits each, not checked for range.
bool ClockTime(const wxString& text, long& hour, long& minute) {
  return text.length() == 5 && text[2] == ':' && Number(text.Left(2), hour) && Number(text.Mid(3), minute);
}

// "12-07-26" or "12-07-2026" (month first, as IIS and CE servers write it).
bool DosDate(const wxString& text, long& year, long& month, long& day) {
  const wxArrayString parts = wxSplit(text, '-', 0);
  if (parts.size() != 3 || parts[0].length() != 2 || parts[1].length() != 2) return false;
  if (!Number(parts[0], month) || !Number(parts[1], day) || !Number(parts[2], year)) return false;
  if (parts[2].length() == 2) year += year < 70 ? 2000 : 1900;
  else if (parts[2].length() != 4) return false;
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// "06:46AM", "06:46PM" or "18:46".
bool DosTime(const wxString& text, long& hour, long& minute) {
  wxString clock = text.Upper();
  int shift = -1;
  if (clock.EndsWith("AM")) shift = 0;
  else if (clock.EndsWith("PM")) shift = 12;
  if (shift >= 0) clock.RemoveLast(2);
  if (!ClockTime(clock, hour, minute)) return false;
  if (shift >= 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + shift;
  }
  return hour <= 23 && minute <= 59;
}

long MonthNumber(const wxString& text) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  const wxString lower = text.Lower();
  for (long i = 0; i < 12; ++i)
    if (lower == kMonths[i]) return i + 1;
  return 0;
}

// "Dec  7 06:45" (within the last half year: the year is the one that does not put it
// in the future) or "Dec  7  2025" (older: no time of day, so 0).
std::time_t UnixTime(long month, const wxString& dayText, const wxString& clock, std::time_t now) {
  long day = 0;
  if (!Number(dayText, day)) return 0;
  long hour = 0, minute = 0;
  if (!ClockTime(clock, hour, minute)) return 0;
  std::tm today{};
  gmtime_r(&now, &today);
  long year = today.tm_year + 1900;
  std::time_t t = Utc(year, month, day, hour, minute);
  // A server a little ahead of this clock is still this year.
  if (t > now + 2 * 86400) t = Utc(year - 1, month, day, hour, minute);
  return t;
}

bool ValidUnixClockOrYear(const wxString& text) {
  long v = 0;
  if (text.length() == 4) return Number(text, v);
  return ClockTime(text, v, v);
}

}  // namespace

bool ParseMlsdLine(const wxString& lineIn, FtpRemoteEntry& entry) {
  wxString line = lineIn;
  line.Trim(true);
  const int space = line.Find(' ');
  if (space == wxNOT_FOUND) return false;
  entry = FtpRemoteEntry{};
  entry.name = line.Mid(static_cast<size_t>(space) + 1);
  if (entry.name.empty() || entry.name == "." || entry.name == "..") return false;
  wxString type;
  for (const wxString& fact : wxSplit(line.Left(static_cast<size_t>(space)), ';', 0)) {
    const wxString key = fact.BeforeFirst('=').Lower();
    const wxString value = fact.AfterFirst('=');
    if (key == "type") type = value.Lower();
    else if (key == "size") {
      unsigned long long size = 0;
      if (value.ToULongLong(&size)) entry.size = size;
    } else if (key == "modify") entry.modified = MlsdTime(value);
  }
  if (type == "cdir" || type == "pdir") return false;
  entry.isFolder = type == "dir";
  if (!entry.isFolder && type != "file") return false;
  return true;
}

bool ParseListLine(const wxString& lineIn, FtpRemoteEntry& entry, std::time_t now) {
  wxString line = lineIn;
  line.Trim(true);
  entry = FtpRemoteEntry{};
  if (!now) now = std::time(nullptr);
  // DOS: "12-07-26  06:45AM       <DIR>          name" or "... 1234 name": the name is
  // what follows the third field.
  std::vector<Field> f = SplitFields(line, 8);
  long year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (f.size() >= 3 && DosDate(Text(line, f[0]), year, month, day)) {
    if (!DosTime(Text(line, f[1]), hour, minute)) return false;
    const wxString kind = Text(line, f[2]);
    entry.isFolder = kind.CmpNoCase("<DIR>") == 0;
    unsigned long long size = 0;
    if (!entry.isFolder) {
      if (!Digits(kind) || !kind.ToULongLong(&size)) return false;
      entry.size = size;
    }
    entry.listed = Utc(year, month, day, hour, minute);
    entry.name = After(line, f[2]);
  } else {
    // Unix: "-rw-r--r-- 1 owner group 1234 Dec  7 06:45 name", some servers without the
    // group; the name is what follows the time (or year) field, blanks kept.
    if (f.size() < 7 || Text(line, f[0]).length() < 10) return false;
    const wxUniChar type = line[f[0].begin];
    if (type != '-' && type != 'd') return false;
    size_t m = 0;
    for (size_t at : {size_t{5}, size_t{4}}) {
      if (at + 2 < f.size() && MonthNumber(Text(line, f[at])) && Digits(Text(line, f[at - 1])) &&
          ValidUnixClockOrYear(Text(line, f[at + 2]))) {
        m = at;
        break;
      }
    }
    if (!m) return false;
    unsigned long long size = 0;
    if (!Text(line, f[m - 1]).ToULongLong(&size)) return false;
    entry.isFolder = type == 'd';
    entry.size = size;
    entry.listed = UnixTime(MonthNumber(Text(line, f[m])), Text(line, f[m + 1]), Text(line, f[m + 2]), now);
    entry.name = After(line, f[m + 2]);
  }
  return !entry.name.empty() && entry.name != "." && entry.name != "..";
}

}  // namespace hv
