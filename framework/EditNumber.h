#pragma once
// Rules of the number edit: a floating-point value with a range, a count of integer
// and fraction digits, and stepping. Numbers are read and written independently of
// the locale ('.' as the decimal point).
#include "framework/EditValidation.h"

// Reads the number at the start of the text as scanf's "%f" does (leading blanks, sign,
// digits, point, exponent). `ok` is false and the result 0.0 when nothing reads.
double ScanNumber(const wxString& text, bool* ok = nullptr);

// The value with `decimals` digits after the point, exact halves rounded away from
// zero; a zero never keeps a minus sign.
wxString PrintFixed(double value, int decimals);

class CLongDoubleEditRules : public CEditRules {
 public:
  // Range, digits and the text of the initial value. Minimum and maximum both 0 give the
  // range of as many nines as there are integer digits (3: -999.0 to 999.0).
  wxString Attach(double value, double minimum, double maximum, int integerDigits);
  // Sets both digit counts; a maximum length that was their sum follows the new sum.
  void SetDigits(int integerDigits, int fractionDigits);

  double GetValue(const wxString& text) const;  // empty or unreadable = 0.0
  wxString SetValue(double value) const;        // the text to show

  wxString GetTempRegExp() const override;
  wxString GetFinalRegExp() const override;
  wxString GetFinalFormatedString(const wxString& text) const override;
  bool IsValid(const wxString& text) const override;
  CharacterSet GetAllowedCharset() const override;
  bool CheckRange(const wxString& text) const override;
  // Shows message 10211 with the entered value and the range; returns the text of the
  // bound the value is clamped to.
  wxString ReportRangeError(const wxString& text) override;
  std::optional<wxString> OnScroll(const wxString& text, int delta) override;
  // A value out of range is reported and replaced by the nearer bound; the save fails.
  SaveResult OnSave(const wxString& text) override;

  double Minimum() const { return m_min; }
  double Maximum() const { return m_max; }
  int IntegerDigits() const { return m_intDigits; }
  int FractionDigits() const { return m_fracDigits; }
  int MaxLength() const { return m_maxLength; }  // digits; 0 = no limit

 private:
  wxString PrintForMessage(double value) const;

  double m_min = 0.0;
  double m_max = 0.0;
  int m_intDigits = 0;
  int m_fracDigits = 0;
  int m_maxLength = 0;
};
