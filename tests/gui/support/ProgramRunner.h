#pragma once
// Starts the real program as a child process on this test's display.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace hvtest {

class ProgramRunner {
 public:
  // Starts `program` with HALVORA_HOME set to `home`, the arguments, and the
  // environment's DISPLAY unless `withDisplay` is false. Its standard output and error
  // go to files, read with Output() and Errors().
  ProgramRunner(const std::string& program, const std::string& home, const std::vector<std::string>& args = {},
                bool withDisplay = true);
  ~ProgramRunner();

  std::string Output() const;
  std::string Errors() const;

  pid_t Pid() const { return m_pid; }
  bool Running();
  // Waits for the exit; -1 on time-out (the child is then killed).
  int WaitExit(std::chrono::milliseconds limit);
  void Terminate();   // SIGTERM: closes the main window as the close box would

 private:
  pid_t m_pid = -1;
  int m_status = -1;
  bool m_reaped = false;
  std::string m_outFile, m_errFile;
};

// True when a top-level window whose name starts with `title` is on the display.
bool WindowExists(const std::string& title);
// How many top-level windows are named exactly `title`.
int WindowCount(const std::string& title);
// How many top-level windows are shown, named or not (menus included).
int ShownWindowCount();
// Moves the pointer into the window named `title` (the `index`-th of that name, in
// stacking order from the top) and presses the key there, as a user would.
bool PressKeyInWindow(const std::string& title, int wxKeyCode, int modifiers = 0, int index = 0);
// Polls `pred` until true or the limit passes.
template <class Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    struct timespec ts {0, 50 * 1000 * 1000};
    nanosleep(&ts, nullptr);
  }
  return pred();
}

class TempHome;
// A project folder "Projects/<name>" with "PROJECT.SET" (`settings` its text) that the
// registry names as the graph tool's current project, so that start-up lists it and
// asks nothing. Returns the folder.
std::string SeedCurrentProject(TempHome& home, const std::string& name, const std::string& settings = "[Config]\r\n");

}  // namespace hvtest
