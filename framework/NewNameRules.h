#pragma once
// Checks of the naming dialog, shared by the dialog and the code that names objects
// without it.
#include <wx/string.h>

#include "framework/EditValidation.h"
#include "framework/NewNameRequest.h"
#include "platform/Types.h"

// What the character check of the naming dialog refuses.
CharacterSet NewNameForbiddenCharset(const NewNameRequest& request);

// Checks an entered name on OK. Returns 0 when it is accepted, else the number of the
// message shown (the message is shown here); `badPos` gets the position of a refused
// character, else -1.
UINT CheckNewName(const NewNameRequest& request, long* badPos = nullptr);
