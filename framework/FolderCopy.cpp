#include "framework/FolderCopy.h"

#include <chrono>
#include <system_error>

#include "framework/FolderUtils.h"
#include "platform/Codec.h"
#include "platform/Ui.h"

FolderCopyOperation::FolderCopyOperation(const wxString& source, const wxString& destination)
    : m_source(source), m_destination(destination) {}

FolderCopyOperation::~FolderCopyOperation() {
  if (m_worker.joinable()) {
    Cancel();
    m_worker.join();
  }
}

bool FolderCopyOperation::Start() {
  if (m_worker.joinable() || m_finished) return false;
  m_total = CountFilesToCopy(m_source);
  try {
    m_worker = std::thread(&FolderCopyOperation::Work, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void FolderCopyOperation::Work() {
  m_ok = CopyDirectory(m_source, m_destination, FALSE, TRUE, [this](const wxString& copied) {
    {
      std::lock_guard lock(m_mutex);
      m_current = hv::ToUtf8(copied);
    }
    m_done.fetch_add(1);
    return !m_cancel.load();
  }) != FALSE;
  m_workerDone.store(true);
}

bool FolderCopyOperation::Poll() {
  if (m_finished) return true;
  if (!m_workerDone.load() || !m_worker.joinable()) return false;
  m_worker.join();
  m_finished = true;
  return true;
}

bool FolderCopyOperation::RunToEnd() {
  if (!Start()) return false;
  while (!Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return Succeeded();
}

int FolderCopyOperation::Percent() const {
  if (m_total == 0) return m_finished ? 100 : 0;
  const std::size_t done = m_done.load();
  return static_cast<int>(done >= m_total ? 100 : done * 100 / m_total);
}

wxString FolderCopyOperation::CurrentFile() const {
  std::lock_guard lock(m_mutex);
  return hv::FromUtf8(m_current);
}

BOOL ShellCopyFiles(const wxString& source, const wxString& destination, const wxString& title, bool* cancelled) {
  if (cancelled) *cancelled = false;
  if (source.empty() || destination.empty()) return FALSE;
  FolderCopyOperation operation(source, destination);
  FolderCopyRequest request{title, &operation};
  const int result = hv::Ui().Run(request);
  // A display that did not run the copy to its end stops it here.
  if (!operation.Finished() && operation.Started()) {
    operation.Cancel();
    while (!operation.Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (cancelled) *cancelled = operation.Cancelled();
  return result == IDOK && operation.Succeeded() ? TRUE : FALSE;
}
