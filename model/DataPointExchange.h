#pragma once
// What the data-point exchange dialogs ask for. The dialogs only collect and check;
// the callers do the work with the results.
#include <wx/string.h>

#include "platform/Types.h"

// The save dialog of the Modbus TCP export ("DP.xml", protocol and port).
struct DpXmlExportRequest {
  wxString filter;                  // "XML-Dateien (*.xml)|*.xml|..."
  wxString folder;                  // initial folder
  wxString fileName = wxS("DP.xml");
  int protocol = 0;                 // 0 "TCP", 1 "UDP"
  long port = 502;
  wxString path;                    // after IDOK
};

// A port as typed: a whole number from 1 to 65535. False leaves port unchanged.
bool ParsePort(const wxString& text, long& port);
