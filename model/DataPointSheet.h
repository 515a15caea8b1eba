#pragma once
// CPSDataPoint: the sheet (or wizard) in which one data point is edited or made. Core
// code fills the request, runs it through the UI facade and stores what comes back;
// the pages' checks live here so that the window only forwards to them.
#include <cstdint>
#include <vector>
#include <wx/string.h>

#include "model/DataPointFields.h"
#include "platform/Types.h"

// Results of a wizard run beside IDOK and IDCANCEL.
enum : int {
  kDpWizardFinish = 12325,   // store this one, go on with the next
  kDpAcceptAll = 416,        // "Alle &fertigstellen": this one and all that follow
  kDpCancelAll = 413,        // "&Alle abbrechen": neither this one nor any that follow
};

// Control ids of the pages, for the focus after a refusal.
enum : int {
  kIdName = 1025, kIdLogicalId = 1129, kIdPick = 1086,
  kIdSigMin = 1091, kIdSigMax = 1094, kIdMeasMin = 1093, kIdMeasMax = 1092, kIdStart = 1095,
};

// Processing mode and initialisation of the ranges page.
enum class DpMode { None, Read, Write, ReadWrite };
enum class DpInit { Always, Persistent, Retain };

struct DataPointSheetRequest {
  wxString caption;
  DataPointFields dp;          // the sheet's copy of the data point
  DataPointExtra values;       // unit, ranges, access words, free fields
  wxString node;               // first connection text of the device
  wxString deviceParam;        // second connection text
  wxString driverName;         // device plug-in title
  wxString netDriver;          // network driver title (whose addresses the picker checks)
  DWORD deviceNumber = 0;
  wxString deviceName;
  wxString deviceFolder;       // where DATPKT and EINHEIT are
  bool codesysNames = false;   // PROJECT.SET [Config] CoDeSysDP
  bool lock = false;
  bool wizard = false;
  bool several = false;        // further data points follow (wizard only)
  std::uint16_t initialInit = 0;   // the initialisation bits the ranges page started with
};

struct PageCheck {
  UINT text = 0;    // 0: accepted
  int focus = 0;
  bool ok() const { return text == 0; }
};

namespace dpsheet {

// Runs the sheet on a copy of the data point; 12325 and 416 (wizard) or IDOK copy the
// edited data point back. The result is returned unchanged.
int Run(DataPointSheetRequest& request, DataPointFields& target);

// The device's EINHEIT texts in table order; empty when the table does not open.
std::vector<wxString> Units(const wxString& deviceFolder);

// General page, on leaving: name rules, uniqueness of name and logical id among the
// device's data points (table read only in the wizard or after a change), address
// present. Shows the refusal; on success the sheet's copy takes name and logical id.
PageCheck LeaveGeneral(DataPointSheetRequest& sheet, const wxString& name, std::uint16_t logicalId);

// Button "...": asks the picker for one address and takes its values when the
// address differs from the current one; an empty name gets one from the address.
// Returns the (possibly new) name.
wxString PickAddress(DataPointSheetRequest& sheet, const wxString& name);

// Ranges page: whether the address hides the start value.
bool NoStartValue(const wxString& address);
DpMode ModeOf(WORD access);
DpInit InitOf(WORD access);
// The access word the page saves: the capability word with read, write (both write
// bits) and initialisation cleared, then the chosen mode and initialisation.
WORD SaveAccess(WORD capabilities, DpMode mode, DpInit init);
// Saving the page: the access word, and the shared-address question for bit points
// whose initialisation changed. False when the user cancelled it.
bool SaveRanges(DataPointSheetRequest& sheet, DpMode mode, DpInit init);
// The ranges page's controls as the capabilities, the initialisation and the address
// allow them, after the page's data were loaded.
struct RangesControls {
  bool read = true, write = true, readWrite = true;   // processing mode buttons enabled
  bool always = true, persistent = false, retain = false;   // initialisation buttons enabled
  bool alwaysChecked = true;    // 1185 checked (else the saved initialisation, or none)
  bool ranges = true;           // the four range fields enabled
  bool start = true;            // 1095 enabled
  bool startDefault = false;    // 1095 shows "Default" (the address hides the start value)
  bool startEmptied = false;    // 1095 emptied (no initialisation possible)
};
RangesControls RangesState(const DataPointSheetRequest& sheet);
// A click on one of the initialisation buttons (1185, 1186, 1188): whether 1095 is then
// enabled.
bool StartEnabledAfterClick(int id, DWORD type, bool noStartValue);
// The validating edit a range field gets for the data type.
struct RangeEditor {
  enum Kind { None, Number, Date, Time } kind = None;
  int integerDigits = 0, fractionDigits = 0;
  double minimum = 0, maximum = 0;   // both 0: the edit's own range
};
RangeEditor RangeEditorFor(DWORD type);

// Leaving the page (and Finish): ranges in order, start value inside its range, every
// number valid for the type.
PageCheck LeaveRanges(DataPointSheetRequest& sheet, bool startAlways);

}  // namespace dpsheet
