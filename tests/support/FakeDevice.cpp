#include "tests/support/FakeDevice.h"

namespace hvtest {
namespace {

class DeviceNode : public CProjectObject {
 public:
  const char* ClassName() const override { return "CPOPrjDevice"; }
  TypeCode GetTypeCode() override { return TypeCode::PrjDevice; }
  void OnImport() { ++imports; }
  int imports = 0;
  HV_DECLARE_COMMAND_MAP()
};

BEGIN_COMMAND_MAP(DeviceNode, CProjectObject)
  ON_COMMAND(32917, OnImport)
END_COMMAND_MAP()

}  // namespace

FakeDevice::FakeDevice(const wxString& f, const wxString& name)
    : folder(f), m_node(std::make_unique<DeviceNode>()), m_oldDevice(SetDeviceServices(this)),
      m_oldProject(SetProjectServices(this)) {
  m_node->SetName(name);
  m_node->SetDevice(Handle());
  m_node->SetProject(Project());
  languages = {{1031, wxS("Deutsch")}};
}

FakeDevice::~FakeDevice() {
  SetDeviceServices(m_oldDevice);
  SetProjectServices(m_oldProject);
  CProjectObject::Discard(std::move(m_node));
}

// Only compared, never used as the class it names.
CPOPrjDevice* FakeDevice::Handle() { return reinterpret_cast<CPOPrjDevice*>(this); }
CPOProject* FakeDevice::Project() { return reinterpret_cast<CPOProject*>(&m_projectToken); }

int FakeDevice::ImportCommands() const { return static_cast<const DeviceNode&>(*m_node).imports; }

CProjectObject* FakeDevice::AsObject(CPOPrjDevice& device) { return &device == Handle() ? m_node.get() : nullptr; }

wxString FakeDevice::GetDeviceFolder(CPOPrjDevice& device) { return &device == Handle() ? folder : wxString(); }

BOOL FakeDevice::IsCFAvailable(CPOPrjDevice& device) { return &device == Handle() ? cf : FALSE; }
BOOL FakeDevice::SupportsKeypads(CPOPrjDevice& device) { return &device == Handle() ? keypads : FALSE; }

wxString FakeDevice::GetDeviceParameters(CPOPrjDevice& device) {
  return &device == Handle() ? parameters : wxString();
}

WORD FakeDevice::GetDefaultLanguage(CPOProject& project) {
  return &project == Project() ? defaultLanguage : kNoLanguage;
}

std::vector<LANGUAGE> FakeDevice::GetLanguages(CPOProject& project) {
  return &project == Project() ? languages : std::vector<LANGUAGE>();
}

}  // namespace hvtest
