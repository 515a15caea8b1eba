#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/Db4.h"
#include "platform/Online.h"
#include "platform/online/ModbusMap.h"
#include "platform/online/ScanFile.h"
#include "tests/support/ModbusTestServer.h"
#include "tests/support/OnlineTestSupport.h"
#include "tests/support/WaitBound.h"

namespace {

using namespace std::chrono_literals;
namespace mm = hv::modbus;
using hvtest::ModbusTestServer;

wxString Param(int port, const char* extra = "") {
  return wxString::Format("host=127.0.0.1 port=%d timeout=300 %s", port, extra);
}

class Mbtcp : public ::testing::Test {
 protected:
  Mbtcp() : install({"TESTDEV.so"}) { EXPECT_TRUE(hv::Vostrel_Init()); }

  // Registers, activates and polls once the way a data point's value is read.
  bool Read(const wxString& slot, const char* node, const char* address, DWORD type, DWORD access, char* buf,
            size_t cap, std::chrono::milliseconds limit = 2000ms, const char* devParam = ";;") {
    const DWORD h =
        hv::Vostrel_RegisterDataPoint("MBTCP", slot, "TESTDEV", node, devParam, address, access, 0, 0, 0, 0, type, 0);
    if (!h) return false;
    EXPECT_TRUE(hv::Vostrel_ActivateDataPoint(h, TRUE));
    const auto r = hv::OnlineLibrary::Get().PollRead(h, buf, cap, limit);
    hv::Vostrel_ClearDataPoint(h);
    return r.value;
  }
  wxString Value(const wxString& slot, const char* node, const char* address, DWORD type, DWORD access = 0x00030003) {
    char buf[32] = {};
    if (!Read(slot, node, address, type, access, buf, sizeof buf)) return "<failed>";
    if (type == 0x100 || type >= 0x2000) return wxString::FromUTF8(buf);
    DWORD v;
    std::memcpy(&v, buf, 4);
    return hv::db4toa(v, type);
  }

  hvtest::PluginInstall install;
};

// Silent for absent units, as strict servers are: still one probe per unit.
TEST_F(Mbtcp, ScanFindsExactlyTheServedUnits) {
  ModbusTestServer server({1, 3, 5}, ModbusTestServer::Mode::Normal, 0, ModbusTestServer::Absent::Silent);
  server.SetIdentity(1, "KOLM_G320", "KOLM_G320", 152);
  server.SetIdentity(3, "CE_PANEL7", "CE_PANEL7/B", 200);
  server.SetIdentity(5, "CTRL_515", "CTRL_515", 105);
  hvtest::TempDir device;
  const wxString result = hv::ScanFilePath(device.Path(), 1);
  ASSERT_TRUE(hv::Vostrel_StartScan("MBTCP", "TCP_0", result, Param(server.Port(), "units=1-16")));
  char progress[100] = {};
  for (int i = 0; i < 500 && std::string(progress) != "End of Scan"; ++i) {
    std::this_thread::sleep_for(10ms);
    hv::Vostrel_ProgressScan(progress, sizeof progress);
  }
  ASSERT_STREQ(progress, "End of Scan");
  std::vector<hv::ScanEntry> entries;
  ASSERT_EQ(hv::ReadScanFile(result, entries), hv::ScanFileStatus::Ok);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].node, "1");
  EXPECT_EQ(entries[0].type, "KOLM_G320");
  EXPECT_EQ(entries[0].Firmware(), "1.52");
  EXPECT_EQ(entries[0].Ip(), "127.0.0.1");
  EXPECT_EQ(entries[1].node, "3");
  EXPECT_EQ(entries[1].DetailLine(0), "CE_PANEL7/B");
  EXPECT_EQ(entries[2].node, "5");
  EXPECT_EQ(entries[2].Firmware(), "1.05");
  EXPECT_EQ(server.Requests(), 16);  // one probe per unit
}

