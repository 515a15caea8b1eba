#pragma once
// The order of a property sheet, without windows: a page is initialised when it is
// first shown, leaving a page checks it and may keep the user on it, and OK stores only
// the pages that were shown. The wx sheet and scripted tests drive the same controller.
#include <cstddef>
#include <vector>

#include "platform/Types.h"

// Result of a page check: 0 when the page may be left, else the text shown and the
// control to put the focus on.
struct PageCheck {
  UINT textId = 0;
  int field = 0;
  bool Ok() const { return textId == 0; }
};

class CSheetPage {
 public:
  virtual ~CSheetPage() = default;
  // Loads the page's data; runs once, when the page is first shown.
  virtual void OnInit() {}
  // Checks the page when it is left or on OK; shows its own message on failure.
  virtual PageCheck OnKillActive() { return {}; }
  // Stores the page's data on OK (pages that were shown only).
  virtual void OnOK() {}

  bool IsInitialised() const { return m_initialised; }

 private:
  friend class CSheetController;
  bool m_initialised = false;
};

class CSheetController {
 public:
  virtual ~CSheetController() = default;
  void AddPage(CSheetPage* page) { m_pages.push_back(page); }
  std::size_t PageCount() const { return m_pages.size(); }
  CSheetPage* Page(std::size_t i) const { return i < m_pages.size() ? m_pages[i] : nullptr; }
  int ActivePage() const { return m_active; }
  // Shows a page. The page being left is checked first; a failed check keeps it
  // (false, with the check in LastCheck).
  bool SetActivePage(int index);
  // OK: the active page is checked, then every page that was shown stores its data.
  // False keeps the sheet open.
  bool OK();
  const PageCheck& LastCheck() const { return m_lastCheck; }

 private:
  std::vector<CSheetPage*> m_pages;
  int m_active = -1;
  PageCheck m_lastCheck;
};
