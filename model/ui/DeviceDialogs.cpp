#include "model/ui/DeviceDialogs.h"

#include <wx/filedlg.h>

#include "model/PrjDevice.h"
#include "model/ui/DialogParent.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

// Filters are written as "Text (*.x)|*.x|"; the toolkit wants no closing '|'.
wxString ToolkitWildcard(const wxString& filter) {
  wxString wildcard = filter;
  while (wildcard.EndsWith("|")) wildcard.RemoveLast();
  return wildcard.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : wildcard;
}

}  // namespace

void RegisterDeviceDialogs() {
  RegisterPrjDeviceSheet();
  hv::Ui().Register<OpenFileRequest>([](OpenFileRequest& request) {
    // A pattern as the proposed name ("*.pro") is the filter's business here.
    const bool pattern = request.fileName.find_first_of(wxS("*?")) != wxString::npos;
    wxFileDialog dlg(DialogParent(),
                     request.caption.empty() ? hv::LocalString(13952, wxS("Datei öffnen")) : request.caption,
                     wxString(), pattern ? wxString() : request.fileName, ToolkitWildcard(request.filter),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    request.path = dlg.GetPath();
    return static_cast<int>(IDOK);
  });
}
