// A web folder of 500 small files in 10 folders sent to a pyftpdlib server on 127.0.0.1:
// the first transfer sends every file, the second finds the device's folders unchanged
// and sends none. The bound counts the FTP commands our client sends (the server notes
// each; QUIT, which may arrive after the transfer has returned, is left out), so it does
// not depend on the machine's moment: the second transfer's commands over the first's at
// most 0.1. The code gives 0.024 (63 commands: a login and a listing per folder, against
// 2,587, five per file); a second transfer that asks the size and time of every file
// (SIZE and MDTM, where one listing per folder tells them) gives 0.44; one that sends
// every file again fails on the files sent (its commands 1.0).
//
// --timed: also the second transfer's wall-clock time over the first's, at most 0.1 (the
// first is mostly the server's writing of the files); run by bench/run_bounds.sh.
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/ZipProgress.h"
#include "bench/BenchSupport.h"
#include "bench/Bounds.h"
#include "build/FtpTransfer.h"
#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

using Clock = std::chrono::steady_clock;

// Starts the test server and reads the port it prints; 0 when it did not start.
int StartServer(const std::string& root, const std::string& commands, pid_t& pid) {
  return StartFtpServer({HV_BENCH_SOURCE_DIR "/tests/support/ftp_server.py", "--root", root, "--user", "dev",
                         "--password", "pw", "--commands", commands},
                        pid);
}

// The commands the server has noted so far, QUIT left out.
long CommandsSoFar(const std::string& log) {
  std::ifstream in(log);
  long n = 0;
  for (std::string line; std::getline(in, line);) n += line != "QUIT";
  return n;
}

struct Transfer {
  int sent = -1;  // -1: the transfer failed
  long commands = 0;
  double ms = 0;
};

Transfer Run(const FtpDownloadRequest& request, const std::string& log) {
  ZipProgress progress;
  Transfer t;
  const long before = CommandsSoFar(log);
  const auto start = Clock::now();
  const FtpTransferResult r = RunFtpTransfer(request, progress);
  t.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  t.commands = CommandsSoFar(log) - before;
  t.sent = r.Ok() ? r.filesSent : -1;
  if (!r.Ok()) std::printf("FAIL: the transfer failed: %s\n", r.message.utf8_str().data());
  return t;
}

void Print(const char* which, const Transfer& t) {
  std::printf("  %s transfer: %.1f ms, %d files sent, %ld commands\n", which, t.ms, t.sent, t.commands);
}

}  // namespace

int main(int argc, char** argv) {
  const bool timed = argc > 1 && std::strcmp(argv[1], "--timed") == 0;
  char home[] = "/tmp/hv-ftp-bench-XXXXXX";
  if (!mkdtemp(home)) return 1;
  const wxString dir = hv::FromUtf8(home);
  for (int i = 0; i < 500; ++i) {
    const wxString folder = hv::JoinPath(dir, wxString::Format("web/f%d", i % 10));
    hv::MakeFolders(folder);
    hv::WriteFileAtomic(hv::JoinPath(folder, wxString::Format("page%03d.htm", i)), std::string(200 + i, 'w'));
  }
  const std::string root = std::string(home) + "/root";
  const std::string log = std::string(home) + "/commands.log";
  hv::MakeFolders(hv::FromUtf8(root));
  pid_t pid = -1;
  const int port = StartServer(root, log, pid);
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

  const Transfer first = Run(request, log);
  Print("first", first);
  bool pass = first.sent == 500;
  if (!pass) std::printf("FAIL: the first transfer sent %d files, not 500\n", first.sent);
  pass = HoldsBound("commands of the second transfer over the first", 0.1, [&] {
    const Transfer second = Run(request, log);
    Print("second", second);
    if (second.sent != 0) {
      std::printf("FAIL: the second transfer sent %d files, not 0\n", second.sent);
      return -1.0;
    }
    return static_cast<double>(second.commands) / static_cast<double>(std::max(first.commands, 1L));
  }) && pass;

  if (timed) {
    // Each measurement sends everything anew to an emptied device.
    pass = HoldsBound("time of the second transfer over the first", 0.1, [&] {
      std::error_code ec;
      for (const auto& entry : std::filesystem::directory_iterator(root)) std::filesystem::remove_all(entry, ec);
      const Transfer a = Run(request, log), b = Run(request, log);
      Print("first", a);
      Print("second", b);
      if (a.sent != 500 || b.sent != 0) return -1.0;
      return b.ms / a.ms;
    }) && pass;
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
  std::printf("%s\n", pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
