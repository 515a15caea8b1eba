#include "framework/NewNameRules.h"

#include "platform/Codec.h"
#include "platform/Ui.h"

UINT CheckNewName(const NewNameRequest& request, long* badPos) {
  if (badPos) *badPos = -1;
  if (request.checkCharacters) {
    const long pos = CheckForbiddenText(request.name, NewNameForbiddenCharset());
    if (badPos) *badPos = pos;
    if (pos >= 0) return 10300;
  }
  if (request.name.empty()) {
    hv::ShowMessage(10523, wxS("Es muß ein Name eingegeben werden!"), MB_OK | MB_ICONEXCLAMATION);
    return 10523;
  }
  // Without the character check a name may still not fit the Windows-1252 tables and
  // settings files it is stored in.
  const bool fits = (static_cast<int>(request.name.length()) <= request.maxLength || request.maxLength <= 0) &&
                    hv::FitsCp1252(request.name);
  if (!fits) {
    hv::ShowMessage(10941, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return 10941;
  }
  return 0;
}
