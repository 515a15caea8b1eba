#pragma once
// The database's 4-byte number form of data-point values, per data-point type:
//   Byte (1), Wort (8), Doppelwort (0x20)            signed 32-bit value
//   Byte pos. (2), Bit (4), Wort pos. (0x10),
//   Doppelwort pos. (0x40)                           unsigned 32-bit value
//   Gleitkomma (0x80)                                IEEE single-precision bits
//   Zeit (0x200)                                     seconds since midnight, "hh:mm:ss"
//   Datum (0x400)                                    days since 1.1.1900, "dd.mm.yyyy"
//   Text (0x100), Variabler Text (0x2000 and up)     no number: 0
// Any other code is read as a Doppelwort. Texts are read and written independently of
// the locale ('.' is the decimal point).
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

// Data-point type codes.
enum : DWORD {
  kDpByte = 0x1,
  kDpBytePos = 0x2,
  kDpBit = 0x4,
  kDpWord = 0x8,
  kDpWordPos = 0x10,
  kDpDword = 0x20,
  kDpDwordPos = 0x40,
  kDpFloat = 0x80,
  kDpText = 0x100,
  kDpTime = 0x200,
  kDpDate = 0x400,
  kDpVarText = 0x2000,
};

enum class Db4Status {
  Ok,
  Empty,        // blank text: the value is 0
  Syntax,       // not a number (time, date) of the type: the value is 0
  OutOfRange,   // a number outside the type's range: the value is the nearest bound
};

// Converts a text; the status tells whether the text was a valid value of the type.
DWORD atodb4(const wxString& text, DWORD type, Db4Status* status = nullptr);
// The value as text of at most 15 characters (floats with 7 significant digits).
wxString db4toa(DWORD value, DWORD type);
// Below 0, 0 or above 0 as a is less than, equal to or greater than b.
int db4cmp(DWORD a, DWORD b, DWORD type);

}  // namespace hv
