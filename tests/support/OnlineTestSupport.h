#pragma once
// Install trees with plug-ins for the online library's tests, and the library's state
// reset between tests.
#include <string>
#include <vector>
#include <wx/string.h>

#include "tests/support/TestEnv.h"

namespace hvtest {

// The build tree's shipped plug-ins and the test plug-ins.
wxString BuiltPluginFolder(const char* kind);  // "device" or "driver"
wxString TestPluginFolder(const char* kind);

// A private install tree (HALVORA_HOME and "PATH") whose "device" and "driver" folders
// link the named plug-in files (and the shipped datpkt.set); the online library and
// plug-in registry start afresh.
class PluginInstall {
 public:
  PluginInstall(const std::vector<std::string>& devices, const std::vector<std::string>& drivers = {"SIMNET.so", "MBTCP.so"});
  ~PluginInstall();
  const wxString& Folder() const { return m_folder; }
  wxString Sub(const wxString& relative) const;
  TempHome& Home() { return m_home; }

 private:
  TempHome m_home;
  wxString m_folder;
};

}  // namespace hvtest
