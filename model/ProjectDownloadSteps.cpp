#include "model/ProjectDownloadSteps.h"

#include "framework/SettingsFile.h"
#include "build/CoDeSys.h"
#include "build/OnlineDownload.h"
#include "framework/Services.h"
#include "model/ChildProcess.h"
#include "model/ModelServices.h"
#include "model/PrjDevice.h"
#include "model/ResourceFreshness.h"
#include "framework/Launcher.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace {

bool RunCommand(const wxString& command, const wxString& file) {
  std::vector<wxString> args = SplitCommandLine(command);
  if (args.empty()) return false;
  args.push_back(file);
  ChildLimits limits;
  limits.timeoutMs = 10 * 60 * 1000;
  const ChildOutcome outcome = RunChildProcess(args, limits, [] { return false; });
  return outcome.end == ChildEnd::Exited && outcome.status == 0;
}

}  // namespace

wxString ConfiguredCommand(const wxString& key) {
  const wxString profile = hv::Service<hv::IApplicationState>().ProfilePath();
  const CSettingsFile file(profile.empty() ? hv::JoinPath(hv::UserFolder(), "Project.INI") : profile);
  wxString command = file.GetString("Programs", key, key);
  command.Trim(true).Trim(false);
  return command == key ? wxString() : command;
}

int CProjectDownloadSteps::DownloadProgram(CPOPrjDevice&, CPOCoDeSys& program) {
  const wxString command = ConfiguredCommand(wxS("CODESYSDOWNLOAD"));
  if (command.empty()) return CODESYS_NO_CONFIGURATION;
  return RunCommand(command, program.GetPath()) ? 0 : CODESYS_DOWNLOAD;
}

int CProjectDownloadSteps::IsResourceUpToDate(const wxString& file) {
  return ResourceFreshness(hv::PathFolder(hv::PathFolder(file)));
}

bool CProjectDownloadSteps::GenerateResources(const wxString& file, wxString& message) {
  const wxString command = ConfiguredCommand(wxS("RESGEN"));
  if (command.empty()) {
    message = hv::LocalString(11812, wxS("Es ist kein Ressourcengenerator eingerichtet. Tragen Sie ihn unter "
                                         "Extras, Einstellungen, Seite \"Programme\", Zeile \"Ressourcengenerator\" ein."));
    return false;
  }
  if (RunCommand(command, file) && hv::IsFile(file)) return true;
  message = hv::LocalString(11813, wxS("Die Ressourcen konnten nicht erzeugt werden."));
  return false;
}

bool CProjectDownloadSteps::DownloadOnline(CPOPrjDevice& device, const wxString& file, wxString& message) {
  OnlineDownloadRequest request;
  request.caption = hv::LocalString(10162, wxS("Ressourcendatei downloaden"));
  request.file = file;
  request.device = device.GetName();
  request.network = device.GetNetwork();
  request.slot = device.GetSlot();
  request.networkPara = device.GetNetworkPara();
  request.deviceDriver = device.GetDeviceDriver();
  request.node = device.GetNode();
  request.deviceParameters = device.GetDeviceParameters();
  if (hv::Ui().Run(request) == IDOK && request.succeeded) return true;
  message = request.message.empty() ? hv::LocalString(10769, wxS("Abbruch durch den Benutzer.")) : request.message;
  return false;
}
