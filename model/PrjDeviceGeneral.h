#pragma once
// The general page of the project device's sheet: name, device type from the install
// tree, device driver from the device plug-ins, firmware version and remote panel, node
// and parameters from the online library, and the type's picture and facts.
#include <utility>
#include <vector>
#include <wx/string.h>

#include "framework/PropertySheetModel.h"

class CPOPrjDevice;

class CPPPrjDeviceGeneral : public CSheetPage {
 public:
  enum {
    IDC_NAME = 1025, IDC_TYPE = 1067, IDC_DRIVER = 1069, IDC_DRIVER_SETTINGS = 1070, IDC_NODE = 1073,
    IDC_PARAMETERS = 1074, IDC_NUMBER = 1072, IDC_FIRMWARE = 1228, IDC_FIRMWARE_LABEL = 1227, IDC_REMOTE = 1237,
    IDC_REMOTE_LABEL = 1236, IDC_COMPRESSED = 1221, IDC_INFO_GROUP = 1145, IDC_PICTURE = 1144, IDC_INFO_LABEL = 1146, IDC_INFO_VALUE = 1151
  };
  static constexpr int kInfoLines = 5;   // lines with their own control ids
  // A graphic display's three lines and the four counts.
  static constexpr int kMostInfoLines = 7;
  static constexpr std::size_t kNameMax = 30, kNodeMax = 10, kParametersMax = 399;

  CPPPrjDeviceGeneral(CPOPrjDevice& device, bool wizard) : m_device(device), m_wizard(wizard) {}

  // What the view shows and the user edits.
  wxString name;
  DWORD deviceNumber = 0;
  std::vector<wxString> types;
  int type = -1;
  struct Driver {
    wxString display;
    wxString key;
  };
  std::vector<Driver> drivers;
  int driver = -1;
  struct Firmware {
    wxString text;
    int hundredths;
  };
  std::vector<Firmware> firmwares;
  int firmware = -1;
  bool firmwareEnabled = false;
  std::vector<wxString> remotePanels;   // "<Kein>" first when there are any
  int remotePanel = -1;
  wxString node, parameters;
  // The device's compressed-bitmaps flag: kept on the page in a hidden, disabled box.
  bool compressedBitmaps = false;
  std::vector<std::pair<wxString, wxString>> info;   // label and value
  wxString picture;                                   // path of "device.bmp"

  void OnInit() override;
  void OnSetActive() override;
  PageCheck OnKillActive() override;
  void OnLeave() override;
  PageCheck OnWizardNext() override;
  PageCheck OnWizardFinish() override;
  void OnOK() override;
  // The check OK and the wizard's buttons make on the page: its values taken and
  // validated; a refusal names the field to mend.
  PageCheck CheckForOK();

  void OnTypeChanged(int index);
  void OnDriverChanged(int index);
  void OnFirmwareSelected(int index);
  void OnRemotePanelChanged(int index);
  void OnNameChanged(const wxString& text);
  // The online library's dialog for node and parameters; true when confirmed.
  bool SelectDriverParameters();
  // Takes a scanned device's type, driver, node and firmware (already in the copy)
  // and puts the address into the parameters' third field.
  void ApplyScannedDevice(const wxString& address);

  // Every label a line of the device information can carry, in the current language.
  static std::vector<wxString> InfoLabels();

  // Text numbers of the page's labels and messages (for the English catalogue).
  wxString ChosenType() const { return m_chosenType; }

 private:
  PageCheck Save();
  PageCheck Validate();
  void FillDeviceTypeList();
  void FillDriverList();
  void FillFirmwareVersionList();
  void FillRemotePanelList();
  void ShowDeviceInformation();
  int SelectedFirmware() const;
  wxString TypeFolder(const wxString& type) const;
  bool UsesOwnFolder(const wxString& type) const;

  CPOPrjDevice& m_device;
  bool m_wizard;
  bool m_scanned = false;
  wxString m_initialType, m_chosenType, m_remoteText, m_workingFolder, m_deviceDriver, m_driverText;
};
