#include "build/FtpSentRecord.h"

#include <zlib.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

// Version 2 ends with the sum of all lines before it; a record of version 1 has none and
// is taken as empty, so the first transfer after it sends everything once.
constexpr char kHeader[] = "HALVORA FTP SENT 2";
constexpr char kSum[] = "SUM\t";

std::uint32_t SumOf(std::string_view text) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

// The lines before the last one when that is "SUM\t<8 hex digits>" and the sum of those
// lines; false for any other text.
bool Summed(const std::string& bytes, std::string& lines) {
  constexpr std::size_t kLast = sizeof kSum - 1 + 8 + 1;
  if (bytes.size() < kLast || bytes.back() != '\n') return false;
  const std::size_t at = bytes.size() - kLast;
  if ((at > 0 && bytes[at - 1] != '\n') || bytes.compare(at, sizeof kSum - 1, kSum) != 0) return false;
  std::uint32_t sum = 0;
  for (std::size_t i = at + sizeof kSum - 1; i < bytes.size() - 1; ++i) {
    const char c = bytes[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    sum = sum << 4 | static_cast<std::uint32_t>(digit);
  }
  lines = bytes.substr(0, at);
  return sum == SumOf(lines);
}

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

// Times before 1970 are negative, down to the least a time can hold (whose magnitude the
// greatest does not).
bool ToTime(const std::string& text, std::time_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  std::uint64_t v = 0;
  const std::uint64_t most = static_cast<std::uint64_t>(INT64_MAX) + (negative ? 1 : 0);
  if (!ToU64(negative ? text.substr(1) : text, v) || v > most) return false;
  value = static_cast<std::time_t>(negative ? 0 - v : v);
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
  std::string bytes, lines;
  // A record damaged anywhere is taken as empty, even where what is left still reads: a
  // changed digit could otherwise leave out a file that changed.
  if (!hv::ReadFileBytes(path, bytes) || !Summed(bytes, lines)) return record;
  std::istringstream in(lines);
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
  char sum[16];
  std::snprintf(sum, sizeof sum, "%08x", static_cast<unsigned>(SumOf(text)));
  text += std::string(kSum) + sum + '\n';
  return hv::WriteFileAtomic(m_path, text, error);
}
