// Networks and field-bus devices on real tables: names, nodes, delete, copy and paste.
#include <gtest/gtest.h>

#include "model/DataPoint.h"
#include "model/PrjDataPoint.h"
#include "platform/Archive.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"
#include "tests/model/FieldBusTestSupport.h"

namespace {

using fbtest::FieldBusFixture;
namespace db = hv::db;

// What the clipboard does: the object's record and its own data, read into a new
// object of the class placed under the target.
CProjectObject* PasteCopy(CProjectObject& source, CProjectObject& target, size_t cutBytes = 0) {
  hv::Archive out;
  source.Serialize(out);
  if (!source.WriteToClipboard(out)) return nullptr;
  std::string bytes = out.Bytes();
  if (cutBytes) bytes.resize(bytes.size() - cutBytes);
  hv::Archive in(bytes);
  std::unique_ptr<CProjectObject> made = CProjectObject::CreateObjectOfType(source.GetTypeCode());
  made->Serialize(in);
  CProjectObject* added = target.AddChild(std::move(made));
  try {
    if (added->ReadFromClipboard(in, &target)) return added;
  } catch (const hv::ArchiveException&) {
  }
  target.RemoveChild(added);
  return nullptr;
}

void AddPoint(const wxString& folder, std::uint16_t device, const wxString& name, std::uint16_t logId) {
  db::Table t;
  ASSERT_TRUE(db::db_open(hv::JoinPath(folder, "DATPKT"), t));
  db::DatpktRow p;
  p.name = name;
  p.device = device;
  p.logId = logId;
  p.address = "8|M|W|81|0|0|1";
  ASSERT_TRUE(db::datpkt_insert(t, p));
}

std::vector<std::string> Column(const std::vector<fbtest::Row>& rows, const char* field) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(r.at(field));
  std::sort(out.begin(), out.end());
  return out;
}

using Networks = FieldBusFixture;

TEST_F(Networks, NamesStayUniqueAndOwnNameIsAccepted) {
  CPONetwork* a = AddNetwork("Bus A", "MBTCP", "host=127.0.0.1");
  ASSERT_NE(a, nullptr);
  ui.ExpectMessage(10271);
  EXPECT_EQ(AddNetwork("Bus A", "SIMNET", ""), nullptr);
  EXPECT_TRUE(ui.AllExpectationsMet());
  // No driver chosen, no name: refused in this order.
  ui.ExpectMessage(10215);
  EXPECT_EQ(AddNetwork("X", "NOSUCH", ""), nullptr);
  ui.ExpectMessage(10241);
  EXPECT_EQ(AddNetwork(" ", "SIMNET", ""), nullptr);
  EXPECT_TRUE(ui.AllExpectationsMet());

  AnswerNetwork("Bus A", "MBTCP", "host=127.0.0.2");
  EXPECT_TRUE(a->Edit());
  const auto rows = Rows("NETZWERK");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("PARAM"), "host=127.0.0.2");
  EXPECT_EQ(a->GetColumnText(3), "Modbus TCP;S0;host=127.0.0.2");

  // A later session's folder, loaded from the table, describes it the same way.
  CPOPrjDataPoint later(device, device);
  ASSERT_TRUE(later.LoadChildren());
  std::vector<wxString> described;
  for (CProjectObject* c : later.GetChildren())
    if (auto* n = dynamic_cast<CPONetwork*>(c)) described.push_back(n->GetColumnText(3));
  EXPECT_EQ(described, std::vector<wxString>{"Modbus TCP;S0;host=127.0.0.2"});
}

TEST_F(Networks, DriverListHoldsOnlyDriversTheDeviceAccepts) {
  CPONetwork n(device, device);
  hv::NetworkDialogRequest r;
  r.network = &n;
  n.SetDriver("SIMNET");
  hv::NetworkDialogController c(r);
  c.Init();
  std::vector<wxString> titles;
  for (const auto& d : r.drivers) titles.push_back(d.title);
  EXPECT_EQ(titles, (std::vector<wxString>{"MBTCP", "SIMNET"}));
  ASSERT_EQ(r.driverIndex, 1);
  n.SetSlot("S");
  n.SetParameter("p");
  c.SelectDriver(0);
  EXPECT_EQ(n.GetSlot(), "");
  EXPECT_EQ(n.GetParameter(), "");
}

