// A field-bus device's data points as a later session meets them: loaded again from
// DATPKT, named uniquely when made, and checked against datpkt.set and the plug-in.
#include <gtest/gtest.h>

#include <thread>

#include "model/DataPoint.h"
#include "model/DataPointPicker.h"
#include "model/DataPointSheet.h"
#include "model/PrjDataPoint.h"
#include "model/PrjDevice.h"
#include "model/UserDefinedDP.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/model/FieldBusTestSupport.h"
#include "tests/support/ModbusTestServer.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

namespace db = hv::db;
using Points = fbtest::FieldBusFixture;

void AddRow(const wxString& folder, std::uint16_t device, const wxString& name, const wxString& address) {
  db::Table t;
  ASSERT_TRUE(db::db_open(hv::JoinPath(folder, "DATPKT"), t));
  db::DatpktRow p;
  p.name = name;
  p.device = device;
  p.address = address;
  p.type = 8;
  ASSERT_TRUE(db::datpkt_insert(t, p));
}

std::vector<wxString> Names(CProjectObject& parent) {
  std::vector<wxString> names;
  for (CProjectObject* c : parent.GetChildren())
    if (dynamic_cast<CPODataPoint*>(c)) names.push_back(c->GetName());
  return names;
}

// Three points from the plug-in's own list under "Regler1": another session finds them
// with their rows' values and distinct names, and warns about none of them.
TEST_F(Points, PickedPointsComeBackInALaterSessionUniquelyNamed) {
  CUserDefinedDPList::Get().Clear();
  CPONetwork* net = AddNetwork("Bus", "MBTCP", "host=127.0.0.1");
  ASSERT_NE(net, nullptr);
  CPODevice* d = AddDevice(*net, "Regler1", "1");
  ASSERT_NE(d, nullptr);
  const auto offered = dppicker::Offered("TESTDEV", "1", "");
  std::vector<PickedDataPoint> memory;
  for (const PickedDataPoint& p : offered)
    if (p.address.StartsWith("8|")) memory.push_back(p);
  ASSERT_EQ(memory.size(), 3u);
  ui.Answer<DataPointPickRequest>([&](DataPointPickRequest& r) {
    r.chosen = memory;
    return IDOK;
  });
  int sheets = 0;
  ui.Answer<DataPointSheetRequest>([&](DataPointSheetRequest&) { return ++sheets == 1 ? kDpWizardFinish : kDpAcceptAll; });
  CPODataPoint maker;
  ASSERT_TRUE(maker.CreateNew(d, device, nullptr));
  const std::vector<wxString> made = Names(*d);
  ASSERT_EQ(made.size(), 3u);
  EXPECT_NE(made[0], made[1]);
  EXPECT_NE(made[1], made[2]);
  EXPECT_NE(made[0], made[2]);

  // A later session: a device object of its own, loaded from the table alone.
  CPODevice later(net, device);
  later.CopyFrom(*d);
  ASSERT_TRUE(later.LoadChildren());
  EXPECT_EQ(Names(later), made);
  auto* first = dynamic_cast<CPODataPoint*>(later.GetChildren().at(0));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetAddress(), memory[0].address);
  EXPECT_NE(first->GetId(), 0u);
  EXPECT_EQ(first->GetDevice(), device);
  EXPECT_TRUE(CUserDefinedDPList::Get().Names().empty());  // defined in the shipped datpkt.set

  // Loading again keeps the same objects; a removed row drops its point.
  CProjectObject* kept = later.GetChildren().at(1);
  ui.ExpectMessage(10038);  // the device keeps its points: it cannot go yet
  later.SetMultipleSelection(FALSE);
  EXPECT_FALSE(later.Delete());
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_TRUE(first->Delete());
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(later.IsStale());
  ASSERT_TRUE(later.LoadChildren());
  EXPECT_EQ(Names(later), (std::vector<wxString>{made[1], made[2]}));
  EXPECT_EQ(later.GetChildren().at(0), kept);
}

