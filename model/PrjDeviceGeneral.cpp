#include "model/PrjDeviceGeneral.h"

#include <algorithm>
#include <cmath>

#include "model/NewDevice.h"
#include "model/DeviceTexts.h"
#include "model/IOConfig.h"
#include "model/PathMacros.h"
#include "model/PrjDevice.h"
#include "model/PrjDeviceSheet.h"
#include "platform/DeviceConfig.h"
#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/PluginRegistry.h"

namespace {

constexpr UINT kInfo = MB_OK | MB_ICONINFORMATION;

// Places in InfoLabels().
enum : size_t { kGraphic, kResolution, kColours, kText, kCharacters, kFirstCount };

wxString NoRemotePanel() { return hv::LocalString(11415, wxS("<Kein>")); }

wxString HundredthsText(int h) { return wxString::Format("%d.%02d", h / 100, h % 100); }

int FindNoCase(const std::vector<wxString>& list, const wxString& text) {
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].CmpNoCase(text) == 0) return static_cast<int>(i);
  return -1;
}

// The combo box's prefix match: the first entry that begins with the text, case ignored.
int FindPrefix(const std::vector<wxString>& list, const wxString& text) {
  if (text.empty()) return -1;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].Lower().StartsWith(text.Lower())) return static_cast<int>(i);
  return -1;
}

}  // namespace

wxString CPPPrjDeviceGeneral::TypeFolder(const wxString& type) const {
  return UsesOwnFolder(type) ? hv::JoinPath(m_device.GetDeviceFolder(), "hardware") : hv::InstalledTypeFolder(type);
}

bool CPPPrjDeviceGeneral::UsesOwnFolder(const wxString& type) const {
  return !m_wizard && !m_scanned && type.CmpNoCase(m_initialType) == 0;
}

int CPPPrjDeviceGeneral::SelectedFirmware() const {
  return firmware >= 0 && firmware < static_cast<int>(firmwares.size()) ? firmwares[static_cast<size_t>(firmware)].hundredths
                                                                        : 0;
}

void CPPPrjDeviceGeneral::OnInit() {
  m_initialType = m_chosenType = m_device.GetHardwareType();
  m_remoteText = m_device.GetRemoteType();
  name = m_device.GetName();
  deviceNumber = m_device.GetDeviceNumber();
  m_workingFolder = m_device.GetDeviceFolder();
  parameters = m_device.GetDeviceParameters();
  node = m_device.GetNode();
  compressedBitmaps = m_device.GetCompressedBitmaps() != FALSE;
  m_deviceDriver = m_device.GetDeviceDriver();
  m_driverText = m_device.GetDriverDisplayText();
  FillDeviceTypeList();
  type = FindNoCase(types, m_chosenType);
  FillDriverList();
  FillFirmwareVersionList();
  FillRemotePanelList();
  ShowDeviceInformation();
}

void CPPPrjDeviceGeneral::OnSetActive() {
  if (m_wizard) Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  Sheet()->ShowExtraButton(ID_AUTOSCAN, true);
  FillDeviceTypeList();
  FillDriverList();
}

PageCheck CPPPrjDeviceGeneral::OnKillActive() {
  if (const PageCheck saved = Save(); !saved.Ok()) return saved;
  Sheet()->ShowExtraButton(ID_AUTOSCAN, false);
  return {};
}

// Back leaves the page unchecked: the button goes all the same, it scans for this page.
void CPPPrjDeviceGeneral::OnLeave() { Sheet()->ShowExtraButton(ID_AUTOSCAN, false); }

