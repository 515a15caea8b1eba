#include "archive/ZipProgress.h"

#include "platform/Codec.h"

void ZipProgress::Reset() {
  m_cancel.store(false);
  m_percent.store(0);
  m_done.store(0);
  m_total.store(0);
  m_bytes.store(0);
  m_reports.store(0);
  std::lock_guard lock(m_mutex);
  m_path.clear();
}

wxString ZipProgress::CurrentPath() const {
  std::lock_guard lock(m_mutex);
  return hv::FromUtf8(m_path);
}

void ZipProgress::Report(const wxString& path, int done, int total) {
  {
    std::lock_guard lock(m_mutex);
    m_path = hv::ToUtf8(path);
  }
  m_done.store(done);
  m_total.store(total);
  // Integer percentage as the progress bar takes it; 100 only when all counted files are done.
  m_percent.store(total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 0);
  m_reports.fetch_add(1);
}
