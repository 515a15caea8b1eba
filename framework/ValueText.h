#pragma once
// Checks and formats of the texts that stand for values: recipe values, data-point
// types and float values shown in lists.
#include <wx/string.h>

#include "platform/Types.h"

// An optional sign (never alone), then digits; unless integerOnly, one decimal
// separator may stand among them. At least one digit. In integer mode a text of two or
// more characters may not begin with "0" (a sign in front is not looked through).
BOOL IsNumberString(const wxString& text, BOOL integerOnly, wxUniChar separator);
// "dd.mm.yyyy", exactly ten characters, a real calendar date in the years 100 to 9999.
BOOL IsDateString(const wxString& text);
// "hh:mm:ss", exactly eight characters, a time of day from 00:00:00 to 23:59:59, or the
// end of the day 24:00:00.
BOOL IsTimeString(const wxString& text);

// A float with at most 7 significant digits and at least one digit after the point:
// 0 gives "0.0", 123 gives "123.0". With allowExponent, values below 0.01 or from 1e14
// up are written "1.5e-5". NaN and infinities give "nan", "inf" and "-inf".
wxString FormatFloatText(float value, BOOL allowExponent);

// Localised name of a data-point type: "Byte", "Wort", ..., "Variabler Text" for every
// type from 0x2000 up, "Unbekannt" for any other value.
wxString GetDataTypeName(DWORD dataType);
