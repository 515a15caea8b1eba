#include "resources/ResourceFiles.h"

#include <cstdio>

#include <unistd.h>

#include "build/CeDownload.h"
#include "framework/FolderUtils.h"
#include "framework/Launcher.h"
#include "framework/ProgramDefaults.h"
#include "framework/Services.h"
#include "framework/SettingsFile.h"
#include "framework/StagedCopies.h"
#include "model/DeviceServices.h"
#include "model/DeviceSettings.h"
#include "model/DeviceTexts.h"
#include "model/DocFiles.h"
#include "model/ModelServices.h"
#include "model/NewObjectKinds.h"
#include "model/ObjectSupport.h"
#include "model/ProjectObject.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "platform/online/DeviceAddress.h"
#include "platform/Ui.h"
#include "resources/ScreenDesigner.h"

namespace resfiles {

namespace {

void ReportCopyError(const wxString& name) {
  hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION, name);
}

}  // namespace

bool IsSafeFileName(const wxString& name) {
  if (name.empty() || name == wxS(".") || name.Contains(wxS(".."))) return false;
  for (wxUniChar c : name)
    if (c == '/' || c == '\\' || c.GetValue() < 0x20 || c.GetValue() == 0x7F) return false;
  return true;
}

BOOL WriteStagedFile(CArchive& ar, const wxString& path) {
  const wxString staged = path.empty() ? wxString() : staging::StageCopy(path);
  if (staged.empty()) {
    ReportCopyError(hv::PathName(path));
    return FALSE;
  }
  staging::WriteStagedPath(ar, staged);
  return TRUE;
}

wxString ReadStagedFile(CArchive& ar, const wxString& name) {
  wxString staged;
  try {
    staged = staging::ReadStagedPath(ar);
  } catch (const hv::ArchiveException&) {
    staged.clear();
  }
  if (staged.empty() || !staging::IsStagedCopy(staged)) {
    hv::ShowMessageF(10113, wxS("Die temporäre Kopie für die Datei %s existiert nicht!"), MB_OK | MB_ICONINFORMATION,
                     name);
    return wxString();
  }
  return staged;
}

wxString PlaceStagedFile(const wxString& staged, const wxString& folder, const wxString& name, CProjectObject* parent,
                         CProjectObject* self, UINT askId) {
  if (!IsSafeFileName(name) || folder.empty()) {
    ReportCopyError(name);
    return wxString();
  }
  if (!CreateDirectoryPath(folder)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return wxString();
  }
  const wxString existing = docfiles::ExistingName(folder, name);
  const wxString destination = hv::JoinPath(folder, existing.empty() ? name : existing);
  if (existing.empty()) {
    if (staging::CopyRegularFile(staged, destination, false) != staging::CopyResult::Copied) {
      ReportCopyError(name);
      return wxString();
    }
    return destination;
  }
  const int answer = askId == 10206
                         ? hv::ShowMessageF(10206, wxS("Die Datei %s existiert bereits!\nÜberschreiben?"),
                                            MB_YESNO | MB_ICONQUESTION, destination)
                         : hv::ShowMessageF(10099, wxS("Die Datei %s ist bereits vorhanden!\nÜberschreiben?"),
                                            MB_YESNO | MB_ICONQUESTION, name);
  if (answer != IDYES) return wxString();
  const wxString beside = staging::CopyBeside(staged, destination);
  if (beside.empty()) {
    ReportCopyError(name);
    return wxString();
  }
  // The replaced file stays recoverable from the recycle bin.
  docfiles::TrashFile(destination);
  if (std::rename(hv::ToFs(beside).c_str(), hv::ToFs(destination).c_str()) != 0) {
    unlink(hv::ToFs(beside).c_str());
    ReportCopyError(name);
    return wxString();
  }
  if (parent) {
    for (CProjectObject* child : parent->GetChildren())
      if (child != self && child->GetName().CmpNoCase(existing) == 0) parent->RemoveChild(child);
  }
  return destination;
}

void LaunchEditor(const wxString& key, const wxString& path) {
  CSettingsFile* profile = hv::Service<hv::IApplicationState>().Profile();
  const CSettingsFile fallback(hv::JoinPath(hv::UserFolder(), wxS("Project.INI")));
  wxString command = (profile ? *profile : fallback).GetString(wxS("Programs"), key, key);
  command.Trim(true).Trim(false);
  const std::vector<wxString> words = SplitCommandLine(command);
  if (!words.empty() && !FindProgram(words[0]).empty()) {
    LaunchProcess(nullptr, command + wxS(" ") + QuoteCommandArgument(path));
    return;
  }
  // The configured editor (often a Windows program name) is not here: the desktop's
  // own application for the file's type serves instead.
  const wxString program = words.empty() ? command : words[0];
  UINT id = 13900;
  wxString text;
  if (const ProgramRow* row = FindProgramRow(key)) {
    text = wxString::Format(
        hv::LocalString(13900, wxS("Das Programm '%s' zum Bearbeiten von '%s' ist nicht vorhanden, und für diese "
                                   "Dateiart ist kein Standardprogramm eingerichtet (es wird über xdg-open aus dem "
                                   "Paket xdg-utils gesucht).\nWählen Sie ein Programm unter \"Extras > "
                                   "Einstellungen... > Programme\", Zeile \"%s\".")),
        program, path, ProgramRowTitle(*row));
  } else {
    id = 13943;
    text = wxString::Format(
        hv::LocalString(13943, wxS("Das Programm '%s' zum Bearbeiten von '%s' ist nicht vorhanden, und für diese "
                                   "Dateiart ist kein Standardprogramm eingerichtet (es wird über xdg-open aus dem "
                                   "Paket xdg-utils gesucht).\nTragen Sie ein Programm in \"%s\" im Abschnitt "
                                   "[Programs] unter \"%s\" ein.")),
        program, path, profile ? profile->GetPath() : fallback.GetPath(), key);
  }
  hv::ShellOpen(path, id, text);
}

