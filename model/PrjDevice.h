#pragma once
// A device of a project (panel or controller): the tree node that owns the device
// folder (project folder + device name), its "DEVICE.SET", its own table set with the
// device's row in "GERAET", and its hardware configuration. Every object below a
// device reaches folder, settings and capabilities through it.
//
// The device folder holds "DEVICE.SET" (its presence makes the folder a device), the
// tables, "Hardware" (the files of the hardware type), and, depending on the display,
// "Fonts", "Resource", "Bitmaps", "Menus", "Keypads".
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>
#include <wx/string.h>

#include "framework/ToolsRepository.h"
#include "model/DeviceConfigAccess.h"
#include "model/DeviceSettings.h"
#include "model/ProjectObject.h"

namespace hv::db {
struct GeraetRow;
}

// Commands of the device's map (menu resource 314).
enum : UINT {
  ID_DEVICE_EDIT = 32772,            // "&Ändern"
  ID_DEVICE_DELETE = 32773,          // "&Löschen"
  ID_DEVICE_NEW_OBJECT = 32787,      // "Neues Object": a new device beside this one
  ID_DEVICE_LOAD_CONFIG = 32885,     // load the configuration (sent after loading children)
  ID_DEVICE_TOOL_POPUP = 32898,      // "<ToolPopup1>": where the tools go
  ID_DEVICE_IMPORT_CODESYS = 32917,  // sent by the CoDeSys program folder
  ID_DEVICE_COPY = 57634,
  ID_DEVICE_CUT = 57635,
  ID_DEVICE_PASTE = 57637,
};

// Menu resource of the device's context menu.
constexpr int kDeviceContextMenu = 314;
// Result of the device sheet's wizard when it ends with "Fertigstellen".
constexpr int kWizardFinish = 12325;
// Network number of the device's own row in its "GERAET" table.
constexpr std::uint16_t kOwnDeviceNetwork = 0xFFFF;
// Longest names: a device's name in the tree, and as stored in "GERAET".
constexpr size_t kMaxDeviceName = 30;
constexpr size_t kStoredDeviceName = 48;

class CPOPrjDevice;

// The device sheet (CPSPrjDevice), as the settings dialog (IDOK) or as the wizard of a
// new device (kWizardFinish). The runner edits `device`, the sheet's copy of the
// device, in place; the caller takes the copy back after OK or finish.
struct PrjDeviceSheetRequest {
  wxString caption;
  BOOL wizard = FALSE;
  CPOPrjDevice* device = nullptr;
};

// An open-file dialog: `fileName` preset, the chosen path in `path` after IDOK.
struct OpenFileRequest {
  wxString caption;
  wxString filter;       // "Text (*.x)|*.x|"
  wxString defaultExtension;
  wxString fileName;
  wxString path;
};

