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
};

// Hands the target to the registered runner; TRUE when it answered IDOK.
BOOL ShellOpen(const wxString& target);

}  // namespace hv
