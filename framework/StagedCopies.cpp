#include "framework/StagedCopies.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"

namespace staging {

namespace {

struct Book {
  bool building = false;
  std::vector<wxString> pending;   // staged for the contents being built
  std::vector<wxString> current;   // behind the contents on the clipboard
};

Book& Books() {
  static Book book;
  return book;
}

void RemoveAll(std::vector<wxString>& paths) {
  for (const wxString& p : paths) {
    std::error_code ec;
    std::filesystem::remove_all(hv::ToFs(p), ec);   // a file, or a staged folder
  }
  paths.clear();
}

// Opens a regular file for reading without following a link; a pipe does not keep it
// waiting for a writer (reading a regular file ignores O_NONBLOCK).
int OpenSource(const std::string& path, struct stat& st) {
  const int in = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (in < 0) return -1;
  // What went wrong stays in errno for the caller.
  int why = 0;
  if (fstat(in, &st) != 0) why = errno;
  else if (S_ISDIR(st.st_mode)) why = EISDIR;
  else if (!S_ISREG(st.st_mode)) why = EINVAL;
  if (why != 0) {
    close(in);
    errno = why;
    return -1;
  }
  return in;
}

// Copies the open source into the open target, with the given mode and the source's
// modification time.
bool Fill(int in, const struct stat& st, int out, bool sync, mode_t mode, bool keepTime = true) {
  bool ok = hv::CopyFileDescriptor(in, out);
  ok = ok && fchmod(out, mode) == 0;
  // A file made from a template is new: it has the time it was made.
  const timespec now[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
  const timespec kept[2] = {st.st_atim, st.st_mtim};
  ok = ok && futimens(out, keepTime ? kept : now) == 0;
  if (ok && sync) ok = fsync(out) == 0;
  return ok;
}

std::string Canonical(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

}  // namespace

wxString StageCopy(const wxString& source) {
  struct stat st;
  const int in = OpenSource(hv::ToFs(source), st);
  if (in < 0) return wxString();
  std::string name = hv::ToFs(hv::JoinPath(hv::TempFolder(), "TAVXXXXXX.TMP"));
  const int out = mkstemps(name.data(), 4);
  if (out < 0) {
    close(in);
    return wxString();
  }
  // The copy is ours alone, whatever the source allowed.
  bool ok = Fill(in, st, out, false, 0600);
  ok = close(out) == 0 && ok;
  close(in);
  if (!ok) {
    unlink(name.c_str());
    return wxString();
  }
  const wxString staged = hv::FromFs(name);
  if (Books().building) Books().pending.push_back(staged);
  return staged;
}

bool IsStagedCopy(const wxString& path) {
  const std::string fs = hv::ToFs(path);
  const std::size_t slash = fs.rfind('/');
  if (slash == std::string::npos) return false;
  if (!hv::MatchWildcard("TAV*.TMP", hv::FromFs(fs.substr(slash + 1)))) return false;
  struct stat st;
  if (lstat(fs.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const std::string folder = Canonical(fs.substr(0, slash == 0 ? 1 : slash));
  return !folder.empty() && folder == Canonical(hv::ToFs(hv::TempFolder()));
}

void WriteStagedPath(hv::Archive& ar, const wxString& path) {
  const wxString line = path + "\n";
  ar.WriteString(line, !hv::FitsCp1252(line));
}

wxString ReadStagedPath(hv::Archive& ar) {
  wxString line = ar.ReadString();
  if (!line.EndsWith("\n")) throw hv::ArchiveException("staged path without line end");
  line.RemoveLast();
  return line;
}

void BeginContents() {
  Book& b = Books();
  RemoveAll(b.pending);
  b.building = true;
}

void CommitContents() {
  Book& b = Books();
  RemoveAll(b.current);
  b.current.swap(b.pending);
  b.building = false;
}

void AbandonContents() {
  Book& b = Books();
  RemoveAll(b.pending);
  b.building = false;
}

void ReleaseContents() { RemoveAll(Books().current); }

void NoteStagedFolder(const wxString& holder) {
  Book& b = Books();
  (b.building ? b.pending : b.current).push_back(holder);
}

void RemoveAllStaged() {
  const wxString temp = hv::TempFolder();
  for (const wxString& name : hv::ListFolder(temp)) {
    const bool file = hv::MatchWildcard(wxS("TAV*.TMP"), name) && hv::IsFile(hv::JoinPath(temp, name));
    const bool folder = name.StartsWith(wxS("TAVD")) && hv::IsFolder(hv::JoinPath(temp, name));
    if (!file && !folder) continue;
    std::error_code ec;
    std::filesystem::remove_all(hv::ToFs(hv::JoinPath(temp, name)), ec);
  }
  Books().pending.clear();
  Books().current.clear();
}

namespace {

// "<folder>/.<name>.XXXXXX", opened; -1 on failure.
int OpenBeside(const std::string& dst, std::string& written) {
  const std::size_t slash = dst.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : dst.substr(0, slash);
  const std::string name = slash == std::string::npos ? dst : dst.substr(slash + 1);
  written = folder + "/." + name + ".XXXXXX";
  return mkstemp(written.data());
}

}  // namespace

namespace {

mode_t ModeOf(const wxString& source, const struct stat& st, CopyMode mode) {
  if (mode == CopyMode::AsNewFile || IsStagedCopy(source)) return static_cast<mode_t>(hv::NewFileMode());
  return st.st_mode & 0777;
}

}  // namespace

CopyResult CopyRegularFile(const wxString& source, const wxString& destination, bool overwrite, CopyMode mode,
                           int* error) {
  // The error number of the failing step, kept past the clean-up's own calls.
  auto failed = [error](int why) {
    if (error) *error = why;
    return CopyResult::Failed;
  };
  struct stat st;
  const int in = OpenSource(hv::ToFs(source), st);
  if (in < 0) return failed(errno);
  const std::string dst = hv::ToFs(destination);
  struct stat dst_st;
  const bool exists = lstat(dst.c_str(), &dst_st) == 0;
  if (exists && (!overwrite || S_ISDIR(dst_st.st_mode))) {
    close(in);
    return S_ISDIR(dst_st.st_mode) ? failed(EISDIR) : CopyResult::Exists;
  }
  std::string written = dst;
  int out;
  if (exists) {
    out = OpenBeside(dst, written);
  } else {
    out = open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0 && errno == EEXIST && !overwrite) {
      close(in);
      return CopyResult::Exists;
    }
  }
  if (out < 0) {
    const int why = errno;
    close(in);
    return failed(why);
  }
  bool ok = Fill(in, st, out, exists, ModeOf(source, st, mode), mode != CopyMode::AsNewFile);
  int why = ok ? 0 : errno;
  ok = close(out) == 0 && ok;
  if (!ok && why == 0) why = errno;
  close(in);
  if (ok && exists && rename(written.c_str(), dst.c_str()) != 0) {
    ok = false;
    why = errno;
  }
  if (!ok) {
    unlink(written.c_str());
    return failed(why);
  }
  return CopyResult::Copied;
}

wxString CopyBeside(const wxString& source, const wxString& destination) {
  struct stat st;
  const int in = OpenSource(hv::ToFs(source), st);
  if (in < 0) return wxString();
  std::string written;
  const int out = OpenBeside(hv::ToFs(destination), written);
  if (out < 0) {
    close(in);
    return wxString();
  }
  bool ok = Fill(in, st, out, true, ModeOf(source, st, CopyMode::KeepSource));
  ok = close(out) == 0 && ok;
  close(in);
  if (!ok) {
    unlink(written.c_str());
    return wxString();
  }
  return hv::FromFs(written);
}

}  // namespace staging
