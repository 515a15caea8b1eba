#include "framework/PropertySheetModel.h"

bool CSheetController::SetActivePage(int index) {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return false;
  if (index == m_active) return true;
  if (m_active >= 0) {
    m_lastCheck = m_pages[static_cast<std::size_t>(m_active)]->OnKillActive();
    if (!m_lastCheck.Ok()) return false;
  }
  m_active = index;
  CSheetPage* page = m_pages[static_cast<std::size_t>(index)];
  if (!page->m_initialised) {
    page->m_initialised = true;
    page->OnInit();
  }
  return true;
}

bool CSheetController::OK() {
  if (m_active < 0 && !SetActivePage(0)) return false;
  m_lastCheck = m_pages[static_cast<std::size_t>(m_active)]->OnKillActive();
  if (!m_lastCheck.Ok()) return false;
  for (CSheetPage* page : m_pages)
    if (page->m_initialised) page->OnOK();
  return true;
}