// The plug-in's memory entries all make "Regler10_M": picked together, each sheet
// proposes a name its page check takes, free in the table and among the pick, also
// when an earlier sheet took a later entry's proposal.
TEST_F(Points, EntriesPickedTogetherAreProposedDistinctFreeNames) {
  CUserDefinedDPList::Get().Clear();
  CPONetwork* net = AddNetwork("Bus", "MBTCP", "host=127.0.0.1");
  ASSERT_NE(net, nullptr);
  CPODevice* d = AddDevice(*net, "Regler10", "1");
  ASSERT_NE(d, nullptr);
  AddRow(device->GetDeviceFolder(), d->GetNumber(), "regler10_m", "8|M|W|81|9|0|1");
  std::vector<PickedDataPoint> memory;
  for (const PickedDataPoint& p : dppicker::Offered("TESTDEV", "1", ""))
    if (p.address.StartsWith("8|")) memory.push_back(p);
  ASSERT_EQ(memory.size(), 3u);
  auto pick = [&](std::vector<PickedDataPoint> chosen) {
    ui.Answer<DataPointPickRequest>([chosen](DataPointPickRequest& r) {
      r.chosen = chosen;
      return IDOK;
    });
  };
  // Each sheet checks its general page on Finish, as the program's sheet does.
  std::vector<wxString> proposed;
  std::vector<UINT> refused;
  auto sheets = [&](std::function<void(DataPointSheetRequest&)> edit) {
    ui.Answer<DataPointSheetRequest>([&, edit](DataPointSheetRequest& s) {
      proposed.push_back(s.dp.name);
      if (edit) edit(s);
      const PageCheck c = dpsheet::LeaveGeneral(s, s.dp.name, s.dp.logicalId);
      if (!c.ok()) refused.push_back(c.text);
      return c.ok() ? kDpWizardFinish : static_cast<int>(IDCANCEL);
    });
  };
  pick(memory);
  sheets({});
  CPODataPoint maker;
  ASSERT_TRUE(maker.CreateNew(d, device, nullptr));
  EXPECT_TRUE(refused.empty());
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(proposed, (std::vector<wxString>{"Regler10_M_1", "Regler10_M_2", "Regler10_M_3"}));
  d->LoadChildren();
  EXPECT_EQ(Names(*d), (std::vector<wxString>{"regler10_m", "Regler10_M_1", "Regler10_M_2", "Regler10_M_3"}));

  // The first sheet names its point as the second entry's proposal: the second sheet
  // gets a name neither the table nor the third entry holds.
  proposed.clear();
  pick({memory[0], memory[1], memory[2]});
  sheets([&](DataPointSheetRequest& s) {
    if (proposed.size() == 1) s.dp.name = "Regler10_M_5";
  });
  ASSERT_TRUE(maker.CreateNew(d, device, nullptr));
  EXPECT_TRUE(refused.empty());
  EXPECT_EQ(proposed, (std::vector<wxString>{"Regler10_M_4", "Regler10_M_4", "Regler10_M_6"}));
  d->LoadChildren();
  EXPECT_EQ(Names(*d).size(), 7u);
}

// '7', '8', 'M' and '1' points against datpkt.set in the parameter's folder and the
// symbol file it names; a repaired definition clears the list at the next check.
TEST_F(Points, SelfDefinedPointsAreCheckedAgainstTheFileAndTheSymbols) {
  CUserDefinedDPList::Get().Clear();
  const wxString setFolder = home.Sub("defs"), symbols = home.Sub("defs/symbols.txt");
  ASSERT_TRUE(hv::MakeFolders(setFolder));
  hvtest::WriteAll(hv::JoinPath(setFolder, "datpkt.set"),
                   "[Selbstdefinierte Datenpunkte]\nA=x\n[Globale Selbstdefinierte Datenpunkte]\nB=y\nC=z\n");
  hvtest::WriteAll(symbols, "SYM\n");
  device->SetDeviceDriver("TESTDEV");
  CPONetwork* net = AddNetwork("Bus", "SIMNET", "");
  ASSERT_NE(net, nullptr);
  CPODevice* d = AddDevice(*net, "D1", "1");
  ASSERT_NE(d, nullptr);
  d->SetParameter(symbols + ";" + setFolder);
  const wxString folder = device->GetDeviceFolder();
  AddRow(folder, d->GetNumber(), "P7", "7|x");
  AddRow(folder, d->GetNumber(), "P7gone", "7|gone");
  AddRow(folder, d->GetNumber(), "P8", "8|y");
  AddRow(folder, d->GetNumber(), "PM", "M|z");
  AddRow(folder, d->GetNumber(), "PMgone", "M|q");
  AddRow(folder, d->GetNumber(), "P1", "1|SYM|a");
  AddRow(folder, d->GetNumber(), "P1gone", "1|NOPE|a");
  ASSERT_TRUE(d->LoadChildren());
  auto listed = CUserDefinedDPList::Get().Names();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<wxString>{"P1gone", "P7gone", "PMgone"}));
  EXPECT_TRUE(d->QueryDataPointInfo(symbols, "1|SYM|a") == FALSE);  // only while a check runs

  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  hvtest::WriteAll(hv::JoinPath(setFolder, "datpkt.set"),
                   "[Selbstdefinierte Datenpunkte]\nA=x\nG=gone\n[Globale Selbstdefinierte Datenpunkte]\nB=y\nC=z\nQ=q\n");
  hvtest::WriteAll(symbols, "SYM\nNOPE\n");
  EXPECT_FALSE(d->IsStale());
  EXPECT_TRUE(CUserDefinedDPList::Get().Names().empty());

  // Without the project device's plug-in a symbol point cannot be checked.
  device->SetDeviceDriver("NOSUCH");
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  hvtest::WriteAll(symbols, "SYM\nNOPE\nMORE\n");
  ui.ExpectMessage(10529);
  EXPECT_FALSE(d->CheckSelfDefinedDataPoints());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// Points from the plug-in's list are defined by the shipped datpkt.set: a later session
