#pragma once
// The one way the program starts other programs and looks at the running ones.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

// How a started program stands apart from us: a session of its own (a tool that lives
// on without us) or a process group of its own (a helper we may have to stop with
// everything it started).
enum class SpawnDetach { NewSession, NewGroup };

// Starts `program` with args[1..] as its arguments (args[0] is its name), in `folder`
// (empty: ours), with no descriptor of ours past standard error and default signals.
// 0 and the process id, or the errno value.
int SpawnProcess(const wxString& program, const std::vector<wxString>& args, const wxString& folder,
                 SpawnDetach detach, pid_t& pid);

// Calls `visit` with every running process's id until it answers true; that id, or 0.
DWORD FindProcess(const std::function<bool(DWORD pid)>& visit);
// A process's arguments ("cmdline"); empty for kernel threads, zombies and gone ones.
std::vector<std::string> ProcessArguments(DWORD pid);
// A process's program file; readable only for our own processes, else empty.
std::string ProcessExecutable(DWORD pid);
// The contents of a small file of /proc, up to `limit` bytes; empty when unreadable.
std::string ReadProcFile(const std::string& path, std::size_t limit);
// A program's name as process checks compare it: last component after '/' or '\',
// without a final ".exe", lower case.
wxString ComparableProgramName(const wxString& name);

}  // namespace hv
