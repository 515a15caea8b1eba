// The Modbus TCP driver against servers as strict as real ones: silent for unit ids
// they do not serve, dropping frames that arrive while they wait on such a unit,
// answering with exceptions, or gone.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "platform/Db4.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/online/ScanFile.h"
#include "tests/support/ModbusTestServer.h"
#include "tests/support/OnlineTestSupport.h"
#include "tests/support/WaitBound.h"

namespace {

using namespace std::chrono_literals;
using hvtest::ModbusTestServer;
using Absent = ModbusTestServer::Absent;

wxString Param(int port, const char* extra = "") {
  return wxString::Format("host=127.0.0.1 port=%d timeout=100 %s", port, extra);
}

class MbtcpStrict : public ::testing::Test {
 protected:
  MbtcpStrict() : install({"TESTDEV.so"}) { EXPECT_TRUE(hv::Vostrel_Init()); }
  ~MbtcpStrict() override { hv::Vostrel_EscapeScan(); }

  // Scans and returns the entries written, or nothing with the scan's error.
  std::vector<hv::ScanEntry> Scan(int port, const char* units, DWORD* error = nullptr, int timeoutMs = 100) {
    const wxString result = hv::ScanFilePath(dir.Path(), 1);
    const wxString param = wxString::Format("host=127.0.0.1 port=%d timeout=%d %s", port, timeoutMs, units);
    EXPECT_TRUE(hv::Vostrel_StartScan("MBTCP", "TCP_0", result, param));
    EXPECT_TRUE(hv::OnlineLibrary::Get().WaitScan(20s));
    if (error) *error = hv::OnlineLibrary::Get().GetScanState() == hv::ScanState::Failed ? hv::OnlineLibrary::Get().ScanError() : 0;
    hv::Vostrel_EscapeScan();
    std::vector<hv::ScanEntry> entries;
    hv::ReadScanFile(result, entries);
    return entries;
  }

