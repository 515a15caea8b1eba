#include "app/Startup.h"

#include <cstdlib>

#include "app/AppStateService.h"
#include "framework/Services.h"
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
          R::Need<hv::IProjectConverter>(), R::Need<hv::IProjectDownloadSteps>()};
}

// Each is answered by the "function not available" notice (ReportMissingDialog).
const UnservedRequest kUnserved[] = {
    {"PrjDeviceSheetRequest", "the device's property sheet is not in this version"},
    {"StringEditRequest", "the multilingual text dialog is not in this version"},
    {"hv::DriverParameterRequest", "the online library's driver parameter dialog is not in this version"},
    {"hv::DeviceParameterRequest", "the online library's device parameter dialog is not in this version"},
};

}  // namespace

void BindServices(const UiBindings& ui) {
  static CAppStateService application;
  static CSuiteProcessCheck processes;
  static CProjectOperations projects;
  static CPrjProjectServices projectServices;
  static CPrjDeviceServices deviceServices;
  static CPrjDeviceCapabilities capabilities;
  static CProjectDownloadSteps downloadSteps;
  // No class makes data points yet: a pasted data point keeps its kind.
  static hv::IDataPointConversion noDataPointConversion;
  // The conversion library of older projects does not exist here.
  static hv::IProjectConverter noProjectConverter;

  hv::ServiceRegistry& services = hv::Services();
  services.Bind<hv::IApplicationState>(&application);
  services.Bind<hv::IProcessCheck>(&processes);
  services.Bind<hv::IProjectOperations>(&projects);
  services.Bind<CProjectServices>(&projectServices);
  services.Bind<CDeviceServices>(&deviceServices);
  services.Bind<hv::IDeviceCapabilities>(&capabilities);
  services.Bind<hv::IDataPointConversion>(&noDataPointConversion);
  services.Bind<hv::IProjectConverter>(&noProjectConverter);
  services.Bind<hv::IProjectDownloadSteps>(&downloadSteps);
  services.Bind<hv::IEventLoop>(ui.eventLoop);
  if (ui.bindWindowLayer) ui.bindWindowLayer(hv::Ui());
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
