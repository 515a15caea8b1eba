#include "platform/DocumentsFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string FromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string file = (config && *config ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
  std::string bytes;
  if (!ReadFileBytes(FromFs(file), bytes)) return std::string();
  return DocumentsFromUserDirs(bytes, home);
}

}  // namespace

std::string DocumentsFromUserDirs(const std::string& bytes, const std::string& home) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (value.empty() || value[0] != '/') return std::string();
    return value;
  }
  return std::string();
}

wxString DocumentsFolder() {
  const std::string home = HomeFolder();
  const std::string listed = FromUserDirs(home);
  if (!listed.empty()) return StripOneTrailingSeparator(FromFs(listed));
  const wxString documents = JoinPath(FromFs(home), "Documents");
  if (IsFolder(documents)) return ResolvePath(documents);
  return StripOneTrailingSeparator(FromFs(home));
}

}  // namespace hv
