#pragma once
// The user's documents folder (the desktop's "Documents" entry of the XDG user folders).
#include <string>
#include <wx/string.h>

namespace hv {

// XDG_DOCUMENTS_DIR from the user-dirs file, else ~/Documents when it exists, else the
// home folder. Never empty.
wxString DocumentsFolder();

// The value of XDG_DOCUMENTS_DIR in the bytes of a user-dirs.dirs ("$HOME/..." made
// absolute with `home`, or an absolute path); empty when it is missing or relative.
std::string DocumentsFromUserDirs(const std::string& bytes, const std::string& home);

}  // namespace hv
