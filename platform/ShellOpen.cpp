#include "platform/ShellOpen.h"

#include "platform/Ui.h"

namespace hv {

BOOL ShellOpen(const wxString& target) {
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
  return Ui().Run(request) == IDOK ? TRUE : FALSE;
}

}  // namespace hv
