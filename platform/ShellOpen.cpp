#include "platform/ShellOpen.h"

#include "platform/Localization.h"
#include "platform/Ui.h"

namespace hv {

namespace {

ShellOpenRequest MakeRequest(const wxString& target) {
  ShellOpenRequest request;
  request.target = target;
  // "http://...", "mailto:..." and the like; a drive letter ("C:") is no scheme.
  const size_t colon = target.find(':');
  if (colon != wxString::npos && colon > 1) {
    request.isAddress = true;
    for (size_t i = 0; i < colon; ++i) {
      const wxUniChar c = target[i];
      if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
        request.isAddress = false;
    }
  }
  if (request.isAddress && target.Left(colon).CmpNoCase("file") == 0) request.isAddress = false;
  return request;
}

}  // namespace

BOOL ShellOpen(const wxString& target) {
  ShellOpenRequest request = MakeRequest(target);
  return Ui().Run(request) == IDOK ? TRUE : FALSE;
}

BOOL ShellOpen(const wxString& target, UINT failureId, const wxString& failureText) {
  ShellOpenRequest request = MakeRequest(target);
  request.failureId = failureId;
  request.failureText = failureText;
  if (Ui().Run(request) == IDOK) return TRUE;
  Ui().Message(failureId, failureText, MB_OK | MB_ICONEXCLAMATION);
  return FALSE;
}

BOOL ShellOpenOrReport(const wxString& target) {
  const wxString text = wxString::Format(
      LocalString(13944, wxS("'%s' konnte nicht geöffnet werden: Dafür ist kein Standardprogramm eingerichtet (es wird "
                             "über xdg-open aus dem Paket xdg-utils gesucht).")),
      target);
  return ShellOpen(target, 13944, text);
}

}  // namespace hv
