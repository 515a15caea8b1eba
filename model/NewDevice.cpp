#include "model/NewDevice.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "framework/FolderUtils.h"
#include "framework/UpdateHints.h"
#include "model/DeviceTexts.h"
#include "model/PrjDevice.h"
#include "platform/DeviceConfig.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

namespace {

constexpr UINT kWarn = MB_OK | MB_ICONEXCLAMATION;
const wxString kForbiddenDeviceNameChars = wxS("/\\:*?<>|.");

// Folder and file names the program creates, spelt as an existing entry is when there
// is one.
wxString Entry(const wxString& folder, const wxString& name) { return hv::ResolvePath(hv::JoinPath(folder, name)); }

}  // namespace

// --- names ---

wxString ProposeDeviceName(const wxString& projectFolder) {
  const wxString format = hv::LocalString(10198, wxS("Geraet%d"));
  for (int n = 1;; ++n) {
    const wxString name = wxString::Format(format, n);
    if (!hv::PathExists(hv::JoinPath(projectFolder, name))) return name;
  }
}

wxString NormalizeDeviceName(const wxString& name) {
  wxString out = name;
  out.Trim(true);
  return out.Left(kMaxDeviceName);
}

bool IsValidDeviceName(const wxString& name) {
  if (name.empty()) return false;
  for (wxUniChar c : name) {
    const auto v = c.GetValue();
    if (v < 32 || v >= 127 || kForbiddenDeviceNameChars.Find(c) != wxNOT_FOUND) return false;
  }
  return true;
}

CharacterSet DeviceNameForbiddenCharset() { return ForbiddenNameCharset(false); }

UINT CheckDeviceName(const wxString& name, const wxString& projectFolder, const wxString& unchanged, long* badPos) {
  const long pos = CheckForbiddenText(name, DeviceNameForbiddenCharset());
  if (badPos) *badPos = pos;
  if (pos >= 0) return 10300;
  if (name.empty()) {
    hv::ShowMessage(TXT_DEVICE_NAME_EMPTY, wxS("Es muß ein Gerätename eingegeben werden!"), MB_OK | MB_ICONINFORMATION);
    return TXT_DEVICE_NAME_EMPTY;
  }
  if (!IsValidDeviceName(name)) {
    hv::ShowMessage(TXT_NAME_NOT_STORABLE, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                    MB_OK | MB_ICONINFORMATION);
    return TXT_NAME_NOT_STORABLE;
  }
  if (name != unchanged && hv::PathExists(hv::JoinPath(projectFolder, name))) {
    hv::ShowMessage(TXT_DEVICE_EXISTS, wxS("Das Gerät ist bereits vorhanden!"), MB_OK | MB_ICONINFORMATION);
    return TXT_DEVICE_EXISTS;
  }
  return 0;
}

// --- files ---

bool CopyFileReplacing(const wxString& source, const wxString& target) {
  std::string bytes;
  return hv::IsFile(source) && hv::ReadFileBytes(source, bytes) && hv::WriteFileAtomic(target, bytes);
}

HardwareCopy ReplaceHardwareFiles(const wxString& deviceFolder, const wxString& type, const wxString& remoteType) {
  if (deviceFolder.empty() || !hv::IsFolder(deviceFolder)) return HardwareCopy::NotCreated;
  const wxString folder = hv::ResolvePath(deviceFolder);
  const wxString current = Entry(folder, "Hardware");

  std::string freshTemplate = hv::ToFs(hv::JoinPath(folder, ".Hardware.new-XXXXXX"));
  if (!mkdtemp(freshTemplate.data())) return HardwareCopy::NotCreated;
  const wxString fresh = hv::FromFs(freshTemplate);
  chmod(freshTemplate.c_str(), hv::NewFolderMode());
  auto failed = [&fresh](HardwareCopy result) {
    DeleteDirectory(fresh);
    return result;
  };

  const wxString source = hv::InstalledTypeFolder(type);
  if (source.empty() || !hv::IsFolder(source) || !CopyDirectory(source, fresh, FALSE, FALSE))
    return failed(HardwareCopy::NotCopied);
  // The remote panel's palette replaced the type's when the remote type was chosen.
  if (!remoteType.empty()) {
    const wxString palette = hv::InstalledRemotePalette(type, remoteType);
    if (hv::IsFile(palette) && !CopyFileReplacing(palette, Entry(fresh, "Palette.pal")))
      return failed(HardwareCopy::NotCopied);
  }

  wxString old;
  if (hv::PathExists(current)) {
    std::string oldTemplate = hv::ToFs(hv::JoinPath(folder, ".Hardware.old-XXXXXX"));
    if (!mkdtemp(oldTemplate.data())) return failed(HardwareCopy::NotRemoved);
    // Renaming a folder onto an empty one replaces it.
    if (rename(hv::ToFs(current).c_str(), oldTemplate.c_str()) != 0) {
      rmdir(oldTemplate.c_str());
      return failed(HardwareCopy::NotRemoved);
    }
    old = hv::FromFs(oldTemplate);
  }
  if (rename(freshTemplate.c_str(), hv::ToFs(current).c_str()) != 0) {
    if (!old.empty()) rename(hv::ToFs(old).c_str(), hv::ToFs(current).c_str());
    return failed(HardwareCopy::NotCopied);
  }
  if (!old.empty()) DeleteDirectory(old);
  return HardwareCopy::Done;
}

