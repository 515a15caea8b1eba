#pragma once
// Starting other programs: the suite's tools, editors and the configured helpers.
// A command line is split into arguments by the Windows rules and the program is
// started directly, never through a shell. The launcher never waits for the program.
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

// Splits a command line as Windows programs see it: blanks and tabs separate arguments;
// the program name takes quotes literally as delimiters and backslashes as they are;
// in later arguments 2n backslashes before a quote give n backslashes and the quote
// delimits, 2n+1 give n backslashes and a literal quote, other backslashes stay, and
// "" inside quotes is one literal quote.
std::vector<wxString> SplitCommandLine(const wxString& commandLine);

// Starts the command line with the working folder (empty: the current one). The
// process id is stored through both out pointers that are not null; it stands in for
// the main thread's id too. A failure shows text 10001 with the error number and
// answers FALSE. The child is reaped in the background, so no zombie is left.
BOOL LaunchProcess(DWORD* threadId, const wxString& commandLine, const wxString& workingFolder = wxString(),
                   DWORD* processId = nullptr);

// Starts an argument vector (args[0] found as FindProgram does) without any message:
// 0 and the process id, else the errno value. The child is reaped like the launcher's,
// so IsLaunchedProcessRunning and WaitForLaunchedProcess answer for it.
int StartReapedProcess(const std::vector<wxString>& args, const wxString& workingFolder, DWORD& processId);

// The program that a command line's first argument names: a path (either separator,
// relative to the current folder, found regardless of case) or a name searched in PATH.
// A name ending in ".exe" that does not exist is also tried without that ending.
// Empty when nothing executable is found.
wxString FindProgram(const wxString& name);

// Launched processes: whether one is still running, and waiting for its end (timeout
// in milliseconds, negative = no limit). The exit status is the code of a normal end,
// or 128 + the signal number. False when the process was not launched here or the
// time ran out.
bool IsLaunchedProcessRunning(DWORD processId);
bool WaitForLaunchedProcess(DWORD processId, int timeoutMs, int* exitStatus = nullptr);
