#pragma once
// A stand-in device for the object classes below a device: a project-object node of
// the device's kind, a device folder, and the answers of the device and project
// services, installed while it lives. The classes see only an opaque device pointer.
#include <vector>
#include <wx/string.h>

#include "framework/Services.h"
#include "model/DeviceServices.h"
#include "model/ModelServices.h"
#include "model/NewObjectKinds.h"
#include "model/ProjectObject.h"

namespace hvtest {

class FakeDevice : public CDeviceServices, public CProjectServices {
 public:
  explicit FakeDevice(const wxString& folder, const wxString& name = wxS("Panel"));
  ~FakeDevice() override;
  FakeDevice(const FakeDevice&) = delete;
  FakeDevice& operator=(const FakeDevice&) = delete;

  // The device node (type code of a project device, class name "CPOPrjDevice").
  CProjectObject& Node() { return *m_node; }
  CPOPrjDevice* Handle();
  CPOProject* Project();

  // How often the node received command 32917.
  int ImportCommands() const;

  wxString folder;
  BOOL cf = FALSE;
  wxString parameters;   // the device parameters (a panel's address among them)
  bool keypads = false;  // takes keypads and other files over FTP
  WORD defaultLanguage = 1031;
  std::vector<LANGUAGE> languages;

  CProjectObject* AsObject(CPOPrjDevice& device) override;
  wxString GetDeviceFolder(CPOPrjDevice& device) override;
  BOOL IsCFAvailable(CPOPrjDevice& device) override;
  BOOL SupportsKeypads(CPOPrjDevice& device) override;
  wxString GetDeviceParameters(CPOPrjDevice& device) override;
  WORD GetDefaultLanguage(CPOProject& project) override;
  std::vector<LANGUAGE> GetLanguages(CPOProject& project) override;

 private:
  // The device's capabilities: the program's own provider would take the handle for a
  // real device.
  class Capabilities : public hv::IDeviceCapabilities {
   public:
    explicit Capabilities(FakeDevice& owner) : m_owner(owner) {}
    DeviceCapabilities Of(CProjectObject&) override {
      DeviceCapabilities caps;
      caps.keypads = m_owner.keypads;
      return caps;
    }

   private:
    FakeDevice& m_owner;
  };

  std::unique_ptr<CProjectObject> m_node;
  Capabilities m_capabilities{*this};
  hv::ServiceOverride<hv::IDeviceCapabilities> m_boundCapabilities{&m_capabilities};
  int m_projectToken = 0;
  CDeviceServices* m_oldDevice;
  CProjectServices* m_oldProject;
};

}  // namespace hvtest
