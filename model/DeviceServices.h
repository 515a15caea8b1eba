#pragma once
// What the object classes below a device need of their device and of its project. The
// device and project classes answer through one provider each, installed at start-up
// (tests install fakes). Without a provider, or without a device, every answer is the
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
  virtual ~CDeviceServices() = default;
  // The device as a project object: its name and its command map.
  virtual CProjectObject* AsObject(CPOPrjDevice& device) = 0;
  // The device folder ('/' separators, no trailing one).
  virtual wxString GetDeviceFolder(CPOPrjDevice& device) = 0;
  // Whether the device can hold a CompactFlash card (sub-folders of its web pages).
  virtual BOOL IsCFAvailable(CPOPrjDevice& device) = 0;
};

class CProjectServices {
 public:
  virtual ~CProjectServices() = default;
  virtual WORD GetDefaultLanguage(CPOProject& project) = 0;
  // The project's languages with their names, the default one included.
  virtual std::vector<LANGUAGE> GetLanguages(CPOProject& project) = 0;
};

// Installs a provider (nullptr removes it); returns the one it replaces.
CDeviceServices* SetDeviceServices(CDeviceServices* services);
CProjectServices* SetProjectServices(CProjectServices* services);

// Null-safe questions of the object classes.
namespace devsvc {
CProjectObject* DeviceObject(CPOPrjDevice* device);
wxString DeviceFolder(CPOPrjDevice* device);
wxString DeviceName(CPOPrjDevice* device);
BOOL IsCFAvailable(CPOPrjDevice* device);
WORD DefaultLanguage(CPOProject* project);
std::vector<LANGUAGE> Languages(CPOProject* project);
}  // namespace devsvc
