#include "tests/support/ForkedChild.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/dbase/Table.h"

namespace hvtest {

pid_t StartChild(const std::function<int()>& body) {
  hv::db::DropCachedTables();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  int code = 3;
  const bool failedBefore = ::testing::Test::HasFailure();
  try {
    hv::db::DropCachedTables();
    code = body();
    if (!failedBefore && ::testing::Test::HasFailure() && code == 0) code = 1;
  } catch (...) {
    code = 4;
  }
  _exit(code);
}

int WaitChild(pid_t pid, int timeoutMs) {
  if (pid < 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  for (int pause = 1;; pause = std::min(pause * 2, 20)) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) return -1;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace hvtest

#include <linux/capability.h>
#include <sys/syscall.h>

namespace hvtest {

void DropFileRights() {
  if (geteuid() != 0) return;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (syscall(SYS_capget, &header, data) != 0) return;
  for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[cap / 32].effective &= ~(1u << (cap % 32));
  syscall(SYS_capset, &header, data);
}

}  // namespace hvtest