TEST_F(Mbtcp, ReadsNumbersBitsAndTextsInBothWordOrders) {
  ModbusTestServer server({1, 3}, ModbusTestServer::Mode::Normal, 0, ModbusTestServer::Absent::Silent);
  // Holding registers (read and write) and input registers (read only) of unit 3.
  server.SetRegister(3, 4, 0x3000, static_cast<std::uint16_t>(-1234));          // I2 / UI2
  server.Set32(3, 4, 0x3002, static_cast<std::uint32_t>(-70000), mm::WordOrder::ABCD);  // I4
  server.Set32(3, 4, 0x3004, 4000000000u, mm::WordOrder::ABCD);                // UI4
  server.Set32(3, 4, 0x3006, mm::BitsFromFloat(21.5f), mm::WordOrder::ABCD);   // R4 abcd
  server.Set32(3, 4, 0x3008, mm::BitsFromFloat(-0.125f), mm::WordOrder::CDAB); // R4 cdab
  server.SetRegister(3, 3, 0x3000, 0x00FE);                                    // I1: -2
  server.SetText(3, 4, 0x300A, "Pumpe 1");
  server.SetBit(3, 0, 0x3000 + 32 + 5, true);                                  // coil
  server.SetBit(3, 1, 69, true);                                               // DI 2.05
  server.Set32(3, 3, 256, mm::BitsFromFloat(3.75f), mm::WordOrder::ABCD);      // AI 0.00

  ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_0", Param(server.Port(), "wordorder=abcd")));
  ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_1", Param(server.Port(), "wordorder=cdab")));
  const struct {
    const char* slot;
    const char* address;
    DWORD type;
    DWORD access;
    const char* expected;
  } cases[] = {
      {"TCP_0", "8|M|W|81|0|0|1", hv::kDpWord, 0x00030003, "-1234"},
      {"TCP_0", "8|M|W|81|0|0|1", hv::kDpWordPos, 0x00030003, "64302"},
      {"TCP_0", "8|M|D|81|1|0|1", hv::kDpDword, 0x00030003, "-70000"},
      {"TCP_0", "8|M|D|81|2|0|1", hv::kDpDwordPos, 0x00030003, "4000000000"},
      {"TCP_0", "8|M|R|81|3|0|1", hv::kDpFloat, 0x00030003, "21.5"},
      {"TCP_1", "8|M|R|81|4|0|1", hv::kDpFloat, 0x00030003, "-0.125"},
      {"TCP_0", "8|M|B|81|0|0|1", hv::kDpByte, 0x00010001, "-2"},          // read only: input register
      {"TCP_0", "8|M|S|81|5|0|1", 0x2007, 0x00030003, "Pumpe 1"},
      {"TCP_0", "8|M|S|81|5|0|1", 0x2005, 0x00030003, "Pumpe"},
      {"TCP_0", "8|M|X|81|1|5|1", hv::kDpBit, 0x00030003, "1"},
      {"TCP_0", "8|M|X|81|1|6|1", hv::kDpBit, 0x00030003, "0"},
      {"TCP_0", "9|Digital Input|2.05", hv::kDpBit, 0x00010001, "1"},
      {"TCP_0", "9|Analog Input|0.00", hv::kDpFloat, 0x00010001, "3.75"},
  };
  for (const auto& c : cases) EXPECT_EQ(Value(c.slot, "3", c.address, c.type, c.access), c.expected) << c.address;

  // An absent unit stays silent: no value once the time-out has passed; the units that
  // answer are read again afterwards.
  char buf[8];
  EXPECT_FALSE(Read("TCP_0", "2", "8|M|W|81|0|0|1", hv::kDpWord, 0x00030003, buf, sizeof buf, 50ms));
  EXPECT_EQ(hv::Vostrel_GetLastError(), HV_ERR_TIMEOUT);
  EXPECT_EQ(Value("TCP_0", "3", "8|M|W|81|0|0|1", hv::kDpWord), "-1234");
  // The device's own address names its host; a port after it is its FTP server's.
  EXPECT_TRUE(Read("TCP_0", "3", "8|M|W|81|0|0|1", hv::kDpWord, 0x00030003, buf, sizeof buf, 2000ms,
                   "CE_TCP;x;127.0.0.1:2121"));
  // Addresses and nodes the driver cannot place are refused at registration.
  EXPECT_EQ(hv::Vostrel_RegisterDataPoint("MBTCP", "TCP_0", "TESTDEV", "300", "", "8|M|W|81|0|0|1", 3, 0, 0, 0, 0, 8, 0), 0u);
  EXPECT_EQ(hv::Vostrel_RegisterDataPoint("MBTCP", "TCP_0", "TESTDEV", "3", "", "7|x", 3, 0, 0, 0, 0, 8, 0), 0u);
  EXPECT_EQ(hv::Vostrel_RegisterDataPoint("MBTCP", "TCP_0", "TESTDEV", "3", "", "8|M|W|81|0|0|1", 3, 0, 0, 0, 0, 0x401, 0), 0u);
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
}

