#include "build/OnlineDownload.h"

#include <chrono>
#include <system_error>

#include "framework/Services.h"
#include "model/ModelServices.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/OnlineLibrary.h"

OnlineDownloadController::OnlineDownloadController(OnlineDownloadRequest& request) : m_request(request) {
  m_status = hv::LocalString(11914, wxS("Verbindung wird aufgebaut ..."));
}

OnlineDownloadController::~OnlineDownloadController() {
  if (m_worker.joinable()) {
    m_cancel = true;
    m_worker.join();
  }
}

wxString OnlineDownloadController::Caption() { return hv::LocalString(10162, wxS("Ressourcendatei downloaden")); }

wxString OnlineDownloadController::Heading() const {
  return wxString::Format("%s -> %s", m_request.file, m_request.device);
}

bool OnlineDownloadController::Start() {
  if (m_busy || m_finished) return false;
  m_request.succeeded = false;
  m_request.error = 0;
  m_request.message.clear();
  m_cancel = false;
  m_workerDone = false;
  m_busy = true;
  try {
    m_worker = std::thread([this, request = m_request] {
      const std::string driver = hv::ToUtf8(request.deviceDriver), node = hv::ToUtf8(request.node),
                        param = hv::ToUtf8(request.deviceParameters), local = hv::ToFs(hv::ResolvePath(request.file)),
                        name = hv::ToUtf8(hv::PathName(request.file));
      HvFileDownload file{sizeof(HvFileDownload), driver.c_str(), node.c_str(), param.c_str(), local.c_str(),
                          name.c_str(),         nullptr,        nullptr};
      hv::OnlineLibrary& online = hv::OnlineLibrary::Get();
      m_ok = hv::IsFile(request.file) &&
             online.DownloadFile(request.network, request.slot, request.networkPara, file, &m_done, &m_total, &m_cancel);
      m_error = m_ok ? 0 : (hv::IsFile(request.file) ? online.GetLastError() : DWORD{HV_ERR_IO});
      m_workerDone = true;
    });
  } catch (const std::system_error&) {
    m_ok = false;
    m_error = HV_ERR_IO;
    Finish();
    return false;
  }
  return true;
}

bool OnlineDownloadController::Poll() {
  const std::uint64_t total = m_total, done = m_done;
  if (total > 0) {
    m_percent = static_cast<int>(done * 100 / total);
    m_status = wxString::Format(hv::LocalString(11901, wxS("Übertrage %s")), hv::PathName(m_request.file));
  }
  if (!m_busy || !m_workerDone) return false;
  m_worker.join();
  Finish();
  return true;
}

void OnlineDownloadController::Finish() {
  m_busy = false;
  m_request.succeeded = m_ok;
  m_request.error = m_error;
  if (m_ok) {
    m_percent = 100;
    m_status = hv::LocalString(11915, wxS("Übertragung erfolgreich"));
  } else {
    m_request.message = OnlineDownloadMessage(m_error, m_request);
    m_status = m_request.message;
    if (m_error != HV_ERR_CANCELLED) hv::Ui().Message(11820, m_request.message, MB_OK | MB_ICONSTOP);
  }
  // The dialog closes at the end: the line stays readable in the main window.
  hv::Service<hv::IEventLoop>().ShowStatus(m_status);
  m_finished = true;
}

void OnlineDownloadController::Cancel() {
  if (m_busy) m_cancel = true;
}

bool OnlineDownloadController::RequestClose() {
  if (!m_busy) return true;
  Cancel();
  return false;
}

bool OnlineDownloadController::RunToEnd() {
  if (!Start()) return m_request.succeeded;
  while (!Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return m_request.succeeded;
}

wxString OnlineDownloadMessage(DWORD error, const OnlineDownloadRequest& request) {
  switch (error) {
    case HV_ERR_CANCELLED: return hv::LocalString(10769, wxS("Abbruch durch den Benutzer."));
    case HV_ERR_UNSUPPORTED:
      return wxString::Format(
          hv::LocalString(11821, wxS("Das Gerät %s nimmt über den Netzwerktreiber %s keine Dateien an.")),
          request.device, request.network);
    case HV_ERR_NO_DRIVER:
      return wxString::Format(hv::LocalString(11822, wxS("Der Netzwerktreiber %s ist nicht installiert.")),
                              request.network);
    default:
      return wxString::Format(
          hv::LocalString(11823, wxS("Die Datei %s konnte nicht zum Gerät %s übertragen werden (Fehler %u).")),
          hv::PathName(request.file), request.device, static_cast<unsigned>(error));
  }
}
