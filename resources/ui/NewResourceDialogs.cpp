#include "resources/ui/NewResourceDialogs.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace {

int Result(int modal) { return modal == wxID_OK ? IDOK : IDCANCEL; }

// Runs a dialog on a copy of the request, so that Cancel leaves it as it was.
template <class Dialog, class Request>
int RunOnCopy(Request& request) {
  Request copy = request;
  Dialog dlg(wxTheApp->GetTopWindow(), copy);
  const int result = Result(dlg.ShowModal());
  if (result == IDOK) request = copy;
  return result;
}

}  // namespace

CDlgNewBitmapAndLogID::CDlgNewBitmapAndLogID(wxWindow* parent, NewBitmapAndLogIdRequest& request)
    : CDlgNewNameAndLogID(parent, request), m_picture(request) {
  SetId(251);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, hv::LocalString(11617, wxS("Dateityp:"))), 0,
           wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  wxArrayString types;
  types.Add(hv::LocalString(11660, wxS("Windows-Bitmap (BMP)")));
  types.Add(hv::LocalString(11661, wxS("JPEG Bitmaps (JPG)")));
  types.Add(hv::LocalString(11662, wxS("Compuserve-Bitmap (GIF)")));
  m_type = new wxChoice(this, 1140, wxDefaultPosition, wxDefaultSize, types);
  m_type->SetSelection(request.fileType >= 0 && request.fileType <= 2 ? request.fileType : 0);
  row->Add(m_type, 1, wxEXPAND);
  auto* gallery = new wxButton(this, 1141, hv::LocalString(11615, wxS("Aus Galerie hinzufügen")));
  gallery->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    m_picture.name = TypedName();
    if (AddPictureFromGallery(m_picture)) EndModal(wxID_OK);
  });
  // Above the dialog's buttons, the sizer's last item.
  const std::size_t buttons = GetSizer()->GetItemCount() - 1;
  GetSizer()->Insert(buttons, row, 0, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, 10);
  // Other pictures (PNG and the like) copied into the folder are not listed: said where
  // pictures are made.
  auto* listed = new wxStaticText(this, wxID_ANY,
                                  hv::LocalString(13947, wxS("Im Ordner \"Bitmaps\" werden nur BMP-, JPG- und "
                                                             "GIF-Dateien aufgeführt.")));
  listed->Wrap(FromDIP(320));
  GetSizer()->Insert(buttons + 1, listed, 0, wxLEFT | wxRIGHT | wxTOP, 10);
  GetSizer()->Insert(buttons + 2, gallery, 0, wxALL, 10);
  Fit();
}

bool CDlgNewBitmapAndLogID::TransferDataFromWindow() {
  if (!CDlgNewNameAndLogID::TransferDataFromWindow()) return false;
  m_picture.fileType = m_type->GetSelection() < 0 ? 0 : m_type->GetSelection();
  m_picture.fromGallery = false;
  return true;
}

CDlgNewKeypad::CDlgNewKeypad(wxWindow* parent, NewKeypadRequest& request)
    : CDlgNewName(parent, request), m_keypad(request) {
  SetId(256);
  auto* templ = new wxButton(this, 1142, hv::LocalString(11616, wxS("Aus Vorlage hinzufügen")));
  templ->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    m_keypad.name = TypedName();
    if (AddKeypadFromGallery(m_keypad)) EndModal(wxID_OK);
  });
  GetSizer()->Insert(GetSizer()->GetItemCount() - 1, templ, 0, wxALL, 10);
  Fit();
}

CDlgGallery::CDlgGallery(wxWindow* parent, GalleryRequest& request)
    : wxDialog(parent, wxID_ANY, request.title), m_request(request) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  m_list = new wxListBox(this, 1143, wxDefaultPosition, wxSize(280, 200));
  for (const FileEntry& entry : ListEntries(request.folder))
    if (!entry.isFolder) m_list->Append(entry.name);
  if (m_list->GetCount() > 0) m_list->SetSelection(0);
  m_list->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) {
    if (Validate() && TransferDataFromWindow()) EndModal(wxID_OK);
  });
  sizer->Add(m_list, 1, wxALL | wxEXPAND, 10);
  sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 10);
  SetSizerAndFit(sizer);
}

bool CDlgGallery::TransferDataFromWindow() {
  const int selected = m_list->GetSelection();
  if (selected == wxNOT_FOUND) return false;
  m_request.chosen = hv::JoinPath(m_request.folder, m_list->GetString(static_cast<unsigned>(selected)));
  return true;
}

void RegisterResourceDialogs() {
  hv::Ui().Register<NewBitmapAndLogIdRequest>(
      [](NewBitmapAndLogIdRequest& r) { return RunOnCopy<CDlgNewBitmapAndLogID>(r); });
  hv::Ui().Register<NewKeypadRequest>([](NewKeypadRequest& r) { return RunOnCopy<CDlgNewKeypad>(r); });
  hv::Ui().Register<GalleryRequest>([](GalleryRequest& r) { return RunOnCopy<CDlgGallery>(r); });
}
