#include "platform/online/ScanFile.h"

#include "platform/online/PluginAbi.h"

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {

namespace {

const char* const kRenamed[][2] = {
    {"kolm_P101", "zorva_P101"}, {"kolm_P303", "zorva_P303"}, {"kolm_P305", "zorva_P305"},
    {"kolm_P406", "zorva_P406"}, {"kolm_P408", "zorva_P408"}, {"kolm_P410", "zorva_P410"},
};

wxString Rename(const wxString& line) {
  for (const auto& r : kRenamed)
    if (line.CmpNoCase(r[0]) == 0) return r[1];
  return line;
}

wxString DetailValue(const std::vector<wxString>& details, const wxString& prefix) {
  for (const wxString& d : details)
    if (d.StartsWith(prefix)) return d.Mid(prefix.length());
  return {};
}

// A text as one line of the file, trimmed as the reader trims it; a line that starts
// with "[" opens a block.
wxString OneLine(const wxString& text) {
  wxString line;
  line.reserve(text.length());
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    const wxUniChar c = *it;
    const auto v = c.GetValue();
    line += (v < 0x20 || (v >= 0x7F && v < 0xA0)) ? wxUniChar(' ') : c;
  }
  line.Trim(true).Trim(false);
  if (line.StartsWith("[")) line[0] = '(';
  return line;
}

wxString FromDriver(const char* text) {
  if (!text || !*text) return {};
  const std::string_view bytes(text);
  const wxString decoded = FromUtf8(bytes);
  return decoded.empty() ? FromCp1252(bytes) : decoded;
}

}  // namespace

wxString ScanEntry::DetailText() const {
  wxString text;
  for (const wxString& d : details) {
    if (d.empty()) continue;
    if (!text.empty()) text += '\n';
    text += d;
  }
  return text;
}

wxString ScanEntry::Ip() const { return DetailValue(details, "IP="); }
wxString ScanEntry::Firmware() const { return DetailValue(details, "FW-Version : "); }
wxString ScanEntry::DetailLine(size_t index) const { return index < details.size() ? details[index] : wxString(); }

std::vector<ScanEntry> ParseScanText(std::string_view bytes, ScanTypeNames names) {
  std::vector<ScanEntry> entries;
  enum class State { Outside, Type, Details } state = State::Outside;
  ScanEntry current;
  auto finish = [&] {
    if (state != State::Outside && !current.type.empty()) entries.push_back(std::move(current));
    current = ScanEntry{};
  };
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view raw = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (size_t cr = raw.find('\r'); cr != std::string_view::npos) raw = raw.substr(0, cr);
    wxString line = FromCp1252(raw);
    line.Trim(true).Trim(false);
    if (names == ScanTypeNames::Renamed) line = Rename(line);

    if (line.StartsWith("[")) {
      finish();
      const int close = line.Find(']');
      current.node = close == wxNOT_FOUND ? line.Mid(1) : line.Mid(1, close - 1);
      current.node.Trim(true).Trim(false);
      state = State::Type;
      continue;
    }
    switch (state) {
      case State::Outside:
        break;
      case State::Type:
        if (!line.empty()) {
          current.type = line;
          state = State::Details;
        }
        break;
      case State::Details:
        if (current.details.size() < kScanDetailLines) current.details.push_back(line);
        break;
    }
  }
  finish();
  return entries;
}

ScanFileStatus ReadScanFile(const wxString& path, std::vector<ScanEntry>& entries, ScanTypeNames names) {
  entries.clear();
  if (!IsFile(path)) return ScanFileStatus::Missing;
  std::string bytes;
  if (!ReadFileBytes(ResolvePath(path), bytes)) return ScanFileStatus::Unreadable;
  entries = ParseScanText(bytes, names);
  return ScanFileStatus::Ok;
}

wxString ScanFilePath(const wxString& deviceFolder, unsigned networkNumber) {
  return JoinPath(deviceFolder, wxString::Format("SCAN%u.OUT", networkNumber));
}

std::string FormatScanBlock(const wxString& node, const wxString& type, const std::vector<wxString>& details) {
  wxString t = OneLine(type);
  if (t.empty()) t = HV_SCAN_UNKNOWN_TYPE;
  wxString n = OneLine(node);
  n.Replace("]", ")");
  std::string out = "[" + ToCp1252Lossy(n) + "]\r\n" + ToCp1252Lossy(t) + "\r\n";
  for (size_t i = 0; i < details.size() && i < kScanDetailLines; ++i) out += ToCp1252Lossy(OneLine(details[i])) + "\r\n";
  return out;
}

std::string FormatScanDevice(const char* node, const char* type, const char* const* details, std::uint32_t count) {
  std::vector<wxString> lines;
  for (std::uint32_t i = 0; details && i < count && i < kScanDetailLines; ++i) lines.push_back(FromDriver(details[i]));
  return FormatScanBlock(FromDriver(node), FromDriver(type), lines);
}

bool ScanEntry::IsUnknown() const { return type == HV_SCAN_UNKNOWN_TYPE; }

}  // namespace hv