void ReportHardwareCopy(HardwareCopy result) {
  switch (result) {
    case HardwareCopy::Done:
      break;
    case HardwareCopy::NotCreated:
      hv::ShowMessage(10313, wxS("Fehler beim Erzeugen des Unterverzeichnisses für hardwarespezifischen Dateien!"), kWarn);
      break;
    case HardwareCopy::NotCopied:
      hv::ShowMessage(10282, wxS("Fehler beim Kopieren der hardwarespezifischen Dateien!"), kWarn);
      break;
    case HardwareCopy::NotRemoved:
      hv::ShowMessage(10661, wxS("Fehler beim Löschen des Unterverzeichnisses für hardwarespezifischen Dateien!"), kWarn);
      break;
  }
}

BOOL MakeDisplayResourceFolders(const wxString& deviceFolder) {
  const wxString fonts = Entry(deviceFolder, "Fonts");
  if (!hv::MakeFolders(fonts)) {
    hv::ShowMessage(10251, wxS("Fehler beim Erzeugen des Unterverzeichnisses für Fonts!"), kWarn);
    return FALSE;
  }
  const wxString defaults = hv::InstalledFontsFolder();
  if (!hv::IsFolder(defaults) || !CopyDirectory(defaults, fonts, FALSE, FALSE)) {
    hv::ShowMessage(10222, wxS("Fehler beim Kopieren der Standardfonts!"), kWarn);
    return FALSE;
  }
  // The system font is built into every device.
  const wxString system = Entry(fonts, "System.fnt");
  if (hv::IsFile(system)) unlink(hv::ToFs(system).c_str());
  for (const char* name : {"Resource", "Bitmaps", "Menus"}) hv::MakeFolders(Entry(deviceFolder, name));
  return TRUE;
}

void MakePlainDisplayFolders(const wxString& deviceFolder) {
  for (const char* name : {"Fonts", "Resource", "Menus"}) hv::MakeFolders(Entry(deviceFolder, name));
}

BOOL MakeKeypadFolder(const wxString& deviceFolder) {
  if (hv::MakeFolders(Entry(deviceFolder, "Keypads"))) return TRUE;
  hv::ShowMessage(10704, wxS("Fehler beim Erzeugen des Unterverzeichnisses für Keypads!"), kWarn);
  return FALSE;
}

BOOL ApplyRemotePalette(const wxString& deviceFolder, const wxString& type, const wxString& remoteType) {
  const wxString target = Entry(deviceFolder, "Hardware/Palette.pal");
  wxString source;
  if (!remoteType.empty()) {
    source = hv::InstalledRemotePalette(type, remoteType);
  } else {
    const wxString typeFolder = hv::InstalledTypeFolder(type);
    if (!typeFolder.empty()) source = Entry(typeFolder, "Palette.pal");
    // A type without a palette of its own keeps none of the panel's.
    if (source.empty() || !hv::IsFile(source)) {
      if (hv::IsFile(target)) unlink(hv::ToFs(target).c_str());
      return TRUE;
    }
  }
  if (!source.empty() && CopyFileReplacing(source, target)) return TRUE;
  if (hv::IsFile(target)) unlink(hv::ToFs(target).c_str());
  hv::ShowMessage(TXT_DEVICE_PALETTE_FAILED, wxS("Die Palette des RemotePanels konnte nicht kopiert werden!"), kWarn);
  return FALSE;
}

// --- the new device ---

