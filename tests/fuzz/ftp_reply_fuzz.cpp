// A folder listing comes from whatever FTP server the panel or a stranger runs: every
// line, as MLSD or as LIST, is parsed without fault, and an entry it gives has a name;
// a LIST entry's name is the end of its line (taken after the fields it skips).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Codec.h"
#include "platform/FtpClient.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string raw = bytes.substr(start, end - start);
    // As the client takes a listing apart: UTF-8, split at '\n', trailing blanks dropped.
    wxString line = hv::FromUtf8(raw);
    line.Trim(true);
    hv::FtpRemoteEntry entry;
    if (hv::ParseMlsdLine(line, entry) && entry.name.empty()) std::abort();
    hv::FtpRemoteEntry listed;
    if (hv::ParseListLine(line, listed) && (listed.name.empty() || !line.EndsWith(listed.name))) std::abort();
    start = end + 1;
  }
  return 0;
}
