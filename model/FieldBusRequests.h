#pragma once
// The dialogs of networks, field-bus devices and the bus scan, as requests with the
// controllers their windows (and scripted tests) drive.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"
#include "platform/online/ScanFile.h"

class CPONetwork;
class CPODevice;
class CPOPrjDevice;

namespace hv {

// A plug-in as a combo box offers it: the display name shown, the title kept.
struct PluginChoice {
  wxString title;
  wxString displayName;
};

// Where a refused OK sends the focus.
enum class FieldBusControl { None, Name, Driver, Settings };

struct Refusal {
  UINT text = 0;   // 0: accepted
  FieldBusControl focus = FieldBusControl::None;
  long select = -1;   // the refused character of the field's text
  explicit operator bool() const { return text != 0; }
};

// CDlgNetwork on a working copy of the network.
struct NetworkDialogRequest {
  bool isNew = false;
  CPONetwork* network = nullptr;   // the working copy
  wxString originalName;           // the name the network had
  std::vector<PluginChoice> drivers;
  int driverIndex = -1;
};

class NetworkDialogController {
 public:
  explicit NetworkDialogController(NetworkDialogRequest& request) : m_r(request) {}
  // The drivers the project device accepts, with their display names; selects the
  // network's driver.
  void Init();
  // Another driver: slot and parameter start empty.
  void SelectDriver(int index);
  // "...": the driver's parameter dialog; true when slot and parameter changed.
  bool EditDriverParameters();
  // OK with the name entered: shows the refusal's message.
  Refusal Accept(const wxString& name);

 private:
  NetworkDialogRequest& m_r;
};

// CPSDevice with its page CPPDeviceGeneral, run on a working copy of the device.
struct DeviceSheetRequest {
  wxString caption;
  wxString networkName;
  bool isNew = false;
  CPODevice* device = nullptr;   // the working copy
  std::vector<PluginChoice> drivers;
  int driverIndex = -1;
  // The project's other devices that work with the network's driver (the name list).
  std::vector<wxString> projectDevices;
};

class DeviceGeneralController {
 public:
  explicit DeviceGeneralController(DeviceSheetRequest& request) : m_r(request) {}
  // The device plug-ins that serve the network's driver; one alone is preselected.
  void Init();
  const wxString& NetworkDriver() const { return m_netDriver; }
  void SelectDriver(int index);
  // A project device picked from the name list: its connection becomes the device's.
  void PickProjectDevice(int index);
  // The name typed over: taken right-trimmed. When the name list's entry `listIndex`
  // had given the device its connection, node and parameter start afresh once.
  void NameTyped(const wxString& text, int listIndex);
  // "...": the device's parameter dialog for node and parameter.
  bool EditDeviceParameters();
  // The page's fields taken into the device (its data exchange): name, then driver.
  Refusal SaveFields(const wxString& name);
  // Leaving the page (OK): the fields, then node and support checks in order.
  Refusal Accept(const wxString& name);
  // A device picked from a scan: its identifier becomes the parameter's third part.
  void SetScannedIdentifier(const wxString& identifier);
  // "&Autoscan" (415) is offered when the PC is attached to this very network: its
  // driver and slot are the project device's PC connection.
  bool CanAutoscan() const;
  // The scan dialog, then the device selection; the chosen device's type, node and
  // address go into the device. True when a device was taken.
  bool Autoscan();

 private:
  DeviceSheetRequest& m_r;
  wxString m_netDriver;
  wxString m_originalName;   // typing renames the copy; the search compares with this
  bool m_picked = false;
};

// CDlgAutoscan: a 500 ms timer drives Tick until it returns IDOK or IDCANCEL.
struct AutoscanRequest {
  wxString driver, slot, parameter;
  wxString resultFile;
  bool failed = false;   // set when the scan ended with an error: its file is not offered
};

class AutoscanController {
 public:
  explicit AutoscanController(AutoscanRequest& request) : m_r(request) {}
  ~AutoscanController();
  // 0 while the scan goes on, else the dialog's result (after its message).
  int Tick();
  const wxString& Status() const { return m_status; }
  // Cancel or the dialog's end: the library's scan stops.
  void Close();

 private:
  AutoscanRequest& m_r;
  int m_state = 10;
  wxString m_status;
  bool m_closed = false;
};

// CDlgAddScanedDevices: the devices found that the network lacks, added one by one.
struct AddScannedDevicesRequest {
  CPONetwork* network = nullptr;
  wxString resultFile;
};

class AddScannedDevicesController {
 public:
  explicit AddScannedDevicesController(AddScannedDevicesRequest& request) : m_r(request) {}
  // Reads the file and the table; false when there is nothing to offer (message shown).
  bool Refresh();
  const std::vector<ScanEntry>& Found() const { return m_found; }
  std::vector<wxString> FoundTexts() const;
  const std::vector<wxString>& Existing() const { return m_existing; }
  // Adds the found entry through the device sheet; true when a device was added.
  bool Add(size_t index);

 private:
  AddScannedDevicesRequest& m_r;
  std::vector<ScanEntry> m_found;
  std::vector<wxString> m_existing;
};

// CDlgSelectDevice: pick one device of a scan file.
struct SelectDeviceRequest {
  wxString scanFile;
  std::vector<ScanEntry> entries;   // filled by the controller
  std::vector<wxString> texts;      // the list's lines
  int selected = -1;
  // Results after IDOK.
  wxString node, type, hardware, line2, line3, ip;
};

class SelectDeviceController {
 public:
  explicit SelectDeviceController(SelectDeviceRequest& request) : m_r(request) {}
  // False when the file is missing or unreadable (message shown): the dialog ends.
  bool Init();
  void Select(int index);
  wxString Details() const;
  // The device picture of the selected hardware line; empty when none is safe.
  wxString PicturePath() const;

 private:
  SelectDeviceRequest& m_r;
};

// A scanned type as the lists show it: "Unbekanntes Gerät" for a device that answered
// without saying what it is.
wxString ScanTypeText(const wxString& type);

// "%-12.16s%s" of node and type, as the lists show a found device.
wxString FoundDeviceText(const wxString& node, const wxString& type);

}  // namespace hv
