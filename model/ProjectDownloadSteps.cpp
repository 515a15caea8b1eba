#include "model/ProjectDownloadSteps.h"

#include "framework/SettingsFile.h"
#include "build/CoDeSys.h"
#include "framework/Services.h"
#include "model/ChildProcess.h"
#include "model/ModelServices.h"
#include "model/PrjDevice.h"
#include "model/ResourceFreshness.h"
#include "framework/Launcher.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

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
  const wxString para = device.GetNetworkPara();
  const int at = para.Find(wxS("file="));
  if (device.GetNetwork().CmpNoCase(wxS("SIMNET")) != 0 || at == wxNOT_FOUND) {
    message = hv::LocalString(11814, wxS("Der Treiber des Geräts kann keine Ressourcen laden."));
    return false;
  }
  const wxString simFile = para.Mid(at + 5).BeforeFirst(' ');
  const wxString target = hv::JoinPath(hv::JoinPath(hv::PathFolder(simFile), wxS("download")), device.GetNode());
  std::string bytes;
  if (!hv::ReadFileBytes(file, bytes) || !hv::MakeFolders(target) ||
      !hv::WriteFileAtomic(hv::JoinPath(target, hv::PathName(file)), bytes)) {
    message = hv::LocalString(11815, wxS("Die Ressourcendatei konnte nicht zum Gerät übertragen werden."));
    return false;
  }
  return true;
}