BOOL CreateDeviceFolder(CPOPrjDevice& device) {
  using namespace hv::db;
  const wxString folder = device.GetDeviceFolder();
  // An existing folder is never taken over: removing it after a failure would destroy
  // what it holds.
  if (folder.empty() || hv::PathExists(folder) || !hv::MakeFolders(folder)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), kWarn);
    return FALSE;
  }
  auto failed = [&folder] {
    dbank_close();
    DeleteDirectory(folder);
    return FALSE;
  };

  if (!dbank_create(folder)) {
    hv::ShowMessage(TXT_DEVICE_TABLES_FAILED, wxS("Die Tabellen des Geräts konnten nicht angelegt werden!"), kWarn);
    return failed();
  }
  {
    Table t;
    GeraetRow row;
    device.FillOwnRow(row);
    row.marker = 1;
    if (!t.open(folder, GeraetSchema()) || !geraet_insert(t, row)) {
      hv::ShowMessageF(TXT_DEVICE_ROW_FAILED, wxS("Der Datensatz des Geräts '%s' konnte nicht gespeichert werden!"),
                       kWarn, device.GetName());
      return failed();
    }
    device.SetDeviceNumber(row.number);
  }
  if (!device.WriteDeviceSet(TRUE) || !device.GetSettings().WriteDataVersion()) {
    hv::ShowMessageF(TXT_DEVICE_SETTINGS_FAILED,
                     wxS("Die Einstellungen des Geräts '%s' konnten nicht gespeichert werden!"), kWarn,
                     device.GetName());
    return failed();
  }

  const wxString hardware = Entry(folder, "Hardware");
  if (!hv::MakeFolders(hardware)) {
    ReportHardwareCopy(HardwareCopy::NotCreated);
    return failed();
  }
  const wxString type = hv::InstalledTypeFolder(device.GetHardwareType());
  if (type.empty() || !hv::IsFolder(type) || !CopyDirectory(type, hardware, FALSE, FALSE)) {
    ReportHardwareCopy(HardwareCopy::NotCopied);
    return failed();
  }

  CDeviceConfigAccess& config = device.GetConfigAccess();
  config.LoadDeviceConfig(TRUE);
  if (config.GetDisplayConfig() && config.HasDisplayResources() && !device.IsWithoutResources()) {
    if (!MakeDisplayResourceFolders(folder)) return failed();
    if (config.SupportsKeypads() && !device.IsComboDevice()) MakeKeypadFolder(folder);
  } else if (config.GetDisplayConfig()) {
    MakePlainDisplayFolders(folder);
  }
  return TRUE;
}

BOOL CPOPrjDevice::CreateNew(CProjectObject* parent, CPOPrjDevice*, const CProjectObject*) {
  if (!parent) return FALSE;
  DispatchScope scope;
  const wxString projectFolder = GetProjectFolderOf(parent);
  if (projectFolder.empty()) return FALSE;

  auto device = std::make_unique<CPOPrjDevice>(parent);
  device->SetName(ProposeDeviceName(projectFolder));
  device->SetDeviceFolder(hv::JoinPath(projectFolder, device->GetName()));
  // All devices of a project start with the same PC connection.
  POSITION pos = 0;
  if (const auto* first = dynamic_cast<const CPOPrjDevice*>(parent->GetFirstChild(pos))) {
    device->m_network = first->m_network;
    device->m_networkPara = first->m_networkPara;
    device->m_slot = first->m_slot;
    device->SetFirmwareVersion(first->m_firmwareVersion);
    device->m_unicodeResource = first->m_unicodeResource;
    device->m_compressedBitmaps = first->m_compressedBitmaps;
  }

  auto copy = std::make_unique<CPOPrjDevice>(parent);
  copy->CopyDevice(*device);
  PrjDeviceSheetRequest sheet;
  sheet.caption = hv::LocalString(10012, wxS("Neues Geraet"));
  sheet.wizard = TRUE;
  sheet.device = copy.get();
  const int result = hv::Ui().Run(sheet);
  if (result == kWizardFinish) device->CopyDevice(*copy);
  Discard(std::move(copy));
  if (result != kWizardFinish) {
    Discard(std::move(device));
    return FALSE;
  }

  const wxString name = NormalizeDeviceName(device->GetName());
  if (CheckDeviceName(name, projectFolder, wxString()) != 0) {
    Discard(std::move(device));
    return FALSE;
  }
  device->SetName(name);
  device->SetDeviceFolder(hv::JoinPath(projectFolder, name));
  if (!CreateDeviceFolder(*device)) {
    Discard(std::move(device));
    return FALSE;
  }
  const wxString folder = device->GetDeviceFolder();
  CProjectObject* added = parent->AddChild(std::move(device));
  if (!added) {
    hv::db::dbank_close();
    DeleteDirectory(folder);
    return FALSE;
  }
  UpdateAllViews(HINT_OBJECT_ADDED, added);
  return TRUE;
}

BOOL CPOPrjDevice::OfferNewerConfiguration() {
  if (m_offerAsked) return FALSE;
  m_offerAsked = true;
  if (!m_config.IsNewerConfigInstalled()) return FALSE;
  if (hv::ShowMessage(10711,
                      wxS("Für dieses Gerät ist eine neuere Konfigurationsdatei verfügbar.\n"
                          "Soll diese verwendet werden?"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return FALSE;
  wxString type = m_hardwareType;
  if (type.empty() && m_config.GetConfig()) type = m_config.GetConfig()->GetType();
  const HardwareCopy result = ReplaceHardwareFiles(m_deviceFolder, type, m_remoteType);
  if (result != HardwareCopy::Done) {
    ReportHardwareCopy(result);
    return FALSE;
  }
  m_picturesLoaded = false;
  m_config.LoadDeviceConfig(TRUE);
  return TRUE;
}
