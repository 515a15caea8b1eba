#include "framework/PropertySheetModel.h"

#include <algorithm>

bool CSheetController::SetActivePage(int index) { return Show(index, true); }

bool CSheetController::Show(int index, bool check) {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return false;
  if (index == m_active) return true;
  if (check && m_active >= 0) {
    m_lastCheck = m_pages[static_cast<std::size_t>(m_active)]->OnKillActive();
    if (!m_lastCheck.Ok()) return false;
  }
  if (m_active >= 0) m_pages[static_cast<std::size_t>(m_active)]->OnLeave();
  m_active = index;
  CSheetPage* page = m_pages[static_cast<std::size_t>(index)];
  if (!page->m_initialised) {
    page->m_initialised = true;
    page->OnInit();
  }
  page->OnSetActive();
  return true;
}

bool CSheetController::OK() {
  if (!CheckActive()) return false;
  StoreShownPages();
  return true;
}

bool CSheetController::CheckActive() {
  if (m_active < 0 && !SetActivePage(0)) return false;
  m_lastCheck = m_pages[static_cast<std::size_t>(m_active)]->OnKillActive();
  return m_lastCheck.Ok();
}

void CSheetController::StoreShownPages() {
  for (CSheetPage* page : m_pages)
    if (page->m_initialised) page->OnOK();
}

bool CSheetController::RefuseOn(CSheetPage* page, const PageCheck& check) {
  const auto at = std::find(m_pages.begin(), m_pages.end(), page);
  if (at != m_pages.end()) Show(static_cast<int>(at - m_pages.begin()), false);
  m_lastCheck = check;
  return false;
}

void CSheetController::SetWizardButtons(unsigned flags) {
  if (flags == m_wizardButtons) return;
  m_wizardButtons = flags;
  Notify();
}

bool CSheetController::Next() {
  if (m_active < 0 || m_active + 1 >= static_cast<int>(m_pages.size())) return false;
  m_lastCheck = m_pages[static_cast<std::size_t>(m_active)]->OnWizardNext();
  if (!m_lastCheck.Ok()) return false;
  return Show(m_active + 1, false);
}

bool CSheetController::Back() {
  if (m_active <= 0) return false;
  return Show(m_active - 1, false);
}

bool CSheetController::Finish() {
  if (m_active < 0) return false;
  m_lastCheck = m_pages[static_cast<std::size_t>(m_active)]->OnWizardFinish();
  if (!m_lastCheck.Ok()) return false;
  for (CSheetPage* page : m_pages)
    if (page->m_initialised && page != m_pages[static_cast<std::size_t>(m_active)]) page->OnOK();
  return true;
}

void CSheetController::ShowExtraButton(int id, bool show) {
  const auto at = std::find(m_shownExtras.begin(), m_shownExtras.end(), id);
  if (show == (at != m_shownExtras.end())) return;
  if (show)
    m_shownExtras.push_back(id);
  else
    m_shownExtras.erase(at);
  Notify();
}

bool CSheetController::IsExtraButtonShown(int id) const {
  return std::find(m_shownExtras.begin(), m_shownExtras.end(), id) != m_shownExtras.end();
}
