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
  long select = -1;   // a character of the field's text to select (a refused one)
  bool Ok() const { return textId == 0; }
};

class CSheetController;

// Buttons of a sheet in wizard mode, as the pages ask for them.
enum : unsigned { PSWIZB_BACK = 1, PSWIZB_NEXT = 2, PSWIZB_FINISH = 4 };
// Results of a wizard: the finish button, next and back.
constexpr int ID_WIZFINISH = 12325;
constexpr int ID_WIZNEXT = 12324;
constexpr int ID_WIZBACK = 12323;

class CSheetPage {
 public:
  virtual ~CSheetPage() = default;
  // Loads the page's data; runs once, when the page is first shown.
  virtual void OnInit() {}
  // Runs on every activation, after OnInit on the first.
  virtual void OnSetActive() {}
  // Wizard: checks the page before the next one is shown; a refusal keeps it and names
  // the field to mend.
  virtual PageCheck OnWizardNext() { return OnKillActive(); }
  // Wizard: the finish button on the active page: check and store; a refusal keeps the
  // wizard open and names the field to mend.
  virtual PageCheck OnWizardFinish() {
    const PageCheck check = OnKillActive();
    if (check.Ok()) OnOK();
    return check;
  }
  // Checks the page when it is left or on OK; shows its own message on failure.
  virtual PageCheck OnKillActive() { return {}; }
  // Another page came to the front, after this page's check or without one (Back).
  virtual void OnLeave() {}
  // Stores the page's data on OK (pages that were shown only).
  virtual void OnOK() {}

  bool IsInitialised() const { return m_initialised; }
  CSheetController* Sheet() const { return m_sheet; }

 private:
  friend class CSheetController;
  bool m_initialised = false;
  CSheetController* m_sheet = nullptr;
};

// What a view of the sheet must follow: wizard buttons and extra buttons change while
// the sheet is open.
class ISheetView {
 public:
  virtual ~ISheetView() = default;
  virtual void ButtonsChanged() = 0;
};

class CSheetController {
 public:
  virtual ~CSheetController() = default;
  void AddPage(CSheetPage* page) {
    page->m_sheet = this;
    m_pages.push_back(page);
  }
  std::size_t PageCount() const { return m_pages.size(); }
  CSheetPage* Page(std::size_t i) const { return i < m_pages.size() ? m_pages[i] : nullptr; }
  int ActivePage() const { return m_active; }
  // Shows a page. The page being left is checked first; a failed check keeps it
  // (false, with the check in LastCheck).
  bool SetActivePage(int index);
  // OK: the active page is checked, then every page that was shown stores its data.
  // False keeps the sheet open.
  bool OK();
  // What the sheet's OK button runs: OK, and for sheets that store more, their own step.
  virtual bool Confirm() { return OK(); }
  const PageCheck& LastCheck() const { return m_lastCheck; }

  // Wizard mode: pages are walked with Back and Next, and Finish ends the sheet with
  // ID_WIZFINISH instead of OK.
  void SetWizardMode(bool wizard) { m_wizard = wizard; }
  bool IsWizard() const { return m_wizard; }
  void SetWizardButtons(unsigned flags);
  unsigned WizardButtons() const { return m_wizardButtons; }
  // Next: the page checks itself and the following page is shown. False keeps the page.
  bool Next();
  // Back: the previous page, without a check (the user is not done with it yet).
  bool Back();
  // Finish: the active page checks and stores itself, then every other page shown
  // stores its data. False keeps the wizard open.
  bool Finish();

  // Extra buttons of the sheet's button row ("&Autoscan"): known by id, shown or hidden
  // by the pages.
  void ShowExtraButton(int id, bool show);
  bool IsExtraButtonShown(int id) const;

  void SetView(ISheetView* view) { m_view = view; }

 protected:
  // OK's two steps, for sheets that check more in between: the active page's check
  // (false keeps the sheet open), then every page that was shown stores its data.
  bool CheckActive();
  void StoreShownPages();
  // Another page's check refused OK: that page comes to the front, unchecked like a page
  // that Back turns to, so that the field the check names can be mended. False.
  bool RefuseOn(CSheetPage* page, const PageCheck& check);

 private:
  bool Show(int index, bool check);
  void Notify() {
    if (m_view) m_view->ButtonsChanged();
  }

  std::vector<CSheetPage*> m_pages;
  int m_active = -1;
  PageCheck m_lastCheck;
  bool m_wizard = false;
  unsigned m_wizardButtons = PSWIZB_NEXT;
  std::vector<int> m_shownExtras;
  ISheetView* m_view = nullptr;
};
