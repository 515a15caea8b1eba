#include "build/ui/DlgDownload.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/ui/StaticControls.h"

namespace {

enum {
  kIdHeading = 1621,
  kIdStatus = 1622,
  kIdProgress = 1623,
  kTimerStart = 162,
  kTimerPoll = 163,
};

}  // namespace

CDlgDownload::CDlgDownload(wxWindow* parent, OnlineDownloadRequest& request)
    : COperationDialog(parent, request, kTimerStart, kTimerPoll) {
  if (!request.caption.empty()) SetTitle(request.caption);
  // A long path loses folders in its middle; the file name and the device stay.
  auto* heading = new CStaticFilespec(this, kIdHeading, m_controller.Heading(), 1, wxDefaultPosition, wxSize(400, -1),
                                      CStaticFilespec::kNoPrefix | CStaticFilespec::kVCentre);
  m_status = new wxStaticText(this, kIdStatus, m_controller.StatusText(), wxDefaultPosition, wxSize(400, -1),
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
  m_progress = new wxGauge(this, kIdProgress, 100, wxDefaultPosition, wxSize(400, -1));
  m_cancel = new wxButton(this, wxID_CANCEL, DlgText(wxS("&Abbrechen")));

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(heading, 0, wxEXPAND | wxALL, 10);
  top->Add(m_status, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(m_progress, 0, wxEXPAND | wxALL, 10);
  top->Add(m_cancel, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);

  // Cancel stops the download; the dialog ends once the worker has.
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    m_controller.Cancel();
    m_cancel->Disable();
  }, wxID_CANCEL);
  CentreOnParent();
  RequestStart();
}

void CDlgDownload::UpdateView() {
  m_status->SetLabel(m_controller.StatusText());
  m_progress->SetValue(m_controller.Percent());
  if (m_controller.IsFinished()) End();
}

void CDlgDownload::End() {
  if (m_ended) return;
  m_ended = true;
  if (IsModal()) {
    EndModal(EndCode());
  } else {
    SetReturnCode(EndCode());
    Hide();
  }
}
