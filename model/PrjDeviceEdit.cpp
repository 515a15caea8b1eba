// "Ändern" of a device: the device sheet and what follows from its changes (rename of
// the folder, hardware and remote panel type, resource folders, references in the
// project's tables, the PC connection of the other devices).
#include <stdio.h>

#include "framework/UpdateHints.h"
#include "model/DeviceRename.h"
#include "model/DeviceSaveJournal.h"
#include "model/DeviceTexts.h"
#include "model/NewDevice.h"
#include "model/PrjDevice.h"
#include "platform/Localization.h"
#include "platform/FileSteps.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/PluginRegistry.h"

namespace {

constexpr UINT kInfo = MB_OK | MB_ICONINFORMATION;

std::vector<CPOPrjDevice*> DevicesOf(CProjectObject* project) {
  std::vector<CPOPrjDevice*> devices;
  if (!project) return devices;
  for (CProjectObject* child : project->GetChildren())
    if (auto* device = dynamic_cast<CPOPrjDevice*>(child)) devices.push_back(device);
  return devices;
}

}  // namespace

void CPOPrjDevice::OnEdit() {
  DispatchScope scope;
  const wxString oldName = GetName();
  const wxString oldFolder = m_deviceFolder;
  const wxString oldParameters = m_deviceParameters;
  const wxString oldNetwork = m_network;
  const wxString oldSlot = m_slot;
  const wxString oldNetworkPara = m_networkPara;
  const wxString oldType = m_hardwareType;
  const wxString oldRemoteType = m_remoteType;
  const BOOL hadDisplay = m_config.GetDisplayConfig();
  const BOOL hadResources = hadDisplay && m_config.HasDisplayResources();

  auto copy = std::make_unique<CPOPrjDevice>(GetParent());
  copy->CopyDevice(*this);
  PrjDeviceSheetRequest sheet;
  sheet.caption = wxString::Format(hv::LocalString(10325, wxS("Einstellungen für Gerät '%s'")), oldName);
  sheet.wizard = FALSE;
  sheet.device = copy.get();
  const int result = hv::Ui().Run(sheet);
  if (result == IDOK) CopyDevice(*copy);
  Discard(std::move(copy));
  if (result != IDOK) return;
  // The folder follows the name; settings and configuration follow the folder.
  SetDeviceFolder(m_deviceFolder);
  SetFirmwareVersion(m_firmwareVersion);
  SetRemoteType(m_remoteType);

  if (GetName().CmpNoCase(oldName) != 0) ApplyRename(oldName, oldFolder, SymbolFileOf(oldParameters));
  const bool nameChanged = GetName().CmpNoCase(oldName) != 0;
  if (m_hardwareType != oldType) ApplyHardwareType(oldType);
  if (m_remoteType != oldRemoteType) ApplyRemoteType(oldRemoteType);
  MakeMissingDisplayFolders(hadDisplay, hadResources);
  const bool saved = SaveEditedDevice();
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  // After a failed save the device keeps its old connection: there is nothing to offer.
  if (saved && (m_network != oldNetwork || m_slot != oldSlot || m_networkPara != oldNetworkPara))
    OfferConnectionToAll();
  if (nameChanged) UpdateAllViews(HINT_REBUILD_TREE, nullptr);
}

