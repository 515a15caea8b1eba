// A web folder of 500 small files sent to a pyftpdlib server on 127.0.0.1: the first
// transfer sends every file, the second finds the device's folder unchanged and sends
// none. Prints both times and their ratio; PASS when the second takes at most 0.1 times
// the first.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/ZipProgress.h"
#include "bench/BenchSupport.h"
#include "build/FtpTransfer.h"
#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

using Clock = std::chrono::steady_clock;

// Starts the test server and reads the port it prints; 0 when it did not start.
int StartServer(const std::string& root, pid_t& pid) {
  return StartFtpServer({HV_BENCH_SOURCE_DIR "/tests/support/ftp_server.py",
                         "--root", root, "--user", "dev", "--password", "pw"}, pid);
}

double Transfer(const FtpDownloadRequest& request, int& sent) {
  ZipProgress progress;
  const auto start = Clock::now();
  const FtpTransferResult r = RunFtpTransfer(request, progress);
  sent = r.Ok() ? r.filesSent : -1;
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
  char home[] = "/tmp/hv-ftp-bench-XXXXXX";
  if (!mkdtemp(home)) return 1;
  const wxString dir = hv::FromUtf8(home);
  for (int i = 0; i < 500; ++i) {
    const wxString folder = hv::JoinPath(dir, wxString::Format("web/f%d", i % 10));
    hv::MakeFolders(folder);
    hv::WriteFileAtomic(hv::JoinPath(folder, wxString::Format("page%03d.htm", i)), std::string(200 + i, 'w'));
  }
  hv::MakeFolders(hv::JoinPath(dir, "root"));
  pid_t pid = -1;
  const int port = StartServer(std::string(home) + "/root", pid);
  if (port <= 0) {
    std::printf("FAIL: the FTP server did not start (python3-pyftpdlib installed?)\n");
    return 1;
  }
  FtpDownloadRequest request;
  request.address = wxString::Format("127.0.0.1:%d", port);
  request.user = "dev";
  request.password = "pw";
  request.source = hv::JoinPath(dir, "web");
  request.remoteFolder = "\\Flashdisk\\wwwpub";
  int firstSent = 0, secondSent = 0;
  const double first = Transfer(request, firstSent);
  const double second = Transfer(request, secondSent);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  const double ratio = second / first;
  std::printf("first transfer:  %.1f ms, %d files sent\n", first, firstSent);
  std::printf("second transfer: %.1f ms, %d files sent\n", second, secondSent);
  std::printf("ratio second/first: %.3f (limit 0.1)\n", ratio);
  const bool pass = firstSent == 500 && secondSent == 0 && ratio <= 0.1;
  std::printf("%s\n", pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
