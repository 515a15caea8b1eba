#include "tests/gui/support/ProgramRunner.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <wx/uiaction.h>

extern char** environ;

namespace hvtest {

ProgramRunner::ProgramRunner(const std::string& program, const std::string& home, const std::vector<std::string>& args,
                             bool withDisplay) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "HALVORA_HOME=", 13) == 0) continue;
    if (!withDisplay && (std::strncmp(*e, "DISPLAY=", 8) == 0 || std::strncmp(*e, "WAYLAND_DISPLAY=", 16) == 0))
      continue;
    env.emplace_back(*e);
  }
  env.push_back("HALVORA_HOME=" + home);
  std::vector<char*> envp;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  // Output files beside the home folder, not in it: a test may check that the program
  // wrote nothing there.
  static int serial = 0;
  const std::string base = "/tmp/hv-run-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  m_outFile = base + ".out";
  m_errFile = base + ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, m_outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, m_errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
}

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}
}  // namespace

std::string ProgramRunner::Output() const { return Slurp(m_outFile); }
std::string ProgramRunner::Errors() const { return Slurp(m_errFile); }

ProgramRunner::~ProgramRunner() {
  if (m_pid > 0 && !m_reaped) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &m_status, 0);
  }
  std::remove(m_outFile.c_str());
  std::remove(m_errFile.c_str());
}

bool ProgramRunner::Running() {
  if (m_pid <= 0 || m_reaped) return false;
  const pid_t r = waitpid(m_pid, &m_status, WNOHANG);
  if (r == m_pid) m_reaped = true;
  return !m_reaped;
}

int ProgramRunner::WaitExit(std::chrono::milliseconds limit) {
  if (m_pid <= 0) return -1;
  if (!WaitFor([this] { return !Running(); }, limit)) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &m_status, 0);
    m_reaped = true;
    return -1;
  }
  return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : 128 + WTERMSIG(m_status);
}

void ProgramRunner::Terminate() {
  if (m_pid > 0 && !m_reaped) kill(m_pid, SIGTERM);
}

bool WindowExists(const std::string& title) {
  FILE* p = popen("xwininfo -root -tree 2>/dev/null", "r");
  if (!p) return false;
  char line[4096];
  bool found = false;
  while (fgets(line, sizeof line, p))
    if (std::strstr(line, ("\"" + title).c_str())) found = true;
  pclose(p);
  return found;
}

}  // namespace hvtest

namespace hvtest {

bool PressKeyInWindow(const std::string& title, int wxKeyCode) {
  // xwininfo gives the window's place on the screen; the pointer goes to its middle so
  // that the key reaches it even without a window manager giving it the focus.
  FILE* p = popen(("xwininfo -name '" + title + "' 2>/dev/null").c_str(), "r");
  if (!p) return false;
  int x = -1, y = -1, w = 0, h = 0;
  char line[512];
  while (fgets(line, sizeof line, p)) {
    std::sscanf(line, " Absolute upper-left X: %d", &x);
    std::sscanf(line, " Absolute upper-left Y: %d", &y);
    std::sscanf(line, " Width: %d", &w);
    std::sscanf(line, " Height: %d", &h);
  }
  pclose(p);
  if (x < 0 || y < 0 || w <= 0 || h <= 0) return false;
  wxUIActionSimulator sim;
  sim.MouseMove(x + w / 2, y + h / 2);
  return sim.Char(wxKeyCode);
}

}  // namespace hvtest
