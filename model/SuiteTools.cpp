#include "model/SuiteTools.h"

#include "framework/ProcessList.h"

BOOL IsSuiteProcessRunning(const wxString& program) {
  if (g_suiteProcessRunning) return g_suiteProcessRunning(program);
  return IsProcessRunning(program);
}

BOOL IsGraphToolWindowOpen() {
  for (int n = 1; n <= 9; ++n)
    if (IsSuiteProcessRunning(wxString::Format("Tav%d.exe", n))) return TRUE;
  return FALSE;
}

BOOL IsScreenDesignerWindowOpen() { return IsSuiteProcessRunning(wxS("Skizzar.exe")); }