TEST_F(Networks, DeleteIsRefusedWhileDevicesRemain) {
  CPONetwork* a = AddNetwork("A", "SIMNET", "");
  CPONetwork* b = AddNetwork("B", "SIMNET", "");
  ASSERT_TRUE(a && b);
  ASSERT_NE(AddDevice(*a, "Dev", "1"), nullptr);

  ui.ExpectMessage(10320, IDOK);
  a->OnDeleteNetwork();
  EXPECT_TRUE(CProjectObject::IsValidObject(a));
  // One of several selected: Cancel stops the remaining ones.
  a->SetSelectionState(TRUE, FALSE, TRUE);
  ui.ExpectMessage(10320, IDCANCEL);
  EXPECT_FALSE(a->Delete());
  EXPECT_FALSE(a->IsMultipleSelection());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Rows("NETZWERK").size(), 2u);

  b->OnDeleteNetwork();
  EXPECT_EQ(Column(Rows("NETZWERK"), "BEZEICH"), (std::vector<std::string>{"A"}));
}

TEST_F(Networks, PasteIntoTheSameDeviceMakesEverythingUnique) {
  CPONetwork* a = AddNetwork("Feldbus", "SIMNET", "");
  ASSERT_NE(a, nullptr);
  CPODevice* d1 = AddDevice(*a, "D1", "1");
  CPODevice* d2 = AddDevice(*a, "D2", "2");
  ASSERT_TRUE(d1 && d2);
  AddPoint(device->GetDeviceFolder(), d1->GetNumber(), "P1", 5);
  AddPoint(device->GetDeviceFolder(), d2->GetNumber(), "P2", 0);

  auto* pasted = dynamic_cast<CPONetwork*>(PasteCopy(*a, *device));
  ASSERT_NE(pasted, nullptr);
  EXPECT_NE(pasted->GetNumber(), a->GetNumber());
  EXPECT_EQ(pasted->GetName(), "Feldbus_1");
  EXPECT_EQ(Column(Rows("NETZWERK"), "BEZEICH"), (std::vector<std::string>{"Feldbus", "Feldbus_1"}));
  const auto devs = Rows("GERAET");
  std::vector<std::string> names;
  for (const auto& r : devs)
    if (r.at("NNR") == std::to_string(pasted->GetNumber())) names.push_back(r.at("BEZEICH"));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"D1_1", "D2_1"}));

  // The points follow their new devices; a used logical id becomes 65535, 0 stays.
  std::map<std::string, std::string> deviceOf;
  for (const auto& r : devs) deviceOf[r.at("GNR")] = r.at("BEZEICH");
  std::vector<std::string> points;
  for (const auto& p : Rows("DATPKT")) points.push_back(deviceOf[p.at("GNR")] + ":" + p.at("BEZEICH") + ":" + p.at("LOG_ID"));
  std::sort(points.begin(), points.end());
  EXPECT_EQ(points, (std::vector<std::string>{"D1:P1:5", "D1_1:P1_1:65535", "D2:P2:0", "D2_1:P2_1:0"}));

  EXPECT_TRUE(pasted->LoadChildren());
  EXPECT_EQ(pasted->GetChildCount(), 2u);
}

TEST_F(Networks, APasteThatFailsMidwayLeavesNoRows) {
  CPONetwork* a = AddNetwork("Feldbus", "SIMNET", "");
  ASSERT_NE(a, nullptr);
  CPODevice* d1 = AddDevice(*a, "D1", "1");
  ASSERT_NE(d1, nullptr);
  AddPoint(device->GetDeviceFolder(), d1->GetNumber(), "P1", 0);
  AddPoint(device->GetDeviceFolder(), d1->GetNumber(), "P2", 0);
  const auto nets = Rows("NETZWERK"), devs = Rows("GERAET"), dps = Rows("DATPKT");
  // The second point's record is cut short.
  EXPECT_EQ(PasteCopy(*a, *device, 20), nullptr);
  EXPECT_EQ(Rows("NETZWERK"), nets);
  EXPECT_EQ(Rows("GERAET"), devs);
  EXPECT_EQ(Rows("DATPKT"), dps);
}

using Devices = FieldBusFixture;

