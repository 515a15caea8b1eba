// Data points made through the sheet read the values a Modbus TCP server on 127.0.0.1
// serves, through the program's online library and the built MBTCP driver.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/CommandRouting.h"
#include "model/DataPointRead.h"
#include "model/Network.h"
#include "model/DataPointSheet.h"
#include "platform/Codec.h"
#include "platform/Online.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/ModbusMap.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/support/ModbusTestServer.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

namespace mm = hv::modbus;
using dptest::Picked;

// A double click on the value column reads the point anew; what the column shows then.
wxString ReadNewValue(CPODirectDataPoint& dp) {
  dp.OnColumnDblClick(5);
  return dp.GetColumnText(5);
}

struct OnlineDataPoints : dptest::DataPointFixture {
  hvtest::PluginInstall install{{"TESTDEV.so"}};
  // As strict as real devices: silent for units it does not serve.
  hvtest::ModbusTestServer server{{3}, hvtest::ModbusTestServer::Mode::Normal, 0, hvtest::ModbusTestServer::Absent::Silent};

  OnlineDataPoints() {
    EXPECT_TRUE(hv::Vostrel_Init());
    dptest::AnswerReadWaits(ui);
    if (!device) return;
    device->SetDeviceDriver("TESTDEV");
    device->SetNode("3");
    // The device's own address field stays empty: reads go to the network's host.
    device->SetDeviceParameters(";;");
    Connect("TCP_0", "abcd");
  }
  void Connect(const char* slot, const char* order) {
    device->SetNetwork("MBTCP");
    device->SetSlot(slot);
    device->SetNetworkPara(wxString::Format("host=127.0.0.1 port=%d timeout=300 wordorder=%s", server.Port(), order));
  }
  CPODirectDataPoint* MakeOne(const wxString& name, const wxString& address, DWORD type, DWORD textLength = 0) {
    PickedDataPoint p = Picked(address, type, 0x3);
    p.value32 = textLength;
    EXPECT_TRUE(Make({p}, kDpWizardFinish, [name](DataPointSheetRequest& s) { s.dp.name = name; }));
    return Find(name);
  }
};

TEST_F(OnlineDataPoints, EveryTypeReadsTheServedValueIntoTheValueColumn) {
  ASSERT_TRUE(folder);
  server.SetRegister(3, 4, 0x3000, static_cast<std::uint16_t>(-1234));
  server.Set32(3, 4, 0x3002, static_cast<std::uint32_t>(-70000), mm::WordOrder::ABCD);
  server.Set32(3, 4, 0x3004, 4000000000u, mm::WordOrder::ABCD);
  server.Set32(3, 4, 0x3006, mm::BitsFromFloat(21.5f), mm::WordOrder::ABCD);
  server.Set32(3, 4, 0x3008, mm::BitsFromFloat(-0.125f), mm::WordOrder::CDAB);
  server.SetText(3, 4, 0x300A, "Pumpe 1");
  server.SetBit(3, 0, 0x3000 + 32 + 5, true);
  const struct {
    const char* name;
    const char* address;
    DWORD type;
    const char* order;
    const char* expected;
  } cases[] = {
      {"I2", "8|M|W|81|0|0|1", 8, "abcd", "-1234"},
      {"UI2", "8|M|W|81|0|0|1", 0x10, "abcd", "64302"},
      {"I4", "8|M|D|81|1|0|1", 0x20, "abcd", "-70000"},
      {"UI4", "8|M|D|81|2|0|1", 0x40, "abcd", "4000000000"},
      {"R4abcd", "8|M|R|81|3|0|1", 0x80, "abcd", "21.5"},
      {"R4cdab", "8|M|R|81|4|0|1", 0x80, "cdab", "-0.125"},
      {"Text", "8|M|S|81|5|0|1", 0x2007, "abcd", "Pumpe 1"},
      {"Text5", "8|M|S|81|5|0|1", 0x2005, "abcd", "Pumpe"},
      {"Bit", "8|M|X|81|1|5|1", 4, "abcd", "1"},
      {"Bit0", "8|M|X|81|1|6|1", 4, "abcd", "0"},
  };
  for (const auto& c : cases) {
    Connect(c.order[0] == 'a' ? "TCP_0" : "TCP_1", c.order);
    CPODirectDataPoint* dp = MakeOne(c.name, c.address, c.type);
    ASSERT_TRUE(dp) << c.name;
    EXPECT_EQ(ReadNewValue(*dp), c.expected) << c.name;
  }
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
}

