#include "framework/DialogTexts.h"
#include "app/ui/Dialogs.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include "framework/CompressionRequest.h"
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

}  // namespace

void RegisterSharedDialogs() {
  hv::Ui().Register<CompressionRequest>([](CompressionRequest& req) {
    CCompressedDialog dlg(wxTheApp->GetTopWindow(), req.compression);
    if (dlg.ShowModal() != wxID_OK) return static_cast<int>(IDCANCEL);
    req.compression = dlg.Compression();
    return static_cast<int>(IDOK);
  });
}
