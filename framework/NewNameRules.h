#pragma once
// Checks of the naming dialog, shared by the dialog and the code that names objects
// without it.
#include <wx/string.h>

#include "framework/NewNameRequest.h"
#include "platform/Types.h"

// Characters the character check refuses: these plus everything from 128 up.
inline const wxString kForbiddenNameChars = wxS("/\\:*?<>|. ");

// True when the character check lets `c` into a name.
bool IsAllowedNameChar(wxUniChar c);

// Checks an entered name on OK. Returns 0 when it is accepted, else the number of the
// message shown (the message is shown here).
UINT CheckNewName(const NewNameRequest& request);
