#include "platform/HardwareConfigFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {

namespace {

// Far above any real configuration; a larger file is not one.
constexpr unsigned long long kMaxConfigFileSize = 16u << 20;

wxString Trimmed(const wxString& s) {
  wxString t = s;
  t.Trim(true).Trim(false);
  return t;
}

wxString StripQuotes(const wxString& v) {
  if (v.length() >= 2 && ((v[0] == '"' && v.Last() == '"') || (v[0] == '\'' && v.Last() == '\'')))
    return v.Mid(1, v.length() - 2);
  return v;
}

// Splits "Name@1.50" into name and version; false when the name holds no '@'.
bool SplitOverlayName(const wxString& section, wxString& base, wxString& version) {
  const size_t at = section.rfind('@');
  if (at == wxString::npos) return false;
  base = Trimmed(section.Left(at));
  version = Trimmed(section.Mid(at + 1));
  return true;
}

}  // namespace

const wxString* ConfigSection::Find(const wxString& key) const {
  for (const auto& [k, v] : entries)
    if (k.CmpNoCase(key) == 0) return &v;
  return nullptr;
}

void ConfigSection::Set(const wxString& key, const wxString& value) {
  for (auto& [k, v] : entries) {
    if (k.CmpNoCase(key) == 0) {
      v = value;
      return;
    }
  }
  entries.emplace_back(key, value);
}

const ConfigSection* FindSection(const ConfigSections& sections, const wxString& name) {
  for (const ConfigSection& s : sections)
    if (s.name.CmpNoCase(name) == 0) return &s;
  return nullptr;
}

wxString FindHardwareConfigFile(const wxString& folder) {
  if (folder.empty()) return wxString();
  for (const wxString& name : {kHardwareSetFile, kHardwareXmlFile}) {
    const wxString path = ResolvePath(JoinPath(folder, name));
    if (IsFile(path)) return path;
  }
  return wxString();
}

bool ReadHardwareConfigFile(const wxString& folder, ConfigSections& out) {
  out.clear();
  const wxString path = FindHardwareConfigFile(folder);
  if (path.empty()) return false;
  struct stat st;
  if (stat(ToFs(path).c_str(), &st) != 0 || static_cast<unsigned long long>(st.st_size) > kMaxConfigFileSize)
    return false;
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  const bool ok = PathName(path).CmpNoCase(kHardwareXmlFile) == 0 ? ParseHardwareXml(bytes, out)
                                                                   : ParseHardwareIni(bytes, out);
  if (!ok || out.empty()) {
    out.clear();
    return false;
  }
  return true;
}

bool ParseHardwareIni(std::string_view bytes, ConfigSections& out) {
  out.clear();
  wxString text;
  if (HasUtf16LeBom(bytes)) {
    if (!FromUtf16Le(bytes.substr(0, bytes.size() & ~size_t(1)), text)) return false;
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text = FromUtf8(bytes.substr(3));
  } else {
    text = FromCp1252(bytes);
  }
  ConfigSection* current = nullptr;   // null: before the first section or in a duplicate
  size_t start = 0;
  while (start <= text.length()) {
    size_t nl = text.find('\n', start);
    if (nl == wxString::npos) nl = text.length();
    const wxString line = Trimmed(text.Mid(start, nl - start));
    start = nl + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      if (close == wxString::npos) continue;
      const wxString name = Trimmed(line.Mid(1, close - 1));
      current = nullptr;
      if (name.empty() || FindSection(out, name)) continue;
      out.push_back(ConfigSection{name, {}});
      current = &out.back();
      continue;
    }
    const size_t eq = line.find('=');
    if (!current || eq == wxString::npos) continue;
    const wxString key = Trimmed(line.Left(eq));
    if (key.empty() || current->Find(key)) continue;
    current->entries.emplace_back(key, StripQuotes(Trimmed(line.Mid(eq + 1))));
  }
  return !out.empty();
}

void ApplyFirmwareOverlays(ConfigSections& sections, int firmwareHundredths) {
  struct Overlay {
    int version;
    size_t order;
    wxString base;
    const ConfigSection* section;
  };
  std::vector<Overlay> overlays;
  for (size_t i = 0; i < sections.size(); ++i) {
    wxString base, versionText;
    if (!SplitOverlayName(sections[i].name, base, versionText)) continue;
    int v = 0;
    if (firmwareHundredths > 0 && !base.empty() && ParseVersionHundredths(versionText, v) && v > 0 &&
        v <= firmwareHundredths)
      overlays.push_back(Overlay{v, i, base, &sections[i]});
  }
  std::stable_sort(overlays.begin(), overlays.end(),
                   [](const Overlay& a, const Overlay& b) { return a.version < b.version; });
  ConfigSections merged;
  merged.reserve(sections.size());
  for (const ConfigSection& s : sections) {
    wxString base, versionText;
    if (!SplitOverlayName(s.name, base, versionText)) merged.push_back(s);
  }
  for (const Overlay& o : overlays) {
    auto it = std::find_if(merged.begin(), merged.end(),
                           [&](const ConfigSection& s) { return s.name.CmpNoCase(o.base) == 0; });
    if (it == merged.end()) {
      merged.push_back(ConfigSection{o.base, {}});
      it = merged.end() - 1;
    }
    for (const auto& [k, v] : o.section->entries) it->Set(k, v);
  }
  sections = std::move(merged);
}

bool ParseVersionHundredths(const wxString& text, int& hundredths) {
  const std::string s = ToUtf8(Trimmed(text));
  if (s.empty() || s[0] == '-' || s[0] == '+') return false;
  // Digits and one point only: no exponent, no hexadecimal, no "inf".
  if (s.find_first_not_of("0123456789.") != std::string::npos || std::count(s.begin(), s.end(), '.') > 1 ||
      s == ".")
    return false;
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
  const long h = std::lround(v * 100.0);
  if (h < 0 || h > 32767) return false;
  hundredths = static_cast<int>(h);
  return true;
}

long long ParseConfigInteger(const wxString& text) {
  const std::string s = ToUtf8(Trimmed(text));
  const char* p = s.data();
  const char* e = p + s.size();
  bool neg = false;
  if (p < e && (*p == '-' || *p == '+')) neg = *p++ == '-';
  long long n = 0;
  const auto r = std::from_chars(p, e, n);
  if (r.ptr == p) return 0;
  if (r.ec == std::errc::result_out_of_range)
    return neg ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
  if (neg) n = -n;
  return std::clamp<long long>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

}  // namespace hv
