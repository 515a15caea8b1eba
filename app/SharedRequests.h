#pragma once
// Requests of small shared dialogs, run through hv::Ui().Run.
#include <wx/string.h>

#include "platform/Types.h"

// CCompressedDialog (dialog 151 "Komprimierung"): 0 the device's setting, 1 compressed,
// 2 not compressed.
struct CompressionRequest {
  int compression = 0;
};

// CDlgStringExport: the file of a text import (open) or export (save), "*.txt".
struct StringExportRequest {
  bool import = true;
  wxString path;      // the chosen file after IDOK
  WORD language = 0;  // the program's language number
};
