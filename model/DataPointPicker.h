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
  wxString netDriver;    // network driver title: whose address form a typed address follows
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

// Whether the network driver reads Modbus addresses (hv::modbus's forms).
bool UsesModbusAddresses(const wxString& netDriver);

// An address as the network driver reads it: where in words, or what is wrong.
struct AddressVerdict {
  UINT complaint = 0;  // text number of the complaint; 0 when the address is valid
  wxString text;       // the complaint, or the place in words (empty where the driver has no words)
};
// Checks an address typed by hand, or offered, for the entry's data type: at most 48
// characters, "<kind>|..." and a known data type; on a Modbus network also the table,
// offset, type and word order it names and whether the data type fits it.
AddressVerdict Check(const wxString& netDriver, const PickedDataPoint& entry);
// The data type a typed Modbus address names in its type field, Bit for a coil or a
// discrete input without one; 0 otherwise.
DWORD NamedType(const wxString& netDriver, const wxString& address);
// The capability word of a typed address: read only for inputs, else read and write.
WORD TypedAccess(const wxString& netDriver, const wxString& address);
// An address typed by hand as the entry it makes: the data type chosen, the capability
// word of its table and, for a text on a Modbus network, the length the address names.
PickedDataPoint TypedEntry(const wxString& netDriver, const wxString& address, DWORD type);
// A text entry without a length of its own takes the one its Modbus address names.
void TakeNamedLength(const wxString& netDriver, PickedDataPoint& entry);

// Runs the picker; the chosen entries (IDOK) or nothing.
std::vector<PickedDataPoint> Choose(DataPointPickRequest& request);

}  // namespace dppicker
