#pragma once
// A date and time as the grid's date cells and the date edits keep it: an OLE-style
// serial date (days since 30.12.1899, the fraction the time of day) with a validity
// status. Text is "dd.mm.yyyy" or "dd.mm.yyyy hh:mm:ss", independent of any locale.
#include <wx/string.h>

class CTavDateTime {
 public:
  enum Status { valid = 0, invalid = 1 };
  // Flags of Format and ParseDateTime.
  static constexpr unsigned kDateValueOnly = 0x2;

  CTavDateTime() = default;
  CTavDateTime(int year, int month, int day, int hour, int minute, int second);
  static CTavDateTime FromDate(double serial);

  Status GetStatus() const { return m_status; }
  bool IsValid() const { return m_status == valid; }
  // The serial date; 0.0 for an invalid value.
  double GetDate() const { return m_status == valid ? m_date : 0.0; }

  // Format 0 gives the date and, when the time is not midnight, the time; with
  // kDateValueOnly the date alone. An invalid value gives "".
  wxString Format(unsigned flags = 0) const;
  // Accepts "d.m.yyyy", "d.m.yyyy h:m[:s]" and "h:m[:s]" (a time alone lies on day 0),
  // blanks around; false and an invalid value for anything else.
  bool ParseDateTime(const wxString& text, unsigned flags = 0);

  // Splits into its parts; false for an invalid value.
  bool GetParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const;

 private:
  double m_date = 0.0;
  Status m_status = valid;
};
