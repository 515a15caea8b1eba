#pragma once
// What the object classes below a device need of their device and of its project. The
// device and project classes answer through one provider each, installed at start-up
// through the services door (tests bind fakes). Without a device every answer is the
// "nothing there" one: no folder, no capability, no languages.
//
// The objects hold their device and project as pointers to those classes; this header
// never needs their definitions.
#include <vector>
#include <wx/string.h>

#include "framework/LocalTables.h"
#include "platform/Types.h"

class CProjectObject;
class CPOPrjDevice;
class CPOProject;

// No language: a project without a default language, or no project at all.
constexpr WORD kNoLanguage = 0xFFFF;

class CDeviceServices {
 public:
  static constexpr const char* kServiceName = "device services";
  virtual ~CDeviceServices() = default;
  // The device as a project object: its name and its command map.
  virtual CProjectObject* AsObject(CPOPrjDevice&) { return nullptr; }
  // The device folder ('/' separators, no trailing one).
  virtual wxString GetDeviceFolder(CPOPrjDevice&) { return wxString(); }
  // Whether the device can hold a CompactFlash card (sub-folders of its web pages).
  virtual BOOL IsCFAvailable(CPOPrjDevice&) { return FALSE; }
  // Whether the device is served by FTP (keypads, TrueType fonts).
  virtual BOOL SupportsKeypads(CPOPrjDevice&) { return FALSE; }
  // The device parameters as the device keeps them (a panel's address among them).
  virtual wxString GetDeviceParameters(CPOPrjDevice&) { return wxString(); }
};

class CProjectServices {
 public:
  static constexpr const char* kServiceName = "project services";
  virtual ~CProjectServices() = default;
  virtual WORD GetDefaultLanguage(CPOProject&) { return kNoLanguage; }
  // The project's languages with their names, the default one included.
  virtual std::vector<LANGUAGE> GetLanguages(CPOProject&) { return {}; }
  // The folder of a project object; empty for anything else.
  virtual wxString GetProjectFolder(CProjectObject&) { return wxString(); }
};

// Binds a provider through the services door (nullptr unbinds it); returns the one it
// replaces.
CDeviceServices* SetDeviceServices(CDeviceServices* services);
CProjectServices* SetProjectServices(CProjectServices* services);

// Null-safe questions of the object classes.
namespace devsvc {
CProjectObject* DeviceObject(CPOPrjDevice* device);
wxString DeviceFolder(CPOPrjDevice* device);
wxString DeviceName(CPOPrjDevice* device);
BOOL IsCFAvailable(CPOPrjDevice* device);
BOOL SupportsKeypads(CPOPrjDevice* device);
wxString DeviceParameters(CPOPrjDevice* device);
// Where the user sets a device's IP address, for the messages that miss one.
wxString AddressPlace();
WORD DefaultLanguage(CPOProject* project);
std::vector<LANGUAGE> Languages(CPOProject* project);
wxString ProjectFolder(CProjectObject& project);
}  // namespace devsvc
