#pragma once
// Runs a helper program to its end on a worker thread, with a time limit and a cancel
// check. A child that overstays or is cancelled is asked to end (SIGTERM to its process
// group, so that programs it started go too) and killed 2 s later (SIGKILL).
#include <functional>
#include <vector>
#include <wx/string.h>

enum class ChildEnd {
  Exited,        // ended by itself; status holds its exit code (128 + signal when killed)
  StartFailed,   // not started; error holds the errno value
  TimedOut,      // killed after the time limit
  Cancelled,     // killed because cancel was asked
};

struct ChildOutcome {
  ChildEnd end = ChildEnd::StartFailed;
  int status = -1;
  int error = 0;
};

struct ChildLimits {
  int timeoutMs = 30000;   // negative: no limit
  int killGraceMs = 2000;  // between SIGTERM and SIGKILL
  int pollMs = 20;
};

// args[0] is found as the launcher finds programs (a path, or a name in PATH).
ChildOutcome RunChildProcess(const std::vector<wxString>& args, const ChildLimits& limits,
                             const std::function<bool()>& cancelled);
