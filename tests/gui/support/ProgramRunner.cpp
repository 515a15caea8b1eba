#include "tests/gui/support/ProgramRunner.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

extern char** environ;

namespace hvtest {

ProgramRunner::ProgramRunner(const std::string& program, const std::string& home) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "HALVORA_HOME=", 13) != 0) env.emplace_back(*e);
  env.push_back("HALVORA_HOME=" + home);
  std::vector<char*> envp;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string prog = program;
  char* argv[] = {prog.data(), nullptr};
  if (posix_spawn(&m_pid, prog.c_str(), nullptr, nullptr, argv, envp.data()) != 0) m_pid = -1;
}

ProgramRunner::~ProgramRunner() {
  if (m_pid > 0 && !m_reaped) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &m_status, 0);
  }
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
