#include "tests/support/ToolStandIns.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "framework/Launcher.h"
#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hvtest {

PrivateRuntimeDir::PrivateRuntimeDir() {
  if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
    m_old = old;
    m_hadOld = true;
  }
  setenv("XDG_RUNTIME_DIR", hv::ToFs(m_dir.Path()).c_str(), 1);
}

PrivateRuntimeDir::~PrivateRuntimeDir() {
  if (m_hadOld) setenv("XDG_RUNTIME_DIR", m_old.c_str(), 1);
  else unsetenv("XDG_RUNTIME_DIR");
}

wxString ChildProgram(const char* name) { return hv::FromUtf8(std::string(HV_TEST_BINARY_DIR) + "/children/" + name); }

DesignerLog::DesignerLog() {
  static int count = 0;
  setenv("HV_DESIGNER_OUT", hv::ToFs(m_dir.Path()).c_str(), 1);
  m_program = m_dir.Sub(wxString::Format(wxS("designer-%d-%d"), static_cast<int>(::getpid()), ++count));
  std::error_code ec;
  std::filesystem::copy_file(hv::ToFs(ChildProgram("screen_designer")), hv::ToFs(m_program), ec);
  EXPECT_FALSE(ec) << ec.message();
}

DesignerLog::~DesignerLog() {
  EndAll();
  unsetenv("HV_DESIGNER_OUT");
}

namespace {

template <class F>
auto Poll(int timeoutMs, F read, std::size_t count) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  auto result = read();
  while (result.size() < count && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    result = read();
  }
  return result;
}

}  // namespace

std::vector<DesignerLog::Start> DesignerLog::Starts(std::size_t count, int timeoutMs) const {
  return Poll(
      timeoutMs,
      [this] {
        std::vector<Start> starts;
        for (const wxString& name : hv::ListFolder(m_dir.Path())) {
          if (!name.EndsWith(wxS(".args"))) continue;
          Start s;
          s.pid = static_cast<DWORD>(std::strtoul(hv::ToUtf8(name).c_str(), nullptr, 10));
          std::ifstream in(hv::ToFs(m_dir.Sub(name)));
          std::string line;
          std::getline(in, s.cwd);
          std::getline(in, line);
          const int argc = std::atoi(line.c_str());
          for (int i = 0; i < argc && std::getline(in, line); ++i) s.args.push_back(line);
          starts.push_back(s);
        }
        return starts;
      },
      count);
}

std::vector<std::string> DesignerLog::Lines(DWORD pid, std::size_t count, int timeoutMs) const {
  const wxString file = m_dir.Sub(wxString::Format(wxS("%u.lines"), static_cast<unsigned>(pid)));
  return Poll(
      timeoutMs,
      [&file] {
        std::vector<std::string> lines;
        std::ifstream in(hv::ToFs(file));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
      },
      count);
}

void DesignerLog::EndAll() {
  for (const Start& s : Starts(0, 0)) {
    if (!IsLaunchedProcessRunning(s.pid)) continue;
    ::kill(static_cast<pid_t>(s.pid), SIGTERM);
    WaitForLaunchedProcess(s.pid, 5000);
  }
}

}  // namespace hvtest
