#include "framework/ProcessList.h"

#include <string>
#include <vector>

#include "platform/Paths.h"
#include "platform/Processes.h"

BOOL IsProcessRunning(const wxString& fileName) {
  const wxString wanted = hv::ComparableProgramName(fileName);
  if (wanted.empty()) return FALSE;
  const DWORD found = hv::FindProcess([&wanted](DWORD pid) {
    // The program file is readable only for our own processes; the arguments for all.
    const std::string exe = hv::ProcessExecutable(pid);
    if (!exe.empty() && hv::ComparableProgramName(hv::FromFs(exe)) == wanted) return true;
    const std::vector<std::string> argv = hv::ProcessArguments(pid);
    return !argv.empty() && !argv[0].empty() && hv::ComparableProgramName(hv::FromFs(argv[0])) == wanted;
  });
  return found != 0 ? TRUE : FALSE;
}
