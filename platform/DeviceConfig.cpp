#include "platform/DeviceConfig.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"

#include <wx/arrstr.h>

namespace hv {

namespace {

constexpr size_t kEntryTextMax = 20;
constexpr size_t kRemoteNameMax = 20;
constexpr size_t kDisplayNameMax = 260;
constexpr size_t kCoDeSysValueMax = 260;

const wxString kDisplayKeys[] = {wxS("Graphic"), wxS("Width"), wxS("Height"), wxS("Columns"),
                                 wxS("Rows"), wxS("ColorDepth"), wxS("OwnResources"), wxS("HardwareFonts")};

wxString Trimmed(const wxString& s) {
  wxString t = s;
  t.Trim(true).Trim(false);
  return t;
}

int NonNegative(long long v, int max = std::numeric_limits<int>::max()) {
  return static_cast<int>(std::clamp<long long>(v, 0, max));
}

long long NumberIn(const ConfigSection& s, const wxString& key) {
  const wxString* v = s.Find(key);
  return v ? ParseConfigInteger(*v) : 0;
}

DisplayConfig DisplayFrom(const ConfigSection& s) {
  DisplayConfig d;
  d.graphic = NumberIn(s, wxS("Graphic")) != 0;
  d.width = NonNegative(NumberIn(s, wxS("Width")));
  d.height = NonNegative(NumberIn(s, wxS("Height")));
  d.columns = NonNegative(NumberIn(s, wxS("Columns")));
  d.rows = NonNegative(NumberIn(s, wxS("Rows")));
  d.colorDepth = NonNegative(NumberIn(s, wxS("ColorDepth")), 32);
  d.ownResources = NumberIn(s, wxS("OwnResources")) != 0;
  d.hardwareFonts = NonNegative(NumberIn(s, wxS("HardwareFonts")));
  return d;
}

// A decimal number as the suite reads version texts of tools: its leading number,
// 0 for anything else.
int LenientHundredths(const wxString& text) {
  const std::string s = ToUtf8(Trimmed(text));
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
  if (r.ptr == s.data()) return 0;
  return VersionToHundredths(v);
}

// Versions of a folder's [Versions], valid ones above 0, ascending and distinct.
bool ReadVersionList(const wxString& folder, std::vector<int>& versions) {
  versions.clear();
  ConfigSections sections;
  if (!ReadHardwareConfigFile(folder, sections)) return false;
  if (const ConfigSection* s = FindSection(sections, wxS("Versions"))) {
    for (const auto& entry : s->entries) {
      int v = 0;
      if (ParseVersionHundredths(entry.second, v) && v > 0) versions.push_back(v);
    }
  }
  std::sort(versions.begin(), versions.end());
  versions.erase(std::unique(versions.begin(), versions.end()), versions.end());
  return true;
}

bool IsSingleName(const wxString& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(wxS("/\\")) == wxString::npos;
}

}  // namespace

void DisplayConfig::GetSize(int& first, int& second) const {
  first = ownResources ? width : columns;
  second = ownResources ? height : rows;
}

WORD IOConfig::GetCount(const wxString& kind) const {
  if (kind == "DI") return di;
  if (kind == "DO") return dout;
  if (kind == "AI") return ai;
  if (kind == "AO") return ao;
  return 0;
}

bool ToolEntry::Accepts(int v) const {
  if (v == version) return true;
  return (lowest == 0 || lowest <= v) && (highest == 0 || highest >= v) && (excluded == 0 || excluded != v);
}

DeviceConfig::DeviceConfig(wxString folder, int firmwareHundredths, ConfigSections sections)
    : m_folder(std::move(folder)), m_firmware(firmwareHundredths), m_sections(std::move(sections)) {}

const wxString* DeviceConfig::Value(const wxString& section, const wxString& key) const {
  const ConfigSection* s = FindSection(m_sections, section);
  return s ? s->Find(key) : nullptr;
}

long long DeviceConfig::Number(const wxString& section, const wxString& key) const {
  const wxString* v = Value(section, key);
  return v ? ParseConfigInteger(*v) : 0;
}

std::vector<wxString> DeviceConfig::List(const wxString& section) const {
  std::vector<wxString> names;
  if (const ConfigSection* s = FindSection(m_sections, section)) {
    for (const auto& entry : s->entries) {
      const wxString name = Trimmed(entry.second);
      if (!name.empty()) names.push_back(name);
    }
  }
  return names;
}

BOOL DeviceConfig::InList(const wxString& section, const wxString& name) const {
  const wxString wanted = Trimmed(name);
  if (wanted.empty()) return FALSE;
  for (const wxString& n : List(section))
    if (n.CmpNoCase(wanted) == 0) return TRUE;
  return FALSE;
}

wxString DeviceConfig::GetType() const {
  const wxString* v = Value(wxS("General"), wxS("Type"));
  return v ? Trimmed(*v) : wxString();
}

int DeviceConfig::GetConfigVersion() const {
  const wxString* v = Value(wxS("General"), wxS("ConfigVersion"));
  int h = 0;
  return v && ParseVersionHundredths(*v, h) ? h : 0;
}

int DeviceConfig::GetInstalledConfigVersion() const {
  const wxString folder = InstalledTypeFolder(GetType());
  if (folder.empty()) return 0;
  auto installed = OpenDeviceConfig(folder, m_firmware);
  return installed ? installed->GetConfigVersion() : 0;
}

BOOL DeviceConfig::GetEntryText(const wxString& key, wxString& text) const {
  const wxString* v = Value(wxS("General"), key);
  if (!v) return FALSE;
  text = v->Left(kEntryTextMax);
  return TRUE;
}

BOOL DeviceConfig::IsUnicode() const { return Number(wxS("General"), wxS("Unicode")) != 0; }
BOOL DeviceConfig::HasFtpTransfer() const { return Number(wxS("Capabilities"), wxS("Ftp")) != 0; }
BOOL DeviceConfig::HasCompactFlash() const { return Number(wxS("Capabilities"), wxS("CompactFlash")) != 0; }
BOOL DeviceConfig::AllowsBitmaps() const { return Number(wxS("Capabilities"), wxS("Bitmaps")) != 0; }
BOOL DeviceConfig::AllowsDataPoints() const { return Number(wxS("Capabilities"), wxS("DataPoints")) != 0; }

std::optional<DisplayConfig> DeviceConfig::GetDisplayConfig() const {
  const ConfigSection* s = FindSection(m_sections, wxS("Display"));
  if (!s) return std::nullopt;
  return DisplayFrom(*s);
}

std::optional<IOConfig> DeviceConfig::GetIOConfig() const {
  const ConfigSection* s = FindSection(m_sections, wxS("IO"));
  if (!s) return std::nullopt;
  IOConfig io;
  io.di = static_cast<WORD>(NonNegative(NumberIn(*s, wxS("DI")), 0xFFFF));
  io.dout = static_cast<WORD>(NonNegative(NumberIn(*s, wxS("DO")), 0xFFFF));
  io.ai = static_cast<WORD>(NonNegative(NumberIn(*s, wxS("AI")), 0xFFFF));
  io.ao = static_cast<WORD>(NonNegative(NumberIn(*s, wxS("AO")), 0xFFFF));
  return io;
}

int DeviceConfig::GetRemotePanelCount() const { return static_cast<int>(List(wxS("RemotePanels")).size()); }

BOOL DeviceConfig::GetRemotePanelName(int index, wxString& name) const {
  const std::vector<wxString> names = List(wxS("RemotePanels"));
  if (index < 0 || static_cast<size_t>(index) >= names.size()) return FALSE;
  name = names[static_cast<size_t>(index)].Left(kRemoteNameMax);
  return TRUE;
}

std::optional<RemotePanelEntry> DeviceConfig::GetRemotePanel(const wxString& name) const {
  const wxString wanted = Trimmed(name);
  if (wanted.empty()) return std::nullopt;
  const ConfigSection* s = FindSection(m_sections, wxS("Remote ") + wanted);
  if (!s) return std::nullopt;
  RemotePanelEntry entry;
  entry.name = wanted;
  const wxString* dn = s->Find(wxS("DisplayName"));
  entry.displayName = (dn && !dn->empty() ? *dn : wanted).Left(kDisplayNameMax);
  for (const wxString& key : kDisplayKeys) {
    if (s->Find(key)) {
      entry.display = DisplayFrom(*s);
      break;
    }
  }
  return entry;
}

BOOL DeviceConfig::ExtensionHasCompactFlash(const wxString& name) const {
  const wxString wanted = Trimmed(name);
  if (wanted.empty()) return FALSE;
  return Number(wxS("Extension ") + wanted, wxS("CompactFlash")) != 0;
}

long DeviceConfig::FindProgramEntry(const wxString& name) const {
  if (Trimmed(name).empty()) return 0;
  return static_cast<long>(Number(wxS("Programs"), Trimmed(name)));
}

long DeviceConfig::FindTavDesignEntry() const { return static_cast<long>(Number(wxS("Design"), wxS("TavDesign"))); }

int DeviceConfig::GetCoDeSysCount() const {
  const ConfigSection* s = FindSection(m_sections, wxS("CoDeSys"));
  return s ? static_cast<int>(s->entries.size()) : 0;
}

BOOL DeviceConfig::GetCoDeSysValue(const wxString& key, wxString& value) const {
  const wxString* v = Value(wxS("CoDeSys"), key);
  if (!v) return FALSE;
  value = v->Left(kCoDeSysValueMax);
  return TRUE;
}

BOOL DeviceConfig::GetCoDeSysItem(int index, wxString& key, wxString& value) const {
  const ConfigSection* s = FindSection(m_sections, wxS("CoDeSys"));
  if (!s || index < 0 || static_cast<size_t>(index) >= s->entries.size()) return FALSE;
  key = s->entries[static_cast<size_t>(index)].first;
  value = s->entries[static_cast<size_t>(index)].second.Left(kCoDeSysValueMax);
  return TRUE;
}

std::vector<ToolEntry> DeviceConfig::GetTools() const {
  std::vector<ToolEntry> tools;
  for (const wxString& line : List(wxS("Tools"))) {
    const wxArrayString f = wxSplit(line, ';', '\0');
    ToolEntry t;
    t.identifier = Trimmed(f[0]);
    if (t.identifier.empty()) continue;
    int* fields[] = {&t.version, &t.lowest, &t.highest, &t.excluded};
    for (size_t i = 0; i < 4; ++i)
      if (i + 1 < f.size()) *fields[i] = LenientHundredths(f[i + 1]);
    tools.push_back(t);
  }
  return tools;
}

BOOL DeviceConfig::AcceptsTool(const wxString& identifier, double version) const {
  const int v = VersionToHundredths(version);
  for (const ToolEntry& t : GetTools())
    if (t.identifier.CmpNoCase(Trimmed(identifier)) == 0 && t.Accepts(v)) return TRUE;
  return FALSE;
}

std::unique_ptr<DeviceConfig> OpenDeviceConfig(const wxString& folder, int firmwareHundredths) {
  ConfigSections sections;
  if (!ReadHardwareConfigFile(folder, sections)) return nullptr;
  const int fw = std::max(firmwareHundredths, 0);
  ApplyFirmwareOverlays(sections, fw);
  return std::make_unique<DeviceConfig>(NormalizePath(folder), fw, std::move(sections));
}

std::unique_ptr<DeviceConfig> GetDeviceConfig(const wxString& folder, double version) {
  return OpenDeviceConfig(folder, VersionToHundredths(version));
}

int GetCountOfDeviceVersions(const wxString& folder) {
  std::vector<int> versions;
  if (!ReadVersionList(folder, versions)) return 0;
  return static_cast<int>(versions.size()) + 1;
}

int GetDeviceConfigVersionHundredths(const wxString& folder, int index) {
  std::vector<int> versions;
  if (index <= 0 || !ReadVersionList(folder, versions)) return 0;
  return static_cast<size_t>(index) <= versions.size() ? versions[static_cast<size_t>(index) - 1] : 0;
}

double GetDeviceConfigVersion(const wxString& folder, int index) {
  return GetDeviceConfigVersionHundredths(folder, index) / 100.0;
}

int VersionToHundredths(double version) {
  if (!std::isfinite(version)) return 0;
  const double h = std::round(version * 100.0);
  return static_cast<int>(std::clamp(h, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

wxString InstalledHardwareFolder() {
  return ResolvePath(JoinPath(DefaultDataFolder(), wxS("Halvora/default/hardware")));
}

wxString InstalledTypeFolder(const wxString& type) {
  const wxString name = Trimmed(type);
  if (!IsSingleName(name)) return wxString();
  return ResolvePath(JoinPath(InstalledHardwareFolder(), name));
}

wxString InstalledFontsFolder() { return ResolvePath(JoinPath(DefaultDataFolder(), wxS("Halvora/default/fonts"))); }

wxString InstalledRemotePalette(const wxString& type, const wxString& remoteType) {
  const wxString folder = InstalledTypeFolder(type);
  const wxString remote = Trimmed(remoteType);
  if (folder.empty() || !IsSingleName(remote)) return wxString();
  return ResolvePath(JoinPath(folder, wxS("Remote/") + remote + wxS("/Palette.pal")));
}

wxString ResolveHardwareFolder(const wxString& pathOrType) {
  if (pathOrType.find_first_of(wxS("/\\")) != wxString::npos) return ResolvePath(NormalizePath(pathOrType));
  return InstalledTypeFolder(pathOrType);
}

bool IsHardwareTypeFolder(const wxString& folder) { return !FindHardwareConfigFile(folder).empty(); }

}  // namespace hv
