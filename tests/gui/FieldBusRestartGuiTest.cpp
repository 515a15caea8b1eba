// Bus data points as a user meets them across sessions: a network, a field-bus device
// and three data points from the picker made in the window; then the program runs again
// as a second process on the same user folder, where the points are listed under
// distinct names, read online from a Modbus TCP server on 127.0.0.1, edited and deleted,
// and no self-defined warning comes up for them.
#include <gtest/gtest.h>
#include <unistd.h>
#include <wx/listctrl.h>

#include <cstdlib>
#include <set>
#include <thread>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "framework/CommandIds.h"
#include "model/DataPoint.h"
#include "model/DataPointPicker.h"
#include "model/DataPointRead.h"
#include "model/DataPointSheet.h"
#include "model/FieldBusRequests.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/NewObjectRequests.h"
#include "model/ProjectList.h"
#include "model/UserDefinedDP.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/ModbusTestServer.h"

using hvtest::ChildNamed;
using hvtest::S;
using namespace std::chrono_literals;

namespace {

BOOL Command(CProjectObject* object, UINT id) { return object->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }

class FieldBusRestartGui : public hvtest::ProjectWindowFixture {
 protected:
  void ChooseNew(TypeCode kind) {
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
  }
  // The rows of the list view: name and value column.
  std::vector<std::pair<wxString, wxString>> ListRows() {
    wxListCtrl* list = frame->GetListView()->Control();
    int valueColumn = -1;
    for (int c = 0; c < list->GetColumnCount(); ++c) {
      wxListItem heading;
      heading.SetMask(wxLIST_MASK_TEXT);
      if (list->GetColumn(c, heading) && heading.GetText() == S("Wert")) valueColumn = c;
    }
    EXPECT_GE(valueColumn, 0);
    std::vector<std::pair<wxString, wxString>> rows;
    for (long i = 0; i < list->GetItemCount(); ++i)
      rows.emplace_back(list->GetItemText(i, 0), valueColumn < 0 ? wxString() : list->GetItemText(i, valueColumn));
    return rows;
  }
};

const char* const kSessionPort = "HVTEST_MODBUS_PORT";

}  // namespace

TEST_F(FieldBusRestartGui, PointsFromThePickerLiveOnInTheNextSession) {
  hvtest::ModbusTestServer server({1}, hvtest::ModbusTestServer::Mode::Normal, 0, hvtest::ModbusTestServer::Absent::Silent);
  server.SetRegister(1, 4, 0x3000, 1234);
  server.SetRegister(1, 4, 0, 777);
  server.Set32(1, 4, 0x3008, 70000, hv::modbus::WordOrder::ABCD);
  server.Set32(1, 4, 0x3010, hv::modbus::BitsFromFloat(21.5f), hv::modbus::WordOrder::ABCD);

  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  // The network through the device's "Neu...".
  const wxString param = wxString::Format("host=127.0.0.1 port=%d timeout=300", server.Port());
  ui.Answer<hv::NetworkDialogRequest>([&](hv::NetworkDialogRequest& r) {
    hv::NetworkDialogController c(r);
    c.Init();
    for (size_t i = 0; i < r.drivers.size(); ++i)
      if (r.drivers[i].title == "MBTCP") c.SelectDriver(static_cast<int>(i));
    r.network->SetSlot("TCP_0");
    r.network->SetParameter(param);
    return c.Accept(S("Feldbus")) ? IDCANCEL : IDOK;
  });
  ChooseNew(TypeCode::Network);
  ASSERT_TRUE(SelectInTree(device));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  TreeChildren(device);
  CProjectObject* folder = ChildNamed(device, S("Datenpunkte"));
  ASSERT_TRUE(folder);
  TreeChildren(folder);
  auto* net = dynamic_cast<CPONetwork*>(ChildNamed(folder, S("Feldbus")));
  ASSERT_TRUE(net);
  // The field-bus device through the network's "Neu...".
  ui.Answer<hv::DeviceSheetRequest>([](hv::DeviceSheetRequest& r) {
    hv::DeviceGeneralController c(r);
    c.Init();
    for (size_t i = 0; i < r.drivers.size(); ++i)
      if (r.drivers[i].title == "CTRL_515") c.SelectDriver(static_cast<int>(i));
    r.device->SetNode("1");
    return c.Accept(S("Regler1")) ? IDCANCEL : IDOK;
  });
  ChooseNew(TypeCode::Device);
  ASSERT_TRUE(SelectInTree(net));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  auto* bus = dynamic_cast<CPODevice*>(ChildNamed(net, S("Regler1")));
  ASSERT_TRUE(bus);
  // Three data points from the picker's own list and the first holding register typed
  // by hand: the first finished alone, the others with "Alle fertigstellen".
  ui.Answer<DataPointPickRequest>([](DataPointPickRequest& r) {
    for (const PickedDataPoint& p : r.offered)
      if (p.address.StartsWith("8|")) r.chosen.push_back(p);
    PickedDataPoint typed;
    typed.address = "HR|0";
    typed.type = 0x10;
    typed.access = 0x3;
    r.chosen.push_back(typed);
    return static_cast<int>(r.chosen.size() == 4 ? IDOK : IDCANCEL);
  });
  int sheets = 0;
  ui.Answer<DataPointSheetRequest>([&](DataPointSheetRequest&) { return ++sheets == 1 ? kDpWizardFinish : kDpAcceptAll; });
  ChooseNew(TypeCode::DataPoint);
  ASSERT_TRUE(SelectInTree(bus));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_EQ(sheets, 2);
  Close();

  // The next session: this test's binary once more, as a process of its own.
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  setenv("HVTEST_SESSION_HOME", hv::ToUtf8(home.Path()).c_str(), 1);
  setenv(kSessionPort, std::to_string(server.Port()).c_str(), 1);
  hvtest::ProgramRunner later(self, hv::ToUtf8(home.Path()),
                              {"--gtest_filter=FieldBusRestartGui.DISABLED_NextSession", "--gtest_also_run_disabled_tests"});
  const int status = later.WaitExit(120s);
  unsetenv("HVTEST_SESSION_HOME");
  EXPECT_EQ(status, 0) << later.Output() << later.Errors();
  EXPECT_NE(later.Output().find("[  PASSED  ] 1 test"), std::string::npos) << later.Output();
}