// A refused connection, a peer that never answers and one that answers too late each
// end a read within the time-out with an error. A scan names a refused connection; a
// peer that answers nothing in time is a bus where no device answered.
TEST_F(Mbtcp, DeadRefusingAndSlowPeersEndQuickly) {
  ModbusTestServer dead({1}, ModbusTestServer::Mode::Silent);
  ModbusTestServer slow({1}, ModbusTestServer::Mode::Normal, 700);
  const int refused = ModbusTestServer::RefusedPort();
  struct Peer {
    const char* name;
    int port;
    DWORD error;
  } peers[] = {{"refused", refused, HV_ERR_REFUSED}, {"dead", dead.Port(), HV_ERR_TIMEOUT}, {"slow", slow.Port(), HV_ERR_TIMEOUT}};
  hvtest::TempDir device;
  const wxString result = hv::ScanFilePath(device.Path(), 4);
  hvtest::WriteAll(result, "[9]\r\nOLD\r\n");
  for (const Peer& p : peers) {
    const wxString slot = wxString::Format("TCP_%s", p.name);
    ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", slot, Param(p.port))) << p.name;
    char buf[8];
    // The poll limit and one time-out.
    const ::testing::AssertionResult polled = hvtest::WaitEndsWithin(1000ms, [&] {
      return hvtest::Timed([&] {
        EXPECT_FALSE(Read(slot, "1", "8|M|W|81|0|0|1", hv::kDpWord, 0x00030003, buf, sizeof buf, 500ms)) << p.name;
      });
    });
    EXPECT_TRUE(polled) << p.name;

    // One time-out at most.
    const ::testing::AssertionResult readOnce = hvtest::WaitEndsWithin(800ms, [&] {
      const DWORD h = hv::Vostrel_RegisterDataPoint("MBTCP", slot, "TESTDEV", "1", "", "8|M|W|81|0|0|1", 0x00030003,
                                                    0, 0, 0, 0, hv::kDpWord, 0);
      EXPECT_NE(h, 0u);
      hv::Vostrel_ActivateDataPoint(h, TRUE);
      const auto took = hvtest::Timed([&] {
        EXPECT_FALSE(hv::Vostrel_ReadDataPoint(h, buf, sizeof buf)) << p.name;
        EXPECT_EQ(hv::Vostrel_GetLastError(), p.error) << p.name;
      });
      hv::Vostrel_ClearDataPoint(h);
      return took;
    });
    EXPECT_TRUE(readOnce) << p.name;
  }
  const ModbusTestServer::Mode modes[] = {ModbusTestServer::Mode::Silent, ModbusTestServer::Mode::Normal};
  ASSERT_TRUE(hv::Vostrel_StartScan("MBTCP", "TCP_refused", result, Param(refused, "units=1-247")));
  EXPECT_TRUE(hv::OnlineLibrary::Get().WaitScan(5s));
  EXPECT_EQ(hv::OnlineLibrary::Get().GetScanState(), hv::ScanState::Failed);
  EXPECT_EQ(hv::OnlineLibrary::Get().ScanError(), static_cast<DWORD>(HV_ERR_REFUSED));
  hv::Vostrel_EscapeScan();
  EXPECT_EQ(hvtest::ReadAll(result), "[9]\r\nOLD\r\n");
  for (const auto mode : modes) {
    ModbusTestServer peer({1}, mode, mode == ModbusTestServer::Mode::Normal ? 400 : 0);
    const ::testing::AssertionResult scanned = hvtest::WaitEndsWithin(2s, [&] {
      const auto took = hvtest::Timed([&] {
        EXPECT_TRUE(hv::Vostrel_StartScan("MBTCP", "TCP_peer", result, Param(peer.Port(), "units=1-3")));
        EXPECT_TRUE(hv::OnlineLibrary::Get().WaitScan(5s));
      });
      EXPECT_EQ(hv::OnlineLibrary::Get().GetScanState(), hv::ScanState::Done);
      hv::Vostrel_EscapeScan();
      EXPECT_EQ(hvtest::ReadAll(result), "");  // nobody answered in time
      return took;
    });
    EXPECT_TRUE(scanned);
  }
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
}

