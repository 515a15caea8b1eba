#include "model/ProjectDownload.h"

#include "build/CoDeSys.h"
#include "build/PrgCoDeSys.h"
#include "build/Program.h"
#include "framework/Services.h"
#include "model/DeviceServices.h"
#include "model/DeviceTexts.h"
#include "model/GraphToolCheck.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "platform/DeviceConfig.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/DeviceAddress.h"
#include "resources/Resource.h"

namespace {

template <class T>
T* FirstChild(CProjectObject* parent) {
  if (!parent) return nullptr;
  parent->LoadChildren();
  for (CProjectObject* child : parent->GetChildren())
    if (auto* found = dynamic_cast<T*>(child)) return found;
  return nullptr;
}

// The device's CoDeSys program folder, looked up by its class: the program folder's
// first child may be another kind of folder.
CPOPrgCoDeSys* CoDeSysFolder(CPOPrjDevice& device) {
  auto* folder = FirstChild<CPOPrgCoDeSys>(FirstChild<CPOProgram>(&device));
  if (folder) folder->LoadChildren();
  return folder;
}

std::vector<CPOCoDeSys*> Programs(CPOPrgCoDeSys* folder) {
  std::vector<CPOCoDeSys*> programs;
  if (!folder) return programs;
  for (CProjectObject* child : folder->GetChildren())
    if (auto* program = dynamic_cast<CPOCoDeSys*>(child)) programs.push_back(program);
  return programs;
}

std::vector<CPOPrjDevice*> TakingPart(CPOProject& project) {
  std::vector<CPOPrjDevice*> devices;
  for (CProjectObject* child : project.GetChildren()) {
    auto* device = dynamic_cast<CPOPrjDevice*>(child);
    if (device && device->GetConfigAccess().GetCoDeSysDownloadType() != 0) devices.push_back(device);
  }
  return devices;
}

wxString Line(const wxString& device, const wxString& item, const wxString& message) {
  return wxString::Format(wxS("%s: %s - %s"), device, item, message);
}

wxString ProgramMessage(int code) {
  switch (code) {
    case CODESYS_NO_CONFIGURATION:
      return hv::LocalString(10838, wxS("Fehler beim Erzeugen der CoDeSys Konfiguration Datei"));
    case CODESYS_TRANSLATION: return hv::LocalString(10841, wxS("Fehler beim Übersetzen des CoDeSys-Programms"));
    case CODESYS_DOWNLOAD: return hv::LocalString(10842, wxS("Fehler beim Downloaden des CoDeSys-Programms"));
    default: return wxString();
  }
}

// The line's message for the device at which the download ended.
wxString Aborted() {
  return hv::LocalString(11810, wxS("Abbruch, die folgenden Geräte wurden nicht geladen"));
}

class Download {
 public:
  explicit Download(CPOProject& project) : m_devices(TakingPart(project)) {}

  // False when the user cancelled a program choice.
  bool ChoosePrograms() {
    for (CPOPrjDevice* device : m_devices) {
      // A choice of an earlier run must not carry over.
      device->SetDownloadProgram(wxString());
      const auto programs = Programs(CoDeSysFolder(*device));
      if (programs.size() == 1) device->SetDownloadProgram(programs.front()->GetName());
      if (programs.size() < 2) continue;
      PrgSelRequest request;
      request.device = device->GetName();
      for (CPOCoDeSys* p : programs) request.programs.push_back(p->GetName());
      if (hv::Ui().Run(request) != IDOK) return false;
      device->SetDownloadProgram(request.chosen);
    }
    return true;
  }

  // False when a step ended the whole download.
  bool Transfer() {
    for (CPOPrjDevice* device : m_devices)
      if (!TransferDevice(*device)) return false;
    return true;
  }

  std::vector<wxString>& Lines() { return m_lines; }