// Run by the test above in a process of its own, on its user folder.
TEST_F(FieldBusRestartGui, DISABLED_NextSession) {
  ASSERT_TRUE(std::getenv(kSessionPort));
  std::vector<wxString> warned;
  ui.Answer<UserDefinedDPShow>([&](UserDefinedDPShow& s) {
    warned = s.names;
    return static_cast<int>(IDOK);
  });
  ui.Answer<UserDefinedDPClose>([](UserDefinedDPClose&) { return static_cast<int>(IDOK); });
  CProjectListSource source;
  ASSERT_TRUE(source.Open(doc));
  ASSERT_TRUE(source.LoadRoots(doc));
  Open();
  CProjectObject* anlagen = nullptr;
  for (size_t i = 0; i < doc.GetRootCount(); ++i)
    if (doc.GetRoot(i)->GetName() == S("Anlagen")) anlagen = doc.GetRoot(i);
  ASSERT_TRUE(anlagen);
  TreeChildren(anlagen);
  CProjectObject* project = ChildNamed(anlagen, S("Halle"));
  ASSERT_TRUE(project);
  TreeChildren(project);
  CProjectObject* panel = ChildNamed(project, S("Panel"));
  ASSERT_TRUE(panel);
  TreeChildren(panel);
  CProjectObject* folder = ChildNamed(panel, S("Datenpunkte"));
  ASSERT_TRUE(folder);
  TreeChildren(folder);
  CProjectObject* net = ChildNamed(folder, S("Feldbus"));
  ASSERT_TRUE(net);
  TreeChildren(net);
  auto* bus = dynamic_cast<CPODevice*>(ChildNamed(net, S("Regler1")));
  ASSERT_TRUE(bus);
  // Shown again and again: the self-defined points are defined, none is reported.
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(SelectInTree(net));
    hvtest::Pump(50ms);
    ASSERT_TRUE(SelectInTree(bus));
    hvtest::Pump(100ms);
    EXPECT_TRUE(warned.empty()) << i << ": " << warned.front();
  }

  // Listed with distinct names.
  auto rows = ListRows();
  ASSERT_EQ(rows.size(), 4u);
  std::set<wxString> names;
  for (const auto& r : rows) names.insert(r.first);
  EXPECT_EQ(names.size(), 4u);
  std::vector<CPODataPoint*> points;
  for (CProjectObject* c : bus->GetChildren())
    if (auto* dp = dynamic_cast<CPODataPoint*>(c)) points.push_back(dp);
  ASSERT_EQ(points.size(), 4u);

  // Read online: the served values in the value column.
  ui.Answer<DataPointReadWait>([](DataPointReadWait& w) {
    while (!*w.done) std::this_thread::sleep_for(1ms);
    return static_cast<int>(IDOK);
  });
  for (CPODataPoint* dp : points) ASSERT_TRUE(Command(dp, ID_DP_READ_VALUE));
  hvtest::Pump(50ms);
  std::vector<wxString> values;
  for (const auto& r : ListRows()) values.push_back(r.second);
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (std::vector<wxString>{"1234", "21.5", "70000", "777"}));

  // Edited.
  ui.Answer<DataPointSheetRequest>([](DataPointSheetRequest& s) {
    s.dp.description = "Kessel";
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(Command(points[0], ID_OBJECT_EDIT));
  {
    hv::db::Table t;
    ASSERT_TRUE(hv::db::datpkt_open(bus->DeviceFolder(), t));
    hv::db::DatpktRow row;
    ASSERT_TRUE(hv::db::datpkt_select(t, row, hv::db::kSeek, "ID", {points[0]->GetId()}));
    EXPECT_EQ(wxString(row.description).Trim(true), "Kessel");
  }
  // Deleted, one after another; then the device itself can go.
  for (CPODataPoint* dp : points) ASSERT_TRUE(Command(dp, ID_OBJECT_DELETE));
  hvtest::Pump(50ms);
  EXPECT_TRUE(ListRows().empty());
  EXPECT_TRUE(warned.empty()) << warned.front();
  EXPECT_TRUE(CUserDefinedDPList::Get().Names().empty());
}
