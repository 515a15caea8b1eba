#pragma once
// The program's four validating edits: numbers, names, times and dates.
#include "framework/EditDateTime.h"
#include "framework/EditNumber.h"
#include "app/ui/ValidatingEdit.h"

class wxWindow;

// A floating-point number with a range, digit limits and stepping.
class CEEditLongDouble : public CEEdit {
 public:
  CEEditLongDouble();

  // Takes over the control, sets range and digits (both bounds 0: as many nines as
  // there are integer digits) and shows the value.
  BOOL Attach(int id, wxWindow* parent, double value, double minimum, double maximum, int integerDigits);
  void SetDigits(int integerDigits, int fractionDigits);
  double GetValue() const;
  void SetValue(double value);
  // Shows the range message for the text and puts the nearer bound in.
  void ReportRangeError(const wxString& text);

  CLongDoubleEditRules& NumberRules() { return static_cast<CLongDoubleEditRules&>(Rules()); }
  const CLongDoubleEditRules& NumberRules() const { return static_cast<const CLongDoubleEditRules&>(Rules()); }
};

// A text without forbidden characters (names).
class CEEditCharset : public CEEdit {
 public:
  CEEditCharset();
  // TRUE when the text holds no forbidden character; otherwise the message is shown and
  // the first such character selected. Dialogs call it when they save.
  BOOL CheckForbidden();
};

// A time of day "hh:mm:ss".
class CEEditTime : public CEEdit {
 public:
  CEEditTime();
};

// A date "dd.mm.yyyy".
class CEEditDate : public CEEdit {
 public:
  CEEditDate();
};
