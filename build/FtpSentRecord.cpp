#include "build/FtpSentRecord.h"

#include <sstream>
#include <string>
#include <vector>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

constexpr char kHeader[] = "HALVORA FTP SENT 1";

bool ToU64(const std::string& text, std::uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const std::uint64_t next = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (next / 10 != value) return false;
    value = next;
  }
  return true;
}

// Times before 1970 are negative.
bool ToTime(const std::string& text, std::time_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  std::uint64_t v = 0;
  if (!ToU64(negative ? text.substr(1) : text, v) || v > static_cast<std::uint64_t>(INT64_MAX)) return false;
  value = negative ? -static_cast<std::time_t>(v) : static_cast<std::time_t>(v);
  return true;
}

// At most `most` parts: the last keeps its separators (a name may hold a tab).
std::vector<std::string> Split(const std::string& line, char sep, size_t most) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = parts.size() + 1 == most ? std::string::npos : line.find(sep, start);
    parts.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) break;
    start = at + 1;
  }
  return parts;
}

}  // namespace

wxString FtpSentRecord::FileIn(const wxString& deviceFolder) { return hv::JoinPath(deviceFolder, wxS("FTPSENT.LST")); }

FtpSentRecord FtpSentRecord::Load(const wxString& path, const wxString& identity) {
  FtpSentRecord record(path, identity);
  std::string bytes;
  if (!hv::ReadFileBytes(path, bytes)) return record;
  std::istringstream in(bytes);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return record;
  if (!std::getline(in, line) || line != "ID\t" + hv::ToUtf8(identity)) return record;
  std::map<wxString, FtpSentEntry> entries;
  while (std::getline(in, line)) {
    // local size, local time, server size, kind, server time, remote path
    const std::vector<std::string> f = Split(line, '\t', 6);
    FtpSentEntry e;
    if (f.size() != 6 || f[3].size() != 1 || (f[3][0] != 'e' && f[3][0] != 'l')) return record;
    if (!ToU64(f[0], e.localSize) || !ToTime(f[1], e.localTime) || !ToU64(f[2], e.server.size) ||
        !ToTime(f[4], e.server.time))
      return record;
    e.server.kind = static_cast<FtpStampKind>(f[3][0]);
    const wxString remote = hv::FromUtf8(f[5]);
    if (remote.empty() || hv::ToUtf8(remote) != f[5]) return record;
    entries[remote] = e;
  }
  // Only a record read to its end counts: a cut one may lack what changed.
  if (!in.eof()) return record;
  record.m_entries = std::move(entries);
  return record;
}

const FtpSentEntry* FtpSentRecord::Find(const wxString& remotePath) const {
  const auto it = m_entries.find(remotePath);
  return it == m_entries.end() ? nullptr : &it->second;
}

bool FtpSentRecord::Save(wxString* error) const {
  std::string text = std::string(kHeader) + "\nID\t" + hv::ToUtf8(m_identity) + "\n";
  for (const auto& [remote, e] : m_entries) {
    if (e.server.kind == FtpStampKind::None) continue;
    text += std::to_string(e.localSize) + '\t' + std::to_string(static_cast<long long>(e.localTime)) + '\t' +
            std::to_string(e.server.size) + '\t' + static_cast<char>(e.server.kind) + '\t' +
            std::to_string(static_cast<long long>(e.server.time)) + '\t' + hv::ToUtf8(remote) + '\n';
  }
  return hv::WriteFileAtomic(m_path, text, error);
}
