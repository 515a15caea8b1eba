#pragma once
// A main window on a fixture project made of stand-in objects, for GUI tests:
//   Projekte (folder) / Anlage (project) / Panel (device) / Ressourcen / Masken / ...
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "framework/SettingsFile.h"
#include "app/TavProjectDoc.h"
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
