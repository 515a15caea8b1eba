#include "build/ui/FtpDownload.h"

#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

enum {
  kIdHeading = 1521,
  kIdStatus = 1522,
  kIdProgress = 1523,
  kTimerStart = 152,
  kTimerPoll = 153,
};

}  // namespace

CDlgFtpDownload::CDlgFtpDownload(wxWindow* parent, FtpDownloadRequest& request)
    : COperationDialog(parent, request, kTimerStart, kTimerPoll) {
  auto* heading = new wxStaticText(this, kIdHeading, m_controller.Heading(), wxDefaultPosition, wxSize(420, -1),
                                   wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
  m_animation = new wxActivityIndicator(this);
  m_status = new wxStaticText(this, kIdStatus, m_controller.StatusText(), wxDefaultPosition, wxSize(360, -1),
                              wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
  m_progress = new wxGauge(this, kIdProgress, 100, wxDefaultPosition, wxSize(420, -1));
  m_cancel = new wxButton(this, wxID_CANCEL, wxS("&Abbrechen"));

  auto* line = new wxBoxSizer(wxHORIZONTAL);
  line->Add(m_animation, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
  line->Add(m_status, 1, wxALIGN_CENTER_VERTICAL);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(heading, 0, wxEXPAND | wxALL, 10);
  top->Add(line, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  top->Add(m_progress, 0, wxEXPAND | wxALL, 10);
  top->Add(m_cancel, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  SetSizerAndFit(top);

  // Cancel stops the upload; the dialog ends once the worker has.
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    m_controller.Cancel();
    m_cancel->Disable();
  }, wxID_CANCEL);
  m_animation->Start();
  CentreOnParent();
  RequestStart();
}

void CDlgFtpDownload::UpdateView() {
  m_status->SetLabel(m_controller.StatusText());
  m_progress->SetValue(m_controller.Percent());
  if (m_controller.IsFinished()) End();
}

void CDlgFtpDownload::End() {
  if (m_ended) return;
  m_ended = true;
  m_animation->Stop();
  if (IsModal()) {
    EndModal(EndCode());
  } else {
    SetReturnCode(EndCode());
    Hide();
  }
}
