#pragma once
// The data-point picker: the addresses a device plug-in offers, from which the user
// chooses one or several, or an address built by hand where the plug-in lists none.
#include <vector>
#include <wx/string.h>

#include "model/DataPointFields.h"
#include "platform/Types.h"

struct PickedDataPoint {
  wxString address;
  wxString name;        // the plug-in's proposal, may be empty
  DWORD type = 0;
  WORD access = 0;      // capability word
  DWORD value32 = 0;    // text length of type 0x100
  DWORD sigMin = 0, sigMax = 0, measMin = 0, measMax = 0, start = 0;  // 4-byte numbers
  wxString unit;
};

struct DataPointPickRequest {
  wxString deviceType;   // device plug-in title
  wxString node;
  wxString deviceParam;
  bool multiple = false;
  wxString current;      // the address set now (single mode)
  std::vector<PickedDataPoint> offered;   // filled before the dialog runs
  std::vector<PickedDataPoint> chosen;    // the runner's answer
};

namespace dppicker {

// A picked entry's address, type, ranges (as texts of its type), unit and access words
// (initialisation bits cleared, the picker's word kept beside it).
void Apply(const PickedDataPoint& p, DataPointFields& f, DataPointExtra& x);

// What the device plug-in enumerates for the node; empty without plug-in or listing.
std::vector<PickedDataPoint> Offered(const wxString& deviceType, const wxString& node, const wxString& deviceParam);

// Checks a hand-built address: "<kind>|..." with a known data type. Empty when valid,
// else the text number of the complaint.
UINT CheckManual(const PickedDataPoint& entry);

// Runs the picker; the chosen entries (IDOK) or nothing.
std::vector<PickedDataPoint> Choose(DataPointPickRequest& request);

}  // namespace dppicker
