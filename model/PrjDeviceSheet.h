#pragma once
// The project device's property sheet, as the settings of a device (general page, PC
// connection, fonts when the display has resources of its own) and as the wizard of a
// new device (PC connection, then the general page). The pages edit the sheet's copy of
// the device; the caller takes the copy back after OK or finish.
#include <memory>
#include <vector>
#include <wx/string.h>

#include "framework/PropertySheetModel.h"
#include "model/PrjDeviceGeneral.h"

class CPOPrjDevice;

// Autoscan button of the sheet's button row.
constexpr int ID_AUTOSCAN = 415;

class CPPPrjDeviceConnection : public CSheetPage {
 public:
  enum { IDC_PARAMETERS = 1074, IDC_NETWORK = 1076, IDC_SLOT = 1077, IDC_SETTINGS = 1078 };
  static constexpr std::size_t kSlotMax = 10, kParametersMax = 255;

  explicit CPPPrjDeviceConnection(CPOPrjDevice& device) : m_device(device) {}

  struct Driver {
    wxString display;
    wxString title;
  };
  const std::vector<Driver>& Drivers() const { return m_drivers; }
  int selected = -1;
  wxString slot, parameters;

  void OnInit() override;
  void OnSetActive() override;
  PageCheck OnKillActive() override;
  void OnOK() override { Save(); }
  // A network chosen in the list: slot and parameters start empty.
  void SelectNetwork(int index);
  // The online library's dialog for the chosen network; true when confirmed.
  bool NetworkSettings();

 private:
  bool Save();
  CPOPrjDevice& m_device;
  std::vector<Driver> m_drivers;
};

class CPSPrjDevice : public CSheetController {
 public:
  // The sheet edits `copy`; in the wizard the connection comes first.
  CPSPrjDevice(CPOPrjDevice& copy, bool wizard);

  CPOPrjDevice& Device() { return m_copy; }
  CPPPrjDeviceConnection& Connection() { return m_connection; }
  CPPPrjDeviceGeneral& General() { return m_general; }
  // Whether the settings show the fonts page (a display with resources of its own).
  bool HasFontsPage() const { return m_fonts; }
  // Index of a page in the sheet's order.
  int IndexOf(const CSheetPage* page) const;

  // OK: the page in front is checked, then the general page as a whole (its values and
  // that type, driver, node and parameters are set) wherever the user is; a refusal of
  // the general page brings it to the front. Then every page shown stores its data.
  bool Confirm() override;

  // The Autoscan button: scans the device's PC connection and applies the chosen
  // device to the general page. True when the page took a scanned device.
  bool Autoscan();

 private:
  CPOPrjDevice& m_copy;
  CPPPrjDeviceConnection m_connection;
  CPPPrjDeviceGeneral m_general;
  bool m_fonts = false;
};

// A scanned device offered by the Autoscan button.
struct ScannedDevice {
  wxString address;    // node as scanned
  wxString type;
  wxString driver;
  wxString firmware;   // "FW-Version : 1.52" or another firmware text
  wxString version;    // version text
};

// The firmware of a scanned device in hundredths: the number after "FW-Version : ",
// else the number from the text's third character, else the version text's number;
// read locale-free, rounded to whole hundredths and kept within 0..32767.
int ScannedFirmwareHundredths(const wxString& firmware, const wxString& version);
// A version text such as "1.52" in whole hundredths (0 for no number, never negative,
// at most 32767); the C locale's form whatever locale is in use.
int VersionTextHundredths(const wxString& text);
