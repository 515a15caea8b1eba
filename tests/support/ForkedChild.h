#pragma once
// Runs part of a test in a forked child process: a second program on the same files,
// or one that is killed midway. The child's exit code comes back; a child that fails
// a gtest check exits with 1.
#include <functional>
#include <sys/types.h>

namespace hvtest {

// Starts `body` in a child; its return value is the exit code. Cached tables are
// dropped first so that parent and child never share an open file.
pid_t StartChild(const std::function<int()>& body);
// Waits for the child: its exit code, 128 + signal when killed, -1 after the time
// limit (the child is killed then).
int WaitChild(pid_t pid, int timeoutMs = 60000);
inline int RunChild(const std::function<int()>& body, int timeoutMs = 60000) {
  return WaitChild(StartChild(body), timeoutMs);
}

}  // namespace hvtest

namespace hvtest {

// In a child: file permissions apply even to root from here on (CI runs as root), so
// a read-only file or folder is read-only for the child.
void DropFileRights();

}  // namespace hvtest
