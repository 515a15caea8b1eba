#pragma once
// Opening a document with its associated program, or an address in the browser, as the
// desktop's shell does. The program registers a runner for the request; core code only
// builds the request.
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

struct ShellOpenRequest {
  wxString target;       // a file path or an address
  bool isAddress = false;   // "scheme:..." other than a local file
  // The desktop's opener may give up only after it started (no program for the file's
  // type); the runner then shows this message. 0: nothing is shown.
  UINT failureId = 0;
  wxString failureText;
};

// Hands the target to the registered runner; TRUE when it answered IDOK.
BOOL ShellOpen(const wxString& target);
// The same, and `failureText` (text `failureId`) is shown whenever the target does not
// open: at once when no opener could start, later when the opener gives up.
BOOL ShellOpen(const wxString& target, UINT failureId, const wxString& failureText);

// The same with the general message that names the target.
BOOL ShellOpenOrReport(const wxString& target);

// The program through which the desktop's default application is reached.
inline constexpr const char* kDesktopOpener = "xdg-open";

}  // namespace hv
