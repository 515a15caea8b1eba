#pragma once
// The program's command line, read before anything else starts: no display and no
// user folder are needed to answer "--help" or "--version" or to refuse an option.
#include <string>
#include <vector>

#include <wx/string.h>

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  wxString error;   // for Error: what was wrong
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text "--help" prints (also after an error).
wxString UsageText(const wxString& program);
wxString VersionText();

// Exit codes of a start that does not reach the main window.
enum : int {
  kExitOk = 0,
  kExitFailed = 1,   // start-up could not complete; the reason was shown
  kExitUsage = 2,    // the command line was refused
};
