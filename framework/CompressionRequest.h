#pragma once
// Request of the compression choice, run through hv::Ui().Run.
#include <wx/string.h>

#include "platform/Types.h"

// CCompressedDialog (dialog 151 "Komprimierung"): 0 the device's setting, 1 compressed,
// 2 not compressed.
struct CompressionRequest {
  int compression = 0;
};