// checks them as often as the device is shown and lists none. The plug-in's offer alone
// defines nothing: where the device's own datpkt.set lacks an entry, its point is listed.
TEST_F(Points, OnlyDatpktSetDefinesSelfDefinedPoints) {
  CUserDefinedDPList::Get().Clear();
  CPONetwork* net = AddNetwork("Bus", "MBTCP", "host=127.0.0.1");
  ASSERT_NE(net, nullptr);
  CPODevice* d = AddDevice(*net, "SPS", "1", "CTRL_515");
  ASSERT_NE(d, nullptr);
  std::vector<PickedDataPoint> memory;
  for (const PickedDataPoint& p : dppicker::Offered("CTRL_515", "1", ""))
    if (p.address.StartsWith("8|")) memory.push_back(p);
  ASSERT_EQ(memory.size(), 3u);
  ui.Answer<DataPointPickRequest>([&](DataPointPickRequest& r) {
    r.chosen = memory;
    return IDOK;
  });
  ui.Answer<DataPointSheetRequest>([](DataPointSheetRequest&) { return kDpAcceptAll; });
  CPODataPoint maker;
  ASSERT_TRUE(maker.CreateNew(d, device, nullptr));

  // The next session: the network and its device read from the tables alone.
  CPONetwork later(net->GetParent(), device);
  later.CopyFrom(*net);
  ASSERT_TRUE(later.LoadChildren());
  ASSERT_EQ(later.GetChildCount(), 1u);
  auto* again = dynamic_cast<CPODevice*>(later.GetChildren().at(0));
  ASSERT_NE(again, nullptr);
  for (int i = 0; i < 3; ++i) {
    if (i == 0) ASSERT_TRUE(again->LoadChildren());
    else EXPECT_FALSE(again->IsStale());
    EXPECT_TRUE(CUserDefinedDPList::Get().Names().empty()) << CUserDefinedDPList::Get().Names().front();
  }

  // The device's own datpkt.set, without the memory word.
  const wxString setFolder = home.Sub("defs");
  ASSERT_TRUE(hv::MakeFolders(setFolder));
  hvtest::WriteAll(hv::JoinPath(setFolder, "datpkt.set"),
                   "[Globale Selbstdefinierte Datenpunkte]\nMD_4=M|D|81|4|0|1\nMR_8=M|R|81|8|0|1\n");
  again->SetParameter(";" + setFolder);
  EXPECT_FALSE(again->IsStale());
  ASSERT_EQ(CUserDefinedDPList::Get().Names().size(), 1u);
  const auto* word = dynamic_cast<CPODataPoint*>(again->GetChildren().at(0));
  ASSERT_NE(word, nullptr);
  EXPECT_EQ(word->GetAddress(), "8|M|W|81|0|0|1");
  EXPECT_EQ(CUserDefinedDPList::Get().Names().front(), word->GetName());
  CUserDefinedDPList::Get().Clear();
}

