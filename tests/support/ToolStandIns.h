#pragma once
// Running tools in tests: a private $XDG_RUNTIME_DIR for their sockets, and the
// stand-in screen designer (tests/children/screen_designer.cpp) with what it recorded.
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"
#include "tests/support/TestEnv.h"

namespace hvtest {

// Points XDG_RUNTIME_DIR at a fresh folder while it lives.
class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir();
  ~PrivateRuntimeDir();
  const wxString& Path() const { return m_dir.Path(); }

 private:
  TempDir m_dir;
  std::string m_old;
  bool m_hadOld = false;
};

// A test child program by name (out/tests/children/<name>).
wxString ChildProgram(const char* name);

// The stand-in designers started while it lives write into its folder
// (HV_DESIGNER_OUT); they are ended when it goes.
class DesignerLog {
 public:
  DesignerLog();
  ~DesignerLog();

  // A copy of the stand-in under a name of its own ("designer-<test pid>-<n>"), so that
  // checks by program name never see the stand-ins of tests running beside this one.
  const wxString& Program() const { return m_program; }

  struct Start {
    DWORD pid = 0;
    std::string cwd;
    std::vector<std::string> args;   // args[0] is the program
  };
  // The designers that have started so far, waiting up to the time-out for `count`.
  std::vector<Start> Starts(std::size_t count = 0, int timeoutMs = 5000) const;
  // The lines a designer received, waiting up to the time-out for `count` of them.
  std::vector<std::string> Lines(DWORD pid, std::size_t count = 0, int timeoutMs = 5000) const;
  // Ends every designer that started (SIGTERM) and waits for it.
  void EndAll();

 private:
  TempDir m_dir;
  wxString m_program;
};

}  // namespace hvtest
