#include "resources/WebTransfer.h"

#include <fcntl.h>
#include <unistd.h>

#include "framework/Launcher.h"
#include "model/DeviceServices.h"
#include "model/DeviceSettings.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/ResourceFiles.h"

namespace web {

namespace {

CDeviceSettings SettingsOf(CPOPrjDevice* device) { return CDeviceSettings(devsvc::DeviceFolder(device)); }

bool UsesCard(CPOPrjDevice* device) {
  return SettingsOf(device).UsesCF(devsvc::IsCFAvailable(device)) != FALSE;
}

// An empty file made for one transfer and removed after it.
class EmptyFile {
 public:
  explicit EmptyFile(const wxString& path) : m_path(path) {
    const int fd = open(hv::ToFs(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    m_ok = fd >= 0;
    if (fd >= 0) close(fd);
  }
  ~EmptyFile() { unlink(hv::ToFs(m_path).c_str()); }
  EmptyFile(const EmptyFile&) = delete;
  EmptyFile& operator=(const EmptyFile&) = delete;
  bool Ok() const { return m_ok; }

 private:
  wxString m_path;
  bool m_ok = false;
};

BOOL Send(CPOPrjDevice* device, Target& target, const wxString& source, const wxString& localBase) {
  resfiles::CeSend send;
  send.address = target.address;
  send.user = target.user;
  send.password = target.password;
  send.source = source;
  send.localBase = localBase;
  if (target.askTarget) {
    send.caption = hv::LocalString(11600, wxS("Web-Dateien downloaden"));
    send.targetPath = target.targetPath;
  } else {
    send.targetPath = target.remoteFolder;
  }
  if (!resfiles::SendToDevice(device, send)) return FALSE;
  if (target.askTarget) {
    // Later parts of the same transfer go where the user confirmed, without asking again.
    target.askTarget = false;
    target.remoteFolder = hv::RemotePath(send.targetPath);
    target.user = send.user;
    target.password = send.password;
  }
  return TRUE;
}

BOOL SendEmpty(CPOPrjDevice* device, Target& target, const wxString& path, const wxString& localBase) {
  EmptyFile file(path);
  if (!file.Ok()) {
    hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION,
                     hv::PathName(path));
    return FALSE;
  }
  return Send(device, target, path, localBase);
}

}  // namespace

bool MakeTarget(CPOPrjDevice* device, Target& target) {
  target.address = resfiles::CeAddressOrReport(device);
  if (target.address.empty()) return false;
  const bool keypads = resfiles::SupportsKeypads(device);
  const CDeviceSettings settings = SettingsOf(device);
  target.user = settings.GetFtpUsername(keypads ? TRUE : FALSE);
  target.password = settings.GetFtpPassword();
  if (!devsvc::IsCFAvailable(device)) {
    target.remoteFolder = wxS("vfs");
  } else if (keypads) {
    target.askTarget = true;
    target.targetPath = wxS("\\Flashdisk\\wwwpub");
    target.remoteFolder = wxS("Flashdisk\\wwwpub");
  } else {
    target.remoteFolder = UsesCard(device) ? wxS("cf0") : wxS("vfs");
  }
  return true;
}

BOOL SendPages(CPOPrjDevice* device, const wxString& source, bool finish) {
  const wxString deviceFolder = devsvc::DeviceFolder(device);
  if (deviceFolder.empty() || source.empty()) return FALSE;
  Target target;
  if (!MakeTarget(device, target)) return FALSE;
  if (!Send(device, target, source, deviceFolder)) return FALSE;
  if (!finish || target.remoteFolder.CmpNoCase(wxS("vfs")) != 0) return TRUE;
  const wxString folder = DeviceSubFolder(device, wxS("web"));
  if (!hv::IsFolder(folder)) return FALSE;
  return SendEmpty(device, target, hv::JoinPath(folder, wxS("save.bin")), deviceFolder);
}

bool UsesArchive(CPOPrjDevice* device) {
  return SettingsOf(device).GetSetting(wxS("Config"), wxS("Type"), wxString()).CmpNoCase(wxS("KOLM_IT1")) == 0;
}

BOOL SendArchive(CPOPrjDevice* device) {
  const wxString deviceFolder = devsvc::DeviceFolder(device);
  const wxString webFolder = DeviceSubFolder(device, wxS("web"));
  if (deviceFolder.empty() || !hv::IsFolder(webFolder)) return FALSE;
  Target target;
  if (!MakeTarget(device, target)) return FALSE;

  const wxString archive = hv::JoinPath(webFolder, wxS("webzarn.bin"));
  unlink(hv::ToFs(archive).c_str());
  DWORD pid = 0;
  int status = -1;
  // The archiver packs the current folder: it runs in the web folder, this program's
  // own current folder stays as it is.
  if (!LaunchProcess(nullptr, wxS("webzarn.exe"), webFolder, &pid) || !WaitForLaunchedProcess(pid, 120000, &status) ||
      status != 0 || !hv::IsFile(archive)) {
    hv::ShowMessage(11601, wxS("Das Web-Archiv konnte nicht erzeugt werden!"), MB_OK | MB_ICONEXCLAMATION);
    unlink(hv::ToFs(archive).c_str());
    return FALSE;
  }
  const BOOL sent = Send(device, target, archive, deviceFolder);
  unlink(hv::ToFs(archive).c_str());
  if (!sent) return FALSE;

  const wxString resource = DeviceSubFolder(device, wxS("resource"));
  const wxString res = hv::ResolvePath(hv::JoinPath(resource, wxS("resource.res")));
  if (hv::IsFile(res)) {
    const wxString bin = hv::JoinPath(resource, wxS("resource.bin"));
    std::string bytes;
    if (!hv::ReadFileBytes(res, bytes) || !hv::WriteFileAtomic(bin, bytes)) {
      hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION,
                       wxS("resource.res"));
      return FALSE;
    }
    // The copy exists only for this transfer.
    const BOOL sent = Send(device, target, bin, resource);
    unlink(hv::ToFs(bin).c_str());
    if (!sent) return FALSE;
  }
  if (!hv::IsFolder(resource) && !hv::MakeFolders(resource)) return FALSE;
  return SendEmpty(device, target, hv::JoinPath(resource, wxS("start.bin")), resource);
}

bool CardChoiceOffered(CPOPrjDevice* device) {
  return devsvc::IsCFAvailable(device) && !resfiles::SupportsKeypads(device);
}

bool CardChosen(CPOPrjDevice* device) {
  return SettingsOf(device).GetUseCF(devsvc::IsCFAvailable(device) ? 1 : 0) > 0;
}

BOOL ToggleCard(CPOPrjDevice* device) {
  if (devsvc::DeviceFolder(device).empty()) return FALSE;
  return SettingsOf(device).SetUseCF(CardChosen(device) ? 0 : 1);
}

}  // namespace web
