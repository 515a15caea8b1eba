#pragma once
// A main window on a fixture project made of stand-in objects, for GUI tests:
//   Projekte (folder) / Anlage (project) / Panel (device) / Ressourcen / Masken / ...
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

#include <wx/menu.h>
#include <wx/timer.h>

#include "framework/SettingsFile.h"
#include "app/TavProjectDoc.h"
#include "framework/Services.h"
#include "model/DeviceServices.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ViewFixture.h"

class CMainFrame;
class CProjectListView;
class CProjectTreeView;

namespace hvtest {

// Lets the toolkit run: pending events, idle handlers and the display's events.
void Pump(std::chrono::milliseconds atLeast = std::chrono::milliseconds(50));
// Pumps until `done` or the limit passes.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5));

// Runs what the toolkit has queued (events, calls made to run later) until nothing
// is left: the late work of a command is done when this returns.
void PumpUntilIdle();

// Drives the next popup menu `invoker` shows: once the menu is up, `whileOpen` runs and
// the keys are pressed in it (Escape closes it, arrows and Return choose).
class PopupDriver : public wxEvtHandler {
 public:
  PopupDriver(wxWindow& invoker, std::vector<int> keys, std::function<void()> whileOpen = nullptr);
  ~PopupDriver();
  bool Opened() const { return m_opened; }

 private:
  wxWindow& m_invoker;
  std::vector<int> m_keys;
  std::function<void()> m_whileOpen;
  wxTimer m_timer;
  bool m_shown = false;
  bool m_opened = false;
  void OnOpen(wxMenuEvent& event);
};

// Opens the context menu `window` shows for a right click at `at` (a screen position;
// the default: the window's keyboard menu) and returns its entries' labels as shown,
// a disabled one followed by " (-)"; the menu is closed again with Escape.
std::vector<wxString> ContextMenuLabels(wxWindow& window, const wxPoint& at = wxDefaultPosition);

// While one lives, modal dialogs run for real instead of failing the test (the test
// itself ends them).
class ModalDialogsAllowed {
 public:
  ModalDialogsAllowed() { ++s_count; }
  ~ModalDialogsAllowed() { --s_count; }
  static bool Active() { return s_count > 0; }

 private:
  static inline int s_count = 0;
};

class WindowFixture : public testing::Test {
 protected:
  WindowFixture();
  ~WindowFixture() override;

  // Creates and shows the window; `startPath` is opened in the tree.
  void Open(const wxString& startPath = wxString());
  void Close();

  CProjectTreeView& Tree();
  CProjectListView& List();

  // The stand-in devices are no real ones: they have no folder.
  CDeviceServices noDevices;
  hv::ServiceOverride<CDeviceServices> boundDevices{&noDevices};
  TempHome home;
  CSettingsFile profile;
  CTavProjectDoc doc;
  CMainFrame* frame = nullptr;
  ViewNode* folder = nullptr;
  ViewNode* project = nullptr;
  ViewNode* device = nullptr;
  ViewNode* resources = nullptr;
  ViewNode* masks = nullptr;
};

}  // namespace hvtest
