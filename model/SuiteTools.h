#pragma once
// Whether the suite's tools are at work. The tools themselves do not exist here: a
// running process of the tool's program stands for its open window, and an unknown
// answer counts as "not running".
#include <wx/string.h>

#include "platform/Types.h"

// Whether a process of the program (file name, ".exe" optional) runs (hv::IProcessCheck).
BOOL IsSuiteProcessRunning(const wxString& program);
// The graph tool ("<install>\TavGraph\Bin\Tav<n>.exe") and the screen designer
// ("Skizzar.exe").
BOOL IsGraphToolWindowOpen();
BOOL IsScreenDesignerWindowOpen();
