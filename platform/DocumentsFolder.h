#pragma once
// The user's documents folder (the desktop's "Documents" entry of the XDG user folders).
#include <wx/string.h>

namespace hv {

// XDG_DOCUMENTS_DIR from the user-dirs file, else ~/Documents when it exists, else the
// home folder. Never empty.
wxString DocumentsFolder();

}  // namespace hv
