#include "framework/ProcessList.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/Paths.h"

namespace {

// Last component after '/' or '\', without a final ".exe", lower case.
wxString Comparable(const wxString& name) {
  const size_t sep = name.find_last_of(wxS("/\\"));
  wxString base = sep == wxString::npos ? name : name.Mid(sep + 1);
  base.MakeLower();
  if (base.length() > 4 && base.EndsWith(".exe")) base.RemoveLast(4);
  return base;
}

std::string ReadSmallFile(const std::string& path) {
  std::string out;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return out;
  char buf[4096];
  const ssize_t n = read(fd, buf, sizeof buf);
  if (n > 0) out.assign(buf, static_cast<size_t>(n));
  close(fd);
  return out;
}

std::string ExeLink(const std::string& dir) {
  char buf[4096];
  const ssize_t n = readlink((dir + "/exe").c_str(), buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  std::string target(buf, static_cast<size_t>(n));
  static const std::string deleted = " (deleted)";
  if (target.size() > deleted.size() && target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0)
    target.resize(target.size() - deleted.size());
  return target;
}

}  // namespace

BOOL IsProcessRunning(const wxString& fileName) {
  const wxString wanted = Comparable(fileName);
  if (wanted.empty()) return FALSE;
  DIR* proc = opendir("/proc");
  if (!proc) return FALSE;
  bool found = false;
  while (!found) {
    const dirent* e = readdir(proc);
    if (!e) break;
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    const std::string dir = std::string("/proc/") + e->d_name;
    // The link is readable only for our own processes; the arguments for all.
    const std::string exe = ExeLink(dir);
    if (!exe.empty() && Comparable(hv::FromFs(exe)) == wanted) found = true;
    if (!found) {
      const std::string cmdline = ReadSmallFile(dir + "/cmdline");
      const std::string argv0 = cmdline.substr(0, std::strlen(cmdline.c_str()));
      if (!argv0.empty() && Comparable(hv::FromFs(argv0)) == wanted) found = true;
    }
  }
  closedir(proc);
  return found ? TRUE : FALSE;
}
