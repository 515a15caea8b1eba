#include "app/Startup.h"

#include <array>
#include <cstdlib>

#include "app/AppStateService.h"
#include "framework/HelpService.h"
#include "framework/Services.h"
#include "grid/NumberFormat.h"
#include "model/DataPointServices.h"
#include "model/ModelServices.h"
#include "model/ProjectCopy.h"
#include "model/ProjectDownloadSteps.h"
#include "model/ProjectOperations.h"

namespace {

// Every service BindServices must bind.
std::vector<hv::ServiceRegistry::Required> RequiredServices() {
  using R = hv::ServiceRegistry;
  return {R::Need<hv::IApplicationState>(),   R::Need<hv::IEventLoop>(),
          R::Need<hv::IProcessCheck>(),       R::Need<hv::IProjectOperations>(),
          R::Need<hv::IDeviceCapabilities>(), R::Need<hv::IDataPointConversion>(),
          R::Need<CDeviceServices>(),         R::Need<CProjectServices>(),
          R::Need<hv::IProjectConverter>(), R::Need<IDataPointUse>(),
          R::Need<hv::IProjectDownloadSteps>(), R::Need<hv::IApplicationHelp>()};
}

// Request types this version does not serve, each with its reason; each is answered by the
// "function not available" notice (ReportMissingDialog). Every dialog is served now.
const std::array<UnservedRequest, 0> kUnserved{};

}  // namespace

void BindServices(const UiBindings& ui) {
  static CAppStateService application;
  static CAppHelpService help;
  static CSuiteProcessCheck processes;
  static CProjectOperations projects;
  static CPrjProjectServices projectServices;
  static CPrjDeviceServices deviceServices;
  static CPrjDeviceCapabilities capabilities;
  static CDataPointConversion dataPointConversion;
  // The graph tool does not exist here: no data point is in its use.
  static IDataPointUse noDataPointUse;
  static CProjectDownloadSteps downloadSteps;
  // The conversion library of older projects does not exist here.
  static hv::IProjectConverter noProjectConverter;

  hv::ServiceRegistry& services = hv::Services();
  services.Bind<hv::IApplicationState>(&application);
  services.Bind<hv::IApplicationHelp>(&help);
  services.Bind<hv::IProcessCheck>(&processes);
  services.Bind<hv::IProjectOperations>(&projects);
  services.Bind<CProjectServices>(&projectServices);
  services.Bind<CDeviceServices>(&deviceServices);
  services.Bind<hv::IDeviceCapabilities>(&capabilities);
  services.Bind<hv::IDataPointConversion>(&dataPointConversion);
  services.Bind<IDataPointUse>(&noDataPointUse);
  services.Bind<hv::IProjectConverter>(&noProjectConverter);
  services.Bind<hv::IProjectDownloadSteps>(&downloadSteps);
  services.Bind<hv::IEventLoop>(ui.eventLoop);
  if (ui.bindWindowLayer) ui.bindWindowLayer(hv::Ui());
  // Grid cells show and read numbers as the user's locale writes them.
  CGridNumberFormat::SetUser(CGridNumberFormat::FromLocale(""));
}

std::vector<std::string> MissingBindings() {
  std::vector<std::string> missing;
  for (const std::string& name : hv::Services().Missing(RequiredServices()))
    missing.push_back("service '" + name + "'");
  for (const std::type_index& type : hv::KnownRequestTypes()) {
    if (hv::Ui().HasRunner(type)) continue;
    const std::string name = hv::RequestTypeName(type);
    bool unserved = false;
    for (const UnservedRequest& u : kUnserved) unserved = unserved || name == u.type;
    if (!unserved) missing.push_back("runner for " + name);
  }
  return missing;
}

std::span<const UnservedRequest> UnservedRequests() { return kUnserved; }

bool StrictBindings() {
#ifndef NDEBUG
  return true;
#else
  return std::getenv("HALVORA_STRICT_BINDINGS") != nullptr;
#endif
}
