#include "build/FtpDownloadController.h"

#include <chrono>
#include <system_error>

#include "framework/Services.h"
#include "model/ModelServices.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

FtpDownloadController::FtpDownloadController(FtpDownloadRequest& request, FtpTransferLimits limits)
    : m_request(request), m_limits(limits) {
  m_status = hv::LocalString(11914, wxS("Verbindung wird aufgebaut ..."));
}

FtpDownloadController::~FtpDownloadController() {
  if (m_worker.joinable()) {
    m_progress.RequestCancel();
    m_worker.join();
  }
}

wxString FtpDownloadController::Caption() { return hv::LocalString(11900, wxS("FTP Download")); }

wxString FtpDownloadController::Heading() const {
  return wxString::Format("%s -> %s:\\%s", m_request.source, m_request.address, m_request.remoteFolder);
}

bool FtpDownloadController::Start() {
  if (m_busy || m_finished) return false;
  m_request.succeeded = false;
  m_request.filesSent = 0;
  m_request.filesUnchanged = 0;
  m_request.messageId = 0;
  m_request.message.clear();
  m_progress.Reset();
  m_workerDone = false;
  m_busy = true;
  try {
    // The worker gets its own copy: the caller's request is only written after the join.
    m_worker = std::thread([this, request = m_request] {
      m_result = RunFtpTransfer(request, m_progress, m_limits);
      m_workerDone = true;
    });
  } catch (const std::system_error& e) {
    m_result = FtpTransferResult{hv::FtpFailure::Other, 11912, wxString::FromUTF8(e.what()), 0};
    Finish();
    return false;
  }
  return true;
}

bool FtpDownloadController::Poll() {
  if (m_progress.Reports() != m_reportsSeen) {
    m_reportsSeen = m_progress.Reports();
    m_status = wxString::Format(hv::LocalString(11901, wxS("Übertrage %s")), m_progress.CurrentPath());
    m_percent = m_progress.Percent();
  }
  if (!m_busy || !m_workerDone) return false;
  m_worker.join();
  Finish();
  return true;
}

void FtpDownloadController::Finish() {
  m_busy = false;
  m_request.succeeded = m_result.Ok();
  m_request.filesSent = m_result.filesSent;
  m_request.filesUnchanged = m_result.filesUnchanged;
  m_request.messageId = m_result.messageId;
  m_request.message = m_result.message;
  if (m_result.Ok()) {
    m_percent = 100;
    m_status = wxString::Format(
        hv::LocalString(11918, wxS("Übertragung erfolgreich: %d Datei(en) gesendet, %d bereits aktuell")),
        m_result.filesSent, m_result.filesUnchanged);
  } else {
    m_status = m_result.message;
    // The user who cancelled knows; a refused login the caller asks about anew; every
    // other failure is shown.
    const bool loginAsked = m_request.askLogin && m_result.failure == hv::FtpFailure::Login;
    if (m_result.failure != hv::FtpFailure::Cancelled && !loginAsked)
      hv::Ui().Message(m_result.messageId, m_result.message, MB_OK | MB_ICONSTOP);
  }
  // The dialog closes at the end: the line stays readable in the main window.
  hv::Service<hv::IEventLoop>().ShowStatus(m_status);
  // Only now: the dialog must not end while the message is still up.
  m_finished = true;
}

void FtpDownloadController::Cancel() {
  if (m_busy) m_progress.RequestCancel();
}

bool FtpDownloadController::RequestClose() {
  if (!m_busy) return true;
  Cancel();
  return false;
}

bool FtpDownloadController::RunToEnd() {
  if (!Start()) return m_request.succeeded;
  while (!Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return m_request.succeeded;
}
