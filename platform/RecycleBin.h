#pragma once
// The desktop's recycle bin (the freedesktop.org trash, through GIO).
#include <wx/string.h>

namespace hv {

enum class TrashResult {
  Trashed,        // moved to the trash; the path is gone
  NotSupported,   // this file system has no trash; nothing was changed
  NotFound,       // the path did not exist
  Failed,         // anything else; the path may still exist
};

// Moves a file, folder or link (the link itself, never its target) to the trash. The
// result says what really happened; `error` receives the system's text on failure.
TrashResult MoveToTrash(const wxString& path, wxString* error = nullptr);

}  // namespace hv
