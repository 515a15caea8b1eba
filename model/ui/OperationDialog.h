#pragma once
// A dialog that runs one long operation of its controller: Start goes through a short
// timer, a poll timer takes over the worker's progress while it runs, Cancel asks the
// controller, and closing is refused while the operation runs.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "framework/DialogTexts.h"
#include "framework/ui/DialogLayout.h"

template <class Controller>
class COperationDialog : public wxDialog {
 protected:
  template <class Request>
  COperationDialog(wxWindow* parent, Request& request, int startTimerId, int pollTimerId)
      : wxDialog(parent, wxID_ANY, Controller::Caption()),
        m_controller(request),
        m_startTimer(this, startTimerId),
        m_pollTimer(this, pollTimerId) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      const bool runs = StartRun();
      if (runs) m_pollTimer.Start(kPollMs);
      UpdateView();
      if (runs) FocusNextButton();
    }, startTimerId);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      const bool ended = m_controller.Poll();
      if (ended) m_pollTimer.Stop();
      UpdateView();
      if (ended) FocusNextButton();
    }, pollTimerId);
    Bind(wxEVT_CLOSE_WINDOW, &COperationDialog::OnClose, this);
  }

  // Shows the controller's state in the controls.
  virtual void UpdateView() = 0;
  // Starts the operation from the start timer; true when it runs.
  virtual bool StartRun() = 0;
  // The modal result once the dialog closes.
  virtual int EndCode() const { return wxID_OK; }

  // Adds the row of "&Starten", "&Abbrechen" and "&Schließen" and the status line with
  // its progress bar below the dialog's own fields, and wires Cancel and Close.
  void AddButtonAndStatusRows(wxSizer* top, int startId, int cancelId, int closeId) {
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_start = new wxButton(this, startId, DlgText(wxS("&Starten")));
    m_cancel = new wxButton(this, cancelId, DlgText(wxS("&Abbrechen")));
    m_close = new wxButton(this, closeId, DlgText(wxS("&Schließen")));
    buttons->Add(m_start, 0, wxRIGHT, 5);
    buttons->Add(m_cancel, 0, wxRIGHT, 5);
    buttons->AddStretchSpacer();
    buttons->Add(m_close);

    auto* status = new wxBoxSizer(wxHORIZONTAL);
    m_status = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    m_progress = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxSize(140, -1));
    status->Add(m_status, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    status->Add(m_progress, 0, wxALIGN_CENTER_VERTICAL);

    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    top->Add(status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      m_controller.Cancel();
      UpdateView();
    }, cancelId);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, closeId);
    // Escape closes as "Schließen" does, and not while that is disabled (the run goes on).
    SetEscapeId(closeId);
  }
  // The controller's button states, status text and progress in those rows.
  void ShowButtonsAndStatus() {
    const auto& b = m_controller.GetButtons();
    m_start->Show(b.startShown);
    m_start->Enable(b.startEnabled);
    m_cancel->Show(b.cancelShown);
    m_cancel->Enable(b.cancelEnabled);
    m_close->Enable(b.closeEnabled);
    ShowStatus(this, m_status, m_controller.StatusText());
    m_progress->SetValue(ProgressToShow(m_controller.Percent(), m_controller.Succeeded()));
  }
  void RequestStart() { m_startTimer.StartOnce(10); }
  // "Starten" and "Abbrechen" hide as a run begins and ends; a hidden button that had the
  // keyboard would leave the dialog without one (no key, Escape neither, would reach it).
  // At each turn the keyboard goes to the button that can be pressed next.
  void FocusNextButton() {
    for (wxButton* next : {m_cancel, m_close, m_start})   // none where the dialog has no such row
      if (next && next->IsShown() && next->IsEnabled()) {
        next->SetFocus();
        return;
      }
  }

  Controller m_controller;
  wxButton* m_start = nullptr;
  wxButton* m_cancel = nullptr;
  wxButton* m_close = nullptr;
  wxStaticText* m_status = nullptr;
  wxGauge* m_progress = nullptr;

 private:
  static constexpr int kPollMs = 100;

  void OnClose(wxCloseEvent& event) {
    if (!m_controller.RequestClose() && event.CanVeto()) {
      event.Veto();
      UpdateView();
      return;
    }
    m_pollTimer.Stop();
    m_startTimer.Stop();
    if (IsModal()) EndModal(EndCode());
    else Destroy();
  }

  wxTimer m_startTimer;
  wxTimer m_pollTimer;
};
