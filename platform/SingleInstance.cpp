#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() { Release(); }

wxString SingleInstance::SocketPath(const wxString& name, const wxString& folder) {
  wxString safe = name;
  safe.Replace(" ", "_");
  const wxString inFolder = JoinPath(folder, "." + safe + ".sock");
  if (ToFs(inFolder).size() < sizeof(sockaddr_un::sun_path) - 1) return inFolder;
  // A long user folder does not fit a socket address: use the runtime folder instead.
  const char* rt = std::getenv("XDG_RUNTIME_DIR");
  wxString base = rt && *rt ? FromUtf8(rt) : wxString::Format("/tmp/halvora-%u", static_cast<unsigned>(getuid()));
  base = JoinPath(base, "halvora");
  MakeFolders(base);
  chmod(ToFs(base).c_str(), 0700);
  const size_t h = std::hash<std::string>{}(ToFs(folder));
  return JoinPath(base, wxString::Format("%s-%zx.sock", safe, h));
}

static void SendRaise(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    const char msg[] = "raise\n";
    [[maybe_unused]] ssize_t n = write(fd, msg, sizeof msg - 1);
  }
  close(fd);
}

bool SingleInstance::Acquire(const wxString& name, const wxString& folder) {
  wxString lockName = name;
  lockName.Replace(" ", "_");
  MakeFolders(folder);
  m_socketPath = ToFs(SocketPath(name, folder));
  const std::string lockPath = ToFs(JoinPath(folder, "." + lockName + ".lock"));
  m_lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (m_lockFd >= 0 && flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
    close(m_lockFd);
    m_lockFd = -1;
    SendRaise(m_socketPath);
    return false;
  }
  m_held = true;
  unlink(m_socketPath.c_str());
  m_listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, m_socketPath.c_str(), sizeof addr.sun_path - 1);
  if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(m_listenFd, 4) != 0) {
    // Without the socket a second start cannot raise us, but we still run alone.
    if (m_listenFd >= 0) close(m_listenFd);
    m_listenFd = -1;
    return true;
  }
  chmod(m_socketPath.c_str(), 0600);
  if (pipe2(m_wakeFd, O_CLOEXEC) != 0) m_wakeFd[0] = m_wakeFd[1] = -1;
  m_stop = false;
  m_thread = std::thread([this] { Listen(); });
  return true;
}

void SingleInstance::SetRaiseHandler(std::function<void()> handler) { m_raise = std::move(handler); }

void SingleInstance::Listen() {
  while (!m_stop) {
    pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakeFd[0], POLLIN, 0}};
    const int n = poll(fds, m_wakeFd[0] >= 0 ? 2 : 1, 500);
    if (n <= 0 || m_stop) continue;
    if (!(fds[0].revents & POLLIN)) continue;
    const int c = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) continue;
    char buf[16] = {};
    pollfd in{c, POLLIN, 0};
    if (poll(&in, 1, 1000) > 0 && read(c, buf, sizeof buf - 1) > 0 && std::strncmp(buf, "raise", 5) == 0 && m_raise)
      m_raise();
    close(c);
  }
}

void SingleInstance::Release() {
  if (m_thread.joinable()) {
    m_stop = true;
    if (m_wakeFd[1] >= 0) [[maybe_unused]] ssize_t n = write(m_wakeFd[1], "x", 1);
    m_thread.join();
  }
  for (int& fd : m_wakeFd) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  if (m_listenFd >= 0) {
    close(m_listenFd);
    m_listenFd = -1;
    unlink(m_socketPath.c_str());
  }
  if (m_lockFd >= 0) {
    close(m_lockFd);
    m_lockFd = -1;
  }
  m_held = false;
}

}  // namespace hv