 private:
  bool TransferDevice(CPOPrjDevice& device) {
    auto& steps = hv::Service<hv::IProjectDownloadSteps>();
    const wxString chosen = device.GetDownloadProgram();
    for (CPOCoDeSys* program : Programs(CoDeSysFolder(device))) {
      if (chosen.empty() || program->GetName().CmpNoCase(chosen) != 0) continue;
      const int code = steps.DownloadProgram(device, *program);
      if (code == CODESYS_ABORT) {
        m_lines.push_back(Line(device.GetName(), program->GetName(), Aborted()));
        return false;
      }
      if (const wxString message = ProgramMessage(code); !message.empty())
        m_lines.push_back(Line(device.GetName(), program->GetName(), message));
      break;
    }
    if (!FirstChild<CPOResource>(&device)) return true;
    const wxString resourceItem = hv::LocalString(11811, wxS("Ressource"));
    // The folder may be spelt "Resource": tools are handed the spelling that exists.
    const wxString file = hv::ResolvePath(hv::JoinPath(device.GetDeviceFolder(), wxS("resource/resource.res")));
    if (const int upToDate = steps.IsResourceUpToDate(file); upToDate <= 0) {
      bool generate = upToDate < 0;
      if (!generate) {
        // The graph tool must not be working on another device while this one's
        // resources are made; it learns the current device here. Stopped here, the
        // download ends and the report says so.
        if (!CheckGraphToolDevice(&device)) {
          m_lines.push_back(Line(device.GetName(), resourceItem, Aborted()));
          return false;
        }
        generate = hv::ShowMessage(11819, wxS("Die Ressourcendatei ist nicht aktuell!\nSollen die Ressource neu erzeugt werden?"),
                                   MB_YESNO | MB_ICONQUESTION) == IDYES;
      }
      wxString message;
      if (generate && !steps.GenerateResources(file, message)) {
        m_lines.push_back(Line(device.GetName(), resourceItem, message));
        return false;
      }
    }
    const hv::DeviceConfig* config = device.GetConfigAccess().GetConfig();
    wxString message;
    if (config && config->HasFtpTransfer()) {
      const wxString address = hv::TransferAddress(device.CollapsePathMacros());
      if (address.empty()) {
        wxString missing = hv::LocalString(10603, wxS("IP-Adresse nicht gefunden!\nBitte überprüfen Sie Ihre Geräteeinstellung."));
        missing.Replace("\n", " ");
        m_lines.push_back(Line(device.GetName(), resourceItem, missing + " " + devsvc::AddressPlace()));
        return true;
      }
      const CDeviceSettings& settings = device.GetSettings();
      CeDownload job;
      job.caption = hv::LocalString(10162, wxS("Ressourcendatei downloaden"));
      job.device = device.GetName();
      job.address = address;
      job.source = file;
      job.mode = kFtpModeSingleFile;
      job.targetPath = settings.GetSetting(wxS("Config"), wxS("ResourcePath"), wxS("\\Flashdisk\\TavDesign"));
      job.user = settings.GetSetting(wxS("Config"), wxS("FtpUsername"), wxString());
      job.password = settings.GetSetting(wxS("Config"), wxS("FtpPassword"), wxString());
      job.sentRecord = FtpSentRecord::FileIn(device.GetDeviceFolder());
      const bool sent = steps.DownloadToCE(job);
      if (job.loginEntered && !job.login.SaveToDevice(device.GetSettings()))
        hv::ShowMessageF(TXT_DEVICE_SETTINGS_FAILED,
                         wxS("Die Einstellungen des Geräts '%s' konnten nicht gespeichert werden!"),
                         MB_OK | MB_ICONEXCLAMATION, device.GetName());
      if (sent) {
        // Written only when it changed: the settings are a source of the resources.
        if (job.targetPath != settings.GetSetting(wxS("Config"), wxS("ResourcePath"), wxS("\\Flashdisk\\TavDesign")))
          device.GetSettings().WriteConfigString(wxS("ResourcePath"), job.targetPath);
        return true;
      }
      message = job.message;
    } else if (steps.DownloadOnline(device, file, message)) {
      return true;
    }
    // A failed online download is reported too: it must not end in a success message.
    m_lines.push_back(Line(device.GetName(), resourceItem, message));
    return true;
  }

  std::vector<CPOPrjDevice*> m_devices;
  std::vector<wxString> m_lines;
};

}  // namespace

std::vector<wxString> RunProjectDownload(CPOProject& project) {
  Download download(project);
  if (!download.ChoosePrograms()) return {};
  download.Transfer();
  // Failures collected before an abort are shown as well.
  if (download.Lines().empty()) {
    hv::ShowMessage(10857, wxS("Projektdownload erfolgreich"), MB_OK | MB_ICONINFORMATION);
    return {};
  }
  PrjDownloadReportRequest report;
  report.lines = download.Lines();
  hv::Ui().Run(report);
  return report.lines;
}
