// Lines of FTP folder listings: MLSD (machine-readable, exact times in UTC) and the
// free LIST forms of Unix and DOS servers.
#include <ctime>

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

bool ParseListLine(const wxString& lineIn, FtpRemoteEntry& entry) {
  wxString line = lineIn;
  line.Trim(true);
  entry = FtpRemoteEntry{};
  wxArrayString f = wxSplit(line, ' ', 0);
  std::vector<wxString> fields;
  for (const wxString& x : f)
    if (!x.empty()) fields.push_back(x);
  if (fields.size() < 4) return false;
  // DOS: "12-07-26  06:45AM       <DIR>          name" or "... 1234 name".
  if (fields[0].length() >= 8 && fields[0][2] == '-' && fields[0][5] == '-') {
    const wxString kind = fields[2];
    const int nameAt = line.Find(kind);
    wxString rest = line.Mid(static_cast<size_t>(nameAt) + kind.length());
    rest.Trim(false);
    entry.name = rest;
    entry.isFolder = kind.CmpNoCase("<DIR>") == 0;
    unsigned long long size = 0;
    if (!entry.isFolder) {
      if (!kind.ToULongLong(&size)) return false;
      entry.size = size;
    }
    return !entry.name.empty();
  }
  // Unix: "-rw-r--r-- 1 owner group 1234 Dec  7 06:45 name".
  if (fields.size() < 9 || (fields[0][0] != '-' && fields[0][0] != 'd')) return false;
  entry.isFolder = fields[0][0] == 'd';
  unsigned long long size = 0;
  if (!fields[4].ToULongLong(&size)) return false;
  entry.size = size;
  // The name is what follows the time (or year) field, blanks kept.
  size_t at = 0;
  for (int i = 0; i < 8; ++i) {
    at = line.find(fields[static_cast<size_t>(i)], at) + fields[static_cast<size_t>(i)].length();
  }
  wxString name = line.Mid(at);
  name.Trim(false);
  entry.name = name;
  return !entry.name.empty() && entry.name != "." && entry.name != "..";
}

}  // namespace hv
