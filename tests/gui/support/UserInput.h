#pragma once
// A user's hands for dialogs that run modally: the pointer and keyboard of the display
// (XTest), never events posted to the controls. Scripts run once the dialog is shown.
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/modalhook.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/gui/support/WindowFixture.h"

class wxChoice;
class wxDataViewListCtrl;
class wxTextCtrl;
class wxWindow;

namespace hvtest {

// Moves the pointer onto the window's centre and clicks it.
void ClickOn(wxWindow* window);
// Clicks a list item's cell (column 0 of a check list: its box); `twice`: a double click.
void ClickItem(wxDataViewListCtrl* list, int row, unsigned column, bool twice = false);
// Clicks into the field, selects what it holds and types the text over it.
bool TypeInto(wxTextCtrl* field, const wxString& text);
// Picks a list entry: a click opens the list, arrow keys and Return choose.
bool ChooseEntry(wxChoice* choice, int index);
void PressKey(int keyCode, int modifiers = 0);
// The control of `top` that has the keyboard as the toolkit sees it: wx loses track
// of a choice reached by Tab (its toggle button takes the keyboard, not the choice),
// so FindFocus says nothing there. nullptr when no control of `top` has it.
wxWindow* KeyboardFocus(wxWindow* top);
// Whether the list's drop-down is open.
bool ListShown(wxChoice* list);
// Runs the action from the event loop while the display holds Escape down; false when
// the key could not be held or the action did not end within a minute.
bool WithEscapeHeld(const std::function<void()>& action);
// Gives the file a write time later than any load has seen, so it reads as changed.
bool MarkWrittenLater(const wxString& file);
// The window's pixels as drawn on the display; not ok when they cannot be read.
wxImage GrabWindow(wxWindow* window);
// The window as drawn on the display, as PNG under the build's artifacts folder;
// returns the file's path.
wxString SaveScreenshot(wxWindow* window, const wxString& name);

// The cursor the display shows at the pointer, read every few milliseconds on a thread
// with a connection of its own (no event of the program's runs meanwhile), together
// with whether the program had the wait cursor on show before the display was asked
// and still after its answer: a look while the program shows or puts back the cursor
// is neither busy nor idle.
class DisplayCursorLog {
 public:
  struct Sample {
    unsigned long cursor;   // the display's number of the cursor image
    std::string name;       // a themed cursor's name, where the display knows one
    bool busy;              // on show before and after the look
    bool idle;              // on show neither before nor after
    std::chrono::steady_clock::time_point at;
  };
  DisplayCursorLog();
  ~DisplayCursorLog();
  // False when the display cannot tell its cursor (no X11 or no XFixes).
  bool Ok() const { return m_ok; }
  // Ends the reading; the samples in their order.
  std::vector<Sample> Stop();

 private:
  bool m_ok = false;
  void* m_display = nullptr;
  std::atomic<bool> m_stop{false};
  std::vector<Sample> m_samples;
  std::thread m_thread;
};

// Runs one script per modal dialog, in order, while the dialog is open; a dialog with
// no script left is cancelled (and counted).
class DialogScripts : public wxModalDialogHook {
 public:
  DialogScripts() { Register(); }
  ~DialogScripts() override { Unregister(); }
  void Then(std::function<void(wxDialog*)> script) { m_scripts.push_back(std::move(script)); }
  bool AllRun() const { return m_scripts.empty(); }
  int unexpected = 0;

 protected:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog*) override {}

 private:
  std::deque<std::function<void(wxDialog*)>> m_scripts;
  ModalDialogsAllowed m_allowed;
};

}  // namespace hvtest