// The folder follows a new name, and so do the rows that stand for the device in the
// project's tables; when the folder cannot move, the old name comes back.
void CPOPrjDevice::ApplyRename(const wxString& oldName, const wxString& oldFolder, const wxString& oldSymbolFile) {
  const wxString projectFolder = GetProjectFolder();
  hv::ShowMessage(10685, wxS("Sie haben den Gerätenamen geändert.\nBitte schließen Sie alle Halvora-Programme!"),
                  kInfo);
  const wxString from = hv::ResolvePath(hv::JoinPath(projectFolder, oldName));
  const wxString to = hv::JoinPath(projectFolder, GetName());
  // A folder of the new name is never replaced, not even an empty one. The journal
  // lets a load after a kill finish the rename that the folder's move published.
  // What the device becomes once moved: type and remote type change later, by steps
  // of their own, so the stored ones stand in the journal.
  // Should the rest of the edit fail, the device keeps the new name and its old row.
  devicesave::Change change;
  FillOwnRow(change.row);
  DeviceSetValues stored;
  CDeviceSettings(from).ReadDeviceSet(stored, {});
  change.settings = GetDeviceSetValues();
  change.settings->type = stored.type;
  change.settings->remoteType = stored.remoteType;
  change.oldName = oldName;
  change.oldSymbolFile = oldSymbolFile;
  bool moved = IsValidDeviceName(GetName()) && !hv::PathExists(to) &&
               devicesave::ReadOwnRow(from, change.row.number, change.oldRow);
  change.oldRow.name = change.row.name;
  change.oldRow.param = ReplaceNameComponent(change.oldRow.param, oldName, GetName());
  moved = moved && devicesave::Begin(from, change);
  if (moved) {
    hv::FileStep();
    moved = rename(hv::ToFs(from).c_str(), hv::ToFs(to).c_str()) == 0;
    if (!moved) devicesave::End(from);
  }
  if (moved) {
    SetDeviceFolder(to);
    UpdateDeviceReferences(DeviceFolderList(), projectFolder, oldName, GetName(), oldSymbolFile);
    // The own row carries the folder's name even where no reference matched it.
    devicesave::WriteOwnRow(to, change.oldRow);
    return;
  }
  hv::ShowMessage(10666,
                  wxS("Das Geräteverzeichnis konnte nicht umbenannt werden!\n"
                      "Möglicherweise ist eine Datei in diesem Verzeichnis geöffnet."),
                  kInfo);
  const wxString collapsed = CollapsePathMacros();
  SetName(oldName);
  SetDeviceFolder(oldFolder);
  ExpandPathMacros(collapsed);
}

// A new hardware type, once confirmed, brings its files; "Type" follows them.
void CPOPrjDevice::ApplyHardwareType(const wxString& oldType) {
  const int answer = hv::ShowMessage(10667,
                                     wxS("Die Geräteart wurde geändert.\n"
                                         "Dies kann bei Datenpunkten und Ressourcen zu Problemen führen.\n"
                                         "Soll die Geräteart trotzdem geändert werden?"),
                                     MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) {
    m_hardwareType = oldType;
    return;
  }
  // The old files stay until the new ones are complete.
  const HardwareCopy copied = ReplaceHardwareFiles(m_deviceFolder, m_hardwareType, m_remoteType);
  if (copied != HardwareCopy::Done) {
    ReportHardwareCopy(copied);
    m_hardwareType = oldType;
    return;
  }
  m_settings.WriteConfigString(wxS("Type"), m_hardwareType);
  m_picturesLoaded = false;
  m_imageIndex = {-1, -1, -1};
  m_config.LoadDeviceConfig(TRUE);
}

void CPOPrjDevice::ApplyRemoteType(const wxString& oldRemoteType) {
  const int answer = hv::ShowMessage(TXT_REMOTE_TYPE_CHANGED,
                                     wxS("Der RemotePanel-Typ wurde geändert.\n"
                                         "Dies kann bei Ressourcen zu Problemen führen.\n"
                                         "Soll der RemotePanel-Typ trotzdem geändert werden?"),
                                     MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) {
    SetRemoteType(oldRemoteType);
    return;
  }
  m_settings.WriteConfigString(wxS("RemoteType"), m_remoteType);
  ApplyRemotePalette(m_deviceFolder, m_hardwareType, m_remoteType);
}

// A display or keypads the configuration now has get their folders.
void CPOPrjDevice::MakeMissingDisplayFolders(BOOL hadDisplay, BOOL hadResources) {
  const BOOL hasDisplay = m_config.GetDisplayConfig();
  if (!hadResources && hasDisplay && m_config.HasDisplayResources() && !IsWithoutResources())
    MakeDisplayResourceFolders(m_deviceFolder);
  else if (!hadDisplay && hasDisplay)
    MakePlainDisplayFolders(m_deviceFolder);
  if (m_config.SupportsKeypads() && !hv::IsFolder(hv::JoinPath(m_deviceFolder, "Keypads")))
    MakeKeypadFolder(m_deviceFolder);
}

