#include "model/ChildProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "framework/Launcher.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Processes.h"

namespace {

using Clock = std::chrono::steady_clock;

int StatusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

// Reaps the child when it has ended; true then.
bool Reaped(pid_t pid, int& raw) {
  for (;;) {
    const pid_t r = waitpid(pid, &raw, WNOHANG);
    if (r == pid) return true;
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {   // not ours any more (reaped elsewhere): count it as ended
      raw = 0;
      return true;
    }
    return false;
  }
}

void Stop(pid_t pid, const ChildLimits& limits, int& raw) {
  kill(-pid, SIGTERM);
  const auto killAt = Clock::now() + std::chrono::milliseconds(limits.killGraceMs);
  bool ended = Reaped(pid, raw);
  while (!ended && Clock::now() < killAt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(limits.pollMs));
    ended = Reaped(pid, raw);
  }
  // The whole group: a script's own children may outlive it.
  kill(-pid, SIGKILL);
  while (!ended) {
    const pid_t r = waitpid(pid, &raw, 0);
    ended = r == pid || (r < 0 && errno != EINTR);
  }
}

}  // namespace

ChildOutcome RunChildProcess(const std::vector<wxString>& args, const ChildLimits& limits,
                             const std::function<bool()>& cancelled) {
  ChildOutcome out;
  if (args.empty()) {
    out.error = EINVAL;
    return out;
  }
  const wxString program = FindProgram(args[0]);
  if (program.empty()) {
    out.error = ENOENT;
    return out;
  }
  // Its own process group, so that stopping it reaches what it started.
  pid_t pid = 0;
  const int rc = hv::SpawnProcess(program, args, wxString(), hv::SpawnDetach::NewGroup, pid);
  if (rc != 0) {
    out.error = rc;
    return out;
  }

  const auto deadline = Clock::now() + std::chrono::milliseconds(limits.timeoutMs < 0 ? 0 : limits.timeoutMs);
  int raw = 0;
  for (;;) {
    if (Reaped(pid, raw)) {
      out.end = ChildEnd::Exited;
      out.status = StatusOf(raw);
      return out;
    }
    if (cancelled && cancelled()) {
      Stop(pid, limits, raw);
      out.end = ChildEnd::Cancelled;
      out.status = StatusOf(raw);
      return out;
    }
    if (limits.timeoutMs >= 0 && Clock::now() >= deadline) {
      Stop(pid, limits, raw);
      out.end = ChildEnd::TimedOut;
      out.status = StatusOf(raw);
      return out;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(limits.pollMs));
  }
}
