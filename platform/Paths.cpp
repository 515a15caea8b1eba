#include "platform/Paths.h"

#include "platform/FileSteps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Codec.h"

#include <wx/arrstr.h>

namespace hv {

std::string ToFs(const wxString& path) { return ToUtf8(path); }
wxString FromFs(const std::string& path) { return FromUtf8(path); }

wxString NormalizePath(const wxString& path) {
  wxString out;
  out.reserve(path.length());
  wxUniChar prev = 0;
  for (wxString::const_iterator it = path.begin(); it != path.end(); ++it) {
    wxUniChar c = *it;
    if (c == '\\') c = '/';
    if (c == '/' && prev == '/') continue;
    out.append(1, c);
    prev = c;
  }
  return out;
}

wxString JoinPath(const wxString& a, const wxString& b) {
  if (a.empty()) return NormalizePath(b);
  if (b.empty()) return NormalizePath(a);
  return NormalizePath(a + "/" + b);
}

wxString StripOneTrailingSeparator(const wxString& path) {
  if (path.length() > 1 && (path.Last() == '/' || path.Last() == '\\'))
    return path.Left(path.length() - 1);
  return path;
}

static size_t LastSeparator(const wxString& path) {
  const size_t s = path.find_last_of(wxS("/\\"));
  return s;
}

wxString PathFolder(const wxString& path) {
  const size_t s = LastSeparator(path);
  if (s == wxString::npos) return wxString();
  if (s == 0) return path.Left(1);
  return path.Left(s);
}

wxString PathName(const wxString& path) {
  const size_t s = LastSeparator(path);
  return s == wxString::npos ? path : path.Mid(s + 1);
}

wxString PathStem(const wxString& path) {
  const wxString name = PathName(path);
  const size_t dot = name.find_last_of('.');
  return dot == wxString::npos || dot == 0 ? name : name.Left(dot);
}

wxString PathExtension(const wxString& path) {
  const wxString name = PathName(path);
  const size_t dot = name.find_last_of('.');
  return dot == wxString::npos || dot == 0 ? wxString() : name.Mid(dot + 1);
}

std::vector<wxString> ListFolder(const wxString& folder) {
  std::vector<wxString> names;
  DIR* d = opendir(ToFs(folder.empty() ? wxString(".") : folder).c_str());
  if (!d) return names;
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    // A name that is not UTF-8 has no text here; an empty one would name the folder itself.
    wxString name = FromFs(e->d_name);
    if (!name.empty()) names.push_back(std::move(name));
  }
  closedir(d);
  std::sort(names.begin(), names.end(), NameOrder);
  return names;
}

bool NameOrder(const wxString& x, const wxString& y) {
  const int c = x.CmpNoCase(y);
  return c != 0 ? c < 0 : x < y;
}

