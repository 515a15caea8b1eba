#include "model/PrjDeviceSheet.h"

#include <charconv>
#include <cstdio>
#include <chrono>
#include <cmath>
#include <string>

#include "model/PrjDevice.h"
#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/OnlineLibrary.h"
#include "platform/online/PluginRegistry.h"
#include "platform/online/ScanFile.h"

namespace {
constexpr UINT kInfo = MB_OK | MB_ICONINFORMATION;
constexpr int kMaxHundredths = 32767;
}  // namespace

// ---- versions --------------------------------------------------------------------------

int VersionTextHundredths(const wxString& text) {
  const std::string s = text.Strip(wxString::both).ToStdString();
  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end == s.data() || !std::isfinite(value) || value <= 0) return 0;
  const double h = std::round(value * 100.0);
  return h >= kMaxHundredths ? kMaxHundredths : static_cast<int>(h);
}

int ScannedFirmwareHundredths(const wxString& firmware, const wxString& version) {
  static const wxString kPrefix = wxS("FW-Version : ");
  if (firmware.StartsWith(kPrefix)) return VersionTextHundredths(firmware.Mid(kPrefix.length()));
  // A text shorter than three characters holds no number.
  const int fromThird = firmware.length() > 2 ? VersionTextHundredths(firmware.Mid(2)) : 0;
  return fromThird != 0 ? fromThird : VersionTextHundredths(version);
}

// ---- connection page -------------------------------------------------------------------

void CPPPrjDeviceConnection::OnInit() {
  m_drivers.clear();
  for (const hv::PluginListEntry& e : hv::PluginRegistry::Get().List(hv::PluginKind::Driver))
    m_drivers.push_back({e.displayName.empty() ? e.title.Upper() : e.displayName, e.title.Upper()});
  selected = -1;
  for (size_t i = 0; i < m_drivers.size(); ++i)
    if (m_drivers[i].title.CmpNoCase(m_device.GetNetwork()) == 0) selected = static_cast<int>(i);
  if (selected < 0 && m_drivers.size() == 1) selected = 0;
  slot = m_device.GetSlot();
  parameters = m_device.GetNetworkPara();
}

void CPPPrjDeviceConnection::OnSetActive() {
  if (Sheet()->IsWizard()) Sheet()->SetWizardButtons(PSWIZB_NEXT);
}

void CPPPrjDeviceConnection::SelectNetwork(int index) {
  if (index < 0 || index >= static_cast<int>(m_drivers.size()) || index == selected) return;
  selected = index;
  slot.clear();
  parameters.clear();
}

bool CPPPrjDeviceConnection::NetworkSettings() {
  if (selected < 0) return false;
  wxString newSlot = slot.Left(kSlotMax), newPara = parameters.Left(kParametersMax);
  // Other tools of the suite need no lock here: the parameter dialog is our own.
  if (!hv::Vostrel_SelectDriverParameter(0, m_drivers[static_cast<size_t>(selected)].title, newSlot, kSlotMax + 1,
                                         newPara, kParametersMax + 1))
    return false;
  slot = newSlot;
  parameters = newPara;
  return true;
}

PageCheck CPPPrjDeviceConnection::OnKillActive() {
  if (slot.empty()) {
    hv::ShowMessage(10284, wxS("Für den ausgewählten Netzwerktreiber müssen noch die Einstellungen vorgenommen werden!"),
                    kInfo);
    return {10284, IDC_SETTINGS};
  }
  if (!Save()) return {10215, IDC_NETWORK};
  return {};
}

bool CPPPrjDeviceConnection::Save() {
  if (selected < 0) {
    hv::ShowMessage(10215, wxS("Es muß ein Netzwektreiber ausgewählt werden!"), kInfo);
    return false;
  }
  m_device.SetNetwork(m_drivers[static_cast<size_t>(selected)].title);
  m_device.SetSlot(slot);
  m_device.SetNetworkPara(parameters);
  return true;
}

// ---- sheet -----------------------------------------------------------------------------

CPSPrjDevice::CPSPrjDevice(CPOPrjDevice& copy, bool wizard)
    : m_copy(copy), m_connection(copy), m_general(copy, wizard) {
  SetWizardMode(wizard);
  if (wizard) {
    AddPage(&m_connection);
    AddPage(&m_general);
    return;
  }
  AddPage(&m_general);
  AddPage(&m_connection);
  CDeviceConfigAccess& config = copy.GetConfigAccess();
  m_fonts = config.GetDisplayConfig() && config.HasDisplayResources();
}

bool CPSPrjDevice::Confirm() {
  if (!m_general.IsInitialised()) return OK();
  if (Page(static_cast<std::size_t>(ActivePage())) != &m_general && !CheckActive()) return false;
  // The general page's whole check, wherever the user is: a refusal brings it to the
  // front at the field to mend, and no page stores anything.
  if (const PageCheck check = m_general.CheckForOK(); !check.Ok()) return RefuseOn(&m_general, check);
  StoreShownPages();
  return true;
}

int CPSPrjDevice::IndexOf(const CSheetPage* page) const {
  for (std::size_t i = 0; i < PageCount(); ++i)
    if (Page(i) == page) return static_cast<int>(i);
  return -1;
}

