// A web folder of 500 small files sent twice to a plain FTP server on 127.0.0.1, one
// like vsftpd or a Windows CE panel's: no MLSD, no MFMT, listings in DOS form. The
// device's record of what was sent lets the second transfer find every file current.
// PASS when the second sends no file and takes at most 0.1 times the first; a failed
// transfer or a server that does not start is FAIL, with a non-zero exit.
#include <fcntl.h>
#include <sys/stat.h>
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

int StartServer(const std::string& root, pid_t& pid) {
  return StartFtpServer({HV_BENCH_SOURCE_DIR "/tests/support/ftp_server.py",
                         "--root", root, "--user", "dev", "--password", "pw",
                         "--no-mlsd", "--no-mfmt", "--dos-list"}, pid);
}

struct Run {
  double ms = 0;
  int sent = -1;      // -1: the transfer failed
  int current = -1;
  wxString message;
};

Run Transfer(const FtpDownloadRequest& request) {
  ZipProgress progress;
  const auto start = Clock::now();
  const FtpTransferResult r = RunFtpTransfer(request, progress);
  Run run;
  run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (r.Ok()) {
    run.sent = r.filesSent;
    run.current = r.filesUnchanged;
  }
  run.message = r.message;
  return run;
}

}  // namespace

int main() {
  char home[] = "/tmp/hv-ftp-plain-bench-XXXXXX";
  if (!mkdtemp(home)) return 1;
  const wxString dir = hv::FromUtf8(home);
  const time_t base = time(nullptr) - 3600;
  for (int i = 0; i < 500; ++i) {
    const wxString folder = hv::JoinPath(dir, wxString::Format("web/f%d", i % 10));
    hv::MakeFolders(folder);
    const wxString path = hv::JoinPath(folder, wxString::Format("page%03d.htm", i));
    hv::WriteFileAtomic(path, std::string(200 + i, 'w'));
    const timespec times[2] = {{base, 0}, {base, 0}};
    utimensat(AT_FDCWD, hv::ToFs(path).c_str(), times, 0);
  }
  hv::MakeFolders(hv::JoinPath(dir, "root"));
  hv::MakeFolders(hv::JoinPath(dir, "device"));
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
  request.sentRecord = FtpSentRecord::FileIn(hv::JoinPath(dir, "device"));
  const Run first = Transfer(request);
  const Run second = Transfer(request);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  std::printf("server: no MLSD, no MFMT, DOS listing\n");
  std::printf("first transfer:  %.1f ms, %d files sent\n", first.ms, first.sent);
  std::printf("second transfer: %.1f ms, %d files sent, %d current\n", second.ms, second.sent, second.current);
  if (first.sent < 0 || second.sent < 0) {
    std::printf("FAIL: a transfer failed: %s\n", hv::ToUtf8(first.sent < 0 ? first.message : second.message).c_str());
    return 1;
  }
  const double ratio = second.ms / first.ms;
  std::printf("ratio second/first: %.3f (limit 0.1)\n", ratio);
  const bool pass = first.sent == 500 && second.sent == 0 && second.current == 500 && ratio <= 0.1;
  std::printf("%s re-download of 500 unchanged files to a plain server\n", pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
