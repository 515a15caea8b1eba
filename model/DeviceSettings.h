#pragma once
// "DEVICE.SET", the settings file of one device (its presence makes a folder a
// device), and the one value read from the device tools' "device.cfg".
//
// [Config]   Type, RemoteType, FWBelow152, FWVersion, UnicodeResource, Version, UseCF,
//            FtpUsername, FtpPassword, RecipePath, ResourcePath, BitmapsCompressed
// [Connection] Slot, Network, NetworkPara, Node
// [Resource Offset] first resource number of each kind, written for a new device
// Sections of other owners: [TavSim], [TavSim Source-Files], [TavSim Library-Files],
// [Fonts].
//
// The file is found whatever the case of its name; a new one is "DEVICE.SET". Texts are
// Windows-1252: a value that cannot be written so is refused. Writes that change several
// keys change all or none of them.
#include <functional>
#include <wx/string.h>

#include "framework/SettingsFile.h"
#include "platform/Types.h"

inline const wxString kDeviceSetFile = wxS("DEVICE.SET");
inline const wxString kDeviceCfgFile = wxS("device.cfg");
inline const wxString kSectionConfig = wxS("Config");
inline const wxString kSectionConnection = wxS("Connection");
inline const wxString kSectionResourceOffset = wxS("Resource Offset");
inline const wxString kSectionTavSim = wxS("TavSim");
inline const wxString kSectionTavSimSources = wxS("TavSim Source-Files");
inline const wxString kSectionTavSimLibraries = wxS("TavSim Library-Files");
inline const wxString kSectionFonts = wxS("Fonts");

// Data version written into every new device.
constexpr int kDeviceDataVersion = 2910;
// Firmware version of a new device object (hundredths).
constexpr short kDefaultFirmwareVersion = 180;
// Folder on a device that recipes and resources go to unless the device says otherwise.
inline const wxString kDefaultDeviceTransferPath = wxS("\\Flashdisk\\TavDesign");

// What the device object keeps of its settings file.
struct DeviceSetValues {
  wxString type;                 // [Config] Type: the hardware type
  wxString remoteType;           // [Config] RemoteType
  short firmwareVersion = kDefaultFirmwareVersion;   // [Config] FWVersion, hundredths
  BOOL unicodeResource = FALSE;  // [Config] UnicodeResource
  wxString slot;                 // [Connection] Slot
  wxString network;              // [Connection] Network
  wxString networkPara;          // [Connection] NetworkPara
  wxString node;                 // [Connection] Node (written only; the table row keeps it)
};

class CDeviceSettings {
 public:
  CDeviceSettings() = default;
  explicit CDeviceSettings(const wxString& deviceFolder) { SetDeviceFolder(deviceFolder); }

  // Points the settings at the folder's "DEVICE.SET".
  void SetDeviceFolder(const wxString& deviceFolder);
  const wxString& GetDeviceFolder() const { return m_folder; }
  // The file's existing spelling, else the folder followed by "DEVICE.SET".
  wxString GetPath() const;
  const CSettingsFile& File() const { return m_file; }
  CSettingsFile& File() { return m_file; }

  // Reads [Config] and [Connection]. The UnicodeResource default (the configuration's
  // answer) is asked only when the file has no such key. A missing file gives the
  // defaults. The node is not read back.
  void ReadDeviceSet(DeviceSetValues& values, const std::function<BOOL()>& unicodeDefault) const;
  // Writes [Config] Type, RemoteType, FWBelow152, FWVersion, UnicodeResource,
  // [Connection] Slot, Network, NetworkPara, Node and, with the flag, the whole
  // [Resource Offset] section. FALSE, with the file unchanged, when it fails.
  BOOL WriteDeviceSet(const DeviceSetValues& values, BOOL withOffsets);
  // [Config] Version = 2910.
  BOOL WriteDataVersion();

  // A value read by the settings files' rule (a default that names a registry value
  // of the brand is replaced by that value).
  wxString GetSetting(const wxString& section, const wxString& key, const wxString& def) const;
  BOOL WriteConfigString(const wxString& key, const wxString& value);
  BOOL ReadSimSourceFiles(CMapStringToString& map) const;
  BOOL WriteSettingsSection(const wxString& section, const CMapStringToString& map);

  // [Config] UseCF. The default of the readers is whether the device can have a
  // CompactFlash card; UsesCF honours the key only when it can.
  int GetUseCF(int def) const;
  BOOL SetUseCF(int value);
  BOOL UsesCF(BOOL cfAvailable) const;
  // Writes UseCF and returns what UsesCF answered before; *written tells whether the
  // write succeeded.
  BOOL ExchangeUseCF(int value, BOOL cfAvailable, BOOL* written = nullptr);

  // Keys with their defaults. The FTP user defaults to "supervisor" unless the caller's
  // device is reached by FTP (or the caller is the resource download).
  wxString GetFtpUsername(BOOL emptyDefault) const;
  wxString GetFtpPassword() const;
  wxString GetRecipePath() const;
  wxString GetResourcePath() const;
  BOOL GetBitmapsCompressed() const;
  // [Connection] Node as the build reads it (default "M0").
  wxString GetBuildNode() const;

 private:
  wxString m_folder;
  CSettingsFile m_file;
};

// The extension module named in the device folder's "device.cfg" ([Extensions] "0",
// at most 31 characters); empty when there is none.
wxString ReadDeviceExtensionName(const wxString& deviceFolder);
