#pragma once
// Number text of the grid. Cells show and read numbers in the user's format (decimal
// separator, thousands separator and currency symbol of the user's locale), which start-up
// takes from the environment; the fixed record ('.', no grouping, no symbol) is the "C"
// locale's. The digits themselves are always made and read locale-free.
#include <wx/string.h>

struct CGridNumberFormat {
  wxString decimal = wxS(".");
  wxString thousands;
  wxString currency;
  bool operator==(const CGridNumberFormat&) const = default;

  static const CGridNumberFormat& Fixed();
  // The format cells use by default; the fixed record until start-up sets another.
  static const CGridNumberFormat& User();
  static void SetUser(const CGridNumberFormat& format);
  // The separators and currency symbol of a named locale ("" for the one the
  // environment names); the fixed record when the locale does not exist.
  static CGridNumberFormat FromLocale(const char* name);
};

// Like strtod in the C locale after the record's separators and currency symbol are
// taken out: leading blanks, optional sign, the longest valid prefix; nothing -> 0.0.
double GridParseNumber(const wxString& text, const CGridNumberFormat& format = CGridNumberFormat::User());

// Shortest text that reads back as the same double, in fixed notation ("0.1", "-2.5",
// "1234567"); never representation noise.
wxString GridShortestFixed(double value);
// Fixed notation with exactly `decimals` fraction digits.
wxString GridFixedDecimals(double value, int decimals);
// Single precision with seven significant digits; scientific when the decimal exponent
// is below -2 or at least 14 ("1e+20", "1.5e-05"); fraction zeros of the mantissa only
// are trimmed.
wxString GridSingleText(double value);