TEST_F(Devices, NamesAndNodesAreChecked) {
  CPONetwork* a = AddNetwork("A", "SIMNET", "");
  CPONetwork* b = AddNetwork("B", "MBTCP", "");
  ASSERT_TRUE(a && b);
  ASSERT_NE(AddDevice(*a, "D1", "1"), nullptr);
  const struct {
    const char* name;
    const char* node;
    UINT message;
  } refused[] = {
      {"", "2", 10317}, {"D.2", "2", 10347}, {"d1", "2", 10006}, {"D2", "", 10057},
      {"D2", "1", 10094}, {"D2", "12345678901", 11302},
  };
  for (const auto& r : refused) {
    ui.ExpectMessage(r.message);
    EXPECT_EQ(AddDevice(*a, r.name, r.node), nullptr) << r.name << "/" << r.node;
    EXPECT_TRUE(ui.AllExpectationsMet()) << r.message;
  }
  // The same node in another network is fine.
  EXPECT_NE(AddDevice(*b, "D2", "1"), nullptr);
  // A type the network's driver does not serve is not offered; the one plug-in that
  // serves SIMNET with a storable title is preselected.
  CPODevice* d3 = AddDevice(*a, "D3", "3", "OTHERNET");
  ASSERT_NE(d3, nullptr);
  EXPECT_EQ(d3->GetDeviceType(), "TESTDEV");
  EXPECT_EQ(Rows("GERAET").size(), 4u);   // the project device's own row and three

  // A name typed into an existing device's page is searched against the name it had.
  hv::DeviceSheetRequest edit;
  edit.device = d3;
  hv::DeviceGeneralController c(edit);
  c.Init();
  c.NameTyped("D1", -1);
  ui.ExpectMessage(10006);
  EXPECT_EQ(c.Accept("D1").text, 10006u);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// A bus data point registers through its network's driver and its device's node; the
// data-point folder lists the networks with their row's values, found again by number.
TEST_F(Devices, BusDataPointsAndTheFolderTakeTheirRowsValues) {
  CPONetwork* a = AddNetwork("A", "MBTCP", "host=127.0.0.1", "TCP_1");
  ASSERT_NE(a, nullptr);
  CPODevice* d = AddDevice(*a, "D1", "7");
  ASSERT_NE(d, nullptr);
  CPODataPoint* dp = static_cast<CPODataPoint*>(d->AddChild(std::make_unique<CPODataPoint>(d, device)));
  const DataPointConnection c = dp->Connection();
  EXPECT_TRUE(c.valid);
  EXPECT_EQ(c.netDriver, "MBTCP");
  EXPECT_EQ(c.slot, "TCP_1");
  EXPECT_EQ(c.netParam, "host=127.0.0.1");
  EXPECT_EQ(c.devDriver, "TESTDEV");
  EXPECT_EQ(c.node, "7");
  EXPECT_EQ(c.deviceNumber, d->GetNumber());
  EXPECT_EQ(c.deviceName, "D1");

  CPOPrjDataPoint folder(nullptr, device);
  ASSERT_TRUE(folder.LoadChildren());
  ASSERT_EQ(folder.GetChildren().size(), 1u);
  auto* listed = dynamic_cast<CPONetwork*>(folder.GetChildren()[0]);
  ASSERT_NE(listed, nullptr);
  EXPECT_EQ(listed->GetNumber(), a->GetNumber());
  EXPECT_EQ(listed->GetDriver(), "MBTCP");
  EXPECT_EQ(listed->GetSlot(), "TCP_1");
  EXPECT_EQ(listed->GetParameter(), "host=127.0.0.1");
  // Read from the table it describes itself as the new one did: the driver's name.
  EXPECT_EQ(listed->GetColumnText(3), a->GetColumnText(3));
  EXPECT_EQ(listed->GetColumnText(3), "Modbus TCP;TCP_1;host=127.0.0.1");
  // Renamed in its table, the same object is found again.
  db::Table t;
  ASSERT_TRUE(db::db_open(hv::JoinPath(device->GetDeviceFolder(), "NETZWERK"), t));
  db::NetzwerkRow r;
  ASSERT_TRUE(db::netzwerk_select(t, r, db::kFirst, "NNR"));
  r.name = "B";
  ASSERT_TRUE(db::netzwerk_update(t, r));
  ASSERT_TRUE(folder.LoadChildren());
  ASSERT_EQ(folder.GetChildren().size(), 1u);
  EXPECT_EQ(folder.GetChildren()[0], listed);
  EXPECT_EQ(listed->GetName(), "B");
}

TEST_F(Devices, RenameKeepsNodeCheckToOtherRows) {
  CPONetwork* a = AddNetwork("A", "SIMNET", "");
  ASSERT_NE(a, nullptr);
  CPODevice* d = AddDevice(*a, "D1", "1");
  ASSERT_NE(d, nullptr);
  AnswerDevice("Umbenannt", "1");
  EXPECT_TRUE(d->Edit());
  EXPECT_EQ(d->GetName(), "Umbenannt");
  const auto rows = Rows("GERAET");
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const fbtest::Row& r) { return r.at("BEZEICH") == "Umbenannt"; }),
            1);
}

