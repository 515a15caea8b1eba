#include "model/SuiteTools.h"

#include "framework/ProcessList.h"
#include "framework/Services.h"
#include "model/ModelServices.h"
#include "model/ProjectOperations.h"

BOOL CSuiteProcessCheck::IsRunning(const wxString& program) { return IsProcessRunning(program); }

BOOL IsSuiteProcessRunning(const wxString& program) { return hv::Service<hv::IProcessCheck>().IsRunning(program); }

BOOL IsGraphToolWindowOpen() {
  for (int n = 1; n <= 9; ++n)
    if (IsSuiteProcessRunning(wxString::Format("Tav%d.exe", n))) return TRUE;
  return FALSE;
}

BOOL IsScreenDesignerWindowOpen() { return IsSuiteProcessRunning(wxS("Skizzar.exe")); }