// Every '8' and 'M' entry a shipped device plug-in offers is defined in the global
// section of the datpkt.set shipped beside them.
TEST(ShippedDatpktSet, DefinesEveryMemoryPointTheShippedPluginsOffer) {
  std::vector<std::string> shipped;
  for (const wxString& name : hv::ListFolder(hvtest::BuiltPluginFolder("device")))
    if (name.EndsWith(".so")) shipped.push_back(hv::ToUtf8(name));
  ASSERT_GE(shipped.size(), 5u);
  hvtest::PluginInstall install(shipped);
  const auto defined = ReadDatpktSection(install.Sub("device/datpkt.set"), "Globale Selbstdefinierte Datenpunkte");
  int checked = 0;
  for (const std::string& file : shipped) {
    const wxString title = wxString::FromUTF8(file).BeforeLast('.');
    for (const PickedDataPoint& p : dppicker::Offered(title, "1", "")) {
      if (p.address[0] != '8' && p.address[0] != 'M') continue;
      ++checked;
      EXPECT_TRUE(std::any_of(defined.begin(), defined.end(), [&](const auto& kv) { return kv.second == p.address.Mid(2); }))
          << title << ": " << p.address;
    }
  }
  EXPECT_GE(checked, static_cast<int>(shipped.size()));
}

// Direct points made from the plug-in's own list are not self-defined ones; a '8'
// point the plug-in does not offer and datpkt.set does not define is listed.
TEST_F(Points, TheFolderTakesThePluginsOwnAddressesAsDefined) {
  CUserDefinedDPList::Get().Clear();
  device->SetDeviceDriver("TESTDEV");
  const auto own = static_cast<std::uint16_t>(device->GetDeviceNumber());
  AddRow(device->GetDeviceFolder(), own, "Offered", "8|M|W|81|0|0|1");
  AddRow(device->GetDeviceFolder(), own, "Own", "8|M|W|99|0|0|1");
  CPOPrjDataPoint folder(nullptr, device);
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_EQ(CUserDefinedDPList::Get().Names(), std::vector<wxString>{"Own"});
}

// Bus points read online through their network's driver: from the menu (only when
// readable and of a number or text type) and by a double click on the value column.
TEST_F(Points, BusPointsReadTheServedValues) {
  hvtest::ModbusTestServer server({1}, hvtest::ModbusTestServer::Mode::Normal, 0, hvtest::ModbusTestServer::Absent::Silent);
  server.SetRegister(1, 4, 0x3000, 1234);
  server.Set32(1, 4, 0x3008, 70000, hv::modbus::WordOrder::ABCD);
  server.Set32(1, 4, 0x3010, hv::modbus::BitsFromFloat(21.5f), hv::modbus::WordOrder::ABCD);
  CPONetwork* net = AddNetwork("Bus", "MBTCP", wxString::Format("host=127.0.0.1 port=%d timeout=300", server.Port()));
  ASSERT_NE(net, nullptr);
  CPODevice* d = AddDevice(*net, "Regler1", "1");
  ASSERT_NE(d, nullptr);
  std::vector<PickedDataPoint> memory;
  for (const PickedDataPoint& p : dppicker::Offered("TESTDEV", "1", ""))
    if (p.address.StartsWith("8|")) memory.push_back(p);
  ui.Answer<DataPointPickRequest>([&](DataPointPickRequest& r) {
    r.chosen = memory;
    return IDOK;
  });
  ui.Answer<DataPointSheetRequest>([&](DataPointSheetRequest&) { return kDpAcceptAll; });
  CPODataPoint maker;
  ASSERT_TRUE(maker.CreateNew(d, device, nullptr));
  dptest::AnswerReadWaits(ui);
  std::vector<wxString> values;
  for (CProjectObject* c : d->GetChildren()) {
    auto* dp = static_cast<CPODataPoint*>(c);
    CRecordingCmdUI cmd(ID_DP_READ_VALUE);
    EXPECT_TRUE(dp->OnCmdMsg(ID_DP_READ_VALUE, CN_UPDATE_COMMAND_UI, &cmd, nullptr));
    EXPECT_TRUE(cmd.enabled);
    dp->OnColumnDblClick(5);
    values.push_back(dp->GetColumnText(5));
  }
  EXPECT_EQ(values, (std::vector<wxString>{"1234", "70000", "21.5"}));
}

}  // namespace
