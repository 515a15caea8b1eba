#pragma once
// Rules of the time edit ("%02d:%02d:%02d") and the date edit ("%02d.%02d.%04d", day,
// month, year): typing per position with the separators put in automatically, "+" and
// "-" stepping the field at the caret, and the text completed at focus loss.
#include <functional>

#include "framework/EditValidation.h"

// Whether the date exists in the calendar of the program's date values (years 100 to
// 9999; earlier years are never valid, so their February has 28 days).
bool IsValidCalendarDate(int year, int month, int day);
// Days of the month (1-12) of the year.
int DaysInMonth(int month, int year);

class CTimeEditRules : public CEditRules {
 public:
  static constexpr int kLength = 8;

  CharResult OnChar(EditState& state, wxUniChar ch) override;
  bool AcceptsInsertion(const EditState& state, const wxString& inserted) const override;
  FocusLossResult OnKillFocus(const wxString& text) override;
  SaveResult OnSave(const wxString& text) override;

  // The text completed to a valid time: "7" -> "07:00:00", "25:70" -> "23:59:00".
  static wxString Complete(const wxString& text);
  // Steps the field at the caret by +1 or -1; false when the caret is behind the text.
  static bool Step(EditState& state, int delta);
};

class CDateEditRules : public CEditRules {
 public:
  static constexpr int kLength = 10;

  // The year a date without one gets; the current year unless given.
  explicit CDateEditRules(std::function<int()> currentYear = {});

  CharResult OnChar(EditState& state, wxUniChar ch) override;
  bool AcceptsInsertion(const EditState& state, const wxString& inserted) const override;
  FocusLossResult OnKillFocus(const wxString& text) override;
  SaveResult OnSave(const wxString& text) override;

  // The text completed to a valid date: "5.13" -> "05.12.<current year>".
  wxString Complete(const wxString& text) const;
  static bool Step(EditState& state, int delta);

 private:
  std::function<int()> m_currentYear;
};
