#pragma once
// What a data point object carries of its DATPKT row, and what the row carries beyond
// it (the sheet's values): the two halves of one record.
#include <array>
#include <cstdint>
#include <wx/string.h>

#include "platform/Archive.h"
#include "platform/Types.h"
#include "platform/dbase/Rows.h"

// Logical id of a data point whose id was already taken at a paste.
constexpr std::uint16_t kLogicalIdClash = 65535;

struct DataPointFields {
  wxString name;
  std::uint32_t id = 0;
  wxString description;
  wxString address;
  DWORD type = 0;
  BOOL readable = FALSE;
  wxString value;
  std::uint16_t logicalId = 0;
};

// The record's values that the object does not hold.
struct DataPointExtra {
  wxString unit;
  wxString start, sigMin, sigMax, measMin, measMax;
  WORD access = 0;         // access and initialisation
  WORD capabilities = 0;   // the picker's word
  DWORD value32 = 0;       // text length of type 0x100
  std::array<wxString, 6> free;
};

// Text types (0x100 and 0x2000 on) carry no number ranges.
inline bool IsTextType(DWORD type) { return type == 0x100 || type >= 0x2000; }

// Row <-> object and sheet values. Texts are cut to their field widths.
void FillRow(hv::db::DatpktRow& row, const DataPointFields& f, const DataPointExtra& x, std::uint16_t deviceNumber);
void ReadRow(const hv::db::DatpktRow& row, DataPointFields& f, DataPointExtra& x);

// One DATPKT record on an archive (the clipboard data of devices and networks): ID,
// description, address, type, device number, both access words, the 32-bit value,
// logical ID, unit, measuring range, then the further texts in record order (name,
// start value, signal range, free fields). Texts read are cut to their field widths.
void ArchiveDataPointRecord(hv::Archive& ar, hv::db::DatpktRow& row);
