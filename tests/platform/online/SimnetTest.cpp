#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/Db4.h"
#include "platform/Online.h"
#include "platform/online/ScanFile.h"
#include "tests/support/OnlineTestSupport.h"
#include "tests/support/WaitBound.h"

namespace {

using namespace std::chrono_literals;

// A simulated network with three devices.
class Simnet : public ::testing::Test {
 protected:
  Simnet() : install({"TESTDEV.so"}) {
    file = install.Sub("sim.ini");
    hvtest::WriteAll(file,
                     "[Network]\nScanDelayMs=30\n"
                     "[Device 1]\nType=TESTDEV\nHardware=KOLM_G320\nFirmware=152\nIP=127.0.0.1\n"
                     "[Values 1]\n8|M|W|81|0|0|1=-5\n8|M|R|81|8|0|1=21.5\n8|M|S|81|9|0|1=Hello World\n"
                     "8|M|T|81|2|0|1=12:30:05\n8|M|U|81|3|0|1=4294967295\n"
                     "[Device 3]\nType=KOLM_T420\nHardware=KOLM_T420\nFirmware=200\nError=42\n"
                     "[Values 3]\n8|M|W|81|0|0|1=7\n"
                     "[Device 5]\nType=COMBO_C167\nError=24\nDelayMs=0\n"
                     "[Values 5]\n8|M|W|81|0|0|1=9\n"
                     "[Device 7]\nType=TESTDEV\nDelayMs=150\n"
                     "[Values 7]\n8|M|W|81|0|0|1=11\n");
    param = "file=" + file;
    EXPECT_TRUE(hv::Vostrel_Init());
    EXPECT_TRUE(hv::Vostrel_SetDriverParameter("SIMNET", "SIM_0", param));
  }

  DWORD Register(const char* node, const char* address, DWORD type, DWORD textLength = 0) {
    const DWORD h = hv::Vostrel_RegisterDataPoint("SIMNET", "SIM_0", "TESTDEV", node, ";;", address, 0x00030003, 0, 0,
                                                  0, 0, type, textLength);
    if (h) {
      EXPECT_TRUE(hv::Vostrel_SetPollTime(h, 0));
      EXPECT_TRUE(hv::Vostrel_ActivateDataPoint(h, TRUE));
    }
    return h;
  }

