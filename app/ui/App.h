#pragma once
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/timer.h>

#include "app/TavProjectApp.h"
#include "app/TavProjectDoc.h"

class CMainFrame;
namespace hv {
class IEventLoop;
class UiFacade;
}

// The toolkit's event loop and keyboard as the core sees them.
hv::IEventLoop& WxEventLoop();
// How many waits the wait cursor is shown for now (any thread may ask).
int BusyCursorDepth();

// The modal dialogs open now, innermost last.
class CModalDialogs : public wxModalDialogHook {
 public:
  std::vector<wxDialog*> open;

 protected:
  int Enter(wxDialog* dialog) override {
    open.push_back(dialog);
    return wxID_NONE;
  }
  void Exit(wxDialog* dialog) override { open.erase(std::remove(open.begin(), open.end(), dialog), open.end()); }
};

// The toolkit's own texts (stock buttons, its dialogs, GTK's dialogs started after
// this) follow the program's language: 0 German, 1 English.
void ApplyToolkitLanguage(int languageNumber);

// The toolkit's application object; the program's own start-up lives in CTavProjectApp.
class CHalvoraApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;
  // True when this start found another copy running and asked it to come forward.
  static bool SecondInstance() { return s_secondInstance; }
  // True when start-up ended before the main window (the reason has been given).
  static bool StartFailed() { return s_startFailed; }
  // The desktop (or a signal) asks the program to end: the main window closes as its
  // close box would, once no modal dialog is open. Asked again while that close is
  // still under way (the user has not answered its question), the window closes
  // without asking.
  void RequestEnd();

 private:
  static void BindWindowLayer(hv::UiFacade& ui);
  void CloseMainWindow();
  std::unique_ptr<CTavProjectApp> m_app;
  // Cleared when the window is destroyed: a raise request may still be queued then.
  CMainFrame* m_frame = nullptr;
  std::unique_ptr<CModalDialogs> m_modals;
  wxTimer m_closeRetry;
  bool m_ending = false;      // an end request is under way
  bool m_forceEnd = false;    // asked again meanwhile: end without questions
  static inline bool s_secondInstance = false;
  static inline bool s_startFailed = false;
};
