#include "model/DownloadPage.h"

#include "platform/Online.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

namespace {

const wxChar* const kKeys[] = {wxS("DevicePara"), wxS("NetworkPara"), wxS("Node"),
                               wxS("Slot"),       wxS("Network"),     wxS("Device")};

std::vector<wxString> Titles(hv::PluginKind kind) {
  std::vector<wxString> out;
  for (const hv::PluginListEntry& e : hv::PluginRegistry::Get().List(kind)) out.push_back(e.title.Upper());
  return out;
}

bool Holds(const std::vector<wxString>& list, const wxString& title) {
  for (const wxString& t : list)
    if (t.CmpNoCase(title) == 0) return true;
  return false;
}

}  // namespace

void CPPDownload::OnInit() {
  m_networks = Titles(hv::PluginKind::Driver);
  m_devices = Titles(hv::PluginKind::Device);
  const CSettingsFile& p = m_edits.Profile();
  networkDriver = p.PeekString("Download", "Network", wxS("CAN_RZW2"));
  deviceDriver = p.PeekString("Download", "Device", wxS("CAN_R515"));
  slot = p.PeekString("Download", "Slot", wxS("CAN_0"));
  networkPara = p.PeekString("Download", "NetworkPara", wxS("300,123kBaud"));
  node = p.PeekString("Download", "Node", wxS("M0"));
  devicePara = p.PeekString("Download", "DevicePara", wxString());
  networkOpen = !Holds(m_networks, networkDriver);
  if (networkOpen) networkDriver = m_networks.empty() ? wxString() : m_networks.front();
  deviceOpen = !Holds(m_devices, deviceDriver);
  if (deviceOpen) deviceDriver = m_devices.empty() ? wxString() : m_devices.front();
  // What the program proposes itself must pass its own checks: without stored
  // settings a driver brings its own defaults, and a node its device refuses gives way
  // to the device's own.
  const auto stored = [&p](const wxChar* key) { return !p.PeekString("Download", key, wxString()).empty(); };
  if (networkOpen && !stored(wxS("Network")) && !networkDriver.empty() &&
      hv::Vostrel_DefaultDriverParameter(networkDriver, slot, networkPara))
    networkOpen = false;
  if (deviceOpen && !stored(wxS("Device"))) {
    for (const wxString& d : m_devices) {
      if (!hv::Vostrel_CheckDriverParameter(networkDriver, d)) continue;
      deviceDriver = d;
      break;
    }
  }
  if (!stored(wxS("Node")) && !deviceDriver.empty() && !hv::Vostrel_CheckDeviceNode(deviceDriver, node)) {
    const wxString proposed = hv::Vostrel_DefaultDeviceNode(deviceDriver);
    if (!proposed.empty()) node = proposed;
  }
  if (deviceOpen && !stored(wxS("Device")) && !deviceDriver.empty() && hv::Vostrel_CheckDeviceNode(deviceDriver, node))
    deviceOpen = false;
}

void CPPDownload::SelectNetwork(const wxString& title) {
  if (title.CmpNoCase(networkDriver) == 0) return;
  networkOpen = true;
  networkDriver = title;
}

void CPPDownload::SelectDevice(const wxString& title) {
  if (title.CmpNoCase(deviceDriver) == 0) return;
  deviceOpen = true;
  deviceDriver = title;
}

bool CPPDownload::NetworkSettings() {
  if (networkDriver.empty()) {
    hv::ShowMessage(10285, wxS("Wählen Sie zuerst einen Netzwerktreiber aus"), MB_ICONINFORMATION);
    return false;
  }
  wxString newSlot = slot, newPara = networkPara;
  if (!hv::Vostrel_SelectDriverParameter(hv::db::sprache, networkDriver, newSlot, kSlotMax + 1, newPara,
                                         kNetworkParaMax + 1))
    return false;
  networkOpen = false;
  slot = newSlot;
  networkPara = newPara;
  return true;
}

bool CPPDownload::DeviceSettings() {
  if (deviceDriver.empty()) {
    hv::ShowMessage(10254, wxS("Wählen Sie zuerst einen Gerätetreiber aus"), MB_ICONINFORMATION);
    return false;
  }
  wxString newNode = node, newPara = devicePara;
  if (!hv::Vostrel_SelectDeviceParameter(hv::db::sprache, networkDriver, slot, deviceDriver, newNode,
                                         kNodeMax + 1, newPara, kDeviceParaMax + 1))
    return false;
  deviceOpen = false;
  node = newNode;
  devicePara = newPara;
  return true;
}

PageCheck CPPDownload::OnKillActive() {
  if (networkOpen) {
    hv::ShowMessage(10108, wxS("Die Netzwerkeinstellungen sind nicht korrekt!"), MB_ICONINFORMATION);
    return {10108, IDC_NETWORK_SETTINGS};
  }
  if (deviceOpen) {
    hv::ShowMessage(10120, wxS("Die Geräteeinstellungen sind nicht korrekt!"), MB_ICONINFORMATION);
    return {10120, IDC_DEVICE_SETTINGS};
  }
  if (!hv::Vostrel_CheckDriverParameter(networkDriver, deviceDriver)) {
    hv::ShowMessage(10077, wxS("Das Gerät wird vom ausgewählten Netzwerk nicht unterstützt!"), MB_ICONINFORMATION);
    return {10077, IDC_DEVICES};
  }
  return {};
}

void CPPDownload::OnOK() {
  const wxString now[6] = {devicePara, networkPara, node, slot, networkDriver, deviceDriver};
  for (int i = 0; i < 6; ++i) m_edits.Set("Download", kKeys[i], now[i]);
}
