#pragma once
// The download defaults of the settings sheet: the network and device driver offered to
// new connections, with slot, node and parameters, kept in the profile's [Download].
#include <vector>
#include <wx/string.h>

#include "framework/ProfileEdits.h"
#include "framework/PropertySheetModel.h"

class CPPDownload : public CSheetPage {
 public:
  enum { IDC_NETWORKS = 1046, IDC_DEVICES = 1047, IDC_NETWORK_SETTINGS = 1048, IDC_DEVICE_SETTINGS = 1049 };
  // Field capacities the parameter dialogs fill (without the terminating zero).
  static constexpr std::size_t kSlotMax = 99, kNodeMax = 99, kNetworkParaMax = 255, kDeviceParaMax = 399;

  explicit CPPDownload(ProfileEdits& edits) : m_edits(edits) {}

  wxString node, slot, devicePara, networkPara, deviceDriver, networkDriver;
  // The settings of that driver still have to be made.
  bool deviceOpen = true, networkOpen = true;

  void OnInit() override;
  PageCheck OnKillActive() override;
  void OnOK() override;

  const std::vector<wxString>& Networks() const { return m_networks; }
  const std::vector<wxString>& Devices() const { return m_devices; }
  void SelectNetwork(const wxString& title);
  void SelectDevice(const wxString& title);
  // The online library's parameter dialogs; true when the user confirmed.
  bool NetworkSettings();
  bool DeviceSettings();

 private:
  ProfileEdits& m_edits;
  std::vector<wxString> m_networks, m_devices;
};
