#pragma once
// Whether a program is running, by its file name.
#include <wx/string.h>

#include "platform/Types.h"

// TRUE when a running process's program has that file name: the last component of its
// executable or of its first argument (split at '/' and '\'), compared ignoring case;
// "name.exe" and "name" count as the same name. FALSE when none has, or when the process
// list cannot be read.
BOOL IsProcessRunning(const wxString& fileName);
