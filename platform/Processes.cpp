#include "platform/Processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/Paths.h"

extern char** environ;

namespace hv {

int SpawnProcess(const wxString& program, const std::vector<wxString>& args, const wxString& folder,
                 SpawnDetach detach, pid_t& pid) {
  std::vector<std::string> storage;
  storage.reserve(args.size() + 1);
  storage.push_back(ToFs(program));
  for (size_t i = 1; i < args.size(); ++i) storage.push_back(ToFs(args[i]));
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  int rc = 0;
  if (!folder.empty()) rc = posix_spawn_file_actions_addchdir_np(&actions, ToFs(folder).c_str());
  // No descriptor of ours goes to the child.
  if (rc == 0) rc = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (detach == SpawnDetach::NewSession) {
    flags |= POSIX_SPAWN_SETSID;
  } else {
    posix_spawnattr_setpgroup(&attr, 0);
    flags |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawnattr_setflags(&attr, flags);
  if (rc == 0) rc = posix_spawn(&pid, storage[0].c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return rc;
}

std::string ReadProcFile(const std::string& path, std::size_t limit) {
  std::string out;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return out;
  char buf[4096];
  while (out.size() < limit) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return out;
}

DWORD FindProcess(const std::function<bool(DWORD pid)>& visit) {
  DIR* proc = ::opendir("/proc");
  if (!proc) return 0;
  DWORD found = 0;
  while (!found) {
    const dirent* e = ::readdir(proc);
    if (!e) break;
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    const DWORD pid = static_cast<DWORD>(std::strtoul(e->d_name, nullptr, 10));
    if (visit(pid)) found = pid;
  }
  ::closedir(proc);
  return found;
}

std::vector<std::string> ProcessArguments(DWORD pid) {
  const std::string cmdline = ReadProcFile("/proc/" + std::to_string(pid) + "/cmdline", 1 << 16);
  std::vector<std::string> argv;
  for (std::size_t pos = 0; pos < cmdline.size();) {
    const std::size_t end = cmdline.find('\0', pos);
    const std::size_t stop = end == std::string::npos ? cmdline.size() : end;
    argv.push_back(cmdline.substr(pos, stop - pos));
    pos = stop + 1;
  }
  return argv;
}

std::string ProcessExecutable(DWORD pid) {
  char buf[4096];
  const ssize_t n = ::readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  std::string target(buf, static_cast<size_t>(n));
  static const std::string deleted = " (deleted)";
  if (target.size() > deleted.size() && target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0)
    target.resize(target.size() - deleted.size());
  return target;
}

wxString ComparableProgramName(const wxString& name) {
  const size_t sep = name.find_last_of(wxS("/\\"));
  wxString base = sep == wxString::npos ? name : name.Mid(sep + 1);
  base.MakeLower();
  if (base.length() > 4 && base.EndsWith(".exe")) base.RemoveLast(4);
  return base;
}

}  // namespace hv
