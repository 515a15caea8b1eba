#include "tests/model/FieldBusTestSupport.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"
#include "tests/support/OnlineTestSupport.h"

#include <shapefil.h>

namespace fs = std::filesystem;

namespace fbtest {
namespace {

void Link(const wxString& install, const char* kind, const char* file) {
  fs::path source = fs::path(hv::ToFs(hvtest::TestPluginFolder(kind))) / file;
  if (!fs::exists(source)) source = fs::path(hv::ToFs(hvtest::BuiltPluginFolder(kind))) / file;
  const fs::path folder = fs::path(hv::ToFs(install)) / kind;
  fs::create_directories(folder);
  fs::create_symlink(source, folder / file);
}

}  // namespace

FieldBusFixture::FieldBusFixture() {
  const wxString install = UsePrivateInstall();
  for (const char* d : {"KOLM_G320.so", "CTRL_515.so", "TESTDEV.so", "zorva_P303.so", "OTHERNET.so", "datpkt.set"})
    Link(install, "device", d);
  for (const char* d : {"SIMNET.so", "MBTCP.so"}) Link(install, "driver", d);
  hv::OnlineLibrary::Get().DeInit();
  hv::PluginRegistry::Get().Reset();
  EXPECT_TRUE(hv::Vostrel_Init());
  devtest::NewDevice answers = devtest::Named("Panel");
  answers.network = "MBTCP";
  device = Create(answers);
  EXPECT_NE(device, nullptr);
}

FieldBusFixture::~FieldBusFixture() {
  hv::OnlineLibrary::Get().EscapeScan();
  while (hv::OnlineLibrary::Get().IsInitialised()) hv::OnlineLibrary::Get().DeInit();
  hv::PluginRegistry::Get().Reset();
}

void FieldBusFixture::AnswerNetwork(const wxString& name, const wxString& driver, const wxString& param,
                                    const wxString& slot) {
  ui.Answer<hv::NetworkDialogRequest>([=](hv::NetworkDialogRequest& r) {
    hv::NetworkDialogController c(r);
    c.Init();
    bool found = false;
    for (size_t i = 0; i < r.drivers.size(); ++i)
      if (r.drivers[i].title == driver) {
        c.SelectDriver(static_cast<int>(i));
        found = true;
      }
    if (!found) r.driverIndex = -1;
    r.network->SetSlot(slot);
    r.network->SetParameter(param);
    return c.Accept(name) ? IDCANCEL : IDOK;
  });
}

CPONetwork* FieldBusFixture::AddNetwork(const wxString& name, const wxString& driver, const wxString& param,
                                        const wxString& slot) {
  AnswerNetwork(name, driver, param, slot);
  CPONetwork maker;
  if (!maker.CreateNew(device, device, nullptr)) return nullptr;
  for (CProjectObject* child : device->GetChildren())
    if (auto* n = dynamic_cast<CPONetwork*>(child); n && n->GetName() == name) return n;
  return nullptr;
}

void FieldBusFixture::AnswerDevice(const wxString& name, const wxString& node, const wxString& type) {
  ui.Answer<hv::DeviceSheetRequest>([=](hv::DeviceSheetRequest& r) {
    hv::DeviceGeneralController c(r);
    c.Init();
    const wxString wanted = type.empty() ? r.device->GetDeviceType() : type;
    for (size_t i = 0; i < r.drivers.size(); ++i)
      if (r.drivers[i].title.CmpNoCase(wanted) == 0) c.SelectDriver(static_cast<int>(i));
    if (!node.empty()) r.device->SetNode(node);
    return c.Accept(name) ? IDCANCEL : IDOK;
  });
}

CPODevice* FieldBusFixture::AddDevice(CPONetwork& network, const wxString& name, const wxString& node,
                                      const wxString& type) {
  AnswerDevice(name, node, type);
  CPODevice maker;
  if (!maker.CreateNew(&network, device, nullptr)) return nullptr;
  for (CProjectObject* child : network.GetChildren())
    if (auto* d = dynamic_cast<CPODevice*>(child); d && d->GetName() == name) return d;
  return nullptr;
}

std::vector<Row> FieldBusFixture::Rows(const char* table) const {
  std::vector<Row> rows;
  const wxString file = hv::ResolvePath(hv::JoinPath(device->GetDeviceFolder(), wxString(table) + ".DBF"));
  DBFHandle h = DBFOpen(hv::ToFs(file).c_str(), "rb");
  if (!h) return rows;
  const int fields = DBFGetFieldCount(h);
  for (int rec = 0; rec < DBFGetRecordCount(h); ++rec) {
    if (DBFIsRecordDeleted(h, rec)) continue;
    Row row;
    for (int f = 0; f < fields; ++f) {
      char name[12] = {};
      int w = 0, d = 0;
      DBFGetFieldInfo(h, f, name, &w, &d);
      std::string v = DBFReadStringAttribute(h, rec, f);
      while (!v.empty() && v.back() == ' ') v.pop_back();
      while (!v.empty() && v.front() == ' ') v.erase(v.begin());
      row[name] = v;
    }
    rows.push_back(row);
  }
  DBFClose(h);
  return rows;
}

std::string FieldBusFixture::TableBytes(const char* table) const {
  return hvtest::ReadAll(hv::ResolvePath(hv::JoinPath(device->GetDeviceFolder(), wxString(table) + ".DBF")));
}

int FieldBusFixture::RunScan(hv::AutoscanRequest& r, std::vector<wxString>* statuses) {
  hv::AutoscanController c(r);
  for (int i = 0; i < 2000; ++i) {
    if (const int result = c.Tick()) return result;
    if (statuses && (statuses->empty() || statuses->back() != c.Status())) statuses->push_back(c.Status());
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ADD_FAILURE() << "the scan did not end";
  return IDCANCEL;
}

}  // namespace fbtest
