#include "framework/NameDialogRequests.h"

#include "platform/Ui.h"

bool CheckLogId(const wxString& text, long& out) {
  wxString t = text;
  t.Trim(true).Trim(false);
  unsigned long value = 0;
  const bool digits = !t.empty() && t.find_first_not_of(wxS("0123456789")) == wxString::npos;
  if (!digits || t.length() > 9 || !t.ToULong(&value) || value > static_cast<unsigned long>(kMaxLogId)) {
    hv::ShowMessageF(10211, wxS("'%s' ist kein gültiger Wert.\nEs sind nur Werte von %s bis %s erlaubt!\n"),
                     MB_OK | MB_ICONEXCLAMATION, text, wxString("0"), wxString::Format("%ld", kMaxLogId));
    return false;
  }
  out = static_cast<long>(value);
  return true;
}
