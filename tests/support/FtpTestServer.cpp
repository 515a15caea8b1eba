#include "tests/support/FtpTestServer.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

extern char** environ;

namespace hvtest {

namespace {

// Reads the "PORT <n>" line the script prints once it listens.
int ReadPort(int fd) {
  std::string line;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) return 0;
    if (c == '\n') break;
    line += c;
  }
  if (line.rfind("PORT ", 0) != 0) return 0;
  return std::atoi(line.c_str() + 5);
}

}  // namespace

FtpTestServer::FtpTestServer(const wxString& root, Options options) : m_root(root) {
  hv::MakeFolders(root);
  m_log = root + ".log";
  std::vector<std::string> args = {"/usr/bin/python3", HV_TEST_SOURCE_DIR "/support/ftp_server.py",
                                   "--root", hv::ToFs(root), "--user", hv::ToUtf8(options.user),
                                   "--password", hv::ToUtf8(options.password), "--log", hv::ToFs(m_log)};
  if (!options.readonlyUser.empty()) {
    args.push_back("--readonly-user");
    args.push_back(hv::ToUtf8(options.readonlyUser));
  }
  if (options.rate > 0) {
    args.push_back("--rate");
    args.push_back(std::to_string(options.rate));
  }
  if (options.full) args.push_back("--full");
  if (options.fullReply) {
    args.push_back("--full-reply");
    args.push_back(std::to_string(options.fullReply));
  }
  if (!options.fullFlag.empty()) {
    args.push_back("--full-flag");
    args.push_back(hv::ToFs(options.fullFlag));
  }
  if (options.noRename) args.push_back("--no-rename");
  if (options.noMlsd) args.push_back("--no-mlsd");
  if (options.noMfmt) args.push_back("--no-mfmt");
  if (options.dosList) args.push_back("--dos-list");
  if (!options.refuseUser.empty()) {
    args.push_back("--refuse-user");
    args.push_back(hv::ToUtf8(options.refuseUser));
  }
  if (options.loginDelay > 0) {
    args.push_back("--login-delay");
    args.push_back(std::to_string(options.loginDelay));
  }
  if (options.fullAfter > 0) {
    args.push_back("--full-after");
    args.push_back(std::to_string(options.fullAfter));
  }
  if (options.mute) args.push_back("--mute");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe(fds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (m_pid > 0) m_port = ReadPort(fds[0]);
  close(fds[0]);
  EXPECT_GT(m_port, 0) << "the FTP test server did not start (python3-pyftpdlib installed?)";
}

FtpTestServer::~FtpTestServer() { Kill(); }

void FtpTestServer::Kill() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGKILL);
  int status = 0;
  waitpid(m_pid, &status, 0);
  m_pid = -1;
}

wxString FtpTestServer::Address() const { return wxString::Format("127.0.0.1:%d", m_port); }

std::vector<wxString> FtpTestServer::Stored() const {
  std::vector<wxString> stored;
  std::istringstream lines(ReadAll(m_log));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("STORED ", 0) == 0) stored.push_back(hv::FromUtf8(line.substr(7)));
    // A file sent under a temporary name counts under the name it was renamed to.
    const size_t tab = line.find('\t');
    if (line.rfind("RENAMED ", 0) == 0 && tab != std::string::npos) {
      const wxString from = hv::FromUtf8(line.substr(8, tab - 8)), to = hv::FromUtf8(line.substr(tab + 1));
      for (wxString& s : stored)
        if (s == from) s = to;
    }
  }
  return stored;
}

std::vector<wxString> FtpTestServer::Logins() const {
  std::vector<wxString> logins;
  std::istringstream lines(ReadAll(m_log));
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("LOGIN ", 0) == 0) logins.push_back(hv::FromUtf8(line.substr(6)));
  return logins;
}

}  // namespace hvtest
