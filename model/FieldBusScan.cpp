// The scan dialog's steps, the offer of the devices found and the device selection.
#include <algorithm>
#include <set>

#include "model/FieldBusRequests.h"
#include "model/FieldBusTables.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/PrjDevice.h"
#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/DeviceConfig.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/OnlineLibrary.h"
#include "platform/online/PluginRegistry.h"

namespace hv {
namespace {

int Fail(UINT text, const wxString& german) {
  ShowMessage(text, german, MB_ICONINFORMATION);
  return IDCANCEL;
}

// Why a running scan failed, in the user's words.
int ScanFailed(DWORD error) {
  switch (error) {
    case HV_ERR_REFUSED: return Fail(14250, wxS("Die Verbindung zum Netzwerk wurde abgewiesen!"));
    case HV_ERR_CONNECTION_LOST: return Fail(14251, wxS("Die Verbindung zum Netzwerk ist abgebrochen!"));
    case HV_ERR_TIMEOUT: return Fail(14252, wxS("Das Netzwerk antwortet nicht!"));
    default: return Fail(10082, wxS("Netzwerk konnte nicht initialisiert werden!"));
  }
}

}  // namespace

AutoscanController::~AutoscanController() { Close(); }

void AutoscanController::Close() {
  if (m_closed) return;
  m_closed = true;
  Vostrel_EscapeScan();
}

int AutoscanController::Tick() {
  const int state = m_state;
  m_state = 0;   // a tick during a library call does nothing
  switch (state) {
    case 10:
      m_status = LocalString(10063, wxS("Initialisierung"));
      if (!Vostrel_SetDriverParameter(m_r.driver, m_r.slot, m_r.parameter)) {
        Vostrel_GetLastError();
        m_r.failed = true;
        return Fail(10082, wxS("Netzwerk konnte nicht initialisiert werden!"));
      }
      m_state = 20;
      return 0;
    case 20:
      if (!Vostrel_StartScan(m_r.driver, m_r.slot, m_r.resultFile, m_r.parameter)) {
        m_r.failed = true;
        return Fail(10193, wxS("AutoScan konnte nicht gestartet werden!"));
      }
      m_state = 30;
      return 0;
    case 30: {
      char buffer[100] = {};
      Vostrel_ProgressScan(buffer, sizeof buffer);
      const wxString text = wxString::FromUTF8(buffer);
      if (text == kEndOfScan) return IDOK;
      // A bus that refuses or stops answering ends the scan; the old result file stays
      // and is not offered.
      if (OnlineLibrary::Get().GetScanState() == ScanState::Failed) {
        m_r.failed = true;
        return ScanFailed(OnlineLibrary::Get().ScanError());
      }
      m_status = text;
      m_state = 30;
      return 0;
    }
    default:
      return 0;
  }
}

bool AddScannedDevicesController::Refresh() {
  m_found.clear();
  m_existing.clear();
  CPONetwork* n = m_r.network;
  const wxString folder = n->DeviceFolder();
  std::vector<ScanEntry> entries;
  const ScanFileStatus status = ReadScanFile(ResolvePath(m_r.resultFile), entries);
  if (status == ScanFileStatus::Missing) {
    ShowMessage(10248, wxS("Es wurden keine Geräte gefunden."), MB_ICONINFORMATION);
    return false;
  }
  db::Table devs;
  if (!fieldbus::OpenTable(folder, "GERAET", devs)) return false;
  if (status == ScanFileStatus::Unreadable) {
    ShowMessageF(10279, wxS("Fehler beim Öffnen der Autoscan-Datei: SCAN%d.OUT!"), MB_ICONINFORMATION,
                 static_cast<int>(n->GetNumber()));
    return false;
  }
  std::set<wxString> nodes;
  db::GeraetRow row;
  for (bool ok = db::geraet_select(devs, row, db::kSeek, "NETZWERK", {n->GetNumber()}); ok && row.network == n->GetNumber();
       ok = db::geraet_select(devs, row, db::kNext, "NETZWERK")) {
    nodes.insert(row.node);
    m_existing.push_back(FoundDeviceText(row.node, row.type));
  }
  if (entries.empty()) {
    ShowMessage(14253, wxS("Im durchsuchten Bereich hat kein Gerät geantwortet."), MB_ICONINFORMATION);
    return false;
  }
  for (ScanEntry& e : entries)
    if (!nodes.count(e.node)) m_found.push_back(std::move(e));
  return true;
}

std::vector<wxString> AddScannedDevicesController::FoundTexts() const {
  std::vector<wxString> texts;
  for (const ScanEntry& e : m_found) texts.push_back(FoundDeviceText(e.node, ScanTypeText(e.type)));
  return texts;
}

bool AddScannedDevicesController::Add(size_t index) {
  if (index >= m_found.size()) return false;
  const ScanEntry& e = m_found[index];
  CPONetwork* n = m_r.network;
  // The entry's own node and type, never re-read from the list's text.
  if (e.node.length() > 10) {
    ShowMessage(11302, wxS("Die Knotennummer ist zu lang!"), MB_ICONINFORMATION);
    return false;
  }
  CPODevice templ(nullptr, nullptr);
  templ.SetNetworkNumber(n->GetNumber());
  templ.SetNode(e.node);
  templ.SetDeviceType(e.IsUnknown() ? wxString() : e.type);
  templ.SetScanned(e.DetailLine(0), e.Firmware());
  const wxString ip = e.Ip();
  if (!ip.empty()) {
    if (templ.IsPanelDevice()) templ.SetParameter(";;" + ip);
    else if (templ.IsEibDevice()) templ.SetParameter(";;" + ip + ";" + n->GetParameter());
  }
  // A type the sheet cannot offer (unknown, no plug-in serving this network, longer than
  // GERAET holds) is left to the user, so the sheet can be completed.
  auto plugin = templ.GetDeviceType().empty() ? nullptr : PluginRegistry::Get().Device(templ.GetDeviceType());
  if (templ.GetDeviceType().length() > 8 || !plugin || !plugin->CheckDriver(n->GetDriver())) templ.SetDeviceType({});
  CPODevice maker;
  const BOOL added = maker.CreateNew(n, n->GetDevice(), &templ);
  if (added) Refresh();
  return added != FALSE;
}

bool SelectDeviceController::Init() {
  m_r.entries.clear();
  m_r.texts.clear();
  const ScanFileStatus status = ReadScanFile(ResolvePath(m_r.scanFile), m_r.entries, ScanTypeNames::Renamed);
  if (status == ScanFileStatus::Missing) {
    ShowMessage(10248, wxS("Es wurden keine Geräte gefunden."), MB_ICONINFORMATION);
    return false;
  }
  if (status == ScanFileStatus::Unreadable) {
    ShowMessageF(10358, wxS("Fehler beim Öffnen der Autoscan-Datei: %s!"), MB_ICONINFORMATION, m_r.scanFile);
    return false;
  }
  for (const ScanEntry& e : m_r.entries)
    m_r.texts.push_back(FoundDeviceText(e.node, e.IsUnknown() ? ScanTypeText(e.type) : PluginRegistry::Get().DeviceDisplayName(e.type)));
  Select(m_r.entries.empty() ? -1 : 0);
  return true;
}

void SelectDeviceController::Select(int index) {
  m_r.selected = index >= 0 && index < static_cast<int>(m_r.entries.size()) ? index : -1;
  m_r.node = m_r.type = m_r.hardware = m_r.line2 = m_r.line3 = m_r.ip = wxString();
  if (m_r.selected < 0) return;
  const ScanEntry& e = m_r.entries[m_r.selected];
  m_r.node = e.node;
  m_r.type = e.IsUnknown() ? wxString() : e.type;
  m_r.hardware = e.DetailLine(0);
  const size_t cut = m_r.hardware.find_first_of("/-");
  if (cut != wxString::npos) m_r.hardware[cut] = '_';
  m_r.line2 = e.DetailLine(1);
  m_r.line3 = e.DetailLine(2);
  m_r.ip = e.Ip();
}

wxString SelectDeviceController::Details() const {
  return m_r.selected < 0 ? wxString() : m_r.entries[m_r.selected].DetailText();
}

wxString SelectDeviceController::PicturePath() const {
  const wxString& hw = m_r.hardware;
  if (hw.empty() || hw.Contains("/") || hw.Contains("\\") || hw.Contains("..")) return {};
  return JoinPath(JoinPath(InstalledHardwareFolder(), hw), "device.bmp");
}

wxString ScanTypeText(const wxString& type) {
  return type == HV_SCAN_UNKNOWN_TYPE ? LocalString(14254, wxS("Unbekanntes Gerät")) : type;
}

}  // namespace hv
