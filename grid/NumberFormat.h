#pragma once
// Locale-free number text of the grid. The program always uses the fixed record ('.'
// as decimal separator, no grouping, no currency symbol); tests inject other records.
#include <wx/string.h>

struct CGridNumberFormat {
  wxString decimal = wxS(".");
  wxString thousands;
  wxString currency;

  static const CGridNumberFormat& Fixed();
};

// Like strtod in the C locale after the record's separators and currency symbol are
// taken out: leading blanks, optional sign, the longest valid prefix; nothing -> 0.0.
double GridParseNumber(const wxString& text, const CGridNumberFormat& format = CGridNumberFormat::Fixed());

// Shortest text that reads back as the same double, in fixed notation ("0.1", "-2.5",
// "1234567"); never representation noise.
wxString GridShortestFixed(double value);
// Fixed notation with exactly `decimals` fraction digits.
wxString GridFixedDecimals(double value, int decimals);
// Single precision with seven significant digits; scientific when the decimal exponent
// is below -2 or at least 14 ("1e+20", "1.5e-05"); fraction zeros of the mantissa only
// are trimmed.
wxString GridSingleText(double value);
