#include "platform/ToolService.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Processes.h"

namespace hv {
namespace {

// The start time of a live process (clock ticks since boot); 0 when it is gone or a
// zombie.
unsigned long long StartTime(DWORD pid) {
  const std::string stat = ReadProcFile("/proc/" + std::to_string(pid) + "/stat", 4096);
  // The command name in parentheses may hold blanks and parentheses itself.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::size_t pos = close + 1;
  for (int field = 3; field <= 22; ++field) {
    while (pos < stat.size() && stat[pos] == ' ') ++pos;
    const std::size_t end = stat.find(' ', pos);
    const std::string value = stat.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (field == 3 && (value == "Z" || value == "X" || value == "x")) return 0;
    if (field == 22) return std::strtoull(value.c_str(), nullptr, 10);
    if (end == std::string::npos) return 0;
    pos = end;
  }
  return 0;
}

bool HoldsRun(const std::vector<wxString>& argv, const std::vector<wxString>& run) {
  if (run.empty()) return true;
  if (argv.size() < run.size() + 1) return false;
  for (std::size_t i = 1; i + run.size() <= argv.size(); ++i) {
    bool all = true;
    for (std::size_t k = 0; all && k < run.size(); ++k) all = argv[i + k] == run[k];
    if (all) return true;
  }
  return false;
}

bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    return r > 0 && (p.revents & events) != 0;
  }
}

}  // namespace

ToolService& ToolService::Get() {
  static ToolService service;
  return service;
}

void ToolService::Record(DWORD pid, const wxString& windowClass, const wxString& title) {
  const unsigned long long start = StartTime(pid);
  if (pid == 0 || start == 0) return;
  std::lock_guard lock(m_mutex);
  std::erase_if(m_entries, [pid](const Entry& e) { return e.pid == pid; });
  m_entries.push_back(Entry{pid, start, windowClass, title});
}

bool ToolService::IsRecordedAlive(DWORD pid) {
  std::lock_guard lock(m_mutex);
  for (const Entry& e : m_entries)
    if (e.pid == pid) return StartTime(pid) == e.startTime;
  return false;
}

DWORD ToolService::FindWindow(const ToolWindowQuery& query) {
  {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [](const Entry& e) { return StartTime(e.pid) != e.startTime; });
    for (const Entry& e : m_entries)
      if ((query.windowClass.empty() || e.windowClass == query.windowClass) &&
          (query.title.empty() || e.title == query.title))
        return e.pid;
  }
  if (query.program.empty()) return 0;
  return FindToolProcess(query.program, query.arguments);
}

wxString ToolService::SocketPath(DWORD pid) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return wxString();
  return JoinPath(JoinPath(FromFs(runtime), wxS("halvora")), wxString::Format(wxS("%u.sock"), static_cast<unsigned>(pid)));
}

bool ToolService::Send(DWORD pid, const wxString& line, int timeoutMs) {
  if (line.find('\n') != wxString::npos) return false;
  const std::string path = ToFs(SocketPath(pid));
  sockaddr_un addr{};
  if (path.empty() || path.size() >= sizeof addr.sun_path) return false;
  // Only a socket of our own user: the folder is the user's, but a socket planted by
  // someone else must not receive anything.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::getuid()) return false;

  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 1);
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
  if (!ok && (errno == EINPROGRESS || errno == EAGAIN) && WaitFor(fd, POLLOUT, deadline)) {
    int error = 0;
    socklen_t len = sizeof error;
    ok = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
  }
  const std::string bytes = ToUtf8(line) + "\n";
  std::size_t sent = 0;
  while (ok && sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      ok = WaitFor(fd, POLLOUT, deadline);
    } else {
      ok = false;
    }
  }
  ::close(fd);
  return ok;
}

bool ToolService::PostMessage(DWORD pid, UINT message, std::uint64_t wParam, std::int64_t lParam) {
  return Send(pid, wxString::Format(wxS("MSG %u %llu %lld"), message, static_cast<unsigned long long>(wParam),
                                    static_cast<long long>(lParam)));
}

DWORD FindToolProcess(const wxString& program, const std::vector<wxString>& arguments) {
  const wxString wanted = ComparableProgramName(program);
  if (wanted.empty()) return 0;
  return FindProcess([&](DWORD pid) {
    std::vector<wxString> argv;
    for (const std::string& arg : ProcessArguments(pid)) argv.push_back(FromUtf8(arg));
    return !argv.empty() && ComparableProgramName(argv[0]) == wanted && HoldsRun(argv, arguments);
  });
}

}  // namespace hv