class CPOPrjDevice : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOPrjDevice)

 public:
  // A new device object: name "Gerät", firmware version 180, no configuration.
  CPOPrjDevice();
  // A device of the project node `parent`, not yet added to it.
  explicit CPOPrjDevice(CProjectObject* parent);
  ~CPOPrjDevice() override;

  // --- fields ---
  const wxString& GetDeviceFolder() const { return m_deviceFolder; }
  // Points folder, settings and configuration at the folder.
  void SetDeviceFolder(const wxString& folder);
  const wxString& GetWorkingDeviceFolder() const { return m_workingDeviceFolder; }
  void SetWorkingDeviceFolder(const wxString& folder) { m_workingDeviceFolder = folder; }
  const wxString& GetSymbolFolder() const { return m_symbolFolder; }
  void SetSymbolFolder(const wxString& folder) { m_symbolFolder = folder; }

  const wxString& GetHardwareType() const { return m_hardwareType; }
  void SetHardwareType(const wxString& type) { m_hardwareType = type; }
  const wxString& GetRemoteType() const { return m_remoteType; }
  void SetRemoteType(const wxString& remoteType);
  short GetFirmwareVersion() const { return m_firmwareVersion; }
  void SetFirmwareVersion(short hundredths);
  BOOL GetUnicodeResource() const { return m_unicodeResource; }
  void SetUnicodeResource(BOOL on) { m_unicodeResource = on ? TRUE : FALSE; }
  BOOL GetCompressedBitmaps() const { return m_compressedBitmaps; }
  void SetCompressedBitmaps(BOOL on) { m_compressedBitmaps = on ? TRUE : FALSE; }

  DWORD GetDeviceNumber() const { return m_deviceNumber; }
  void SetDeviceNumber(DWORD number) { m_deviceNumber = number; }
  const wxString& GetDeviceParameters() const { return m_deviceParameters; }
  void SetDeviceParameters(const wxString& text) { m_deviceParameters = text; }
  const wxString& GetWorkingParameters() const { return m_workingParameters; }
  void SetWorkingParameters(const wxString& text) { m_workingParameters = text; }
  const wxString& GetDeviceDriver() const { return m_deviceDriver; }
  void SetDeviceDriver(const wxString& driver) { m_deviceDriver = driver; }
  const wxString& GetDriverDisplayText() const { return m_driverDisplayText; }
  void SetDriverDisplayText(const wxString& text) { m_driverDisplayText = text; }
  const wxString& GetNode() const { return m_node; }
  void SetNode(const wxString& node) { m_node = node; }
  const wxString& GetNetwork() const { return m_network; }
  void SetNetwork(const wxString& network) { m_network = network; }
  const wxString& GetNetworkPara() const { return m_networkPara; }
  void SetNetworkPara(const wxString& para) { m_networkPara = para; }
  const wxString& GetSlot() const { return m_slot; }
  void SetSlot(const wxString& slot) { m_slot = slot; }
  std::int64_t GetTableTime() const { return m_tableTime; }
  // The CoDeSys program a download of the whole project takes for this device.
  const wxString& GetDownloadProgram() const { return m_downloadProgram; }
  void SetDownloadProgram(const wxString& program) { m_downloadProgram = program; }

  // The folder of the project the device lies in.
  wxString GetProjectFolder() const;

  // The fields as "DEVICE.SET" keeps them, and back.
  DeviceSetValues GetDeviceSetValues() const;
  void SetDeviceSetValues(const DeviceSetValues& values);

  // --- operations of the tree and the list ---
  void Serialize(CArchive& ar) override;
  BOOL IsUnicodeName() override;
  BOOL HasTreeChildren() override;
  int Compare(const CProjectObject* other, int column) override;
  wxString GetColumnText(int column) override;
  int AddImageToList(CImageList& images, int size) override;
  int GetImage() override;
  int GetSelectedImage() override { return GetImage(); }
  TypeCode GetTypeCode() override { return TypeCode::PrjDevice; }
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  void AdjustContextMenu(CMenu& menu) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }

  // --- commands, public for tests ---
  void OnEdit();
  void OnDelete();
  void OnNewObject();
  void OnLoadDeviceConfig();
  BOOL OnToolCommand(UINT id);
  void ImportCoDeSysProject();

  // Makes this object a copy of the source for the device sheet and back; the cached
  // configuration is dropped (also when the source is this object).
  void CopyDevice(const CPOPrjDevice& source);
  // Makes the device the current one (registry "CurrentDevice", its project, the
  // program's current selection). TRUE.
  BOOL SetCurrentDevice();

  // --- path macros ---
  // The device parameters with the device folder and the symbol folder replaced by
  // their macros; the same for the working parameters against the working folder.
  wxString CollapsePathMacros() const;
  void ExpandPathMacros(const wxString& text);
  wxString CollapseWorkingPathMacros() const;
  void ExpandWorkingPathMacros(const wxString& text);

  // Tool parameters with the device's values: "%n" network, "%s" slot, "%x" network
  // parameters, "%d" device driver, "%o" node, "%p" device parameters ("%p<k>" their
  // k-th ';' field), "%l" "EN"/"DE"; any other pair vanishes. One pass from the left:
  // values go in as they are.
  wxString ExpandPlaceholders(const wxString& text) const;

  // Whether a tool version may be used with the device: a parameter set for the
  // device's network driver, and a tool entry of the configuration that accepts the
  // version.
  BOOL IsToolForDevice(const CTool& tool);
  // Gives the accepted tools of the repository dense command ids from 40000 (up to
  // 40100), every other tool id 0, and returns the menu entries.
  std::vector<CToolMenuEntry> ListToolsForDevice(CToolsRepository& tools);

  BOOL IsPanelType() const;
  BOOL IsComboDevice() const;
  // Drivers "CE_QX" and "CE_PN_QX" serve devices without a resources node.
  bool IsWithoutResources() const;

  // --- settings file ---
  CDeviceSettings& GetSettings() { return m_settings; }
  const CDeviceSettings& GetSettings() const { return m_settings; }
  void ReadDeviceSet();
  BOOL WriteDeviceSet(BOOL withOffsets);
  // UseCF as the device's card slot allows it.
  BOOL UsesCF() { return m_settings.UsesCF(m_config.IsCFAvailable()); }
  BOOL ExchangeUseCF(int value) { return m_settings.ExchangeUseCF(value, m_config.IsCFAvailable()); }

  // --- configuration ---
  CDeviceConfigAccess& GetConfigAccess() { return m_config; }
  // Asks once per object, when the installed configuration of the device's type is
  // newer than the device's copy, whether to take it; on yes the copy is replaced and
  // reloaded. TRUE when it was replaced.
  BOOL OfferNewerConfiguration();

  // --- the device's row in its "GERAET" table ---
  // Fills the row from the fields (name cut to 48, parameters collapsed).
  void FillOwnRow(hv::db::GeraetRow& row) const;
  // Rewrites the device's own row; FALSE when the table or row cannot be written.
  BOOL WriteOwnRow();

  HV_DECLARE_COMMAND_MAP()

 protected:
  void OnUpdateNewObject(CCmdUI* ui);
  void OnUpdateCut(CCmdUI* ui);

 private:
  // The parts of OnEdit, one per kind of change.
  void ApplyRename(const wxString& oldName, const wxString& oldFolder, const wxString& oldSymbolFile);
  void ApplyHardwareType(const wxString& oldType);
  void ApplyRemoteType(const wxString& oldRemoteType);
  void MakeMissingDisplayFolders(BOOL hadDisplay, BOOL hadResources);
  bool SaveEditedDevice();
  void TakeStoredValues(const hv::db::GeraetRow& row);
  std::vector<wxString> DeviceFolderList() const;
  void OfferConnectionToAll();
  std::unique_ptr<CProjectObject> MakeChild(TypeCode kind);
  BOOL ProbeChild(TypeCode kind, bool listChildren);
  void LoadDevicePictures();
  void RequestConfigurationOffer();

  wxString m_downloadProgram;       // CoDeSys program of a project download
  CDeviceSettings m_settings;
  std::int64_t m_tableTime = 0;     // GERAET's last write when the children were loaded
  BYTE m_marker = 0xFF;             // no reader
  CDeviceConfigAccess m_config;
  BOOL m_unicodeResource = FALSE;
  wxString m_remoteType;
  short m_firmwareVersion = kDefaultFirmwareVersion;
  BOOL m_compressedBitmaps = FALSE;
  DWORD m_deviceNumber = 0;
  wxString m_deviceParameters;
  wxString m_workingParameters;
  wxString m_deviceDriver;
  wxString m_driverDisplayText;
  wxString m_node;
  wxString m_networkPara;
  wxString m_network;
  wxString m_hardwareType;
  wxString m_slot;
  wxString m_deviceFolder;
  wxString m_workingDeviceFolder;
  wxString m_symbolFolder;

  // Device pictures of the sizes 1, 2, 3 (files), loaded once, and their indices in
  // the views' image lists.
  std::array<wxString, 3> m_pictures;
  bool m_picturesLoaded = false;
  std::array<int, 3> m_imageIndex = {-1, -1, -1};

  bool m_offerAsked = false;        // the newer-configuration question, once per object
};

// The folder of a project node; empty for anything else.
wxString GetProjectFolderOf(CProjectObject* project);

// Makes the device object of a device folder of a project from the folder's "GERAET"
// row of its own name and its "DEVICE.SET"; nullptr when the folder is no device.
std::unique_ptr<CPOPrjDevice> LoadProjectDevice(CPOProject& project, const wxString& deviceFolder);