bool CPOPrjDevice::SaveEditedDevice() {
  // Row and settings are two files. The journal holds both, so that a load after a
  // kill between them completes the save rather than mixing old and new; a save that
  // fails puts the old row back and drops the journal, and the device shows what its
  // files hold.
  devicesave::Change change;
  FillOwnRow(change.row);
  change.settings = GetDeviceSetValues();
  const bool stored = devicesave::ReadOwnRow(m_deviceFolder, change.row.number, change.oldRow);
  if (!stored || !devicesave::Begin(m_deviceFolder, change)) {
    // A rename's journal must not complete what is reported as failed.
    devicesave::End(m_deviceFolder);
    hv::ShowMessageF(TXT_DEVICE_ROW_FAILED, wxS("Der Datensatz des Geräts '%s' konnte nicht gespeichert werden!"),
                     MB_OK | MB_ICONEXCLAMATION, GetName());
    if (stored) TakeStoredValues(change.oldRow);
    else ReadDeviceSet();
    return false;
  }
  const bool rowWritten = WriteOwnRow();
  if (rowWritten && WriteDeviceSet(FALSE)) {
    devicesave::End(m_deviceFolder);
    return true;
  }
  const bool undone = devicesave::Undo(m_deviceFolder, change);
  if (!rowWritten)
    hv::ShowMessageF(TXT_DEVICE_ROW_FAILED, wxS("Der Datensatz des Geräts '%s' konnte nicht gespeichert werden!"),
                     MB_OK | MB_ICONEXCLAMATION, GetName());
  else
    hv::ShowMessageF(TXT_DEVICE_SETTINGS_FAILED,
                     wxS("Die Einstellungen des Geräts '%s' konnten nicht gespeichert werden!"),
                     MB_OK | MB_ICONEXCLAMATION, GetName());
  if (!undone) devicesave::ReportNotUndone(GetName());
  TakeStoredValues(change.oldRow);
  return false;
}

// After a failed save: the values the device's row and settings file hold.
void CPOPrjDevice::TakeStoredValues(const hv::db::GeraetRow& row) {
  m_deviceDriver = wxString(row.type).Trim(true);
  m_driverDisplayText = hv::PluginRegistry::Get().DeviceDisplayName(m_deviceDriver);
  m_node = wxString(row.node).Trim(true);
  ExpandPathMacros(wxString(row.param).Trim(true));
  ReadDeviceSet();
}

std::vector<wxString> CPOPrjDevice::DeviceFolderList() const {
  std::vector<wxString> folders;
  for (CPOPrjDevice* device : DevicesOf(GetParent())) folders.push_back(device->GetDeviceFolder());
  return folders;
}

// The PC connection, once confirmed, goes to every other device of the project.
void CPOPrjDevice::OfferConnectionToAll() {
  const int answer = hv::ShowMessage(TXT_CONNECTION_CHANGED,
                                     wxS("Die Einstellungen zur PC-Verbindung wurden verändert.\n"
                                         "Sollen diese Änderungen für alle projektierten Geräte im Projekt "
                                         "übernommen werden?"),
                                     MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) return;
  for (CPOPrjDevice* device : DevicesOf(GetParent())) {
    if (device == this) continue;
    device->m_network = m_network;
    device->m_slot = m_slot;
    device->m_networkPara = m_networkPara;
    // Kept in the file too, or the next load would bring the old connection back.
    CSettingsFile& file = device->m_settings.File();
    const bool written = file.WriteString(kSectionConnection, wxS("Network"), m_network) &&
                         file.WriteString(kSectionConnection, wxS("Slot"), m_slot) &&
                         file.WriteString(kSectionConnection, wxS("NetworkPara"), m_networkPara);
    if (!written)
      hv::ShowMessageF(TXT_DEVICE_SETTINGS_FAILED,
                       wxS("Die Einstellungen des Geräts '%s' konnten nicht gespeichert werden!"),
                       MB_OK | MB_ICONEXCLAMATION, device->GetName());
  }
}
