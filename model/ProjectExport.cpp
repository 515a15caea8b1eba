// The project's data-point export: the Ethernet devices' data points as a Modbus TCP
// server configuration.
#include "model/DataPointExchange.h"
#include "model/DataPointXml.h"
#include "model/DeviceServices.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "model/ProjectOperations.h"
#include <unistd.h>

#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace {

// Whether the file can be made at all: its folder exists and takes files, and no folder
// or write-protected file of that name stands in the way.
bool CanCreateFile(const wxString& path) {
  const wxString resolved = hv::ResolvePath(hv::NormalizePath(path));
  const wxString folder = hv::PathFolder(resolved);
  if (!hv::IsFolder(folder) || access(hv::ToFs(folder).c_str(), W_OK | X_OK) != 0) return false;
  if (hv::IsFolder(resolved)) return false;
  return !hv::PathExists(resolved) || access(hv::ToFs(resolved).c_str(), W_OK) == 0;
}

std::vector<DpXmlDevice> ExportDevices(CPOProject& project) {
  std::vector<DpXmlDevice> devices;
  for (CProjectObject* child : project.GetChildren()) {
    auto* device = dynamic_cast<CPOPrjDevice*>(child);
    if (!device) continue;
    devices.push_back({device->GetName(), device->GetSettings().GetSetting(wxS("Connection"), wxS("Network"), wxString()),
                       device->CollapsePathMacros(), device->GetDeviceFolder(), device->GetDeviceNumber()});
  }
  return devices;
}

}  // namespace

void CProjectOperations::ExportDataPoints(CPOProject& project) {
  if (project.HasNoChildren()) {
    hv::ShowMessage(10681, wxS("Keine Datenpunkte zum exportieren!"), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  DpXmlExportRequest request;
  request.filter = hv::LocalString(10683, wxS("XML-Dateien (*.xml)|*.xml|Alle Dateien (*.*)|*.*||"));
  request.folder = project.GetFolder();
  if (hv::Ui().Run(request) != IDOK) return;
  if (!CanCreateFile(request.path)) {
    hv::ShowMessageF(10673, wxS("Datei '%s' konte nicht geöffnet/erzeugt werden!"), MB_OK | MB_ICONEXCLAMATION,
                     request.path);
    return;
  }
  DpXmlSummary summary;
  if (!WriteDataPointsXml(request.path, ExportDevices(project), {request.protocol, request.port}, summary)) {
    hv::ShowMessageF(10674, wxS("Fehler beim Schreiben der Datei '%s'!"), MB_OK | MB_ICONEXCLAMATION, request.path);
    return;
  }
  // What could not be placed, points and devices alike, in one report.
  wxString report;
  if (summary.leftOut > 0)
    report = wxString::Format(
        hv::LocalString(11800, wxS("%d Datenpunkte haben keinen Platz im Modbus-Adressraum und wurden nicht exportiert.")),
        static_cast<int>(summary.leftOut));
  for (const wxString& name : summary.devicesLeftOut) {
    if (!report.empty()) report += "\n";
    report += wxString::Format(
        hv::LocalString(11806, wxS("Das Gerät '%s' hat keine IP-Adresse und wurde nicht exportiert.")), name);
  }
  if (!summary.devicesLeftOut.empty()) report += "\n\n" + devsvc::AddressPlace();
  if (!report.empty()) hv::Ui().Message(11800, report, MB_OK | MB_ICONINFORMATION);
}
