#pragma once
// Where the program's files live. HALVORA_HOME, when set, holds the user folder and
// both registry layers, so that tests and demos run in a private folder.
#include <wx/string.h>

namespace hv {

// The per-user folder: HALVORA_HOME, else $XDG_DATA_HOME/Halvora (~/.local/share/Halvora).
wxString UserFolder();
// HALVORA_HOME is set to bytes that are not UTF-8: such a user folder is refused.
bool UserFolderNameUnreadable();
// The private temporary folder (created 0700 on first use): HALVORA_HOME/tmp, else a
// per-user folder below the system's temporary folder.
wxString TempFolder();
// The install tree's data folder: the registry's "PATH" when set, else the installed
// share folder, else the source tree's data folder.
wxString DefaultDataFolder();

// Registry layer files: HALVORA_HOME/system-registry.ini and HALVORA_HOME/registry.ini,
// else the data folder's registry.ini and $XDG_CONFIG_HOME/Halvora/registry.ini.
wxString SystemRegistryFile();
wxString UserRegistryFile();

// Points the registry store at its files. Called once at start and by tests after
// they set HALVORA_HOME.
void InitRegistryStore();

}  // namespace hv
