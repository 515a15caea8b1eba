#include "framework/Launcher.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Processes.h"
#include "platform/Ui.h"

namespace {

bool IsBlank(wxUniChar c) { return c == ' ' || c == '\t'; }

// ---- children started here, reaped by one waiting thread each ----

struct ChildRecord {
  unsigned long long serial = 0;
  bool running = true;
  int status = 0;
};

struct ChildTable {
  std::mutex mutex;
  std::condition_variable changed;
  std::map<pid_t, ChildRecord> records;
  unsigned long long nextSerial = 1;
};

ChildTable& Children() {
  static ChildTable* table = new ChildTable;   // outlives every detached reaper
  return *table;
}

void StartReaper(pid_t pid) {
  ChildTable& table = Children();
  unsigned long long serial;
  {
    std::lock_guard lock(table.mutex);
    serial = table.nextSerial++;
    table.records[pid] = ChildRecord{serial, true, 0};
  }
  auto reap = [pid, serial] {
    int status = 0;
    pid_t r;
    do {
      r = waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    ChildTable& t = Children();
    std::lock_guard lock(t.mutex);
    auto it = t.records.find(pid);
    // The id may already belong to a newer child of ours.
    if (it != t.records.end() && it->second.serial == serial) {
      it->second.running = false;
      if (r == pid && WIFEXITED(status)) it->second.status = WEXITSTATUS(status);
      else if (r == pid && WIFSIGNALED(status)) it->second.status = 128 + WTERMSIG(status);
      else it->second.status = -1;
    }
    t.changed.notify_all();
  };
  try {
    std::thread(reap).detach();
  } catch (const std::system_error&) {
    // Out of threads: the child stays a zombie until we exit rather than making the
    // caller wait for it.
  }
}

// ---- finding the program ----

bool IsExecutableFile(const std::string& path, int& err) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode) || access(path.c_str(), X_OK) != 0) {
    err = EACCES;
    return false;
  }
  return true;
}

wxString CurrentFolder() {
  char buf[4096];
  return getcwd(buf, sizeof buf) ? hv::FromFs(buf) : wxString("/");
}

wxString Locate(const wxString& name, int& err) {
  err = ENOENT;
  if (name.empty()) return wxString();
  std::vector<wxString> candidates{name};
  if (name.length() > 4 && name.Right(4).CmpNoCase(".exe") == 0) candidates.push_back(name.Left(name.length() - 4));
  if (name.find_first_of(wxS("/\\")) != wxString::npos) {
    for (const wxString& c : candidates) {
      wxString p = hv::NormalizePath(c);
      if (!p.StartsWith("/")) p = hv::JoinPath(CurrentFolder(), p);
      p = hv::ResolvePath(p);
      if (IsExecutableFile(hv::ToFs(p), err)) return p;
    }
    return wxString();
  }
  const char* envPath = std::getenv("PATH");
  const std::string path = envPath ? envPath : "/usr/local/bin:/usr/bin:/bin";
  for (const wxString& c : candidates) {
    size_t start = 0;
    for (;;) {
      const size_t colon = path.find(':', start);
      std::string dir = path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
      if (dir.empty()) dir = ".";
      wxString full = hv::JoinPath(hv::FromFs(dir), c);
      if (!full.StartsWith("/")) full = hv::JoinPath(CurrentFolder(), full);
      if (IsExecutableFile(hv::ToFs(full), err)) return full;
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  return wxString();
}

// Quotes an unquoted program path ending in ".exe" that is followed by arguments, so
// that blanks in the path do not split it.
wxString QuoteExePath(const wxString& line) {
  if (line.StartsWith("\"")) return line;
  wxString lower = line;
  lower.MakeLower();
  const size_t pos = lower.find(".exe ");
  if (pos == wxString::npos || pos == 0) return line;
  return "\"" + line.Left(pos + 4) + "\"" + line.Mid(pos + 4);
}

}  // namespace

std::vector<wxString> SplitCommandLine(const wxString& line) {
  std::vector<wxString> args;
  const size_t n = line.length();
  size_t i = 0;
  while (i < n && IsBlank(line[i])) ++i;
  if (i >= n) return args;

  // The program name: quotes only group, backslashes are path separators.
  wxString arg;
  bool quoted = false;
  for (; i < n; ++i) {
    const wxUniChar c = line[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (!quoted && IsBlank(c)) break;
    arg.append(1, c);
  }
  args.push_back(arg);

  for (;;) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i >= n) break;
    arg.clear();
    quoted = false;
    while (i < n) {
      const wxUniChar c = line[i];
      if (!quoted && IsBlank(c)) break;
      if (c == '\\') {
        size_t k = 0;
        while (i + k < n && line[i + k] == '\\') ++k;
        if (i + k < n && line[i + k] == '"') {
          arg.append(k / 2, '\\');
          if (k % 2 == 1) {
            arg.append(1, '"');
            i += k + 1;
          } else {
            i += k;   // the quote delimits; handled next round
          }
        } else {
          arg.append(k, '\\');
          i += k;
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {
          arg.append(1, '"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg.append(1, c);
      ++i;
    }
    args.push_back(arg);
  }
  return args;
}

wxString FindProgram(const wxString& name) {
  int err = 0;
  return Locate(name, err);
}

int StartReapedProcess(const std::vector<wxString>& args, const wxString& workingFolder, DWORD& processId) {
  int err = EINVAL;
  pid_t pid = 0;
  if (!args.empty()) {
    const wxString program = Locate(args[0], err);
    if (!program.empty()) {
      const wxString folder = workingFolder.empty() ? wxString() : hv::ResolvePath(hv::NormalizePath(workingFolder));
      err = hv::SpawnProcess(program, args, folder, hv::SpawnDetach::NewSession, pid);
    }
  }
  if (err != 0) return err;
  StartReaper(pid);
  processId = static_cast<DWORD>(pid);
  return 0;
}

BOOL LaunchProcess(DWORD* threadId, const wxString& commandLine, const wxString& workingFolder, DWORD* processId) {
  DWORD pid = 0;
  const std::vector<wxString> args = SplitCommandLine(QuoteExePath(commandLine));
  const int err = StartReapedProcess(args, workingFolder, pid);
  if (err != 0) {
    // The program is named: the user looks for it where it is set.
    wxString text = hv::LocalString(10001, wxS("Fehler beim Starten des Programms!"));
    if (!args.empty()) text += wxS("\n") + args.front();
    hv::Ui().Message(10001, text + wxString::Format("\nError: %d", err), MB_ICONINFORMATION);
    return FALSE;
  }
  if (threadId) *threadId = pid;
  if (processId) *processId = pid;
  return TRUE;
}

bool IsLaunchedProcessRunning(DWORD processId) {
  ChildTable& table = Children();
  std::lock_guard lock(table.mutex);
  auto it = table.records.find(static_cast<pid_t>(processId));
  return it != table.records.end() && it->second.running;
}

bool WaitForLaunchedProcess(DWORD processId, int timeoutMs, int* exitStatus) {
  ChildTable& table = Children();
  std::unique_lock lock(table.mutex);
  const pid_t pid = static_cast<pid_t>(processId);
  auto ended = [&] {
    auto it = table.records.find(pid);
    return it == table.records.end() || !it->second.running;
  };
  if (timeoutMs < 0) table.changed.wait(lock, ended);
  else if (!table.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended)) return false;
  auto it = table.records.find(pid);
  if (it == table.records.end()) return false;
  if (exitStatus) *exitStatus = it->second.status;
  return true;
}