// The driver's own addresses on a device of 100 registers: every data type reads the
// registers it needs (word order from the address or the network) and shows the served
// value exactly; a point past the map fails with the read message, at once.
TEST_F(OnlineDataPoints, TableAddressesReadEveryTypeExactly) {
  ASSERT_TRUE(folder);
  server.LimitMap(100);
  server.SetRegister(3, 4, 0, 777);
  server.SetRegister(3, 4, 1, 888);
  server.SetBit(3, 0, 0, true);
  server.SetBit(3, 1, 5, true);
  server.SetRegister(3, 4, 2, 0x00FB);  // -5 in its low byte
  server.SetRegister(3, 4, 3, 200);
  server.SetRegister(3, 3, 3, static_cast<std::uint16_t>(-123));
  server.SetRegister(3, 3, 4, 65000);
  server.Set32(3, 4, 10, static_cast<std::uint32_t>(-70000), mm::WordOrder::ABCD);
  server.Set32(3, 4, 12, 4000000000u, mm::WordOrder::CDAB);
  server.Set32(3, 3, 20, mm::BitsFromFloat(21.5f), mm::WordOrder::BADC);
  server.Set32(3, 4, 22, mm::BitsFromFloat(-0.125f), mm::WordOrder::ABCD);
  server.Set32(3, 4, 30, 45296, mm::WordOrder::ABCD);
  server.Set32(3, 4, 32, 45648, mm::WordOrder::ABCD);
  server.SetText(3, 4, 40, "Pumpe 1");
  server.SetRegister(3, 4, 99, 4321);
  const struct {
    const char* name;
    const char* address;
    DWORD type, textLength;
    const char* expected;
  } cases[] = {
      {"HR0", "HR|0", 8, 0, "777"},
      {"HR1", "hr|1|UI2", 0x10, 0, "888"},
      {"CO0", "CO|0", 4, 0, "1"},
      {"DI5", "DI|5|BOOL", 4, 0, "1"},
      {"Byte", "HR|2|I1", 1, 0, "-5"},
      {"BytePos", "HR|3", 2, 0, "200"},
      {"WordIn", "IR|3|I2", 8, 0, "-123"},
      {"WordPosIn", "IR|4", 0x10, 0, "65000"},
      {"Dword", "HR|10|I4", 0x20, 0, "-70000"},
      {"DwordPos", "HR|12|UI4|CDAB", 0x40, 0, "4000000000"},
      {"FloatIn", "IR|20|R4|BADC", 0x80, 0, "21.5"},
      {"Float", "HR|22", 0x80, 0, "-0.125"},
      {"Time", "HR|30|TIME", 0x200, 0, "12:34:56"},
      {"Date", "HR|32|DATE", 0x400, 0, "24.12.2024"},
      {"Text", "HR|40|TEXT", 0x2007, 0, "Pumpe 1"},
      {"Text5", "HR|40", 0x100, 5, "Pumpe"},
      {"Last", "HR|99", 8, 0, "4321"},
  };
  for (const auto& c : cases) {
    CPODirectDataPoint* dp = MakeOne(c.name, c.address, c.type, c.textLength);
    ASSERT_TRUE(dp) << c.name;
    EXPECT_EQ(ReadNewValue(*dp), c.expected) << c.name;
  }
  EXPECT_TRUE(ui.MessageIds().empty());

  // Past the 100 registers: the device's exception ends the read at once.
  for (const char* address : {"HR|100", "HR|99|I4"}) {
    CPODirectDataPoint* dp = MakeOne(address, address, address[6] ? 0x20 : 8);
    ASSERT_TRUE(dp) << address;
    ui.ExpectMessage(11517);
    const auto start = std::chrono::steady_clock::now();
    dp->OnColumnDblClick(5);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << address;
    EXPECT_TRUE(ui.AllExpectationsMet()) << address;
    EXPECT_TRUE(dp->GetColumnText(5).empty()) << address;
  }
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
}

