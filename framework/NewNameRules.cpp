#include "framework/NewNameRules.h"

#include "platform/Codec.h"
#include "platform/Ui.h"

CharacterSet NewNameForbiddenCharset(const NewNameRequest& request) {
  CharacterSet forbidden = ForbiddenNameCharset(!request.allowBlank);
  if (!request.allowPoint) return forbidden;
  wxString chars = forbidden.Chars();
  chars.Replace(wxS("."), wxString());
  return CharacterSet(chars, forbidden.High());
}

UINT CheckNewName(const NewNameRequest& request, long* badPos) {
  if (badPos) *badPos = -1;
  if (request.checkCharacters) {
    const long pos = CheckForbiddenText(request.name, NewNameForbiddenCharset(request));
    if (badPos) *badPos = pos;
    if (pos >= 0) return 10300;
  }
  if (request.name.empty() || (request.allowBlank && request.name.Strip(wxString::both).empty())) {
    hv::ShowMessage(10523, wxS("Es muß ein Name eingegeben werden!"), MB_OK | MB_ICONEXCLAMATION);
    return 10523;
  }
  // A file named so would be hidden, or have no title left once its extension is cut.
  if (request.checkCharacters && request.allowPoint &&
      (request.name.StartsWith(wxS(".")) || request.name.Contains(wxS("..")))) {
    hv::ShowMessage(10607,
                    wxS("Ein Dateiname darf nicht mit einem Punkt beginnen und keine zwei Punkte "
                        "hintereinander enthalten!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return 10607;
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