wxString TemplateFile(const wxString& name) {
  return hv::ResolvePath(hv::JoinPath(hv::DefaultDataFolder(), wxS("Halvora/default/") + name));
}

bool IsDeviceTypeFile(CPOPrjDevice* device, const wxString& path) {
  const wxString folder = hv::StripOneTrailingSeparator(hv::PathFolder(hv::NormalizePath(path)));
  const wxString hardware = DeviceSubFolder(device, wxS("Hardware"));
  if (!hardware.empty() && hv::ResolvePath(folder).CmpNoCase(hardware) == 0) return true;
  // Without a device folder the folder's name decides.
  return hv::PathName(folder).CmpNoCase(wxS("Hardware")) == 0;
}

wxString CeAddress(const wxString& deviceParameters) { return hv::TransferAddress(deviceParameters); }

wxString CeAddressOrReport(CPOPrjDevice* device) {
  const wxString address = CeAddress(devsvc::DeviceParameters(device));
  if (address.empty())
    hv::Ui().Message(10603,
                     hv::LocalString(10603, wxS("IP-Adresse nicht gefunden!\nBitte überprüfen Sie Ihre Geräteeinstellung.")) +
                         "\n\n" + devsvc::AddressPlace(),
                     MB_OK | MB_ICONINFORMATION);
  return address;
}

bool SupportsKeypads(CPOPrjDevice* device) {
  CProjectObject* object = devsvc::DeviceObject(device);
  return object && hv::Service<hv::IDeviceCapabilities>().Of(*object).keypads;
}

bool PrepareCeSend(CPOPrjDevice* device, CeSend& send) {
  if (!device || !SupportsKeypads(device)) return false;
  send.address = CeAddressOrReport(device);
  if (send.address.empty()) return false;
  const CDeviceSettings settings(devsvc::DeviceFolder(device));
  send.user = settings.GetFtpUsername(TRUE);
  send.password = settings.GetFtpPassword();
  return true;
}

BOOL SendToDevice(CPOPrjDevice* device, CeSend& send) {
  const wxString deviceFolder = devsvc::DeviceFolder(device);
  // A login the device took from the login dialog is kept as that dialog says.
  auto keepLogin = [&](bool entered, const UserPwdRequest& login) {
    if (!entered) return;
    CDeviceSettings settings(deviceFolder);
    if (!login.SaveToDevice(settings))
      hv::ShowMessageF(TXT_DEVICE_SETTINGS_FAILED, wxS("Die Einstellungen des Geräts '%s' konnten nicht gespeichert werden!"),
                       MB_OK | MB_ICONEXCLAMATION, devsvc::DeviceName(device));
  };
  if (!send.caption.empty()) {
    CeDownload job;
    job.caption = send.caption;
    job.device = devsvc::DeviceName(device);
    job.address = send.address;
    job.source = send.source;
    job.localBase = send.localBase;
    job.mode = send.mode;
    job.files = send.files;
    job.targetPath = send.targetPath;
    job.user = send.user;
    job.password = send.password;
    job.sentRecord = FtpSentRecord::FileIn(deviceFolder);
    const BOOL done = DownloadToCEDevice(job);
    keepLogin(job.loginEntered, job.login);
    if (!done) return FALSE;
    send.targetPath = job.targetPath;
    send.user = job.user;
    send.password = job.password;
    return TRUE;
  }
  FtpDownloadRequest transfer;
  transfer.address = send.address;
  transfer.user = send.user;
  transfer.password = send.password;
  transfer.source = send.source;
  transfer.localBase = send.localBase;
  transfer.remoteFolder = send.targetPath;
  transfer.mode = send.mode;
  transfer.files = send.files;
  transfer.sentRecord = FtpSentRecord::FileIn(deviceFolder);
  UserPwdRequest login;
  bool entered = false;
  const int answer = RunFtpTransferAskingLogin(transfer, login, entered);
  keepLogin(entered, login);
  if (entered) {
    send.user = transfer.user;
    send.password = transfer.password;
  }
  return answer == IDOK && transfer.succeeded ? TRUE : FALSE;
}

std::uint64_t ListingStamp(const std::vector<FileEntry>& files) {
  // FNV-1a over every entry; a collision only delays a refresh.
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  };
  for (const FileEntry& f : files) {
    const wxScopedCharBuffer path = f.path.utf8_str();
    mix(path.data(), path.length() + 1);
    mix(&f.size, sizeof f.size);
    mix(&f.timeNs, sizeof f.timeNs);
    mix(&f.isFolder, sizeof f.isFolder);
  }
  return h;
}

}  // namespace resfiles
