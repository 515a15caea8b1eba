#pragma once
// A dialog that runs one long operation of its controller: Start goes through a short
// timer, a poll timer takes over the worker's progress while it runs, Cancel asks the
// controller, and closing is refused while the operation runs.
#include <wx/dialog.h>
#include <wx/timer.h>

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
      if (StartRun()) m_pollTimer.Start(kPollMs);
      UpdateView();
    }, startTimerId);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      if (m_controller.Poll()) m_pollTimer.Stop();
      UpdateView();
    }, pollTimerId);
    Bind(wxEVT_CLOSE_WINDOW, &COperationDialog::OnClose, this);
  }

  // Shows the controller's state in the controls.
  virtual void UpdateView() = 0;
  // Starts the operation from the start timer; true when it runs.
  virtual bool StartRun() = 0;
  // The modal result once the dialog closes.
  virtual int EndCode() const { return wxID_OK; }

  // Wires the Cancel and Close buttons.
  void BindCancelAndClose(int cancelId, int closeId) {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      m_controller.Cancel();
      UpdateView();
    }, cancelId);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, closeId);
  }
  void RequestStart() { m_startTimer.StartOnce(10); }

  Controller m_controller;

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