// "Neuen Wert lesen" over a folder's rows: a network among the data points passes the
// request on, so every point is read; alone it offers nothing to read.
TEST_F(OnlineDataPoints, ASelectionReadsEveryPointPastItsNetworkRow) {
  ASSERT_TRUE(folder);
  server.SetRegister(3, 4, 0, 11);
  server.SetRegister(3, 4, 1, 22);
  CPODirectDataPoint* a = MakeOne("A", "HR|0", 8);
  CPODirectDataPoint* b = MakeOne("B", "HR|1", 8);
  ASSERT_TRUE(a && b);
  CPONetwork net(folder, device);
  const std::vector<ObjectRef> selection{a, &net, b};
  CRecordingCmdUI update(ID_DP_READ_VALUE);
  EXPECT_TRUE(RouteToSelection(selection, ID_DP_READ_VALUE, CN_UPDATE_COMMAND_UI, &update, nullptr));
  EXPECT_TRUE(update.enabled);
  EXPECT_TRUE(RouteToSelection(selection, ID_DP_READ_VALUE, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(a->GetColumnText(5), "11");
  EXPECT_EQ(b->GetColumnText(5), "22");
  const std::vector<ObjectRef> alone{&net};
  CRecordingCmdUI single(ID_DP_READ_VALUE);
  RouteToSelection(alone, ID_DP_READ_VALUE, CN_UPDATE_COMMAND_UI, &single, nullptr);
  EXPECT_FALSE(single.enabled);
  EXPECT_TRUE(ui.MessageIds().empty());
}

// Entries picked together that the network cannot read are named in one message; the
// others become data points.
TEST_F(OnlineDataPoints, RefusedEntriesPickedTogetherMakeOneMessage) {
  ASSERT_TRUE(folder);
  ui.ExpectMessage(13954);
  Make({Picked("HR|x", 8), Picked("XR|0", 8), Picked("HR|5", 8)}, kDpWizardFinish,
       [](DataPointSheetRequest& s) { s.dp.name = "Gut"; });
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  const wxString text = ui.MessageTexts()[0];
  EXPECT_TRUE(text.Contains("HR|x: ") && text.Contains("XR|0: ")) << hv::ToUtf8(text);
  ASSERT_EQ(Points().size(), 1u);
  EXPECT_EQ(Points()[0]->GetName(), "Gut");
}

// Several rows read at once: a point that fails is named and the others are still read
// (the message does not claim they stop); a cancelled wait is no failure and ends the
// selection's reads.
TEST_F(OnlineDataPoints, ASelectionNamesAFailedPointAndACancelEndsIt) {
  ASSERT_TRUE(folder);
  server.LimitMap(100);
  server.SetRegister(3, 4, 0, 11);
  server.SetRegister(3, 4, 1, 22);
  CPODirectDataPoint* a = MakeOne("A", "HR|0", 8);
  CPODirectDataPoint* b = MakeOne("B", "HR|100", 8);   // past the device's registers
  CPODirectDataPoint* c = MakeOne("C", "HR|1", 8);
  ASSERT_TRUE(a && b && c);
  ui.ExpectMessage(13953);
  EXPECT_TRUE(RouteToSelection(std::vector<ObjectRef>{a, b, c}, ID_DP_READ_VALUE, CN_COMMAND, nullptr, nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  EXPECT_TRUE(ui.MessageTexts()[0].Contains("'B'")) << hv::ToUtf8(ui.MessageTexts()[0]);
  EXPECT_EQ(a->GetColumnText(5), "11");
  EXPECT_EQ(c->GetColumnText(5), "22");

  // The device goes silent; the user cancels the first wait.
  device->SetNode("9");
  ui.Answer<DataPointReadWait>([](DataPointReadWait& w) {
    *w.cancel = true;
    while (!*w.done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return IDOK;
  });
  const std::size_t before = ui.MessageIds().size();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(RouteToSelection(std::vector<ObjectRef>{a, c}, ID_DP_READ_VALUE, CN_COMMAND, nullptr, nullptr));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));   // not a time-out per point
  EXPECT_EQ(ui.MessageIds().size(), before);
  EXPECT_TRUE(a->GetColumnText(5).empty());
  EXPECT_EQ(c->GetColumnText(5), "22");   // not read again
}

// The last input register of a device that serves the whole table.
TEST_F(OnlineDataPoints, TheLastInputRegisterIsRead) {
  ASSERT_TRUE(folder);
  server.SetRegister(3, 3, 65535, 4711);
  CPODirectDataPoint* dp = MakeOne("Last", "IR|65535", 0x10);
  ASSERT_TRUE(dp);
  EXPECT_EQ(ReadNewValue(*dp), "4711");
}

// What the network cannot read as the chosen type is refused when the point is made,
// each with its reason: a malformed address, a type the address contradicts, an
// analog signal as a word. One stored so earlier fails to register instead of showing
// a wrong value.
TEST_F(OnlineDataPoints, AddressesTheNetworkCannotReadAreRefusedAtEntry) {
  ASSERT_TRUE(folder);
  server.SetRegister(3, 4, 256, 777);
  server.SetRegister(3, 4, 257, 888);
  const struct {
    const char* address;
    DWORD type;
    UINT complaint;
    const char* names;  // part of the complaint's text
  } cases[] = {
      {"HR|x", 8, 11649, "'x'"},
      {"XR|0", 8, 11648, "'XR'"},
      {"HR|0|I9", 8, 11650, "'I9'"},
      {"HR|0|R4", 8, 11651, "'R4'"},
      {"CO|0", 8, 11652, "Bit"},
      {"HR|0", 4, 11653, "(CO)"},
      {"HR|0|I4|ABDC", 0x20, 11654, "'ABDC'"},
      {"HR|65535|R4", 0x80, 11656, "65535"},
      {"9|Analog Output|0.00", 8, 11659, "'Wort'"},
  };
  for (const auto& c : cases) {
    ui.ExpectMessage(c.complaint);
    EXPECT_FALSE(Make({Picked(c.address, c.type, 0x3)})) << c.address;
    EXPECT_TRUE(ui.AllExpectationsMet()) << c.address;
    ASSERT_FALSE(ui.MessageTexts().empty());
    EXPECT_NE(ui.MessageTexts().back().Find(c.names), wxNOT_FOUND) << ui.MessageTexts().back();
  }
  EXPECT_TRUE(Points().empty());

  // The same analog output stored as a word by an earlier version.
  {
    hv::db::Table t;
    ASSERT_TRUE(hv::db::datpkt_open(Folder(), t));
    hv::db::DatpktRow row;
    row.name = "AO";
    row.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
    row.address = "9|Analog Output|0.00";
    row.type = 8;
    row.access = row.pickerAccess = 3;
    ASSERT_TRUE(hv::db::datpkt_insert(t, row));
  }
  ASSERT_TRUE(folder->LoadChildren());
  CPODirectDataPoint* ao = Find("AO");
  ASSERT_TRUE(ao);
  ui.ExpectMessage(11515);
  ao->OnColumnDblClick(5);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ao->GetColumnText(5).empty());
  // Its settings are not confirmed until an address the network reads is picked; other
  // networks keep their own rules.
  DataPointSheetRequest sheet;
  sheet.netDriver = "MBTCP";
  sheet.dp = ao->Fields();
  sheet.dp.name = "AO";
  ui.ExpectMessage(11659);
  EXPECT_EQ(dpsheet::LeaveGeneral(sheet, "AO", 0).text, 11659u);
  EXPECT_TRUE(ui.AllExpectationsMet());
  sheet.netDriver = "SIMNET";
  EXPECT_TRUE(dpsheet::LeaveGeneral(sheet, "AO", 0).ok());
  // As a float it reads the two registers it names.
  server.Set32(3, 4, 256, mm::BitsFromFloat(12.25f), mm::WordOrder::ABCD);
  CPODirectDataPoint* f = MakeOne("AOf", "9|Analog Output|0.00", 0x80);
  ASSERT_TRUE(f);
  EXPECT_EQ(ReadNewValue(*f), "12.25");
}

// A text longer than 125 registers is refused when the point is made; one stored so by
// an older version fails at registration instead of reading past the buffer.
TEST_F(OnlineDataPoints, TextsPastTheReadBufferAreRefused) {
  ASSERT_TRUE(folder);
  server.SetText(3, 4, 0x300A, "Pumpe 1");
  ui.ExpectMessage(11538);
  EXPECT_FALSE(Make({Picked("8|M|S|81|5|0|1", 0x2000 + kDirectReadBuffer, 0x3)}));
  ui.ExpectMessage(11657);
  EXPECT_FALSE(Make({Picked("HR|0|TEXT", 0x2000 + 251, 0x3)}));
  EXPECT_TRUE(ui.AllExpectationsMet());
  {
    hv::db::Table t;
    ASSERT_TRUE(hv::db::datpkt_open(Folder(), t));
    hv::db::DatpktRow row;
    row.name = "Big";
    row.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
    row.address = "8|M|S|81|5|0|1";
    row.type = 0x2000 + kDirectReadBuffer;
    row.access = row.pickerAccess = 3;
    ASSERT_TRUE(hv::db::datpkt_insert(t, row));
  }
  ASSERT_TRUE(folder->LoadChildren());
  CPODirectDataPoint* big = Find("Big");
  ASSERT_TRUE(big);
  ui.ExpectMessage(11515);
  big->OnColumnDblClick(5);
  EXPECT_TRUE(big->GetColumnText(5).empty());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// A text address names its length: typed so it reads exactly its characters from a
// server that serves no register past them; typed without one it is refused with the
// form to add. Stored texts keep reading with their own length; one with none says on
// reading what to add, as the sheet's check does.
TEST_F(OnlineDataPoints, TextAddressesReadTheLengthTheyName) {
  ASSERT_TRUE(folder);
  server.LimitMap(46);
  server.SetText(3, 4, 40, "Kesselpumpe1");
  CPODirectDataPoint* typed = MakeOne("Typed", "HR|40|TEXT|12", 0x100);
  ASSERT_TRUE(typed);
  EXPECT_EQ(ReadNewValue(*typed), "Kesselpumpe1");
  EXPECT_TRUE(ui.MessageIds().empty());

  ui.ExpectMessage(11638);
  EXPECT_FALSE(Make({dppicker::TypedEntry("MBTCP", "HR|40|TEXT", 0x100)}));
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_FALSE(ui.MessageTexts().empty());
  EXPECT_TRUE(ui.MessageTexts().back().Contains("HR|40|TEXT|12")) << hv::ToUtf8(ui.MessageTexts().back());

  {
    hv::db::Table t;
    ASSERT_TRUE(hv::db::datpkt_open(Folder(), t));
    for (DWORD length : {12u, 0u}) {
      hv::db::DatpktRow row;
      row.name = length ? "Stored" : "NoLength";
      row.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
      row.address = "HR|40|TEXT";
      row.type = 0x100;
      row.value32 = length;
      row.access = row.pickerAccess = 3;
      ASSERT_TRUE(hv::db::datpkt_insert(t, row));
    }
  }
  ASSERT_TRUE(folder->LoadChildren());
  CPODirectDataPoint* stored = Find("Stored");
  CPODirectDataPoint* none = Find("NoLength");
  ASSERT_TRUE(stored && none);
  EXPECT_EQ(ReadNewValue(*stored), "Kesselpumpe1");
  ui.ExpectMessage(11515);
  EXPECT_TRUE(ReadNewValue(*none).empty());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains("HR|40|TEXT|12")) << hv::ToUtf8(ui.MessageTexts().back());
  ui.Answer<DataPointSheetRequest>([](DataPointSheetRequest& s) {
    return dpsheet::LeaveGeneral(s, s.dp.name, s.dp.logicalId).ok() ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  ui.ExpectMessage(11638);
  EXPECT_FALSE(none->Edit());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
}

TEST_F(OnlineDataPoints, AStoppedServerEndsWithTheReadError) {
  ASSERT_TRUE(folder);
  auto stopped = std::make_unique<hvtest::ModbusTestServer>(std::vector<int>{3});
  device->SetSlot("TCP_9");
  device->SetNetworkPara(wxString::Format("host=127.0.0.1 port=%d timeout=300", stopped->Port()));
  CPODirectDataPoint* dp = MakeOne("W", "8|M|W|81|0|0|1", 8);
  ASSERT_TRUE(dp);
  stopped.reset();
  ui.ExpectMessage(11517);
  const auto start = std::chrono::steady_clock::now();
  dp->OnColumnDblClick(5);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(dp->GetColumnText(5).empty());
}

}  // namespace

namespace {

// The simulated network: a device whose reads end with error 42 (a value all the same)
// and one that is gone (error 24).
struct SimulatedDataPoints : dptest::DataPointFixture {
  hvtest::PluginInstall install{{"TESTDEV.so"}};

  SimulatedDataPoints() {
    const wxString file = install.Sub("sim.ini");
    hvtest::WriteAll(file,
                     "[Device 3]\nType=TESTDEV\nError=42\n[Values 3]\n8|M|W|81|0|0|1=7\n"
                     "[Device 5]\nType=TESTDEV\nError=24\nDelayMs=0\n[Values 5]\n8|M|W|81|0|0|1=9\n");
    EXPECT_TRUE(hv::Vostrel_Init());
    dptest::AnswerReadWaits(ui);
    if (!device) return;
    device->SetDeviceDriver("TESTDEV");
    device->SetDeviceParameters(";;");
    device->SetNetwork("SIMNET");
    device->SetSlot("SIM_0");
    device->SetNetworkPara("file=" + file);
  }
};

TEST_F(SimulatedDataPoints, ErrorFortyTwoIsAValueAndErrorTwentyFourStopsASelection) {
  ASSERT_TRUE(folder);
  device->SetNode("3");
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8)}, kDpWizardFinish, [](DataPointSheetRequest& s) { s.dp.name = "A"; }));
  CPODirectDataPoint* a = Find("A");
  ASSERT_TRUE(a);
  EXPECT_EQ(ReadNewValue(*a), "7");

  device->SetNode("5");
  a->SetSelectionState(TRUE, FALSE, TRUE);
  ui.ExpectMessage(11520);
  a->ReadValue();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(a->IsMultipleSelection());   // the remaining points are not read
  EXPECT_TRUE(a->GetColumnText(5).empty());
}

}  // namespace
