#include "model/DeviceServices.h"

#include "model/ProjectObject.h"

namespace {
CDeviceServices* g_device = nullptr;
CProjectServices* g_project = nullptr;
}  // namespace

CDeviceServices* SetDeviceServices(CDeviceServices* services) {
  CDeviceServices* old = g_device;
  g_device = services;
  return old;
}

CProjectServices* SetProjectServices(CProjectServices* services) {
  CProjectServices* old = g_project;
  g_project = services;
  return old;
}

namespace devsvc {

CProjectObject* DeviceObject(CPOPrjDevice* device) {
  return device && g_device ? g_device->AsObject(*device) : nullptr;
}

wxString DeviceFolder(CPOPrjDevice* device) {
  return device && g_device ? g_device->GetDeviceFolder(*device) : wxString();
}

wxString DeviceName(CPOPrjDevice* device) {
  CProjectObject* object = DeviceObject(device);
  return object ? object->GetName() : wxString();
}

BOOL IsCFAvailable(CPOPrjDevice* device) { return device && g_device ? g_device->IsCFAvailable(*device) : FALSE; }

WORD DefaultLanguage(CPOProject* project) {
  return project && g_project ? g_project->GetDefaultLanguage(*project) : kNoLanguage;
}

std::vector<LANGUAGE> Languages(CPOProject* project) {
  return project && g_project ? g_project->GetLanguages(*project) : std::vector<LANGUAGE>();
}

}  // namespace devsvc
