#pragma once
// The check run before anything the graph tool would disturb (editing screens,
// generating resources, opening graph programs): the graph tool must not be open on
// another project or device.
#include <wx/string.h>

#include "platform/Types.h"

class CPOPrjDevice;

// Window class of the graph tool's main window; the graph tool records itself under it
// when this program starts it (hv::ToolService).
inline const wxString kGraphToolWindowClass = wxS("uRam-K");

// When the graph tool's "PROJECTNAME" + "/" + "DEVICENAME" differ (ignoring case) from
// the program's current selection and the graph tool is open (unless "Version3" is set
// and Shift is up), shows 10074 and answers FALSE. Otherwise the device, when given,
// becomes the current device, and the answer is TRUE.
BOOL CheckGraphToolDevice(CPOPrjDevice* device);
