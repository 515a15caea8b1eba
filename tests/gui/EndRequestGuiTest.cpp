// The real program asked to end with objects cut and not pasted: it asks first; Escape
// on that question means No; asked to end again while the question is open, it ends
// cleanly and leaves the projects on disk as they were.
#include <gtest/gtest.h>

#include <wx/defs.h>
#include <wx/uiaction.h>

#include <chrono>

#include "platform/Codec.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

using namespace std::chrono_literals;

TEST(EndRequestGui, EscapeKeepsTheProgramAndASecondRequestEndsItCleanly) {
  hvtest::TempHome home;
  const wxString folder = home.Sub("Projects/Anlage");
  hvtest::WriteAll(folder + "/PROJECT.SET", "[Config]\r\n");
  // The graph tool's current project is listed and selected in the tree at start.
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"Anlage\"\n\"PROJECTPATH\"=\"" +
                           hv::ToUtf8(folder) + "\"\n\"PROJECTFULLPATH\"=\"Projekte\\\\Anlage\"\n");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 1; }, 20s)) << "no main window";

  // Cut the selected project, as a user would with the keyboard.
  ASSERT_TRUE(hvtest::PressKeyInWindow("Halvora", 'X', wxMOD_CONTROL));

  // Asked to end: the question comes up (a second window of the program's name).
  app.Terminate();
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 2; }, 10s)) << "no question";
  // Escape means No: the question goes, the program stays.
  ASSERT_TRUE(hvtest::PressKeyInWindow("Halvora", WXK_ESCAPE, wxMOD_NONE, 1));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 1; }, 10s));
  EXPECT_TRUE(app.Running());

  // Asked again: the question again; asked once more while it is open: the end.
  app.Terminate();
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 2; }, 10s)) << "no question";
  app.Terminate();
  EXPECT_EQ(app.WaitExit(15s), 0);

  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(folder + "/PROJECT.SET")));
  hv::IniFlushCache();
  EXPECT_NE(hv::IniGetString(home.Sub("Project.INI"), "Pane0", "Width", ""), "") << "shut-down ran";
}
