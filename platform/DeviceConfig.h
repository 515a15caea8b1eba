#pragma once
// Device hardware configurations of the suite's helper library. A device type is a
// folder under the install folder's "Halvora/default/hardware" holding "hardware.set"
// or "hardware.xml"; a device keeps a copy of it in its own "hardware" folder.
//
// Sections and keys read (names ignore case):
//   [General]      Type, ConfigVersion, DefaultFWVersion and other entry texts, Unicode
//   [Capabilities] Ftp (first capability query: transfer by FTP, keypads, TrueType),
//                  CompactFlash (second query), Bitmaps, DataPoints (new-object dialog)
//   [Display]      Graphic, Width, Height, Columns, Rows, ColorDepth, OwnResources,
//                  HardwareFonts
//   [IO]           DI, DO, AI, AO
//   [Networks], [Drivers], [Modules], [RemotePanels]: name lists ("1=NAME", ...)
//   [Remote NAME]  DisplayName and the [Display] keys of a remote panel
//   [Extension NAME] CompactFlash
//   [Programs]     program kinds ("TavSim=1"), [Design] TavDesign
//   [CoDeSys]      free keys, [Tools] "identifier;version;lowest;highest;excluded"
//   [Versions]     firmware versions with their own overlays "[Section@1.50]"
// Versions are held in hundredths (152 = 1.52) and read independently of the locale.
#include <memory>
#include <optional>
#include <vector>
#include <wx/string.h>

#include "platform/HardwareConfigFile.h"
#include "platform/Types.h"

namespace hv {

// The display part of a configuration, the device's own or a remote panel's.
struct DisplayConfig {
  BOOL graphic = FALSE;
  int width = 0;
  int height = 0;
  int columns = 0;
  int rows = 0;
  int colorDepth = 0;   // bits per pixel
  BOOL ownResources = FALSE;
  int hardwareFonts = 0;

  // The two numbers the device page shows: pixels when the display has resources of
  // its own, else columns and rows of characters.
  void GetSize(int& first, int& second) const;
};

// A remote panel that lends its display to a controller.
struct RemotePanelEntry {
  wxString name;
  wxString displayName;   // at most 260 characters; the name when the entry has none
  std::optional<DisplayConfig> display;
};

struct IOConfig {
  WORD di = 0, dout = 0, ai = 0, ao = 0;
  // "DI", "DO", "AI" or "AO", compared exactly; 0 for anything else.
  WORD GetCount(const wxString& kind) const;
};

// A tool that may be used with the device, with the versions it accepts (hundredths,
// 0 = not given).
struct ToolEntry {
  wxString identifier;
  int version = 0;
  int lowest = 0;
  int highest = 0;
  int excluded = 0;
  // The version equals the entry's, or lies within lowest..highest and is not excluded.
  bool Accepts(int versionHundredths) const;
};

class DeviceConfig {
 public:
  DeviceConfig(wxString folder, int firmwareHundredths, ConfigSections sections);

  const wxString& GetFolder() const { return m_folder; }
  int GetFirmwareVersion() const { return m_firmware; }
  const ConfigSections& GetSections() const { return m_sections; }

  // [General] "Type": the installed type this copy was made from.
  wxString GetType() const;
  // [General] "ConfigVersion" in hundredths (0 when missing or not a version).
  int GetConfigVersion() const;
  // ConfigVersion of the installed configuration of GetType(), read with the same
  // firmware version; 0 when the type is not installed.
  int GetInstalledConfigVersion() const;
  // A [General] entry as text of at most 20 characters; FALSE when missing.
  BOOL GetEntryText(const wxString& key, wxString& text) const;

  BOOL IsUnicode() const;
  BOOL HasFtpTransfer() const;    // first capability query
  BOOL HasCompactFlash() const;   // second capability query
  BOOL AllowsBitmaps() const;
  BOOL AllowsDataPoints() const;

  // The device's own display, or nothing when it has none.
  std::optional<DisplayConfig> GetDisplayConfig() const;
  std::optional<IOConfig> GetIOConfig() const;

  // Remote panel names (at most 20 characters each), by index from 0.
  int GetRemotePanelCount() const;
  BOOL GetRemotePanelName(int index, wxString& name) const;
  // The remote panel of that name (case ignored), when the configuration describes it.
  std::optional<RemotePanelEntry> GetRemotePanel(const wxString& name) const;
  // Whether the extension module of that name reports a CompactFlash card.
  BOOL ExtensionHasCompactFlash(const wxString& name) const;

  std::vector<wxString> GetNetworks() const { return List(wxS("Networks")); }
  std::vector<wxString> GetDrivers() const { return List(wxS("Drivers")); }
  std::vector<wxString> GetModules() const { return List(wxS("Modules")); }
  BOOL HasNetwork(const wxString& name) const { return InList(wxS("Networks"), name); }
  BOOL HasDriver(const wxString& name) const { return InList(wxS("Drivers"), name); }
  BOOL HasModule(const wxString& name) const { return InList(wxS("Modules"), name); }

  // [Programs] entry as a number, 0 when absent; [Design] "TavDesign" likewise.
  long FindProgramEntry(const wxString& name) const;
  long FindTavDesignEntry() const;

  // [CoDeSys]: keys in file order, values of at most 260 characters.
  int GetCoDeSysCount() const;
  BOOL GetCoDeSysValue(const wxString& key, wxString& value) const;
  BOOL GetCoDeSysItem(int index, wxString& key, wxString& value) const;

  std::vector<ToolEntry> GetTools() const;
  // Whether a tool entry with that identifier (case ignored) accepts the version.
  BOOL AcceptsTool(const wxString& identifier, double version) const;

  // [Versions] texts in file order.
  std::vector<wxString> GetVersionNames() const { return List(wxS("Versions")); }

 private:
  const wxString* Value(const wxString& section, const wxString& key) const;
  long long Number(const wxString& section, const wxString& key) const;
  std::vector<wxString> List(const wxString& section) const;
  BOOL InList(const wxString& section, const wxString& name) const;

  wxString m_folder;
  int m_firmware = 0;
  ConfigSections m_sections;
};

// Makes the configuration of a hardware folder for a firmware version (1.52 for
// firmware 152); 0 or less asks for the base configuration. Null when the folder has
// no readable configuration.
std::unique_ptr<DeviceConfig> GetDeviceConfig(const wxString& folder, double version);
// The same with the firmware version in hundredths.
std::unique_ptr<DeviceConfig> OpenDeviceConfig(const wxString& folder, int firmwareHundredths);

// Number of configuration versions of a folder: the base and each [Versions] entry;
// 0 without a configuration. Index 0 is the base (version 0), then the versions
// ascending.
int GetCountOfDeviceVersions(const wxString& folder);
double GetDeviceConfigVersion(const wxString& folder, int index);
int GetDeviceConfigVersionHundredths(const wxString& folder, int index);

// A version as the library's callers pass it, in hundredths (1.15 is 115).
int VersionToHundredths(double version);

// Install tree. The folder of the installed types, one type's folder (empty for a name
// that is no single folder name), the default fonts and the palette a remote panel
// brings along.
wxString InstalledHardwareFolder();
wxString InstalledTypeFolder(const wxString& type);
wxString InstalledFontsFolder();
wxString InstalledRemotePalette(const wxString& type, const wxString& remoteType);
// A hardware folder given as a path (holding a separator) or as a type name.
wxString ResolveHardwareFolder(const wxString& pathOrType);
// Whether a folder holds a configuration file.
bool IsHardwareTypeFolder(const wxString& folder);

}  // namespace hv
