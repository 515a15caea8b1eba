// Scan of unit ids 1-247 on a Modbus TCP server on 127.0.0.1 with units 1, 3 and 5
// present: the online library's scan (MBTCP driver, scan thread, result file) against
// the same probes sent one after another by a plain libmodbus loop. Prints the ratio of
// the medians and PASS when the scan takes at most 1.2 times the plain loop.
#include <modbus.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/online/OnlineLibrary.h"
#include "platform/online/ScanFile.h"
#include "tests/support/ModbusTestServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double PlainLoop(int port, int* found) {
  const auto start = Clock::now();
  modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
  modbus_set_response_timeout(ctx, 0, 300000);
  modbus_connect(ctx);
  *found = 0;
  for (int unit = 1; unit <= 247; ++unit) {
    uint16_t regs[25];
    modbus_set_slave(ctx, unit);
    if (modbus_read_registers(ctx, 0xF000, 25, regs) == 25) ++*found;
  }
  modbus_close(ctx);
  modbus_free(ctx);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double LibraryScan(int port, const wxString& result, int* found) {
  auto& lib = hv::OnlineLibrary::Get();
  const auto start = Clock::now();
  const wxString param = wxString::Format("host=127.0.0.1 port=%d units=1-247 timeout=300", port);
  if (!lib.StartScan("MBTCP", "TCP_0", result, param)) return -1;
  lib.WaitScan(std::chrono::seconds(30));
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::vector<hv::ScanEntry> entries;
  hv::ReadScanFile(result, entries);
  *found = static_cast<int>(entries.size());
  lib.EscapeScan();
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  char home[] = "/tmp/hv-scan-bench-XXXXXX";
  if (!mkdtemp(home)) return 1;
  setenv("HALVORA_HOME", home, 1);
  hv::InitRegistryStore();
  hv::OnlineLibrary::Get().Init();
  hvtest::ModbusTestServer server({1, 3, 5});
  for (int u : {1, 3, 5}) server.SetIdentity(u, "KOLM_G320", "KOLM_G320", 152);
  const wxString result = hv::JoinPath(hv::FromUtf8(home), "SCAN1.OUT");

  std::vector<double> plain, scan;
  int plainFound = 0, scanFound = 0;
  for (int round = 0; round < 15; ++round) {
    plain.push_back(PlainLoop(server.Port(), &plainFound));
    scan.push_back(LibraryScan(server.Port(), result, &scanFound));
  }
  const double p = Median(plain), s = Median(scan), ratio = s / p;
  std::printf("plain libmodbus loop: %.2f ms (%d found)\n", p, plainFound);
  std::printf("online library scan:  %.2f ms (%d found)\n", s, scanFound);
  std::printf("ratio %.2fx (target <= 1.20x): %s\n", ratio,
              ratio <= 1.2 && plainFound == 3 && scanFound == 3 ? "PASS" : "FAIL");
  hv::OnlineLibrary::Get().DeInit();
  std::string cmd = std::string("rm -rf ") + home;
  return std::system(cmd.c_str()) == 0 ? 0 : 1;
}