unsigned ListedKind(unsigned char type, const std::string& path) {
  switch (type) {
    case DT_REG: return S_IFREG;
    case DT_DIR: return S_IFDIR;
    case DT_UNKNOWN: break;
    default: return S_IFLNK;
  }
  struct stat st;
  return lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

std::vector<std::string> UnreadableNames(const wxString& folder) {
  std::vector<std::string> names;
  DIR* d = opendir(ToFs(folder.empty() ? wxString(".") : folder).c_str());
  if (!d) return names;
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '\0' && FromFs(e->d_name).empty()) names.emplace_back(e->d_name);
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

static bool Exists(const wxString& path) {
  struct stat st;
  return lstat(ToFs(path).c_str(), &st) == 0;
}

wxString ResolvePath(const wxString& input) {
  const wxString path = NormalizePath(input);
  if (path.empty()) return path;
  if (Exists(path)) return path;
  const bool absolute = path[0] == '/';
  wxString done = absolute ? wxString("/") : wxString();
  wxString rest = absolute ? path.Mid(1) : path;
  bool missing = false;
  while (!rest.empty()) {
    const size_t s = rest.find('/');
    const wxString part = s == wxString::npos ? rest : rest.Left(s);
    rest = s == wxString::npos ? wxString() : rest.Mid(s + 1);
    wxString chosen = part;
    if (!missing && part != "." && part != "..") {
      const wxString exact = done.empty() ? part : (done.Last() == '/' ? done + part : done + "/" + part);
      if (!Exists(exact)) {
        bool found = false;
        for (const wxString& name : ListFolder(done.empty() ? wxString(".") : done)) {
          if (name.CmpNoCase(part) == 0) {
            chosen = name;
            found = true;
            break;
          }
        }
        if (!found) missing = true;
      }
    }
    if (done.empty()) done = chosen;
    else if (done.Last() == '/') done += chosen;
    else done += "/" + chosen;
    if (rest.empty() && s != wxString::npos) done += "/";
  }
  return done;
}

static bool StatResolved(const wxString& path, struct stat& st) {
  return stat(ToFs(ResolvePath(path)).c_str(), &st) == 0;
}

bool PathExists(const wxString& path) {
  struct stat st;
  return !path.empty() && StatResolved(path, st);
}

bool IsFile(const wxString& path) {
  struct stat st;
  return !path.empty() && StatResolved(path, st) && S_ISREG(st.st_mode);
}

bool IsFolder(const wxString& path) {
  struct stat st;
  return !path.empty() && StatResolved(path, st) && S_ISDIR(st.st_mode);
}

bool ReadFileBytes(const wxString& path, std::string& bytes) {
  bytes.clear();
  const int fd = open(ToFs(ResolvePath(path)).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

bool WriteFileAtomic(const wxString& path, std::string_view bytes, wxString* error) {
  const wxString target = ResolvePath(path);
  const wxString folder = PathFolder(target);
  std::string tmpl = ToFs(JoinPath(folder.empty() ? wxString(".") : folder, "." + PathName(target) + ".XXXXXX"));
  auto fail = [&](const char* what, const std::string& tmp) {
    if (error) *error = wxString::Format("%s: %s", what, FromUtf8(std::strerror(errno)));
    if (!tmp.empty()) unlink(tmp.c_str());
    return false;
  };
  FileStep();
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) return fail("create", std::string());
  // Keep the old file's permissions where there is one; mkstemp's 0600 would
  // otherwise survive the rename.
  struct stat st;
  if (stat(ToFs(target).c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);
  else fchmod(fd, NewFileMode());
  size_t done = 0;
  while (done < bytes.size()) {
    FileStep();
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return fail("write", tmpl);
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) {
    close(fd);
    return fail("flush", tmpl);
  }
  if (close(fd) != 0) return fail("close", tmpl);
  FileStep();
  if (rename(tmpl.c_str(), ToFs(target).c_str()) != 0) return fail("rename", tmpl);
  return true;
}

namespace {

// Read from /proc: umask() itself can only be read by changing it, which races with
// other threads creating files.
unsigned ProcessUmask() {
  mode_t mask = 022;
  bool known = false;
  if (FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      unsigned value = 0;
      if (std::sscanf(line, "Umask: %o", &value) == 1) {
        mask = static_cast<mode_t>(value);
        known = true;
        break;
      }
    }
    std::fclose(f);
  }
  if (!known) {
    mask = umask(022);
    umask(mask);
  }
  return static_cast<unsigned>(mask);
}

}  // namespace

unsigned NewFileMode() { return 0666u & ~ProcessUmask(); }

unsigned NewFolderMode() { return 0777u & ~ProcessUmask(); }

bool MakeFolders(const wxString& input) {
  if (input.empty()) return false;
  const wxString path = ResolvePath(input);
  if (IsFolder(path)) return true;
  wxString done = path.StartsWith("/") ? wxString("/") : wxString();
  for (const wxString& part : wxSplit(path, '/', '\0')) {
    if (part.empty()) continue;
    done = done.empty() ? part : JoinPath(done, part);
    if (mkdir(ToFs(done).c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

bool CopyFileDescriptor(int in, int out) {
  char buf[65536];
  for (;;) {
    const ssize_t n = read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    ssize_t done = 0;
    while (done < n) {
      const ssize_t w = write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return false;
      done += w;
    }
  }
}

static bool MatchFrom(const wxString& m, size_t mi, const wxString& n, size_t ni) {
  while (mi < m.length()) {
    const wxUniChar c = m[mi];
    if (c == '*') {
      while (mi < m.length() && m[mi] == '*') ++mi;
      if (mi == m.length()) return true;
      for (size_t k = ni; k <= n.length(); ++k)
        if (MatchFrom(m, mi, n, k)) return true;
      return false;
    }
    if (ni >= n.length()) return false;
    if (c != '?' && wxString(c).CmpNoCase(wxString(n[ni])) != 0) return false;
    ++mi;
    ++ni;
  }
  return ni == n.length();
}

bool MatchWildcard(const wxString& mask, const wxString& name) {
  if (mask == "*.*" || mask == "*") return true;
  if (mask == "*.") return name.find('.') == wxString::npos;
  // "*.ext" also matches "name.ext" only; a trailing ".*" matches a name without a dot too.
  if (mask.EndsWith(".*") && MatchFrom(mask.Left(mask.length() - 2), 0, name, 0)) return true;
  return MatchFrom(mask, 0, name, 0);
}

}  // namespace hv
