#include "framework/DialogTexts.h"
#include "app/ui/Dialogs.h"

#include <algorithm>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/progdlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include "framework/CompressionRequest.h"
#include "framework/FolderCopy.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

// Dialog 151: the compression of a bitmap.
class CCompressedDialog : public wxDialog {
 public:
  CCompressedDialog(wxWindow* parent, int compression) : wxDialog(parent, 151, DlgText(wxS("Komprimierung"))) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    m_default = new wxRadioButton(this, 1222, DlgText(wxS("Default (Geräteeinstellung)")), wxDefaultPosition, wxDefaultSize,
                                  wxRB_GROUP);
    m_compressed = new wxRadioButton(this, 1220, DlgText(wxS("Komprimiert")));
    m_plain = new wxRadioButton(this, 1221, DlgText(wxS("Nicht Komprimiert")));
    for (wxRadioButton* b : {m_default, m_compressed, m_plain}) sizer->Add(b, 0, wxALL, 5);
    auto* buttons = new wxStdDialogButtonSizer;
    buttons->AddButton(new wxButton(this, wxID_OK, wxS("OK")));
    buttons->AddButton(new wxButton(this, wxID_CANCEL, DlgText(wxS("Abbrechen"))));
    buttons->Realize();
    sizer->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 5);
    SetSizerAndFit(sizer);
    (compression == 1 ? m_compressed : compression == 2 ? m_plain : m_default)->SetValue(true);
  }
  int Compression() const { return m_compressed->GetValue() ? 1 : m_plain->GetValue() ? 2 : 0; }

 private:
  wxRadioButton* m_default;
  wxRadioButton* m_compressed;
  wxRadioButton* m_plain;
};

// The progress of a folder copy: the worker copies, this loop only polls it and passes
// a cancel on. Closing the window or "Abbrechen" cancels.
int RunFolderCopy(FolderCopyRequest& req) {
  FolderCopyOperation& op = *req.operation;
  if (!op.Start()) return IDCANCEL;
  wxGenericProgressDialog dlg(req.title, req.title, 100, wxTheApp->GetTopWindow(),
                              wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE);
  dlg.SetName(wxS("FolderCopyProgress"));
  while (!op.Poll()) {
    wxString file = op.CurrentFile();
    if (!dlg.Update(std::min(op.Percent(), 99), file.empty() ? req.title : file)) op.Cancel();
    wxMilliSleep(20);
  }
  return op.Succeeded() ? IDOK : IDCANCEL;
}

}  // namespace

void RegisterSharedDialogs() {
  hv::Ui().Register<FolderCopyRequest>(RunFolderCopy);
  hv::Ui().Register<CompressionRequest>([](CompressionRequest& req) {
    CCompressedDialog dlg(wxTheApp->GetTopWindow(), req.compression);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    req.compression = dlg.Compression();
    return static_cast<int>(IDOK);
  });
}
