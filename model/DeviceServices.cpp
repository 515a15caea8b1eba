#include "model/DeviceServices.h"

#include "framework/Services.h"
#include "model/DeviceTexts.h"
#include "model/ProjectObject.h"
#include "platform/Localization.h"

CDeviceServices* SetDeviceServices(CDeviceServices* services) { return hv::Services().Bind(services); }

CProjectServices* SetProjectServices(CProjectServices* services) { return hv::Services().Bind(services); }

namespace devsvc {

CProjectObject* DeviceObject(CPOPrjDevice* device) {
  return device ? hv::Service<CDeviceServices>().AsObject(*device) : nullptr;
}

wxString DeviceFolder(CPOPrjDevice* device) {
  return device ? hv::Service<CDeviceServices>().GetDeviceFolder(*device) : wxString();
}

wxString AddressPlace() {
  return hv::LocalString(TXT_DEVICE_ADDRESS_PLACE,
                         wxS("Die IP-Adresse eines Geräts tragen Sie in seinen Einstellungen ein: \"Ändern\", Seite "
                             "\"Allgemein\", Schaltfläche \"...\" neben \"Treiber:\", Feld \"IP-Adresse\"."));
}

wxString DeviceName(CPOPrjDevice* device) {
  CProjectObject* object = DeviceObject(device);
  return object ? object->GetName() : wxString();
}

BOOL SupportsKeypads(CPOPrjDevice* device) {
  return device ? hv::Service<CDeviceServices>().SupportsKeypads(*device) : FALSE;
}

wxString DeviceParameters(CPOPrjDevice* device) {
  return device ? hv::Service<CDeviceServices>().GetDeviceParameters(*device) : wxString();
}

BOOL IsCFAvailable(CPOPrjDevice* device) {
  return device ? hv::Service<CDeviceServices>().IsCFAvailable(*device) : FALSE;
}

WORD DefaultLanguage(CPOProject* project) {
  return project ? hv::Service<CProjectServices>().GetDefaultLanguage(*project) : kNoLanguage;
}

std::vector<LANGUAGE> Languages(CPOProject* project) {
  return project ? hv::Service<CProjectServices>().GetLanguages(*project) : std::vector<LANGUAGE>();
}

wxString ProjectFolder(CProjectObject& project) { return hv::Service<CProjectServices>().GetProjectFolder(project); }

}  // namespace devsvc
