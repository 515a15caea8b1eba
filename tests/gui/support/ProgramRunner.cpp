#include "tests/gui/support/ProgramRunner.h"

#include "platform/Codec.h"
#include "tests/support/TestEnv.h"

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

namespace {

struct Frame {
  std::string id;
  int x = -1, y = -1, w = 0, h = 0;
};

// The mapped top-level windows named exactly `title` (any window for an empty title),
// topmost first.
std::vector<Frame> FramesNamed(const std::string& title) {
  std::vector<Frame> out;
  FILE* p = popen("xwininfo -root -children 2>/dev/null", "r");
  if (!p) return out;
  std::vector<std::string> ids;
  char line[4096];
  const std::string quoted = "\"" + title + "\"";
  while (fgets(line, sizeof line, p)) {
    const char* first = line + std::strspn(line, " ");
    const bool isWindow = std::strncmp(first, "0x", 2) == 0;
    if (isWindow && (title.empty() || std::strstr(line, (" " + quoted + ":").c_str()))) {
      char id[64] = {0};
      if (std::sscanf(line, " %63s", id) == 1) ids.emplace_back(id);
    }
  }
  pclose(p);
  // xwininfo lists children bottom first.
  for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
    FILE* q = popen(("xwininfo -id " + *it + " 2>/dev/null").c_str(), "r");
    if (!q) continue;
    Frame f;
    f.id = *it;
    bool viewable = false;
    while (fgets(line, sizeof line, q)) {
      std::sscanf(line, " Absolute upper-left X: %d", &f.x);
      std::sscanf(line, " Absolute upper-left Y: %d", &f.y);
      std::sscanf(line, " Width: %d", &f.w);
      std::sscanf(line, " Height: %d", &f.h);
      viewable = viewable || std::strstr(line, "IsViewable");
    }
    pclose(q);
    if (viewable && f.w > 1 && f.h > 1) out.push_back(f);
  }
  return out;
}

}  // namespace

int WindowCount(const std::string& title) { return static_cast<int>(FramesNamed(title).size()); }
int ShownWindowCount() { return WindowCount(std::string()); }

bool PressKeyInWindow(const std::string& title, int wxKeyCode, int modifiers, int index) {
  // The pointer goes to the window's middle so that the key reaches it even without a
  // window manager giving it the focus.
  const std::vector<Frame> frames = FramesNamed(title);
  if (index < 0 || index >= static_cast<int>(frames.size())) return false;
  const Frame& f = frames[static_cast<size_t>(index)];
  wxUIActionSimulator sim;
  sim.MouseMove(f.x + f.w / 2, f.y + f.h / 2);
  return sim.Char(wxKeyCode, modifiers);
}

std::string SeedCurrentProject(TempHome& home, const std::string& name, const std::string& settings) {
  const wxString folder = home.Sub(wxString::FromUTF8("Projects/" + name));
  WriteAll(folder + "/PROJECT.SET", settings);
  const std::string path = hv::ToUtf8(folder);
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"" + name + "\"\n\"PROJECTPATH\"=\"" + path +
                           "\"\n");
  return path;
}

}  // namespace hvtest
