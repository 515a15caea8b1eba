#include "framework/NewNameRules.h"

#include "platform/Codec.h"
#include "platform/Ui.h"

bool IsAllowedNameChar(wxUniChar c) {
  return c.GetValue() >= 32 && c.GetValue() < 128 && kForbiddenNameChars.find(c) == wxString::npos;
}

UINT CheckNewName(const NewNameRequest& request) {
  if (request.name.empty()) {
    hv::ShowMessage(10523, wxS("Es muß ein Name eingegeben werden!"), MB_OK | MB_ICONEXCLAMATION);
    return 10523;
  }
  bool ok = static_cast<int>(request.name.length()) <= request.maxLength || request.maxLength <= 0;
  if (request.checkCharacters)
    for (wxUniChar c : request.name) ok = ok && IsAllowedNameChar(c);
  // Names end up in Windows-1252 tables and settings files.
  ok = ok && hv::FitsCp1252(request.name);
  if (!ok) {
    hv::ShowMessage(10941, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return 10941;
  }
  return 0;
}
