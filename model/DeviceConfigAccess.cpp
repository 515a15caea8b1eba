#include "model/DeviceConfigAccess.h"

#include <algorithm>
#include <limits>

#include "model/DeviceSettings.h"
#include "platform/Paths.h"

CDeviceConfigAccess::CDeviceConfigAccess(const wxString& deviceFolder, int firmwareVersion, const wxString& remoteType)
    : m_folder(hv::NormalizePath(deviceFolder)), m_firmware(firmwareVersion), m_remoteType(remoteType) {}

CDeviceConfigAccess::CDeviceConfigAccess(const CDeviceConfigAccess& other)
    : m_folder(other.m_folder), m_firmware(other.m_firmware), m_remoteType(other.m_remoteType) {}

CDeviceConfigAccess& CDeviceConfigAccess::operator=(const CDeviceConfigAccess& other) {
  if (this != &other) {
    Release();
    m_folder = other.m_folder;
    m_firmware = other.m_firmware;
    m_remoteType = other.m_remoteType;
  }
  return *this;
}

void CDeviceConfigAccess::SetDeviceFolder(const wxString& deviceFolder) {
  const wxString folder = hv::NormalizePath(deviceFolder);
  if (folder == m_folder) return;
  Release();
  m_folder = folder;
}

void CDeviceConfigAccess::SetFirmwareVersion(int hundredths) {
  if (hundredths == m_firmware) return;
  Release();
  m_firmware = hundredths;
}

void CDeviceConfigAccess::SetRemoteType(const wxString& remoteType) {
  if (remoteType == m_remoteType) return;
  m_display.reset();
  m_displayName.clear();
  m_remoteType = remoteType;
}

wxString CDeviceConfigAccess::GetHardwareFolder() const {
  if (m_folder.empty()) return wxString();
  return hv::ResolvePath(hv::JoinPath(m_folder, "hardware"));
}

void CDeviceConfigAccess::Release() {
  m_display.reset();
  m_io.reset();
  m_ioLoaded = false;
  m_config.reset();
  m_displayName.clear();
}

BOOL CDeviceConfigAccess::LoadDeviceConfig(BOOL reload) {
  if (reload) Release();
  if (!m_config && !m_folder.empty()) m_config = hv::OpenDeviceConfig(GetHardwareFolder(), m_firmware);
  return m_config ? TRUE : FALSE;
}

const hv::DeviceConfig* CDeviceConfigAccess::GetConfig() {
  LoadDeviceConfig(FALSE);
  return m_config.get();
}

int CDeviceConfigAccess::GetConfigVersion() { return GetConfig() ? m_config->GetConfigVersion() : 0; }

int CDeviceConfigAccess::GetInstalledConfigVersion() {
  return GetConfig() ? m_config->GetInstalledConfigVersion() : 0;
}

BOOL CDeviceConfigAccess::IsNewerConfigInstalled() {
  if (!GetConfig()) return FALSE;
  return m_config->GetInstalledConfigVersion() > m_config->GetConfigVersion();
}

BOOL CDeviceConfigAccess::GetDisplayConfig() {
  if (!GetConfig()) return FALSE;
  if (!m_display) {
    m_display = m_config->GetDisplayConfig();
    if (!m_display && !m_remoteType.empty()) {
      if (auto remote = m_config->GetRemotePanel(m_remoteType); remote && remote->display) {
        m_display = remote->display;
        m_displayName = remote->displayName;
      }
    }
  }
  return m_display ? TRUE : FALSE;
}

const hv::DisplayConfig* CDeviceConfigAccess::GetDisplay() { return GetDisplayConfig() ? &*m_display : nullptr; }

BOOL CDeviceConfigAccess::HasDisplayResources() { return GetDisplayConfig() && m_display->ownResources; }

BOOL CDeviceConfigAccess::IsGraphicDisplay() { return GetDisplayConfig() && m_display->graphic; }

int CDeviceConfigAccess::GetColorDepth() { return GetDisplayConfig() ? m_display->colorDepth : 0; }

BOOL CDeviceConfigAccess::GetDisplaySize(int& first, int& second) {
  if (!GetDisplayConfig()) return FALSE;
  m_display->GetSize(first, second);
  return TRUE;
}

int CDeviceConfigAccess::GetHardwareFontCount() { return GetDisplayConfig() ? m_display->hardwareFonts : 0; }

WORD CDeviceConfigAccess::GetIOCount(const wxString& kind) {
  if (!GetConfig()) return 0;
  if (!m_ioLoaded) {
    m_io = m_config->GetIOConfig();
    m_ioLoaded = true;
  }
  return m_io ? m_io->GetCount(kind) : 0;
}

BOOL CDeviceConfigAccess::IsUnicodeName() { return GetConfig() && m_config->IsUnicode(); }

BOOL CDeviceConfigAccess::SupportsKeypads() { return GetConfig() && m_config->HasFtpTransfer(); }

BOOL CDeviceConfigAccess::IsCFAvailable() {
  if (!GetConfig()) return FALSE;
  if (m_config->HasFtpTransfer() || m_config->HasCompactFlash()) return TRUE;
  const wxString extension = ReadDeviceExtensionName(m_folder);
  return !extension.empty() && m_config->ExtensionHasCompactFlash(extension);
}

BOOL CDeviceConfigAccess::AllowsBitmaps() { return GetConfig() && m_config->AllowsBitmaps(); }

BOOL CDeviceConfigAccess::AllowsDataPoints() { return GetConfig() && m_config->AllowsDataPoints(); }

long CDeviceConfigAccess::FindConfigEntry(const wxString& name) {
  return GetConfig() ? m_config->FindProgramEntry(name) : 0;
}

long CDeviceConfigAccess::FindTavDesignEntry() { return GetConfig() ? m_config->FindTavDesignEntry() : 0; }

int CDeviceConfigAccess::GetCoDeSysConfigCount() { return GetConfig() ? m_config->GetCoDeSysCount() : -1; }

BOOL CDeviceConfigAccess::GetCoDeSysConfigValue(const wxString& key, wxString& value) {
  return GetConfig() && m_config->GetCoDeSysValue(key, value);
}

BOOL CDeviceConfigAccess::GetCoDeSysConfigItem(int index, wxString& name, wxString& value) {
  return GetConfig() && m_config->GetCoDeSysItem(index, name, value);
}

int CDeviceConfigAccess::GetCoDeSysDownloadType() {
  wxString value;
  if (!GetCoDeSysConfigValue("CoDeSysDownloadType", value)) return 0;
  return static_cast<int>(hv::ParseConfigInteger(value));
}

BOOL CDeviceConfigAccess::HasDeviceDriver(const wxString& name) { return GetConfig() && m_config->HasDriver(name); }

BOOL CDeviceConfigAccess::HasNetwork(const wxString& name) { return GetConfig() && m_config->HasNetwork(name); }

BOOL CDeviceConfigAccess::HasModule(const wxString& name) { return GetConfig() && m_config->HasModule(name); }

BOOL CDeviceConfigAccess::AcceptsTool(const wxString& identifier, double version) {
  return GetConfig() && m_config->AcceptsTool(identifier, version);
}
