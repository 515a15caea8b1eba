#include "platform/WorkClaims.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/Paths.h"

namespace hv {
namespace {

// What a program needs between making a temporary entry and claiming it.
constexpr time_t kClaimGraceSeconds = 60;

bool Lock(int fd, short type) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// Whether any process we can see has the file open (a writer that takes no claim).
bool OpenAnywhere(const std::string& file) {
  char* real = realpath(file.c_str(), nullptr);
  if (!real) return false;
  const std::string target = real;
  free(real);
  std::error_code ec;
  for (const auto& proc : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string pid = proc.path().filename().string();
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code fdEc;
    for (const auto& fd : std::filesystem::directory_iterator(proc.path() / "fd", fdEc)) {
      std::error_code linkEc;
      if (std::filesystem::read_symlink(fd.path(), linkEc).string() == target) return true;
    }
  }
  return false;
}

}  // namespace

WorkClaim& WorkClaim::operator=(WorkClaim&& other) noexcept {
  if (this != &other) {
    Release();
    m_fd = other.m_fd;
    m_own = other.m_own;
    other.m_fd = -1;
  }
  return *this;
}

bool WorkClaim::ClaimFolder(const wxString& folder) {
  return ClaimFile(JoinPath(folder, WorkOwnerFile()));
}

bool WorkClaim::ClaimFile(const wxString& file) {
  Release();
  const int fd = ::open(ToFs(file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  if (!Lock(fd, F_WRLCK)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_own = true;
  return true;
}

bool WorkClaim::ClaimDescriptor(int fd) {
  Release();
  if (fd < 0 || !Lock(fd, F_WRLCK)) return false;
  m_fd = fd;
  m_own = false;
  return true;
}

void WorkClaim::Release() {
  if (m_fd < 0) return;
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = F_UNLCK;
  fl.l_whence = SEEK_SET;
  fcntl(m_fd, F_OFD_SETLK, &fl);
  if (m_own) ::close(m_fd);
  m_fd = -1;
}

bool IsClaimed(const wxString& path) {
  struct stat st;
  if (lstat(ToFs(path).c_str(), &st) != 0) return false;
  const bool folder = S_ISDIR(st.st_mode);
  const wxString file = folder ? JoinPath(path, WorkOwnerFile()) : path;
  const int fd = ::open(ToFs(file).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return time(nullptr) - st.st_mtime < kClaimGraceSeconds;
  // A claim holds a write lock: a read lock cannot be had beside it.
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = F_RDLCK;
  fl.l_whence = SEEK_SET;
  const bool free = fcntl(fd, F_OFD_SETLK, &fl) == 0;
  ::close(fd);
  if (!free) return true;
  // A file no program holds open is written by none; a folder's owner file is
  // made with it, so an unlocked one was left by a program that ended.
  return !folder && OpenAnywhere(ToFs(file));
}

bool RemoveUnclaimed(const wxString& path) {
  if (IsClaimed(path)) return false;
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(ToFs(path)), ec);
  return !ec;
}

}  // namespace hv
