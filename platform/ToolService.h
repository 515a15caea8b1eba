#pragma once
// The windows of the suite's other tools (screen designer, graph tool, simulation) as
// far as this program can know them on Linux.
//
// - Tools we start are recorded with their process id and the window class and title
//   their main window would carry. "The window exists" means a recorded process with
//   that class and title is still alive; for tools we did not start, a process-list
//   check by program name (optionally with arguments of its command line) answers.
// - A message to a tool is one line of UTF-8 text, ended by '\n', sent to the local
//   socket "$XDG_RUNTIME_DIR/halvora/<pid>.sock", which a Linux tool may open (and
//   owned by the user). The lines this program sends:
//     "RAISE"                          restore the main window and bring it to the front
//     "MSG <message> <wparam> <lparam>" a posted window message, numbers in decimal
//   A tool ignores what it does not know. Whether the tool got a message is never
//   waited for beyond a short time-out: an unknown answer never blocks the user.
#include <mutex>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

// What identifies a tool's window.
struct ToolWindowQuery {
  wxString windowClass;   // empty: any class
  wxString title;         // empty: any title
  // For tools not started by us: the file name of the tool's program (case and a
  // trailing ".exe" ignored); empty: no process-list check.
  wxString program;
  // The process-list check also needs these arguments, one after another, somewhere
  // in the tool's command line.
  std::vector<wxString> arguments;
};

class ToolService {
 public:
  static constexpr int kSendTimeoutMs = 300;

  static ToolService& Get();

  // Records a tool we started. A process that has ended is forgotten when it is
  // next looked at; a reused process id is told apart by the start time.
  void Record(DWORD pid, const wxString& windowClass, const wxString& title);
  // The process of a matching tool window, 0 when there is none (or it cannot be
  // told). Recorded tools come first.
  DWORD FindWindow(const ToolWindowQuery& query);
  // Whether a process runs that was recorded here.
  bool IsRecordedAlive(DWORD pid);

  // Sends one line (without its '\n'; a line holding '\n' is refused). False when the
  // tool has no socket, does not take the line within the time-out, or the socket is
  // not the user's.
  bool Send(DWORD pid, const wxString& line, int timeoutMs = kSendTimeoutMs);
  bool Raise(DWORD pid) { return Send(pid, wxS("RAISE")); }
  bool PostMessage(DWORD pid, UINT message, std::uint64_t wParam, std::int64_t lParam);

  // "$XDG_RUNTIME_DIR/halvora/<pid>.sock"; empty without XDG_RUNTIME_DIR.
  static wxString SocketPath(DWORD pid);

 private:
  struct Entry {
    DWORD pid = 0;
    unsigned long long startTime = 0;
    wxString windowClass;
    wxString title;
  };
  std::mutex m_mutex;
  std::vector<Entry> m_entries;
};

// A running process whose program has that file name (case and ".exe" ignored) and
// whose arguments hold `arguments` one after another; 0 when none or when the process
// list cannot be read.
DWORD FindToolProcess(const wxString& program, const std::vector<wxString>& arguments = {});

}  // namespace hv