  hvtest::PluginInstall install;
  wxString file;
  wxString param;
};

// One read as the value column shows it; "<failed>" when nothing was read.
wxString ReadValue(DWORD handle, DWORD type) {
  char buf[64] = {};
  if (!hv::Vostrel_ReadDataPoint(handle, buf, sizeof buf)) return "<failed>";
  if (type == hv::kDpText || type >= hv::kDpVarText) return wxString::FromUTF8(buf);
  DWORD v = 0;
  std::memcpy(&v, buf, 4);
  return hv::db4toa(v, type);
}

TEST_F(Simnet, ReadsValuesOfEveryKind) {
  const struct {
    const char* address;
    DWORD type;
    DWORD textLength;
    const char* expected;
  } cases[] = {
      {"8|M|W|81|0|0|1", hv::kDpWord, 0, "-5"},
      {"8|M|R|81|8|0|1", hv::kDpFloat, 0, "21.5"},
      {"8|M|T|81|2|0|1", hv::kDpTime, 0, "12:30:05"},
      {"8|M|U|81|3|0|1", hv::kDpDwordPos, 0, "4294967295"},
      {"8|M|S|81|9|0|1", 0x2005, 0, "Hello"},
      {"8|M|S|81|9|0|1", hv::kDpText, 0, ""},
      {"8|M|S|81|9|0|1", hv::kDpText, 11, "Hello World"},
  };
  for (const auto& c : cases) {
    const DWORD h = Register("1", c.address, c.type, c.textLength);
    ASSERT_NE(h, 0u) << c.address;
    EXPECT_EQ(ReadValue(h, c.type), c.expected) << c.address;
    hv::Vostrel_ClearDataPoint(h);
  }
  const DWORD text5 = Register("1", "8|M|S|81|9|0|1", 0x2005);
  char buf[5];
  EXPECT_FALSE(hv::Vostrel_ReadDataPoint(text5, buf, sizeof buf));  // no room for the terminating zero
  EXPECT_EQ(hv::Vostrel_GetLastError(), HV_ERR_BUFFER);
  hv::Vostrel_ClearDataPoint(text5);
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
  hv::Vostrel_ClearDataPoint(12345);  // unknown: harmless
}

TEST_F(Simnet, InjectedErrorsAndDelays) {
  char buf[16] = {};
  // Error 42: the call fails, yet the buffer holds the value.
  const DWORD stale = Register("3", "8|M|W|81|0|0|1", hv::kDpWord);
  EXPECT_FALSE(hv::Vostrel_ReadDataPoint(stale, buf, sizeof buf));
  EXPECT_EQ(hv::Vostrel_GetLastError() & 0xFFFF, 42u);
  DWORD v = 0;
  std::memcpy(&v, buf, 4);
  EXPECT_EQ(v, 7u);
  auto r = hv::OnlineLibrary::Get().PollRead(stale, buf, sizeof buf, 100ms);
  EXPECT_TRUE(r.value);

  // Error 24: the device is gone; polling gives up when the time is up.
  const DWORD lost = Register("5", "8|M|W|81|0|0|1", hv::kDpWord);
  const ::testing::AssertionResult polled = hvtest::WaitEndsWithin(1s, [&] {
    return hvtest::Timed([&] { r = hv::OnlineLibrary::Get().PollRead(lost, buf, sizeof buf, 200ms); });
  });
  EXPECT_TRUE(polled);
  EXPECT_FALSE(r.value);
  EXPECT_EQ(r.lastError, 24u);

  // A delayed value arrives within the limit, and not before.
  const DWORD late = Register("7", "8|M|W|81|0|0|1", hv::kDpWord);
  EXPECT_FALSE(hv::Vostrel_ReadDataPoint(late, buf, sizeof buf));
  EXPECT_EQ(hv::Vostrel_GetLastError(), HV_ERR_PENDING);
  r = hv::OnlineLibrary::Get().PollRead(late, buf, sizeof buf, 2000ms);
  EXPECT_TRUE(r.value);
  std::memcpy(&v, buf, 4);
  EXPECT_EQ(v, 11u);

  // A cancelled poll returns at once.
  const DWORD late2 = Register("7", "8|M|W|81|0|0|1", hv::kDpWord);
  std::atomic<bool> cancel{true};
  r = hv::OnlineLibrary::Get().PollRead(late2, buf, sizeof buf, 5000ms, &cancel);
  EXPECT_FALSE(r.value);
}

// The window thread switches a point off and on and changes its poll time while a
// worker reads it (ThreadSanitizer checks the two meet only through atomics).
TEST_F(Simnet, APointChangedWhileAWorkerReadsIt) {
  const DWORD h = Register("1", "8|M|W|81|0|0|1", hv::kDpWord);
  ASSERT_NE(h, 0u);
  std::atomic<bool> stop{false};
  std::atomic<int> values{0}, pending{0};
  std::thread worker([&] {
    char buf[16];
    while (!stop) {
      if (hv::Vostrel_ReadDataPoint(h, buf, sizeof buf)) ++values;
      else if (hv::Vostrel_GetLastError() == HV_ERR_PENDING) ++pending;
    }
  });
  for (int i = 0; i < 2000; ++i) {
    EXPECT_TRUE(hv::Vostrel_ActivateDataPoint(h, i % 2));
    EXPECT_TRUE(hv::Vostrel_SetPollTime(h, static_cast<DWORD>(i)));
    if (i % 100 == 0) std::this_thread::sleep_for(1ms);
  }
  EXPECT_TRUE(hv::Vostrel_ActivateDataPoint(h, TRUE));
  stop = true;
  worker.join();
  EXPECT_GT(values + pending, 0);
  char buf[16];
  EXPECT_TRUE(hv::Vostrel_ReadDataPoint(h, buf, sizeof buf));
}

TEST_F(Simnet, RefusedRegistrationsAndCallsChangeNothing) {
  EXPECT_EQ(Register("9", "8|M|W|81|0|0|1", hv::kDpWord), 0u);  // no such device
  EXPECT_EQ(Register("1", "8|M|W|81|1|0|1", hv::kDpWord), 0u);  // no such value
  EXPECT_EQ(hv::Vostrel_RegisterDataPoint("SIMNET", "SIM_9", "TESTDEV", "1", "", "8|M|W|81|0|0|1", 3, 0, 0, 0, 0, 8, 0), 0u);
  EXPECT_FALSE(hv::Vostrel_SetDriverParameter("SIMNET", "SIM_1", "nofile"));
  EXPECT_FALSE(hv::Vostrel_SetDriverParameter("NOSUCH", "X", "file=/x"));
  EXPECT_FALSE(hv::Vostrel_SetPollTime(999, 0));
  EXPECT_FALSE(hv::Vostrel_ActivateDataPoint(999, TRUE));
  char buf[8];
  EXPECT_FALSE(hv::Vostrel_ReadDataPoint(999, buf, sizeof buf));
  EXPECT_EQ(hv::Vostrel_GetLastError(), HV_ERR_BAD_HANDLE);
  EXPECT_EQ(hv::OnlineLibrary::Get().DataPointCount(), 0u);
  EXPECT_EQ(hv::OnlineLibrary::Get().ConnectionCount(), 1u);
}

// Polls the scan the way the scan dialog does, from its timer.
wxString RunScan(int maxTicks, int* ticks = nullptr) {
  char progress[100];
  wxString last;
  for (int i = 0; i < maxTicks; ++i) {
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(hv::Vostrel_ProgressScan(progress, sizeof progress));
    last = wxString::FromUTF8(progress);
    if (ticks) ++*ticks;
    if (last == hv::kEndOfScan) break;
  }
  return last;
}

TEST_F(Simnet, ScanWritesTheResultFileWhenDone) {
  hvtest::TempDir device;
  const wxString result = hv::ScanFilePath(device.Path(), 2);
  ASSERT_TRUE(hv::Vostrel_StartScan("SIMNET", "SIM_0", result, param));
  EXPECT_FALSE(hv::Vostrel_StartScan("SIMNET", "SIM_0", result, param));  // one at a time
  int ticks = 0;
  EXPECT_EQ(RunScan(200, &ticks), "End of Scan");
  EXPECT_GT(ticks, 2);  // the delay spreads it over several polls
  EXPECT_EQ(hvtest::ReadAll(result),
            "[1]\r\nTESTDEV\r\nKOLM_G320\r\nFW-Version : 1.52\r\nIP=127.0.0.1\r\n"
            "[3]\r\nKOLM_T420\r\nKOLM_T420\r\nFW-Version : 2.00\r\n"
            "[5]\r\nCOMBO_C167\r\n\r\nFW-Version : 0.00\r\n"
            "[7]\r\nTESTDEV\r\n\r\nFW-Version : 0.00\r\n");
  hv::Vostrel_EscapeScan();
  hv::Vostrel_EscapeScan();  // safe without a scan
}

TEST_F(Simnet, EscapedScanKeepsTheEarlierFile) {
  hvtest::WriteAll(file, "[Network]\nScanDelayMs=5000\n[Device 1]\nType=X\n");
  hvtest::TempDir device;
  const wxString result = hv::ScanFilePath(device.Path(), 1);
  hvtest::WriteAll(result, "[9]\r\nOLD\r\n");
  // The escape does not wait for the scan's five seconds.
  const ::testing::AssertionResult escaped = hvtest::WaitEndsWithin(500ms, [&] {
    EXPECT_TRUE(hv::Vostrel_StartScan("SIMNET", "SIM_0", result, param));
    std::this_thread::sleep_for(50ms);
    return hvtest::Timed([] { hv::Vostrel_EscapeScan(); });
  });
  EXPECT_TRUE(escaped);
  EXPECT_EQ(hvtest::ReadAll(result), "[9]\r\nOLD\r\n");
  EXPECT_EQ(hv::OnlineLibrary::Get().GetScanState(), hv::ScanState::Idle);
  EXPECT_FALSE(hv::Vostrel_StartScan("SIMNET", "SIM_0", "/no/such/folder/SCAN1.OUT", param));
  EXPECT_FALSE(hv::Vostrel_StartScan("SIMNET", "SIM_0", result, "nofile"));
}

}  // namespace
