#include "model/DeviceSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/WorkClaims.h"

namespace {

struct Offset {
  const char* key;
  int value;
};

const Offset kResourceOffsets[] = {
    {"Bitmap", 1000000}, {"Text", 2000000},   {"DataPoint", 3000000}, {"Mask", 4000000},
    {"Driver", 5000000}, {"Device", 6000000}, {"Font", 7000000},      {"System", 8000000},
};

// Applies several writes to a copy of the file beside it and renames the copy over the
// file only when all of them succeeded.
bool EditAtomically(const wxString& path, const std::function<bool(const wxString& copy)>& edit) {
  const wxString target = hv::ResolvePath(path);
  const wxString folder = hv::PathFolder(target);
  if (!hv::IsFolder(folder)) return false;
  // A link or other non-regular file is never followed for writing.
  struct stat st;
  const bool exists = lstat(hv::ToFs(target).c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return false;
  std::string tmpl = hv::ToFs(hv::JoinPath(folder, "." + hv::PathName(target) + ".edit-XXXXXX"));
  hv::FileStep();
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) return false;
  // Claimed while it lives, so that another start leaves it alone.
  hv::WorkClaim claim;
  claim.ClaimDescriptor(fd);
  fchmod(fd, exists ? (st.st_mode & 07777) : hv::NewFileMode());
  const wxString copy = hv::FromFs(tmpl);
  std::string old;
  bool ok = !exists || (hv::ReadFileBytes(target, old) && hv::WriteFileAtomic(copy, old));
  ok = ok && edit(copy);
  if (ok) hv::FileStep();
  ok = ok && rename(tmpl.c_str(), hv::ToFs(target).c_str()) == 0;
  if (!ok) unlink(tmpl.c_str());
  claim.Release();
  close(fd);
  return ok;
}

bool Fits(const wxString& text) { return hv::FitsCp1252(text); }

}  // namespace

void CDeviceSettings::SetDeviceFolder(const wxString& deviceFolder) {
  m_folder = hv::NormalizePath(deviceFolder);
  m_file.SetPath(hv::JoinPath(m_folder, kDeviceSetFile));
}

wxString CDeviceSettings::GetPath() const { return hv::ResolvePath(m_file.GetPath()); }

void CDeviceSettings::ReadDeviceSet(DeviceSetValues& v, const std::function<BOOL()>& unicodeDefault) const {
  v.type = m_file.GetString(kSectionConfig, "Type", wxString());
  v.remoteType = m_file.GetString(kSectionConfig, "RemoteType", wxString());
  const int below152 = m_file.GetInt(kSectionConfig, "FWBelow152", 1);
  const int fw = m_file.GetInt(kSectionConfig, "FWVersion", below152 != 0 ? 151 : 153);
  v.firmwareVersion = static_cast<short>(std::clamp(fw, 0, 32767));
  if (hv::IniRead(m_file.GetPath(), kSectionConfig, "UnicodeResource"))
    v.unicodeResource = m_file.GetInt(kSectionConfig, "UnicodeResource", 0) != 0;
  else
    v.unicodeResource = unicodeDefault && unicodeDefault() ? TRUE : FALSE;
  v.slot = m_file.GetString(kSectionConnection, "Slot", wxString());
  v.network = m_file.GetString(kSectionConnection, "Network", wxString());
  v.networkPara = m_file.GetString(kSectionConnection, "NetworkPara", wxString());
}

