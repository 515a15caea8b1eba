// Data points made through the sheet read the values a Modbus TCP server on 127.0.0.1
// serves, through the program's online library and the built MBTCP driver.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "model/DataPointRead.h"
#include "platform/Online.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/ModbusMap.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/support/ModbusTestServer.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

namespace mm = hv::modbus;
using dptest::Picked;

struct OnlineDataPoints : dptest::DataPointFixture {
  hvtest::PluginInstall install{{"TESTDEV.so"}};
  hvtest::ModbusTestServer server{{3}};

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
    dp->OnColumnDblClick(5);
    EXPECT_EQ(dp->GetColumnText(5), c.expected) << c.name;
  }
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
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
  a->OnColumnDblClick(5);
  EXPECT_EQ(a->GetColumnText(5), "7");

  device->SetNode("5");
  a->SetSelectionState(TRUE, FALSE, TRUE);
  ui.ExpectMessage(11520);
  a->ReadValue();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(a->IsMultipleSelection());   // the remaining points are not read
  EXPECT_TRUE(a->GetColumnText(5).empty());
}

}  // namespace