TEST_F(Devices, PasteIntoTheSameNetworkAsksUntilNodeAndNameAreFree) {
  CPONetwork* a = AddNetwork("A", "SIMNET", "");
  ASSERT_NE(a, nullptr);
  CPODevice* d = AddDevice(*a, "D1", "1");
  ASSERT_NE(d, nullptr);
  AddPoint(device->GetDeviceFolder(), d->GetNumber(), "P1", 9);

  // Cancelled: the node is taken, the sheet refuses the taken name, nothing changes.
  ui.ExpectMessage(10094);
  ui.ExpectMessage(10006);
  AnswerDevice("D1", "1");   // the sheet refuses, which counts as cancel here
  const auto before = Rows("GERAET");
  EXPECT_EQ(PasteCopy(*d, *a), nullptr);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Rows("GERAET"), before);

  // A sheet that lets the taken name through with a free node is shown again, after the
  // name's message; the second answer is free in both.
  ui.ExpectMessage(10094);
  ui.ExpectMessage(10006);
  std::vector<std::pair<wxString, wxString>> shown;   // name and node the sheet opened with
  ui.Answer<hv::DeviceSheetRequest>([&](hv::DeviceSheetRequest& r) {
    shown.emplace_back(r.device->GetName(), r.device->GetNode());
    r.device->SetNode("2");
    if (shown.size() == 2) r.device->SetName("D2");
    return static_cast<int>(IDOK);
  });
  auto* pasted = dynamic_cast<CPODevice*>(PasteCopy(*d, *a));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(shown, (std::vector<std::pair<wxString, wxString>>{{"D1", "1"}, {"D1", "2"}}));
  EXPECT_EQ(ui.MessageIds(), (std::vector<UINT>{10094, 10006, 10094, 10006}));
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(pasted->GetName(), "D2");
  EXPECT_EQ(pasted->GetNode(), "2");
  EXPECT_EQ(Column(Rows("GERAET"), "KNOTEN"), (std::vector<std::string>{"1", "2", "M1"}));
  std::vector<std::string> ids;
  for (const auto& p : Rows("DATPKT")) ids.push_back(p.at("LOG_ID"));
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<std::string>{"65535", "9"}));
}

TEST_F(Devices, DeleteRefusedWithDataPoints) {
  CPONetwork* a = AddNetwork("A", "SIMNET", "");
  ASSERT_NE(a, nullptr);
  CPODevice* d = AddDevice(*a, "D1", "1");
  CPODevice* e = AddDevice(*a, "D2", "2");
  ASSERT_TRUE(d && e);
  EXPECT_FALSE(e->LoadChildren());   // no points
  AddPoint(device->GetDeviceFolder(), d->GetNumber(), "P1", 0);
  ui.ExpectMessage(10038);
  d->OnDelete();
  EXPECT_TRUE(CProjectObject::IsValidObject(d));
  e->OnDelete();
  EXPECT_EQ(Column(Rows("GERAET"), "BEZEICH").size(), 2u);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(Devices, ListShowsDisplayNamesAndLoadsEachPluginOnce) {
  CPONetwork* a = AddNetwork("A", "MBTCP", "");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(AddDevice(*a, "D1", "1", "TESTDEV"), nullptr);
  ASSERT_NE(AddDevice(*a, "D2", "2", "CTRL_515"), nullptr);
  ASSERT_TRUE(a->LoadChildren());
  std::vector<wxString> shown;
  for (CProjectObject* c : a->GetChildren()) shown.push_back(c->GetColumnText(2));
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, (std::vector<wxString>{"CTRL 515 STEUERUNG", "TEST DEVICE"}));
  const unsigned opens = hv::PluginRegistry::Get().OpenCount();
  for (int i = 0; i < 5; ++i) {
    a->IsStale();
    a->LoadChildren();
  }
  EXPECT_EQ(hv::PluginRegistry::Get().OpenCount(), opens);
  EXPECT_FALSE(a->IsStale());
}