  hvtest::PluginInstall install;
  hvtest::TempDir dir;
};

std::vector<wxString> Nodes(const std::vector<hv::ScanEntry>& entries) {
  std::vector<wxString> nodes;
  for (const auto& e : entries) nodes.push_back(e.node);
  return nodes;
}

// Units 1, 7 and 200 on a server that is silent for the others and drops what arrives
// behind a silent frame: all three are found, the one without identity as unknown.
TEST_F(MbtcpStrict, ScanFindsEveryUnitOfASilentServer) {
  ModbusTestServer server({1, 7, 200}, ModbusTestServer::Mode::Normal, 0, Absent::SilentDropQueued, 30);
  server.SetIdentity(1, "TESTDEV", "TESTDEV", 152);
  server.SetIdentity(200, "CTRL_515", "CTRL_515/B", 203);
  const auto start = std::chrono::steady_clock::now();
  DWORD error = 0;
  const auto entries = Scan(server.Port(), "units=1-247", &error);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(error, 0u);
  ASSERT_EQ(Nodes(entries), (std::vector<wxString>{"1", "7", "200"}));
  EXPECT_EQ(entries[0].type, "TESTDEV");
  EXPECT_TRUE(entries[1].IsUnknown());
  EXPECT_EQ(entries[1].Ip(), "127.0.0.1");
  EXPECT_EQ(entries[2].type, "CTRL_515");
  EXPECT_EQ(entries[2].Firmware(), "2.03");
  EXPECT_EQ(server.Pipelined(), 0);  // one probe in flight per connection, none queued
  EXPECT_GT(server.MostConnections(), 1);
  EXPECT_LE(server.MostConnections(), 8);
  EXPECT_LT(took, 8s);  // 244 silent units, not one after another (24 s)

  // A server holding only 57 and 200 is no dead peer.
  ModbusTestServer sparse({57, 200}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  EXPECT_EQ(Nodes(Scan(sparse.Port(), "units=1-247", &error)), (std::vector<wxString>{"57", "200"}));
  EXPECT_EQ(error, 0u);
}

// A device's identity block is its own text: line breaks, a leading bracket or bytes
// that are not UTF-8 in it still leave one entry per device in the result file.
TEST_F(MbtcpStrict, IdentityTextsCannotForgeScanEntries) {
  ModbusTestServer server({1, 2}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  server.SetIdentity(1, "KOLM\r\n[99]\r\nFAKE", "[98]", 152);
  server.SetIdentity(2, "Ger\xe4t", "", 101);
  DWORD error = 0;
  const auto entries = Scan(server.Port(), "units=1-3", &error);
  EXPECT_EQ(error, 0u);
  ASSERT_EQ(Nodes(entries), (std::vector<wxString>{"1", "2"}));
  EXPECT_EQ(entries[0].type, "KOLM  [99]  FAKE");
  EXPECT_EQ(entries[0].DetailLine(0), "(98]");
  EXPECT_EQ(entries[0].Firmware(), "1.52");
  EXPECT_EQ(entries[1].type, wxString::FromUTF8("Ger\xc3\xa4t"));
  EXPECT_EQ(entries[1].Ip(), "127.0.0.1");
}

// A server that serves one connection only (later ones wait unread in its queue) still
// has every unit found, over the one connection it serves.
TEST_F(MbtcpStrict, AServerOfOneConnectionHasEveryUnitFound) {
  ModbusTestServer server({1, 7, 20}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  server.ServeFirstOnly(true);
  server.SetIdentity(20, "TESTDEV", "TESTDEV", 100);
  DWORD error = 1;
  EXPECT_EQ(Nodes(Scan(server.Port(), "units=1-20", &error)), (std::vector<wxString>{"1", "7", "20"}));
  EXPECT_EQ(error, 0u);
}

// A server answering every unit at once (an exception for the absent ones) is asked
// exactly once per unit, each probe with a transaction id of its own.
TEST_F(MbtcpStrict, EveryUnitIsAskedOnceWithItsOwnTransactionId) {
  ModbusTestServer server({1, 7, 200});
  server.SetIdentity(7, "TESTDEV", "TESTDEV", 100);
  DWORD error = 1;
  EXPECT_EQ(Nodes(Scan(server.Port(), "units=1-247", &error)), (std::vector<wxString>{"1", "7", "200"}));
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(server.Requests(), 247);
  EXPECT_EQ(server.RepeatedIds(), 0);
}

// A server that closes every connection but one, silent for absent units: each further
// connection the scan tries is closed, which neither costs a unit nor ends the scan, and
// no unit is asked twice.
TEST_F(MbtcpStrict, AServerClosingFurtherConnectionsHasEveryUnitAskedOnce) {
  ModbusTestServer server({1, 7, 20}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  server.AcceptOnly(1);
  DWORD error = 1;
  EXPECT_EQ(Nodes(Scan(server.Port(), "units=1-20", &error)), (std::vector<wxString>{"1", "7", "20"}));
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(server.Requests(), 20);
  EXPECT_EQ(server.RepeatedIds(), 0);
  EXPECT_EQ(server.MostConnections(), 1);
}

// A gateway with one serial line that takes every connection: probes on several
// connections wait behind each other's silence, so answers come after the time-out. The
// late answers are told apart by their transaction ids, and the scan goes on over one
// connection, asking again what was silent: every unit is found.
TEST_F(MbtcpStrict, AGatewayOfOneLineTakingManyConnectionsHasEveryUnitFound) {
  ModbusTestServer gateway({1, 9, 30}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  gateway.SerialLine(40);
  DWORD error = 1;
  EXPECT_EQ(Nodes(Scan(gateway.Port(), "units=1-40", &error, 60)), (std::vector<wxString>{"1", "9", "30"}));
  EXPECT_EQ(error, 0u);
  EXPECT_GT(gateway.MostConnections(), 1);
  EXPECT_EQ(gateway.RepeatedIds(), 0);
}

// No unit in the range: the scan completes with nothing found. A stopped server is
// a refused connection; a server that drops the link is a lost one.
TEST_F(MbtcpStrict, EmptyRangesAndGoneServersAreToldApart) {
  ModbusTestServer server({57}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  DWORD error = 1;
  EXPECT_TRUE(Scan(server.Port(), "units=1-20", &error).empty());
  EXPECT_EQ(error, 0u);
  EXPECT_TRUE(hv::IsFile(hv::ScanFilePath(dir.Path(), 1)));

  server.CloseOnRequest(true);
  EXPECT_TRUE(Scan(server.Port(), "units=1-20", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(HV_ERR_CONNECTION_LOST));

  server.Stop();
  EXPECT_TRUE(Scan(server.Port(), "units=1-20", &error).empty());
  EXPECT_EQ(error, static_cast<DWORD>(HV_ERR_REFUSED));

  // A reversed range is refused before anything is sent.
  EXPECT_FALSE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_9", Param(server.Port(), "units=7-3")));
  EXPECT_EQ(hv::Vostrel_GetLastError(), static_cast<DWORD>(HV_ERR_BAD_PARAMETER));
}

// A definite exception ends the read at once; the last coil and a text ending at the
// last register are read like any other.
TEST_F(MbtcpStrict, ExceptionsEndReadsAndTheWholeAddressSpaceIsReachable) {
  ModbusTestServer server({1, 2});
  server.SetException(2, 2);  // illegal data address for everything
  server.SetBit(1, 0, 0xFFFF, true);
  server.SetText(1, 4, 0xFFFE, "ABCD");
  ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_0", Param(server.Port())));
  auto reg = [](const char* node, const char* address, DWORD type, DWORD access) {
    const DWORD h = hv::Vostrel_RegisterDataPoint("MBTCP", "TCP_0", "TESTDEV", node, "", address, access, 0, 0, 0, 0, type, 0);
    if (h) hv::Vostrel_ActivateDataPoint(h, TRUE);
    return h;
  };
  char buf[16] = {};
  const DWORD refused = reg("2", "8|M|W|81|0|0|1", hv::kDpWord, 0x00030003);
  ASSERT_NE(refused, 0u);
  hv::PollResult r;
  const ::testing::AssertionResult ended = hvtest::WaitEndsWithin(1s, [&] {
    return hvtest::Timed([&] { r = hv::OnlineLibrary::Get().PollRead(refused, buf, sizeof buf, 5s); });
  });
  EXPECT_TRUE(ended);
  EXPECT_FALSE(r.value);
  EXPECT_EQ(r.lastError, static_cast<DWORD>(HV_ERR_BAD_ADDRESS));
  const int before = server.Requests();
  hv::Vostrel_ClearDataPoint(refused);

  // Coil 65535: (F3 - 81) * 256 + F4) * 32 + F5 + 0x3000 = 0xFFFF with F3 81, F4 1664, F5 31.
  const DWORD coil = reg("1", "8|M|X|81|1663|31|1", 4, 0x00030003);
  ASSERT_NE(coil, 0u);
  ASSERT_TRUE(hv::OnlineLibrary::Get().PollRead(coil, buf, sizeof buf, 2s).value);
  DWORD v;
  std::memcpy(&v, buf, 4);
  EXPECT_EQ(hv::db4toa(v, 4), "1");
  hv::Vostrel_ClearDataPoint(coil);
  // Text of four characters in registers 0xFFFE and 0xFFFF: ((F3 - 81) * 256 + F4) * 2 + 0x3000.
  const DWORD text = reg("1", "8|M|W|81|26623|0|1", 0x2004, 0x00030003);
  ASSERT_NE(text, 0u);
  ASSERT_TRUE(hv::OnlineLibrary::Get().PollRead(text, buf, sizeof buf, 2s).value);
  EXPECT_STREQ(buf, "ABCD");
  hv::Vostrel_ClearDataPoint(text);
  EXPECT_EQ(server.Requests(), before + 2);
}

// A text address with its length reads those characters from a holding register past
// 0 on a device that serves no register behind them; without a length nothing is
// registered (it would read one register and show nothing).
TEST_F(MbtcpStrict, ATextReadsTheCharactersItsAddressNames) {
  ModbusTestServer server({1}, ModbusTestServer::Mode::Normal, 0, Absent::Silent);
  server.LimitMap(46);
  server.SetText(1, 4, 40, "Kesselpumpe1");
  ASSERT_TRUE(hv::Vostrel_SetDriverParameter("MBTCP", "TCP_0", Param(server.Port())));
  auto reg = [](const char* address, DWORD textLength) {
    return hv::Vostrel_RegisterDataPoint("MBTCP", "TCP_0", "TESTDEV", "1", "", address, 0x00030003, 0, 0, 0, 0, 0x100,
                                         textLength);
  };
  for (const char* address : {"HR|40|TEXT|12", "hr|40||12"}) {
    const DWORD h = reg(address, 12);
    ASSERT_NE(h, 0u) << address;
    ASSERT_TRUE(hv::Vostrel_ActivateDataPoint(h, TRUE));
    char buf[32] = {};
    ASSERT_TRUE(hv::OnlineLibrary::Get().PollRead(h, buf, sizeof buf, 2s).value) << address;
    EXPECT_STREQ(buf, "Kesselpumpe1") << address;
    hv::Vostrel_ClearDataPoint(h);
  }
  EXPECT_EQ(reg("HR|40|TEXT", 0), 0u);
  EXPECT_EQ(reg("HR|40|TEXT|12", 11), 0u);
}

}  // namespace
