// A web folder of 500 small files sent twice to a plain FTP server on 127.0.0.1, one
// like vsftpd or a Windows CE panel's: no MLSD, no MFMT, listings in DOS form. The
// device's record of what was sent lets the second transfer find every file current.
// PASS when the second sends no file and takes at most 0.1 times the first; a failed
// transfer, a server that does not start or a web folder that cannot be written (a full
// disk) is FAIL, with a non-zero exit. The temporary folder is removed in every case.
#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
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

// The benchmark's folder in /tmp, removed however the benchmark ends.
class TempHome {
 public:
  TempHome() : m_path("/tmp/hv-ftp-plain-bench-XXXXXX") {
    if (!mkdtemp(m_path.data())) m_path.clear();
  }
  ~TempHome() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// The files to send, an hour old; empty when all were written, else why not.
std::string WriteWebFolder(const wxString& dir) {
  const time_t base = time(nullptr) - 3600;
  for (int i = 0; i < 500; ++i) {
    const wxString folder = hv::JoinPath(dir, wxString::Format("web/f%d", i % 10));
    if (!hv::MakeFolders(folder)) return hv::ToUtf8(folder) + ": " + std::strerror(errno);
    const wxString path = hv::JoinPath(folder, wxString::Format("page%03d.htm", i));
    wxString error;
    if (!hv::WriteFileAtomic(path, std::string(200 + i, 'w'), &error)) return hv::ToUtf8(path) + ": " + hv::ToUtf8(error);
    const timespec times[2] = {{base, 0}, {base, 0}};
    if (utimensat(AT_FDCWD, hv::ToFs(path).c_str(), times, 0) != 0) return hv::ToUtf8(path) + ": " + std::strerror(errno);
  }
  for (const char* name : {"root", "device"})
    if (!hv::MakeFolders(hv::JoinPath(dir, name))) return hv::ToUtf8(hv::JoinPath(dir, name)) + ": " + std::strerror(errno);
  return std::string();
}

}  // namespace

int main() {
  const TempHome temp;
  if (temp.Path().empty()) {
    std::printf("FAIL: cannot make a folder in /tmp: %s\n", std::strerror(errno));
    return 1;
  }
  const std::string home = temp.Path();
  const wxString dir = hv::FromUtf8(home);
  if (const std::string why = WriteWebFolder(dir); !why.empty()) {
    std::printf("FAIL: cannot write the files to send: %s\n", why.c_str());
    return 1;
  }
  pid_t pid = -1;
  const int port = StartServer(home + "/root", pid);
  if (port <= 0) {
    std::printf("FAIL: the FTP server did not start (python3-pyftpdlib installed?)\n");
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
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