TEST_F(Devices, PathMacrosOnlyAtFolderBoundaries) {
  CPODevice d(nullptr, device);
  const wxString folder = device->GetDeviceFolder();
  d.SetParameter(folder + "/sym.x;" + folder + ";" + folder + "X;" + folder.Upper());
  EXPECT_EQ(d.CollapsePathMacros(),
            "$$$DEVICEPATH$$$/sym.x;$$$DEVICEPATH$$$;$$$PROJECTPATH$$$/PanelX;$$$DEVICEPATH$$$");
  d.ExpandPathMacros("$$$DEVICEPATH$$$/a;;  ");
  EXPECT_EQ(d.GetParameter(), folder + "/a;;");
  // A device without a folder collapses nothing (and does not loop).
  CPOPrjDevice bare;
  CPODevice e(nullptr, &bare);
  e.SetParameter("abc;def");
  EXPECT_EQ(e.CollapsePathMacros(), "abc;def");
}

TEST_F(Devices, AProjectDevicePickedFromTheNameListLendsItsConnection) {
  devtest::NewDevice other = devtest::Named("Steuerung", "CTRL_515");
  other.node = "5";
  other.networkPara = "host=127.0.0.5";
  ASSERT_NE(Create(other), nullptr);
  ASSERT_NE(Create(devtest::Named("Fremd", "CE_PANEL7")), nullptr);
  CPONetwork* a = AddNetwork("A", "MBTCP", "");
  ASSERT_NE(a, nullptr);
  CPODevice d(a, device);
  hv::DeviceSheetRequest r;
  r.device = &d;
  r.isNew = true;
  hv::DeviceGeneralController c(r);
  c.Init();
  ASSERT_FALSE(r.projectDevices.empty());
  EXPECT_EQ(std::count(r.projectDevices.begin(), r.projectDevices.end(), "Panel"), 0);
  const auto it = std::find(r.projectDevices.begin(), r.projectDevices.end(), "Steuerung");
  ASSERT_NE(it, r.projectDevices.end());
  c.PickProjectDevice(static_cast<int>(it - r.projectDevices.begin()));
  EXPECT_EQ(d.GetName(), "Steuerung");
  EXPECT_EQ(d.GetNode(), "5");
  EXPECT_EQ(d.GetParameter(), "host=127.0.0.5");
  EXPECT_EQ(d.GetDeviceType(), "CTRL_515");

  // Typed over, the name no longer lends the connection: node and parameter start
  // afresh, once; later typing keeps what was entered since.
  const int picked = static_cast<int>(it - r.projectDevices.begin());
  c.NameTyped("Regler  ", picked);
  EXPECT_EQ(d.GetName(), "Regler");
  EXPECT_EQ(d.GetNode(), "");
  EXPECT_EQ(d.GetParameter(), device->GetDeviceFolder() + ";");
  d.SetNode("9");
  c.NameTyped("Regler 2", picked);
  EXPECT_EQ(d.GetNode(), "9");
  // Without an entry of the list behind it, typing only takes the name.
  c.PickProjectDevice(picked);
  c.NameTyped("Regler 3", -1);
  EXPECT_EQ(d.GetNode(), "5");
  EXPECT_EQ(d.GetName(), "Regler 3");
}

TEST_F(Devices, ScannedIdentifierGoesIntoTheThirdPart) {
  CPODevice d(nullptr, device);
  hv::DeviceSheetRequest r;
  r.device = &d;
  hv::DeviceGeneralController c(r);
  const struct {
    const char* before;
    const char* id;
    const char* after;
  } cases[] = {{"a;b;c", "X", "a;b;X"}, {"a;b", "X", "a;b;X"}, {"a", "X", "a;;X"}, {"a;b", "", "a;b"}};
  for (const auto& k : cases) {
    d.SetParameter(k.before);
    c.SetScannedIdentifier(k.id);
    EXPECT_EQ(d.GetParameter(), k.after) << k.before;
  }
  r.isNew = true;
  d.SetParameter("");
  c.SetScannedIdentifier("X");
  EXPECT_EQ(d.GetParameter(), device->GetDeviceFolder() + ";;X");
}

}  // namespace
