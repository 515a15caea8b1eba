#include "app/ui/EditControls.h"

#include <wx/textentry.h>
#include <wx/window.h>

CEEditLongDouble::CEEditLongDouble() : CEEdit(std::make_unique<CLongDoubleEditRules>()) {}

BOOL CEEditLongDouble::Attach(int id, wxWindow* parent, double value, double minimum, double maximum,
                              int integerDigits) {
  if (!SubclassDlgItem(id, parent)) return FALSE;
  SetWindowText(NumberRules().Attach(value, minimum, maximum, integerDigits));
  return TRUE;
}

void CEEditLongDouble::SetDigits(int integerDigits, int fractionDigits) {
  NumberRules().SetDigits(integerDigits, fractionDigits);
}

double CEEditLongDouble::GetValue() const { return NumberRules().GetValue(GetWindowText()); }

void CEEditLongDouble::SetValue(double value) { SetWindowText(NumberRules().SetValue(value)); }

void CEEditLongDouble::ReportRangeError(const wxString& text) {
  SuppressKillFocus();
  const wxString clamped = NumberRules().ReportRangeError(text);
  AllowKillFocus();
  SetWindowText(clamped);
}

CEEditCharset::CEEditCharset() : CEEdit(std::make_unique<CCharsetEditRules>()) {}

BOOL CEEditCharset::CheckForbidden() {
  long pos = -1;
  SuppressKillFocus();
  const BOOL ok = static_cast<CCharsetEditRules&>(Rules()).CheckForbidden(GetWindowText(), &pos);
  AllowKillFocus();
  if (!ok && pos >= 0) {
    SetFocus();
    Select(pos, pos + 1);
  }
  return ok;
}

CEEditTime::CEEditTime() : CEEdit(std::make_unique<CTimeEditRules>()) {}

CEEditDate::CEEditDate() : CEEdit(std::make_unique<CDateEditRules>()) {}