TEST_F(Mbtcp, ARunningScanIsEscapedWithinATimeout) {
  ModbusTestServer slow({1}, ModbusTestServer::Mode::Normal, 100);
  hvtest::TempDir device;
  const ::testing::AssertionResult escaped = hvtest::WaitEndsWithin(500ms, [&] {
    EXPECT_TRUE(hv::Vostrel_StartScan("MBTCP", "TCP_0", hv::ScanFilePath(device.Path(), 1), Param(slow.Port())));
    std::this_thread::sleep_for(150ms);
    return hvtest::Timed([] { hv::Vostrel_EscapeScan(); });
  });
  EXPECT_TRUE(escaped);
  EXPECT_FALSE(hvtest::ReadAll(hv::ScanFilePath(device.Path(), 1)).size());
}

}  // namespace

namespace {

// A read on a worker thread ends when the caller cancels, and keeps its own last error.
TEST_F(Mbtcp, WorkerThreadReadsHonourCancel) {
  ModbusTestServer dead({1}, ModbusTestServer::Mode::Silent);
  ModbusTestServer live({1});
  live.SetRegister(1, 4, 0x3000, 42);
  ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_dead", Param(dead.Port())));
  ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_live", Param(live.Port())));
  auto reg = [](const char* slot) {
    const DWORD h = hv::Vostrel_RegisterDataPoint("MBTCP", slot, "TESTDEV", "1", "", "8|M|W|81|0|0|1", 0x00030003, 0,
                                                  0, 0, 0, hv::kDpWordPos, 0);
    hv::Vostrel_ActivateDataPoint(h, TRUE);
    return h;
  };
  const DWORD deadPoint = reg("TCP_dead"), livePoint = reg("TCP_live");
  hv::PollResult workerResult;
  // One time-out, not the ten seconds.
  const ::testing::AssertionResult cancelled = hvtest::WaitEndsWithin(1s, [&] {
    return hvtest::Timed([&] {
      std::atomic<bool> cancel{false};
      std::thread worker([&] {
        char buf[8];
        workerResult = hv::OnlineLibrary::Get().PollRead(deadPoint, buf, sizeof buf, 10s, &cancel);
      });
      // Meanwhile this thread reads from the live server undisturbed.
      char buf[8];
      EXPECT_TRUE(hv::Vostrel_ReadDataPoint(livePoint, buf, sizeof buf));
      EXPECT_EQ(hv::Vostrel_GetLastError(), HV_ERR_NONE);
      cancel = true;
      worker.join();
    });
  });
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(workerResult.value);
  EXPECT_EQ(workerResult.lastError, HV_ERR_TIMEOUT);
  EXPECT_EQ(hv::Vostrel_GetLastError(), HV_ERR_NONE);
  hv::Vostrel_ClearDataPoint(deadPoint);
  hv::Vostrel_ClearDataPoint(livePoint);
}

}  // namespace