BOOL CDeviceSettings::WriteDeviceSet(const DeviceSetValues& v, BOOL withOffsets) {
  const std::vector<std::pair<wxString, wxString>> config = {
      {"Type", v.type},
      {"RemoteType", v.remoteType},
      {"FWBelow152", v.firmwareVersion == 151 ? "1" : "0"},
      {"FWVersion", wxString::Format("%d", static_cast<int>(v.firmwareVersion))},
      {"UnicodeResource", v.unicodeResource ? "1" : "0"},
  };
  const std::vector<std::pair<wxString, wxString>> connection = {
      {"Slot", v.slot}, {"Network", v.network}, {"NetworkPara", v.networkPara}, {"Node", v.node}};
  for (const auto& list : {config, connection})
    for (const auto& kv : list)
      if (!Fits(kv.second)) return FALSE;
  if (m_folder.empty()) return FALSE;
  return EditAtomically(m_file.GetPath(), [&](const wxString& copy) {
    for (const auto& [key, value] : config)
      if (!hv::IniWrite(copy, kSectionConfig, key, value)) return false;
    for (const auto& [key, value] : connection)
      if (!hv::IniWrite(copy, kSectionConnection, key, value)) return false;
    if (!withOffsets) return true;
    std::vector<wxString> lines;
    for (const Offset& o : kResourceOffsets) lines.push_back(wxString::Format("%s=%d", o.key, o.value));
    return hv::IniWriteSectionLines(copy, kSectionResourceOffset, lines);
  }) ? TRUE : FALSE;
}

BOOL CDeviceSettings::WriteDataVersion() {
  if (m_folder.empty()) return FALSE;
  return m_file.WriteInt(kSectionConfig, "Version", kDeviceDataVersion);
}

wxString CDeviceSettings::GetSetting(const wxString& section, const wxString& key, const wxString& def) const {
  return m_file.GetString(section, key, def);
}

BOOL CDeviceSettings::WriteConfigString(const wxString& key, const wxString& value) {
  if (m_folder.empty() || !Fits(key) || !Fits(value)) return FALSE;
  return m_file.WriteString(kSectionConfig, key, value);
}

BOOL CDeviceSettings::ReadSimSourceFiles(CMapStringToString& map) const {
  return m_file.ReadSection(kSectionTavSimSources, map);
}

BOOL CDeviceSettings::WriteSettingsSection(const wxString& section, const CMapStringToString& map) {
  if (m_folder.empty() || !Fits(section)) return FALSE;
  for (const auto& [key, value] : map)
    if (!Fits(key) || !Fits(value)) return FALSE;
  return m_file.WriteSection(section, map);
}

int CDeviceSettings::GetUseCF(int def) const { return m_file.GetInt(kSectionConfig, "UseCF", def); }

BOOL CDeviceSettings::SetUseCF(int value) {
  if (m_folder.empty()) return FALSE;
  return m_file.WriteInt(kSectionConfig, "UseCF", value);
}

BOOL CDeviceSettings::UsesCF(BOOL cfAvailable) const { return cfAvailable && GetUseCF(cfAvailable ? 1 : 0) > 0; }

BOOL CDeviceSettings::ExchangeUseCF(int value, BOOL cfAvailable, BOOL* written) {
  const BOOL before = UsesCF(cfAvailable);
  const BOOL ok = SetUseCF(value);
  if (written) *written = ok;
  return before;
}

wxString CDeviceSettings::GetFtpUsername(BOOL emptyDefault) const {
  return GetSetting(kSectionConfig, "FtpUsername", emptyDefault ? wxString() : wxString("supervisor"));
}

wxString CDeviceSettings::GetFtpPassword() const { return GetSetting(kSectionConfig, "FtpPassword", wxString()); }

wxString CDeviceSettings::GetRecipePath() const {
  return GetSetting(kSectionConfig, "RecipePath", kDefaultDeviceTransferPath);
}

wxString CDeviceSettings::GetResourcePath() const {
  return GetSetting(kSectionConfig, "ResourcePath", kDefaultDeviceTransferPath);
}

BOOL CDeviceSettings::GetBitmapsCompressed() const {
  return m_file.GetInt(kSectionConfig, "BitmapsCompressed", 0) != 0;
}

wxString CDeviceSettings::GetBuildNode() const { return GetSetting(kSectionConnection, "Node", "M0"); }

wxString ReadDeviceExtensionName(const wxString& deviceFolder) {
  if (deviceFolder.empty()) return wxString();
  wxString name = hv::IniGetString(hv::JoinPath(deviceFolder, kDeviceCfgFile), "Extensions", "0", wxString());
  name.Trim(true).Trim(false);
  return name.Left(31);
}