PageCheck CPPPrjDeviceGeneral::Save() {
  const int fw = SelectedFirmware();
  // The name field's own check comes first, on the text as typed.
  if (const long bad = CheckForbiddenText(name, DeviceNameForbiddenCharset()); bad >= 0) return {10300, IDC_NAME, bad};
  if (name.length() > kNameMax) {
    hv::ShowMessage(TXT_NAME_NOT_STORABLE, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"), kInfo);
    return {TXT_NAME_NOT_STORABLE, IDC_NAME};
  }
  const wxString stored = NormalizeDeviceName(name);
  if (m_wizard || stored != m_device.GetName()) {
    if (const UINT refused = CheckDeviceName(stored, m_device.GetProjectFolder(), m_wizard ? wxString() : m_device.GetName()))
      return {refused, IDC_NAME};
  }
  name = stored;
  const bool hasDriver = driver >= 0 && driver < static_cast<int>(drivers.size());
  m_driverText = hasDriver ? drivers[static_cast<size_t>(driver)].display : wxString();
  m_deviceDriver = hasDriver ? drivers[static_cast<size_t>(driver)].key : wxString();
  m_device.SetDriverDisplayText(m_driverText);
  m_device.SetDeviceDriver(m_deviceDriver);
  m_device.SetHardwareType(m_chosenType);
  m_device.SetRemoteType(m_remoteText);
  m_device.SetNode(node);
  m_device.SetCompressedBitmaps(compressedBitmaps ? TRUE : FALSE);
  if (fw != m_device.GetFirmwareVersion()) m_device.SetFirmwareVersion(static_cast<short>(std::max(fw, 0)));
  return {};
}

PageCheck CPPPrjDeviceGeneral::Validate() {
  if (m_chosenType.empty()) {
    hv::ShowMessage(11402, wxS("Es muß eine Geräteart ausgewählt werden!"), kInfo);
    return {11402, IDC_TYPE};
  }
  if (m_deviceDriver.empty()) {
    hv::ShowMessage(11403, wxS("Es muß ein Gerätetreiber ausgewählt werden!"), kInfo);
    return {11403, IDC_DRIVER};
  }
  if (node.empty()) {
    hv::ShowMessage(11404, wxS("Für den ausgewählten Gerätetreiber müssen noch die Einstellungen vorgenommen werden!"),
                    kInfo);
    return {11404, IDC_DRIVER_SETTINGS};
  }
  if (parameters.empty()) {
    hv::ShowMessage(11405, wxS("Es muß ein Parameter eingegeben werden!"), kInfo);
    return {11405, IDC_NAME};
  }
  return {};
}

PageCheck CPPPrjDeviceGeneral::CheckForOK() {
  if (const PageCheck saved = Save(); !saved.Ok()) return saved;
  return Validate();
}

PageCheck CPPPrjDeviceGeneral::OnWizardNext() { return CheckForOK(); }

PageCheck CPPPrjDeviceGeneral::OnWizardFinish() {
  if (const PageCheck check = CheckForOK(); !check.Ok()) return check;
  OnOK();
  Sheet()->ShowExtraButton(ID_AUTOSCAN, false);
  return {};
}

void CPPPrjDeviceGeneral::OnOK() {
  // The sheet ran CheckForOK before; here the page only takes its values.
  m_device.SetDeviceParameters(parameters);
  m_device.SetName(name);
  m_device.SetDeviceFolder(m_workingFolder);
}

void CPPPrjDeviceGeneral::FillDeviceTypeList() {
  const wxString folder = hv::InstalledHardwareFolder();
  if (!hv::IsFolder(folder)) return;
  const wxString remembered = !m_wizard && type >= 0 && type < static_cast<int>(types.size())
                                  ? types[static_cast<size_t>(type)]
                                  : wxString();
  types.clear();
  for (const wxString& entry : hv::ListFolder(folder)) {
    const wxString sub = hv::JoinPath(folder, entry);
    if (!hv::IsFolder(sub) || !hv::IsHardwareTypeFolder(sub)) continue;
    auto config = hv::OpenDeviceConfig(sub, 0);
    if (config && config->HasNetwork(m_device.GetNetwork())) types.push_back(entry.Upper());
  }
  std::sort(types.begin(), types.end());
  type = remembered.empty() ? FindNoCase(types, m_chosenType) : FindPrefix(types, remembered);
}

void CPPPrjDeviceGeneral::FillDriverList() {
  const int fw = firmware >= 0 ? SelectedFirmware() : m_device.GetFirmwareVersion();
  const wxString rememberedText = driver >= 0 && driver < static_cast<int>(drivers.size())
                                      ? drivers[static_cast<size_t>(driver)].display
                                      : m_driverText;
  hv::PluginRegistry& registry = hv::PluginRegistry::Get();
  if (!hv::IsFolder(registry.Folder(hv::PluginKind::Device))) return;
  drivers.clear();
  driver = -1;
  const wxString chosen = type >= 0 && type < static_cast<int>(types.size()) ? types[static_cast<size_t>(type)] : m_chosenType;
  std::unique_ptr<hv::DeviceConfig> config;
  if (!chosen.empty()) config = hv::OpenDeviceConfig(TypeFolder(chosen), fw);
  for (const hv::PluginListEntry& entry : registry.List(hv::PluginKind::Device)) {
    auto plugin = registry.Device(entry.title);
    if (!plugin || !plugin->CheckDriver(m_device.GetNetwork())) continue;
    if (!config || !config->HasDriver(entry.title)) continue;
    drivers.push_back({entry.displayName.empty() ? entry.title : entry.displayName, entry.title.Upper()});
  }
  std::vector<wxString> texts;
  for (const Driver& d : drivers) texts.push_back(d.display);
  driver = FindPrefix(texts, rememberedText);
  if (driver < 0) {
    for (size_t i = 0; i < drivers.size(); ++i)
      if (drivers[i].key.CmpNoCase(m_deviceDriver) == 0) driver = static_cast<int>(i);
  }
  if (driver < 0 && drivers.size() == 1 && type >= 0) driver = 0;
}

void CPPPrjDeviceGeneral::FillFirmwareVersionList() {
  firmwares.clear();
  firmware = -1;
  if (!m_chosenType.empty()) {
    const wxString folder = TypeFolder(m_chosenType);
    const int n = hv::GetCountOfDeviceVersions(folder);
    int lowest = 999900, base = 0;
    bool hasBase = false;
    wxString defaultText;
    for (int i = 0; i < n; ++i) {
      const int v = hv::GetDeviceConfigVersionHundredths(folder, i);
      hasBase = true;
      if (v > 0) {
        firmwares.push_back({">= " + HundredthsText(v), v});
        lowest = std::min(lowest, v);
      } else if (auto config = hv::OpenDeviceConfig(folder, v)) {
        if (config->GetEntryText("DefaultFWVersion", defaultText)) base = VersionTextHundredths(defaultText);
      }
    }
    if (hasBase && !firmwares.empty()) {
      firmwares.insert(firmwares.begin(), {"< " + HundredthsText(lowest), base});
    } else if (hasBase && !defaultText.empty()) {
      firmwares.push_back({defaultText, base});
      m_device.SetFirmwareVersion(static_cast<short>(base));
    }
  }
  firmwareEnabled = firmwares.size() >= 2;
  if (!firmwares.empty()) firmware = static_cast<int>(firmwares.size()) - 1;
  // An existing device keeps its own version when the list offers it.
  if (!m_wizard && firmwares.size() >= 2) {
    for (int i = static_cast<int>(firmwares.size()) - 1; i >= 0; --i)
      if (firmwares[static_cast<size_t>(i)].hundredths <= m_device.GetFirmwareVersion()) {
        firmware = i;
        break;
      }
  }
}

void CPPPrjDeviceGeneral::FillRemotePanelList() {
  remotePanels.clear();
  remotePanel = -1;
  if (!m_chosenType.empty()) {
    const int fw = firmware >= 0 ? SelectedFirmware() : m_device.GetFirmwareVersion();
    if (auto config = hv::OpenDeviceConfig(TypeFolder(m_chosenType), fw)) {
      wxString panel;
      for (int i = 0; config->GetRemotePanelName(i, panel); ++i) remotePanels.push_back(panel);
    }
  }
  if (remotePanels.empty()) {
    m_remoteText.clear();
    return;
  }
  remotePanels.insert(remotePanels.begin(), NoRemotePanel());
  remotePanel = m_remoteText.empty() ? -1 : FindPrefix(remotePanels, m_remoteText);
  if (remotePanel <= 0) {
    remotePanel = 0;
    m_remoteText.clear();
  }
}

void CPPPrjDeviceGeneral::ShowDeviceInformation() {
  info.clear();
  picture.clear();
  const int fw = SelectedFirmware();
  const bool own = UsesOwnFolder(m_chosenType) && m_remoteText.CmpNoCase(m_device.GetRemoteType()) == 0 &&
                   fw == m_device.GetFirmwareVersion();
  if (m_chosenType.empty()) return;
  const wxString installedPicture = hv::JoinPath(hv::InstalledTypeFolder(m_chosenType), "device.bmp");
  picture = installedPicture;
  const wxString folder = own ? hv::JoinPath(m_device.GetDeviceFolder(), "hardware") : TypeFolder(m_chosenType);
  if (own) {
    const wxString ownPicture = hv::JoinPath(folder, "device.bmp");
    if (hv::IsFile(ownPicture)) picture = ownPicture;
  }
  // The type's configuration through CDevCfg; the device's own one while it is unchanged.
  std::optional<hv::DisplayConfig> display;
  WORD counts[4] = {};
  const wxChar* const kinds[] = {wxS("DI"), wxS("DO"), wxS("AI"), wxS("AO")};
  if (own) {
    auto config = hv::OpenDeviceConfig(folder, fw);
    if (!config) return;
    display = config->GetDisplayConfig();
    if (!m_remoteText.empty())
      if (auto panel = config->GetRemotePanel(m_remoteText); panel && panel->display) display = panel->display;
    if (auto io = config->GetIOConfig())
      for (int i = 0; i < 4; ++i) counts[i] = io->GetCount(kinds[i]);
  } else {
    CDevCfg config;
    if (!config.Load(folder, m_remoteText, fw)) return;
    display = config.GetDisplay();
    for (int i = 0; i < 4; ++i) counts[i] = config.GetIOCount(kinds[i]);
  }
  const std::vector<wxString> labels = InfoLabels();
  if (display && display->graphic) {
    info.push_back({labels[kGraphic], wxString()});
    info.push_back({labels[kResolution], wxString::Format("%dx%d", display->width, display->height)});
    if (display->colorDepth != 0)
      info.push_back({labels[kColours], display->colorDepth == 1
                                            ? hv::LocalString(11416, wxS("s/w"))
                                            : wxString::Format("%.0f", std::pow(2.0, display->colorDepth))});
  } else if (display) {
    info.push_back({labels[kText], wxString()});
    info.push_back({labels[kCharacters], wxString::Format("%dx%d", display->columns, display->rows)});
  }
  // No count is dropped for want of a line: the group has room for them all.
  for (int i = 0; i < 4; ++i)
    if (counts[i] != 0) info.push_back({labels[kFirstCount + static_cast<size_t>(i)], wxString::Format("%d", counts[i])});
}

std::vector<wxString> CPPPrjDeviceGeneral::InfoLabels() {
  return {hv::LocalString(11406, wxS("Grafisches Display")), hv::LocalString(11407, wxS("  Auflösung:")),
          hv::LocalString(11408, wxS("  Farben:")),          hv::LocalString(11409, wxS("Textanzeige")),
          hv::LocalString(11410, wxS("  Zeichen:")),         hv::LocalString(11411, wxS("Digitale Eingänge:")),
          hv::LocalString(11412, wxS("Digitale Ausgänge:")), hv::LocalString(11413, wxS("Analoge Eingänge:")),
          hv::LocalString(11414, wxS("Analoge Ausgänge:"))};
}

void CPPPrjDeviceGeneral::OnTypeChanged(int index) {
  if (index < 0 || index >= static_cast<int>(types.size())) return;
  type = index;
  m_chosenType = types[static_cast<size_t>(index)];
  FillFirmwareVersionList();
  FillRemotePanelList();
  FillDriverList();
  OnDriverChanged(driver);
  ShowDeviceInformation();
}

void CPPPrjDeviceGeneral::OnDriverChanged(int index) {
  driver = index >= 0 && index < static_cast<int>(drivers.size()) ? index : -1;
  const wxString text = driver >= 0 ? drivers[static_cast<size_t>(driver)].display : wxString();
  const wxString key = driver >= 0 ? drivers[static_cast<size_t>(driver)].key : wxString();
  if (key.CmpNoCase(m_deviceDriver) == 0 || text == m_driverText) return;
  // A scanned device's node and address are facts about the device: a type and driver
  // picked by hand (the scan's hardware line named none that is listed) keep them.
  if (!m_scanned) {
    node.clear();
    parameters.clear();
  }
  m_deviceDriver = key;
}

void CPPPrjDeviceGeneral::OnFirmwareSelected(int index) {
  if (index < 0 || index >= static_cast<int>(firmwares.size())) return;
  firmware = index;
  FillRemotePanelList();
  ShowDeviceInformation();
}

void CPPPrjDeviceGeneral::OnRemotePanelChanged(int index) {
  if (index < 0 || index >= static_cast<int>(remotePanels.size())) return;
  remotePanel = index;
  m_remoteText = index == 0 ? wxString() : remotePanels[static_cast<size_t>(index)];
  ShowDeviceInformation();
}

void CPPPrjDeviceGeneral::OnNameChanged(const wxString& text) {
  name = text;
  name.Trim(true);
  // Path parts of the parameters follow the device folder while the name is typed.
  const PathMacroFolders before{m_workingFolder, m_device.GetSymbolFolder(), wxString()};
  const wxString collapsed = CollapsePathMacros(parameters, before);
  m_workingFolder = hv::JoinPath(m_device.GetProjectFolder(), name);
  parameters = ExpandPathMacros(collapsed, {m_workingFolder, m_device.GetSymbolFolder(), wxString()});
}

bool CPPPrjDeviceGeneral::SelectDriverParameters() {
  wxString newNode = node.Left(kNodeMax), param = parameters.Left(kParametersMax);
  const wxString key = driver >= 0 ? drivers[static_cast<size_t>(driver)].key : wxString();
  if (param.empty()) param = ";" + m_workingFolder.Left(kParametersMax - 1);
  if (!hv::Vostrel_SelectDeviceParameter(0, m_device.GetNetwork(), wxString(), key, newNode, kNodeMax + 1, param,
                                         kParametersMax + 1))
    return false;
  node = newNode;
  parameters = ExpandPathMacros(param, {m_workingFolder, m_device.GetSymbolFolder(), wxString()});
  return true;
}

void CPPPrjDeviceGeneral::ApplyScannedDevice(const wxString& address) {
  if (parameters.empty()) parameters = ";" + m_workingFolder;
  m_scanned = true;
  if (!address.empty()) {
    const size_t first = parameters.find(';');
    const size_t second = first == wxString::npos ? wxString::npos : parameters.find(';', first + 1);
    if (second != wxString::npos)
      parameters = parameters.Left(second + 1);
    else if (first != wxString::npos)
      parameters += ";";
    else
      parameters += ";;";
    parameters += address;
  }
  m_chosenType = m_device.GetHardwareType();
  m_remoteText = m_device.GetRemoteType();
  node = m_device.GetNode();
  m_deviceDriver = m_device.GetDeviceDriver();
  FillDeviceTypeList();
  type = FindPrefix(types, m_chosenType);
  FillFirmwareVersionList();
  FillRemotePanelList();
  m_driverText.clear();
  driver = -1;
  FillDriverList();
  if (driver >= 0) {
    m_driverText = drivers[static_cast<size_t>(driver)].display;
    m_deviceDriver = drivers[static_cast<size_t>(driver)].key;
  }
  // The last listed version not above the scanned one.
  const int scanned = m_device.GetFirmwareVersion();
  if (firmwares.empty()) {
    firmware = -1;
  } else if (scanned == 0) {
    firmware = static_cast<int>(firmwares.size()) - 1;
  } else {
    for (int i = static_cast<int>(firmwares.size()) - 1; i >= 0; --i)
      if (firmwares[static_cast<size_t>(i)].hundredths <= scanned) {
        firmware = i;
        break;
      }
  }
  ShowDeviceInformation();
}
