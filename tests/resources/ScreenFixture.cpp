#include "tests/resources/ScreenFixture.h"

#include "platform/Registry.h"
#include "resources/MaskRecords.h"
#include "resources/ScreenDesigner.h"

using namespace hv::db;

namespace hvtest {

ProjectDevice::ProjectDevice(const wxString& folder)
    : FakeDevice(folder), m_project(TypeCode::Project, "CPOProject", wxS("Anlage 1")) {
  m_device = m_project.Add(TypeCode::PrjDevice, wxS("Panel"), "CPOPrjDevice");
  m_device->SetDevice(Handle());
  m_device->SetProject(Project());
}

CProjectObject* ProjectDevice::AsObject(CPOPrjDevice& device) { return &device == Handle() ? m_device : nullptr; }

ScreenFixture::ScreenFixture() : dev(dir.Path()) {
  EXPECT_TRUE(dbank_create(dir.Path()));
  doc.AddView(&view);
  folder = std::make_unique<CPOResMask>(&dev.DeviceNode(), dev.Handle());
}

ScreenFixture::~ScreenFixture() { CProjectObject::Discard(std::move(folder)); }

MaskField ScreenFixture::AddRecord(const wxString& screen, int number, std::uint32_t type,
                                   const std::function<void(MaskField&)>& fill) {
  Table t;
  EXPECT_TRUE(t.open(dir.Path(), MskfldSchema()));
  MaskField r;
  r.name = screen;
  r.setNumber(static_cast<std::int16_t>(number));
  r.setType(type);
  if (fill) fill(r);
  EXPECT_TRUE(msk_fld_insert_quick(t, r));
  return r;
}

void ScreenFixture::AddScreen(const wxString& name, std::uint16_t logicalId, int elements) {
  AddRecord(name, 0, 0, [logicalId](MaskField& r) { r.setLogId(logicalId); });
  for (int i = 1; i <= elements; ++i) AddRecord(name, i, 2);
}

CPOMask* ScreenFixture::Screen(const wxString& name) {
  EXPECT_TRUE(folder->LoadChildren());
  for (CProjectObject* c : folder->GetChildren())
    if (c->GetName() == name) return static_cast<CPOMask*>(c);
  return nullptr;
}

std::vector<MaskField> ScreenFixture::Records(const wxString& screen) {
  Table t;
  EXPECT_TRUE(t.open(dir.Path(), MskfldSchema()));
  return maskrec::ScreenRecords(t, screen);
}

void ScreenFixture::UseStandInDesigner(const DesignerLog& log) {
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyProduct, kScreenDesignerValue, log.Program()));
}

}  // namespace hvtest
