#pragma once
// A device's view of its hardware configuration: the copy in the device's "hardware"
// folder, read for the device's firmware version, loaded on first use and kept until it
// is released or reloaded. Every question loads first; a device without a loadable
// configuration answers FALSE, 0, or -1 for the CoDeSys count, and shows nothing.
//
// The device object owns one of these. Copying one copies what it is made from, never
// what it has loaded, so a copied device reads its configuration again on first use.
// The offer of a newer installed configuration is the device object's: it asks
// IsNewerConfigInstalled() when it decides to offer, recopies and calls
// LoadDeviceConfig(TRUE).
#include <memory>
#include <optional>
#include <wx/string.h>

#include "platform/DeviceConfig.h"
#include "platform/Types.h"

class CDeviceConfigAccess {
 public:
  CDeviceConfigAccess() = default;
  explicit CDeviceConfigAccess(const wxString& deviceFolder, int firmwareVersion = 180,
                               const wxString& remoteType = wxString());
  CDeviceConfigAccess(const CDeviceConfigAccess& other);
  CDeviceConfigAccess& operator=(const CDeviceConfigAccess& other);
  CDeviceConfigAccess(CDeviceConfigAccess&&) noexcept = default;
  CDeviceConfigAccess& operator=(CDeviceConfigAccess&&) noexcept = default;
  ~CDeviceConfigAccess() = default;

  // What the configuration is made from. A change of folder or firmware version drops
  // everything loaded; a change of remote type drops the display part.
  void SetDeviceFolder(const wxString& deviceFolder);
  void SetFirmwareVersion(int hundredths);
  void SetRemoteType(const wxString& remoteType);
  const wxString& GetDeviceFolder() const { return m_folder; }
  int GetFirmwareVersion() const { return m_firmware; }
  const wxString& GetRemoteType() const { return m_remoteType; }
  // The device folder followed by "hardware" (its existing spelling when there is one).
  wxString GetHardwareFolder() const;

  // Drops the display part, the I/O part, the configuration and the display name.
  void Release();
  // Loads the configuration unless one is held; with reload, drops and loads again.
  // TRUE when a configuration is held afterwards.
  BOOL LoadDeviceConfig(BOOL reload = FALSE);
  BOOL IsLoaded() const { return m_config != nullptr; }
  // The loaded configuration (loading it first), or null.
  const hv::DeviceConfig* GetConfig();

  // Versions in hundredths of the device's copy and of the installed type; whether the
  // installed one is newer.
  int GetConfigVersion();
  int GetInstalledConfigVersion();
  BOOL IsNewerConfigInstalled();

  // The display part: the device's own, else the remote panel's named by the remote
  // type (whose display name is then kept). TRUE when there is one.
  BOOL GetDisplayConfig();
  const hv::DisplayConfig* GetDisplay();
  const wxString& GetDisplayName() const { return m_displayName; }
  BOOL HasDisplayResources();
  BOOL IsGraphicDisplay();
  int GetColorDepth();
  // Pixels when the display has its own resources, else characters; FALSE (and the
  // numbers untouched) without a display.
  BOOL GetDisplaySize(int& first, int& second);
  int GetHardwareFontCount();

  // "DI", "DO", "AI", "AO" (exactly); 0 for anything else.
  WORD GetIOCount(const wxString& kind);

  BOOL IsUnicodeName();
  // The first capability query: the device is reached by FTP (keypads, TrueType fonts,
  // web pages).
  BOOL SupportsKeypads();
  // A CompactFlash card is possible: by the first or second capability query, or by the
  // extension module named in the device's "device.cfg".
  BOOL IsCFAvailable();
  // Permissions of the new-object dialog.
  BOOL AllowsBitmaps();
  BOOL AllowsDataPoints();

  long FindConfigEntry(const wxString& name);
  long FindTavDesignEntry();

  int GetCoDeSysConfigCount();
  BOOL GetCoDeSysConfigValue(const wxString& key, wxString& value);
  BOOL GetCoDeSysConfigItem(int index, wxString& name, wxString& value);
  int GetCoDeSysDownloadType();

  BOOL HasDeviceDriver(const wxString& name);
  BOOL SupportsDriver(const wxString& name) { return HasDeviceDriver(name); }
  BOOL HasNetwork(const wxString& name);
  BOOL SupportsNetworkDriver(const wxString& name) { return HasNetwork(name); }
  BOOL HasModule(const wxString& name);
  // The configuration's half of the tool test: an entry for the identifier accepts
  // the tool's version.
  BOOL AcceptsTool(const wxString& identifier, double version);

 private:
  wxString m_folder;
  int m_firmware = 180;
  wxString m_remoteType;

  std::unique_ptr<hv::DeviceConfig> m_config;
  std::optional<hv::DisplayConfig> m_display;
  std::optional<hv::IOConfig> m_io;
  bool m_ioLoaded = false;
  wxString m_displayName;
};
