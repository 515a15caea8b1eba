// Scan of unit ids 1-247 on a Modbus TCP server on 127.0.0.1 with units 1, 3 and 5
// present: the online library's scan (MBTCP driver, scan thread, result file) against
// the same probes sent one after another by a plain libmodbus loop with the same
// time-out. Two servers: one answering absent units with an exception (target: the scan
// at most 1.2 times the plain loop), and one silent for them that drops frames queued
// behind a silent one (target: at most 0.2 times: at most eight connections side by side).
// Prints the ratios of the medians. Every round of both must find the three units; a
// scan that does not start or end, or a round that finds another count, is a FAIL.
#include <modbus.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
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

// The time of one round, or nothing when it could not run.
std::optional<double> PlainLoop(int port, int timeoutMs, int* found) {
  const auto start = Clock::now();
  modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
  if (!ctx) return std::nullopt;
  modbus_set_response_timeout(ctx, 0, static_cast<uint32_t>(timeoutMs) * 1000);
  if (modbus_connect(ctx) != 0) {
    std::printf("  plain loop: no connection\n");
    modbus_free(ctx);
    return std::nullopt;
  }
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

std::optional<double> LibraryScan(int port, int timeoutMs, const wxString& result, int* found) {
  auto& lib = hv::OnlineLibrary::Get();
  std::remove(hv::ToFs(result).c_str());  // a file of an earlier round proves nothing
  const auto start = Clock::now();
  const wxString param = wxString::Format("host=127.0.0.1 port=%d units=1-247 timeout=%d", port, timeoutMs);
  if (!lib.StartScan("MBTCP", "TCP_0", result, param)) {
    std::printf("  library scan: did not start (error %u)\n", static_cast<unsigned>(lib.GetLastError()));
    return std::nullopt;
  }
  const bool ended = lib.WaitScan(std::chrono::seconds(120));
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  const bool done = ended && lib.GetScanState() == hv::ScanState::Done;
  if (!done) std::printf("  library scan: %s (error %u)\n", ended ? "failed" : "did not end", static_cast<unsigned>(lib.ScanError()));
  std::vector<hv::ScanEntry> entries;
  hv::ReadScanFile(result, entries);
  *found = static_cast<int>(entries.size());
  lib.EscapeScan();
  if (!done) return std::nullopt;
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

// Medians of both over the rounds; true when every round of both ran and found the 3
// units and the ratio meets the target.
bool Compare(const char* what, hvtest::ModbusTestServer& server, int timeoutMs, int plainRounds, int scanRounds,
             double target, const wxString& result) {
  std::printf("%s, time-out %d ms\n", what, timeoutMs);
  std::vector<double> plain, scan;
  int failed = 0, wrongCount = 0;
  auto take = [&](std::optional<double> ms, int found, std::vector<double>& into) {
    if (!ms) ++failed;
    else into.push_back(*ms);
    if (ms && found != 3) {
      ++wrongCount;
      std::printf("  a round found %d units, not 3\n", found);
    }
  };
  for (int round = 0; round < std::max(plainRounds, scanRounds); ++round) {
    if (round < plainRounds) {
      int found = 0;
      const auto ms = PlainLoop(server.Port(), timeoutMs, &found);
      take(ms, found, plain);
    }
    if (round < scanRounds) {
      int found = 0;
      const auto ms = LibraryScan(server.Port(), timeoutMs, result, &found);
      take(ms, found, scan);
    }
  }
  if (plain.empty() || scan.empty()) {
    std::printf("  no timing (%d rounds failed): FAIL\n", failed);
    return false;
  }
  const double p = Median(plain), s = Median(scan), ratio = s / p;
  const bool pass = ratio <= target && failed == 0 && wrongCount == 0;
  std::printf("  plain libmodbus loop: %.2f ms (%zu rounds)\n", p, plain.size());
  std::printf("  online library scan:  %.2f ms (%zu rounds)\n", s, scan.size());
  if (failed || wrongCount) std::printf("  %d rounds failed, %d found another count\n", failed, wrongCount);
  std::printf("  ratio %.3fx (target <= %.2fx): %s\n", ratio, target, pass ? "PASS" : "FAIL");
  return pass;
}

int main() {
  // The result file goes to memory where it can: a rename on a slow disk costs more than
  // the whole scan of an answering server and would hide what is measured here.
  char shm[] = "/dev/shm/hv-scan-bench-XXXXXX", tmp[] = "/tmp/hv-scan-bench-XXXXXX";
  char* home = mkdtemp(shm);
  if (!home) home = mkdtemp(tmp);
  if (!home) return 1;
  setenv("HALVORA_HOME", home, 1);
  hv::InitRegistryStore();
  hv::OnlineLibrary::Get().Init();
  const wxString result = hv::JoinPath(hv::FromUtf8(home), "SCAN1.OUT");
  using Server = hvtest::ModbusTestServer;
  Server answering({1, 3, 5});
  Server silent({1, 3, 5}, Server::Mode::Normal, 0, Server::Absent::SilentDropQueued, 50);
  for (Server* server : {&answering, &silent})
    for (int u : {1, 3, 5}) server->SetIdentity(u, "KOLM_G320", "KOLM_G320", 152);
  bool pass = Compare("Server answering absent units with an exception", answering, 300, 15, 15, 1.2, result);
  // The plain loop waits out 244 time-outs one after another: one round of it.
  pass = Compare("Server silent for absent units, dropping queued frames", silent, 100, 1, 3, 0.2, result) && pass;
  std::printf("%s\n", pass ? "PASS" : "FAIL");
  hv::OnlineLibrary::Get().DeInit();
  std::string cmd = std::string("rm -rf ") + home;
  return std::system(cmd.c_str()) == 0 && pass ? 0 : 1;
}
